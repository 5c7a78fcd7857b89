// TKIM, the still-image sprite: copies its picture once into an off-screen surface of its own
// (FpSurface), scaled to the stretch size when Stretching is on, and every frame blits that
// surface 1:1 onto the host's back surface at (ShowX, ShowY), clipped at the screen edges and,
// with Transparency on, leaving out black pixels (pixel value 0).
//
// Calling order: SetStretching, SetShowX, SetShowY, SetOriginalWidth, SetOriginalHeight (the
// host's screen size known), CreateDXImage (the host's display open), SetTransparency; then
// DrawImage once per frame, RestoreSurface after the display surfaces were lost, CloseDXImage
// when the host closes. Failures are reported through ErrorResult and OnError, never thrown.
// The gadgets derive from TKIM; the host's close and restore walk reaches exactly this class.
#pragma once

#include "engine/SurfaceOwners.h"
#include "sprites/SpriteControl.h"

class TKIM : public TSpriteControl, public TDXImageOwner {
public:
    explicit TKIM(TComponent* AOwner);
    // Releases a surface the host did not close (a sprite freed before its host closed).
    ~TKIM() override;
    const char* ClassName() const override { return "TKIM"; }

    // A size given in the design space becomes the surface size, whether Stretching
    // is on or not.
    void SetOriginalWidth(int32_t Original);
    void SetOriginalHeight(int32_t Original);

    void CreateDXImage();
    void SetTransparency(bool Value);
    void DrawImage();
    void DrawImageFunc();
    void RestoreSurface() override;
    void CloseDXImage() override;

    plat::DirectDrawSurface* Surface() const { return FpSurface; }

private:
    int32_t SurfaceWidth() const;
    int32_t SurfaceHeight() const;
    void PaintPicture(plat::DrawContext& Context) const;

    plat::DirectDrawSurface* FpSurface = nullptr;
};
