// How telephone kinds, e-mail order and addresses of real cards map onto
// the twelve fields.

#include "platform/contacts/ContactItem.h"
#include "platform/contacts/VCardParser.h"
#include "tests/platform/contacts/ContactsTestFolder.h"

#include <gtest/gtest.h>

namespace {

CContactItem ItemOfCard(const QByteArray& bytes)
{
    const VCardParseResult parsed = ParseVCards(bytes);
    EXPECT_EQ(parsed.cards.size(), 1u);
    return CContactItem(parsed.cards.empty() ? VCard() : parsed.cards.front(), QString(), 0);
}

CContactItem ItemOf(const QByteArray& body)
{
    return ItemOfCard("BEGIN:VCARD\r\nVERSION:3.0\r\n" + body + "END:VCARD\r\n");
}

}  // namespace

TEST(ContactPropertySlots, TelephoneKindsInEverySpelling)
{
    struct Case {
        const char* line;
        int field;
    } cases[] = {
        {"TEL;TYPE=CELL:1\r\n", FIELD_MOBILE_TEL},
        {"TEL;TYPE=cell,voice:1\r\n", FIELD_MOBILE_TEL},
        {"TEL;CELL:1\r\n", FIELD_MOBILE_TEL},
        {"TEL;TYPE=work;TYPE=voice:1\r\n", FIELD_WORK_TEL},
        {"TEL;TYPE=\"voice,work\":1\r\n", FIELD_WORK_TEL},
        {"TEL;TYPE=HOME:1\r\n", FIELD_HOME_TEL},
        {"TEL;TYPE=CAR:1\r\n", FIELD_CAR_TEL},
        {"TEL;TYPE=x-car:1\r\n", FIELD_CAR_TEL},
        {"TEL;TYPE=X-ASSISTANT:1\r\n", FIELD_ASSISTANT_TEL},
        {"TEL;TYPE=X-EVOLUTION-ASSISTANT:1\r\n", FIELD_ASSISTANT_TEL},
        {"TEL;TYPE=FAX:1\r\n", FIELD_WORK_FAX},
        {"TEL;TYPE=WORK,FAX:1\r\n", FIELD_WORK_FAX},
        {"TEL;TYPE=HOME,FAX:1\r\n", FIELD_HOME_FAX},
        {"TEL:1\r\n", FIELD_WORK_TEL},
        {"TEL;TYPE=VOICE:1\r\n", FIELD_WORK_TEL},
        {"TEL;PREF:1\r\n", FIELD_WORK_TEL},
        {"item1.TEL:1\r\nitem1.X-ABLABEL:_$!<Mobile>!$_\r\n", FIELD_MOBILE_TEL},
        {"TEL;VALUE=uri;TYPE=cell:tel:1\r\n", FIELD_MOBILE_TEL},
    };
    for (const Case& c : cases) {
        const CContactItem item = ItemOf(c.line);
        for (int type = 0; type < TelephoneFieldCount; ++type)
            EXPECT_EQ(item.Field(type), type == c.field ? QStringLiteral("1") : QString()) << c.line << " field " << type;
    }
}

TEST(ContactPropertySlots, SecondNumbersOfAKindAndUntypedNumbersFillFreeFields)
{
    const CContactItem item = ItemOf("TEL:+1 untyped\r\n"
                                     "TEL;TYPE=HOME:h1\r\nTEL;TYPE=HOME:h2\r\nTEL;TYPE=HOME:h3\r\n"
                                     "TEL;TYPE=WORK:w1\r\nTEL;TYPE=CELL:m1\r\nTEL;TYPE=CELL:m2\r\n"
                                     "TEL;TYPE=PAGER:p1\r\n");
    EXPECT_EQ(item.Field(FIELD_HOME_TEL), QStringLiteral("h1"));
    EXPECT_EQ(item.Field(FIELD_HOME2_TEL), QStringLiteral("h2"));
    EXPECT_EQ(item.Field(FIELD_WORK_TEL), QStringLiteral("w1"));
    EXPECT_EQ(item.Field(FIELD_MOBILE_TEL), QStringLiteral("m1"));
    // Typed numbers keep their kind first; the untyped one and the extras
    // take what is left, in the order work2, ...
    EXPECT_EQ(item.Field(FIELD_WORK2_TEL), QStringLiteral("+1 untyped"));
    EXPECT_EQ(item.Field(FIELD_CAR_TEL), QStringLiteral("h3"));
    EXPECT_EQ(item.Field(FIELD_ASSISTANT_TEL), QStringLiteral("m2"));
    EXPECT_EQ(item.Property(ContactProperty::Pager), QStringLiteral("p1"));
}

// Preferred e-mail first, grouped labels, preference and tel: URIs of
// version 4.0, names and organisation with escapes.
TEST(ContactPropertySlots, RealCardsFillTheFields)
{
    const char* const kApple = "apple-grouped.vcf";
    const char* const kV4 = "version-4.0.vcf";
    struct Case {
        const char* file;
        int field;  // -1: `property` instead
        ContactProperty property;
        const char* value;
    } cases[] = {
        {kApple, FIELD_EMAIL, {}, "john@work.example"}, {kApple, FIELD_EMAIL2, {}, "john@home.example"},
        {kApple, FIELD_EMAIL3, {}, ""}, {kApple, FIELD_MOBILE_TEL, {}, "+1 (555) 010-0001"},
        {kApple, FIELD_ASSISTANT_TEL, {}, "+1 555 010 0002"}, {kApple, FIELD_WORK_TEL, {}, "+1 555 010 0003"},
        {kApple, FIELD_WORK2_TEL, {}, "+1 555 010 0004"}, {kApple, FIELD_HOME_TEL, {}, "+1 555 010 0005"},
        {kApple, -1, ContactProperty::Title, "Dr."}, {kApple, -1, ContactProperty::FirstName, "John"},
        {kApple, -1, ContactProperty::MiddleName, "Q."}, {kApple, -1, ContactProperty::LastName, "Doe"},
        {kApple, -1, ContactProperty::Suffix, "Jr."}, {kApple, -1, ContactProperty::Company, "Doe, Smith & Co"},
        {kApple, -1, ContactProperty::Department, "Research"},
        {kApple, -1, ContactProperty::JobTitle, "Chief; Scientist"},
        {kApple, -1, ContactProperty::Categories, "Friends,Work"}, {kV4, FIELD_WORK_TEL, {}, "+55-11-5555-0101"},
        {kV4, FIELD_WORK2_TEL, {}, "+55 11 5555 0102"}, {kV4, FIELD_MOBILE_TEL, {}, "+55-11-9999-0103"},
        {kV4, FIELD_CAR_TEL, {}, "+55 11 5555 0104"}, {kV4, FIELD_EMAIL, {}, "ana@example.br"},
        {kV4, FIELD_EMAIL2, {}, "ana.casa@example.br"},
    };
    for (const Case& c : cases) {
        const CContactItem item = ItemOfCard(ReadContactsData(c.file));
        EXPECT_EQ(c.field < 0 ? item.Property(c.property) : item.Field(c.field), QString::fromUtf8(c.value))
            << c.file << " " << c.value;
    }
    const CContactItem apple = ItemOfCard(ReadContactsData("apple-grouped.vcf"));
    const PostalAddress home = apple.Address(AddressKind::Home);
    EXPECT_EQ(home.street, QStringLiteral("1 Main St\nApt 2"));
    EXPECT_EQ(home.city, QStringLiteral("Springfield"));
    EXPECT_EQ(home.postalCode, QStringLiteral("62701"));
    EXPECT_TRUE(apple.Address(AddressKind::Work).IsEmpty());
}

TEST(ContactPropertySlots, SettingFieldsAddsReplacesAndRemovesProperties)
{
    CContactItem item = ItemOfCard(ReadContactsData("apple-grouped.vcf"));
    const size_t before = item.Card().properties.size();
    item.SetField(FIELD_MOBILE_TEL, QStringLiteral("+46 70 999"));       // replaces the grouped one
    item.SetField(FIELD_HOME_FAX, QStringLiteral("+1 555 fax"));         // new property
    item.SetField(FIELD_WORK2_TEL, QString());                           // removed
    item.SetField(FIELD_EMAIL3, QStringLiteral("third@example.org"));   // new e-mail
    EXPECT_EQ(item.Field(FIELD_MOBILE_TEL), QStringLiteral("+46 70 999"));
    EXPECT_EQ(item.Field(FIELD_HOME_FAX), QStringLiteral("+1 555 fax"));
    EXPECT_EQ(item.Field(FIELD_WORK2_TEL), QString());
    EXPECT_EQ(item.Field(FIELD_EMAIL3), QStringLiteral("third@example.org"));
    EXPECT_EQ(item.Card().properties.size(), before + 1);
    // The replaced number kept its group, so its label still says mobile.
    const int index = item.Card().Find(QStringLiteral("TEL"));
    EXPECT_EQ(item.Card().properties[size_t(index)].group, QStringLiteral("item1"));

    item.SetProperty(ContactProperty::FirstName, QStringLiteral("Jane"));
    EXPECT_EQ(item.Property(ContactProperty::FileAs), QStringLiteral("Dr. Jane Q. Doe Jr."));
    item.SetAddress(AddressKind::Work, {QStringLiteral("Storgatan 1"), QStringLiteral("Lund"), QStringLiteral("22100"), {}, {}});
    EXPECT_EQ(item.Address(AddressKind::Work).city, QStringLiteral("Lund"));
    EXPECT_EQ(item.Address(AddressKind::Home).city, QStringLiteral("Springfield"));
}
