// tessaly-cli contacts: the contacts store (a folder of vCards).

#include "contactlist/ContactsCommands.h"
#include "tools/cli/CliContext.h"

int RunContacts(CliContext& context)
{
    const QString action = context.args.Word(1);
    const QString argument = context.args.Word(2);
    ContactsCommandResult result;
    if (action == QLatin1String("list")) {
        result = ContactsListCommand(context.Json());
    } else if (action == QLatin1String("lookup") || action == QLatin1String("import") || action == QLatin1String("export")) {
        if (argument.isEmpty())
            return context.Fail(QStringLiteral("contacts %1 needs %2").arg(action, action == QLatin1String("lookup") ? QStringLiteral("a number") : QStringLiteral("a file")), 2);
        result = action == QLatin1String("lookup") ? ContactsLookupCommand(argument)
                 : action == QLatin1String("import") ? ContactsImportCommand(argument)
                                                     : ContactsExportCommand(argument);
    } else {
        return context.Fail(QStringLiteral("contacts needs list, lookup, import or export"), 2);
    }
    context.out += result.output;
    if (!result.error.isEmpty())
        context.Fail(result.error.trimmed(), result.exitCode);
    return result.exitCode;
}
