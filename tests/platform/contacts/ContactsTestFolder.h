#pragma once
// A fresh contacts folder per test, inside the test's temporary folder, and
// the sample cards of tests/data/contacts/.

#include "tests/TestEnvironment.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

// A new empty folder (unique per call).
inline QString NewContactsFolder(const QString& hint)
{
    return NewTempFolder(QStringLiteral("contacts-") + hint);
}

inline void CopyContactsData(const QString& name, const QString& folder)
{
    const QString target = folder + QLatin1Char('/') + name;
    QFile::remove(target);
    ASSERT_TRUE(QFile::copy(TestDataPath(QStringLiteral("contacts/") + name), target)) << name.toStdString();
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
}

inline void WriteContactFile(const QString& folder, const QString& fileName, const QByteArray& bytes)
{
    QFile file(folder + QLatin1Char('/') + fileName);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

inline QByteArray ReadContactFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline QByteArray ReadContactsData(const char* name)
{
    return ReadContactFile(TestDataPath(QStringLiteral("contacts/") + QLatin1String(name)));
}
