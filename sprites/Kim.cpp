// The still-image sprite.
#include "sprites/Kim.h"

#include "sprites/SpriteGeometry.h"
#include "sprites/SpriteSurface.h"

TKIM::TKIM(TComponent* AOwner) : TSpriteControl(AOwner) {}

TKIM::~TKIM()
{
    // Our surfaces are counted objects of their own, not memory of the display object that its
    // release would take back; one still held here would otherwise never be freed.
    sprites::ReleaseSurface(FpSurface);
}

void TKIM::SetOriginalWidth(int32_t Original)
{
    FStretchWidth = sprites::ScaleToScreen(Original, HostWidthScreen(), sprites::kDesignWidth);
}

void TKIM::SetOriginalHeight(int32_t Original)
{
    FStretchHeight = sprites::ScaleToScreen(Original, HostHeightScreen(), sprites::kDesignHeight);
}

int32_t TKIM::SurfaceWidth() const
{
    return FStretching ? FStretchWidth : FPicture.Width();
}

int32_t TKIM::SurfaceHeight() const
{
    return FStretching ? FStretchHeight : FPicture.Height();
}

void TKIM::PaintPicture(plat::DrawContext& Context) const
{
    if (FStretching)
        Context.StretchDraw(plat::TRect{0, 0, FStretchWidth, FStretchHeight}, FPicture);
    else
        Context.Draw(0, 0, FPicture);
}

void TKIM::CreateDXImage()
{
    if (!BorrowHostSurfaces())
        return;
    // A second creation replaces the surface instead of leaking the first.
    sprites::ReleaseSurface(FpSurface);
    const TPaintPixels Pixels(*this);
    LastResult = sprites::CreateOffscreenSurface(*FDD, SurfaceWidth(), SurfaceHeight(), FpSurface);
    if (plat::Failed(LastResult) || !FpSurface) {
        sprites::ReleaseSurface(FpSurface);
        return Fail("eCreateSurfaceKIM");
    }
    if (plat::Failed(PaintSurface(*FpSurface, [this](plat::DrawContext& C) { PaintPicture(C); }))) {
        sprites::ReleaseSurface(FpSurface);
        Fail("eFpSurface->GetDC (KIM)");
    }
}

void TKIM::SetTransparency(bool Value)
{
    if (!FpSurface)
        return Fail("eFpSurface==NULL");
    if (!FDDBACK)
        return Fail("eFDDBACK==NULL");
    if (!Value) {
        // The key stays on the surface and simply no longer applies.
        BltFlags = plat::DDBLTFAST_NOCOLORKEY;
        FTransparency = false;
        return;
    }
    BltFlags = plat::DDBLTFAST_SRCCOLORKEY;
    FTransparency = true;
    const plat::DDCOLORKEY Black{0, 0};
    LastResult = FpSurface->SetColorKey(plat::DDCKEY_SRCBLT, &Black);
    if (plat::Failed(LastResult)) {
        sprites::ReleaseSurface(FpSurface);
        Fail("eSetColorKey (KIM)");
    }
}

void TKIM::DrawImage()
{
    if (PrimaryLost())
        return;
    SourceRect = plat::TRect{0, 0, SurfaceWidth(), SurfaceHeight()};
    DrawImageFunc();
}

void TKIM::DrawImageFunc()
{
    if (!FpSurface)
        return Fail("eFpSurface==NULL");
    if (!FDDBACK)
        return Fail("eFDDBACK==NULL");
    BlitToBack(*FpSurface, "BMP");
}

void TKIM::RestoreSurface()
{
    if (!FpSurface)
        return;
    if (plat::Failed(FpSurface->Restore()))
        return Fail("Can't restore surface TKIM");
    const TPaintPixels Pixels(*this);
    // The colour key survives the restore; only the pixels are drawn again.
    if (plat::Failed(PaintSurface(*FpSurface, [this](plat::DrawContext& C) { PaintPicture(C); }))) {
        sprites::ReleaseSurface(FpSurface);
        Fail("eFpSurface->GetDC (BMP)");
    }
}

void TKIM::CloseDXImage()
{
    sprites::ReleaseSurface(FpSurface);
    ForgetHostSurfaces();
}
