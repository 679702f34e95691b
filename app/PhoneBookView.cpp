#include "app/PhoneBookView.h"

#include "app/CommandIds.h"
#include "app/DataFiles.h"
#include "app/EntryCommands.h"
#include "app/EntryListModel.h"
#include "app/GuiMessageHandler.h"
#include "app/PhoneBookList.h"
#include "app/dialogs/ConnectionDlg.h"
#include "contactlist/FilteredList.h"
#include "contactlist/widgets/ContactListStyles.h"
#include "contactlist/widgets/SkinableContactList.h"
#include "contactlist/widgets/SkinableFlatContactList.h"
#include "gsmcore/link/PortList.h"
#include "gsmcore/phonebook/EntryMove.h"
#include "gsmcore/phonebook/PhoneBookConnection.h"
#include "support/AppMessages.h"
#include "support/Format.h"
#include "support/MessageBoxTypes.h"
#include "support/Trace.h"
#include "support/TranslationTable.h"

#include <QApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPainter>
#include <QTimer>

#include <algorithm>

namespace {

// A read cut short still shows what it got; the box says the list is not whole.
QString ReadErrorText(const char* error, size_t entriesRead)
{
    if (entriesRead == 0)
        return Tr(error);
    return Tr(error) + QLatin1Char('\n') + Format(Tr("The list is incomplete: %d entries were read."), int(entriesRead));
}

// The layout at the default size; the window may grow, then the entry
// list and the Contacts list share the extra height and x scales.
constexpr int kStripHeight = 20;
constexpr int kContactsShift = 120;

QLabel* MakeCaption(QWidget* parent, const QString& text, const char* name)
{
    auto* label = new QLabel(text, parent);  // owned by the view
    label->setObjectName(QLatin1String(name));
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Button));
    label->setPalette(palette);
    return label;
}

}  // namespace

struct CPhoneBookView::ReadResult {
    ExtractorContactArray sim;
    ExtractorContactArray phone;
    int simSize = 0;
    int phoneSize = 0;
    bool simComplete = true;
    bool phoneComplete = true;
    bool haveReported = false;
    int phoneNameSize = 0;
    int phoneNumberSize = 0;
    int simNameSize = 0;
    int simNumberSize = 0;
};

CPhoneBookView::CPhoneBookView(QWidget* parent, const QString& contactsFolder)
    : QWidget(parent),
      m_connection(std::make_unique<CPhoneBookConnection>()),
      m_worker(std::make_unique<CDeviceWorker>()),
      m_cancelPauses(std::make_shared<CEvent>(true)),
      m_contactsFolder(contactsFolder)
{
    m_commands = std::make_unique<CEntryCommands>(*this);
    // A window that lives again after another one closed shows its boxes.
    CGuiMessageHandler::SetShuttingDown(false);
    // The pauses between connection attempts end when the window closes.
    m_connection->SetSleep([cancel = m_cancelPauses](int ms) { cancel->Wait(ms); });
    setObjectName(QStringLiteral("PhoneBookView"));
    resize(DefaultWidth, DefaultHeight);
    m_popup.SetOwner(this);

    m_simCounter = MakeCaption(this, QString(), "SimCounter");
    m_phoneCounter = MakeCaption(this, QString(), "PhoneCounter");
    m_contactsCaption = MakeCaption(this, Tr("Contacts"), "ContactsCaption");

    m_list = new CPhoneBookList(this);  // owned by the view
    m_model = std::make_unique<CEntryListModel>();
    m_list->setModel(m_model.get());
    m_list->setColumnWidth(0, 127);
    m_list->setColumnWidth(1, 97);
    connect(m_list->header(), &QHeaderView::sectionClicked, this, &CPhoneBookView::OnHeaderClicked);
    // Enter or a double-click on an entry opens it for editing.
    connect(m_list, &QAbstractItemView::activated, this, [this] {
        m_lastFocusedList = FocusedList::Entries;
        if (IsCommandEnabled(ID_EDIT_MODIFY))
            OnCommand(ID_EDIT_MODIFY);
    });
    // The menu's shortcuts (Delete...) follow what is selected where.
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CPhoneBookView::CommandStatesChanged);
    connect(m_list, &CPhoneBookList::Command, this, [this](int command) {
        m_lastFocusedList = FocusedList::Entries;
        OnCommand(command);
    });

    m_contactsList = std::make_unique<CSkinableContactList>(contactsFolder);
    m_contactsList->Create(this, QRect(0, 150, DefaultWidth, DefaultHeight - 150), ContactsListId,
                           ContactListDefaultWindowStyle, ContactListDefaultListStyle,
                           ContactListDefaultExtendedStyle, ContactsCacheFile(), CFilteredList::AllContactsFilter,
                           true, true, false);
    m_contactsList->AddMenuOption(ID_EDIT_DELETE, Tr("Delete"));
    m_contactsList->AddMenuOption(ID_TRANSFER_ADDTOSIMPHONE, Tr("Add to SIM/Phone"));
    m_contactsList->ListControl()->SetCommandEnabler([this](int command) {
        // The menu is the Contacts list's: its commands work on it.
        m_lastFocusedList = FocusedList::Contacts;
        return IsCommandEnabled(command);
    });
    connect(m_contactsList.get(), &CSkinableContactList::MenuCommand, this, [this](int command) {
        m_lastFocusedList = FocusedList::Contacts;
        OnCommand(command);
    });
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        // Disabling the lists for device work moves the focus: that is not the user's choice.
        if (m_busy)
            return;
        if (now == m_list)
            m_lastFocusedList = FocusedList::Entries;
        else if (now && m_contactsList && m_contactsList->isAncestorOf(now))
            m_lastFocusedList = FocusedList::Contacts;
        else
            return;
        emit CommandStatesChanged();
    });
    connect(m_contactsList.get(), &CSkinableContactList::Clicked, this, &CPhoneBookView::CommandStatesChanged);
    connect(m_contactsList.get(), &CSkinableContactList::ListChanged, this, &CPhoneBookView::CommandStatesChanged);

    m_list->AddMenuOption(ID_EDIT_DELETE, Tr("Delete"), -1);
    m_list->AddMenuOption(ID_EDIT_MODIFY, Tr("Modify..."), -1);
    m_list->AddMenuOption(0, QString(), -1);
    m_list->AddMenuOption(ID_EDIT_MOVETOSIM, Tr("Move to SIM"), MEMORY_PHONE);
    m_list->AddMenuOption(ID_EDIT_MOVETOPHONE, Tr("Move to Phone"), MEMORY_SIM);
    m_list->AddMenuOption(ID_TRANSFER_ADDTOCONTACTS, Tr("Add to Contacts..."), -1);
    m_list->SetCommandEnabler([this](int command) {
        // The menu is the entry list's: its commands work on it.
        m_lastFocusedList = FocusedList::Entries;
        return IsCommandEnabled(command);
    });

    if (!m_settings.Load())
        m_settings.ApplyDefaults();
    m_model->SetShown(m_settings.ShowSim, m_settings.ShowPhone);

    // The Contacts from their cache are painted first; the check against
    // the folder and the first connection start after that.
    m_connectAfterPaint = true;

    if (!m_settings.ShowContacts)
        ShowContactsList(false);
    LayOut();
    // The counters stay empty until the first read.
}

CPhoneBookView::~CPhoneBookView()
{
    Shutdown();
}

void CPhoneBookView::Shutdown()
{
    if (m_shutDown)
        return;
    m_shutDown = true;
    // From here on device errors are traced, never shown: the user has
    // asked to leave, and a box would hold the program open.
    CGuiMessageHandler::SetShuttingDown(true);
    CPhoneBookConnection* connection = m_connection.get();
    // A read still running would hold the window for minutes: the device
    // gives up its waits at once, the pauses between attempts end, and
    // the queued work fails quickly.
    m_cancelPauses->Set();
    connection->CancelDeviceWork();
    m_worker->Run([connection] { connection->Disconnect(); });
    m_worker->Stop();
    m_popup.Close();
    m_model->Clear();
    m_deviceOpen = false;
    if (m_busy) {
        m_busy = false;
        QApplication::restoreOverrideCursor();
    }
}

void CPhoneBookView::SetConnectionOverride(const QString& port, int speed, const QString& name)
{
    m_portOverride = port;
    m_speedOverride = speed > 0 ? speed : m_settings.Speed;
    m_overrideName = name;
    m_hasOverride = true;
}

QString CPhoneBookView::OverrideName() const
{
    if (!m_overrideName.isEmpty())
        return m_overrideName;
    if (m_portOverride == m_settings.ComPort)
        return m_settings.TapiDevice;  // only the speed is this run's
    if (m_portOverride == CPhoneBookConnection::SimulatedPort())
        return QStringLiteral("Simulate");
    CPortList ports;
    const int found = ports.Discover() ? int(ports.Ports().indexOf(m_portOverride)) : -1;
    return found >= 0 ? ports.Names()[found] : m_portOverride;
}

QString CPhoneBookView::EffectivePort() const
{
    return m_hasOverride ? m_portOverride : m_settings.ComPort;
}

int CPhoneBookView::EffectiveSpeed() const
{
    return m_hasOverride ? m_speedOverride : m_settings.Speed;
}

// ---- commands ----------------------------------------------------------

bool CPhoneBookView::IsCommandEnabled(int command) const
{
    if (m_busy)
        return false;
    switch (command) {
    case ID_FILE_GSMDEVICE:
        return true;
    case ID_FILE_CONNECT:
        return !m_deviceOpen;
    case ID_FILE_DISCONNECT:
        return m_deviceOpen;
    case ID_VIEW_REFRESH:
        return m_connection->GetSimStore() || m_connection->GetPhoneStore();
    default:
        return m_commands->IsEnabled(command);
    }
}

bool CPhoneBookView::OnCommand(int command)
{
    switch (command) {
    case ID_FILE_GSMDEVICE:
        if (IsCommandEnabled(command))
            StartConnectionLoop(true);
        return true;
    case ID_FILE_CONNECT:
        if (IsCommandEnabled(command))
            StartConnectionLoop(false);
        return true;
    case ID_FILE_DISCONNECT:
        if (IsCommandEnabled(command))
            Disconnect();
        return true;
    case ID_VIEW_REFRESH:
        if (IsCommandEnabled(command))
            Refresh();
        return true;
    default:
        if (!CEntryCommands::Handles(command))
            return false;
        m_commands->Run(command);
        return true;
    }
}

// ---- connection --------------------------------------------------------

void CPhoneBookView::SetBusy(bool busy)
{
    if (m_busy == busy)
        return;
    m_busy = busy;
    // The popup stays painted; the lists take no input meanwhile. The list
    // the user worked in gets the focus back afterwards, with its selection.
    if (busy) {
        QWidget* focused = QApplication::focusWidget();
        m_focusBeforeBusy = focused && isAncestorOf(focused) ? focused : nullptr;
    }
    m_list->setEnabled(!busy);
    if (m_contactsList)
        m_contactsList->setEnabled(!busy);
    if (!busy && m_focusBeforeBusy && m_focusBeforeBusy->isVisible())
        m_focusBeforeBusy->setFocus(Qt::OtherFocusReason);
    if (busy)
        QApplication::setOverrideCursor(Qt::BusyCursor);
    else
        QApplication::restoreOverrideCursor();
    emit BusyChanged(busy);
    emit CommandStatesChanged();
}

void CPhoneBookView::StartConnectionLoop(bool askFirst)
{
    if (m_loopRunning || m_busy || m_shutDown)
        return;
    m_loopRunning = true;
    m_loopFirst = true;
    m_loopAskFirst = askFirst;
    SetBusy(true);
    ConnectionPass();
}

void CPhoneBookView::ConnectionPass()
{
    const bool first = m_loopFirst;
    const bool ask = !first || m_loopAskFirst || EffectivePort().isEmpty();
    if (ask) {
        const QString prompt = first ? Tr("Where is the GSM device?") : Tr("Cannot find GSM device.");
        if (!ChooseConnection(prompt)) {
            if (first && m_loopAskFirst) {
                // GSM Device cancelled at once: nothing changes.
                EndConnectionLoop();
                return;
            }
            // No device for the rest of this run; the stored connection
            // stays as it is, whatever is saved later.
            m_portOverride.clear();
            m_overrideName = QStringLiteral("None");
            m_speedOverride = EffectiveSpeed();
            m_hasOverride = true;
        }
    }
    m_loopFirst = false;
    Connect([this](bool ok) {
        if (!ok) {
            ConnectionPass();
            return;
        }
        ReadMemories([this] {
            m_popup.Hide();
            EndConnectionLoop();
        });
    });
}

void CPhoneBookView::EndConnectionLoop()
{
    m_loopRunning = false;
    SetBusy(false);
    emit ConnectionFinished();
}

bool CPhoneBookView::ChooseConnection(const QString& prompt)
{
    // The connection in use is offered under its own name: a connection
    // of this run only shows as itself, not as the stored one.
    const QString overrideName = m_hasOverride ? OverrideName() : QString();
    CConnectionDlg dialog(window());
    dialog.m_ComPort = EffectivePort();
    dialog.m_TapiDevice = m_hasOverride ? overrideName : m_settings.TapiDevice;
    dialog.m_bVirtualPort = m_hasOverride ? false : m_settings.VirtualPort;
    dialog.m_Speed = EffectiveSpeed();
    dialog.m_Prompt = prompt;
    // The dialog must take input while the window waits for it.
    const bool wasBusy = m_busy;
    if (wasBusy)
        QApplication::restoreOverrideCursor();
    int result;
    if (m_dialogRunner) {
        dialog.OnInitDialog();
        result = m_dialogRunner(dialog);
    } else {
        result = dialog.Run();
    }
    if (wasBusy)
        QApplication::setOverrideCursor(Qt::BusyCursor);
    if (result != QDialog::Accepted)
        return false;
    if (m_hasOverride) {
        // OK on this run's connection keeps it, for this run only.
        if (dialog.m_TapiDevice == overrideName && dialog.m_ComPort == m_portOverride) {
            m_speedOverride = dialog.m_Speed;
            return true;
        }
        // A port picked in the dialog is the user's choice, stored as usual.
        m_hasOverride = false;
    }
    // Only a new connection name or speed counts as a change; another
    // port under the same name is not taken.
    if (dialog.m_TapiDevice != m_settings.TapiDevice || dialog.m_Speed != m_settings.Speed) {
        m_settings.ComPort = dialog.m_ComPort;
        m_settings.TapiDevice = dialog.m_TapiDevice;
        m_settings.VirtualPort = dialog.m_bVirtualPort;
        m_settings.Speed = dialog.m_Speed;
        m_hasOverride = false;
        m_settings.Save();
    }
    return true;
}

void CPhoneBookView::PostProgress(std::function<void(CProgressPopup&)> call)
{
    QMetaObject::invokeMethod(this, [this, call = std::move(call)] { call(m_popup); }, Qt::QueuedConnection);
}

void CPhoneBookView::Connect(std::function<void(bool)> done)
{
    m_model->Clear();
    m_connection->SetPort(EffectivePort(), EffectiveSpeed());
    CPhoneBookConnection::Progress progress;
    progress.setText = [this](const QString& text) {
        PostProgress([text](CProgressPopup& popup) { popup.SetText(text); });
    };
    progress.show = [this] { PostProgress([](CProgressPopup& popup) { popup.Show(); }); };
    progress.hide = [this] { PostProgress([](CProgressPopup& popup) { popup.Hide(); }); };
    m_connection->SetProgress(std::move(progress));

    auto ok = std::make_shared<bool>(false);
    CPhoneBookConnection* connection = m_connection.get();
    m_worker->Run([connection, ok] { *ok = connection->Connect(); },
                  [this, ok, done = std::move(done)] {
                      m_deviceOpen = m_connection->IsDeviceOpen();
                      emit CommandStatesChanged();
                      if (done)
                          done(*ok);
                  });
}

void CPhoneBookView::Disconnect()
{
    if (m_busy)
        return;
    SetBusy(true);
    CPhoneBookConnection* connection = m_connection.get();
    m_worker->Run([connection] { connection->Disconnect(); },
                  [this] {
                      m_deviceOpen = false;
                      // Nothing is read any more: the counters say so, like the lists.
                      m_model->Clear();
                      m_simMemorySize = 0;
                      m_phoneMemorySize = 0;
                      m_simReadEnd = m_phoneReadEnd = -1;
                      UpdateCounters();
                      SetBusy(false);
                      emit ConnectionFinished();
                  });
}

void CPhoneBookView::CloseDevice()
{
    CPhoneBookConnection* connection = m_connection.get();
    m_worker->Run([connection] { connection->CloseDevice(); }, [this] {
        m_deviceOpen = false;
        emit CommandStatesChanged();
    });
}

void CPhoneBookView::RunDeviceWork(std::function<void()> work, std::function<void()> done)
{
    SetBusy(true);
    m_popup.SetText(Tr("Updating."));
    m_popup.Show();
    m_worker->Run(std::move(work), [this, done = std::move(done)] {
        m_popup.Hide();
        SetBusy(false);
        if (done)
            done();
    });
}

Ptr<CGSMDevice> CPhoneBookView::GetDevicePtr()
{
    // The device belongs to the worker while it works.
    if (m_busy)
        return Ptr<CGSMDevice>();
    return m_connection->GetDevicePtr();
}

// ---- reading -----------------------------------------------------------

void CPhoneBookView::ReadMemories(std::function<void()> done)
{
    m_model->Clear();
    auto result = std::make_shared<ReadResult>();
    CPhoneBookConnection* connection = m_connection.get();
    const bool recordSizes = !EffectivePort().isEmpty();
    auto setText = [this](const char* text) {
        const QString translated = Tr(text);
        PostProgress([translated](CProgressPopup& popup) { popup.SetText(translated); });
    };
    m_worker->Run(
        [connection, result, recordSizes, setText] {
            const CGSMCorePref& pref = connection->GetPref();
            setText("Reading phone numbers\nfrom SIM memory.");
            CNumberExtractor* sim = connection->GetSimStore();
            if (!pref.m_SimStorage.isEmpty() && sim && sim->IsOk()) {
                result->simSize = sim->GetMemorySize();
                result->simComplete = result->simSize >= 1 && sim->GetAll(result->sim);
                if (!result->simComplete)
                    CAppMessages::Instance().ShowMessage(ReadErrorText("Error reading from SIM card", result->sim.size()), MB_OK);
            }
            setText("Reading phone numbers\nfrom phone memory.");
            CNumberExtractor* phone = connection->GetPhoneStore();
            if (!pref.m_PhoneStorage.isEmpty() && phone && phone->IsOk()) {
                result->phoneSize = phone->GetMemorySize();
                result->phoneComplete = phone->GetAll(result->phone);
                if (!result->phoneComplete)
                    CAppMessages::Instance().ShowMessage(ReadErrorText("Error reading from phone", result->phone.size()), MB_OK);
            }
            setText("Updating.");
            if (recordSizes) {
                result->haveReported = true;
                result->phoneNameSize = phone ? phone->GetMaxNameSize() : 0;
                result->phoneNumberSize = phone ? phone->GetMaxNumberSize() : 0;
                result->simNameSize = sim ? sim->GetMaxNameSize() : 0;
                result->simNumberSize = sim ? sim->GetMaxNumberSize() : 0;
            }
        },
        [this, result, done = std::move(done)] {
            ApplyMemories(*result);
            if (done)
                done();
        });
}

void CPhoneBookView::Refresh()
{
    if (m_shutDown || !IsCommandEnabled(ID_VIEW_REFRESH))
        return;
    SetBusy(true);
    m_popup.Show();
    ReadMemories([this] {
        m_popup.Hide();
        SetBusy(false);
        emit ConnectionFinished();
    });
}

bool CPhoneBookView::ReadCutShort(MEMORYTYPE memory) const
{
    return (memory == MEMORY_SIM ? m_simReadEnd : m_phoneReadEnd) >= 0;
}

int CPhoneBookView::WritableSize(MEMORYTYPE memory, int firstIndex) const
{
    const int size = memory == MEMORY_SIM ? m_simMemorySize : m_phoneMemorySize;
    const int end = memory == MEMORY_SIM ? m_simReadEnd : m_phoneReadEnd;
    if (end < 0)
        return size;
    return std::clamp(end - firstIndex + 1, 0, size);
}

QString CPhoneBookView::FullMessage(MEMORYTYPE memory) const
{
    if (ReadCutShort(memory))
        return FullMemoryMessage(1, memory, true);
    return memory == MEMORY_SIM ? Tr("Error: SIM is out of memory") : Tr("Error: Phone is out of memory");
}

void CPhoneBookView::ApplyMemories(ReadResult& result)
{
    // A read cut short reached its last entry and no further.
    auto readEnd = [](bool complete, const ExtractorContactArray& read) {
        int last = 0;
        for (const auto& entry : read)
            last = std::max(last, entry->m_Index);
        return complete ? -1 : last;
    };
    m_simReadEnd = readEnd(result.simComplete, result.sim);
    m_phoneReadEnd = readEnd(result.phoneComplete, result.phone);
    ExtractorContactArray entries;
    entries.reserve(result.sim.size() + result.phone.size());
    for (auto& entry : result.sim)
        entries.push_back(std::move(entry));
    for (auto& entry : result.phone)
        entries.push_back(std::move(entry));
    m_model->SetEntries(std::move(entries));
    m_simMemorySize = result.simSize;
    m_phoneMemorySize = result.phoneSize;
    if (result.haveReported) {
        m_settings.ReportedPhoneNameSize = result.phoneNameSize;
        m_settings.ReportedPhoneNumberSize = result.phoneNumberSize;
        m_settings.ReportedSIMNameSize = result.simNameSize;
        m_settings.ReportedSIMNumberSize = result.simNumberSize;
        if (m_settings.UseDefault) {
            m_settings.PhoneNameSize = result.phoneNameSize;
            m_settings.PhoneNumberSize = result.phoneNumberSize;
            m_settings.SIMNameSize = result.simNameSize;
            m_settings.SIMNumberSize = result.simNumberSize;
        }
    }
    // Always by name after a read; the header's choice waits for its next click.
    SortEntries(true, true);
    UpdateCounters();
    RefreshList(m_settings.ShowSim, m_settings.ShowPhone);
}

void CPhoneBookView::UpdateCounters()
{
    int sims = 0;
    int phones = 0;
    for (const auto& entry : m_model->Entries())
        (entry->m_MemoryType == MEMORY_SIM ? sims : phones) += 1;
    m_simCounter->setText(Format(Tr("Sim: %d/%d"), sims, m_simMemorySize));
    m_phoneCounter->setText(Format(Tr("Phone: %d/%d"), phones, m_phoneMemorySize));
}

void CPhoneBookView::RefreshList(bool showSim, bool showPhone)
{
    // Rows of a memory shown again come back; the others keep their
    // selection and scroll position.
    m_model->SetShown(showSim, showPhone);
    m_list->AdjustColumnWidths();
}

const ExtractorContactArray& CPhoneBookView::Entries() const
{
    return m_model->Entries();
}

int CPhoneBookView::RowToEntry(int row) const
{
    return m_model->RowToEntry(row);
}

void CPhoneBookView::SortEntries(bool ascending, bool byName)
{
    m_model->Sort(ascending, byName);
}

void CPhoneBookView::OnHeaderClicked(int column)
{
    if (m_busy)
        return;
    const bool byName = column == 0;
    if (m_sortByName != byName) {
        m_sortByName = byName;
        m_sortAscending = true;
    } else {
        m_sortAscending = !m_sortAscending;
    }
    SortEntries(m_sortAscending, m_sortByName);
    m_list->viewport()->update();
}

// ---- layout ------------------------------------------------------------

void CPhoneBookView::ShowContactsList(bool show)
{
    if (m_contactsList)
        m_contactsList->setVisible(show);
    m_contactsCaption->setVisible(show);
    if (show)
        m_contactsShownAgain = true;
    LayOut();
    update();
    m_list->AdjustColumnWidths();
}

int CPhoneBookView::EntryBottom() const
{
    const int extra = qMax(0, height() - DefaultHeight);
    if (m_contactsCaption->isHidden())
        return 130 + kContactsShift + extra;
    return 130 + extra / 2;
}

void CPhoneBookView::LayOut()
{
    const double sx = width() / double(DefaultWidth);
    auto x = [sx](int value) { return static_cast<int>(value * sx + 0.5); };
    const int bottom = EntryBottom();
    const int captionTop = bottom + 2;
    const int captionHeight = 17;
    m_list->setGeometry(0, 0, width(), bottom);
    if (m_contactsCaption->isHidden()) {
        m_simCounter->setGeometry(x(20), captionTop, x(100), captionHeight);
        m_phoneCounter->setGeometry(x(130), captionTop, x(120), captionHeight);
    } else {
        m_contactsCaption->setGeometry(x(5), captionTop, x(50), captionHeight);
        // Shown again after hiding, the SIM counter sits a little further right.
        if (m_contactsShownAgain)
            m_simCounter->setGeometry(x(70), captionTop, x(77), captionHeight);
        else
            m_simCounter->setGeometry(x(65), captionTop, x(82), captionHeight);
        m_phoneCounter->setGeometry(x(148), captionTop, width() - x(148), captionHeight);
        if (m_contactsList)
            m_contactsList->setGeometry(0, bottom + kStripHeight, width(), height() - bottom - kStripHeight);
    }
}

void CPhoneBookView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    LayOut();
}

void CPhoneBookView::paintEvent(QPaintEvent*)
{
    if (m_connectAfterPaint) {
        // The cached contacts are on screen: now the folder is read to
        // check them, on the list's own thread, and the device is sought.
        m_connectAfterPaint = false;
        QTimer::singleShot(0, this, [this] {
            if (m_contactsList)
                m_contactsList->RefreshList(true);
            StartConnectionLoop(false);
        });
    }
    QPainter painter(this);
    const double sx = width() / double(DefaultWidth);
    const int top = EntryBottom();
    painter.fillRect(QRect(0, top, width(), kStripHeight), palette().color(QPalette::Button));
    painter.setPen(palette().color(QPalette::Dark));
    if (m_contactsCaption->isHidden()) {
        painter.drawLine(0, top, width(), top);
        return;
    }
    // A tab under the Contacts caption.
    const QPoint tab[] = {QPoint(0, top), QPoint(int(56 * sx), top), QPoint(int(64 * sx), top + kStripHeight - 1),
                          QPoint(width(), top + kStripHeight - 1)};
    painter.drawPolyline(tab, 4);
}
