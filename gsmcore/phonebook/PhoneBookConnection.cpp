#include "gsmcore/phonebook/PhoneBookConnection.h"

#include "gsmcore/link/DeviceModels.h"
#include "gsmcore/phonebook/PhoneBookReplies.h"
#include "gsmcore/phonebook/SIMExtractor.h"
#include "gsmcore/phonebook/SimulatedExtractor.h"
#include "support/AppMessages.h"
#include "support/MessageBoxTypes.h"
#include "support/Trace.h"
#include "support/TranslationTable.h"

#include <thread>

namespace {
constexpr int kResetTimeoutMs = 3000;
constexpr int kStorageQueryTimeoutMs = 5000;
}  // namespace

CPhoneBookConnection::CPhoneBookConnection() = default;

CPhoneBookConnection::~CPhoneBookConnection()
{
    if (m_simStore)
        m_simStore->Uninit();
    if (m_phoneStore)
        m_phoneStore->Uninit();
    CloseDevice();
}

void CPhoneBookConnection::SetPort(const QString& port, int speed)
{
    m_Port = port;
    m_Speed = speed;
}

void CPhoneBookConnection::Sleep(int ms)
{
    if (m_sleep)
        m_sleep(ms);
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void CPhoneBookConnection::CancelDeviceWork()
{
    std::lock_guard lock(m_deviceHolderLock);
    m_cancelled = true;
    if (m_deviceHolder && *m_deviceHolder)
        (*m_deviceHolder)->setdevicestate(CDeviceThread::DEVICESTATE_SHUTTINGDOWN);
}

void CPhoneBookConnection::ReleaseDeviceHolder()
{
    std::unique_ptr<Ptr<CGSMDevice>> released;
    {
        std::lock_guard lock(m_deviceHolderLock);
        released = std::move(m_deviceHolder);
    }
    // The last reference stops the device's threads: not under the lock.
}

Ptr<CGSMDevice> CPhoneBookConnection::GetDevicePtr()
{
    TraceMessage(g_traceTessaly, TRACE_INFO, "GetDevicePtr()\n");
    return m_deviceHolder ? *m_deviceHolder : Ptr<CGSMDevice>();
}

bool CPhoneBookConnection::Connect()
{
    CloseDevice();
    m_simStore.reset();
    m_phoneStore.reset();
    m_simReady = m_phoneReady = false;
    if (m_Port.isEmpty())
        return true;

    if (m_progress.setText)
        m_progress.setText(Tr("Connecting to phone."));
    if (m_progress.show)
        m_progress.show();

    if (IsSimulated()) {
        m_simStore = std::make_unique<CSimulatedExtractor>(MEMORY_SIM);
        m_phoneStore = std::make_unique<CSimulatedExtractor>(MEMORY_PHONE);
    } else {
        auto sim = std::make_unique<CSIMExtractor>(MEMORY_SIM);
        auto phone = std::make_unique<CSIMExtractor>(MEMORY_PHONE);
        CSIMExtractor* simRaw = sim.get();
        CSIMExtractor* phoneRaw = phone.get();
        m_simStore = std::move(sim);
        m_phoneStore = std::move(phone);
        if (!OpenDevice()) {
            if (m_progress.hide)
                m_progress.hide();
            return false;
        }
        simRaw->SetDevice(GetDevicePtr());
        phoneRaw->SetDevice(GetDevicePtr());
        if (DeviceQuirksOf(m_pref.m_DeviceType) & DeviceQuirk::PauseAfterOpen)
            Sleep(1000);
    }

    m_simReady = PrepareStore(m_simStore.get(), m_pref.m_SimStorage, "Skip reading sim memory\n",
                              "Error initializing connection to the SIM card", "Error getting info from the SIM card");
    m_phoneReady = PrepareStore(m_phoneStore.get(), m_pref.m_PhoneStorage, "Skip reading phone memory\n",
                                "Error initializing connection to the phone", "Error getting info from the phone");
    return true;
}

bool CPhoneBookConnection::PrepareStore(CNumberExtractor* store, const QString& storage, const char* skipTrace,
                                        const char* initError, const char* sizeError)
{
    // Simulated stores have no storage names to miss.
    if (!IsSimulated() && storage.isEmpty()) {
        TraceMessage(g_traceTessaly, TRACE_INFO, skipTrace);
        return false;
    }
    if (!store->Init()) {
        CAppMessages::Instance().ShowMessage(Tr(initError), MB_OK);
        return false;
    }
    if (store->InitSize())
        return true;
    Sleep(3000);
    if (store->InitSize())
        return true;
    CAppMessages::Instance().ShowMessage(Tr(sizeError), MB_OK);
    return false;
}

bool CPhoneBookConnection::OpenDevice()
{
    m_pref.m_Port = m_Port;
    m_pref.m_Speed = m_Speed;
    TraceMessage(g_traceTessaly, TRACE_INFO, "Opening port %s at %d\n", m_Port, m_Speed);

    CGSMDevice* device = CGSMDevice::create(&m_pref);
    if (!device)
        return false;
    if (!m_deviceHolder) {
        std::lock_guard lock(m_deviceHolderLock);
        m_deviceHolder = std::make_unique<Ptr<CGSMDevice>>(device);
    }
    DeviceEventSink sink = m_eventSink;
    if (!sink) {
        sink = [](const CDeviceEvent& event) {
            TraceMessage(g_traceTessaly, TRACE_INFO, "Device event %u (%d) '%s'\n", unsigned(event.wParam),
                         int(event.lParam), event.text);
        };
    }
    if (!device->init(std::move(sink), EventMessage, EventState, EventNumber, EventSms, EventSmsReport,
                      EventDataState)) {
        ReleaseDeviceHolder();
        return false;
    }
    {
        // A cancel that came while the device was being made: its threads
        // run now, so the state sticks.
        std::lock_guard lock(m_deviceHolderLock);
        if (m_cancelled) {
            device->setdevicestate(CDeviceThread::DEVICESTATE_SHUTTINGDOWN);
            return false;
        }
    }
    device->SetPortOwnerName(QStringLiteral("Tessaly"));

    if (!device->execute_set(QStringLiteral("&FV1E1"), kResetTimeoutMs)
        && !device->execute_set(QStringLiteral("&FV1E1"), kResetTimeoutMs))
        return false;
    // The reset (or a phone switched off and on since the last connection)
    // leaves the device on a phone book of its own choosing: the storage
    // remembered from before must be selected again, not assumed.
    m_pref.m_SelectedStorage = QStringLiteral("Unknown");

    m_pref.m_DeviceType = 0;
    bool identified = device->identifycard();
    if (!identified) {
        Sleep(1000);
        identified = device->identifycard();
        if (!identified)
            Sleep(1000);
    }
    if (!identified) {
        TraceMessage(g_traceTessaly, TRACE_INFO, "Failed to identify GSM device.\n");
        if (!DetectStorages()) {
            TraceMessage(g_traceTessaly, TRACE_INFO, "Failed to identify supported storages.\n");
            return false;
        }
    } else {
        TraceMessage(g_traceTessaly, TRACE_INFO, "Identified phone card to be: %d\n", m_pref.m_DeviceType.load());
    }
    if (m_progress.setText)
        m_progress.setText(Tr("Phone device found."));
    return true;
}

bool CPhoneBookConnection::DetectStorages()
{
    Ptr<CGSMDevice> device = GetDevicePtr();
    if (!device)
        return false;
    const QString answer = device->execute_question(QStringLiteral("+CPBS"), QStringLiteral("=?"), kStorageQueryTimeoutMs, false, true);
    if (answer.isEmpty())
        return false;
    bool simFound = false, phoneFound = false;
    for (const QString& name : ParseStorageList(answer)) {
        if (simFound && phoneFound)
            break;
        if (!simFound && name.compare(m_pref.m_SimStorage, Qt::CaseInsensitive) == 0)
            simFound = true;
        else if (!phoneFound && name.compare(m_pref.m_PhoneStorage, Qt::CaseInsensitive) == 0)
            phoneFound = true;
    }
    if (!simFound)
        m_pref.m_SimStorage.clear();
    if (!phoneFound)
        m_pref.m_PhoneStorage.clear();
    return true;
}

void CPhoneBookConnection::CloseDevice()
{
    // The stores hold the device too: the port closes only when all let go.
    if (auto* sim = dynamic_cast<CSIMExtractor*>(m_simStore.get()))
        sim->ReleaseDevice();
    if (auto* phone = dynamic_cast<CSIMExtractor*>(m_phoneStore.get()))
        phone->ReleaseDevice();
    if (m_deviceHolder) {
        ReleaseDeviceHolder();
        TraceMessage(g_traceTessaly, TRACE_INFO, "GSM Device closed\n");
    }
}

void CPhoneBookConnection::Disconnect()
{
    if (m_simStore)
        m_simStore->Uninit();
    if (m_phoneStore)
        m_phoneStore->Uninit();
    CloseDevice();
    m_simStore.reset();
    m_phoneStore.reset();
    m_simReady = m_phoneReady = false;
}
