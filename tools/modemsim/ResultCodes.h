#pragma once
// How the modem frames what it says, after ITU-T V.250: in verbose mode
// (V1) information lines and result codes are wrapped in CR LF; in numeric
// mode (V0) information lines end with CR LF and a result code is its
// number followed by CR.

#include <QByteArray>

enum class ResultCode {
    Ok = 0,
    Connect = 1,
    Ring = 2,
    NoCarrier = 3,
    Error = 4,
    NoDialTone = 6,
    Busy = 7,
    NoAnswer = 8,
};

// "OK", "NO CARRIER", ...
QByteArray ResultCodeText(ResultCode code);
// The verbose text of a +CME ERROR code ("not found"), empty when we know none.
QByteArray CmeErrorText(int code);

class ResponseBuilder {
public:
    explicit ResponseBuilder(bool verbose) : m_verbose(verbose) {}

    void info(const QByteArray& line);
    void result(ResultCode code);
    // An extended error ("+CME ERROR: 22", "+CMS ERROR: 304") as the final result.
    void finalText(const QByteArray& text);
    // Bytes written as they are (the "> " prompt).
    void raw(const QByteArray& bytes) { m_bytes.append(bytes); }
    void setVerbose(bool verbose) { m_verbose = verbose; }

    const QByteArray& bytes() const { return m_bytes; }
    bool isEmpty() const { return m_bytes.isEmpty(); }

private:
    bool m_verbose;
    QByteArray m_bytes;
};
