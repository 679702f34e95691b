#include "support/StringHelpers.h"

#include <gtest/gtest.h>

namespace {

TEST(StringHelpers, SplitKeepsEmptyMiddlePiecesAndDropsAnEmptyLastOne)
{
    const struct {
        QString text;
        QStringList pieces;
    } cases[] = {
        {QStringLiteral("a,,b,"), {QStringLiteral("a"), QString(), QStringLiteral("b")}},
        {QStringLiteral("1,\"x,y\",145"), {QStringLiteral("1"), QStringLiteral("\"x"), QStringLiteral("y\""), QStringLiteral("145")}},
        {QStringLiteral(",a"), {QString(), QStringLiteral("a")}},
        {QString(), {}},
        {QStringLiteral(","), {QString()}},
        {QStringLiteral("15,99"), {QStringLiteral("15"), QStringLiteral("99")}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SplitAt(c.text, QLatin1Char(',')), c.pieces) << c.text.toStdString();
    EXPECT_EQ(SplitLines(QStringLiteral("one\ntwo\n")), (QStringList{QStringLiteral("one"), QStringLiteral("two")}));
}

TEST(StringHelpers, TrimBetweenJoin)
{
    EXPECT_EQ(TrimText(QStringLiteral(" \t+CSQ: 15,99\r\n")), QStringLiteral("+CSQ: 15,99"));
    EXPECT_EQ(TrimText(QStringLiteral("   ")), QString());
    EXPECT_EQ(TextBetween(QStringLiteral("+CPBS: \"SM\",3,250"), QLatin1Char('"')), QStringLiteral("SM"));
    EXPECT_EQ(TextBetween(QStringLiteral("(\"SM\",\"ME\")"), QLatin1Char('"')), QStringLiteral("SM\",\"ME"));
    EXPECT_EQ(TextBetween(QStringLiteral("no \"quote"), QLatin1Char('"')), QString());
    EXPECT_EQ(JoinLines({QStringLiteral("a"), QStringLiteral("b")}), QStringLiteral("a\nb"));
}

TEST(StringHelpers, DecimalWithNonDigitsAsZero)
{
    const struct {
        QString text;
        long long value;
    } cases[] = {
        {QStringLiteral("250"), 250}, {QStringLiteral("1a2"), 102}, {QStringLiteral(""), 0},
        {QStringLiteral("x"), 0},     {QStringLiteral("-5"), 5},    {QStringLiteral("99999999999999999999999"), 999999999999999999},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadDecimal(c.text), c.value) << c.text.toStdString();
}

TEST(StringHelpers, HexDigitsOfBothCases)
{
    const std::pair<char, int> cases[] = {{'0', 0}, {'9', 9}, {'a', 10}, {'F', 15}, {'f', 15},
                                          {'g', -1}, {'G', -1}, {' ', -1}, {'\0', -1}, {'\xff', -1}};
    for (const auto& [digit, value] : cases)
        EXPECT_EQ(HexDigitValue(digit), value) << int(digit);
}

}  // namespace
