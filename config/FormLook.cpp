#include "config/FormLook.h"

#include "platform/qt/FontConfiguration.h"

#include <QColor>
#include <QHash>
#include <QPalette>
#include <QWidget>

namespace {

// The design's faces, each looked up once per form.
using TInstalledFaces = QHash<QString, QString>;

void ApplyTo(QWidget* Widget, TInstalledFaces& Faces)
{
    const QVariant face = Widget->property("FontFace");
    const QVariant height = Widget->property("FontHeight");
    if (face.isValid() || height.isValid()) {
        QFont font = Widget->font();
        if (face.isValid()) {
            auto installed = Faces.find(face.toString());
            if (installed == Faces.end())
                installed = Faces.insert(face.toString(), plat::InstalledFamily(face.toString()));
            font.setFamily(*installed);
        }
        if (height.isValid())
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
    TInstalledFaces faces;
    ApplyTo(Root, faces);
    for (QWidget* child : Root->findChildren<QWidget*>())
        ApplyTo(child, faces);
}
