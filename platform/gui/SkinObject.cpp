#include "platform/gui/SkinObject.h"

#include <QVariant>
#include <QWidget>

void MarkSkinPart(QWidget& widget, const QString& component, int id)
{
    widget.setProperty(SkinComponentProperty, component);
    widget.setObjectName(component + QString::number(id));
}
