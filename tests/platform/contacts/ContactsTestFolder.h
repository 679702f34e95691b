#pragma once
// A fresh contacts folder per test, inside the test's temporary folder.

#include <QByteArray>
#include <QString>

// A new empty folder (unique per call).
QString NewContactsFolder(const QString& hint);
// Copies tests/data/contacts/<name> into `folder` (as `as`, default same name).
void CopyContactsData(const QString& name, const QString& folder, const QString& as = QString());
void WriteContactFile(const QString& folder, const QString& fileName, const QByteArray& bytes);
QByteArray ReadContactFile(const QString& path);
