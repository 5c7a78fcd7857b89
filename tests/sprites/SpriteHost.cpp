#include "tests/sprites/SpriteHost.h"

#include <cstring>

void SpriteHostTest::SetUp()
{
    TempConfigHome::SetUp();
    Form = std::make_unique<TForm>(nullptr, App, std::make_unique<plat::HeadlessScreen>());
    Kss = new TKss(Form.get());
    Kss->SetBrandName("Kestrin Software");
    Kss->SetSSName("Solvane Screensaver");
    Kss->SetUseIdle(false);
    Kss->SetColorDepth(32);
    SetScreen(1024, 768);
}

void SpriteHostTest::TearDown()
{
    Form.reset();
    TempConfigHome::TearDown();
}

void SpriteHostTest::SetScreen(int Width, int Height)
{
    Kss->SetWidthScreen(Width);
    Kss->SetHeightScreen(Height);
}

void SpriteHostTest::Open(int Width, int Height)
{
    SetScreen(Width, Height);
    Kss->SetEnabled(true);
    ASSERT_NE(Kss->GetBack(), nullptr) << Kss->GetErrorResult();
}

plat::Picture SpriteHostTest::SurfaceCopy(plat::DirectDrawSurface* Surface)
{
    plat::DDSURFACEDESC Desc;
    if (!Surface || plat::Failed(Surface->Lock(nullptr, &Desc, 0, nullptr)))
        return {};
    plat::Picture Copy(static_cast<int>(Desc.dwWidth), static_cast<int>(Desc.dwHeight), "TBitmap");
    for (int y = 0; y < Copy.Height(); ++y)
        std::memcpy(Copy.Row(y), static_cast<const uint8_t*>(Desc.lpSurface) + static_cast<ptrdiff_t>(y) * Desc.lPitch,
                    static_cast<size_t>(Copy.Width()) * 4);
    Surface->Unlock(nullptr);
    return Copy;
}

plat::Picture SpriteHostTest::BackCopy()
{
    return SurfaceCopy(Kss->GetBack());
}

uint32_t SpriteHostTest::BackPixel(int X, int Y)
{
    plat::DDSURFACEDESC Desc;
    if (plat::Failed(Kss->GetBack()->Lock(nullptr, &Desc, 0, nullptr)))
        return 0xDEADBEEF;
    const uint32_t Pixel = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(Desc.lpSurface) +
                                                             static_cast<ptrdiff_t>(Y) * Desc.lPitch)[X];
    Kss->GetBack()->Unlock(nullptr);
    return Pixel;
}

void SpriteHostTest::FillBack(uint32_t Pixel)
{
    plat::DDBLTFX Fx;
    Fx.dwFillColor = Pixel;
    Kss->GetBack()->Blt(nullptr, nullptr, nullptr, plat::DDBLT_COLORFILL | plat::DDBLT_WAIT, &Fx);
}

plat::TSize SpriteHostTest::SurfaceSize(plat::DirectDrawSurface* Surface)
{
    plat::DDSURFACEDESC Desc;
    if (!Surface || plat::Failed(Surface->GetSurfaceDesc(&Desc)))
        return {};
    return plat::TSize{static_cast<int32_t>(Desc.dwWidth), static_cast<int32_t>(Desc.dwHeight)};
}

plat::Picture CoordinatePicture(int Width, int Height, const char* ClassName)
{
    plat::Picture P(Width, Height, ClassName);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            P.Row(y)[x] = 0x800000u | (static_cast<uint32_t>(y) << 11) | static_cast<uint32_t>(x);
    return P;
}

plat::Picture StripPicture(int Width, int FrameHeight, int Frames, uint32_t (*Fill)(int), uint32_t (*Corner)(int),
                           const char* ClassName)
{
    plat::Picture P(Width, FrameHeight * Frames, ClassName);
    for (int i = 0; i < Frames; ++i) {
        for (int y = 0; y < FrameHeight; ++y)
            for (int x = 0; x < Width; ++x)
                P.Row(i * FrameHeight + y)[x] = Fill(i);
        P.Row(i * FrameHeight)[0] = Corner(i);
    }
    return P;
}
