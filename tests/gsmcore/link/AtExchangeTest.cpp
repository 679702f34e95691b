// The exchange fed what real devices send: scripted bytes through the line
// cutter, once as one read and once a byte at a time; out come the reply,
// its final result and the lines left to the unsolicited-code router.

#include "gsmcore/link/AtExchange.h"
#include "gsmcore/link/LineCutter.h"
#include "gsmcore/link/UnsolicitedCodes.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

struct Outcome {
    QStringList reply;
    QString final;
    QStringList unsolicited;  // "?" marks a line no handler knows
    bool prompted = false;
};

Outcome Exchange(const char* command, const QByteArray& bytes, int chunk, bool echoOnly)
{
    CAtRequest request = CAtRequest::For(QString::fromLatin1(command));
    request.echoOnly = echoOnly;
    CAtExchange exchange;
    exchange.begin(request);
    Outcome out;
    CLineCutter cutter;
    for (qsizetype at = 0; at < bytes.size(); at += chunk) {
        const QByteArray part = bytes.mid(at, chunk);
        std::memcpy(cutter.area(), part.constData(), size_t(part.size()));
        if (!cutter.accept(int(part.size())))
            continue;
        QString line;
        while (cutter.hasunread() && cutter.cut(line) == CLineCutter::Cut::Line) {
            if (line.isEmpty())
                continue;
            if (exchange.feed(line, cutter.lastwasoverlong()) == CAtExchange::Take::Unsolicited)
                out.unsolicited.append(ClassifyUnsolicited(line) == UnsolicitedCode::None ? "?" + line : line);
        }
    }
    out.reply = exchange.lines();
    out.final = exchange.done() ? exchange.finalline() : QStringLiteral("(none)");
    out.prompted = exchange.prompted();
    return out;
}

struct ExchangeCase {
    const char* name;
    const char* command;
    QByteArray bytes;
    QStringList reply;
    const char* final;
    QStringList unsolicited;
    bool prompted = false;
    bool echoOnly = false;
};

const QByteArray kPdu = "0011000B911326214365F70000AA02E834\x1A";

const ExchangeCase kCases[] = {
    {"answer", "AT+CSQ", "AT+CSQ\r\r\n+CSQ: 15,99\r\n\r\nOK\r\n", {"+CSQ: 15,99"}, "OK", {}},
    {"error", "ATE1", "ATE1\r\r\nERROR\r\n", {}, "ERROR", {}},
    {"device error", "AT+CPBR=1", "AT+CPBR=1\r\r\n+CME ERROR: 22\r\n", {}, "+CME ERROR: 22", {}},
    {"message error", "AT+CMGR=9", "AT+CMGR=9\r\r\n+CMS ERROR: 321\r\n", {}, "+CMS ERROR: 321", {}},
    {"a dial's answer is the call's", "ATD0612;", "ATD0612;\r\r\nOK\r\n", {}, "(none)", {"OK"}, false, true},
    {"dial busy", "ATD0612;", "ATD0612;\r\r\nBUSY\r\n", {}, "BUSY", {}},
    {"dial no carrier", "ATD0612;", "ATD0612;\r\r\nNO CARRIER\r\n", {}, "NO CARRIER", {}},
    {"dial no answer", "ATD0612;", "ATD0612;\r\r\nNO ANSWER\r\n", {}, "NO ANSWER", {}},
    {"dial no dial tone", "ATD0612", "ATD0612\r\r\nNO DIALTONE\r\n", {}, "NO DIALTONE", {}},
    {"dial connect", "ATD0612", "ATD0612\r\r\nCONNECT 9600\r\n", {}, "CONNECT 9600", {}},
    {"a call's end is no command's end", "AT+CSQ", "AT+CSQ\r\r\nNO CARRIER\r\n+CSQ: 9,0\r\n\r\nOK\r\n",
     {"+CSQ: 9,0"}, "OK", {"NO CARRIER"}},
    {"indicator after the last entry", "AT+CPBR=1,2",
     "AT+CPBR=1,2\r\r\n+CPBR: 1,\"0612\",129,\"Ann\"\r\n+CPBR: 2,\"0613\",129,\"Bob\"\r\n+CIEV: 2,3\r\n\r\nOK\r\n",
     {"+CPBR: 1,\"0612\",129,\"Ann\"", "+CPBR: 2,\"0613\",129,\"Bob\""}, "OK", {"+CIEV: 2,3"}},
    {"codes between entries", "AT+CPBR=1,2",
     "AT+CPBR=1,2\r\r\n+CPBR: 1,\"0612\",129,\"Ann\"\r\n^RSSI: 17\r\n+CREG: 1\r\n+CPBR: 2,\"0613\",129,\"Bob\"\r\n"
     "\r\nOK\r\n",
     {"+CPBR: 1,\"0612\",129,\"Ann\"", "+CPBR: 2,\"0613\",129,\"Bob\""}, "OK", {"^RSSI: 17", "+CREG: 1"}},
    {"ring inside a write", "AT+CPBW=3,\"0612\",129,\"Ann\"",
     "AT+CPBW=3,\"0612\",129,\"Ann\"\r\r\nRING\r\n\r\n+CLIP: \"0701\",129\r\n\r\nOK\r\n", {}, "OK",
     {"RING", "+CLIP: \"0701\",129"}},
    {"registration answer and report", "AT+CREG?", "AT+CREG?\r\r\n+CREG: 1\r\n+CREG: 0,1\r\n\r\nOK\r\n",
     {"+CREG: 1", "+CREG: 0,1"}, "OK", {}},
    {"a report where the answer belongs", "AT+CSQ", "AT+CSQ\r\r\n+CREG: 1\r\n\r\nOK\r\n", {}, "OK", {"+CREG: 1"}},
    {"free text answer", "AT+CGMM", "AT+CGMM\r\r\nRING\r\n^BOOT: 1,0\r\nNokia 6310i\r\n\r\nOK\r\n", {"Nokia 6310i"},
     "OK", {"RING", "^BOOT: 1,0"}},
    {"unknown line dropped", "AT+CPBS?", "AT+CPBS?\r\r\n$FOO: 1\r\n+CPBS: \"SM\",3,250\r\n\r\nOK\r\n",
     {"+CPBS: \"SM\",3,250"}, "OK", {"?$FOO: 1"}},
    {"late reply before the echo", "AT+CSQ", "\r\n+CPBR: 7,\"1\",129,\"X\"\r\n\r\nOK\r\nAT+CSQ\r\r\n+CSQ: 1,2\r\n\r\nOK\r\n",
     {"+CSQ: 1,2"}, "OK", {"?+CPBR: 7,\"1\",129,\"X\"", "OK"}},
    {"echo must be exact", "AT+CSQ", "AT\r\r\nOK\r\n", {}, "(none)", {"?AT", "OK"}},
    {"message body", "AT+CMGL=4",
     "AT+CMGL=4\r\r\n+CMGL: 1,1,,23\r\n07911326\r\n+CMTI: \"SM\",4\r\n+CMGL: 2,1,,23\r\n07911327\r\n\r\nOK\r\n",
     {"+CMGL: 1,1,,23", "07911326", "+CMGL: 2,1,,23", "07911327"}, "OK", {"+CMTI: \"SM\",4"}},
    {"codes before the prompt", "AT+CMGS=16", "AT+CMGS=16\r\r\n+CREG: 1\r\n+CMTI: \"SM\",3\r\n> ", {}, "(none)",
     {"+CREG: 1", "+CMTI: \"SM\",3"}, true},
    {"refused before the prompt", "AT+CMGS=16", "AT+CMGS=16\r\r\n+CMS ERROR: 500\r\n", {}, "+CMS ERROR: 500", {}},
    {"code inside the submission's result", "AT+CMGS=16",
     "AT+CMGS=16\r\r\n> " + kPdu + "\r\n+CMGS: 12\r\n\r\n+CIEV: 2,3\r\n\r\nOK\r\n", {"+CMGS: 12"}, "OK",
     {"?" + QString::fromLatin1(kPdu), "+CIEV: 2,3"}, true},
    {"over-long line is damaged reply", "AT+CPBR=1,2",
     "AT+CPBR=1,2\r\r\n" + QByteArray(1500, 'x') + "+CPBR: 2,\"0\",129,\"B\"\r\n\r\nOK\r\n",
     {QString(1001, 'x'), QString(499, 'x') + "+CPBR: 2,\"0\",129,\"B\""}, "OK", {}},
};

TEST(AtExchange, EveryReplyKeepsItsOwnLinesWhateverComesBetween)
{
    for (const ExchangeCase& c : kCases) {
        for (const int chunk : {CLineCutter::ReadChunk, 1}) {
            SCOPED_TRACE(testing::Message() << c.name << ", reads of " << chunk);
            const Outcome out = Exchange(c.command, c.bytes, chunk, c.echoOnly);
            EXPECT_EQ(out.reply, c.reply);
            EXPECT_EQ(out.final, QString::fromLatin1(c.final));
            EXPECT_EQ(out.unsolicited, c.unsolicited);
            EXPECT_EQ(out.prompted, c.prompted);
        }
    }
}

TEST(UnsolicitedCodes, RouterKnowsTheStandardAndTheMakersCodes)
{
    using U = UnsolicitedCode;
    const struct {
        const char* line;
        U code;
    } cases[] = {
        {"RING", U::Call},           {"ring", U::Call},
        {"+CRING: VOICE", U::Call},  {"+CLIP: \"0612\",129", U::Call},
        {"NO CARRIER", U::Call},     {"*ECAV: 1,3,1", U::Call},
        {"%CPI: 1,6,0,1", U::Call},  {"+CMTI: \"SM\",3", U::MessageIndex},
        {"+CMT: ,24", U::Message},   {"+CDS: 25", U::Report},
        {"+CREG: 1", U::Registration}, {"+CGREG: 1", U::GprsRegistration},
        {"+CIEV: 2,3", U::Indicator}, {"+CSSU: 2", U::Supplementary},
        {"^RSSI: 17", U::Maker},     {"*EMRDY: 1", U::Maker},
        {"+CPBR: 1,\"0\",129,\"A\"", U::None}, {"Nokia 6310i", U::None},
        {"", U::None},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ClassifyUnsolicited(QString::fromLatin1(c.line)), c.code) << c.line;
}

}  // namespace
