#include "tools/cli/CliTraceHandler.h"

#include "support/HighResTimer.h"

CliTraceHandler::CliTraceHandler(std::FILE* out) : m_out(out)
{
    TraceClock().Start();
}

void CliTraceHandler::Output(const CTraceCategory&, const QString&, const QString& message)
{
    Write(message);
}

void CliTraceHandler::OutputCritical(const CTraceCategory&, const QString& message)
{
    Write(message);
}

void CliTraceHandler::Write(const QString& message)
{
    // One message, one line: the line ends of a command sent show as \r\n.
    QString text = message.endsWith(QLatin1Char('\n')) ? message.chopped(1) : message;
    text.replace(QLatin1Char('\r'), QLatin1String("\\r")).replace(QLatin1Char('\n'), QLatin1String("\\n"));
    const QString line = Format("%8d: ", TraceClock().Elapsed()) + text + QLatin1Char('\n');
    const QByteArray bytes = line.toLocal8Bit();
    std::lock_guard lock(m_lock);
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), m_out);
    std::fflush(m_out);
}

void CliTraceHandler::Install()
{
    CTraceManager& manager = CTraceManager::Instance();
    manager.SetHandler(std::make_unique<CliTraceHandler>());
    for (int i = 0; i < manager.GetCategoryCount(); ++i) {
        CTraceCategory* category = manager.GetCategory(i);
        // Loaded first, so that a mask in the registry cannot narrow it later.
        category->LoadLevel();
        category->SetLevel(0xFFFFFFFFu);
    }
}
