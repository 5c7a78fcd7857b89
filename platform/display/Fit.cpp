#include "platform/display/Fit.h"

#include <cstring>

namespace plat {

TRect FitRect(int Width, int Height, int OutWidth, int OutHeight)
{
    if (Width <= 0 || Height <= 0 || OutWidth <= 0 || OutHeight <= 0)
        return TRect{0, 0, 0, 0};
    int w = OutWidth;
    int h = static_cast<int>(static_cast<int64_t>(OutWidth) * Height / Width);
    if (h > OutHeight) {
        h = OutHeight;
        w = static_cast<int>(static_cast<int64_t>(OutHeight) * Width / Height);
    }
    const int x = (OutWidth - w) / 2, y = (OutHeight - h) / 2;
    return TRect{x, y, x + w, y + h};
}

void FitScaler::SetSizes(int Width, int Height, int OutWidth, int OutHeight)
{
    FWidth = Width;
    FHeight = Height;
    FOutWidth = OutWidth;
    FOutHeight = OutHeight;
    FPicture = FitRect(Width, Height, OutWidth, OutHeight);
    const int w = FPicture.Width();
    FColumns.resize(static_cast<size_t>(w > 0 ? w : 0));
    for (int x = 0; x < w; ++x)
        FColumns[static_cast<size_t>(x)] = static_cast<int>(static_cast<int64_t>(x) * Width / w);
}

void FitScaler::Scale(const uint32_t* Pixels, uint32_t* Out, int Stride) const
{
    const int w = FPicture.Width();
    const int h = FPicture.Height();
    const size_t stride = static_cast<size_t>(Stride);
    for (int y = 0; y < FPicture.Top; ++y)
        std::memset(Out + y * stride, 0, static_cast<size_t>(FOutWidth) * 4);
    int previous = -1;
    for (int y = 0; y < h; ++y) {
        uint32_t* row = Out + static_cast<size_t>(FPicture.Top + y) * stride;
        const int source = static_cast<int>(static_cast<int64_t>(y) * FHeight / h);
        if (source == previous) {
            std::memcpy(row, row - stride, static_cast<size_t>(FOutWidth) * 4);
            continue;
        }
        previous = source;
        const uint32_t* in = Pixels + static_cast<size_t>(source) * static_cast<size_t>(FWidth);
        std::memset(row, 0, static_cast<size_t>(FPicture.Left) * 4);
        uint32_t* pic = row + FPicture.Left;
        for (int x = 0; x < w; ++x)
            pic[x] = in[FColumns[static_cast<size_t>(x)]];
        std::memset(pic + w, 0, static_cast<size_t>(FOutWidth - FPicture.Right) * 4);
    }
    for (int y = FPicture.Bottom; y < FOutHeight; ++y)
        std::memset(Out + y * stride, 0, static_cast<size_t>(FOutWidth) * 4);
}

}  // namespace plat
