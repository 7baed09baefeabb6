// The colour sliders: geometry, position from the mouse and to the marker, the ramp of every
// gradient type, and the rule that a slider reporting a drag ignores the colour sent back.
#include "colour/Colors.h"
#include "harmony/ColorTransfer.h"
#include "pickers/ColorTrackBar.h"
#include "pickers/SysColors.h"

#include <QApplication>
#include <QMouseEvent>
#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

void Mouse(QWidget& w, QEvent::Type type, QPointF pos, Qt::MouseButton button = Qt::NoButton,
    Qt::MouseButtons buttons = Qt::NoButton)
{
    QMouseEvent e(type, pos, w.mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(&w, &e);
}

TColor Pixel(const QImage& image, int x, int y)
{
    const QRgb px = image.pixel(x, y);
    return RGB(qRed(px), qGreen(px), qBlue(px));
}

} // namespace

TEST(ColorTrackBar, NewSliderSizesItselfToTheMarginsAndA160By8Track)
{
    TColorTrackBar t;
    EXPECT_EQ(t.size(), QSize(176, 16));
    EXPECT_EQ(t.TrackRect(), QRect(8, 1, 160, 8));
    EXPECT_EQ(t.Position(), 0);
    EXPECT_EQ(t.HSB_Hue(), 90);
    EXPECT_EQ(t.HSB_Sat(), 1);
    EXPECT_EQ(t.HSB_Brt(), 1);
    EXPECT_EQ(t.GradientSubType(), gstAdvanced);

    t.SetCaption(QStringLiteral("较深"));
    EXPECT_EQ(t.Margins().Top, t.fontMetrics().height() + 1);
    t.SetCaption(QString());
    t.SetMarkerSize(8);
    EXPECT_EQ(t.Margins().Bottom, 9);

    TColorTrackBar v;
    v.SetOrientation(orVertical);
    EXPECT_EQ(v.size(), QSize(22, 176));
    EXPECT_EQ(v.TrackRect(), QRect(7, 8, 8, 160));
    v.SetOrientation(orHorizontal);
    EXPECT_EQ(v.size(), QSize(176, 16));
}

TEST(ColorTrackBar, MaximumByGradientType)
{
    const std::pair<TGradientType, int> cases[] = {{gtRGB_R, 255}, {gtRGB_G, 255}, {gtRGB_B, 255}, {gtHSB_H, 359},
        {gtHSB_S, 100}, {gtHSB_B, 100}, {gtHSL_H, 239}, {gtHSL_S, 240}, {gtHSL_L, 240}};
    for (auto [type, max] : cases)
        EXPECT_EQ(TColorTrackBar::MaximumOf(type), max) << type;
}

TEST(ColorTrackBar, PressAndDragSetThePositionFromTheMouse)
{
    struct Case {
        TGradientType type;
        TTrackBarOrientation orientation;
        double along; // pixels from the track's start
        int expected;
    };
    const Case cases[] = {
        {gtRGB_R, orHorizontal, 0, 0},
        {gtRGB_R, orHorizontal, 160, 255},
        {gtRGB_R, orHorizontal, 80, 128},
        {gtRGB_R, orHorizontal, 1, 2},
        {gtRGB_R, orHorizontal, -7, 0},
        {gtRGB_R, orHorizontal, 300, 255},
        {gtHSB_S, orHorizontal, 80.9, 50},
        {gtHSB_H, orHorizontal, 40, 90},
        {gtHSL_L, orVertical, 40, 60},
        {gtHSL_H, orVertical, 159, 238},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.type << " at " << c.along);
        TColorTrackBar t;
        t.SetOrientation(c.orientation);
        t.SetGradientType(c.type);
        std::vector<int> reported;
        t.OnPositionChange = [&](TObject* sender, int position) {
            EXPECT_EQ(sender, static_cast<TObject*>(&t));
            reported.push_back(position);
        };
        const QPointF at = c.orientation == orHorizontal ? QPointF(8 + c.along, 5) : QPointF(11, 8 + c.along);
        const QPointF start = c.orientation == orHorizontal ? QPointF(8 + 20, 5) : QPointF(11, 8 + 20);
        Mouse(t, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
        Mouse(t, QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton);
        Mouse(t, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
        Mouse(t, QEvent::MouseMove, start); // no longer tracking
        EXPECT_EQ(t.Position(), c.expected);
        ASSERT_EQ(reported.size(), 2u);
        EXPECT_EQ(reported[1], c.expected);
    }
}

TEST(ColorTrackBar, MarkerPointsAtThePosition)
{
    TColorTrackBar t;
    t.SetMarkerColor(RGB(255, 0, 0));
    t.SetMarkerOutline(RGB(255, 0, 0));
    const int row = 16 - 7 + 2 + 3; // three pixels below the apex, inside the triangle
    for (int position : {0, 64, 128, 255}) {
        SCOPED_TRACE(position);
        t.SetPosition(position);
        const QImage image = t.grab().toImage();
        const int expectedX = 8 + (position * 160 * 2 + 255) / (2 * 255);
        EXPECT_EQ(Pixel(image, expectedX, row), RGB(255, 0, 0));
        EXPECT_NE(Pixel(image, expectedX - 4, row), RGB(255, 0, 0));
        EXPECT_NE(Pixel(image, expectedX + 4, row), RGB(255, 0, 0));
    }
    t.SetPosition(-1);
    EXPECT_EQ(t.Position(), 255) << "negative positions are ignored";
    t.SetPosition(999);
    EXPECT_EQ(t.Position(), 255);
}

TEST(ColorTrackBar, VerticalMarkersFlankTheTrack)
{
    TColorTrackBar t;
    t.SetOrientation(orVertical);
    t.SetGradientType(gtHSB_B);
    t.SetMarkerColor(RGB(0, 0, 255));
    t.SetMarkerOutline(RGB(0, 0, 255));
    t.SetPosition(50); // 80 pixels down the track
    const QImage image = t.grab().toImage();
    const int y = 8 + 80;
    EXPECT_EQ(Pixel(image, 2, y), RGB(0, 0, 255)) << "left marker";
    EXPECT_EQ(Pixel(image, 19, y), RGB(0, 0, 255)) << "right marker";
    EXPECT_NE(Pixel(image, 2, y - 6), RGB(0, 0, 255));
}

TEST(ColorTrackBar, SliderReportingADragIgnoresTheColourSentBack)
{
    TColorTrackBar t;
    t.SetGradientType(gtHSB_H);
    t.SetHSB(10, 1, 1);
    ASSERT_EQ(t.Position(), 10);
    // The main window's answer to a slider move: it sets the base colour, which comes back to
    // every slider, this one included, rounded and maybe clamped on the way.
    t.OnPositionChange = [&](TObject*, int position) {
        t.SetHSB(position + 0.4, 0.5, 0.5);
        t.SetPosition(position + 1);
        t.SetHSB_Hue(3);
        t.SetHSL_Lum(0.1);
    };
    Mouse(t, QEvent::MouseButtonPress, QPointF(8 + 80, 4), Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(t.Position(), 180);
    EXPECT_EQ(t.HSB_Hue(), 10);
    EXPECT_EQ(t.HSB_Sat(), 1);
    Mouse(t, QEvent::MouseMove, QPointF(8 + 120, 4), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(t.Position(), 269);
    Mouse(t, QEvent::MouseButtonRelease, QPointF(8 + 120, 4), Qt::LeftButton, Qt::NoButton);

    t.OnPositionChange = nullptr;
    t.SetHSB(300, 0.5, 0.5);
    EXPECT_EQ(t.Position(), 300) << "outside the report, colour updates move the slider";
}

TEST(ColorTrackBar, ColourSetsThePositionOfEveryType)
{
    const double H = 200, S = 0.5, B = 0.8;
    const TColor color = HSBToColor(H, S, B);
    const THSL hsl = ColorToHSL(color);
    const std::pair<TGradientType, int> cases[] = {
        {gtRGB_R, GetRValue(color)},
        {gtRGB_G, GetGValue(color)},
        {gtRGB_B, GetBValue(color)},
        {gtHSB_H, 200},
        {gtHSB_S, 50},
        {gtHSB_B, 80},
        {gtHSL_H, Round(hsl.H * 239)},
        {gtHSL_S, Round(hsl.S * 240)},
        {gtHSL_L, Round(hsl.L * 240)},
    };
    for (auto [type, expected] : cases) {
        TColorTrackBar t;
        t.SetGradientType(type);
        t.SetHSB(H, S, B);
        EXPECT_EQ(t.Position(), expected) << type;
        EXPECT_EQ(t.CurrentColor(), color);
    }
    // A hue that rounds to 360 stays on the slider's 0..359 scale.
    TColorTrackBar t;
    t.SetGradientType(gtHSB_H);
    t.SetHSB(359.7, 1, 1);
    EXPECT_EQ(t.Position(), 359);
}

TEST(ColorTrackBar, ChangingTheTypeMovesThePositionToTheColour)
{
    TColorTrackBar t;
    t.SetHSB(120, 1, 0.6);
    ASSERT_EQ(t.Position(), 0); // red channel of a green
    t.SetGradientType(gtRGB_G);
    EXPECT_EQ(t.Position(), 153);
    t.SetGradientType(gtHSB_H);
    EXPECT_EQ(t.Position(), 120);
}

TEST(ColorTrackBar, SingleSettersRecomputeTheOtherModel)
{
    TColorTrackBar t;
    t.SetGradientType(gtHSL_L);
    t.SetHSB(0, 1, 1); // red: HSL (0, 1, 0.5)
    EXPECT_EQ(t.Position(), 120);
    t.SetHSL_Lum(0.25);
    EXPECT_EQ(t.Position(), 60);
    EXPECT_EQ(t.CurrentColor(), RGB(128, 0, 0));
    EXPECT_DOUBLE_EQ(t.HSB_Brt(), 0.5);
    EXPECT_DOUBLE_EQ(t.HSB_Sat(), 1);
    t.SetHSB_Sat(0.5);
    EXPECT_EQ(t.CurrentColor(), HSBToColor(0, 0.5, 0.5));
    EXPECT_NEAR(t.HSL_Sat(), 1.0 / 3, 0.01);

    // A grey keeps its hue in both models.
    t.SetHSB(200, 0, 0.5);
    EXPECT_DOUBLE_EQ(t.HSL_Hue(), 200.0 / 360);
    t.SetHSL_Sat(0);
    t.SetHSL_Lum(0.7);
    EXPECT_EQ(t.HSB_Hue(), 200);
}

// Ramp ends, p = 0 and p = L - 1, for the current colour HSB(200, 0.6, 0.9) on a 160-pixel track.
TEST(ColorTrackBar, RampEndsOfEveryGradientType)
{
    const double H = 200, S = 0.6, B = 0.9;
    const TColor c = HSBToColor(H, S, B);
    const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    THSL hsl = ColorToHSL(c);
    const double last = 159.0 / 160;
    const int a = 253; // 159 x 255 / 160, rounded
    struct Case {
        TGradientType type;
        TGradientSubType sub;
        TColor first, final;
    };
    const Case cases[] = {
        {gtRGB_R, gstAdvanced, RGB(0, g, b), RGB(a, g, b)},
        {gtRGB_G, gstAdvanced, RGB(r, 0, b), RGB(r, a, b)},
        {gtRGB_B, gstAdvanced, RGB(r, g, 0), RGB(r, g, a)},
        {gtRGB_R, gstSimple, clWhite, RGB(255, 255 - a, 255 - a)},
        {gtRGB_G, gstSimple, clWhite, RGB(255 - a, 255, 255 - a)},
        {gtRGB_B, gstSimple, clWhite, RGB(255 - a, 255 - a, 255)},
        {gtHSB_H, gstAdvanced, HSBToColor(0, S, B), HSBToColor(360 * last, S, B)},
        {gtHSB_S, gstSimple, HSBToColor(H, 0, B), HSBToColor(H, last, B)},
        {gtHSB_B, gstAdvanced, clBlack, HSBToColor(H, S, last)},
        {gtHSL_H, gstAdvanced, HSLToColor(0, hsl.S, hsl.L), HSLToColor(last, hsl.S, hsl.L)},
        {gtHSL_S, gstSimple, HSLToColor(hsl.H, 0, hsl.L), HSLToColor(hsl.H, last, hsl.L)},
        {gtHSL_L, gstAdvanced, clBlack, HSLToColor(hsl.H, hsl.S, last)},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << k.type << "/" << k.sub);
        TColorTrackBar t;
        t.SetGradientType(k.type);
        t.SetGradientSubType(k.sub);
        t.SetHSB(H, S, B);
        const QImage image = t.grab().toImage();
        EXPECT_EQ(Pixel(image, 8, 1), k.first);
        EXPECT_EQ(Pixel(image, 8, 8), k.first);
        EXPECT_EQ(Pixel(image, 167, 4), k.final);
    }
}

TEST(ColorTrackBar, ArtisticModeReadsTheHsbRampOnThePaintersWheel)
{
    TColorTransfer transfer;
    TColorTrackBar t;
    t.SetGradientType(gtHSB_H);
    t.SetHSB(0, 0.8, 1);
    t.SetArtisticMode(true);
    QImage image = t.grab().toImage();
    // Pixel 40 of 160 is artistic hue 90, which the painter's wheel puts at scientific 47.
    EXPECT_EQ(Pixel(image, 8 + 40, 4), transfer.ArtisticToColor(90, 0.8, 1, -1, -1, -1));
    EXPECT_NE(Pixel(image, 8 + 40, 4), HSBToColor(90, 0.8, 1));
    t.SetGradientType(gtHSB_B);
    image = t.grab().toImage();
    EXPECT_EQ(Pixel(image, 8 + 100, 4), transfer.ArtisticToColor(0, 0.8, 100.0 / 160, -1, -1, -1));
    // The RGB and HSL ramps are not affected.
    t.SetGradientType(gtRGB_G);
    EXPECT_EQ(Pixel(t.grab().toImage(), 8 + 80, 4), RGB(GetRValue(t.CurrentColor()), 128, GetBValue(t.CurrentColor())));
}

TEST(ColorTrackBar, SimulationIsAppliedLastAndDisabledShowsNoRamp)
{
    TColorTrackBar t;
    t.SetGradientType(gtHSB_H);
    t.SetHSB(0, 1, 1);
    t.SetColorVisionType(cvtProt);
    const QImage image = t.grab().toImage();
    EXPECT_EQ(Pixel(image, 8 + 60, 4), SimulateColorVision(HSBToColor(135, 1, 1), cvtProt));

    t.setEnabled(false);
    const QImage off = t.grab().toImage();
    const TColor background = TColorFromQColor(t.palette().color(t.backgroundRole()));
    EXPECT_EQ(Pixel(off, 8 + 60, 4), background);
    EXPECT_EQ(Pixel(off, 8 + 150, 6), background);
    int reports = 0;
    t.OnPositionChange = [&](TObject*, int) { ++reports; };
    Mouse(t, QEvent::MouseButtonPress, QPointF(100, 4), Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(reports, 0);
}

TEST(ColorTrackBar, FlatFrameInBorderColourAroundTheTrack)
{
    TColorTrackBar t;
    t.SetFlat(true);
    t.SetBorderColor(RGB(0, 0, 0));
    QImage image = t.grab().toImage();
    EXPECT_EQ(Pixel(image, 7, 4), clBlack);
    EXPECT_EQ(Pixel(image, 168, 4), clBlack);
    EXPECT_EQ(Pixel(image, 50, 0), clBlack);
    EXPECT_EQ(Pixel(image, 50, 9), clBlack);
    t.SetFlat(false);
    image = t.grab().toImage();
    EXPECT_EQ(Pixel(image, 7, 4), SysColorFromPalette(16, t.palette()));
    EXPECT_EQ(Pixel(image, 168, 4), SysColorFromPalette(20, t.palette()));
}

TEST(ColorTrackBar, RampRendersOnlyAfterAChangeThatShowsInIt)
{
    TColorTrackBar t;
    t.SetHSB(30, 1, 1);
    (void)t.grab();
    const int first = t.Background().renderCount();
    t.SetMarkerColor(clWhite);
    t.SetPosition(10);
    t.SetHSB(30, 1, 1);
    t.SetFlat(true);
    (void)t.grab();
    EXPECT_EQ(t.Background().renderCount(), first);
    t.SetHSB(31, 1, 1);
    (void)t.grab();
    EXPECT_EQ(t.Background().renderCount(), first + 1);
}

TEST(ColorTrackBar, SharpRampAtRatioTwo)
{
    TColorTrackBar t;
    t.SetGradientType(gtRGB_B);
    t.SetHSB(0, 0, 0);
    QImage shot(t.width() * 2, t.height() * 2, QImage::Format_ARGB32_Premultiplied);
    shot.setDevicePixelRatio(2);
    t.render(&shot);
    // 320 device steps: the last one is 319 x 255 / 320 rounded.
    EXPECT_EQ(Pixel(shot, 16, 4), clBlack);
    EXPECT_EQ(Pixel(shot, 16 + 319, 4), RGB(0, 0, 254));
    EXPECT_EQ(Pixel(shot, 16 + 1, 4), RGB(0, 0, 1));
}
