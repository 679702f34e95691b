#pragma once
// What the command line's "pdu decode" and "pdu encode" print: a PDU read
// into named fields, and the PDUs built for a text, as JSON objects and
// as plain text.

#include "gsmcore/sms/SubmitBuilder.h"

#include <QJsonObject>
#include <QString>

// Detects the kind (deliver, submit, status report) and reads the PDU with
// every element handler. Blanks are ignored and lower-case digits
// accepted. An empty object and the reason in `error` when it cannot be
// read.
QJsonObject DecodePduToJson(const QString& hex, QString& error);

// {"parts":[{"pdu":"0791...","length":23}, ...]}; empty and `error` set
// when the options cannot make a message.
QJsonObject EncodeSubmitToJson(const SubmitOptions& options, QString& error);

// "key: value" lines of a decoded PDU, elements one per line.
QString FormatDecodedPdu(const QJsonObject& decoded);
// Per part: the command to send and the PDU, ready for a terminal.
QString FormatSubmitParts(const QJsonObject& encoded);
