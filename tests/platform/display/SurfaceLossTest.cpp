// Surface loss: the hook marks every surface lost, every operation on pixels answers
// DDERR_SURFACELOST until Restore, the content is gone afterwards and the colour key stays; a
// render device reset of the screen loses the flip chain only.
#include <gtest/gtest.h>

#include "tests/platform/display/DisplayFixture.h"

using namespace plat;
using testsupport::ReadPixels;
using testsupport::WritePixels;

namespace {

class SurfaceLossTest : public testsupport::HeadlessDisplay {};

TEST_F(SurfaceLossTest, EveryOperationAnswersLostUntilRestore)
{
    DirectDrawSurface* sprite = OffScreen(8, 8);
    WritePixels(sprite, [](int, int) { return 0x00FFFFFFu; });
    DDCOLORKEY key{7, 7};
    ASSERT_EQ(sprite->SetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
    Display->LoseSurfaces();

    DDBLTFX fx;
    DDSURFACEDESC desc;
    DrawContext* dc = nullptr;
    for (DirectDrawSurface* surface : {Primary, Back, sprite}) {
        EXPECT_EQ(surface->IsLost(), DDERR_SURFACELOST);
        EXPECT_EQ(surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx), DDERR_SURFACELOST);
    }
    for (DirectDrawSurface* surface : {Back, sprite}) {
        EXPECT_EQ(surface->GetDC(&dc), DDERR_SURFACELOST);
        EXPECT_EQ(surface->Lock(nullptr, &desc, 0, nullptr), DDERR_SURFACELOST);
    }
    EXPECT_EQ(Back->BltFast(0, 0, sprite, nullptr, 0), DDERR_SURFACELOST);
    EXPECT_EQ(Primary->Flip(nullptr, 0), DDERR_SURFACELOST);

    ASSERT_EQ(Primary->Restore(), DD_OK);
    EXPECT_EQ(Back->IsLost(), DD_OK) << "the primary restores its back buffer";
    EXPECT_EQ(sprite->IsLost(), DDERR_SURFACELOST);
    EXPECT_EQ(Back->BltFast(0, 0, sprite, nullptr, 0), DDERR_SURFACELOST) << "the source is still lost";
    ASSERT_EQ(sprite->Restore(), DD_OK);
    EXPECT_EQ(sprite->IsLost(), DD_OK);
    EXPECT_EQ(ReadPixels(sprite), std::vector<uint32_t>(64, 0u)) << "content is gone";
    DDCOLORKEY kept;
    ASSERT_EQ(sprite->GetColorKey(DDCKEY_SRCBLT, &kept), DD_OK);
    EXPECT_EQ(kept.dwColorSpaceLowValue, 7u);
    EXPECT_EQ(Back->BltFast(0, 0, sprite, nullptr, DDBLTFAST_SRCCOLORKEY), DD_OK);
    EXPECT_EQ(Primary->Flip(nullptr, 0), DD_OK);
}

TEST_F(SurfaceLossTest, RestoreClearsTheFlipChainAndTheScreen)
{
    WritePixels(Back, [](int, int) { return 0x00FFFFFFu; });
    ASSERT_EQ(Primary->Flip(nullptr, 0), DD_OK);
    ASSERT_TRUE(Screen.PresentLatest());
    WritePixels(Back, [](int, int) { return 0x00FFFFFFu; });
    Display->LoseSurfaces();
    ASSERT_EQ(Back->Restore(), DD_OK) << "restoring the back buffer restores its chain";
    EXPECT_EQ(Primary->IsLost(), DD_OK);
    EXPECT_EQ(ReadPixels(Back), std::vector<uint32_t>(kWidth * kHeight, 0u));
    ASSERT_TRUE(Screen.PresentLatest());
    EXPECT_EQ(Screen.Shown().Pixels()[0], 0u);
}

TEST_F(SurfaceLossTest, RenderDeviceResetLosesOnlyTheFlipChain)
{
    DirectDrawSurface* sprite = OffScreen(4, 4);
    ASSERT_EQ(Primary->Flip(nullptr, 0), DD_OK);
    Screen.SimulateDeviceReset();
    EXPECT_EQ(Primary->IsLost(), DD_OK) << "noticed only when the screen presents";
    ASSERT_TRUE(Screen.PresentLatest());
    EXPECT_EQ(Primary->IsLost(), DDERR_SURFACELOST);
    EXPECT_EQ(Back->IsLost(), DDERR_SURFACELOST);
    EXPECT_EQ(sprite->IsLost(), DD_OK);
    ASSERT_EQ(Primary->Restore(), DD_OK);
    EXPECT_EQ(Primary->IsLost(), DD_OK);
    EXPECT_EQ(Primary->Flip(nullptr, 0), DD_OK);
}

TEST_F(SurfaceLossTest, LockGivesTheFirstPixelAndExcludesTheDrawingContext)
{
    DirectDrawSurface* surface = OffScreen(5, 3);
    DrawContext* dc = nullptr;
    ASSERT_EQ(surface->GetDC(&dc), DD_OK);
    EXPECT_EQ(dc->SetPixel(0, 0, RGB(0x11, 0x22, 0x33)), RGB(0x11, 0x22, 0x33));
    DDSURFACEDESC desc;
    EXPECT_EQ(surface->Lock(nullptr, &desc, 0, nullptr), DDERR_SURFACEBUSY);
    DrawContext* second = nullptr;
    EXPECT_EQ(surface->GetDC(&second), DDERR_DCALREADYCREATED);
    ASSERT_EQ(surface->ReleaseDC(dc), DD_OK);
    EXPECT_EQ(surface->ReleaseDC(dc), DDERR_INVALIDPARAMS);

    ASSERT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    EXPECT_EQ(*static_cast<uint32_t*>(desc.lpSurface), 0x00112233u) << "pixels are 0x00RRGGBB";
    EXPECT_EQ(desc.ddpfPixelFormat.dwRGBBitCount, 32u);
    EXPECT_EQ(desc.lPitch, 20);
    EXPECT_EQ(surface->GetDC(&dc), DDERR_SURFACEBUSY);
    DDBLTFX fx;
    EXPECT_EQ(surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx), DDERR_SURFACEBUSY);
    ASSERT_EQ(surface->Unlock(nullptr), DD_OK);
    EXPECT_EQ(surface->Unlock(nullptr), DDERR_NOTLOCKED);
}

}  // namespace
