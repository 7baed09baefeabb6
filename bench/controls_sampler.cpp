// Re-rendering the colour sampler's field: at the control's default 200 x 20, and at a size the
// base-colour panel gives it, at ratio 1 and 2, plain and through a colour-vision simulation.
#include "bench_app.h"

#include "pickers/CachedBackground.h"
#include "pickers/ColorSampler.h"

#include <benchmark/benchmark.h>

namespace {

void RenderField(benchmark::State& state, QSize size, qreal dpr, TSamplerPresets presets, TColorVisionType vision)
{
    benchApplication();
    const QPalette palette = QApplication::palette();
    QImage image(CachedBackground::deviceSize(size, dpr), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    for (auto _ : state) {
        image.fill(Qt::transparent);
        TColorSampler::Render(image, size, presets, bsLowered, vision, palette);
        benchmark::DoNotOptimize(image.constBits());
        benchmark::ClobberMemory();
    }
    state.counters["pixels"] = image.width() * image.height();
}

void BM_SamplerDefaultSaturated(benchmark::State& s)
{
    RenderField(s, {200, 20}, 1, spSaturated, cvtNorm);
}
void BM_SamplerDefaultRich(benchmark::State& s)
{
    RenderField(s, {200, 20}, 1, spRich, cvtNorm);
}
void BM_SamplerDefaultSimulated(benchmark::State& s)
{
    RenderField(s, {200, 20}, 1, spSaturated, cvtDeut);
}
void BM_SamplerPanelSaturated(benchmark::State& s)
{
    RenderField(s, {184, 110}, 1, spSaturated, cvtNorm);
}
void BM_SamplerPanelSaturated2x(benchmark::State& s)
{
    RenderField(s, {184, 110}, 2, spSaturated, cvtNorm);
}
void BM_SamplerPanelLight2x(benchmark::State& s)
{
    RenderField(s, {184, 110}, 2, spLight, cvtNorm);
}
void BM_SamplerPanelSimulated2x(benchmark::State& s)
{
    RenderField(s, {184, 110}, 2, spDesaturated, cvtProt);
}

} // namespace

BENCHMARK(BM_SamplerDefaultSaturated)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SamplerDefaultRich)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SamplerDefaultSimulated)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SamplerPanelSaturated)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SamplerPanelSaturated2x)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SamplerPanelLight2x)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SamplerPanelSimulated2x)->Unit(benchmark::kMicrosecond);
