#include "gsmcore/charset/CharacterSetDefault.h"
#include "tests/tools/cli/CliRun.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace {

using PhoneBookCliTest = SimulatedPhoneCli;

// Every phone the simulator plays is identified as its own type; type 12,
// type 10's module on a Symbol handheld, answers as type 10 does.
TEST_F(PhoneBookCliTest, IdentifyEveryKnownPhone)
{
    for (int type = 1; type <= 21; ++type) {
        ASSERT_TRUE(simulator.setDeviceType(type)) << type;
        const CliRun run = Cli({"--port", port, "identify", "--json"});
        ASSERT_EQ(run.status, 0) << type << run.err.toStdString();
        const QJsonObject doc = Json(run);
        EXPECT_EQ(doc["device_type"].toInt(), type == 12 ? 10 : type);
        EXPECT_EQ(doc["model"].toString(), ModemSimulator::modelForDeviceType(type).section(QLatin1Char('\n'), 0, 0).trimmed());
        if (type == 8) {
            EXPECT_EQ(doc["storages"].toObject()["sim"].toString(), QStringLiteral("SM"));
        }
    }
    EXPECT_FALSE(simulator.setDeviceType(22));
    EXPECT_TRUE(ModemSimulator::modelForDeviceType(-1).isEmpty());
}

TEST_F(PhoneBookCliTest, IdentifyAnUnknownModemByItsStorages)
{
    simulator.setModel(QStringLiteral("Acme GSM 1"));
    simulator.setStorages({QStringLiteral("ME")});
    const CliRun run = Cli({"--port", port, "identify", "--json"});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QJsonObject doc = Json(run);
    EXPECT_EQ(doc["device_type"].toInt(), 0);
    EXPECT_EQ(doc["model"].toString(), QStringLiteral("Acme GSM 1"));
    EXPECT_EQ(doc["storages"].toObject()["sim"].toString(), QString());
    EXPECT_EQ(doc["storages"].toObject()["phone"].toString(), QStringLiteral("ME"));
}

// Writes are checked, entry by entry, in PhoneBookEditCli.
TEST_F(PhoneBookCliTest, ListAndDelete)
{
    simulator.setPhoneBookLimits(QStringLiteral("SM"), QStringLiteral("(1-250),40,18"));
    simulator.writeEntry(QStringLiteral("SM"), 1, "+46701234567", "Anna");
    simulator.writeEntry(QStringLiteral("SM"), 3, "0812345", "Bo");

    CliRun run = Cli({"--port", port, "phonebook", "list", "--memory", "SM", "--json"});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QJsonObject doc = Json(run);
    EXPECT_EQ(doc["first"].toInt(), 1);
    EXPECT_EQ(doc["last"].toInt(), 250);
    EXPECT_EQ(doc["max_name"].toInt(), 18);
    EXPECT_EQ(doc["max_number"].toInt(), 40);
    const QJsonArray entries = doc["entries"].toArray();
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[1].toObject(), QJsonObject({{"index", 3}, {"name", "Bo"}, {"number", "0812345"}, {"memory", "SM"}}));
    EXPECT_EQ(entries[0].toObject()["number"].toString(), QStringLiteral("+46701234567"));

    run = Cli({"--port", port, "phonebook", "delete", "--memory", "SM", "--index", "3"});
    ASSERT_EQ(run.status, 0);
    EXPECT_EQ(simulator.entries(QStringLiteral("SM")).size(), 1u);
    run = Cli({"--port", port, "phonebook", "get", "--memory", "SM", "--index", "3"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.count(QLatin1Char('\n')), 1) << run.err.toStdString();
}

TEST_F(PhoneBookCliTest, RefusedWritesAndBadUsage)
{
    simulator.setPhoneBookLimits(QStringLiteral("SM"), QStringLiteral("(1-10),20,8"));
    const struct {
        QStringList arguments;
        int status;
    } cases[] = {
        {{"phonebook", "add", "--memory", "SM", "--index", "99", "--name", "X", "--number", "1"}, 1},  // bad location
        {{"phonebook", "add", "--memory", "SM", "--name", "Far too long a name", "--number", "1"}, 1},
        {{"phonebook", "modify", "--memory", "SM", "--index", "2"}, 2},
        {{"phonebook", "get", "--memory", "SM"}, 2},
        {{"phonebook", "list", "--memory", "XX"}, 2},
        {{"phonebook", "rename"}, 2},
        {{"launch"}, 2},
    };
    for (const auto& c : cases) {
        const CliRun run = Cli(QStringList{"--port", port} + c.arguments);
        EXPECT_EQ(run.status, c.status) << c.arguments.join(' ').toStdString();
        EXPECT_FALSE(run.err.isEmpty());
    }
}

TEST_F(PhoneBookCliTest, AListCutShortPrintsWhatCameAndSaysSo)
{
    simulator.fillPhoneBook(QStringLiteral("SM"), 20, 3);
    const auto stored = simulator.entries(QStringLiteral("SM"));
    const struct {
        bool json;
        bool unplug;  // else the device answers an error
        const char* message;
    } cases[] = {
        {true, false, "tessaly-cli: incomplete: the device answered \"+CME ERROR: 13\" after 10 entries\n"},
        {false, true, "tessaly-cli: incomplete: the device stopped answering after 10 entries\n"},
    };
    for (const auto& c : cases) {
        ModemSimulator::ReplyFault fault;
        fault.afterLines = 10;
        fault.insert = c.unplug ? QByteArray() : QByteArray("\r\n+CME ERROR: 13\r\n");
        fault.cut = true;
        fault.vanish = c.unplug;
        fault.holdMs = 200;
        simulator.setReplyFault(QStringLiteral("+CPBR=1,"), fault);
        QStringList arguments{"--port", port, "phonebook", "list", "--memory", "SM"};
        if (c.json)
            arguments << "--json";
        const CliRun run = Cli(arguments);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, QString::fromLatin1(c.message));
        if (!c.json) {
            EXPECT_EQ(run.out.count(QLatin1Char('\n')), 10);
            continue;
        }
        // The entries before the cut, field by field.
        const QJsonArray entries = Json(run)["entries"].toArray();
        ASSERT_EQ(entries.size(), 10);
        const CCharacterSetDefault gsm;
        for (int i = 0; i < 10; ++i) {
            const QJsonObject entry = entries[i].toObject();
            EXPECT_EQ(entry["index"].toInt(), stored[i].index);
            EXPECT_EQ(entry["name"].toString(), gsm.ConvertToUnicode(QString::fromLatin1(stored[i].name)));
            EXPECT_EQ(entry["number"].toString().remove(u'+'), QString::fromLatin1(stored[i].number).remove(u'+'));
        }
    }
}

TEST(CliWithoutDevice, SimulatedStoresAndMissingDevices)
{
    CliRun run = Cli({"--port", "99", "phonebook", "list", "--memory", "ME", "--json"});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(Json(run)["entries"].toArray().size(), 16);
    run = Cli({"--port", "/dev/tessaly-none", "identify"});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("/dev/tessaly-none does not exist"))) << run.err.toStdString();
    EXPECT_EQ(Cli({"identify"}).status, 2);  // no stored connection in a fresh registry
}

}  // namespace
