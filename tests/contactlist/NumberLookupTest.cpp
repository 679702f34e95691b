// Number compaction, country code lengths and the number table.

#include "contactlist/NumberLookup.h"
#include "tests/contactlist/ContactListTestData.h"

#include <gtest/gtest.h>

TEST(NumberLookup, CountryCodeLengths)
{
    struct Case {
        const char* number;
        int length;
    } cases[] = {
        {"+15551234567", 2}, {"+79001234567", 2}, {"+201234", 3},  {"+271234", 3},  {"+2121234", 4},
        {"+331234", 3},      {"+3531234", 4},     {"+3701234", 4}, {"+3801234", 4}, {"+391234", 3},
        {"+421234", 4},      {"+441234", 3},      {"+461234", 3},  {"+5011234", 4}, {"+5901234", 4},
        {"+551234", 3},      {"+6701234", 4},     {"+6891234", 4}, {"+611234", 3},  {"+8101234", 3},
        {"+811234", 3},      {"+861234", 3},      {"+851234", 4},  {"+961234", 4},  {"+911234", 3},
        {"+01234", 1},       {"+9", 0},           {"+", 0},        {"4420", 0},     {"+4", 0},
        {"+x1", 1},          {"+4x", 3},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetCountryCodeLength(QString::fromUtf8(c.number)), c.length) << c.number;
}

TEST(NumberLookup, CompactNumber)
{
    const char* const cases[][2] = {
        {"+44 (20) 7946-0123", "2079460123"}, {"020 7946 0123", "2079460123"}, {"2079460123", "2079460123"},
        {"0044 20 7946 0123", "442079460123"}, {"+15551234567", "5551234567"}, {"+4420123", "20123"},
        {"+353861234", "861234"}, {"+9", "+9"}, {"+", "+"}, {"0000", "0"}, {"abc", "abc"}, {"+44", "+44"}, {"", ""},
        {"a@b.example", "a@b.example"},
    };
    for (const auto& [number, compact] : cases) {
        QString text = QString::fromUtf8(number);
        EXPECT_TRUE(CompactNumber(text));
        EXPECT_EQ(text, QString::fromUtf8(compact)) << number;
    }
}

TEST(NumberLookup, TableMapsSharedNumbersToNoName)
{
    auto all = MakeAllList({
        MakeRecord(QStringLiteral("Anna"), {{FIELD_MOBILE_TEL, "+46 70 111 11 11"}, {FIELD_EMAIL, "anna@x.org"}}),
        MakeRecord(QStringLiteral("Bo"), {{FIELD_MOBILE_TEL, "070-111 11 11"}}),  // same as Anna's
        MakeRecord(QStringLiteral("Cai"), {{FIELD_WORK_TEL, "08-22 22 22"}, {FIELD_MOBILE_TEL, "+46 8 222222"}}),
        MakeRecord(QStringLiteral("Dan"), {{FIELD_HOME_TEL, "040-33 33 33"}}),
    });
    CNumberTable table;
    table.Fill(all.get());
    struct Case {
        const char* number;
        bool found;
        const char* name;
    } cases[] = {
        {"0701111111", true, ""},           // two contacts
        {"+46822 22 22", true, ""},          // twice in one contact
        {"+46 40 333333", true, "Dan"},
        {"040333333", true, "Dan"},
        {"anna@x.org", true, "Anna"},
        {"0709999999", false, ""},
    };
    for (const Case& c : cases) {
        QString name = QStringLiteral("unchanged");
        EXPECT_EQ(table.GetNameFromNumber(QString::fromUtf8(c.number), name), c.found) << c.number;
        EXPECT_EQ(name, QString::fromUtf8(c.found ? c.name : "unchanged")) << c.number;
    }

    QStringList names;
    EXPECT_TRUE(GetNameListFromNumber(all.get(), QStringLiteral("0701111111"), names));
    EXPECT_EQ(names, (QStringList{"Anna", "Bo"}));
    EXPECT_TRUE(GetNameListFromNumber(all.get(), QStringLiteral("08 222222"), names));
    EXPECT_EQ(names, QStringList{"Cai"});  // once, although two fields match
    EXPECT_TRUE(GetNameListFromNumber(all.get(), QStringLiteral("anna@x.org"), names));
    EXPECT_TRUE(names.isEmpty());  // e-mail fields are not telephone fields
    EXPECT_FALSE(GetNameListFromNumber(nullptr, QStringLiteral("1"), names));

    table.Fill(nullptr);
    EXPECT_EQ(table.Count(), 0);
}
