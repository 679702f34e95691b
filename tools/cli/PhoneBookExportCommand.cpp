// tessaly-cli phonebook export: a backup of the SIM and phone phone books
// as one file of vCards, one card per entry, that address books read and
// that "phonebook import" writes back.

#include "gsmcore/phonebook/PhoneBookConnection.h"
#include "platform/contacts/VCardWriter.h"
#include "tools/cli/CliContext.h"

#include <QJsonObject>
#include <QSaveFile>

namespace {

VCard EntryCard(const CExtractorContact& entry, const QString& memory)
{
    VCard card;
    card.SetText(QStringLiteral("FN"), entry.m_Name);
    // A phone book keeps one name; its last word is taken as the family name.
    const QString name = entry.m_Name.trimmed();
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
