#include "platform/gui/SkinScrollList.h"

#include "platform/gui/SkinScrollInterface.h"

#include <QSignalBlocker>

#include <algorithm>
#include <limits>

CSkinScrollList::CSkinScrollList() : QScrollBar(Qt::Vertical)
{
    setFocusPolicy(Qt::NoFocus);
    setRange(0, 0);
    connect(this, &QScrollBar::valueChanged, this, &CSkinScrollList::OnValueChanged);
}

CSkinScrollList::~CSkinScrollList()
{
    SetListCtrl(nullptr);
}

bool CSkinScrollList::Create(QWidget* parent, const QString& component, int upId, int downId,
                             CSkinRepository* repository)
{
    m_downId = downId;
    return Create(parent, component, upId, repository);
}

bool CSkinScrollList::Create(QWidget* parent, const QString& component, int id, CSkinRepository* /*repository*/)
{
    if (!parent)
        return false;
    m_component = component;
    m_id = id;
    MarkSkinPart(*this, component, id);
    setParent(parent);
    show();
    return true;
}

void CSkinScrollList::SetListCtrl(CSkinScrollInterface* list)
{
    if (m_list && m_list->AttachedScrollBar() == this)
        m_list->AttachScrollBar(nullptr);
    m_list = list;
    if (m_list)
        m_list->AttachScrollBar(this);
    Sync();
}

void CSkinScrollList::Sync()
{
    m_syncing = true;
    if (!m_list) {
        setRange(0, 0);
    } else {
        constexpr quint32 intMax = static_cast<quint32>(std::numeric_limits<int>::max());
        const quint32 total = std::min(m_list->GetTotalSize(), intMax);
        const quint32 page = std::min(m_list->GetPageSize(), intMax);
        setRange(0, total > page ? static_cast<int>(total - page) : 0);
        setPageStep(std::max(1, static_cast<int>(page)));
        setSingleStep(1);
        setValue(static_cast<int>(std::min(m_list->GetScrollIndex(), intMax)));
    }
    m_syncing = false;
}

void CSkinScrollList::OnValueChanged(int value)
{
    if (m_syncing || !m_list || value < 0)
        return;
    m_list->DoScroll(static_cast<quint32>(value));
}
