#pragma once
// In-process GSM modem simulator on a pseudo-terminal, answering like a
// 27.007/27.005 modem. Tests start one per case; the tessaly-modemsim
// program wraps the same class for the command line.
//
// (Interface agreed between the simulator and its users; the simulator's
// owner may add to it but keeps these calls working.)

#include "tools/modemsim/SimulatedCall.h"
#include "tools/modemsim/SmsMessages.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class ModemSimulator {
public:
    struct Options {
        QString model = QStringLiteral("Tessaly Simulated Modem");  // +CGMM answer (may hold several lines separated by \n)
        int baud = 0;          // 0: unpaced; otherwise output paced at 10 bits per byte
        bool echo = true;      // initial E1
        bool verbose = true;   // initial V1
        int cmee = 1;          // initial +CMEE: 0 plain ERROR, 1 "+CME ERROR: <n>", 2 verbose text
        bool emptyLocationAnswersOk = false;  // +CPBR=<empty index>: OK instead of "+CME ERROR: 22"
        bool hangUpKeepsVoiceCall = false;    // ATH says OK but only +CHUP ends a voice call
        // AT ports onto the one modem, as USB modems have: each has its own
        // settings; phone books, messages and the call are shared, and
        // unsolicited codes come on the first.
        int ports = 1;
        bool offersUcs2 = true;               // false: a phone whose +CSCS has no UCS2
    };

    // One phone book entry; the name as the SIM's alpha field keeps it
    // (GSM alphabet bytes, or 0x80 and UCS2) and as text.
    struct Entry {
        int index = 0;
        QByteArray number;
        int type = 129;
        QByteArray name;
        QString text;
    };

    ModemSimulator();
    explicit ModemSimulator(const Options& options);
    ~ModemSimulator();  // stops the thread and closes the master side

    bool start();                 // opens the pty and starts answering
    void stop();                  // stops answering and closes the pty (like vanish)
    bool isRunning() const;
    QString devicePath(int port = 0) const;  // the slave side, e.g. /dev/pts/5

    // Faults on request.
    void setDropEcho(bool drop);                  // commands are not echoed
    void setReplyDelayMs(int ms);                 // delay before each reply
    void setSilent(bool silent);                  // no reply at all (echo still sent unless dropped)
    void setCmeErrorFor(const QString& commandPrefix, int code);  // "+CSCS" -> "+CME ERROR: <code>"; code < 0 removes
    void setAnswerFor(const QString& commandPrefix, const QByteArray& infoLine);  // that line and OK; empty removes
    void clearFaults();
    void sendUnsolicited(const QByteArray& bytes);  // raw bytes, e.g. "\r\nRING\r\n"
    void sendGarbage(int count, quint32 seed = 1);
    static QByteArray garbageBytes(int count, quint32 seed);  // what sendGarbage sends
    void vanish();                                 // close the master side: the device is gone

    // A fault inside the reply to every command that starts with a prefix
    // (no "AT", any case): after `afterLines` information lines, `insert`
    // goes out (unsolicited codes, noise, an error line); then the rest of
    // the reply is dropped (`cut`) or held back `holdMs` after the part
    // before it has left; or the device vanishes there (`vanish`), `holdMs`
    // after the part before it, so that part can still be read. With
    // `inMessageReply` the fault is in the reply to the message typed after
    // the prompt (+CMGS), not in the reply to the command line.
    struct ReplyFault {
        int afterLines = 0;
        QByteArray insert;
        bool cut = false;
        int holdMs = 0;
        bool vanish = false;
        bool inMessageReply = false;
    };
    // Replaces the fault of the same prefix; clearFaults removes them all.
    void setReplyFault(const QString& commandPrefix, const ReplyFault& fault);
    // Waits until a reply fault's hold has begun (every byte before it has
    // been written) since the faults were last cleared.
    bool waitForHold(int timeoutMs) const;

    // What the simulator received, in order, one entry per command line.
    QStringList receivedCommands() const;
    void clearReceivedCommands();
    // Waits until at least `count` command lines have arrived.
    bool waitForCommandCount(int count, int timeoutMs) const;

    // Identity.
    void setModel(const QString& model);
    QString model() const;
    // Plays a device type of the identification table: its model answer
    // and the phone book storages such a device has. False for an unknown type.
    bool setDeviceType(int type);
    static QString modelForDeviceType(int type);  // empty for an unknown type
    void setBaud(int baud);
    // The settings of power-on, &F and Z (also applied at once).
    void setPowerOnSettings(bool echo, bool verbose, int cmee);
    void setEmptyLocationAnswersOk(bool ok);
    void setOffersUcs2(bool offers);
    void setUcs2HexNumbers(bool hex);  // +CPBR numbers as hex too while UCS2 is selected
    // Model, baud rate, power-on settings and quirk as they are now.
    Options currentOptions() const;

    // Phone books ("SM", "ME", ...).
    void setStorages(const QStringList& storages);
    QStringList storages() const;
    bool setPhoneBookLimits(const QString& storage, int first, int last, int numberLength, int nameLength);
    bool setPhoneBookLimits(const QString& storage, const QString& text);  // "(1-250),40,18"
    QString phoneBookLimits(const QString& storage) const;                 // same form, empty if no such storage
    // Fault: names longer than `length` are refused while +CPBR=? still
    // reports the larger size; negative removes the fault.
    bool setAcceptedNameLength(const QString& storage, int length);
    // Fills the first `count` locations with generated entries; how many were written.
    int fillPhoneBook(const QString& storage, int count, quint64 seed);
    bool writeEntry(const QString& storage, int index, const QByteArray& number, const QByteArray& name);
    // The name in Unicode, kept in the alpha field's coding it needs.
    bool writeEntryText(const QString& storage, int index, const QByteArray& number, const QString& name);
    bool deleteEntry(const QString& storage, int index);
    void clearPhoneBook(const QString& storage);
    std::vector<Entry> entries(const QString& storage) const;
    QString selectedStorage() const;
    QString selectedCharacterSet() const;

    // Network, calls and messages.
    void setSignalQuality(int rssi, int ber);
    void setRegistration(int status);        // sends "+CREG: <n>" when enabled by +CREG=1
    void setGprsRegistration(int status);    // likewise "+CGREG: <n>"
    void ring(const QByteArray& callerNumber);  // RING (and +CLIP when enabled by +CLIP=1)
    void remoteHangUp();                     // NO CARRIER when a call is up
    void remoteAnswer();                     // the far end picks up a dialled call
    void setDialAnswer(DialAnswer answer);   // how the far end meets the next dials
    void setHangUpKeepsVoiceCall(bool keeps);
    SimulatedCall call() const;              // what +CLCC would list
    // Puts a received message in the SIM store and announces it with
    // "+CMTI"; returns its index or -1 when the store is full.
    int deliverMessage(const StoredMessage& message, bool announce = true);
    std::vector<SubmittedMessage> submittedMessages() const;

    // The whole modem (identity, settings, phone books, messages) as JSON.
    QByteArray stateJson() const;
    bool setStateJson(const QByteArray& json, QString* error = nullptr);
    bool saveState(const QString& path, QString* error = nullptr) const;
    bool loadState(const QString& path, QString* error = nullptr);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
