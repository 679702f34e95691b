// tessaly-cli phonebook export: a backup of the SIM and phone phone books
// as one file of vCard 3.0 cards, one per entry, that address books and
// sync tools read and that "phonebook import" writes back.

#include "gsmcore/phonebook/PhoneBookConnection.h"
#include "platform/contacts/VCardWriter.h"
#include "tools/cli/CliContext.h"

#include <QJsonObject>
#include <QSaveFile>
#include <QUuid>

namespace {

// Our own namespace for the cards' name-based UIDs.
const QUuid kBackupNamespace(QStringLiteral("{867c2171-f2d1-437f-aaba-f92916355c83}"));

// The same entry in the same place gives the same UID, so two backups of
// an unchanged phone are the same bytes and a sync tool sees no change.
QString EntryUid(const CExtractorContact& entry, const QString& memory)
{
    const QString key = QStringList{memory, QString::number(entry.m_Index), entry.m_Name, entry.m_Number}.join(QLatin1Char('\n'));
    return QUuid::createUuidV5(kBackupNamespace, key.toUtf8()).toString(QUuid::WithoutBraces);
}

VCard EntryCard(const CExtractorContact& entry, const QString& memory)
{
    VCard card;
    card.SetText(QStringLiteral("UID"), EntryUid(entry, memory));
    // Address books list a card by its FN, which must not be empty: a
    // nameless entry goes by its number, an empty one by its place.
    const QString name = entry.m_Name.trimmed();
    const QString place = memory + QLatin1Char(' ') + QString::number(entry.m_Index);
    card.SetText(QStringLiteral("FN"), !name.isEmpty() ? entry.m_Name : !entry.m_Number.isEmpty() ? entry.m_Number : place);
    // A phone book keeps one name; its last word is taken as the family name.
    const qsizetype space = name.lastIndexOf(QLatin1Char(' '));
    if (space > 0)
        card.SetComponents(QStringLiteral("N"), {name.mid(space + 1), name.left(space).trimmed()}, 5);
    else
        card.SetComponents(QStringLiteral("N"), {QString(), name}, 5);
    card.SetText(QStringLiteral("TEL"), entry.m_Number);
    card.SetText(QStringLiteral("X-TESSALY-MEMORY"), memory);
    card.SetText(QStringLiteral("X-TESSALY-INDEX"), QString::number(entry.m_Index));
    return card;
}

}  // namespace

int RunPhoneBookExport(CliContext& context)
{
    const QString memory = context.args.Value(QStringLiteral("--memory"), QStringLiteral("all")).toUpper();
    if (memory != QLatin1String("SM") && memory != QLatin1String("ME") && memory != QLatin1String("ALL"))
        return context.Fail(QStringLiteral("--memory is SM, ME or all"), 2);
    const QString fileName = context.args.Word(2);
    if (fileName.isEmpty())
        return context.Fail(QStringLiteral("phonebook export needs a file: phonebook export --memory SM|ME|all FILE.vcf"), 2);

    CPhoneBookConnection connection;
    if (const int status = context.Connect(connection))
        return status;
    QByteArray cards;
    int exported = 0;
    for (const bool sim : {true, false}) {
        const QString name = sim ? QStringLiteral("SM") : QStringLiteral("ME");
        if (memory != QLatin1String("ALL") && memory != name)
            continue;
        CNumberExtractor* store = sim ? connection.GetSimStore() : connection.GetPhoneStore();
        const bool ready = store && (sim ? connection.IsSimReady() : connection.IsPhoneReady());
        if (!ready) {
            // "all" backs up what the device has; a named memory must be there.
            if (memory == QLatin1String("ALL"))
                continue;
            return context.Fail(QStringLiteral("the device has no usable %1 phone book").arg(name));
        }
        store->DisableErrorMessages();
        ExtractorContactArray entries;
        if (!store->GetAll(entries))
            return context.Fail(QStringLiteral("reading the %1 phone book failed").arg(name));
        for (const auto& entry : entries) {
            cards += WriteVCard(EntryCard(*entry, name));
            ++exported;
        }
    }

    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(cards) != cards.size() || !file.commit())
        return context.Fail(QStringLiteral("cannot write %1").arg(fileName));
    if (context.Json())
        context.PrintJson(QJsonDocument(QJsonObject{{QStringLiteral("exported"), exported}}));
    else
        context.Print(QStringLiteral("Exported %1 entries to %2").arg(exported).arg(fileName));
    return 0;
}
