#pragma once
// What the SMS tests share: QStrings shown as text in failure messages,
// the GSM core's traces, the standard element handlers and a reader for
// each kind of PDU.

#include "gsmcore/sms/EmsItemManager.h"
#include "gsmcore/sms/EmsStandardHandlers.h"
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

// A reader for a deliver ('d'), a submit ('s') or a status report (any other).
inline std::unique_ptr<CSms> Reader(char kind)
{
    if (kind == 'd')
        return std::make_unique<CSmsIn>();
    if (kind == 's')
        return std::make_unique<CSmsOut>();
    return std::make_unique<CSmsStatusReport>();
}

// The standard element handlers, registered once; no test changes them.
inline CEmsItemManager* Items()
{
    static const auto handlers = [] {
        auto items = std::make_unique<CEmsItemManager>();
        RegisterStandardEmsHandlers(*items);
        return items;
    }();
    return handlers.get();
}
