#include "contactlist/widgets/LetterScrolling.h"

#include "tests/contactlist/ContactListTestData.h"

#include <gtest/gtest.h>

TEST(LetterScrolling, LetterOfEveryGroupAndPress)
{
    struct Case {
        int group;
        int repeat;
        char letter;  // 0: the start of the list or nothing
    };
    const Case cases[] = {
        {0, 0, 0},   {0, 1, 'a'}, {0, 2, 'b'}, {1, 0, 'c'}, {1, 1, 'd'}, {1, 2, 'e'}, {2, 0, 'f'},
        {4, 1, 'm'}, {6, 2, 't'}, {7, 0, 'u'}, {8, 0, 'x'}, {8, 2, 'z'},
        // out of range
        {-1, 0, 0},  {9, 0, 0},   {1, 3, 0},   {1, -1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "group " << c.group << " repeat " << c.repeat);
        const QChar letter = LetterOfGroup(c.group, c.repeat);
        if (c.letter == 0)
            EXPECT_TRUE(letter.isNull());
        else
            EXPECT_EQ(letter, QChar(QLatin1Char(c.letter)));
    }
}

// Digits sort before letters, accented capitals after z.
TEST(LetterScrolling, RowOfLetterInSortedList)
{
    auto list = MakeAllList({
        MakeRecord("112 Emergency", {{FIELD_MOBILE_TEL, "112"}}, 9),
        MakeRecord("alpha", {{FIELD_MOBILE_TEL, "1"}}, 1),
        MakeRecord("Alpha", {{FIELD_MOBILE_TEL, "2"}}, 2),
        MakeRecord("Beta", {{FIELD_MOBILE_TEL, "3"}}, 3),
        MakeRecord("delta", {{FIELD_MOBILE_TEL, "4"}}, 4),
        MakeRecord("Echo", {{FIELD_MOBILE_TEL, "5"}}, 5),
        MakeRecord("Mike", {{FIELD_MOBILE_TEL, "6"}}, 6),
        MakeRecord(QStringLiteral("\u00c5sa"), {{FIELD_MOBILE_TEL, "7"}}, 7),
    });
    const std::pair<char, int> cases[] = {
        {'a', 1}, {'b', 3}, {'c', 4}, {'d', 4}, {'e', 5}, {'f', 6}, {'m', 6},
        {'n', 7}, {'z', 7},  // nothing at or after them but the accented name
    };
    for (const auto& [letter, row] : cases)
        EXPECT_EQ(RowOfLetter(*list, QChar(QLatin1Char(letter))), row) << letter;
    EXPECT_EQ(RowOfLetter(*list, QChar()), 0);

    CFilteredList empty(CFilteredList::AllContactsFilter, true);
    EXPECT_EQ(RowOfLetter(empty, QChar(u'a')), -1);
}
