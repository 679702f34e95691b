#include "support/StringHelpers.h"

#include <gtest/gtest.h>

namespace {

// Splits keep empty middle pieces and drop an empty last one.
TEST(StringHelpers, SplitTrimBetweenJoin)
{
    const struct {
        QString text;
        QStringList pieces;
    } cases[] = {
        {u"a,,b,"_qs, {"a", "", "b"}}, {u"1,\"x,y\",145"_qs, {"1", "\"x", "y\"", "145"}}, {u",a"_qs, {"", "a"}},
        {QString(), {}},               {u","_qs, {""}},                                   {u"15,99"_qs, {"15", "99"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SplitAt(c.text, u','), c.pieces) << c.text.toStdString();
    EXPECT_EQ(SplitLines(u"one\ntwo\n"_qs), (QStringList{"one", "two"}));
    EXPECT_EQ(TrimText(u" \t+CSQ: 15,99\r\n"_qs), u"+CSQ: 15,99"_qs);
    EXPECT_EQ(TrimText(u"   "_qs), QString());
    EXPECT_EQ(TextBetween(u"+CPBS: \"SM\",3,250"_qs, u'"'), u"SM"_qs);
    EXPECT_EQ(TextBetween(u"(\"SM\",\"ME\")"_qs, u'"'), u"SM\",\"ME"_qs);
    EXPECT_EQ(TextBetween(u"no \"quote"_qs, u'"'), QString());
    EXPECT_EQ(JoinLines({u"a"_qs, u"b"_qs}), u"a\nb"_qs);
}

TEST(StringHelpers, DecimalsWithNonDigitsAsZeroAndHexDigitsOfBothCases)
{
    const std::pair<QString, long long> decimals[] = {
        {u"250"_qs, 250}, {u"1a2"_qs, 102}, {u""_qs, 0}, {u"x"_qs, 0}, {u"-5"_qs, 5},
        {u"99999999999999999999999"_qs, 999999999999999999},
    };
    for (const auto& [text, value] : decimals)
        EXPECT_EQ(ReadDecimal(text), value) << text.toStdString();
    const std::pair<char, int> digits[] = {{'0', 0}, {'9', 9}, {'a', 10}, {'F', 15}, {'f', 15},
                                           {'g', -1}, {'G', -1}, {' ', -1}, {'\0', -1}, {'\xff', -1}};
    for (const auto& [digit, value] : digits)
        EXPECT_EQ(HexDigitValue(digit), value) << int(digit);
}

}  // namespace
