#include "contactlist/widgets/SkinableFlatContactList.h"

#include "contactlist/widgets/ContactListFont.h"
#include "contactlist/widgets/ContactListStyles.h"
#include "contactlist/widgets/ContactRowDelegate.h"
#include "contactlist/widgets/ContactRowsModel.h"
#include "contactlist/widgets/DefaultFieldRules.h"
#include "contactlist/widgets/FlatPhoneBoxCtrl.h"
#include "contactlist/widgets/LetterScrolling.h"
#include "platform/contacts/PoomPhoneNumbers.h"
#include "support/TranslationTable.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyleHints>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace {

bool IsArrowKey(int key)
{
    return key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Left || key == Qt::Key_Right;
}

// Keys the view itself moves the selection with besides the arrows.
bool IsPagingKey(int key)
{
    return key == Qt::Key_PageUp || key == Qt::Key_PageDown || key == Qt::Key_Home || key == Qt::Key_End;
}

bool IsEnterKey(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

}  // namespace

CSkinableFlatContactList::CSkinableFlatContactList()
    : m_rows(std::make_unique<CContactRowsModel>()),
      m_delegate(std::make_unique<CContactRowDelegate>(this)),
      m_longPress(std::make_unique<QTimer>())
{
    setObjectName(QStringLiteral("MFCSFlatContactListCtrl"));
    setItemDelegate(m_delegate.get());
    setModel(m_rows.get());
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_longPress->setSingleShot(true);
    m_longPress->setInterval(QGuiApplication::styleHints()->mousePressAndHoldInterval());
    connect(m_longPress.get(), &QTimer::timeout, this, &CSkinableFlatContactList::OnLongPress);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { RememberPlace(); });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { RememberPlace(); });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { RememberPlace(); });
    m_normalFont = ContactListFont(QFont::Normal);
    m_boldFont = ContactListFont(QFont::Bold);
    m_delegate->SetFonts(m_normalFont, m_boldFont);
    setFont(m_normalFont);
}

CSkinableFlatContactList::~CSkinableFlatContactList()
{
    m_menu.reset();
    if (!m_phoneBoxGuard)
        (void)m_phoneBox.release();  // its Qt parent has deleted it already
    m_phoneBox.reset();
    setModel(nullptr);
}

bool CSkinableFlatContactList::Create(quint32 listStyle, quint32 extendedStyle, const QRect& rect, QWidget* parent,
                                      int id, bool boxFlag)
{
    if (!parent)
        return false;
    m_listStyle = listStyle;
    m_id = id;
    setParent(parent);
    setGeometry(rect);
    m_delegate->SetShowSelectionAlways((listStyle & ContactListShowSelectionAlways) != 0);
    SetExtendedStyle(extendedStyle);
    setFont(m_normalFont);
    if (!m_phoneBoxGuard) {
        (void)m_phoneBox.release();  // none yet, or deleted by its Qt parent
        auto box = std::make_unique<MFCFlatPhoneBoxCtrl>();
        if (box->Create(this, ContactListControlId, boxFlag)) {
            box->setFont(m_normalFont);
            connect(box.get(), &MFCFlatPhoneBoxCtrl::Picked, this, &CSkinableFlatContactList::OnPhoneBoxPicked);
            m_phoneBoxGuard = box.get();
            m_phoneBox = std::move(box);
        }
    }
    show();
    return true;
}

void CSkinableFlatContactList::SetExtendedStyle(quint32 extendedStyle)
{
    m_extendedStyle = extendedStyle;
    m_delegate->SetCheckBoxes(HasCheckBoxes());
    m_rows->SetCheckable(HasCheckBoxes());
    viewport()->update();
}

bool CSkinableFlatContactList::HasCheckBoxes() const
{
    return (m_extendedStyle & ContactListCheckBoxes) != 0;
}

CFilteredList* CSkinableFlatContactList::CurrentList() const
{
    if (!m_source)
        return nullptr;
    for (const std::unique_ptr<CFilteredList>& list : *m_source)
        if (list && list->m_Filter == m_filter)
            return list.get();
    return nullptr;
}

void CSkinableFlatContactList::RememberPlace()
{
    if (m_restoringPlace)
        return;
    const tagCONTACT* focused = GetItemAt(currentIndex().row());
    const int top = static_cast<int>(GetScrollIndex());
    const tagCONTACT* topRecord = GetItemAt(top);
    m_place.hasFocused = focused != nullptr;
    m_place.focusedOid = focused ? focused->oid : 0;
    m_place.selected = focused && SelectedRow() == currentIndex().row();
    m_place.hasTop = topRecord != nullptr;
    m_place.topOid = topRecord ? topRecord->oid : 0;
    m_place.top = top;
}

void CSkinableFlatContactList::UpdateFromSource()
{
    // The open box belongs to a row, and the rows move: a pick after the
    // reload would change somebody else's default number.
    ClosePhoneBox();
    // The contact selected and the one at the top stay where the user
    // left them, as far as they still exist.
    const Place place = m_place;
    m_restoringPlace = true;
    m_rows->SetList(CurrentList());
    m_rows->SetCheckable(HasCheckBoxes());
    // Laid out now, not later: the scroll bar asks for sizes at once.
    doItemsLayout();

    const int rows = RowCount();
    int focusRow = -1;
    int topRow = std::min(place.top, std::max(0, rows - 1));
    bool topFound = !place.hasTop;
    for (int row = 0; row < rows && ((focusRow < 0 && place.hasFocused) || !topFound); ++row) {
        const quint32 oid = GetItemAt(row)->oid;
        if (place.hasFocused && focusRow < 0 && oid == place.focusedOid)
            focusRow = row;
        if (!topFound && oid == place.topOid) {
            topRow = row;
            topFound = true;
        }
    }
    if (focusRow >= 0) {
        const QModelIndex index = m_rows->index(focusRow);
        selectionModel()->setCurrentIndex(
            index, place.selected ? QItemSelectionModel::ClearAndSelect : QItemSelectionModel::NoUpdate);
    }
    if (rows > 0)
        DoScroll(static_cast<quint32>(topRow));
    m_restoringPlace = false;
    RememberPlace();
    OnListChanged();
    viewport()->update();
}

void CSkinableFlatContactList::GetSelected(QString& name, QString& number) const
{
    name = m_currentName;
    number = m_currentNumber;
}

int CSkinableFlatContactList::SelectedRow() const
{
    const QModelIndexList rows = selectionModel() ? selectionModel()->selectedRows() : QModelIndexList();
    return rows.isEmpty() ? -1 : rows.front().row();
}

tagCONTACT* CSkinableFlatContactList::GetItemAt(int row) const
{
    return m_rows->RecordAt(row);
}

int CSkinableFlatContactList::RowCount() const
{
    return m_rows->Count();
}

void CSkinableFlatContactList::GetChecked(QString& checked, bool withName) const
{
    checked = m_rows->CheckedText(withName);
}

void CSkinableFlatContactList::ClearChecks()
{
    m_rows->ClearChecks();
}

bool CSkinableFlatContactList::IsChecked(int row) const
{
    return m_rows->IsChecked(row);
}

void CSkinableFlatContactList::AddMenuOption(int command, const QString& text, int data)
{
    m_menuOptions.push_back({text, command, data});
}

bool CSkinableFlatContactList::MenuCommand(int command) const
{
    if (command == 0)
        return false;
    return std::any_of(m_menuOptions.begin(), m_menuOptions.end(),
                       [command](const MenuOption& option) { return option.command == command; });
}

void CSkinableFlatContactList::OpenContextMenu(const QPoint& globalPos)
{
    m_menu = std::make_unique<QMenu>(this);
    QMenu* menu = m_menu.get();
    QAction* refresh = menu->addAction(Tr("Refresh list"));
    refresh->setData(ContactListRefreshCommand);
    for (const MenuOption& option : m_menuOptions) {
        if (option.command == 0) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(option.text);
        action->setData(option.command);
        action->setEnabled(!m_enabler || m_enabler(option.command));
    }
    connect(menu, &QMenu::triggered, this, [this](QAction* action) { OnMenuChoice(action->data().toInt()); });
    menu->popup(globalPos);
}

QMenu* CSkinableFlatContactList::ContextMenu() const
{
    return m_menu && m_menu->isVisible() ? m_menu.get() : nullptr;
}

void CSkinableFlatContactList::OnMenuChoice(int command)
{
    if (command == ContactListRefreshCommand)
        emit Command(m_id);
    else if (MenuCommand(command))
        emit Command(command);
}

void CSkinableFlatContactList::ScrollToLetter(int group, int repeat)
{
    const CFilteredList* list = m_rows->List();
    if (!list || list->Count() == 0)
        return;
    const int target = RowOfLetter(*list, LetterOfGroup(group, repeat));
    if (target < 0)
        return;
    setUpdatesEnabled(false);
    DoScroll(static_cast<quint32>(target));
    // The target row gets the focus lines; the selection mark goes.
    selectionModel()->clearSelection();
    selectionModel()->setCurrentIndex(m_rows->index(target), QItemSelectionModel::NoUpdate);
    setUpdatesEnabled(true);
    viewport()->update();
}

void CSkinableFlatContactList::OpenPhoneBox(int row)
{
    const tagCONTACT* record = GetItemAt(row);
    if (!record || !m_phoneBoxGuard)
        return;
    const QRect rowRect = visualRect(m_rows->index(row));
    const int belowRow = viewport()->mapToGlobal(QPoint(0, rowRect.top() + rowRect.height())).y();
    m_phoneBox->DeleteAllItems();
    m_phoneBox->SetContactRow(row);
    const int filter = CurrentList() ? CurrentList()->m_Filter : m_filter;
    for (int type = 0; type < ContactFieldCount; ++type) {
        if ((record->dwFieldMask & ContactFieldMask(type)) == 0 || (quint32(filter) & ContactFieldMask(type)) == 0)
            continue;
        const QString tag = CPoomPhoneNumbers::GetTag(type);
        m_phoneBox->AddLine(ContactField(record, type).toString(), CPoomPhoneNumbers::GetLabel(type), tag);
        if (type == record->nDefaultField)
            m_phoneBox->SetSelectedLine(m_phoneBox->LineCount() - 1);
    }
    m_phoneBox->ShowAt(belowRow);
}

MFCFlatPhoneBoxCtrl* CSkinableFlatContactList::PhoneBox() const
{
    return m_phoneBoxGuard.data();
}

void CSkinableFlatContactList::ClosePhoneBox()
{
    if (m_phoneBoxGuard)
        m_phoneBox->Close();
}

void CSkinableFlatContactList::OnPhoneBoxPicked()
{
    if (!m_phoneBoxGuard)
        return;
    const int row = m_phoneBox->ContactRow();
    tagCONTACT* record = GetItemAt(row);
    if (!record)
        return;
    if (HasCheckBoxes())
        m_rows->SetChecked(row, true);
    const int type = PresentFieldOfTag(*record, m_phoneBox->SelectedTag());
    if (type >= 0)
        record->nDefaultField = static_cast<qint16>(type);
    m_currentName = ContactName(record).toString();
    m_currentNumber = DefaultFieldText(*record).toString();
    m_currentOid = record->oid;
    emit CurrentChanged(m_id);
    m_rows->RowChanged(row);
    setFocus(Qt::OtherFocusReason);
    viewport()->update();
}

void CSkinableFlatContactList::ChangeFont(const QFont& font)
{
    m_normalFont = font;
    m_boldFont = font;
    m_boldFont.setWeight(QFont::Bold);
    m_delegate->SetFonts(m_normalFont, m_boldFont);
    setFont(m_normalFont);
    if (m_phoneBoxGuard)
        m_phoneBox->setFont(m_normalFont);
    doItemsLayout();
    CSkinListCtrl::ChangeFont(m_normalFont);
}

int CSkinableFlatContactList::SymbolBorder() const
{
    const int clientWidth = viewport()->width();
    const int symbolWidth = QFontMetrics(font()).horizontalAdvance(QLatin1Char('X'));
    return symbolWidth < 16 ? clientWidth - 28 : clientWidth - symbolWidth - 13;
}

void CSkinableFlatContactList::MakeCurrent(int row)
{
    const tagCONTACT* record = GetItemAt(row);
    const QString tag = record ? ContactDefaultTag(record) : QString();
    if (tag.isEmpty()) {
        m_currentName.clear();
        m_currentNumber.clear();
        m_currentOid = 0;
        return;
    }
    m_currentName = ContactName(record).toString();
    const int type = PresentFieldOfTag(*record, tag);
    m_currentNumber = type >= 0 ? ContactField(record, type).toString() : QString();
    m_currentOid = record->oid;
}

void CSkinableFlatContactList::OnTap(int row, const QPoint& at)
{
    const tagCONTACT* record = GetItemAt(row);
    if (!record)
        return;
    const int border = SymbolBorder();
    if (HasCheckBoxes() && at.x() < border)
        m_rows->ToggleChecked(row);
    MakeCurrent(row);
    emit CurrentChanged(m_id);
    if (!ContactDefaultTag(record).isEmpty() && at.x() >= border)
        OpenPhoneBox(row);
}

void CSkinableFlatContactList::SelectRow(int row)
{
    if (GetItemAt(row))
        selectionModel()->setCurrentIndex(m_rows->index(row), QItemSelectionModel::ClearAndSelect);
}

void CSkinableFlatContactList::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    m_pressedRow = indexAt(at).row();
    m_longPressed = false;
    if (event->button() == Qt::LeftButton) {
        m_lastTap = event->globalPosition().toPoint();
        m_longPress->start();
    }
    CSkinListCtrl::mousePressEvent(event);
    // A press on a row selects it, also with the right button (the menu
    // then works on that contact).
    if (m_pressedRow >= 0)
        SelectRow(m_pressedRow);
}

void CSkinableFlatContactList::mouseMoveEvent(QMouseEvent* event)
{
    if (m_longPress->isActive() &&
        (event->globalPosition().toPoint() - m_lastTap).manhattanLength() > QApplication::startDragDistance())
        m_longPress->stop();
    CSkinListCtrl::mouseMoveEvent(event);
}

void CSkinableFlatContactList::mouseReleaseEvent(QMouseEvent* event)
{
    m_longPress->stop();
    CSkinListCtrl::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton || m_longPressed) {
        m_pressedRow = -1;
        return;
    }
    const QPoint at = event->position().toPoint();
    const int row = indexAt(at).row();
    const int pressedRow = std::exchange(m_pressedRow, -1);
    if (row >= 0 && row == pressedRow)
        OnTap(row, at);
}

void CSkinableFlatContactList::OnLongPress()
{
    m_longPressed = true;
    OpenContextMenu(m_lastTap);
}

void CSkinableFlatContactList::contextMenuEvent(QContextMenuEvent* event)
{
    OpenContextMenu(event->reason() == QContextMenuEvent::Mouse ? event->globalPos() : m_lastTap);
    event->accept();
}

void CSkinableFlatContactList::keyPressEvent(QKeyEvent* event)
{
    // Enter is ours (it opens the phone box on release); it must not
    // reach a dialog's default button.
    if (IsEnterKey(event->key())) {
        event->accept();
        return;
    }
    const int before = SelectedRow();
    CSkinListCtrl::keyPressEvent(event);
    // Typing a name's first letters selects it as well (the view's own
    // search); the release then reports it like an arrow key.
    if (SelectedRow() != before)
        m_keyMovedSelection = true;
}

void CSkinableFlatContactList::keyReleaseEvent(QKeyEvent* event)
{
    const int row = SelectedRow();
    const bool moved = std::exchange(m_keyMovedSelection, false);
    if ((IsArrowKey(event->key()) || IsPagingKey(event->key()) || moved) && row >= 0) {
        ClosePhoneBox();
        MakeCurrent(row);
        emit CurrentChanged(m_id);
        event->accept();
        return;
    }
    if (IsEnterKey(event->key()) && isVisible()) {
        if (row >= 0)
            OpenPhoneBox(row);
        event->accept();
        return;
    }
    CSkinListCtrl::keyReleaseEvent(event);
}

void CSkinableFlatContactList::focusInEvent(QFocusEvent* event)
{
    CSkinListCtrl::focusInEvent(event);
    viewport()->update();  // the selection shows only with the focus
}

void CSkinableFlatContactList::focusOutEvent(QFocusEvent* event)
{
    CSkinListCtrl::focusOutEvent(event);
    viewport()->update();
}
