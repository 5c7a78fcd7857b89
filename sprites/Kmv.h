// TKMV, the animated strip sprite: its picture is a strip of equally tall frames stacked from
// top to bottom. CreateDXMovie cuts the strip once into up to 200 off-screen surfaces, each
// already at its on-screen size; every frame DrawMovie blits the surface that NumberFrame selects
// 1:1 onto the host's back surface, clipped like the still-image sprite. With Transparency on
// each frame leaves out the colour of its own top-left pixel.
//
// A JPEG strip is cut from DibBitmap, which the caller fills with the decoded strip first; a
// bitmap strip is cut from the picture itself.
//
// Calling order: SetStretching, SetShowX, SetShowY, SetYOffsetFrame (and SetStretchWidth /
// SetStretchHeight for another size); SetFDibBitmap for a JPEG strip; CreateDXMovie;
// SetTransparency; every frame SetNumberFrame and DrawMovie; RestoreSurfaces after the display
// surfaces were lost; CloseDXMovie when the host closes.
#pragma once

#include "engine/SurfaceOwners.h"
#include "sprites/SpriteControl.h"

#include <array>

class TKMV : public TSpriteControl, public TDXMovieOwner {
public:
    static constexpr int kMaxFrames = 200;

    explicit TKMV(TComponent* AOwner);
    // Releases frames the host did not close (a sprite freed before its host closed).
    ~TKMV() override;
    const char* ClassName() const override { return "TKMV"; }

    // The published OriginalHeight: the height of one frame in strip pixels. With Stretching on
    // the stretch size follows the design space: the strip's width x WidthScreen / kDesignWidth by
    // Height x HeightScreen / kDesignHeight.
    void SetYOffsetFrame(int32_t FrameHeight);
    int32_t GetYOffsetFrame() const { return FFrameHeight; }

    // The frame to draw, kept by the caller within 0 to FrameCount - 1.
    void SetNumberFrame(int32_t Number) { FNumberFrame = Number; }
    int32_t GetNumberFrame() const { return FNumberFrame; }

    // The strip decoded to a bitmap, for a JPEG strip. A null bitmap changes nothing. Given the
    // sprite's own picture (the decoded strip), the bitmap is that picture, not a copy of it: the
    // restore after a loss cuts from the picture again (decoded again first if it was let go).
    void SetFDibBitmap(const plat::Picture* Bitmap);
    const plat::Picture& DibBitmap() const { return FDibIsPicture ? FPicture : FDibBitmap; }
    bool DibLoaded() const { return FDibLoaded; }

    void CreateDXMovie();
    void Create1Surface(int Index, int32_t SurfaceWidth, int32_t SurfaceHeight);
    void SetTransparency(bool Value);
    void DDSetColorKey(plat::DirectDrawSurface* Surface, uint32_t Rgb, int Index);
    uint32_t DDColorMatch(plat::DirectDrawSurface& Surface, uint32_t Rgb);
    void DrawMovie();
    void DrawImageFunc();
    // The selected frame drawn into another drawing context (a layer beside the back surface) at
    // (X, Y), clipped to it and keyed like DrawMovie. Frame thread; allocates nothing.
    void DrawMovieOnto(plat::DrawContext& Target, int32_t X, int32_t Y);
    void RestoreSurfaces() override;
    void CloseDXMovie() override;

    int FrameCount() const { return FFrameCount; }
    int32_t SurfaceWidth() const { return FSurfaceWidth; }
    int32_t SurfaceHeight() const { return FSurfaceHeight; }
    bool IsJpeg() const { return FIsJpeg; }
    plat::DirectDrawSurface* Surface(int Index) const { return FpSurface[static_cast<size_t>(Index)]; }

private:
    // The bitmap frames are cut from and frame Index's band of it.
    const plat::Picture& StripSource() const { return FIsJpeg ? DibBitmap() : FPicture; }
    plat::TRect Band(int Index) const;
    void PaintFrame(plat::DrawContext& Context, int Index) const;
    bool CheckStrip();
    void ReleaseFrames();

    std::array<plat::DirectDrawSurface*, kMaxFrames> FpSurface{};
    int FFrameCount = 0;
    int32_t FFrameHeight = 0;
    int32_t FNumberFrame = 0;
    int32_t FSurfaceWidth = 0;
    int32_t FSurfaceHeight = 0;
    bool FIsJpeg = false;
    plat::Picture FDibBitmap;
    bool FDibLoaded = false;
    bool FDibIsPicture = false;
};
