#pragma once
// A text log file: truncated on open, every write flushed at once so the
// file is complete up to the last line even if the process dies.

#include <QFile>
#include <QString>

class CLogFile {
public:
    ~CLogFile() { Close(); }

    // Writes the first line "Log created " and the local date and time.
    bool Open(const QString& path);
    bool IsOpen() const { return m_file.isOpen(); }
    void WriteLine(const QString& text);
    void Write(const QString& text);
    void Close();

    static bool Exists(const QString& path);
    static bool Delete(const QString& path);

private:
    QFile m_file;
};
