#include "tests/TestEnvironment.h"
#include "tests/tools/cli/CliRun.h"

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
    // A PDU the codec cannot read fails naming what it missed.
    const struct { const char* hex; const char* error; } unreadable[] = {
        {"00040B916407214365F70000", "Failed to extract the Service Center Time Stamp in received SMS."},
        {"0011000481214300", "Failed to extract the Data Coding Scheme in the SMS."},
        {"00062A0080301080", "Failed to extract the Service Center Time Stamp in received SMS."},
        {"0791", "Failed to extract the Service Center Address Length in received SMS."},
        {"0003", "The PDU is of the reserved message type 3"},
        {"00XY", "The PDU holds characters that are not hexadecimal digits"},
        {"07916407058099F9110", nullptr},
        {"zz", nullptr},
    };
    for (const auto& c : unreadable) {
        const CliRun run = Cli({"pdu", "decode", QString::fromLatin1(c.hex)});
        EXPECT_EQ(run.status, 1) << c.hex;
        EXPECT_TRUE(run.out.isEmpty()) << c.hex;
        if (c.error)
            EXPECT_EQ(run.err, QStringLiteral("tessaly-cli: ") + QString::fromLatin1(c.error) + QLatin1Char('\n')) << c.hex;
        else
            EXPECT_FALSE(run.err.isEmpty()) << c.hex;
    }

    // What encode is given: 0 made it, 1 the codec refused it, 2 bad usage.
    const struct { const char* to; const char* smsc; int dcs; const char* text; const char* validity; int status; } cases[] = {
        {"+46701234567", "", -1, "hi", "", 0}, {"", "", -1, "hi", "", 2},
        {"12ab", "", -1, "hi", "", 1},        {"123", "+x", -1, "hi", "", 1},
        {"123", "", 3, "hi", "", 2},          {"123", "", 0, "€", "", 1},
        {"123", "", 4, "Ж", "", 1},           {"123", "", 4, "é", "", 0},
        {"123", "", 8, "hi", "none", 0},      {"123", "", -1, "hi", "300", 1},
        {"123", "", -1, "hi", "12h", 0},      {"123", "", -1, "hi", "64w", 1},
        {"123", "", -1, "hi", "2030-01-02T03:04:05", 0}, {"123", "", -1, "hi", "tomorrow", 1},
    };
    for (const auto& c : cases) {
        QStringList arguments{"pdu", "encode", "--text", QString::fromUtf8(c.text)};
        if (*c.to)
            arguments << "--to" << QString::fromLatin1(c.to);
        if (*c.smsc)
            arguments << "--smsc" << QString::fromLatin1(c.smsc);
        if (c.dcs >= 0)
            arguments << "--dcs" << QString::number(c.dcs);
        if (*c.validity)
            arguments << "--validity" << QString::fromLatin1(c.validity);
        const CliRun run = Cli(arguments);
        const std::string line = arguments.join(' ').toStdString();
        EXPECT_EQ(run.status, c.status) << line;
        EXPECT_EQ(run.err.isEmpty(), c.status == 0) << line;
    }
    EXPECT_EQ(Cli({"pdu", "decode"}).status, 2);
    EXPECT_EQ(Cli({"pdu", "transmogrify"}).status, 2);
}

using SmsCli = SimulatedPhoneCli;

TEST_F(SmsCli, SendSubmitsEveryPartToTheDevice)
{
    const CliRun run = Cli({"--port", port, "sms", "send", "--to", "+46701234567", "--text",
                            QString(200, QLatin1Char('x'))});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(simulator.submittedMessages().size(), 2u);
    EXPECT_EQ(run.out.count(QStringLiteral("Sent part")), 2);

    simulator.setCmeErrorFor(QStringLiteral("+CMGS"), 500);
    EXPECT_EQ(Cli({"--port", port, "sms", "send", "--to", "+46701234567", "--text", "refused"}).status, 1);
    EXPECT_EQ(Cli({"--port", "99", "sms", "send", "--to", "1", "--text", "x"}).status, 1);
}

// The contacts commands on a folder of their own.
class ContactsCli : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_saved = qgetenv("TESSALY_CONTACTS");
        UseNewFolder();
    }
    void TearDown() override { qputenv("TESSALY_CONTACTS", m_saved); }

    void UseNewFolder()
    {
        m_folder = NewTempFolder(QStringLiteral("cli-contacts"));
        qputenv("TESSALY_CONTACTS", m_folder.toUtf8());
    }

    void WriteCards(const QString& path, const QByteArray& cards)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(cards);
    }

    QByteArray m_saved;
    QString m_folder;
};

QByteArray Card(const char* uid, const char* name, const char* lines)
{
    return QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:") + uid + "\r\nFN:" + name + "\r\n" + lines + "END:VCARD\r\n";
}

TEST_F(ContactsCli, ListAndLookup)
{
    const QString cards = m_folder + QStringLiteral(".vcf");
    WriteCards(cards, Card("b", "Beta \"B\"", "TEL;TYPE=CELL:+46 70 123 45 67\r\nEMAIL:beta@example.org\r\n") +
                          Card("a", "Åsa", "EMAIL:asa@example.org\r\n") + Card("c", "No numbers", "") +
                          Card("d", "Anna", "TEL;TYPE=CELL:+46 70 111 11 11\r\n") +
                          Card("e", "Bo", "TEL;TYPE=CELL:070-222 22 22\r\n") +
                          Card("f", "Cai", "TEL;TYPE=WORK:+46702222222\r\n"));
    ASSERT_EQ(Cli({"contacts", "import", cards}).status, 0);

    CliRun run = Cli({"contacts", "list"});
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.out.startsWith(QStringLiteral("Anna\tm\tm: +46 70 111 11 11\n"
                                                  "Beta \"B\"\tm\tm: +46 70 123 45 67; e: beta@example.org\n")))
        << run.out.toStdString();
    EXPECT_TRUE(run.out.endsWith(QStringLiteral("Åsa\te\te: asa@example.org\n"))) << run.out.toStdString();
    EXPECT_FALSE(run.out.contains(QStringLiteral("No numbers")));

    run = Cli({"contacts", "list", "--json"});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QJsonArray contacts = Json(run)[QStringLiteral("contacts")].toArray();
    ASSERT_EQ(contacts.size(), 5) << run.out.toStdString();
    const QJsonObject beta = contacts.at(1).toObject();
    EXPECT_EQ(beta[QStringLiteral("name")].toString(), QStringLiteral("Beta \"B\""));
    EXPECT_EQ(beta[QStringLiteral("default")].toString(), QStringLiteral("m"));
    EXPECT_EQ(beta[QStringLiteral("fields")].toObject()[QStringLiteral("e")].toString(), QStringLiteral("beta@example.org"));
    EXPECT_GT(beta[QStringLiteral("oid")].toDouble(), 0);

    struct Case {
        const char* number;
        int status;
        const char* out;
    } cases[] = {
        {"0701111111", 0, "Anna\n"},
        {"+46 70 111 11 11", 0, "Anna\n"},
        {"0702222222", 0, "Bo\nCai\n"},  // shared: every holder, and no failure
        {"0709999999", 1, ""},
        {"", 2, ""},
    };
    for (const Case& c : cases) {
        run = Cli({"contacts", "lookup", c.number});
        EXPECT_EQ(run.status, c.status) << c.number;
        EXPECT_EQ(run.out, QString::fromUtf8(c.out)) << c.number;
        EXPECT_EQ(run.err.isEmpty(), c.status == 0) << c.number;
    }
    run = Cli({"contacts", "lookup", "--help"});
    EXPECT_TRUE(run.out.contains(QStringLiteral("several contacts share"))) << run.out.toStdString();
}

// A backup of a folder that other programs wrote, and its restore: every
// card goes out, each on lines of its own, an unreadable file is named,
// and the restore keeps every card, those that share a UID included.
TEST_F(ContactsCli, BackupAndRestoreLoseAndDoubleNothing)
{
    for (const char* file : {"khard-created.vcf", "no-final-line-end.vcf", "shared-uid-home.vcf", "shared-uid-work.vcf",
                             "three-cards.vcf", "no-uid-2.1.vcf", "nokia-photo-2.1.vcf", "broken-no-colon.vcf"})
        ASSERT_TRUE(QFile::copy(TestDataPath(QStringLiteral("contacts/") + QLatin1String(file)),
                                m_folder + QLatin1Char('/') + QLatin1String(file)));
    const QString backup = m_folder + QStringLiteral("-backup.vcf");
    CliRun run = Cli({"contacts", "export", backup});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, QStringLiteral("Exported 9 contacts to %1\n").arg(backup));
    EXPECT_TRUE(run.err.contains(QStringLiteral("Cannot read broken-no-colon.vcf: line without a colon"))) << run.err.toStdString();
    QFile file(backup);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_EQ(bytes.count("BEGIN:VCARD"), 9);
    EXPECT_FALSE(bytes.contains("END:VCARDBEGIN")) << bytes.constData();
    EXPECT_TRUE(bytes.endsWith("END:VCARD\r\n"));

    UseNewFolder();
    run = Cli({"contacts", "import", backup});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("Imported 9 contacts (9 new, 0 replaced)\n"
                                      "Several cards share the UID dup-4711: each was kept in a file of its own\n"));
    const QStringList restored = QDir(m_folder).entryList({QStringLiteral("*.vcf")}, QDir::Files);
    EXPECT_EQ(restored.size(), 9) << restored.join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(restored.contains(QStringLiteral("dup-4711.vcf")) && restored.contains(QStringLiteral("dup-4711-2.vcf")));
    const QString list = Cli({"contacts", "list", "--json"}).out;
    EXPECT_TRUE(list.contains(QStringLiteral("Ida Wik (work)")) && list.contains(QStringLiteral("\"Ida Wik\"")));

    // Again: each card finds its own file, those sharing a UID too; only
    // the three cards without a UID come anew.
    run = Cli({"contacts", "import", backup});
    EXPECT_TRUE(run.out.startsWith(QStringLiteral("Imported 9 contacts (3 new, 6 replaced)\n"))) << run.out.toStdString();
    EXPECT_EQ(QDir(m_folder).entryList({QStringLiteral("*.vcf")}, QDir::Files).size(), 12);

    // A clean folder exports with success and reads back the same.
    UseNewFolder();
    const QString three = TestDataPath(QStringLiteral("contacts/three-cards.vcf"));
    ASSERT_EQ(Cli({"contacts", "import", three}).status, 0);
    ASSERT_EQ(Cli({"contacts", "export", backup}).status, 0);
    const QString listA = Cli({"contacts", "list", "--json"}).out;
    UseNewFolder();
    EXPECT_EQ(Cli({"contacts", "import", backup}).out, QStringLiteral("Imported 3 contacts (3 new, 0 replaced)\n"));
    EXPECT_EQ(Cli({"contacts", "list", "--json"}).out, listA);  // same UIDs, identifiers and fields

    for (const QString& bad : {m_folder + QStringLiteral("/nothing.vcf"), TestDataPath(QStringLiteral("contacts/broken-no-end.vcf"))}) {
        run = Cli({"contacts", "import", bad});
        EXPECT_EQ(run.status, 1) << bad.toStdString();
        EXPECT_FALSE(run.err.isEmpty());
    }
    EXPECT_EQ(Cli({"contacts", "export", m_folder + QStringLiteral("/no/such/dir/x.vcf")}).status, 1);
    EXPECT_EQ(Cli({"contacts", "import"}).status, 2);
}

}  // namespace
