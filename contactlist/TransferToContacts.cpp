#include "contactlist/TransferToContacts.h"

#include "contactlist/ContactNameParts.h"
#include "contactlist/NumberLookup.h"
#include "platform/contacts/ContactFieldTable.h"
#include "platform/contacts/ContactsStore.h"
#include "support/AppMessages.h"
#include "support/Format.h"
#include "support/MessageBoxTypes.h"
#include "support/TranslationTable.h"

#include <QSet>

namespace {

QString NameKey(const QString& name)
{
    return name.simplified().toCaseFolded();
}

// The compact form of the number up to its first pause or wait; what
// follows (an extension) is kept as it is, so 0812345p12 is not 0812345.
QString NumberKey(const QString& number)
{
    qsizetype dial = 0;
    while (dial < number.size() && QStringLiteral("pPwW").indexOf(number[dial]) < 0)
        ++dial;
    QString head = number.left(dial);
    CompactNumber(head);
    QString tail;
    for (const QChar c : number.mid(dial).toLower()) {
        if (c.isDigit() || QStringLiteral("*#pw").contains(c))
            tail += c;
    }
    return head + tail;
}

// An entry matches a contact of the same name with the same number; an
// entry without a number matches a contact of the same name alone.
QString PairKey(const QString& name, const QString& number)
{
    return NameKey(name) + QLatin1Char('\n') + NumberKey(number);
}

// Every name-and-number pair the store holds, and every name with an
// empty number. A contact counts under its display name and under its
// first and last name joined, the form the transfer writes.
QSet<QString> KnownPairs(CContactsStore& store)
{
    QSet<QString> known;
    const int count = store.Count();
    for (int position = 0; position < count; ++position) {
        const auto item = store.ItemAt(position);
        if (!item)
            continue;
        const QString names[] = {item->DisplayName(),
                                 item->Property(ContactProperty::FirstName) + QLatin1Char(' ')
                                     + item->Property(ContactProperty::LastName)};
        for (const QString& name : names)
            known.insert(PairKey(name, QString()));
        for (int type = 0; type < TelephoneFieldCount; ++type) {
            const QString number = item->Field(type);
            if (number.isEmpty())
                continue;
            for (const QString& name : names)
                known.insert(PairKey(name, number));
        }
    }
    return known;
}

}  // namespace

TransferResult TransferEntriesToContacts(CContactsStore& store, const std::vector<EntryText>& entries)
{
    TransferResult result;
    if (!store.IsLoggedOn() && !store.LogOn()) {
        CAppMessages::Instance().ShowMessage(Tr("Could not log on to POOM"), MB_OK);
        return result;
    }
    result.loggedOn = true;
    QSet<QString> known = KnownPairs(store);
    for (const EntryText& entry : entries) {
        const QString key = PairKey(entry.name, entry.number);
        if (known.contains(key)) {
            ++result.skipped;
            continue;
        }
        auto item = store.CreateItem();
        if (!item) {
            result.stopped = true;
            break;
        }
        QString first, last;
        SplitEntryName(entry.name, first, last);
        if (!first.isEmpty())
            item->SetProperty(ContactProperty::FirstName, first);
        if (!last.isEmpty())
            item->SetProperty(ContactProperty::LastName, last);
        item->SetField(FIELD_WORK_TEL, entry.number);
        if (!store.Save(*item)) {
            result.stopped = true;
            break;
        }
        known.insert(key);
        ++result.copied;
    }
    return result;
}

QString TransferSummary(const TransferResult& result)
{
    return Format(Tr("%d copied, %d already in Contacts"), result.copied, result.skipped);
}
