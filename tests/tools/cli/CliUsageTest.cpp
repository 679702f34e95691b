#include "support/Version.h"
#include "tests/tools/cli/CliRun.h"

namespace {

using CliUsage = SimulatedPhoneCli;

// What tessaly-cli answers to each command line that needs no set-up:
// the exit status (0 done, 1 failed, 2 bad usage), a part of what it
// prints and a part of its complaint, which a failure always has. PORT is
// the simulated phone, whose SIM takes ten names of eight characters;
// TEMP/ and DATA/ are the test's folder and tests/data. Nothing is
// written to the phone, nor dialled.
TEST_F(CliUsage, EveryCommandLine)
{
    ASSERT_TRUE(simulator.setPhoneBookLimits(QStringLiteral("SM"), QStringLiteral("(1-10),20,8")));
    const QString version = QStringLiteral("tessaly-cli %1\n").arg(QLatin1String(TessalyVersion()));
    const struct {
        QStringList arguments;
        int status;
        QString out, err;
    } cases[] = {
        {{"--version"}, 0, version, ""},
        {{"phonebook", "list", "--version"}, 0, version, ""},
        {{"--help"}, 0, "Usage: tessaly-cli", ""},
        {{"-h"}, 0, "Usage: tessaly-cli", ""},
        {{"identify", "-h"}, 0, "Usage: tessaly-cli [--port PATH] [--speed N] identify", ""},
        {{"contacts", "lookup", "--help"}, 0, "several contacts share", ""},
        {{}, 2, "Usage: tessaly-cli", ""},
        {{"frobnicate"}, 2, "", "unknown command 'frobnicate'"},
        {{"launch"}, 2, "", "unknown command 'launch'"},
        {{"phonebook", "list", "--jsno"}, 2, "", "unknown option --jsno"},
        {{"--jsno"}, 2, "", "unknown option --jsno"},
        {{"watch", "--memory", "SM"}, 2, "", "unknown option --memory"},
        {{"contacts", "list", "--port=99", "--index", "3"}, 2, "", "unknown option --index"},
        {{"identify", "--port"}, 2, "", "option --port needs a value"},
        {{"--json=yes"}, 2, "", "option --json takes no value"},
        {{"--port", "99", "phonebook", "frobnicate"}, 2, "",
         "info, list, get, add, modify, delete, move, detect-sizes, to-contacts, export, import"},
        {{"--port", "99", "phonebook", "get", "--memory", "SM", "--index", "seven"}, 2, "", "--index needs a number"},
        {{"identify"}, 2, "", ""},  // no stored connection in a fresh registry
        {{"--port", "/dev/tessaly-none", "identify"}, 1, "", "/dev/tessaly-none does not exist"},
        {{"--port", "99", "phonebook", "list", "--memory", "ME"}, 0, "Gamma Test1", ""},  // the simulated phone books
        {{"--port", "PORT", "identify", "--json"}, 0,
         R"({"device_type":8,"model":"Nokia 6310","storages":{"phone":"ME","sim":"SM"}})", ""},

        // Phone books on the simulated phone: nothing is written.
        {{"--port", "PORT", "phonebook", "add", "--memory", "SM", "--index", "99", "--name", "X", "--number", "1"}, 1, "", ""},
        {{"--port", "PORT", "phonebook", "add", "--memory", "SM", "--name", "Far too long a name", "--number", "1"}, 1, "", ""},
        {{"--port", "PORT", "phonebook", "modify", "--memory", "SM", "--index", "2"}, 2, "", ""},
        {{"--port", "PORT", "phonebook", "get", "--memory", "SM"}, 2, "", ""},
        {{"--port", "PORT", "phonebook", "list", "--memory", "XX"}, 2, "", ""},
        {{"--port", "PORT", "phonebook", "rename"}, 2, "", ""},
        {{"--port", "PORT", "phonebook", "move", "--from", "SM", "--to", "SM", "--index", "4"}, 2, "", ""},
        {{"--port", "PORT", "phonebook", "move", "--from", "SM", "--to", "ME"}, 2, "", ""},
        {{"--port", "PORT", "phonebook", "to-contacts", "--memory", "XX"}, 2, "", ""},
        {{"--port", "PORT", "phonebook", "export", "--memory", "SM"}, 2, "", ""},
        {{"--port", "PORT", "phonebook", "export", "--memory", "XX", "TEMP/x.vcf"}, 2, "", ""},
        {{"--port", "PORT", "phonebook", "export", "--memory", "SM", "/nonexistent-folder/backup.vcf"}, 1, "", ""},
        {{"--port", "PORT", "phonebook", "import", "DATA/contacts/three-cards.vcf"}, 2, "", ""},  // no --memory
        {{"--port", "PORT", "phonebook", "import", "TEMP/none.vcf", "--memory", "SM"}, 1, "", ""},
        {{"--port", "PORT", "call", "hangup"}, 0, "No call to end.\n", ""},
        {{"--port", "PORT", "call", "status"}, 0, "idle\n", ""},
        {{"--port", "PORT", "call", "answer"}, 1, "", "no incoming call"},
        {{"--port", "PORT", "call", "dial", "0701x234"}, 1, "", "'x' (character 5) is not allowed"},
        {{"--port", "PORT", "call", "dial", "--"}, 1, "", "no digits"},
        {{"--port", "99", "sms", "send", "--to", "1", "--text", "x"}, 1, "", ""},
        {{"--port", "99", "sms", "list"}, 1, "", ""},

        // PDUs: whole PDUs and every reason one cannot be read are the SMS
        // tests' samples; here what the command makes of them.
        {{"pdu", "decode", "07916407058099f9 040B916407214365F70000301080610000000AE8329BFD4697D9EC37\n"}, 0,
         "type: deliver\nsmsc: +46705008999\naddress: +46701234567\nfirst_octet: 0x04\n", ""},
        {{"pdu", "decode", "00440B916407214365F7000030108061000000" "0E090402F5F60A03000110804E03"}, 0,
         "element: iei=4", ""},
        {{"pdu", "decode", "0003"}, 1, "", "tessaly-cli: The PDU is of the reserved message type 3\n"},
        {{"pdu", "decode", "zz"}, 1, "", "not hexadecimal digits"},
        {{"pdu", "decode"}, 2, "", ""},
        {{"pdu", "transmogrify"}, 2, "", ""},
        {{"pdu", "encode", "--to", "+46701234567", "--text", "hi", "--smsc", "+46705008999"}, 0,
         "AT+CMGS=16\n07916407058099F911000B916407214365F70000FF02E834\n", ""},
        {{"pdu", "encode", "--text", "hi"}, 2, "", ""},
        {{"pdu", "encode", "--to", "12ab", "--text", "hi"}, 1, "", ""},
        {{"pdu", "encode", "--to", "123", "--smsc", "+x", "--text", "hi"}, 1, "", ""},
        {{"pdu", "encode", "--to", "123", "--dcs", "3", "--text", "hi"}, 2, "", ""},
        {{"pdu", "encode", "--to", "123", "--dcs", "0", "--text", "€"}, 1, "", ""},
        {{"pdu", "encode", "--to", "123", "--dcs", "4", "--text", "Ж"}, 1, "", ""},
        {{"pdu", "encode", "--to", "123", "--dcs", "4", "--text", "é"}, 0, "04FF01E9\n", ""},
        {{"pdu", "encode", "--to", "123", "--dcs", "8", "--validity", "none", "--text", "hi"}, 0, "AT+CMGS=", ""},
        {{"pdu", "encode", "--to", "123", "--validity", "300", "--text", "hi"}, 1, "", ""},
        {{"pdu", "encode", "--to", "123", "--validity", "2030-01-02T03:04:05", "--text", "hi"}, 0, "AT+CMGS=", ""},

        {{"contacts", "import"}, 2, "", ""},
        {{"contacts", "import", "TEMP/nothing.vcf"}, 1, "", ""},
        {{"contacts", "import", "DATA/contacts/broken-no-end.vcf"}, 1, "", ""},
        {{"contacts", "export", "TEMP/no/such/dir/x.vcf"}, 1, "", ""},
        {{"contacts", "lookup", ""}, 2, "", ""},
    };
    for (const auto& c : cases) {
        QStringList arguments;
        for (QString argument : c.arguments) {
            if (argument == u"PORT")
                argument = port;
            else if (argument.startsWith(u"TEMP/"))
                argument.replace(0, 4, TestTempDir());
            else if (argument.startsWith(u"DATA/"))
                argument = TestDataPath(argument.mid(5));
            arguments << argument;
        }
        const std::string line = c.arguments.join(u' ').toStdString();
        const CliRun run = Cli(arguments);
        EXPECT_EQ(run.status, c.status) << line << ": " << run.err.toStdString();
        EXPECT_TRUE(run.out.contains(c.out)) << line << ": " << run.out.toStdString();
        EXPECT_TRUE(run.err.contains(c.err)) << line << ": " << run.err.toStdString();
        EXPECT_EQ(run.err.isEmpty(), c.status == 0 || c.arguments.isEmpty()) << line << ": " << run.err.toStdString();
    }
    EXPECT_TRUE(simulator.entries(QStringLiteral("SM")).empty());
    EXPECT_TRUE(simulator.receivedCommands().filter(QStringLiteral("ATD")).isEmpty());
}

}  // namespace
