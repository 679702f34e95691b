#include "contactlist/widgets/ContactListFont.h"

QFont ContactListFont(QFont::Weight weight)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(14);
    font.setWeight(weight);
    font.setStyleHint(QFont::SansSerif);
    return font;
}
