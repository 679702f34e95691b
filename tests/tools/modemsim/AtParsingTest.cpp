// The pure parsers of the simulated modem: command line splitting,
// argument lists, PDU lengths and phone book limits.

#include "tools/modemsim/AtArguments.h"
#include "tools/modemsim/AtCommandLine.h"
#include "tools/modemsim/SimPhoneBook.h"
#include "tools/modemsim/SmsMessages.h"

#include <gtest/gtest.h>

namespace {

QByteArray Describe(const std::vector<AtCommand>& commands)
{
    // "name[args]" per command, joined with "|": compact to compare in tables.
    QByteArray out;
    for (const AtCommand& c : commands) {
        if (!out.isEmpty())
            out += '|';
        out += c.name + '[' + c.args + ']';
    }
    return out;
}

TEST(AtCommandLine, SplitsRealCommandLines)
{
    struct Case {
        const char* line;
        const char* expected;  // nullptr: malformed
    };
    const Case cases[] = {
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
        {"AT+CSCS=\"GSM", nullptr},
        {"AT+", nullptr},
        {"AT+CGMM!x", "+CGMM!X[]"},
        {"AT+CPBR 1", nullptr},
        {"ATS", "S[]"},  // a bare S is left to the command layer to refuse
    };
    for (const Case& c : cases) {
        const auto afterAt = StripAtPrefix(c.line);
        ASSERT_TRUE(afterAt) << c.line;
        const auto commands = SplitCommandLine(*afterAt);
        if (!c.expected) {
            EXPECT_FALSE(commands) << c.line;
            continue;
        }
        ASSERT_TRUE(commands) << c.line;
        EXPECT_EQ(Describe(*commands), QByteArray(c.expected)) << c.line;
    }
}

TEST(AtCommandLine, FindsThePrefixBehindNoiseAndTellsTheFormsApart)
{
    EXPECT_EQ(StripAtPrefix("\x01\xffzzAT+CSQ"), QByteArray("+CSQ"));
    EXPECT_EQ(StripAtPrefix("aT"), QByteArray(""));
    EXPECT_FALSE(StripAtPrefix("A"));
    EXPECT_FALSE(StripAtPrefix("hello"));
    struct Case {
        const char* args;
        AtForm form;
        const char* setArgs;
    };
    const Case cases[] = {
        {"", AtForm::Action, ""},
        {"?", AtForm::Query, ""},
        {"=?", AtForm::Test, ""},
        {"=1,2", AtForm::Set, "1,2"},
        {"=", AtForm::Set, ""},
    };
    for (const Case& c : cases) {
        AtCommand command {AtCommand::Kind::Extended, "+X", c.args};
        EXPECT_EQ(FormOf(command), c.form) << c.args;
        EXPECT_EQ(SetArguments(command), QByteArray(c.setArgs)) << c.args;
    }
}

TEST(AtArguments, SplitsByBytesWithQuotes)
{
    struct Case {
        QByteArray text;
        std::vector<std::pair<bool, QByteArray>> values;  // quoted, text
        bool valid = true;
    };
    const Case cases[] = {
        {"1,250", {{false, "1"}, {false, "250"}}},
        {"3,\"+46701234567\",145,\"Name\"", {{false, "3"}, {true, "+46701234567"}, {false, "145"}, {true, "Name"}}},
        {QByteArray("1,\"\",129,\"A\0B\"", 14), {{false, "1"}, {true, ""}, {false, "129"}, {true, QByteArray("A\0B", 3)}}},
        {"\"a,b\",2", {{true, "a,b"}, {false, "2"}}},
        {" 1 , \"x\" ", {{false, "1"}, {true, "x"}}},
        {",\"123\",129,\"n\"", {{false, ""}, {true, "123"}, {false, "129"}, {true, "n"}}},
        {"1,", {{false, "1"}, {false, ""}}},
        {"", {}},
        {"\"open", {}, false},
        {"\"a\"b,1", {}, false},
    };
    for (const Case& c : cases) {
        const auto values = ParseArguments(c.text);
        ASSERT_EQ(values.has_value(), c.valid) << c.text.toHex().constData();
        if (!c.valid)
            continue;
        ASSERT_EQ(values->size(), c.values.size()) << c.text.toHex().constData();
        for (size_t i = 0; i < c.values.size(); ++i) {
            EXPECT_EQ((*values)[i].quoted, c.values[i].first);
            EXPECT_EQ((*values)[i].text, c.values[i].second);
        }
    }
}

TEST(AtArguments, ReadsNumbersStrictly)
{
    struct Case {
        AtValue value;
        std::optional<int> number;
    };
    const Case cases[] = {
        {{false, "145"}, 145},  {{false, "0"}, 0},       {{false, "-3"}, -3},       {{false, "+7"}, 7},
        {{true, "145"}, {}},    {{false, ""}, {}},       {{false, "12a"}, {}},      {{false, "-"}, {}},
        {{false, "99999999999"}, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.value.number(), c.number) << c.value.text.constData();
}

TEST(SmsMessages, TpduLengthLeavesOutTheServiceCentre)
{
    struct Case {
        const char* pdu;
        std::optional<int> length;
    };
    const Case cases[] = {
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
    for (const Case& c : cases)
        EXPECT_EQ(TpduLengthOfPdu(c.pdu), c.length) << c.pdu;
}

TEST(SimBookLimits, ReadsTheTestCommandForm)
{
    struct Case {
        const char* text;
        const char* normalised;  // nullptr: refused
    };
    const Case cases[] = {
        {"(1-250),40,18", "(1-250),40,18"},
        {" ( 0 - 9 ) , 20 , 14 ", "(0-9),20,14"},
        {"(1-250),40", nullptr},
        {"1-250,40,18", nullptr},
        {"(250-1),40,18", nullptr},
        {"(1-250),40,18,3", nullptr},
        {"", nullptr},
    };
    for (const Case& c : cases) {
        const auto limits = SimBookLimits::fromText(QString::fromLatin1(c.text));
        ASSERT_EQ(limits.has_value(), c.normalised != nullptr) << c.text;
        if (limits) {
            EXPECT_EQ(limits->toText(), QByteArray(c.normalised)) << c.text;
        }
    }
}

}  // namespace
