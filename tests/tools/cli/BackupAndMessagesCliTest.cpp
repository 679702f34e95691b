#include "gsmcore/link/PortLockFile.h"
#include "platform/contacts/VCardParser.h"
#include "tests/TestEnvironment.h"
#include "tests/tools/cli/CliRun.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class BackupAndMessagesCliTest : public SimulatedPhoneCli {
protected:
    QString TempFile(const QString& name) const { return QDir(TestTempDir()).filePath(name); }
};

TEST_F(BackupAndMessagesCliTest, ExportWritesOneCardPerEntryOfEveryMemory)
{
    simulator.fillPhoneBook(QStringLiteral("SM"), 12, 7);
    simulator.writeEntry(QStringLiteral("SM"), 30, "+46701234567", "Asa Oberg");
    simulator.fillPhoneBook(QStringLiteral("ME"), 4, 8);
    const QString file = TempFile(QStringLiteral("backup.vcf"));

    const CliRun run = Cli({"--port", port, "phonebook", "export", "--memory", "all", file, "--json"});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(Json(run)["exported"].toInt(), 17);

    QFile written(file);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const VCardParseResult parsed = ParseVCards(written.readAll());
    ASSERT_EQ(parsed.cards.size(), 17u);
    EXPECT_EQ(std::count_if(parsed.cards.begin(), parsed.cards.end(),
                            [](const VCard& c) { return c.Text(QStringLiteral("X-TESSALY-MEMORY")) == QLatin1String("ME"); }),
              4);
    const auto asa = std::find_if(parsed.cards.begin(), parsed.cards.end(),
                                  [](const VCard& c) { return c.Text(QStringLiteral("FN")) == QLatin1String("Asa Oberg"); });
    ASSERT_NE(asa, parsed.cards.end());
    EXPECT_EQ(asa->version, QStringLiteral("3.0"));
    EXPECT_EQ(asa->Components(QStringLiteral("N")).mid(0, 2), QStringList({"Oberg", "Asa"}));
    EXPECT_EQ(asa->Text(QStringLiteral("TEL")), QStringLiteral("+46701234567"));
    EXPECT_EQ(asa->Text(QStringLiteral("X-TESSALY-MEMORY")), QStringLiteral("SM"));
    EXPECT_EQ(asa->Text(QStringLiteral("X-TESSALY-INDEX")), QStringLiteral("30"));

    const struct {
        QStringList arguments;
        int status;
    } refused[] = {
        {{"phonebook", "export", "--memory", "SM"}, 2},
        {{"phonebook", "export", "--memory", "XX", file}, 2},
        {{"phonebook", "export", "--memory", "SM", "/nonexistent-folder/backup.vcf"}, 1},
    };
    for (const auto& c : refused)
        EXPECT_EQ(Cli(QStringList{"--port", port} + c.arguments).status, c.status) << c.arguments.join(' ').toStdString();
}

TEST_F(BackupAndMessagesCliTest, ImportRestoresABackupSkipsWhatIsThereAndStopsAtAFullMemory)
{
    simulator.setPhoneBookLimits(QStringLiteral("SM"), QStringLiteral("(1-15),40,14"));
    simulator.fillPhoneBook(QStringLiteral("SM"), 15, 3);
    const QString backup = TempFile(QStringLiteral("full-sim.vcf"));
    ASSERT_EQ(Cli({"--port", port, "phonebook", "export", "--memory", "SM", backup}).status, 0);
    const QJsonArray before = Json(Cli({"--port", port, "phonebook", "list", "--memory", "SM", "--json"}))["entries"].toArray();
    ASSERT_EQ(before.size(), 15);

    // Onto an empty SIM: the same entries, field by field.
    simulator.clearPhoneBook(QStringLiteral("SM"));
    CliRun run = Cli({"--port", port, "phonebook", "import", backup, "--memory", "SM", "--json"});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(Json(run), QJsonObject({{"imported", 15}, {"skipped", 0}, {"cut", 0}}));
    EXPECT_EQ(Json(Cli({"--port", port, "phonebook", "list", "--memory", "SM", "--json"}))["entries"].toArray(), before);

    // Again: everything is there already.
    run = Cli({"--port", port, "phonebook", "import", backup, "--memory", "SM", "--json"});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(Json(run), QJsonObject({{"imported", 0}, {"skipped", 15}, {"cut", 0}}));

    // Three free locations for five new cards: three written, the long name cut, exit 1.
    for (const int location : {2, 5, 9})
        simulator.deleteEntry(QStringLiteral("SM"), location);
    const QString fresh = TempFile(QStringLiteral("five-new.vcf"));
    {
        QFile file(fresh);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        for (const char* card : {"FN:Bo Ek\r\nTEL:+46 70 111 11 11", "FN:A name far too long to fit\r\nTEL:0701222222",
                                 "N:Lind;Cia;;;\r\nTEL;TYPE=HOME:(08) 333 33 33", "FN:Dan\r\nTEL:0704444444",
                                 "FN:Eva\r\nTEL:0705555555"})
            file.write(QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\n") + card + "\r\nEND:VCARD\r\n");
    }
    run = Cli({"--port", port, "phonebook", "import", fresh, "--memory", "SM", "--json"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(Json(run), QJsonObject({{"imported", 3}, {"skipped", 0}, {"cut", 1}}));
    EXPECT_TRUE(run.err.contains(QStringLiteral("name cut to 14"))) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("3 of 5 cards written"))) << run.err.toStdString();
    run = Cli({"--port", port, "phonebook", "get", "--memory", "SM", "--index", "9", "--json"});
    EXPECT_EQ(Json(run)["name"].toString(), QStringLiteral("Cia Lind"));
    EXPECT_EQ(Json(run)["number"].toString(), QStringLiteral("083333333"));
    run = Cli({"--port", port, "phonebook", "get", "--memory", "SM", "--index", "5", "--json"});
    EXPECT_EQ(Json(run)["name"].toString(), QStringLiteral("A name far too"));

    EXPECT_EQ(Cli({"--port", port, "phonebook", "import", fresh}).status, 2);  // no --memory
    EXPECT_EQ(Cli({"--port", port, "phonebook", "import", TempFile(QStringLiteral("none.vcf")), "--memory", "SM"}).status, 1);
}

TEST_F(BackupAndMessagesCliTest, SmsListDecodesJoinsAndNamesStoredMessages)
{
    ASSERT_TRUE(AddSenderContact());
    QFile data(TestDataPath(QStringLiteral("cli/stored-messages.txt")));
    ASSERT_TRUE(data.open(QIODevice::ReadOnly));
    std::vector<int> locations;
    for (const QByteArray& line : data.readAll().split('\n')) {
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        StoredMessage message;
        message.pdu = line.trimmed();
        locations.push_back(simulator.deliverMessage(message, false));
    }
    ASSERT_EQ(locations.size(), 4u);
    StoredMessage broken;
    broken.pdu = "0791640705";
    const int brokenLocation = simulator.deliverMessage(broken, false);

    const CliRun run = Cli({"--port", port, "sms", "list", "--json"});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QJsonArray messages = Json(run)["messages"].toArray();
    ASSERT_EQ(messages.size(), 3) << run.out.toStdString();

    const QJsonObject single = messages[0].toObject();
    EXPECT_EQ(single["index"].toInt(), locations[0]);
    EXPECT_EQ(single["status"].toString(), QStringLiteral("unread"));
    EXPECT_EQ(single["from"].toString(), QStringLiteral("+46705550101"));
    EXPECT_EQ(single["name"].toString(), QStringLiteral("Åsa Öberg"));
    EXPECT_EQ(single["text"].toString(), QStringLiteral("Hej from Asa"));
    EXPECT_TRUE(single["timestamp"].toString().startsWith(QStringLiteral("2026-12-0")));

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
    EXPECT_EQ(Cli({"--port", "99", "sms", "list"}).status, 1);
}

TEST_F(BackupAndMessagesCliTest, APortInUseNamesTheProgramHoldingIt)
{
    QTemporaryDir lockFolder;
    ASSERT_TRUE(lockFolder.isValid());
    QProcess holder;
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
    holder.kill();
    holder.waitForFinished();

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
