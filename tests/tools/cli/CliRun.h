#pragma once
// Runs tessaly-cli in-process and keeps what it printed.

#include "tools/cli/Cli.h"
#include "tools/modemsim/ModemSimulator.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

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

// Åsa Öberg, whose card has +46705550101 in its national form; the name
// the message and call tests expect beside that number.
inline bool AddSenderContact()
{
    QFile card(QDir(qEnvironmentVariable("TESSALY_CONTACTS")).filePath(QStringLiteral("asa-oberg.vcf")));
    return card.open(QIODevice::WriteOnly)
           && card.write("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:asa-oberg\r\nFN:Åsa Öberg\r\nN:Öberg;Åsa;;;\r\n"
                         "TEL;TYPE=CELL:070-555 01 01\r\nEND:VCARD\r\n") > 0;
}

// Commands run against a simulated phone of a known type, identified at
// once: no pauses between identification attempts.
class SimulatedPhoneCli : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(simulator.start());
        ASSERT_TRUE(simulator.setDeviceType(8));
        port = simulator.devicePath();
    }
    ModemSimulator simulator;
    QString port;
};
