// The entry model under the model checker: rows follow the shown
// memories, a sort keeps persistent indexes on their entries, and the
// in-place edits insert, remove and move single rows.

#include "app/EntryListModel.h"

#include <QAbstractItemModelTester>
#include <QPersistentModelIndex>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <memory>

namespace {

std::unique_ptr<CExtractorContact> Entry(const char* name, const char* number, MEMORYTYPE memory, int index = 1)
{
    return std::make_unique<CExtractorContact>(QString::fromLatin1(name), QString::fromLatin1(number), index, memory);
}

class EntryListModelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ExtractorContactArray entries;
        entries.push_back(Entry("dora", "+4478712345678", MEMORY_SIM));
        entries.push_back(Entry("Bert", "0301", MEMORY_PHONE));
        entries.push_back(Entry("anna", "0402", MEMORY_SIM));
        entries.push_back(Entry("Carl", "0203", MEMORY_PHONE));
        entries.push_back(Entry("eve", "0104", MEMORY_PHONE));
        m_model.SetEntries(std::move(entries));
    }
    QStringList Names() const
    {
        QStringList names;
        for (int row = 0; row < m_model.rowCount(); ++row)
            names << m_model.index(row, 0).data().toString();
        return names;
    }
    QString NameAt(const QPersistentModelIndex& index) const { return index.data().toString(); }

    CEntryListModel m_model;
    QAbstractItemModelTester m_tester{&m_model, QAbstractItemModelTester::FailureReportingMode::Fatal};
};

// View toggles and header sorts in turn; the selection's side of it is
// the window's test.
TEST_F(EntryListModelTest, RowsFollowTheShownMemoriesAndTheSort)
{
    // Sort 0 none, 1 by name ascending, 2 by name descending, 3 by number ascending.
    const struct { bool sim, phone; int sort; QStringList names; int rowZeroEntry; } cases[] = {
        {false, true, 0, {"Bert", "Carl", "eve"}, 1},
        {true, false, 0, {"dora", "anna"}, 0},
        {false, false, 0, {}, 0},
        {true, true, 0, {"dora", "Bert", "anna", "Carl", "eve"}, 0},
        {true, true, 1, {"anna", "Bert", "Carl", "dora", "eve"}, 0},
        {true, true, 2, {"eve", "dora", "Carl", "Bert", "anna"}, 0},
        {true, true, 3, {"dora", "eve", "Carl", "Bert", "anna"}, 0},  // "+" before digits
        {true, false, 1, {"anna", "dora"}, 0},                        // the hidden ones are sorted too
        {true, true, 0, {"anna", "Bert", "Carl", "dora", "eve"}, 0},
    };
    QSignalSpy resets(&m_model, &QAbstractItemModel::modelReset);
    for (const auto& c : cases) {
        m_model.SetShown(c.sim, c.phone);
        if (c.sort)
            m_model.Sort(c.sort != 2, c.sort != 3);
        EXPECT_EQ(Names(), c.names) << c.sim << c.phone << c.sort;
        EXPECT_EQ(m_model.RowToEntry(0), c.rowZeroEntry);
        EXPECT_EQ(m_model.RowToEntry(99), 0);
    }
    EXPECT_EQ(resets.count(), 0);
}

TEST_F(EntryListModelTest, InPlaceEditsTouchOnlyTheirRow)
{
    m_model.Sort(true, true);
    m_model.SetShown(false, true);  // phone rows: Bert, Carl, eve
    QPersistentModelIndex eve = m_model.index(2, 0);
    QSignalSpy inserted(&m_model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&m_model, &QAbstractItemModel::rowsRemoved);

    // A hidden memory's new entry gets no row; a shown one's does.
    m_model.AppendEntry(Entry("zed", "9", MEMORY_SIM));
    EXPECT_EQ(inserted.count(), 0);
    const int added = m_model.InsertSorted(Entry("Chris", "7", MEMORY_PHONE), true, true);
    EXPECT_EQ(m_model.Entry(added)->m_Name, QStringLiteral("Chris"));
    EXPECT_EQ(Names(), (QStringList{"Bert", "Carl", "Chris", "eve"}));
    EXPECT_EQ(inserted.count(), 1);
    EXPECT_EQ(eve.row(), 3);

    // Moving Carl to the SIM hides his row; back to the phone shows it.
    const int carl = m_model.RowToEntry(1);
    CExtractorContact moved = *m_model.Entry(carl);
    moved.m_MemoryType = MEMORY_SIM;
    moved.m_Index = 12;
    m_model.UpdateEntry(carl, moved);
    EXPECT_EQ(Names(), (QStringList{"Bert", "Chris", "eve"}));
    EXPECT_EQ(m_model.Entry(carl)->m_Index, 12);
    moved.m_MemoryType = MEMORY_PHONE;
    moved.m_Name = QStringLiteral("Carla");
    m_model.UpdateEntry(carl, moved);
    EXPECT_EQ(Names(), (QStringList{"Bert", "Carla", "Chris", "eve"}));

    // Removing gives the entry back and closes the gap.
    std::unique_ptr<CExtractorContact> gone = m_model.RemoveEntry(m_model.RowToEntry(0));
    ASSERT_TRUE(gone);
    EXPECT_EQ(gone->m_Name, QStringLiteral("Bert"));
    EXPECT_EQ(Names(), (QStringList{"Carla", "Chris", "eve"}));
    EXPECT_EQ(removed.count(), 2);
    EXPECT_EQ(NameAt(eve), QStringLiteral("eve"));
    EXPECT_EQ(m_model.EntryCount(), 6);
    EXPECT_EQ(m_model.RemoveEntry(6), nullptr);
    m_model.SetShown(true, true);
    EXPECT_EQ(m_model.rowCount(), 6);
}

}  // namespace
