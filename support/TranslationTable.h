#pragma once
// The process-wide translation of user-visible texts, filled from the
// optional language file. Keys are the exact English texts.

#include <QHash>
#include <QString>

class CTranslationTable {
public:
    // False when the file cannot be opened (the table is kept as it was).
    static bool Load(const QString& path);
    // Fills the table from the file's bytes, replacing what it held.
    static void LoadFromBytes(const QByteArray& bytes);
    static QString Translate(const QString& text);
    static void Clear();
    static int Count();

private:
    static QHash<QString, QString>& Table();
};

// Short form for call sites: the English text, translated.
inline QString Tr(const char* text)
{
    return CTranslationTable::Translate(QString::fromUtf8(text));
}
