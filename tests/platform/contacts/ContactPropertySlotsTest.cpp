// How telephone kinds, e-mail order and addresses of real cards map onto
// the twelve fields.

#include "platform/contacts/ContactItem.h"
#include "platform/contacts/VCardParser.h"
#include "platform/contacts/VCardWriter.h"
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

TEST(ContactPropertySlots, ExtraNumbersStayInTheirKindOrShowNowhere)
{
    const CContactItem item = ItemOf("TEL:+1 untyped\r\n"
                                     "TEL;TYPE=HOME:h1\r\nTEL;TYPE=HOME:h2\r\nTEL;TYPE=HOME:h3\r\n"
                                     "TEL;TYPE=WORK:w1\r\nTEL;TYPE=WORK,X-WORK2:w2\r\nTEL;TYPE=WORK:w3\r\n"
                                     "TEL;TYPE=CELL:m1\r\nTEL;TYPE=CELL:m2\r\nTEL;TYPE=PAGER:p1\r\n");
    const QString expected[TelephoneFieldCount] = {"w1", "m1", "h1", "h2", "", "", "w2", "", ""};
    for (int type = 0; type < TelephoneFieldCount; ++type)
        EXPECT_EQ(item.Field(type), expected[type]) << "field " << type;
    EXPECT_EQ(item.Property(ContactProperty::Pager), QStringLiteral("p1"));
}

// Each field written on a card, alone or beside the others, reads back
// as that field; clearing a first number or address leaves the later ones
// where they were.
TEST(ContactPropertySlots, EveryFieldReadsBackAsItself)
{
    auto reread = [](const CContactItem& item) {
        const VCardParseResult parsed = ParseVCards(WriteVCard(item.Card()));
        return CContactItem(parsed.cards.front(), QString(), 0);
    };
    for (const char* version : {"2.1", "3.0", "4.0"}) {
        const QByteArray empty = "BEGIN:VCARD\r\nVERSION:" + QByteArray(version) + "\r\nFN:X\r\nEND:VCARD\r\n";
        CContactItem all = ItemOfCard(empty);
        for (int type = 0; type < ContactFieldCount; ++type) {
            CContactItem alone = ItemOfCard(empty);
            alone.SetField(type, QStringLiteral("n%1").arg(type));
            const CContactItem back = reread(alone);
            for (int other = 0; other < ContactFieldCount; ++other)
                EXPECT_EQ(back.Field(other), other == type ? QStringLiteral("n%1").arg(type) : QString())
                    << version << " wrote " << type << " read " << other;
            all.SetField(type, QStringLiteral("n%1").arg(type));
        }
        for (int first : {FIELD_HOME_TEL, FIELD_WORK_TEL, FIELD_EMAIL, FIELD_EMAIL2}) {
            CContactItem item = reread(all);
            item.SetField(first, QString());
            const CContactItem back = reread(item);
            for (int type = 0; type < ContactFieldCount; ++type)
                EXPECT_EQ(back.Field(type), type == first ? QString() : QStringLiteral("n%1").arg(type)) << version << type;
        }
    }
    // Unmarked later ones, as other programs write them, stay in place too.
    CContactItem item = ItemOf("TEL;TYPE=HOME:h1\r\nTEL;TYPE=HOME:h2\r\nEMAIL:e1\r\nEMAIL:e2\r\nEMAIL:e3\r\n");
    item.SetField(FIELD_HOME_TEL, QString());
    item.SetField(FIELD_EMAIL, QString());
    const QString expected[ContactFieldCount] = {"", "", "", "h2", "", "", "", "", "", "", "e2", "e3"};
    for (int type = 0; type < ContactFieldCount; ++type)
        EXPECT_EQ(reread(item).Field(type), expected[type]) << type;
}

// Preferred e-mail first, grouped labels, preference and tel: URIs of
// version 4.0, names and organisation with escapes.
TEST(ContactPropertySlots, RealCardsFillTheFields)
{
    const char* const kApple = "apple-grouped.vcf";
    const char* const kV4 = "version-4.0.vcf";
    const char* const kKhard = "khard-created.vcf";
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
        {kV4, FIELD_EMAIL2, {}, "ana.casa@example.br"}, {kKhard, FIELD_EMAIL, {}, "asa@example.org"},
        {kKhard, FIELD_EMAIL2, {}, "asa.home@example.org"}, {kKhard, FIELD_EMAIL3, {}, "asa3@example.org"},
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

TEST(ContactPropertySlots, EditsChangeOnlyWhatTheyName)
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

    // Name and address parts are lists of values: a part the user did not
    // change keeps its bytes, and a display name of the user's own stays.
    struct Case {
        const char* card;
        ContactProperty property;
        const char* text;
        const char* n;
        const char* fn;
    } cases[] = {
        {"N:Doe;John;Paul,Peter;;\r\nFN:John Paul,Peter Doe\r\n", ContactProperty::FirstName, "Jack",
         "Doe;Jack;Paul,Peter;;", "Jack Paul,Peter Doe"},
        {"N:Doe;John;Paul,Peter;;\r\nFN:Johnny\r\n", ContactProperty::LastName, "Roe", "Roe;John;Paul,Peter;;",
         "Johnny"},
        {"N:Doe\\,Jr;John\r\nFN:X\r\n", ContactProperty::Title, "Dr.", "Doe\\,Jr;John;;Dr.;", "X"},
        {"N:Doe;John;;;\r\n", ContactProperty::FirstName, "John", "Doe;John;;;", ""},
    };
    for (const Case& c : cases) {
        CContactItem edited = ItemOf(c.card);
        edited.SetProperty(c.property, QString::fromUtf8(c.text));
        EXPECT_EQ(edited.Card().properties[size_t(edited.Card().Find(QStringLiteral("N")))].value, QString::fromUtf8(c.n)) << c.card;
        EXPECT_EQ(edited.Card().Text(QStringLiteral("FN")), QString::fromUtf8(c.fn)) << c.card;
    }
    CContactItem address = ItemOf("ADR;TYPE=HOME:;;1 Main St,Apt 2;Springfield;IL;62701;USA\r\n");
    address.SetAddress(AddressKind::Home, {QStringLiteral("1 Main St,Apt 2"), QStringLiteral("Lund"), QStringLiteral("62701"), {}, {}});
    EXPECT_EQ(address.Card().properties.front().value, QStringLiteral(";;1 Main St,Apt 2;Lund;IL;62701;USA"));
}
