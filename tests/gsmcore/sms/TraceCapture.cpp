#include "tests/gsmcore/sms/TraceCapture.h"

#include "support/Trace.h"

#include <mutex>

namespace {

std::mutex g_lock;
QStringList g_captured;

class CCollectingSink : public CTraceHandler {
public:
    void Output(const CTraceCategory&, const QString&, const QString& message) override
    {
        std::lock_guard<std::mutex> guard(g_lock);
        g_captured << message;
    }
    void OutputCritical(const CTraceCategory&, const QString& message) override
    {
        std::lock_guard<std::mutex> guard(g_lock);
        g_captured << message;
    }
};

} // namespace

void StartTraceCapture()
{
    static const bool installed = [] {
        CTraceManager::Instance().SetHandler(std::make_unique<CCollectingSink>());
        return true;
    }();
    (void)installed;
    if (!g_traceGsmSession.IsLoaded())
        g_traceGsmSession.LoadLevel();
    g_traceGsmSession.SetLevel(0xFF);
    std::lock_guard<std::mutex> guard(g_lock);
    g_captured.clear();
}

QStringList CapturedTraces()
{
    std::lock_guard<std::mutex> guard(g_lock);
    return g_captured;
}

bool TraceWasCaptured(const QString& text)
{
    for (const QString& line : CapturedTraces()) {
        if (line.contains(text))
            return true;
    }
    return false;
}
