#pragma once
// What a skinned scroll bar asks of the list it scrolls. Sizes count
// rows, except GetItemSize (pixels of one row).

#include <QtGlobal>

class CSkinScrollList;
class QFont;
class QRect;
class QWidget;

class CSkinScrollInterface {
public:
    virtual ~CSkinScrollInterface() = default;
    virtual quint32 GetTotalSize() const = 0;
    virtual quint32 GetPageSize() const = 0;
    virtual quint32 GetItemSize() const = 0;
    // The row at the top of the list.
    virtual quint32 GetScrollIndex() const = 0;
    // Brings row `index` to the top (as far as the list goes).
    virtual void DoScroll(quint32 index) = 0;
    virtual void SetPosition(QWidget* parent, const QRect& rect) = 0;
    // Called after the list's content has changed.
    virtual void OnListChanged() = 0;
    virtual void ChangeFont(const QFont& font) = 0;

    // The scroll bar that follows this list (set by SetListCtrl).
    void AttachScrollBar(CSkinScrollList* scrollBar) { m_scrollBar = scrollBar; }
    CSkinScrollList* AttachedScrollBar() const { return m_scrollBar; }

protected:
    // Tells the scroll bar that the position or the size changed.
    void NotifyScrollBar();

private:
    CSkinScrollList* m_scrollBar = nullptr;
};
