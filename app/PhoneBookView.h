#pragma once
// The one window inside the main frame: the SIM and phone entries on top,
// a strip with the Contacts caption and the two counters, and the Contacts
// list below. It holds the entries read from both stores, keeps them
// sorted, and presents the connection (CPhoneBookConnection), whose device
// work runs on the device worker while the progress popup blinks.

#include "app/AppSettings.h"
#include "app/DeviceWorker.h"
#include "app/ProgressPopup.h"
#include "gsmcore/link/GSMDevice.h"
#include "gsmcore/link/Ptr.h"
#include "gsmcore/phonebook/ExtractorContact.h"
#include "support/Event.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

class CConnectionDlg;
class CEntryCommands;
class CEntryListModel;
class CPhoneBookConnection;
class CPhoneBookList;
class CSkinableContactList;
class QLabel;

class CPhoneBookView : public QWidget {
    Q_OBJECT

public:
    static constexpr int DefaultWidth = 240;
    static constexpr int DefaultHeight = 271;
    static constexpr int ContactsListId = 1022;

    // `contactsFolder` empty: the default contacts store.
    explicit CPhoneBookView(QWidget* parent = nullptr, const QString& contactsFolder = QString());
    ~CPhoneBookView() override;

    // A connection for this run only (command line); never saved. The
    // GSM Device dialog shows it under `name`; empty: the port's name as
    // port discovery lists it, "Simulate" for the simulated stores, or the
    // port itself.
    void SetConnectionOverride(const QString& port, int speed, const QString& name = QString());
    bool HasConnectionOverride() const { return m_hasOverride; }
    QString OverrideName() const;
    // Runs the connection dialog; tests answer it through this.
    using DialogRunner = std::function<int(CConnectionDlg& dialog)>;
    void SetDialogRunner(DialogRunner runner) { m_dialogRunner = std::move(runner); }

    // The view's commands; false when the command is not the view's.
    bool OnCommand(int command);
    bool IsCommandEnabled(int command) const;

    // Connection (the first one starts by itself once the window shows).
    void StartConnectionLoop(bool askFirst);
    bool ChooseConnection(const QString& prompt);
    // Closes what is open and connects on the device worker; `done` gets
    // false when the device cannot be opened or identified.
    void Connect(std::function<void(bool ok)> done);
    void Disconnect();
    void CloseDevice();
    // The window is closing: device work running or queued gives up at
    // once (its waits and the pauses between attempts end), the device is
    // closed and the worker stopped. Nothing more is asked or shown.
    void Shutdown();
    bool IsShutDown() const { return m_shutDown; }
    Ptr<CGSMDevice> GetDevicePtr();

    // Entries.
    void ReadMemories(std::function<void()> done);
    // Reads both memories again while the window waits (F5).
    void Refresh();
    // How many locations from the memory's first one may be written: its
    // size, or after a read that stopped early only those the read
    // reached, since the others may hold entries nobody has seen.
    int WritableSize(MEMORYTYPE memory, int firstIndex) const;
    bool ReadCutShort(MEMORYTYPE memory) const;
    // What to tell when `memory` has no free location.
    QString FullMessage(MEMORYTYPE memory) const;
    void UpdateCounters();
    void RefreshList(bool showSim, bool showPhone);
    int RowToEntry(int row) const;
    void SortEntries(bool ascending, bool byName);
    void OnHeaderClicked(int column);
    void ShowContactsList(bool show);

    CAppSettings& Settings() { return m_settings; }
    const ExtractorContactArray& Entries() const;
    int SimMemorySize() const { return m_simMemorySize; }
    int PhoneMemorySize() const { return m_phoneMemorySize; }
    bool SortByName() const { return m_sortByName; }
    bool SortAscending() const { return m_sortAscending; }
    bool IsBusy() const { return m_busy; }
    bool IsDeviceOpen() const { return m_deviceOpen; }
    QString EffectivePort() const;
    int EffectiveSpeed() const;

    CPhoneBookList* EntryList() const { return m_list; }
    CEntryListModel* EntryModel() const { return m_model.get(); }
    QLabel* SimCounter() const { return m_simCounter; }
    QLabel* PhoneCounter() const { return m_phoneCounter; }
    QLabel* ContactsCaption() const { return m_contactsCaption; }
    CSkinableContactList* ContactsList() const { return m_contactsList.get(); }
    CProgressPopup& Popup() { return m_popup; }
    CDeviceWorker& Worker() { return *m_worker; }
    CPhoneBookConnection& Connection() { return *m_connection; }
    CEntryCommands& EntryCommands() { return *m_commands; }
    const QString& ContactsFolder() const { return m_contactsFolder; }

    // Runs `work` on the device worker while the window refuses input and
    // the progress popup shows; `done` then runs here.
    void RunDeviceWork(std::function<void()> work, std::function<void()> done);

    QSize sizeHint() const override { return QSize(DefaultWidth, DefaultHeight); }

signals:
    // Device work started or ended; while busy the window takes no input.
    void BusyChanged(bool busy);
    // A connection loop, a disconnect or a read has ended.
    void ConnectionFinished();
    // Connect/Disconnect may have changed their enabled state.
    void CommandStatesChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class CEntryCommands;  // the commands on entries change the array in place
    enum class FocusedList { Entries, Contacts };

    struct ReadResult;
    void ConnectionPass();
    void EndConnectionLoop();
    void ApplyMemories(ReadResult& result);
    void SetBusy(bool busy);
    void LayOut();
    int EntryBottom() const;
    void PostProgress(std::function<void(CProgressPopup&)> call);

    CAppSettings m_settings;
    CProgressPopup m_popup;
    QLabel* m_simCounter = nullptr;       // children of the view
    QLabel* m_phoneCounter = nullptr;
    QLabel* m_contactsCaption = nullptr;
    std::unique_ptr<CPhoneBookConnection> m_connection;  // touched by the worker while busy
    std::unique_ptr<CDeviceWorker> m_worker;
    int m_simMemorySize = 0;
    int m_phoneMemorySize = 0;
    std::unique_ptr<CSkinableContactList> m_contactsList;
    CPhoneBookList* m_list = nullptr;
    std::unique_ptr<CEntryListModel> m_model;
    bool m_sortByName = true;
    bool m_sortAscending = true;

    // The last location each memory's read reached when it stopped
    // early; -1 after a whole read.
    int m_simReadEnd = -1;
    int m_phoneReadEnd = -1;
    // The widget that had the keyboard focus when device work began.
    QPointer<QWidget> m_focusBeforeBusy;

    QString m_portOverride;
    int m_speedOverride = 0;
    QString m_overrideName;
    bool m_hasOverride = false;
    std::shared_ptr<CEvent> m_cancelPauses;  // set at shut-down: the connection's pauses end
    bool m_shutDown = false;
    DialogRunner m_dialogRunner;
    bool m_busy = false;
    bool m_deviceOpen = false;
    bool m_loopRunning = false;
    bool m_loopFirst = true;
    bool m_loopAskFirst = false;
    bool m_contactsShownAgain = false;
    bool m_connectAfterPaint = false;
    QString m_contactsFolder;
    // The list the commands on entries work on: the one that last had the
    // keyboard focus (a menu takes the focus only while it is open).
    FocusedList m_lastFocusedList = FocusedList::Entries;
    std::unique_ptr<CEntryCommands> m_commands;
};
