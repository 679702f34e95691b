#include "platform/gui/SkinListCtrl.h"

#include <QScrollBar>

#include <algorithm>

CSkinListCtrl::CSkinListCtrl(QWidget* parent) : QListView(parent)
{
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setUniformItemSizes(true);
    setLayoutMode(QListView::SinglePass);
    // The hidden bar of the view keeps the position; ours shows it.
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { NotifyScrollBar(); });
    connect(verticalScrollBar(), &QScrollBar::rangeChanged, this, [this] { NotifyScrollBar(); });
}

quint32 CSkinListCtrl::GetTotalSize() const
{
    return model() ? static_cast<quint32>(std::max(0, model()->rowCount(rootIndex()))) : 0;
}

quint32 CSkinListCtrl::GetPageSize() const
{
    const int item = static_cast<int>(GetItemSize());
    return item > 0 ? static_cast<quint32>(viewport()->height() / item) : 0;
}

quint32 CSkinListCtrl::GetItemSize() const
{
    if (GetTotalSize() == 0)
        return static_cast<quint32>(std::max(1, fontMetrics().height()));
    return static_cast<quint32>(std::max(1, sizeHintForRow(0)));
}

quint32 CSkinListCtrl::GetScrollIndex() const
{
    return static_cast<quint32>(std::max(0, verticalScrollBar()->value()));
}

void CSkinListCtrl::DoScroll(quint32 index)
{
    const int top = static_cast<int>(std::min<quint32>(index, static_cast<quint32>(verticalScrollBar()->maximum())));
    verticalScrollBar()->setValue(top);
}

void CSkinListCtrl::SetPosition(QWidget* parent, const QRect& rect)
{
    if (parent && parent != parentWidget())
        setParent(parent);
    setGeometry(rect);
}

void CSkinListCtrl::OnListChanged()
{
    NotifyScrollBar();
}

void CSkinListCtrl::ChangeFont(const QFont& font)
{
    setFont(font);
    NotifyScrollBar();
}

void CSkinListCtrl::resizeEvent(QResizeEvent* event)
{
    QListView::resizeEvent(event);
    NotifyScrollBar();
}
