#pragma once
// The one GSM device of the process: the serial link of CDeviceThread with
// the AT command layer on top. Every command runs as one exchange: framed
// as "AT" + command + CR LF, written, confirmed by its exact echo, its
// reply lines collected by the reader thread until a final result, which
// wakes the caller; every other line goes to the unsolicited-code router.
// Exchanges are serialised by the command lock, so any thread may use the
// device. Shared through Ptr<CGSMDevice>;
// the last holder's release stops both threads and closes the port.

#include "gsmcore/link/AtExchange.h"
#include "gsmcore/link/CallState.h"
#include "gsmcore/link/DeviceEvent.h"
#include "gsmcore/link/DeviceEventQueue.h"
#include "gsmcore/link/DeviceThread.h"
#include "gsmcore/link/GSMCorePref.h"
#include "gsmcore/link/Ptr.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>

class CGSMDevice : public CDeviceThread, public CCallEnums {
public:
    // The <stat> of the last +CREG / +CGREG report; 99 before any.
    enum NETWORKSTATE {
        NETWORK_NOTREGISTERED = 0,
        NETWORK_HOME = 1,
        NETWORK_SEARCHING = 2,
        NETWORK_DENIED = 3,
        NETWORK_UNKNOWN = 4,
        NETWORK_ROAMING = 5,
        NETWORK_NOREPORT = 99,
    };
    using GPRSNETWORKSTATE = NETWORKSTATE;

    static constexpr quint16 DefaultEchoTimeoutMs = 5000;

    // The device of the process, made on `pref` the first time; later
    // calls return it and ignore their argument.
    static CGSMDevice* create(CGSMCorePref* pref);
    static CGSMDevice* instance();

    ~CGSMDevice() override;

    // Remembers where events go (no sink: the unsolicited-code filter is
    // off and every line reaches the command layer), opens the port and
    // starts both threads. Returns the result of start(). The sink is
    // called on a delivery thread of the device, never with a lock of the
    // device held, so it may send commands.
    bool init(DeviceEventSink sink = {}, unsigned message = 0, unsigned stateCode = 0, unsigned numberCode = 0,
              unsigned smsCode = 0, unsigned smsReportCode = 0, unsigned dataStateCode = 0);

    void upcount();
    void downcount();
    // Stops both threads, closes the port and deletes the device.
    virtual void destroy();

    bool IsInitialized() const { return m_initialised.load(); }
    int refcount() const;
    STATE GetState() const;
    void SetState(STATE state);
    DIRECTION GetCallDirection() const;
    CALLTYPE GetCalltype() const;
    bool haveresponse() const { return m_haveResponse.load(); }
    CGSMCorePref* GetCorePref() const { return m_pref; }
    int retrievesignalquality() const { return m_signalQuality.load(); }
    QString GetCallerNumber() const;
    QString GetDialledNumber() const;
    bool GetCallEndedNormally() const;
    bool retrievenetworkstate(NETWORKSTATE& state, bool unused = false);
    bool retrievegprsnetworkstate(GPRSNETWORKSTATE& state, bool unused = false);

    // How long sendcommand waits for the echo; 0 disables the wait.
    quint16 getechotimeout() const { return m_echoTimeout.load(); }
    void setechotimeout(quint16 ms) { m_echoTimeout.store(ms); }
    const QString& getcommandsuffix() const { return m_suffix; }

    bool execute_set(const QString& cmd, int timeoutMs);
    QString execute_question(const QString& cmd, const QString& arg, int timeoutMs, bool noFinal,
                             bool checkCallSetup);
    bool execute_generic(QStringList& lines, const QString& cmd, int timeoutMs, const QString& final);
    bool execute_generic(QString& line, const QString& cmd, int timeoutMs);
    int execute_genericNew(QStringList& lines, const QString& cmd, int timeoutMs, const QString& final);
    // A listing (a whole phone book): true on `final`. A read that fails
    // keeps the lines received before it; an error line (also +CME ERROR
    // and +CMS ERROR) ends it at once and comes back in `failure`, which
    // is empty when the device stopped answering.
    bool execute_listing(QStringList& lines, const QString& cmd, int timeoutMs, const QString& final,
                         QString& failure);
    bool execute_get(QString& line, const QString& text, int timeoutMs);
    bool execute_send(const QString& cmd);
    bool execute_call(const QString& number, CALLTYPE type, bool noEcho);
    bool execute_keystroke_call(const QString& number);
    bool execute_hangup();
    int execute_sms(const QString& pdu, int length);
    // Builds the message itself (PDU or text mode, as the preferences
    // say) and submits it; true when the device answered with "+CMGS".
    bool execute_sms(const QString& number, const QString& text);
    bool querystate();
    int querysignalquality();

    // Model identification (+CGMM); sets the device type of the preferences.
    bool identifycard();

    // Unsolicited result codes; runs on the reader thread.
    bool checkunsolicitedcodes(const QString& line) override;
    void datastatechange(bool active) override;
    QString readsmsfromsim(int index);

    // Events to the owner's sink.
    virtual void statechange();
    virtual void numberchange();
    virtual void newsms(const QString& text);
    virtual void newsmsreport(const QString& text);

    // The multiplexed port driver's operations.
    bool IsPortSuspended();
    short GetActivePort();
    QString GetPortOwnerName(quint32 port);
    bool SetPortOwnerName(const QString& name);
    bool RegNotify(bool enable, quint32 parameter, quintptr window);

protected:
    explicit CGSMDevice(CGSMCorePref* pref);

    bool sendcommand(const QString& framed);
    static bool splitline(const QString& line, QString& key, QString& rest);

private:
    // How an exchange ended.
    struct Reply {
        enum End { Final, NoEcho, Timeout, Lost };
        End end = Lost;
        QStringList lines;
        QString final;
        FinalResult result = FinalResult::None;
        bool ok() const { return end == Final && result == FinalResult::Ok; }
    };

    // The two guards every command passes with the command lock held.
    // `named` traces the command text, otherwise the short texts.
    bool passgate(const QString& command, bool checkCallSetup, bool named);
    QString frame(const QString& cmd) const { return m_prefix + cmd + m_suffix; }
    bool isoutgoingsetup() const;
    void post(unsigned code, qintptr lParam, const QString& text = QString());
    // Writes the command and waits for its echo (or, without an echo
    // time-out, only writes it); the exchange then collects its reply.
    bool startexchange(const QString& framed, CAtRequest request);
    // Waits for the final result: `firstMs` for the first reply line or
    // the final, `nextMs` after each line. Ends the exchange.
    Reply finishexchange(int firstMs, int nextMs);
    // Writes the message after the prompt; false when none came.
    bool senddataafterprompt(const QString& data, int promptMs);
    void beginexchange(const CAtRequest& request);
    void endexchange();
    // After a time-out: "AT" and its OK, so that a late reply is never
    // taken for the next command's.
    void resynchronise();
    bool linelost() const;
    // A full command: gate, exchange, reply.
    Reply run(const QString& cmd, int firstMs, int nextMs, CAtRequest request, bool& passed);
    Reply submit(const QString& command, const QString& data);
    void readersaborted() override;

    // The router's handlers, on the reader thread.
    bool route(const QString& line);
    bool followcall(const CCallEvent& event);
    unsigned quirks() const;
    void onregistration(const QString& rest, bool gprs);
    bool readmessagebody(const QString& header, bool report, QString& text);
    // The "+CMGS" reference on a line of a submission's reply.
    bool submitreference(const QStringList& lines, QString& reference);
    bool portquery(quint32 port, quint32& status);
    // Milliseconds since the last command was sent; the reader thread
    // traces it too, so it is kept atomically.
    int commandelapsed() const;

    static std::mutex s_lifeLock;
    static std::unique_ptr<CGSMDevice> s_instance;

    CGSMCorePref* m_pref;
    QString m_prefix = QStringLiteral("AT");
    QString m_suffix = QStringLiteral("\r\n");
    std::atomic<quint16> m_echoTimeout{DefaultEchoTimeoutMs};
    // Standard locks, like the link's: ThreadSanitizer sees what they order.
    std::recursive_mutex m_commandLock;
    mutable std::recursive_mutex m_stateLock;
    CCallState m_call;
    // The running exchange, fed by the reader thread.
    std::mutex m_exchangeLock;
    std::condition_variable m_exchangeChanged;
    CAtExchange m_exchange;
    // The line queue's abort count when the exchange began: an abort that
    // the link has already got over still ends the exchange it cut.
    unsigned m_abortsAtBegin = 0;
    bool m_resync = false;  // under the command lock
    std::mutex m_networkLock;
    NETWORKSTATE m_networkState = NETWORK_NOREPORT;
    bool m_networkChanged = false;
    std::mutex m_gprsLock;
    GPRSNETWORKSTATE m_gprsState = NETWORK_NOREPORT;
    bool m_gprsChanged = false;
    std::atomic<bool> m_haveResponse{false};
    std::atomic<qint64> m_commandSentMs{0};
    std::atomic<int> m_signalQuality{0};
    CDeviceEventQueue m_events;
    // Set by init, read on the reader thread.
    std::atomic<unsigned> m_message{0};
    std::atomic<unsigned> m_stateCode{0};
    std::atomic<unsigned> m_numberCode{0};
    std::atomic<unsigned> m_smsCode{0};
    std::atomic<unsigned> m_smsReportCode{0};
    std::atomic<unsigned> m_dataStateCode{0};
    int m_refCount = 0;
    std::atomic<bool> m_initialised{false};
};
