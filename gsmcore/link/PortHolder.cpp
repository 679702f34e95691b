#include "gsmcore/link/PortHolder.h"

#include "support/TranslationTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

QString ProcessName(pid_t pid)
{
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    if (pid <= 0 || !comm.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromLocal8Bit(comm.readAll()).trimmed();
}

namespace {

// A process other than this one with the device open; 0 when none is seen.
pid_t FindOpener(const QString& devicePath)
{
    const QString device = QFileInfo(devicePath).canonicalFilePath();
    if (device.isEmpty())
        return 0;
    const QStringList processes = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& process : processes) {
        bool numeric = false;
        const pid_t pid = static_cast<pid_t>(process.toInt(&numeric));
        if (!numeric || pid == ::getpid())
            continue;
        const QDir fds(QStringLiteral("/proc/%1/fd").arg(process));
        for (const QString& fd : fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
            if (QFile::symLinkTarget(fds.filePath(fd)) == device)
                return pid;
        }
    }
    return 0;
}

}  // namespace

QString DescribePortHolder(const QString& devicePath, pid_t lockOwner)
{
    const pid_t pid = lockOwner > 0 ? lockOwner : FindOpener(devicePath);
    const QString name = ProcessName(pid);
    if (pid <= 0)
        return Tr("another program");
    return QStringLiteral("%1 (pid %2)").arg(name.isEmpty() ? Tr("process") : name).arg(pid);
}
