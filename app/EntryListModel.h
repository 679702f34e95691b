#pragma once
// The entry list's rows, drawn on demand from the view's entry array: the
// model keeps no texts, only the row count the view sets, and asks the
// view which entry a row shows.

#include "gsmcore/phonebook/ExtractorContact.h"

#include <QAbstractTableModel>

#include <functional>

class CEntryListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { NameColumn = 0, NumberColumn = 1, ColumnCount = 2 };

    // `entries` is the view's array; `rowToEntry` maps a row to its index.
    CEntryListModel(const ExtractorContactArray& entries, std::function<int(int row)> rowToEntry,
                    QObject* parent = nullptr);

    // Sets the number of rows shown; every row is fetched again.
    void SetRowCount(int rows);
    // The array's order changed but not the shown count.
    void EntriesChanged();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const CExtractorContact* EntryAt(int row) const;

    const ExtractorContactArray& m_entries;
    std::function<int(int)> m_rowToEntry;
    int m_rows = 0;
};
