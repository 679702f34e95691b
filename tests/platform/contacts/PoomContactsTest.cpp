// The contact-access classes over the store: counts, names, lookups by
// name, e-mail and number, and the details the contact lists read.

#include "platform/contacts/PoomPhoneNumbers.h"
#include "tests/platform/contacts/ContactsTestFolder.h"

#include <gtest/gtest.h>

namespace {

struct Added {
    const char* first;
    const char* last;
    std::vector<std::pair<int, const char*>> fields;
};

// One folder for every question; each contact's identifier in `ids`.
QString FolderOf(const std::vector<Added>& contacts, std::vector<quint32>& ids)
{
    const QString folder = NewContactsFolder(QStringLiteral("poom"));
    CContactsStore store(folder);
    EXPECT_TRUE(store.LogOn());
    for (const Added& added : contacts) {
        std::unique_ptr<CContactItem> item = store.CreateItem();
        item->SetProperty(ContactProperty::FirstName, QString::fromUtf8(added.first));
        item->SetProperty(ContactProperty::LastName, QString::fromUtf8(added.last));
        for (const auto& [type, text] : added.fields)
            item->SetField(type, QString::fromUtf8(text));
        EXPECT_TRUE(store.Save(*item));
        ids.push_back(item->Oid());
    }
    return folder;
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

TEST(PoomContacts, NamesNumbersAndAddressesFindTheirContact)
{
    std::vector<quint32> ids;
    const QString folder = FolderOf({{"Carl", "Ek", {{FIELD_MOBILE_TEL, "+46701234567"}, {FIELD_EMAIL, "carl@example.org"}}},
                                     {"Dag", "Lund", {{FIELD_EMAIL, "d1@example.org"}, {FIELD_CAR_TEL, "+46 8 555 12 12"}}},
                                     {"", "Berg", {{FIELD_WORK_TEL, "1"}}},
                                     {"Åsa", "", {{FIELD_MOBILE_TEL, " +46 70 765 43 21 "}, {FIELD_EMAIL, "asa@example.org"}}},
                                     {"Eva", "Alm", {{FIELD_EMAIL2, "eva@example.org"}}}},
                                    ids);
    CPoomPhoneNumbers numbers(QString(), folder);
    ASSERT_EQ(numbers.GetCount(), 5);
    // Exact names only, in either order; a number in its national or
    // international form (0046... keeps a 0 after "+46" and meets nothing).
    struct Case {
        const char* lastFirst;
        const char* firstLast;
        const char* email;
        const char* number;
        int type;
    } cases[] = {
        {"Ek, Carl", "Carl Ek", "carl@example.org", "070-123 45 67", FIELD_MOBILE_TEL},
        {"Lund, Dag", "Dag Lund", "d1@example.org", "08-555 12 12", FIELD_CAR_TEL},
        {"Berg", " Berg", "", "1", FIELD_WORK_TEL},
        {"Åsa", "Åsa ", "asa@example.org", "+46707654321", FIELD_MOBILE_TEL},
    };
    for (const Case& c : cases) {
        numbers.SetNameOrder(CPoomContacts::NameOrderLastFirst);
        const int at = numbers.FindByName(QString::fromUtf8(c.lastFirst));
        ASSERT_GE(at, 0) << c.lastFirst;
        EXPECT_EQ(numbers.FindByName(QString::fromUtf8(c.lastFirst).toLower()), -1) << c.lastFirst;
        numbers.SetNameOrder(CPoomContacts::NameOrderFirstLast);
        EXPECT_EQ(numbers.GetNameAt(at), QString::fromUtf8(c.firstLast));
        if (*c.email) {
            EXPECT_EQ(numbers.FindByEmail(QString::fromUtf8(c.email)), at) << c.email;
        }
        if (*c.number) {
            EXPECT_EQ(numbers.FindByNumber(QString::fromUtf8(c.number)), at) << c.number;
            EXPECT_EQ(numbers.GetType(), c.type) << c.number;
        }
    }
    EXPECT_EQ(numbers.FindByNumber(QStringLiteral("0046701234567")), -1);
    EXPECT_EQ(numbers.FindByEmail(QStringLiteral("nobody@example.org")), -1);
    EXPECT_EQ(numbers.GetNameAt(5), QStringLiteral("<error>"));

    CPoomContactsByOid byOid(folder);
    EXPECT_EQ(byOid.GetNameAt(ids[1]), QStringLiteral("Lund, Dag"));
    EXPECT_EQ(byOid.GetEmail1At(ids[1]), QStringLiteral("d1@example.org"));
    EXPECT_EQ(byOid.GetPropertyAt(ids[1], ContactProperty::LastName), QStringLiteral("Lund"));
    EXPECT_EQ(byOid.GetNameAt(0), QStringLiteral("<error>"));

    // What the lists read: trimmed values by tag, presence bits added to
    // the mask, the default tag following a lone second address.
    CPoomPhoneNumbersByOid details(QString(), folder);
    QString name, tag;
    quint32 mask = 0x1000, oid = 0;
    QMap<QString, QString> values{{QStringLiteral("stale"), QStringLiteral("x")}};
    ASSERT_TRUE(details.GetDetails(ids[3], name, mask, tag, values, oid));
    EXPECT_EQ(name, QStringLiteral("Åsa"));
    EXPECT_EQ(mask, 0x1202u);
    EXPECT_EQ(tag, QStringLiteral("m"));
    EXPECT_EQ(values, (QMap<QString, QString>{{"m", "+46 70 765 43 21"}, {"e", "asa@example.org"}}));
    EXPECT_EQ(oid, ids[3]);
    mask = 0;
    ASSERT_TRUE(details.GetDetails(ids[4], name, mask, tag, values, oid));
    EXPECT_EQ(tag, QStringLiteral("e2"));
    EXPECT_EQ(mask, 0x400u);
    EXPECT_FALSE(details.GetDetails(0, name, mask, tag, values, oid));
    EXPECT_EQ(CPoomPhoneNumbers::GetTag(12), QString());  // past the last field
    EXPECT_EQ(CPoomPhoneNumbers::GetMask(-1), 0u);
}

TEST(PoomPhoneNumbers, NumberNormalisation)
{
    struct Case {
        const char* number;
        const char* prefix;
        const char* normalised;
    } cases[] = {
        {"070-123 45 67", "", "+46701234567"}, {"+46701234567", "", "+46701234567"}, {"0046 70 123", "", "+4604670123"},
        {"(08) 12-34", "", "+4681234"},        {"9070-1", "9", "+46701"},            {"abc", "", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CPoomPhoneNumbers::NormalizeNumber(QString::fromUtf8(c.number), QString::fromUtf8(c.prefix)),
                  QString::fromUtf8(c.normalised))
            << c.number;
}
