// The pure parsers of the simulated modem: command line splitting,
// argument lists, PDU lengths and phone book limits.

#include "tools/modemsim/AtArguments.h"
#include "tools/modemsim/AtCommandLine.h"
#include "tools/modemsim/SimPhoneBook.h"
#include "tools/modemsim/SmsMessages.h"

#include <QByteArrayList>

#include <gtest/gtest.h>

#include <tuple>

namespace {

// Each command as "name[args]", joined with "|"; "malformed" for a line
// that does not split.
TEST(AtCommandLine, SplitsRealCommandLines)
{
    const std::pair<const char*, const char*> cases[] = {
        {"AT", ""},
        {"AT&FV1E1", "&F[]|V[1]|E[1]"},
        {"ATZ", "Z[]"},
        {"AT+CGMM", "+CGMM[]"},
        {"AT+CPBR=1,250", "+CPBR[=1,250]"},
        {"AT+CSCS=\"GSM\";+CPBS=\"SM\"", "+CSCS[=\"GSM\"]|+CPBS[=\"SM\"]"},
        {"AT+cscs=\"gsm\"", "+CSCS[=\"gsm\"]"},
        {"AT+CPBW=3,\"+46701;2\",145,\"a;b\"", "+CPBW[=3,\"+46701;2\",145,\"a;b\"]"},
        {"ATD0701234567;", "D[0701234567;]"},
        {"ATE1D+46701234567;", "E[1]|D[+46701234567;]"},
        {"ATS0=0", "S0[=0]"},
        {"AT*ECAM=1", "*ECAM[=1]"},
        {"AT+CKPD=\"E0123S\",0,5", "+CKPD[=\"E0123S\",0,5]"},
        {"AT+CSCS=\"GSM", "malformed"},
        {"AT+", "malformed"},
        {"AT+CGMM!x", "+CGMM!X[]"},
        {"AT+CPBR 1", "malformed"},
        {"ATS", "S[]"},  // a bare S is left to the command layer to refuse
    };
    for (const auto& [line, expected] : cases) {
        const auto commands = SplitCommandLine(StripAtPrefix(line).value());
        QByteArray described = commands ? "" : "malformed";
        for (const AtCommand& command : commands.value_or(std::vector<AtCommand>()))
            described += (described.isEmpty() ? "" : "|") + command.name + '[' + command.args + ']';
        EXPECT_EQ(described, QByteArray(expected)) << line;
    }
}

TEST(AtCommandLine, FindsThePrefixBehindNoiseAndTellsTheFormsApart)
{
    EXPECT_EQ(StripAtPrefix("\x01\xffzzAT+CSQ"), QByteArray("+CSQ"));
    EXPECT_EQ(StripAtPrefix("aT"), QByteArray(""));
    EXPECT_FALSE(StripAtPrefix("A"));
    EXPECT_FALSE(StripAtPrefix("hello"));
    const std::tuple<const char*, AtForm, const char*> cases[] = {
        {"", AtForm::Action, ""},
        {"?", AtForm::Query, ""},
        {"=?", AtForm::Test, ""},
        {"=1,2", AtForm::Set, "1,2"},
        {"=", AtForm::Set, ""},
    };
    for (const auto& [args, form, setArgs] : cases) {
        AtCommand command {AtCommand::Kind::Extended, "+X", args};
        EXPECT_EQ(FormOf(command), form) << args;
        EXPECT_EQ(SetArguments(command), QByteArray(setArgs)) << args;
    }
}

// The values joined with "|", quoted ones in quotes; "invalid" for a list
// that does not parse.
TEST(AtArguments, SplitsByBytesWithQuotes)
{
    const std::pair<QByteArray, QByteArray> cases[] = {
        {"1,250", "1|250"},
        {"3,\"+46701234567\",145,\"Name\"", "3|\"+46701234567\"|145|\"Name\""},
        {QByteArray("1,\"\",129,\"A\0B\"", 14), QByteArray("1|\"\"|129|\"A\0B\"", 14)},
        {"\"a,b\",2", "\"a,b\"|2"},
        {" 1 , \"x\" ", "1|\"x\""},
        {",\"123\",129,\"n\"", "|\"123\"|129|\"n\""},
        {"1,", "1|"},
        {"", ""},
        {"\"open", "invalid"},
        {"\"a\"b,1", "invalid"},
    };
    for (const auto& [text, expected] : cases) {
        const auto values = ParseArguments(text);
        QByteArrayList described;
        for (const AtValue& value : values.value_or(std::vector<AtValue>()))
            described << (value.quoted ? '"' + value.text + '"' : value.text);
        EXPECT_EQ(values ? described.join('|') : "invalid", expected) << text.toHex().constData();
    }
}

TEST(AtArguments, ReadsNumbersStrictly)
{
    const std::pair<AtValue, std::optional<int>> cases[] = {
        {{false, "145"}, 145},  {{false, "0"}, 0},       {{false, "-3"}, -3},       {{false, "+7"}, 7},
        {{true, "145"}, {}},    {{false, ""}, {}},       {{false, "12a"}, {}},      {{false, "-"}, {}},
        {{false, "99999999999"}, {}},
    };
    for (const auto& [value, number] : cases)
        EXPECT_EQ(value.number(), number) << value.text.constData();
}

TEST(SmsMessages, TpduLengthLeavesOutTheServiceCentre)
{
    const std::pair<const char*, std::optional<int>> cases[] = {
        // No service centre given (length octet 0): everything after it.
        {"0011000B916407281553F80000AA0AE8329BFD4697D9EC37", 23},
        // A service centre of 7 octets (91 type + 6 octets of digits).
        {"07916407058099F911000B916407281553F80000AA0AE8329BFD4697D9EC37", 23},
        {"00", 0},
        {"0001", 1},
        {"07", {}},        // centre part longer than the PDU
        {"0", {}},         // half an octet
        {"00GG", {}},      // not hexadecimal
        {"", {}},
    };
    for (const auto& [pdu, length] : cases)
        EXPECT_EQ(TpduLengthOfPdu(pdu), length) << pdu;
}

TEST(SimBookLimits, ReadsTheTestCommandForm)
{
    const std::pair<const char*, const char*> cases[] = {
        {"(1-250),40,18", "(1-250),40,18"},
        {" ( 0 - 9 ) , 20 , 14 ", "(0-9),20,14"},
        {"(1-250),40", "refused"},
        {"1-250,40,18", "refused"},
        {"(250-1),40,18", "refused"},
        {"(1-250),40,18,3", "refused"},
        {"", "refused"},
    };
    for (const auto& [text, normalised] : cases) {
        const auto limits = SimBookLimits::fromText(QString::fromLatin1(text));
        EXPECT_EQ(limits ? limits->toText() : "refused", QByteArray(normalised)) << text;
    }
}

}  // namespace
