#include "support/TranslationTable.h"

#include <QFile>
#include <QStringDecoder>

QHash<QString, QString>& CTranslationTable::Table()
{
    static QHash<QString, QString> table;
    return table;
}

bool CTranslationTable::Load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    LoadFromBytes(file.readAll());
    return true;
}

namespace {
QString Unescape(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('\\') && i + 1 < text.size()) {
            if (text[i + 1] == QLatin1Char('n')) {
                out += QLatin1Char('\n');
                ++i;
                continue;
            }
            if (text[i + 1] == QLatin1Char('r')) {
                out += QLatin1Char('\r');
                ++i;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}
}  // namespace

void CTranslationTable::LoadFromBytes(const QByteArray& bytes)
{
    QString text;
    if (bytes.size() >= 2 && uchar(bytes[0]) == 0xFF && uchar(bytes[1]) == 0xFE) {
        QStringDecoder decode(QStringDecoder::Utf16LE);
        text = decode(bytes.mid(2));
    } else {
        // 8-bit files are in the system's code page; ours is Latin-1
        // unless the bytes are valid UTF-8.
        QStringDecoder utf8(QStringDecoder::Utf8);
        text = utf8(bytes);
        if (utf8.hasError())
            text = QString::fromLatin1(bytes);
    }
    QHash<QString, QString>& table = Table();
    table.clear();
    qsizetype start = 0;
    const qsizetype n = text.size();
    while (start < n) {
        qsizetype end = start;
        while (end < n && text[end] != QLatin1Char('\r') && text[end] != QChar(0))
            ++end;
        const QStringView line = QStringView(text).mid(start, end - start);
        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        if (tab > 0 && tab + 1 < line.size())
            table.insert(Unescape(line.left(tab)), Unescape(line.mid(tab + 1)));
        // The character after the line end is skipped unseen (the LF of CR LF).
        start = end + 2;
    }
}

QString CTranslationTable::Translate(const QString& text)
{
    const QHash<QString, QString>& table = Table();
    const auto it = table.constFind(text);
    return it == table.constEnd() ? text : it.value();
}

void CTranslationTable::Clear()
{
    Table().clear();
}

int CTranslationTable::Count()
{
    return int(Table().size());
}
