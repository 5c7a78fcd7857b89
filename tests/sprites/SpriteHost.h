// Test fixture for the sprites: a saver form on a headless screen with an open display host, and
// the means to read and paint the host's back buffer. Sprites made with Add<T>() are components
// of the form and children of the host, as the scene makes them.
#pragma once

#include "engine/Form.h"
#include "engine/Kss.h"
#include "platform/app/Application.h"
#include "platform/headless/HeadlessScreen.h"
#include "platform/image/Picture.h"
#include "tests/platform/registry/TempConfigHome.h"

#include <memory>

class SpriteHostTest : public TempConfigHome {
protected:
    void SetUp() override;
    void TearDown() override;

    // Sets the host's screen size; with Open, also opens the display at that size.
    void SetScreen(int Width, int Height);
    void Open(int Width = 1024, int Height = 768);

    // Args follow the owner in T's constructor (a gadget's font cache).
    template <class T, class... TArgs>
    T* Add(TArgs&... Args)
    {
        T* Sprite = new T(Form.get(), Args...);
        Sprite->SetParent(Kss);
        return Sprite;
    }

    // The back buffer's pixels.
    uint32_t BackPixel(int X, int Y);
    plat::Picture BackCopy();
    void FillBack(uint32_t Pixel);
    // The size of a surface.
    static plat::TSize SurfaceSize(plat::DirectDrawSurface* Surface);
    // A copy of a surface's pixels.
    static plat::Picture SurfaceCopy(plat::DirectDrawSurface* Surface);

    plat::Application App;
    std::unique_ptr<TForm> Form;
    TKss* Kss = nullptr;
};

// A picture whose every pixel tells where it is: 0x00RRGGBB with the column in the low bits and
// the row above it, never 0 (black stays free for transparency tests).
plat::Picture CoordinatePicture(int Width, int Height, const char* ClassName = "TBitmap");
// A strip of Frames frames of FrameHeight rows; frame i is filled with Fill(i) except its
// top-left pixel, which is Corner(i).
plat::Picture StripPicture(int Width, int FrameHeight, int Frames, uint32_t (*Fill)(int), uint32_t (*Corner)(int),
                           const char* ClassName = "TBitmap");
