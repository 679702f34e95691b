#include "app/PhoneBookList.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>

#include <memory>

namespace {
constexpr int kNameWidth = 127;
constexpr int kNumberWidth = 97;
}  // namespace

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
    header()->setDefaultSectionSize(kNameWidth);
    connect(header(), &QHeaderView::sectionResized, this, &CPhoneBookList::OnSectionResized);

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

void CPhoneBookList::AdjustColumnWidths()
{
    if (!model() || model()->columnCount() < 2)
        return;
    const int total = TotalWidth();
    int name = columnWidth(0);
    int number = columnWidth(1);
    if (name <= 0 && number <= 0) {
        name = kNameWidth;
        number = kNumberWidth;
    }
    if (name + number == total)
        return;
    m_adjusting = true;
    if (name >= number)
        setColumnWidth(1, qMax(0, total - name));
    else
        setColumnWidth(0, qMax(0, total - number));
    if (columnWidth(0) + columnWidth(1) != total) {
        // The wider column alone is wider than the list: share by the
        // first layout's proportions.
        setColumnWidth(0, total * kNameWidth / (kNameWidth + kNumberWidth));
        setColumnWidth(1, total - columnWidth(0));
    }
    m_adjusting = false;
}

void CPhoneBookList::OnSectionResized(int column, int, int newWidth)
{
    if (m_adjusting || !model() || model()->columnCount() < 2)
        return;
    // A divider dragged by the user: the other column takes the rest.
    m_adjusting = true;
    setUpdatesEnabled(false);
    const int other = column == 0 ? 1 : 0;
    setColumnWidth(other, qMax(0, TotalWidth() - newWidth));
    setUpdatesEnabled(true);
    m_adjusting = false;
}

void CPhoneBookList::resizeEvent(QResizeEvent* event)
{
    QTreeView::resizeEvent(event);
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
