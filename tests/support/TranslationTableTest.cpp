#include "support/TranslationTable.h"
#include "tests/TestEnvironment.h"

#include <gtest/gtest.h>

namespace {

class TranslationTableTest : public ::testing::Test {
protected:
    void TearDown() override { CTranslationTable::Clear(); }
};

void ExpectSwedishTable()
{
    EXPECT_EQ(CTranslationTable::Count(), 4);
    EXPECT_EQ(Tr("View"), QStringLiteral("Visning"));  // the later line wins
    EXPECT_EQ(CTranslationTable::Translate(QStringLiteral("Reading phone numbers\nfrom SIM memory.")),
              QStringLiteral("L\u00e4ser telefonnummer\nfr\u00e5n SIM-minnet."));
    EXPECT_EQ(Tr("Sim: %d/%d"), QStringLiteral("SIM: %d/%d"));
    EXPECT_EQ(Tr("Three"), QStringLiteral("fields\tin all"));
    EXPECT_EQ(Tr("No tab here"), QStringLiteral("No tab here"));
    EXPECT_EQ(Tr("Empty translation"), QStringLiteral("Empty translation"));
    EXPECT_EQ(Tr("Not in the file"), QStringLiteral("Not in the file"));
}

TEST_F(TranslationTableTest, EightBitAndUtf16FilesGiveTheSameTable)
{
    ASSERT_TRUE(CTranslationTable::Load(TestDataPath(QStringLiteral("support/swedish-8bit.lan"))));
    ExpectSwedishTable();
    CTranslationTable::Clear();
    ASSERT_TRUE(CTranslationTable::Load(TestDataPath(QStringLiteral("support/swedish-utf16.lan"))));
    ExpectSwedishTable();
}

TEST_F(TranslationTableTest, BareLineFeedsMakeOneLine)
{
    ASSERT_TRUE(CTranslationTable::Load(TestDataPath(QStringLiteral("support/bare-linefeeds.lan"))));
    // One line: "View" maps to everything after its first tab, which is
    // not a translation anyone asked for; no other text is translated.
    EXPECT_EQ(CTranslationTable::Count(), 1);
    EXPECT_EQ(Tr("Sim: %d/%d"), QStringLiteral("Sim: %d/%d"));
}

TEST_F(TranslationTableTest, MissingFileKeepsTheTable)
{
    CTranslationTable::LoadFromBytes(QByteArray("Cancel\tAvbryt\r\n"));
    EXPECT_FALSE(CTranslationTable::Load(TestDataPath(QStringLiteral("support/no-such-file.lan"))));
    EXPECT_EQ(Tr("Cancel"), QStringLiteral("Avbryt"));
}

TEST_F(TranslationTableTest, OddBytesNeverCrash)
{
    const QByteArray inputs[] = {QByteArray(), QByteArray("\xff\xfe", 2), QByteArray("\xff\xfe\x41", 3),
                                 QByteArray("a\tb", 3), QByteArray("\r\r\r\t\t\\", 6), QByteArray(1, '\0')};
    for (const QByteArray& bytes : inputs)
        CTranslationTable::LoadFromBytes(bytes);
    CTranslationTable::LoadFromBytes(QByteArray("a\tb", 3));
    EXPECT_EQ(Tr("a"), QStringLiteral("b"));  // the last line needs no line end
}

}  // namespace
