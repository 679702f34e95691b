// How close a whole phone book read comes to the time its bytes take on
// the wire. The simulator paces its output at the chosen baud rate
// (10 bits per byte); the reply's size is counted on the raw pty first.
//
//   bench_phonebook [baud]     (default 115200)

#include "gsmcore/link/GSMCorePref.h"
#include "gsmcore/link/GSMDevice.h"
#include "gsmcore/phonebook/SIMExtractor.h"
#include "tools/cli/Cli.h"
#include "tools/modemsim/ModemSimulator.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>

namespace {

// Bytes the device sends for `command` (echo and final OK included),
// read on the raw pty of an unpaced simulator.
qint64 RawReplyBytes(const QString& device, const QByteArray& command)
{
    const int fd = ::open(device.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return -1;
    termios tio{};
    tcgetattr(fd, &tio);
    cfmakeraw(&tio);
    tcsetattr(fd, TCSANOW, &tio);
    const QByteArray line = command + "\r";
    if (::write(fd, line.constData(), size_t(line.size())) != line.size()) {
        ::close(fd);
        return -1;
    }
    QByteArray reply;
    char buffer[4096];
    while (!reply.endsWith("OK\r\n")) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 5000) <= 0)
            break;
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        reply.append(buffer, n);
    }
    ::close(fd);
    return reply.size();
}

// The bytes of a read as the store makes it on a phone that offers UCS2:
// the switch to UCS2, the listing with its names in hexadecimal, and the
// switch back.
qint64 StoreReadBytes(const QString& device, const QByteArray& read)
{
    return RawReplyBytes(device, "AT+CSCS=\"UCS2\"") + RawReplyBytes(device, read) +
           RawReplyBytes(device, "AT+CSCS=\"GSM\"");
}

double WireSeconds(qint64 bytes, int baud)
{
    return double(bytes) * 10.0 / baud;
}

void ReadThroughTheStack(const char* what, const QString& storage, int entries, MEMORYTYPE memory, int baud)
{
    ModemSimulator simulator;
    if (!simulator.start()) {
        std::printf("%s: the simulator does not start\n", what);
        return;
    }
    simulator.setDeviceType(8);
    simulator.setPhoneBookLimits(storage, 1, entries, 40, 18);
    simulator.fillPhoneBook(storage, entries, 42);
    // Select the storage once, unpaced, then count the reply's bytes.
    const QByteArray select = "AT+CPBS=\"" + storage.toLatin1() + "\"";
    RawReplyBytes(simulator.devicePath(), select);
    const qint64 bytes = StoreReadBytes(simulator.devicePath(), "AT+CPBR=1," + QByteArray::number(entries));

    CGSMCorePref pref;
    pref.m_Port = simulator.devicePath();
    Ptr<CGSMDevice> device(CGSMDevice::create(&pref));
    if (!device->init()) {
        std::printf("%s: the device does not open\n", what);
        return;
    }
    CSIMExtractor store(memory);
    store.SetDevice(device);
    if (!store.Init() || !store.InitSize()) {
        std::printf("%s: the store does not start\n", what);
        return;
    }
    simulator.setBaud(baud);
    ExtractorContactArray contacts;
    QElapsedTimer timer;
    timer.start();
    const bool ok = store.GetAll(contacts);
    const double seconds = timer.nsecsElapsed() / 1e9;
    const double wire = WireSeconds(bytes, baud);
    std::printf("%-34s %5zu entries %7lld bytes  %7.3f s  wire %7.3f s  ratio %.3f%s\n", what, contacts.size(),
                static_cast<long long>(bytes), seconds, wire, seconds / wire, ok ? "" : "  (read failed)");
}

void WholeCliRun(int entries, int baud)
{
    ModemSimulator simulator;
    if (!simulator.start())
        return;
    simulator.setDeviceType(8);
    simulator.setPhoneBookLimits(QStringLiteral("SM"), 1, entries, 40, 18);
    simulator.fillPhoneBook(QStringLiteral("SM"), entries, 42);
    const qint64 bytes = StoreReadBytes(simulator.devicePath(), "AT+CPBR=1," + QByteArray::number(entries));
    simulator.setBaud(baud);
    QString out, err;
    QElapsedTimer timer;
    timer.start();
    const int status = RunCli({QStringLiteral("--port"), simulator.devicePath(), QStringLiteral("phonebook"),
                               QStringLiteral("list"), QStringLiteral("--memory"), QStringLiteral("SM")},
                              out, err);
    const double seconds = timer.nsecsElapsed() / 1e9;
    const double wire = WireSeconds(bytes, baud);
    std::printf("%-34s %5d entries %7lld bytes  %7.3f s  wire %7.3f s  ratio %.3f%s\n", "tessaly-cli phonebook list", entries,
                static_cast<long long>(bytes), seconds, wire, seconds / wire, status == 0 ? "" : "  (failed)");
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int baud = argc > 1 ? std::max(300, std::atoi(argv[1])) : 115200;
    std::printf("Whole phone book reads at %d baud (targets: GetAll ratio <= 1.002, CLI run <= 1.25)\n", baud);
    ReadThroughTheStack("GetAll, SIM", QStringLiteral("SM"), 250, MEMORY_SIM, baud);
    ReadThroughTheStack("GetAll, phone memory", QStringLiteral("ME"), 1000, MEMORY_PHONE, baud);
    WholeCliRun(250, baud);
    return 0;
}
