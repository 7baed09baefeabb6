// The colour sampler: the field's pixel formula for each preset, the frames, picking from the
// drawn field (simulated colours included) and the device-pixel cache.
#include "colour/Colors.h"
#include "pickers/ColorSampler.h"
#include "pickers/SysColors.h"

#include <QApplication>
#include <QMimeData>
#include <QMouseEvent>
#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

void Mouse(QWidget& w, QEvent::Type type, QPointF pos, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent e(type, pos, w.mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(&w, &e);
}

TColor Pixel(const QImage& image, int x, int y)
{
    const QRgb px = image.pixel(x, y);
    return RGB(qRed(px), qGreen(px), qBlue(px));
}

// The field colour straight from the rule, at control coordinates, for a W x H control.
TColor Expected(TSamplerPresets preset, double x, double y, int W, int H)
{
    switch (preset) {
    case spSaturated: return HSLToColor(x / W, 1, 1 - y / H);
    case spRich: return HSBToColor(360 * x / W, 1, y / H / 1.5 + 0.25);
    case spDesaturated: return HSLToColor(x / W, 0.3, 0.95 - y / H / 1.2);
    case spLight: return HSBToColor(360 * x / W, y / H / 1.3, 1);
    }
    return 0;
}

struct Picks {
    std::vector<TColor> colors;
    std::vector<TObject*> senders;
    void attach(TColorSampler& s)
    {
        s.OnColorChange = [this](TObject* sender, TColor c) {
            senders.push_back(sender);
            colors.push_back(c);
        };
    }
};

} // namespace

TEST(ColorSampler, DefaultsMatchTheControlDescription)
{
    TColorSampler s;
    EXPECT_EQ(s.size(), QSize(200, 20));
    EXPECT_EQ(s.Presets(), spSaturated);
    EXPECT_EQ(s.Style(), bsLowered);
    EXPECT_EQ(s.ColorVisionType(), cvtNorm);
    EXPECT_EQ(s.FieldRect(), QRect(3, 3, 194, 14));
    EXPECT_EQ(s.focusPolicy(), Qt::NoFocus);
}

TEST(ColorSampler, EveryFieldPixelFollowsThePresetFormula)
{
    for (TSamplerPresets preset : {spSaturated, spRich, spDesaturated, spLight}) {
        SCOPED_TRACE(preset);
        TColorSampler s;
        s.resize(184, 70);
        s.SetPresets(preset);
        const QImage image = s.grab().toImage();
        const QRect field = s.FieldRect();
        ASSERT_EQ(field, QRect(3, 3, 178, 64));
        int mismatches = 0;
        for (int y = field.top(); y <= field.bottom(); ++y)
            for (int x = field.left(); x <= field.right(); ++x)
                mismatches += Pixel(image, x, y) != Expected(preset, x, y, 184, 70);
        EXPECT_EQ(mismatches, 0);
    }
}

TEST(ColorSampler, FramesAreThreeDThenButtonFaceThenBlack)
{
    struct Case {
        TSamplerBorderStyle style;
        int faceAt; // inset of the button-face ring
    };
    for (const Case& c : {Case {bsLowered, 1}, Case {bsRaised, 1}, Case {bsFlat, 0}}) {
        SCOPED_TRACE(c.style);
        TColorSampler s;
        s.resize(60, 30);
        s.SetStyle(c.style);
        const QImage image = s.grab().toImage();
        const TColor face = SysColorFromPalette(15, s.palette());
        const TColor shadow = SysColorFromPalette(16, s.palette());
        const TColor light = SysColorFromPalette(20, s.palette());
        const int f = c.faceAt;
        EXPECT_EQ(Pixel(image, f, 15), face);
        EXPECT_EQ(Pixel(image, 30, 29 - f), face);
        EXPECT_EQ(Pixel(image, f + 1, 15), clBlack);
        EXPECT_EQ(Pixel(image, 58 - f, f + 1), clBlack);
        EXPECT_EQ(Pixel(image, f + 2, 15), Expected(spSaturated, f + 2, 15, 60, 30));
        if (c.style == bsLowered) {
            EXPECT_EQ(Pixel(image, 0, 10), shadow);
            EXPECT_EQ(Pixel(image, 10, 0), shadow);
            EXPECT_EQ(Pixel(image, 59, 10), light);
            EXPECT_EQ(Pixel(image, 10, 29), light);
        } else if (c.style == bsRaised) {
            EXPECT_EQ(Pixel(image, 0, 10), light);
            EXPECT_EQ(Pixel(image, 59, 10), shadow);
        }
        EXPECT_EQ(s.FieldRect(), QRect(f + 2, f + 2, 60 - 2 * (f + 2), 30 - 2 * (f + 2)));
    }
}

TEST(ColorSampler, PressPicksMoveWhileHeldPicksReleaseEnds)
{
    TColorSampler s;
    s.resize(200, 60);
    Picks picks;
    picks.attach(s);
    int ups = 0;
    s.OnMouseUp = [&](TObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { ++ups; };

    Mouse(s, QEvent::MouseMove, QPointF(50, 20), Qt::NoButton, Qt::NoButton);
    EXPECT_TRUE(picks.colors.empty()) << "hovering picks nothing";

    Mouse(s, QEvent::MouseButtonPress, QPointF(50, 20), Qt::LeftButton, Qt::LeftButton);
    Mouse(s, QEvent::MouseMove, QPointF(120.7, 40.2), Qt::NoButton, Qt::LeftButton);
    Mouse(s, QEvent::MouseMove, QPointF(199, 40), Qt::NoButton, Qt::LeftButton); // on the frame
    Mouse(s, QEvent::MouseButtonRelease, QPointF(199, 40), Qt::LeftButton, Qt::NoButton);
    Mouse(s, QEvent::MouseMove, QPointF(60, 30), Qt::NoButton, Qt::NoButton);

    ASSERT_EQ(picks.colors.size(), 2u);
    EXPECT_EQ(picks.colors[0], Expected(spSaturated, 50, 20, 200, 60));
    EXPECT_EQ(picks.colors[1], Expected(spSaturated, 120, 40, 200, 60));
    EXPECT_EQ(picks.senders[0], static_cast<TObject*>(&s));
    EXPECT_EQ(ups, 1);
}

TEST(ColorSampler, WithASimulationThePickIsTheSimulatedColourShown)
{
    for (TColorVisionType vision : {cvtProt, cvtDeut, cvtTrit, cvtMono}) {
        SCOPED_TRACE(vision);
        TColorSampler s;
        s.resize(200, 60);
        s.SetPresets(spRich);
        s.SetColorVisionType(vision);
        Picks picks;
        picks.attach(s);
        Mouse(s, QEvent::MouseButtonPress, QPointF(30, 25), Qt::LeftButton, Qt::LeftButton);
        const TColor simulated = SimulateColorVision(Expected(spRich, 30, 25, 200, 60), vision);
        ASSERT_EQ(picks.colors.size(), 1u);
        EXPECT_EQ(picks.colors[0], simulated);
        EXPECT_EQ(Pixel(s.grab().toImage(), 30, 25), simulated);
    }
}

TEST(ColorSampler, SharpAtRatioTwo)
{
    for (TSamplerPresets preset : {spSaturated, spRich, spDesaturated, spLight}) {
        SCOPED_TRACE(preset);
        TColorSampler s;
        s.resize(100, 40);
        s.SetPresets(preset);
        QImage shot(200, 80, QImage::Format_ARGB32_Premultiplied);
        shot.setDevicePixelRatio(2);
        s.render(&shot);
        const TColor shadow = SysColorFromPalette(16, s.palette());
        // A one-pixel ring is two device pixels, with nothing blended between rings.
        EXPECT_EQ(Pixel(shot, 0, 40), shadow);
        EXPECT_EQ(Pixel(shot, 1, 40), shadow);
        EXPECT_EQ(Pixel(shot, 4, 40), clBlack);
        EXPECT_EQ(Pixel(shot, 5, 40), clBlack);
        // Every device pixel of the field is the rule at the logical point it starts at.
        int mismatches = 0;
        for (int y = 6; y < 74; ++y)
            for (int x = 6; x < 194; ++x)
                mismatches += Pixel(shot, x, y) != Expected(preset, x / 2.0, y / 2.0, 100, 40);
        EXPECT_EQ(mismatches, 0);
    }
}

TEST(ColorSampler, FieldRendersOnlyWhenSomethingShownChanges)
{
    TColorSampler s;
    s.resize(120, 40);
    (void)s.grab();
    const int first = s.Background().renderCount();
    (void)s.grab();
    s.SetPresets(spSaturated);
    s.SetStyle(bsLowered);
    s.SetColorVisionType(cvtNorm);
    (void)s.grab();
    EXPECT_EQ(s.Background().renderCount(), first);
    s.SetPresets(spLight);
    (void)s.grab();
    EXPECT_EQ(s.Background().renderCount(), first + 1);
    s.resize(130, 40);
    (void)s.grab();
    EXPECT_EQ(s.Background().renderCount(), first + 2);
}

TEST(ColorSampler, DropsGoToTheOwnersHandlers)
{
    TColorSampler s;
    s.resize(100, 30);
    QMimeData mime;
    mime.setText(QStringLiteral("#FF0000"));
    auto enter = [&] {
        QDragEnterEvent e(QPoint(20, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&s, &e);
        return e.isAccepted();
    };
    EXPECT_FALSE(enter()) << "no drag-over handler: refused";
    int drops = 0;
    s.OnDragOver = [](TObject*, QDragMoveEvent* e, bool& accept) { accept = e->mimeData()->hasText(); };
    s.OnDragDrop = [&](TObject* sender, QDropEvent*) { drops += sender == static_cast<TObject*>(&s); };
    EXPECT_TRUE(enter());
    QDropEvent drop(QPointF(20, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&s, &drop);
    EXPECT_EQ(drops, 1);
}
