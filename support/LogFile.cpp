#include "support/LogFile.h"

#include <QDateTime>
#include <QLocale>

bool CLogFile::Open(const QString& path)
{
    Close();
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        return false;
    WriteLine(QStringLiteral("Log created ") + QLocale::system().toString(QDateTime::currentDateTime(), QLocale::ShortFormat));
    return true;
}

void CLogFile::WriteLine(const QString& text)
{
    Write(text + QLatin1Char('\n'));
}

void CLogFile::Write(const QString& text)
{
    if (!m_file.isOpen())
        return;
    m_file.write(text.toUtf8());
    m_file.flush();
}

void CLogFile::Close()
{
    if (m_file.isOpen())
        m_file.close();
}

bool CLogFile::Exists(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly);
}

bool CLogFile::Delete(const QString& path)
{
    return QFile::remove(path);
}
