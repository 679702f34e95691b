#include "app/EntryListModel.h"

#include "app/EntryIcons.h"
#include "support/TranslationTable.h"

CEntryListModel::CEntryListModel(const ExtractorContactArray& entries, std::function<int(int)> rowToEntry,
                                 QObject* parent)
    : QAbstractTableModel(parent), m_entries(entries), m_rowToEntry(std::move(rowToEntry))
{
}

void CEntryListModel::SetRowCount(int rows)
{
    beginResetModel();
    m_rows = qMax(0, rows);
    endResetModel();
}

void CEntryListModel::EntriesChanged()
{
    if (m_rows > 0)
        emit dataChanged(index(0, 0), index(m_rows - 1, ColumnCount - 1));
}

int CEntryListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int CEntryListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

const CExtractorContact* CEntryListModel::EntryAt(int row) const
{
    if (row < 0 || row >= m_rows)
        return nullptr;
    const int entry = m_rowToEntry ? m_rowToEntry(row) : row;
    if (entry < 0 || entry >= static_cast<int>(m_entries.size()))
        return nullptr;
    return m_entries[static_cast<size_t>(entry)].get();
}

QVariant CEntryListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.column() >= ColumnCount)
        return QVariant();
    const CExtractorContact* entry = EntryAt(index.row());
    if (!entry)
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return index.column() == NameColumn ? entry->m_Name : entry->m_Number;
    case Qt::DecorationRole:
        if (index.column() == NameColumn)
            return EntryIcon(entry->m_MemoryType);
        return QVariant();
    case Qt::UserRole:
        return static_cast<int>(entry->m_MemoryType);
    default:
        return QVariant();
    }
}

QVariant CEntryListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    if (section == NameColumn)
        return Tr("Name");
    if (section == NumberColumn)
        return Tr("Number");
    return QVariant();
}
