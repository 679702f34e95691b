#include "contactlist/NumberLookup.h"

int GetCountryCodeLength(const QString& number)
{
    if (number.size() < 3 || number.at(0) != QLatin1Char('+'))
        return 0;
    auto digit = [&](int i) {
        const QChar c = number.at(i);
        return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ? c.unicode() - '0' : 0;
    };
    const int d1 = digit(1);
    const int d2 = digit(2);
    switch (d1) {
    case 1:
    case 7: return 2;
    case 2: return (d2 == 0 || d2 == 7) ? 3 : 4;
    case 3: return (d2 == 5 || d2 == 7 || d2 == 8) ? 4 : 3;
    case 4: return d2 == 2 ? 4 : 3;
    case 5: return (d2 == 0 || d2 == 9) ? 4 : 3;
    case 6: return (d2 == 7 || d2 == 8 || d2 == 9) ? 4 : 3;
    case 8: return (d2 == 1 || d2 == 2 || d2 == 4 || d2 == 6) ? 3 : 4;
    case 9: return (d2 == 6 || d2 == 7 || d2 == 9) ? 4 : 3;
    default: return 1;  // +0...: only the plus sign
    }
}

bool CompactNumber(QString& number)
{
    QString kept;
    kept.reserve(number.size());
    for (const QChar c : number)
        if ((c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('+'))
            kept += c;
    if (kept.isEmpty())
        return true;
    kept.remove(0, GetCountryCodeLength(kept));
    if (kept.isEmpty())
        return true;
    qsizetype zeros = 0;
    while (kept.size() - zeros > 1 && kept.at(zeros) == QLatin1Char('0'))
        ++zeros;
    kept.remove(0, zeros);
    number = kept;
    return true;
}

void CNumberTable::Fill(const CFilteredList* all)
{
    m_table.clear();
    if (!all)
        return;
    const int n = all->Count();
    if (n > 0)
        m_table.reserve(qsizetype(n * 1.2));
    for (const tagCONTACT* record : all->m_Contacts) {
        const QString name = ContactName(record).toString();
        for (int type = 0; type < ContactFieldCount; ++type) {
            if (record->nFieldOffset[type] < 0)
                continue;
            QString key = ContactField(record, type).toString();
            CompactNumber(key);
            auto it = m_table.find(key);
            if (it == m_table.end())
                m_table.insert(key, name);
            else
                it->clear();
        }
    }
}

bool CNumberTable::GetNameFromNumber(const QString& number, QString& name) const
{
    QString key = number;
    CompactNumber(key);
    const auto it = m_table.constFind(key);
    if (it == m_table.constEnd())
        return false;
    name = *it;
    return true;
}

bool GetNameListFromNumber(const CFilteredList* all, const QString& number, QStringList& names)
{
    names.clear();
    if (!all)
        return false;
    QString key = number;
    CompactNumber(key);
    for (const tagCONTACT* record : all->m_Contacts) {
        for (int type = 0; type < TelephoneFieldCount; ++type) {
            if (record->nFieldOffset[type] < 0)
                continue;
            QString field = ContactField(record, type).toString();
            CompactNumber(field);
            if (field.compare(key, Qt::CaseInsensitive) == 0) {
                names << ContactName(record).toString();
                break;
            }
        }
    }
    return true;
}
