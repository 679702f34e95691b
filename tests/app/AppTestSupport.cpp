#include "tests/app/AppTestSupport.h"

#include "app/AppSettings.h"
#include "app/CommandIds.h"
#include "app/EntryListModel.h"
#include "app/MainFrame.h"
#include "app/PhoneBookList.h"
#include "app/GuiMessageHandler.h"
#include "app/PhoneBookView.h"
#include "app/dialogs/ConnectionDlg.h"
#include "contactlist/widgets/ContactRowsModel.h"
#include "contactlist/widgets/SkinableContactList.h"
#include "contactlist/widgets/SkinableFlatContactList.h"
#include "support/MessageBoxTypes.h"
#include "support/RegistryStore.h"
#include "support/TranslationTable.h"
#include "tests/TestEnvironment.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QThread>

#include <memory>
#include <mutex>

void ResetRegistry()
{
    CRegistryStore::Instance().ClearOverlay();
    for (const char* key : {"Software\\Orvanta", "Drivers", "ExtModems"})
        CRegistryStore::Instance().DeleteKey(HKEY_LOCAL_MACHINE, QString::fromLatin1(key));
}

void StoreConnection(const QString& port, const QString& name, int speed)
{
    CAppSettings settings;
    settings.ComPort = port;
    settings.TapiDevice = name;
    settings.Speed = speed;
    settings.Save();
}

void SetRegistryString(const QString& key, const QString& name, const QString& value)
{ CRegistryStore::Instance().SetValue(HKEY_LOCAL_MACHINE, key, name, RegValue::fromString(value)); }
void SetRegistryNumber(const QString& key, const QString& name, quint32 value)
{ CRegistryStore::Instance().SetValue(HKEY_LOCAL_MACHINE, key, name, RegValue::fromDWord(value)); }

void ReplaceRegistry(const QString& dataFile)
{
    ResetRegistry();
    QFile source(TestDataPath(dataFile));
    QFile target(CRegistryStore::Instance().Path());
    ASSERT_TRUE(source.open(QIODevice::ReadOnly) && target.open(QIODevice::WriteOnly | QIODevice::Truncate));
    target.write(source.readAll());
}

QByteArray RegistryBytes() { QFile file(CRegistryStore::Instance().Path()); return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray(); }

QStringList ComboItems(const QComboBox& box)
{
    QStringList items;
    for (int i = 0; i < box.count(); ++i)
        items << box.itemText(i);
    return items;
}

QStringList ColumnTexts(const QAbstractItemModel& model)
{
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row)
        texts << model.index(row, 0).data().toString();
    return texts;
}

bool WaitUntil(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

struct RecordedMessages::State {
    mutable std::mutex lock;
    QStringList texts;
    QList<int> answers;
    bool allOnGui = true;
};

RecordedMessages::RecordedMessages() : m_state(std::make_shared<State>())
{
    // A window closed by an earlier test has silenced the boxes.
    CGuiMessageHandler::SetShuttingDown(false);
    // The handler may be called after the recorder is gone (a late box of
    // a closing window): it keeps the state alive.
    CAppMessages::Instance().SetMessageHandler(std::make_unique<CGuiMessageHandler>(
        [state = m_state](const QString& text, unsigned type) {
            std::lock_guard<std::mutex> guard(state->lock);
            state->texts.append(text);
            if (QThread::currentThread() != QCoreApplication::instance()->thread())
                state->allOnGui = false;
            if ((type & MB_TYPEMASK) != MB_OK && !state->answers.isEmpty())
                return state->answers.takeFirst();
            return DefaultAnswerFor(type);
        }));
}

RecordedMessages::~RecordedMessages() = default;

QStringList RecordedMessages::Texts() const { std::lock_guard guard(m_state->lock); return m_state->texts; }
void RecordedMessages::Clear() { std::lock_guard guard(m_state->lock); m_state->texts.clear(); }
void RecordedMessages::SetAnswers(QList<int> answers) { std::lock_guard guard(m_state->lock); m_state->answers = std::move(answers); }
bool RecordedMessages::AllOnGuiThread() const { std::lock_guard guard(m_state->lock); return m_state->allOnGui; }

void WindowTest::SetUp()
{
    ReplaceRegistry(QStringLiteral("app/no-ports.ini"));
    CTranslationTable::Clear();
}

void WindowTest::TearDown()
{
    frame.reset();
    CTranslationTable::Clear();
}
CPhoneBookView* WindowTest::View() const { return frame->View(); }

void WindowTest::MakeWindow(QStringList answers)
{
    frame.reset();
    finished = 0;
    prompts.clear();
    chosen.clear();
    offered.clear();
    contactsFolder = NewTempFolder(QStringLiteral("contacts"));
    frame = std::make_unique<CMainFrame>(contactsFolder);
    QObject::connect(View(), &CPhoneBookView::ConnectionFinished, [this] { ++finished; });
    View()->SetDialogRunner([this, answers](CConnectionDlg& dialog) mutable {
        prompts << dialog.PromptLabel()->text();
        offered << ComboItems(*dialog.ConnectionList());
        chosen << dialog.ConnectionList()->currentText();
        const QString answer = answers.isEmpty() ? QString() : answers.takeFirst();
        if (answer.isEmpty())
            return int(QDialog::Rejected);
        dialog.ConnectionList()->setCurrentIndex(dialog.ConnectionList()->findText(answer));
        dialog.accept();
        return int(QDialog::Accepted);
    });
}

bool WindowTest::ShowWindow(int timeoutMs) { frame->show(); return WaitForConnection(timeoutMs); }

bool WindowTest::WaitForConnection(int timeoutMs)
{
    const bool done = WaitUntil([this] { return finished > 0; }, timeoutMs);
    finished = 0;
    return done;
}

bool WindowTest::WaitIdle(int timeoutMs) { return WaitUntil([this] { return !View()->IsBusy() && !View()->Worker().IsBusy(); }, timeoutMs); }

bool WindowTest::Command(int id)
{
    // As the menu opens it enables its commands.
    for (int menu = 0; menu < 4; ++menu)
        emit frame->Menu(menu)->aboutToShow();
    frame->Action(id)->trigger();
    return WaitIdle();
}

void WindowTest::Select(const QStringList& names)
{
    CPhoneBookList* list = View()->EntryList();
    list->clearSelection();
    for (int row = 0; row < View()->EntryModel()->rowCount(); ++row) {
        const QModelIndex index = View()->EntryModel()->index(row, 0);
        if (names.contains(index.data().toString()))
            QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, list->visualRect(index).center());
    }
}

QStringList WindowTest::Shown() const { return ColumnTexts(*View()->EntryModel()); }

bool WindowTest::Activate() { frame->activateWindow(); return QTest::qWaitForWindowActive(frame.get()); }

bool WindowTest::ShowContacts(int rows)
{
    CSkinableFlatContactList* flat = View()->ContactsList()->ListControl();
    View()->ContactsList()->RefreshList(true);
    return WaitUntil([&] { return flat->RowCount() == rows && !CSkinableContactList::IsRefreshing(); }) && Activate();
}

void WindowTest::ClickContact(int row)
{
    CSkinableFlatContactList* flat = View()->ContactsList()->ListControl();
    QTest::mouseClick(flat->viewport(), Qt::LeftButton, {}, flat->visualRect(flat->Rows().index(row)).center() - QPoint(90, 0));
}

void WindowTest::ChooseCard(const QString& fileName)
{
    ASSERT_TRUE(QFile::copy(TestDataPath(QStringLiteral("contacts/") + fileName), contactsFolder + u'/' + fileName));
    ASSERT_TRUE(ShowContacts(1));
    ClickContact(0);
    ASSERT_NE(View()->ContactsList()->GetSelectedOID(), 0u);
}
