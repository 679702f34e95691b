#include "platform/contacts/VCard.h"

#include "platform/contacts/VCardText.h"

#include <QHash>

#include <algorithm>

QStringList VCardProperty::ParameterValues(const QString& wanted) const
{
    QStringList out;
    for (const VCardParameter& p : params)
        if (p.name.compare(wanted, Qt::CaseInsensitive) == 0)
            out << p.values;
    return out;
}

bool VCardProperty::HasParameter(const QString& wanted) const
{
    for (const VCardParameter& p : params)
        if (p.name.compare(wanted, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

void VCardProperty::RemoveParameter(const QString& wanted)
{
    std::erase_if(params, [&](const VCardParameter& p) { return p.name.compare(wanted, Qt::CaseInsensitive) == 0; });
}

QStringList VCardProperty::Types() const
{
    QStringList types;
    for (const VCardParameter& p : params) {
        if (p.name == QLatin1String("PREF")) {
            types << QStringLiteral("pref");
            continue;
        }
        if (p.name != QLatin1String("TYPE"))
            continue;
        for (const QString& v : p.values) {
            // TYPE="work,voice" is one quoted value holding a list. Every
            // number of every card asks this while a folder is read: views,
            // and one string per type.
            for (QStringView t : QStringView(v).tokenize(QLatin1Char(','), Qt::SkipEmptyParts)) {
                t = t.trimmed();
                if (t.startsWith(QLatin1String("x-"), Qt::CaseInsensitive))
                    t = t.sliced(2);
                types << t.toString().toLower();
            }
        }
    }
    return types;
}

size_t VCardProperty::Fingerprint() const
{
    size_t hash = qHashMulti(0x7e55a1, group, name, value, params.size());
    for (const VCardParameter& p : params)
        hash = qHashMulti(hash, p.name, p.values);
    return hash;
}

bool VCardProperty::HasType(const QString& lowerType) const
{
    return Types().contains(lowerType);
}

int VCard::Find(const QString& name) const
{
    for (size_t i = 0; i < properties.size(); ++i)
        if (properties[i].name == name)
            return static_cast<int>(i);
    return -1;
}

QString VCard::Text(const QString& name) const
{
    const int i = Find(name);
    return i < 0 ? QString() : UnescapeVCardText(properties[size_t(i)].value);
}

void VCard::SetText(const QString& name, const QString& text)
{
    const int i = Find(name);
    if (text.isEmpty()) {
        if (i >= 0)
            properties.erase(properties.begin() + i);
        return;
    }
    if (i >= 0) {
        properties[size_t(i)].value = EscapeVCardText(text);
        return;
    }
    VCardProperty p;
    p.name = name;
    p.value = EscapeVCardText(text);
    properties.push_back(std::move(p));
}

QStringList VCard::Components(const QString& name) const
{
    const int i = Find(name);
    return i < 0 ? QStringList() : SplitVCardValue(properties[size_t(i)].value, QLatin1Char(';'));
}

void VCard::SetComponents(const QString& name, QStringList components, int count)
{
    while (components.size() < count)
        components << QString();
    bool allEmpty = true;
    for (const QString& c : components)
        allEmpty = allEmpty && c.isEmpty();
    const int i = Find(name);
    // An all-empty ORG means no organisation; N stays (3.0 requires it).
    if (allEmpty && name != QLatin1String("N")) {
        if (i >= 0)
            properties.erase(properties.begin() + i);
        return;
    }
    const QString value = JoinVCardValue(components, QLatin1Char(';'));
    if (i >= 0) {
        properties[size_t(i)].value = value;
        return;
    }
    VCardProperty p;
    p.name = name;
    p.value = value;
    properties.push_back(std::move(p));
}

bool VCard::SetComponent(const QString& name, int index, const QString& text, int count)
{
    int i = Find(name);
    if (i < 0 && text.isEmpty())
        return false;
    QStringList pieces = i < 0 ? QStringList() : SplitEscapedVCardValue(properties[size_t(i)].value, QLatin1Char(';'));
    while (pieces.size() < std::max(count, index + 1))
        pieces << QString();
    if (UnescapeVCardText(pieces[index]).trimmed() == text)
        return false;
    pieces[index] = EscapeVCardText(text);
    if (i < 0) {
        VCardProperty p;
        p.name = name;
        properties.push_back(std::move(p));
        i = static_cast<int>(properties.size()) - 1;
    }
    properties[size_t(i)].value = pieces.join(QLatin1Char(';'));
    return true;
}

QString VCard::GroupLabel(const QString& group) const
{
    if (group.isEmpty())
        return QString();
    for (const VCardProperty& p : properties) {
        if (p.name != QLatin1String("X-ABLABEL") || p.group.compare(group, Qt::CaseInsensitive) != 0)
            continue;
        QString label = UnescapeVCardText(p.value).trimmed().toLower();
        if (label.startsWith(QLatin1String("_$!<")) && label.endsWith(QLatin1String(">!$_")))
            label = label.mid(4, label.size() - 8);
        return label;
    }
    return QString();
}
