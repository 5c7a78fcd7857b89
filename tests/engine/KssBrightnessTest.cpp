// Brightness: the ramp the host loads at enable, what the shown frames look like through it, and
// displays without gamma support or whose ramp cannot be read or written.
#include "tests/engine/HeadlessHost.h"

#include <gtest/gtest.h>

namespace {

class KssBrightnessTest : public HeadlessHostTest {
protected:
    void MakeHost() override
    {
        HeadlessHostTest::MakeHost();
        Errors = 0;
        Kss->SetUseIdle(false);
        Kss->OnError = [this](TObject*) { ++Errors; };
    }

    void Open(int Brightness)
    {
        Kss->SetRegistry();  // a fresh folder: writes the first-use values
        Kss->WriteRKey("Brightness", Brightness);
        Kss->SetEnabled(true);
    }

    // The colour a white frame is shown in.
    uint32_t ShownWhite()
    {
        plat::DDBLTFX fx;
        fx.dwFillColor = 0xFFFFFF;
        Kss->GetBack()->Blt(nullptr, nullptr, nullptr, plat::DDBLT_COLORFILL | plat::DDBLT_WAIT, &fx);
        Kss->FlipSurfaces();
        Screen->PresentLatest();
        return Screen->Shown().Row(10)[10];
    }

    plat::DDGAMMARAMP Ramp() const
    {
        plat::DDGAMMARAMP ramp{};
        Screen->GetGammaRamp(ramp);
        return ramp;
    }

    int Errors = 0;
};

}  // namespace

TEST_F(KssBrightnessTest, TheRampAtEnableFollowsBrightness)
{
    // Slope 256 is never loaded: the screen keeps its own ramp (the identity, i x 257).
    const struct {
        int Brightness;
        int Step;
        uint32_t White;
    } rows[] = {{128, 128, 0x7F7F7F}, {0, 0, 0}, {256, 257, 0xFFFFFF}};
    for (const auto& row : rows) {
        MakeHost();
        Open(row.Brightness);
        ASSERT_NE(Kss->GetPrimary(), nullptr);
        const plat::DDGAMMARAMP ramp = Ramp();
        for (int i = 0; i < 256; ++i)
            ASSERT_EQ(ramp.green[i], i * row.Step) << row.Brightness << " entry " << i;
        EXPECT_EQ(ramp.red[255], ramp.blue[255]);
        EXPECT_EQ(ShownWhite(), row.White) << row.Brightness;
        EXPECT_EQ(Kss->GetRGB(), row.Brightness);
        EXPECT_EQ(Errors, 0);
    }
}

TEST_F(KssBrightnessTest, LinearRampHasASlopePerChannelAndKeepsBrightness)
{
    Open(256);
    Kss->SetLinearRGB(256, 128, 0);
    const plat::DDGAMMARAMP ramp = Ramp();
    EXPECT_EQ(ramp.red[255], 65280);
    EXPECT_EQ(ramp.green[255], 32640);
    EXPECT_EQ(ramp.blue[255], 0);
    EXPECT_EQ(ShownWhite(), 0xFF7F00u);
    EXPECT_EQ(Kss->GetRGB(), 256);
}

TEST_F(KssBrightnessTest, WithoutGammaSupportNothingChangesAndBrightnessStays)
{
    Screen->NoGamma = true;
    Open(256);
    Kss->SetRGB(100);
    EXPECT_EQ(Kss->GetRGB(), 256);
    EXPECT_EQ(Ramp().green[255], 65535);
    EXPECT_EQ(Errors, 0);
    EXPECT_EQ(Kss->GetErrorResult(), "");
}

TEST_F(KssBrightnessTest, ARampThatCannotBeReadOrWrittenClosesTheDisplay)
{
    const struct {
        bool displaytest::TFakeDisplay::*Fault;
        const char* Text;
    } rows[] = {{&displaytest::TFakeDisplay::GammaUnreadable, "Cannot GetGammaRamp"},
                {&displaytest::TFakeDisplay::GammaUnloadable, "Cannot SetGammaRamp"}};
    for (const auto& row : rows) {
        MakeHost();
        Screen->*row.Fault = true;
        Open(128);
        EXPECT_EQ(Kss->GetErrorResult(), row.Text);
        EXPECT_EQ(Kss->GetPrimary(), nullptr);
        EXPECT_EQ(Kss->GetDirectDraw(), nullptr);
        EXPECT_EQ(Errors, 1);
    }
}
