#pragma once
// The view's entry array, SIM and phone entries mixed, and the rows the
// entry list shows of it: every entry of a shown memory, in array order.
// The model keeps no copies of the texts; rows are drawn from the entries
// on demand. Every change goes through the model so that the list's
// selection, current row and scroll position follow the entries: a hidden
// memory's rows are removed and inserted again, a sort moves rows as a
// layout change with the persistent indexes carried along.

#include "gsmcore/phonebook/ExtractorContact.h"

#include <QAbstractTableModel>

#include <memory>
#include <vector>

class CEntryListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { NameColumn = 0, NumberColumn = 1, ColumnCount = 2 };

    explicit CEntryListModel(QObject* parent = nullptr);
    ~CEntryListModel() override;

    const ExtractorContactArray& Entries() const { return m_entries; }
    int EntryCount() const { return static_cast<int>(m_entries.size()); }
    const CExtractorContact* Entry(int entry) const;

    // Replaces the whole array (a new read); a model reset.
    void SetEntries(ExtractorContactArray entries);
    void Clear();

    // Which memories have rows; rows come and go, the others stay.
    void SetShown(bool showSim, bool showPhone);
    bool ShowsSim() const { return m_showSim; }
    bool ShowsPhone() const { return m_showPhone; }

    // The entry a row shows; 0 when the row shows none (nothing shown,
    // or beyond the last row), as the commands on entries expect.
    int RowToEntry(int row) const;
    // The row that shows an entry, -1 when its memory is hidden.
    int EntryToRow(int entry) const;

    // Sorts the array in place (quicksort, middle pivot, not stable) by
    // name or number, case ignored; rows and selection follow.
    void Sort(bool ascending, bool byName);

    // In-place edits. AppendEntry adds at the end of the array (a row when
    // its memory is shown) and returns its index; RemoveEntry takes one
    // out and gives it back; UpdateEntry replaces an entry's name, number,
    // location and memory (a move between memories may show or hide its row).
    int AppendEntry(std::unique_ptr<CExtractorContact> entry);
    std::unique_ptr<CExtractorContact> RemoveEntry(int entry);
    void UpdateEntry(int entry, const CExtractorContact& value);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    bool IsShown(MEMORYTYPE memory) const;
    int InsertAt(int position, std::unique_ptr<CExtractorContact> entry);
    // Row of the first shown entry at or after `entry` in the array.
    int RowAtOrAfter(int entry) const;
    void RebuildRows();

    ExtractorContactArray m_entries;
    std::vector<int> m_rows;  // row -> index into m_entries
    bool m_showSim = true;
    bool m_showPhone = true;
};
