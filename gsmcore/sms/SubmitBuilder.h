#pragma once
// From a number and a text to the PDUs that send them: the coding chosen
// (or checked), the text cut into parts when it does not fit one message,
// and each part's PDU with the TPDU length "+CMGS=<n>" wants.

#include <QString>

#include <vector>

class CSmsOut;

struct SubmitOptions {
    QString to;
    QString text;
    QString smsc;
    int dataCodingScheme = -1;  // -1: chosen from the text; else 0, 4 or 8
    bool statusReport = false;
    // Empty: the longest relative period. "none"; a relative octet 0-255;
    // a period such as "30m", "12h", "2d", "1w"; or an ISO 8601 date-time
    // for an absolute period.
    QString validity;
};

struct SubmitPart {
    QString pdu;
    int length = 0;  // octets after the service centre field
};

// 0 (GSM default alphabet) when every character has a code there and
// comes back as itself, 8 (UCS2) otherwise.
int ChooseDataCodingScheme(const QString& text);

// Sets the validity period of `message` from the text form above.
bool ApplyValidity(const QString& validity, CSmsOut& message, QString& error);

// The parts to send, in order; false and a reason when the options
// cannot make a message.
bool BuildSubmitParts(const SubmitOptions& options, std::vector<SubmitPart>& parts, QString& error);
