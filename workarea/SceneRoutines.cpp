#include "workarea/SceneRoutines.h"

#include "palette/RichColor.h"
#include "workarea/ClipNames.h"
#include "workarea/Scene.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kDeg = std::numbers::pi / 180.0;
constexpr double kMaxPiece = 45.0;
constexpr TColor kBeyondPalette = 0xCCCCCC;
// An outline colour of -1 means "no outline".
constexpr TColor kNoOutline = static_cast<TColor>(-1);

QPointF OnCircle(QPointF c, double r, double deg)
{
    return {c.x() + r * std::cos(deg * kDeg), c.y() + r * std::sin(deg * kDeg)};
}

double SectorSpan(double start, double end)
{
    double span = end - start;
    if (end < start)
        span += 360.0;
    return std::min(span, 360.0);
}

// An arc from a0 by span degrees (negative: counter-clockwise) as `pieces` quadratic
// curves, continuing the path from the point at a0.
void Arc(swf::Path& path, QPointF c, double r, double a0, double span, int pieces)
{
    const double piece = span / pieces;
    const double controlRadius = r / std::cos(std::abs(piece) / 2 * kDeg);
    for (int k = 1; k <= pieces; ++k) {
        const double a = a0 + piece * k;
        path.CurveTo(OnCircle(c, controlRadius, a - piece / 2), OnCircle(c, r, a));
    }
}

// The sector of DrawRingSector; `reversed` traces the same outline the other way round.
void RingSector(swf::Path& path, QPointF c, double start, double end, double outer, double inner, bool reversed)
{
    const double span = SectorSpan(start, end);
    if (span <= 0.0 || outer <= 0.0)
        return;
    const int pieces = RingSectorPieces(start, end);
    const double from = reversed ? start + span : start;
    const double sweep = reversed ? -span : span;
    path.MoveTo(OnCircle(c, outer, from));
    Arc(path, c, outer, from, sweep, pieces);
    if (inner > 0.0) {
        path.LineTo(OnCircle(c, inner, from + sweep));
        Arc(path, c, inner, from + sweep, -sweep, pieces);
    } else {
        path.LineTo(c);
    }
    path.Close();
}

// The swatch to draw at position `index`, or null past the palette's end.
const TRichColor* SwatchAt(const TRichPalette& palette, int index)
{
    return index >= 0 && index < palette.Count() ? palette.Colors(index) : nullptr;
}

struct SwatchLook {
    TColor color = kBeyondPalette;
    std::uint8_t alpha = 255;
    std::intptr_t tag = 0;
};

swf::ShapeStyle SwatchStyle(TColorVisionType vision, const SwatchLook& look, TColor outline, double outlineWidth)
{
    swf::ShapeStyle style = swf::ShapeStyle::Filled(TScene::DrawnColor(look.color, vision, look.alpha));
    if (outlineWidth > 0 && outline != kNoOutline) {
        style.lineWidth = outlineWidth;
        style.lineColor = swf::Rgba::FromColor(ColorToRGB(outline), look.alpha);
    }
    return style;
}

void AddSwatch(TScene& parent, const swf::Path& path, const swf::ShapeStyle& style, bool interactive, int number)
{
    if (interactive && parent.ForPlayer())
        parent.AddClip(path, style, ClipName(ckSwatch, number, style.fill->ToColor()));
    else
        parent.AddShape(path, style);
}

}  // namespace

void DrawRegularPolygon(swf::Path& Path, QPointF Centre, double Radius, double StartAngle, int Sides)
{
    Sides = std::clamp(Sides, 2, 360);
    const double step = 360.0 / Sides;
    Path.MoveTo(OnCircle(Centre, Radius, StartAngle));
    for (int k = 1; k < Sides; ++k)
        Path.LineTo(OnCircle(Centre, Radius, StartAngle + k * step));
    Path.Close();
}

int RingSectorPieces(double StartAngle, double EndAngle)
{
    return std::max(1, static_cast<int>(std::ceil(SectorSpan(StartAngle, EndAngle) / kMaxPiece - 1e-9)));
}

void DrawRingSector(swf::Path& Path, QPointF Centre, double StartAngle, double EndAngle, double OuterRadius,
                    double InnerRadius)
{
    RingSector(Path, Centre, StartAngle, EndAngle, OuterRadius, InnerRadius, false);
}

void DrawDashedRect(swf::Path& Path, const QRectF& Rect, double DashLength, double GapLength)
{
    const QRectF r = Rect.normalized();
    if (DashLength <= 0.0) {
        Path.MoveTo(r.topLeft());
        Path.LineTo(r.topRight());
        Path.LineTo(r.bottomRight());
        Path.LineTo(r.bottomLeft());
        Path.Close();
        return;
    }
    GapLength = std::max(0.0, GapLength);
    const QPointF corners[4] = {r.topLeft(), r.topRight(), r.bottomRight(), r.bottomLeft()};
    for (int side = 0; side < 4; ++side) {
        const QPointF a = corners[side], b = corners[(side + 1) % 4];
        const double length = std::hypot(b.x() - a.x(), b.y() - a.y());
        if (length <= 0.0)
            continue;
        const QPointF unit = (b - a) / length;
        for (double at = 0.0; at < length; at += DashLength + GapLength) {
            Path.MoveTo(a + unit * at);
            Path.LineTo(a + unit * std::min(at + DashLength, length));
        }
    }
}

TRingSegment ColorRingSegment(bool Clockwise, double StartAngle, int Count, int Index)
{
    const double step = 360.0 / std::max(1, Count);
    if (Clockwise)
        return {StartAngle - step / 2 + Index * step, StartAngle - step / 2 + (Index + 1) * step};
    return {StartAngle + step / 2 - (Index + 1) * step, StartAngle + step / 2 - Index * step};
}

void DrawColorRing(TScene& Parent, bool Clockwise, TColorVisionType VisionType, bool Interactive, TColor OutlineColor,
                   int FirstIndex, const TRichPalette& Palette, int ShapeKind, double StartAngle, double BaseRim,
                   double ExtraRim, double OutlineWidth, int Count, double OuterRadius, double InnerRadius,
                   QPointF Centre)
{
    const bool rims = ShapeKind == rsSector && ExtraRim > 0 && OutlineColor != kNoOutline;
    for (int i = 0; i < Count; ++i) {
        SwatchLook look;
        if (const TRichColor* swatch = SwatchAt(Palette, FirstIndex + i)) {
            if (!swatch->Visible())
                continue;
            look = {swatch->Color(), swatch->Alpha(), swatch->Tag};
        }
        const TRingSegment seg = ColorRingSegment(Clockwise, StartAngle, Count, i);
        const double outer = OuterRadius + static_cast<double>(look.tag);
        swf::Path path;
        switch (ShapeKind) {
        case rsDisc: {
            const double middle = InnerRadius + (OuterRadius - InnerRadius) / 2;
            const double radius = Round(middle * std::numbers::pi / Count * 0.9);
            path = swf::Path::Circle(OnCircle(Centre, middle, seg.Centre()), radius);
            break;
        }
        case rsSectorReversed:
            RingSector(path, Centre, seg.First, seg.Second, outer, InnerRadius, true);
            break;
        default:
            DrawRingSector(path, Centre, seg.First, seg.Second, outer, InnerRadius);
            break;
        }
        if (path.IsEmpty())
            continue;
        if (rims && look.tag == 0) {
            swf::Path rim;
            const double rimOuter = OuterRadius + ExtraRim + (i == 0 ? BaseRim : 0.0);
            DrawRingSector(rim, Centre, seg.First, seg.Second, rimOuter, OuterRadius - 1);
            Parent.AddShape(rim, swf::ShapeStyle::Filled(swf::Rgba::FromColor(ColorToRGB(OutlineColor), look.alpha)));
        }
        AddSwatch(Parent, path, SwatchStyle(VisionType, look, OutlineColor, OutlineWidth), Interactive && look.tag == 0,
                  FirstIndex + i);
    }
}

void DrawColorDots(TScene& Parent, bool Clockwise, TColorVisionType VisionType, bool Interactive, TColor OutlineColor,
                   int FirstIndex, const TRichPalette& Palette, double StartAngle, double OutlineWidth, int Count,
                   double DotRadius, double RingRadius, QPointF Centre)
{
    if (Count <= 0 || DotRadius <= 0)
        return;
    const double step = 360.0 / Count;
    for (int i = 0; i < Count; ++i) {
        SwatchLook look;
        if (const TRichColor* swatch = SwatchAt(Palette, FirstIndex + i)) {
            if (!swatch->Visible())
                continue;
            look = {swatch->Color(), swatch->Alpha(), swatch->Tag};
        }
        const double angle = Clockwise ? StartAngle + i * step : StartAngle - i * step;
        const double width = OutlineWidth > 0 ? OutlineWidth + static_cast<double>(look.tag) : 0.0;
        AddSwatch(Parent, swf::Path::Circle(OnCircle(Centre, RingRadius, angle), DotRadius),
                  SwatchStyle(VisionType, look, OutlineColor, width), Interactive, FirstIndex + i);
    }
}
