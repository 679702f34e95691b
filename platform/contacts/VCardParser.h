#pragma once
// Reads vCard 2.1, 3.0 and 4.0: folded lines (blank or tab), quoted-
// printable (2.1), groups, bare 2.1 type parameters and quoted parameter
// values. A value without a charset that is not UTF-8 is read as
// Windows-1252, as old phones wrote it; a leading UTF-8 byte order mark is
// skipped. Every property keeps the bytes it came from (VCard.h). Pure
// functions over bytes; no file access here.

#include "platform/contacts/VCard.h"

#include <QByteArray>

#include <vector>

struct VCardParseResult {
    std::vector<VCard> cards;  // the cards that were read whole
    int rejected = 0;          // cards left out because they were broken
    QString firstError;        // why the first one was left out
};

enum class VCardParseMode {
    Whole,       // every property keeps its bytes, to be written back
    // The values of what a list of contacts shows (UID, FN, N, ORG, TEL,
    // EMAIL and the labels of groups), for a card only looked at: quicker.
    ListedValues,
};

// Every card of `data`, in order. A card without END, or with a line that
// has no colon, is left out; text outside cards is ignored.
VCardParseResult ParseVCards(const QByteArray& data, VCardParseMode mode = VCardParseMode::Whole);

// Decodes quoted-printable octets ("=C3=A5" and soft line breaks).
QByteArray DecodeQuotedPrintable(const QByteArray& encoded);
