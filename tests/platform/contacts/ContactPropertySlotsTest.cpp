// How telephone kinds, e-mail order and addresses of real cards map onto
// the twelve fields.

#include "platform/contacts/ContactItem.h"
#include "platform/contacts/VCardParser.h"
#include "tests/platform/contacts/ContactsTestFolder.h"
#include "tests/TestEnvironment.h"

#include <gtest/gtest.h>

namespace {

CContactItem ItemOf(const QByteArray& body)
{
    const VCardParseResult parsed = ParseVCards("BEGIN:VCARD\r\nVERSION:3.0\r\n" + body + "END:VCARD\r\n");
    EXPECT_EQ(parsed.cards.size(), 1u);
    return CContactItem(parsed.cards.empty() ? VCard() : parsed.cards.front(), QString(), 0);
}

CContactItem ItemOfFile(const char* name)
{
    const VCardParseResult parsed =
        ParseVCards(ReadContactFile(TestDataPath(QStringLiteral("contacts/") + QLatin1String(name))));
    EXPECT_EQ(parsed.cards.size(), 1u);
    return CContactItem(parsed.cards.empty() ? VCard() : parsed.cards.front(), QString(), 0);
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

TEST(ContactPropertySlots, PreferredEmailComesFirst)
{
    const CContactItem item = ItemOfFile("apple-grouped.vcf");
    EXPECT_EQ(item.Field(FIELD_EMAIL), QStringLiteral("john@work.example"));
    EXPECT_EQ(item.Field(FIELD_EMAIL2), QStringLiteral("john@home.example"));
    EXPECT_EQ(item.Field(FIELD_EMAIL3), QString());
    EXPECT_EQ(item.Field(FIELD_MOBILE_TEL), QStringLiteral("+1 (555) 010-0001"));
    EXPECT_EQ(item.Field(FIELD_ASSISTANT_TEL), QStringLiteral("+1 555 010 0002"));
    EXPECT_EQ(item.Field(FIELD_WORK_TEL), QStringLiteral("+1 555 010 0003"));
    EXPECT_EQ(item.Field(FIELD_WORK2_TEL), QStringLiteral("+1 555 010 0004"));
    EXPECT_EQ(item.Field(FIELD_HOME_TEL), QStringLiteral("+1 555 010 0005"));
}

TEST(ContactPropertySlots, NamesOrganisationAndAddresses)
{
    const CContactItem item = ItemOfFile("apple-grouped.vcf");
    EXPECT_EQ(item.Property(ContactProperty::Title), QStringLiteral("Dr."));
    EXPECT_EQ(item.Property(ContactProperty::FirstName), QStringLiteral("John"));
    EXPECT_EQ(item.Property(ContactProperty::MiddleName), QStringLiteral("Q."));
    EXPECT_EQ(item.Property(ContactProperty::LastName), QStringLiteral("Doe"));
    EXPECT_EQ(item.Property(ContactProperty::Suffix), QStringLiteral("Jr."));
    EXPECT_EQ(item.Property(ContactProperty::Company), QStringLiteral("Doe, Smith & Co"));
    EXPECT_EQ(item.Property(ContactProperty::Department), QStringLiteral("Research"));
    EXPECT_EQ(item.Property(ContactProperty::JobTitle), QStringLiteral("Chief; Scientist"));
    EXPECT_EQ(item.Property(ContactProperty::Categories), QStringLiteral("Friends,Work"));
    const PostalAddress home = item.Address(AddressKind::Home);
    EXPECT_EQ(home.street, QStringLiteral("1 Main St\nApt 2"));
    EXPECT_EQ(home.city, QStringLiteral("Springfield"));
    EXPECT_EQ(home.postalCode, QStringLiteral("62701"));
    EXPECT_TRUE(item.Address(AddressKind::Work).IsEmpty());
}

TEST(ContactPropertySlots, Version4TelUrisAndPreference)
{
    const CContactItem item = ItemOfFile("version-4.0.vcf");
    EXPECT_EQ(item.Field(FIELD_WORK_TEL), QStringLiteral("+55-11-5555-0101"));
    EXPECT_EQ(item.Field(FIELD_WORK2_TEL), QStringLiteral("+55 11 5555 0102"));
    EXPECT_EQ(item.Field(FIELD_MOBILE_TEL), QStringLiteral("+55-11-9999-0103"));
    EXPECT_EQ(item.Field(FIELD_CAR_TEL), QStringLiteral("+55 11 5555 0104"));
    EXPECT_EQ(item.Field(FIELD_EMAIL), QStringLiteral("ana@example.br"));
    EXPECT_EQ(item.Field(FIELD_EMAIL2), QStringLiteral("ana.casa@example.br"));
}

TEST(ContactPropertySlots, SettingFieldsAddsReplacesAndRemovesProperties)
{
    CContactItem item = ItemOfFile("apple-grouped.vcf");
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
