#pragma once
// What every command of tessaly-cli gets: its arguments, where to write,
// and the connection choice (--port, --speed, or the stored settings).

#include "tools/cli/CliArguments.h"

#include <QJsonDocument>

class CPhoneBookConnection;
struct SubmitOptions;
#include <QString>

struct CliContext {
    CliArguments args;
    QString& out;
    QString& err;

    bool Json() const { return args.Has(QStringLiteral("--json")); }
    void Print(const QString& line) { out += line + QLatin1Char('\n'); }
    void PrintJson(const QJsonDocument& doc) { out += QString::fromUtf8(doc.toJson(QJsonDocument::Compact)) + QLatin1Char('\n'); }
    // One line on standard error; returns the failure status.
    int Fail(const QString& message, int status = 1)
    {
        err += QStringLiteral("tessaly-cli: ") + message + QLatin1Char('\n');
        return status;
    }
    // The port and speed to use: the options, else the application's
    // stored connection. False (with a message) when there is none.
    bool Connection(QString& port, int& speed);
    // Connects as the application does; 0, or the exit status of the failure.
    int Connect(CPhoneBookConnection& connection);
};

// The commands.
int RunIdentify(CliContext& context);
int RunPhoneBook(CliContext& context);
int RunPhoneBookMove(CliContext& context);
int RunPhoneBookDetectSizes(CliContext& context);
int RunPhoneBookToContacts(CliContext& context);
int RunPdu(CliContext& context);
int RunSms(CliContext& context);
int RunSmsList(CliContext& context);
int RunPhoneBookExport(CliContext& context);
int RunPhoneBookImport(CliContext& context);
int RunWatch(CliContext& context);
int RunCall(CliContext& context);
int RunContacts(CliContext& context);

// --to, --text, --smsc, --dcs, --status-report, --validity; false (with
// the usage message written) when they do not make a message.
bool SubmitOptionsFrom(CliContext& context, SubmitOptions& options);
