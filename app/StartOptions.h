#pragma once
// The command line of tessaly:
//   --demo               run against a built-in simulated modem with
//                        sample contacts and a private registry
//   --port PATH          use this port for this run (99: simulated stores)
//   --speed N            and this baud rate
//   --screenshot FILE    connect, wait for the lists, save a picture of
//                        the window and exit

#include <QString>
#include <QStringList>

struct StartOptions {
    bool demo = false;
    QString port;
    bool hasPort = false;
    QString connectionName;  // the port's name in the GSM Device dialog; empty: found from the port
    int speed = 0;
    QString screenshot;
    bool help = false;
    QString error;  // not empty when the command line is wrong
};

// `arguments` without the program name.
StartOptions ParseStartOptions(const QStringList& arguments);
QString StartOptionsUsage();
