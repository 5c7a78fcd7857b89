// The news ticker on the headless screen: reference frames, the ScrollOffset runs of a 1000-pixel
// line and of an empty one, a new line that does not restart the scroll, the line kept inside its
// window, and a refused drawing context.
#include "gadgets/GadgetDraw.h"
#include "tests/gadgets/GadgetStage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using gadgettest::kGolden;
using gadgettest::TGadgetStage;

// A text exactly Width pixels wide in the ticker's font, made of printable characters.
std::string LineOfWidth(plat::FontCache& Fonts, int Width)
{
    int Advance[128] = {};
    for (char C = '!'; C <= '~'; ++C)
        Advance[static_cast<int>(C)] = gadgets::MeasuredText(Fonts, "Arial", 16, 700, std::string(1, C)).Width();
    // Last[W]: the last character of a text W pixels wide, 0 while none is known.
    std::vector<char> Last(static_cast<size_t>(Width) + 1, 0);
    for (int W = 1; W <= Width; ++W)
        for (char C = '!'; C <= '~' && Last[static_cast<size_t>(W)] == 0; ++C) {
            const int Rest = W - Advance[static_cast<int>(C)];
            if (Advance[static_cast<int>(C)] > 0 && Rest >= 0 && (Rest == 0 || Last[static_cast<size_t>(Rest)] != 0))
                Last[static_cast<size_t>(W)] = C;
        }
    std::string Text;
    for (int W = Width; W > 0 && Last[static_cast<size_t>(W)] != 0;
         W -= Advance[static_cast<int>(Last[static_cast<size_t>(W)])])
        Text += Last[static_cast<size_t>(W)];
    return Text;
}

TEST(Kgr, ReferenceFrames)
{
    TGadgetStage Stage;
    TKGR& News = *Stage.Scene->KGR1;
    auto Band = [&] {
        return Stage.Band([&] {
            News.DrawImage();
            News.DrawRssNews();
        });
    };
    for (int Frame = 1; Frame < 100; ++Frame)
        News.DrawRssNews();
    golden::CompareWithGolden(Band(), kGolden, "ticker-fresh.png");  // no title, 200 pixels in
    News.SetNameNews("Harbour Gazette");
    News.SetRssLine("Storm warning lifted for the coast *** Ferry timetable changes on Monday *** "
                    "Lighthouse open to visitors again");
    for (int Frame = 1; Frame < 200; ++Frame)
        News.DrawRssNews();
    golden::CompareWithGolden(Band(), kGolden, "ticker-title.png");
}

TEST(Kgr, ScrollOffsetRunsOverWidthAndLineAndANewLineDoesNotRestartIt)
{
    TGadgetStage Stage;
    TKGR& News = *Stage.Scene->KGR1;
    plat::FontCache Fonts;
    const std::string Line = LineOfWidth(Fonts, 1000);
    ASSERT_EQ(gadgets::MeasuredText(Fonts, "Arial", 16, 700, Line).Width(), 1000);
    News.SetRssLine(Line);
    for (int32_t Expected = 2; Expected <= 1544; Expected += 2) {
        News.DrawRssNews();
        ASSERT_EQ(News.GetScrollOffset(), Expected);
    }
    // The frame of the reset puts the line just beyond the window's right edge: nothing shows.
    const plat::Picture Reset = Stage.Band([&] { News.DrawRssNews(); });
    EXPECT_EQ(News.GetScrollOffset(), 0);
    EXPECT_TRUE(gadgettest::SamePixels(Reset, Stage.Band([] {})));

    for (int Frame = 0; Frame < 400; ++Frame)
        News.DrawRssNews();
    News.SetRssLine(Line + Line);  // a new line carries on from where the old one was
    News.DrawRssNews();
    EXPECT_EQ(News.GetScrollOffset(), 802);
    News.SetRssLine("");  // shorter than the offset: the next frame starts over
    News.DrawRssNews();
    EXPECT_EQ(News.GetScrollOffset(), 0);
    for (int32_t Expected = 2; Expected <= 544; Expected += 2) {
        News.DrawRssNews();
        ASSERT_EQ(News.GetScrollOffset(), Expected);
    }
    News.DrawRssNews();
    EXPECT_EQ(News.GetScrollOffset(), 0);
}

TEST(Kgr, TheLineStaysInsideItsWindowAndARefusedContextStopsTheScroll)
{
    TGadgetStage Stage;
    TKGR& News = *Stage.Scene->KGR1;
    News.SetRssLine(std::string(300, 'W'));
    // The window: columns 15 to 559 of the gadget, rows 10 to 49.
    const plat::TRect Window{15, 10, 560, 50};
    for (int Frame = 0; Frame < 6; ++Frame) {
        const plat::Picture Band = Stage.Band([&] {
            for (int Step = 0; Step < 97; ++Step)
                News.DrawRssNews();
        });
        int Inside = 0, Outside = 0;
        for (int Y = 0; Y < Band.Height(); ++Y)
            for (int X = 0; X < Band.Width(); ++X)
                if (Band.Row(Y)[X] != 0)
                    ++(X >= Window.Left && X < Window.Right && Y >= Window.Top && Y < Window.Bottom ? Inside : Outside);
        EXPECT_GT(Inside, 0) << Frame;
        EXPECT_EQ(Outside, 0) << Frame;
    }
    const int32_t Offset = News.GetScrollOffset();
    plat::DrawContext* Held = nullptr;
    ASSERT_EQ(Stage.Kss1->GetBack()->GetDC(&Held), plat::DD_OK);
    News.DrawRssNews();
    EXPECT_EQ(News.GetScrollOffset(), Offset);
    Stage.Kss1->GetBack()->ReleaseDC(Held);
}

}  // namespace
