// Move, size detection and the transfer to Contacts, run as a user runs
// them, against the simulated phone over a pty; the simulator's phone
// books are checked after each case, not only what was printed.

#include "tests/tools/cli/CliRun.h"
#include "platform/contacts/ContactsStore.h"

#include <QJsonArray>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>

namespace {

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
    std::map<int, QByteArray> Book(const QString& storage) const
    {
        std::map<int, QByteArray> names;
        for (const auto& e : simulator.entries(storage))
            names[e.index] = e.name;
        return names;
    }
    CliRun Run(const QStringList& arguments) { return Cli(QStringList{"--port", port, "phonebook"} + arguments); }
};

TEST_F(PhoneBookEditCli, MoveAddsFirstAndDeletesSecondAndStopsWhereItFails)
{
    using Names = std::map<int, QByteArray>;
    const struct {
        const char* what;
        int phoneFill;            // phone locations taken before the move
        const char* fault;        // a command prefix the device refuses
        int status;
        const char* message;
        Names sim, phone;         // the device afterwards
    } cases[] = {
        {"moves", 1, "", 0, "", {{2, "Bo"}}, {{1, "Ph1"}, {2, "Anna"}}},
        {"full phone", 3, "", 1, "Error: SIM/Phone is out of memory", {{2, "Bo"}, {4, "Anna"}},
         {{1, "Ph1"}, {2, "Ph2"}, {3, "Ph3"}}},
        {"add refused", 1, "+CPBW=2,", 1, "Failed to add contact", {{2, "Bo"}, {4, "Anna"}}, {{1, "Ph1"}}},
        {"delete refused", 1, "+CPBW=4", 1, "Could not delete contact", {{2, "Bo"}, {4, "Anna"}},
         {{1, "Ph1"}, {2, "Anna"}}},
    };
    for (const auto& c : cases) {
        simulator.clearFaults();
        simulator.clearPhoneBook(SM);
        simulator.clearPhoneBook(ME);
        simulator.writeEntry(SM, 2, "0812345", "Bo");
        simulator.writeEntry(SM, 4, "+46701234567", "Anna");
        for (int i = 1; i <= c.phoneFill; ++i)
            simulator.writeEntry(ME, i, "555", "Ph" + QByteArray::number(i));
        if (*c.fault)
            simulator.setCmeErrorFor(QString::fromLatin1(c.fault), 3);

        const CliRun run = Run({"move", "--from", "SM", "--to", "ME", "--index", "4", "--json"});
        EXPECT_EQ(run.status, c.status) << c.what << ": " << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QString::fromLatin1(c.message))) << c.what << ": " << run.err.toStdString();
        if (c.status == 0) {
            const QJsonObject doc = Json(run);
            EXPECT_EQ(doc["from"].toString(), SM);
            EXPECT_EQ(doc["index"].toInt(), 4);
            EXPECT_EQ(doc["to"].toString(), ME);
            EXPECT_EQ(doc["new_index"].toInt(), 2);
        }
        EXPECT_EQ(Book(SM), c.sim) << c.what;
        EXPECT_EQ(Book(ME), c.phone) << c.what;
    }
    simulator.clearFaults();
    // An empty location (a phone that answers it with a bare OK) moves nothing.
    simulator.setEmptyLocationAnswersOk(true);
    const CliRun empty = Run({"move", "--from", "SM", "--to", "ME", "--index", "7"});
    EXPECT_EQ(empty.status, 1);
    EXPECT_TRUE(empty.err.contains(QLatin1String("cannot be read"))) << empty.err.toStdString();
    EXPECT_EQ(Book(ME), (Names{{1, "Ph1"}, {2, "Anna"}}));
    simulator.setEmptyLocationAnswersOk(false);
    EXPECT_EQ(Run({"move", "--from", "SM", "--to", "SM", "--index", "4"}).status, 2);
    EXPECT_EQ(Run({"move", "--from", "SM", "--to", "ME"}).status, 2);
}

// Names in other scripts and with extension characters, written, changed
// and moved exactly on a phone with UCS2, refused with the reason on one
// without, and counted in the characters of their script.
TEST_F(PhoneBookEditCli, NamesInEveryScriptAreWrittenAndMovedExactlyOrRefused)
{
    using Texts = std::map<int, QString>;
    const QString tooLong = u"Дмитрий Ивано"_qs;  // 13 Cyrillic characters: 27 bytes of the 18
    const struct {
        const char* what;
        bool ucs2;
        QStringList arguments;
        int status;
        QString message;
        Texts sim, phone;  // the device afterwards
    } cases[] = {
        {"Cyrillic", true, {"add", "--name", "Дмитрий", "--number", "0701"}, 0, {}, {{1, u"Дмитрий"_qs}}, {}},
        {"Greek", true, {"add", "--name", "Αθηνά", "--number", "0702"}, 0, {}, {{1, u"Дмитрий"_qs}, {2, u"Αθηνά"_qs}}, {}},
        {"CJK over Greek", true, {"modify", "--index", "2", "--name", "王小明", "--number", "0702"}, 0, {},
         {{1, u"Дмитрий"_qs}, {2, u"王小明"_qs}}, {}},
        {"extension table", true, {"add", "--name", "Bank [card] €", "--number", "0703"}, 0, {},
         {{1, u"Дмитрий"_qs}, {2, u"王小明"_qs}, {3, u"Bank [card] €"_qs}}, {}},
        {"move Cyrillic", true, {"move", "--from", "SM", "--to", "ME", "--index", "1"}, 0, {},
         {{2, u"王小明"_qs}, {3, u"Bank [card] €"_qs}}, {{1, u"Дмитрий"_qs}}},
        {"too long in its script", true, {"add", "--name", tooLong, "--number", "0704"}, 1,
         u"longer than the 8 characters (UCS2)"_qs, {{2, u"王小明"_qs}, {3, u"Bank [card] €"_qs}}, {{1, u"Дмитрий"_qs}}},
        {"beyond the BMP", true, {"add", "--name", u"Smile \U0001F600"_qs, "--number", "0705"}, 1, u"\U0001F600"_qs,
         {{2, u"王小明"_qs}, {3, u"Bank [card] €"_qs}}, {{1, u"Дмитрий"_qs}}},
        {"no UCS2: refused", false, {"add", "--name", "Zoë 李", "--number", "0706"}, 1,
         u"cannot store ë李 in a name"_qs, {{2, u"王小明"_qs}, {3, u"Bank [card] €"_qs}}, {{1, u"Дмитрий"_qs}}},
        {"no UCS2: extension table", false, {"add", "--name", "{x} ~ ^ |", "--number", "0707"}, 0, {},
         {{1, u"{x} ~ ^ |"_qs}, {2, u"王小明"_qs}, {3, u"Bank [card] €"_qs}}, {{1, u"Дмитрий"_qs}}},
    };
    simulator.clearPhoneBook(SM);
    simulator.clearPhoneBook(ME);
    for (const auto& c : cases) {
        simulator.setOffersUcs2(c.ucs2);
        const CliRun run = Run(c.arguments);
        EXPECT_EQ(run.status, c.status) << c.what << ": " << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(c.message)) << c.what << ": " << run.err.toStdString();
        EXPECT_EQ(simulator.selectedCharacterSet(), QStringLiteral("GSM")) << c.what;
        for (const auto& [storage, expected] : {std::pair{SM, c.sim}, std::pair{ME, c.phone}}) {
            Texts held;
            for (const auto& e : simulator.entries(storage))
                held[e.index] = e.text;
            EXPECT_EQ(held, expected) << c.what << " " << storage.toStdString();
        }
    }
    simulator.setOffersUcs2(true);
    const CliRun list = Run({"list", "--json"});
    EXPECT_EQ(Json(list)["entries"].toArray().at(1).toObject()["name"].toString(), u"王小明"_qs);
}

TEST_F(PhoneBookEditCli, DetectSizesFindsWhatTheSimTakesAndLeavesNoTrialEntry)
{
    // The SIM reports 18 characters but takes 14.
    ASSERT_TRUE(simulator.setAcceptedNameLength(SM, 14));
    simulator.writeEntry(SM, 1, "0812345", "Bo");
    simulator.clearReceivedCommands();
    CliRun run = Run({"detect-sizes", "--memory", "SM", "--json"});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(Json(run)["memory"].toString(), SM);
    EXPECT_EQ(Json(run)["max_name"].toInt(), 14);
    EXPECT_EQ(Json(run)["max_number"].toInt(), 40);
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

TEST_F(PhoneBookEditCli, AddAndModifyWriteWhatIsGivenOrNothing)
{
    using Entries = std::map<int, std::pair<QByteArray, QByteArray>>;  // location -> number, name
    const Entries before = {{1, {"0812345", "Anna"}}, {4, {"0812,34", "Comma"}}};
    auto with = [&before](int location, const QByteArray& number, const QByteArray& name) {
        Entries entries = before;
        entries[location] = {number, name};
        return entries;
    };
    const struct {
        QStringList arguments;
        int status;
        const char* message;  // on standard error
        Entries after;
    } cases[] = {
        {{"modify", "--index", "1", "--name", "Anna Renamed"}, 0, "", with(1, "0812345", "Anna Renamed")},
        {{"modify", "--index", "1", "--number", "+46 70-123"}, 0, "", with(1, "+4670123", "Anna")},
        {{"add", "--name", "Bo", "--number", "0812w34P5W6"}, 0, "", with(2, "0812w34p5w6", "Bo")},
        {{"add", "--name", "Wait", "--number", "w"}, 0, "", with(2, "w", "Wait")},
        {{"add", "--name", "Bo"}, 1, "needs a --name and a --number", before},
        {{"add", "--name", "Bo", "--number", ""}, 1, "needs a --name and a --number", before},
        {{"add", "--name", "Bo", "--number", "0812x3"}, 1, "it holds \"x\"", before},
        {{"modify", "--index", "1", "--number", "46+70"}, 1, "it holds \"+\"", before},
        {{"add", "--name", "Bo", "--number", "( - )"}, 1, "nothing but separators", before},
        {{"modify", "--index", "3", "--name", "Cy"}, 1, "cannot be read", before},       // empty location
        {{"modify", "--index", "4", "--name", "Dot"}, 1, "cannot be written back", before},  // "," would be lost
        // These would end the command early and leave a name cut short.
        {{"add", "--name", "A\r\nB", "--number", "1"}, 1, "line break", before},
        {{"modify", "--index", "1", "--name", "say \"hi\""}, 1, "double quote", before},
    };
    for (const auto& c : cases) {
        const std::string line = c.arguments.join(' ').toStdString();
        simulator.clearPhoneBook(SM);
        for (const auto& [location, entry] : before)
            simulator.writeEntry(SM, location, entry.first, entry.second);
        simulator.clearReceivedCommands();
        const CliRun run = Run(c.arguments + QStringList{"--memory", "SM"});
        EXPECT_EQ(run.status, c.status) << line << ": " << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QString::fromLatin1(c.message))) << line << ": " << run.err.toStdString();
        Entries stored;
        for (const auto& e : simulator.entries(SM))
            stored[e.index] = {e.number, e.name};
        EXPECT_EQ(stored, c.after) << line;
        if (c.status != 0) {
            EXPECT_FALSE(simulator.receivedCommands().join(' ').contains(QLatin1String("CPBW"))) << line;
            continue;
        }
        // Read back as written.
        const int location = c.arguments[0] == QLatin1String("add") ? 2 : 1;
        const CliRun get = Run({"get", "--memory", "SM", "--index", QString::number(location), "--json"});
        EXPECT_EQ(Json(get)["number"].toString().toLatin1(), c.after.at(location).first) << line;
    }
}

TEST_F(PhoneBookEditCli, ToContactsCopiesOnceAndKhardListsTheContacts)
{
    QTemporaryDir folder;
    const QByteArray before = qgetenv("TESSALY_CONTACTS");
    qputenv("TESSALY_CONTACTS", folder.path().toUtf8());
    struct Restore {
        QByteArray value;
        ~Restore() { qputenv("TESSALY_CONTACTS", value); }
    } restore{before};
    simulator.writeEntry(SM, 1, "+46701234567", "First  Last");
    simulator.writeEntry(SM, 2, "0812345", "Solo");
    simulator.writeEntry(SM, 3, "", "No Number");  // matched by its name on the second run
    simulator.writeEntry(ME, 1, "+4681234567", "Anna Berg");

    CliRun run = Run({"to-contacts", "--memory", "SM", "--json"});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(Json(run)["copied"].toInt(), 3);
    run = Run({"to-contacts", "--json"});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(Json(run)["copied"].toInt(), 1);
    EXPECT_EQ(Json(run)["skipped"].toInt(), 3);
    EXPECT_EQ(Run({"to-contacts", "--memory", "XX"}).status, 2);

    // A contacts folder that cannot be made: nothing is copied.
    const QString blocker = folder.path() + QStringLiteral("/plain-file");
    QFile(blocker).open(QIODevice::WriteOnly);
    qputenv("TESSALY_CONTACTS", (blocker + QStringLiteral("/contacts")).toUtf8());
    run = Run({"to-contacts"});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains(QLatin1String("Could not log on to POOM"))) << run.err.toStdString();
    qputenv("TESSALY_CONTACTS", folder.path().toUtf8());

    // A phone book the device will not list: nothing is copied from it.
    simulator.setCmeErrorFor(QStringLiteral("+CPBR=1,"), 13);
    run = Run({"to-contacts", "--memory", "SM"});
    EXPECT_EQ(run.status, 1) << run.out.toStdString();
    simulator.clearFaults();

    CContactsStore store(folder.path());
    ASSERT_TRUE(store.LogOn());
    ASSERT_EQ(store.Count(), 4);
    std::map<QString, std::pair<QString, QString>> names;  // work number -> first, last
    for (int i = 0; i < store.Count(); ++i) {
        const auto item = store.ItemAt(i);
        names[item->Field(FIELD_WORK_TEL)] = {item->Property(ContactProperty::FirstName),
                                              item->Property(ContactProperty::LastName)};
    }
    EXPECT_EQ(names[QStringLiteral("+46701234567")], std::make_pair(QStringLiteral("First"), QStringLiteral("Last")));
    EXPECT_EQ(names[QStringLiteral("0812345")], std::make_pair(QStringLiteral("Solo"), QString()));

    const QString config = folder.path() + QStringLiteral(".khard.conf");
    ASSERT_TRUE(WriteText(config, "[addressbooks]\n[[test]]\npath = " + folder.path().toUtf8() + "\n"));
    const QString phones = RunTool(QStringLiteral("khard"), {"-c", config, "phone", "--parsable"});
    QFile::remove(config);
    EXPECT_TRUE(phones.contains(QStringLiteral("+46701234567\tFirst Last"))) << phones.toStdString();
    EXPECT_TRUE(phones.contains(QStringLiteral("+4681234567\tAnna Berg"))) << phones.toStdString();
}

}  // namespace
