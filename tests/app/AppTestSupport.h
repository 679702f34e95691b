#pragma once
// What the application's tests share: a clean registry, waiting on the
// event loop, and a message handler that records the boxes it is shown.

#include <QStringList>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

class QAbstractItemModel;
class QComboBox;

inline const QString kAppKey = QStringLiteral("Software\\Orvanta\\Tessaly");

// Deletes everything the application and the port discovery keep.
void ResetRegistry();
void SetRegistryString(const QString& key, const QString& name, const QString& value);
void SetRegistryNumber(const QString& key, const QString& name, quint32 value);
// A clean registry holding what the test data file `dataFile` holds.
void ReplaceRegistry(const QString& dataFile);
QByteArray RegistryBytes();
// Stores the connection the window starts with.
void StoreConnection(const QString& port, const QString& name, int speed = 115200);

QStringList ComboItems(const QComboBox& box);
// The texts of a model's first column, row by row.
QStringList ColumnTexts(const QAbstractItemModel& model);

// Runs the event loop until `done` holds or `timeoutMs` passes.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 10000);

// Installs the GUI message handler with a presenter that records each box
// (and the thread that showed it) and gives its default answer: OK, or Yes
// to a question, unless answers were scripted for the questions.
class RecordedMessages {
public:
    RecordedMessages();
    ~RecordedMessages();
    QStringList Texts() const;
    void Clear();
    bool AllOnGuiThread() const;
    // The answers to the next boxes that ask something, in turn.
    void SetAnswers(QList<int> answers);

    struct State;

private:
    std::shared_ptr<State> m_state;  // shared with the installed handler
};

class CMainFrame;
class CPhoneBookView;

// The window on a fresh Contacts folder, untranslated, driven as its
// tests drive it.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Makes the window on a Contacts folder of its own. Its connection
    // dialogs get the connection names in `answers` in turn (an empty
    // name, or none left, cancels); each one's prompt, offered connections
    // and the one chosen as it opened are recorded.
    void MakeWindow(QStringList answers = {});
    // Shows it and waits for the connection's end.
    bool ShowWindow(int timeoutMs = 30000);
    bool OpenWindow(QStringList answers = {}) { MakeWindow(std::move(answers)); return ShowWindow(); }
    // Waits for the next connection to end, counted from the last call.
    bool WaitForConnection(int timeoutMs = 30000);
    CPhoneBookView* View() const;
    // Runs a command from its menu and waits until the device work is done.
    bool Command(int id);
    bool WaitIdle(int timeoutMs = 20000);
    // Selects the entry rows showing these names, as Ctrl+clicks.
    void Select(const QStringList& names);
    QStringList Shown() const;
    // Makes the window active, so that key presses reach it.
    bool Activate();
    // Reads the Contacts folder again and waits until the list shows
    // `rows` contacts, in an active window.
    bool ShowContacts(int rows);
    // A click on the name of the contact in `row`.
    void ClickContact(int row);
    // Copies a card of the test data into the Contacts folder and chooses
    // it in the Contacts list with a click.
    void ChooseCard(const QString& fileName);

    std::unique_ptr<CMainFrame> frame;
    QString contactsFolder;
    QStringList prompts, chosen;
    QList<QStringList> offered;
    int finished = 0;
};
