#pragma once
// Tracing: one call, TraceMessage(category, level, format, ...), from
// every module. Each category's mask of levels is read once from the
// registry; a rejected message costs a test of the sink pointer, a test
// of the loaded flag and an AND, and nothing is formatted or allocated.

#include "support/Format.h"
#include "support/RegistryRoot.h"

#include <QString>

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

enum TraceLevel : quint32 {
    TRACE_INFO = 1,
    TRACE_WARNING = 2,
    TRACE_ERROR = 4,
    TRACE_TIME = 8,
    TRACE_CTOR_DTOR = 16,
    TRACE_MEMORY = 32,
    TRACE_CRITICAL = 128,  // passes every mask, goes to OutputCritical
};

// Name of a level as handed to the sink; empty for unknown values.
QString TraceLevelName(quint32 level);

class CTraceCategory {
public:
    explicit CTraceCategory(const QString& name);
    ~CTraceCategory();  // the system's categories live for the whole run; tests make short-lived ones
    CTraceCategory(const CTraceCategory&) = delete;
    CTraceCategory& operator=(const CTraceCategory&) = delete;

    const QString& GetName() const { return m_name; }
    quint32 GetLevel() const { return m_level.load(std::memory_order_relaxed); }
    void SetLevel(quint32 mask) { m_level.store(mask, std::memory_order_relaxed); }
    void AddLevel(quint32 bits) { m_level.fetch_or(bits, std::memory_order_relaxed); }
    void RemoveLevel(quint32 bits) { m_level.fetch_and(~bits, std::memory_order_relaxed); }

    bool IsLoaded() const { return m_loaded.load(std::memory_order_relaxed); }
    // Marks the category loaded and reads its mask from the registry.
    void LoadLevel();
    // Forgets that the mask was read (tests start each case afresh).
    void ResetLoaded() { m_loaded.store(false, std::memory_order_relaxed); }

private:
    QString m_name;
    std::atomic<quint32> m_level{0};
    std::atomic<bool> m_loaded{false};
};

// The sink interface.
class CTraceHandler {
public:
    virtual ~CTraceHandler() = default;
    virtual void Output(const CTraceCategory& category, const QString& levelName, const QString& message) = 0;
    virtual void OutputCritical(const CTraceCategory& category, const QString& message) = 0;
};

class CTraceManager {
public:
    static CTraceManager& Instance();

    // Installs the sink; the manager owns it. A sink replaced later is
    // kept alive (another thread may still be writing through it).
    void SetHandler(std::unique_ptr<CTraceHandler> sink);
    CTraceHandler* GetHandler() const { return s_handler.load(std::memory_order_acquire); }
    static bool HasHandler() { return s_handler.load(std::memory_order_relaxed) != nullptr; }

    void SetRegistryKey(RegRoot root, const QString& keyPath);
    RegRoot GetRootKey() const;
    QString GetKeyPath() const;

    int GetCategoryCount() const;
    CTraceCategory* GetCategory(int index) const;
    void AddCategory(CTraceCategory* category);
    void RemoveCategory(CTraceCategory* category);

private:
    CTraceManager() = default;
    static inline std::atomic<CTraceHandler*> s_handler{nullptr};
    mutable std::mutex m_lock;
    std::vector<CTraceCategory*> m_categories;
    std::vector<std::unique_ptr<CTraceHandler>> m_sinks;
    RegRoot m_root = RegRoot::None;
    QString m_keyPath;
};

// The categories of the system.
extern CTraceCategory g_traceTessaly;     // "Tessaly": the application and its dialogs
extern CTraceCategory g_traceCommon;      // "Common": registry, timer, port discovery
extern CTraceCategory g_traceGsmSession;  // "GsmSession": the GSM core
extern CTraceCategory g_traceArdel;       // "Ardel": the message dispatch
extern CTraceCategory g_traceSkinables;   // "Skinables": the contact list controls

// Formats and hands a message that passed its mask to the sink.
void TraceEmit(CTraceCategory& category, quint32 level, const QString& format,
               std::initializer_list<FormatArg> args);

template <typename... Args>
inline void TraceMessage(CTraceCategory& category, quint32 level, const char* format, const Args&... args)
{
    if (!CTraceManager::HasHandler())
        return;
    if (!category.IsLoaded())
        category.LoadLevel();
    if (level != TRACE_CRITICAL && (category.GetLevel() & level) == 0)
        return;
    TraceEmit(category, level, QString::fromUtf8(format), {FormatArg(args)...});
}

template <typename... Args>
inline void TraceMessage(CTraceCategory& category, quint32 level, const QString& format, const Args&... args)
{
    if (!CTraceManager::HasHandler())
        return;
    if (!category.IsLoaded())
        category.LoadLevel();
    if (level != TRACE_CRITICAL && (category.GetLevel() & level) == 0)
        return;
    TraceEmit(category, level, format, {FormatArg(args)...});
}
