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

TEST(PduCli, EncodeTheDefaultSubmitAndDecodeItBack)
{
    CliRun run = Cli({"pdu", "encode", "--to", "+46701234567", "--text", "hi", "--smsc", "+46705008999", "--json"});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QJsonArray parts = Json(run)["parts"].toArray();
    ASSERT_EQ(parts.size(), 1);
    EXPECT_EQ(parts[0].toObject()["pdu"].toString(), QString::fromLatin1(kDefaultSubmit));
    EXPECT_EQ(parts[0].toObject()["length"].toInt(), 16);

    run = Cli({"pdu", "decode", QString::fromLatin1(kDefaultSubmit).toLower(), "--json"});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QJsonObject decoded = Json(run);
    EXPECT_EQ(decoded["type"].toString(), QStringLiteral("submit"));
    EXPECT_EQ(decoded["address"].toString(), QStringLiteral("+46701234567"));
    EXPECT_EQ(decoded["text"].toString(), QStringLiteral("hi"));
}

TEST(PduCli, ALongTextBecomesSeveralParts)
{
    const CliRun run = Cli({"pdu", "encode", "--to", "+46701234567", "--text", QString(161, QLatin1Char('a')), "--json"});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(Json(run)["parts"].toArray().size(), 2);
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
