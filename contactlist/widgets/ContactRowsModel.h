#pragma once
// The rows of the flat contact list: one per record of the shown
// filtered list, texts made on demand from the records (nothing copied
// and kept), plus the ticks of the check boxes.
//
// Ticks follow the contact (its object identifier), not the row: a reload
// that inserts a contact above must not move a tick onto someone else.

#include "contactlist/FilteredList.h"

#include <QAbstractListModel>
#include <QSet>

class CContactRowsModel : public QAbstractListModel {
    Q_OBJECT

public:
    enum Role {
        TagRole = Qt::UserRole + 1,  // the default field's tag ("m", "e2")
    };

    explicit CContactRowsModel(QObject* parent = nullptr);

    // Shows `list` (null: no rows). The list belongs to the shared
    // contact lists and must outlive its use here or be replaced first.
    void SetList(CFilteredList* list);
    CFilteredList* List() const { return m_list; }
    void SetCheckable(bool checkable);
    bool IsCheckable() const { return m_checkable; }

    // The record of `row`, null when the row does not exist.
    tagCONTACT* RecordAt(int row) const;
    int Count() const { return m_list ? m_list->Count() : 0; }

    bool IsChecked(int row) const;
    void SetChecked(int row, bool checked);
    void ToggleChecked(int row);
    void ClearChecks();
    // The default numbers of the ticked rows in row order, joined by
    // "; ", each as "name (number)" with `withName`; rows whose default
    // field is absent are left out.
    QString CheckedText(bool withName) const;
    // The record's shown texts changed (its default field).
    void RowChanged(int row);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    CFilteredList* m_list = nullptr;
    QSet<quint32> m_checked;
    bool m_checkable = false;
};
