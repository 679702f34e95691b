#include "tests/contactlist/widgets/WidgetTestContacts.h"

#include "tests/TestEnvironment.h"

#include <QDir>
#include <QFile>

#include <array>

tagCONTACT* MakeTestRecord(const QString& name, std::initializer_list<std::pair<int, const char*>> fields,
                           quint32 oid, int defaultField)
{
    std::array<QString, ContactFieldCount> texts;
    for (const auto& [type, text] : fields)
        texts[size_t(type)] = QString::fromUtf8(text);
    if (defaultField < 0) {
        for (int type = ContactFieldCount - 1; type >= 0; --type)
            if (!texts[size_t(type)].isEmpty())
                defaultField = type;
    }
    return AllocateContactRecord(name, texts, std::max(0, defaultField), oid);
}

std::unique_ptr<CFilteredList> MakeTestList(std::initializer_list<tagCONTACT*> records)
{
    auto list = std::make_unique<CFilteredList>(CFilteredList::AllContactsFilter, true);
    for (tagCONTACT* record : records)
        list->m_Contacts.push_back(record);
    return list;
}

QString NewContactsFolder(const QString& hint)
{
    static int counter = 0;
    const QString path = TestTempDir() + QStringLiteral("/contactsui-%1-%2").arg(hint).arg(++counter);
    QDir(path).removeRecursively();
    QDir().mkpath(path);
    return path;
}

bool WriteTestCard(const QString& folder, const TestCard& card)
{
    QByteArray text = "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:" + card.uid.toUtf8() + "\r\nFN:" + card.name.toUtf8() +
                      "\r\nN:" + card.name.toUtf8() + ";;;;\r\n";
    if (!card.work.isEmpty())
        text += "TEL;TYPE=WORK,VOICE:" + card.work.toUtf8() + "\r\n";
    if (!card.mobile.isEmpty())
        text += "TEL;TYPE=CELL:" + card.mobile.toUtf8() + "\r\n";
    if (!card.home.isEmpty())
        text += "TEL;TYPE=HOME,VOICE:" + card.home.toUtf8() + "\r\n";
    if (!card.email.isEmpty())
        text += "EMAIL;TYPE=INTERNET:" + card.email.toUtf8() + "\r\n";
    text += "END:VCARD\r\n";
    const QString path = folder + QLatin1Char('/') + card.uid + QStringLiteral(".vcf");
    QFile file(path + QStringLiteral(".tmp"));
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        return false;
    file.close();
    QFile::remove(path);
    return QFile::rename(path + QStringLiteral(".tmp"), path);
}
