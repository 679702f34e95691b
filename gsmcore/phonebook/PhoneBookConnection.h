#pragma once
// The connection to the GSM device and its two phone book stores: opens
// and identifies the device (or finds its storages), makes the SIM and
// the phone memory stores and prepares them. The port "99" gives two
// simulated stores and no device; an empty port gives no stores at all.
// The desktop window and tessaly-cli both connect through this class;
// it runs on whichever single thread the caller chooses.

#include "gsmcore/link/GSMCorePref.h"
#include "gsmcore/link/GSMDevice.h"
#include "gsmcore/link/Ptr.h"
#include "gsmcore/phonebook/NumberExtractor.h"

#include <functional>
#include <memory>
#include <mutex>

class CPhoneBookConnection {
public:
    // The port name that selects the simulated stores.
    static QString SimulatedPort() { return QStringLiteral("99"); }

    // What the connection tells its user while it works.
    struct Progress {
        std::function<void(const QString& text)> setText;
        std::function<void()> show;
        std::function<void()> hide;
    };

    CPhoneBookConnection();
    ~CPhoneBookConnection();  // un-initialises the stores and closes the device
    CPhoneBookConnection(const CPhoneBookConnection&) = delete;
    CPhoneBookConnection& operator=(const CPhoneBookConnection&) = delete;

    void SetPort(const QString& port, int speed);
    const QString& GetPort() const { return m_Port; }
    int GetSpeed() const { return m_Speed; }
    void SetProgress(Progress progress) { m_progress = std::move(progress); }

    // The device's events while it is open (codes below, message
    // EventMessage). Without a receiver of its own the connection still
    // registers one that traces them: unsolicited codes are then taken
    // out of the replies, so a ring during a long read does not spoil it.
    enum : unsigned {
        EventMessage = 0x8000 + 20,
        EventState = 1,
        EventNumber = 2,
        EventSms = 3,
        EventSmsReport = 4,
        EventDataState = 5,
    };
    // Takes effect at the next OpenDevice. Called on the device's delivery
    // thread, with no lock of the device held.
    void SetEventSink(DeviceEventSink sink) { m_eventSink = std::move(sink); }
    // Replaces the pauses between attempts (tests make them instant).
    void SetSleep(std::function<void(int ms)> sleep) { m_sleep = std::move(sleep); }

    // Closes what is open, makes the stores for the port and prepares
    // them. False when the device cannot be opened or identified.
    bool Connect();
    bool OpenDevice();
    bool DetectStorages();
    void CloseDevice();
    // Un-initialises and deletes the stores and closes the device.
    void Disconnect();

    // From any thread: puts the open device into its shutting-down state,
    // so that the command waiting now returns at once and every later one
    // fails without waiting. For a program that is closing mid-read: the
    // cancel holds for good, also for a device still being opened.
    void CancelDeviceWork();

    Ptr<CGSMDevice> GetDevicePtr();
    bool IsDeviceOpen() const { return m_deviceHolder != nullptr; }
    bool IsSimulated() const { return m_Port == SimulatedPort(); }
    CNumberExtractor* GetSimStore() const { return m_simStore.get(); }
    CNumberExtractor* GetPhoneStore() const { return m_phoneStore.get(); }
    // False when the store's Init or InitSize failed at the last Connect.
    bool IsSimReady() const { return m_simReady; }
    bool IsPhoneReady() const { return m_phoneReady; }
    CGSMCorePref& GetPref() { return m_pref; }

private:
    bool PrepareStore(CNumberExtractor* store, const QString& storage, const char* skipTrace,
                      const char* initError, const char* sizeError);
    void Sleep(int ms);
    void ReleaseDeviceHolder();

    QString m_Port;
    int m_Speed = 9600;
    CGSMCorePref m_pref;
    std::unique_ptr<Ptr<CGSMDevice>> m_deviceHolder;
    std::mutex m_deviceHolderLock;  // taken where the holder changes, and by CancelDeviceWork
    bool m_cancelled = false;       // under m_deviceHolderLock
    std::unique_ptr<CNumberExtractor> m_simStore;
    std::unique_ptr<CNumberExtractor> m_phoneStore;
    bool m_simReady = false;
    bool m_phoneReady = false;
    Progress m_progress;
    DeviceEventSink m_eventSink;
    std::function<void(int)> m_sleep;
};
