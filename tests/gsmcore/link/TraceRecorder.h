#pragma once
// The GsmSession traces of a test, so that cases can check that a failure
// was reported with its text (a part of one traced message is enough).

#include "tests/TraceCapture.h"

namespace TraceRecorder {
inline TraceCapture*& Sink()
{
    static TraceCapture* sink = nullptr;
    return sink;
}
// Installs a fresh capture of every level of the category.
inline void Start()
{
    Sink() = TraceCapture::Install(g_traceGsmSession, 0xFF);
}
inline int Count(const QString& text)
{
    return static_cast<int>(Sink()->Messages().filter(text).size());
}
inline bool Contains(const QString& text)
{
    return Count(text) > 0;
}
}  // namespace TraceRecorder
