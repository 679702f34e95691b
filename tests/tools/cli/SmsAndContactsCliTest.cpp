#include "tests/TestEnvironment.h"
#include "tests/tools/cli/CliRun.h"
#include "tools/modemsim/ModemSimulator.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace {

const char kDefaultSubmit[] = "07916407058099F911000B916407214365F70000FF02E834";

TEST(PduCli, DecodeGivesEachKindWithTheKeysItCarries)
{
    const struct { const char* hex; const char* json; } cases[] = {
        // Blanks, line ends and lower-case digits are allowed.
        {"07916407058099f9 040B916407214365F70000301080610000000AE8329BFD4697D9EC37\n",
         R"({"type":"deliver","smsc":"+46705008999","address":"+46701234567","first_octet":4,"pid":0,"dcs":0,
             "text":"hellohello","timestamp":"2003-01-08T16:00:00","elements":[]})"},
        {"00440B916407214365F7000030108061000000" "0E090402F5F60A03000110804E03",
         R"({"type":"deliver","smsc":"","address":"+46701234567","first_octet":68,"pid":0,"dcs":0,"text":"hi",
             "timestamp":"2003-01-08T16:00:00","elements":[{"iei":4,"destination_port":245,"originator_port":246},
             {"iei":10,"position":0,"length":1,"alignment":0,"font_size":0,"bold":true,"italic":false,
              "underlined":false,"strikethrough":false}]})"},
        // No sender, the year 2000; a month 00 is no time at all.
        {"00040080000000108061000000" "02E834",
         R"({"type":"deliver","smsc":"","address":"","first_octet":4,"pid":0,"dcs":0,"text":"hi",
             "timestamp":"2000-01-08T16:00:00","elements":[]})"},
        {"00040B916407214365F7000030008061000000" "02E834",
         R"({"type":"deliver","smsc":"","address":"+46701234567","first_octet":4,"pid":0,"dcs":0,"text":"hi",
             "elements":[]})"},
        {"07916407058099F911000B916407214365F70000FF02E834",
         R"({"type":"submit","smsc":"+46705008999","address":"+46701234567","first_octet":17,"pid":0,"dcs":0,
             "text":"hi","reference":0,"validity":255,"elements":[]})"},
        {"0019000481214300003010806100000002E834",
         R"({"type":"submit","smsc":"","address":"1234","first_octet":25,"pid":0,"dcs":0,"text":"hi","reference":0,
             "validity":"2003-01-08T16:00:00","elements":[]})"},
        // A status report without its optional part, and with it.
        {"00062A0B916407214365F7301080610000003010806100002000",
         R"({"type":"status-report","smsc":"","address":"+46701234567","first_octet":6,"reference":42,
             "timestamp":"2003-01-08T16:00:00","discharge_time":"2003-01-08T16:00:00","status":0,"elements":[]})"},
        {"00062A0B916407214365F7301080610000003010806100002000" "07000002E834",
         R"({"type":"status-report","smsc":"","address":"+46701234567","first_octet":6,"pid":0,"dcs":0,"text":"hi",
             "reference":42,"timestamp":"2003-01-08T16:00:00","discharge_time":"2003-01-08T16:00:00","status":0,
             "elements":[]})"},
    };
    for (const auto& c : cases) {
        const CliRun run = Cli({"pdu", "decode", QString::fromLatin1(c.hex), "--json"});
        ASSERT_EQ(run.status, 0) << c.hex << run.err.toStdString();
        EXPECT_EQ(Json(run), QJsonDocument::fromJson(c.json).object()) << c.hex << "\n" << run.out.toStdString();
    }
    const CliRun run = Cli({"pdu", "decode", QString::fromLatin1(cases[1].hex)});
    for (const char* line : {"type: deliver\n", "first_octet: 0x44\n", "text: hi\n", "element: iei=4"})
        EXPECT_TRUE(run.out.contains(QString::fromLatin1(line))) << line;
}

TEST(PduCli, EncodeOnePartOrSeveralThatDecodeBack)
{
    CliRun run = Cli({"pdu", "encode", "--to", "+46701234567", "--text", "hi", "--smsc", "+46705008999"});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("AT+CMGS=16\n") + QString::fromLatin1(kDefaultSubmit) + QLatin1Char('\n'));

    run = Cli({"pdu", "encode", "--to", "+46701234567", "--text", QString(161, QLatin1Char('a')), "--json"});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QJsonArray parts = Json(run)["parts"].toArray();
    ASSERT_EQ(parts.size(), 2);
    for (const QJsonValue& part : parts) {
        const QString pdu = part[QStringLiteral("pdu")].toString();
        EXPECT_EQ(part[QStringLiteral("length")].toInt(), (pdu.size() - 2) / 2);
        const CliRun decoded = Cli({"pdu", "decode", pdu, "--json"});
        EXPECT_EQ(Json(decoded)["elements"].toArray()[0].toObject()["max"].toInt(), 2);
    }
}

TEST(PduCli, UnreadablePdusAndBadOptions)
{
    EXPECT_EQ(Cli({"pdu", "decode", "07916407058099F9110"}).status, 1);
    EXPECT_EQ(Cli({"pdu", "decode", "zz"}).status, 1);
    EXPECT_EQ(Cli({"pdu", "decode"}).status, 2);
    EXPECT_EQ(Cli({"pdu", "encode", "--text", "no number"}).status, 2);
    EXPECT_EQ(Cli({"pdu", "encode", "--to", "1", "--text", "x", "--dcs", "3"}).status, 2);
    EXPECT_EQ(Cli({"pdu", "transmogrify"}).status, 2);
}

TEST(SmsCli, SendSubmitsEveryPartToTheDevice)
{
    ModemSimulator simulator;
    ASSERT_TRUE(simulator.start());
    ASSERT_TRUE(simulator.setDeviceType(8));
    const CliRun run = Cli({"--port", simulator.devicePath(), "sms", "send", "--to", "+46701234567", "--text",
                            QString(200, QLatin1Char('x'))});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(simulator.submittedMessages().size(), 2u);
    EXPECT_EQ(run.out.count(QStringLiteral("Sent part")), 2);

    simulator.setCmeErrorFor(QStringLiteral("+CMGS"), 500);
    EXPECT_EQ(Cli({"--port", simulator.devicePath(), "sms", "send", "--to", "+46701234567", "--text", "refused"}).status, 1);
    EXPECT_EQ(Cli({"--port", "99", "sms", "send", "--to", "1", "--text", "x"}).status, 1);
}

TEST(ContactsCli, ImportListLookupExport)
{
    const QString card = QDir(TestTempDir()).filePath(QStringLiteral("cli-import.vcf"));
    {
        QFile file(card);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:cli-test-1\r\nFN:Åsa Berg\r\nN:Berg;Åsa;;;\r\n"
                   "TEL;TYPE=CELL:+46 70 123 45 67\r\nEMAIL;TYPE=INTERNET:asa@example.org\r\nEND:VCARD\r\n");
    }
    ASSERT_EQ(Cli({"contacts", "import", card}).status, 0);
    CliRun run = Cli({"contacts", "list", "--json"});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    bool found = false;
    for (const QJsonValue& c : Json(run)["contacts"].toArray())
        found = found || c.toObject()["name"].toString().contains(QStringLiteral("Berg"));
    EXPECT_TRUE(found) << run.out.toStdString();

    run = Cli({"contacts", "lookup", "0701234567"});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("Berg")));
    EXPECT_EQ(Cli({"contacts", "lookup", "+1 555 0100"}).status, 1);

    const QString exported = QDir(TestTempDir()).filePath(QStringLiteral("cli-export.vcf"));
    ASSERT_EQ(Cli({"contacts", "export", exported}).status, 0);
    QFile file(exported);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("asa@example.org"));
    EXPECT_EQ(Cli({"contacts", "import"}).status, 2);
}

}  // namespace
