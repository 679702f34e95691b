#include "contactlist/widgets/ContactRowsModel.h"

#include "contactlist/widgets/DefaultFieldRules.h"
#include "support/Format.h"

CContactRowsModel::CContactRowsModel(QObject* parent) : QAbstractListModel(parent) {}

void CContactRowsModel::SetList(CFilteredList* list)
{
    beginResetModel();
    m_list = list;
    if (m_list)
        for (tagCONTACT* record : m_list->m_Contacts)
            AdjustDefaultField(*record, m_list->m_Filter);
    endResetModel();
}

void CContactRowsModel::SetCheckable(bool checkable)
{
    if (checkable == m_checkable)
        return;
    m_checkable = checkable;
    if (!m_checkable)
        m_checked.clear();
    if (Count() > 0)
        emit dataChanged(index(0), index(Count() - 1), {Qt::CheckStateRole});
}

tagCONTACT* CContactRowsModel::RecordAt(int row) const
{
    if (!m_list || row < 0 || row >= m_list->Count())
        return nullptr;
    return m_list->m_Contacts[size_t(row)];
}

bool CContactRowsModel::IsChecked(int row) const
{
    const tagCONTACT* record = RecordAt(row);
    return m_checkable && record && m_checked.contains(record->oid);
}

void CContactRowsModel::SetChecked(int row, bool checked)
{
    const tagCONTACT* record = RecordAt(row);
    if (!m_checkable || !record || checked == m_checked.contains(record->oid))
        return;
    if (checked)
        m_checked.insert(record->oid);
    else
        m_checked.remove(record->oid);
    emit dataChanged(index(row), index(row), {Qt::CheckStateRole});
}

void CContactRowsModel::ToggleChecked(int row)
{
    SetChecked(row, !IsChecked(row));
}

void CContactRowsModel::ClearChecks()
{
    if (m_checked.isEmpty())
        return;
    m_checked.clear();
    if (Count() > 0)
        emit dataChanged(index(0), index(Count() - 1), {Qt::CheckStateRole});
}

QString CContactRowsModel::CheckedText(bool withName) const
{
    QString text;
    if (!m_checkable || m_checked.isEmpty())
        return text;
    for (int row = 0; row < Count(); ++row) {
        if (!IsChecked(row))
            continue;
        const tagCONTACT* record = RecordAt(row);
        const QStringView number = DefaultFieldText(*record);
        if (number.isEmpty())
            continue;
        if (!text.isEmpty())
            text += QStringLiteral("; ");
        if (withName)
            text += Format(QStringLiteral("%s (%s)"), ContactName(record).toString(), number.toString());
        else
            text += number;
    }
    return text;
}

void CContactRowsModel::RowChanged(int row)
{
    if (RecordAt(row))
        emit dataChanged(index(row), index(row));
}

int CContactRowsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : Count();
}

QVariant CContactRowsModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const tagCONTACT* record = RecordAt(index.row());
    if (!record)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return ContactName(record).toString();
    case TagRole:
        return ContactDefaultTag(record);
    case Qt::CheckStateRole:
        if (!m_checkable)
            return {};
        return IsChecked(index.row()) ? Qt::Checked : Qt::Unchecked;
    default:
        return {};
    }
}

Qt::ItemFlags CContactRowsModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (m_checkable)
        result |= Qt::ItemIsUserCheckable;
    return result;
}
