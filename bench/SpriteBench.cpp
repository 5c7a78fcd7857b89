// Cost of the sprites' share of a frame: a still of the design size, a frame of the near strip and
// a 573 x 65 strip frame and four colour-keyed 68 x 44 flyer frames blitted onto the host's back buffer
// (SpriteFrame), against a plain memcpy of the same bytes (SpriteFrameCopyBound). Runs on a
// headless screen with a temporary configuration folder.
#include "engine/Form.h"
#include "engine/Kss.h"
#include "platform/app/Application.h"
#include "platform/headless/HeadlessScreen.h"
#include "sprites/Kim.h"
#include "sprites/Kmv.h"
#include "sprites/SceneLayout.h"
#include "tests/TempFolder.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

namespace {

constexpr int kW = layout::kDesignWidth;
constexpr int kH = layout::kDesignHeight;
constexpr layout::TStrip kSea = layout::kNearStrip;

// A picture with some texture; with Holes, every third pixel of a row is the colour of the
// frame's top-left pixel, which the strip sprite keys out.
plat::Picture Textured(int Width, int Height, bool Holes)
{
    plat::Picture P(Width, Height, "TBitmap");
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            P.Row(y)[x] =
                (Holes && x % 3 == 0) ? 0x000000u : 0x203040u + static_cast<uint32_t>((x * 7 + y * 13) & 0xFF);
    return P;
}

class SpriteScene {
public:
    SpriteScene()
    {
        ::setenv("XDG_CONFIG_HOME", FRoot.Path().c_str(), 1);
        FForm = std::make_unique<TForm>(nullptr, FApp, std::make_unique<plat::HeadlessScreen>());
        Kss = new TKss(FForm.get());
        Kss->SetUseIdle(false);
        Kss->SetWidthScreen(kW);
        Kss->SetHeightScreen(kH);
        Kss->SetColorDepth(32);
        Kss->SetEnabled(true);
        Still = Image(Textured(kW, kH, false), 0, 0);
        Sea = Strip(Textured(kW, kSea.FrameHeight * 3, false), kSea.FrameHeight, kSea.X, kSea.Y, false);
        Cliffs = Strip(Textured(573, 65 * 3, false), 65, 300, 420, false);
        for (int i = 0; i < 4; ++i)
            Flyers[i] = Strip(Textured(68, 44 * 36, true), 44, 100 + i * 200, 100 + i * 90, true);
    }
    ~SpriteScene() { FForm.reset(); }

    void Frame(int N)
    {
        Still->DrawImage();
        Sea->SetNumberFrame(N % 3);
        Sea->DrawMovie();
        Cliffs->SetNumberFrame(N % 3);
        Cliffs->DrawMovie();
        for (TKMV* Flyer : Flyers) {
            Flyer->SetNumberFrame(N % 36);
            Flyer->DrawMovie();
        }
    }

    TKss* Kss = nullptr;

private:
    TKIM* Image(plat::Picture Picture, int X, int Y)
    {
        auto* Kim = new TKIM(FForm.get());
        Kim->SetParent(Kss);
        Kim->SetPicture(std::move(Picture));
        Kim->SetShowX(X);
        Kim->SetShowY(Y);
        Kim->CreateDXImage();
        return Kim;
    }
    TKMV* Strip(plat::Picture Picture, int FrameHeight, int X, int Y, bool Keyed)
    {
        auto* Kmv = new TKMV(FForm.get());
        Kmv->SetParent(Kss);
        Kmv->SetPicture(std::move(Picture));
        Kmv->SetYOffsetFrame(FrameHeight);
        Kmv->SetShowX(X);
        Kmv->SetShowY(Y);
        Kmv->CreateDXMovie();
        Kmv->SetTransparency(Keyed);
        return Kmv;
    }

    TTempFolder FRoot{"bench"};
    plat::Application FApp;
    std::unique_ptr<TForm> FForm;
    TKIM* Still = nullptr;
    TKMV* Sea = nullptr;
    TKMV* Cliffs = nullptr;
    TKMV* Flyers[4] = {};
};

void BM_SpriteFrame(benchmark::State& State)
{
    SpriteScene Scene;
    int N = 0;
    for (auto _ : State)
        Scene.Frame(N++);
    benchmark::DoNotOptimize(Scene.Kss->GetBack());
}
BENCHMARK(BM_SpriteFrame)->Unit(benchmark::kMicrosecond);

// The same bytes, each sprite's pixels copied in one piece into one frame-sized buffer.
void BM_SpriteFrameCopyBound(benchmark::State& State)
{
    const size_t Sizes[] = {size_t{kW} * kH, size_t{kW} * kSea.FrameHeight, 573 * 65, 68 * 44, 68 * 44, 68 * 44,
                            68 * 44};
    std::vector<std::vector<uint32_t>> Sources;
    for (size_t Size : Sizes)
        Sources.emplace_back(Size, 0x203040u);
    std::vector<uint32_t> Target(size_t{kW} * kH);
    for (auto _ : State) {
        for (const auto& Source : Sources)
            std::memcpy(Target.data(), Source.data(), Source.size() * sizeof(uint32_t));
        benchmark::DoNotOptimize(Target.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_SpriteFrameCopyBound)->Unit(benchmark::kMicrosecond);

}  // namespace
