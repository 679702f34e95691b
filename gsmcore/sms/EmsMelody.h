#pragma once
// A user defined sound in iMelody form: the raw octets as received and
// the notes read from them.

#include "gsmcore/sms/EmsIdentifiers.h"
#include "gsmcore/sms/EmsItemUnknown.h"
#include "gsmcore/sms/EmsMelodyNotes.h"

#include <QByteArray>
#include <QString>

#include <algorithm>

class CEmsMelody : public CEmsItemUnknown {
public:
    static constexpr int kDataOctets = 128;

    explicit CEmsMelody(qint16 position = 0);

    std::unique_ptr<CEmsItemUnknown> Clone() const override { return std::make_unique<CEmsMelody>(*this); }
    qint16 GetSize() const override { return static_cast<qint16>(m_Data.size() + 3); }

    // Stores at most 128 octets from the start of the data (the rest stays
    // 0) and reads the melody from them.
    void SetData(const QByteArray& octets);
    const QByteArray& GetData() const { return m_Data; }

    int GetNumberOfNotes() const { return static_cast<int>(m_Notes.size()); }
    NOTE_STRUCT GetNote(int index) const;
    const QString& GetBegin() const { return m_Begin; }
    const QString& GetVersion() const { return m_Version; }
    const QString& GetFormat() const { return m_Format; }

private:
    QByteArray m_Data;
    std::vector<NOTE_STRUCT> m_Notes;
    QString m_Begin;
    QString m_Version;
    QString m_Format;
};
