#include "contactlist/ContactsCommands.h"

#include "contactlist/ContactLoader.h"
#include "contactlist/NumberLookup.h"
#include "platform/contacts/PoomPhoneNumbers.h"
#include "platform/contacts/VCardParser.h"
#include "platform/contacts/VCardWriter.h"

#include <QFile>
#include <QSaveFile>
#include <QSet>

namespace {

QString JsonString(QStringView text)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '"': out += QLatin1String("\\\""); break;
        case '\\': out += QLatin1String("\\\\"); break;
        case '\n': out += QLatin1String("\\n"); break;
        case '\r': out += QLatin1String("\\r"); break;
        case '\t': out += QLatin1String("\\t"); break;
        default:
            if (c.unicode() < 0x20)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    out += QLatin1Char('"');
    return out;
}

std::unique_ptr<CFilteredList> LoadAll(CPoomPhoneNumbers& source)
{
    const std::atomic<bool> never{false};
    return LoadContactList(source, never);
}

ContactsCommandResult Failure(const QString& message)
{
    ContactsCommandResult result;
    result.exitCode = 1;
    result.error = message + QLatin1Char('\n');
    return result;
}

}  // namespace

ContactsCommandResult ContactsListCommand(bool json, const QString& folder)
{
    CPoomPhoneNumbers source(QString(), folder);
    if (!source.IsOk())
        return Failure(QStringLiteral("Cannot open the contacts folder ") + source.Store().Folder());
    const std::unique_ptr<CFilteredList> all = LoadAll(source);
    ContactsCommandResult result;
    if (json) {
        QString out = QStringLiteral("{\"contacts\":[");
        bool firstContact = true;
        for (const tagCONTACT* record : all->m_Contacts) {
            if (!firstContact)
                out += QLatin1Char(',');
            firstContact = false;
            out += QStringLiteral("{\"oid\":") + QString::number(record->oid) + QStringLiteral(",\"name\":") +
                   JsonString(ContactName(record)) + QStringLiteral(",\"default\":") +
                   JsonString(ContactDefaultTag(record)) + QStringLiteral(",\"fields\":{");
            bool firstField = true;
            for (int type = 0; type < ContactFieldCount; ++type) {
                if (record->nFieldOffset[type] < 0)
                    continue;
                if (!firstField)
                    out += QLatin1Char(',');
                firstField = false;
                out += JsonString(QString::fromLatin1(ContactFieldAt(type).tag)) + QLatin1Char(':') +
                       JsonString(ContactField(record, type));
            }
            out += QStringLiteral("}}");
        }
        out += QStringLiteral("]}\n");
        result.output = out;
        return result;
    }
    for (const tagCONTACT* record : all->m_Contacts) {
        QStringList fields;
        for (int type = 0; type < ContactFieldCount; ++type)
            if (record->nFieldOffset[type] >= 0)
                fields << QString::fromLatin1(ContactFieldAt(type).tag) + QStringLiteral(": ") +
                              ContactField(record, type).toString();
        result.output += ContactName(record).toString() + QLatin1Char('\t') + ContactDefaultTag(record) +
                         QLatin1Char('\t') + fields.join(QStringLiteral("; ")) + QLatin1Char('\n');
    }
    return result;
}

ContactsCommandResult ContactsLookupCommand(const QString& number, const QString& folder)
{
    CPoomPhoneNumbers source(QString(), folder);
    if (!source.IsOk())
        return Failure(QStringLiteral("Cannot open the contacts folder ") + source.Store().Folder());
    const std::unique_ptr<CFilteredList> all = LoadAll(source);
    CNumberTable table;
    table.Fill(all.get());
    QString name;
    if (!table.GetNameFromNumber(number, name))
        return Failure(QStringLiteral("No contact has the number ") + number);
    ContactsCommandResult result;
    if (!name.isEmpty()) {
        result.output = name + QLatin1Char('\n');
        return result;
    }
    QStringList names;
    GetNameListFromNumber(all.get(), number, names);
    if (names.isEmpty())
        return Failure(QStringLiteral("No contact has the number ") + number);
    result.output = names.join(QLatin1Char('\n')) + QLatin1Char('\n');
    return result;
}

ContactsCommandResult ContactsImportCommand(const QString& fileName, const QString& folder)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return Failure(QStringLiteral("Cannot read ") + fileName);
    const VCardParseResult parsed = ParseVCards(file.readAll());
    if (parsed.cards.empty())
        return Failure(QStringLiteral("No vCard in ") + fileName +
                       (parsed.firstError.isEmpty() ? QString() : QStringLiteral(": ") + parsed.firstError));
    CContactsStore store(folder);
    if (!store.LogOn())
        return Failure(QStringLiteral("Cannot open the contacts folder ") + store.Folder());
    ContactsCommandResult result;
    int created = 0;
    int replaced = 0;
    int failed = 0;
    QSet<QString> claimedFiles;  // files this import already wrote
    QSet<QString> sharedUids;
    QSet<QString> seenUids;
    for (const VCard& card : parsed.cards) {
        CContactItem item(card, QString(), 0);
        const QString uid = item.Uid();
        if (!uid.isEmpty() && seenUids.contains(uid))
            sharedUids.insert(uid);
        seenUids.insert(uid);
        // The contact this card was exported from: a file that holds its
        // UID and that no earlier card of this import took, the one with
        // the same name first. Cards sharing a UID so each find their own
        // file again, and one the folder lacks gets a file of its own.
        QString target;
        std::unique_ptr<CContactItem> existing;
        for (const QString& candidate : store.FilesWithUid(uid)) {
            if (claimedFiles.contains(candidate))
                continue;
            std::unique_ptr<CContactItem> held = store.ItemInFile(candidate);
            if (!held)
                continue;
            const bool sameName = held->DisplayName() == item.DisplayName();
            if (!existing || sameName) {
                existing = std::move(held);
                target = candidate;
            }
            if (sameName)
                break;
        }
        if (existing) {
            item.SetStoreIdentity(target, existing->Oid());
            item.SetReadStamp(existing->ReadStamp());
        }
        if (!store.Save(item)) {
            ++failed;
            result.error += QStringLiteral("%1 not imported: %2\n")
                                .arg(item.DisplayName().isEmpty() ? uid : item.DisplayName(),
                                     ContactsStoreErrorMessage(store.LastError()));
            continue;
        }
        claimedFiles.insert(item.FileName());
        ++(existing ? replaced : created);
    }
    result.output = QStringLiteral("Imported %1 contacts (%2 new, %3 replaced)\n").arg(created + replaced).arg(created).arg(replaced);
    QStringList shared(sharedUids.begin(), sharedUids.end());
    shared.sort();
    for (const QString& uid : std::as_const(shared))
        result.output += QStringLiteral("Several cards share the UID %1: each was kept in a file of its own\n").arg(uid);
    if (parsed.rejected > 0)
        result.error += QStringLiteral("%1 broken cards skipped: %2\n").arg(parsed.rejected).arg(parsed.firstError);
    if (failed > 0 || parsed.rejected > 0)
        result.exitCode = 1;
    return result;
}

ContactsCommandResult ContactsExportCommand(const QString& fileName, const QString& folder)
{
    CContactsStore store(folder);
    if (!store.LogOn() || !store.Refresh())
        return Failure(QStringLiteral("Cannot open the contacts folder ") + store.Folder());
    ContactsCommandResult result;
    QByteArray bytes;
    int exported = 0;
    const int count = store.Count();
    for (int i = 0; i < count; ++i) {
        if (const std::unique_ptr<CContactItem> item = store.ItemAt(i)) {
            bytes += WriteVCard(item->Card());
            ++exported;
        } else {
            result.error += QStringLiteral("Cannot read %1: changed or removed while exporting\n").arg(store.FileNameAt(i));
        }
    }
    // Files that are not one contact of the list: an export dropped into
    // the folder goes out whole, one we cannot read is named.
    for (const SkippedCardFile& skipped : store.SkippedFiles()) {
        QFile file(store.Folder() + QLatin1Char('/') + skipped.fileName);
        const VCardParseResult parsed =
            !skipped.IsUnreadable() && file.open(QIODevice::ReadOnly) ? ParseVCards(file.readAll()) : VCardParseResult();
        if (skipped.IsUnreadable() || parsed.rejected > 0 || parsed.cards.empty()) {
            result.error += QStringLiteral("Cannot read %1: %2\n").arg(skipped.fileName, skipped.reason);
            continue;
        }
        for (const VCard& card : parsed.cards)
            bytes += WriteVCard(card);
        exported += int(parsed.cards.size());
    }
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return Failure(QStringLiteral("Cannot write ") + fileName);
    result.output = QStringLiteral("Exported %1 contacts to %2\n").arg(exported).arg(fileName);
    if (!result.error.isEmpty())
        result.exitCode = 1;
    return result;
}
