#include "contactlist/widgets/ContactRowDelegate.h"

#include "contactlist/widgets/ContactRowsModel.h"

#include <QAbstractItemView>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace {

const QColor TagColour(0, 0, 255);

// The record's name as a QString over the record's own characters: rows
// are painted without copying their texts.
QString NameOf(const tagCONTACT* record)
{
    const QStringView name = ContactName(record);
    return QString::fromRawData(reinterpret_cast<const QChar*>(name.data()), name.size());
}

}  // namespace

CContactRowDelegate::CContactRowDelegate(QAbstractItemView* view) : m_view(view)
{
    m_bold.setBold(true);
}

void CContactRowDelegate::SetFonts(const QFont& normal, const QFont& bold)
{
    m_normal = normal;
    m_bold = bold;
    emit sizeHintChanged(QModelIndex());
}

int CContactRowDelegate::RowHeight() const
{
    const int text = std::max(QFontMetrics(m_normal).height(), QFontMetrics(m_bold).height());
    return std::max(MinimumRowHeight, text + 2);
}

QSize CContactRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& /*index*/) const
{
    return QSize(option.rect.width(), RowHeight());
}

void CContactRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const auto* rows = qobject_cast<const CContactRowsModel*>(index.model());
    const tagCONTACT* record = rows ? rows->RecordAt(index.row()) : nullptr;
    if (!record)
        return;
    const QPalette& colours = option.palette;
    const bool showSelection = m_showSelectionAlways || m_view->hasFocus();
    const bool selected = showSelection && (option.state & QStyle::State_Selected);
    const bool focusRow = showSelection && index == m_view->currentIndex();

    const QRect& row = option.rect;
    const int left = row.left();
    const int top = row.top();
    const int bottom = row.top() + row.height();  // one past the last line, as rows are laid end to end
    const QColor highlight = colours.color(QPalette::Highlight);
    const QColor window = colours.color(QPalette::Base);
    const QColor windowText = colours.color(QPalette::Text);

    painter->save();
    painter->fillRect(row, selected ? highlight : window);
    if (focusRow) {
        painter->setPen(highlight);
        painter->drawLine(left, top, row.right(), top);
        painter->drawLine(left, bottom - 1, row.right(), bottom - 1);
    }

    int textLeft = left + TextIndent;
    if (m_checkBoxes) {
        painter->setPen(selected ? window : windowText);
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(QRect(QPoint(left + 2, top + 2), QPoint(left + 13, bottom - 4)));
        if (rows->IsChecked(index.row())) {
            // A cross with a shadow: the shadow first, then the same one
            // pixel further left in the text colour.
            const QColor shadow = colours.color(selected ? QPalette::Light : QPalette::Dark);
            for (int shift = 0; shift <= 1; ++shift) {
                painter->setPen(shift == 0 ? shadow : (selected ? window : windowText));
                painter->drawLine(left + 5 - shift, top + 4, left + 10 - shift, bottom - 6);
                painter->drawLine(left + 5 - shift, bottom - 6, left + 10 - shift, top + 4);
            }
        }
        textLeft = left + CheckedTextIndent;
    }

    const QString tag = ContactDefaultTag(record);
    const int tagWidth = QFontMetrics(m_bold).horizontalAdvance(tag);
    const QRect textRow(textLeft, top, std::max(0, row.right() - 1 - textLeft), row.height());
    // A long name is cut short before the tag rather than drawn over it.
    const int nameWidth = std::max(0, textRow.width() - (tag.isEmpty() ? 0 : tagWidth + 4));
    const QFontMetrics nameMetrics(m_normal);
    QString name = NameOf(record);
    if (nameMetrics.horizontalAdvance(name) > nameWidth)
        name = nameMetrics.elidedText(name, Qt::ElideRight, nameWidth);
    constexpr int flags = Qt::TextSingleLine | Qt::TextDontClip | Qt::AlignVCenter;
    painter->setFont(m_normal);
    painter->setPen(selected ? window : windowText);
    painter->drawText(textRow, flags | Qt::AlignLeft, name);
    if (!tag.isEmpty()) {
        painter->setFont(m_bold);
        painter->setPen(selected ? window : TagColour);
        painter->drawText(textRow, flags | Qt::AlignRight, tag);
    }
    painter->restore();
}
