// The colour swatch button: what each look paints, the no-colour band, the click rules and the
// colour and hint updates.
#include "pickers/ColorSwatchButton.h"
#include "pickers/SysColors.h"

#include <QApplication>
#include <QMouseEvent>
#include <gtest/gtest.h>

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

// A page's 22 x 22 button.
struct SwatchButton : ::testing::Test {
    SwatchButton()
    {
        b.resize(22, 22);
        b.OnClick = [this](TObject*) { ++clicks; };
        b.OnColorChange = [this](TObject* sender, TColor c) {
            EXPECT_EQ(sender, static_cast<TObject*>(&b));
            changes.push_back(c);
        };
    }
    QImage Shot() { return b.grab().toImage(); }
    TColor Face() const { return SysColorFromPalette(15, b.palette()); }
    TColor Shadow() const { return SysColorFromPalette(16, b.palette()); }

    TColorSwatchButton b;
    int clicks = 0;
    std::vector<TColor> changes;
};

} // namespace

TEST(ColorSwatchButtonDefaults, AsDescribed)
{
    TColorSwatchButton b;
    EXPECT_EQ(b.size(), QSize(20, 20));
    EXPECT_EQ(b.SelectionColor(), 0u);
    EXPECT_EQ(b.DropDownArrowColor(), 0u);
    EXPECT_FALSE(b.AutoCreateHint());
    EXPECT_EQ(b.ColorVisionType(), cvtNorm);
    EXPECT_EQ(b.ColorFormula(), nullptr);
    EXPECT_FALSE(b.IsPressed());
}

TEST_F(SwatchButton, ReleasedLookPaintsFrameSwatchNotchAndArrow)
{
    b.SetSelectionColor(RGB(10, 120, 200));
    b.SetDropDownArrowColor(RGB(0, 0, 255));
    const QImage img = Shot();
    const TColor c = RGB(10, 120, 200);
    EXPECT_EQ(Pixel(img, 0, 5), clWhite) << "raised frame, light side";
    EXPECT_EQ(Pixel(img, 21, 5), Shadow()) << "raised frame, dark side";
    EXPECT_EQ(Pixel(img, 1, 5), Face());
    EXPECT_EQ(Pixel(img, 2, 5), Shadow()) << "sunken edge around the swatch";
    EXPECT_EQ(Pixel(img, 19, 5), clWhite);
    for (QPoint at : {QPoint(3, 3), QPoint(18, 3), QPoint(3, 18), QPoint(18, 15), QPoint(13, 18), QPoint(10, 10)})
        EXPECT_EQ(Pixel(img, at.x(), at.y()), c) << at.x() << "," << at.y();
    // The notch steps around the arrow.
    EXPECT_EQ(Pixel(img, 14, 17), clWhite);
    EXPECT_EQ(Pixel(img, 17, 16), clWhite);
    EXPECT_EQ(Pixel(img, 16, 17), Face());
    // Arrow rows of 5, 3 and 1 under (16, 18).
    for (QPoint at : {QPoint(16, 18), QPoint(20, 18), QPoint(17, 19), QPoint(19, 19), QPoint(18, 20)})
        EXPECT_EQ(Pixel(img, at.x(), at.y()), RGB(0, 0, 255)) << at.x() << "," << at.y();
    EXPECT_NE(Pixel(img, 16, 19), RGB(0, 0, 255));
}

TEST_F(SwatchButton, PressedLookDropsTheRaisedFrameAndShiftsTheArrow)
{
    b.SetSelectionColor(RGB(10, 120, 200));
    Mouse(b, QEvent::MouseButtonPress, QPointF(8, 8), Qt::LeftButton, Qt::LeftButton);
    ASSERT_TRUE(b.IsPressed());
    const QImage img = Shot();
    EXPECT_EQ(Pixel(img, 0, 5), Face());
    EXPECT_EQ(Pixel(img, 1, 5), Shadow());
    EXPECT_EQ(Pixel(img, 2, 2), RGB(10, 120, 200));
    EXPECT_EQ(Pixel(img, 19, 19), clBlack) << "arrow under (17, 19)";
    EXPECT_EQ(Pixel(img, 19, 21), clBlack);
    EXPECT_EQ(Pixel(img, 16, 18), Face());
}

TEST_F(SwatchButton, NoColourIsWhiteWithARedBandFromTopRightToBottomLeft)
{
    for (TColor none : {TColor(-1), TColor(0x7F000000), TColor(0x01000000)}) {
        SCOPED_TRACE(none);
        b.SetSelectionColor(none);
        const QImage img = Shot();
        for (QPoint at : {QPoint(17, 3), QPoint(18, 4), QPoint(10, 10), QPoint(11, 11), QPoint(4, 18), QPoint(3, 17)})
            EXPECT_EQ(Pixel(img, at.x(), at.y()), RGB(255, 0, 0)) << at.x() << "," << at.y();
        for (QPoint at : {QPoint(4, 4), QPoint(7, 7), QPoint(15, 14), QPoint(12, 17), QPoint(3, 3)})
            EXPECT_EQ(Pixel(img, at.x(), at.y()), clWhite) << at.x() << "," << at.y();
    }
    b.SetSelectionColor(RGB(0, 0, 0));
    EXPECT_EQ(Pixel(Shot(), 10, 10), clBlack) << "black is a colour, not none";
}

TEST_F(SwatchButton, SimulationAndDisabledLook)
{
    b.SetSelectionColor(RGB(200, 40, 40));
    b.SetColorVisionType(cvtDeut);
    EXPECT_EQ(Pixel(Shot(), 10, 10), SimulateColorVision(RGB(200, 40, 40), cvtDeut));
    b.SetSelectionColor(TColor(-1));
    EXPECT_EQ(Pixel(Shot(), 10, 10), SimulateColorVision(RGB(255, 0, 0), cvtDeut))
        << "the band as a deuteranope sees it";
    b.SetSelectionColor(RGB(200, 40, 40));
    b.setEnabled(false);
    const QImage img = Shot();
    EXPECT_EQ(Pixel(img, 10, 10), Shadow());
    EXPECT_EQ(Pixel(img, 18, 18), Shadow()) << "disabled arrow";
}

TEST_F(SwatchButton, ClickOnlyWhenReleasedInsideAfterALeftPress)
{
    struct Step {
        QEvent::Type type;
        QPointF at;
        Qt::MouseButton button;
        Qt::MouseButtons buttons;
    };
    struct Case {
        const char* what;
        std::vector<Step> steps;
        int clicks;
    };
    const auto press = [](QPointF at, Qt::MouseButton bt = Qt::LeftButton) {
        return Step {QEvent::MouseButtonPress, at, bt, bt};
    };
    const auto move = [](QPointF at) { return Step {QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton}; };
    const auto release = [](QPointF at, Qt::MouseButton bt = Qt::LeftButton) {
        return Step {QEvent::MouseButtonRelease, at, bt, Qt::NoButton};
    };
    const Case cases[] = {
        {"press and release inside", {press({5, 5}), release({6, 6})}, 1},
        {"release outside", {press({5, 5}), move({30, 5}), release({30, 5})}, 0},
        {"out and back in", {press({5, 5}), move({-3, 5}), move({10, 10}), release({10, 10})}, 1},
        {"on the right edge is outside", {press({5, 5}), release({22, 5})}, 0},
        {"right button", {press({5, 5}, Qt::RightButton), release({5, 5}, Qt::RightButton)}, 0},
        {"release without a press", {release({5, 5})}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        clicks = 0;
        for (const Step& s : c.steps)
            Mouse(b, s.type, s.at, s.button, s.buttons);
        EXPECT_EQ(clicks, c.clicks);
        EXPECT_FALSE(b.IsPressed());
        EXPECT_FALSE(b.IsTracking());
    }
}

TEST_F(SwatchButton, PressedLookFollowsThePointerWhileTracking)
{
    std::vector<TColor> rollovers;
    b.SetSelectionColor(RGB(1, 2, 3));
    b.OnColorRollover = [&](TObject*, TColor c) { rollovers.push_back(c); };
    Mouse(b, QEvent::MouseMove, QPointF(5, 5));
    EXPECT_FALSE(b.IsPressed());
    Mouse(b, QEvent::MouseButtonPress, QPointF(5, 5), Qt::LeftButton, Qt::LeftButton);
    Mouse(b, QEvent::MouseMove, QPointF(25, 5), Qt::NoButton, Qt::LeftButton);
    EXPECT_FALSE(b.IsPressed());
    EXPECT_TRUE(b.IsTracking());
    Mouse(b, QEvent::MouseMove, QPointF(21, 21), Qt::NoButton, Qt::LeftButton);
    EXPECT_TRUE(b.IsPressed());
    EXPECT_EQ(rollovers, (std::vector<TColor> {RGB(1, 2, 3), RGB(1, 2, 3), RGB(1, 2, 3)}));
}

TEST_F(SwatchButton, ResetButtonStateAfterAPoppedUpMenu)
{
    // The page pops its colour menu up on the press; the release goes to the menu.
    b.OnMouseDown = [this](TObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { b.ResetButtonState(); };
    Mouse(b, QEvent::MouseButtonPress, QPointF(5, 5), Qt::LeftButton, Qt::LeftButton);
    EXPECT_FALSE(b.IsPressed());
    EXPECT_FALSE(b.IsTracking());
    Mouse(b, QEvent::MouseButtonRelease, QPointF(5, 5), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(Pixel(Shot(), 0, 5), clWhite) << "released look";
}

TEST_F(SwatchButton, DisablingShowsTheReleasedLook)
{
    Mouse(b, QEvent::MouseButtonPress, QPointF(5, 5), Qt::LeftButton, Qt::LeftButton);
    ASSERT_TRUE(b.IsPressed());
    b.setEnabled(false);
    EXPECT_FALSE(b.IsPressed());
    EXPECT_FALSE(b.IsTracking());
    Mouse(b, QEvent::MouseButtonPress, QPointF(5, 5), Qt::LeftButton, Qt::LeftButton);
    EXPECT_FALSE(b.IsPressed());
}

TEST_F(SwatchButton, ColourChangeFiresOnceAndRenewsTheHint)
{
    b.SetAutoCreateHint(true);
    EXPECT_EQ(b.toolTip(), QStringLiteral("#000000"));
    b.SetSelectionColor(RGB(0xAB, 0x0C, 0xFF));
    EXPECT_EQ(changes, (std::vector<TColor> {RGB(0xAB, 0x0C, 0xFF)}));
    EXPECT_EQ(b.toolTip(), QStringLiteral("#AB0CFF"));

    // The same value again: nothing fires and the hint stays, even one set by hand.
    b.setToolTip(QStringLiteral("Background Color"));
    b.SetSelectionColor(RGB(0xAB, 0x0C, 0xFF));
    EXPECT_EQ(changes.size(), 1u);
    EXPECT_EQ(b.toolTip(), QStringLiteral("Background Color"));

    b.SetSelectionColor(TColor(-1));
    EXPECT_EQ(changes.size(), 2u);
    EXPECT_EQ(changes.back(), TColor(-1));

    // A page setting its first colours while loading hears nothing back.
    b.SetLoading(true);
    b.SetSelectionColor(clWhite);
    b.SetLoading(false);
    EXPECT_EQ(changes.size(), 2u);
    EXPECT_EQ(b.SelectionColor(), clWhite);

    TColorSwatchButton plain;
    plain.setToolTip(QStringLiteral("Outline Color"));
    plain.SetSelectionColor(clRed);
    EXPECT_EQ(plain.toolTip(), QStringLiteral("Outline Color")) << "no AutoCreateHint";
}

TEST_F(SwatchButton, LeavingReportsTheScreenPosition)
{
    int leaves = 0;
    b.OnMouseLeave = [&](TObject* sender, int x, int y) {
        leaves += sender == static_cast<TObject*>(&b);
        EXPECT_EQ(QPoint(x, y), QCursor::pos());
    };
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&b, &leave);
    EXPECT_EQ(leaves, 1);
}
