#include "tests/contactlist/ContactListTestData.h"

#include "tests/TestEnvironment.h"

#include <QDir>
#include <QFile>

tagCONTACT* MakeRecord(const QString& name, std::initializer_list<std::pair<int, const char*>> fields, quint32 oid)
{
    std::array<QString, ContactFieldCount> texts;
    for (const auto& [type, text] : fields)
        texts[size_t(type)] = QString::fromUtf8(text);
    int defaultField = 0;
    for (int type = ContactFieldCount - 1; type >= 0; --type)
        if (!texts[size_t(type)].isEmpty())
            defaultField = type;
    return AllocateContactRecord(name, texts, defaultField, oid);
}

std::unique_ptr<CFilteredList> MakeAllList(std::initializer_list<tagCONTACT*> records)
{
    auto list = std::make_unique<CFilteredList>(CFilteredList::AllContactsFilter, true);
    for (tagCONTACT* record : records)
        list->m_Contacts.push_back(record);
    return list;
}

QString NewListFolder(const QString& hint)
{
    static int counter = 0;
    const QString path = TestTempDir() + QStringLiteral("/list-%1-%2").arg(hint).arg(++counter);
    QDir(path).removeRecursively();
    QDir().mkpath(path);
    return path;
}

void WriteCard(const QString& folder, const QString& uid, const QString& name, const QString& mobile,
               const QString& email)
{
    QByteArray card = "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:" + uid.toUtf8() + "\r\nFN:" + name.toUtf8() + "\r\nN:" +
                      name.toUtf8() + ";;;;\r\n";
    if (!mobile.isEmpty())
        card += "TEL;TYPE=CELL:" + mobile.toUtf8() + "\r\n";
    if (!email.isEmpty())
        card += "EMAIL;TYPE=INTERNET:" + email.toUtf8() + "\r\n";
    card += "END:VCARD\r\n";
    // Through a temporary name, as every vdir writer does.
    const QString path = folder + QLatin1Char('/') + uid + QStringLiteral(".vcf");
    QFile file(path + QStringLiteral(".tmp"));
    if (file.open(QIODevice::WriteOnly)) {
        file.write(card);
        file.close();
        QFile::remove(path);
        QFile::rename(path + QStringLiteral(".tmp"), path);
    }
}
