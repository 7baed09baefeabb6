// The player on the busiest scene a page builds: 72 × 12 ring sectors, each a named
// sprite with the five clip events, with the detailed GetClipName callback.
//   MovieLoadAndRender: parse the bytes and draw the first frame into an 800 × 600 player.
//   MovieRender:        draw again (paths cached).
//   MovieGetClipName:   one "GetClipName" call after a mouse move, at points on and off
//                       the sectors.
#include "bench_app.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>

#include <cmath>
#include <numbers>

#include "movie/MoviePlayer.h"
#include "movie/SwfActions.h"
#include "movie/SwfWriter.h"

namespace {

constexpr int kSegments = 72;
constexpr int kRings = 12;
const QPointF kCentre(400, 300);
constexpr double kInner = 40, kRingWidth = 21;

// A sector as the scene routines draw it: arcs of quadratic pieces of at most 45°.
swf::Path Sector(double a0, double a1, double r0, double r1)
{
    auto at = [](double r, double deg) {
        const double rad = deg * std::numbers::pi / 180.0;
        return QPointF(kCentre.x() + r * std::cos(rad), kCentre.y() + r * std::sin(rad));
    };
    const int pieces = std::max(1, static_cast<int>(std::ceil((a1 - a0) / 45.0)));
    const double step = (a1 - a0) / pieces;
    const double k = 1.0 / std::cos(step / 2 * std::numbers::pi / 180.0);
    swf::Path p;
    p.MoveTo(at(r1, a0));
    for (int i = 0; i < pieces; ++i)
        p.CurveTo(at(r1 * k, a0 + (i + 0.5) * step), at(r1, a0 + (i + 1) * step));
    p.LineTo(at(r0, a1));
    for (int i = pieces; i > 0; --i)
        p.CurveTo(at(r0 * k, a0 + (i - 0.5) * step), at(r0, a0 + (i - 1) * step));
    p.Close();
    return p;
}

const QByteArray& SceneBytes()
{
    static const QByteArray bytes = [] {
        using namespace swf;
        MovieBuilder b;
        b.CreateMovie(800, 600, 12, 8);
        b.SetBackgroundColor({255, 255, 255, 255});
        int n = 0;
        for (int ring = 0; ring < kRings; ++ring)
            for (int seg = 0; seg < kSegments; ++seg) {
                const double step = 360.0 / kSegments;
                const QColor c = QColor::fromHsvF(seg / double(kSegments), 0.3 + 0.7 * ring / kRings, 1.0);
                const Rgba fill{static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
                                static_cast<std::uint8_t>(c.blue()), 255};
                const double r0 = kInner + ring * kRingWidth;
                const auto shape = b.AddPath(Sector(seg * step - step / 2, seg * step + step / 2, r0, r0 + kRingWidth),
                                             ShapeStyle::Outlined(fill, 1, Rgba{64, 64, 64, 255}));
                Placement p;
                p.name = QStringLiteral("#SW_%1_#%2%3%4")
                             .arg(++n, 4, 10, QLatin1Char('0'))
                             .arg(fill.r, 2, 16, QLatin1Char('0'))
                             .arg(fill.g, 2, 16, QLatin1Char('0'))
                             .arg(fill.b, 2, 16, QLatin1Char('0'))
                             .toUpper();
                const char* commands[] = {"CM_01", "CM_02", "CM_03", "CM_04", "CM_05"};
                const std::uint32_t events[] = {ceRollOver, ceRollOut, cePress, ceRelease, ceReleaseOutside};
                for (int i = 0; i < 5; ++i)
                    p.clipActions.push_back(FSCommandClipAction(events[i], QString::fromLatin1(commands[i]), p.name));
                b.Place(b.WrapInSprite(shape), p);
            }
        b.AddActions(GetClipNameActions(true));
        return b.FinishToBytes();
    }();
    return bytes;
}

void MovieLoadAndRender(benchmark::State& state)
{
    benchApplication();
    TMoviePlayer player;
    player.resize(800, 600);
    const QByteArray& bytes = SceneBytes();
    for (auto _ : state) {
        player.LoadMovie(0, bytes);
        QImage frame = player.FrameImage();
        benchmark::DoNotOptimize(frame.constBits());
    }
    state.counters["clips"] = static_cast<double>(player.Stage().Level(0)->children.size());
}
BENCHMARK(MovieLoadAndRender)->Unit(benchmark::kMillisecond);

void MovieRender(benchmark::State& state)
{
    benchApplication();
    TMoviePlayer player;
    player.resize(800, 600);
    player.LoadMovie(0, SceneBytes());
    QImage frame(800, 600, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        frame = player.FrameImage();
        benchmark::DoNotOptimize(frame.constBits());
    }
}
BENCHMARK(MovieRender)->Unit(benchmark::kMillisecond);

void MovieGetClipName(benchmark::State& state)
{
    benchApplication();
    TMoviePlayer player;
    player.resize(800, 600);
    player.LoadMovie(0, SceneBytes());
    // Points on every ring and between them, and off the wheel.
    std::vector<QPointF> points;
    for (int i = 0; i < 64; ++i) {
        const double a = i * 2.399963;  // golden angle: spread over the wheel
        const double r = 20 + (i * 37) % 300;
        points.emplace_back(kCentre.x() + r * std::cos(a), kCentre.y() + r * std::sin(a));
    }
    const QString request = QStringLiteral("<invoke name=\"GetClipName\" returntype=\"xml\"/>");
    swf::TMovieStage& stage = player.Stage();
    std::size_t i = 0, named = 0;
    for (auto _ : state) {
        stage.MouseMove(points[i++ % points.size()]);
        const QString answer = stage.CallFunction(request);
        named += answer.size() > 20;
        benchmark::DoNotOptimize(answer.constData());
    }
    state.counters["hit_share"] = static_cast<double>(named) / static_cast<double>(std::max<std::size_t>(i, 1));
}
BENCHMARK(MovieGetClipName)->Unit(benchmark::kMicrosecond);

// The call alone, the pointer resting where it is.
void MovieGetClipNameOnly(benchmark::State& state)
{
    benchApplication();
    TMoviePlayer player;
    player.resize(800, 600);
    player.LoadMovie(0, SceneBytes());
    swf::TMovieStage& stage = player.Stage();
    stage.MouseMove(QPointF(kCentre.x() + 150, kCentre.y() + 10));
    const QString request = QStringLiteral("<invoke name=\"GetClipName\" returntype=\"xml\"/>");
    for (auto _ : state) {
        const QString answer = stage.CallFunction(request);
        benchmark::DoNotOptimize(answer.constData());
    }
}
BENCHMARK(MovieGetClipNameOnly)->Unit(benchmark::kMicrosecond);

}  // namespace
