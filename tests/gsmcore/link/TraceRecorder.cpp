#include "tests/gsmcore/link/TraceRecorder.h"

#include "support/Trace.h"

#include <memory>
#include <mutex>

namespace {

std::mutex g_lock;
QStringList g_lines;
bool g_installed = false;

class RecordingSink : public CTraceHandler {
public:
    void Output(const CTraceCategory&, const QString&, const QString& message) override
    {
        std::lock_guard lock(g_lock);
        g_lines.append(message);
    }
    void OutputCritical(const CTraceCategory& category, const QString& message) override
    {
        Output(category, QString(), message);
    }
};

}  // namespace

void TraceRecorder::Start()
{
    {
        std::lock_guard lock(g_lock);
        g_lines.clear();
        if (g_installed)
            return;
        g_installed = true;
    }
    CTraceManager::Instance().SetHandler(std::make_unique<RecordingSink>());
    g_traceGsmSession.LoadLevel();
    g_traceGsmSession.SetLevel(0xFF);
}

bool TraceRecorder::Contains(const QString& text)
{
    return Count(text) > 0;
}

int TraceRecorder::Count(const QString& text)
{
    std::lock_guard lock(g_lock);
    int count = 0;
    for (const QString& line : g_lines)
        count += line.contains(text) ? 1 : 0;
    return count;
}
