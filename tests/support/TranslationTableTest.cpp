#include "support/TranslationTable.h"
#include "tests/TestEnvironment.h"

#include <gtest/gtest.h>

namespace {

// Each test leaves the table empty for the next.
class TranslationTableTest : public ::testing::Test {
    void TearDown() override { CTranslationTable::Clear(); }
};

// 8-bit and UTF-16 files give the same table; a file of bare line feeds
// is one line, where "View" maps to everything after its first tab.
TEST_F(TranslationTableTest, FilesOfEveryEncoding)
{
    for (const char* file : {"swedish-8bit.lan", "swedish-utf16.lan"}) {
        SCOPED_TRACE(file);
        CTranslationTable::Clear();
        ASSERT_TRUE(CTranslationTable::Load(TestDataPath(u"support/"_qs + QLatin1String(file))));
        EXPECT_EQ(CTranslationTable::Count(), 4);
        EXPECT_EQ(Tr("View"), u"Visning"_qs);  // the later line wins
        EXPECT_EQ(CTranslationTable::Translate(u"Reading phone numbers\nfrom SIM memory."_qs),
                  u"L\u00e4ser telefonnummer\nfr\u00e5n SIM-minnet."_qs);
        for (const auto& [text, translation] : {std::pair{"Sim: %d/%d", "SIM: %d/%d"}, {"Three", "fields\tin all"},
                                                {"No tab here", "No tab here"}, {"Empty translation", "Empty translation"},
                                                {"Not in the file", "Not in the file"}})
            EXPECT_EQ(Tr(text), QString::fromLatin1(translation));
    }
    CTranslationTable::Clear();
    ASSERT_TRUE(CTranslationTable::Load(TestDataPath(u"support/bare-linefeeds.lan"_qs)));
    EXPECT_EQ(CTranslationTable::Count(), 1);
    EXPECT_EQ(Tr("Sim: %d/%d"), u"Sim: %d/%d"_qs);
}

// A missing file keeps the table; odd bytes never crash, and the last line
// needs no line end.
TEST_F(TranslationTableTest, MissingFilesAndOddBytes)
{
    CTranslationTable::LoadFromBytes(QByteArray("Cancel\tAvbryt\r\n"));
    EXPECT_FALSE(CTranslationTable::Load(TestDataPath(u"support/no-such-file.lan"_qs)));
    EXPECT_EQ(Tr("Cancel"), u"Avbryt"_qs);
    const QByteArray inputs[] = {QByteArray(), QByteArray("\xff\xfe", 2), QByteArray("\xff\xfe\x41", 3),
                                 QByteArray("\r\r\r\t\t\\", 6), QByteArray(1, '\0'), QByteArray("a\tb", 3)};
    for (const QByteArray& bytes : inputs)
        CTranslationTable::LoadFromBytes(bytes);
    EXPECT_EQ(Tr("a"), u"b"_qs);
}

}  // namespace
