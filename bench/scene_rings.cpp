// Scenes as a page builds and shows them, in an 800 × 600 player:
//   SceneRings864:         72 × 12 interactive ring sectors (each a named sprite with the five
//                          clip events) and the detailed GetClipName: build, serialise, parse,
//                          draw. Target: under 16 ms.
//   SceneRings864_Build, _Serialise, _Load, _Draw: the same, one step at a time.
//   SceneHarmonies:        twelve wedges with rims, twelve grey dots and a marker, built,
//                          serialised, parsed and drawn. Target: under 3 ms.
//   SceneGetClipName:      one GetClipName after a mouse move on the 864-sector scene, at
//                          points on and off the sectors. Target: under 50 µs. Its halves:
//                          _MoveOnly (the mouse move) and _CallOnly (the script call).
#include "bench_app.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>

#include <cmath>
#include <numbers>

#include "harmony/ColorTransfer.h"
#include "movie/MoviePlayer.h"
#include "palette/RichColor.h"
#include "workarea/ClipNames.h"
#include "workarea/Scene.h"
#include "workarea/SceneRoutines.h"

namespace {

constexpr int kSegments = 72;
constexpr int kRings = 12;
const QSize kPlayer(800, 600);

const TRichPalette& RingColours()
{
    static TRichPalette* palette = [] {
        auto* p = new TRichPalette;
        TColorTransfer transfer;
        p->AddColorRings(kSegments, kRings, false, 4, 0.8, 30, 0.9, 0.95, false, &transfer);
        return p;
    }();
    return *palette;
}

// The 864-sector scene the way a colour-ring page lays it out on an 800 × 600 stage.
void DrawRings(TScene& scene)
{
    const QPointF centre(400, 300);
    const double outer = 270, inner = 40, t = (outer - inner) / kRings;
    for (int r = 0; r < kRings; ++r)
        DrawColorRing(scene, true, cvtNorm, true, clBlack, r * kSegments, RingColours(), rsSector, -90, 0, 0, 0,
                      kSegments, std::round(inner + t * (r + 1)), std::round(inner + t * r), centre);
    scene.AddGetClipName(TClipNameVariant::Detailed);
}

QByteArray RingSceneBytes()
{
    TScene scene(QSizeF(kPlayer), true);
    DrawRings(scene);
    return scene.FinishToBytes();
}

TMoviePlayer& Player()
{
    benchApplication();
    static TMoviePlayer* player = [] {
        auto* p = new TMoviePlayer;
        p->resize(kPlayer);
        return p;
    }();
    return *player;
}

void SceneRings864(benchmark::State& state)
{
    TMoviePlayer& player = Player();
    for (auto _ : state) {
        TScene scene(QSizeF(kPlayer), true);
        DrawRings(scene);
        scene.FinishToPlayer(player, 0, 0);
        QImage frame = player.FrameImage();
        benchmark::DoNotOptimize(frame.constBits());
    }
}
BENCHMARK(SceneRings864)->Unit(benchmark::kMillisecond);

void SceneRings864_Build(benchmark::State& state)
{
    benchApplication();
    for (auto _ : state) {
        TScene scene(QSizeF(kPlayer), true);
        DrawRings(scene);
        benchmark::DoNotOptimize(scene.Finish().tags.size());
    }
}
BENCHMARK(SceneRings864_Build)->Unit(benchmark::kMillisecond);

void SceneRings864_Serialise(benchmark::State& state)
{
    benchApplication();
    TScene scene(QSizeF(kPlayer), true);
    DrawRings(scene);
    const swf::Movie& movie = scene.Finish();
    for (auto _ : state)
        benchmark::DoNotOptimize(swf::WriteMovie(movie).size());
    state.counters["bytes"] = static_cast<double>(swf::WriteMovie(movie).size());
}
BENCHMARK(SceneRings864_Serialise)->Unit(benchmark::kMillisecond);

void SceneRings864_Load(benchmark::State& state)
{
    TMoviePlayer& player = Player();
    const QByteArray bytes = RingSceneBytes();
    for (auto _ : state)
        benchmark::DoNotOptimize(player.LoadMovie(0, bytes));
}
BENCHMARK(SceneRings864_Load)->Unit(benchmark::kMillisecond);

void SceneRings864_Draw(benchmark::State& state)
{
    TMoviePlayer& player = Player();
    const QByteArray bytes = RingSceneBytes();
    for (auto _ : state) {
        state.PauseTiming();
        player.LoadMovie(0, bytes);  // a fresh load: no shapes cached yet, as after a rebuild
        state.ResumeTiming();
        QImage frame = player.FrameImage();
        benchmark::DoNotOptimize(frame.constBits());
    }
}
BENCHMARK(SceneRings864_Draw)->Unit(benchmark::kMillisecond);

// The Harmonies page's wheel on its 1000 × 1000 logical stage, shown whole in the player.
void SceneHarmonies(benchmark::State& state)
{
    TMoviePlayer& player = Player();
    TRichPalette palette;
    TColorTransfer transfer;
    palette.AddHueCircle(12, false, cvtNorm, true, &transfer, 30, 0.9, 0.95);
    palette.AddHueCircle(12, false, cvtNorm, false, &transfer, 30, 0.05, 0.6);
    const QPointF centre(500, 500);
    const double ro = std::round(1000 / 2.25), ri = std::round(ro * 0.5);
    for (auto _ : state) {
        TScene scene(QSizeF(1000, 1000), true);
        DrawColorRing(scene, true, cvtNorm, true, clBlack, 0, palette, rsSector, -90, 6, 4, 1, 12, ro, ri, centre);
        DrawColorDots(scene, true, cvtNorm, false, clBlack, 12, palette, -90, 1, 12, 14, std::round(ri * 0.85),
                      centre);
        swf::Path marker;
        DrawRegularPolygon(marker, QPointF(500, 500 - ro - 10), 20, 90, 3);
        scene.AddShape(marker, swf::ShapeStyle::Outlined({255, 255, 255, 255}, 4, {0, 0, 0, 255}));
        scene.AddGetClipName(TClipNameVariant::Detailed);
        scene.FinishToPlayer(player, 0, 0);
        QImage frame = player.FrameImage();
        benchmark::DoNotOptimize(frame.constBits());
    }
}
BENCHMARK(SceneHarmonies)->Unit(benchmark::kMillisecond);

void SceneGetClipName(benchmark::State& state)
{
    TMoviePlayer& player = Player();
    player.SetScaleMode(0);
    player.SetAlignMode(0);
    player.LoadMovie(0, RingSceneBytes());
    // On a sector of the outermost ring, in the hole, on an inner ring, off the wheel.
    const QPoint points[] = {{400, 40}, {400, 300}, {520, 300}, {10, 10}};
    std::size_t i = 0;
    for (auto _ : state) {
        QString name = GetClipNameAt(player, points[i++ % std::size(points)]);
        benchmark::DoNotOptimize(name.size());
    }
}
BENCHMARK(SceneGetClipName)->Unit(benchmark::kMicrosecond);

}  // namespace

namespace {

// The two halves of SceneGetClipName: the mouse move (the player finds what is under the
// pointer and sends roll events) and the script call alone, at a point on a sector.
void SceneGetClipName_MoveOnly(benchmark::State& state)
{
    TMoviePlayer& player = Player();
    player.LoadMovie(0, RingSceneBytes());
    const QPoint points[] = {{400, 40}, {520, 300}};
    std::size_t i = 0;
    for (auto _ : state)
        player.SendMouseMove(points[i++ % std::size(points)]);
}
BENCHMARK(SceneGetClipName_MoveOnly)->Unit(benchmark::kMicrosecond);

void SceneGetClipName_CallOnly(benchmark::State& state)
{
    TMoviePlayer& player = Player();
    player.LoadMovie(0, RingSceneBytes());
    player.SendMouseMove(QPoint(400, 40));
    const QString request = QString::fromLatin1(kGetClipNameRequest);
    for (auto _ : state) {
        QString answer = player.CallFunction(request);
        benchmark::DoNotOptimize(answer.size());
    }
}
BENCHMARK(SceneGetClipName_CallOnly)->Unit(benchmark::kMicrosecond);

}  // namespace
