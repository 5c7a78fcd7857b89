// The canvas taken row by row, scaled across when it changed, and blended down into the window.
#include "platform/display/LayerCompositor.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace plat {
namespace {

// Two rows mixed byte by byte, Weights(i) of B's byte i out of 256; the loop vectorises (a byte
// times at most 256 stays within 16 bits).
template <typename TWeights>
[[gnu::always_inline]] inline void Mix(uint32_t* Out, const uint32_t* A, const uint32_t* B, TWeights Weights, int Width)
{
    const auto* a = reinterpret_cast<const uint8_t*>(A);
    const auto* b = reinterpret_cast<const uint8_t*>(B);
    auto* out = reinterpret_cast<uint8_t*>(Out);
    const size_t bytes = static_cast<size_t>(Width) * 4;
    for (size_t i = 0; i < bytes; ++i) {
        const uint16_t w = Weights(i);
        out[i] = static_cast<uint8_t>(static_cast<uint16_t>(a[i] * static_cast<uint16_t>(256 - w) + b[i] * w) >> 8);
    }
}

struct TOneWeight {
    uint16_t W;
    uint16_t operator()(size_t) const { return W; }
};
struct TByteWeights {
    const uint16_t* W;
    uint16_t operator()(size_t I) const { return W[I]; }
};

// In 32-byte vectors where the processor has them; chosen at each call, as the blits do.
template <typename TWeights>
[[gnu::target("avx2")]] void MixAvx2(uint32_t* Out, const uint32_t* A, const uint32_t* B, TWeights Weights, int Width)
{
    Mix(Out, A, B, Weights, Width);
}

template <typename TWeights>
void MixRows(uint32_t* Out, const uint32_t* A, const uint32_t* B, TWeights Weights, int Width)
{
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2)
        MixAvx2(Out, A, B, Weights, Width);
    else
        Mix(Out, A, B, Weights, Width);
}

}  // namespace

std::vector<LayerCompositor::Tap> LayerCompositor::Taps(int Count, double Origin, double Scale, int SourceCount)
{
    std::vector<Tap> taps(static_cast<size_t>(std::max(Count, 0)));
    for (int i = 0; i < Count; ++i) {
        // The output pixel's centre in source pixels.
        const double at = std::clamp((i + 0.5 - Origin) / Scale - 0.5, 0.0, SourceCount - 1.0);
        const int from = std::min(static_cast<int>(at), SourceCount - 1);
        taps[static_cast<size_t>(i)] =
            Tap{from, std::min(from + 1, SourceCount - 1), static_cast<uint32_t>(std::lround((at - from) * 256))};
    }
    return taps;
}

void LayerCompositor::Reset(const FrameLayout& Layout)
{
    FLayout = Layout;
    FCanvasWidth = Layout.CanvasWidth();
    FCanvasRows = std::max(Layout.CanvasHeight() - Layout.OverlayRows, 0);
    FOutWidth = Layout.OutputWidth;
    FOutRows = Layout.Overlay.Empty() ? Layout.OutputHeight : Layout.Overlay.Top;
    if (FCanvasWidth <= 0 || FCanvasRows <= 0 || FOutWidth <= 0 || FOutRows <= 0)
        FCanvasWidth = FCanvasRows = FOutWidth = FOutRows = 0;
    const double scale = Layout.Scale();
    FColumns = Taps(FOutWidth, Layout.Picture.Left - Layout.Left * scale, scale, FCanvasWidth);
    FColumnWeights.resize(FColumns.size() * 4);
    for (size_t x = 0; x < FColumns.size(); ++x)
        std::fill_n(FColumnWeights.begin() + static_cast<ptrdiff_t>(x * 4), 4,
                    static_cast<uint16_t>(FColumns[x].Weight));
    FFrom.resize(FColumns.size());
    FNext.resize(FColumns.size());
    FRows = Taps(FOutRows, Layout.Picture.Top - Layout.Top * scale, scale, FCanvasRows);
    // The rows are made at the first frame: set-up, which lays the layers out, has its own peak.
    std::vector<uint32_t>().swap(FCanvas);
    std::vector<uint32_t>().swap(FAcross);
    FAll = true;
}

// Each part of the row is compared with what the canvas holds and copied over it when it differs.
bool LayerCompositor::TakeRow(int Row, const uint32_t* Frame, const FramePlanes& Planes)
{
    const FrameLayout& L = FLayout;
    uint32_t* canvas = FCanvas.data() + static_cast<size_t>(Row) * static_cast<size_t>(FCanvasWidth);
    bool changed = FAll;
    const auto take = [&](uint32_t* To, const uint32_t* From, int Count) {
        if (Count <= 0)
            return;
        From = From != nullptr ? From : FZeros.data();
        const size_t bytes = static_cast<size_t>(Count) * 4;
        if (FAll || std::memcmp(To, From, bytes) != 0) {
            std::memcpy(To, From, bytes);
            changed = true;
        }
    };
    const auto part = [](const uint32_t* Plane, int Y, int Width) {
        return Plane != nullptr ? Plane + static_cast<size_t>(Y) * static_cast<size_t>(Width) : nullptr;
    };
    if (Row < L.Top) {
        take(canvas, part(Planes.Top, Row, L.Width), L.Width);
        return changed;
    }
    int y = Row - L.Top;
    if (y == L.Height - 1 && L.OverlayRows == 0 && y > 0)
        --y;
    const uint32_t* frame = Frame + static_cast<size_t>(y) * static_cast<size_t>(L.Width);
    take(canvas, part(Planes.Left, y, L.Left), L.Left);
    take(canvas + L.Left, frame, L.Width - 1);
    take(canvas + L.Left + L.Width - 1, frame + std::max(L.Width - 2, 0), 1);
    take(canvas + L.Left + L.Width, part(Planes.Right, y, L.Right), L.Right);
    return changed;
}

// The two source pixels of every output pixel are gathered first, so that the mixing runs on
// whole rows.
void LayerCompositor::ScaleAcross(const uint32_t* Source, uint32_t* Out)
{
    for (size_t x = 0; x < FColumns.size(); ++x) {
        FFrom[x] = Source[FColumns[x].From];
        FNext[x] = Source[FColumns[x].Next];
    }
    MixRows(Out, FFrom.data(), FNext.data(), TByteWeights{FColumnWeights.data()}, FOutWidth);
}

LayerCompositor::Rows LayerCompositor::Compose(const uint32_t* Frame, const FramePlanes& Planes, uint32_t* Out,
                                               int Stride)
{
    const size_t width = static_cast<size_t>(FOutWidth);
    if (FCanvas.empty()) {
        FCanvas.resize(static_cast<size_t>(FCanvasWidth) * static_cast<size_t>(FCanvasRows));
        FAcross.resize(width * static_cast<size_t>(FCanvasRows));
        FZeros.assign(static_cast<size_t>(FCanvasWidth), 0);
        FChanged.assign(static_cast<size_t>(FCanvasRows), 0);
        FAll = true;
    }
    for (int row = 0; row < FCanvasRows; ++row) {
        const bool changed = TakeRow(row, Frame, Planes);
        FChanged[static_cast<size_t>(row)] = changed;
        if (changed)
            ScaleAcross(FCanvas.data() + static_cast<size_t>(row) * static_cast<size_t>(FCanvasWidth),
                        FAcross.data() + static_cast<size_t>(row) * width);
    }
    Rows drawn{FOutRows, 0};
    for (int y = 0; y < FOutRows; ++y) {
        const Tap& tap = FRows[static_cast<size_t>(y)];
        if (!FChanged[static_cast<size_t>(tap.From)] && !FChanged[static_cast<size_t>(tap.Next)])
            continue;
        MixRows(Out + static_cast<size_t>(y) * static_cast<size_t>(Stride), FAcross.data() + tap.From * width,
                FAcross.data() + tap.Next * width, TOneWeight{static_cast<uint16_t>(tap.Weight)}, FOutWidth);
        drawn.First = std::min(drawn.First, y);
        drawn.Last = y + 1;
    }
    FAll = false;
    return drawn.Last > drawn.First ? drawn : Rows{};
}

}  // namespace plat
