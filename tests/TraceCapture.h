#pragma once
// A trace sink for tests: keeps every message, so a test can check what
// was traced. Installing it lets every category of `levels` through.

#include "support/Trace.h"

#include <QStringList>

#include <mutex>

class TraceCapture : public CTraceHandler {
public:
    struct Line {
        QString category, level, message;
        bool critical = false;
    };

    void Output(const CTraceCategory& category, const QString& levelName, const QString& message) override
    {
        std::lock_guard lock(m_lock);
        m_lines.push_back({category.GetName(), levelName, message, false});
    }
    void OutputCritical(const CTraceCategory& category, const QString& message) override
    {
        std::lock_guard lock(m_lock);
        m_lines.push_back({category.GetName(), QString(), message, true});
    }

    std::vector<Line> Lines() const
    {
        std::lock_guard lock(m_lock);
        return m_lines;
    }
    QStringList Messages() const
    {
        std::lock_guard lock(m_lock);
        QStringList out;
        for (const Line& l : m_lines)
            out << l.message;
        return out;
    }
    bool Contains(const QString& message) const { return Messages().contains(message); }
    void Clear()
    {
        std::lock_guard lock(m_lock);
        m_lines.clear();
    }

    // Installs a fresh capture as the process's sink with every level of
    // `category` let through, and returns it (the manager owns it).
    static TraceCapture* Install(CTraceCategory& category, quint32 levels = 0xFFFFFFFF)
    {
        auto sink = std::make_unique<TraceCapture>();
        TraceCapture* raw = sink.get();
        CTraceManager::Instance().SetHandler(std::move(sink));
        category.LoadLevel();  // marks it loaded, so the mask below stays
        category.SetLevel(levels);
        return raw;
    }

private:
    mutable std::mutex m_lock;
    std::vector<Line> m_lines;
};
