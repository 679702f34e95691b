#pragma once
// One command's dialogue with the device, fed the received lines in order:
// the command's exact echo, the lines of its reply, an SMS prompt, and the
// final result that ends it. Every other line is unsolicited and belongs
// to the router, whatever command runs. Pure: the device feeds it from the
// reader thread and waits for it to end; tests feed it scripted lines.

#include "gsmcore/link/FinalResult.h"

#include <QString>
#include <QStringList>

struct CAtRequest {
    QString echo;                // the command as the device repeats it
    bool awaitEcho = true;       // else the reply is collected at once
    QString key;                 // reply lines start with "<key>:"; empty: free text
    bool bodies = false;         // a line after a reply line is its body (+CMGR, +CMGL)
    bool prompt = false;         // data follows the prompt "> " (+CMGS)
    bool callFinals = false;     // NO CARRIER, BUSY, ... end it (dial, answer)
    bool firstLineEnds = false;  // the answer line alone ends it
    bool echoOnly = false;       // ends at the echo: what follows is not its reply (a dial)
    QString final;               // a further final text the caller waits for

    // The request for a command as written, with or without "AT" and the
    // line end ("+CPBR=1,250", "AT+CSQ\r\n", "E1").
    static CAtRequest For(const QString& command);
};

class CAtExchange {
public:
    enum class Phase { Idle, Echo, Prompt, Reply, Done };
    // Where a fed line went.
    enum class Take { Echo, Reply, Prompt, Final, Unsolicited };

    void begin(const CAtRequest& request);
    Take feed(const QString& line, bool overlong = false);
    void end() { m_phase = Phase::Idle; }

    Phase phase() const { return m_phase; }
    bool active() const { return m_phase != Phase::Idle; }
    bool echoed() const { return m_echoed; }
    bool prompted() const { return m_prompted; }
    bool done() const { return m_phase == Phase::Done; }
    // Reply lines so far (grows while a listing comes in).
    const QStringList& lines() const { return m_lines; }
    QStringList takelines() { return std::move(m_lines); }
    const QString& finalline() const { return m_final; }
    FinalResult result() const { return m_result; }

private:
    Take reply(const QString& line, bool overlong);
    Take finish(const QString& line, FinalResult result);
    bool isfinal(const QString& line, FinalResult& result) const;

    CAtRequest m_request;
    Phase m_phase = Phase::Idle;
    bool m_echoed = false;
    bool m_prompted = false;
    bool m_lastWasHeader = false;
    QStringList m_lines;
    QString m_final;
    FinalResult m_result = FinalResult::None;
};
