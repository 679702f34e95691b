// tessaly-cli phonebook: reads and writes one phone book of the device
// through its store, as the application does.

#include "gsmcore/charset/AlphaField.h"
#include "gsmcore/phonebook/DialNumberCheck.h"
#include "gsmcore/phonebook/PhoneBookConnection.h"
#include "gsmcore/phonebook/PhoneBookReplies.h"
#include "gsmcore/phonebook/SIMExtractor.h"
#include "tools/cli/CliContext.h"

#include <QJsonArray>
#include <QJsonObject>

#include <set>

namespace {

QJsonObject EntryJson(const CExtractorContact& entry, const QString& memory)
{
    return QJsonObject{{QStringLiteral("index"), entry.m_Index},
                       {QStringLiteral("name"), entry.m_Name},
                       {QStringLiteral("number"), entry.m_Number},
                       {QStringLiteral("memory"), memory}};
}

QJsonObject InfoJson(CNumberExtractor& store, const QString& memory)
{
    const int first = store.GetFirstIndex();
    return QJsonObject{{QStringLiteral("memory"), memory},
                       {QStringLiteral("first"), first},
                       {QStringLiteral("last"), store.GetMemorySize() > 0 ? first + store.GetMemorySize() - 1 : 0},
                       {QStringLiteral("max_name"), store.GetMaxNameSize()},
                       {QStringLiteral("max_name_ucs2"), CharacterLimit(NameScript::Ucs2, store.GetMaxNameSize())},
                       {QStringLiteral("max_number"), store.GetMaxNumberSize()}};
}

// The first location of the store that holds no entry; -1 when full.
int FirstFreeLocation(CNumberExtractor& store, const ExtractorContactArray& entries)
{
    std::set<int> used;
    for (const auto& e : entries)
        used.insert(e->m_Index);
    const int first = store.GetFirstIndex();
    for (int location = first; location < first + store.GetMemorySize(); ++location) {
        if (!used.count(location))
            return location;
    }
    return -1;
}

// Why a listing stopped short, after the entries it gave.
QString IncompleteReadMessage(CNumberExtractor& store, size_t count)
{
    const auto* device = dynamic_cast<CSIMExtractor*>(&store);
    const QString failure = device ? device->GetReadFailure() : QString();
    if (failure.isEmpty())
        return QStringLiteral("incomplete: the device stopped answering after %1 entries").arg(count);
    return QStringLiteral("incomplete: the device answered \"%1\" after %2 entries").arg(failure).arg(count);
}

// phonebook add and modify, the arguments already checked: writes what is
// given; modify keeps the half it is not given as the device holds it.
int WriteEntry(CliContext& context, CNumberExtractor& store, const QString& memory, int index, bool adds)
{
    const bool hasName = context.args.Has(QStringLiteral("--name"));
    const bool hasNumber = context.args.Has(QStringLiteral("--number"));
    const bool sim = memory == QLatin1String("SM");
    QString name = context.args.Value(QStringLiteral("--name"));
    QString number = context.args.Value(QStringLiteral("--number"));
    if (!adds && !(hasName && hasNumber)) {
        // Only what is given changes: the other half is read from the device
        // and must go back exactly as it is.
        QString storedName, storedNumber;
        if (!store.Get(index, storedName, storedNumber))
            return context.Fail(QStringLiteral("location %1 of %2 cannot be read (empty?): nothing written").arg(index).arg(memory));
        if (!hasName)
            name = storedName;
        if (!hasNumber)
            number = storedNumber;
        const bool nameKept = hasName || (IsWritableName(name) && store.StoredName(name) == name);
        const bool numberKept = hasNumber || (IsWritableNumber(number) && FilterNumber(number) == number);
        if (!nameKept || !numberKept)
            return context.Fail(QStringLiteral("location %1 of %2 cannot be written back as it is; give both --name and --number")
                                    .arg(index).arg(memory));
    }
    if (name.isEmpty() && number.isEmpty())
        return context.Fail(QStringLiteral("nothing would be left of location %1; use phonebook delete").arg(index));
    if (index < 0) {
        ExtractorContactArray entries;
        if (!store.GetAll(entries))
            return context.Fail(QStringLiteral("reading the %1 phone book failed").arg(memory));
        index = FirstFreeLocation(store, entries);
        if (index < 0)
            return context.Fail(QStringLiteral("the %1 phone book is full").arg(memory));
    }
    if (const QString problem = store.NameProblem(name); !problem.isEmpty())
        return context.Fail(problem);
    if (hasName && !NameFits(name, store.GetMaxNameSize())) {
        const NameScript script = ScriptOf(name);
        return context.Fail(QStringLiteral("the name is longer than the %1 characters (%2) %3 takes")
                                .arg(CharacterLimit(script, store.GetMaxNameSize()))
                                .arg(ScriptLabel(script), memory));
    }
    const bool written = adds ? store.Add(index, name, number) : store.Modify(index, name, number);
    if (!written)
        return context.Fail(QStringLiteral("writing location %1 of %2 was refused").arg(index).arg(memory));
    if (context.Json())
        context.PrintJson(QJsonDocument(EntryJson(CExtractorContact(name, number, index, sim ? MEMORY_SIM : MEMORY_PHONE), memory)));
    else
        context.Print(QStringLiteral("Written to %1 location %2").arg(memory).arg(index));
    return 0;
}

}  // namespace

int RunPhoneBook(CliContext& context)
{
    const QString action = context.args.Word(1);
    if (action == QLatin1String("export"))
        return RunPhoneBookExport(context);
    if (action == QLatin1String("import"))
        return RunPhoneBookImport(context);
    if (action == QLatin1String("move"))
        return RunPhoneBookMove(context);
    if (action == QLatin1String("detect-sizes"))
        return RunPhoneBookDetectSizes(context);
    if (action == QLatin1String("to-contacts"))
        return RunPhoneBookToContacts(context);
    static const QStringList actions = {QStringLiteral("info"), QStringLiteral("list"), QStringLiteral("get"),
                                        QStringLiteral("add"), QStringLiteral("modify"), QStringLiteral("delete")};
    if (!actions.contains(action)) {
        static const QStringList every = actions + QStringList{QStringLiteral("move"), QStringLiteral("detect-sizes"),
                                                               QStringLiteral("to-contacts"), QStringLiteral("export"),
                                                               QStringLiteral("import")};
        return context.Fail(QStringLiteral("phonebook needs one of: %1").arg(every.join(QStringLiteral(", "))), 2);
    }
    const QString memory = context.args.Value(QStringLiteral("--memory"), QStringLiteral("SM")).toUpper();
    if (memory != QLatin1String("SM") && memory != QLatin1String("ME"))
        return context.Fail(QStringLiteral("--memory is SM or ME"), 2);
    int index = -1;
    if (!context.args.IntValue(QStringLiteral("--index"), index))
        return context.Fail(QStringLiteral("--index needs a number"), 2);
    const bool needsIndex = action == QLatin1String("get") || action == QLatin1String("modify") || action == QLatin1String("delete");
    if (needsIndex && index < 0)
        return context.Fail(QStringLiteral("phonebook %1 needs --index N").arg(action), 2);
    const bool adds = action == QLatin1String("add");
    const bool hasName = context.args.Has(QStringLiteral("--name"));
    const bool hasNumber = context.args.Has(QStringLiteral("--number"));
    const QString givenName = context.args.Value(QStringLiteral("--name"));
    const QString givenNumber = context.args.Value(QStringLiteral("--number"));
    if (adds && (givenName.isEmpty() || givenNumber.isEmpty()))
        return context.Fail(QStringLiteral("phonebook add needs a --name and a --number"));
    if (action == QLatin1String("modify") && !hasName && !hasNumber)
        return context.Fail(QStringLiteral("phonebook modify needs --name, --number or both"), 2);
    if (!IsWritableNumber(givenNumber))
        return context.Fail(RefusedNumberMessage(givenNumber));
    if (!IsWritableName(givenName))
        return context.Fail(QStringLiteral("a name cannot hold a line break or a double quote"));

    CPhoneBookConnection connection;
    if (const int status = context.Connect(connection))
        return status;
    const bool sim = memory == QLatin1String("SM");
    CNumberExtractor* store = sim ? connection.GetSimStore() : connection.GetPhoneStore();
    if (!store || !(sim ? connection.IsSimReady() : connection.IsPhoneReady()))
        return context.Fail(QStringLiteral("the device has no usable %1 phone book").arg(memory));
    // Failures are told once, by the command's own line.
    store->DisableErrorMessages();

    if (action == QLatin1String("info")) {
        const QJsonObject info = InfoJson(*store, memory);
        if (context.Json()) {
            context.PrintJson(QJsonDocument(info));
        } else {
            context.Print(QStringLiteral("Memory:      %1").arg(memory));
            context.Print(QStringLiteral("Locations:   %1-%2").arg(info[QStringLiteral("first")].toInt()).arg(info[QStringLiteral("last")].toInt()));
            context.Print(QStringLiteral("Max name:    %1 (GSM alphabet), %2 (UCS2)")
                              .arg(store->GetMaxNameSize())
                              .arg(CharacterLimit(NameScript::Ucs2, store->GetMaxNameSize())));
            context.Print(QStringLiteral("Max number:  %1").arg(store->GetMaxNumberSize()));
        }
        return 0;
    }
    if (action == QLatin1String("list")) {
        ExtractorContactArray entries;
        const bool complete = store->GetAll(entries);
        if (context.Json()) {
            QJsonObject doc = InfoJson(*store, memory);
            QJsonArray list;
            for (const auto& e : entries)
                list.append(EntryJson(*e, memory));
            doc[QStringLiteral("entries")] = list;
            context.PrintJson(QJsonDocument(doc));
        } else {
            for (const auto& e : entries)
                context.Print(QStringLiteral("%1  %2  %3").arg(e->m_Index, 4).arg(e->m_Number, -22).arg(e->m_Name));
        }
        return complete ? 0 : context.Fail(IncompleteReadMessage(*store, entries.size()));
    }
    if (action == QLatin1String("get")) {
        QString name, number;
        if (!store->Get(index, name, number))
            return context.Fail(QStringLiteral("location %1 of %2 cannot be read (empty?)").arg(index).arg(memory));
        if (context.Json())
            context.PrintJson(QJsonDocument(EntryJson(CExtractorContact(name, number, index, sim ? MEMORY_SIM : MEMORY_PHONE), memory)));
        else
            context.Print(QStringLiteral("%1  %2  %3").arg(index, 4).arg(number, -22).arg(name));
        return 0;
    }
    if (action == QLatin1String("delete")) {
        if (!store->Delete(index))
            return context.Fail(QStringLiteral("deleting location %1 of %2 failed").arg(index).arg(memory));
        return 0;
    }
    return WriteEntry(context, *store, memory, index, adds);
}
