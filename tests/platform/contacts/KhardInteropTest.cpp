// Interoperability with khard, run as a separate program on the same
// folder: what we write it lists, what it writes we read.

#include "platform/contacts/PoomPhoneNumbers.h"
#include "tests/platform/contacts/ContactsTestFolder.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace {

class KhardInterop : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_khard = QStandardPaths::findExecutable(QStringLiteral("khard"));
        // scripts/setup.sh installs khard: without it this is a broken set-up, not a pass.
        ASSERT_FALSE(m_khard.isEmpty()) << "khard is not installed (Debian package khard)";
        m_folder = NewContactsFolder(QStringLiteral("khard"));
        m_config = m_folder + QStringLiteral(".conf");
        QFile config(m_config);
        ASSERT_TRUE(config.open(QIODevice::WriteOnly));
        config.write("[addressbooks]\n[[test]]\npath = " + m_folder.toUtf8() +
                     "\n[general]\ndebug = no\n[contact table]\ndisplay = formatted_name\n[vcard]\npreferred_version = 3.0\n");
    }

    QString Khard(const QStringList& arguments, const QByteArray& input = QByteArray())
    {
        QProcess process;
        process.start(m_khard, QStringList{QStringLiteral("-c"), m_config} + arguments);
        if (!process.waitForStarted(10000))
            return QString();
        process.write(input);
        process.closeWriteChannel();
        EXPECT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().constData();
        return QString::fromUtf8(process.readAllStandardOutput());
    }

    QString m_khard;
    QString m_folder;
    QString m_config;
};

}  // namespace

// Every known field of a contact khard created reads as its field; khard
// lists every number of a contact we create and of its own file after our
// edit, each with its kind.
TEST_F(KhardInterop, EachReadsWhatTheOtherWrites)
{
    const QByteArray yaml = "First name : Eva\nLast name : Alm\nOrganisation : Acme\nPhone :\n    work : +46 8 111\n"
                            "    cell : +46 70 222\n    home : +46 8 333\n    car : +46 70 444\n"
                            "    \"fax, work\" : +46 8 555\n    \"fax, home\" : +46 8 666\nEmail :\n    work : eva@example.org\n";
    Khard({QStringLiteral("new"), QStringLiteral("-a"), QStringLiteral("test")}, yaml);
    CopyContactsData(QStringLiteral("khard-created.vcf"), m_folder);
    CPoomPhoneNumbers numbers(QString(), m_folder);
    ASSERT_EQ(numbers.GetCount(), 2);
    const int eva = numbers.FindByName(QStringLiteral("Alm, Eva"));
    QString name, tag;
    quint32 mask = 0, oid = 0;
    QMap<QString, QString> values;
    ASSERT_TRUE(numbers.GetDetails(eva, name, mask, tag, values, oid));
    EXPECT_EQ(values, (QMap<QString, QString>{{"w", "+46 8 111"}, {"m", "+46 70 222"}, {"h", "+46 8 333"},
                                              {"c", "+46 70 444"}, {"f", "+46 8 555"}, {"hf", "+46 8 666"},
                                              {"e", "eva@example.org"}}));
    EXPECT_EQ(mask, 0x200u | 0x1 | 0x2 | 0x4 | 0x10 | 0x80 | 0x100);
    EXPECT_EQ(numbers.GetPropertyAt(eva, ContactProperty::Company), QStringLiteral("Acme"));

    CContactsStore& store = numbers.Store();
    std::unique_ptr<CContactItem> edited = store.ItemAt(numbers.FindByName(QStringLiteral("Berg, Åsa")));
    edited->SetField(FIELD_ASSISTANT_TEL, QStringLiteral("+46 8 777"));
    ASSERT_TRUE(store.Save(*edited));
    std::unique_ptr<CContactItem> item = store.CreateItem();
    item->SetProperty(ContactProperty::FirstName, QStringLiteral("Per"));
    item->SetProperty(ContactProperty::LastName, QStringLiteral("Holm"));
    item->SetField(FIELD_MOBILE_TEL, QStringLiteral("+46 70 1"));
    item->SetField(FIELD_WORK_TEL, QStringLiteral("+46 8 2"));
    item->SetField(FIELD_HOME_FAX, QStringLiteral("+46 8 3"));
    item->SetField(FIELD_EMAIL, QStringLiteral("per@example.org"));
    ASSERT_TRUE(store.Save(*item));

    const QString phones = Khard({QStringLiteral("phone"), QStringLiteral("--parsable")});
    for (const char* line : {"+46 8 777\tÅsa Berg\tASSISTANT", "+46 70 123 45 67\tÅsa Berg\tcell", "+46 70 1\tPer Holm\tCELL",
                             "+46 8 2\tPer Holm\tWORK, VOICE", "+46 8 3\tPer Holm\tHOME, FAX"})
        EXPECT_TRUE(phones.contains(QString::fromUtf8(line))) << line << "\n" << phones.toStdString();
    EXPECT_TRUE(Khard({QStringLiteral("email"), QStringLiteral("--parsable")}).contains(QStringLiteral("per@example.org")));
}
