// The entry model's in-place edits under the model checker: each inserts,
// removes or moves the one row it touches, and persistent indexes stay on
// their entries. What rows the shown memories and the sorts give is the
// window's test.

#include "app/EntryListModel.h"
#include "tests/app/AppTestSupport.h"

#include <QAbstractItemModelTester>
#include <QPersistentModelIndex>
#include <QSignalSpy>

namespace {

std::unique_ptr<CExtractorContact> Entry(const char* name, const char* number, MEMORYTYPE memory)
{
    return std::make_unique<CExtractorContact>(QString::fromLatin1(name), QString::fromLatin1(number), 1, memory);
}

TEST(EntryListModelTest, InPlaceEditsTouchOnlyTheirRow)
{
    CEntryListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    ExtractorContactArray entries;
    for (const auto& [name, memory] : {std::pair{"dora", MEMORY_SIM}, {"Bert", MEMORY_PHONE}, {"anna", MEMORY_SIM},
                                       {"Carl", MEMORY_PHONE}, {"eve", MEMORY_PHONE}})
        entries.push_back(Entry(name, "0301", memory));
    model.SetEntries(std::move(entries));
    model.Sort(true, true);
    model.SetShown(false, true);
    const QPersistentModelIndex eve = model.index(2, 0);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);

    // A hidden memory's new entry gets no row; a shown one's does.
    model.AppendEntry(Entry("zed", "9", MEMORY_SIM));
    EXPECT_EQ(inserted.count(), 0);
    const int added = model.AppendEntry(Entry("Chris", "7", MEMORY_PHONE));
    EXPECT_EQ(model.Entry(added)->m_Name, QStringLiteral("Chris"));
    EXPECT_EQ(ColumnTexts(model), (QStringList{"Bert", "Carl", "eve", "Chris"}));
    EXPECT_EQ(inserted.count(), 1);

    // Moving Carl to the SIM hides his row; back to the phone shows it.
    const int carl = model.RowToEntry(1);
    CExtractorContact moved = *model.Entry(carl);
    moved.m_MemoryType = MEMORY_SIM;
    moved.m_Index = 12;
    model.UpdateEntry(carl, moved);
    EXPECT_EQ(ColumnTexts(model), (QStringList{"Bert", "eve", "Chris"}));
    EXPECT_EQ(model.Entry(carl)->m_Index, 12);
    EXPECT_EQ(eve.row(), 1);
    moved.m_MemoryType = MEMORY_PHONE;
    moved.m_Name = QStringLiteral("Carla");
    model.UpdateEntry(carl, moved);
    EXPECT_EQ(ColumnTexts(model), (QStringList{"Bert", "Carla", "eve", "Chris"}));

    // Removing gives the entry back and closes the gap.
    std::unique_ptr<CExtractorContact> gone = model.RemoveEntry(model.RowToEntry(0));
    ASSERT_TRUE(gone);
    EXPECT_EQ(gone->m_Name, QStringLiteral("Bert"));
    EXPECT_EQ(ColumnTexts(model), (QStringList{"Carla", "eve", "Chris"}));
    EXPECT_EQ(removed.count(), 2);
    EXPECT_EQ(eve.data().toString(), QStringLiteral("eve"));
    EXPECT_EQ(model.EntryCount(), 6);
    EXPECT_EQ(model.RemoveEntry(6), nullptr);
    EXPECT_EQ(model.RowToEntry(99), 0);  // beyond the last row
    model.SetShown(true, true);
    EXPECT_EQ(model.rowCount(), 6);
}

}  // namespace
