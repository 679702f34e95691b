#include "contactlist/ContactCache.h"
#include "tests/contactlist/ContactListTestData.h"

#include <cstring>

#include <gtest/gtest.h>

// A whole cache reads back byte for byte. A foreign version, a count that
// cannot fit, any truncation and any spoilt size: nothing is read, and
// nothing reads past the end.
TEST(ContactCache, ReadsBackEveryRecordInOrderAndNothingOfABrokenFile)
{
    const auto list = MakeAllList({MakeRecord(QStringLiteral("alpha"), {{FIELD_MOBILE_TEL, "+46701"}}, 11),
                                   MakeRecord(QStringLiteral("Åsa"), {{FIELD_EMAIL, "asa@example.org"}}, 12),
                                   MakeRecord(QStringLiteral("Beta"), {{FIELD_WORK_TEL, "08-1"}, {FIELD_HOME_FAX, "08-2"}}, 13)});
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
    const QByteArray good = SerializeContactCache(*list);
    EXPECT_EQ(good.left(8).toHex(), QByteArray("fdffffff03000000"));
    EXPECT_EQ(good.mid(8, 2), good.mid(10, 2));  // size word, then the record starting with its own size

    std::vector<QByteArray> bad = {QByteArray::fromHex("0300000000000000"), QByteArray::fromHex("fdffffffffffffff"),
                                   QByteArray::fromHex("fdffffffffffff7f"), QByteArray(good).replace(0, 1, "\xFC")};
    for (qsizetype length = 0; length < good.size(); ++length)
        bad.push_back(good.left(length));
    for (const QByteArray& bytes : bad) {
        CFilteredList parsed(CFilteredList::AllContactsFilter, true);
        EXPECT_FALSE(ParseContactCache(bytes, parsed)) << bytes.toHex().constData();
        EXPECT_EQ(parsed.Count(), 0);
    }
    CFilteredList none(CFilteredList::AllContactsFilter, true);
    EXPECT_FALSE(ReadContactCache(TestTempDir() + QStringLiteral("/no-such.cache"), none));
    EXPECT_TRUE(ParseContactCache(QByteArray::fromHex("fdffffff00000000"), none));  // a valid, empty cache

    // Each byte of the first record's size word, its inner size and its
    // first field offset spoilt: only a change that leaves a consistent list may pass.
    for (int position : {8, 9, 10, 11, 12, 14, 16}) {
        for (int value : {0x00, 0x01, 0x27, 0x7F, 0xFF}) {
            QByteArray spoilt = good;
            spoilt[position] = char(value);
            CFilteredList list(CFilteredList::AllContactsFilter, true);
            if (ParseContactCache(spoilt, list)) {
                for (const tagCONTACT* r : list.m_Contacts)
                    EXPECT_TRUE(IsValidContactRecord(r, r->wSize));
            } else {
                EXPECT_EQ(list.Count(), 0);
            }
        }
    }
}
