// The shared lists on the worker: the folder changing under running loads,
// and the window going while one runs. The cache and sharing between
// windows are the window's tests.

#include "contactlist/ContactListModel.h"
#include "contactlist/ContactLoader.h"
#include "tests/contactlist/ContactListTestData.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>

#include <functional>

#include <gtest/gtest.h>

namespace {

class ContactListModelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_folder = NewTempFolder(QStringLiteral("list-model"));
        m_cache = m_folder + QStringLiteral(".cache");
    }

    static QStringList Names()
    {
        const CFilteredList* all = CContactListModel::AllContacts();
        return all ? NamesOf(*all) : QStringList();
    }

    // Lets the folder watcher and the loads run until the list shows
    // `wanted` (the time-out only ends a failing wait); returns what it shows.
    static QStringList Follows(const QStringList& wanted)
    {
        QDeadlineTimer deadline(20000);
        while (Names() != wanted && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            CContactListModel::WaitForLoad(10000);
            QThread::msleep(5);
        }
        return Names();
    }

    QString m_folder;
    QString m_cache;
};

}  // namespace

// Cards come and go (one while the first load runs), another program
// writes a card in place (no new file, no rename) or renames a new one
// over it, and the folder goes away and comes back: the list follows.
TEST_F(ContactListModelTest, TheListFollowsTheFolder)
{
    WriteCard(m_folder, {"a", "Before", "+46701"});
    CContactListModel model(m_folder);
    model.Create(m_cache, CFilteredList::AllContactsFilter, true);
    auto rewriteInPlace = [&](const char* name) {
        QFile file(m_folder + QStringLiteral("/a.vcf"));
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
               file.write("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:a\r\nFN:" + QByteArray(name) +
                          "\r\nTEL;TYPE=CELL:1\r\nEND:VCARD\r\n") > 0;
    };
    const struct { const char* what; std::function<bool()> change; QStringList shown; } steps[] = {
        // The first load runs: this starts nothing now, but is not lost.
        {"added", [&] { return WriteCard(m_folder, {"b", "B", "+46702"}); }, {"B", "Before"}},
        {"rewritten in place", [&] { return rewriteInPlace("After"); }, {"After", "B"}},
        {"renamed over", [&] { return WriteCard(m_folder, {"a", "Renamed over", "+46701"}); }, {"B", "Renamed over"}},
        {"removed", [&] { return QFile::remove(m_folder + QStringLiteral("/b.vcf")); }, {"Renamed over"}},
        {"folder gone", [&] { return QDir(m_folder).removeRecursively(); }, {}},
        {"folder back", [&] { return QDir().mkpath(m_folder) && WriteCard(m_folder, {"a", "Back", "+46701"}); }, {"Back"}},
        {"rewritten again", [&] { return rewriteInPlace("Again"); }, {"Again"}},
    };
    for (const auto& step : steps) {
        ASSERT_TRUE(step.change()) << step.what;
        EXPECT_EQ(Follows(step.shown), step.shown) << step.what;
    }
}

TEST_F(ContactListModelTest, FilesComingAndGoingDuringLoadsNeverCorruptTheList)
{
    for (int i = 0; i < 1500; ++i)
        WriteCard(m_folder, {QStringLiteral("base-%1").arg(i), QStringLiteral("Base %1").arg(i),
                             QStringLiteral("+4670%1").arg(i)});
    CContactListModel model(m_folder);
    model.Create(m_cache, 0x2, true);
    for (int round = 0; round < 30; ++round) {
        WriteCard(m_folder, {QStringLiteral("churn-%1").arg(round), QStringLiteral("Churn %1").arg(round),
                             QStringLiteral("+4671%1").arg(round)});
        QFile::remove(m_folder + QStringLiteral("/base-%1.vcf").arg(round));
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        model.RefreshList(true);
        // Whatever the list holds now must be whole and sorted.
        const CFilteredList* all = CContactListModel::AllContacts();
        for (size_t i = 0; i + 1 < all->m_Contacts.size(); ++i)
            ASSERT_LE(CompareContactNames(ContactName(all->m_Contacts[i]), ContactName(all->m_Contacts[i + 1])), 0);
    }
    // Settle: wait out every reload the changes caused, then one more.
    for (int i = 0; i < 50; ++i) {
        ASSERT_TRUE(CContactListModel::WaitForLoad(20000));
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    ASSERT_TRUE(CContactListModel::WaitForLoad(20000));
    ASSERT_TRUE(model.RefreshList(false));
    ASSERT_TRUE(CContactListModel::WaitForLoad(20000));
    const QStringList names = Names();
    EXPECT_EQ(names.size(), 1500);
    EXPECT_FALSE(names.contains(QStringLiteral("Base 0")));
    EXPECT_TRUE(names.contains(QStringLiteral("Churn 29")));
    EXPECT_EQ(model.CurrentList()->Count(), 1500);  // the mobile filter was rebuilt too
}

// Without a cache file the window reads nothing; one destroyed during its
// load stops it.
TEST_F(ContactListModelTest, WithoutACacheNothingLoadsAndAWindowGoneStopsItsLoad)
{
    for (int i = 0; i < 500; ++i)
        WriteCard(m_folder, {QString::number(i), QStringLiteral("N %1").arg(i), QStringLiteral("+4670%1").arg(i)});
    {
        CContactListModel model(m_folder);
        model.Create(QString(), 0x2, true);
        EXPECT_FALSE(CContactListModel::IsRefreshing());
        ASSERT_NE(model.CurrentList(), nullptr);
        EXPECT_EQ(model.CurrentList()->m_Filter, 0x2);
        EXPECT_EQ(CContactListModel::AllContacts()->Count(), 0);
    }
    {
        CContactListModel model(m_folder);
        model.Create(m_cache, CFilteredList::AllContactsFilter, true);
        EXPECT_TRUE(CContactListModel::IsRefreshing());
    }
    EXPECT_FALSE(CContactListModel::IsRefreshing());
    EXPECT_EQ(CContactListModel::InstanceCount(), 0);
    QCoreApplication::processEvents();  // a completion posted late must find nothing to do
}
