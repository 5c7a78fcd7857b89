// The animated strip sprite.
#include "sprites/Kmv.h"

#include "sprites/SpriteGeometry.h"
#include "sprites/SpriteSurface.h"

#include <optional>

namespace {

// The colour value no colour has: asks DDColorMatch for the surface's first pixel as it is.
constexpr uint32_t kNoColour = 0xFFFFFFFFu;

}  // namespace

TKMV::TKMV(TComponent* AOwner) : TSpriteControl(AOwner) {}

TKMV::~TKMV()
{
    // As for the still image: frame surfaces are counted objects that nothing else frees.
    ReleaseFrames();
}

void TKMV::SetYOffsetFrame(int32_t FrameHeight)
{
    FFrameHeight = FrameHeight;
    if (!FStretching)
        return;
    FStretchWidth = sprites::ScaleToScreen(FPicture.Width(), HostWidthScreen(), sprites::kDesignWidth);
    FStretchHeight = sprites::ScaleToScreen(FrameHeight, HostHeightScreen(), sprites::kDesignHeight);
}

void TKMV::SetFDibBitmap(const plat::Picture* Bitmap)
{
    if (!Bitmap)
        return;
    FDibIsPicture = Bitmap == &FPicture;
    FDibBitmap = FDibIsPicture ? plat::Picture() : *Bitmap;
    FDibLoaded = true;
}

plat::TRect TKMV::Band(int Index) const
{
    const int32_t top = Index * FFrameHeight;
    return plat::TRect{0, top, FPicture.Width(), top + FFrameHeight};
}

void TKMV::PaintFrame(plat::DrawContext& Context, int Index) const
{
    // The band goes straight onto the surface, stretched by nearest pixels when the sizes
    // differ: the same pixels as copying it to a frame bitmap first, without the copy.
    Context.CopyRect(plat::TRect{0, 0, FSurfaceWidth, FSurfaceHeight}, StripSource(), Band(Index));
}

// The checks before cutting, in order; false after reporting the first that fails.
bool TKMV::CheckStrip()
{
    if (!BorrowHostSurfaces())
        return false;
    if (FFrameHeight == 0)
        return Fail("Not defined OriginalHeight"), false;
    // A negative frame height would count frames backwards; there are none.
    const int Frames = FFrameHeight > 0 ? FPicture.Height() / FFrameHeight : 0;
    if (Frames > kMaxFrames)
        return Fail("TOO match sprites"), false;
    FFrameCount = Frames;
    FSurfaceWidth = FStretching ? FStretchWidth : FPicture.Width();
    FSurfaceHeight = FStretching ? FStretchHeight : FFrameHeight;
    FIsJpeg = FPicture.ClassName() == "TJPEGImage";
    if (FIsJpeg && !FDibLoaded) {
        FFrameCount = 0;
        return Fail("not loaded DIB BMP"), false;
    }
    return true;
}

void TKMV::CreateDXMovie()
{
    // Cutting again replaces the frames instead of leaking them.
    ReleaseFrames();
    FFrameCount = 0;
    if (!CheckStrip())
        return;
    const TPaintPixels Pixels(*this);
    for (int i = 0; i < FFrameCount; ++i) {
        Create1Surface(i, FSurfaceWidth, FSurfaceHeight);
        if (!FpSurface[static_cast<size_t>(i)])
            return;
    }
}

void TKMV::Create1Surface(int Index, int32_t SurfaceWidth, int32_t SurfaceHeight)
{
    plat::DirectDrawSurface*& Slot = FpSurface[static_cast<size_t>(Index)];
    sprites::ReleaseSurface(Slot);
    LastResult = sprites::CreateOffscreenSurface(*FDD, SurfaceWidth, SurfaceHeight, Slot);
    if (plat::Failed(LastResult) || !Slot) {
        sprites::ReleaseSurface(Slot);
        return Fail("Error CreateSurfaceMOV");
    }
    if (plat::Failed(PaintSurface(*Slot, [this, Index](plat::DrawContext& C) { PaintFrame(C, Index); }))) {
        sprites::ReleaseSurface(Slot);
        Fail("Error FpSurface->GetDC (MOV)");
    }
}

void TKMV::SetTransparency(bool Value)
{
    if (FFrameCount == 0)
        return;
    if (!Value) {
        // The keys stay on the surfaces and simply no longer apply.
        BltFlags = plat::DDBLTFAST_NOCOLORKEY;
        FTransparency = false;
        return;
    }
    BltFlags = plat::DDBLTFAST_SRCCOLORKEY;
    for (int i = 0; i < FFrameCount; ++i)
        DDSetColorKey(FpSurface[static_cast<size_t>(i)], kNoColour, i);
    FTransparency = true;
}

void TKMV::DDSetColorKey(plat::DirectDrawSurface* Surface, uint32_t Rgb, int Index)
{
    if (!Surface)
        return;
    const uint32_t Key = DDColorMatch(*Surface, Rgb);
    const plat::DDCOLORKEY ColourKey{Key, Key};
    LastResult = Surface->SetColorKey(plat::DDCKEY_SRCBLT, &ColourKey);
    if (plat::Succeeded(LastResult))
        return;
    if (Index >= 0 && Index < kMaxFrames && FpSurface[static_cast<size_t>(Index)] == Surface)
        sprites::ReleaseSurface(FpSurface[static_cast<size_t>(Index)]);
    Fail("Error SetColorKey (ANI)");
}

uint32_t TKMV::DDColorMatch(plat::DirectDrawSurface& Surface, uint32_t Rgb)
{
    // A real colour is first set into the top-left pixel, so that the display converts it to the
    // surface's own pixel value; the pixel is put back afterwards.
    plat::COLORREF Saved = plat::CLR_INVALID;
    if (Rgb != kNoColour)
        PaintSurface(Surface, [&](plat::DrawContext& C) {
            Saved = C.GetPixel(0, 0);
            C.SetPixel(0, 0, Rgb);
        });
    uint32_t Value = kNoColour;
    plat::DDSURFACEDESC Desc;
    const plat::HResult Locked =
        sprites::RetryWhileStillDrawing([&] { return Surface.Lock(nullptr, &Desc, 0, nullptr); });
    if (plat::Succeeded(Locked) && Desc.lpSurface) {
        Value = *static_cast<const uint32_t*>(Desc.lpSurface);
        const uint32_t Bits = Desc.ddpfPixelFormat.dwRGBBitCount;
        if (Bits > 0 && Bits < 32)
            Value &= (1u << Bits) - 1;
        Surface.Unlock(nullptr);
    }
    if (Rgb != kNoColour)
        PaintSurface(Surface, [&](plat::DrawContext& C) { C.SetPixel(0, 0, Saved); });
    return Value;
}

void TKMV::DrawMovie()
{
    if (PrimaryLost())
        return;
    SourceRect =
        plat::TRect{0, 0, FStretching ? FStretchWidth : FPicture.Width(), FStretching ? FStretchHeight : FFrameHeight};
    DrawImageFunc();
}

void TKMV::DrawImageFunc()
{
    // A frame number outside the strip selects no surface rather than memory past the slots.
    if (FNumberFrame < 0 || FNumberFrame >= kMaxFrames || !FDDBACK)
        return;
    plat::DirectDrawSurface* Frame = FpSurface[static_cast<size_t>(FNumberFrame)];
    if (Frame)
        BlitToBack(*Frame, "MOV");
}

void TKMV::DrawMovieOnto(plat::DrawContext& Target, int32_t X, int32_t Y)
{
    if (FNumberFrame < 0 || FNumberFrame >= kMaxFrames)
        return;
    plat::DirectDrawSurface* Frame = FpSurface[static_cast<size_t>(FNumberFrame)];
    plat::DrawContext* Source = nullptr;
    if (!Frame || plat::Failed(Frame->GetDC(&Source)) || !Source)
        return;
    const plat::TRect From{0, 0, Frame->Width(), Frame->Height()};
    const plat::TRect To{X, Y, X + From.Width(), Y + From.Height()};
    plat::DDCOLORKEY Key;
    if (FTransparency && plat::Succeeded(Frame->GetColorKey(plat::DDCKEY_SRCBLT, &Key)))
        Target.CopyRectKeyed(To, *Source, From, Key.dwColorSpaceLowValue);
    else
        Target.CopyRect(To, *Source, From);
    Frame->ReleaseDC(Source);
}

void TKMV::RestoreSurfaces()
{
    // Decoded only once a surface is back: a display that stays lost costs no decoding.
    std::optional<TPaintPixels> Pixels;
    for (int i = 0; i < FFrameCount; ++i) {
        plat::DirectDrawSurface*& Slot = FpSurface[static_cast<size_t>(i)];
        if (!Slot)
            continue;
        if (plat::Failed(Slot->Restore()))
            return Fail("Can't restore surface TKMV");
        if (!Pixels)
            Pixels.emplace(*this);
        // The colour keys survive the restore; only the pixels are drawn again.
        if (plat::Failed(PaintSurface(*Slot, [this, i](plat::DrawContext& C) { PaintFrame(C, i); }))) {
            sprites::ReleaseSurface(Slot);
            return Fail("Error FpSurface->GetDC (RestoreSurfaces)");
        }
    }
}

void TKMV::ReleaseFrames()
{
    for (plat::DirectDrawSurface*& Slot : FpSurface)
        sprites::ReleaseSurface(Slot);
}

void TKMV::CloseDXMovie()
{
    ReleaseFrames();
    ForgetHostSurfaces();
}
