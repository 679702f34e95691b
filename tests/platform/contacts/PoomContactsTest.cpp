// The contact-access classes over the store: counts, names, lookups by
// name, e-mail and number, and the details the contact lists read.

#include "platform/contacts/PoomPhoneNumbers.h"
#include "support/TranslationTable.h"
#include "tests/platform/contacts/ContactsTestFolder.h"

#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

// Adds a contact through the store and returns its identifier.
quint32 AddContact(const QString& folder, const QString& first, const QString& last,
                   std::initializer_list<std::pair<int, const char*>> fields)
{
    CContactsStore store(folder);
    EXPECT_TRUE(store.LogOn());
    std::unique_ptr<CContactItem> item = store.CreateItem();
    if (!first.isEmpty())
        item->SetProperty(ContactProperty::FirstName, first);
    if (!last.isEmpty())
        item->SetProperty(ContactProperty::LastName, last);
    for (const auto& [type, text] : fields)
        item->SetField(type, QString::fromUtf8(text));
    EXPECT_TRUE(store.Save(*item));
    return item->Oid();
}

}  // namespace

TEST(PoomContacts, WithoutAFolderCountsAreMinusOneAndNothingIsFound)
{
    const QString base = NewContactsFolder(QStringLiteral("nofolder"));
    WriteContactFile(base, QStringLiteral("plain-file"), "x");
    CPoomPhoneNumbers contacts(QString(), base + QStringLiteral("/plain-file/contacts"));
    EXPECT_FALSE(contacts.IsOk());
    EXPECT_EQ(contacts.GetCount(), -1);
    EXPECT_EQ(contacts.FindByName(QStringLiteral("x")), -1);
    EXPECT_EQ(contacts.FindByEmail(QStringLiteral("x")), -1);
    EXPECT_EQ(contacts.FindByNumber(QStringLiteral("1")), -1);
    EXPECT_EQ(contacts.GetNameAt(0), QStringLiteral("<error>"));
    QString name, tag;
    quint32 mask = 0, oid = 0;
    QMap<QString, QString> values;
    EXPECT_FALSE(contacts.GetDetails(0, name, mask, tag, values, oid));
}

TEST(PoomContacts, NameOrders)
{
    struct Case {
        const char* first;
        const char* last;
        const char* lastFirst;
        const char* firstLast;
    } cases[] = {
        {"Åsa", "Berg", "Berg, Åsa", "Åsa Berg"},
        {"", "Berg", "Berg", " Berg"},
        {"Åsa", "", "Åsa", "Åsa "},
    };
    for (const Case& c : cases) {
        const QString folder = NewContactsFolder(QStringLiteral("names"));
        AddContact(folder, QString::fromUtf8(c.first), QString::fromUtf8(c.last), {{FIELD_WORK_TEL, "1"}});
        CPoomContacts contacts(folder);
        ASSERT_EQ(contacts.GetCount(), 1);
        EXPECT_EQ(contacts.GetNameOrder(), 0);
        EXPECT_EQ(contacts.GetNameAt(0), QString::fromUtf8(c.lastFirst));
        contacts.SetNameOrder(1);
        EXPECT_EQ(contacts.GetNameAt(0), QString::fromUtf8(c.firstLast));
        EXPECT_EQ(contacts.GetNameAt(1), QStringLiteral("<error>"));
    }
}

TEST(PoomContacts, FindByNameAndEmailAndObjectIdentifier)
{
    const QString folder = NewContactsFolder(QStringLiteral("find"));
    AddContact(folder, QStringLiteral("Carl"), QStringLiteral("Ek"), {{FIELD_EMAIL, "carl@example.org"}});
    const quint32 dagId = AddContact(folder, QStringLiteral("Dag"), QStringLiteral("Lund"),
                                     {{FIELD_EMAIL, "d1@example.org"}, {FIELD_EMAIL3, "d3@example.org"}});
    CPoomContacts contacts(folder);
    ASSERT_EQ(contacts.GetCount(), 2);
    const int dag = contacts.FindByName(QStringLiteral("Lund, Dag"));
    ASSERT_GE(dag, 0);
    EXPECT_EQ(contacts.FindByName(QStringLiteral("lund, dag")), -1);  // exact only
    EXPECT_EQ(contacts.FindByEmail(QStringLiteral("d1@example.org")), dag);
    EXPECT_EQ(contacts.GetValueAt(dag), QStringLiteral("d1@example.org"));
    EXPECT_EQ(contacts.FindByEmail(QStringLiteral("nobody@example.org")), -1);

    CPoomContactsByOid byOid(folder);
    EXPECT_EQ(byOid.GetNameAt(dagId), QStringLiteral("Lund, Dag"));
    EXPECT_EQ(byOid.GetEmail1At(dagId), QStringLiteral("d1@example.org"));
    EXPECT_EQ(byOid.GetNameAt(0), QStringLiteral("<error>"));
    EXPECT_EQ(byOid.GetPropertyAt(dagId, ContactProperty::LastName), QStringLiteral("Lund"));
}

TEST(PoomPhoneNumbers, NumberNormalisation)
{
    struct Case {
        const char* number;
        const char* prefix;
        const char* normalised;
    } cases[] = {
        {"070-123 45 67", "", "+46701234567"},
        {"+46701234567", "", "+46701234567"},
        {"0046 70 123", "", "+46046701" "23"},
        {"(08) 12-34", "", "+4681234"},
        {"9070-1", "9", "+46701"},
        {"abc", "", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CPoomPhoneNumbers::NormalizeNumber(QString::fromUtf8(c.number), QString::fromUtf8(c.prefix)),
                  QString::fromUtf8(c.normalised))
            << c.number;
}

TEST(PoomPhoneNumbers, FindByNumberMatchesNationalAndInternationalForms)
{
    const QString folder = NewContactsFolder(QStringLiteral("bynumber"));
    AddContact(folder, QStringLiteral("Carl"), QStringLiteral("Ek"), {{FIELD_MOBILE_TEL, "+46701234567"}});
    AddContact(folder, QStringLiteral("Dag"), QStringLiteral("Lund"), {{FIELD_CAR_TEL, "+46 8 555 12 12"}});
    CPoomPhoneNumbers numbers(QString(), folder);
    const int carl = numbers.FindByNumber(QStringLiteral("070-123 45 67"));
    ASSERT_GE(carl, 0);
    EXPECT_EQ(numbers.GetType(), FIELD_MOBILE_TEL);
    EXPECT_EQ(numbers.GetNameAt(carl), QStringLiteral("Ek, Carl"));
    EXPECT_EQ(numbers.GetValueAt(carl), QStringLiteral("+46701234567"));
    // 0046... keeps a 0 after "+46" and meets nothing.
    EXPECT_EQ(numbers.FindByNumber(QStringLiteral("0046701234567")), -1);
    const int dag = numbers.FindByNumber(QStringLiteral("08-555 12 12"));
    ASSERT_GE(dag, 0);
    EXPECT_EQ(numbers.GetType(), FIELD_CAR_TEL);
}

TEST(PoomPhoneNumbers, GetDetailsOfMobileAndEmailAndOfEmailOnly)
{
    const QString folder = NewContactsFolder(QStringLiteral("details"));
    const quint32 id = AddContact(folder, QStringLiteral("Åsa"), QStringLiteral("Berg"),
                                  {{FIELD_MOBILE_TEL, " +46 70 123 45 67 "}, {FIELD_EMAIL, "asa@example.org"}});
    CPoomPhoneNumbersByOid numbers(QString(), folder);
    QString name, tag;
    quint32 mask = 0, oid = 0;
    QMap<QString, QString> values{{QStringLiteral("stale"), QStringLiteral("x")}};
    ASSERT_TRUE(numbers.GetDetails(id, name, mask, tag, values, oid));
    EXPECT_EQ(name, QStringLiteral("Åsa Berg"));
    EXPECT_EQ(mask, 0x202u);
    EXPECT_EQ(tag, QStringLiteral("m"));
    EXPECT_EQ(values, (QMap<QString, QString>{{"m", "+46 70 123 45 67"}, {"e", "asa@example.org"}}));
    EXPECT_EQ(oid, id);

    // The mask is added to, not replaced.
    mask = 0x1000;
    ASSERT_TRUE(numbers.GetDetails(id, name, mask, tag, values, oid));
    EXPECT_EQ(mask, 0x1202u);
    EXPECT_FALSE(numbers.GetDetails(id + 1, name, mask, tag, values, oid));

    // A lone second address stays the second: the default tag follows it.
    const quint32 eva = AddContact(folder, QStringLiteral("Eva"), QStringLiteral("Alm"), {{FIELD_EMAIL2, "eva@example.org"}});
    CPoomPhoneNumbersByOid again(QString(), folder);
    mask = 0;
    ASSERT_TRUE(again.GetDetails(eva, name, mask, tag, values, oid));
    EXPECT_EQ(tag, QStringLiteral("e2"));
    EXPECT_EQ(mask, 0x400u);
    EXPECT_EQ(CPoomPhoneNumbers::GetTag(12), QString());  // past the last field
    EXPECT_EQ(CPoomPhoneNumbers::GetMask(-1), 0u);
}
