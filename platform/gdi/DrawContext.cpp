// The drawing context: state, pixels, and pictures. Text output is in TextOut.cpp.
#include "platform/gdi/DrawContext.h"

#include <cstring>

#include "platform/image/Picture.h"

namespace plat {
namespace {

// Nearest-pixel mapping of target index I (0-based) of Target onto a source span of Source:
// the source pixel under the target pixel's centre.
struct NearestStep {
    NearestStep(int Source, int Target) : FSource(Source), FDouble(2 * static_cast<int64_t>(Target)) {}
    int At(int I) const { return static_cast<int>((2 * static_cast<int64_t>(I) + 1) * FSource / FDouble); }

    int FSource;
    int64_t FDouble;
};

}  // namespace

DrawContext::DrawContext(Picture& APicture)
{
    Bind(APicture.Pixels(), APicture.Width(), APicture.Height(), APicture.Width());
}

void DrawContext::Bind(uint32_t* Pixels, int Width, int Height, int Pitch)
{
    FPixels = Pixels;
    FWidth = Pixels != nullptr ? Width : 0;
    FHeight = Pixels != nullptr ? Height : 0;
    FPitch = Pitch;
    Reset();
}

void DrawContext::Reset()
{
    FFont = nullptr;
    FBkMode = OPAQUE;
    FTextColor = RGB(0, 0, 0);
    FBkColor = RGB(255, 255, 255);
}

Font* DrawContext::SelectObject(Font* AFont)
{
    Font* previous = FFont;
    FFont = AFont;
    return previous;
}

int DrawContext::SetBkMode(int Mode)
{
    const int previous = FBkMode;
    if (Mode == TRANSPARENT || Mode == OPAQUE)
        FBkMode = Mode;
    return previous;
}

COLORREF DrawContext::SetTextColor(COLORREF Color)
{
    const COLORREF previous = FTextColor;
    FTextColor = Color & 0x00FFFFFFu;
    return previous;
}

COLORREF DrawContext::SetBkColor(COLORREF Color)
{
    const COLORREF previous = FBkColor;
    FBkColor = Color & 0x00FFFFFFu;
    return previous;
}

COLORREF DrawContext::GetPixel(int X, int Y) const
{
    if (X < 0 || Y < 0 || X >= FWidth || Y >= FHeight)
        return CLR_INVALID;
    return PixelToColor(Row(Y)[X]);
}

COLORREF DrawContext::SetPixel(int X, int Y, COLORREF Color)
{
    if (X < 0 || Y < 0 || X >= FWidth || Y >= FHeight)
        return CLR_INVALID;
    Row(Y)[X] = ColorToPixel(Color);
    return PixelToColor(Row(Y)[X]);
}

void DrawContext::FillRect(const TRect& Rect, uint32_t Pixel)
{
    const TRect area = Intersect(Rect, TRect{0, 0, FWidth, FHeight});
    for (int y = area.Top; y < area.Bottom; ++y)
        for (int x = area.Left; x < area.Right; ++x)
            Row(y)[x] = Pixel;
}

void DrawContext::Draw(int X, int Y, const Picture& APicture)
{
    CopyRect(TRect{X, Y, X + APicture.Width(), Y + APicture.Height()}, APicture,
             TRect{0, 0, APicture.Width(), APicture.Height()});
}

void DrawContext::StretchDraw(const TRect& Rect, const Picture& APicture)
{
    CopyRect(Rect, APicture, TRect{0, 0, APicture.Width(), APicture.Height()});
}

void DrawContext::CopyRect(const TRect& Dest, const Picture& Source, const TRect& SourceRect)
{
    const TRect inside = Intersect(SourceRect, TRect{0, 0, Source.Width(), Source.Height()});
    if (Source.Empty() || Dest.Empty() || !(inside == SourceRect))
        return;
    StretchFrom(Dest, Source.Pixels(), Source.Width(), SourceRect);
}

void DrawContext::CopyRect(const TRect& Dest, const DrawContext& Source, const TRect& SourceRect)
{
    const TRect inside = Intersect(SourceRect, TRect{0, 0, Source.FWidth, Source.FHeight});
    if (Source.FPixels == nullptr || Dest.Empty() || !(inside == SourceRect))
        return;
    StretchFrom(Dest, Source.FPixels, Source.FPitch, SourceRect);
}

void DrawContext::CopyRectKeyed(const TRect& Dest, const DrawContext& Source, const TRect& SourceRect,
                                uint32_t KeyPixel)
{
    const TRect inside = Intersect(SourceRect, TRect{0, 0, Source.FWidth, Source.FHeight});
    if (Source.FPixels == nullptr || FPixels == nullptr || !(inside == SourceRect) ||
        Dest.Width() != SourceRect.Width() || Dest.Height() != SourceRect.Height())
        return;
    const TRect visible = Intersect(Dest, TRect{0, 0, FWidth, FHeight});
    for (int y = visible.Top; y < visible.Bottom; ++y) {
        const uint32_t* from = Source.Row(SourceRect.Top + y - Dest.Top) + SourceRect.Left - Dest.Left;
        uint32_t* to = Row(y);
        for (int x = visible.Left; x < visible.Right; ++x)
            to[x] = from[x] == KeyPixel ? to[x] : from[x];
    }
}

// Maps Dest onto SourceRect (already inside the source) and writes the part of Dest inside this
// context. Equal sizes are a row copy; other sizes take the nearest source pixel.
void DrawContext::StretchFrom(const TRect& Dest, const uint32_t* Source, int SourcePitch, const TRect& SourceRect)
{
    if (SourceRect.Empty() || Dest.Empty() || FPixels == nullptr)
        return;
    const TRect visible = Intersect(Dest, TRect{0, 0, FWidth, FHeight});
    if (visible.Empty())
        return;
    const int dw = Dest.Width(), dh = Dest.Height();
    const int sw = SourceRect.Width(), sh = SourceRect.Height();
    if (dw == sw && dh == sh) {
        for (int y = visible.Top; y < visible.Bottom; ++y) {
            const uint32_t* from = Source + static_cast<intptr_t>(SourceRect.Top + y - Dest.Top) * SourcePitch +
                SourceRect.Left + (visible.Left - Dest.Left);
            std::memmove(Row(y) + visible.Left, from, static_cast<size_t>(visible.Width()) * 4);
        }
        return;
    }
    const NearestStep across(sw, dw), down(sh, dh);
    for (int y = visible.Top; y < visible.Bottom; ++y) {
        const uint32_t* from =
            Source + static_cast<intptr_t>(SourceRect.Top + down.At(y - Dest.Top)) * SourcePitch + SourceRect.Left;
        uint32_t* to = Row(y);
        for (int x = visible.Left; x < visible.Right; ++x)
            to[x] = from[across.At(x - Dest.Left)];
    }
}

}  // namespace plat
