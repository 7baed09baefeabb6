#include "colour/ColorVision.h"
#include "colour/Colors.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstddef>
#include <numbers>
#include <vector>

namespace {

// Scattered over the whole cube, so lookups hit grid points, off-grid colours and every
// neighbour direction rather than one warm cache line.
std::vector<TColor> VariedColors()
{
    std::vector<TColor> colors;
    for (int i = 0; i < 4096; ++i)
        colors.push_back(RGB(i * 37 & 0xFF, i * 91 & 0xFF, i * 13 & 0xFF));
    return colors;
}

// The colours of a 190-pixel colour-wheel disc: hue by angle, saturation by radius, full
// brightness, as the wheel paints its background.
std::vector<TColor> DiscColors()
{
    constexpr int kSize = 190;
    constexpr double kRadius = kSize / 2.0;
    std::vector<TColor> colors;
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const double dx = x + 0.5 - kRadius, dy = kRadius - (y + 0.5);
            const double r = std::hypot(dx, dy);
            if (r > kRadius)
                continue;
            double hue = std::atan2(dy, dx) * 180 / std::numbers::pi;
            if (hue < 0)
                hue += 360;
            colors.push_back(HSBToColor(hue, r / kRadius, 1));
        }
    }
    return colors;
}

// One colour per iteration, so the reported time is the cost of a single simulation.
void BM_SimulateColorVisionProt(benchmark::State& state)
{
    const auto colors = VariedColors();
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(SimulateColorVision(colors[i], cvtProt));
        i = (i + 1) & (colors.size() - 1);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SimulateColorVisionProt);

void BM_SimulateColorVisionDisc(benchmark::State& state)
{
    const auto colors = DiscColors();
    std::vector<TColor> out(colors.size());
    for (auto _ : state) {
        for (std::size_t i = 0; i < colors.size(); ++i)
            out[i] = SimulateColorVision(colors[i], cvtDeut);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.counters["pixels"] = static_cast<double>(colors.size());
}
BENCHMARK(BM_SimulateColorVisionDisc)->Unit(benchmark::kMicrosecond);

} // namespace
