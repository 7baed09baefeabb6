#include "palette/PaletteOps.h"

#include "colour/Colors.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<TColor> ColorsOf(const TRichPalette& p)
{
    std::vector<TColor> out;
    for (int i = 0; i < p.Count(); ++i)
        out.push_back(p.Colors(i)->Color());
    return out;
}

void Fill(TRichPalette& p, const std::vector<TColor>& colors)
{
    for (TColor c : colors)
        p.Add()->SetColor(c);
}

// ---------------------------------------------------------------------------------------
// Remove similar colours

TEST(RemoveSimilarColors, KeepsTheFirstOfTwoRedsWithinTheDefaultLimits)
{
    const TColor first = HSBToColor(0, 1, 1);
    const TColor second = HSBToColor(10, 0.97, 0.97);
    // The fixture must really be 10 degrees and 3 percent apart after the bytes rounded.
    const THSB a = ColorToHSB(first), b = ColorToHSB(second);
    ASSERT_EQ(Round(b.H - a.H), 10);
    ASSERT_EQ(Round((a.S - b.S) * 100), 3);
    ASSERT_EQ(Round((a.B - b.B) * 100), 3);

    TRichPalette source, dest;
    Fill(source, {first, second});
    RemoveSimilarColors(source, dest, 15, 5, 5);
    EXPECT_EQ(ColorsOf(dest), std::vector<TColor>({first}));
    // The source is the dialog's copy and stays whole.
    EXPECT_EQ(source.Count(), 2);
}

TEST(RemoveSimilarColors, LimitsTable)
{
    struct Case {
        const char* what;
        TColor a, b;
        TSimilarityLimits limits;
        bool removed;
    };
    const Case cases[] = {
        // Hue difference is plain: 359 and 1 are 358 degrees apart.
        {"hues either side of red", HSBToColor(359, 1, 1), HSBToColor(1, 1, 1), {15, 5, 5}, false},
        {"hue 10 over a limit of 9", HSBToColor(100, 1, 1), HSBToColor(110, 1, 1), {9, 10, 10}, false},
        {"hue 10 at a limit of 10", HSBToColor(100, 1, 1), HSBToColor(110, 1, 1), {10, 0, 0}, true},
        // Exact: brightness 0.39 percent apart rounds to 0, 0.78 percent to 1.
        {"exact after rounding", RGB(255, 0, 0), RGB(254, 0, 0), {0, 0, 0}, true},
        {"one percent apart is not exact", RGB(255, 0, 0), RGB(253, 0, 0), {0, 0, 0}, false},
        {"equal colours", RGB(10, 20, 30), RGB(10, 20, 30), {0, 0, 0}, true},
        {"saturation over its limit", HSBToColor(200, 0.5, 0.5), HSBToColor(200, 0.57, 0.5), {30, 5, 10}, false},
        {"brightness over its limit", HSBToColor(200, 0.5, 0.5), HSBToColor(200, 0.5, 0.57), {30, 10, 5}, false},
    };
    for (const Case& c : cases) {
        TRichPalette source, dest;
        Fill(source, {c.a, c.b});
        RemoveSimilarColors(source, dest, c.limits.Hue, c.limits.Sat, c.limits.Brt);
        EXPECT_EQ(dest.Count(), c.removed ? 1 : 2) << c.what;
        EXPECT_EQ(dest.Colors(0)->Color(), c.a) << c.what;
        EXPECT_EQ(IsSimilarColor(c.a, c.b, c.limits), c.removed) << c.what;
    }
}

TEST(RemoveSimilarColors, ComparesOnlyWithKeptSwatches)
{
    // B is close to A and goes; C is close to B but not to A, so it stays.
    const TColor a = HSBToColor(100, 1, 1), b = HSBToColor(110, 1, 1), c = HSBToColor(120, 1, 1);
    TRichPalette source, dest;
    Fill(source, {a, b, c});
    RemoveSimilarColors(source, dest, 10, 0, 0);
    EXPECT_EQ(ColorsOf(dest), std::vector<TColor>({a, c}));
}

TEST(RemoveSimilarColors, CopiesWholeSwatchesAndKeepsThePalettesOwnTexts)
{
    TRichPalette source, dest;
    source.SetTitle(QStringLiteral(" Herbst "));
    source.SetDescription(QStringLiteral("Laub"));
    source.SetAuthor(QStringLiteral("Jörg"));
    source.SetKeywords(QStringLiteral("rot, gelb"));
    source.SetURL(QStringLiteral("http://example.org/ "));
    source.SetDisplayMode(2);
    Fill(source, {RGB(200, 0, 0), RGB(199, 0, 0), RGB(0, 0, 200)});
    source.Colors(0)->SetCaption(QStringLiteral("Mohn"));
    source.Colors(2)->SetDescription(QStringLiteral("See"));
    source.Colors(2)->SetCssClass(QStringLiteral("water"));
    source.Colors(2)->SetEnabled(false);

    dest.SetTitle(QStringLiteral("old"));
    Fill(dest, {clWhite});
    int changes = 0;
    dest.OnChange = [&](TObject*) { ++changes; };
    RemoveSimilarColors(source, dest, 0, 0, 0);

    EXPECT_EQ(changes, 1);
    EXPECT_EQ(dest.Title(), QStringLiteral(" Herbst "));
    EXPECT_EQ(dest.Description(), QStringLiteral("Laub"));
    EXPECT_EQ(dest.Author(), QStringLiteral("Jörg"));
    EXPECT_EQ(dest.Keywords(), QStringLiteral("rot, gelb"));
    EXPECT_EQ(dest.URL(), QStringLiteral("http://example.org/ "));
    EXPECT_EQ(dest.DisplayMode(), 2);
    ASSERT_EQ(dest.Count(), 2);
    EXPECT_EQ(dest.Colors(0)->Caption(), QStringLiteral("Mohn"));
    EXPECT_FALSE(dest.Colors(0)->AutoCaption());
    EXPECT_EQ(dest.Colors(1)->Description(), QStringLiteral("See"));
    EXPECT_EQ(dest.Colors(1)->CssClass(), QStringLiteral("water"));
    EXPECT_FALSE(dest.Colors(1)->Enabled());
    EXPECT_EQ(dest.Colors(1)->Index, 1);
}

TEST(RemoveSimilarColors, FiltersAPaletteInPlace)
{
    TRichPalette p;
    Fill(p, {RGB(255, 0, 0), RGB(254, 0, 0), clBlue, RGB(255, 0, 0)});
    RemoveSimilarColors(p, p, 0, 0, 0);
    EXPECT_EQ(ColorsOf(p), std::vector<TColor>({RGB(255, 0, 0), clBlue}));
}

// ---------------------------------------------------------------------------------------
// Snapping

TEST(SnapPalette, SnapsEverySwatchThroughTheColourSetterWithOneNotification)
{
    TRichPalette p;
    Fill(p, {RGB(250, 10, 100), RGB(0, 51, 102), RGB(8, 9, 247)});
    int colorChanges = 0;
    p.OnColorChange = [&](TObject*) { ++colorChanges; };
    SnapToWebSafe(p);
    EXPECT_EQ(ColorsOf(p), std::vector<TColor>({RGB(255, 0, 102), RGB(0, 51, 102), RGB(0, 0, 255)}));
    EXPECT_EQ(colorChanges, 1);
    // A snapped colour turns off nothing else: the auto caption follows the new colour.
    EXPECT_EQ(p.Colors(0)->Caption(), QStringLiteral("R:255 G:0 B:102"));

    TRichPalette q;
    Fill(q, {RGB(250, 10, 100), RGB(8, 9, 247)});
    SnapToWebSmart(q);
    EXPECT_EQ(ColorsOf(q), std::vector<TColor>({RGB(255, 17, 102), RGB(0, 17, 255)}));

    // Nothing to snap: no notification.
    colorChanges = 0;
    SnapToWebSafe(p);
    EXPECT_EQ(colorChanges, 0);
}

// ---------------------------------------------------------------------------------------
// Clear from a swatch on

TEST(ClearFromIndex, RemovesTheSwatchAndEverythingAfterIt)
{
    TRichPalette p;
    Fill(p, {RGB(1, 0, 0), RGB(2, 0, 0), RGB(3, 0, 0), RGB(4, 0, 0), RGB(5, 0, 0)});
    int changes = 0;
    p.OnChange = [&](TObject*) { ++changes; };
    ClearFromIndex(p, 2);
    EXPECT_EQ(ColorsOf(p), std::vector<TColor>({RGB(1, 0, 0), RGB(2, 0, 0)}));
    EXPECT_EQ(changes, 1);

    for (int bad : {-1, 2, 7}) {
        ClearFromIndex(p, bad);
        EXPECT_EQ(p.Count(), 2) << bad;
    }
    EXPECT_EQ(changes, 1);
}

// ---------------------------------------------------------------------------------------
// Page offers

TEST(PageOffers, RowsColumnsAndEnabledSwatches)
{
    // A grid of 3 columns and 2 rows: 0 1 2 / 3 4 5.
    TRichPalette source;
    for (int i = 0; i < 6; ++i)
        source.Add()->SetColor(RGB(i, 0, 0));
    source.Colors(4)->SetCaption(QStringLiteral("four"));
    source.Colors(1)->SetEnabled(false);

    struct Case {
        const char* what;
        int mode, number, rows, columns;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {"row from its middle wraps round", 1, 4, 2, 3, {4, 5, 3}},
        {"row from its start", 1, 0, 2, 3, {0, 1, 2}},
        {"column from the last row up", 2, 4, 2, 3, {4, 1}},
        {"column of the first", 2, 0, 2, 3, {3, 0}},
        {"row beyond the source is skipped", 1, 7, 3, 3, {}},
        {"column with more rows than colours", 2, 2, 3, 3, {5, 2}},
        {"no columns", 1, 0, 2, 0, {}},
        {"enabled only", 3, 0, 0, 0, {0, 2, 3, 4, 5}},
    };
    for (const Case& c : cases) {
        TRichPalette dest;
        Fill(dest, {clWhite});
        int changes = 0;
        dest.OnChange = [&](TObject*) { ++changes; };
        if (c.mode == 1)
            AppendColorRow(source, dest, c.number, c.columns);
        else if (c.mode == 2)
            AppendColorColumn(source, dest, c.number, c.rows, c.columns);
        else
            AppendEnabledColors(source, dest);
        std::vector<TColor> expected {clWhite};
        for (int i : c.expected)
            expected.push_back(RGB(i, 0, 0));
        EXPECT_EQ(ColorsOf(dest), expected) << c.what;
        EXPECT_LE(changes, 1) << c.what;
        for (int i = 1; i < dest.Count(); ++i)
            if (dest.Colors(i)->Color() == RGB(4, 0, 0))
                EXPECT_EQ(dest.Colors(i)->Caption(), QStringLiteral("four")) << c.what;
    }
}

TEST(PaletteTitles, NewAndDuplicatePalettes)
{
    EXPECT_EQ(NewPaletteTitle(2), QStringLiteral("Palette 3"));
    EXPECT_EQ(DuplicatePaletteTitle(QStringLiteral("Herbst 100%")), QStringLiteral("Copy of Herbst 100%"));
    EXPECT_EQ(DuplicatePaletteTitle(QString()), QStringLiteral("Copy of palette"));
}

} // namespace
