// Any bytes as the registry file: read every key and value it gives.

#include "support/RegistryStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstddef>
#include <cstdint>

#include <unistd.h>

namespace {

void Walk(CRegistryStore& store, const QString& key, int depth)
{
    if (depth > 8)
        return;
    for (const QString& name : store.ValueNames(RegRoot::LocalMachine, key))
        store.GetValue(RegRoot::LocalMachine, key, name);
    for (const QString& sub : store.SubKeys(RegRoot::LocalMachine, key))
        Walk(store, key.isEmpty() ? sub : key + QLatin1Char('\\') + sub, depth + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const QString path = QDir::temp().filePath(QStringLiteral("tessaly-fuzz-registry-%1.ini").arg(getpid()));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    CRegistryStore store(path);
    Walk(store, QString(), 0);
    store.Damage();
    // The file, its lock and any damaged copy go: the next input starts
    // clean and a run leaves nothing behind.
    for (const QString& left : QDir::temp().entryList({QFileInfo(path).fileName() + QLatin1Char('*')}))
        QFile::remove(QDir::temp().filePath(left));
    return 0;
}
