#pragma once
// Deterministic phone book contents: the same seed always gives the same
// names and numbers, so a test can fill a book and know what it will read.

#include "tools/modemsim/SimPhoneBook.h"

#include <QtGlobal>

#include <vector>

struct GeneratedEntry {
    QByteArray number;
    QByteArray name;  // plain ASCII, which the GSM alphabet holds unchanged
};

// `count` entries of realistic names and numbers (Swedish, British,
// German and national numbers), each within the given limits.
std::vector<GeneratedEntry> GenerateEntries(int count, quint64 seed, const SimBookLimits& limits);

// Writes generated entries into the first `count` locations (as many as
// fit); returns how many were written.
int FillPhoneBook(SimPhoneBook& book, int count, quint64 seed);
