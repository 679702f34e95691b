#include "app/PhoneBookList.h"

#include "app/EntryRowDelegate.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>

#include <memory>


CPhoneBookList::CPhoneBookList(QWidget* parent) : QTreeView(parent)
{
    setObjectName(QStringLiteral("EntryList"));
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setContextMenuPolicy(Qt::DefaultContextMenu);
    setIconSize(QSize(16, 16));
    header()->setSectionsMovable(false);
    header()->setStretchLastSection(false);
    // Sorting is the view's: header clicks only report the column.
    header()->setSectionsClickable(true);
    header()->setSortIndicatorShown(false);
    header()->setDefaultSectionSize(HandheldNameWidth);
    connect(header(), &QHeaderView::sectionResized, this, &CPhoneBookList::OnSectionResized);
    header()->viewport()->installEventFilter(this);
    // The columns take the list's whole width: no frame around it.
    setFrameShape(QFrame::NoFrame);
    m_delegate = new CEntryRowDelegate(this);
    setItemDelegate(m_delegate);

    m_longPress.setSingleShot(true);
    m_longPress.setInterval(LongPressMs);
    connect(&m_longPress, &QTimer::timeout, this, [this] { ShowContextMenu(m_tapPoint); });
}

void CPhoneBookList::AddMenuOption(quint16 command, const QString& text, int memoryFilter)
{
    m_menuOptions.push_back({text, command, memoryFilter});
}

int CPhoneBookList::TotalWidth() const
{
    // The viewport already leaves out a shown vertical scroll bar.
    return viewport()->width();
}

void CPhoneBookList::setModel(QAbstractItemModel* model)
{
    QTreeView::setModel(model);
    if (!model)
        return;
    connect(model, &QAbstractItemModel::modelReset, this, &CPhoneBookList::OnContentChanged);
    connect(model, &QAbstractItemModel::rowsInserted, this, &CPhoneBookList::OnContentChanged);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &CPhoneBookList::OnContentChanged);
    connect(model, &QAbstractItemModel::dataChanged, this, &CPhoneBookList::OnContentChanged);
    OnContentChanged();
}

void CPhoneBookList::OnContentChanged()
{
    m_wholeWidth[0] = m_wholeWidth[1] = -1;
    // Once the list has laid out the new rows (and maybe a scroll bar).
    QMetaObject::invokeMethod(this, &CPhoneBookList::AdjustColumnWidths, Qt::QueuedConnection);
}

int CPhoneBookList::WholeWidth(int column)
{
    int& widest = m_wholeWidth[column];
    if (widest >= 0)
        return widest;
    widest = 0;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = QRect(0, 0, 1000, 20);
    for (int row = 0, rows = model()->rowCount(); row < rows; ++row)
        widest = qMax(widest, m_delegate->WholeWidth(option, model()->index(row, column)));
    return widest;
}

QString CPhoneBookList::ShownText(const QModelIndex& index) const
{
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = visualRect(index);
    option.rect.setWidth(columnWidth(index.column()));
    return m_delegate->ShownText(option, index);
}

void CPhoneBookList::AdjustColumnWidths()
{
    if (m_adjusting || !model() || model()->columnCount() < 2)
        return;
    const int total = TotalWidth();
    if (total <= 0)
        return;
    int name;
    if (m_draggedNameWidth >= 0) {
        name = m_draggedNameWidth;
    } else {
        // The handheld's share, measured on the list as if it had no
        // scroll bar: a scroll bar narrows the number, as it did there.
        const int full = total + (verticalScrollBar()->isVisible() ? verticalScrollBar()->width() : 0);
        name = (full * HandheldNameWidth + HandheldWidth / 2) / HandheldWidth;
        const int number = total - name;
        const int needNumber = WholeWidth(1);
        const int needName = WholeWidth(0);
        if (number < needNumber && name > needName)
            name -= qMin(needNumber - number, name - needName);
    }
    name = qBound(0, name, total);
    if (columnWidth(0) == name && columnWidth(1) == total - name)
        return;
    m_adjusting = true;
    setColumnWidth(0, name);
    setColumnWidth(1, total - name);
    m_adjusting = false;
}

bool CPhoneBookList::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == header()->viewport()) {
        if (event->type() == QEvent::MouseButtonPress)
            m_dragging = true;
        else if (event->type() == QEvent::MouseButtonRelease)
            m_dragging = false;
    }
    return QTreeView::eventFilter(watched, event);
}

void CPhoneBookList::OnSectionResized(int column, int, int newWidth)
{
    // Only the user's drag counts: the header also reports sizes of its
    // own while the list is laid out.
    if (m_adjusting || !m_dragging || !model() || model()->columnCount() < 2)
        return;
    m_adjusting = true;
    setUpdatesEnabled(false);
    const int total = TotalWidth();
    m_draggedNameWidth = qBound(0, column == 0 ? newWidth : total - newWidth, total);
    setColumnWidth(column == 0 ? 1 : 0, qMax(0, total - newWidth));
    setUpdatesEnabled(true);
    m_adjusting = false;
}

void CPhoneBookList::resizeEvent(QResizeEvent* event)
{
    QTreeView::resizeEvent(event);
    AdjustColumnWidths();
}

void CPhoneBookList::updateGeometries()
{
    QTreeView::updateGeometries();
    // A scroll bar that came or went changes the width to share.
    AdjustColumnWidths();
}

void CPhoneBookList::mousePressEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    m_tapPoint = indexAt(point).isValid() ? point : QPoint(-1, -1);
    if (event->button() == Qt::LeftButton && m_tapPoint.x() >= 0)
        m_longPress.start();
    QTreeView::mousePressEvent(event);
}

void CPhoneBookList::mouseMoveEvent(QMouseEvent* event)
{
    if (m_longPress.isActive() && (event->position().toPoint() - m_tapPoint).manhattanLength() > 8)
        m_longPress.stop();
    QTreeView::mouseMoveEvent(event);
}

void CPhoneBookList::mouseReleaseEvent(QMouseEvent* event)
{
    m_longPress.stop();
    QTreeView::mouseReleaseEvent(event);
}

void CPhoneBookList::contextMenuEvent(QContextMenuEvent* event)
{
    const QPoint point = event->pos();
    if (event->reason() == QContextMenuEvent::Mouse)
        m_tapPoint = indexAt(point).isValid() ? point : QPoint(-1, -1);
    else if (currentIndex().isValid())
        m_tapPoint = visualRect(currentIndex()).center();  // the menu key
    ShowContextMenu(m_tapPoint);
}

QMenu* CPhoneBookList::BuildContextMenu(const QPoint& point)
{
    const QModelIndex hit = indexAt(point);
    if (point.x() < 0 || !hit.isValid())
        return nullptr;
    if (!selectionModel()->isRowSelected(hit.row(), QModelIndex())) {
        selectionModel()->clearSelection();
        selectionModel()->setCurrentIndex(hit, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    const int memoryType = model()->index(hit.row(), 0).data(Qt::UserRole).toInt();
    auto menu = std::make_unique<QMenu>(this);
    for (const MenuOption& option : m_menuOptions) {
        if (option.command == 0) {
            menu->addSeparator();
            continue;
        }
        if (option.memoryFilter != -1 && option.memoryFilter != memoryType)
            continue;
        QAction* action = menu->addAction(option.text);
        action->setData(static_cast<int>(option.command));
        action->setEnabled(!m_enabler || m_enabler(option.command));
    }
    return menu.release();
}

void CPhoneBookList::ShowContextMenu(const QPoint& point)
{
    std::unique_ptr<QMenu> menu(BuildContextMenu(point));
    if (!menu)
        return;
    QAction* chosen = menu->exec(viewport()->mapToGlobal(point));
    if (chosen)
        emit Command(chosen->data().toInt());
}
