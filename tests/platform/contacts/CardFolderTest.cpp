#include "platform/contacts/CardFolder.h"
#include "tests/platform/contacts/ContactsTestFolder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace {

class CardFolderTest : public ::testing::Test {
protected:
    void SetUp() override { m_path = NewTempFolder(QStringLiteral("cardfolder")); }
    void Write(const QString& name, const QByteArray& bytes) const { WriteContactFile(m_path, name, bytes); }
    QStringList Listed() const
    {
        QStringList names;
        for (const CardFileInfo& info : CCardFolder(m_path).List())
            names << info.FileName();
        names.sort();
        return names;
    }
    QString m_path;
};

TEST_F(CardFolderTest, ListsOnlyRegularCardFiles)
{
    Write(QStringLiteral("a.vcf"), "BEGIN:VCARD");
    Write(QStringLiteral("B.VCF"), "x");
    Write(QStringLiteral(".hidden.vcf"), "x");
    Write(QStringLiteral("notes.txt"), "x");
    Write(QStringLiteral("vcf"), "x");
    ASSERT_TRUE(QDir(m_path).mkdir(QStringLiteral("folder.vcf")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(m_path + QStringLiteral("/pipe.vcf")).constData(), 0600), 0);
    ASSERT_EQ(::symlink("a.vcf", QFile::encodeName(m_path + QStringLiteral("/link.vcf")).constData()), 0);
    ASSERT_EQ(::symlink("nowhere.vcf", QFile::encodeName(m_path + QStringLiteral("/dangling.vcf")).constData()), 0);

    EXPECT_EQ(Listed(), (QStringList{QStringLiteral("B.VCF"), QStringLiteral("a.vcf"), QStringLiteral("link.vcf")}));
    const std::vector<CardFileInfo> files = CCardFolder(m_path).List();
    const auto a = std::find_if(files.begin(), files.end(), [](const CardFileInfo& f) { return f.name == "a.vcf"; });
    ASSERT_NE(a, files.end());
    EXPECT_EQ(a->stamp.size, 11);
    EXPECT_GT(a->stamp.modifiedNs, 0);
    EXPECT_EQ(a->stamp, StampOfFile(m_path + QStringLiteral("/a.vcf")));
}

TEST_F(CardFolderTest, ReadsWhatIsThereWithinTheLimit)
{
    Write(QStringLiteral("card.vcf"), "0123456789");
    const CCardFolder folder(m_path);
    struct Case {
        const char* file;
        qint64 expected;
        qint64 max;
        bool ok;
        const char* bytes;
    };
    const Case cases[] = {
        {"card.vcf", 10, 100, true, "0123456789"},
        {"card.vcf", 4, 100, true, "0123456789"},   // grew since the listing
        {"card.vcf", 50, 100, true, "0123456789"},  // shrank since the listing
        {"card.vcf", 4, 8, false, ""},              // grew past the limit
        {"card.vcf", 10, 10, true, "0123456789"},   // exactly the limit
        {"card.vcf", 20, 10, false, ""},            // listed too large
        {"card.vcf", -1, 10, false, ""},
        {"gone.vcf", 10, 100, false, ""},
    };
    for (const Case& c : cases) {
        const std::optional<QByteArray> got = folder.Read(QString::fromLatin1(c.file), c.expected, c.max);
        EXPECT_EQ(got.has_value(), c.ok) << c.file << " " << c.expected << " " << c.max;
        if (got && c.ok) {
            EXPECT_EQ(*got, QByteArray(c.bytes));
        }
    }
}

TEST_F(CardFolderTest, MissingFolderListsNothing)
{
    const CCardFolder folder(m_path + QStringLiteral("/absent"));
    EXPECT_FALSE(folder.IsOpen());
    EXPECT_TRUE(folder.List().empty());
    EXPECT_FALSE(folder.Read(QStringLiteral("a.vcf"), 1, 10).has_value());
}

}  // namespace
