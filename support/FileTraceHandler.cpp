#include "support/FileTraceHandler.h"

#include "support/AppMessages.h"
#include "support/HighResTimer.h"
#include "support/MessageBoxTypes.h"

#include <QDir>
#include <QStandardPaths>

QString CFileTraceHandler::DefaultPath()
{
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        documents = QDir::homePath();
    return QDir(documents).filePath(QStringLiteral("corvanedebug.txt"));
}

CFileTraceHandler::CFileTraceHandler() : CFileTraceHandler(DefaultPath()) {}

CFileTraceHandler::CFileTraceHandler(const QString& path) : m_path(path)
{
    TraceClock().Start();
}

void CFileTraceHandler::Output(const CTraceCategory&, const QString&, const QString& message)
{
    std::unique_lock lock(m_lock);
    if (!m_log.IsOpen() && !m_openFailed) {
        // The notice comes once per run, before the first line, and the
        // lock is not held while the user reads it.
        m_openFailed = true;
        lock.unlock();
        CAppMessages::Instance().ShowMessage(QStringLiteral("Tracing to file."), MB_ICONEXCLAMATION, QStringLiteral("    "));
        lock.lock();
        m_openFailed = !m_log.Open(m_path);
    }
    if (!m_log.IsOpen())
        return;
    const QString prefix = m_timestamps ? Format("%8d: ", TraceClock().Elapsed()) : QString();
    m_log.Write(prefix + message);
}

void CFileTraceHandler::OutputCritical(const CTraceCategory&, const QString& message)
{
    CAppMessages::Instance().ShowMessage(message, MB_OK, QStringLiteral("Critical Message"));
}
