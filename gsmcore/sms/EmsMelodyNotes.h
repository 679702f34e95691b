#pragma once
// Reading iMelody text into its named lines and its notes.

#include <QByteArray>
#include <QString>

#include <vector>

struct NOTE_STRUCT {
    qint16 octave = 0;      // the octave in force (3 unless the melody sets another)
    qint32 note = 0;        // 1 c, 2 d, 3 e, 4 f, 5 g, 6 a, 7 b; 0 none
    qint32 accidental = 0;  // 0 none, 1 flat, 2 sharp
    qint16 duration = 0;    // the duration digit that followed the note
    qint16 rest = 0;        // the number that followed an "r"
};

struct ParsedMelody {
    QString begin;
    QString version;
    QString format;
    std::vector<NOTE_STRUCT> notes;
};

// Reads every line that ends with a line feed; a last line without one
// is incomplete and is left alone.
ParsedMelody ParseMelodyText(const QByteArray& data);
