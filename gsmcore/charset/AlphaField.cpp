#include "gsmcore/charset/AlphaField.h"

#include "gsmcore/charset/CharacterSetDefault.h"

namespace {

constexpr int kUcs2CodingByte = 1;
constexpr int kUcs2BytesPerUnit = 2;

void AddOnce(QString& list, QStringView ch)
{
    if (!list.contains(ch))
        list += ch;
}

} // namespace

NameScript ScriptOf(const QString& name)
{
    for (const QChar ch : name) {
        if (!CCharacterSetDefault::HasCode(ch.unicode()))
            return NameScript::Ucs2;
    }
    return NameScript::Gsm;
}

QString ScriptLabel(NameScript script)
{
    return script == NameScript::Gsm ? QStringLiteral("GSM alphabet") : QStringLiteral("UCS2");
}

int AlphaFieldBytes(const QString& name)
{
    if (ScriptOf(name) == NameScript::Ucs2)
        return kUcs2CodingByte + kUcs2BytesPerUnit * int(name.size());
    int bytes = 0;
    for (const QChar ch : name)
        bytes += CCharacterSetDefault::CodeCount(ch.unicode());
    return bytes;
}

int CharacterLimit(NameScript script, int bytes)
{
    if (script == NameScript::Gsm)
        return qMax(0, bytes);
    return qMax(0, (bytes - kUcs2CodingByte) / kUcs2BytesPerUnit);
}

QString FittingName(const QString& name, int bytes)
{
    if (bytes <= 0)
        return name;
    // Grows the beginning one character at a time: a later character can
    // only add bytes (or switch the whole name to UCS2), never take any.
    int gsmBytes = 0;
    bool ucs2 = false;
    qsizetype length = 0;
    for (; length < name.size(); ++length) {
        const char16_t ch = name[length].unicode();
        const int codes = CCharacterSetDefault::CodeCount(ch);
        ucs2 = ucs2 || codes == 0;
        gsmBytes += codes;
        const qsizetype units = length + 1;
        const int needed = ucs2 ? kUcs2CodingByte + kUcs2BytesPerUnit * int(units) : gsmBytes;
        if (needed > bytes)
            break;
    }
    // Never half of a surrogate pair.
    if (length > 0 && length < name.size() && name[length - 1].isHighSurrogate())
        --length;
    return name.left(length);
}

QString CharactersOutsideGsm(const QString& name)
{
    QString found;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const qsizetype width = name[i].isHighSurrogate() && i + 1 < name.size() ? 2 : 1;
        if (!CCharacterSetDefault::HasCode(name[i].unicode()))
            AddOnce(found, QStringView(name).mid(i, width));
        i += width - 1;
    }
    return found;
}

QString CharactersBeyondBmp(const QString& name)
{
    QString found;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (!name[i].isSurrogate())
            continue;
        const qsizetype width = name[i].isHighSurrogate() && i + 1 < name.size() && name[i + 1].isLowSurrogate() ? 2 : 1;
        AddOnce(found, QStringView(name).mid(i, width));
        i += width - 1;
    }
    return found;
}
