#pragma once
// Transfer all to Contacts: every phone book entry becomes a contact
// with its name split into first and last name and its number as the
// work telephone, unless a contact already has that name and that number
// (numbers compared by their compact form; an entry without a number by
// the name alone), so running it after every phone change makes no
// doubles, while two people sharing a landline are both copied. The
// window and tessaly-cli both copy through here.

#include <QString>

#include <vector>

class CContactsStore;

struct EntryText {
    QString name;
    QString number;
};

struct TransferResult {
    bool loggedOn = false;  // false: nothing was looked at ("Could not log on to POOM" shown)
    int copied = 0;
    int skipped = 0;        // already in Contacts
    bool stopped = false;   // a contact could not be made; the rest were not tried
};

// "%d copied, %d already in Contacts", translated.
QString TransferSummary(const TransferResult& result);

// Copies `entries` in order into the store (logging on when needed).
TransferResult TransferEntriesToContacts(CContactsStore& store, const std::vector<EntryText>& entries);
