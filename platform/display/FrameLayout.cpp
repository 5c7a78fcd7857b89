#include "platform/display/FrameLayout.h"

#include <algorithm>
#include <cmath>

#include "platform/display/Fit.h"

namespace plat {
namespace {

// Frame pixels needed to cover Span window pixels at Picture / Frame window pixels each.
int Cover(int64_t Span, int64_t Frame, int64_t Picture)
{
    return Span <= 0 || Picture <= 0 ? 0 : static_cast<int>((Span * Frame + Picture - 1) / Picture);
}

}  // namespace

size_t FrameLayout::LayerPixels() const
{
    const auto size = [](int W, int H) {
        return static_cast<size_t>(std::max(W, 0)) * static_cast<size_t>(std::max(H, 0));
    };
    return size(Left, Height) + size(Right, Height) + size(Width, Top);
}

FrameLayout LayOutFrame(int Width, int Height, int OutputWidth, int OutputHeight, bool Surround, int OverlayRows)
{
    FrameLayout layout;
    layout.Width = Width;
    layout.Height = Height;
    layout.OutputWidth = OutputWidth;
    layout.OutputHeight = OutputHeight;
    layout.Picture = FitRect(Width, Height, OutputWidth, OutputHeight);
    if (layout.Picture.Empty())
        return layout;
    TRect& picture = layout.Picture;
    if (Surround) {
        // A taller window keeps the frame's bottom at its own.
        const int h = picture.Height();
        picture.Top = OutputHeight - h;
        picture.Bottom = OutputHeight;
        layout.Left = Cover(picture.Left, Width, picture.Width());
        layout.Right = Cover(OutputWidth - picture.Right, Width, picture.Width());
        layout.Top = Cover(picture.Top, Width, picture.Width());
    }
    layout.OverlayRows = std::clamp(OverlayRows, 0, Height);
    if (layout.OverlayRows > 0) {
        const int rows = static_cast<int>(std::lround(layout.OverlayRows * layout.Scale()));
        layout.Overlay = Surround ? TRect{0, picture.Bottom - rows, OutputWidth, picture.Bottom}
                                  : TRect{picture.Left, picture.Bottom - rows, picture.Right, picture.Bottom};
    }
    return layout;
}

FramePlanes PlanesAt(uint32_t* Base, const FrameLayout& Layout)
{
    FramePlanes planes;
    if (Base == nullptr)
        return planes;
    uint32_t* at = Base;
    const auto take = [&at](int W, int H) {
        uint32_t* part = W > 0 && H > 0 ? at : nullptr;
        at += part != nullptr ? static_cast<size_t>(W) * static_cast<size_t>(H) : 0;
        return part;
    };
    planes.Left = take(Layout.Left, Layout.Height);
    planes.Right = take(Layout.Right, Layout.Height);
    planes.Top = take(Layout.Width, Layout.Top);
    return planes;
}

}  // namespace plat
