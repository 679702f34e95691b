#pragma once
// tessaly-cli as a function: runs one command line and returns its exit
// status (0 success, 1 failure, 2 wrong usage), with what it prints to
// standard output and standard error collected in `out` and `err`.

#include <QString>
#include <QStringList>

int RunCli(const QStringList& arguments, QString& out, QString& err);
