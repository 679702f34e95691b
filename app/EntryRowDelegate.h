#pragma once
// Draws the entry list's cells with the text cut where the cell ends,
// and says what a cell shows and how wide a cell must be to show its
// text whole, so the columns can be shared out by what they hold.

#include <QStyledItemDelegate>

class CEntryRowDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // The text as drawn in a cell of `option.rect`: elided at its right
    // end when it does not fit.
    QString ShownText(const QStyleOptionViewItem& option, const QModelIndex& index) const;
    // The width a cell needs to draw `index`'s text whole.
    int WholeWidth(const QStyleOptionViewItem& option, const QModelIndex& index) const;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    // The room the text gets in a cell of `option`, after icon and margins.
    int TextRoom(const QStyleOptionViewItem& option) const;
};
