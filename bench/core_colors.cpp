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
    for (auto _ : state)
        for (TColor c : colors)
            benchmark::DoNotOptimize(ColorToHSB(c));
    state.SetItemsProcessed(state.iterations() * colors.size());
}
BENCHMARK(BM_ColorToHSB);

void BM_HSBToColor(benchmark::State& state)
{
    std::vector<THSB> triples;
    for (TColor c : SampleColors())
        triples.push_back(ColorToHSB(c));
    for (auto _ : state)
        for (const THSB& t : triples)
            benchmark::DoNotOptimize(HSBToColor(t.H, t.S, t.B));
    state.SetItemsProcessed(state.iterations() * triples.size());
}
BENCHMARK(BM_HSBToColor);

void BM_AdjustColor(benchmark::State& state)
{
    const auto colors = SampleColors();
    for (auto _ : state)
        for (TColor c : colors)
            benchmark::DoNotOptimize(AdjustColor(c, akLessSaturatedLighter, 0.4));
    state.SetItemsProcessed(state.iterations() * colors.size());
}
BENCHMARK(BM_AdjustColor);

} // namespace
