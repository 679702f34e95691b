// tessaly-cli phonebook detect-sizes: the Options dialog's Autodetect for
// one memory.

#include "gsmcore/charset/AlphaField.h"
#include "gsmcore/phonebook/FreeLocation.h"
#include "gsmcore/phonebook/SizeProbe.h"
#include "tools/cli/CliContext.h"
#include "tools/cli/PhoneBookMemoryChoice.h"

#include <QJsonObject>

int RunPhoneBookDetectSizes(CliContext& context)
{
    PhoneBookChoice choice;
    if (!choice.Parse(context.args.Value(QStringLiteral("--memory"), QStringLiteral("SM"))))
        return context.Fail(QStringLiteral("--memory is SM or ME"), 2);

    CPhoneBookConnection connection;
    PhoneBookMemory book;
    ExtractorContactArray entries;
    if (const int status = choice.ConnectAndRead(context, connection, book, entries))
        return status;
    const int location = FindFreeIndex(entries, choice.memory, book.firstIndex, book.memorySize);
    if (location == NoFreeLocation)
        return context.Fail(QStringLiteral("the %1 phone book is full: no location for the trial entry").arg(choice.name));

    CSizeProbe probe(*book.store, location);
    const SizeProbeResult name = probe.Probe(CSizeProbe::Part::Name, book.store->GetMaxNameSize());
    const SizeProbeResult number = probe.Probe(CSizeProbe::Part::Number, book.store->GetMaxNumberSize());
    if (!name.deleted || !number.deleted)
        return context.Fail(QStringLiteral("the trial entry at %1 location %2 could not be deleted").arg(choice.name).arg(location));
    if (!name.found || !number.found)
        return context.Fail(QStringLiteral("the %1 phone book took no trial %2").arg(choice.name, name.found ? QStringLiteral("number") : QStringLiteral("name")));

    if (context.Json())
        context.PrintJson(QJsonDocument(QJsonObject{{QStringLiteral("memory"), choice.name},
                                                    {QStringLiteral("max_name"), name.length},
                                                    {QStringLiteral("max_name_ucs2"), CharacterLimit(NameScript::Ucs2, name.length)},
                                                    {QStringLiteral("max_number"), number.length}}));
    else
        context.Print(QStringLiteral("%1: name %2 characters (GSM alphabet), %3 (UCS2), number %4 characters")
                          .arg(choice.name)
                          .arg(name.length)
                          .arg(CharacterLimit(NameScript::Ucs2, name.length))
                          .arg(number.length));
    return 0;
}
