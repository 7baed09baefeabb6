// The Harmonies page as the main window drives it while the user drags the wheel: every step
// of the drag is a new base colour, the page rebuilds its scene (circle, harmony, movie),
// the player loads it and paints a frame. An 800 × 600 player shows the 1000 × 1000 stage.
//   harmonies_base_color_change:                the page's start-up look (triad, "Color
//                                               Wheel 2", artistic wheel). Target: one 60 Hz
//                                               frame, under 16 ms.
//   harmonies_base_color_change_circles2_grays: the heaviest look ("Color Circles 2" with its
//                                               180-wedge colour ring, gray tones, marker).
#include "bench_app.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QWidget>

#include "colour/Colors.h"
#include "harmony/ColorTransfer.h"
#include "movie/MoviePlayer.h"
#include "palette/RichColor.h"
#include "workarea/PptStandard.h"

namespace {

void BaseColorChange(benchmark::State& state, const QStringList& settings)
{
    benchApplication();
    QWidget panel;
    panel.resize(650, 104);
    TfrmPptStandard page(&panel);
    page.LoadSettings(settings);
    TRichPalette matching;
    TColorTransfer transfer;
    TMoviePlayer player;
    player.resize(800, 600);
    const QSize scene(1000, 1000);
    double hue = 0;
    for (auto _ : state) {
        // A drag round the wheel: a new hue at every step.
        hue = hue + 7.3 >= 360 ? hue + 7.3 - 360 : hue + 7.3;
        page.SetBaseHSB(THSB {hue, 0.85, 0.9});
        page.BuildScene(&player, scene, QString(), &transfer, &matching);
        QImage frame = player.FrameImage();
        benchmark::DoNotOptimize(frame.constBits());
    }
}

void harmonies_base_color_change(benchmark::State& state)
{
    BaseColorChange(state, {});
}
BENCHMARK(harmonies_base_color_change)->Unit(benchmark::kMillisecond);

void harmonies_base_color_change_circles2_grays(benchmark::State& state)
{
    BaseColorChange(state,
        {QStringLiteral("Harmonies_ColorWheelStyle=1"), QStringLiteral("Harmonies_ShowContrastingColors=1"),
            QStringLiteral("ShowMarker=1")});
}
BENCHMARK(harmonies_base_color_change_circles2_grays)->Unit(benchmark::kMillisecond);

} // namespace
