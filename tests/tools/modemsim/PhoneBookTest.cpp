// The simulated phone book by itself: its range, and the generated
// contents. Its commands are the command layer's tests.

#include "tools/modemsim/PhoneBookFiller.h"

#include <gtest/gtest.h>

namespace {

TEST(PhoneBookFiller, IsDeterministicAndWithinLimits)
{
    const SimBookLimits narrow {1, 50, 8, 6};
    const auto a = GenerateEntries(40, 7, narrow);
    const auto b = GenerateEntries(40, 7, narrow);
    const auto c = GenerateEntries(40, 8, narrow);
    ASSERT_EQ(a.size(), 40u);
    bool differs = false;
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].name, b[i].name);
        EXPECT_EQ(a[i].number, b[i].number);
        differs = differs || a[i].name != c[i].name || a[i].number != c[i].number;
        EXPECT_LE(a[i].name.size(), 6);
        EXPECT_FALSE(a[i].name.isEmpty());
        EXPECT_LE(SimPhoneBook::digitCount(a[i].number), 8);
        EXPECT_TRUE(SimPhoneBook::isDialString(a[i].number)) << a[i].number.constData();
        for (char ch : a[i].name)
            EXPECT_TRUE(ch >= 0x20 && ch < 0x7f) << a[i].name.constData();
    }
    EXPECT_TRUE(differs);
}

TEST(PhoneBookFiller, FillsAsManyAsFitAndANarrowerRangeKeepsOnlyItsOwn)
{
    SimPhoneBook book({5, 14, 40, 18});
    EXPECT_EQ(FillPhoneBook(book, 25, 1), 10);
    EXPECT_TRUE(book.contains(5));
    EXPECT_TRUE(book.contains(14));
    SimPhoneBook again({5, 14, 40, 18});
    FillPhoneBook(again, 3, 1);
    EXPECT_EQ(again.entry(5)->name, book.entry(5)->name);
    EXPECT_EQ(again.entry(7)->number, book.entry(7)->number);
    for (const auto& [index, entry] : book.entries())
        EXPECT_EQ(entry.type, entry.number.startsWith('+') ? 145 : 129);
    EXPECT_EQ(FillPhoneBook(book, 0, 1), 0);
    EXPECT_EQ(FillPhoneBook(book, -4, 1), 0);
    // A narrower range drops the entries outside it.
    book.setLimits({5, 9, 40, 18});
    EXPECT_EQ(book.used(), 5);
    EXPECT_FALSE(book.contains(10));
}

}  // namespace
