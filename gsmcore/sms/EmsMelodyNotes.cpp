#include "gsmcore/sms/EmsMelodyNotes.h"

namespace {

constexpr qint16 kDefaultOctave = 3;

int NoteOfLetter(QChar letter)
{
    switch (letter.unicode()) {
    case u'c': return 1;
    case u'd': return 2;
    case u'e': return 3;
    case u'f': return 4;
    case u'g': return 5;
    case u'a': return 6;
    case u'b': return 7;
    default: return 0;
    }
}

// A single digit as written after "*" or "r"; anything else is 0.
qint16 DigitValue(QChar c)
{
    return c.isDigit() && c.unicode() < 0x80 ? static_cast<qint16>(c.unicode() - u'0') : 0;
}

class MelodyLineReader {
public:
    explicit MelodyLineReader(std::vector<NOTE_STRUCT>& notes) : m_notes(notes) {}

    void Read(QStringView value)
    {
        for (qsizetype i = 0; i < value.size(); ++i) {
            TakeCurrentOctave();
            const QChar c = value[i];
            if (const int note = NoteOfLetter(c)) {
                Flush();
                m_pending.note = note;
            } else if (c == u'#' || c == u'&') {
                Flush();
                m_pending.accidental = c == u'#' ? 2 : 1;
            } else if (c == u'*') {
                Flush();
                if (i + 1 < value.size())
                    m_octave = DigitValue(value[++i]);
            } else if (c >= u'1' && c <= u'5') {
                m_pending.duration = static_cast<qint16>(c.unicode() - u'0');
            } else if (c == u'r') {
                if (i + 1 < value.size())
                    m_pending.rest = DigitValue(value[++i]);
            }
        }
        TakeCurrentOctave();
        Flush();
    }

private:
    // Only a note that has its letter takes the octave in force.
    void TakeCurrentOctave()
    {
        if (m_pending.note != 0 && m_pending.octave == 0)
            m_pending.octave = m_octave;
    }

    // A note is pending once its letter has been read.
    void Flush()
    {
        if (m_pending.note == 0)
            return;
        TakeCurrentOctave();
        m_notes.push_back(m_pending);
        m_pending = NOTE_STRUCT{};
    }

    std::vector<NOTE_STRUCT>& m_notes;
    NOTE_STRUCT m_pending;
    qint16 m_octave = kDefaultOctave;
};

} // namespace

ParsedMelody ParseMelodyText(const QByteArray& data)
{
    ParsedMelody melody;
    qsizetype lineStart = 0;
    for (;;) {
        const qsizetype lineFeed = data.indexOf('\n', lineStart);
        if (lineFeed < 0)
            break;
        const QString line =
            QString::fromLatin1(data.constData() + lineStart, lineFeed - lineStart).trimmed();
        lineStart = lineFeed + 1;

        const qsizetype colon = line.indexOf(u':');
        if (colon < 0)
            continue;
        const QStringView key = QStringView(line).left(colon);
        const QStringView value = QStringView(line).mid(colon + 1);
        if (key == u"BEGIN")
            melody.begin = value.toString();
        else if (key == u"VERSION")
            melody.version = value.toString();
        else if (key == u"FORMAT")
            melody.format = value.toString();
        else if (key == u"MELODY")
            MelodyLineReader(melody.notes).Read(value);
    }
    return melody;
}
