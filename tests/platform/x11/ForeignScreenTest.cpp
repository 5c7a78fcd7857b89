// The screen for another program's X window, on a private X server: frames land in the
// window scaled with black bars, through shared memory and without it, follow resizes, leave the
// owner's input selections alone, and a destroyed window ends the drawing without an X error.
#include <gtest/gtest.h>

// Before Xlib, whose Status macro would rename its parameters.
#include "tests/shell/ChildProcess.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <memory>

#include "platform/display/Screen.h"
#include "platform/x11/ForeignScreen.h"

using namespace plat;

namespace {

class ForeignScreenTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (std::getenv("DISPLAY") == nullptr)
            GTEST_SKIP() << "no X display";
        X = std::make_unique<testproc::ScopedPrivateDisplay>();
        D = XOpenDisplay(nullptr);
        if (D == nullptr)
            GTEST_SKIP() << "no X display";
        // White, so that bars the screen does not blacken show; the owner holds button presses
        // as a screensaver daemon does (a second client selecting them gets BadAccess).
        W = XCreateSimpleWindow(D, DefaultRootWindow(D), 0, 0, 320, 240, 0, 0, 0xFFFFFF);
        XSelectInput(D, W, ButtonPressMask | ExposureMask);
        XMapWindow(D, W);
        XSync(D, False);
    }
    void TearDown() override
    {
        if (D != nullptr)
            XCloseDisplay(D);
    }

    // Presents a 1024 x 768 frame: red left half, blue right half.
    void PresentFrame(plat::Screen& S)
    {
        FrameMailbox& frames = S.Frames();
        uint32_t* pixels = frames.Buffer(Buffer);
        for (int y = 0; y < 768; ++y)
            for (int x = 0; x < 1024; ++x)
                pixels[y * 1024 + x] = x < 512 ? 0xFF0000u : 0x0000FFu;
        Buffer = frames.Publish(Buffer);
        ASSERT_TRUE(S.PresentLatest());
    }

    uint32_t PixelAt(int Px, int Py)
    {
        XImage* image = XGetImage(D, W, Px, Py, 1, 1, AllPlanes, ZPixmap);
        const uint32_t pixel = static_cast<uint32_t>(XGetPixel(image, 0, 0)) & 0xFFFFFFu;
        XDestroyImage(image);
        return pixel;
    }

    void Resize(int Width, int Height)
    {
        XResizeWindow(D, W, static_cast<unsigned>(Width), static_cast<unsigned>(Height));
        XSync(D, False);
    }

    std::unique_ptr<testproc::ScopedPrivateDisplay> X;
    Display* D = nullptr;
    Window W = 0;
    int Buffer = FrameMailbox::kFirstProducerBuffer;
};

TEST_F(ForeignScreenTest, DrawsScaledWithBarsAndFollowsResizes)
{
    for (const bool shared : {true, false}) {
        Resize(320, 240);
        std::unique_ptr<plat::Screen> screen = CreateForeignWindowScreen(W, shared);
        Buffer = FrameMailbox::kFirstProducerBuffer;
        ASSERT_TRUE(screen->Open(1024, 768, 0));
        PresentFrame(*screen);
        EXPECT_EQ(screen->SharedMemory(), shared);
        EXPECT_EQ(PixelAt(10, 120), 0xFF0000u);
        EXPECT_EQ(PixelAt(310, 120), 0x0000FFu);
        struct Step {
            int Width, Height, BarX, BarY, RedX, RedY;
        };
        // Bars left and right, then above and below in the smallest preview's width.
        for (const Step& s : {Step{400, 240, 30, 120, 50, 120}, Step{200, 300, 50, 70, 50, 80}}) {
            Resize(s.Width, s.Height);
            PresentFrame(*screen);
            EXPECT_EQ(screen->PictureBounds().Width(), s.Width == 400 ? 320 : 200);
            EXPECT_EQ(PixelAt(s.BarX, s.BarY), 0u) << s.Width << "x" << s.Height;
            EXPECT_EQ(PixelAt(s.RedX, s.RedY), 0xFF0000u) << s.Width << "x" << s.Height;
        }
        EXPECT_FALSE(screen->WindowLost());
        screen->Close();
    }
}

TEST_F(ForeignScreenTest, ADestroyedWindowEndsTheDrawing)
{
    std::unique_ptr<plat::Screen> screen = CreateForeignWindowScreen(W);
    ASSERT_TRUE(screen->Open(1024, 768, 0));
    PresentFrame(*screen);
    XDestroyWindow(D, W);
    XSync(D, False);
    PresentFrame(*screen);
    PresentFrame(*screen);
    EXPECT_TRUE(screen->WindowLost());
    EXPECT_FALSE(CreateForeignWindowScreen(W)->Open(1024, 768, 0));
}

}  // namespace
