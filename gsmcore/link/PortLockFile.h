#pragma once
// The UUCP lock file of a serial device ("LCK..ttyUSB0" in /var/lock or
// /run/lock, holding the owner's pid), so that two programs never talk to
// one modem at once. TIOCEXCL alone does not keep root out.

#include <QString>

#include <sys/types.h>

class CPortLockFile {
public:
    CPortLockFile() = default;
    ~CPortLockFile() { release(); }
    CPortLockFile(const CPortLockFile&) = delete;
    CPortLockFile& operator=(const CPortLockFile&) = delete;

    // Takes the lock of `devicePath`. False with `error` = EBUSY when a live
    // process holds it; a stale lock is removed. Without a writable lock
    // folder the port is used without a lock (true).
    bool acquire(const QString& devicePath, int& error);
    void release();

    // The lock file's name for a device: the path below /dev with '/'
    // turned into '_' ("/dev/pts/5" -> "LCK..pts_5").
    static QString LockName(const QString& devicePath);
    // Folders tried in order; tests point this elsewhere.
    static void SetLockFoldersForTesting(const QStringList* folders);

    const QString& path() const { return m_path; }
    // The live process whose lock refused the last acquire(); 0 otherwise.
    pid_t holder() const { return m_holder; }

private:
    QString m_path;
    pid_t m_holder = 0;
};
