#include "contactlist/widgets/ContactRowsModel.h"

#include "tests/contactlist/ContactListTestData.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

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

// Under the model checker through lists set and reset.
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
    rows.SetList(nullptr);
    EXPECT_EQ(rows.rowCount(), 0);
}

// Ticks give the checked text, with and without names, and follow their
// contact when a reload brings one that sorts first.
TEST(ContactRowsModel, TicksGiveTheCheckedTextAndFollowTheContact)
{
    auto list = ThreePeople();
    CContactRowsModel rows;
    QAbstractItemModelTester tester(&rows, QAbstractItemModelTester::FailureReportingMode::Fatal);
    rows.SetCheckable(true);
    rows.SetList(list.get());
    QSignalSpy changed(&rows, &QAbstractItemModel::dataChanged);
    const struct { std::vector<int> ticked; const char* numbers; const char* withNames; } cases[] = {
        {{}, "", ""},
        {{0}, "+46701111111", "Anna Berg (+46701111111)"},
        {{0, 2}, "+46701111111; cia@example.org", "Anna Berg (+46701111111); Cia Dahl (cia@example.org)"},
        {{2, 1}, "08-123 45; cia@example.org", "Bo Ek (08-123 45); Cia Dahl (cia@example.org)"},
    };
    for (const auto& c : cases) {
        rows.ClearChecks();
        for (int row : c.ticked)
            rows.SetChecked(row, true);
        EXPECT_EQ(rows.CheckedText(false), QString::fromUtf8(c.numbers));
        EXPECT_EQ(rows.CheckedText(true), QString::fromUtf8(c.withNames));
    }
    EXPECT_GT(changed.count(), 0);
    EXPECT_EQ(rows.index(1).data(Qt::CheckStateRole).toInt(), Qt::Checked);
    rows.ToggleChecked(2);
    EXPECT_EQ(rows.index(2).data(Qt::CheckStateRole).toInt(), Qt::Unchecked);
    rows.SetChecked(7, true);  // no such row: nothing happens
    EXPECT_FALSE(rows.IsChecked(7));

    auto after = MakeAllList({
        MakeRecord("Aaron", {{FIELD_MOBILE_TEL, "+4670000"}}, 20),
        MakeRecord("Anna Berg", {{FIELD_MOBILE_TEL, "+46701111111"}}, 11),
        MakeRecord("Bo Ek", {{FIELD_WORK_TEL, "08-123 45"}}, 12),
    });
    rows.SetList(after.get());
    list.reset();
    EXPECT_FALSE(rows.IsChecked(1));
    EXPECT_TRUE(rows.IsChecked(2));
    EXPECT_EQ(rows.CheckedText(true), QStringLiteral("Bo Ek (08-123 45)"));
    rows.setData(rows.index(0), Qt::Checked, Qt::CheckStateRole);
    EXPECT_TRUE(rows.IsChecked(0));
    rows.SetCheckable(false);
    rows.SetList(nullptr);
}
