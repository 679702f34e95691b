#include "platform/gui/SkinButton.h"

CSkinButton::CSkinButton()
{
    setFocusPolicy(Qt::NoFocus);
    setAutoDefault(false);
    connect(this, &QPushButton::clicked, this, [this] { emit Command(m_id); });
}

bool CSkinButton::Create(QWidget* parent, const QString& component, int id, CSkinRepository* /*repository*/)
{
    if (!parent)
        return false;
    m_component = component;
    m_id = id;
    MarkSkinPart(*this, component, id);
    setParent(parent);  // the style sheet reaches us through the parent
    show();
    return true;
}
