#pragma once
// A phone book name as the SIM keeps it in its alpha field: GSM alphabet
// bytes (an extension character as escape + code), or, for a name that
// alphabet cannot hold, the byte 0x80 and then two bytes (big-endian)
// per UTF-16 unit. What a terminal reads depends on its +CSCS.

#include <QByteArray>
#include <QString>

constexpr char kUcs2AlphaCoding = char(0x80);

// The field for a name given in Unicode (written under UCS2).
QByteArray AlphaFromText(const QString& text);
// The name a field holds.
QString AlphaToText(const QByteArray& field);
// The field as a GSM terminal reads it: GSM bytes as they are, a UCS2
// name with "?" for every character the GSM alphabet lacks.
QByteArray AlphaToGsm(const QByteArray& field);
