// tessaly-cli phonebook to-contacts: Transfer all to Contacts for the
// chosen memories.

#include "contactlist/TransferToContacts.h"
#include "platform/contacts/ContactsStore.h"
#include "tools/cli/CliContext.h"
#include "tools/cli/PhoneBookMemoryChoice.h"

#include <QJsonObject>

int RunPhoneBookToContacts(CliContext& context)
{
    const QString wanted = context.args.Value(QStringLiteral("--memory"), QStringLiteral("all")).toUpper();
    std::vector<PhoneBookChoice> choices;
    PhoneBookChoice choice;
    if (wanted == QLatin1String("ALL")) {
        choice.Parse(QStringLiteral("SM"));
        choices.push_back(choice);
        choice.Parse(QStringLiteral("ME"));
        choices.push_back(choice);
    } else if (choice.Parse(wanted)) {
        choices.push_back(choice);
    } else {
        return context.Fail(QStringLiteral("--memory is SM, ME or all"), 2);
    }

    CPhoneBookConnection connection;
    if (const int status = context.Connect(connection))
        return status;
    std::vector<EntryText> texts;
    int books = 0;
    for (const PhoneBookChoice& c : choices) {
        CNumberExtractor* store = c.Store(connection);
        if (!store)
            continue;
        ++books;
        store->DisableErrorMessages();
        ExtractorContactArray entries;
        if (!store->GetAll(entries))
            return context.Fail(QStringLiteral("reading the %1 phone book failed").arg(c.name));
        for (const auto& e : entries)
            texts.push_back({e->m_Name, e->m_Number});
    }
    if (books == 0)
        return context.Fail(QStringLiteral("the device has no usable phone book"));

    CContactsStore contacts;
    const TransferResult result = TransferEntriesToContacts(contacts, texts);
    if (!result.loggedOn)
        return 1;  // the transfer's message said why
    if (result.stopped)
        return context.Fail(QStringLiteral("saving a contact in %1 failed after %2 copied").arg(contacts.Folder()).arg(result.copied));
    if (context.Json())
        context.PrintJson(QJsonDocument(QJsonObject{{QStringLiteral("copied"), result.copied},
                                                    {QStringLiteral("skipped"), result.skipped}}));
    else
        context.Print(TransferSummary(result));
    return 0;
}
