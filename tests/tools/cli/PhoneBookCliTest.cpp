// The phone book commands run as a user runs them against the simulated
// phone over a pty; after a change the simulator's phone books are
// checked, not only what was printed.

#include "gsmcore/link/DeviceModels.h"
#include "platform/contacts/ContactsStore.h"
#include "tests/tools/cli/CliRun.h"

namespace {

using PhoneBookCliTest = SimulatedPhoneCli;

// Every phone the simulator plays answers +CGMM as the library recognises
// its type; type 12, type 10's module on a Symbol handheld, answers as
// type 10 does. What identify prints is in the command line table; a
// modem of no known type is the library's case.
TEST(SimulatedPhones, EachModelIsIdentifiedAsItsOwnType)
{
    for (int type = 1; type <= 21; ++type) {
        const QStringList lines = ModemSimulator::modelForDeviceType(type).split(u'\n');
        const DeviceModelRule* rule = MatchDeviceModel(lines);
        ASSERT_TRUE(rule) << type;
        EXPECT_EQ(rule->type, type == 12 ? 10 : type);
        EXPECT_EQ(ModelLine(lines), lines.first().trimmed()) << type;
    }
    EXPECT_TRUE(ModemSimulator::modelForDeviceType(-1).isEmpty());
    EXPECT_FALSE(ModemSimulator().setDeviceType(22));
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


const QString SM = QStringLiteral("SM");
const QString ME = QStringLiteral("ME");

class PhoneBookEditCli : public SimulatedPhoneCli {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(SimulatedPhoneCli::SetUp());
        ASSERT_TRUE(simulator.setPhoneBookLimits(SM, QStringLiteral("(1-10),40,18")));
        ASSERT_TRUE(simulator.setPhoneBookLimits(ME, QStringLiteral("(1-3),40,18")));
    }
    CliRun Run(const QStringList& arguments) { return Cli(QStringList{"--port", port, "phonebook"} + arguments); }
};

TEST_F(PhoneBookEditCli, DetectSizesFindsWhatTheSimTakesAndLeavesNoTrialEntry)
{
    // The SIM reports 18 characters but takes 14.
    ASSERT_TRUE(simulator.setAcceptedNameLength(SM, 14));
    simulator.writeEntry(SM, 1, "0812345", "Bo");
    simulator.clearReceivedCommands();
    CliRun run = Run({"detect-sizes", "--memory", "SM", "--json"});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(Json(run), (QJsonObject{{"memory", SM}, {"max_name", 14}, {"max_name_ucs2", 6}, {"max_number", 40}}));
    QList<int> nameTrials;
    for (const QString& command : simulator.receivedCommands()) {
        if (command.startsWith(QLatin1String("AT+CPBW=2,\"123\",129,\"")))
            nameTrials << int(command.count(QLatin1Char('A'))) - 1;  // the A of AT
    }
    EXPECT_EQ(nameTrials, (QList<int>{40, 20, 10, 30, 15, 12, 13, 14}));
    EXPECT_EQ(simulator.entries(SM).size(), 1u);

    // A name probe that is refused at every length: exit 1, no trial entry left.
    simulator.setCmeErrorFor(QStringLiteral("+CPBW=2,\"123\",129,\"A"), 24);
    run = Run({"detect-sizes", "--memory", "SM"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(simulator.entries(SM).size(), 1u);
    EXPECT_EQ(simulator.receivedCommands().last(), QStringLiteral("AT+CPBW=2"));

    // A full memory has no place for the trial entry.
    simulator.clearFaults();
    simulator.fillPhoneBook(ME, 3, 1);
    run = Run({"detect-sizes", "--memory", "ME"});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains(QLatin1String("full"))) << run.err.toStdString();
}

// Add, modify, delete and move one after another on the SIM, which holds
// "Anna" and "Comma" at first: what is given is written exactly, in any
// script the phone takes, or nothing is written and the reason is told
// (each kind of refusal once: the library's tables hold every number and
// name it refuses). A move adds first and deletes second, and stops where
// the device fails. The device afterwards as "location=number name|...".
TEST_F(PhoneBookEditCli, WritesWhatIsGivenOrNothing)
{
    simulator.writeEntry(SM, 1, "0812345", "Anna");
    simulator.writeEntry(SM, 4, "0812,34", "Comma");
    QString sim = u"1=0812345 Anna|4=0812,34 Comma"_qs, phone;
    const struct {
        bool ucs2;
        QStringList arguments;
        int status;
        const char* message;  // on standard error (a second line when it changed the device), on standard output when done
        const char* sim = nullptr;  // null: unchanged
        const char* phone = nullptr;
        const char* fault = "";  // a command prefix the device refuses
        bool emptyAnswersOk = false;  // a phone that answers an empty location with a bare OK
    } cases[] = {
        {true, {"add", "--name", "Bo"}, 1, "needs a --name and a --number"},
        {true, {"add", "--name", "Bo", "--number", ""}, 1, "needs a --name and a --number"},
        {true, {"add", "--name", "Bo", "--number", "0812x3"}, 1, "it holds \"x\""},
        {true, {"modify", "--index", "3", "--name", "Cy"}, 1, "cannot be read"},
        {true, {"get", "--index", "3"}, 1, "3"},
        {true, {"modify", "--index", "4", "--name", "Dot"}, 1, "cannot be written back"},  // "," would be lost
        // This would end the command early and leave a name cut short.
        {true, {"add", "--name", "A\r\nB", "--number", "1"}, 1, "line break"},
        // 13 Cyrillic characters are 27 bytes of the 18.
        {true, {"add", "--name", "Дмитрий Ивано", "--number", "0704"}, 1, "longer than the 8 characters (UCS2)"},

        {true, {"modify", "--index", "1", "--name", "Anna Renamed"}, 0, "", "1=0812345 Anna Renamed|4=0812,34 Comma"},
        {true, {"modify", "--index", "1", "--number", "+46 70-123"}, 0, "", "1=+4670123 Anna Renamed|4=0812,34 Comma"},
        {true, {"add", "--name", "Bo", "--number", "0812w34P5W6"}, 0, "",
         "1=+4670123 Anna Renamed|2=0812w34p5w6 Bo|4=0812,34 Comma"},
        {true, {"add", "--number", "w", "--name=--odd"}, 0, "", "1=+4670123 Anna Renamed|2=0812w34p5w6 Bo|3=w --odd|4=0812,34 Comma"},
        {true, {"delete", "--index", "3"}, 0, "", "1=+4670123 Anna Renamed|2=0812w34p5w6 Bo|4=0812,34 Comma"},
        {true, {"add", "--name", "Дмитрий", "--number", "0701"}, 0, "",
         "1=+4670123 Anna Renamed|2=0812w34p5w6 Bo|3=0701 Дмитрий|4=0812,34 Comma"},
        {true, {"add", "--name", "Αθηνά", "--number", "0702"}, 0, "",
         "1=+4670123 Anna Renamed|2=0812w34p5w6 Bo|3=0701 Дмитрий|4=0812,34 Comma|5=0702 Αθηνά"},
        {true, {"modify", "--index", "5", "--name", "王小明", "--number", "0702"}, 0, "",
         "1=+4670123 Anna Renamed|2=0812w34p5w6 Bo|3=0701 Дмитрий|4=0812,34 Comma|5=0702 王小明"},
        {true, {"add", "--name", "Bank [card] €", "--number", "0703"}, 0, "",
         "1=+4670123 Anna Renamed|2=0812w34p5w6 Bo|3=0701 Дмитрий|4=0812,34 Comma|5=0702 王小明|6=0703 Bank [card] €"},
        {true, {"move", "--from", "SM", "--to", "ME", "--index", "3"}, 0, "",
         "1=+4670123 Anna Renamed|2=0812w34p5w6 Bo|4=0812,34 Comma|5=0702 王小明|6=0703 Bank [card] €", "1=0701 Дмитрий"},
        {false, {"add", "--name", "{x} ~ ^ |", "--number", "0707"}, 0, "",
         "1=+4670123 Anna Renamed|2=0812w34p5w6 Bo|3=0707 {x} ~ ^ ||4=0812,34 Comma|5=0702 王小明|6=0703 Bank [card] €"},
        {true, {"move", "--from", "SM", "--to", "ME", "--index", "1"}, 1, "Failed to add contact", nullptr, nullptr, "+CPBW=2,"},
        {true, {"move", "--from", "SM", "--to", "ME", "--index", "5"}, 1, "now on both memories: SM location 5 and ME location 2", nullptr,
         "1=0701 Дмитрий|2=0702 王小明", "+CPBW=5"},
        {true, {"move", "--from", "SM", "--to", "ME", "--index", "6", "--json"}, 0,
         R"({"from":"SM","index":6,"new_index":3,"to":"ME"})",
         "1=+4670123 Anna Renamed|2=0812w34p5w6 Bo|3=0707 {x} ~ ^ ||4=0812,34 Comma|5=0702 王小明",
         "1=0701 Дмитрий|2=0702 王小明|3=0703 Bank [card] €"},
        {true, {"move", "--from", "SM", "--to", "ME", "--index", "1"}, 1, "Error: SIM/Phone is out of memory"},
        {true, {"move", "--from", "SM", "--to", "ME", "--index", "7"}, 1, "cannot be read", nullptr, nullptr, "", true},
    };
    for (const auto& c : cases) {
        const std::string line = c.arguments.join(u' ').toStdString();
        simulator.setOffersUcs2(c.ucs2);
        simulator.clearFaults();
        if (*c.fault)
            simulator.setCmeErrorFor(QString::fromLatin1(c.fault), 3);
        simulator.setEmptyLocationAnswersOk(c.emptyAnswersOk);
        simulator.clearReceivedCommands();
        const CliRun run = Run(c.arguments);
        EXPECT_EQ(run.status, c.status) << line << ": " << run.err.toStdString();
        EXPECT_TRUE((c.status ? run.err : run.out).contains(QString::fromUtf8(c.message))) << line << ": " << run.err.toStdString();
        EXPECT_EQ(run.err.count(u'\n'), c.status ? (c.phone ? 2 : 1) : 0) << line << ": " << run.err.toStdString();
        EXPECT_EQ(simulator.selectedCharacterSet(), QStringLiteral("GSM")) << line;
        EXPECT_TRUE(!c.status || *c.fault || !simulator.receivedCommands().join(' ').contains(QLatin1String("CPBW"))) << line;
        sim = c.sim ? QString::fromUtf8(c.sim) : sim;
        phone = c.phone ? QString::fromUtf8(c.phone) : phone;
        EXPECT_EQ(Held(SM), sim) << line;
        EXPECT_EQ(Held(ME), phone) << line;
    }
    // And read back as written.
    simulator.clearFaults();
    simulator.setOffersUcs2(true);
    const QJsonObject list = Json(Run({"list", "--json"}));
    EXPECT_EQ((QList<int>{list["first"].toInt(), list["last"].toInt(), list["max_name"].toInt(), list["max_number"].toInt()}),
              (QList<int>{1, 10, 18, 40}));
    EXPECT_EQ(Listed(list), sim);
}

TEST_F(PhoneBookEditCli, ToContactsCopiesEachEntryOnce)
{
    ContactsFolder contacts;
    simulator.writeEntry(SM, 1, "+46701234567", "First  Last");
    simulator.writeEntry(SM, 2, "0812345", "Solo");
    simulator.writeEntry(SM, 3, "", "No Number");  // matched by its name on the second run
    simulator.writeEntry(ME, 1, "+4681234567", "Anna Berg");

    CliRun run = Run({"to-contacts", "--memory", "SM", "--json"});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(Json(run), (QJsonObject{{"copied", 3}, {"skipped", 0}}));
    run = Run({"to-contacts", "--json"});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(Json(run), (QJsonObject{{"copied", 1}, {"skipped", 3}}));

    // A contacts folder that cannot be made: nothing is copied.
    const QString blocker = contacts.path + QStringLiteral("/plain-file");
    QFile(blocker).open(QIODevice::WriteOnly);
    qputenv("TESSALY_CONTACTS", (blocker + QStringLiteral("/contacts")).toUtf8());
    run = Run({"to-contacts"});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains(QLatin1String("Could not log on to POOM"))) << run.err.toStdString();
    qputenv("TESSALY_CONTACTS", contacts.path.toUtf8());

    // A phone book the device will not list: nothing is copied from it.
    simulator.setCmeErrorFor(QStringLiteral("+CPBR=1,"), 13);
    run = Run({"to-contacts", "--memory", "SM"});
    EXPECT_EQ(run.status, 1) << run.out.toStdString();
    simulator.clearFaults();

    CContactsStore store(contacts.path);
    ASSERT_TRUE(store.LogOn());
    QStringList names;  // work number: first name / last name
    for (int i = 0; i < store.Count(); ++i) {
        const auto item = store.ItemAt(i);
        names << QStringLiteral("%1: %2 / %3").arg(item->Field(FIELD_WORK_TEL), item->Property(ContactProperty::FirstName),
                                                    item->Property(ContactProperty::LastName));
    }
    names.sort();
    EXPECT_EQ(names.join(u'|'), u"+46701234567: First / Last|+4681234567: Anna / Berg|0812345: Solo / |: No / Number"_qs);

}

}  // namespace
