#include "pickers/ColorButton.h"

#include "colour/ColorVision.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QImage>
#include <QMimeData>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr TColor kTeal = RGB(0, 128, 128);
constexpr TColor kOrange = RGB(255, 128, 0);

QRgb Rgb(TColor c)
{
    const TColor rgb = ColorToRGB(c);
    return qRgb(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb)) & 0xFFFFFF;
}

QImage Render(QWidget& w, int ratio)
{
    QImage image(w.size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::magenta);
    w.render(&image);
    return image;
}

QRgb At(const QImage& image, int x, int y)
{
    return image.pixel(x, y) & 0xFFFFFF;
}

void Send(QWidget* w, QEvent::Type type, Qt::MouseButton button, QPoint pos)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent e(type, pos, w->mapToGlobal(pos), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

void Move(QWidget* w, QPoint pos)
{
    QMouseEvent e(QEvent::MouseMove, pos, w->mapToGlobal(pos), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

} // namespace

TEST(ColorButton, SelectionColorNotifiesOnlyRealChanges)
{
    TColorButton b;
    EXPECT_EQ(b.size(), QSize(20, 20));
    EXPECT_EQ(b.SelectionColor(), 0u);
    std::vector<TColor> changes;
    b.OnColorChange = [&](TObject* sender, TColor c) {
        EXPECT_EQ(sender, static_cast<TObject*>(&b));
        changes.push_back(c);
    };
    b.SetSelectionColor(kOrange);
    b.SetSelectionColor(kOrange);
    // A system colour is stored as the RGB it stands for.
    b.SetSelectionColor(clBtnFace);
    EXPECT_EQ(b.SelectionColor(), ColorToRGB(clBtnFace));
    b.SetSelectionColor(ColorToRGB(clBtnFace));
    // A value with another top byte means "no colour" and is kept as such.
    b.SetSelectionColor(0x7F000000);
    EXPECT_FALSE(b.HasColor());
    EXPECT_EQ(changes, (std::vector<TColor> {kOrange, ColorToRGB(clBtnFace), 0x7F000000}));
}

TEST(ColorButton, AutoCreateHintFollowsTheColour)
{
    TColorButton b;
    b.setToolTip(QStringLiteral("Base Color"));
    b.SetSelectionColor(kOrange);
    EXPECT_EQ(b.toolTip(), QStringLiteral("Base Color"));
    b.SetAutoCreateHint(true);
    EXPECT_EQ(b.toolTip(), QStringLiteral("#FF8000"));
    b.SetSelectionColor(RGB(1, 0xAB, 0x2C));
    EXPECT_EQ(b.toolTip(), QStringLiteral("#01AB2C"));
    b.SetSelectionColor(0x7F000000);
    EXPECT_TRUE(b.toolTip().isEmpty());
}

TEST(ColorButton, FramesAndSwatchArePaintedByLook)
{
    struct Case {
        const char* name;
        bool flat;
        bool selected;
        // Columns 0, 1, 2 and 3 along the middle row; the swatch fills the middle.
        TColor col0, col1, col2, col3;
    };
    const Case cases[] = {
        {"raised", false, false, clBtnHighlight, clBtnFace, clBtnFace, kOrange},
        {"flat", true, false, clBtnShadow, clBtnFace, kOrange, kOrange},
        {"raised selected", false, true, kTeal, kTeal, clBtnFace, kOrange},
        {"flat selected", true, true, kTeal, kTeal, kOrange, kOrange},
    };
    for (const Case& c : cases) {
        TColorButton b;
        b.resize(48, 48);
        b.SetSelectionColor(kOrange);
        b.SetSelectionFrameColor(kTeal);
        b.SetFlat(c.flat);
        b.SetSelected(c.selected);
        const QImage image = Render(b, 1);
        EXPECT_EQ(At(image, 0, 24), Rgb(c.col0)) << c.name;
        EXPECT_EQ(At(image, 1, 24), Rgb(c.col1)) << c.name;
        EXPECT_EQ(At(image, 2, 24), Rgb(c.col2)) << c.name;
        EXPECT_EQ(At(image, 3, 24), Rgb(c.col3)) << c.name;
        EXPECT_EQ(At(image, 24, 24), Rgb(kOrange)) << c.name;
        if (!c.selected && !c.flat) {
            EXPECT_EQ(At(image, 47, 24), Rgb(cl3DDkShadow)) << c.name;
            EXPECT_EQ(At(image, 46, 24), Rgb(clBtnShadow)) << c.name;
        }
    }
}

TEST(ColorButton, NoColourVisionAndDensityAreHonoured)
{
    TColorButton b;
    b.resize(48, 48);
    b.SetFlat(true);
    b.SetSelectionColor(RGB(200, 30, 60));
    b.SetColorVisionType(cvtProt);
    const TColor seen = SimulateColorVision(RGB(200, 30, 60), cvtProt);
    ASSERT_NE(Rgb(seen), Rgb(RGB(200, 30, 60)));
    EXPECT_EQ(At(Render(b, 1), 24, 24), Rgb(seen));

    // At twice the density the one-pixel frame is two device pixels and the edge stays sharp.
    const QImage twice = Render(b, 2);
    ASSERT_EQ(twice.width(), 96);
    EXPECT_EQ(At(twice, 0, 48), Rgb(clBtnShadow));
    EXPECT_EQ(At(twice, 1, 48), Rgb(clBtnShadow));
    EXPECT_EQ(At(twice, 3, 48), Rgb(clBtnFace));
    EXPECT_EQ(At(twice, 4, 48), Rgb(seen));

    b.SetSelectionColor(0x7F000000);
    EXPECT_EQ(At(Render(b, 1), 24, 24), Rgb(clBtnFace));
}

TEST(ColorButton, ClicksComeFromCompletedPressesOnly)
{
    enum Step { PressIn, ReleaseIn, ReleaseOut, DoubleIn, RightPressIn, RightReleaseIn };
    struct Case {
        const char* name;
        std::vector<Step> steps;
        int clicks;
        int doubles;
    };
    const Case cases[] = {
        {"click", {PressIn, ReleaseIn}, 1, 0},
        {"released outside", {PressIn, ReleaseOut}, 0, 0},
        // Qt's own order for a double click, and the order with the second press delivered too.
        {"double click", {PressIn, ReleaseIn, DoubleIn, ReleaseIn}, 1, 1},
        {"double click with press", {PressIn, ReleaseIn, PressIn, DoubleIn, ReleaseIn}, 1, 1},
        {"right button", {RightPressIn, RightReleaseIn}, 0, 0},
    };
    for (const Case& c : cases) {
        TColorButton b;
        int clicks = 0, doubles = 0, downs = 0;
        b.OnClick = [&](TObject*) { ++clicks; };
        b.OnDblClick = [&](TObject*) { ++doubles; };
        b.OnMouseDown = [&](TObject*, Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
            EXPECT_EQ(QPoint(x, y), QPoint(5, 6));
            ++downs;
        };
        for (Step s : c.steps) {
            switch (s) {
            case PressIn: Send(&b, QEvent::MouseButtonPress, Qt::LeftButton, {5, 6}); break;
            case ReleaseIn: Send(&b, QEvent::MouseButtonRelease, Qt::LeftButton, {5, 6}); break;
            case ReleaseOut: Send(&b, QEvent::MouseButtonRelease, Qt::LeftButton, {30, 6}); break;
            case DoubleIn: Send(&b, QEvent::MouseButtonDblClick, Qt::LeftButton, {5, 6}); break;
            case RightPressIn: Send(&b, QEvent::MouseButtonPress, Qt::RightButton, {5, 6}); break;
            case RightReleaseIn: Send(&b, QEvent::MouseButtonRelease, Qt::RightButton, {5, 6}); break;
            }
        }
        EXPECT_EQ(clicks, c.clicks) << c.name;
        EXPECT_EQ(doubles, c.doubles) << c.name;
        EXPECT_GE(downs, 1) << c.name;
    }

    // Space on the focused button clicks it, as on any push button.
    TColorButton b;
    int clicks = 0;
    b.OnClick = [&](TObject*) { ++clicks; };
    QTest::keyClick(&b, Qt::Key_Space);
    EXPECT_EQ(clicks, 1);
}

TEST(ColorButton, RolloverReportsEveryMoveAndLeaveReportsTheScreenPosition)
{
    TColorButton b;
    b.SetSelectionColor(kOrange);
    std::vector<TColor> rollovers;
    int leaves = 0;
    b.OnColorRollover = [&](TObject*, TColor c) { rollovers.push_back(c); };
    b.OnMouseLeave = [&](TObject*, int x, int y) {
        EXPECT_EQ(QPoint(x, y), QCursor::pos());
        ++leaves;
    };
    Move(&b, {3, 3});
    Move(&b, {4, 3});
    Move(&b, {4, 4});
    EXPECT_EQ(rollovers, (std::vector<TColor> {kOrange, kOrange, kOrange}));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&b, &leave);
    EXPECT_EQ(leaves, 1);
}

TEST(ColorButton, TakesColourDropsOnlyWhenItHasADropHandler)
{
    TColorDragCtrlObject sent;
    sent.Color = RGB(10, 20, 30);
    sent.SourceIndex = 4;
    sent.DragKind = 1;
    std::unique_ptr<QMimeData> ours(EncodeColorDrag(sent));
    QMimeData foreign;
    foreign.setText(QStringLiteral("#0A141E"));

    const auto enter = [](TColorButton& b, const QMimeData* data) {
        QDragEnterEvent e(QPoint(5, 5), Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&b, &e);
        return e.isAccepted();
    };

    TColorButton b;
    EXPECT_FALSE(enter(b, ours.get())) << "no handler";

    std::vector<TColorDragCtrlObject> drops;
    b.OnDragDrop = [&](TObject*, const TColorDragCtrlObject& d, int x, int y) {
        EXPECT_EQ(QPoint(x, y), QPoint(6, 7));
        drops.push_back(d);
    };
    EXPECT_TRUE(enter(b, ours.get()));
    EXPECT_FALSE(enter(b, &foreign));

    QDropEvent drop(QPointF(6, 7), Qt::CopyAction | Qt::MoveAction, ours.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&b, &drop);
    ASSERT_EQ(drops.size(), 1u);
    EXPECT_EQ(drops[0].Color, RGB(10, 20, 30));
    EXPECT_EQ(drops[0].SourceIndex, 4);
    EXPECT_EQ(drops[0].DragKind, 1);

    // The owner may still refuse, e.g. drags that began on the button itself.
    b.OnDragOver = [](TObject*, const TColorDragCtrlObject& d, int, int, bool& accept) { accept = d.DragKind != 1; };
    EXPECT_FALSE(enter(b, ours.get()));
    QDropEvent refused(QPointF(6, 7), Qt::CopyAction, ours.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&b, &refused);
    EXPECT_EQ(drops.size(), 1u);
}
