#pragma once
// Cuts the bytes a terminal sends to the modem into units: command lines
// (ended by CR), the "A/" repeat, and the body of a short message typed
// after the "> " prompt (ended by Ctrl-Z, abandoned by ESC).
//
// The framer knows nothing about commands; the command layer tells it when
// a message body starts.

#include <QByteArray>

#include <optional>

class AtInputFramer {
public:
    enum class UnitKind {
        CommandLine,       // bytes before the CR, LF at its start dropped
        RepeatLastLine,    // "A/": no CR follows
        MessageBody,       // bytes typed after the prompt, up to Ctrl-Z
        MessageCancelled,  // ESC typed after the prompt
        MessageLineBreak,  // CR inside a text-mode message: the modem prompts again
    };
    struct Unit {
        UnitKind kind = UnitKind::CommandLine;
        QByteArray bytes;
        bool overflowed = false;  // the line or body was longer than we keep
    };

    // Longest command line or message body kept; the rest is dropped and
    // the unit flagged, so a runaway sender cannot grow our memory.
    static constexpr int kMaxUnitBytes = 4096;

    static constexpr char kCtrlZ = 0x1a;
    static constexpr char kEscape = 0x1b;

    // Feeds one byte; returns a unit when this byte completes one.
    std::optional<Unit> feed(char byte);

    // After the prompt: the next bytes are a message body.
    void enterMessageBody();
    bool inMessageBody() const { return m_inBody; }
    // Drops a half-received line (used when the device is reset).
    void reset();

private:
    std::optional<Unit> take(UnitKind kind);
    void append(char byte);

    QByteArray m_pending;
    bool m_overflowed = false;
    bool m_inBody = false;
};
