#include "tests/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>
#include <memory>

namespace {
std::unique_ptr<QTemporaryDir>& TempDir()
{
    static std::unique_ptr<QTemporaryDir> dir;
    return dir;
}
}  // namespace

QString TestTempDir()
{
    if (!TempDir())
        SetUpTestEnvironment();
    return TempDir()->path();
}

QString NewTempFolder(const QString& hint)
{
    static int counter = 0;
    const QString path = TestTempDir() + QStringLiteral("/%1-%2").arg(hint).arg(++counter);
    QDir(path).removeRecursively();
    QDir().mkpath(path);
    return path;
}

QString TestDataPath(const QString& relative)
{
    return QDir(QStringLiteral(TESSALY_TEST_DATA_DIR)).filePath(relative);
}

QList<QList<QByteArray>> TestDataRows(const QString& relative)
{
    QFile file(TestDataPath(relative));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<QList<QByteArray>> rows;
    for (QByteArray line : file.readAll().split('\n')) {
        while (line.endsWith(' ') || line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        if (line.endsWith(" |"))
            line += ' ';  // an empty last field
        QList<QByteArray> fields {QByteArray()};
        for (qsizetype i = 0; i < line.size(); ++i) {
            if (line.mid(i, 3) == " | ") {
                fields.append(QByteArray());
                i += 2;
            } else if (line[i] == '\\' && i + 1 < line.size()) {
                const char c = line[++i];
                if (c == 'x') {
                    fields.last() += char(line.mid(i + 1, 2).toInt(nullptr, 16));
                    i += 2;
                } else {
                    fields.last() += c == 'r' ? '\r' : c == 'n' ? '\n' : c == 't' ? '\t' : c == '0' ? '\0' : c;
                }
            } else {
                fields.last() += line[i];
            }
        }
        rows.append(fields);
    }
    return rows;
}

void SetUpTestEnvironment()
{
    if (TempDir())
        return;
    TempDir() = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/tessaly-test-XXXXXX"));
    const QString root = TempDir()->path();
    QDir(root).mkpath(QStringLiteral("home/Documents"));
    QDir(root).mkpath(QStringLiteral("config"));
    QDir(root).mkpath(QStringLiteral("data"));
    QDir(root).mkpath(QStringLiteral("contacts"));
    auto set = [&](const char* name, const QString& value) {
        setenv(name, value.toLocal8Bit().constData(), 1);
    };
    set("HOME", root + QStringLiteral("/home"));
    set("XDG_CONFIG_HOME", root + QStringLiteral("/config"));
    set("XDG_DATA_HOME", root + QStringLiteral("/data"));
    set("XDG_DOCUMENTS_DIR", root + QStringLiteral("/home/Documents"));
    set("TESSALY_REGISTRY", root + QStringLiteral("/config/registry.ini"));
    set("TESSALY_CONTACTS", root + QStringLiteral("/contacts"));
    // The data files as an install would have them, wherever the build folder is.
    set("XDG_DATA_DIRS", QStringLiteral(TESSALY_SOURCE_SHARE_DIR));
}
