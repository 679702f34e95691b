#include "app/EntryRowDelegate.h"

#include <QApplication>
#include <QStyle>

namespace {

const QStyle* StyleOf(const QStyleOptionViewItem& option)
{
    return option.widget ? option.widget->style() : QApplication::style();
}

// The style keeps this much space at either end of the text.
int TextMargin(const QStyleOptionViewItem& option)
{
    return StyleOf(option)->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, option.widget) + 1;
}

}  // namespace

int CEntryRowDelegate::TextRoom(const QStyleOptionViewItem& option) const
{
    const QRect text = StyleOf(option)->subElementRect(QStyle::SE_ItemViewItemText, &option, option.widget);
    return text.width() - 2 * TextMargin(option);
}

QString CEntryRowDelegate::ShownText(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    return cell.fontMetrics.elidedText(cell.text, Qt::ElideRight, TextRoom(cell));
}

int CEntryRowDelegate::WholeWidth(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    // What a cell of this width leaves to the text, then the text itself.
    const int overhead = cell.rect.width() - TextRoom(cell);
    return cell.fontMetrics.horizontalAdvance(cell.text) + overhead;
}

void CEntryRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    // Cut here, by the same measure ShownText reports; the style then
    // draws a text that fits.
    cell.text = cell.fontMetrics.elidedText(cell.text, Qt::ElideRight, TextRoom(cell));
    StyleOf(cell)->drawControl(QStyle::CE_ItemViewItem, &cell, painter, cell.widget);
}
