#include "config/FormLook.h"

#include <QColor>
#include <QPalette>
#include <QWidget>

namespace {

void ApplyTo(QWidget* Widget)
{
    if (const QVariant height = Widget->property("FontHeight"); height.isValid()) {
        QFont font = Widget->font();
        font.setPixelSize(height.toInt());
        Widget->setFont(font);
    }
    if (const QVariant colour = Widget->property("FontColor"); colour.isValid()) {
        QPalette palette = Widget->palette();
        palette.setColor(QPalette::WindowText, colour.value<QColor>());
        Widget->setPalette(palette);
    }
}

}  // namespace

void ApplyFontHeightsAndColors(QWidget* Root)
{
    ApplyTo(Root);
    for (QWidget* child : Root->findChildren<QWidget*>())
        ApplyTo(child);
}
