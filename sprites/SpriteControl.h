// What the still-image sprite TKIM and the strip sprite TKMV have in common: a control whose
// parent is the display host, holding one picture, a screen position converted from the design
// space at assignment, a stretch size, the host's display object and surfaces borrowed when the
// sprite makes its own, and the failure reporting of the display components (a fixed text in
// ErrorResult, then OnError). The two are siblings: neither derives from the other, and each
// answers its own exact class name.
//
// Set-up and close run on the main thread; drawing and restoring run on the thread that drives
// the host's frames. The drawing path allocates nothing when it succeeds.
#pragma once

#include "engine/Component.h"
#include "platform/display/DDraw.h"
#include "platform/image/Picture.h"

#include <span>
#include <string>

class TKss;

class TSpriteControl : public TControl {
public:
    explicit TSpriteControl(TComponent* AOwner);
    const char* ClassName() const override { return "TSpriteControl"; }

    // The picture: a still image, or a strip of equally tall frames stacked from top to bottom.
    const plat::Picture& GetPicture() const { return FPicture; }
    void SetPicture(plat::Picture APicture) { FPicture = std::move(APicture); }
    // The encoded bytes the picture was decoded from, in memory that outlives the sprite (a
    // built-in resource), and the name a decoding error carries. A sprite given them holds the
    // decoded pixels only while it paints its surfaces: once they hold them the pixels are let go
    // (the picture keeps its size and kind), and a restore after a loss decodes them again.
    void SetPictureSource(std::span<const uint8_t> Bytes, std::string Name);

    TNotifyEvent OnError;
    const std::string& GetErrorResult() const { return FErrorResult; }
    void SetErrorResult(const std::string& Text) { FErrorResult = Text; }

    // With Stretching on, x x WidthScreen / kDesignWidth and y x HeightScreen / kDesignHeight are stored, so
    // Stretching must be set before the position.
    void SetShowX(int32_t X);
    void SetShowY(int32_t Y);
    int32_t GetShowX() const { return FShowX; }
    int32_t GetShowY() const { return FShowY; }

    void SetStretching(bool Value) { FStretching = Value; }
    void SetStretchWidth(int32_t Value) { FStretchWidth = Value; }
    void SetStretchHeight(int32_t Value) { FStretchHeight = Value; }
    bool GetStretching() const { return FStretching; }
    int32_t GetStretchWidth() const { return FStretchWidth; }
    int32_t GetStretchHeight() const { return FStretchHeight; }
    bool GetTransparency() const { return FTransparency; }

    // Result of the last surface creation, drawing-context request, colour-key request or blit.
    plat::HResult LastResult = plat::DD_OK;
    // The part of the sprite's surface to blit; left and top are 0 in every use.
    plat::TRect SourceRect;
    // DDBLTFAST_NOCOLORKEY or DDBLTFAST_SRCCOLORKEY.
    uint32_t BltFlags = plat::DDBLTFAST_NOCOLORKEY;

protected:
    // The parent as the display host; null when the sprite has no host parent.
    TKss* Host() const;
    // The host's screen size, 0 without a host.
    int32_t HostWidthScreen() const;
    int32_t HostHeightScreen() const;

    // Stores Text in ErrorResult and calls OnError with the sprite as sender when assigned.
    void Fail(const char* Text);
    // Copies the host's display object, back and primary surface, checking each in that order;
    // false after reporting the first one missing.
    bool BorrowHostSurfaces();
    // Forgets the borrowed objects, which the host is about to release.
    void ForgetHostSurfaces();
    // True, after reporting "Lost surface", when the primary surface says it is lost.
    bool PrimaryLost();
    // The clipped blit of SourceRect of Surface to the sprite's position on the back surface.
    // Tag names the sprite kind in a blit failure text ("BMP", "MOV").
    void BlitToBack(plat::DirectDrawSurface& Surface, const char* Tag);
    // The picture's pixels for one painting of the sprite's surfaces: decoded again when they
    // were let go (a failure is reported, and the painting then draws nothing), and let go again
    // afterwards when the sprite has its picture's bytes.
    class TPaintPixels {
    public:
        explicit TPaintPixels(TSpriteControl& Sprite);
        ~TPaintPixels();
        TPaintPixels(const TPaintPixels&) = delete;
        TPaintPixels& operator=(const TPaintPixels&) = delete;

    private:
        TSpriteControl& FSprite;
    };
    // Runs Paint on a drawing context of Surface and gives the context back. The result of the
    // drawing-context request, also kept in LastResult; Paint does not run when it failed.
    template <class PaintFn>
    plat::HResult PaintSurface(plat::DirectDrawSurface& Surface, PaintFn&& Paint)
    {
        plat::DrawContext* Context = nullptr;
        LastResult = Surface.GetDC(&Context);
        if (plat::Failed(LastResult) || !Context)
            return plat::Failed(LastResult) ? LastResult : plat::DDERR_GENERIC;
        Paint(*Context);
        Surface.ReleaseDC(Context);
        return LastResult;
    }

    plat::Picture FPicture;
    std::span<const uint8_t> FPictureBytes;
    std::string FPictureName;
    std::string FErrorResult;
    int32_t FShowX = 0;
    int32_t FShowY = 0;
    bool FStretching = false;
    int32_t FStretchWidth = 100;
    int32_t FStretchHeight = 100;
    bool FTransparency = false;

    // Borrowed from the host by CreateDXImage / CreateDXMovie; the host releases them.
    plat::DirectDraw* FDD = nullptr;
    plat::DirectDrawSurface* FDDBACK = nullptr;
    plat::DirectDrawSurface* FDDPRIM = nullptr;
};
