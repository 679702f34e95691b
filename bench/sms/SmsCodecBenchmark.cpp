// Throughput of the PDU codec on single-part 7-bit messages: how many
// messages one core decodes and encodes per second. The target for
// decoding is 500,000 messages per second.

#include "gsmcore/sms/SmsIn.h"
#include "gsmcore/sms/SmsOut.h"

#include <benchmark/benchmark.h>

#include <QString>

namespace {

QString FullText()
{
    QString text;
    for (int i = 0; i < 160; ++i)
        text.append(QChar(u'a' + i % 26));
    return text;
}

QString DeliverPdu(const QString& text)
{
    CSmsIn message;
    message.SetServiceCenterAddress(QStringLiteral("+46705008999"));
    message.SetAddress(QStringLiteral("+46701234567"));
    message.SetTimeStamp(QDateTime(QDate(2003, 1, 8), QTime(16, 0, 0)));
    message.SetText(text);
    return message.Create(nullptr);
}

void DecodeDeliver(benchmark::State& state, const QString& pdu)
{
    for (auto _ : state) {
        CSmsIn message;
        const bool ok = message.Extract(pdu, nullptr);
        benchmark::DoNotOptimize(ok);
        benchmark::DoNotOptimize(message.GetText().size());
    }
    state.counters["messages/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void EncodeSubmit(benchmark::State& state, const QString& text)
{
    CSmsOut message;
    message.SetServiceCenterAddress(QStringLiteral("+46705008999"));
    message.SetAddress(QStringLiteral("+46701234567"));
    message.SetText(text);
    for (auto _ : state) {
        const QString pdu = message.Create(nullptr);
        benchmark::DoNotOptimize(pdu.size());
    }
    state.counters["messages/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_DecodeShortDeliver(benchmark::State& state)
{
    DecodeDeliver(state, QStringLiteral("07916407058099F9040B916407214365F70000301080610000000AE8329BFD4697D9EC37"));
}

void BM_DecodeFullDeliver(benchmark::State& state)
{
    DecodeDeliver(state, DeliverPdu(FullText()));
}

void BM_EncodeShortSubmit(benchmark::State& state)
{
    EncodeSubmit(state, QStringLiteral("hellohello"));
}

void BM_EncodeFullSubmit(benchmark::State& state)
{
    EncodeSubmit(state, FullText());
}

// A new message per send, as the device layer builds one.
void BM_BuildAndEncodeSubmit(benchmark::State& state)
{
    const QString text = QStringLiteral("See you at eight at the station");
    for (auto _ : state) {
        CSmsOut message;
        message.SetServiceCenterAddress(QStringLiteral("+46705008999"));
        message.SetAddress(QStringLiteral("+46701234567"));
        message.SetText(text);
        const QString pdu = message.Create(nullptr);
        benchmark::DoNotOptimize(pdu.size());
    }
    state.counters["messages/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

} // namespace

BENCHMARK(BM_DecodeShortDeliver);
BENCHMARK(BM_DecodeFullDeliver);
BENCHMARK(BM_EncodeShortSubmit);
BENCHMARK(BM_EncodeFullSubmit);
BENCHMARK(BM_BuildAndEncodeSubmit);

BENCHMARK_MAIN();
