#pragma once
// Where the program finds its files: the program directory (from the
// registry value "AppName" or the running program's folder), the
// install's share/tessaly folder, and the Contacts cache file.

#include <QString>

// The folder of "AppName" when set, otherwise the running program's.
QString ProgramDirectory();
// The first existing `relative` file under the program directory, the
// install's share/tessaly, the source tree's share/tessaly or the XDG data
// folders' tessaly/; empty if none.
QString FindDataFile(const QString& relative);
// The Contacts cache file, beside the contacts store's data.
QString ContactsCacheFile();
