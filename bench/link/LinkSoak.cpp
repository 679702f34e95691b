// Soak run of the GSM core against the simulator: connect, read both
// memories, write, delete, disconnect, over and over, with a random fault
// in most cycles. Prints the failures by kind, and the process's resident
// memory and open descriptors at cycle 10 and at the end, which must not
// grow with the cycles.
//
//   bench_link_soak [CYCLES] [SEED]     (1000 and 1 by default)

#include "gsmcore/phonebook/PhoneBookConnection.h"
#include "gsmcore/phonebook/SIMExtractor.h"
#include "support/AppMessages.h"
#include "tools/modemsim/ModemSimulator.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <map>
#include <string>

#include <unistd.h>

namespace {

constexpr int kEntries = 60;

enum class Fault { None, DroppedEcho, Delay, Garbage, Unsolicited, DeviceError, Unplug, Count };

const char* FaultName(Fault fault)
{
    switch (fault) {
    case Fault::None: return "none";
    case Fault::DroppedEcho: return "dropped echo";
    case Fault::Delay: return "delayed reply";
    case Fault::Garbage: return "garbage between lines";
    case Fault::Unsolicited: return "unsolicited codes";
    case Fault::DeviceError: return "device error mid-listing";
    case Fault::Unplug: return "unplugged mid-listing";
    case Fault::Count: break;
    }
    return "?";
}

long ResidentKiB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLong() * (sysconf(_SC_PAGESIZE) / 1024) : -1;
}

long OpenDescriptors()
{
    return long(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::NoDotAndDotDot | QDir::System).size());
}

void Apply(ModemSimulator& sim, Fault fault, QRandomGenerator& random)
{
    ModemSimulator::ReplyFault inListing;
    inListing.afterLines = int(random.bounded(kEntries));
    switch (fault) {
    case Fault::DroppedEcho: sim.setDropEcho(true); return;
    case Fault::Delay: sim.setReplyDelayMs(int(random.bounded(400))); return;
    case Fault::Garbage:
        inListing.insert = "\r\n" + ModemSimulator::garbageBytes(int(random.bounded(1, 300)), random.generate()) + "\r\n";
        break;
    case Fault::Unsolicited:
        inListing.insert = "\r\nRING\r\n\r\n+CMTI: \"SM\",3\r\n\r\n+CREG: 1,\"00C3\",\"1A2B\"\r\n";
        break;
    case Fault::DeviceError:
        inListing.insert = "\r\n+CME ERROR: 13\r\n";
        inListing.cut = true;
        break;
    case Fault::Unplug:
        inListing.cut = true;
        inListing.vanish = true;
        inListing.holdMs = 50;
        break;
    default: return;
    }
    sim.setReplyFault(QStringLiteral("+CPBR=1,"), inListing);
}

// Unplugged by the last cycle's fault: plugged in again.
void PlugIn(ModemSimulator& sim)
{
    if (!sim.isRunning()) {
        sim.stop();
        sim.start();
    }
}

// Failures are counted, not shown: no message box may wait for a user.
class SilentHandler : public AppMessageHandler {
public:
    int ShowMessage(const QString&, unsigned, const QString&) override { return 1; }
};

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir home;
    qputenv("TESSALY_REGISTRY", home.filePath(QStringLiteral("registry.ini")).toLocal8Bit());
    CAppMessages::Instance().SetMessageHandler(std::make_unique<SilentHandler>());
    const int cycles = argc > 1 ? std::max(1, atoi(argv[1])) : 1000;
    QRandomGenerator random(argc > 2 ? quint32(atoi(argv[2])) : 1u);

    ModemSimulator sim;
    if (!sim.start())
        return 1;
    sim.setDeviceType(8);
    std::map<std::string, int> failures;
    std::map<std::string, int> faults;
    const auto started = std::chrono::steady_clock::now();
    long rss10 = 0, fds10 = 0;
    for (int cycle = 1; cycle <= cycles; ++cycle) {
        PlugIn(sim);
        sim.clearFaults();
        sim.clearReceivedCommands();  // its log would grow, not ours
        sim.fillPhoneBook(QStringLiteral("SM"), kEntries, quint64(cycle));
        sim.fillPhoneBook(QStringLiteral("ME"), kEntries, quint64(cycle) + 7);
        const Fault fault = Fault(random.bounded(int(Fault::Count)));
        ++faults[FaultName(fault)];

        CPhoneBookConnection connection;
        connection.SetSleep([](int) {});
        connection.SetPort(sim.devicePath(), 115200);
        if (!connection.Connect() || !connection.IsSimReady() || !connection.IsPhoneReady()) {
            ++failures["connect"];
            continue;
        }
        connection.GetDevicePtr()->setechotimeout(300);
        connection.GetSimStore()->DisableErrorMessages();
        connection.GetPhoneStore()->DisableErrorMessages();
        Apply(sim, fault, random);
        ExtractorContactArray entries;
        if (!connection.GetSimStore()->GetAll(entries))
            ++failures[std::string("read SIM under ") + FaultName(fault)];
        sim.setReplyFault(QStringLiteral("+CPBR=1,"), {});
        if (!connection.GetPhoneStore()->GetAll(entries))
            ++failures[std::string("read phone under ") + FaultName(fault)];
        QString number = QStringLiteral("+46701234567");
        if (!connection.GetSimStore()->Add(kEntries + 1, QStringLiteral("Soak"), number))
            ++failures[std::string("write under ") + FaultName(fault)];
        if (!connection.GetSimStore()->Delete(kEntries + 1))
            ++failures[std::string("delete under ") + FaultName(fault)];
        connection.Disconnect();
        if (cycle == 10) {
            PlugIn(sim);  // the simulator's own descriptors counted alike
            rss10 = ResidentKiB();
            fds10 = OpenDescriptors();
        }
    }
    PlugIn(sim);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("%d cycles in %.1f s (%.0f ms each)\n", cycles, seconds, 1000 * seconds / cycles);
    std::printf("faults:\n");
    for (const auto& [name, count] : faults)
        std::printf("  %-28s %d\n", name.c_str(), count);
    std::printf("failures:\n");
    for (const auto& [name, count] : failures)
        std::printf("  %-44s %d\n", name.c_str(), count);
    std::printf("resident memory: %ld KiB at cycle 10, %ld KiB at cycle %d\n", rss10, ResidentKiB(), cycles);
    std::printf("open descriptors: %ld at cycle 10, %ld at cycle %d\n", fds10, OpenDescriptors(), cycles);
    return 0;
}
