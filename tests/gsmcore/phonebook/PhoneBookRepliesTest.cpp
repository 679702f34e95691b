#include "gsmcore/phonebook/PhoneBookReplies.h"

#include <gtest/gtest.h>

namespace {

TEST(PhoneBookReplies, LimitsOfRealCpbrTestAnswers)
{
    const struct { const char* answer; int first, last, maxNumber, maxName; bool sizesRead; } cases[] = {
        {"(1-250),40,18", 1, 250, 40, 18, true},
        {"(1-250),40", 1, 250, 0, 0, false},
        {"1-250,40,18", 0, 0, 40, 18, true},          // no parentheses: no range
        {"(0-99),20,14", 0, 99, 20, 14, true},
        {"(1-500),80,30,0,14", 1, 500, 0, 0, false},  // extended answers: sizes not taken
        {"( 1 - 200 ), 32 , 16", 1, 200, 32, 16, true},
        {"(1-)", 1, 0, 0, 0, false},
        {"garbage", 0, 0, 0, 0, false},
        {"", 0, 0, 0, 0, false},
    };
    for (const auto& c : cases) {
        const PhoneBookLimits limits = ParsePhoneBookLimits(QString::fromLatin1(c.answer));
        EXPECT_EQ((std::vector{limits.first, limits.last, limits.maxNumber, limits.maxName}),
                  (std::vector{c.first, c.last, c.maxNumber, c.maxName})) << c.answer;
        EXPECT_EQ(limits.sizesRead, c.sizesRead) << c.answer;
    }
}

TEST(PhoneBookReplies, EntryLinesAsDevicesSendThem)
{
    const struct { QString line; bool ok; int location; const char* number; QString name; } cases[] = {
        {"+CPBR: 3,\"442079460123\",145,\"Smith, John\"", true, 3, "+442079460123", "Smith, John"},
        {"+CPBR: 3,\"442079460123\",129,\"Smith\"", true, 3, "442079460123", "Smith"},
        {"+CPBR: 3,\"+442079460123\",145,\"Smith\"", true, 3, "+442079460123", "Smith"},
        {"+cpbr: 12,\"0701234567\",129,\"Lower\"", true, 12, "0701234567", "Lower"},
        {"+CPBR:7,\"112\",129,\"SOS\"", true, 7, "112", "SOS"},
        {"+CPBR: 1,\"\",145,\"Empty number\"", true, 1, "", "Empty number"},
        {"+CPBR: 9,\"123\",129,\"Quoted \"\"x\"\"\"", true, 9, "123", "Quoted \"\"x\"\""},
        {"+CPBR: 4,\"5551234\",129,\"Name\",0,\"extra\"", true, 4, "5551234", "Name"},
        {QStringLiteral("+CPBR: 2,\"123\",129,\"a\0b\""), true, 2, "123", QStringLiteral("a\0b")},  // "@" is code 0
        {"+CPBR: 3,\"442079460123\",145", false, 0, "", ""},  // three fields
        {"+CPBS: \"SM\",1,250", false, 0, "", ""},
        {"OK", false, 0, "", ""},
        {"", false, 0, "", ""},
    };
    for (const auto& c : cases) {
        PhoneBookLine entry;
        ASSERT_EQ(ParsePhoneBookLine(c.line, entry), c.ok) << c.line.toStdString();
        if (c.ok) {
            EXPECT_EQ(entry.location, c.location) << c.line.toStdString();
            EXPECT_EQ(entry.number, QString::fromLatin1(c.number)) << c.line.toStdString();
            EXPECT_EQ(entry.rawName, c.name) << c.line.toStdString();
        }
    }
}

TEST(PhoneBookReplies, StorageListsOfCpbsTestAnswers)
{
    const struct { const char* answer; QStringList names; } cases[] = {
        {"(\"SM\",\"ME\")", {"SM", "ME"}},
        {"(\"ME\",\"SM\",\"FD\",\"LD\",\"MC\",\"RC\")", {"ME", "SM", "FD", "LD", "MC", "RC"}},
        {"(\"SM\")", {"SM"}},
        {"(SM,ME)", {"SM", "ME"}},
        {"(\"SM\",,\"ME\")", {"SM", "", "ME"}},
        {"(\"SM\",\"ME\"", {}},  // no ")": nothing
        {"", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseStorageList(QString::fromLatin1(c.answer)), c.names) << c.answer;
}

// Inside the quoted name these would end the command early.
TEST(PhoneBookReplies, NamesThatWouldEndTheCommandAreNotWritable)
{
    for (const char* name : {"Anna\r\nB", "Line\nbreak", "Say \"hi\""})
        EXPECT_FALSE(IsWritableName(QString::fromLatin1(name))) << name;
    EXPECT_TRUE(IsWritableName(QStringLiteral("Smith, John (work)")));
}

}  // namespace
