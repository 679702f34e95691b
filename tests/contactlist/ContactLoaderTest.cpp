// Loading the store into the sorted list of all contacts.

#include "contactlist/ContactLoader.h"
#include "platform/contacts/PoomPhoneNumbers.h"
#include "tests/contactlist/ContactListTestData.h"

#include <gtest/gtest.h>

TEST(ContactLoader, BinaryInsertionKeepsNamesSortedIgnoringCase)
{
    // Equal names (ignoring case) may come in either order: compared in lower case.
    const std::pair<QStringList, QString> cases[] = {
        {{"alpha", "Beta", "Alpha"}, "alpha|alpha|beta"},
        {{"c", "b", "a"}, "a|b|c"},
        {{"a", "b", "c", "d", "e"}, "a|b|c|d|e"},
        {{"Zed", "", "ärla", "Ada"}, "|ada|zed|ärla"},
    };
    for (const auto& [inserted, sorted] : cases) {
        CFilteredList list(CFilteredList::AllContactsFilter, true);
        list.m_Contacts.assign(size_t(inserted.size()), nullptr);
        size_t used = 0;
        for (const QString& name : inserted)
            InsertContactSorted(list.m_Contacts, used++, MakeRecord(name, {{FIELD_WORK_TEL, "1"}}));
        EXPECT_EQ(NamesOf(list).join(u'|').toLower(), sorted);
    }
}

// Every contact with a number or an address, sorted; a stop request
// reaches into the folder read; a folder that cannot be read gives nothing.
TEST(ContactLoader, ReadsEveryContactWithANumberOrAddressSortedUnlessStopped)
{
    const QString folder = NewTempFolder(QStringLiteral("list-loader"));
    for (const TestCard& card : {TestCard{"1", "alpha", "+46701"}, TestCard{"2", "Beta", "+46702"}, TestCard{"3", "Alpha", "+46703"},
                                 TestCard{"4", "Nothing"}, TestCard{"5", "Mail", "", "", "", "m@x.org"}})
        WriteCard(folder, card);
    CPoomPhoneNumbers source(QString(), folder);
    const std::atomic<bool> stop{true};
    EXPECT_EQ(LoadContactList(source, stop)->Count(), 0);
    EXPECT_EQ(source.Store().LastError(), ContactsStoreError::Cancelled);  // before a single card was parsed
    // The next load is not stopped by the last one's flag.
    const std::atomic<bool> go{false};
    const std::unique_ptr<CFilteredList> all = LoadContactList(source, go);
    const QStringList names = NamesOf(*all);
    ASSERT_EQ(names.size(), 4);  // "Nothing" has neither number nor address
    EXPECT_EQ(names[0].toLower() + names[1].toLower(), QStringLiteral("alphaalpha"));
    EXPECT_EQ(names.mid(2), (QStringList{"Beta", "Mail"}));
    EXPECT_EQ(all->m_Contacts[3]->nDefaultField, FIELD_EMAIL);
    EXPECT_EQ(all->m_Contacts[2]->nDefaultField, FIELD_MOBILE_TEL);
    EXPECT_NE(all->m_Contacts[2]->oid, 0u);

    CPoomPhoneNumbers missing(QString(), folder + QStringLiteral("/1.vcf/below-a-file"));
    EXPECT_EQ(LoadContactList(missing, go)->Count(), 0);
}
