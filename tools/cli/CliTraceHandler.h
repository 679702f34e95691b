#pragma once
// tessaly-cli --trace: every trace message of every category goes to
// standard error as it happens, with the trace file's millisecond prefix,
// so a user sees what was said to the device without the registry.

#include "support/Trace.h"

#include <cstdio>
#include <mutex>

class CliTraceHandler : public CTraceHandler {
public:
    explicit CliTraceHandler(std::FILE* out = stderr);

    void Output(const CTraceCategory& category, const QString& levelName, const QString& message) override;
    void OutputCritical(const CTraceCategory& category, const QString& message) override;

    // Installs a handler and opens every category's mask fully.
    static void Install();

private:
    void Write(const QString& message);

    std::mutex m_lock;  // keeps lines of several threads whole
    std::FILE* m_out;
};
