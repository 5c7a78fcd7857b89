// The sprites' shared control: host access, scaling at assignment, failure reporting and the
// clipped per-frame blit.
#include "sprites/SpriteControl.h"

#include "engine/Kss.h"
#include "platform/image/PictureDecoder.h"
#include "sprites/SpriteGeometry.h"
#include "sprites/SpriteSurface.h"

TSpriteControl::TSpriteControl(TComponent* AOwner) : TControl(AOwner) {}

void TSpriteControl::SetPictureSource(std::span<const uint8_t> Bytes, std::string Name)
{
    FPictureBytes = Bytes;
    FPictureName = std::move(Name);
}

TSpriteControl::TPaintPixels::TPaintPixels(TSpriteControl& Sprite) : FSprite(Sprite)
{
    if (Sprite.FPictureBytes.empty() || !Sprite.FPicture.Empty())
        return;
    // The same bytes through the same decoder: the pixels the surfaces were first painted with.
    plat::DecodeResult Result = plat::DecodePicture(Sprite.FPictureBytes, Sprite.FPictureName);
    if (Result.Ok())
        Sprite.FPicture = std::move(Result.Image);
    else
        Sprite.Fail(Result.Error.c_str());
}

TSpriteControl::TPaintPixels::~TPaintPixels()
{
    if (!FSprite.FPictureBytes.empty())
        FSprite.FPicture.ReleasePixels();
}

TKss* TSpriteControl::Host() const
{
    return dynamic_cast<TKss*>(Parent());
}

int32_t TSpriteControl::HostWidthScreen() const
{
    const TKss* Kss = Host();
    return Kss ? Kss->GetWidthScreen() : 0;
}

int32_t TSpriteControl::HostHeightScreen() const
{
    const TKss* Kss = Host();
    return Kss ? Kss->GetHeightScreen() : 0;
}

void TSpriteControl::SetShowX(int32_t X)
{
    FShowX = FStretching ? sprites::ScaleToScreen(X, HostWidthScreen(), sprites::kDesignWidth) : X;
}

void TSpriteControl::SetShowY(int32_t Y)
{
    FShowY = FStretching ? sprites::ScaleToScreen(Y, HostHeightScreen(), sprites::kDesignHeight) : Y;
}

void TSpriteControl::Fail(const char* Text)
{
    FErrorResult = Text;
    if (OnError)
        OnError(this);
}

bool TSpriteControl::BorrowHostSurfaces()
{
    TKss* Kss = Host();
    FDD = Kss ? Kss->GetDirectDraw() : nullptr;
    if (!FDD)
        return Fail("FDD==NULL"), false;
    FDDBACK = Kss->GetBack();
    if (!FDDBACK)
        return Fail("FDDBACK==NULL"), false;
    FDDPRIM = Kss->GetPrimary();
    if (!FDDPRIM)
        return Fail("FDDPRIM==NULL"), false;
    return true;
}

void TSpriteControl::ForgetHostSurfaces()
{
    FDD = nullptr;
    FDDBACK = nullptr;
    FDDPRIM = nullptr;
}

bool TSpriteControl::PrimaryLost()
{
    // Before the surfaces are made and after the host closed there is no primary to ask; the
    // draw then finds no surface of its own.
    if (!FDDPRIM || FDDPRIM->IsLost() != plat::DDERR_SURFACELOST)
        return false;
    Fail("Lost surface");
    return true;
}

void TSpriteControl::BlitToBack(plat::DirectDrawSurface& Surface, const char* Tag)
{
    const TControl* Screen = Parent();
    sprites::BlitPlan Plan;
    if (!Screen ||
        !sprites::ClipToScreen(FShowX, FShowY, SourceRect.Width(), SourceRect.Height(), Screen->Width, Screen->Height,
                               Plan))
        return;
    LastResult = sprites::BlitWithRetry(*FDDBACK, Plan.DestX, Plan.DestY, Surface, Plan.Source, BltFlags);
    if (plat::Succeeded(LastResult))
        return;
    if (LastResult == plat::DDERR_SURFACELOST)
        return Fail("Lost surface");
    // Tag is "BMP" or "MOV"; the text is built in place so that a failure repeated every frame
    // reuses the string's memory.
    FErrorResult.assign("Error FDDBACK->BltFast (")
        .append(Tag)
        .append(") err #")
        .append(sprites::BlitErrorName(LastResult));
    if (OnError)
        OnError(this);
}
