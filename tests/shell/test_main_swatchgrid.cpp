// The palette grid: cell mapping, change notices, focus rules, the drawn cells, hints,
// presses, drag start, drops by kind and modifier, the Clear Palette drop and auto-scroll.
#include "shell/AdvSwatchGrid.h"

#include "colour/Colors.h"
#include "pickers/ColorDragObj.h"
#include "pickers/SysColors.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHelpEvent>
#include <QImage>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QToolTip>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// A drag loop needs a real desktop; this grid records the drag it would have run.
class RecordingGrid : public TAdvSwatchGrid {
public:
    std::vector<TColorDragCtrlObject> drags;

protected:
    Qt::DropAction ExecColorDrag(const TColorDragCtrlObject& Drag) override
    {
        drags.push_back(Drag);
        return Qt::IgnoreAction;
    }
};

struct Grid {
    RecordingGrid g;
    int colourChanges = 0;
    int paletteChanges = 0;
    int listChanges = 0;
    std::string order; // 'c' colour change, 'p' palette change, in the order they came

    Grid()
    {
        g.OnColorChange = [this](TObject*) {
            ++colourChanges;
            order += 'c';
        };
        g.OnPaletteChange = [this](TObject*) {
            ++paletteChanges;
            order += 'p';
        };
        g.OnPaletteListChange = [this](TObject*) { ++listChanges; };
        g.resize(200, 300);
        g.show();
    }
    void Thumbnails()
    {
        g.SetCellStyle(csSwatch);
        g.SetColCount(6);
        g.SetDefaultColWidth(27);
        g.SetDefaultRowHeight(27);
    }
    void List()
    {
        g.SetCellStyle(csList);
        g.SetColCount(1);
        g.SetDefaultColWidth(g.viewport()->width());
        g.SetDefaultRowHeight(36);
    }
    void Fill(std::initializer_list<TColor> colours)
    {
        g.BeginUpdate();
        for (TColor c : colours)
            g.AddColor(c, false);
        g.EndUpdate();
        Reset();
    }
    void Reset()
    {
        colourChanges = paletteChanges = listChanges = 0;
        order.clear();
    }
    std::vector<TColor> Colours() const
    {
        std::vector<TColor> out;
        for (int i = 0; i < g.Count(); ++i)
            out.push_back(g.Swatch(i)->Color());
        return out;
    }
    QPoint Centre(int Index) const
    {
        const QPoint cell = g.CellOfIndex(Index);
        return g.CellRect(cell.x(), cell.y()).center();
    }
};

void Mouse(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons,
    Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QMouseEvent e(type, QPointF(pos), QPointF(w->mapToGlobal(pos)), button, buttons, mods);
    QApplication::sendEvent(w, &e);
}

void Press(QWidget* w, QPoint pos, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    Mouse(w, QEvent::MouseButtonPress, pos, Qt::LeftButton, Qt::LeftButton, mods);
}

// A drop of Drag at Pos, entering first as a drag does. Returns whether the drop was accepted.
bool Drop(TAdvSwatchGrid& g, const TColorDragCtrlObject& drag, QPoint pos, Qt::KeyboardModifiers mods = {})
{
    std::unique_ptr<QMimeData> mime(EncodeColorDrag(drag));
    QDragEnterEvent enter(pos, Qt::CopyAction | Qt::MoveAction, mime.get(), Qt::LeftButton, mods);
    QApplication::sendEvent(g.viewport(), &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(QPointF(pos), Qt::CopyAction | Qt::MoveAction, mime.get(), Qt::LeftButton, mods);
    QApplication::sendEvent(g.viewport(), &drop);
    return drop.isAccepted();
}

TColor Pixel(const QImage& img, int x, int y)
{
    const QRgb px = img.pixel(x, y);
    return RGB(qRed(px), qGreen(px), qBlue(px));
}

constexpr TColor kRed = RGB(255, 0, 0);
constexpr TColor kGreen = RGB(0, 255, 0);
constexpr TColor kBlue = RGB(0, 0, 255);
constexpr TColor kYellow = RGB(255, 255, 0);
constexpr TColor kCyan = RGB(0, 255, 255);
constexpr TColor kMagenta = RGB(255, 0, 255);
constexpr TColor kGrey = RGB(128, 128, 128);

} // namespace

TEST(SwatchGrid, StartsWithOnePaletteAndTheDefaults)
{
    TAdvSwatchGrid g;
    ASSERT_EQ(g.PaletteList().Count(), 1);
    ASSERT_NE(g.CurrentPalette(), nullptr);
    EXPECT_EQ(g.CurrentPalette()->Title(), QStringLiteral("Palette 1"));
    EXPECT_EQ(g.CellStyle(), csList);
    EXPECT_EQ(g.AutoFill(), afHorozontal);
    EXPECT_EQ(g.ColCount(), 16);
    EXPECT_EQ(g.RowCount(), 1);
    EXPECT_EQ(g.DefaultColWidth(), 15);
    EXPECT_EQ(g.SelectedIndex(), -1);
    EXPECT_FALSE(g.Modified());
    EXPECT_EQ(g.Swatch(0), nullptr);
}

TEST(SwatchGrid, RowsAndIndicesFollowTheFillDirection)
{
    struct Case {
        TAutoFill fill;
        bool showEmpty;
        int fixed; // columns with afHorozontal, rows with afVertical
        int count;
        int counted; // rows with afHorozontal, columns with afVertical
    };
    const Case cases[] = {
        {afHorozontal, false, 6, 0, 1},
        {afHorozontal, false, 6, 6, 1},
        {afHorozontal, false, 6, 7, 2},
        {afHorozontal, true, 6, 0, 2},
        {afHorozontal, true, 6, 6, 2},
        {afHorozontal, true, 6, 7, 3},
        {afVertical, false, 4, 9, 3},
        {afVertical, true, 4, 8, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "fill " << c.fill << " empty " << c.showEmpty << " count " << c.count);
        Grid t;
        t.Thumbnails();
        t.g.SetAutoFill(c.fill);
        if (c.fill == afHorozontal)
            t.g.SetColCount(c.fixed);
        else
            t.g.SetRowCount(c.fixed);
        t.g.SetShowEmptySwatch(c.showEmpty);
        for (int i = 0; i < c.count; ++i)
            t.g.AddColor(RGB(i, i, i), false);
        EXPECT_EQ(c.fill == afHorozontal ? t.g.RowCount() : t.g.ColCount(), c.counted);
        for (int i = 0; i < c.count; ++i) {
            const QPoint cell = t.g.CellOfIndex(i);
            EXPECT_EQ(t.g.IndexOfCell(cell.x(), cell.y()), i);
            const QPoint centre = t.Centre(i);
            EXPECT_EQ(t.g.IndexAt(centre.x(), centre.y()), i);
        }
    }

    // The two mappings themselves, and points with no swatch.
    Grid t;
    t.Thumbnails();
    t.Fill({kRed, kGreen, kBlue, kYellow, kCyan, kMagenta, kGrey});
    EXPECT_EQ(t.g.IndexOfCell(1, 1), 7);
    EXPECT_EQ(t.g.IndexAt(27 + 5, 5), 1);
    EXPECT_EQ(t.g.IndexAt(27 + 5, 27 + 5), -1) << "cell of index 7, beyond the last swatch";
    EXPECT_EQ(t.g.IndexAt(6 * 27 + 5, 5), -1) << "right of the last column";
    t.g.SetAutoFill(afVertical);
    t.g.SetRowCount(3);
    EXPECT_EQ(t.g.IndexOfCell(1, 2), 5);
    EXPECT_EQ(t.g.CellOfIndex(4), QPoint(1, 1));
}

TEST(SwatchGrid, AddAndInsertAnnounceOnceWithTheColourInPlace)
{
    Grid t;
    t.Thumbnails();
    TColor seen = 0;
    int seenCount = 0;
    t.g.OnPaletteChange = [&](TObject*) {
        ++t.paletteChanges;
        seenCount = t.g.Count();
        seen = t.g.Swatch(seenCount - 1)->Color();
        EXPECT_TRUE(t.g.Modified()) << "listeners find the changed flag set";
    };
    TRichColor* added = t.g.AddColor(kRed, true);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(t.paletteChanges, 1);
    EXPECT_EQ(t.colourChanges, 0) << "the colour of a new swatch is not a second change";
    EXPECT_EQ(seen, kRed);
    EXPECT_EQ(seenCount, 1);
    EXPECT_EQ(t.g.FocusedIndex(), 0);
    EXPECT_EQ(t.g.SelectedIndex(), 0);

    t.g.AddColor(kGreen, false);
    EXPECT_EQ(t.g.FocusedIndex(), 0) << "without Focus the current cell stays";
    t.g.SetModified(false);
    t.g.InsertColor(1, kBlue, true);
    EXPECT_EQ(t.Colours(), (std::vector<TColor> {kRed, kBlue, kGreen}));
    EXPECT_EQ(t.g.SelectedIndex(), 1);
    EXPECT_TRUE(t.g.Modified());
    t.g.InsertColor(99, kGrey, false);
    EXPECT_EQ(t.g.Swatch(3)->Color(), kGrey) << "an index past the end appends";
    EXPECT_EQ(t.paletteChanges, 4);
    EXPECT_EQ(t.colourChanges, 0);
}

TEST(SwatchGrid, DeleteSwatchKeepsTheFocusedIndexOrFallsToTheLast)
{
    Grid t;
    t.Thumbnails();
    t.Fill({kRed, kGreen, kBlue, kYellow, kCyan});
    t.g.SetModified(false);
    t.g.FocusSwatch(2);
    t.g.DeleteSwatch(0);
    EXPECT_EQ(t.g.FocusedIndex(), 2);
    EXPECT_EQ(t.g.Swatch(2)->Color(), kYellow);
    EXPECT_FALSE(t.g.Modified()) << "deleting a swatch leaves the changed flag alone";

    t.g.FocusLast();
    EXPECT_EQ(t.g.FocusedIndex(), 3);
    t.g.DeleteSwatch(3);
    EXPECT_EQ(t.g.FocusedIndex(), 2) << "the new last swatch";
    EXPECT_EQ(t.g.SelectedIndex(), 2);

    t.Reset();
    t.g.DeleteSwatch(3);
    t.g.DeleteSwatch(-1);
    EXPECT_EQ(t.g.Count(), 3);
    EXPECT_EQ(t.paletteChanges, 0) << "an index outside the palette does nothing";

    while (t.g.Count() > 0)
        t.g.DeleteSwatch(0);
    EXPECT_EQ(t.g.SelectedIndex(), -1);
    EXPECT_EQ(t.g.SelectedColor(), t.g.Color());
}

TEST(SwatchGrid, UpdatesCollapseToOneColourThenOnePaletteChange)
{
    Grid t;
    t.Thumbnails();
    t.Fill({kRed, kGreen});
    t.g.BeginUpdate();
    t.g.BeginUpdate();
    EXPECT_TRUE(t.g.IsUpdating());
    t.g.AddColor(kBlue, true);
    t.g.InsertColor(0, kYellow, false);
    t.g.Swatch(1)->SetColor(kCyan);
    t.g.Swatch(2)->SetColor(kMagenta);
    t.g.AddPalette(QStringLiteral("Second"), false);
    t.g.EndUpdate();
    EXPECT_EQ(t.order, "") << "the inner EndUpdate announces nothing";
    t.g.EndUpdate();
    EXPECT_FALSE(t.g.IsUpdating());
    EXPECT_EQ(t.order, "cp");
    EXPECT_EQ(t.listChanges, 0) << "a collection change inside an update is dropped";

    t.Reset();
    t.g.BeginUpdate();
    t.g.EndUpdate();
    EXPECT_EQ(t.order, "") << "nothing changed, nothing announced";
    t.g.EndUpdate(); // unpaired: ignored
    EXPECT_FALSE(t.g.IsUpdating());
}

TEST(SwatchGrid, SelectedColorFallsBackToFirstSwatchThenGridColour)
{
    Grid t;
    EXPECT_EQ(t.g.SelectedColor(), t.g.Color());
    EXPECT_EQ(t.g.Color(), TColorFromQColor(t.g.palette().color(QPalette::Window)));
    t.Fill({kRed, kGreen});
    EXPECT_EQ(t.g.SelectedIndex(), -1);
    EXPECT_EQ(t.g.SelectedColor(), kRed);
    t.g.SelectSwatch(1);
    EXPECT_EQ(t.g.SelectedColor(), kGreen);
    t.g.ClearCurrentPalette();
    EXPECT_EQ(t.g.SelectedIndex(), -1);
    EXPECT_EQ(t.g.SelectedColor(), t.g.Color());
}

TEST(SwatchGrid, PaletteSwitchingRecountsAndDropsAStaleSelection)
{
    Grid t;
    t.Thumbnails();
    t.Fill({kRed, kGreen, kBlue, kYellow, kCyan, kMagenta, kGrey});
    t.g.SelectSwatch(6);
    EXPECT_EQ(t.g.RowCount(), 2);
    t.g.AddPalette(QStringLiteral("Two"), true);
    EXPECT_EQ(t.listChanges, 1);
    EXPECT_EQ(t.g.Count(), 0);
    EXPECT_EQ(t.g.RowCount(), 1);
    EXPECT_EQ(t.g.SelectedIndex(), -1) << "index 6 is no swatch of the new palette";
    t.g.PreviousPalette();
    EXPECT_EQ(t.g.PaletteList().ItemIndex(), 0);
    EXPECT_EQ(t.g.RowCount(), 2);
    t.g.SelectPalette(5);
    EXPECT_EQ(t.g.PaletteList().ItemIndex(), 0) << "an invalid index changes nothing";
    t.g.NextPalette();
    EXPECT_EQ(t.g.PaletteList().ItemIndex(), 1);
}

TEST(SwatchGrid, NewCollectionLeavesOneEmptyPalette)
{
    Grid t;
    t.Fill({kRed});
    TRichPalette* first = t.g.CurrentPalette();
    first->SetDescription(QStringLiteral("old"));
    first->SetAuthor(QStringLiteral("someone"));
    first->SetURL(QStringLiteral("http://example.org"));
    first->SetKeywords(QStringLiteral("warm"));
    t.g.AddPalette(QStringLiteral("Two"), false);
    t.g.AddPalette(QStringLiteral("Three"), true);
    t.g.AddColor(kBlue, false);
    t.Reset();
    t.g.NewCollection();
    ASSERT_EQ(t.g.PaletteList().Count(), 1);
    EXPECT_EQ(t.g.PaletteList().ItemIndex(), 0);
    const TRichPalette* p = t.g.CurrentPalette();
    EXPECT_EQ(p->Title(), QStringLiteral("Palette 1"));
    EXPECT_EQ(p->Count(), 0);
    EXPECT_TRUE(p->Description().isEmpty());
    EXPECT_TRUE(p->Author().isEmpty());
    EXPECT_TRUE(p->URL().isEmpty());
    EXPECT_TRUE(p->Keywords().isEmpty());
    EXPECT_EQ(t.listChanges, 0);
    EXPECT_LE(t.paletteChanges, 1);
}

TEST(SwatchGrid, SelectedThumbnailHasATwoPixelBlackFrameSharpAtRatioTwo)
{
    Grid t;
    t.Thumbnails();
    t.Fill({kRed, kGreen});
    t.g.SelectSwatch(0);
    const TColor grid = t.g.Color();
    const TColor darker = AdjustColor(grid, akDarker, 0.13);
    const TColor rim = AdjustColor(grid, akDarker, 0.3);

    for (const int ratio : {1, 2}) {
        SCOPED_TRACE(ratio);
        const QSize size = t.g.viewport()->size();
        QImage img(size * ratio, QImage::Format_ARGB32_Premultiplied);
        img.setDevicePixelRatio(ratio);
        img.fill(Qt::transparent);
        t.g.viewport()->render(&img);
        const int y = 13 * ratio;
        // Selected cell 0: the selection ground, two black rings, white, the colour.
        const TColor selected[] = {darker, clBlack, clBlack, clWhite, kRed};
        for (int x = 0; x < 5; ++x)
            for (int sub = 0; sub < ratio; ++sub)
                EXPECT_EQ(Pixel(img, x * ratio + sub, y), selected[x]) << "x " << x << " sub " << sub;
        EXPECT_EQ(Pixel(img, 25 * ratio, y), clBlack);
        EXPECT_EQ(Pixel(img, 26 * ratio, y), darker);
        // Cell 1, not selected: grid colour, one darker ring, white, the colour.
        const TColor plain[] = {grid, rim, clWhite, kGreen};
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(Pixel(img, (27 + x) * ratio, y), plain[x]) << "x " << 27 + x;
    }
}

TEST(SwatchGrid, DuplicateMarkShowsOnBothUntilDuplicatesAreRemoved)
{
    Grid t;
    t.List();
    t.Fill({kRed, kBlue, kRed});
    const int markX = t.g.DefaultColWidth() - 4 - 10;
    auto marked = [&](int row) {
        const QImage img = t.g.viewport()->grab().toImage();
        return Pixel(img, markX, row * 36 + 4) == clBlack;
    };
    ASSERT_TRUE(t.g.HasDuplicates());
    EXPECT_TRUE(marked(0));
    EXPECT_FALSE(marked(1));
    EXPECT_TRUE(marked(2));

    t.g.SetShowDuplicates(false);
    EXPECT_FALSE(marked(0)) << "switched off, no marks";
    t.g.SetShowDuplicates(true);

    t.g.RemoveDuplicates();
    EXPECT_EQ(t.Colours(), (std::vector<TColor> {kRed, kBlue}));
    EXPECT_EQ(t.paletteChanges, 1);
    EXPECT_FALSE(t.g.HasDuplicates());
    EXPECT_FALSE(marked(0));
    EXPECT_FALSE(marked(1));

    // A colour edit that makes a pair shows the marks at once.
    t.g.Swatch(1)->SetColor(kRed);
    EXPECT_TRUE(marked(1));
}

TEST(SwatchGrid, ListRowShowsItsBevelledSquareAndRaisedFrame)
{
    Grid t;
    t.List();
    t.Fill({kBlue});
    const QImage img = t.g.viewport()->grab().toImage();
    const QPalette& pal = t.g.palette();
    const TColor light = SysColorFromPalette(20, pal);
    const TColor shadow = SysColorFromPalette(16, pal);
    const int w = t.g.DefaultColWidth();
    EXPECT_EQ(Pixel(img, 10, 0), light);
    EXPECT_EQ(Pixel(img, 0, 10), light);
    EXPECT_EQ(Pixel(img, 10, 35), shadow);
    EXPECT_EQ(Pixel(img, w - 1, 10), shadow);
    // The square: 30 pixels from (3, 3), rings from outside in, then the colour.
    const TColor rings[] = {AdjustColor(t.g.Color(), akDarker, 0.3), clWhite, AdjustColor(kBlue, akDarker, 0.2),
        AdjustColor(kBlue, akDarker, 0.1), kBlue};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(Pixel(img, 3 + i, 18), rings[i]) << "ring " << i;
    EXPECT_EQ(Pixel(img, 32, 18), rings[0]) << "the square is as high as the row less its margins";
}

TEST(SwatchGrid, FitTextRemovesCharactersUntilTheDotsFit)
{
    QFont font(QStringLiteral("Verdana"));
    font.setPixelSize(11);
    const QFontMetrics fm(font);
    const QString text = QStringLiteral("Evening sky over the harbour");
    EXPECT_EQ(TAdvSwatchGrid::FitText(text, font, fm.horizontalAdvance(text)), text);
    const int width = fm.horizontalAdvance(QStringLiteral("Evening s..."));
    const QString fitted = TAdvSwatchGrid::FitText(text, font, width);
    EXPECT_TRUE(fitted.endsWith(QStringLiteral("...")));
    EXPECT_LE(fm.horizontalAdvance(fitted), width);
    EXPECT_TRUE(text.startsWith(fitted.chopped(3)));
    // One character more would not have fitted.
    EXPECT_GT(fm.horizontalAdvance(text.left(fitted.size() - 3 + 1) + QStringLiteral("...")), width);
    EXPECT_EQ(TAdvSwatchGrid::FitText(text, font, 1), QStringLiteral("..."));
}

TEST(SwatchGrid, HintShowsCaptionAndDescriptionOrNoDescription)
{
    Grid t;
    t.List();
    t.Fill({kRed, kBlue});
    t.g.Swatch(0)->SetCaption(QStringLiteral("Poppy"));
    t.g.Swatch(1)->SetDescription(QStringLiteral("Deep <sea> blue"));
    EXPECT_EQ(t.g.HintText(0), QStringLiteral("Poppy\n[no description]"));
    EXPECT_EQ(t.g.HintText(1), QStringLiteral("R:0 G:0 B:255\nDeep <sea> blue"));
    EXPECT_EQ(t.g.HintText(2), QString());
    EXPECT_EQ(t.g.HintHidePause(0), -1);
    t.g.Swatch(1)->SetDescription(QString(150, QLatin1Char('x')));
    EXPECT_EQ(t.g.HintHidePause(1), 15000) << "100 ms per character beats the usual time";

    const QPoint at = t.Centre(0);
    QHelpEvent help(QEvent::ToolTip, at, t.g.viewport()->mapToGlobal(at));
    QApplication::sendEvent(t.g.viewport(), &help);
    EXPECT_TRUE(QToolTip::text().contains(QStringLiteral("Poppy")));
    EXPECT_TRUE(QToolTip::text().contains(QStringLiteral("[no description]")));
    QToolTip::hideText();
}

TEST(SwatchGrid, RolloverReportsTheSwatchOrTheGridColour)
{
    Grid t;
    t.Thumbnails();
    t.Fill({kRed, kGreen});
    t.g.SetColorVisionType(cvtProt);
    std::vector<std::pair<TColor, bool>> seen;
    t.g.OnColorRollover = [&](TObject* sender, TColor c, bool over) {
        EXPECT_EQ(sender, static_cast<TObject*>(&t.g));
        seen.emplace_back(c, over);
    };
    Mouse(t.g.viewport(), QEvent::MouseMove, t.Centre(1), Qt::NoButton, Qt::NoButton);
    Mouse(t.g.viewport(), QEvent::MouseMove, t.Centre(3), Qt::NoButton, Qt::NoButton);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], std::make_pair(kGreen, true)) << "the stored colour, not the simulated one";
    EXPECT_EQ(seen[1], std::make_pair(t.g.Color(), false));
}

TEST(SwatchGrid, PressesSelectAndHandCtrlAltAndDoubleClicksToTheWindow)
{
    Grid t;
    t.Thumbnails();
    t.Fill({kRed, kGreen, kBlue});
    std::vector<std::pair<int, bool>> ctrl;
    std::vector<TColor> alt;
    std::vector<int> dbl;
    t.g.OnSwatchCtrlPress = [&](TObject*, int i, bool shift) { ctrl.emplace_back(i, shift); };
    t.g.OnSwatchAltPress = [&](TObject*, TColor c) { alt.push_back(c); };
    t.g.OnSwatchDblClick = [&](TObject*, int i) { dbl.push_back(i); };
    QWidget* vp = t.g.viewport();

    Press(vp, t.Centre(1));
    EXPECT_EQ(t.g.SelectedIndex(), 1);
    EXPECT_EQ(t.g.PopupSwatchIndex(), 1);
    Press(vp, t.Centre(4));
    EXPECT_EQ(t.g.PopupSwatchIndex(), -1);
    EXPECT_EQ(t.g.SelectedIndex(), 1) << "an empty cell cannot be selected";

    Press(vp, t.Centre(2), Qt::ControlModifier | Qt::ShiftModifier);
    Press(vp, t.Centre(0), Qt::ControlModifier);
    EXPECT_EQ(ctrl, (std::vector<std::pair<int, bool>> {{2, true}, {0, false}}));
    Press(vp, t.Centre(2), Qt::AltModifier);
    EXPECT_EQ(alt, std::vector<TColor> {kBlue});
    Press(vp, t.Centre(1), Qt::GroupSwitchModifier);
    EXPECT_EQ(alt.size(), 1u) << "Right Alt is not Left Alt";

    Mouse(vp, QEvent::MouseButtonDblClick, t.Centre(2), Qt::LeftButton, Qt::LeftButton);
    Mouse(vp, QEvent::MouseButtonDblClick, t.Centre(5), Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(dbl, std::vector<int> {2});

    // Right after the swatch dialog closed a press changes nothing.
    Press(vp, t.Centre(2));
    t.g.MarkSwatchDialogClosed();
    Press(vp, t.Centre(0));
    Press(vp, t.Centre(0), Qt::ControlModifier);
    EXPECT_EQ(t.g.SelectedIndex(), 2);
    EXPECT_EQ(t.g.PopupSwatchIndex(), 2);
    EXPECT_EQ(ctrl.size(), 2u);
    QTest::qWait(TAdvSwatchGrid::kDialogGuardMs + 50);
    Press(vp, t.Centre(0));
    EXPECT_EQ(t.g.SelectedIndex(), 0);
}

TEST(SwatchGrid, DragStartsAfterFourPixelsAndThenThePlatformThreshold)
{
    Grid t;
    t.Thumbnails();
    t.Fill({kRed, kGreen, kBlue});
    QWidget* vp = t.g.viewport();
    const QPoint p = t.Centre(1);
    const int threshold = QApplication::startDragDistance();
    auto move = [&](QPoint to) { Mouse(vp, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton); };

    Press(vp, p);
    move(p + QPoint(3, 3));
    move(p + QPoint(4, 0));
    EXPECT_TRUE(t.g.drags.empty()) << "requested, not started";
    move(p + QPoint(4 + threshold - 1, 0));
    EXPECT_TRUE(t.g.drags.empty());
    move(p + QPoint(4 + threshold, 0));
    ASSERT_EQ(t.g.drags.size(), 1u);
    const TColorDragCtrlObject& d = t.g.drags[0];
    EXPECT_EQ(d.SourceControl, static_cast<QObject*>(&t.g));
    EXPECT_EQ(d.SourceIndex, 1);
    EXPECT_EQ(d.Color, kGreen);
    EXPECT_EQ(d.DragKind, 0);
    move(p + QPoint(40, 0));
    EXPECT_EQ(t.g.drags.size(), 1u) << "one drag per press";

    // A release cancels the request.
    Press(vp, p);
    move(p + QPoint(0, 5));
    Mouse(vp, QEvent::MouseButtonRelease, p + QPoint(0, 5), Qt::LeftButton, Qt::NoButton);
    move(p + QPoint(0, 40));
    EXPECT_EQ(t.g.drags.size(), 1u);
    // Ctrl presses belong to the window; they never drag.
    Press(vp, p, Qt::ControlModifier);
    move(p + QPoint(40, 0));
    move(p + QPoint(80, 0));
    EXPECT_EQ(t.g.drags.size(), 1u);
}

TEST(SwatchGrid, MoveWithinTheGridBelowTheLastSwatchGoesToTheEnd)
{
    Grid t;
    t.Thumbnails();
    t.Fill({kRed, kGreen, kBlue, kYellow});
    TColorDragCtrlObject own;
    own.SourceControl = &t.g;
    own.SourceIndex = 1;
    own.Color = kGreen;
    ASSERT_TRUE(Drop(t.g, own, QPoint(10, 27 * 3 + 5)));
    EXPECT_EQ(t.Colours(), (std::vector<TColor> {kRed, kBlue, kYellow, kGreen}));
    EXPECT_EQ(t.g.FocusedIndex(), 3);
    EXPECT_TRUE(t.g.Modified());
    EXPECT_EQ(t.paletteChanges, 1);

    // Onto a swatch: it takes that place.
    own.SourceIndex = 3;
    ASSERT_TRUE(Drop(t.g, own, t.Centre(0)));
    EXPECT_EQ(t.Colours(), (std::vector<TColor> {kGreen, kRed, kBlue, kYellow}));
    EXPECT_EQ(t.g.SelectedIndex(), 0);

    // An index the palette no longer has is not trusted.
    own.SourceIndex = 9;
    Drop(t.g, own, t.Centre(0));
    EXPECT_EQ(t.Colours(), (std::vector<TColor> {kGreen, kRed, kBlue, kYellow}));
}

TEST(SwatchGrid, PlainAndPageColourDropsByModifier)
{
    struct Case {
        const char* name;
        int kind;
        bool onSwatch; // dropped on swatch 1, else below the last swatch
        Qt::KeyboardModifiers mods;
        std::vector<TColor> expected;
    };
    const std::vector<Case> cases = {
        {"plain insert", 0, true, {}, {kRed, kGrey, kGreen, kBlue}},
        {"plain below last", 0, false, {}, {kRed, kGreen, kBlue, kGrey}},
        {"plain right alt replaces", 0, true, Qt::GroupSwitchModifier, {kRed, kGrey, kBlue}},
        {"plain right alt below last", 0, false, Qt::GroupSwitchModifier, {kRed, kGreen, kBlue, kGrey}},
        {"plain left alt appends", 0, true, Qt::AltModifier, {kRed, kGreen, kBlue, kGrey}},
        {"page insert", 1, true, {}, {kRed, kGrey, kGreen, kBlue}},
        {"page shift inserts once", 1, true, Qt::ShiftModifier, {kRed, kGrey, kGreen, kBlue}},
        {"page meta replaces", 1, true, Qt::MetaModifier, {kRed, kGrey, kBlue}},
        {"page left alt appends", 1, true, Qt::AltModifier, {kRed, kGreen, kBlue, kGrey}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Grid t;
        t.Thumbnails();
        t.Fill({kRed, kGreen, kBlue});
        TColorDragCtrlObject drag;
        drag.Color = kGrey;
        drag.DragKind = c.kind;
        const QPoint at = c.onSwatch ? t.Centre(1) : QPoint(5, 27 + 5);
        ASSERT_TRUE(Drop(t.g, drag, at, c.mods));
        EXPECT_EQ(t.Colours(), c.expected);
        EXPECT_TRUE(t.g.Modified());
        EXPECT_EQ(t.paletteChanges + t.colourChanges, 1) << "one notice per drop";
    }
}

TEST(SwatchGrid, PageGridDropsInsertTheWholeRowOrColumn)
{
    // The page's colour grid: 3 columns, 2 rows.
    //   c0 c1 c2
    //   c3 c4 c5
    TRichPalette source;
    const TColor c[] = {RGB(1, 0, 0), RGB(2, 0, 0), RGB(3, 0, 0), RGB(4, 0, 0), RGB(5, 0, 0), RGB(6, 0, 0)};
    for (TColor colour : c)
        source.Add()->SetColor(colour);
    auto gridDrag = [&](int index) {
        TColorDragCtrlObject drag;
        drag.DragKind = 2;
        drag.SourcePalette = &source;
        drag.SourceIndex = index;
        drag.Color = c[index];
        drag.GridCols = 3;
        drag.GridRows = 2;
        return drag;
    };

    {
        SCOPED_TRACE("Ctrl: the row in row order from the dragged colour");
        Grid t;
        t.Thumbnails();
        t.Fill({kRed, kBlue});
        ASSERT_TRUE(Drop(t.g, gridDrag(4), t.Centre(1), Qt::ControlModifier));
        EXPECT_EQ(t.Colours(), (std::vector<TColor> {kRed, c[4], c[5], c[3], kBlue}));
        EXPECT_EQ(t.paletteChanges, 1);
    }
    {
        SCOPED_TRACE("Shift: the column, bottom row first");
        Grid t;
        t.Thumbnails();
        t.Fill({kRed, kBlue});
        ASSERT_TRUE(Drop(t.g, gridDrag(4), t.Centre(1), Qt::ShiftModifier));
        EXPECT_EQ(t.Colours(), (std::vector<TColor> {kRed, c[4], c[1], kBlue}));
    }
    {
        SCOPED_TRACE("Ctrl with Alt: a single colour");
        Grid t;
        t.Thumbnails();
        t.Fill({kRed, kBlue});
        ASSERT_TRUE(Drop(t.g, gridDrag(4), t.Centre(1), Qt::ControlModifier | Qt::AltModifier));
        EXPECT_EQ(t.Colours(), (std::vector<TColor> {kRed, kBlue, c[4]})) << "Left Alt appends";
    }
    {
        SCOPED_TRACE("Ctrl below the last swatch appends the row");
        Grid t;
        t.Thumbnails();
        t.Fill({kRed});
        ASSERT_TRUE(Drop(t.g, gridDrag(0), QPoint(5, 27 + 5), Qt::ControlModifier));
        EXPECT_EQ(t.Colours(), (std::vector<TColor> {kRed, c[0], c[1], c[2]}));
    }
    {
        SCOPED_TRACE("a short source: missing colours are skipped without a gap");
        source.Delete(5);
        Grid t;
        t.Thumbnails();
        t.Fill({kRed, kBlue});
        ASSERT_TRUE(Drop(t.g, gridDrag(3), t.Centre(1), Qt::ControlModifier));
        EXPECT_EQ(t.Colours(), (std::vector<TColor> {kRed, c[3], c[4], kBlue}));
    }
    {
        SCOPED_TRACE("no grid shape: the dragged colour alone, no division by zero");
        Grid t;
        t.Thumbnails();
        t.Fill({kRed});
        TColorDragCtrlObject drag = gridDrag(1);
        drag.GridCols = 0;
        ASSERT_TRUE(Drop(t.g, drag, t.Centre(0), Qt::ShiftModifier));
        EXPECT_EQ(t.Colours(), (std::vector<TColor> {c[1], kRed}));
    }
}

TEST(SwatchGrid, ClearPaletteButtonTakesOnlyOwnDragsAndDeletesTheSwatch)
{
    Grid t;
    t.Thumbnails();
    t.Fill({kRed, kGreen, kBlue});
    QPushButton button(QStringLiteral("Clear Palette"));
    t.g.AcceptDeleteDropsOn(&button);
    EXPECT_TRUE(button.acceptDrops());

    TColorDragCtrlObject own;
    own.SourceControl = &t.g;
    own.SourceIndex = 1;
    own.Color = kGreen;
    TColorDragCtrlObject foreign = own;
    foreign.SourceControl = &button;
    std::unique_ptr<QMimeData> ownData(EncodeColorDrag(own));
    std::unique_ptr<QMimeData> foreignData(EncodeColorDrag(foreign));
    EXPECT_TRUE(t.g.IsOwnDrag(ownData.get()));
    EXPECT_FALSE(t.g.IsOwnDrag(foreignData.get()));

    QDragEnterEvent refused(QPoint(2, 2), Qt::CopyAction, foreignData.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&button, &refused);
    EXPECT_FALSE(refused.isAccepted());
    QDropEvent foreignDrop(QPointF(2, 2), Qt::CopyAction, foreignData.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&button, &foreignDrop);
    EXPECT_EQ(t.g.Count(), 3);

    QDragEnterEvent accepted(QPoint(2, 2), Qt::CopyAction, ownData.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&button, &accepted);
    EXPECT_TRUE(accepted.isAccepted());
    QDropEvent drop(QPointF(2, 2), Qt::CopyAction, ownData.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&button, &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(t.Colours(), (std::vector<TColor> {kRed, kBlue}));
}

TEST(SwatchGrid, DragNearAnEdgeScrollsOneRowPerTick)
{
    Grid t;
    t.List();
    for (int i = 0; i < 30; ++i)
        t.g.AddColor(RGB(i, 0, 0), false);
    t.g.SetTopRow(10);
    ASSERT_EQ(t.g.TopRow(), 10);
    TColorDragCtrlObject drag;
    std::unique_ptr<QMimeData> mime(EncodeColorDrag(drag));
    // A drag always enters first; the moves that follow go to whoever took the entry.
    QDragEnterEvent enter(QPoint(20, 100), Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(t.g.viewport(), &enter);
    ASSERT_TRUE(enter.isAccepted());
    auto hover = [&](int y) {
        QDragMoveEvent e(QPoint(20, y), Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(t.g.viewport(), &e);
        EXPECT_TRUE(e.isAccepted());
    };

    hover(5);
    QTest::qWait(TAdvSwatchGrid::kAutoScrollMs * 2 + 50);
    const int up = t.g.TopRow();
    EXPECT_LT(up, 10);
    EXPECT_GE(up, 7);

    hover(t.g.viewport()->height() / 2);
    QTest::qWait(TAdvSwatchGrid::kAutoScrollMs * 2 + 50);
    EXPECT_EQ(t.g.TopRow(), up) << "stopped away from the edges";

    hover(t.g.viewport()->height() - 3);
    QTest::qWait(TAdvSwatchGrid::kAutoScrollMs * 2 + 50);
    EXPECT_GT(t.g.TopRow(), up);
    QDragLeaveEvent leave;
    QApplication::sendEvent(t.g.viewport(), &leave);
    const int left = t.g.TopRow();
    QTest::qWait(TAdvSwatchGrid::kAutoScrollMs * 2 + 50);
    EXPECT_EQ(t.g.TopRow(), left) << "leaving the grid stops it";

    t.g.SetTopRow(1);
    QDragEnterEvent again(QPoint(20, 100), Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(t.g.viewport(), &again);
    hover(5);
    QTest::qWait(TAdvSwatchGrid::kAutoScrollMs * 3 + 50);
    EXPECT_EQ(t.g.TopRow(), 0) << "not past the first row";
}

TEST(SwatchGrid, AutoCaptionGoesThroughTheGridWithTheSwatchAsSender)
{
    Grid t;
    t.g.OnAutoCaption = [](TObject* sender, QString& caption) {
        auto* swatch = dynamic_cast<TRichColor*>(sender);
        ASSERT_NE(swatch, nullptr);
        caption = QStringLiteral("Color %1").arg(swatch->Index + 1);
    };
    t.Fill({kRed, kGreen});
    EXPECT_EQ(t.g.Swatch(1)->Caption(), QStringLiteral("Color 2"));
    EXPECT_EQ(t.g.HintText(1), QStringLiteral("Color 2\n[no description]"));
}
