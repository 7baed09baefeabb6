#include "colour/Colors.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

std::vector<TColor> SampleColors()
{
    std::vector<TColor> colors;
    for (int i = 0; i < 4096; ++i)
        colors.push_back(RGB(i * 37 & 0xFF, i * 91 & 0xFF, i * 13 & 0xFF));
    return colors;
}

void BM_ColorToHSB(benchmark::State& state)
{
    const auto colors = SampleColors();
    size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(ColorToHSB(colors[i++ & 4095]));
}
BENCHMARK(BM_ColorToHSB);

void BM_HSBToColor(benchmark::State& state)
{
    std::vector<THSB> triples;
    for (TColor c : SampleColors())
        triples.push_back(ColorToHSB(c));
    size_t i = 0;
    for (auto _ : state) {
        const THSB& t = triples[i++ & 4095];
        benchmark::DoNotOptimize(HSBToColor(t.H, t.S, t.B));
    }
}
BENCHMARK(BM_HSBToColor);

void BM_AdjustColor(benchmark::State& state)
{
    const auto colors = SampleColors();
    size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(AdjustColor(colors[i++ & 4095], akLessSaturatedLighter, 0.4));
}
BENCHMARK(BM_AdjustColor);

} // namespace
