// Phone book storages of the simulated modem: writing, reading and deleting
// through +CPBW/+CPBR with their limits, and the generated contents.

#include "tests/tools/modemsim/ModemDialogue.h"
#include "tools/modemsim/PhoneBookFiller.h"

namespace {

TEST(SimPhoneBook, WritesWithinItsLimits)
{
    ModemCommandProcessor modem;
    modem.phoneBook("SM")->setLimits({1, 10, 20, 14});
    // GSM alphabet names: 0x00 is "@", 0x08 "ò", 0x1b the escape, 0x0a a
    // line feed. They come back byte for byte.
    const QByteArray gsmName("a\0b\x08\x1b\x0a\x7f!", 8);
    RunDialogue(modem, {
        {"AT+CPBW=1,\"+46701234567\",145,\"Anna Berg\"", "\r\nOK\r\n"},
        {"AT+CPBW=2,\"0701234567\",129,\"Per\"", "\r\nOK\r\n"},
        {"AT+CPBW=0,\"1\",129,\"x\"", "\r\n+CME ERROR: 21\r\n"},
        {"AT+CPBW=11,\"1\",129,\"x\"", "\r\n+CME ERROR: 21\r\n"},
        {"AT+CPBW=3,\"1\",129,\"fifteen chars!!\"", "\r\n+CME ERROR: 24\r\n"},
        {"AT+CPBW=1,\"1\",129,\"fifteen chars!!\"", "\r\n+CME ERROR: 24\r\n"},  // leaves entry 1 alone
        {"AT+CPBW=3,\"1\",129,\"fourteen chars\"", "\r\nOK\r\n"},
        {"AT+CPBW=4,\"123456789012345678901\",129,\"x\"", "\r\n+CME ERROR: 26\r\n"},
        // The plus is the type of number, not a digit.
        {"AT+CPBW=4,\"+12345678901234567890\",145,\"x\"", "\r\nOK\r\n"},
        {"AT+CPBW=5,\"07-01\",129,\"x\"", "\r\n+CME ERROR: 27\r\n"},
        {"AT+CPBW=5,\"*31#0701p2\",129,\"x\"", "\r\nOK\r\n"},
        {"AT+CPBW=6,\"1\",12,\"x\"", "\r\nERROR\r\n"},
        {"AT+CPBW=6,\"1\",,\"no type\"", "\r\nOK\r\n"},
        {"AT+CPBW=7,\"+4612\",145,\"" + gsmName + "\"", "\r\nOK\r\n"},
        {"AT+CPBW=x,\"1\",129,\"x\"", "\r\nERROR\r\n"},
        {"AT+CPBW=6", "\r\nOK\r\n"},     // delete
        {"AT+CPBW=6", "\r\nOK\r\n"},     // deleting an empty location is fine
        {"AT+CPBW=99", "\r\n+CME ERROR: 21\r\n"},
        {"AT+CPBW=?", "\r\n+CPBW: (1-10),20,(129,145),14\r\n\r\nOK\r\n"},
        {"AT+CPBR=?", "\r\n+CPBR: (1-10),20,14\r\n\r\nOK\r\n"},
        {"AT+CPBR=1,10", "\r\n+CPBR: 1,\"+46701234567\",145,\"Anna Berg\"\r\n"
                         "\r\n+CPBR: 2,\"0701234567\",129,\"Per\"\r\n"
                         "\r\n+CPBR: 3,\"1\",129,\"fourteen chars\"\r\n"
                         "\r\n+CPBR: 4,\"+12345678901234567890\",145,\"x\"\r\n"
                         "\r\n+CPBR: 5,\"*31#0701p2\",129,\"x\"\r\n"
                         "\r\n+CPBR: 7,\"+4612\",145,\"" + gsmName + "\"\r\n"
                         "\r\nOK\r\n"},
    });
}

// Single locations and ranges of the SIM; the phone memory apart from it,
// where a write without a location takes the first free one.
TEST(SimPhoneBook, ReadsRangesAndKeepsStoragesApart)
{
    ModemCommandProcessor modem;
    modem.phoneBook("SM")->write(3, "0701", std::nullopt, "C");
    modem.phoneBook("SM")->write(250, "+4670", std::nullopt, "Last");
    modem.phoneBook("ME")->setLimits({1, 3, 32, 24});
    modem.phoneBook("ME")->write(1, "1", std::nullopt, "a");
    RunDialogue(modem, {
        {"AT+CPBR=3", "\r\n+CPBR: 3,\"0701\",129,\"C\"\r\n\r\nOK\r\n"},
        {"AT+CPBR=4", "\r\n+CME ERROR: 22\r\n"},
        {"AT+CPBR=4,249", "\r\nOK\r\n"},  // nothing filled in the range
        {"AT+CPBR=250,250", "\r\n+CPBR: 250,\"+4670\",145,\"Last\"\r\n\r\nOK\r\n"},
        {"AT+CPBR=0", "\r\n+CME ERROR: 21\r\n"},
        {"AT+CPBR=1,251", "\r\n+CME ERROR: 21\r\n"},
        {"AT+CPBR=5,4", "\r\n+CME ERROR: 21\r\n"},
        {"AT+CPBR=\"1\"", "\r\nERROR\r\n"},
        {"AT+CPBR=1,2,3", "\r\nERROR\r\n"},
        {"AT+CPBR", "\r\nERROR\r\n"},
        {"AT+CPBS?", "\r\n+CPBS: \"SM\",2,250\r\n\r\nOK\r\n"},
        {"AT+CPBW=1,\"111\",129,\"sim\"", "\r\nOK\r\n"},
        {"AT+CPBS=\"me\"", "\r\nOK\r\n"},
        {"AT+CPBS?", "\r\n+CPBS: \"ME\",1,3\r\n\r\nOK\r\n"},
        {"AT+CPBR=?", "\r\n+CPBR: (1-3),32,24\r\n\r\nOK\r\n"},
        {"AT+CPBS=\"XX\"", "\r\n+CME ERROR: 3\r\n"},
        {"AT+CPBW=,\"2\",129,\"b\"", "\r\nOK\r\n"},
        {"AT+CPBW=,\"3\",129,\"c\"", "\r\nOK\r\n"},
        {"AT+CPBW=,\"4\",129,\"d\"", "\r\n+CME ERROR: 20\r\n"},
        {"AT+CPBR=1,3", "\r\n+CPBR: 1,\"1\",129,\"a\"\r\n\r\n+CPBR: 2,\"2\",129,\"b\"\r\n"
                        "\r\n+CPBR: 3,\"3\",129,\"c\"\r\n\r\nOK\r\n"},
        {"AT+CPBS=\"SM\";+CPBR=1", "\r\n+CPBR: 1,\"111\",129,\"sim\"\r\n\r\nOK\r\n"},
    });
    modem.quirks().emptyLocationAnswersOk = true;
    RunDialogue(modem, {{"AT+CPBR=4", "\r\nOK\r\n"}});
}

TEST(SimPhoneBook, NarrowingTheRangeDropsEntriesOutsideIt)
{
    SimPhoneBook book;
    book.write(1, "1", std::nullopt, "a");
    book.write(200, "2", std::nullopt, "b");
    book.setLimits({1, 100, 40, 18});
    EXPECT_EQ(book.used(), 1);
    EXPECT_FALSE(book.contains(200));
}

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

TEST(PhoneBookFiller, FillsAsManyAsFit)
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
}

}  // namespace
