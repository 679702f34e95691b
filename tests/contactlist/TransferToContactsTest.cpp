// Transfer all to Contacts into a card folder that already holds some of
// the entries: what is copied, what is recognised, and that a second run
// copies nothing.

#include "contactlist/TransferToContacts.h"
#include "platform/contacts/ContactsStore.h"
#include "tests/contactlist/ContactListTestData.h"

#include <gtest/gtest.h>

TEST(TransferToContacts, AnEntryMatchesAContactOfItsNameWithItsNumberOrWithoutOne)
{
    const struct {
        const char* what;
        std::vector<TestCard> contacts;
        std::vector<EntryText> entries;
        int copied;
    } cases[] = {
        {"no number, same name", {{"a", "Solo", "0701"}}, {{"Solo", ""}}, 0},
        {"no number, new name", {{"a", "Solo", "0701"}}, {{"Other", ""}}, 1},
        {"no number, twice in the phone", {}, {{"Solo", ""}, {"Solo", ""}}, 1},
        {"same number in another form", {{"a", "Anna Berg", "", "08-12 34 56"}}, {{"Anna  Berg", "+46812 3456"}}, 0},
        {"a landline two people share", {}, {{"Anna Berg", "081234"}, {"Bo Berg", "081234"}}, 2},
        {"shared number, one already there", {{"a", "Anna Berg", "081234"}}, {{"Bo Berg", "081234"}}, 1},
        {"same name, another number", {{"a", "Anna", "0811"}}, {{"Anna", "0822"}}, 1},
        {"an extension is another number", {{"a", "Office", "", "081234"}}, {{"Office", "081234p12"}}, 1},
    };
    for (const auto& c : cases) {
        const QString folder = NewTempFolder(QStringLiteral("list-transfer"));
        for (const TestCard& card : c.contacts)
            ASSERT_TRUE(WriteCard(folder, card)) << c.what;
        for (const int copied : {c.copied, 0}) {
            CContactsStore store(folder);
            const TransferResult result = TransferEntriesToContacts(store, c.entries);
            EXPECT_EQ(result.copied, copied) << c.what;
            EXPECT_EQ(result.skipped, int(c.entries.size()) - copied) << c.what;
            CContactsStore check(folder);
            ASSERT_TRUE(check.LogOn());
            EXPECT_EQ(check.Count(), int(c.contacts.size()) + c.copied) << c.what;
        }
    }
}
