#include "tools/cli/Cli.h"

#include "support/AppMessages.h"
#include "support/Version.h"
#include "tools/cli/CliContext.h"
#include "tools/cli/CliMessageHandler.h"
#include "tools/cli/CliTraceHandler.h"

namespace {

const char kUsage[] =
    "Usage: tessaly-cli [--port PATH] [--speed N] [--trace] COMMAND ... [--json]\n"
    "\n"
    "Commands:\n"
    "  identify                         open the device, tell its type, model and phone books\n"
    "  phonebook info|list|get|add|modify|delete --memory SM|ME [--index N] [--name TEXT] [--number TEXT]\n"
    "  phonebook move --from SM|ME --to ME|SM --index N\n"
    "  phonebook detect-sizes --memory SM|ME | to-contacts --memory SM|ME|all\n"
    "  phonebook export --memory SM|ME|all FILE.vcf | import FILE.vcf --memory SM|ME\n"
    "  pdu decode HEX                   read an SMS PDU (deliver, submit or status report)\n"
    "  pdu encode --to NUMBER --text TEXT [--smsc N] [--dcs 0|4|8] [--status-report] [--validity V]\n"
    "  sms send --to NUMBER --text TEXT  send a short message through the device\n"
    "  sms list                         the stored messages, decoded, long ones joined\n"
    "  contacts list | lookup NUMBER | import FILE.vcf | export FILE.vcf\n"
    "  call dial NUMBER | answer | hangup | status   place, answer and end voice calls\n"
    "  watch                            calls, messages and registration, with names\n"
    "\n"
    "--port PATH is the device (a serial port such as /dev/ttyUSB0, or 99 for the\n"
    "simulated phone books); without it the connection stored by the application\n"
    "is used. --json prints one JSON document. --trace writes what is said to the\n"
    "device (and every other trace message) to standard error.\n"
    "'tessaly-cli COMMAND --help' tells more; the manual page is tessaly-cli(1).\n";

const char kIdentifyHelp[] =
    "Usage: tessaly-cli [--port PATH] [--speed N] identify [--json]\n"
    "Opens the device as the application does (reset with &FV1E1, identification with\n"
    "+CGMM, otherwise the storages from +CPBS=?) and prints the device type, the model\n"
    "line and the phone book storages found (empty when the device lacks one).\n";

const char kPhoneBookHelp[] =
    "Usage: tessaly-cli [--port PATH] [--speed N] phonebook ACTION --memory SM|ME [options] [--json]\n"
    "  info                              locations and the longest name and number\n"
    "  list                              every entry\n"
    "  get --index N                     one entry\n"
    "  add [--index N] --name T --number N   write an entry (first free location without --index)\n"
    "  modify --index N [--name T] [--number N]  change what is given, keep the rest\n"
    "  delete --index N                  empty a location\n"
    "  move --from SM|ME --to ME|SM --index N   to the first free location of the other\n"
    "                                    memory, then deleted where it was\n"
    "  detect-sizes                      the longest name and number the memory takes, found\n"
    "                                    by trial writes to its first free location\n"
    "  to-contacts --memory SM|ME|all    copy the entries into Contacts; an entry whose name\n"
    "                                    and number a contact already has is not copied again\n"
    "  export --memory SM|ME|all FILE.vcf  one vCard 3.0 per entry (UID, FN, N, TEL,\n"
    "                                    X-TESSALY-MEMORY, X-TESSALY-INDEX); an unchanged\n"
    "                                    phone gives the same file\n"
    "  import FILE.vcf --memory SM|ME    each card's name and first number into a free\n"
    "                                    location; entries already there are skipped, a\n"
    "                                    number too long for the memory is not imported\n"
    "Numbers may hold digits, + (first), * # p w and the separators blank - . ( ) /,\n"
    "which are dropped; P and W are written in lower case. Any other character, or\n"
    "separators alone, refuse the number and nothing is written. A leading + makes\n"
    "it international.\n";

const char kPduHelp[] =
    "Usage: tessaly-cli pdu decode HEX [--json]\n"
    "       tessaly-cli pdu encode --to NUMBER --text TEXT [--smsc NUMBER] [--dcs 0|4|8]\n"
    "                              [--status-report] [--validity V] [--json]\n"
    "decode reads a deliver, submit or status report PDU (with its service centre part)\n"
    "and prints every field and element. encode prints one PDU per part with the length\n"
    "that +CMGS wants; the coding is the GSM alphabet when every character has a code\n"
    "there, UCS2 otherwise, unless --dcs says. --validity: none, a relative octet\n"
    "0-255, 30m, 12h, 2d, 1w, or an ISO 8601 date and time.\n";

const char kSmsHelp[] =
    "Usage: tessaly-cli [--port PATH] sms send --to NUMBER --text TEXT [--smsc NUMBER]\n"
    "                   [--dcs 0|4|8] [--status-report] [--validity V]\n"
    "       tessaly-cli [--port PATH] sms list [--json]\n"
    "send sends the message in PDU mode, in as many parts as it needs. Exit status 0\n"
    "when the device answered every part with +CMGS.\n"
    "list prints every stored message (+CMGL), decoded, the parts of a long message\n"
    "joined, with the sender's name when a contact has the number.\n";

const char kContactsHelp[] =
    "Usage: tessaly-cli contacts list [--json]\n"
    "       tessaly-cli contacts lookup NUMBER\n"
    "       tessaly-cli contacts import FILE.vcf\n"
    "       tessaly-cli contacts export FILE.vcf\n"
    "The contacts are the vCard files of $TESSALY_CONTACTS (default\n"
    "$XDG_DATA_HOME/tessaly/contacts). lookup prints the name a number belongs to\n"
    "(exit 1 when none); a number that several contacts share prints the name of\n"
    "each, one per line (exit 0).\n";

const char kCallHelp[] =
    "Usage: tessaly-cli [--port PATH] [--speed N] call dial NUMBER [--json]\n"
    "       tessaly-cli [--port PATH] [--speed N] call answer|hangup|status [--json]\n"
    "  dial NUMBER   places a voice call and prints its state once the device has\n"
    "                answered the dial (dialing, alerting or active); busy, no answer,\n"
    "                no carrier or an error: exit 1 with the reason. The number passes\n"
    "                the phone book's number check: nothing is dialled otherwise.\n"
    "  answer        answers the ringing call; exit 1 with \"no incoming call\"\n"
    "  hangup        ends the call (ATH, or +CHUP where ATH leaves a voice call);\n"
    "                exit 0 also when there was none, saying so\n"
    "  status        the current call from the device (+CLCC, or its activity\n"
    "                status where it lacks one), with the contact's name\n";

const char kWatchHelp[] =
    "Usage: tessaly-cli [--port PATH] [--speed N] watch [--json]\n"
    "Turns on the caller number (+CLIP=1), new message indications (+CNMI, PDU mode)\n"
    "and registration reports (+CREG=1), then prints one line per event until SIGINT\n"
    "or SIGTERM (exit 0) or until the device goes away (exit 1): a ring (once per call)\n"
    "with the number and the contact's name, the end of a call, a new message (a long\n"
    "one when its last part arrives) with its sender's name, a registration status,\n"
    "and the state of every call as the device reports it: dialing, alerting, active,\n"
    "ended (also of calls placed by other programs on another port of the device).\n";

const QStringList kValued = {QStringLiteral("--port"), QStringLiteral("--speed"), QStringLiteral("--memory"),
                             QStringLiteral("--index"), QStringLiteral("--from"), QStringLiteral("--name"), QStringLiteral("--number"),
                             QStringLiteral("--to"), QStringLiteral("--text"), QStringLiteral("--smsc"),
                             QStringLiteral("--dcs"), QStringLiteral("--validity")};

// Options every command takes; each command lists its own beside them.
const QStringList kCommonOptions = {QStringLiteral("--port"), QStringLiteral("--speed"), QStringLiteral("--trace"),
                                    QStringLiteral("--json"), QStringLiteral("--help"), QStringLiteral("--version")};
const char kMessageOptions[] = "--to --text --smsc --dcs --status-report --validity";

struct Command {
    const char* name;
    int (*run)(CliContext&);
    const char* help;
    const char* options;  // the command's own, blank-separated
};

const Command kCommands[] = {
    {"identify", &RunIdentify, kIdentifyHelp, ""},
    {"phonebook", &RunPhoneBook, kPhoneBookHelp, "--memory --index --name --number --from --to"},
    {"pdu", &RunPdu, kPduHelp, kMessageOptions},
    {"sms", &RunSms, kSmsHelp, kMessageOptions},
    {"contacts", &RunContacts, kContactsHelp, ""},
    {"watch", &RunWatch, kWatchHelp, ""},
    {"call", &RunCall, kCallHelp, ""},
};

// The first option the command does not know, or an empty string.
QString UnknownOption(const CliArguments& args, const Command* command)
{
    QStringList known = kCommonOptions;
    if (command)
        known += QString::fromLatin1(command->options).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString& option : args.Options()) {
        if (!known.contains(option))
            return option;
    }
    return QString();
}

}  // namespace

int RunCli(const QStringList& arguments, QString& out, QString& err)
{
    CliContext context{CliArguments(), out, err};
    QString error;
    if (!context.args.Parse(arguments, kValued, error))
        return context.Fail(error, 2);
    if (context.args.Has(QStringLiteral("--version"))) {
        out += QStringLiteral("tessaly-cli %1\n").arg(QLatin1String(TessalyVersion()));
        return 0;
    }
    const QString name = context.args.Word(0);
    const bool help = context.args.Has(QStringLiteral("--help"));
    const Command* command = nullptr;
    for (const Command& c : kCommands) {
        if (name == QLatin1String(c.name))
            command = &c;
    }
    if (!name.isEmpty() && name != QLatin1String("help") && !command)
        return context.Fail(QStringLiteral("unknown command '%1' (try --help)").arg(name), 2);
    if (const QString unknown = UnknownOption(context.args, command); !unknown.isEmpty())
        return context.Fail(QStringLiteral("unknown option %1 (try %2--help)").arg(unknown, command ? name + QLatin1Char(' ') : QString()), 2);

    if (context.args.Has(QStringLiteral("--trace")))
        CliTraceHandler::Install();
    if (!command) {
        out += QString::fromLatin1(kUsage);
        return help || name == QLatin1String("help") ? 0 : 2;
    }
    if (help) {
        out += QString::fromLatin1(command->help);
        return 0;
    }
    CAppMessages::Instance().SetMessageHandler(std::make_unique<CliMessageHandler>(err));
    struct Restore {
        ~Restore() { CAppMessages::Instance().SetMessageHandler(nullptr); }
    } restore;
    return command->run(context);
}
