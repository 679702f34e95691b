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

TEST_F(KhardInterop, KhardListsAContactWeCreated)
{
    {
        CContactsStore store(m_folder);
        ASSERT_TRUE(store.LogOn());
        std::unique_ptr<CContactItem> item = store.CreateItem();
        item->SetProperty(ContactProperty::FirstName, QStringLiteral("Åsa"));
        item->SetProperty(ContactProperty::LastName, QStringLiteral("Berg"));
        item->SetField(FIELD_MOBILE_TEL, QStringLiteral("+46 70 123 45 67"));
        item->SetField(FIELD_WORK_TEL, QStringLiteral("+46 8 123 45 67"));
        item->SetField(FIELD_HOME_FAX, QStringLiteral("+46 8 765 43 21"));
        item->SetField(FIELD_EMAIL, QStringLiteral("asa@example.org"));
        ASSERT_TRUE(store.Save(*item));
    }
    const QString list = Khard({QStringLiteral("list"), QStringLiteral("--parsable")});
    EXPECT_TRUE(list.contains(QStringLiteral("Åsa Berg"))) << list.toStdString();
    const QString phones = Khard({QStringLiteral("phone"), QStringLiteral("--parsable")});
    EXPECT_TRUE(phones.contains(QStringLiteral("+46 70 123 45 67\tÅsa Berg\tCELL"))) << phones.toStdString();
    EXPECT_TRUE(phones.contains(QStringLiteral("+46 8 123 45 67\tÅsa Berg\tWORK, VOICE"))) << phones.toStdString();
    EXPECT_TRUE(phones.contains(QStringLiteral("+46 8 765 43 21\tÅsa Berg\tHOME, FAX"))) << phones.toStdString();
    const QString mails = Khard({QStringLiteral("email"), QStringLiteral("--parsable")});
    EXPECT_TRUE(mails.contains(QStringLiteral("asa@example.org"))) << mails.toStdString();
}

TEST_F(KhardInterop, WeReadEveryKnownFieldOfAContactKhardCreated)
{
    const QByteArray yaml = "First name : Åsa\n"
                            "Last name : Berg\n"
                            "Organisation : Acme\n"
                            "Phone :\n"
                            "    work : +46 8 111\n"
                            "    cell : +46 70 222\n"
                            "    home : +46 8 333\n"
                            "    car : +46 70 444\n"
                            "    \"fax, work\" : +46 8 555\n"
                            "    \"fax, home\" : +46 8 666\n"
                            "Email :\n"
                            "    work : asa@example.org\n";
    Khard({QStringLiteral("new"), QStringLiteral("-a"), QStringLiteral("test")}, yaml);
    CPoomPhoneNumbers numbers(QString(), m_folder);
    ASSERT_EQ(numbers.GetCount(), 1);
    QString name, tag;
    quint32 mask = 0, oid = 0;
    QMap<QString, QString> values;
    ASSERT_TRUE(numbers.GetDetails(0, name, mask, tag, values, oid));
    EXPECT_EQ(name, QStringLiteral("Åsa Berg"));
    EXPECT_EQ(values, (QMap<QString, QString>{{"w", "+46 8 111"}, {"m", "+46 70 222"}, {"h", "+46 8 333"},
                                              {"c", "+46 70 444"}, {"f", "+46 8 555"}, {"hf", "+46 8 666"},
                                              {"e", "asa@example.org"}}));
    EXPECT_EQ(mask, 0x200u | 0x1 | 0x2 | 0x4 | 0x10 | 0x80 | 0x100);
    EXPECT_EQ(numbers.GetPropertyAt(0, ContactProperty::Company), QStringLiteral("Acme"));
    EXPECT_NE(oid, 0u);
}

TEST_F(KhardInterop, ReadsKhardsOwnFileWithThreeEmailAddresses)
{
    CopyContactsData(QStringLiteral("khard-created.vcf"), m_folder);
    CPoomPhoneNumbers numbers(QString(), m_folder);
    EXPECT_EQ(numbers.GetEmail1At(0), QStringLiteral("asa@example.org"));
    EXPECT_EQ(numbers.GetEmail2At(0), QStringLiteral("asa.home@example.org"));
    EXPECT_EQ(numbers.GetEmail3At(0), QStringLiteral("asa3@example.org"));
    // And khard still reads the file after we changed it.
    std::unique_ptr<CContactItem> item = numbers.Store().ItemAt(0);
    item->SetField(FIELD_ASSISTANT_TEL, QStringLiteral("+46 8 777"));
    ASSERT_TRUE(numbers.Store().Save(*item));
    const QString phones = Khard({QStringLiteral("phone"), QStringLiteral("--parsable")});
    EXPECT_TRUE(phones.contains(QStringLiteral("+46 8 777\tÅsa Berg\tASSISTANT"))) << phones.toStdString();
    EXPECT_TRUE(phones.contains(QStringLiteral("+46 70 123 45 67"))) << phones.toStdString();
}

// Cards khard wrote, edited here in one field and saved: every other line
// stays as khard wrote it, and khard reads the result.
TEST_F(KhardInterop, AnEditLeavesKhardsOtherLinesAsTheyWere)
{
    const QByteArray cards[] = {
        "First name : Per\nLast name : Holm\nNickname : Pelle\nPhone :\n    cell : +46 70 1\n    home :\n"
        "        - +46 8 2\n        - +46 8 3\nEmail :\n    home : per@example.org\nAddress :\n    home :\n        Street : Gatan 1\n"
        "        Code : 22100\n        City : Lund\nNote : two, parts; here\n",
        "First name : Li\nAdditional : Mei, Hua\nLast name : Wang\nOrganisation : Acme\nTitle : Boss\n"
        "Birthday : 1980-02-03\nWebpage : https://example.org/li\n",
    };
    for (const QByteArray& yaml : cards)
        Khard({QStringLiteral("new"), QStringLiteral("-a"), QStringLiteral("test")}, yaml);
    CContactsStore store(m_folder);
    ASSERT_TRUE(store.LogOn());
    ASSERT_EQ(store.Count(), 2);
    for (int i = 0; i < 2; ++i) {
        std::unique_ptr<CContactItem> item = store.ItemAt(i);
        const QString path = m_folder + QLatin1Char('/') + item->FileName();
        const QByteArray before = ReadContactFile(path);
        item->SetField(FIELD_CAR_TEL, QStringLiteral("+46 70 9%1").arg(i));
        ASSERT_TRUE(store.Save(*item));
        QList<QByteArray> beforeLines = before.split('\n');
        QList<QByteArray> afterLines = ReadContactFile(path).split('\n');
        auto dropRevAndTel = [](QList<QByteArray>& lines) {
            lines.removeIf([](const QByteArray& l) { return l.startsWith("REV:") || l.contains("+46 70 9"); });
        };
        dropRevAndTel(beforeLines);
        dropRevAndTel(afterLines);
        EXPECT_EQ(afterLines, beforeLines) << before.constData();
    }
    const QString phones = Khard({QStringLiteral("phone"), QStringLiteral("--parsable")});
    EXPECT_TRUE(phones.contains(QStringLiteral("+46 70 90"))) << phones.toStdString();
    EXPECT_TRUE(phones.contains(QStringLiteral("+46 70 91"))) << phones.toStdString();
}
