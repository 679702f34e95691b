#pragma once
// What every test program shares: a private temporary folder that the
// registry file, the contacts folder and the home folder point into, and
// the path of the test data in the source tree.

#include <QByteArray>
#include <QList>
#include <QString>

// The per-process temporary folder (created before the first test).
QString TestTempDir();
// A new empty folder in it, unique per call.
QString NewTempFolder(const QString& hint);
// tests/data/<relative> in the source tree.
QString TestDataPath(const QString& relative);
// The rows of a table in tests/data/<relative>: a row a line, its fields
// parted by " | " (a trailing " |" ends in an empty one), with \r \n \t \0
// \\ and \xHH read as those bytes; blank lines and "#" lines are left out.
QList<QList<QByteArray>> TestDataRows(const QString& relative);
// Points the environment at the temporary folder; called by the test main.
void SetUpTestEnvironment();
