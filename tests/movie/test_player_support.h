#pragma once
// Helpers shared by the player and renderer tests: an application object for widgets and
// fonts, movies built from raw shape records, and pixel checks.

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <cmath>
#include <cstdlib>

#include "movie/MoviePlayer.h"
#include "movie/SwfActions.h"
#include "movie/SwfWriter.h"

namespace playertest {

// Widgets and device fonts need a QApplication; gtest_main does not make one.
inline void EnsureApp()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "korvel_movie_tests";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

inline std::int32_t Tw(double pixels) { return static_cast<std::int32_t>(std::lround(pixels * 20.0)); }

// A movie of W x H pixels whose main timeline holds the given tags in one frame.
inline swf::Movie MovieOf(std::vector<swf::Tag> tags, int width = 100, int height = 100, int version = 8)
{
    swf::Movie m;
    m.header.version = version;
    m.header.frameRect = {0, Tw(width), 0, Tw(height)};
    m.tags = std::move(tags);
    m.tags.push_back(swf::Tag::Make(swf::ShowFrame{}));
    m.tags.push_back(swf::Tag::Make(swf::End{}));
    return m;
}

inline swf::Tag Shape(std::uint16_t id, std::vector<swf::ShapeRecord> records, std::vector<swf::FillStyle> fills,
                      std::vector<swf::LineStyle> lines = {})
{
    swf::ShapeDef s;
    s.id = id;
    s.shapeVersion = 3;
    s.fillStyles = std::move(fills);
    s.lineStyles = std::move(lines);
    s.records = std::move(records);
    // Bounds from the pen positions, which is all these tests need.
    std::int32_t x = 0, y = 0;
    s.bounds = {1 << 30, -(1 << 30), 1 << 30, -(1 << 30)};
    auto grow = [&] {
        s.bounds.xMin = std::min(s.bounds.xMin, x);
        s.bounds.xMax = std::max(s.bounds.xMax, x);
        s.bounds.yMin = std::min(s.bounds.yMin, y);
        s.bounds.yMax = std::max(s.bounds.yMax, y);
    };
    for (const swf::ShapeRecord& r : s.records) {
        if (r.kind == swf::ShapeRecordKind::StyleChange) {
            if (r.hasMove) {
                x = r.moveX;
                y = r.moveY;
                grow();
            }
        } else {
            x += r.dx;
            y += r.dy;
            grow();
            x += r.anchorDx;
            y += r.anchorDy;
            grow();
        }
    }
    return swf::Tag::Make(s);
}

inline swf::Tag Place(std::uint16_t id, std::uint16_t depth, double x = 0, double y = 0, const QString& name = {})
{
    swf::PlaceObject p;
    p.placeVersion = 2;
    p.depth = depth;
    p.characterId = id;
    p.matrix = swf::Matrix::Make(Tw(x), Tw(y));
    if (!name.isEmpty())
        p.name = name;
    return swf::Tag::Make(p);
}

// A style change record: move and the fill and line styles given (negative: unchanged).
inline swf::ShapeRecord Style(double x, double y, int fill0, int fill1, int line = -1)
{
    swf::ShapeRecord r = swf::ShapeRecord::MoveTo(Tw(x), Tw(y));
    if (fill0 >= 0) {
        r.hasFill0 = true;
        r.fill0 = static_cast<std::uint32_t>(fill0);
    }
    if (fill1 >= 0) {
        r.hasFill1 = true;
        r.fill1 = static_cast<std::uint32_t>(fill1);
    }
    if (line >= 0) {
        r.hasLine = true;
        r.line = static_cast<std::uint32_t>(line);
    }
    return r;
}

inline swf::ShapeRecord Line(double dx, double dy) { return swf::ShapeRecord::Line(Tw(dx), Tw(dy)); }

// The stage drawn at one device pixel per stage pixel on white (or the given colour).
inline QImage Render(swf::TMovieStage& stage, QSize size, QColor background = Qt::white)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(background);
    QPainter p(&image);
    stage.Render(p, QTransform::fromScale(0.05, 0.05));
    p.end();
    return image;
}

inline bool Near(QRgb a, QColor b, int tolerance = 3)
{
    return std::abs(qRed(a) - b.red()) <= tolerance && std::abs(qGreen(a) - b.green()) <= tolerance &&
           std::abs(qBlue(a) - b.blue()) <= tolerance;
}

inline QString Hex(QRgb c) { return QColor(c).name(); }

// Pixels that differ from the background in a rectangle: the ink of a text.
inline int InkCount(const QImage& image, const QRect& area, QColor background = Qt::white, int threshold = 60)
{
    int n = 0;
    const QRect r = area & image.rect();
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QRgb c = image.pixel(x, y);
            if (std::abs(qRed(c) - background.red()) + std::abs(qGreen(c) - background.green()) +
                    std::abs(qBlue(c) - background.blue()) >
                threshold)
                ++n;
        }
    return n;
}

inline QRect InkBox(const QImage& image, QColor background = Qt::white, int threshold = 60)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            if (std::abs(qRed(c) - background.red()) + std::abs(qGreen(c) - background.green()) +
                    std::abs(qBlue(c) - background.blue()) >
                threshold)
                box |= QRect(x, y, 1, 1);
        }
    return box;
}

// The interactive swatch scene our pages build: named one-frame sprites with the five
// clip events, and the GetClipName callback.
struct TSwatch {
    QString name;
    QRectF rect;  // for rectangles; circles use centre and radius below
    bool circle = false;
    QPointF centre;
    double radius = 0;
    swf::Rgba colour;
};

inline QByteArray SwatchMovie(const std::vector<TSwatch>& swatches, bool detailed, int version = 8, int width = 300,
                              int height = 200)
{
    using namespace swf;
    MovieBuilder b;
    b.CreateMovie(width, height, 12, version);
    b.SetBackgroundColor({255, 255, 255, 255});
    for (const TSwatch& s : swatches) {
        const std::uint16_t shape = s.circle ? b.AddCircle(s.centre, s.radius, ShapeStyle::Filled(s.colour))
                                             : b.AddRectangle(s.rect, ShapeStyle::Filled(s.colour));
        Placement p;
        p.name = s.name;
        const char* commands[] = {"CM_01", "CM_02", "CM_03", "CM_04", "CM_05"};
        const std::uint32_t events[] = {ceRollOver, ceRollOut, cePress, ceRelease, ceReleaseOutside};
        for (int i = 0; i < 5; ++i)
            p.clipActions.push_back(FSCommandClipAction(events[i], QString::fromLatin1(commands[i]), s.name, version));
        b.Place(b.WrapInSprite(shape), p);
    }
    b.AddActions(GetClipNameActions(detailed, version));
    return b.FinishToBytes();
}

inline QString Invoke(const QString& name) { return QStringLiteral("<invoke name=\"%1\" returntype=\"xml\"/>").arg(name); }

}  // namespace playertest
