// The contacts cache file: round trip, foreign versions, and files cut
// short or spoilt at every position.

#include "contactlist/ContactCache.h"
#include "tests/contactlist/ContactListTestData.h"
#include "tests/TestEnvironment.h"

#include <QFile>

#include <cstring>

#include <gtest/gtest.h>

namespace {

std::unique_ptr<CFilteredList> ThreeContacts()
{
    return MakeAllList({MakeRecord(QStringLiteral("alpha"), {{FIELD_MOBILE_TEL, "+46701"}}, 11),
                        MakeRecord(QStringLiteral("Åsa"), {{FIELD_EMAIL, "asa@example.org"}}, 12),
                        MakeRecord(QStringLiteral("Beta"), {{FIELD_WORK_TEL, "08-1"}, {FIELD_HOME_FAX, "08-2"}}, 13)});
}

}  // namespace

TEST(ContactCache, WritesAndReadsBackEveryRecordInOrder)
{
    const auto list = ThreeContacts();
    const QString path = TestTempDir() + QStringLiteral("/roundtrip.cache");
    ASSERT_TRUE(WriteContactCache(path, *list));
    EXPECT_FALSE(WriteContactCache(TestTempDir() + QStringLiteral("/no/such/folder/cache"), *list));
    CFilteredList read(CFilteredList::AllContactsFilter, true);
    ASSERT_TRUE(ReadContactCache(path, read));
    ASSERT_EQ(read.Count(), 3);
    for (int i = 0; i < 3; ++i) {
        const tagCONTACT* a = list->m_Contacts[size_t(i)];
        const tagCONTACT* b = read.m_Contacts[size_t(i)];
        ASSERT_EQ(a->wSize, b->wSize);
        EXPECT_EQ(std::memcmp(a, b, a->wSize), 0) << i;
    }
    // The header: version -3 and the count, little-endian.
    const QByteArray bytes = SerializeContactCache(*list);
    EXPECT_EQ(bytes.left(8).toHex(), QByteArray("fdffffff03000000"));
    EXPECT_EQ(bytes.mid(8, 2), bytes.mid(10, 2));  // size word, then the record starting with its own size
}

TEST(ContactCache, MissingEmptyAndForeignFilesReadNothing)
{
    const auto list = ThreeContacts();
    QByteArray foreign = SerializeContactCache(*list);
    foreign[0] = char(0xFC);  // version -4
    struct Case {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"empty", QByteArray()},
        {"version 3", QByteArray::fromHex("0300000000000000")},
        {"version -4", foreign},
        {"header only half", QByteArray::fromHex("fdff")},
        {"negative count", QByteArray::fromHex("fdffffffffffffff")},
        {"huge count", QByteArray::fromHex("fdffffffffffff7f")},
    };
    for (const Case& c : cases) {
        CFilteredList read(CFilteredList::AllContactsFilter, true);
        EXPECT_FALSE(ParseContactCache(c.bytes, read)) << c.what;
        EXPECT_EQ(read.Count(), 0) << c.what;
    }
    CFilteredList read(CFilteredList::AllContactsFilter, true);
    EXPECT_FALSE(ReadContactCache(TestTempDir() + QStringLiteral("/no-such.cache"), read));
    // A zero count is a valid, empty cache.
    EXPECT_TRUE(ParseContactCache(QByteArray::fromHex("fdffffff00000000"), read));
}

TEST(ContactCache, EveryTruncationIsRejectedWhole)
{
    const QByteArray bytes = SerializeContactCache(*ThreeContacts());
    for (qsizetype length = 0; length < bytes.size(); ++length) {
        CFilteredList read(CFilteredList::AllContactsFilter, true);
        EXPECT_FALSE(ParseContactCache(bytes.left(length), read)) << length;
        EXPECT_EQ(read.Count(), 0) << length;
    }
}

TEST(ContactCache, InconsistentSizesAreRejected)
{
    const QByteArray good = SerializeContactCache(*ThreeContacts());
    // Spoil each byte of the first record's size word, its inner size and
    // its first field offset; none may crash or read past the end.
    for (int position : {8, 9, 10, 11, 12, 14, 16}) {
        for (int value : {0x00, 0x01, 0x27, 0x7F, 0xFF}) {
            QByteArray bad = good;
            if (static_cast<unsigned char>(bad[position]) == value)
                continue;
            bad[position] = char(value);
            CFilteredList read(CFilteredList::AllContactsFilter, true);
            const bool accepted = ParseContactCache(bad, read);
            if (accepted) {
                // Only a change that leaves a consistent list may pass.
                for (const tagCONTACT* r : read.m_Contacts)
                    EXPECT_TRUE(IsValidContactRecord(r, r->wSize));
            } else {
                EXPECT_EQ(read.Count(), 0);
            }
        }
    }
}
