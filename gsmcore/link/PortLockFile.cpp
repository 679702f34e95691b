#include "gsmcore/link/PortLockFile.h"

#include "support/Trace.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

const QStringList* g_testFolders = nullptr;

QStringList LockFolders()
{
    if (g_testFolders)
        return *g_testFolders;
    return {QStringLiteral("/var/lock"), QStringLiteral("/run/lock")};
}

// The pid written in a lock file, 0 when it cannot be read. Both the
// ASCII form ("%10d\n") and the old binary form are understood.
pid_t ReadOwner(const QByteArray& path)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    char text[32] = {};
    const ssize_t n = ::read(fd, text, sizeof(text) - 1);
    ::close(fd);
    if (n <= 0)
        return 0;
    if (n == sizeof(int) && (text[0] < ' ' || text[0] > '9')) {
        int binary = 0;
        std::memcpy(&binary, text, sizeof(int));
        return binary > 0 ? binary : 0;
    }
    const long pid = std::strtol(text, nullptr, 10);
    return pid > 0 ? static_cast<pid_t>(pid) : 0;
}

bool IsAlive(pid_t pid)
{
    return pid > 0 && (::kill(pid, 0) == 0 || errno == EPERM);
}

}  // namespace

void CPortLockFile::SetLockFoldersForTesting(const QStringList* folders)
{
    g_testFolders = folders;
}

QString CPortLockFile::LockName(const QString& devicePath)
{
    QString name = devicePath;
    if (name.startsWith(QLatin1String("/dev/")))
        name = name.mid(5);
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    return QStringLiteral("LCK..") + name;
}

bool CPortLockFile::acquire(const QString& devicePath, int& error)
{
    release();
    error = 0;
    m_holder = 0;
    QString folder;
    for (const QString& candidate : LockFolders()) {
        const QByteArray local = QFile::encodeName(candidate);
        if (::access(local.constData(), W_OK) == 0) {
            folder = candidate;
            break;
        }
    }
    if (folder.isEmpty())
        return true;  // nowhere to lock: the device's own exclusive mode must do

    // A link such as /dev/serial/by-id/... locks the device it points at,
    // as other programs using the device by its own name would.
    const QString canonical = QFileInfo(devicePath).canonicalFilePath();
    const QString path = folder + QLatin1Char('/') + LockName(canonical.isEmpty() ? devicePath : canonical);
    const QByteArray local = QFile::encodeName(path);
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int fd = ::open(local.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0) {
            char text[16];
            const int length = std::snprintf(text, sizeof(text), "%10d\n", static_cast<int>(::getpid()));
            const bool written = ::write(fd, text, static_cast<size_t>(length)) == length;
            ::close(fd);
            if (!written) {
                ::unlink(local.constData());
                return true;  // a full disk is no reason to refuse the port
            }
            m_path = path;
            return true;
        }
        if (errno != EEXIST)
            return true;  // folder writable but the file not: go on unlocked
        const pid_t owner = ReadOwner(local);
        if (IsAlive(owner)) {
            TraceMessage(g_traceGsmSession, TRACE_ERROR, "Port %s is locked by process %d\n", devicePath,
                         static_cast<int>(owner));
            error = EBUSY;
            m_holder = owner;
            return false;
        }
        TraceMessage(g_traceGsmSession, TRACE_INFO, "Removing stale lock %s\n", path);
        ::unlink(local.constData());
    }
    error = EBUSY;
    return false;
}

void CPortLockFile::release()
{
    if (m_path.isEmpty())
        return;
    const QByteArray local = QFile::encodeName(m_path);
    if (ReadOwner(local) == ::getpid())
        ::unlink(local.constData());
    m_path.clear();
}
