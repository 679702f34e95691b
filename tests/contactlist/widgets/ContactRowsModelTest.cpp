#include "contactlist/widgets/ContactRowsModel.h"

#include "tests/contactlist/ContactListTestData.h"

#include <QAbstractItemModelTester>

#include <gtest/gtest.h>

namespace {

std::unique_ptr<CFilteredList> ThreePeople()
{
    return MakeAllList({
        MakeRecord("Anna Berg", {{FIELD_MOBILE_TEL, "+46701111111"}}, 11),
        MakeRecord("Bo Ek", {{FIELD_WORK_TEL, "08-123 45"}, {FIELD_EMAIL, "bo@example.org"}}, 12),
        MakeRecord("Cia Dahl", {{FIELD_EMAIL2, "cia@example.org"}}, 13),
    });
}

}  // namespace

// Under the model checker through lists set and reset, and ticks.
TEST(ContactRowsModel, RowsShowNameTagAndDefaultText)
{
    CContactRowsModel rows;
    QAbstractItemModelTester tester(&rows, QAbstractItemModelTester::FailureReportingMode::Fatal);
    auto list = ThreePeople();
    rows.SetList(list.get());
    const struct { const char* name; const char* tag; const char* text; quint32 oid; } expected[] = {
        {"Anna Berg", "m", "+46701111111", 11},
        {"Bo Ek", "w", "08-123 45", 12},
        {"Cia Dahl", "e2", "cia@example.org", 13},
    };
    ASSERT_EQ(rows.rowCount(), 3);
    for (int row = 0; row < 3; ++row) {
        const QModelIndex index = rows.index(row);
        EXPECT_EQ(index.data(Qt::DisplayRole).toString(), QString::fromUtf8(expected[row].name));
        EXPECT_EQ(index.data(CContactRowsModel::TagRole).toString(), QString::fromUtf8(expected[row].tag));
        EXPECT_EQ(index.data(CContactRowsModel::DefaultTextRole).toString(), QString::fromUtf8(expected[row].text));
        EXPECT_EQ(index.data(CContactRowsModel::OidRole).toUInt(), expected[row].oid);
        EXPECT_FALSE(index.data(Qt::CheckStateRole).isValid()) << "no check boxes";
        EXPECT_FALSE(index.flags() & Qt::ItemIsUserCheckable);
    }
    EXPECT_EQ(rows.RecordAt(3), nullptr);
    EXPECT_EQ(rows.RecordAt(-1), nullptr);

    // Ticks by every way in; what they give is the window's test.
    rows.SetCheckable(true);
    rows.ToggleChecked(1);
    rows.setData(rows.index(2), Qt::Checked, Qt::CheckStateRole);
    EXPECT_EQ(rows.index(1).data(Qt::CheckStateRole).toInt(), Qt::Checked);
    EXPECT_TRUE(rows.IsChecked(2));
    rows.SetChecked(7, true);  // no such row: nothing happens
    EXPECT_FALSE(rows.IsChecked(7));
    rows.ClearChecks();
    EXPECT_FALSE(rows.IsChecked(1));
    rows.SetList(nullptr);
    EXPECT_EQ(rows.rowCount(), 0);
}
