// Input framing (command lines, "A/", message bodies) and output pacing.

#include "tools/modemsim/AtInputFramer.h"
#include "tools/modemsim/OutputPacer.h"

#include <gtest/gtest.h>

namespace {

// Feeds a byte stream; after a command line that starts a message (one that
// contains "+CMGS="), switches the framer into the body as the command
// layer would. Returns "kind:bytes" per unit.
std::vector<std::string> Frame(const QByteArray& input)
{
    AtInputFramer framer;
    std::vector<std::string> units;
    for (char byte : input) {
        const auto unit = framer.feed(byte);
        if (!unit)
            continue;
        static const char* const kKinds[] = {"line", "repeat", "body", "cancel", "break"};  // UnitKind's order
        units.push_back(kKinds[static_cast<int>(unit->kind)] + (":" + unit->bytes.toStdString()) + (unit->overflowed ? "!" : ""));
        if (unit->kind == AtInputFramer::UnitKind::CommandLine && unit->bytes.contains("+CMGS="))
            framer.enterMessageBody();
    }
    return units;
}

TEST(AtInputFramer, CutsWhatTerminalsSendAndBoundsRunawayInput)
{
    const std::pair<QByteArray, std::vector<std::string>> cases[] = {
        {"AT\r", {"line:AT"}},
        {"AT+CGMM\r\nAT+CSQ\r\n", {"line:AT+CGMM", "line:AT+CSQ"}},
        {"\r\n\r\n", {"line:", "line:"}},
        {"AT+CSQ", {}},                               // no CR yet
        {"A/", {"repeat:"}},
        {"a/", {"repeat:"}},
        {"AT/\r", {"line:AT/"}},
        {"AT+CMGS=23\r\n0011\x1a", {"line:AT+CMGS=23", "body:0011"}},
        {"AT+CMGS=\"123\"\rHi\rthere\x1a", {"line:AT+CMGS=\"123\"", "break:", "body:Hi\rthere"}},
        {"AT+CMGS=5\rabc\x1b" "AT\r", {"line:AT+CMGS=5", "cancel:abc", "line:AT"}},
        // A name may hold the GSM line feed; only a leading LF is dropped.
        {"AT+CPBW=1,\"1\",129,\"a\nb\"\r", {"line:AT+CPBW=1,\"1\",129,\"a\nb\""}},
        {"AT\x1a\r", {"line:AT\x1a"}},  // Ctrl-Z outside a message is just a byte
        {QByteArray("AT+CPBW=1,\"\",129,\"\0x\"\r", 22), {std::string("line:AT+CPBW=1,\"\",129,\"\0x\"", 26)}},
        // Runaway input is cut at the bound and marked; the next line is whole.
        {QByteArray(AtInputFramer::kMaxUnitBytes + 100, 'A') + "\rAT\r",
         {"line:" + std::string(AtInputFramer::kMaxUnitBytes, 'A') + "!", "line:AT"}},
    };
    for (const auto& [input, units] : cases)
        EXPECT_EQ(Frame(input), units) << input.toHex().constData();
}

TEST(OutputPacer, SpreadsBytesAtTenBitsEachFromTheStartOfABurst)
{
    using namespace std::chrono;
    OutputPacer pacer(9600);  // 960 bytes a second
    const auto t0 = OutputPacer::Clock::now();
    EXPECT_EQ(pacer.allowance(t0), 0);  // nothing has had its time yet
    EXPECT_EQ(pacer.allowance(t0 + milliseconds(100)), 96);
    pacer.wrote(96);
    EXPECT_EQ(pacer.allowance(t0 + milliseconds(100)), 0);
    EXPECT_EQ(pacer.allowance(t0 + milliseconds(1000)), 960 - 96);
    pacer.wrote(960 - 96);
    // The next byte is due 10/9600 s after the last.
    EXPECT_EQ(pacer.untilNext(t0 + milliseconds(1000)), milliseconds(2));

    // A new burst after a pause waits for the wire from then on, not from t0.
    pacer.pause();
    const auto t1 = t0 + seconds(5);
    EXPECT_EQ(pacer.allowance(t1), 0);
    EXPECT_EQ(pacer.allowance(t1 + milliseconds(50)), 48);
    // No baud, or a nonsense one: no pacing at all.
    pacer.setBaud(-5);
    EXPECT_FALSE(pacer.paced());
    EXPECT_GT(OutputPacer(0).allowance(t0), 1'000'000);
}

}  // namespace
