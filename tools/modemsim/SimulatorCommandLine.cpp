#include "tools/modemsim/SimulatorCommandLine.h"

#include "tools/modemsim/DeviceModels.h"
#include "tools/modemsim/SimPhoneBook.h"

#include <QFileInfo>

#include <algorithm>
#include <iterator>

namespace {

bool ReadInt(const QString& text, int min, int max, int& out)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < min || value > max)
        return false;
    out = value;
    return true;
}

}  // namespace

QString SimulatorHelpText()
{
    return QStringLiteral(
        "Usage: tessaly-modemsim [options]\n"
        "A GSM modem (3GPP TS 27.007/27.005) on a pseudo-terminal. The first line printed\n"
        "is the device path to open as the serial port. Runs until SIGINT/SIGTERM or until\n"
        "standard input closes.\n"
        "\n"
        "  --link PATH            also make a symbolic link PATH to the device\n"
        "  --model TEXT           the +CGMM answer (\\n separates several lines)\n"
        "  --device-type N        play device type N of the identification table\n"
        "  --list-device-types    print the device types and their model answers\n"
        "  --baud N               pace the output at N baud (10 bits per byte)\n"
        "  --ports N              N AT ports onto the one modem, one device line each;\n"
        "                         unsolicited codes come on the first\n"
        "  --fill-sim N           fill N SIM phone book locations\n"
        "  --fill-phone N         fill N phone memory locations\n"
        "  --seed N               seed of the generated entries (default 1)\n"
        "  --sim-limits TEXT      SIM range and lengths, e.g. \"(1-250),40,18\"\n"
        "  --phone-limits TEXT    phone memory range and lengths\n"
        "  --state FILE.json      load the modem's state at start (the options given here\n"
        "                         win over it), save it on exit\n"
        "  --numeric              start in numeric result mode (V0)\n"
        "  --cmee N               initial +CMEE (0 ERROR, 1 numeric, 2 verbose; default 1)\n"
        "  --empty-read-ok        reading one empty location answers OK, not +CME ERROR: 22\n"
        "  --no-ucs2              a phone without the UCS2 character set\n"
        "  --no-echo              fault: never echo commands\n"
        "  --silent               fault: never answer\n"
        "  --delay-ms N           fault: wait N ms before every answer\n"
        "  --cme-error CMD=N      fault: answer CMD (a command prefix like +CPBR) with +CME ERROR: N\n"
        "  --dial-answer WHAT     how a dialled number answers: pick-up (default), ring\n"
        "                         (until hung up), busy, no-carrier or no-answer\n"
        "  --no-stdin             do not stop when standard input closes\n"
        "  --version              the program's version\n"
        "  --help                 this text\n");
}

QString DeviceTypeListing()
{
    QString text;
    for (const DeviceModel& row : DeviceModelTable()) {
        text += QStringLiteral("%1\t\"%2\"\t%3\t%4\n")
                    .arg(row.type)
                    .arg(row.model, row.storages.join(QLatin1Char(',')), row.description);
    }
    return text;
}

std::optional<SimulatorCommandLine> ParseSimulatorCommandLine(const QStringList& arguments, QString* error)
{
    SimulatorCommandLine line;
    auto fail = [&](const QString& text) {
        if (error)
            *error = text;
        return std::nullopt;
    };
    for (int i = 1; i < arguments.size(); ++i) {
        QString option = arguments[i];
        QString value;
        bool hasInlineValue = false;
        if (option.startsWith(QLatin1String("--")) && option.contains(QLatin1Char('='))) {
            const int eq = static_cast<int>(option.indexOf(QLatin1Char('=')));
            value = option.mid(eq + 1);
            option = option.left(eq);
            hasInlineValue = true;
        }
        auto takeValue = [&]() -> std::optional<QString> {
            if (hasInlineValue)
                return value;
            if (i + 1 >= arguments.size())
                return std::nullopt;
            return arguments[++i];
        };
        auto takeInt = [&](int min, int max, int& out) {
            const auto text = takeValue();
            return text && ReadInt(*text, min, max, out);
        };

        if (option == QLatin1String("--help") || option == QLatin1String("-h")) {
            line.help = true;
        } else if (option == QLatin1String("--version")) {
            line.version = true;
        } else if (option == QLatin1String("--list-device-types")) {
            line.listDeviceTypes = true;
        } else if (option == QLatin1String("--no-echo")) {
            line.noEcho = true;
        } else if (option == QLatin1String("--silent")) {
            line.silent = true;
        } else if (option == QLatin1String("--numeric")) {
            line.options.verbose = false;
            line.numericGiven = true;
        } else if (option == QLatin1String("--empty-read-ok")) {
            line.options.emptyLocationAnswersOk = true;
            line.emptyReadOkGiven = true;
        } else if (option == QLatin1String("--no-ucs2")) {
            line.options.offersUcs2 = false;
            line.noUcs2Given = true;
        } else if (option == QLatin1String("--no-stdin")) {
            line.watchStdin = false;
        } else if (option == QLatin1String("--link")) {
            const auto text = takeValue();
            if (!text || text->isEmpty())
                return fail(QStringLiteral("--link needs a path"));
            line.link = *text;
        } else if (option == QLatin1String("--model")) {
            const auto text = takeValue();
            if (!text)
                return fail(QStringLiteral("--model needs a text"));
            QString model = *text;
            model.replace(QLatin1String("\\n"), QLatin1String("\n"));
            line.model = model;
        } else if (option == QLatin1String("--device-type")) {
            int type = 0;
            if (!takeInt(0, 99, type) || !DeviceModelForType(type))
                return fail(QStringLiteral("--device-type needs a known type (see --list-device-types)"));
            line.deviceType = type;
        } else if (option == QLatin1String("--dial-answer")) {
            static const std::pair<const char*, DialAnswer> answers[] = {
                {"pick-up", DialAnswer::PickUp}, {"ring", DialAnswer::Ring}, {"busy", DialAnswer::Busy},
                {"no-carrier", DialAnswer::NoCarrier}, {"no-answer", DialAnswer::NoAnswer}};
            const auto text = takeValue();
            const auto* found = std::find_if(std::begin(answers), std::end(answers), [&](const auto& a) {
                return text && *text == QLatin1String(a.first);
            });
            if (found == std::end(answers))
                return fail(QStringLiteral("--dial-answer needs pick-up, ring, busy, no-carrier or no-answer"));
            line.dialAnswer = found->second;
        } else if (option == QLatin1String("--ports")) {
            if (!takeInt(1, 8, line.options.ports))
                return fail(QStringLiteral("--ports needs a count from 1 to 8"));
        } else if (option == QLatin1String("--baud")) {
            if (!takeInt(0, 4000000, line.options.baud))
                return fail(QStringLiteral("--baud needs a rate from 0 to 4000000"));
        } else if (option == QLatin1String("--fill-sim")) {
            if (!takeInt(0, 100000, line.fillSim))
                return fail(QStringLiteral("--fill-sim needs a count"));
        } else if (option == QLatin1String("--fill-phone")) {
            if (!takeInt(0, 100000, line.fillPhone))
                return fail(QStringLiteral("--fill-phone needs a count"));
        } else if (option == QLatin1String("--seed")) {
            const auto text = takeValue();
            bool ok = false;
            const quint64 seed = text ? text->toULongLong(&ok) : 0;
            if (!ok)
                return fail(QStringLiteral("--seed needs a number"));
            line.seed = seed;
        } else if (option == QLatin1String("--sim-limits") || option == QLatin1String("--phone-limits")) {
            const auto text = takeValue();
            if (!text || !SimBookLimits::fromText(*text))
                return fail(QStringLiteral("%1 needs limits like \"(1-250),40,18\"").arg(option));
            (option == QLatin1String("--sim-limits") ? line.simLimits : line.phoneLimits) = *text;
        } else if (option == QLatin1String("--state")) {
            const auto text = takeValue();
            if (!text || text->isEmpty())
                return fail(QStringLiteral("--state needs a file"));
            line.stateFile = *text;
        } else if (option == QLatin1String("--delay-ms")) {
            if (!takeInt(0, 600000, line.delayMs))
                return fail(QStringLiteral("--delay-ms needs a number of milliseconds"));
        } else if (option == QLatin1String("--cmee")) {
            if (!takeInt(0, 2, line.options.cmee))
                return fail(QStringLiteral("--cmee needs 0, 1 or 2"));
            line.cmeeGiven = true;
        } else if (option == QLatin1String("--cme-error")) {
            const auto text = takeValue();
            const qsizetype eq = text ? text->lastIndexOf(QLatin1Char('=')) : -1;
            int code = 0;
            if (!text || eq <= 0 || !ReadInt(text->mid(eq + 1), 0, 65535, code))
                return fail(QStringLiteral("--cme-error needs COMMAND=CODE, e.g. +CPBR=22"));
            line.cmeErrors.emplace_back(text->left(eq), code);
        } else {
            return fail(QStringLiteral("unknown option %1 (see --help)").arg(arguments[i]));
        }
    }
    return line;
}

QString SimStorageOf(const ModemSimulator& simulator)
{
    const QStringList storages = simulator.storages();
    return storages.contains(QStringLiteral("SM")) ? QStringLiteral("SM") : storages.value(0);
}

QString PhoneStorageOf(const ModemSimulator& simulator)
{
    return simulator.storages().contains(QStringLiteral("ME")) ? QStringLiteral("ME") : QString();
}

bool ApplySimulatorCommandLine(const SimulatorCommandLine& line, ModemSimulator& simulator, QString* error)
{
    auto fail = [&](const QString& text) {
        if (error)
            *error = text;
        return false;
    };
    // The state file comes first: what is said on the command line wins
    // over what was saved. A state file that does not exist yet is created
    // at exit.
    if (!line.stateFile.isEmpty() && QFileInfo::exists(line.stateFile)) {
        QString why;
        if (!simulator.loadState(line.stateFile, &why))
            return fail(QStringLiteral("cannot load %1: %2").arg(line.stateFile, why));
    }
    if (line.numericGiven || line.cmeeGiven) {
        const ModemSimulator::Options now = simulator.currentOptions();
        simulator.setPowerOnSettings(now.echo, line.numericGiven ? false : now.verbose,
                                     line.cmeeGiven ? line.options.cmee : now.cmee);
    }
    if (line.emptyReadOkGiven)
        simulator.setEmptyLocationAnswersOk(true);
    if (line.noUcs2Given)
        simulator.setOffersUcs2(false);
    if (line.deviceType && !simulator.setDeviceType(*line.deviceType))
        return fail(QStringLiteral("unknown device type %1").arg(*line.deviceType));
    if (line.model)
        simulator.setModel(*line.model);
    if (!line.simLimits.isEmpty() && !simulator.setPhoneBookLimits(SimStorageOf(simulator), line.simLimits))
        return fail(QStringLiteral("cannot set the SIM limits %1").arg(line.simLimits));
    if (!line.phoneLimits.isEmpty()) {
        const QString phone = PhoneStorageOf(simulator);
        if (phone.isEmpty() || !simulator.setPhoneBookLimits(phone, line.phoneLimits))
            return fail(QStringLiteral("this device has no phone memory for --phone-limits"));
    }
    if (line.fillSim > 0)
        simulator.fillPhoneBook(SimStorageOf(simulator), line.fillSim, line.seed);
    if (line.fillPhone > 0) {
        const QString phone = PhoneStorageOf(simulator);
        if (phone.isEmpty())
            return fail(QStringLiteral("this device has no phone memory for --fill-phone"));
        // A different seed, so the two books do not hold the same entries.
        simulator.fillPhoneBook(phone, line.fillPhone, line.seed + 0x9e3779b9ULL);
    }
    simulator.setDropEcho(line.noEcho);
    simulator.setSilent(line.silent);
    simulator.setReplyDelayMs(line.delayMs);
    for (const auto& [command, code] : line.cmeErrors)
        simulator.setCmeErrorFor(command, code);
    simulator.setDialAnswer(line.dialAnswer);
    return true;
}
