#include "tools/modemsim/ResultCodes.h"

QByteArray ResultCodeText(ResultCode code)
{
    switch (code) {
    case ResultCode::Ok: return "OK";
    case ResultCode::Connect: return "CONNECT";
    case ResultCode::Ring: return "RING";
    case ResultCode::NoCarrier: return "NO CARRIER";
    case ResultCode::Error: return "ERROR";
    case ResultCode::NoDialTone: return "NO DIALTONE";
    case ResultCode::Busy: return "BUSY";
    case ResultCode::NoAnswer: return "NO ANSWER";
    }
    return "ERROR";
}

QByteArray CmeErrorText(int code)
{
    struct Row {
        int code;
        const char* text;
    };
    // The codes this modem produces, worded as in 3GPP TS 27.007.
    static constexpr Row rows[] = {
        {0, "phone failure"},
        {3, "operation not allowed"},
        {4, "operation not supported"},
        {10, "SIM not inserted"},
        {11, "SIM PIN required"},
        {20, "memory full"},
        {21, "invalid index"},
        {22, "not found"},
        {24, "text string too long"},
        {25, "invalid characters in text string"},
        {26, "dial string too long"},
        {27, "invalid characters in dial string"},
        {30, "no network service"},
        {100, "unknown"},
    };
    for (const Row& row : rows) {
        if (row.code == code)
            return row.text;
    }
    return {};
}

void ResponseBuilder::info(const QByteArray& line)
{
    if (m_verbose)
        m_bytes.append("\r\n");
    m_bytes.append(line);
    m_bytes.append("\r\n");
}

void ResponseBuilder::result(ResultCode code)
{
    if (m_verbose) {
        m_bytes.append("\r\n");
        m_bytes.append(ResultCodeText(code));
        m_bytes.append("\r\n");
    } else {
        m_bytes.append(QByteArray::number(static_cast<int>(code)));
        m_bytes.append('\r');
    }
}

void ResponseBuilder::finalText(const QByteArray& text)
{
    if (m_verbose)
        m_bytes.append("\r\n");
    m_bytes.append(text);
    m_bytes.append(m_verbose ? "\r\n" : "\r");
}
