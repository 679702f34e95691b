#include "app/EntryListModel.h"

#include "app/EntryIcons.h"
#include "support/TranslationTable.h"

#include <QHash>

#include <algorithm>

namespace {

bool LessForSort(const CExtractorContact& a, const CExtractorContact& b, bool byName, bool ascending)
{
    const int order = byName ? QString::compare(a.m_Name, b.m_Name, Qt::CaseInsensitive)
                             : QString::compare(a.m_Number, b.m_Number, Qt::CaseInsensitive);
    return ascending ? order < 0 : order > 0;
}

// In place, middle element as pivot; equal names may change places.
void QuickSort(ExtractorContactArray& entries, int low, int high, bool byName, bool ascending)
{
    while (low < high) {
        const CExtractorContact& pivotEntry = *entries[static_cast<size_t>(low + (high - low) / 2)];
        const CExtractorContact pivot(pivotEntry.m_Name, pivotEntry.m_Number, pivotEntry.m_Index,
                                      pivotEntry.m_MemoryType);
        int i = low;
        int j = high;
        while (i <= j) {
            while (LessForSort(*entries[static_cast<size_t>(i)], pivot, byName, ascending))
                ++i;
            while (LessForSort(pivot, *entries[static_cast<size_t>(j)], byName, ascending))
                --j;
            if (i <= j) {
                std::swap(entries[static_cast<size_t>(i)], entries[static_cast<size_t>(j)]);
                ++i;
                --j;
            }
        }
        // Recurse into the smaller half so the stack stays shallow.
        if (j - low < high - i) {
            QuickSort(entries, low, j, byName, ascending);
            low = i;
        } else {
            QuickSort(entries, i, high, byName, ascending);
            high = j;
        }
    }
}

}  // namespace

CEntryListModel::CEntryListModel(QObject* parent) : QAbstractTableModel(parent) {}

CEntryListModel::~CEntryListModel() = default;

const CExtractorContact* CEntryListModel::Entry(int entry) const
{
    if (entry < 0 || entry >= EntryCount())
        return nullptr;
    return m_entries[static_cast<size_t>(entry)].get();
}

bool CEntryListModel::IsShown(MEMORYTYPE memory) const
{
    return memory == MEMORY_SIM ? m_showSim : m_showPhone;
}

void CEntryListModel::RebuildRows()
{
    m_rows.clear();
    for (int i = 0; i < EntryCount(); ++i)
        if (IsShown(m_entries[static_cast<size_t>(i)]->m_MemoryType))
            m_rows.push_back(i);
}

void CEntryListModel::SetEntries(ExtractorContactArray entries)
{
    beginResetModel();
    m_entries = std::move(entries);
    RebuildRows();
    endResetModel();
}

void CEntryListModel::Clear()
{
    if (m_entries.empty())
        return;
    SetEntries({});
}

void CEntryListModel::SetShown(bool showSim, bool showPhone)
{
    if (showSim == m_showSim && showPhone == m_showPhone)
        return;
    const bool wasSim = m_showSim;
    const bool wasPhone = m_showPhone;
    auto was = [&](MEMORYTYPE memory) { return memory == MEMORY_SIM ? wasSim : wasPhone; };
    auto now = [&](MEMORYTYPE memory) { return memory == MEMORY_SIM ? showSim : showPhone; };
    // Walk the array once; entries whose visibility flips come and go in
    // runs, so the list keeps the rows that stay, with their selection.
    int row = 0;
    int i = 0;
    const int count = EntryCount();
    while (i < count) {
        const MEMORYTYPE memory = m_entries[static_cast<size_t>(i)]->m_MemoryType;
        if (was(memory) == now(memory)) {
            row += was(memory) ? 1 : 0;
            ++i;
            continue;
        }
        const bool removing = was(memory);
        // A run: entries that flip the same way, skipping the ones that
        // have no row before or after.
        std::vector<int> run;
        int j = i;
        for (; j < count; ++j) {
            const MEMORYTYPE other = m_entries[static_cast<size_t>(j)]->m_MemoryType;
            if (was(other) == now(other)) {
                if (was(other))
                    break;
                continue;
            }
            if (was(other) != removing)
                break;
            run.push_back(j);
        }
        const int last = row + static_cast<int>(run.size()) - 1;
        if (removing) {
            beginRemoveRows(QModelIndex(), row, last);
            m_rows.erase(m_rows.begin() + row, m_rows.begin() + last + 1);
            endRemoveRows();
        } else {
            beginInsertRows(QModelIndex(), row, last);
            m_rows.insert(m_rows.begin() + row, run.begin(), run.end());
            endInsertRows();
            row = last + 1;
        }
        i = j;
    }
    m_showSim = showSim;
    m_showPhone = showPhone;
}

int CEntryListModel::RowToEntry(int row) const
{
    if (row < 0 || row >= static_cast<int>(m_rows.size()))
        return 0;
    return m_rows[static_cast<size_t>(row)];
}

int CEntryListModel::RowAtOrAfter(int entry) const
{
    return static_cast<int>(std::lower_bound(m_rows.begin(), m_rows.end(), entry) - m_rows.begin());
}

int CEntryListModel::EntryToRow(int entry) const
{
    const int row = RowAtOrAfter(entry);
    return row < static_cast<int>(m_rows.size()) && m_rows[static_cast<size_t>(row)] == entry ? row : -1;
}

void CEntryListModel::Sort(bool ascending, bool byName)
{
    if (m_entries.empty())
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<const CExtractorContact*> held;
    held.reserve(static_cast<size_t>(before.size()));
    for (const QModelIndex& index : before)
        held.push_back(Entry(RowToEntry(index.row())));

    QuickSort(m_entries, 0, EntryCount() - 1, byName, ascending);
    RebuildRows();

    if (!before.isEmpty()) {
        QHash<const CExtractorContact*, int> position;
        position.reserve(EntryCount());
        for (int i = 0; i < EntryCount(); ++i)
            position.insert(m_entries[static_cast<size_t>(i)].get(), i);
        QModelIndexList after;
        after.reserve(before.size());
        for (qsizetype k = 0; k < before.size(); ++k) {
            const int row = EntryToRow(position.value(held[static_cast<size_t>(k)], -1));
            after.append(row < 0 ? QModelIndex() : index(row, before[k].column()));
        }
        changePersistentIndexList(before, after);
    }
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int CEntryListModel::InsertAt(int position, std::unique_ptr<CExtractorContact> entry)
{
    const bool shown = IsShown(entry->m_MemoryType);
    const int row = RowAtOrAfter(position);
    if (shown)
        beginInsertRows(QModelIndex(), row, row);
    m_entries.insert(m_entries.begin() + position, std::move(entry));
    for (size_t r = static_cast<size_t>(row); r < m_rows.size(); ++r)
        ++m_rows[r];
    if (shown) {
        m_rows.insert(m_rows.begin() + row, position);
        endInsertRows();
    }
    return position;
}

int CEntryListModel::AppendEntry(std::unique_ptr<CExtractorContact> entry)
{
    return InsertAt(EntryCount(), std::move(entry));
}

std::unique_ptr<CExtractorContact> CEntryListModel::RemoveEntry(int entry)
{
    if (entry < 0 || entry >= EntryCount())
        return nullptr;
    const int row = EntryToRow(entry);
    if (row >= 0)
        beginRemoveRows(QModelIndex(), row, row);
    std::unique_ptr<CExtractorContact> removed = std::move(m_entries[static_cast<size_t>(entry)]);
    m_entries.erase(m_entries.begin() + entry);
    if (row >= 0)
        m_rows.erase(m_rows.begin() + row);
    for (size_t r = static_cast<size_t>(RowAtOrAfter(entry)); r < m_rows.size(); ++r)
        --m_rows[r];
    if (row >= 0)
        endRemoveRows();
    return removed;
}

void CEntryListModel::UpdateEntry(int entry, const CExtractorContact& value)
{
    if (entry < 0 || entry >= EntryCount())
        return;
    CExtractorContact& target = *m_entries[static_cast<size_t>(entry)];
    const bool wasShown = IsShown(target.m_MemoryType);
    const bool nowShown = IsShown(value.m_MemoryType);
    auto assign = [&] {
        target.m_Name = value.m_Name;
        target.m_Number = value.m_Number;
        target.m_Index = value.m_Index;
        target.m_MemoryType = value.m_MemoryType;
    };
    const int row = wasShown ? EntryToRow(entry) : RowAtOrAfter(entry);
    if (wasShown && nowShown) {
        assign();
        emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
    } else if (wasShown) {
        beginRemoveRows(QModelIndex(), row, row);
        m_rows.erase(m_rows.begin() + row);
        assign();
        endRemoveRows();
    } else if (nowShown) {
        beginInsertRows(QModelIndex(), row, row);
        m_rows.insert(m_rows.begin() + row, entry);
        assign();
        endInsertRows();
    } else {
        assign();
    }
}

int CEntryListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CEntryListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CEntryListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.column() >= ColumnCount || index.row() >= rowCount())
        return QVariant();
    const CExtractorContact* entry = Entry(RowToEntry(index.row()));
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
