#pragma once
// Who holds a serial port we could not take, for the message that tells
// the user: the owner of its lock file, else a process with the device
// open (visible to root or to the process's own user).

#include <QString>

#include <sys/types.h>

// "ModemManager (pid 812)"; "another program" when nobody can be named.
// `lockOwner` is the pid from the port's lock file, 0 when none.
QString DescribePortHolder(const QString& devicePath, pid_t lockOwner);
// The name a process gave itself (/proc/PID/comm); empty when unknown.
QString ProcessName(pid_t pid);
