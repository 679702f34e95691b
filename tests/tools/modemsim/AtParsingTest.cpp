// The pure parsers of the simulated modem: command line splitting,
// argument lists, PDU lengths and phone book limits.

#include "tests/TestEnvironment.h"
#include "tools/modemsim/AtArguments.h"
#include "tools/modemsim/AtCommandLine.h"
#include "tools/modemsim/SimPhoneBook.h"
#include "tools/modemsim/SmsMessages.h"

#include <QByteArrayList>

#include <gtest/gtest.h>

namespace {

// What `parser` makes of `in`, as tests/data/modemsim/parsers.txt writes it.
QByteArray Parsed(const QByteArray& parser, const QByteArray& in)
{
    const QByteArray refused = "refused";
    if (parser == "line" || parser == "prefix") {
        const auto afterAt = StripAtPrefix(in);
        if (parser == "prefix" || !afterAt)
            return afterAt.value_or(refused);
        const auto commands = SplitCommandLine(*afterAt);
        QByteArrayList described;
        for (const AtCommand& command : commands.value_or(std::vector<AtCommand>()))
            described << command.name + '[' + command.args + ']';
        return commands ? described.join('|') : refused;
    }
    if (parser == "form") {
        const AtCommand command {AtCommand::Kind::Extended, "+X", in};
        static const char* const kForms[] = {"action", "query", "test", "set"};  // AtForm's order
        const QByteArray args = SetArguments(command);
        return kForms[static_cast<int>(FormOf(command))] + (args.isEmpty() ? "" : ' ' + args);
    }
    const auto number = [&](std::optional<int> n) { return n ? QByteArray::number(*n) : refused; };
    if (parser == "number") {
        const auto values = ParseArguments(in).value_or(std::vector<AtValue>());
        return number(values.empty() ? std::nullopt : values.front().number());
    }
    if (parser == "tpdu")
        return number(TpduLengthOfPdu(in));
    if (parser == "limits") {
        const auto limits = SimBookLimits::fromText(QString::fromLatin1(in));
        return limits ? limits->toText() : refused;
    }
    const auto values = ParseArguments(in);
    QByteArrayList described;
    for (const AtValue& value : values.value_or(std::vector<AtValue>()))
        described << (value.quoted ? '"' + value.text + '"' : value.text);
    return values ? described.join('|') : refused;
}

TEST(ModemSimParsers, EveryParserGivesWhatTheRowSays)
{
    const auto rows = TestDataRows(QStringLiteral("modemsim/parsers.txt"));
    ASSERT_EQ(rows.size(), 61);
    for (const auto& row : rows)
        EXPECT_EQ(Parsed(row[0], row[1]).toStdString(), row[2].toStdString()) << row[0].constData() << " " << row[1].toHex().constData();
}

}  // namespace
