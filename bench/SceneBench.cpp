// What the scene costs: one whole frame (the three gadgets on, with their start values) against a
// plain copy of the same pixels, the same frame with a ticker line of 700 titles and weather
// texts against it, and start-up
// (decoding, cutting the strips into frame surfaces, set-up, the first frame) against decoding
// the pictures alone, one after another on one core.
//
// SceneFrameLayers/1920/1080 and /3840/2160 draw the same frame for a monitor of that size, with
// its layers (the surround and the band at the monitor's resolution): against SceneFrame, what
// filling the monitor costs the frame thread.
//
// Targets: SceneFrame <= 1.3 x SceneFrameCopyBound (processor time of the drawing thread);
// SceneFrameGadgets <= 1.25 x SceneFrame; SceneStartup <= 1.2 x SceneDecode (wall-clock time:
// start-up decodes on all cores at once).
#include "gadgets/Kgc.h"
#include "gadgets/Kgr.h"
#include "gadgets/Kgw.h"
#include "sprites/Kim.h"
#include "sprites/Kmv.h"
#include "sprites/SceneLayout.h"
#include "sprites/SpriteGeometry.h"
#include "tests/gadgets/TickerLine.h"
#include "tests/shell/scene/SceneStage.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

const scenetest::TSwitches kAllGadgets{.ShowTime = 1, .ShowWeather = 1, .ShowNews = 1, .ShowBlack = 0};

void SceneFrame(benchmark::State& State)
{
    scenetest::TSceneStage Stage(kAllGadgets);
    for (auto _ : State)
        Stage.Scene->DrawFrame(Stage.ShortCycleFrame, Stage.LongCycleFrame);
}
BENCHMARK(SceneFrame)->Unit(benchmark::kMicrosecond);

void SceneFrameGadgets(benchmark::State& State)
{
    scenetest::TSceneStage Stage(kAllGadgets);
    Stage.Scene->KGR1->SetNameNews("Harbour Gazette");
    Stage.Scene->KGR1->SetRssLine(gadgettest::TickerLine(700));
    Stage.Scene->KGW1->SetTodayNow("75");
    for (auto _ : State)
        Stage.Scene->DrawFrame(Stage.ShortCycleFrame, Stage.LongCycleFrame);
}
BENCHMARK(SceneFrameGadgets)->Unit(benchmark::kMicrosecond);

void SceneFrameLayers(benchmark::State& State)
{
    scenetest::TSwitches Switches = kAllGadgets;
    Switches.OutputWidth = static_cast<int>(State.range(0));
    Switches.OutputHeight = static_cast<int>(State.range(1));
    scenetest::TSceneStage Stage(Switches);
    Stage.Scene->KGR1->SetNameNews("Harbour Gazette");
    Stage.Scene->KGR1->SetRssLine(gadgettest::TickerLine(700));
    for (auto _ : State)
        Stage.Scene->DrawFrame(Stage.ShortCycleFrame, Stage.LongCycleFrame);
}
BENCHMARK(SceneFrameLayers)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMicrosecond);

// Where one sprite's pixels come from and go to, clipped exactly as the sprites clip.
struct TCopy {
    const uint32_t* Source;
    int Pitch;
    sprites::BlitPlan Plan;
};

const uint32_t* PixelsOf(plat::DirectDrawSurface* Surface, int& Pitch)
{
    plat::DDSURFACEDESC Desc;
    if (!Surface || plat::Failed(Surface->Lock(nullptr, &Desc, plat::DDLOCK_WAIT, nullptr)))
        return nullptr;
    Surface->Unlock(nullptr);  // system memory: the pixels stay where they are
    Pitch = Desc.lPitch / 4;
    return static_cast<const uint32_t*>(Desc.lpSurface);
}

void AddCopy(std::vector<TCopy>& Copies, plat::DirectDrawSurface* Surface, const TSpriteControl& Sprite)
{
    TCopy Copy{nullptr, 0, {}};
    Copy.Source = PixelsOf(Surface, Copy.Pitch);
    if (Copy.Source &&
        sprites::ClipToScreen(Sprite.GetShowX(), Sprite.GetShowY(), Surface->Width(), Surface->Height(),
                              layout::kDesignWidth, layout::kDesignHeight, Copy.Plan))
        Copies.push_back(Copy);
}

// The pixels one frame blits, from the same surfaces (the strips' frames cycling as in the
// scene) to the same places on the back buffer, copied row by row with memcpy and no colour
// key: the least any way of drawing that frame can cost.
void SceneFrameCopyBound(benchmark::State& State)
{
    scenetest::TSceneStage Stage(kAllGadgets);
    Stage.Frame();
    TScene& S = *Stage.Scene;
    // One list of copies per step of the 150-frame cycle (which also covers the 31-frame one).
    std::vector<std::vector<TCopy>> Frames(150 * 31);
    int32_t Short = 0, Long = 0;
    for (auto& Copies : Frames) {
        AdvanceCycleFrames(Short, Long);
        AddCopy(Copies, S.KIM1->Surface(), *S.KIM1);
        AddCopy(Copies, S.KMV1->Surface(Short), *S.KMV1);
        AddCopy(Copies, S.KMV2->Surface(Short), *S.KMV2);
        AddCopy(Copies, S.KMV3->Surface(Long), *S.KMV3);
        for (const TKMV* Flyer : {S.KMV3SGtiny, S.KMV3SGmini, S.KMV3SGsmall, S.KMV3SG})
            AddCopy(Copies, Flyer->Surface(Flyer->GetNumberFrame()), *Flyer);
        for (const TKIM* Still :
             {S.KIM2GadgetPanel, static_cast<TKIM*>(S.KGC1), static_cast<TKIM*>(S.KGW1), static_cast<TKIM*>(S.KGR1)})
            AddCopy(Copies, Still->Surface(), *Still);
    }
    int Pitch = 0;
    auto* Back = const_cast<uint32_t*>(PixelsOf(Stage.Kss1->GetBack(), Pitch));
    if (!Back) {
        State.SkipWithError("no back buffer");
        return;
    }
    size_t Next = 0;
    for (auto _ : State) {
        for (const TCopy& C : Frames[Next]) {
            const plat::TRect& R = C.Plan.Source;
            const size_t Bytes = static_cast<size_t>(R.Right - R.Left) * 4;
            for (int Y = R.Top; Y < R.Bottom; ++Y)
                std::memcpy(Back + static_cast<size_t>(C.Plan.DestY + Y - R.Top) * Pitch + C.Plan.DestX,
                            C.Source + static_cast<size_t>(Y) * C.Pitch + R.Left, Bytes);
        }
        benchmark::ClobberMemory();
        Next = (Next + 1) % Frames.size();
    }
}
BENCHMARK(SceneFrameCopyBound)->Unit(benchmark::kMicrosecond);

void SceneStartup(benchmark::State& State)
{
    for (auto _ : State) {
        auto Stage = std::make_unique<scenetest::TSceneStage>(kAllGadgets);
        Stage->Frame();
        State.PauseTiming();
        Stage.reset();
        State.ResumeTiming();
    }
}
BENCHMARK(SceneStartup)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

void SceneDecode(benchmark::State& State)
{
    for (auto _ : State)
        benchmark::DoNotOptimize(DecodeScenePictures(1));
}
BENCHMARK(SceneDecode)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

}  // namespace
