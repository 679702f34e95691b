#include "app/EntryIcons.h"

#include "gsmcore/phonebook/MemoryType.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

QPixmap DrawSimIcon()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    // A card with a cut corner and its gold contact.
    QPainterPath card;
    card.moveTo(2.5, 1.5);
    card.lineTo(10.5, 1.5);
    card.lineTo(13.5, 4.5);
    card.lineTo(13.5, 14.5);
    card.lineTo(2.5, 14.5);
    card.closeSubpath();
    painter.setPen(QPen(QColor(30, 60, 120), 1));
    painter.setBrush(QColor(70, 120, 200));
    painter.drawPath(card);
    painter.setPen(QPen(QColor(120, 90, 0), 1));
    painter.setBrush(QColor(230, 190, 60));
    painter.drawRect(QRectF(4.5, 7.5, 6, 5));
    return pixmap;
}

QPixmap DrawPhoneIcon()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    // A handset with its screen and keys.
    painter.setPen(QPen(QColor(40, 40, 40), 1));
    painter.setBrush(QColor(90, 90, 90));
    painter.drawRoundedRect(QRectF(4.5, 0.5, 7, 15), 1.5, 1.5);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(150, 210, 150));
    painter.drawRect(QRectF(5.5, 2.5, 5, 4));
    painter.setBrush(QColor(220, 220, 220));
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 2; ++column)
            painter.drawRect(QRectF(6 + column * 2.5, 8 + row * 2.2, 1.5, 1.4));
    }
    return pixmap;
}

}  // namespace

QIcon EntryIcon(int memoryType)
{
    static const QIcon sim(DrawSimIcon());
    static const QIcon phone(DrawPhoneIcon());
    return memoryType == MEMORY_PHONE ? phone : sim;
}
