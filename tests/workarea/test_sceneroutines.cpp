#include "workarea/SceneRoutines.h"

#include "SceneTestUtil.h"
#include "colour/ColorVision.h"
#include "palette/RichColor.h"
#include "workarea/ClipNames.h"
#include "workarea/Scene.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace scenetest;

namespace {

const QPointF kCentre(200, 150);

// The corners of a path of straight lines, without the closing line back to the start.
std::vector<QPointF> Corners(const swf::Path& path)
{
    std::vector<QPointF> out;
    for (const auto& item : path.Items())
        out.push_back(item.point);
    if (out.size() > 1 && out.back() == out.front())
        out.pop_back();
    return out;
}

TEST(DrawRegularPolygon, ClampsTheSidesAndStartsAtTheStartAngle)
{
    struct Case {
        int sides;
        int corners;
    };
    for (const Case c : {Case{1, 2}, Case{-5, 2}, Case{2, 2}, Case{3, 3}, Case{360, 360}, Case{400, 360}}) {
        SCOPED_TRACE(c.sides);
        swf::Path path;
        DrawRegularPolygon(path, kCentre, 50, 30, c.sides);
        const std::vector<QPointF> corners = Corners(path);
        ASSERT_EQ(static_cast<int>(corners.size()), c.corners);
        EXPECT_NEAR(AngleDiff(AngleOf(kCentre, corners[0]), 30), 0, 1e-9);
        for (std::size_t k = 0; k < corners.size(); ++k) {
            EXPECT_NEAR(RadiusOf(kCentre, corners[k]), 50, 1e-9);
            EXPECT_NEAR(AngleDiff(AngleOf(kCentre, corners[k]), 30 + 360.0 * k / c.corners), 0, 1e-9);
        }
        // Closed: the last item leads back to the first corner.
        EXPECT_EQ(path.Items().back().point, corners.front());
    }
}

TEST(DrawRingSector, UsesOnePieceForEveryFortyFiveDegreesStarted)
{
    struct Case {
        double start, end;
        int pieces;
        double span;
    };
    const Case cases[] = {
        {350, 10, 1, 20}, {0, 45, 1, 45}, {0, 46, 2, 46},   {0, 90, 2, 90},
        {-90, 270, 8, 360}, {10, 0, 8, 350}, {0, 720, 8, 360},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.start << " -> " << c.end);
        EXPECT_EQ(RingSectorPieces(c.start, c.end), c.pieces);
        swf::Path path;
        DrawRingSector(path, kCentre, c.start, c.end, 100, 60);
        int curves = 0;
        for (const auto& item : path.Items())
            curves += item.kind == swf::Path::Item::Curve ? 1 : 0;
        EXPECT_EQ(curves, 2 * c.pieces);  // the outer arc and the inner arc
        // From the outer radius at the start angle, round to the end angle.
        const auto& items = path.Items();
        EXPECT_NEAR(RadiusOf(kCentre, items[0].point), 100, 1e-9);
        EXPECT_NEAR(AngleDiff(AngleOf(kCentre, items[0].point), c.start), 0, 1e-9);
        const QPointF outerEnd = items[static_cast<std::size_t>(c.pieces)].point;
        EXPECT_NEAR(AngleDiff(AngleOf(kCentre, outerEnd), c.start + c.span), 0, 1e-9);
    }
}

TEST(DrawRingSector, CurvesStayOnTheCircle)
{
    swf::Path path;
    DrawRingSector(path, kCentre, 350, 10, 100, 60);
    // Move, outer curve, line in, inner curve back, line out.
    ASSERT_EQ(path.Items().size(), 5u);
    QPointF pen = path.Items()[0].point;
    for (const auto& item : path.Items()) {
        if (item.kind == swf::Path::Item::Curve) {
            const QPointF mid = pen * 0.25 + item.control * 0.5 + item.point * 0.25;
            const double r = RadiusOf(kCentre, item.point);
            EXPECT_NEAR(RadiusOf(kCentre, mid) / r, 1.0, 0.005);
            // The 20° piece is centred on 0°.
            EXPECT_NEAR(AngleOf(kCentre, mid), 0, 1e-6);
        }
        pen = item.point;
    }
    // A zero span draws nothing; an inner radius of 0 makes a slice through the centre.
    swf::Path none;
    DrawRingSector(none, kCentre, 30, 30, 100, 60);
    EXPECT_TRUE(none.IsEmpty());
    swf::Path slice;
    DrawRingSector(slice, kCentre, 0, 90, 100, 0);
    EXPECT_EQ(slice.Items()[3].point, kCentre);
}

TEST(DrawDashedRect, DashesEachSideAndShortensTheRemainder)
{
    swf::Path path;
    DrawDashedRect(path, QRectF(10, 20, 10, 6), 4, 4);
    std::vector<std::pair<QPointF, QPointF>> dashes;
    for (const auto& item : path.Items()) {
        if (item.kind == swf::Path::Item::Move)
            dashes.push_back({item.point, item.point});
        else
            dashes.back().second = item.point;
    }
    const std::vector<std::pair<QPointF, QPointF>> expected = {
        {{10, 20}, {14, 20}}, {{18, 20}, {20, 20}},  // top: 10 long, the last dash 2
        {{20, 20}, {20, 24}},                        // right: 6 long
        {{20, 26}, {16, 26}}, {{12, 26}, {10, 26}},  // bottom, right to left
        {{10, 26}, {10, 22}},                        // left, upwards
    };
    EXPECT_EQ(dashes, expected);
}

// A palette of opaque swatches.
void Fill(TRichPalette& palette, std::initializer_list<TColor> colors)
{
    for (TColor c : colors)
        palette.Add()->SetColor(c);
}

// The start angle of an outline and the end of its outer arc (the curves before the first
// straight edge).
std::pair<double, double> OuterArc(const Outline& o, QPointF centre)
{
    QPointF end = o.start;
    for (const Edge& e : o.edges) {
        if (!e.curve)
            break;
        end = e.to;
    }
    return {AngleOf(centre, o.start), AngleOf(centre, end)};
}

TEST(DrawColorRing, SegmentsRunClockwiseOrCounterClockwiseFromTheStart)
{
    TRichPalette palette;
    const TColor colours[] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 0)};
    Fill(palette, {colours[0], colours[1], colours[2], colours[3]});
    for (const bool clockwise : {true, false}) {
        SCOPED_TRACE(clockwise ? "clockwise" : "counter-clockwise");
        TScene scene(QSizeF(400, 300), false);
        DrawColorRing(scene, clockwise, cvtNorm, false, 0, 0, palette, rsSector, -90, 0, 0, 0, 4, 100, 50, kCentre);
        const swf::Movie movie = ReadBack(scene.FinishToBytes());
        const std::vector<Placed> placed = PlacedShapes(movie);
        ASSERT_EQ(placed.size(), 4u);
        for (int i = 0; i < 4; ++i) {
            SCOPED_TRACE(i);
            const swf::ShapeDef& shape = *placed[static_cast<std::size_t>(i)].shape;
            ASSERT_EQ(shape.fillStyles.size(), 1u);
            EXPECT_EQ(shape.fillStyles[0].color.ToColor(), colours[i]);
            EXPECT_TRUE(shape.lineStyles.empty());
            const std::vector<Outline> outlines = Outlines(shape);
            ASSERT_EQ(outlines.size(), 1u);
            EXPECT_EQ(outlines[0].Curves(), 4);  // 90°: two pieces outside, two inside
            const auto [first, second] = OuterArc(outlines[0], kCentre);
            const double centre = clockwise ? -90 + 90 * i : -90 - 90 * i;
            EXPECT_NEAR(AngleDiff(first, centre - 45), 0, 0.05);
            EXPECT_NEAR(AngleDiff(second, centre + 45), 0, 0.05);
            EXPECT_NEAR(RadiusOf(kCentre, outlines[0].start), 100, 0.05);
        }
    }
}

TEST(DrawColorRing, RimsTagsInvisibleAndMissingColours)
{
    TRichPalette palette;
    Fill(palette, {RGB(200, 10, 10), RGB(10, 200, 10), RGB(10, 10, 200)});
    palette.Colors(1)->SetVisible(false);
    palette.Colors(2)->Tag = -10;  // shifted in: shorter, no rim, not interactive
    palette.Colors(0)->SetAlpha(128);
    TScene scene(QSizeF(400, 300), true);
    // Four positions of a three-colour palette: the fourth is light grey.
    DrawColorRing(scene, true, cvtNorm, true, RGB(0, 0, 0), 0, palette, rsSector, -90, 3, 5, 1, 4, 100, 50, kCentre);
    const swf::Movie movie = ReadBack(scene.FinishToBytes());
    const std::vector<Placed> placed = PlacedShapes(movie);
    ASSERT_EQ(placed.size(), 5u);

    struct Expect {
        bool clip;
        QString name;
        double outer, inner;
        TColor fill;
        std::uint8_t alpha;
    };
    const Expect expected[] = {
        {false, {}, 108, 99, RGB(0, 0, 0), 128},                                  // rim of 0, with the base rim
        {true, QStringLiteral("#SW_0000_#C80A0A"), 100, 50, RGB(200, 10, 10), 128},  // colour 0
        {false, {}, 90, 50, RGB(10, 10, 200), 255},                               // colour 2, shifted
        {false, {}, 105, 99, RGB(0, 0, 0), 255},                                  // rim of 3
        {true, QStringLiteral("#SW_0003_#CCCCCC"), 100, 50, RGB(0xCC, 0xCC, 0xCC), 255},
    };
    for (std::size_t k = 0; k < std::size(expected); ++k) {
        SCOPED_TRACE(k);
        const Expect& e = expected[k];
        const Placed& p = placed[k];
        ASSERT_NE(p.shape, nullptr);
        EXPECT_EQ(p.sprite != nullptr, e.clip);
        EXPECT_EQ(p.place->name.value_or(QString()), e.name);
        EXPECT_EQ(p.place->clipActions.size(), e.clip ? 5u : 0u);
        EXPECT_EQ(p.shape->fillStyles.at(0).color, swf::Rgba::FromColor(e.fill, e.alpha));
        const std::vector<Outline> o = Outlines(*p.shape);
        ASSERT_EQ(o.size(), 1u);
        EXPECT_NEAR(RadiusOf(kCentre, o[0].start), e.outer, 0.05);
        // The inner arc starts where the straight edge inward ends.
        const auto inward = std::find_if(o[0].edges.begin(), o[0].edges.end(), [](const Edge& x) { return !x.curve; });
        ASSERT_NE(inward, o[0].edges.end());
        EXPECT_NEAR(RadiusOf(kCentre, inward->to), e.inner, 0.05);
        // Swatches are outlined in the outline colour with their own alpha; rims are not.
        if (!e.name.isEmpty() || e.outer == 90) {
            ASSERT_EQ(p.shape->lineStyles.size(), 1u);
            EXPECT_EQ(p.shape->lineStyles[0].width, 20);
            EXPECT_EQ(p.shape->lineStyles[0].color, swf::Rgba::FromColor(0, e.alpha));
        } else {
            EXPECT_TRUE(p.shape->lineStyles.empty());
        }
    }
}

TEST(DrawColorRing, NoOutlineColourDrawsNeitherOutlinesNorRims)
{
    TRichPalette palette;
    Fill(palette, {RGB(1, 2, 3), RGB(4, 5, 6)});
    TScene scene(QSizeF(400, 300), false);
    DrawColorRing(scene, true, cvtNorm, false, static_cast<TColor>(-1), 0, palette, rsSector, 0, 3, 5, 2, 2, 100, 50,
                  kCentre);
    const swf::Movie movie = ReadBack(scene.FinishToBytes());
    const std::vector<Placed> placed = PlacedShapes(movie);
    ASSERT_EQ(placed.size(), 2u);
    for (const Placed& p : placed)
        EXPECT_TRUE(p.shape->lineStyles.empty());
}

TEST(DrawColorRing, SimulatesTheVisionTypeInFillAndClipName)
{
    TRichPalette palette;
    const TColor orange = RGB(255, 128, 0);
    Fill(palette, {orange});
    const TColor seen = SimulateColorVision(orange, cvtProt);
    ASSERT_NE(seen, orange);
    TScene scene(QSizeF(400, 300), true);
    DrawColorRing(scene, true, cvtProt, true, 0, 5, palette, rsSector, 0, 0, 0, 0, 1, 100, 50, kCentre);
    // FirstIndex 5 is past this palette's end: the swatch drawn is light grey, numbered 5.
    DrawColorRing(scene, true, cvtProt, true, 0, 0, palette, rsSector, 0, 0, 0, 0, 1, 100, 50, kCentre);
    const swf::Movie movie = ReadBack(scene.FinishToBytes());
    const std::vector<Placed> placed = PlacedShapes(movie);
    ASSERT_EQ(placed.size(), 2u);
    EXPECT_EQ(placed[0].place->name.value_or(QString()),
              ClipName(ckSwatch, 5, SimulateColorVision(0xCCCCCC, cvtProt)));
    EXPECT_EQ(placed[1].shape->fillStyles.at(0).color.ToColor(), seen);
    EXPECT_EQ(placed[1].place->name.value_or(QString()), ClipName(ckSwatch, 0, seen));
}

TEST(DrawColorRing, DiscsAndReversedSectors)
{
    TRichPalette palette;
    Fill(palette, {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)});
    TScene discs(QSizeF(400, 300), false);
    DrawColorRing(discs, true, cvtNorm, false, 0, 0, palette, rsDisc, -90, 0, 0, 0, 3, 120, 60, kCentre);
    TScene reversed(QSizeF(400, 300), false);
    DrawColorRing(reversed, false, cvtNorm, false, 0, 0, palette, rsSectorReversed, -90, 0, 0, 0, 3, 120, 60, kCentre);
    const swf::Movie discMovie = ReadBack(discs.FinishToBytes());
    const swf::Movie reversedMovie = ReadBack(reversed.FinishToBytes());
    const std::vector<Placed> d = PlacedShapes(discMovie);
    const std::vector<Placed> r = PlacedShapes(reversedMovie);
    ASSERT_EQ(d.size(), 3u);
    ASSERT_EQ(r.size(), 3u);
    const double middle = 90, radius = std::round(middle * std::numbers::pi / 3 * 0.9);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        // The disc sits on the middle circle, centred on the colour's segment.
        const swf::Rect& b = d[static_cast<std::size_t>(i)].shape->bounds;
        const QPointF dc((b.xMin + b.xMax) / 40.0, (b.yMin + b.yMax) / 40.0);
        EXPECT_NEAR(RadiusOf(kCentre, dc), middle, 0.5);
        EXPECT_NEAR(AngleDiff(AngleOf(kCentre, dc), -90 + 120 * i), 0, 0.5);
        EXPECT_NEAR(b.Width() / 20.0, 2 * radius, 0.5);
        // Kind 2 covers the colour's own segment, traced from its second angle back.
        const Outline o = Outlines(*r[static_cast<std::size_t>(i)].shape).at(0);
        const auto [from, to] = OuterArc(o, kCentre);
        const double centre = -90 - 120 * i;
        EXPECT_NEAR(AngleDiff(from, centre + 60), 0, 0.05);
        EXPECT_NEAR(AngleDiff(to, centre - 60), 0, 0.05);
    }
}

TEST(DrawColorDots, PlacesDotsAroundTheRingWithTaggedOutlines)
{
    TRichPalette palette;
    Fill(palette, {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(9, 9, 9)});
    palette.Colors(1)->Tag = 2;
    palette.Colors(3)->SetVisible(false);
    for (const bool clockwise : {true, false}) {
        SCOPED_TRACE(clockwise);
        TScene scene(QSizeF(400, 300), true);
        DrawColorDots(scene, clockwise, cvtNorm, true, RGB(0, 0, 0), 0, palette, -90, 1, 4, 10, 80, kCentre);
        const swf::Movie movie = ReadBack(scene.FinishToBytes());
    const std::vector<Placed> placed = PlacedShapes(movie);
        ASSERT_EQ(placed.size(), 3u);
        for (int i = 0; i < 3; ++i) {
            SCOPED_TRACE(i);
            const Placed& p = placed[static_cast<std::size_t>(i)];
            const swf::Rect& b = p.shape->bounds;
            const QPointF dc((b.xMin + b.xMax) / 40.0, (b.yMin + b.yMax) / 40.0);
            EXPECT_NEAR(AngleDiff(AngleOf(kCentre, dc), clockwise ? -90 + 90 * i : -90 - 90 * i), 0, 0.2);
            EXPECT_NEAR(RadiusOf(kCentre, dc), 80, 0.2);
            EXPECT_EQ(p.shape->lineStyles.at(0).width, i == 1 ? 60 : 20);
            EXPECT_EQ(p.place->name.value_or(QString()),
                      ClipName(ckSwatch, i, p.shape->fillStyles.at(0).color.ToColor()));
        }
    }
}

}  // namespace
