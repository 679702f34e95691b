#include "gsmcore/link/PortLockFile.h"
#include "platform/contacts/VCardParser.h"
#include "tests/tools/cli/CliRun.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

using BackupAndMessagesCliTest = SimulatedPhoneCli;

QString TempFile(const char* name) { return QDir(TestTempDir()).filePath(QLatin1String(name)); }

TEST_F(BackupAndMessagesCliTest, ExportIsTheSameFileForAnUnchangedPhoneAndSyncToolsReadIt)
{
    simulator.fillPhoneBook(QStringLiteral("SM"), 12, 7);
    simulator.writeEntry(QStringLiteral("SM"), 30, "+46701234567", "Asa Oberg");
    simulator.writeEntry(QStringLiteral("SM"), 31, "0701112233", "");
    simulator.fillPhoneBook(QStringLiteral("ME"), 4, 8);
    const QString file = TempFile("backup.vcf");

    QByteArray exports[2];
    for (QByteArray& bytes : exports) {
        const CliRun run = Cli({"--port", port, "phonebook", "export", "--memory", "all", file, "--json"});
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
        EXPECT_EQ(Json(run)["exported"].toInt(), 18);
        QFile written(file);
        ASSERT_TRUE(written.open(QIODevice::ReadOnly));
        bytes = written.readAll();
    }
    EXPECT_EQ(exports[0], exports[1]);

    // Each card has a UID of its own (vdirsyncer keeps one file per UID
    // below) and says where its entry was.
    const VCardParseResult parsed = ParseVCards(exports[0]);
    ASSERT_EQ(parsed.cards.size(), 18u);
    for (const VCard& card : parsed.cards) {
        EXPECT_EQ(card.version, QStringLiteral("3.0"));
        EXPECT_FALSE(card.Text(QStringLiteral("FN")).isEmpty() || card.Text(QStringLiteral("UID")).isEmpty());
    }
    const VCard& asa = parsed.cards[12];
    EXPECT_EQ(asa.Components(QStringLiteral("N")).mid(0, 2), QStringList({"Oberg", "Asa"}));
    EXPECT_EQ(asa.Text(QStringLiteral("X-TESSALY-MEMORY")) + asa.Text(QStringLiteral("X-TESSALY-INDEX")), QStringLiteral("SM30"));

    // vdirsyncer copies the backup into a card folder, one file per UID,
    // and khard lists that folder.
    QTemporaryDir sync;
    ASSERT_TRUE(QDir(sync.path()).mkpath(QStringLiteral("cards")));
    const QString config = sync.filePath(QStringLiteral("vdirsyncer.conf"));
    ASSERT_TRUE(WriteText(config, "[general]\nstatus_path = \"" + sync.filePath("status").toUtf8()
                                      + "\"\n[pair backup]\na = \"file\"\nb = \"folder\"\ncollections = null\n"
                                        "[storage file]\ntype = \"singlefile\"\npath = \"" + file.toUtf8()
                                      + "\"\n[storage folder]\ntype = \"filesystem\"\npath = \""
                                      + sync.filePath("cards").toUtf8() + "\"\nfileext = \".vcf\"\n"));
    RunTool(QStringLiteral("vdirsyncer"), {"-c", config, "discover"});
    RunTool(QStringLiteral("vdirsyncer"), {"-c", config, "sync"});
    EXPECT_EQ(QDir(sync.filePath("cards")).entryList({"*.vcf"}).size(), 18);
    ASSERT_TRUE(WriteText(sync.filePath("khard.conf"), "[addressbooks]\n[[backup]]\npath = " + sync.filePath("cards").toUtf8() + "\n"));
    const QString phones = RunTool(QStringLiteral("khard"), {"-c", sync.filePath("khard.conf"), "phone", "--parsable"});
    EXPECT_TRUE(phones.contains(QStringLiteral("+46701234567\tAsa Oberg"))) << phones.toStdString();
    EXPECT_TRUE(phones.contains(QStringLiteral("0701112233\t0701112233"))) << phones.toStdString();
    EXPECT_EQ(phones.count(QLatin1Char('\n')) + (phones.endsWith(QLatin1Char('\n')) ? 0 : 1), 18) << phones.toStdString();
}

TEST_F(BackupAndMessagesCliTest, ImportRestoresABackupSkipsWhatIsThereAndStopsAtAFullMemory)
{
    simulator.setPhoneBookLimits(QStringLiteral("SM"), QStringLiteral("(1-15),40,14"));
    simulator.fillPhoneBook(QStringLiteral("SM"), 15, 3);
    simulator.writeEntry(QStringLiteral("SM"), 15, "0701112233", "");  // a nameless entry stays nameless
    const QString backup = TempFile("full-sim.vcf");
    ASSERT_EQ(Cli({"--port", port, "phonebook", "export", "--memory", "SM", backup}).status, 0);
    const QString before = Held(QStringLiteral("SM"));

    // Onto an empty SIM: the same entries, field by field; again: all there.
    simulator.clearPhoneBook(QStringLiteral("SM"));
    for (const int imported : {15, 0}) {
        const CliRun run = Cli({"--port", port, "phonebook", "import", backup, "--memory", "SM", "--json"});
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
        EXPECT_EQ(Json(run), QJsonObject({{"imported", imported}, {"skipped", 15 - imported}, {"not_imported", 0}, {"cut", 0}}));
        EXPECT_EQ(Held(QStringLiteral("SM")), before);
    }

    // Three free locations of 11 digits for five new cards.
    simulator.setPhoneBookLimits(QStringLiteral("ME"), QStringLiteral("(1-4),11,14"));
    simulator.writeEntry(QStringLiteral("ME"), 1, "0700000000", "There");
    const QString fresh = TempFile("five-new.vcf");
    QByteArray cards;
    for (const char* card : {"FN:Bo Ek\r\nTEL:+46 70 185 30 07",  // 11 digits and the + of its type
                             "FN:A name far too long to fit\r\nTEL:0701222222",
                             "N:Lind;Zo\xc3\xab [Cia];;;\r\nTEL;TYPE=HOME:(08) 333 33 33",  // a name the SIM alphabet cannot hold
                             "FN:Dan\r\nTEL:070444444444",  // 12 digits
                             "FN:Eva\r\nTEL:0705555555"})
        cards += QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\n") + card + "\r\nEND:VCARD\r\n";
    ASSERT_TRUE(WriteText(fresh, cards));
    // Eva finds the memory full; the second run writes nothing again.
    const std::pair<QJsonObject, const char*> runs[] = {
        {{{"imported", 3}, {"skipped", 0}, {"not_imported", 1}, {"cut", 2}}, "3 of 5 cards written"},
        {{{"imported", 0}, {"skipped", 3}, {"not_imported", 1}, {"cut", 0}}, "0 of 5 cards written"}};
    for (const auto& [expected, stop] : runs) {
        const CliRun run = Cli({"--port", port, "phonebook", "import", fresh, "--memory", "ME", "--json"});
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(Json(run), expected);
        EXPECT_TRUE(run.err.contains(QString::fromLatin1(stop))) << run.err.toStdString();
        EXPECT_EQ(run.err.count(QStringLiteral("Dan")), 1) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("card 4 (Dan): the number has more than the 11 digits ME takes, not imported")))
            << run.err.toStdString();
        EXPECT_EQ(run.err.count(QStringLiteral("name cut to ")), expected["cut"].toInt()) << run.err.toStdString();
        // In UCS2 the 14 bytes hold 6 characters, and the cut says so.
        EXPECT_EQ(Held(QStringLiteral("ME")), u"1=0700000000 There|2=+46701853007 Bo Ek|3=0701222222 A name far too|4=083333333 Zoë [C"_qs);
        EXPECT_EQ(run.err.count(QStringLiteral("name cut to 6 characters (UCS2)")), expected["cut"].toInt() / 2);
    }
}

// Sending: every part of a long message goes to the device, and a refusal
// fails the command. Listing: stored messages decoded, joined and named.
TEST_F(BackupAndMessagesCliTest, SmsSendAndList)
{
    CliRun run = Cli({"--port", port, "sms", "send", "--to", "+46701234567", "--text", QString(200, QLatin1Char('x'))});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(simulator.submittedMessages().size(), 2u);
    EXPECT_EQ(run.out.count(QStringLiteral("Sent part")), 2);
    simulator.setCmeErrorFor(QStringLiteral("+CMGS"), 500);
    EXPECT_EQ(Cli({"--port", port, "sms", "send", "--to", "+46701234567", "--text", "refused"}).status, 1);

    ASSERT_TRUE(AddSenderContact());
    std::vector<int> locations;
    for (const QByteArray& pdu : StoredMessagePdus())
        locations.push_back(simulator.deliverMessage(Delivered(pdu), false));
    ASSERT_EQ(locations.size(), 4u);
    const int brokenLocation = simulator.deliverMessage(Delivered("0791640705"), false);

    run = Cli({"--port", port, "sms", "list", "--json"});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QJsonArray messages = Json(run)["messages"].toArray();
    ASSERT_EQ(messages.size(), 3) << run.out.toStdString();

    QJsonObject single = messages[0].toObject();
    EXPECT_TRUE(single.take("timestamp").toString().startsWith(QStringLiteral("2026-12-0")));
    EXPECT_EQ(single, (QJsonObject{{"index", locations[0]}, {"status", "unread"}, {"from", "+46705550101"},
                                   {"name", QStringLiteral("Åsa Öberg")}, {"text", "Hej from Asa"}}));

    const QJsonObject joined = messages[1].toObject();
    EXPECT_EQ(joined["text"].toString(), QStringLiteral("First part, second part, and the end."));
    EXPECT_EQ(joined["index"].toInt(), locations[2]);  // part 1 was stored second
    EXPECT_EQ(joined["indexes"].toArray(), QJsonArray({locations[2], locations[1], locations[3]}));
    EXPECT_FALSE(joined.contains(QStringLiteral("name")));

    EXPECT_EQ(messages[2].toObject()["index"].toInt(), brokenLocation);
    EXPECT_TRUE(messages[2].toObject().contains(QStringLiteral("error")));

    // Listing marked them read, as the device does.
    EXPECT_EQ(Json(Cli({"--port", port, "sms", "list", "--json"}))["messages"].toArray()[0].toObject()["status"].toString(),
              QStringLiteral("read"));
}

TEST_F(BackupAndMessagesCliTest, APortInUseNamesTheProgramHoldingIt)
{
    QTemporaryDir lockFolder;
    ASSERT_TRUE(lockFolder.isValid());
    QProcess holder;  // killed when the test ends
    holder.start(QStringLiteral("sleep"), {QStringLiteral("30")});
    ASSERT_TRUE(holder.waitForStarted());
    const qint64 pid = holder.processId();
    {
        QFile lock(QDir(lockFolder.path()).filePath(CPortLockFile::LockName(QFileInfo(port).canonicalFilePath())));
        ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
        lock.write(QByteArray::number(pid).rightJustified(10, ' ') + '\n');
    }
    const QStringList folders{lockFolder.path()};
    CPortLockFile::SetLockFoldersForTesting(&folders);
    const CliRun run = Cli({"--port", port, "identify"});
    CPortLockFile::SetLockFoldersForTesting(nullptr);

    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("%1 is in use by sleep (pid %2)").arg(port).arg(pid)))
        << run.err.toStdString();
}

TEST_F(BackupAndMessagesCliTest, TraceShowsTheConversationOnStandardError)
{
    QProcess cli;
    cli.start(QStringLiteral(TESSALY_CLI_PROGRAM), {"--trace", "--port", port, "identify"});
    ASSERT_TRUE(cli.waitForFinished(60000));
    EXPECT_EQ(cli.exitCode(), 0);
    const QString err = QString::fromLocal8Bit(cli.readAllStandardError());
    EXPECT_TRUE(err.contains(QStringLiteral("Sending: 'AT+CGMM\\r\\n'"))) << err.toStdString();
    // Every line carries the trace file's millisecond prefix.
    for (const QString& line : err.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^ *\\d+: ")).match(line).hasMatch()) << line.toStdString();
    EXPECT_FALSE(cli.readAllStandardOutput().isEmpty());
}

}  // namespace
