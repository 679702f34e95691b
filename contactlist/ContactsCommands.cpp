#include "contactlist/ContactsCommands.h"

#include "contactlist/ContactLoader.h"
#include "contactlist/NumberLookup.h"
#include "platform/contacts/PoomPhoneNumbers.h"
#include "platform/contacts/VCardParser.h"
#include "platform/contacts/VCardWriter.h"

#include <QFile>
#include <QSaveFile>

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
    int created = 0;
    int replaced = 0;
    int failed = 0;
    for (const VCard& card : parsed.cards) {
        CContactItem item(card, QString(), 0);
        const std::unique_ptr<CContactItem> existing = store.ItemByUid(item.Uid());
        if (existing)
            item.SetStoreIdentity(existing->FileName(), existing->Oid());
        if (!store.Save(item)) {
            ++failed;
            continue;
        }
        ++(existing ? replaced : created);
    }
    ContactsCommandResult result;
    result.output = QStringLiteral("Imported %1 contacts (%2 new, %3 replaced)\n").arg(created + replaced).arg(created).arg(replaced);
    if (parsed.rejected > 0)
        result.error += QStringLiteral("%1 broken cards skipped: %2\n").arg(parsed.rejected).arg(parsed.firstError);
    if (failed > 0) {
        result.error += QStringLiteral("%1 contacts could not be saved\n").arg(failed);
        result.exitCode = 1;
    }
    return result;
}

ContactsCommandResult ContactsExportCommand(const QString& fileName, const QString& folder)
{
    CContactsStore store(folder);
    if (!store.LogOn())
        return Failure(QStringLiteral("Cannot open the contacts folder ") + store.Folder());
    QByteArray bytes;
    const int count = store.Count();
    for (int i = 0; i < count; ++i)
        if (const std::unique_ptr<CContactItem> item = store.ItemAt(i))
            bytes += WriteVCard(item->Card());
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return Failure(QStringLiteral("Cannot write ") + fileName);
    ContactsCommandResult result;
    result.output = QStringLiteral("Exported %1 contacts to %2\n").arg(count).arg(fileName);
    return result;
}
