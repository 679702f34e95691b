// How closely the simulator's output follows the chosen baud rate, and how
// fast it answers a full phone book read when unpaced. Run by hand:
//   modemsim_bench --benchmark_counters_tabular=true
// The "wire_ratio" counter is measured time / (bytes × 10 / baud); it
// should stay within a few percent of 1 for large transfers.

#include "tools/modemsim/ModemSimulator.h"

#include <benchmark/benchmark.h>

#include <chrono>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

int OpenRaw(const QString& path)
{
    const int fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd >= 0) {
        termios tio {};
        tcgetattr(fd, &tio);
        cfmakeraw(&tio);
        tcsetattr(fd, TCSANOW, &tio);
    }
    return fd;
}

// Reads until `count` bytes or `until` bytes seen at the end; false on time-out.
bool ReadAll(int fd, qsizetype count, const QByteArray& until, QByteArray& got, int timeoutMs)
{
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    char buffer[4096];
    while (Clock::now() < end) {
        if ((count > 0 && got.size() >= count) || (!until.isEmpty() && got.endsWith(until)))
            return true;
        pollfd p {fd, POLLIN, 0};
        if (::poll(&p, 1, 50) > 0) {
            const ssize_t n = ::read(fd, buffer, sizeof(buffer));
            if (n > 0)
                got.append(buffer, n);
        }
    }
    return false;
}

void BM_PacedOutput(benchmark::State& state)
{
    const int baud = static_cast<int>(state.range(0));
    const int bytes = static_cast<int>(state.range(1));
    ModemSimulator sim;
    sim.setBaud(baud);
    if (!sim.start()) {
        state.SkipWithError("no pty");
        return;
    }
    const int fd = OpenRaw(sim.devicePath());
    const QByteArray payload(bytes, 'x');
    double ratioSum = 0;
    for (auto _ : state) {
        QByteArray got;
        const auto start = Clock::now();
        sim.sendUnsolicited(payload);
        if (!ReadAll(fd, bytes, {}, got, 60000)) {
            state.SkipWithError("time-out");
            break;
        }
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(seconds);
        ratioSum += seconds / (bytes * 10.0 / baud);
    }
    state.counters["wire_ratio"] = ratioSum / static_cast<double>(std::max<benchmark::IterationCount>(1, state.iterations()));
    state.SetBytesProcessed(state.iterations() * bytes);
    ::close(fd);
}
BENCHMARK(BM_PacedOutput)
    ->Args({9600, 2400})
    ->Args({57600, 14400})
    ->Args({115200, 28800})
    ->Args({115200, 512})
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

void BM_FullPhoneBookRead(benchmark::State& state)
{
    ModemSimulator sim;
    sim.fillPhoneBook(QStringLiteral("SM"), 250, 1);
    if (!sim.start()) {
        state.SkipWithError("no pty");
        return;
    }
    const int fd = OpenRaw(sim.devicePath());
    for (auto _ : state) {
        QByteArray got;
        [[maybe_unused]] const auto written = ::write(fd, "AT+CPBR=1,250\r\n", 15);
        if (!ReadAll(fd, 0, "\r\nOK\r\n", got, 10000)) {
            state.SkipWithError("time-out");
            break;
        }
        benchmark::DoNotOptimize(got);
    }
    ::close(fd);
}
BENCHMARK(BM_FullPhoneBookRead)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
