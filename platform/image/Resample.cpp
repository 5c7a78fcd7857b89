// Separable tent-filter scaling: across the rows into floating-point channels, then down the
// columns back into pixels.
#include "platform/image/Resample.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace plat {
namespace {

// The source pixels and weights of each target pixel along one axis.
struct Taps {
    std::vector<int> First;  // first source index of target i
    std::vector<int> Count;  // how many
    std::vector<float> Weights;  // Count[i] weights per target, one after another
    std::vector<size_t> Offset;  // where target i's weights start
};

Taps MakeTaps(int SourceFirst, int SourceCount, int TargetCount)
{
    Taps taps;
    const double step = static_cast<double>(SourceCount) / TargetCount;
    const double radius = std::max(1.0, step);
    for (int i = 0; i < TargetCount; ++i) {
        const double centre = (i + 0.5) * step - 0.5;
        const int from = static_cast<int>(std::ceil(centre - radius));
        const int to = static_cast<int>(std::floor(centre + radius));
        taps.First.push_back(from);
        taps.Count.push_back(to - from + 1);
        taps.Offset.push_back(taps.Weights.size());
        double sum = 0;
        for (int j = from; j <= to; ++j)
            sum += std::max(0.0, 1.0 - std::abs(j - centre) / radius);
        for (int j = from; j <= to; ++j)
            taps.Weights.push_back(static_cast<float>(std::max(0.0, 1.0 - std::abs(j - centre) / radius) / sum));
    }
    // Source indices within the part: edge pixels repeat beyond it.
    for (int& first : taps.First)
        first += SourceFirst;
    return taps;
}

int Clamp(int Index, int First, int Count)
{
    return std::clamp(Index, First, First + Count - 1);
}

uint32_t ToPixel(const float* Channels)
{
    const auto byte = [](float V) { return static_cast<uint32_t>(std::clamp(std::lround(V), 0L, 255L)); };
    return (byte(Channels[0]) << 16) | (byte(Channels[1]) << 8) | byte(Channels[2]);
}

}  // namespace

Picture Resample(const Picture& Source, const TRect& SourceRect, int Width, int Height)
{
    const TRect part = Intersect(SourceRect, TRect{0, 0, Source.Width(), Source.Height()});
    if (Source.Empty() || part.Empty() || Width <= 0 || Height <= 0)
        return Picture();
    const Taps across = MakeTaps(part.Left, part.Width(), Width);
    const Taps down = MakeTaps(part.Top, part.Height(), Height);
    // Across: every source row of the part, Width targets, three channels.
    std::vector<float> rows(static_cast<size_t>(part.Height()) * static_cast<size_t>(Width) * 3);
    for (int y = 0; y < part.Height(); ++y) {
        const uint32_t* in = Source.Row(part.Top + y);
        float* out = rows.data() + static_cast<size_t>(y) * static_cast<size_t>(Width) * 3;
        for (int x = 0; x < Width; ++x) {
            float r = 0, g = 0, b = 0;
            const float* w = across.Weights.data() + across.Offset[static_cast<size_t>(x)];
            for (int k = 0; k < across.Count[static_cast<size_t>(x)]; ++k) {
                const uint32_t p = in[Clamp(across.First[static_cast<size_t>(x)] + k, part.Left, part.Width())];
                r += w[k] * static_cast<float>((p >> 16) & 0xFF);
                g += w[k] * static_cast<float>((p >> 8) & 0xFF);
                b += w[k] * static_cast<float>(p & 0xFF);
            }
            out[3 * x] = r, out[3 * x + 1] = g, out[3 * x + 2] = b;
        }
    }
    Picture result(Width, Height, Source.ClassName(), Picture::NoFill{});
    std::vector<float> sum(static_cast<size_t>(Width) * 3);
    for (int y = 0; y < Height; ++y) {
        std::fill(sum.begin(), sum.end(), 0.0f);
        const float* w = down.Weights.data() + down.Offset[static_cast<size_t>(y)];
        for (int k = 0; k < down.Count[static_cast<size_t>(y)]; ++k) {
            const int row = Clamp(down.First[static_cast<size_t>(y)] + k, part.Top, part.Height()) - part.Top;
            const float* in = rows.data() + static_cast<size_t>(row) * static_cast<size_t>(Width) * 3;
            for (size_t i = 0; i < sum.size(); ++i)
                sum[i] += w[k] * in[i];
        }
        uint32_t* out = result.Row(y);
        for (int x = 0; x < Width; ++x)
            out[x] = ToPixel(sum.data() + 3 * x);
    }
    return result;
}

}  // namespace plat
