// tessaly-cli: a scriptable front end to the GSM core.

#include "tools/cli/Cli.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QString out, err;
    const int status = RunCli(app.arguments().mid(1), out, err);
    std::fputs(out.toLocal8Bit().constData(), stdout);
    std::fputs(err.toLocal8Bit().constData(), stderr);
    return status;
}
