#include "tests/tools/cli/CliRun.h"

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

    // A modem of no known type is used by the phone books it has.
    simulator.setModel(QStringLiteral("Acme GSM 1"));
    simulator.setStorages({QStringLiteral("ME")});
    const CliRun run = Cli({"--port", port, "identify", "--json"});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(Json(run), (QJsonObject{{"device_type", 0}, {"model", "Acme GSM 1"},
                                      {"storages", QJsonObject{{"sim", ""}, {"phone", "ME"}}}}));
}

TEST_F(PhoneBookCliTest, AListCutShortPrintsWhatCameAndSaysSo)
{
    simulator.fillPhoneBook(QStringLiteral("SM"), 20, 3);
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
        EXPECT_EQ(Listed(Json(run)).remove(u'+'), Held(QStringLiteral("SM")).section(u'|', 0, 9).remove(u'+'));
    }
}

}  // namespace
