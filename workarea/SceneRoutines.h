#pragma once
// The drawing routines the pages share. Coordinates in pixels; angles in degrees, 0°
// pointing right and growing clockwise on screen. The geometric routines draw outlines
// into a path (a part of a shape); the colour routines draw a palette into a scene.

#include <QPointF>
#include <QRectF>

#include "colour/ColorTypes.h"
#include "colour/ColorVision.h"
#include "movie/SwfWriter.h"

class TRichPalette;
class TScene;

// A closed polygon of Sides corners on the circle, the first at StartAngle. Fewer than 2
// sides count as 2, more than 360 as 360.
void DrawRegularPolygon(swf::Path& Path, QPointF Centre, double Radius, double StartAngle, int Sides);

// The annular sector from StartAngle forward (clockwise) to EndAngle; an end below the
// start has 360° added, and a span beyond a full turn is one full turn. The arcs are
// quadratic pieces of at most 45° each (span / 45 rounded up). An inner radius of 0 or
// less makes a pie slice. A span of 0 draws nothing.
void DrawRingSector(swf::Path& Path, QPointF Centre, double StartAngle, double EndAngle, double OuterRadius,
                    double InnerRadius);
// How many curve pieces DrawRingSector uses for each arc of that sector.
int RingSectorPieces(double StartAngle, double EndAngle);

// The outline of the rectangle as dashes, side by side from each corner clockwise; the
// end of a side shorter than a dash is a shorter dash. Draw it with a line and no fill.
void DrawDashedRect(swf::Path& Path, const QRectF& Rect, double DashLength, double GapLength);

// Where colour Index of a ring of Count colours lies: clockwise, segment i spans
// [start - step/2 + i·step, start - step/2 + (i+1)·step]; counter-clockwise
// [start + step/2 - (i+1)·step, start + step/2 - i·step], with step = 360 / Count, so the
// colour is centred at start ± i·step.
struct TRingSegment {
    double First = 0, Second = 0;
    double Centre() const { return (First + Second) / 2; }
};
TRingSegment ColorRingSegment(bool Clockwise, double StartAngle, int Count, int Index);

// Shape kinds of DrawColorRing.
enum TRingShapeKind { rsSector = 0, rsDisc = 1, rsSectorReversed = 2 };

// Count colours of Palette from FirstIndex on (past its end: opaque light grey $CCCCCC),
// invisible ones skipped, around Centre. Fills are the colour through the vision type's
// simulation with the swatch's alpha; with OutlineWidth above 0 (and an outline colour
// other than -1) each shape is outlined in OutlineColor at the swatch's alpha.
//  - kind 0: the segment's sector between InnerRadius and OuterRadius + the swatch's Tag;
//    with ExtraRim above 0, every swatch with Tag 0 also gets a rim in the outline colour
//    from OuterRadius - 1 to OuterRadius + ExtraRim (+ BaseRim for colour 0), under it;
//  - kind 1: a disc of radius Round(middle·π / Count·0.9) centred on the segment at the
//    middle radius (InnerRadius + (OuterRadius - InnerRadius) / 2);
//  - kind 2: the segment's sector traced from its second angle back to its first.
// With Interactive on, in a scene for the player, swatches with Tag 0 are "#SW" clips
// numbered FirstIndex + i carrying the colour as drawn.
void DrawColorRing(TScene& Parent, bool Clockwise, TColorVisionType VisionType, bool Interactive, TColor OutlineColor,
                   int FirstIndex, const TRichPalette& Palette, int ShapeKind, double StartAngle, double BaseRim,
                   double ExtraRim, double OutlineWidth, int Count, double OuterRadius, double InnerRadius,
                   QPointF Centre);

// Count discs of DotRadius on the circle of RingRadius, colour i at StartAngle + i·360/Count
// (minus for counter-clockwise), filled like DrawColorRing; the outline, when OutlineWidth
// is above 0, is OutlineWidth + the swatch's Tag wide. With Interactive on, in a scene for
// the player, every dot drawn is a "#SW" clip numbered FirstIndex + i.
void DrawColorDots(TScene& Parent, bool Clockwise, TColorVisionType VisionType, bool Interactive, TColor OutlineColor,
                   int FirstIndex, const TRichPalette& Palette, double StartAngle, double OutlineWidth, int Count,
                   double DotRadius, double RingRadius, QPointF Centre);
