#include "platform/contacts/CardFolder.h"
#include "tests/platform/contacts/ContactsTestFolder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QStringList Listed(const QString& folder, bool withStamps)
{
    QStringList names;
    std::vector<CardFileInfo> files = CCardFolder(folder).List();
    if (withStamps)
        CCardFolder(folder).Stamp(files);
    for (const CardFileInfo& info : files) {
        names << info.FileName();
        if (withStamps) {
            EXPECT_EQ(info.stamp, StampOfFile(folder + QLatin1Char('/') + info.FileName()));
        }
    }
    names.sort();
    return names;
}

// Regular card files are listed and read; hidden ones, other names, folders
// and pipes never; a name alone (no stamps) is no promise of a card.
TEST(CardFolder, ListsAndReadsOnlyRegularCardFiles)
{
    const QString path = NewTempFolder(QStringLiteral("cardfolder"));
    for (const char* name : {"a.vcf", "B.VCF", ".hidden.vcf", "notes.txt", "vcf"})
        WriteContactFile(path, QString::fromLatin1(name), "0123456789");
    ASSERT_TRUE(QDir(path).mkdir(QStringLiteral("folder.vcf")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path + QStringLiteral("/pipe.vcf")).constData(), 0600), 0);
    ASSERT_EQ(::symlink("a.vcf", QFile::encodeName(path + QStringLiteral("/link.vcf")).constData()), 0);
    ASSERT_EQ(::symlink("nowhere.vcf", QFile::encodeName(path + QStringLiteral("/dangling.vcf")).constData()), 0);

    EXPECT_EQ(Listed(path, true), (QStringList{"B.VCF", "a.vcf", "link.vcf"}));
    EXPECT_TRUE(Listed(path, false).contains(QStringLiteral("dangling.vcf")));
    const CCardFolder folder(path);
    struct Case {
        const char* file;
        qint64 max;
        bool read;
    } cases[] = {
        {"a.vcf", 100, true}, {"a.vcf", 10, true}, {"a.vcf", 9, false}, {"link.vcf", 100, true},
        {"folder.vcf", 100, false}, {"pipe.vcf", 100, false}, {"dangling.vcf", 100, false}, {"gone.vcf", 100, false},
    };
    for (const Case& c : cases) {
        FileStamp stamp;
        const std::optional<QByteArray> got = folder.Read(QString::fromLatin1(c.file), c.max, &stamp);
        ASSERT_EQ(got.has_value(), c.read) << c.file << " " << c.max;
        if (c.read) {
            EXPECT_EQ(*got, QByteArray("0123456789")) << c.file;
            EXPECT_EQ(stamp, StampOfFile(path + QStringLiteral("/a.vcf"))) << c.file;
        }
    }

    const CCardFolder missing(path + QStringLiteral("/absent"));
    EXPECT_FALSE(missing.IsOpen());
    EXPECT_FALSE(missing.ListingStamp(0).IsValid());
    EXPECT_TRUE(missing.List().empty());
    EXPECT_FALSE(missing.Read(QStringLiteral("a.vcf"), 10).has_value());
}

}  // namespace
