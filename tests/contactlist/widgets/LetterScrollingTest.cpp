#include "contactlist/widgets/LetterScrolling.h"

#include "tests/contactlist/ContactListTestData.h"

#include <gtest/gtest.h>

// The first button's first press is the start of the list (no letter),
// then a to z three a button; a press that does not exist gives nothing.
TEST(LetterScrolling, LetterOfEveryGroupAndPress)
{
    const QString alphabet = QStringLiteral(" abcdefghijklmnopqrstuvwxyz");
    for (int group = -1; group <= 9; ++group)
        for (int repeat = -1; repeat <= 3; ++repeat) {
            const bool letter = group >= 0 && group < 9 && repeat >= 0 && repeat < 3 && group + repeat > 0;
            EXPECT_EQ(LetterOfGroup(group, repeat), letter ? alphabet[group * 3 + repeat] : QChar())
                << group << " " << repeat;
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
}
