#pragma once
// What the CLI tests share: tessaly-cli run in-process with what it
// printed, the tools and files around it, and a simulated phone.

#include "tests/TestEnvironment.h"
#include "tools/cli/Cli.h"
#include "tools/modemsim/ModemSimulator.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>

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

inline QJsonObject Json(const CliRun& run)
{
    return QJsonDocument::fromJson(run.out.toUtf8()).object();
}

// Runs a tool of the desktop on the files of a test; its standard output.
inline QString RunTool(const QString& program, const QStringList& arguments)
{
    const QString path = QStandardPaths::findExecutable(program);
    EXPECT_FALSE(path.isEmpty()) << program.toStdString() << " is missing (scripts/setup.sh installs it)";
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(path, arguments);
    EXPECT_TRUE(process.waitForFinished(120000)) << program.toStdString();
    EXPECT_EQ(process.exitCode(), 0) << program.toStdString() << ": " << process.readAllStandardError().toStdString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Writes a test's own file; false when it cannot.
inline bool WriteText(const QString& fileName, const QByteArray& text)
{
    QFile file(fileName);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

// Points the contacts commands at a new empty folder while it lives.
struct ContactsFolder {
    ContactsFolder() { Renew(); }
    ~ContactsFolder() { qputenv("TESSALY_CONTACTS", saved); }
    void Renew()
    {
        path = NewTempFolder(QStringLiteral("cli-contacts"));
        qputenv("TESSALY_CONTACTS", path.toUtf8());
    }
    QByteArray saved = qgetenv("TESSALY_CONTACTS");
    QString path;
};

// Åsa Öberg, whose card has +46705550101 in its national form; the name
// the message and call tests expect beside that number.
inline bool AddSenderContact()
{
    return WriteText(QDir(qEnvironmentVariable("TESSALY_CONTACTS")).filePath(QStringLiteral("asa-oberg.vcf")),
                     "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:asa-oberg\r\nFN:Åsa Öberg\r\nN:Öberg;Åsa;;;\r\n"
                     "TEL;TYPE=CELL:070-555 01 01\r\nEND:VCARD\r\n");
}

// The PDUs of tests/data/cli/stored-messages.txt: a message from Åsa,
// then the three parts of a long one, the first of them stored second.
inline QList<QByteArray> StoredMessagePdus()
{
    QFile data(TestDataPath(QStringLiteral("cli/stored-messages.txt")));
    QList<QByteArray> pdus;
    for (const QByteArray& line : data.open(QIODevice::ReadOnly) ? data.readAll().split('\n') : QList<QByteArray>())
        if (!line.isEmpty() && !line.startsWith('#'))
            pdus << line.trimmed();
    return pdus;
}

// A message the phone keeps as it came, one PDU.
inline StoredMessage Delivered(const QByteArray& pdu)
{
    StoredMessage message;
    message.pdu = pdu;
    return message;
}

// Commands run against a simulated phone of a known type, identified at
// once: no pauses between identification attempts. A second port is for
// the programs that run beside another.
class SimulatedPhoneCli : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(simulator.start());
        ASSERT_TRUE(simulator.setDeviceType(8));
        port = simulator.devicePath();
    }
    // A phone book as "location=number name|...": the simulator's, names
    // as text, and as a JSON list printed it.
    QString Held(const QString& storage) const
    {
        QStringList held;
        for (const auto& e : simulator.entries(storage))
            held << QStringLiteral("%1=%2 %3").arg(e.index).arg(QString::fromLatin1(e.number), e.text);
        return held.join(u'|');
    }
    static QString Listed(const QJsonObject& list)
    {
        QStringList listed;
        for (const QJsonValue& e : list[QStringLiteral("entries")].toArray())
            listed << QStringLiteral("%1=%2 %3").arg(e[QStringLiteral("index")].toInt())
                          .arg(e[QStringLiteral("number")].toString(), e[QStringLiteral("name")].toString());
        return listed.join(u'|');
    }
    ModemSimulator simulator{ModemSimulator::Options{.ports = 2}};
    QString port;
};
