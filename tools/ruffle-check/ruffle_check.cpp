// Plays a handful of reference scenes in Ruffle, an independent Flash player, and in our
// own player, and compares what they show and do:
//   - pixels away from anti-aliased edges (both pictures flat around the pixel) must agree
//     within a tolerance per channel; texts only roughly (their ink boxes), as the two
//     players rasterise fonts differently;
//   - hovering, pressing and releasing a swatch clip must send the same FSCommands with
//     the same argument, and GetClipName must answer the same.
//
// Usage: korvel_ruffle_check [--keep DIR] [--ruffle DIR] [--tolerance N]
// Exit: 0 all agree, 1 a difference, 77 skipped (no Ruffle checker or no Chromium).

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

#include "movie/MoviePlayer.h"
#include "movie/SwfActions.h"
#include "movie/SwfWriter.h"

using namespace swf;

namespace {

constexpr int kW = 240, kH = 160;
const char* const kFontFile = "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf";

struct TScene {
    QString name;
    bool text = false;  // compare ink boxes instead of pixels
    std::function<void(MovieBuilder&)> build;
};

ShapeStyle Fill(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a = 255) { return ShapeStyle::Filled({r, g, b, a}); }

std::vector<TScene> Scenes()
{
    std::vector<TScene> out;
    out.push_back({"shapes", false, [](MovieBuilder& b) {
                       b.Place(b.AddRectangle(QRectF(10, 10, 100, 60), Fill(200, 40, 40)));
                       b.Place(b.AddPolygon({{130, 10}, {230, 30}, {180, 90}}, Fill(40, 160, 60)));
                       b.Place(b.AddRectangle(QRectF(20, 90, 90, 50),
                                              ShapeStyle::Outlined({250, 220, 60, 255}, 4, {20, 20, 120, 255})));
                   }});
    out.push_back({"curves", false, [](MovieBuilder& b) {
                       b.Place(b.AddCircle({60, 80}, 50, Fill(60, 120, 220)));
                       Path leaf;
                       leaf.MoveTo({130, 30});
                       leaf.CurveTo({200, 0}, {225, 80});
                       leaf.LineTo({190, 140});
                       leaf.CurveTo({120, 120}, {130, 30});
                       b.Place(b.AddPath(leaf, ShapeStyle::Outlined({140, 200, 80, 255}, 2, {0, 0, 0, 255})));
                   }});
    out.push_back({"alpha", false, [](MovieBuilder& b) {
                       b.Place(b.AddRectangle(QRectF(20, 20, 120, 90), Fill(255, 0, 0)));
                       b.Place(b.AddRectangle(QRectF(80, 50, 120, 90), Fill(0, 0, 255, 128)));
                       b.Place(b.AddCircle({190, 40}, 30, Fill(0, 160, 0, 64)));
                   }});
    out.push_back({"lines", false, [](MovieBuilder& b) {
                       b.Place(b.AddPolygon({{20, 20}, {220, 20}}, ShapeStyle{std::nullopt, 6, {0, 0, 0, 255}}));
                       b.Place(b.AddPolygon({{20, 60}, {220, 140}}, ShapeStyle{std::nullopt, 10, {200, 0, 120, 160}}));
                       b.Place(b.AddRectangle(QRectF(40, 80, 60, 50), ShapeStyle{std::nullopt, 8, {0, 120, 200, 255}}));
                   }});
    out.push_back({"sprites", false, [](MovieBuilder& b) {
                       const auto square = b.AddRectangle(QRectF(-30, -30, 60, 60), Fill(200, 120, 40));
                       Timeline inner = b.NewSprite();
                       Placement ip;
                       ip.rotation = 30;
                       inner.Place(square, ip);
                       const auto innerId = b.DefineSprite(std::move(inner));
                       for (int i = 0; i < 3; ++i) {
                           Placement p;
                           p.x = 50 + i * 70;
                           p.y = 80;
                           p.scaleX = p.scaleY = 1.0 - i * 0.2;
                           p.colorTransform = ColorTransform{};
                           p.colorTransform->hasMult = true;
                           p.colorTransform->rMult = static_cast<std::int16_t>(256 - i * 100);
                           p.colorTransform->aMult = static_cast<std::int16_t>(256 - i * 60);
                           p.colorTransform->hasAdd = true;
                           p.colorTransform->bAdd = static_cast<std::int16_t>(i * 80);
                           b.Place(innerId, p);
                       }
                   }});
    out.push_back({"button", false, [](MovieBuilder& b) {
                       const auto up = b.AddRectangle(QRectF(40, 40, 160, 80), Fill(90, 90, 200));
                       const auto over = b.AddRectangle(QRectF(40, 40, 160, 80), Fill(200, 90, 90));
                       std::vector<ButtonRecord> records(2);
                       records[0].states = bsUp | bsHitTest;
                       records[0].characterId = up;
                       records[1].states = bsOver | bsDown;
                       records[1].characterId = over;
                       b.Place(b.DefineButton(records, FSCommandActions(QStringLiteral("CM_03"), QStringLiteral("#C1_0002"))));
                   }});
    out.push_back({"text", true, [](MovieBuilder& b) {
                       TextStyle s;
                       s.font = QStringLiteral("Arial");
                       s.size = 24;
                       s.color = {20, 20, 20, 255};
                       s.centred = true;
                       const TextInfo t = b.AddText(QStringLiteral("Korvel 4"), s);
                       Placement p;
                       p.x = 120;
                       p.y = 60;
                       b.Place(t.id, p);
                   }});
    out.push_back({"text-turned", true, [](MovieBuilder& b) {
                       TextStyle s;
                       s.font = QStringLiteral("Arial");
                       s.size = 22;
                       s.color = {200, 0, 0, 255};
                       s.centred = true;
                       const TextInfo t = b.AddText(QStringLiteral("Harmonies"), s);
                       Placement p;
                       p.x = 120;
                       p.y = 30;
                       p.rotation = 35;
                       b.Place(t.id, p);
                   }});
    return out;
}

// The swatch scene of the pages: clips with the five clip events and GetClipName.
QByteArray InteractiveMovie()
{
    MovieBuilder b;
    b.CreateMovie(kW, kH, 12, 8);
    b.SetBackgroundColor({255, 255, 255, 255});
    const QString names[] = {QStringLiteral("#SW_0001_#FF8000"), QStringLiteral("#SW_0002_#3366CC")};
    const std::uint16_t shapes[] = {b.AddCircle({60, 80}, 40, Fill(255, 128, 0)),
                                    b.AddRectangle(QRectF(130, 40, 80, 80), Fill(51, 102, 204))};
    for (int i = 0; i < 2; ++i) {
        Placement p;
        p.name = names[i];
        const char* commands[] = {"CM_01", "CM_02", "CM_03", "CM_04", "CM_05"};
        const std::uint32_t events[] = {ceRollOver, ceRollOut, cePress, ceRelease, ceReleaseOutside};
        for (int k = 0; k < 5; ++k)
            p.clipActions.push_back(FSCommandClipAction(events[k], QString::fromLatin1(commands[k]), names[i]));
        b.Place(b.WrapInSprite(shapes[i]), p);
    }
    b.AddActions(GetClipNameActions(true));
    return b.FinishToBytes();
}

QImage RenderOurs(const QByteArray& bytes)
{
    TMovieStage stage;
    stage.Load(bytes);
    QImage img(kW, kH, QImage::Format_ARGB32_Premultiplied);
    const auto bg = stage.MovieBackground().value_or(Rgba{255, 255, 255, 255});
    img.fill(QColor(bg.r, bg.g, bg.b));
    QPainter p(&img);
    stage.Render(p, QTransform::fromScale(0.05, 0.05));
    p.end();
    return img.convertToFormat(QImage::Format_RGB32);
}

bool Flat(const QImage& img, int x, int y, int spread)
{
    const QRgb c = img.pixel(x, y);
    for (int dy = -spread; dy <= spread; ++dy)
        for (int dx = -spread; dx <= spread; ++dx) {
            const QRgb o = img.pixel(x + dx, y + dy);
            if (std::abs(qRed(o) - qRed(c)) > 2 || std::abs(qGreen(o) - qGreen(c)) > 2 || std::abs(qBlue(o) - qBlue(c)) > 2)
                return false;
        }
    return true;
}

QRect Ink(const QImage& img)
{
    const QRgb bg = img.pixel(0, 0);
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = img.pixel(x, y);
            if (std::abs(qRed(c) - qRed(bg)) + std::abs(qGreen(c) - qGreen(bg)) + std::abs(qBlue(c) - qBlue(bg)) > 90)
                box |= QRect(x, y, 1, 1);
        }
    return box;
}

struct TRuffle {
    QString dir;
    QString chromium;
    bool Run(const QStringList& args, QByteArray& out, QString& error) const
    {
        QProcess p;
        p.setProgram(QStringLiteral("node"));
        QStringList all{dir + QStringLiteral("/render.js")};
        all << args << QStringLiteral("--renderer") << QStringLiteral("canvas") << QStringLiteral("--font")
            << QString::fromLatin1(kFontFile) << QStringLiteral("--default-font") << QStringLiteral("sans=Liberation Sans");
        p.setArguments(all);
        p.start();
        if (!p.waitForFinished(180000)) {
            error = QStringLiteral("Ruffle did not finish");
            p.kill();
            return false;
        }
        out = p.readAllStandardOutput();
        if (p.exitCode() != 0) {
            error = QString::fromUtf8(p.readAllStandardError()).trimmed();
            return false;
        }
        return true;
    }
};

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QString keep;
    TRuffle ruffle{qEnvironmentVariable("KORVEL_RUFFLE_DIR", QStringLiteral("/work/ruffle")),
                   qEnvironmentVariable("CHROMIUM_PATH", QStringLiteral("/usr/bin/chromium"))};
    int tolerance = 8;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == QLatin1String("--keep"))
            keep = args[++i];
        else if (args[i] == QLatin1String("--ruffle"))
            ruffle.dir = args[++i];
        else if (args[i] == QLatin1String("--tolerance"))
            tolerance = args[++i].toInt();
    }
    if (!QFile::exists(ruffle.dir + QStringLiteral("/render.js")) || !QFile::exists(ruffle.dir + QStringLiteral("/node_modules"))) {
        std::printf("SKIPPED: the Ruffle checker is not installed in %s (make test installs it with "
                    "scripts/install-ruffle.sh)\n",
                    qPrintable(ruffle.dir));
        return 77;
    }
    if (!QFile::exists(ruffle.chromium)) {
        std::printf("SKIPPED: no Chromium at %s for the Ruffle checker\n", qPrintable(ruffle.chromium));
        return 77;
    }
    if (!QFile::exists(QString::fromLatin1(kFontFile))) {
        std::printf("SKIPPED: %s is missing (fonts-liberation)\n", kFontFile);
        return 77;
    }
    QTemporaryDir temp;
    const QString dir = keep.isEmpty() ? temp.path() : keep;
    QDir().mkpath(dir);

    int failures = 0;
    int passed = 0;
    // Pictures: one batch of movies in one browser.
    const std::vector<TScene> scenes = Scenes();
    QFile jobs(dir + QStringLiteral("/jobs.txt"));
    if (!jobs.open(QIODevice::WriteOnly)) {
        std::printf("FAIL: cannot write %s\n", qPrintable(jobs.fileName()));
        return 1;
    }
    std::vector<QImage> ours;
    for (const TScene& scene : scenes) {
        MovieBuilder b;
        b.CreateMovie(kW, kH, 12, 8);
        b.SetBackgroundColor({255, 255, 255, 255});
        scene.build(b);
        const QByteArray bytes = b.FinishToBytes();
        QFile f(dir + QLatin1Char('/') + scene.name + QStringLiteral(".swf"));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        f.close();
        ours.push_back(RenderOurs(bytes));
        ours.back().save(dir + QLatin1Char('/') + scene.name + QStringLiteral("-korvel.png"));
        jobs.write(QStringLiteral("%1/%2.swf %1/%2-ruffle.png %3 %4\n").arg(dir, scene.name).arg(kW).arg(kH).toUtf8());
    }
    jobs.close();
    QByteArray report;
    QString error;
    if (!ruffle.Run({QStringLiteral("--batch"), jobs.fileName()}, report, error)) {
        std::printf("FAIL: Ruffle could not render the scenes: %s\n", qPrintable(error));
        return 1;
    }
    for (std::size_t i = 0; i < scenes.size(); ++i) {
        const TScene& scene = scenes[i];
        QImage theirs(dir + QLatin1Char('/') + scene.name + QStringLiteral("-ruffle.png"));
        if (theirs.isNull() || theirs.size() != ours[i].size()) {
            std::printf("FAIL %-12s Ruffle's picture is missing or of another size\n", qPrintable(scene.name));
            ++failures;
            continue;
        }
        theirs = theirs.convertToFormat(QImage::Format_RGB32);
        if (scene.text) {
            const QRect a = Ink(ours[i]), r = Ink(theirs);
            const int d = std::max({std::abs(a.left() - r.left()), std::abs(a.right() - r.right()),
                                    std::abs(a.top() - r.top()), std::abs(a.bottom() - r.bottom())});
            const bool ok = !a.isEmpty() && !r.isEmpty() && d <= 6;
            std::printf("%s %-12s ink box ours (%d,%d %dx%d) Ruffle (%d,%d %dx%d), largest edge difference %d px\n",
                        ok ? "ok  " : "FAIL", qPrintable(scene.name), a.x(), a.y(), a.width(), a.height(), r.x(), r.y(),
                        r.width(), r.height(), d);
            ok ? ++passed : ++failures;
            continue;
        }
        int compared = 0, differing = 0, worst = 0;
        QPoint worstAt;
        for (int y = 2; y < kH - 2; ++y)
            for (int x = 2; x < kW - 2; ++x) {
                if (!Flat(ours[i], x, y, 2) || !Flat(theirs, x, y, 2))
                    continue;
                ++compared;
                const QRgb a = ours[i].pixel(x, y), r = theirs.pixel(x, y);
                const int d = std::max({std::abs(qRed(a) - qRed(r)), std::abs(qGreen(a) - qGreen(r)), std::abs(qBlue(a) - qBlue(r))});
                if (d > worst) {
                    worst = d;
                    worstAt = {x, y};
                }
                if (d > tolerance)
                    ++differing;
            }
        const bool ok = compared > kW * kH / 3 && differing == 0;
        std::printf("%s %-12s %d flat pixels compared, %d beyond ±%d, largest difference %d at (%d,%d)\n", ok ? "ok  " : "FAIL",
                    qPrintable(scene.name), compared, differing, tolerance, worst, worstAt.x(), worstAt.y());
        ok ? ++passed : ++failures;
    }

    // Behaviour: the same gestures in both players.
    const QByteArray interactive = InteractiveMovie();
    const QString swf = dir + QStringLiteral("/interactive.swf");
    {
        QFile f(swf);
        f.open(QIODevice::WriteOnly);
        f.write(interactive);
    }
    struct TStep {
        const char* kind;
        QPointF at;
    };
    const std::vector<TStep> steps = {{"move", {60, 80}}, {"down", {60, 80}}, {"up", {60, 80}},
                                      {"move", {170, 80}}, {"down", {170, 80}}, {"up", {60, 80}},
                                      {"move", {150, 60}}};
    QStringList ruffleArgs{swf, QStringLiteral("--no-shot")};
    for (const TStep& s : steps)
        ruffleArgs << QStringLiteral("--%1").arg(QLatin1String(s.kind)) << QStringLiteral("%1,%2").arg(s.at.x()).arg(s.at.y());
    ruffleArgs << QStringLiteral("--call") << QStringLiteral("GetClipName()");
    if (!ruffle.Run(ruffleArgs, report, error)) {
        std::printf("FAIL interactive: Ruffle could not play it: %s\n", qPrintable(error));
        return 1;
    }
    const QJsonObject json = QJsonDocument::fromJson(report).object();
    QStringList theirCommands;
    for (const QJsonValue& c : json.value(QStringLiteral("fscommands")).toArray())
        theirCommands << c.toObject().value(QStringLiteral("command")).toString() + QLatin1Char(' ') +
                             c.toObject().value(QStringLiteral("args")).toString();
    QString theirAnswer;
    for (const QJsonValue& s : json.value(QStringLiteral("steps")).toArray())
        if (s.toObject().value(QStringLiteral("action")).toString() == QLatin1String("call"))
            theirAnswer = s.toObject().value(QStringLiteral("value")).toVariant().toString();

    TMovieStage stage;
    stage.Load(interactive);
    QStringList ourCommands;
    stage.onFSCommand = [&](const QString& c, const QString& a) { ourCommands << c + QLatin1Char(' ') + a; };
    for (const TStep& s : steps) {
        if (QLatin1String(s.kind) == QLatin1String("move"))
            stage.MouseMove(s.at);
        else if (QLatin1String(s.kind) == QLatin1String("down")) {
            stage.MouseMove(s.at);
            stage.MouseDown(s.at);
        } else {
            stage.MouseMove(s.at);
            stage.MouseUp(s.at);
        }
    }
    QString ourAnswer = stage.CallFunction(QStringLiteral("<invoke name=\"GetClipName\" returntype=\"xml\"/>"));
    ourAnswer.remove(QStringLiteral("<string>")).remove(QStringLiteral("</string>"));
    const bool sameCommands = ourCommands == theirCommands && !ourCommands.isEmpty();
    std::printf("%s %-12s FSCommands ours [%s]\n%17s Ruffle [%s]\n", sameCommands ? "ok  " : "FAIL", "clip events",
                qPrintable(ourCommands.join(QStringLiteral(", "))), "", qPrintable(theirCommands.join(QStringLiteral(", "))));
    sameCommands ? ++passed : ++failures;
    const bool sameAnswer = ourAnswer == theirAnswer && !ourAnswer.isEmpty();
    std::printf("%s %-12s GetClipName ours \"%s\", Ruffle \"%s\"\n", sameAnswer ? "ok  " : "FAIL", "call",
                qPrintable(ourAnswer), qPrintable(theirAnswer));
    sameAnswer ? ++passed : ++failures;
    if (!json.value(QStringLiteral("warnings")).toArray().isEmpty())
        std::printf("note: Ruffle warned: %s\n",
                    QJsonDocument(json.value(QStringLiteral("warnings")).toArray()).toJson(QJsonDocument::Compact).constData());
    std::printf("%d passed, %d failed\n", passed, failures);
    return failures == 0 ? 0 : 1;
}
