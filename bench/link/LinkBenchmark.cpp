// Figures of the device link, printed as text:
//  a) line cutting of the receive path fed from memory (MB/s);
//  b) command round trips against the unpaced simulator over a pty
//     (round trips per second, median latency);
//  c) receive time of an N-byte reply from the simulator paced at
//     115200 baud, divided by its wire time (10 bits per byte).
// Usage: bench_link [a|b|c]... (all three without arguments)

#include "gsmcore/link/GSMDevice.h"
#include "gsmcore/link/LineCutter.h"
#include "tools/modemsim/ModemSimulator.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

// A phone book read as the device sends it.
QByteArray PhoneBookReply(int bytesWanted)
{
    QByteArray reply;
    for (int index = 1; reply.size() < bytesWanted; ++index)
        reply += "+CPBR: " + QByteArray::number(index) + ",\"+3161234" + QByteArray::number(10000 + index) +
                 "\",145,\"Contact name " + QByteArray::number(index) + "\"\r\n";
    return reply;
}

void LineCutting()
{
    const QByteArray block = PhoneBookReply(1 << 20);
    const int rounds = 64;
    CLineCutter cutter;
    qint64 lines = 0;
    qint64 characters = 0;
    const auto start = Clock::now();
    for (int round = 0; round < rounds; ++round) {
        for (qsizetype offset = 0; offset < block.size(); offset += CLineCutter::ReadChunk) {
            const int count = static_cast<int>(std::min<qsizetype>(CLineCutter::ReadChunk, block.size() - offset));
            std::memcpy(cutter.area(), block.constData() + offset, static_cast<size_t>(count));
            if (!cutter.accept(count))
                continue;
            QString line;
            while (cutter.hasunread() && cutter.cut(line) == CLineCutter::Cut::Line) {
                ++lines;
                characters += line.size();
            }
        }
    }
    const double seconds = Seconds(Clock::now() - start);
    const double megabytes = static_cast<double>(block.size()) * rounds / 1e6;
    std::printf("a) line cutting: %.1f MB in %.3f s = %.1f MB/s (%lld lines, %lld characters; target >= 50 MB/s)\n",
                megabytes, seconds, megabytes / seconds, static_cast<long long>(lines),
                static_cast<long long>(characters));
}

void RoundTrips()
{
    ModemSimulator sim;
    if (!sim.start()) {
        std::printf("b) simulator did not start\n");
        return;
    }
    CGSMCorePref pref;
    pref.m_Port = sim.devicePath();
    Ptr<CGSMDevice> device = CGSMDevice::create(&pref);
    if (!device->init()) {
        std::printf("b) port did not open\n");
        return;
    }
    const int count = 500;
    std::vector<double> latencies;
    latencies.reserve(count);
    int failures = 0;
    const auto start = Clock::now();
    for (int i = 0; i < count; ++i) {
        const auto begin = Clock::now();
        if (!device->execute_set(QStringLiteral("+CSCS=\"GSM\""), 3000))
            ++failures;
        latencies.push_back(Seconds(Clock::now() - begin) * 1000.0);
    }
    const double seconds = Seconds(Clock::now() - start);
    std::sort(latencies.begin(), latencies.end());
    std::printf("b) round trips: %d in %.3f s = %.0f per second; median %.3f ms (target < 0.5 ms), 90%% %.3f ms, "
                "max %.3f ms, %d failed\n",
                count, seconds, count / seconds, latencies[latencies.size() / 2],
                latencies[latencies.size() * 9 / 10], latencies.back(), failures);
}

void PacedReply(int bytes)
{
    const int baud = 115200;
    ModemSimulator::Options options;
    options.baud = baud;
    ModemSimulator sim(options);
    if (!sim.start()) {
        std::printf("c) simulator did not start\n");
        return;
    }
    CGSMCorePref pref;
    pref.m_Port = sim.devicePath();
    pref.m_Speed = baud;
    Ptr<CGSMDevice> device = CGSMDevice::create(&pref);
    if (!device->init()) {
        std::printf("c) port did not open\n");
        return;
    }
    // Phone book lines, one padding line and the final OK: exactly `bytes`.
    QByteArray reply = PhoneBookReply(bytes);
    reply.truncate(reply.lastIndexOf("\r\n", bytes - 80) + 2);
    const qsizetype padding = bytes - reply.size() - 6;
    reply += QByteArray(padding, 'x') + "\r\nOK\r\n";
    device->clearbuffer();
    const auto start = Clock::now();
    sim.sendUnsolicited(reply);
    QString line;
    int lines = 0;
    bool complete = false;
    while (device->readline(line, 5000)) {
        ++lines;
        if (line == QLatin1String("OK")) {
            complete = true;
            break;
        }
    }
    const double received = Seconds(Clock::now() - start);
    const double wire = static_cast<double>(reply.size()) * 10.0 / baud;
    std::printf("c) paced reply: %lld bytes at %d baud, %d lines%s: received in %.3f s, wire time %.3f s, "
                "ratio %.3f (target <= 1.002)\n",
                static_cast<long long>(reply.size()), baud, lines, complete ? "" : " (INCOMPLETE)", received, wire,
                received / wire);
}

}  // namespace

int main(int argc, char** argv)
{
    // Keep the user's registry and trace settings out of the figures.
    QTemporaryDir home;
    qputenv("TESSALY_REGISTRY", (home.path() + QStringLiteral("/registry.ini")).toLocal8Bit());
    QCoreApplication app(argc, argv);
    QByteArray which = "abc";
    if (argc > 1) {
        which.clear();
        for (int i = 1; i < argc; ++i)
            which += argv[i];
    }
    if (which.contains('a'))
        LineCutting();
    if (which.contains('b'))
        RoundTrips();
    if (which.contains('c'))
        PacedReply(10 * 1024);
    return 0;
}
