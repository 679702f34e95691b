#pragma once
// What the SMS tests share: QStrings shown as text in failure messages,
// the GSM core's traces, and one reader per kind of PDU.

#include "gsmcore/sms/SmsIn.h"
#include "gsmcore/sms/SmsOut.h"
#include "gsmcore/sms/SmsStatusReport.h"
#include "tests/TraceCapture.h"

#include <gtest/gtest.h>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }
QT_END_NAMESPACE

inline QString Q(const char* utf8) { return QString::fromUtf8(utf8); }

// A fresh sink for every level of the GSM core's traces.
inline TraceCapture* CaptureTraces() { return TraceCapture::Install(g_traceGsmSession); }
// Traces end in a line feed, so a match is a part of one.
inline bool Traced(const TraceCapture* capture, const char* text)
{
    return capture->Messages().join(u'|').contains(Q(text));
}

// Reads `pdu` as a deliver ('d'), a submit ('s') or a status report (any other).
inline bool ReadAs(char kind, const QString& pdu, CEmsItemManager* items = nullptr)
{
    if (kind == 'd')
        return CSmsIn().Extract(pdu, items);
    if (kind == 's')
        return CSmsOut().Extract(pdu, items);
    return CSmsStatusReport().Extract(pdu, items);
}
