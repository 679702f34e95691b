#pragma once
// Runs tessaly-cli in-process and keeps what it printed.

#include "tools/cli/Cli.h"

#include <QJsonDocument>
#include <QJsonObject>

struct CliRun {
    int status;
    QString out, err;
};

inline CliRun Cli(const QStringList& arguments)
{
    CliRun run;
    run.status = RunCli(arguments, run.out, run.err);
    return run;
}

// Standard output read as one JSON object.
inline QJsonObject Json(const CliRun& run)
{
    return QJsonDocument::fromJson(run.out.toUtf8()).object();
}
