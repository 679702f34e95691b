#pragma once
// Paints one row of the flat contact list: the name at the left in the
// normal font, the default field's tag at the right in bold blue, an
// optional check box in front, and the focus row framed by two lines.

#include <QAbstractItemDelegate>
#include <QFont>

class QAbstractItemView;

class CContactRowDelegate : public QAbstractItemDelegate {
    Q_OBJECT

public:
    // Offsets of the row's text from its left edge.
    static constexpr int TextIndent = 4;
    static constexpr int CheckedTextIndent = 20;
    static constexpr int MinimumRowHeight = 16;  // the check box needs it

    explicit CContactRowDelegate(QAbstractItemView* view);

    void SetFonts(const QFont& normal, const QFont& bold);
    void SetCheckBoxes(bool checkBoxes) { m_checkBoxes = checkBoxes; }
    // Show the selection also while the list has no focus.
    void SetShowSelectionAlways(bool always) { m_showSelectionAlways = always; }
    int RowHeight() const;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    QAbstractItemView* m_view;
    QFont m_normal;
    QFont m_bold;
    bool m_checkBoxes = false;
    bool m_showSelectionAlways = false;
};
