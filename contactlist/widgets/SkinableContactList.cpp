#include "contactlist/widgets/SkinableContactList.h"

#include "contactlist/ContactListModel.h"
#include "contactlist/widgets/ContactListFont.h"
#include "contactlist/widgets/LetterScrolling.h"
#include "contactlist/widgets/SkinableFlatContactList.h"
#include "platform/gui/SkinButton.h"
#include "platform/gui/SkinRepository.h"
#include "platform/gui/SkinScrollList.h"
#include "support/Trace.h"
#include "support/TranslationTable.h"

#include <QResizeEvent>

#include <algorithm>

namespace {

const QString SkinComponent = QStringLiteral("AddressBook");
constexpr int ScrollBarUpId = 100;
constexpr int ScrollBarDownId = 200;
constexpr int ScrollBarWidth = 13;  // the list's width is the window's less this
constexpr int MinimumButtonRowHeight = 18;

// What the letter buttons say: the letters each one steps through.
constexpr const char* LetterButtonTexts[ContactListLetterButtonCount] = {
    "#ab", "cde", "fgh", "ijk", "lmn", "opq", "rst", "uvw", "xyz",
};

}  // namespace

CSkinableContactList::CSkinableContactList(const QString& contactsFolder)
    : m_model(std::make_unique<CContactListModel>(contactsFolder)),
      m_list(std::make_unique<CSkinableFlatContactList>()),
      m_scrollBar(std::make_unique<CSkinScrollList>())
{
    setObjectName(QStringLiteral("MFCSkinableContactListCtrl"));
    setAttribute(Qt::WA_StyledBackground);
    setFont(ContactListFont());
    hide();
}

CSkinableContactList::~CSkinableContactList()
{
    if (m_list)
        m_list->ClosePhoneBox();
    if (m_registered && !m_unloaded)
        if (CSkinRepository* repository = CSkinRepository::GetSkinRepository())
            repository->RemoveComponent(this);
    m_scrollBar->SetListCtrl(nullptr);
    for (std::unique_ptr<CSkinButton>& button : m_buttons)
        button.reset();
    // The list shows records of the shared lists: it goes before the
    // model, whose end may free them (and write the cache file).
    m_list.reset();
    m_model.reset();
}

int CSkinableContactList::Create(QWidget* parent, const QRect& rect, int id, quint32 windowStyle, quint32 listStyle,
                                 quint32 extendedListStyle, const QString& cacheFile, int filter, bool readContacts,
                                 bool boxFlag, bool loadNow)
{
    if (m_created)
        return 0;
    m_id = id;
    setParent(parent);
    setGeometry(rect);

    CSkinRepository* repository = CSkinRepository::GetSkinRepository();
    m_list->Create(listStyle, extendedListStyle, QRect(QPoint(0, 0), rect.size()), this, ContactListControlId,
                   boxFlag);
    setFocusProxy(m_list.get());
    m_scrollBar->Create(this, SkinComponent, ScrollBarUpId, ScrollBarDownId, repository);
    m_scrollBar->SetListCtrl(m_list.get());
    for (int k = 0; k < ContactListLetterButtonCount; ++k) {
        auto button = std::make_unique<CSkinButton>();
        button->setText(Tr(LetterButtonTexts[k]));
        button->Create(this, SkinComponent, ContactListFirstLetterButton + k, repository);
        connect(button.get(), &CSkinButton::Command, this,
                [this](int buttonId) { OnLetterButton(buttonId - ContactListFirstLetterButton); });
        m_buttons[size_t(k)] = std::move(button);
    }
    connect(m_list.get(), &CSkinableFlatContactList::CurrentChanged, this, [this] { OnListNotify(); });
    // Menu commands arrive after the menu has closed, as posted ones do.
    connect(m_list.get(), &CSkinableFlatContactList::Command, this, [this](int command) { OnListCommand(command); },
            Qt::QueuedConnection);
    m_created = true;

    m_model->SetListsChangedHandler([this] { OnListsChanged(); });
    m_model->Create(cacheFile, filter, readContacts, loadNow);
    m_list->SetFilter(filter);
    HandToList();

    if (repository) {
        repository->AddComponent(this);
        m_registered = true;
    }
    LayOut();
    if (windowStyle & ContactListWindowVisible)
        show();
    return 1;
}

bool CSkinableContactList::RefreshList(bool silent)
{
    if (!m_created)
        return false;
    return m_model->RefreshList(silent);
}

void CSkinableContactList::ChangeFilter(int filter)
{
    if (!m_created || CContactListModel::AllFilteredLists().empty())
        return;
    m_model->ChangeFilter(filter);
    m_list->SetFilter(filter);
    HandToList();
}

int CSkinableContactList::Filter() const
{
    return m_model->Filter();
}

void CSkinableContactList::GetSelected(QString& name, QString& number) const
{
    m_model->GetSelected(name, number);
}

void CSkinableContactList::GetSelected(QString& name, QMap<QString, QString>& numbers) const
{
    QString number;
    m_model->GetSelected(name, number);
    numbers.clear();
    if (const tagCONTACT* record = m_list->GetItemAt(m_list->SelectedRow()))
        numbers = ContactTelephoneNumbers(record);
}

quint32 CSkinableContactList::GetSelectedOID() const
{
    return m_list->GetSelectedOID();
}

void CSkinableContactList::GetChecked(QString& checked, bool withName) const
{
    m_list->GetChecked(checked, withName);
}

void CSkinableContactList::ClearChecks()
{
    m_list->ClearChecks();
}

void CSkinableContactList::AddMenuOption(int command, const QString& text, int data)
{
    m_list->AddMenuOption(command, text, data);
}

void CSkinableContactList::RemoveMenuOptions()
{
    m_list->RemoveMenuOptions();
}

void CSkinableContactList::ShowWindow(bool show)
{
    setVisible(show);
}

void CSkinableContactList::setVisible(bool visible)
{
    if (!visible)
        HidePhoneBox();
    QWidget::setVisible(visible);
}

void CSkinableContactList::HidePhoneBox()
{
    if (m_list)
        m_list->ClosePhoneBox();
}

bool CSkinableContactList::GetNameFromNumber(const QString& number, QString& name)
{
    return CContactListModel::GetNameFromNumber(number, name);
}

bool CSkinableContactList::GetNameListFromNumber(const QString& number, QStringList& names)
{
    return CContactListModel::GetNameListFromNumber(number, names);
}

bool CSkinableContactList::CompactNumber(QString& number)
{
    return CContactListModel::CompactNumber(number);
}

bool CSkinableContactList::IsRefreshing()
{
    return CContactListModel::IsRefreshing();
}

CSkinButton* CSkinableContactList::LetterButton(int k) const
{
    return k >= 0 && k < ContactListLetterButtonCount ? m_buttons[size_t(k)].get() : nullptr;
}

void CSkinableContactList::Unload()
{
    m_unloaded = true;
}

void CSkinableContactList::Update() {}

void CSkinableContactList::OnUpdate()
{
    LayOut();
}

void CSkinableContactList::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    LayOut();
}

void CSkinableContactList::OnLetterButton(int k)
{
    if (k < 0 || k >= ContactListLetterButtonCount)
        return;
    m_repeatCount = NextRepeatCount(k, m_lastButton, m_repeatCount);
    m_lastButton = k;
    m_list->ScrollToLetter(k, m_repeatCount);
}

void CSkinableContactList::OnListNotify()
{
    QString name;
    QString number;
    m_list->GetSelected(name, number);
    m_model->SetSelected(name, number);
    emit Clicked(m_id);
}

void CSkinableContactList::OnListCommand(int command)
{
    if (command == ContactListControlId) {
        RefreshList(false);
        return;
    }
    if (m_list->MenuCommand(command))
        emit MenuCommand(command);
}

void CSkinableContactList::OnListsChanged()
{
    HandToList();
    TraceMessage(g_traceSkinables, TRACE_INFO, "CSkinableContactList: %d contacts shown\n", m_list->RowCount());
    emit ListChanged();
}

void CSkinableContactList::HandToList()
{
    m_list->SetDataSource(&CContactListModel::AllFilteredLists());
    m_list->UpdateFromSource();
}

void CSkinableContactList::LayOut()
{
    if (!m_created)
        return;
    int buttonRow = MinimumButtonRowHeight;
    for (const std::unique_ptr<CSkinButton>& button : m_buttons)
        if (button)
            buttonRow = std::max(buttonRow, std::min(button->sizeHint().height(), 2 * MinimumButtonRowHeight));
    const int listHeight = std::max(0, height() - buttonRow);
    const int listWidth = std::max(0, width() - ScrollBarWidth);
    m_list->SetPosition(this, QRect(0, 0, listWidth, listHeight));
    m_scrollBar->setGeometry(listWidth, 0, ScrollBarWidth, listHeight);
    // The buttons share the row; the spare pixels go to the first ones.
    const int count = ContactListLetterButtonCount;
    const int base = width() / count;
    const int spare = width() % count;
    int x = 0;
    for (int k = 0; k < count; ++k) {
        const int buttonWidth = base + (k < spare ? 1 : 0);
        if (m_buttons[size_t(k)])
            m_buttons[size_t(k)]->setGeometry(x, listHeight, buttonWidth, buttonRow);
        x += buttonWidth;
    }
    m_scrollBar->Sync();
}
