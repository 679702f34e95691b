#pragma once
// A list view driven by a skinned scroll bar instead of its own: rows of
// one height, scrolled row by row, every change of content or position
// passed on to the attached CSkinScrollList.

#include "platform/gui/SkinScrollInterface.h"

#include <QListView>

class CSkinListCtrl : public QListView, public CSkinScrollInterface {
    Q_OBJECT

public:
    explicit CSkinListCtrl(QWidget* parent = nullptr);

    quint32 GetTotalSize() const override;
    quint32 GetPageSize() const override;
    quint32 GetItemSize() const override;
    quint32 GetScrollIndex() const override;
    void DoScroll(quint32 index) override;
    void SetPosition(QWidget* parent, const QRect& rect) override;
    void OnListChanged() override;
    void ChangeFont(const QFont& font) override;

protected:
    void resizeEvent(QResizeEvent* event) override;
};
