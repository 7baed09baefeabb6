// The renderer: fills on both sides of edges, curves, alpha, strokes, colour transforms,
// masks, the drop shadow, device-font texts, bounds and hit tests.

#include <gtest/gtest.h>

#include "movie/SwfRenderer.h"
#include "test_player_support.h"

using namespace playertest;
using namespace swf;

namespace {

const Rgba kRed{255, 0, 0, 255};
const Rgba kBlue{0, 0, 255, 255};

struct TFillCase {
    const char* name;
    std::vector<ShapeRecord> records;
    std::vector<FillStyle> fills;
    // Points and the colour expected there (white: nothing drawn).
    std::vector<std::pair<QPoint, QColor>> expect;
};

// Every way an SWF shape may state the same areas must fill the same pixels.
TEST(SwfRenderer, FillStylesOnBothSidesOfEdges)
{
    const std::vector<FillStyle> redBlue{FillStyle::Solid(kRed), FillStyle::Solid(kBlue)};
    const std::vector<TFillCase> cases = {
        {"clockwise square, fill on the right (fill1)",
         {Style(20, 20, -1, 1), Line(60, 0), Line(0, 60), Line(-60, 0), Line(0, -60)},
         redBlue,
         {{{50, 50}, Qt::red}, {{10, 10}, Qt::white}, {{85, 50}, Qt::white}}},
        {"counter-clockwise square, fill on the left (fill0) is reversed",
         {Style(20, 20, 1, -1), Line(0, 60), Line(60, 0), Line(0, -60), Line(-60, 0)},
         redBlue,
         {{{50, 50}, Qt::red}, {{10, 10}, Qt::white}}},
        {"a hole by even-odd: outer and inner outline in one style",
         {Style(10, 10, -1, 1), Line(80, 0), Line(0, 80), Line(-80, 0), Line(0, -80), Style(30, 30, -1, 1),
          Line(40, 0), Line(0, 40), Line(-40, 0), Line(0, -40)},
         redBlue,
         {{{20, 20}, Qt::red}, {{50, 50}, Qt::white}, {{80, 80}, Qt::red}}},
        {"edges given out of order still close",
         {Style(80, 20, -1, 1), Line(0, 60), Style(20, 20, -1, 1), Line(60, 0), Style(20, 80, -1, 1), Line(0, -60),
          Style(80, 80, -1, 1), Line(-60, 0)},
         redBlue,
         {{{50, 50}, Qt::red}, {{10, 50}, Qt::white}}},
    };
    for (const TFillCase& c : cases) {
        SCOPED_TRACE(c.name);
        TMovieStage stage;
        stage.Load(MovieOf({Shape(1, c.records, c.fills), Place(1, 1)}));
        const QImage img = Render(stage, {100, 100});
        for (const auto& [pt, colour] : c.expect)
            EXPECT_TRUE(Near(img.pixel(pt), colour)) << "at " << pt.x() << "," << pt.y() << " got "
                                                     << Hex(img.pixel(pt)).toStdString();
    }
}

// The case Flash drawings are made of: one edge between two areas, with a fill on each
// side. Going down at x = 50, the right-hand side (fill 1) is the west: red; the left-hand
// side (fill 0) is the east: blue. Each area gets its colour and there is no seam.
TEST(SwfRenderer, SharedEdgeFillsBothNeighbours)
{
    const std::vector<ShapeRecord> records = {
        Style(50, 20, 2, 1), Line(0, 60),                              // the shared edge
        Style(50, 80, 0, 1), Line(-40, 0), Line(0, -60), Line(40, 0),  // the rest of red
        Style(50, 20, 0, 2), Line(40, 0), Line(0, 60), Line(-40, 0),   // the rest of blue
    };
    TMovieStage stage;
    stage.Load(MovieOf({Shape(1, records, {FillStyle::Solid(kRed), FillStyle::Solid(kBlue)}), Place(1, 1)}));
    const QImage img = Render(stage, {100, 100});
    EXPECT_TRUE(Near(img.pixel(30, 50), Qt::red)) << Hex(img.pixel(30, 50)).toStdString();
    EXPECT_TRUE(Near(img.pixel(70, 50), Qt::blue)) << Hex(img.pixel(70, 50)).toStdString();
    // No light seam along the shared edge.
    const QRgb seam = img.pixel(50, 50);
    EXPECT_LT(qRed(seam) + qGreen(seam) + qBlue(seam), 400) << Hex(seam).toStdString();
}

TEST(SwfRenderer, CurvesAlphaAndStrokes)
{
    MovieBuilder b;
    b.CreateMovie(200, 100, 12, 8);
    // A circle of quadratic pieces, half-transparent red.
    b.Place(b.AddCircle({50, 50}, 40, ShapeStyle::Filled({255, 0, 0, 128})));
    // An unfilled square outline, 6 pixels wide.
    b.Place(b.AddRectangle(QRectF(120, 20, 60, 60), ShapeStyle{std::nullopt, 6.0, {0, 0, 255, 255}}));
    // A hairline (width 0 in the file is still one pixel wide on screen).
    b.Place(b.AddPolygon({{100, 95}, {190, 95}}, ShapeStyle{std::nullopt, 0.01, {0, 0, 0, 255}}));
    TMovieStage stage;
    stage.Load(b.Finish());
    const QImage img = Render(stage, {200, 100});
    // Alpha 128 over white.
    EXPECT_TRUE(Near(img.pixel(50, 50), QColor(255, 127, 127), 2)) << Hex(img.pixel(50, 50)).toStdString();
    // Inside the circle near its rim, and just outside it (the curve is followed, not its
    // control polygon, whose corners lie outside the circle).
    EXPECT_TRUE(Near(img.pixel(50 + 36, 50), QColor(255, 127, 127), 2));
    EXPECT_TRUE(Near(img.pixel(50 + 29, 50 - 29), Qt::white, 2)) << Hex(img.pixel(79, 21)).toStdString();
    EXPECT_TRUE(Near(img.pixel(50 + 27, 50 - 27), QColor(255, 127, 127), 2));
    // The stroke: on the outline, and not inside the unfilled square.
    EXPECT_TRUE(Near(img.pixel(150, 20), Qt::blue));
    EXPECT_TRUE(Near(img.pixel(150, 22), Qt::blue));
    EXPECT_TRUE(Near(img.pixel(150, 50), Qt::white));
    // The hairline shows.
    int dark = 0;
    for (int y = 93; y <= 97; ++y)
        dark += qRed(img.pixel(150, y)) < 160;
    EXPECT_GE(dark, 1);
}

TEST(SwfRenderer, ColourTransformsComposeDownTheTree)
{
    MovieBuilder b;
    b.CreateMovie(100, 100, 12, 8);
    const auto square = b.AddRectangle(QRectF(0, 0, 40, 40), ShapeStyle::Filled({200, 100, 50, 255}));
    // Inner sprite halves red; the outer placement adds 40 to blue and halves alpha.
    Timeline inner = b.NewSprite();
    Placement ip;
    ip.colorTransform = ColorTransform{};
    ip.colorTransform->hasMult = true;
    ip.colorTransform->rMult = 128;
    inner.Place(square, ip);
    const auto innerId = b.DefineSprite(std::move(inner));
    Placement op;
    op.x = 30;
    op.y = 30;
    op.colorTransform = ColorTransform{};
    op.colorTransform->hasMult = true;
    op.colorTransform->aMult = 128;
    op.colorTransform->hasAdd = true;
    op.colorTransform->bAdd = 40;
    b.Place(innerId, op);
    TMovieStage stage;
    stage.Load(b.Finish());
    const QImage img = Render(stage, {100, 100});
    // Colour (100, 100, 90) at alpha 0.5 over white: (177.5, 177.5, 172.5).
    EXPECT_TRUE(Near(img.pixel(50, 50), QColor(178, 178, 173), 2)) << Hex(img.pixel(50, 50)).toStdString();
    EXPECT_TRUE(Near(img.pixel(20, 20), Qt::white));
}

TEST(SwfRenderer, MaskLimitsTheDepthsItCovers)
{
    const std::vector<FillStyle> red{FillStyle::Solid(kRed)};
    const auto big = Shape(1, {Style(0, 0, -1, 1), Line(100, 0), Line(0, 100), Line(-100, 0), Line(0, -100)}, red);
    const auto maskShape =
        Shape(2, {Style(0, 0, -1, 1), Line(50, 0), Line(0, 50), Line(-50, 0), Line(0, -50)}, {FillStyle::Solid(kBlue)});
    PlaceObject mask;
    mask.depth = 1;
    mask.characterId = 2;
    mask.matrix = Matrix{};
    mask.clipDepth = 2;
    TMovieStage stage;
    stage.Load(MovieOf({big, maskShape, Tag::Make(mask), Place(1, 2)}));
    const QImage img = Render(stage, {100, 100});
    EXPECT_TRUE(Near(img.pixel(25, 25), Qt::red));    // inside the mask: the masked shape
    EXPECT_TRUE(Near(img.pixel(75, 75), Qt::white));  // outside: nothing; the mask is not drawn
}

TEST(SwfRenderer, DropShadowFallsAtItsAngle)
{
    MovieBuilder b;
    b.CreateMovie(120, 120, 12, 8);
    const auto square = b.AddRectangle(QRectF(0, 0, 40, 40), ShapeStyle::Filled({255, 255, 0, 255}));
    Placement p;
    p.x = 40;
    p.y = 40;
    p.filters.push_back(Filter::DropShadow(10, 45, {0, 0, 0, 255}, 2, 2, 1, 1));
    b.Place(b.WrapInSprite(square), p);
    TMovieStage stage;
    stage.Load(b.Finish());
    const QImage img = Render(stage, {120, 120});
    EXPECT_TRUE(Near(img.pixel(60, 60), Qt::yellow));          // the object on top of its shadow
    EXPECT_LT(qRed(img.pixel(84, 84)), 80);                     // below right: shadow
    EXPECT_TRUE(Near(img.pixel(36, 36), Qt::white, 8));         // above left: none
    EXPECT_TRUE(Near(img.pixel(100, 100), Qt::white, 8));       // beyond the offset: none
}

TEST(SwfRenderer, BlurSpreadsAlphaEvenly)
{
    QImage img(21, 21, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    for (int y = 8; y <= 12; ++y)
        for (int x = 8; x <= 12; ++x)
            img.setPixel(x, y, qRgba(0, 0, 0, 255));
    BlurAlpha(img, 4, 4, 2);
    long total = 0;
    for (int y = 0; y < 21; ++y)
        for (int x = 0; x < 21; ++x)
            total += qAlpha(img.pixel(x, y));
    EXPECT_NEAR(total, 25 * 255, 25 * 255 / 10);  // box filters keep the sum (bar rounding)
    EXPECT_GT(qAlpha(img.pixel(10, 10)), qAlpha(img.pixel(10, 6)));
    EXPECT_GT(qAlpha(img.pixel(10, 6)), 0);
    EXPECT_NEAR(qAlpha(img.pixel(10, 6)), qAlpha(img.pixel(6, 10)), 1);  // the same both ways, bar rounding
    EXPECT_EQ(qAlpha(img.pixel(0, 0)), 0);
}

TEST(SwfRenderer, DeviceFontTextsAlignBoldAndRotate)
{
    EnsureApp();
    auto render = [](const TextStyle& style, double rotation) {
        MovieBuilder b;
        b.CreateMovie(300, 300, 12, 8);
        const TextInfo t = b.AddText(QStringLiteral("Korvel"), style);
        Placement p;
        p.x = 150;
        p.y = 150;
        p.rotation = rotation;
        b.Place(t.id, p);
        TMovieStage stage;
        stage.Load(b.Finish());
        return Render(stage, {300, 300});
    };
    TextStyle style;
    style.font = QStringLiteral("DejaVu Sans");
    style.size = 30;
    style.color = {0, 0, 0, 255};
    style.centred = true;
    const QImage plain = render(style, 0);
    const QRect box = InkBox(plain);
    ASSERT_FALSE(box.isEmpty());
    // Centred on x = 150, below y = 150, wider than tall.
    EXPECT_NEAR(box.center().x(), 150, 4);
    EXPECT_GE(box.top(), 150);
    EXPECT_GT(box.width(), box.height() * 2);

    TextStyle bold = style;
    bold.bold = true;
    EXPECT_GT(InkCount(render(bold, 0), plain.rect()), InkCount(plain, plain.rect()) * 11 / 10);

    // Turned by 90° clockwise about its placement point (players draw turned text only
    // from embedded outlines, which the writer adds): the ink now runs down the page, to
    // the left of x = 150.
    const QRect turned = InkBox(render(style, 90));
    ASSERT_FALSE(turned.isEmpty());
    EXPECT_GT(turned.height(), turned.width() * 2);
    EXPECT_LE(turned.right(), 151);

    // Embedded outlines lay the text out where the device font does.
    TextStyle embedded = style;
    embedded.embedOutlines = true;
    const QRect outlined = InkBox(render(embedded, 0));
    ASSERT_FALSE(outlined.isEmpty());
    EXPECT_NEAR(outlined.left(), box.left(), 3);
    EXPECT_NEAR(outlined.right(), box.right(), 3);
    EXPECT_NEAR(outlined.top(), box.top(), 3);
    EXPECT_NEAR(outlined.bottom(), box.bottom(), 3);

    TextStyle left = style;
    left.centred = false;
    EXPECT_NEAR(InkBox(render(left, 0)).left(), 150 + 2, 3);  // the 2-pixel gutter

    TextStyle faint = style;
    faint.color = {255, 0, 0, 50};
    const QImage light = render(faint, 0);
    const QRect lightBox = InkBox(light, Qt::white, 20);
    ASSERT_FALSE(lightBox.isEmpty());
    int minGreen = 255;
    for (int y = lightBox.top(); y <= lightBox.bottom(); ++y)
        for (int x = lightBox.left(); x <= lightBox.right(); ++x)
            minGreen = std::min(minGreen, qGreen(light.pixel(x, y)));
    // Red at alpha 50/255 over white never gets darker than about 205 in green.
    EXPECT_GE(minGreen, 200);
    EXPECT_LE(minGreen, 215);
}

TEST(SwfRenderer, BoundsAndShapeHitTests)
{
    // A ring sector, as the colour wheels draw them: its bounding box holds points that
    // are not on the sector.
    MovieBuilder b;
    b.CreateMovie(200, 200, 12, 8);
    Path sector;
    sector.MoveTo({100 + 80, 100});
    sector.CurveTo({100 + 80, 100 + 80 * 0.41421356}, {100 + 80 * 0.70710678, 100 + 80 * 0.70710678});
    sector.LineTo({100 + 40 * 0.70710678, 100 + 40 * 0.70710678});
    sector.CurveTo({100 + 40, 100 + 40 * 0.41421356}, {100 + 40, 100});
    sector.Close();
    b.Place(b.AddPath(sector, ShapeStyle::Filled(kRed)));
    TMovieStage stage;
    stage.Load(b.Finish());
    TDisplayObject* root = stage.Level(0);
    ASSERT_NE(root, nullptr);
    TDisplayObject& shape = *root->children.front();
    TSwfRenderer& r = stage.Renderer();
    const QTransform toStage = shape.ToStage();
    auto hit = [&](double x, double y) { return r.HitTestShape(shape, toStage, QPointF(x * 20, y * 20)); };
    EXPECT_TRUE(hit(160, 110));   // on the sector
    EXPECT_FALSE(hit(130, 103));  // in the box, inside the inner arc
    EXPECT_FALSE(hit(178, 150));  // in the box, beyond the outer arc
    EXPECT_FALSE(hit(90, 110));   // outside the box
    const QRectF bounds = r.Bounds(shape, toStage) ;
    EXPECT_NEAR(bounds.left() / 20, 100 + 40 * 0.70710678, 1.0);
    EXPECT_NEAR(bounds.right() / 20, 180, 1.0);
    EXPECT_NEAR(bounds.top() / 20, 100, 1.0);
    EXPECT_NEAR(bounds.bottom() / 20, 100 + 80 * 0.70710678, 1.0);
}

}  // namespace
