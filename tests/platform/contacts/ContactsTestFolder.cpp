#include "tests/platform/contacts/ContactsTestFolder.h"

#include "tests/TestEnvironment.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

QString NewContactsFolder(const QString& hint)
{
    static int counter = 0;
    const QString path = TestTempDir() + QStringLiteral("/contacts-%1-%2").arg(hint).arg(++counter);
    QDir(path).removeRecursively();
    QDir().mkpath(path);
    return path;
}

void CopyContactsData(const QString& name, const QString& folder, const QString& as)
{
    const QString target = folder + QLatin1Char('/') + (as.isEmpty() ? name : as);
    QFile::remove(target);
    ASSERT_TRUE(QFile::copy(TestDataPath(QStringLiteral("contacts/") + name), target)) << name.toStdString();
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
}

void WriteContactFile(const QString& folder, const QString& fileName, const QByteArray& bytes)
{
    QFile file(folder + QLatin1Char('/') + fileName);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray ReadContactFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
