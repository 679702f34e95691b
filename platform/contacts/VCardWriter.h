#pragma once
// Writes a vCard in the version it was read in (a new card as 3.0 or 4.0).
// A property that was not changed since it was read is written back as the
// bytes it came from; a changed or new one is encoded for the card's
// version: 3.0/4.0 text folded at 75 octets without splitting a UTF-8
// character, 2.1 with bare types and quoted-printable UTF-8 where the
// value needs it.

#include "platform/contacts/VCard.h"

#include <QByteArray>

QByteArray WriteVCard(const VCard& card);
// One content line, folded, with its line end.
QByteArray FoldVCardLine(const QByteArray& line, const QByteArray& lineEnd = "\r\n");
