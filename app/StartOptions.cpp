#include "app/StartOptions.h"

StartOptions ParseStartOptions(const QStringList& arguments)
{
    StartOptions options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        auto value = [&](QString& target) {
            if (i + 1 >= arguments.size() || arguments[i + 1].isEmpty()) {
                options.error = QStringLiteral("%1 needs a value").arg(argument);
                return false;
            }
            target = arguments[++i];
            return true;
        };
        if (argument == QLatin1String("--demo")) {
            options.demo = true;
        } else if (argument == QLatin1String("--port")) {
            if (!value(options.port))
                return options;
            options.hasPort = true;
        } else if (argument == QLatin1String("--speed")) {
            QString text;
            if (!value(text))
                return options;
            bool ok = false;
            const int speed = text.toInt(&ok);
            if (!ok || speed <= 0) {
                options.error = QStringLiteral("--speed wants a positive baud rate, not '%1'").arg(text);
                return options;
            }
            options.speed = speed;
        } else if (argument == QLatin1String("--screenshot")) {
            if (!value(options.screenshot))
                return options;
        } else if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            options.help = true;
        } else if (argument.startsWith(QLatin1Char('-'))) {
            // Qt's own options (-platform, -style ...) are taken by QApplication first.
            options.error = QStringLiteral("unknown option '%1'").arg(argument);
            return options;
        } else {
            options.error = QStringLiteral("unexpected argument '%1'").arg(argument);
            return options;
        }
    }
    return options;
}

QString StartOptionsUsage()
{
    return QStringLiteral(
        "Usage: tessaly [--demo] [--port PATH|99] [--speed N] [--screenshot FILE.png] [--version]\n"
        "  --demo             simulated modem with sample phone books and contacts\n"
        "  --port PATH        the modem's port for this run (99: simulated stores)\n"
        "  --speed N          the baud rate for this run\n"
        "  --screenshot FILE  connect, wait for the lists, save the window, exit\n"
        "  --version          the program's version\n");
}
