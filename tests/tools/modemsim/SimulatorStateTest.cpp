// The simulator's state as JSON: a full round trip, byte-exact names, and
// refusals of broken files that leave the running state alone.

#include "tests/TestEnvironment.h"
#include "tools/modemsim/ModemSimulator.h"

#include <QDir>
#include <QFile>

#include <tuple>

#include <gtest/gtest.h>

namespace {

TEST(SimulatorState, RoundTripsEverything)
{
    ModemSimulator original;
    original.setModel(QStringLiteral("Nokia 6310\nsecond line"));
    ASSERT_TRUE(original.setPhoneBookLimits(QStringLiteral("SM"), 1, 120, 20, 14));
    original.fillPhoneBook(QStringLiteral("SM"), 30, 5);
    original.fillPhoneBook(QStringLiteral("ME"), 12, 6);
    const QByteArray atName("\0Home\x1b", 6);
    ASSERT_TRUE(original.writeEntry(QStringLiteral("ME"), 100, "+4412", atName));
    original.deliverMessage({.pdu = "0011", .sender = "+4670", .timestamp = {}, .text = "hi"}, false);

    const QString path = QDir(TestTempDir()).filePath(QStringLiteral("state-roundtrip.json"));
    QString error;
    ASSERT_TRUE(original.saveState(path, &error)) << error.toStdString();

    ModemSimulator copy;
    ASSERT_TRUE(copy.loadState(path, &error)) << error.toStdString();
    EXPECT_EQ(copy.model(), original.model());
    EXPECT_EQ(copy.storages(), original.storages());
    EXPECT_EQ(copy.phoneBookLimits(QStringLiteral("SM")), QStringLiteral("(1-120),20,14"));
    // Equal JSON means equal entries; the odd name is checked by itself
    // because a lossy name would be lossy in both.
    EXPECT_EQ(copy.entries(QStringLiteral("ME")).back().name, atName);
    EXPECT_EQ(copy.stateJson(), original.stateJson());
}

TEST(SimulatorState, ReadsAHandWrittenFile)
{
    ModemSimulator sim;
    QString error;
    ASSERT_TRUE(sim.loadState(TestDataPath(QStringLiteral("modemsim/enabler-state.json")), &error))
        << error.toStdString();
    EXPECT_EQ(std::tuple(sim.model(), sim.storages(), sim.selectedStorage(), sim.phoneBookLimits(QStringLiteral("AD"))),
              std::tuple(u"Enabler-G Modem"_qs, QStringList{"AD"}, u"AD"_qs, u"(1-100),20,16"_qs));
    const auto entries = sim.entries(QStringLiteral("AD"));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(std::tuple(entries[0].index, entries[0].type, entries[1].name), std::tuple(1, 145, QByteArray("J\0rgen", 6)));
}

TEST(SimulatorState, RefusesBrokenFilesAndKeepsTheOldState)
{
    const std::pair<const char*, const char*> cases[] = {
        {"", "empty"},
        {"[1,2]", "not an object"},
        {"{\"identity\": 5}", "identity not an object"},
        {"{\"identity\": {\"model\": 5}}", "model not a string"},
        {"{\"settings\": {\"cmee\": 7}}", "cmee out of range"},
        {"{\"phoneBooks\": [{\"storage\": \"SM\", \"first\": 5, \"last\": 1}]}", "range reversed"},
        {"{\"phoneBooks\": [{\"storage\": \"SM\", \"entries\": [{\"index\": 999, \"number\": \"1\"}]}]}",
         "entry outside the range"},
        {"{\"phoneBooks\": [{\"storage\": \"SM\", \"nameLength\": 3, \"entries\": [{\"index\": 1, \"name\": \"long\"}]}]}",
         "name too long"},
        {"{\"phoneBooks\": [{\"storage\": \"SM\"}, {\"storage\": \"SM\"}]}", "duplicate storage"},
        {"{\"phoneBooks\": [{\"entries\": []}]}", "no storage name"},
        {"{\"phoneBooks\": [{\"storage\": \"SM\", \"entries\": [{\"index\": 1, \"name\": \"\u20ac\"}]}]}",
         "name beyond bytes"},
        {"{\"storedMessages\": [{\"index\": 0}]}", "message slot 0"},
        {"{\"model\": ", "truncated"},
    };
    ModemSimulator sim;
    sim.fillPhoneBook(QStringLiteral("SM"), 4, 1);
    const QByteArray before = sim.stateJson();
    for (const auto& [json, why] : cases) {
        QString error;
        EXPECT_FALSE(sim.setStateJson(json, &error)) << why;
        EXPECT_FALSE(error.isEmpty()) << why;
        EXPECT_EQ(sim.stateJson(), before) << why;
    }
    QString error;
    EXPECT_FALSE(sim.loadState(QDir(TestTempDir()).filePath(QStringLiteral("missing.json")), &error));
    EXPECT_FALSE(sim.saveState(QStringLiteral("/nonexistent-dir/x.json"), &error));
}

}  // namespace
