// The scene's gadgets on the headless screen, one at a time: each test draws a gadget's plate and
// contents onto a cleared back buffer, flips, and looks at the gadget panel's band of the frame.
#pragma once

#include "gadgets/Kgc.h"
#include "gadgets/Kgr.h"
#include "gadgets/Kgw.h"
#include "tests/shell/scene/GoldenPng.h"
#include "tests/shell/scene/SceneStage.h"

#include <ctime>

namespace gadgettest {

constexpr int kBandTop = 698;
constexpr int kBandHeight = 70;

class TGadgetStage : public scenetest::TSceneStage {
public:
    TGadgetStage() : TSceneStage({.ShowTime = 1, .ShowWeather = 1, .ShowNews = 1, .ShowBlack = 0}) {}

    // Clears the back buffer, runs Draw, flips, and returns the panel's band of the frame.
    template <class DrawFn>
    plat::Picture Band(DrawFn&& Draw)
    {
        Kss1->ClearBackSurface();
        Draw();
        Kss1->FlipSurfaces();
        return golden::Crop(Shown(), 0, kBandTop, 1024, kBandHeight);
    }

    // The clock at a fixed local time of day.
    void SetTime(int Hour, int Minute, int Second)
    {
        Time.tm_hour = Hour;
        Time.tm_min = Minute;
        Time.tm_sec = Second;
        Scene->KGC1->LocalTime = [this] { return Time; };
    }
    plat::Picture ClockBand()
    {
        return Band([this] {
            Scene->KGC1->DrawImage();
            Scene->KGC1->DrawGadgetClock();
        });
    }

    std::tm Time{};
};

inline bool SamePixels(const plat::Picture& A, const plat::Picture& B)
{
    if (A.Width() != B.Width() || A.Height() != B.Height())
        return false;
    for (int Y = 0; Y < A.Height(); ++Y)
        for (int X = 0; X < A.Width(); ++X)
            if (A.Row(Y)[X] != B.Row(Y)[X])
                return false;
    return true;
}

constexpr const char* kGolden = "tests/gadgets/golden";

}  // namespace gadgettest
