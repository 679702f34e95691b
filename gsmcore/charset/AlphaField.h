#pragma once
// How a phone book name fills the SIM's alpha field, whose size the
// device reports in bytes: a name the GSM alphabet holds takes a byte a
// character (two for an extension character); any other name is stored
// in UCS2, one byte for the coding and two a character. So 14 bytes hold
// 14 GSM characters but 6 Cyrillic ones.

#include <QString>

enum class NameScript { Gsm, Ucs2 };

// The script the name needs.
NameScript ScriptOf(const QString& name);
// "GSM alphabet" or "UCS2", for messages.
QString ScriptLabel(NameScript script);
// Bytes of the alpha field the name takes.
int AlphaFieldBytes(const QString& name);
// Characters of a script that fit `bytes` (characters as units: an
// extension character counts two).
int CharacterLimit(NameScript script, int bytes);
// The longest beginning of the name that fits `bytes`; a size of 0 or
// less is taken as unknown, and the name is whole then.
QString FittingName(const QString& name, int bytes);
inline bool NameFits(const QString& name, int bytes) { return bytes <= 0 || AlphaFieldBytes(name) <= bytes; }
// The characters of the name outside the GSM alphabet and its extension
// table, each once, in order.
QString CharactersOutsideGsm(const QString& name);
// The characters beyond the Basic Multilingual Plane (emoji and the
// like), which no phone book stores, each once, in order.
QString CharactersBeyondBmp(const QString& name);
