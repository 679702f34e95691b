#include "app/ProgramMain.h"

#include "app/AppSettings.h"
#include "app/DemoSetup.h"
#include "app/GuiMessageHandler.h"
#include "app/PhoneBookApp.h"
#include "app/StartOptions.h"
#include "support/RegistryStore.h"
#include "platform/serial/SystemSerialPorts.h"
#include "support/Version.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>

int TessalyMain(int argc, char** argv, const ProgramSystem& system)
{
    // Help and the version need no display: answered before the
    // application object, which aborts without one.
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--help") == 0 || qstrcmp(argv[i], "-h") == 0) {
            std::fputs(qPrintable(StartOptionsUsage()), stdout);
            return 0;
        }
        if (qstrcmp(argv[i], "--version") == 0) {
            std::printf("tessaly %s\n", TessalyVersion());
            return 0;
        }
    }
    // QApplication takes its own options (-platform ...) off first.
    QApplication application(argc, argv);
    application.setApplicationName(QStringLiteral("tessaly"));
    application.setDesktopFileName(QStringLiteral("tessaly"));
    application.setWindowIcon(QIcon::fromTheme(QStringLiteral("tessaly"), QIcon(QStringLiteral(":/icons/tessaly.png"))));
    const StartOptions options = ParseStartOptions(application.arguments().mid(1));
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "tessaly: %s\n%s", qPrintable(options.error), qPrintable(StartOptionsUsage()));
        return 2;
    }

    StartOptions effective = options;
    CDemoSetup demo;
    if (options.demo) {
        if (!demo.Start()) {
            std::fprintf(stderr, "tessaly: demo: %s\n", qPrintable(demo.Error()));
            return 1;
        }
        if (!options.hasPort) {
            effective.port = demo.DevicePath();
            effective.hasPort = true;
            effective.connectionName = CDemoSetup::ConnectionName();
        }
        if (effective.speed <= 0)
            effective.speed = 115200;
    }

    CPhoneBookApp app;
    app.InitInstance(effective);
    // The serial ports of this machine, as the connection dialog lists
    // them; kept in memory, read once the window asks.
    PublishSerialPorts(FindSystemSerialPorts(system.sysClassTty, system.udevData));
    if (!options.screenshot.isEmpty())
        QObject::connect(&app, &CPhoneBookApp::ScreenshotDone, &application, [](int result) { QCoreApplication::exit(result); });
    if (system.started)
        system.started(app);
    const int result = application.exec();
    // Boxes a worker still waits for will not be shown any more.
    CGuiMessageHandler::SetShuttingDown(true);
    // Settings that found the registry locked by another program are
    // still being written: give them a while, and say so when they are lost.
    if (!CAppSettings::WaitForPendingSaves(5000)) {
        std::fprintf(stderr, "tessaly: settings not saved: %s stayed locked by another program\n",
                     qPrintable(CRegistryStore::Instance().Path()));
    }
    return result;
}
