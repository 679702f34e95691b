#pragma once
// The skinned scroll bar: a vertical Qt scroll bar that drives the list
// attached to it and follows the list's own scrolling.

#include "platform/gui/SkinObject.h"

#include <QScrollBar>

class CSkinScrollInterface;

class CSkinScrollList : public QScrollBar, public CSkinObject {
    Q_OBJECT

public:
    CSkinScrollList();
    ~CSkinScrollList() override;

    // The two identifiers name the bar's arrows in the skin; the bar
    // takes the first as its own.
    bool Create(QWidget* parent, const QString& component, int upId, int downId, CSkinRepository* repository);
    bool Create(QWidget* parent, const QString& component, int id, CSkinRepository* repository) override;
    // Attaches the list to scroll (null detaches).
    void SetListCtrl(CSkinScrollInterface* list);
    CSkinScrollInterface* ListCtrl() const { return m_list; }
    // Takes range, page and position from the list.
    void Sync();

private:
    void OnValueChanged(int value);

    CSkinScrollInterface* m_list = nullptr;
    int m_downId = 0;
    bool m_syncing = false;
};
