// Re-rendering the colour wheel's disc, as every brightness change does: the main window's
// 190 × 190 wheel at ratio 1 and 2, with and without a colour-vision simulation.
#include "bench_app.h"

#include "pickers/ColorWheel.h"

#include <benchmark/benchmark.h>

namespace {

void RenderDisc(benchmark::State& state, TColorVisionType vision, qreal dpr, bool transfer)
{
    benchApplication();
    TColorWheel wheel;
    wheel.resize(190, 190);
    wheel.SetColorVisionType(vision);
    wheel.SetTransferMode(transfer);
    double brightness = 0.5;
    for (auto _ : state) {
        // A different brightness each time, so nothing can be reused from the last round.
        brightness = brightness >= 1 ? 0.5 : brightness + 0.001;
        wheel.SetBrightness(brightness);
        QImage disc = wheel.RenderDisc(dpr);
        benchmark::DoNotOptimize(disc.constBits());
    }
}

void BM_WheelDisc190(benchmark::State& state)
{
    RenderDisc(state, cvtNorm, 1, false);
}
void BM_WheelDisc190Deutan(benchmark::State& state)
{
    RenderDisc(state, cvtDeut, 1, false);
}
void BM_WheelDisc190At2x(benchmark::State& state)
{
    RenderDisc(state, cvtNorm, 2, false);
}
void BM_WheelDisc190DeutanAt2x(benchmark::State& state)
{
    RenderDisc(state, cvtDeut, 2, false);
}
void BM_WheelDisc190Artistic(benchmark::State& state)
{
    RenderDisc(state, cvtNorm, 1, true);
}

} // namespace

BENCHMARK(BM_WheelDisc190)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WheelDisc190Deutan)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WheelDisc190At2x)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WheelDisc190DeutanAt2x)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WheelDisc190Artistic)->Unit(benchmark::kMillisecond);
