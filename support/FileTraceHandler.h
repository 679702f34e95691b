#pragma once
// The trace sink of the application: lines go to "corvanedebug.txt" in
// the user's documents folder, prefixed with the milliseconds since the
// sink was made; unconditional messages are shown to the user instead.

#include "support/LogFile.h"
#include "support/Trace.h"

#include <mutex>

class CFileTraceHandler : public CTraceHandler {
public:
    static QString DefaultPath();

    CFileTraceHandler();  // the default path; restarts the trace clock
    explicit CFileTraceHandler(const QString& path);

    void SetTimestamps(bool on) { m_timestamps = on; }
    const QString& GetPath() const { return m_path; }

    void Output(const CTraceCategory& category, const QString& levelName, const QString& message) override;
    void OutputCritical(const CTraceCategory& category, const QString& message) override;

private:
    std::mutex m_lock;  // keeps lines of several threads whole
    CLogFile m_log;
    QString m_path;
    bool m_openFailed = false;
    bool m_timestamps = false;
};
