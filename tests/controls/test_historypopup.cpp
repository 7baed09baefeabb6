#include "pickers/HistoryPopup.h"

#include "colour/ColorVision.h"
#include "colour/Colors.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

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

void Click(QWidget* w, QPoint pos)
{
    QMouseEvent down(
        QEvent::MouseButtonPress, pos, w->mapToGlobal(pos), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &down);
    QMouseEvent up(QEvent::MouseButtonRelease, pos, w->mapToGlobal(pos), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &up);
}

QRgb Rgb(TColor c)
{
    const TColor rgb = ColorToRGB(c);
    return qRgb(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb)) & 0xFFFFFF;
}

// History colours for the pop-up: entry i is a distinct, recognisable colour.
TColor EntryColor(int i)
{
    return RGB(20 * i % 256, 200 - 10 * i, 60 + 7 * i);
}

struct GridLog {
    std::vector<std::string> log;
    void Attach(TDrawGridEx& g)
    {
        g.OnMouseEnterCell = [this](TObject*, int row, int col) {
            log.push_back("enter " + std::to_string(row) + "," + std::to_string(col));
        };
        g.OnMouseLeaveCell = [this](TObject*, int row, int col) {
            log.push_back("leavecell " + std::to_string(row) + "," + std::to_string(col));
        };
        g.OnMouseLeave = [this](TObject*, int, int) { log.push_back("leave"); };
    }
};

} // namespace

TEST(DrawGridEx, EnterAndLeaveCellEventsFollowThePointer)
{
    TDrawGridEx grid;
    grid.SetDefaultColWidth(30);
    grid.SetDefaultRowHeight(30);
    grid.SetColCount(3);
    grid.SetRowCount(1);
    grid.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid.resize(120, 40); // a strip of no cell at the right and below
    EXPECT_EQ(grid.HoverCell(), QPoint(-1, -1));
    GridLog g;
    g.Attach(grid);
    QWidget* vp = grid.viewport();

    struct Step {
        enum { Move, Leave } kind;
        QPoint pos;
        std::vector<std::string> expect;
    };
    const Step steps[] = {
        {Step::Move, {5, 5}, {"enter 0,0"}}, {Step::Move, {25, 20}, {}}, // same cell
        {Step::Move, {40, 5}, {"enter 0,1"}}, // straight to the next cell: no leave
        {Step::Move, {100, 5}, {"leavecell 0,1"}}, // past the last column
        {Step::Move, {105, 5}, {}}, {Step::Move, {70, 35}, {}}, // below the row: still no cell
        {Step::Leave, {}, {"leavecell -1,-1", "leave"}}, {Step::Move, {65, 5}, {"enter 0,2"}},
        {Step::Leave, {}, {"leavecell 0,2", "leave"}},
        {Step::Move, {65, 5}, {"enter 0,2"}}, // forgotten on leave, so entered again
    };
    for (const Step& s : steps) {
        g.log.clear();
        if (s.kind == Step::Move)
            Move(vp, s.pos);
        else
            Leave(&grid);
        EXPECT_EQ(g.log, s.expect) << "at " << s.pos.x() << "," << s.pos.y();
    }
    EXPECT_EQ(grid.HoverCell(), QPoint(2, 0));
}

TEST(DrawGridEx, ScrolledGridMapsThePointerToTheShownCell)
{
    TDrawGridEx grid;
    grid.SetDefaultColWidth(30);
    grid.SetDefaultRowHeight(30);
    grid.SetRowCount(1);
    grid.SetColCount(20);
    grid.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    grid.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid.resize(120, 30 + grid.horizontalScrollBar()->sizeHint().height());
    grid.SetCell(10, 0);
    EXPECT_EQ(grid.VisibleColCount(), 4);
    EXPECT_EQ(grid.LeftCol(), 7); // 7..10 shown
    EXPECT_EQ(grid.MouseToCell({5, 5}), QPoint(7, 0));
    EXPECT_EQ(grid.MouseToCell({95, 5}), QPoint(10, 0));

    GridLog g;
    g.Attach(grid);
    Move(grid.viewport(), {35, 5});
    // Moving onto the scroll bar is moving onto no cell.
    Move(grid.horizontalScrollBar(), {10, 3});
    EXPECT_EQ(g.log, (std::vector<std::string> {"enter 0,8", "leavecell 0,8"}));

    // Keys move the selection and keep it in view.
    QTest::keyClick(&grid, Qt::Key_End);
    EXPECT_EQ(grid.Col(), 19);
    EXPECT_EQ(grid.LeftCol(), 16);
    QTest::keyClick(&grid, Qt::Key_Home);
    EXPECT_EQ(grid.Col(), 0);
    EXPECT_EQ(grid.LeftCol(), 0);
}

class HistoryPopupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        popup.OnGetColor = [](TObject*, int index, TColor& color) { color = EntryColor(index); };
        popup.OnRolloverCellEvent = [this](TObject*, int index) { log.push_back("roll " + std::to_string(index)); };
        popup.OnLeaveCell = [this](TObject*) { log.push_back("leavecell"); };
        popup.OnSelectItem = [this](TObject*, int index) { log.push_back("select " + std::to_string(index)); };
        popup.OnClose = [this](TObject*) { log.push_back("close"); };
    }

    TfrmHistoryPopup popup;
    std::vector<std::string> log;
};

TEST_F(HistoryPopupTest, SetupSizesTheRowAndShowsTheCurrentEntry)
{
    popup.Setup(3, 1, 8, 30);
    EXPECT_EQ(popup.size(), QSize(3 * 30 + 2, 30 + 2));
    EXPECT_EQ(popup.Grid()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(popup.Grid()->Col(), 1);

    popup.Setup(12, 10, 8, 30);
    const int bar = popup.Grid()->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, popup.Grid());
    EXPECT_EQ(popup.size(), QSize(8 * 30 + 2, 30 + bar + 2));
    EXPECT_EQ(popup.Grid()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(popup.Grid()->Col(), 10);
    EXPECT_EQ(popup.Grid()->LeftCol(), 3);

    // Reused with a shorter history: back to the start, no scroll bar.
    popup.Setup(8, 0, 8, 30);
    EXPECT_EQ(popup.size(), QSize(8 * 30 + 2, 30 + 2));
    EXPECT_EQ(popup.Grid()->LeftCol(), 0);
}

TEST_F(HistoryPopupTest, CellsAreDrawnRingByRing)
{
    popup.Setup(4, 2, 8, 30);
    popup.SetColorVisionType(cvtNorm);
    const QImage image = popup.Grid()->viewport()->grab().toImage();
    const auto ringsOf = [&](int col, bool selected) {
        const TColor c = EntryColor(col);
        const TColor sel = selected ? clBlack : clWindow;
        return std::vector<QRgb> {Rgb(clWindow), Rgb(sel), Rgb(sel), Rgb(clWhite), Rgb(AdjustColor(c, akDarker, 0.2)),
            Rgb(AdjustColor(c, akDarker, 0.1)), Rgb(c)};
    };
    for (int col : {1, 2}) {
        const auto want = ringsOf(col, col == 2);
        for (int i = 0; i < 7; ++i) {
            EXPECT_EQ(image.pixel(col * 30 + i, 15) & 0xFFFFFF, want[i]) << "cell " << col << " ring " << i;
            EXPECT_EQ(image.pixel(col * 30 + 15, 29 - i) & 0xFFFFFF, want[i]) << "cell " << col << " ring " << i;
        }
        EXPECT_EQ(image.pixel(col * 30 + 15, 15) & 0xFFFFFF, Rgb(EntryColor(col)));
    }

    popup.SetColorVisionType(cvtTrit);
    const QImage seen = popup.Grid()->viewport()->grab().toImage();
    EXPECT_EQ(seen.pixel(30 + 15, 15) & 0xFFFFFF, Rgb(SimulateColorVision(EntryColor(1), cvtTrit)));
}

TEST_F(HistoryPopupTest, RolloverClickEnterAndEscape)
{
    // It opens below the history button, left edges aligned. (The offscreen platform shifts
    // every top-level window by its 2-pixel frame margin, pop-ups included.)
    QWidget host;
    host.setGeometry(100, 100, 300, 200);
    QWidget button(&host);
    button.setGeometry(10, 20, 30, 24);
    host.show();
    popup.Setup(12, 10, 8, 30);
    popup.PopupBelow(&button);
    ASSERT_TRUE(popup.isVisible());
    const QPoint below = button.mapToGlobal(QPoint(0, button.height()));
    EXPECT_LE(std::abs(popup.geometry().left() - below.x()), 2);
    EXPECT_LE(std::abs(popup.geometry().top() - below.y()), 2);
    QWidget* vp = popup.Grid()->viewport();

    // Cells are numbered by entry, scrolled or not (columns 3..10 are shown).
    Move(vp, {5, 5});
    Move(vp, {65, 5});
    Click(vp, {65, 5});
    EXPECT_EQ(log, (std::vector<std::string> {"roll 3", "roll 5", "select 5", "close"}));
    EXPECT_FALSE(popup.isVisible());

    log.clear();
    popup.Setup(12, 10, 8, 30);
    popup.Popup(QPoint(50, 60));
    QTest::keyClick(popup.Grid(), Qt::Key_Left);
    QTest::keyClick(popup.Grid(), Qt::Key_Return);
    EXPECT_EQ(log, (std::vector<std::string> {"select 9", "close"}));
    EXPECT_FALSE(popup.isVisible());

    log.clear();
    popup.Popup(QPoint(50, 60));
    Move(vp, {5, 5});
    Leave(popup.Grid());
    QTest::keyClick(popup.Grid(), Qt::Key_Escape);
    EXPECT_EQ(log, (std::vector<std::string> {"roll 3", "leavecell", "close"}));
    EXPECT_FALSE(popup.isVisible());
}
