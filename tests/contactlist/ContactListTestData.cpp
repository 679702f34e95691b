#include "tests/contactlist/ContactListTestData.h"


#include <QDir>
#include <QFile>

#include <algorithm>
#include <array>

tagCONTACT* MakeRecord(const QString& name, std::initializer_list<std::pair<int, const char*>> fields, quint32 oid,
                       int defaultField)
{
    std::array<QString, ContactFieldCount> texts;
    for (const auto& [type, text] : fields)
        texts[size_t(type)] = QString::fromUtf8(text);
    if (defaultField < 0) {
        const auto first = std::find_if(texts.begin(), texts.end(), [](const QString& t) { return !t.isEmpty(); });
        defaultField = first == texts.end() ? 0 : int(first - texts.begin());
    }
    return AllocateContactRecord(name, texts, defaultField, oid);
}

std::unique_ptr<CFilteredList> MakeAllList(std::initializer_list<tagCONTACT*> records)
{
    auto list = std::make_unique<CFilteredList>(CFilteredList::AllContactsFilter, true);
    list->m_Contacts.assign(records.begin(), records.end());
    return list;
}

QStringList NamesOf(const CFilteredList& list)
{
    QStringList names;
    for (const tagCONTACT* record : list.m_Contacts)
        names << ContactName(record).toString();
    return names;
}

std::vector<TestCard> TestCardsFrom(const QString& relative)
{
    std::vector<TestCard> cards;
    for (const QList<QByteArray>& row : TestDataRows(relative)) {
        auto field = [&row](int i) { return QString::fromUtf8(row.value(i)); };
        cards.push_back({field(0), field(1), field(2), field(3), field(4), field(5)});
    }
    return cards;
}

bool WriteCard(const QString& folder, const TestCard& card)
{
    QByteArray text = "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:" + card.uid.toUtf8() + "\r\nFN:" + card.name.toUtf8() +
                      "\r\nN:" + card.name.toUtf8() + ";;;;\r\n";
    const std::pair<const char*, const QString*> lines[] = {{"TEL;TYPE=WORK,VOICE:", &card.work},
                                                            {"TEL;TYPE=CELL:", &card.mobile},
                                                            {"TEL;TYPE=HOME,VOICE:", &card.home},
                                                            {"EMAIL;TYPE=INTERNET:", &card.email}};
    for (const auto& [property, value] : lines)
        if (!value->isEmpty())
            text += property + value->toUtf8() + "\r\n";
    text += "END:VCARD\r\n";
    const QString path = folder + QLatin1Char('/') + card.uid + QStringLiteral(".vcf");
    QFile file(path + QStringLiteral(".tmp"));
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        return false;
    file.close();
    QFile::remove(path);
    return QFile::rename(path + QStringLiteral(".tmp"), path);
}
