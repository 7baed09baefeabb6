// The web-safe picker: the cube values and layout, the fixed colours and the gap column, hover
// and leave, and the arrangement setters.
#include "pickers/ColorPck.h"
#include "pickers/SysColors.h"

#include <QApplication>
#include <QMouseEvent>
#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

void Mouse(QWidget& w, QEvent::Type type, QPointF pos, Qt::MouseButton button = Qt::NoButton,
    Qt::MouseButtons buttons = Qt::NoButton)
{
    QMouseEvent e(type, pos, w.mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(&w, &e);
}

void Leave(QWidget& w)
{
    QEvent e(QEvent::Leave);
    QApplication::sendEvent(&w, &e);
}

TColor Pixel(const QImage& image, int x, int y)
{
    const QRgb px = image.pixel(x, y);
    return RGB(qRed(px), qGreen(px), qBlue(px));
}

// The picker as the main window makes it: 9-pixel swatches with the fixed colours shown.
struct PanelPicker : ::testing::Test {
    PanelPicker()
    {
        p.SetSwatchSize(9);
        p.SetShowFixedColors(true);
        p.OnHoverColor = [this](TObject* sender, TColor c) {
            hovers.push_back(c);
            EXPECT_EQ(sender, static_cast<TObject*>(&p));
        };
        p.OnLeave = [this](TObject*) { ++leaves; };
    }
    // Centre of cell (col, row) and the cell of swatch (i, j) of cube k.
    static QPointF Centre(int col, int row) { return {col * 9 + 4.5, row * 9 + 4.5}; }
    static QPoint CubeCell(int k, int i, int j) { return {2 + 6 * (k % 3) + i, 6 * (k / 3) + j}; }
    TColor Background() const { return TColorFromQColor(p.palette().color(p.backgroundRole())); }

    TColorPicker p;
    std::vector<TColor> hovers;
    int leaves = 0;
};

} // namespace

TEST(ColorPicker, DefaultsAndSize)
{
    TColorPicker p;
    EXPECT_EQ(p.Cubes(), 6);
    EXPECT_EQ(p.Rows(), 2);
    EXPECT_EQ(p.Columns(), 3);
    EXPECT_EQ(p.SwatchSize(), 10);
    EXPECT_TRUE(p.ShowLines());
    EXPECT_FALSE(p.ShowFixedColors());
    EXPECT_EQ(p.FixedColumns(), 0);
    EXPECT_EQ(p.size(), QSize(181, 121));
    EXPECT_EQ(p.SelectedColor(), TColorFromQColor(p.palette().color(p.backgroundRole())));
    p.SetShowLines(false);
    EXPECT_EQ(p.size(), QSize(180, 120));
}

TEST_F(PanelPicker, TwentyByTwelveCellsOf181By109Pixels)
{
    EXPECT_EQ(p.FixedColumns(), 2);
    EXPECT_EQ(p.size(), QSize(181, 109));
}

TEST_F(PanelPicker, EverySwatchShowsItsWebSafeColour)
{
    const QImage image = p.grab().toImage();
    std::set<int> levels;
    for (int k = 0; k < 6; ++k)
        for (int i = 0; i < 6; ++i)
            for (int j = 0; j < 6; ++j) {
                const QPoint cell = CubeCell(k, i, j);
                const QPointF c = Centre(cell.x(), cell.y());
                const TColor shown = Pixel(image, int(c.x()), int(c.y()));
                ASSERT_EQ(shown, RGB(51 * k, 51 * i, 51 * j)) << k << "," << i << "," << j;
                levels.insert(GetRValue(shown));
                levels.insert(GetGValue(shown));
            }
    EXPECT_EQ(levels, (std::set<int> {0, 51, 102, 153, 204, 255}));
    // Top-left of cube 0 and bottom-right of cube 5, at the grid's corners.
    EXPECT_EQ(Pixel(image, 2 * 9 + 4, 4), clBlack);
    EXPECT_EQ(Pixel(image, 19 * 9 + 4, 11 * 9 + 4), clWhite);
    // Lines shared by neighbours, and the picture closed on the right and at the bottom.
    EXPECT_EQ(Pixel(image, 5 * 9, 13), clBlack);
    EXPECT_EQ(Pixel(image, 180, 50), clBlack);
    EXPECT_EQ(Pixel(image, 50, 108), clBlack);
}

TEST_F(PanelPicker, FixedColoursRunDownTheFirstColumnAndTheGapStaysEmpty)
{
    const QImage image = p.grab().toImage();
    for (int n = 0; n < 12; ++n)
        EXPECT_EQ(Pixel(image, 4, n * 9 + 4), kPickerFixedColors[size_t(n)]) << n;
    EXPECT_EQ(kPickerFixedColors[0], RGB(0, 0, 0));
    EXPECT_EQ(kPickerFixedColors[3], RGB(153, 153, 153));
    EXPECT_EQ(kPickerFixedColors[11], RGB(255, 0, 255));
    for (int row = 0; row < 12; ++row)
        EXPECT_EQ(Pixel(image, 13, row * 9 + 4), Background()) << row;
}

TEST_F(PanelPicker, HoverOutlinesInWhiteAndReportsTheColour)
{
    const QPoint cell = CubeCell(4, 2, 3);
    Mouse(p, QEvent::MouseMove, Centre(cell.x(), cell.y()));
    ASSERT_EQ(hovers.size(), 1u);
    EXPECT_EQ(hovers[0], RGB(204, 102, 153));
    EXPECT_EQ(p.SelectedColor(), RGB(204, 102, 153));
    EXPECT_EQ(p.HoveredCell(), cell);
    QImage image = p.grab().toImage();
    EXPECT_EQ(Pixel(image, cell.x() * 9, cell.y() * 9 + 4), clWhite);
    EXPECT_EQ(Pixel(image, cell.x() * 9 + 9, cell.y() * 9 + 4), clWhite);

    // A fixed colour hovers too.
    Mouse(p, QEvent::MouseMove, Centre(0, 6));
    ASSERT_EQ(hovers.size(), 2u);
    EXPECT_EQ(hovers[1], RGB(255, 0, 0));

    // The gap column: no outline, no event, and the background as the colour under the mouse.
    Mouse(p, QEvent::MouseMove, Centre(1, 6));
    EXPECT_EQ(hovers.size(), 2u);
    EXPECT_EQ(p.HoveredCell(), QPoint(-1, -1));
    EXPECT_EQ(p.SelectedColor(), Background());
    image = p.grab().toImage();
    EXPECT_EQ(Pixel(image, 0, 6 * 9 + 4), clBlack) << "the fixed colour's outline is restored";
    EXPECT_EQ(Pixel(image, 9, 6 * 9 + 4), clBlack);
    EXPECT_EQ(Pixel(image, cell.x() * 9, cell.y() * 9 + 4), clBlack);

    // Past the last line (the extra pixel column) is outside the grid.
    Mouse(p, QEvent::MouseMove, QPointF(180.5, 20));
    EXPECT_EQ(hovers.size(), 2u);
}

TEST_F(PanelPicker, LeavingRestoresTheOutlineAndClearsTheColour)
{
    Mouse(p, QEvent::MouseMove, Centre(3, 3));
    ASSERT_EQ(p.HoveredCell(), QPoint(3, 3));
    Leave(p);
    EXPECT_EQ(leaves, 1);
    EXPECT_EQ(p.HoveredCell(), QPoint(-1, -1));
    EXPECT_EQ(p.SelectedColor(), Background());
    EXPECT_EQ(Pixel(p.grab().toImage(), 27, 31), clBlack);
}

TEST_F(PanelPicker, WithASimulationTheSimulatedColourIsReported)
{
    p.SetColorVisionType(cvtDeut);
    const QPoint cell = CubeCell(5, 1, 4);
    Mouse(p, QEvent::MouseMove, Centre(cell.x(), cell.y()));
    const TColor simulated = SimulateColorVision(RGB(255, 51, 204), cvtDeut);
    ASSERT_NE(simulated, RGB(255, 51, 204));
    ASSERT_EQ(hovers.size(), 1u);
    EXPECT_EQ(hovers[0], simulated);
    Mouse(p, QEvent::MouseButtonPress, Centre(cell.x(), cell.y()), Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(p.SelectedColor(), simulated);
}

TEST_F(PanelPicker, PressSelectsClickAndDoubleClickReachTheOwner)
{
    int clicks = 0, doubles = 0, downs = 0;
    p.OnClick = [&](TObject*) { ++clicks; };
    p.OnDblClick = [&](TObject*) { ++doubles; };
    p.OnMouseDown = [&](TObject*, Qt::MouseButton b, Qt::KeyboardModifiers, int x, int y) {
        downs += b == Qt::LeftButton && x == 40 && y == 76;
    };
    const QPointF at(40.5, 76.5); // cell (4, 8): cube 3, swatch (2, 2)
    Mouse(p, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(p.SelectedColor(), RGB(153, 102, 102));
    Mouse(p, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    Mouse(p, QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
    Mouse(p, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(clicks, 1) << "the release that ends a double click is no second click";
    EXPECT_EQ(doubles, 1);
    // Released outside the control: no click.
    Mouse(p, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    Mouse(p, QEvent::MouseButtonRelease, QPointF(-4, 20), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(clicks, 1);
}

TEST(ColorPicker, ArrangementSetters)
{
    struct Case {
        const char* what;
        void (*apply)(TColorPicker&);
        int cubes, rows, columns;
    };
    const Case cases[] = {
        {"Rows 1", [](TColorPicker& p) { p.SetRows(1); }, 6, 1, 6},
        {"Rows 3", [](TColorPicker& p) { p.SetRows(3); }, 6, 3, 2},
        {"Rows 4 cannot divide 6: one column of 6", [](TColorPicker& p) { p.SetRows(4); }, 6, 6, 1},
        {"Rows 0 ignored", [](TColorPicker& p) { p.SetRows(0); }, 6, 2, 3},
        {"Rows 7 ignored", [](TColorPicker& p) { p.SetRows(7); }, 6, 2, 3},
        {"Columns 6", [](TColorPicker& p) { p.SetColumns(6); }, 6, 1, 6},
        {"Columns 2", [](TColorPicker& p) { p.SetColumns(2); }, 6, 3, 2},
        {"Cubes 4 keeps rows", [](TColorPicker& p) { p.SetCubes(4); }, 4, 2, 2},
        {"Cubes 8 keeps rows", [](TColorPicker& p) { p.SetCubes(8); }, 8, 2, 4},
        {"Cubes 2 ignored", [](TColorPicker& p) { p.SetCubes(2); }, 6, 2, 3},
        {"Cubes 25 ignored", [](TColorPicker& p) { p.SetCubes(25); }, 6, 2, 3},
        // Counts the rows do not divide still give every cube a place.
        {"Cubes 7 on 2 rows", [](TColorPicker& p) { p.SetCubes(7); }, 7, 2, 4},
        {"Cubes 3 from 6 rows",
            [](TColorPicker& p) {
                p.SetRows(6);
                p.SetCubes(3);
            },
            3, 3, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TColorPicker p;
        c.apply(p);
        EXPECT_EQ(p.Cubes(), c.cubes);
        EXPECT_EQ(p.Rows(), c.rows);
        EXPECT_EQ(p.Columns(), c.columns);
        EXPECT_GE(p.Rows() * p.Columns(), p.Cubes());
        EXPECT_EQ(p.size(), QSize(c.cubes * c.columns * 10 + 1, c.cubes * c.rows * 10 + 1));
    }
    TColorPicker p;
    p.SetSwatchSize(3);
    p.SetSwatchSize(21);
    EXPECT_EQ(p.SwatchSize(), 10);
    p.SetSwatchSize(4);
    EXPECT_EQ(p.size(), QSize(18 * 4 + 1, 12 * 4 + 1));
}

TEST(ColorPicker, EveryCubeOfAnUnevenCountIsDrawn)
{
    TColorPicker p;
    p.SetCubes(7); // 2 rows of 4 places, the last one empty
    const QImage image = p.grab().toImage();
    const int step = 256 / 6;
    for (int k = 0; k < 7; ++k) {
        const int col = 7 * (k % 4), row = 7 * (k / 4);
        EXPECT_EQ(Pixel(image, col * 10 + 5, row * 10 + 5), RGB(step * k, 0, 0)) << k;
    }
    TColor c = 0;
    EXPECT_FALSE(p.CellColor(7 * 3, 7, c)) << "the spare place has no colour";
}

TEST(ColorPicker, TopLevelOfAnOvershootingStepIsFull)
{
    // 3 levels: step 128, and 2 x 128 would wrap to 0 in a byte.
    TColorPicker p;
    p.SetCubes(3);
    TColor c = 0;
    ASSERT_EQ(p.Columns(), 2);
    ASSERT_TRUE(p.CellColor(2, 5, c)); // cube 2 sits below cube 0; its swatch (2, 2)
    EXPECT_EQ(c, RGB(255, 255, 255));
    ASSERT_TRUE(p.CellColor(1, 1, c));
    EXPECT_EQ(c, RGB(0, 128, 128));
}

TEST(ColorPicker, FixedColoursThatNeedTwoColumnsKeepTheGapEmpty)
{
    // 3 cubes on 3 rows: 9 cells a column, so the twelve fixed colours take two columns and
    // the gap is the third.
    TColorPicker p;
    p.SetCubes(3);
    p.SetRows(3);
    p.SetShowFixedColors(true);
    ASSERT_EQ(p.FixedColumns(), 3);
    const QImage image = p.grab().toImage();
    for (int n = 0; n < 12; ++n)
        EXPECT_EQ(Pixel(image, (n / 9) * 10 + 5, (n % 9) * 10 + 5), kPickerFixedColors[size_t(n)]) << n;
    TColor c = 0;
    for (int row = 0; row < 9; ++row)
        EXPECT_FALSE(p.CellColor(2, row, c)) << row;
    EXPECT_FALSE(p.CellColor(1, 5, c)) << "beyond the twelfth fixed colour";
    int hovers = 0;
    p.OnHoverColor = [&](TObject*, TColor) { ++hovers; };
    Mouse(p, QEvent::MouseMove, QPointF(25, 25));
    Mouse(p, QEvent::MouseMove, QPointF(15, 75));
    EXPECT_EQ(hovers, 0);
    Mouse(p, QEvent::MouseMove, QPointF(15, 15));
    EXPECT_EQ(hovers, 1);
}

TEST(ColorPicker, PictureRendersOnceUntilSomethingShownChanges)
{
    TColorPicker p;
    (void)p.grab();
    const int first = p.Background().renderCount();
    Mouse(p, QEvent::MouseMove, QPointF(55, 55));
    (void)p.grab();
    p.SetColorVisionType(cvtNorm);
    EXPECT_EQ(p.Background().renderCount(), first) << "hover is an overlay";
    p.SetColorVisionType(cvtMono);
    (void)p.grab();
    EXPECT_EQ(p.Background().renderCount(), first + 1);
}
