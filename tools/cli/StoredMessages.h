#pragma once
// The messages a device lists with +CMGL in PDU mode, decoded, with the
// parts of a long message joined into one message.

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

struct ListedPdu {
    int index = 0;
    int status = 0;  // 0 unread, 1 read, 2 unsent, 3 sent
    QString pdu;
};

// Pairs each "+CMGL: <index>,<stat>,[<alpha>],<length>" line with the PDU
// line that follows it; lines that are neither are skipped.
std::vector<ListedPdu> ParseMessageListing(const QStringList& lines);

// "unread", "read", "unsent", "sent"; the number as text for others.
QString MessageStatusName(int status);

struct DecodedMessage {
    QList<int> indexes;  // the locations of its parts, in part order
    int parts = 1;       // how many parts the message says it has
    int status = 0;
    QString party;       // the sender of a received message, the recipient of a stored one
    bool received = true;
    QString text;
    QString timestamp;   // "yyyy-MM-ddTHH:mm:ss", empty when the PDU has none
    QString error;       // why the PDU could not be read; the rest is then empty
};

// Decodes each PDU; the parts of one long message (same party, reference
// and part count) become one message at the place of its first part, its
// text the parts' texts in part order.
std::vector<DecodedMessage> DecodeStoredMessages(const std::vector<ListedPdu>& listed);
