#include "config/DialogPictures.h"

#include "assets/Resources.h"
#include "platform/image/PictureDecoder.h"

QImage BuiltInPicture(std::string_view Name)
{
    const plat::DecodeResult decoded = plat::DecodePicture(assets::FindResource(Name), Name);
    if (!decoded.Ok() || decoded.Image.Empty())
        return {};
    const plat::Picture& picture = decoded.Image;
    // The decoders' pixels are 0x00RRGGBB, rows without padding: Qt's RGB32 layout.
    return QImage(reinterpret_cast<const uchar*>(picture.Pixels()), picture.Width(),
                  picture.Height(), picture.Width() * 4, QImage::Format_RGB32)
        .copy();
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
