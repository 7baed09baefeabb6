#include "pickers/CaptionBar.h"

#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

QRgb Rgb(TColor c)
{
    const TColor rgb = ColorToRGB(c);
    return qRgb(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb)) & 0xFFFFFF;
}

QImage Render(QWidget& w, int ratio = 1)
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

void Press(QWidget* w, QPoint pos, Qt::MouseButton button = Qt::LeftButton)
{
    QMouseEvent down(QEvent::MouseButtonPress, pos, w->mapToGlobal(pos), button, button, Qt::NoModifier);
    QApplication::sendEvent(w, &down);
    QMouseEvent up(QEvent::MouseButtonRelease, pos, w->mapToGlobal(pos), button, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &up);
}

void Move(QWidget* w, QPoint pos)
{
    QMouseEvent e(QEvent::MouseMove, pos, w->mapToGlobal(pos), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

void Leave(QWidget* w)
{
    QEvent e(QEvent::Leave);
    QApplication::sendEvent(w, &e);
}

std::unique_ptr<TCaptionBar> Bar(bool collapseBtn, const char* caption = "Color Inspector")
{
    auto bar = std::make_unique<TCaptionBar>();
    bar->resize(240, 20);
    bar->SetCaption(QString::fromLatin1(caption));
    bar->SetCollapseBtn(collapseBtn);
    return bar;
}

} // namespace

TEST(CaptionBar, NewBarDefaults)
{
    TCaptionBar bar;
    EXPECT_EQ(bar.height(), 20);
    EXPECT_EQ(bar.sizeHint().height(), 20);
    EXPECT_TRUE(bar.font().bold());
    EXPECT_TRUE(bar.Caption().isEmpty());
    EXPECT_FALSE(bar.ShowMenu());
    EXPECT_FALSE(bar.CollapseBtn());
    EXPECT_FALSE(bar.Collapsed());
    EXPECT_EQ(bar.EdgeBorders(), TEdgeBorders(ebTop) | ebBottom);
    EXPECT_EQ(bar.RolloverColor(), cl3DDkShadow);
    EXPECT_EQ(bar.ButtonMenu(), nullptr);
}

TEST(CaptionBar, GeometryFollowsTheBarHeightAndCaption)
{
    for (int h : {20, 24, 31}) {
        auto bar = Bar(true);
        bar->resize(240, h);
        const int a = (h - 18) / 2;
        const int text = bar->fontMetrics().horizontalAdvance(bar->Caption());
        EXPECT_EQ(bar->CollapseBoxRect(), QRect(2, a, 18, 18)) << h;
        EXPECT_EQ(bar->CollapseAreaRect(), QRect(2, a, 18 + text, 18)) << h;
        EXPECT_EQ(bar->CaptionRect().left(), 20) << h;
        EXPECT_EQ(bar->CaptionRect().right() + 1, 240 - 2) << h;
        bar->SetShowMenu(true);
        const QSize img = TCaptionBar::MenuImageSize();
        EXPECT_EQ(
            bar->MenuButtonRect(), QRect(240 - 2 - img.width(), (h - img.height()) / 2, img.width(), img.height()))
            << h;
        EXPECT_EQ(bar->CaptionRect().right() + 1, bar->MenuButtonRect().left() - 2) << h;
    }
    auto plain = Bar(false);
    EXPECT_EQ(plain->CaptionRect().left(), 2);
}

TEST(CaptionBar, ShadedRowsAndEdgeLines)
{
    EXPECT_EQ(TCaptionBar::ShadeFactor(0, 20), 240);
    EXPECT_EQ(TCaptionBar::ShadeFactor(19, 20), 189);
    EXPECT_EQ(TCaptionBar::ShadeFactor(10, 20), 240 - (10 * 204 / 19) / 4);

    auto bar = Bar(false, "");
    const TColor base = RGB(200, 100, 50);
    bar->SetColor(base);
    const QImage image = Render(*bar);
    const auto shaded = [base](int y) {
        const int c = TCaptionBar::ShadeFactor(y, 20);
        return qRgb(Round(GetRValue(base) * c / 255.0), Round(GetGValue(base) * c / 255.0),
                   Round(GetBValue(base) * c / 255.0))
            & 0xFFFFFF;
    };
    for (int y = 1; y < 19; ++y)
        EXPECT_EQ(At(image, 120, y), shaded(y)) << "row " << y;
    // Default edges: top and bottom only.
    EXPECT_EQ(At(image, 120, 0), Rgb(clBtnHighlight));
    EXPECT_EQ(At(image, 120, 19), Rgb(clBtnShadow));
    EXPECT_EQ(At(image, 0, 10), shaded(10));
    EXPECT_EQ(At(image, 239, 10), shaded(10));

    // The "Work Area" bar: no top line.
    bar->SetEdgeBorders(TEdgeBorders(ebLeft) | ebRight | ebBottom);
    const QImage work = Render(*bar);
    EXPECT_EQ(At(work, 120, 0), shaded(0));
    EXPECT_EQ(At(work, 0, 10), Rgb(clBtnHighlight));
    EXPECT_EQ(At(work, 239, 10), Rgb(clBtnShadow));
    EXPECT_EQ(At(work, 120, 19), Rgb(clBtnShadow));

    // Twice the density: shaded per device row, from the same top value down.
    const QImage twice = Render(*bar, 2);
    for (int y : {0, 1, 20, 37}) {
        const int c = TCaptionBar::ShadeFactor(y, 40);
        EXPECT_EQ(At(twice, 240, y),
            qRgb(Round(GetRValue(base) * c / 255.0), Round(GetGValue(base) * c / 255.0),
                Round(GetBValue(base) * c / 255.0))
                & 0xFFFFFF)
            << "device row " << y;
    }
    EXPECT_EQ(At(twice, 240, 0), shaded(0));
    EXPECT_EQ(At(twice, 240, 38), Rgb(clBtnShadow));
}

TEST(CaptionBar, ClicksOnTheTriangleOrCaptionToggle)
{
    auto bar = Bar(true);
    std::vector<TCollapseExpand> actions;
    bar->OnCollapseExpand = [&](TObject* sender, TCollapseExpand a) {
        EXPECT_EQ(sender, static_cast<TObject*>(bar.get()));
        actions.push_back(a);
    };
    const QRect area = bar->CollapseAreaRect();
    Press(bar.get(), {10, 10}); // the triangle
    EXPECT_TRUE(bar->Collapsed());
    Press(bar.get(), {area.right() - 2, 10}); // the caption text
    EXPECT_FALSE(bar->Collapsed());
    Press(bar.get(), {area.right() + 10, 10}); // beyond the text
    Press(bar.get(), {10, 10}, Qt::RightButton);
    EXPECT_FALSE(bar->Collapsed());
    EXPECT_EQ(actions, (std::vector<TCollapseExpand> {ceCollapsing, ceExpanding}));

    // Setting the state from outside only repaints.
    bar->SetCollapsed(true);
    EXPECT_EQ(actions.size(), 2u);

    // Without a collapse button the caption is not clickable.
    auto plain = Bar(false);
    int fired = 0;
    plain->OnCollapseExpand = [&](TObject*, TCollapseExpand) { ++fired; };
    Press(plain.get(), {10, 10});
    Press(plain.get(), {30, 10});
    EXPECT_EQ(fired, 0);
    EXPECT_FALSE(plain->Collapsed());
}

TEST(CaptionBar, RolloverColoursTriangleAndCaptionOverTheCollapseArea)
{
    auto bar = Bar(true);
    const TColor roll = RGB(0, 0, 200);
    bar->SetRolloverColor(roll);
    // Inside the expanded triangle (corners 4,6 12,6 8,10 from the box at 2,1).
    const QPoint inTriangle(2 + 8, 1 + 7);
    EXPECT_EQ(At(Render(*bar), inTriangle.x(), inTriangle.y()), 0u);

    Move(bar.get(), {30, 10});
    EXPECT_TRUE(bar->Rollover());
    EXPECT_EQ(At(Render(*bar), inTriangle.x(), inTriangle.y()), Rgb(roll));
    const QImage lit = Render(*bar);
    bool captionLit = false;
    const QRect caption = bar->CaptionRect();
    for (int x = caption.left(); x < bar->CollapseAreaRect().right(); ++x)
        for (int y = caption.top(); y <= caption.bottom(); ++y)
            captionLit = captionLit || At(lit, x, y) == Rgb(roll);
    EXPECT_TRUE(captionLit);

    Move(bar.get(), {bar->CollapseAreaRect().right() + 5, 10});
    EXPECT_FALSE(bar->Rollover());
    Move(bar.get(), {5, 10});
    EXPECT_TRUE(bar->Rollover());
    Leave(bar.get());
    EXPECT_FALSE(bar->Rollover());

    // Without a collapse button there is never a rollover.
    auto plain = Bar(false);
    plain->SetRolloverColor(roll);
    Move(plain.get(), {10, 10});
    EXPECT_FALSE(plain->Rollover());
    const QImage image = Render(*plain);
    for (int x = 0; x < 120; ++x)
        for (int y = 0; y < 20; ++y)
            ASSERT_NE(At(image, x, y), Rgb(roll)) << x << "," << y;
}

TEST(CaptionBar, MenuButtonOpensTheMenuOnlyWhileExpanded)
{
    auto bar = Bar(true);
    bar->SetShowMenu(true);
    auto menu = std::make_unique<QMenu>();
    menu->addAction(QStringLiteral("Advanced Mode"));
    bar->SetButtonMenu(menu.get());
    int shown = 0;
    bool pressedWhileOpen = false;
    QObject::connect(menu.get(), &QMenu::aboutToShow, [&] {
        ++shown;
        pressedWhileOpen = bar->MenuPressed();
        QTimer::singleShot(0, menu.get(), &QMenu::close);
    });
    int toggles = 0;
    bar->OnCollapseExpand = [&](TObject*, TCollapseExpand) { ++toggles; };

    const QPoint onButton = bar->MenuButtonRect().center();
    Press(bar.get(), onButton);
    EXPECT_EQ(shown, 1);
    EXPECT_TRUE(pressedWhileOpen);
    EXPECT_FALSE(bar->MenuPressed());
    EXPECT_EQ(toggles, 0);

    // Collapsed: no button is drawn and a press there opens nothing.
    bar->SetCollapsed(true);
    EXPECT_TRUE(bar->MenuButtonRect().isEmpty());
    const QImage image = Render(*bar);
    for (int x = onButton.x() - 5; x <= onButton.x() + 5; ++x)
        EXPECT_NE(At(image, x, onButton.y()), Rgb(clBtnText)) << x;
    Press(bar.get(), onButton);
    EXPECT_EQ(shown, 1);

    // A destroyed menu is forgotten, and the button then only shows as pressed.
    bar->SetCollapsed(false);
    menu.reset();
    EXPECT_EQ(bar->ButtonMenu(), nullptr);
    Press(bar.get(), onButton);
    EXPECT_FALSE(bar->MenuPressed());
}
