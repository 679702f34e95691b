#include "support/Format.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

// The conversions traces and messages use; missing arguments and odd
// formats never read past the arguments.
TEST(Format, ConversionsAndOddFormats)
{
    const struct {
        const char* format;
        QString expected, actual;
    } cases[] = {
        {"%8d: ", u"     153: "_qs, Format("%8d: ", 153)},     {"%d", u"-42"_qs, Format("%d", -42)},
        {"%u", u"4294967295"_qs, Format("%u", -1)},           {"%x", u"ff"_qs, Format("%x", 255)},
        {"%X", u"1A"_qs, Format("%X", 26)},                   {"%02X", u"0A"_qs, Format("%02X", 10)},
        {"0x%02x", u"0x1a"_qs, Format("0x%02x", 0x1a)},       {"%.2d", u"07"_qs, Format("%.2d", 7)},
        {"%s", u"Sim"_qs, Format("%s", u"Sim"_qs)},           {"%c", u"A"_qs, Format("%c", 65)},
        {"%s/%d", u"Sim: 16/30"_qs, Format("%s: %d/%d", u"Sim"_qs, 16, 30)},
        {"%%", u"100%"_qs, Format("%d%%", 100)},              {"%-5s|", u"ab   |"_qs, Format("%-5s|", u"ab"_qs)},
        {"%5s|", u"   ab|"_qs, Format("%5s|", u"ab"_qs)},     {"%.3s", u"abc"_qs, Format("%.3s", u"abcdef"_qs)},
        {"%ld", u"123456789012"_qs, Format("%ld", 123456789012LL)}, {"%05d", u"-0042"_qs, Format("%05d", -42)},
        {"%+d", u"+5"_qs, Format("%+d", 5)},                  {"%.2f", u"3.14"_qs, Format("%.2f", 3.14159)},
        {"%d min", u"-9223372036854775808"_qs, Format("%d", LLONG_MIN)},
        {"%*d", u"   7"_qs, Format("%*d", 4, 7)},             {"%S", u"wide"_qs, Format("%S", u"wide"_qs)},
        {"%I64d", u"12"_qs, Format("%I64d", 12)},             {"no arguments", u"a  b  c"_qs, Format("a %d b %s c")},
        {"one short", u"1 "_qs, Format("%d %d", 1)},          {"end %", u"end %"_qs, Format("end %")},
        {"%q5", u"%q5"_qs, Format("%q5", 1)},                 {"number as %s", u"12"_qs, Format("%s", 12)},
        {"text as %d", u"0"_qs, Format("%d", u"text"_qs)},
        {"zero unit", u"'\0home'"_qs, Format("'%s'", QString(QChar(0)) + u"home"_qs)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.actual, c.expected) << c.format;
    EXPECT_EQ(Format("%99999999d", 1).size(), 1000);  // width is bounded
}

}  // namespace
