// tessaly-modemsim: a simulated GSM modem on a pseudo-terminal, for trying
// the phone book manager without a device.

#include "support/Version.h"
#include "tools/modemsim/ModemSimulator.h"
#include "tools/modemsim/SimulatorCommandLine.h"

#include <QCoreApplication>
#include <QFile>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <pthread.h>
#include <poll.h>
#include <sys/signalfd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void PrintError(const QString& text)
{
    std::fprintf(stderr, "tessaly-modemsim: %s\n", text.toLocal8Bit().constData());
}

// Standard input is watched only when it can close: a pipe, a socket or a
// terminal. Started in the background with /dev/null as input, the
// simulator would otherwise stop at once.
bool StdinCanClose()
{
    struct stat info {};
    if (fstat(STDIN_FILENO, &info) != 0)
        return false;
    return S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode) || isatty(STDIN_FILENO);
}

bool MakeLink(const QString& link, const QString& target)
{
    const QByteArray linkPath = QFile::encodeName(link);
    struct stat info {};
    if (lstat(linkPath.constData(), &info) == 0) {
        // Replace a stale link of an earlier run, never a real file.
        if (!S_ISLNK(info.st_mode) || unlink(linkPath.constData()) != 0)
            return false;
    }
    return symlink(QFile::encodeName(target).constData(), linkPath.constData()) == 0;
}

// Waits for SIGINT, SIGTERM or the end of standard input.
void WaitForEnd(bool watchStdin)
{
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    const int signalFd = signalfd(-1, &stopSignals, SFD_CLOEXEC);
    if (signalFd < 0)
        return;
    pollfd fds[2] = {{signalFd, POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
    const nfds_t count = watchStdin ? 2 : 1;
    while (true) {
        const int ready = poll(fds, count, -1);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0 || (fds[0].revents & POLLIN))
            break;
        if (count == 2 && fds[1].revents) {
            char buffer[256];
            const ssize_t got = read(STDIN_FILENO, buffer, sizeof(buffer));
            if (got <= 0)
                break;  // closed
        }
    }
    close(signalFd);
}

}  // namespace

int main(int argc, char** argv)
{
    // Block the stop stopSignals before any thread starts, so that only the
    // signal descriptor sees them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    QCoreApplication app(argc, argv);
    QString error;
    const auto line = ParseSimulatorCommandLine(app.arguments(), &error);
    if (!line) {
        PrintError(error);
        return 2;
    }
    if (line->help) {
        std::fputs(SimulatorHelpText().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (line->version) {
        std::printf("tessaly-modemsim %s\n", TessalyVersion());
        return 0;
    }
    if (line->listDeviceTypes) {
        std::fputs(DeviceTypeListing().toLocal8Bit().constData(), stdout);
        return 0;
    }

    ModemSimulator simulator(line->options);
    if (!ApplySimulatorCommandLine(*line, simulator, &error)) {
        PrintError(error);
        return 2;
    }
    if (!simulator.start()) {
        PrintError(QStringLiteral("cannot open a pseudo-terminal"));
        return 1;
    }
    // The link exists before the path is printed: the first line tells a
    // waiting script that the device is ready by both names.
    if (!line->link.isEmpty() && !MakeLink(line->link, simulator.devicePath()))
        PrintError(QStringLiteral("cannot make the link %1").arg(line->link));
    for (int port = 0; port < line->options.ports; ++port)
        std::printf("%s\n", simulator.devicePath(port).toLocal8Bit().constData());
    std::fflush(stdout);

    WaitForEnd(line->watchStdin && StdinCanClose());

    simulator.stop();
    int status = 0;
    if (!line->link.isEmpty())
        QFile::remove(line->link);
    if (!line->stateFile.isEmpty() && !simulator.saveState(line->stateFile, &error)) {
        PrintError(QStringLiteral("cannot save %1: %2").arg(line->stateFile, error));
        status = 1;
    }
    return status;
}
