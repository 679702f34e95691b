#include "gsmcore/link/DeviceModels.h"
#include "gsmcore/link/KeystrokeDialling.h"
#include "gsmcore/link/ReplyLine.h"

#include <gtest/gtest.h>

namespace {

struct SplitCase {
    const char* line;
    bool ok;
    const char* key;
    const char* rest;
};

TEST(ReplyLine, SplitsKeyAndRestLikeTheDeviceWritesThem)
{
    const SplitCase cases[] = {
        {"+CSQ: 15,99", true, "+CSQ", "15,99"},
        {"+CPBS: (\"SM\",\"ME\")", true, "+CPBS", "(\"SM\",\"ME\")"},
        {"+CPAS:0", true, "+CPAS", "0"},     // no blank: the rest starts right after the colon
        {"+CMGS: 5", true, "+CMGS", "5"},
        {"+CREG:", true, "+CREG", ""},
        {"+CREG: ", true, "+CREG", " "},     // one character follows: it is the rest
        {"+CLIP: \"12:34\",129", true, "+CLIP", "\"12:34\",129"},
        {"OK", false, "", ""},
        {"", false, "", ""},
    };
    for (const SplitCase& c : cases) {
        QString key;
        QString rest;
        EXPECT_EQ(SplitReplyLine(QString::fromLatin1(c.line), key, rest), c.ok) << c.line;
        if (c.ok) {
            EXPECT_EQ(key, QString::fromLatin1(c.key)) << c.line;
            EXPECT_EQ(rest, QString::fromLatin1(c.rest)) << c.line;
        }
    }
}

TEST(ReplyLine, NumbersRegistrationStatusAndSubmitReference)
{
    EXPECT_EQ(ReplyNumber(" 15 "), 15);
    EXPECT_EQ(ReplyNumber("1a"), -1);
    EXPECT_EQ(ReplyNumber("", 7), 7);
    const struct {
        const char* rest;
        int status;
    } registrations[] = {
        {"1", 1}, {"1,\"00C3\",\"1A2B\"", 1}, {"5,\"00C3\",\"1A2B\",7", 5},  // reports
        {"0,5", 5}, {"2,1,\"00C3\",\"1A2B\"", 1},                                // answers
    };
    for (const auto& c : registrations)
        EXPECT_EQ(RegistrationStatus(QString::fromLatin1(c.rest)), c.status) << c.rest;

    const struct {
        const char* line;
        const char* reference;  // null: no reference
    } submits[] = {
        {"+CMGS: 12", "12"},
        {"+CMGS: 12,\"07/11/26,09:15:00+04\"", "12"},
        {"+CMGS: 7,0791", "7"},
        {"+CMGS: ", nullptr},
        {"+CMSS: 12", nullptr},
    };
    for (const auto& c : submits) {
        QString reference;
        EXPECT_EQ(SubmitReference(QString::fromLatin1(c.line), reference), c.reference != nullptr) << c.line;
        if (c.reference) {
            EXPECT_EQ(reference, QString::fromLatin1(c.reference)) << c.line;
        }
    }
}

TEST(KeystrokeDialling, PauseShortensWithTheNumberLength)
{
    const struct {
        int base;
        int digits;
        int pause;
    } cases[] = {
        {7, 1, 7}, {7, 2, 7}, {7, 3, 5}, {7, 4, 5}, {7, 5, 4}, {7, 7, 4}, {7, 8, 3},
        {7, 9, 3}, {7, 10, 1}, {7, 11, 1}, {2, 12, 0}, {300, 1, 255}, {-5, 3, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(KeystrokePauseFor(c.base, c.digits), c.pause) << c.base << " " << c.digits;
}

struct ModelCase {
    QStringList reply;
    int type;  // 0: no row matches
};

TEST(DeviceModels, FirstMatchingRowGivesTheType)
{
    const ModelCase cases[] = {
        {{"Nokia 6310i"}, 8},
        {{"Nokia 631"}, 0},                      // a shorter beginning is no prefix match
        {{"SIEMENS MC35i"}, 18},                 // contains
        {{"Option Globetrotter GPRS"}, 14},
        {{"Anything", "Wireless Pack 2", "x"}, 14},
        {{"Anything", "Wireless Pack 2"}, 0},    // needs at least three lines
        {{"GSM-900 FirstFone", "Wireless Pack", "x"}, 2},
        {{" MULTIBAND  900E  1800"}, 10},
        {{"MULTIBAND  900E  1800"}, 0},
        {{"Sony Ericsson T68i"}, 4},
        {{"GDC201 v2"}, 13},
        {{"SCANIA FALCOM A2"}, 11},
        {{"Tessaly Simulated Modem"}, 0},
        {{}, 0},
    };
    for (const ModelCase& c : cases) {
        const DeviceModelRule* rule = MatchDeviceModel(c.reply);
        EXPECT_EQ(rule ? rule->type : 0, c.type) << c.reply.join(QLatin1Char('|')).toStdString();
    }
    // The model a user is shown is one line, not the whole answer.
    EXPECT_EQ(ModelLine({"+CGMM: Nokia 6310i", "extra"}), QStringLiteral("Nokia 6310i"));
    EXPECT_EQ(ModelLine({"Anything", "Wireless Pack 2", "x"}), QStringLiteral("Wireless Pack 2"));
}

}  // namespace
