#pragma once
// The call the device has now, as tessaly-cli tells it: from the device's
// own call list (+CLCC) or, where the device has none, from the link's
// call state after its state query.

#include <QJsonObject>
#include <QString>
#include <QStringList>

class CGSMDevice;

struct CurrentCall {
    // idle, dialing, alerting, incoming, waiting, active, held, busy or unavailable.
    QString state = QStringLiteral("idle");
    QString direction;  // incoming, outgoing, or empty when the device does not say
    QString number;     // international numbers with their "+"
};

// The call that a +CLCC listing (its lines before OK) puts first: the
// active one, else the first listed; idle when it lists none.
CurrentCall CallFromList(const QStringList& lines);

// Asks the device. False with `error` when it answers neither +CLCC nor
// the state query.
bool ReadCurrentCall(CGSMDevice& device, CurrentCall& call, QString& error);

// The call with its contact's name (empty when the number has none).
QJsonObject CallJson(const CurrentCall& call, const QString& name);
QString CallText(const CurrentCall& call, const QString& name);
