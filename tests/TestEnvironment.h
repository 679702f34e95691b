#pragma once
// What every test program shares: a private temporary folder that the
// registry file, the contacts folder and the home folder point into, and
// the path of the test data in the source tree.

#include <QString>

// The per-process temporary folder (created before the first test).
QString TestTempDir();
// A new empty folder in it, unique per call.
QString NewTempFolder(const QString& hint);
// tests/data/<relative> in the source tree.
QString TestDataPath(const QString& relative);
// Points the environment at the temporary folder; called by the test main.
void SetUpTestEnvironment();
