#pragma once
// The command layer of the simulated modem: takes the units cut by the
// framer (command lines, message bodies) and answers them as a 27.007 /
// 27.005 modem would, holding the modem's settings, phone books, message
// store and call state. No I/O here: the answer is returned as bytes, so
// the whole dialogue can be driven without a terminal.

#include "tools/modemsim/AtCommandLine.h"
#include "tools/modemsim/ResultCodes.h"
#include "tools/modemsim/SimulatedCall.h"
#include "tools/modemsim/SimPhoneBook.h"
#include "tools/modemsim/SmsMessages.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <map>
#include <vector>

struct ModemIdentity {
    QString model = QStringLiteral("Tessaly Simulated Modem");  // lines separated by "\n"
    QString manufacturer = QStringLiteral("Tessaly");
    QString revision = QStringLiteral("1.0");
    QString serial = QStringLiteral("351234567890120");
    QString subscriber = QStringLiteral("240011234567890");
};

// Settings that &F and Z bring back.
struct ModemSettings {
    bool echo = true;
    bool verbose = true;
    bool quiet = false;
    int cmee = 1;          // 0: plain ERROR, 1: numeric +CME ERROR, 2: verbose
    int messageFormat = 0; // +CMGF: 0 PDU, 1 text
    QByteArray characterSet = "GSM";
    int cregMode = 0;
    int cgregMode = 0;
    int clipMode = 0;
};

// Behaviour that differs between real devices, in one place.
struct ModemQuirks {
    // Reading a single empty location: most modems say "+CME ERROR: 22"
    // (not found); some answer a bare OK.
    bool emptyLocationAnswersOk = false;
    // ATH ends data calls only (+CVHU=1): it says OK and a voice call goes
    // on until +CHUP.
    bool hangUpKeepsVoiceCall = false;
    // Phones without UCS2: +CSCS=? leaves it out and +CSCS="UCS2" fails.
    bool offersUcs2 = true;
    // Under UCS2 the numbers of +CPBR are hex too, as some phones send them.
    bool ucs2HexNumbers = false;
};

class ModemCommandProcessor {
public:
    struct Outcome {
        QByteArray echo;   // what the modem echoes of the input
        QByteArray reply;  // information lines and final result, or the prompt
        bool awaitMessageBody = false;
    };

    ModemCommandProcessor();

    Outcome handleLine(const QByteArray& line, bool overflowed = false);
    Outcome repeatLastLine();
    Outcome handleMessageBody(const QByteArray& body, bool overflowed = false);
    Outcome handleMessageCancelled();
    Outcome handleMessageLineBreak();

    // Configuration.
    ModemIdentity& identity() { return m_identity; }
    const ModemIdentity& identity() const { return m_identity; }
    ModemQuirks& quirks() { return m_quirks; }
    const ModemQuirks& quirks() const { return m_quirks; }
    // The power-on settings, also restored by &F and Z; every port takes them.
    void setFactorySettings(const ModemSettings& settings);
    // A modem with several AT ports: each has its own settings and the
    // command it is in; the rest is shared. Commands and unsolicited codes
    // are those of the port selected last.
    void setPortCount(int count);
    void selectPort(int port);
    const ModemSettings& factorySettings() const { return m_factory; }
    const ModemSettings& settings() const { return m_settings; }
    void setSignal(int rssi, int ber) { m_rssi = rssi; m_ber = ber; }

    // Phone books, in the order +CPBS=? lists them. Replacing the list
    // keeps the contents of storages whose name stays.
    void setStorages(const QStringList& names);
    QStringList storages() const { return m_storageOrder; }
    SimPhoneBook* phoneBook(const QString& storage);
    const SimPhoneBook* phoneBook(const QString& storage) const;
    QString selectedStorage() const { return m_selected; }
    bool selectStorage(const QString& storage);

    // Messages.
    const std::vector<SubmittedMessage>& submittedMessages() const { return m_submitted; }
    void clearSubmittedMessages() { m_submitted.clear(); }
    // Stores a received message in the first free SIM slot; the slot, or
    // -1 when the store is full.
    int storeMessage(const StoredMessage& message);
    const std::map<int, StoredMessage>& storedMessages() const { return m_stored; }
    void setStoredMessages(std::map<int, StoredMessage> messages) { m_stored = std::move(messages); }
    void setSubmittedMessages(std::vector<SubmittedMessage> messages) { m_submitted = std::move(messages); }
    static constexpr int kMessageSlots = 30;

    // Faults: a command whose text starts with `prefix` (no "AT", any case)
    // answers "+CME ERROR: <code>" instead of running. A negative code
    // removes the fault.
    void setCmeErrorFor(const QByteArray& prefix, int code);
    // A command whose text starts with `prefix` answers `infoLine` and OK
    // instead of running: the odd reply of some device. An empty line
    // removes it.
    void setAnswerFor(const QByteArray& prefix, const QByteArray& infoLine);
    void clearCmeErrors()
    {
        m_cmeFaults.clear();
        m_scriptedAnswers.clear();
    }

    // Events that the modem reports on its own; each returns the bytes of
    // the unsolicited result codes it gives (possibly none).
    QByteArray incomingCall(const QByteArray& number);
    QByteArray remoteHangUp();
    // The far end picks up a call that is dialling or ringing there.
    void remoteAnswer();
    QByteArray setRegistration(int status);
    QByteArray setGprsRegistration(int status);
    QByteArray newMessageIndication(int index);

    CallState callState() const { return m_call.state; }
    const SimulatedCall& call() const { return m_call; }
    void setDialAnswer(DialAnswer answer) { m_dialAnswer = answer; }

private:
    enum class Step { Continue, Stop, Prompt };
    using Handler = Step (ModemCommandProcessor::*)(const AtCommand&, ResponseBuilder&);

    Step execute(const AtCommand& command, ResponseBuilder& out);
    Step basic(const AtCommand& command, ResponseBuilder& out);
    Step sRegister(const AtCommand& command, ResponseBuilder& out);
    Step dial(const AtCommand& command, ResponseBuilder& out);
    Step error(ResponseBuilder& out);
    Step cmeError(ResponseBuilder& out, int code);
    Step cmsError(ResponseBuilder& out, int code);
    Step identityLines(const QString& text, const AtCommand& command, ResponseBuilder& out);

    Step cgmm(const AtCommand& c, ResponseBuilder& out);
    Step cgmi(const AtCommand& c, ResponseBuilder& out);
    Step cgmr(const AtCommand& c, ResponseBuilder& out);
    Step cgsn(const AtCommand& c, ResponseBuilder& out);
    Step cimi(const AtCommand& c, ResponseBuilder& out);
    Step gcap(const AtCommand& c, ResponseBuilder& out);
    Step cpas(const AtCommand& c, ResponseBuilder& out);
    Step cind(const AtCommand& c, ResponseBuilder& out);
    Step csq(const AtCommand& c, ResponseBuilder& out);
    Step cbc(const AtCommand& c, ResponseBuilder& out);
    Step creg(const AtCommand& c, ResponseBuilder& out);
    Step cgreg(const AtCommand& c, ResponseBuilder& out);
    Step cmee(const AtCommand& c, ResponseBuilder& out);
    Step cfun(const AtCommand& c, ResponseBuilder& out);
    Step cpin(const AtCommand& c, ResponseBuilder& out);
    Step clip(const AtCommand& c, ResponseBuilder& out);
    Step clck(const AtCommand& c, ResponseBuilder& out);
    Step ckpd(const AtCommand& c, ResponseBuilder& out);
    Step chup(const AtCommand& c, ResponseBuilder& out);
    Step clcc(const AtCommand& c, ResponseBuilder& out);
    Step cscs(const AtCommand& c, ResponseBuilder& out);
    Step cpbs(const AtCommand& c, ResponseBuilder& out);
    Step cpbr(const AtCommand& c, ResponseBuilder& out);
    Step cpbw(const AtCommand& c, ResponseBuilder& out);
    Step cmgf(const AtCommand& c, ResponseBuilder& out);
    Step cmgs(const AtCommand& c, ResponseBuilder& out);
    Step cmgr(const AtCommand& c, ResponseBuilder& out);
    Step cmgl(const AtCommand& c, ResponseBuilder& out);
    Step cmgd(const AtCommand& c, ResponseBuilder& out);
    Step cpms(const AtCommand& c, ResponseBuilder& out);
    Step csca(const AtCommand& c, ResponseBuilder& out);
    Step cnmi(const AtCommand& c, ResponseBuilder& out);
    Step csms(const AtCommand& c, ResponseBuilder& out);

    Step modeSetting(const AtCommand& c, ResponseBuilder& out, const char* name, int& value, int max);
    QByteArray phoneBookLine(int index, const PhoneBookEntry& entry) const;
    bool usingUcs2() const;
    QByteArray unsolicited(const QByteArray& text) const;
    SimPhoneBook* selectedBook();
    int nextReference();

    static const std::map<QByteArray, Handler>& handlers();

    ModemIdentity m_identity;
    ModemQuirks m_quirks;
    ModemSettings m_factory;
    ModemSettings m_settings;
    int m_rssi = 15;
    int m_ber = 99;
    int m_registration = 1;
    int m_gprsRegistration = 1;
    QByteArray m_serviceCentre = "\"+46708000000\",145";
    SimulatedCall m_call;
    DialAnswer m_dialAnswer = DialAnswer::PickUp;
    QByteArray m_lastLine;

    QStringList m_storageOrder;
    std::map<QString, SimPhoneBook> m_books;
    QString m_selected;

    std::map<int, StoredMessage> m_stored;
    std::vector<SubmittedMessage> m_submitted;
    int m_reference = 0;
    // The +CMGS waiting for its body.
    bool m_pendingText = false;
    int m_pendingLength = 0;
    QByteArray m_pendingNumber;

    // What each port keeps of its own; the selected port's lives in the
    // members above.
    struct PortContext {
        ModemSettings settings;
        QByteArray lastLine;
        bool pendingText = false;
        int pendingLength = 0;
        QByteArray pendingNumber;
    };
    std::vector<PortContext> m_ports{PortContext()};
    int m_port = 0;

    std::vector<std::pair<QByteArray, int>> m_cmeFaults;
    std::vector<std::pair<QByteArray, QByteArray>> m_scriptedAnswers;
};
