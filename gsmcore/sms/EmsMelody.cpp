#include "gsmcore/sms/EmsMelody.h"

CEmsMelody::CEmsMelody(qint16 position)
    : CEmsItemUnknown(EmsIdentifier::UserDefinedSound, kDataOctets + 3, position),
      m_Data(kDataOctets, '\0')
{
}

void CEmsMelody::SetData(const QByteArray& octets)
{
    m_Data.fill('\0', kDataOctets);
    const qsizetype count = qMin<qsizetype>(octets.size(), kDataOctets);
    std::copy_n(octets.constData(), count, m_Data.data());

    ParsedMelody melody = ParseMelodyText(m_Data);
    m_Begin = melody.begin;
    m_Version = melody.version;
    m_Format = melody.format;
    m_Notes = std::move(melody.notes);
}

NOTE_STRUCT CEmsMelody::GetNote(int index) const
{
    if (index < 0 || index >= GetNumberOfNotes())
        return NOTE_STRUCT{};
    return m_Notes[static_cast<std::size_t>(index)];
}
