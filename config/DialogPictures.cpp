#include "config/DialogPictures.h"

#include "assets/Resources.h"

namespace {

QByteArrayView Bytes(std::string_view Name)
{
    const std::span<const uint8_t> bytes = assets::FindResource(Name);
    return {bytes.data(), static_cast<qsizetype>(bytes.size())};
}

}  // namespace

QImage BuiltInPicture(std::string_view Name)
{
    return QImage::fromData(Bytes(Name)).convertToFormat(QImage::Format_RGB32);
}

TDialogPictures ReadDialogPictures()
{
    return {BuiltInPicture("DialogHeader"),        WithAutoTransparency(BuiltInPicture("DialogDecor")),
            BuiltInPicture("SliderTrack"),         BuiltInPicture("SliderKnob"),
            BuiltInPicture("BtnOkDown"),           BuiltInPicture("BtnOkUp"),
            BuiltInPicture("BtnCancelDown"),       BuiltInPicture("BtnCancelUp"),
            QImage::fromData(Bytes("SolvaneIcon"))};
}

QImage WithAutoTransparency(const QImage& Picture)
{
    if (Picture.isNull())
        return Picture;
    QImage keyed = Picture.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = keyed.pixel(0, keyed.height() - 1);
    for (int y = 0; y < keyed.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(keyed.scanLine(y));
        for (int x = 0; x < keyed.width(); ++x)
            if (row[x] == key)
                row[x] = 0;
    }
    return keyed;
}
