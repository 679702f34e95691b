// tessaly-cli phonebook move: one entry to the other memory, the way the
// window's Move to Phone / Move to SIM does it.

#include "gsmcore/phonebook/EntryMove.h"
#include "tools/cli/CliContext.h"
#include "tools/cli/PhoneBookMemoryChoice.h"

#include <QJsonObject>

int RunPhoneBookMove(CliContext& context)
{
    PhoneBookChoice from, to;
    if (!from.Parse(context.args.Value(QStringLiteral("--from"))) || !to.Parse(context.args.Value(QStringLiteral("--to")))
        || from.memory == to.memory)
        return context.Fail(QStringLiteral("phonebook move needs --from SM --to ME or --from ME --to SM"), 2);
    int index = -1;
    if (!context.args.IntValue(QStringLiteral("--index"), index) || index < 0)
        return context.Fail(QStringLiteral("phonebook move needs --index N"), 2);

    CPhoneBookConnection connection;
    if (const int status = context.Connect(connection))
        return status;
    const PhoneBookMemory source = from.Memory(connection);
    const PhoneBookMemory destination = to.Memory(connection);
    if (!source.store || !destination.store)
        return context.Fail(QStringLiteral("the device has no usable %1 phone book").arg(source.store ? to.name : from.name));
    // Failures are told once, by the move's own message.
    source.store->DisableErrorMessages();
    destination.store->DisableErrorMessages();

    QString name, number;
    if (!source.store->Get(index, name, number))
        return context.Fail(QStringLiteral("location %1 of %2 cannot be read (empty?)").arg(index).arg(from.name));
    // The target's entries tell where the free location is.
    ExtractorContactArray entries;
    if (!destination.store->GetAll(entries))
        return context.Fail(QStringLiteral("reading the %1 phone book failed").arg(to.name));
    entries.push_back(std::make_unique<CExtractorContact>(name, number, index, from.memory));
    const size_t position = entries.size() - 1;

    const MoveResult result = MoveEntries(entries, {position}, to.memory, source, destination);
    if (result.stop == MoveResult::Stop::DeleteFailed)
        return context.Fail(QStringLiteral("the entry is now on both memories: %1 location %2 and %3 location %4")
                                .arg(from.name).arg(index).arg(to.name).arg(result.stoppedTargetIndex));
    if (result.moved.empty())
        return 1;  // the move's message said why
    const int newIndex = entries[position]->m_Index;
    if (context.Json())
        context.PrintJson(QJsonDocument(QJsonObject{{QStringLiteral("from"), from.name},
                                                    {QStringLiteral("index"), index},
                                                    {QStringLiteral("to"), to.name},
                                                    {QStringLiteral("new_index"), newIndex}}));
    else
        context.Print(QStringLiteral("Moved %1 location %2 to %3 location %4").arg(from.name).arg(index).arg(to.name).arg(newIndex));
    return 0;
}
