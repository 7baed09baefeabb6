#include "palette/RichColor.h"

#include "colour/Colors.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <stdexcept>
#include <vector>

namespace {

// Counts the calls of one event and remembers the last sender.
struct Counter {
    int calls = 0;
    TObject* sender = nullptr;
    auto Handler()
    {
        return [this](TObject* s) {
            ++calls;
            sender = s;
        };
    }
};

std::vector<TColor> ColorsOf(const TRichPalette& p)
{
    std::vector<TColor> out;
    for (int i = 0; i < p.Count(); ++i)
        out.push_back(p.Colors(i)->Color());
    return out;
}

void ExpectNumbered(const TRichPalette& p)
{
    for (int i = 0; i < p.Count(); ++i)
        EXPECT_EQ(p.Colors(i)->Index, i);
}

TRichPalette& Fill(TRichPalette& p, std::initializer_list<TColor> colors)
{
    for (TColor c : colors)
        p.Add()->SetColor(c);
    return p;
}

// ---------------------------------------------------------------------------------------
// Swatch

TEST(RichColor, NewSwatchShowsItsColourAsRgbText)
{
    TRichColor c;
    EXPECT_EQ(c.Caption(), "R:0 G:0 B:0");
    EXPECT_TRUE(c.AutoCaption());
    EXPECT_EQ(c.Alpha(), 255);
    EXPECT_EQ(c.Index, -1);
    EXPECT_TRUE(c.Unique);
    c.SetColor(RGB(255, 128, 7));
    EXPECT_EQ(c.Caption(), "R:255 G:128 B:7");
    EXPECT_TRUE(c.StoredCaption().isEmpty());
}

TEST(RichColor, WrittenCaptionIsTrimmedAndEndsAutoCaption)
{
    TRichColor c;
    Counter changed;
    c.OnChange = changed.Handler();

    c.SetCaption("  Sky \t");
    EXPECT_EQ(c.Caption(), "Sky");
    EXPECT_FALSE(c.AutoCaption());
    EXPECT_EQ(changed.calls, 1);
    EXPECT_EQ(changed.sender, &c);

    // The same text after trimming changes nothing.
    c.SetAutoCaption(true);
    c.SetCaption("Sky\r\n");
    EXPECT_TRUE(c.AutoCaption());
    EXPECT_EQ(changed.calls, 1);

    // Only blanks and control characters are trimmed; a non-breaking space is text.
    c.SetCaption(QString(QChar(0x00A0)) + "x");
    EXPECT_EQ(c.Caption(), QString(QChar(0x00A0)) + "x");
}

TEST(RichColor, EmptyCaptionOnEmptyKeepsAutoCaption)
{
    TRichColor c;
    Counter changed;
    c.OnChange = changed.Handler();
    c.SetCaption("   ");
    EXPECT_TRUE(c.AutoCaption());
    EXPECT_EQ(changed.calls, 0);
    EXPECT_EQ(c.Caption(), "R:0 G:0 B:0");

    // With AutoCaption off an empty stored caption reads empty.
    c.SetAutoCaption(false);
    EXPECT_EQ(c.Caption(), "");
}

TEST(RichColor, AutoCaptionHandlerMayReplaceOnlyTheGeneratedText)
{
    TRichColor c;
    TObject* sender = nullptr;
    c.OnAutoCaption = [&](TObject* s, QString& caption) {
        sender = s;
        caption = "auto " + caption;
    };
    c.SetColor(clRed);
    EXPECT_EQ(c.Caption(), "auto R:255 G:0 B:0");
    EXPECT_EQ(sender, &c);
    c.SetCaption("Mine");
    EXPECT_EQ(c.Caption(), "Mine");
}

TEST(RichColor, SettersFireOnlyOnARealChange)
{
    struct Case {
        const char* name;
        std::function<void(TRichColor&)> same, differ;
        int expected;  // events for differ; 0 means the property changes silently
    };
    const Case cases[] = {
        {"Color", [](TRichColor& c) { c.SetColor(0); }, [](TRichColor& c) { c.SetColor(clBlue); }, 1},
        {"Alpha", [](TRichColor& c) { c.SetAlpha(255); }, [](TRichColor& c) { c.SetAlpha(0); }, 1},
        {"Enabled", [](TRichColor& c) { c.SetEnabled(true); }, [](TRichColor& c) { c.SetEnabled(false); }, 1},
        {"Visible", [](TRichColor& c) { c.SetVisible(true); }, [](TRichColor& c) { c.SetVisible(false); }, 1},
        {"Pantone", [](TRichColor& c) { c.SetPantone(""); }, [](TRichColor& c) { c.SetPantone("185 C"); }, 1},
        {"Description", [](TRichColor& c) { c.SetDescription(" \t"); },
         [](TRichColor& c) { c.SetDescription(" note "); }, 1},
        {"HsbH", [](TRichColor& c) { c.SetHsbH(0); }, [](TRichColor& c) { c.SetHsbH(120); }, 1},
        {"HsbS", [](TRichColor& c) { c.SetHsbS(1); }, [](TRichColor& c) { c.SetHsbS(0.5); }, 1},
        {"HsbB", [](TRichColor& c) { c.SetHsbB(1); }, [](TRichColor& c) { c.SetHsbB(0.5); }, 1},
        {"AutoCaption", [](TRichColor& c) { c.SetAutoCaption(true); },
         [](TRichColor& c) { c.SetAutoCaption(false); }, 0},
        {"CssClass", [](TRichColor& c) { c.SetCssClass(""); }, [](TRichColor& c) { c.SetCssClass("a"); }, 0},
        {"CssClassBg", [](TRichColor& c) { c.SetCssClassBg(""); },
         [](TRichColor& c) { c.SetCssClassBg("b"); }, 0},
    };
    for (const Case& k : cases) {
        TRichColor c;
        // The HSB cases start from pure red so that "same" really is the same.
        if (k.name[0] == 'H')
            c.SetColor(clRed);
        Counter changed;
        c.OnChange = changed.Handler();
        k.same(c);
        EXPECT_EQ(changed.calls, 0) << k.name;
        k.differ(c);
        EXPECT_EQ(changed.calls, k.expected) << k.name;
    }
}

TEST(RichColor, HsbPropertiesRebuildTheColour)
{
    TRichColor c;
    c.SetColor(clRed);
    EXPECT_EQ(c.HsbH(), 0);
    EXPECT_EQ(c.HsbS(), 1);
    EXPECT_EQ(c.HsbB(), 1);
    c.SetHsbH(120);
    EXPECT_EQ(c.Color(), RGB(0, 255, 0));
    c.SetHsbB(0.5);  // 127.5 rounds to the even 128
    EXPECT_EQ(c.Color(), RGB(0, 128, 0));
    c.SetHsbS(0);
    EXPECT_EQ(c.Color(), RGB(128, 128, 128));
    EXPECT_EQ(c.Description(), "");
}

TEST(RichColor, AssignCopiesValuesButNotPositionOrHandlers)
{
    TRichColor src;
    src.SetColor(RGB(1, 2, 3));
    src.SetAlpha(9);
    src.SetCaption("Name");
    src.SetDescription("Desc");
    src.SetCssClass("c");
    src.SetCssClassBg("cb");
    src.SetEnabled(false);
    src.SetVisible(false);
    src.SetPantone("P");
    src.Tag = 42;
    src.Unique = false;
    src.Index = 7;

    TRichColor dst;
    Counter changed;
    dst.OnChange = changed.Handler();
    dst.Assign(src);
    EXPECT_EQ(changed.calls, 0);
    EXPECT_EQ(dst.Color(), RGB(1, 2, 3));
    EXPECT_EQ(dst.Alpha(), 9);
    EXPECT_EQ(dst.Caption(), "Name");
    EXPECT_FALSE(dst.AutoCaption());
    EXPECT_EQ(dst.Description(), "Desc");
    EXPECT_EQ(dst.CssClass(), "c");
    EXPECT_EQ(dst.CssClassBg(), "cb");
    EXPECT_FALSE(dst.Enabled());
    EXPECT_FALSE(dst.Visible());
    EXPECT_EQ(dst.Pantone(), "P");
    EXPECT_EQ(dst.Tag, 42);
    EXPECT_FALSE(dst.Unique);
    EXPECT_EQ(dst.Index, -1);
    EXPECT_TRUE(static_cast<bool>(dst.OnChange));

    // An auto caption travels as the empty stored caption, not as the generated text.
    TRichColor autoSrc;
    autoSrc.SetColor(clBlue);
    dst.Assign(autoSrc);
    EXPECT_TRUE(dst.StoredCaption().isEmpty());
    EXPECT_EQ(dst.Caption(), "R:0 G:0 B:255");
}

TEST(RichColor, AssignFromAnotherKindIsAnError)
{
    TRichColor c;
    TRichPalette p;
    EXPECT_THROW(c.Assign(static_cast<const TObject*>(&p)), std::invalid_argument);
    EXPECT_THROW(c.Assign(static_cast<const TObject*>(nullptr)), std::invalid_argument);
    EXPECT_THROW(p.Assign(static_cast<const TObject*>(&c)), std::invalid_argument);
    TRichPaletteList l;
    EXPECT_THROW(l.Assign(static_cast<const TObject*>(&p)), std::invalid_argument);
}

// ---------------------------------------------------------------------------------------
// Palette

TEST(RichPalette, AddWiresTheSwatchToThePalette)
{
    TRichPalette p;
    Counter changed, colorChanged;
    p.OnChange = changed.Handler();
    p.OnColorChange = colorChanged.Handler();
    p.SetAutoCaption(false);

    TRichColor* a = p.Add();
    EXPECT_EQ(changed.calls, 1);
    EXPECT_EQ(changed.sender, &p);
    EXPECT_FALSE(a->AutoCaption());
    EXPECT_EQ(a->Index, 0);
    EXPECT_EQ(p.Add()->Index, 1);
    EXPECT_EQ(p.Count(), 2);

    // A swatch's change reaches the palette as a colour change with the palette as sender.
    a->SetColor(clRed);
    EXPECT_EQ(colorChanged.calls, 1);
    EXPECT_EQ(colorChanged.sender, &p);
    EXPECT_EQ(changed.calls, 2);

    // The relay reads the palette's handler when it runs.
    Counter later;
    p.OnColorChange = later.Handler();
    a->SetColor(clBlue);
    EXPECT_EQ(later.calls, 1);
}

TEST(RichPalette, AutoCaptionHandlerReachesPresentAndFutureSwatches)
{
    TRichPalette p;
    TRichColor* before = p.Add();
    p.SetOnAutoCaption([](TObject*, QString& caption) { caption = "x"; });
    TRichColor* after = p.Add();
    EXPECT_EQ(before->Caption(), "x");
    EXPECT_EQ(after->Caption(), "x");
}

TEST(RichPalette, ListOperationsRenumberAndFireOnce)
{
    TRichPalette p;
    Fill(p, {clRed, clLime, clBlue});
    Counter changed;
    p.OnChange = changed.Handler();

    TRichColor* ins = p.Insert(1);
    ins->SetColor(clWhite);
    EXPECT_EQ(changed.calls, 1);
    EXPECT_EQ(ColorsOf(p), (std::vector<TColor>{clRed, clWhite, clLime, clBlue}));
    ExpectNumbered(p);

    p.Insert(p.Count())->SetColor(clBlack);  // inserting at Count appends
    EXPECT_EQ(ColorsOf(p).back(), clBlack);

    p.Move(0, 3);
    EXPECT_EQ(ColorsOf(p), (std::vector<TColor>{clWhite, clLime, clBlue, clRed, clBlack}));
    ExpectNumbered(p);

    p.Delete(1);
    EXPECT_EQ(ColorsOf(p), (std::vector<TColor>{clWhite, clBlue, clRed, clBlack}));
    ExpectNumbered(p);
    EXPECT_EQ(changed.calls, 4);

    // An invalid index deletes nothing but still reports.
    p.Delete(-1);
    p.Delete(4);
    EXPECT_EQ(p.Count(), 4);
    EXPECT_EQ(changed.calls, 6);

    p.Clear();
    EXPECT_EQ(p.Count(), 0);
    EXPECT_EQ(changed.calls, 7);
}

TEST(RichPalette, InvalidIndicesRaiseTheListIndexError)
{
    TRichPalette p;
    Fill(p, {clRed, clBlue});
    Counter changed;
    p.OnChange = changed.Handler();
    for (int bad : {-1, 2, 1000})
        EXPECT_THROW(p.Colors(bad), std::out_of_range) << bad;
    EXPECT_THROW(p.Insert(3), std::out_of_range);
    EXPECT_THROW(p.Insert(-1), std::out_of_range);
    EXPECT_THROW(p.Move(0, 2), std::out_of_range);
    EXPECT_THROW(p.Move(-1, 0), std::out_of_range);
    EXPECT_EQ(ColorsOf(p), (std::vector<TColor>{clRed, clBlue}));
    EXPECT_EQ(changed.calls, 0);
}

TEST(RichPalette, TextsTrimmedAsStoredAndReported)
{
    TRichPalette p;
    Counter changed;
    p.OnChange = changed.Handler();
    p.SetTitle(" Title ");
    p.SetURL(" http://x ");
    p.SetDescription(" d ");
    p.SetAuthor("\ta\n");
    p.SetKeywords(" k ");
    EXPECT_EQ(p.Title(), " Title ");
    EXPECT_EQ(p.URL(), " http://x ");
    EXPECT_EQ(p.Description(), "d");
    EXPECT_EQ(p.Author(), "a");
    EXPECT_EQ(p.Keywords(), "k");
    EXPECT_EQ(changed.calls, 5);
    p.SetDescription("d  ");
    p.SetTitle(" Title ");
    p.SetDisplayMode(3);
    EXPECT_EQ(changed.calls, 5);
}

TEST(RichPalette, IndexOfFindsExactColours)
{
    TRichPalette p;
    Fill(p, {clRed, clBlue, clRed});
    EXPECT_EQ(p.IndexOf(clRed), 0);
    EXPECT_EQ(p.IndexOfFrom(clRed, 1), 2);
    EXPECT_EQ(p.IndexOfFrom(clRed, 3), -1);
    EXPECT_EQ(p.IndexOfFrom(clBlue, -5), 1);
    EXPECT_EQ(p.IndexOf(RGB(255, 0, 1)), -1);
}

TEST(RichPalette, SortByHueBucketsHuesWithinThreeDegrees)
{
    // Hue 121.5 quantises to 120 (40.5 rounds to the even 40), hue 123 to 123.
    ASSERT_EQ(ColorToHSB(RGB(0, 200, 5)).H, 121.5);
    ASSERT_EQ(ColorToHSB(RGB(0, 120, 3)).H, 121.5);
    ASSERT_EQ(ColorToHSB(RGB(0, 240, 12)).H, 123);

    TRichPalette p;
    Fill(p, {clBlue, RGB(0, 120, 3), RGB(0, 240, 12), RGB(0, 200, 5), RGB(0, 255, 0), clRed,
             RGB(255, 128, 128)});
    Counter changed;
    p.OnChange = changed.Handler();
    p.Sort(0);
    // Same bucket: brightest first; same brightness: less saturated first.
    EXPECT_EQ(ColorsOf(p), (std::vector<TColor>{RGB(255, 128, 128), clRed, RGB(0, 255, 0),
                                                RGB(0, 200, 5), RGB(0, 120, 3), RGB(0, 240, 12),
                                                clBlue}));
    ExpectNumbered(p);
    EXPECT_EQ(changed.calls, 1);
}

TEST(RichPalette, SortBySaturationAndBrightness)
{
    const TColor grey = RGB(128, 128, 128);
    struct Case {
        int kind;
        std::vector<TColor> expected;
    };
    const Case cases[] = {
        {1, {clBlack, grey, clWhite, clRed, clBlue}},
        {2, {clWhite, clRed, clBlue, grey, clBlack}},
    };
    for (const Case& k : cases) {
        TRichPalette p;
        Fill(p, {clBlue, clWhite, grey, clRed, clBlack});
        p.Sort(k.kind);
        EXPECT_EQ(ColorsOf(p), k.expected) << k.kind;
    }
}

TEST(RichPalette, SortWithCompareAndUnknownKinds)
{
    TRichPalette p;
    Fill(p, {RGB(3, 0, 0), RGB(1, 0, 0), RGB(2, 0, 0)});
    p.Sort(3, [](const TRichColor* a, const TRichColor* b) {
        return GetRValue(b->Color()) - GetRValue(a->Color());
    });
    EXPECT_EQ(ColorsOf(p), (std::vector<TColor>{RGB(3, 0, 0), RGB(2, 0, 0), RGB(1, 0, 0)}));

    Counter changed;
    p.OnChange = changed.Handler();
    p.Sort(3);
    p.Sort(7);
    EXPECT_EQ(ColorsOf(p), (std::vector<TColor>{RGB(3, 0, 0), RGB(2, 0, 0), RGB(1, 0, 0)}));
    EXPECT_EQ(changed.calls, 2);
}

TEST(RichPalette, QuickSortOrdersLargeListsAndSurvivesInconsistentCompare)
{
    std::mt19937 rng(1234);
    std::uniform_int_distribution<int> byte(0, 255), small(0, 3);
    TRichPalette p;
    for (int i = 0; i < 600; ++i)  // many equal keys: the small channel range repeats colours
        p.Add()->SetColor(RGB(small(rng) * 85, small(rng) * 85, byte(rng) & 0xC0));
    std::vector<TColor> before = ColorsOf(p);
    std::sort(before.begin(), before.end());

    for (int kind = 0; kind <= 2; ++kind) {
        p.Sort(kind);
        std::vector<TColor> after = ColorsOf(p);
        for (int i = 0; i + 1 < p.Count(); ++i) {
            TRichPalette pair;
            Fill(pair, {after[static_cast<size_t>(i + 1)], after[static_cast<size_t>(i)]});
            pair.Sort(kind);
            // Sorting the two neighbours must not put the later one first.
            ASSERT_EQ(pair.Colors(0)->Color(), after[static_cast<size_t>(i)])
                << "kind " << kind << " at " << i;
        }
        std::sort(after.begin(), after.end());
        EXPECT_EQ(after, before);
    }

    // A comparison that is no order at all may scramble, but must not lose or run off.
    const TRichColorCompare broken[] = {
        [&](const TRichColor* a, const TRichColor* b) {
            return static_cast<int>((a->Color() ^ b->Color()) & 0) + small(rng) - 1;
        },
        [](const TRichColor*, const TRichColor*) { return -1; },
        [](const TRichColor*, const TRichColor*) { return 1; },
    };
    for (const auto& compare : broken) {
        p.Sort(3, compare);
        std::vector<TColor> after = ColorsOf(p);
        std::sort(after.begin(), after.end());
        EXPECT_EQ(after, before);
        ExpectNumbered(p);
    }
}

TEST(RichPalette, MarkDuplicatesFlagsBothOfEachPairSilently)
{
    TRichPalette p;
    Fill(p, {clRed, clBlue, clRed, clLime, clBlue, clBlue});
    Counter changed, colorChanged;
    p.OnChange = changed.Handler();
    p.OnColorChange = colorChanged.Handler();
    p.Colors(3)->Unique = false;  // stale flag from an earlier pass
    EXPECT_TRUE(p.MarkDuplicates());
    const bool expected[] = {false, false, false, true, false, false};
    for (int i = 0; i < p.Count(); ++i)
        EXPECT_EQ(p.Colors(i)->Unique, expected[i]) << i;
    EXPECT_EQ(changed.calls + colorChanged.calls, 0);

    TRichPalette q;
    Fill(q, {clRed, clBlue});
    q.Colors(0)->Unique = false;
    EXPECT_FALSE(q.MarkDuplicates());
    EXPECT_TRUE(q.Colors(0)->Unique);
}

TEST(RichPalette, RemoveDuplicatesKeepsTheFirstOccurrence)
{
    TRichPalette p;
    Fill(p, {clRed, clRed, clBlue, clRed});
    p.Colors(0)->SetCaption("A");
    p.Colors(3)->SetCaption("B");
    p.Colors(1)->Unique = false;
    Counter changed;
    p.OnChange = changed.Handler();
    p.RemoveDuplicates();
    ASSERT_EQ(ColorsOf(p), (std::vector<TColor>{clRed, clBlue}));
    EXPECT_EQ(p.Colors(0)->Caption(), "A");
    ExpectNumbered(p);
    EXPECT_TRUE(p.Colors(0)->Unique && p.Colors(1)->Unique);
    EXPECT_EQ(changed.calls, 3);  // two deletions and the end
}

TEST(RichPalette, RemoveDuplicatesTakesOverTextsOfALaterTwin)
{
    TRichPalette p;
    Fill(p, {clBlue, clRed, clRed, clRed});
    p.Colors(2)->SetCaption("Named");
    p.Colors(2)->SetDescription("why");
    p.Colors(3)->SetCaption("Later");  // first swatch is no longer plain after the take-over
    p.RemoveDuplicates();
    ASSERT_EQ(ColorsOf(p), (std::vector<TColor>{clBlue, clRed}));
    EXPECT_EQ(p.Colors(1)->Caption(), "Named");
    EXPECT_EQ(p.Colors(1)->Description(), "why");
    EXPECT_EQ(p.Colors(1)->Index, 1);
}

TEST(RichPalette, AssignCopiesEverythingAndFiresOnce)
{
    TRichPalette src;
    src.SetTitle("T");
    src.SetDescription("D");
    src.SetAuthor("A");
    src.SetKeywords("K");
    src.SetURL("U");
    src.SetDisplayMode(2);
    src.SetAutoCaption(false);
    Fill(src, {clRed, clBlue});
    src.Colors(1)->SetCaption("Blue");
    Counter srcColor;
    src.OnColorChange = srcColor.Handler();

    TRichPalette dst;
    Fill(dst, {clLime, clLime, clLime});
    Counter changed, colorChanged;
    dst.OnChange = changed.Handler();
    dst.OnColorChange = colorChanged.Handler();
    dst.Assign(src);
    EXPECT_EQ(changed.calls, 1);
    EXPECT_EQ(dst.Title(), "T");
    EXPECT_EQ(dst.Description(), "D");
    EXPECT_EQ(dst.Author(), "A");
    EXPECT_EQ(dst.Keywords(), "K");
    EXPECT_EQ(dst.URL(), "U");
    EXPECT_EQ(dst.DisplayMode(), 2);
    EXPECT_FALSE(dst.AutoCaption());
    EXPECT_EQ(ColorsOf(dst), (std::vector<TColor>{clRed, clBlue}));
    EXPECT_EQ(dst.Colors(1)->Caption(), "Blue");
    ExpectNumbered(dst);

    // The copies belong to the destination.
    dst.Colors(0)->SetColor(clWhite);
    EXPECT_EQ(colorChanged.calls, 1);
    EXPECT_EQ(srcColor.calls, 0);
    EXPECT_EQ(src.Colors(0)->Color(), clRed);
}

TEST(RichPalette, AssignToItselfKeepsTheSwatches)
{
    TRichPalette p;
    Fill(p, {clRed, clBlue});
    p.Assign(p);
    EXPECT_EQ(ColorsOf(p), (std::vector<TColor>{clRed, clBlue}));
}

TEST(RichPalette, UpdateBatchesIntoOneOfEachEvent)
{
    TRichPalette p;
    Counter changed, colorChanged;
    p.OnChange = changed.Handler();
    p.OnColorChange = colorChanged.Handler();
    p.BeginUpdate();
    p.BeginUpdate();
    p.Clear();
    for (TColor c : {clRed, clBlue})
        p.Add()->SetColor(c);
    p.EndUpdate();
    EXPECT_TRUE(p.IsUpdating());
    EXPECT_EQ(changed.calls + colorChanged.calls, 0);
    p.EndUpdate();
    EXPECT_EQ(changed.calls, 1);
    EXPECT_EQ(colorChanged.calls, 1);

    p.BeginUpdate();
    p.EndUpdate();  // nothing happened, nothing reported
    p.EndUpdate();  // unbalanced: ignored
    EXPECT_EQ(changed.calls, 1);
    EXPECT_FALSE(p.IsUpdating());
}

TEST(RichPalette, DestructionDoesNotReport)
{
    Counter changed;
    {
        TRichPalette p;
        Fill(p, {clRed, clBlue});
        p.OnChange = changed.Handler();
    }
    EXPECT_EQ(changed.calls, 0);
}

// ---------------------------------------------------------------------------------------
// Collection

TEST(RichPaletteList, AddHandsOnTheCollectionsSettings)
{
    TRichPaletteList l;
    Counter changed, paletteChanged, colorChanged;
    l.OnChange = changed.Handler();
    l.OnPaletteChange = paletteChanged.Handler();
    l.OnColorChange = colorChanged.Handler();
    l.SetAutoCaption(false);

    TRichPalette* a = l.Add("First", false);
    EXPECT_EQ(l.ItemIndex(), -1);
    EXPECT_EQ(l.Current(), nullptr);
    TRichPalette* b = l.Add("Second", true);
    EXPECT_EQ(l.ItemIndex(), 1);
    EXPECT_EQ(l.Current(), b);
    EXPECT_EQ(changed.calls, 2);
    EXPECT_EQ(paletteChanged.calls, 0);
    EXPECT_EQ(a->Title(), "First");
    EXPECT_FALSE(a->AutoCaption());
    EXPECT_EQ(l.Items(0), a);
    EXPECT_EQ(l.Items(2), nullptr);
    EXPECT_EQ(l.Items(-1), nullptr);
    EXPECT_EQ(l.IndexOf(b), 1);

    TRichColor* swatch = a->Add();
    EXPECT_FALSE(swatch->AutoCaption());
    EXPECT_EQ(paletteChanged.calls, 1);
    EXPECT_EQ(paletteChanged.sender, a);
    swatch->SetColor(clRed);
    EXPECT_EQ(colorChanged.calls, 1);
    EXPECT_EQ(colorChanged.sender, a);

    // Later handlers reach only new palettes, except the caption handler.
    Counter laterPalette;
    l.OnPaletteChange = laterPalette.Handler();
    l.SetOnAutoCaption([](TObject*, QString& caption) { caption = "auto"; });
    swatch->SetAutoCaption(true);
    a->Add();
    EXPECT_EQ(paletteChanged.calls, 2);
    EXPECT_EQ(laterPalette.calls, 0);
    EXPECT_EQ(swatch->Caption(), "auto");
    l.Add("Third", false)->Add();
    EXPECT_EQ(laterPalette.calls, 1);
}

TEST(RichPaletteList, DeleteKeepsTheCurrentIndexInRange)
{
    struct Case {
        int count, current, deleted, expectedIndex, expectedCount;
    };
    const Case cases[] = {
        {3, 2, 2, 1, 2},    // current last deleted: the new last becomes current
        {1, 0, 0, -1, 0},   // the only palette
        {3, 0, 2, 0, 2},    // another palette: current stays
        {3, 1, 0, 1, 2},    // in range after the shift: the index stays
        {3, 2, 0, 1, 2},    // falls off the end: steps back
        {2, 1, 5, 1, 2},    // invalid: nothing deleted
        {2, 1, -1, 1, 2},
    };
    for (const Case& k : cases) {
        TRichPaletteList l;
        for (int i = 0; i < k.count; ++i)
            l.Add(QString::number(i), false);
        l.SetItemIndex(k.current);
        Counter changed;
        l.OnChange = changed.Handler();
        l.Delete(k.deleted);
        EXPECT_EQ(l.ItemIndex(), k.expectedIndex) << k.count << "/" << k.deleted;
        EXPECT_EQ(l.Count(), k.expectedCount);
        EXPECT_EQ(changed.calls, 1);
    }
}

TEST(RichPaletteList, SelectingAndSteppingTheCurrentPalette)
{
    TRichPaletteList l;
    l.Add("a", false);
    l.Add("b", false);
    Counter changed;
    l.OnChange = changed.Handler();

    EXPECT_FALSE(l.Previous());
    EXPECT_TRUE(l.Next());  // from none to the first
    EXPECT_EQ(l.ItemIndex(), 0);
    EXPECT_TRUE(l.Next());
    EXPECT_FALSE(l.Next());
    EXPECT_EQ(l.ItemIndex(), 1);
    EXPECT_EQ(changed.calls, 2);

    l.SetItemIndex(1);  // already current: still reported
    EXPECT_EQ(changed.calls, 3);
    l.SetItemIndex(2);
    l.SetItemIndex(-1);
    EXPECT_EQ(l.ItemIndex(), 1);
    EXPECT_EQ(changed.calls, 3);
    EXPECT_FALSE(l.TrySetItemIndex(5));
    EXPECT_TRUE(l.TrySetItemIndex(0));
    EXPECT_TRUE(l.Previous() == false && l.ItemIndex() == 0);
    EXPECT_EQ(changed.calls, 4);

    l.Clear();
    EXPECT_EQ(l.Count(), 0);
    EXPECT_EQ(l.ItemIndex(), -1);
    EXPECT_EQ(changed.calls, 4);
}

TEST(RichPaletteList, AssignKeepsTheSourcesCurrentPalette)
{
    TRichPaletteList src;
    src.SetAutoCaption(false);
    for (const char* title : {"one", "two", "three"})
        Fill(*src.Add(title, false), {clRed});
    src.Items(1)->SetAuthor("me");
    src.SetItemIndex(1);

    TRichPaletteList dst;
    dst.Add("old", true);
    Counter changed, paletteChanged;
    dst.OnChange = changed.Handler();
    dst.OnPaletteChange = paletteChanged.Handler();
    dst.Assign(src);
    ASSERT_EQ(dst.Count(), 3);
    EXPECT_EQ(dst.ItemIndex(), 1);
    EXPECT_EQ(dst.Current()->Title(), "two");
    EXPECT_EQ(dst.Current()->Author(), "me");
    EXPECT_FALSE(dst.AutoCaption());
    EXPECT_NE(dst.Items(0)->Colors(0), src.Items(0)->Colors(0));
    EXPECT_EQ(changed.calls, 4);  // three additions and the selection
    EXPECT_EQ(paletteChanged.calls, 3);

    dst.Assign(dst);
    EXPECT_EQ(dst.Count(), 3);
    EXPECT_EQ(dst.ItemIndex(), 1);
}

TEST(RichPaletteList, SwapExchangesContentsAndRewiresHandlers)
{
    TRichPaletteList doc, fresh;
    Counter docChanged, docColor, freshColor;
    doc.OnChange = docChanged.Handler();
    doc.OnColorChange = docColor.Handler();
    fresh.OnColorChange = freshColor.Handler();
    doc.Add("old", true);
    Fill(*fresh.Add("new 1", false), {clRed});
    fresh.Add("new 2", true);
    docChanged.calls = 0;
    freshColor.calls = 0;

    doc.Swap(fresh);
    EXPECT_EQ(docChanged.calls, 0);
    ASSERT_EQ(doc.Count(), 2);
    EXPECT_EQ(doc.ItemIndex(), 1);
    EXPECT_EQ(doc.Items(0)->Title(), "new 1");
    EXPECT_EQ(fresh.Count(), 1);
    EXPECT_EQ(fresh.ItemIndex(), 0);

    doc.Items(0)->Colors(0)->SetColor(clBlue);
    EXPECT_EQ(docColor.calls, 1);
    EXPECT_EQ(freshColor.calls, 0);
}

TEST(RichPaletteList, UpdateBatchesIntoOneChange)
{
    TRichPaletteList l;
    Counter changed;
    l.OnChange = changed.Handler();
    l.BeginUpdate();
    l.Add("a", true);
    l.Add("b", true);
    l.Delete(0);
    EXPECT_EQ(changed.calls, 0);
    l.EndUpdate();
    EXPECT_EQ(changed.calls, 1);
}

} // namespace
