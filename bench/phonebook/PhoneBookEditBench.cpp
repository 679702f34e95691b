// Moving a full SIM (250 entries) to the phone memory through the stores,
// against the simulator paced at the chosen baud rate, as a ratio of the
// time the exchanged bytes take on the wire; and the number of trial
// writes Autodetect needs for a SIM that takes 14-character names.
//
//   bench_phonebook_edit [baud]     (default 115200)

#include "gsmcore/phonebook/EntryMove.h"
#include "gsmcore/phonebook/PhoneBookConnection.h"
#include "gsmcore/phonebook/SizeProbe.h"
#include "tools/modemsim/ModemSimulator.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

// Every command line went out with its CR and came back as its echo
// (line and CR) followed by "\r\nOK\r\n".
qint64 ExchangedBytes(const QStringList& commands)
{
    qint64 bytes = 0;
    for (const QString& command : commands)
        bytes += 2 * (command.size() + 1) + 6;
    return bytes;
}

// A phone with a full SIM and room in its memory, connected the way the
// application connects; the simulator paces nothing until told to.
bool ConnectFullSim(ModemSimulator& simulator, CPhoneBookConnection& connection, int baud)
{
    if (!simulator.start() || !simulator.setDeviceType(8))
        return false;
    simulator.setPhoneBookLimits(QStringLiteral("SM"), 1, 250, 40, 18);
    simulator.setPhoneBookLimits(QStringLiteral("ME"), 1, 500, 40, 18);
    simulator.fillPhoneBook(QStringLiteral("SM"), 250, 42);
    connection.SetPort(simulator.devicePath(), baud);
    connection.SetSleep([](int) {});
    return connection.Connect();
}

// The same command lines sent one after another through the device,
// without the move around them: the floor a move can reach on this
// machine, since each command waits for its answer before the next.
void Replay(const QStringList& commands, int baud)
{
    ModemSimulator simulator;
    CPhoneBookConnection connection;
    if (!ConnectFullSim(simulator, connection, baud))
        return;
    Ptr<CGSMDevice> device = connection.GetDevicePtr();
    simulator.setBaud(baud);
    QElapsedTimer timer;
    timer.start();
    int failed = 0;
    for (const QString& command : commands)
        failed += device->execute_set(command.mid(2), 10000) ? 0 : 1;
    const double seconds = timer.nsecsElapsed() / 1e9;
    const double wire = double(ExchangedBytes(commands)) * 10.0 / baud;
    std::printf("%-34s %5lld lines                  %7.3f s  wire %7.3f s  ratio %.3f%s\n", "same commands, replayed",
                static_cast<long long>(commands.size()), seconds, wire, seconds / wire, failed ? "  (some failed)" : "");
}

void MoveFullSim(int baud)
{
    ModemSimulator simulator;
    CPhoneBookConnection connection;
    if (!ConnectFullSim(simulator, connection, baud)) {
        std::printf("move: the simulated phone does not connect\n");
        return;
    }
    ExtractorContactArray entries;
    connection.GetSimStore()->GetAll(entries);
    std::vector<size_t> positions(entries.size());
    for (size_t i = 0; i < positions.size(); ++i)
        positions[i] = i;
    const PhoneBookMemory sim{connection.GetSimStore(), 1, 250};
    const PhoneBookMemory phone{connection.GetPhoneStore(), 1, 500};

    simulator.setBaud(baud);
    simulator.clearReceivedCommands();
    QElapsedTimer timer;
    timer.start();
    const MoveResult result = MoveEntries(entries, positions, MEMORY_PHONE, sim, phone);
    const double seconds = timer.nsecsElapsed() / 1e9;
    const qint64 bytes = ExchangedBytes(simulator.receivedCommands());
    const double wire = double(bytes) * 10.0 / baud;
    std::printf("%-34s %5zu moved %7lld bytes  %7.3f s  wire %7.3f s  ratio %.3f%s\n", "Move to Phone, full SIM",
                result.moved.size(), static_cast<long long>(bytes), seconds, wire, seconds / wire,
                result.stop == MoveResult::Stop::None ? "" : "  (stopped)");
    Replay(simulator.receivedCommands(), baud);
}

void AutodetectTrials()
{
    ModemSimulator simulator;
    if (!simulator.start() || !simulator.setDeviceType(8))
        return;
    simulator.setPhoneBookLimits(QStringLiteral("SM"), 1, 250, 40, 18);
    simulator.setAcceptedNameLength(QStringLiteral("SM"), 14);
    CPhoneBookConnection connection;
    connection.SetPort(simulator.devicePath(), 115200);
    connection.SetSleep([](int) {});
    if (!connection.Connect())
        return;
    CSizeProbe probe(*connection.GetSimStore(), 1);
    const SizeProbeResult name = probe.Probe(CSizeProbe::Part::Name, 0);
    const SizeProbeResult number = probe.Probe(CSizeProbe::Part::Number, 0);
    std::printf("%-34s name %d in %d trials (target <= 12), number %d in %d trials\n", "Autodetect, 14-character SIM",
                name.length, name.trials, number.length, number.trials);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int baud = argc > 1 ? std::max(300, std::atoi(argv[1])) : 115200;
    std::printf("Phone book editing at %d baud (target: move ratio <= 1.17)\n", baud);
    MoveFullSim(baud);
    AutodetectTrials();
    return 0;
}
