// The SDL screen: under the offscreen video driver it opens and presents; under a real X display
// (the test run's Xvfb, 1280 x 1024, which cannot switch modes) the window covers the whole
// screen with the 1024 x 768 picture scaled into it.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "platform/display/DDraw.h"
#include "platform/display/Screen.h"
#include "platform/sdl/SdlScreen.h"
#include "tests/platform/display/FlipChain.h"

using namespace plat;

namespace {

// Runs the test body with SDL's video driver set to Driver, restoring the runner's choice after.
class VideoDriver {
public:
    explicit VideoDriver(const char* Driver)
    {
        const char* old = std::getenv("SDL_VIDEODRIVER");
        FOld = old != nullptr ? old : "";
        setenv("SDL_VIDEODRIVER", Driver, 1);
    }
    ~VideoDriver() { setenv("SDL_VIDEODRIVER", FOld.c_str(), 1); }

private:
    std::string FOld;
};

// An SDL screen under Driver with its flip chain opened at the design size; the test releases it.
struct OpenedScreen {
    explicit OpenedScreen(const char* Driver)
        : Video(Driver), View(CreateSdlScreen()),
          Opened(testsupport::OpenFlipChain(*View, 1024, 768, Display, Primary, Back))
    {}
    VideoDriver Video;
    std::unique_ptr<Screen> View;
    DirectDraw* Display = nullptr;
    DirectDrawSurface* Primary = nullptr;
    DirectDrawSurface* Back = nullptr;
    HResult Opened;
};

TEST(SdlScreenTest, OffscreenDriverOpensAndPresents)
{
    OpenedScreen opened("offscreen");
    ASSERT_EQ(opened.Opened, DD_OK);
    auto& [video, screen, display, primary, back, result] = opened;
    EXPECT_TRUE(screen->IsOpen());
    EXPECT_NE(screen->WindowId(), 0u);
    DDBLTFX fx;
    fx.dwFillColor = 0x00336699u;
    ASSERT_EQ(back->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx), DD_OK);
    ASSERT_EQ(primary->Flip(nullptr, 0), DD_OK);
    EXPECT_TRUE(screen->PresentLatest());
    EXPECT_FALSE(screen->PresentLatest());

    SDL_Event reset{};
    reset.type = SDL_RENDER_DEVICE_RESET;
    ASSERT_EQ(SDL_PushEvent(&reset), 1);
    EXPECT_TRUE(screen->PresentLatest()) << "the frame is shown again on the new device";
    EXPECT_EQ(primary->IsLost(), DDERR_SURFACELOST);
    ASSERT_EQ(primary->Restore(), DD_OK);
    EXPECT_EQ(primary->Flip(nullptr, 0), DD_OK);
    EXPECT_TRUE(screen->PresentLatest());

    back->Release();
    primary->Release();
    display->Release();
    EXPECT_FALSE(screen->IsOpen());
    EXPECT_EQ(screen->WindowId(), 0u);
}

TEST(SdlScreenTest, WindowCoversTheWholeXScreen)
{
    const char* x = std::getenv("DISPLAY");
    if (x == nullptr || *x == '\0')
        GTEST_SKIP() << "no X display";
    OpenedScreen opened("x11");
    ASSERT_EQ(opened.Opened, DD_OK);
    auto& [video, screen, display, primary, back, result] = opened;

    SDL_Rect bounds{};
    ASSERT_EQ(SDL_GetDisplayBounds(0, &bounds), 0);
    SDL_Window* window = SDL_GetWindowFromID(screen->WindowId());
    ASSERT_NE(window, nullptr);
    int left = -1, top = -1, width = 0, height = 0;
    SDL_GetWindowPosition(window, &left, &top);
    SDL_GetWindowSize(window, &width, &height);
    EXPECT_LE(left, bounds.x);
    EXPECT_LE(top, bounds.y);
    EXPECT_GE(left + width, bounds.x + bounds.w);
    EXPECT_GE(top + height, bounds.y + bounds.h);
    if (bounds.w == 1280 && bounds.h == 1024) {
        // 1024 x 768 scaled by 1.25 fills the width; black bars above and below.
        const TRect picture = screen->PictureBounds();
        EXPECT_EQ(picture.Width(), 1280);
        EXPECT_EQ(picture.Height(), 960);
        EXPECT_EQ(picture.Top, 32);
    }
    ASSERT_EQ(primary->Flip(nullptr, 0), DD_OK);
    EXPECT_TRUE(screen->PresentLatest());
    back->Release();
    primary->Release();
    display->Release();
}

}  // namespace
