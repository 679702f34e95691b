#include "support/Trace.h"

#include "support/Registry.h"

QString TraceLevelName(quint32 level)
{
    switch (level) {
    case TRACE_INFO: return QStringLiteral("INFO");
    case TRACE_WARNING: return QStringLiteral("WARNING");
    case TRACE_ERROR: return QStringLiteral("ERROR");
    case TRACE_TIME: return QStringLiteral("TIME");
    case TRACE_CTOR_DTOR: return QStringLiteral("CTOR/DTOR");
    case TRACE_MEMORY: return QStringLiteral("MEMORY");
    default: return QString();
    }
}

CTraceCategory::CTraceCategory(const QString& name) : m_name(name)
{
    CTraceManager::Instance().AddCategory(this);
}

CTraceCategory::~CTraceCategory()
{
    CTraceManager::Instance().RemoveCategory(this);
}

void CTraceCategory::LoadLevel()
{
    // Marked first: the registry code traces under a category too, and a
    // load must never start a second load of the same category.
    m_loaded.store(true, std::memory_order_relaxed);
    const CTraceManager& manager = CTraceManager::Instance();
    CRegistry key;
    if (key.Open(manager.GetRootKey(), manager.GetKeyPath(), KEY_ALL_ACCESS) != ERROR_SUCCESS)
        return;
    quint32 mask = 0;
    if (key.QueryDWord(QStringLiteral("All"), mask) == ERROR_SUCCESS
        || key.QueryDWord(m_name, mask) == ERROR_SUCCESS)
        SetLevel(mask);
}

CTraceManager& CTraceManager::Instance()
{
    static CTraceManager* manager = new CTraceManager;  // lives for the whole run, used by static objects
    return *manager;
}

void CTraceManager::SetHandler(std::unique_ptr<CTraceHandler> sink)
{
    std::lock_guard lock(m_lock);
    CTraceHandler* raw = sink.get();
    if (sink)
        m_sinks.push_back(std::move(sink));
    s_handler.store(raw, std::memory_order_release);
}

void CTraceManager::SetRegistryKey(RegRoot root, const QString& keyPath)
{
    std::lock_guard lock(m_lock);
    m_root = root;
    m_keyPath = keyPath;
}

RegRoot CTraceManager::GetRootKey() const
{
    std::lock_guard lock(m_lock);
    return m_root;
}

QString CTraceManager::GetKeyPath() const
{
    std::lock_guard lock(m_lock);
    return m_keyPath;
}

int CTraceManager::GetCategoryCount() const
{
    std::lock_guard lock(m_lock);
    return int(m_categories.size());
}

CTraceCategory* CTraceManager::GetCategory(int index) const
{
    std::lock_guard lock(m_lock);
    if (index < 0 || index >= int(m_categories.size()))
        return nullptr;
    return m_categories[size_t(index)];
}

void CTraceManager::AddCategory(CTraceCategory* category)
{
    std::lock_guard lock(m_lock);
    m_categories.push_back(category);
}

void CTraceManager::RemoveCategory(CTraceCategory* category)
{
    std::lock_guard lock(m_lock);
    std::erase(m_categories, category);
}

void TraceEmit(CTraceCategory& category, quint32 level, const QString& format, std::initializer_list<FormatArg> args)
{
    CTraceHandler* sink = CTraceManager::Instance().GetHandler();
    if (!sink)
        return;
    const QString message = FormatText(format, args);
    if (level == TRACE_CRITICAL)
        sink->OutputCritical(category, message);
    else
        sink->Output(category, TraceLevelName(level), message);
}

CTraceCategory g_traceTessaly(QStringLiteral("Tessaly"));
CTraceCategory g_traceCommon(QStringLiteral("Common"));
CTraceCategory g_traceGsmSession(QStringLiteral("GsmSession"));
CTraceCategory g_traceArdel(QStringLiteral("Ardel"));
CTraceCategory g_traceSkinables(QStringLiteral("Skinables"));
