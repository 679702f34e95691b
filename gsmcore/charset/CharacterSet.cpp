#include "gsmcore/charset/CharacterSet.h"

CCharacterSet::~CCharacterSet() = default;

QString CCharacterSet::StringConvertHelper(const QString& text, bool toUnicode) const
{
    const qsizetype length = text.size();
    QString result(length, Qt::Uninitialized);
    const QChar* source = text.constData();
    QChar* target = result.data();
    for (qsizetype i = 0; i < length; ++i)
        target[i] = QChar(Convert(source[i].unicode(), toUnicode));
    return result;
}
