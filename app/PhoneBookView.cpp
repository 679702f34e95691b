#include "app/PhoneBookView.h"

#include "app/CommandIds.h"
#include "app/DataFiles.h"
#include "app/EntryCommands.h"
#include "app/EntryListModel.h"
#include "app/GuiMessageHandler.h"
#include "app/PhoneBookList.h"
#include "app/dialogs/ConnectionDlg.h"
#include "contactlist/widgets/ContactListStyles.h"
#include "contactlist/widgets/SkinableContactList.h"
#include "gsmcore/phonebook/PhoneBookConnection.h"
#include "support/AppMessages.h"
#include "support/Format.h"
#include "support/MessageBoxTypes.h"
#include "support/Trace.h"
#include "support/TranslationTable.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QTimer>

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
      m_contactsFolder(contactsFolder)
{
    m_commands = std::make_unique<CEntryCommands>(*this);
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
    connect(m_list, &CPhoneBookList::Command, this, [this](int command) {
        m_lastFocusedList = FocusedList::Entries;
        OnCommand(command);
    });

    m_contactsList = std::make_unique<CSkinableContactList>(contactsFolder);
    m_contactsList->Create(this, QRect(0, 150, DefaultWidth, DefaultHeight - 150), ContactsListId,
                           ContactListDefaultWindowStyle, ContactListDefaultListStyle,
                           ContactListDefaultExtendedStyle, ContactsCacheFile());
    m_contactsList->AddMenuOption(ID_EDIT_DELETE, Tr("Delete"));
    m_contactsList->AddMenuOption(ID_TRANSFER_ADDTOSIMPHONE, Tr("Add to SIM/Phone"));
    connect(m_contactsList.get(), &CSkinableContactList::MenuCommand, this, [this](int command) {
        m_lastFocusedList = FocusedList::Contacts;
        OnCommand(command);
    });
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now == m_list)
            m_lastFocusedList = FocusedList::Entries;
        else if (now && m_contactsList && m_contactsList->isAncestorOf(now))
            m_lastFocusedList = FocusedList::Contacts;
    });

    m_list->AddMenuOption(ID_EDIT_DELETE, Tr("Delete"), -1);
    m_list->AddMenuOption(ID_EDIT_MODIFY, Tr("Modify..."), -1);
    m_list->AddMenuOption(0, QString(), -1);
    m_list->AddMenuOption(ID_EDIT_MOVETOSIM, Tr("Move to SIM"), MEMORY_PHONE);
    m_list->AddMenuOption(ID_EDIT_MOVETOPHONE, Tr("Move to Phone"), MEMORY_SIM);
    m_list->AddMenuOption(ID_TRANSFER_ADDTOCONTACTS, Tr("Add to Contacts..."), -1);
    m_list->SetCommandEnabler([this](int command) { return IsCommandEnabled(command); });

    if (!m_settings.Load())
        m_settings.ApplyDefaults();
    m_model->SetShown(m_settings.ShowSim, m_settings.ShowPhone);

    // The first connection, once the window is up and the loop runs.
    QTimer::singleShot(1, this, [this] { StartConnectionLoop(false); });

    if (!m_settings.ShowContacts)
        ShowContactsList(false);
    LayOut();
    UpdateCounters();
}

CPhoneBookView::~CPhoneBookView()
{
    // A box the worker waits for can no longer be shown.
    CGuiMessageHandlerShutdown guard;
    CPhoneBookConnection* connection = m_connection.get();
    // A read still running would hold the window for minutes: the device
    // gives up its waits at once and the queued work fails quickly.
    connection->CancelDeviceWork();
    m_worker->Run([connection] { connection->Disconnect(); });
    m_worker->Stop();
    m_popup.Close();
    m_model->Clear();
}

void CPhoneBookView::SetConnectionOverride(const QString& port, int speed)
{
    m_portOverride = port;
    m_speedOverride = speed > 0 ? speed : m_settings.Speed;
    m_hasOverride = true;
}

QString CPhoneBookView::EffectivePort() const
{
    return m_hasOverride ? m_portOverride : m_settings.ComPort;
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
    // The popup stays painted; the lists take no input meanwhile.
    m_list->setEnabled(!busy);
    if (m_contactsList)
        m_contactsList->setEnabled(!busy);
    if (busy)
        QApplication::setOverrideCursor(Qt::BusyCursor);
    else
        QApplication::restoreOverrideCursor();
    emit BusyChanged(busy);
    emit CommandStatesChanged();
}

void CPhoneBookView::StartConnectionLoop(bool askFirst)
{
    if (m_loopRunning || m_busy)
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
            // In memory only; the registry keeps the old port.
            m_settings.ComPort.clear();
            m_hasOverride = false;
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
    CConnectionDlg dialog(window());
    dialog.m_ComPort = EffectivePort();
    dialog.m_TapiDevice = m_settings.TapiDevice;
    dialog.m_bVirtualPort = m_settings.VirtualPort;
    dialog.m_Speed = m_hasOverride ? m_speedOverride : m_settings.Speed;
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
    m_connection->SetPort(EffectivePort(), m_hasOverride ? m_speedOverride : m_settings.Speed);
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
                      // The counters keep their last text.
                      m_model->Clear();
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
                if (result->simSize < 1 || !sim->GetAll(result->sim))
                    CAppMessages::Instance().ShowMessage(ReadErrorText("Error reading from SIM card", result->sim.size()), MB_OK);
            }
            setText("Reading phone numbers\nfrom phone memory.");
            CNumberExtractor* phone = connection->GetPhoneStore();
            if (!pref.m_PhoneStorage.isEmpty() && phone && phone->IsOk()) {
                result->phoneSize = phone->GetMemorySize();
                if (!phone->GetAll(result->phone))
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

void CPhoneBookView::ApplyMemories(ReadResult& result)
{
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
