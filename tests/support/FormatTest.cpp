#include "support/Format.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

struct FormatCase {
    const char* format;
    QString expected;
    QString actual;
};

TEST(Format, ConversionsAsTracesAndMessagesUseThem)
{
    const FormatCase cases[] = {
        {"%8d: ", QStringLiteral("     153: "), Format("%8d: ", 153)},
        {"%d", QStringLiteral("-42"), Format("%d", -42)},
        {"%u", QStringLiteral("4294967295"), Format("%u", -1)},
        {"%x", QStringLiteral("ff"), Format("%x", 255)},
        {"%X", QStringLiteral("1A"), Format("%X", 26)},
        {"%02X", QStringLiteral("0A"), Format("%02X", 10)},
        {"0x%02x", QStringLiteral("0x1a"), Format("0x%02x", 0x1a)},
        {"%.2d", QStringLiteral("07"), Format("%.2d", 7)},
        {"%s", QStringLiteral("Sim"), Format("%s", QStringLiteral("Sim"))},
        {"%s/%d", QStringLiteral("Sim: 16/30"), Format("%s: %d/%d", QStringLiteral("Sim"), 16, 30)},
        {"%c", QStringLiteral("A"), Format("%c", 65)},
        {"%%", QStringLiteral("100%"), Format("%d%%", 100)},
        {"%-5s|", QStringLiteral("ab   |"), Format("%-5s|", QStringLiteral("ab"))},
        {"%5s|", QStringLiteral("   ab|"), Format("%5s|", QStringLiteral("ab"))},
        {"%.3s", QStringLiteral("abc"), Format("%.3s", QStringLiteral("abcdef"))},
        {"%ld", QStringLiteral("123456789012"), Format("%ld", 123456789012LL)},
        {"%05d", QStringLiteral("-0042"), Format("%05d", -42)},
        {"%+d", QStringLiteral("+5"), Format("%+d", 5)},
        {"%d min", QStringLiteral("-9223372036854775808"), Format("%d", LLONG_MIN)},
        {"%.2f", QStringLiteral("3.14"), Format("%.2f", 3.14159)},
        {"%*d", QStringLiteral("   7"), Format("%*d", 4, 7)},
        {"%S", QStringLiteral("wide"), Format("%S", QStringLiteral("wide"))},
        {"%I64d", QStringLiteral("12"), Format("%I64d", 12)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.actual, c.expected) << c.format;
}

TEST(Format, MissingArgumentsAndOddFormatsNeverReadPastTheArguments)
{
    EXPECT_EQ(Format("a %d b %s c"), QStringLiteral("a  b  c"));
    EXPECT_EQ(Format("%d %d", 1), QStringLiteral("1 "));
    EXPECT_EQ(Format("end %"), QStringLiteral("end %"));
    EXPECT_EQ(Format("%q5", 1), QStringLiteral("%q5"));
    EXPECT_EQ(Format("%s", 12), QStringLiteral("12"));
    EXPECT_EQ(Format("%d", QStringLiteral("text")), QStringLiteral("0"));
    EXPECT_EQ(Format("%99999999d", 1).size(), 1000);  // width is bounded
}

TEST(Format, TextWithZeroUnitsStaysWhole)
{
    const QString name = QString(QChar(0)) + QStringLiteral("home");
    EXPECT_EQ(Format("'%s'", name).size(), 7);
}

}  // namespace
