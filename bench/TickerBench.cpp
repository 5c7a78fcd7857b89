// What a long ticker line costs: a frame of the news ticker (title and creeping line) with the
// line of a 700-title feed against one of a 10-title feed. The line is measured when it changes,
// not every frame, and only the glyphs inside the window are drawn, so the two cost about the same.
//
// Target: TickerLong <= 1.1 x TickerShort (processor time of the drawing thread).
#include "gadgets/Kgr.h"
#include "tests/gadgets/TickerLine.h"
#include "tests/shell/scene/SceneStage.h"

#include <benchmark/benchmark.h>

namespace {

void Ticker(benchmark::State& State, int Titles)
{
    scenetest::TSceneStage Stage({.ShowNews = 1});
    TKGR& News = *Stage.Scene->KGR1;
    News.SetNameNews("Harbour Gazette");
    News.SetRssLine(gadgettest::TickerLine(Titles));
    for (auto _ : State)
        News.DrawRssNews();
}

void TickerShort(benchmark::State& State)
{
    Ticker(State, 10);
}
BENCHMARK(TickerShort)->Unit(benchmark::kMicrosecond);

void TickerLong(benchmark::State& State)
{
    Ticker(State, 700);
}
BENCHMARK(TickerLong)->Unit(benchmark::kMicrosecond);

}  // namespace
