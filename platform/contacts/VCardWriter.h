#pragma once
// Writes a vCard as 3.0 or 4.0 text with CRLF line ends, folded at 75
// octets without splitting a UTF-8 character. A card read as 2.1 is
// written as 3.0 (its bare parameters become TYPE=, BASE64 becomes b).

#include "platform/contacts/VCard.h"

#include <QByteArray>

QByteArray WriteVCard(const VCard& card);
// One content line, folded, with its CRLF.
QByteArray FoldVCardLine(const QByteArray& line);
