#include "support/FileTraceHandler.h"

#include "support/AppMessages.h"
#include "support/HighResTimer.h"
#include "support/MessageBoxTypes.h"

#include <QDir>
#include <QFileInfo>
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

// A message brings its own line end; line breaks inside it (a traced AT
// command still framed with CR LF) are shown as escapes, so that every line
// of the file starts with its time stamp.
static QString OneLine(const QString& message)
{
    QString text = message;
    const bool lineEnd = text.endsWith(QLatin1Char('\n'));
    if (lineEnd)
        text.chop(1);
    if (!text.contains(QLatin1Char('\r')) && !text.contains(QLatin1Char('\n')))
        return message;
    text.replace(QLatin1Char('\r'), QLatin1String("\\r")).replace(QLatin1Char('\n'), QLatin1String("\\n"));
    return lineEnd ? text + QLatin1Char('\n') : text;
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
        // The documents folder, which a fresh account may not have yet,
        // is made only now that there is something to write into it.
        QDir().mkpath(QFileInfo(m_path).absolutePath());
        m_openFailed = !m_log.Open(m_path);
    }
    if (!m_log.IsOpen())
        return;
    const QString prefix = m_timestamps ? Format("%8d: ", TraceClock().Elapsed()) : QString();
    m_log.Write(prefix + OneLine(message));
}

void CFileTraceHandler::OutputCritical(const CTraceCategory&, const QString& message)
{
    CAppMessages::Instance().ShowMessage(message, MB_OK, QStringLiteral("Critical Message"));
}
