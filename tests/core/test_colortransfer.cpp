// The artistic wheel, the hue-circle and ring generators, and the harmony sets.

#include "colour/ColorVision.h"
#include "colour/Colors.h"
#include "harmony/ColorTransfer.h"
#include "palette/RichColor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// Hue, saturation and brightness compared with a tolerance on purpose: the artistic
// transform is a chain of divisions and cannot be exact.
constexpr double kTransformTolerance = 1e-9;

double HueDistance(double a, double b)
{
    const double d = std::fabs(a - b);
    return std::min(d, 360 - d);
}

std::vector<TColor> ColorsOf(const TRichPalette& palette)
{
    std::vector<TColor> out;
    for (int i = 0; i < palette.Count(); ++i)
        out.push_back(palette.Colors(i)->Color());
    return out;
}

struct TEventCounter {
    int changes = 0;
    explicit TEventCounter(TRichPalette& palette)
    {
        palette.OnChange = [this](TObject*) { ++changes; };
    }
};

} // namespace

TEST(ColorTransfer, ArtisticHuesLandOnTheirScientificHues)
{
    const TColorTransfer transfer;
    struct Case {
        double artistic, scientific;
    };
    for (const Case c : {Case{120, 60}, Case{90, 47}, Case{0, 0}, Case{360, 0}, Case{720, 0},
                         Case{-240, 60}, Case{180, 115}, Case{15, 11.5}}) {
        double h = c.artistic, s = 1, v = 1;
        transfer.ArtisticToHSB(h, s, v, 0, -1);
        EXPECT_NEAR(h, c.scientific, kTransformTolerance) << "artistic hue " << c.artistic;
    }
}

TEST(ColorTransfer, ArtisticBrightnessDimsOnlyTheSaturatedShare)
{
    const TColorTransfer transfer;
    // Artistic 180 sits on table entry 6: brightness scale 172 of 255.
    double h = 180, s = 1, v = 1;
    transfer.ArtisticToHSB(h, s, v, 0, -1);
    EXPECT_NEAR(v, 172.0 / 255, kTransformTolerance);
    EXPECT_NEAR(s, 1, kTransformTolerance);
    // A grey keeps its brightness.
    h = 180, s = 0, v = 0.6;
    transfer.ArtisticToHSB(h, s, v, 0, -1);
    EXPECT_NEAR(v, 0.6, kTransformTolerance);
}

TEST(ColorTransfer, RoundTripReturnsEveryInRangeColour)
{
    const TColorTransfer transfer;
    int checked = 0;
    for (int r = 0; r < 256; r += 15)
        for (int g = 0; g < 256; g += 15)
            for (int b = 0; b < 256; b += 15) {
                const TColor color = RGB(r, g, b);
                const THSB hsb = ColorToHSB(color);
                double h = hsb.H, s = hsb.S, v = hsb.B;
                transfer.HSBToArtistic(h, s, v, true);
                if (v > 1 || s > 1)
                    continue; // lighter than the wheel shows: not a round-trip colour
                ++checked;
                transfer.ArtisticToHSB(h, s, v, 0, -1);
                if (hsb.S > 0) {
                    EXPECT_LT(HueDistance(h, hsb.H), 1e-7) << std::hex << color;
                }
                EXPECT_NEAR(s, hsb.S, kTransformTolerance) << std::hex << color;
                EXPECT_NEAR(v, hsb.B, kTransformTolerance) << std::hex << color;
                EXPECT_EQ(HSBToColor(h, s, v), color);
            }
    EXPECT_GT(checked, 3000);
}

TEST(ColorTransfer, LightBlueIsOutsideTheArtisticWheel)
{
    const TColorTransfer transfer;
    double h = 230, s = 0.3, v = 1;
    EXPECT_TRUE(transfer.HSBToArtistic(h, s, v, false));
    EXPECT_EQ(v, 1.0);
    EXPECT_LT(s, 0.3);
    EXPECT_GT(s, 0);

    h = 230, s = 0.3, v = 1;
    EXPECT_FALSE(transfer.HSBToArtistic(h, s, v, true));
    EXPECT_GT(v, 1.0);
    EXPECT_NEAR(s, 0.3, kTransformTolerance);

    // A saturated red is inside: nothing flagged, nothing changed.
    h = 0, s = 1, v = 1;
    EXPECT_FALSE(transfer.HSBToArtistic(h, s, v, false));
    EXPECT_EQ(h, 0.0);
    EXPECT_NEAR(s, 1, kTransformTolerance);
    EXPECT_NEAR(v, 1, kTransformTolerance);
}

TEST(ColorTransfer, OverBrightBaseFollowsTheReferenceScales)
{
    const TColorTransfer transfer;
    // Light blue (230, 0.3, 1) overshoots the wheel by exactly the factor q of its own
    // hue, so the weight is 1 and the over-bright scales at scientific 230 apply in
    // full: saturation x 255/255, brightness x (255 - 35/30 x 20) / 255.
    double h = 230, s = 0.3, v = 1;
    transfer.HSBToArtistic(h, s, v, true);
    double h2 = h, s2 = s, v2 = v;
    transfer.ArtisticToHSB(h2, s2, v2, 0.3, 230);
    EXPECT_NEAR(h2, 230, 1e-9);
    EXPECT_NEAR(s2, 0.3, kTransformTolerance);
    EXPECT_NEAR(v2, (255 - 35.0 / 30 * 20) / 255, kTransformTolerance);

    // Without a reference the overshoot is simply cut at 1.
    h2 = h, s2 = s, v2 = v;
    transfer.ArtisticToHSB(h2, s2, v2, 0.3, -1);
    EXPECT_NEAR(v2, 1, kTransformTolerance);

    // A grey reference cannot overshoot (q = 1): the weight stays 0.
    h2 = h, s2 = s, v2 = v;
    transfer.ArtisticToHSB(h2, s2, v2, 0, 230);
    EXPECT_NEAR(v2, 1, kTransformTolerance);
}

TEST(ColorTransfer, ReferenceHueOfAFullTurnStaysInsideTheTables)
{
    const TColorTransfer transfer;
    // 360 is the same hue as 0; both must give the same answer and neither may index
    // past the last table entry.
    double h0 = 10, s0 = 0.5, v0 = 1.2;
    double h1 = 10, s1 = 0.5, v1 = 1.2;
    transfer.ArtisticToHSB(h0, s0, v0, 0.5, 0);
    transfer.ArtisticToHSB(h1, s1, v1, 0.5, 360);
    EXPECT_EQ(h0, h1);
    EXPECT_EQ(s0, s1);
    EXPECT_EQ(v0, v1);
}

TEST(ColorTransfer, TablesLoadOnlyKnownSets)
{
    TColorTransfer transfer;
    EXPECT_EQ(transfer.HueMap[6], 115);
    EXPECT_TRUE(transfer.LoadTables(1));
    EXPECT_EQ(transfer.HueMap[6], 158);
    EXPECT_EQ(transfer.SatScale[9], 147);

    const TColorTransfer before = transfer;
    EXPECT_FALSE(transfer.LoadTables(2));
    EXPECT_EQ(transfer.HueMap, before.HueMap);
    EXPECT_EQ(transfer.SatScale, before.SatScale);
    EXPECT_EQ(transfer.BrtScale, before.BrtScale);
    EXPECT_EQ(transfer.OverSatScale, before.OverSatScale);
    EXPECT_EQ(transfer.OverBrtScale, before.OverBrtScale);

    EXPECT_TRUE(transfer.LoadTables(0));
    EXPECT_EQ(transfer.HueMap, TColorTransfer().HueMap);
    EXPECT_EQ(transfer.BrtScale, TColorTransfer().BrtScale);
}

TEST(ColorTransfer, EverySetIsAStrictlyIncreasingTurn)
{
    for (std::uint8_t set : {0, 1}) {
        TColorTransfer transfer;
        ASSERT_TRUE(transfer.LoadTables(set));
        EXPECT_EQ(transfer.HueMap.front(), 0);
        EXPECT_EQ(transfer.HueMap.back(), 360);
        for (int k = 0; k + 1 < kTransferTableSize; ++k)
            EXPECT_LT(transfer.HueMap[k], transfer.HueMap[k + 1]) << "set " << int(set);
    }
}

TEST(ColorTransfer, MissingTransferReadsTheTripleAsScientific)
{
    EXPECT_EQ(ArtisticToColor(nullptr, 120, 1, 1, -1, -1, -1), HSBToColor(120, 1, 1));
    EXPECT_EQ(ArtisticToColor(nullptr, 120, 1, 1.3, -1, -1, -1), HSBToColor(120, 1, 1));
    const TColorTransfer transfer;
    EXPECT_EQ(ArtisticToColor(&transfer, 120, 1, 1, -1, -1, -1), RGB(255, 255, 0));
}

TEST(ColorTransfer, HugeAndInvalidHuesNeitherHangNorOverrun)
{
    const TColorTransfer transfer;
    for (double hue : {1e300, -1e300, -1e-20, double(NAN), double(INFINITY)}) {
        double h = hue, s = 0.5, v = 0.5;
        transfer.ArtisticToHSB(h, s, v, 0.5, 10);
        EXPECT_GE(h, 0);
        EXPECT_LE(h, 360);
        h = hue, s = 0.5, v = 0.5;
        transfer.HSBToArtistic(h, s, v, false);
        EXPECT_GE(h, 0);
        EXPECT_LT(h, 360);
    }
}

// ---------------------------------------------------------------------------------------

TEST(HueCircle, ScientificCircleStepsEvenly)
{
    TRichPalette palette;
    palette.AddHueCircle(3, false, cvtNorm, false, nullptr, 0, 1, 1);
    EXPECT_EQ(ColorsOf(palette), (std::vector<TColor>{clRed, clLime, clBlue}));
    palette.AddHueCircle(4, false, cvtNorm, true, nullptr, 90, 1, 1);
    // 90 + 270 = 360 wraps to red.
    EXPECT_EQ(ColorsOf(palette),
              (std::vector<TColor>{RGB(128, 255, 0), RGB(0, 255, 255), RGB(128, 0, 255),
                                   RGB(255, 0, 0)}));
}

TEST(HueCircle, ArtisticCircleOfRedFollowsThePaintersWheel)
{
    const TColorTransfer transfer;
    TRichPalette palette;
    palette.AddHueCircle(12, true, cvtNorm, false, const_cast<TColorTransfer*>(&transfer), 0, 1, 1);
    ASSERT_EQ(palette.Count(), 12);
    EXPECT_EQ(palette.Colors(0)->Color(), clRed);
    // Artistic 90 -> hue 47: green = Round(47/60 x 255) = 200.
    EXPECT_EQ(palette.Colors(3)->Color(), RGB(255, 200, 0));
    // Artistic 120 is yellow.
    EXPECT_EQ(palette.Colors(4)->Color(), RGB(255, 255, 0));
    // Artistic 180 -> hue 115 at brightness 172/255: red = Round(172 x 5/60) = 14.
    EXPECT_EQ(palette.Colors(6)->Color(), RGB(14, 172, 0));
    for (int i = 0; i < palette.Count(); ++i)
        EXPECT_EQ(palette.Colors(i)->Index, i);
}

TEST(HueCircle, SmallArtisticCircleStartsExactlyAtTheBase)
{
    TColorTransfer transfer;
    // Colours whose round trip through the artistic space does not land on the same
    // bytes; a small circle must still start on the user's colour.
    struct Base {
        double h, s, v;
    };
    for (const Base b : {Base{200, 0.7, 0.9}, Base{230, 0.3, 1}, Base{47.3, 0.13, 0.41},
                         Base{301, 1, 0.02}}) {
        TRichPalette small;
        small.AddHueCircle(12, true, cvtNorm, false, &transfer, b.h, b.s, b.v);
        EXPECT_EQ(small.Colors(0)->Color(), HSBToColor(b.h, b.s, b.v)) << b.h;

        // A large circle sends the base through the artistic space too.
        TRichPalette large;
        large.AddHueCircle(24, true, cvtNorm, false, &transfer, b.h, b.s, b.v);
        double a = b.h, s = b.s, v = b.v;
        transfer.HSBToArtistic(a, s, v, true);
        EXPECT_EQ(large.Colors(0)->Color(), transfer.ArtisticToColor(a, s, v, b.h, b.s, b.v));
    }
}

TEST(HueCircle, LargeCircleOfAnInRangeBaseDiffersByAUnitAtMost)
{
    TColorTransfer transfer;
    struct Base {
        double h, s, v;
    };
    for (const Base b : {Base{200, 0.7, 0.6}, Base{30, 0.8, 0.8}, Base{300, 0.25, 0.5}}) {
        double a = b.h, s = b.s, v = b.v;
        transfer.HSBToArtistic(a, s, v, true);
        ASSERT_LE(v, 1.0) << "base must lie inside the artistic wheel";
        const TColor base = HSBToColor(b.h, b.s, b.v);
        TRichPalette palette;
        palette.AddHueCircle(24, true, cvtNorm, false, &transfer, b.h, b.s, b.v);
        const TColor first = palette.Colors(0)->Color();
        EXPECT_LE(std::abs(GetRValue(first) - GetRValue(base)), 1) << b.h;
        EXPECT_LE(std::abs(GetGValue(first) - GetGValue(base)), 1) << b.h;
        EXPECT_LE(std::abs(GetBValue(first) - GetBValue(base)), 1) << b.h;
    }
}

TEST(HueCircle, VisionTypeSimulatesEachSwatch)
{
    TRichPalette plain, simulated;
    plain.AddHueCircle(6, false, cvtNorm, false, nullptr, 10, 0.8, 0.9);
    simulated.AddHueCircle(6, false, cvtDeut, false, nullptr, 10, 0.8, 0.9);
    ASSERT_EQ(simulated.Count(), 6);
    bool anyDiffers = false;
    for (int i = 0; i < 6; ++i) {
        const TColor c = plain.Colors(i)->Color();
        EXPECT_EQ(simulated.Colors(i)->Color(), SimulateColorVision(c, cvtDeut));
        anyDiffers = anyDiffers || simulated.Colors(i)->Color() != c;
    }
    EXPECT_TRUE(anyDiffers);
}

TEST(HueCircle, FiresChangeTwicePerColourAndOnceForTheClear)
{
    TColorTransfer transfer;
    TRichPalette palette;
    palette.AddHueCircle(5, false, cvtNorm, false, nullptr, 0, 1, 1);
    TEventCounter counter(palette);

    palette.AddHueCircle(12, true, cvtNorm, false, &transfer, 30, 1, 1);
    EXPECT_EQ(counter.changes, 24);
    EXPECT_EQ(palette.Count(), 17);

    counter.changes = 0;
    palette.AddHueCircle(12, true, cvtNorm, true, &transfer, 30, 1, 1);
    EXPECT_EQ(counter.changes, 1 + 24);
    EXPECT_EQ(palette.Count(), 12);
}

TEST(HueCircle, AnEmptyCircleAppendsNothing)
{
    TRichPalette palette;
    palette.AddHueCircle(3, false, cvtNorm, false, nullptr, 0, 1, 1);
    palette.AddHueCircle(0, false, cvtNorm, false, nullptr, 0, 1, 1);
    palette.AddHueCircle(-4, true, cvtNorm, false, nullptr, 0, 1, 1);
    EXPECT_EQ(palette.Count(), 3);
    palette.AddHueCircle(0, false, cvtNorm, true, nullptr, 0, 1, 1);
    EXPECT_EQ(palette.Count(), 0);
}

TEST(HueCircle, ArtisticWithoutTransferFallsBackToScientific)
{
    TRichPalette artistic, scientific;
    artistic.AddHueCircle(24, true, cvtNorm, false, nullptr, 15, 0.6, 0.7);
    scientific.AddHueCircle(24, false, cvtNorm, false, nullptr, 15, 0.6, 0.7);
    EXPECT_EQ(ColorsOf(artistic), ColorsOf(scientific));
}

// ---------------------------------------------------------------------------------------

TEST(ColorRings, DarkerRingsOfRedAreComputedFromTheOutsideIn)
{
    // 3 segments of red are red, green and blue; "Darker" at strength 1 and 3 rings uses
    // amounts 2/3, 1/3 and 0, i.e. brightness bytes 85, 170 and 255.
    const std::vector<TColor> strongestFirst = {
        RGB(85, 0, 0),  RGB(0, 85, 0),  RGB(0, 0, 85),  RGB(170, 0, 0), RGB(0, 170, 0),
        RGB(0, 0, 170), RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)};
    TRichPalette palette;
    palette.AddColorRings(3, 3, false, akDarker, 1.0, 0, 1, 1, false, nullptr);
    EXPECT_EQ(ColorsOf(palette), strongestFirst);

    // Reverse generates ring 0 first.
    palette.AddColorRings(3, 3, true, akDarker, 1.0, 0, 1, 1, false, nullptr);
    std::vector<TColor> reversed(strongestFirst.begin() + 6, strongestFirst.end());
    reversed.insert(reversed.end(), strongestFirst.begin() + 3, strongestFirst.begin() + 6);
    reversed.insert(reversed.end(), strongestFirst.begin(), strongestFirst.begin() + 3);
    EXPECT_EQ(ColorsOf(palette), reversed);
    for (int i = 0; i < palette.Count(); ++i)
        EXPECT_EQ(palette.Colors(i)->Index, i);
}

TEST(ColorRings, LightToDarkSetsTheLightnessOfEachRing)
{
    TRichPalette palette;
    // Strength 1: lightness 1 - (r + 0.5)/3, i.e. 1/6, 1/2, 5/6 from the first block.
    palette.AddColorRings(1, 3, false, akLightToDark, 1.0, 0, 1, 1, false, nullptr);
    EXPECT_EQ(ColorsOf(palette),
              (std::vector<TColor>{RGB(85, 0, 0), RGB(255, 0, 0), RGB(255, 170, 170)}));

    // Strength 0: every ring at lightness 3/4; red becomes (255, 128, 128).
    palette.AddColorRings(3, 3, false, akLightToDark, 0.0, 0, 1, 1, false, nullptr);
    ASSERT_EQ(palette.Count(), 9);
    for (int ring = 0; ring < 3; ++ring) {
        EXPECT_EQ(palette.Colors(ring * 3 + 0)->Color(), RGB(255, 128, 128));
        EXPECT_EQ(palette.Colors(ring * 3 + 1)->Color(), RGB(128, 255, 128));
        EXPECT_EQ(palette.Colors(ring * 3 + 2)->Color(), RGB(128, 128, 255));
    }
}

TEST(ColorRings, ArtisticRingsMatchTheArtisticCircle)
{
    TColorTransfer transfer;
    for (int segments : {12, 24}) {
        TRichPalette rings;
        rings.AddColorRings(segments, 2, false, akLighter, 1.0, 200, 0.7, 0.9, true, &transfer);
        ASSERT_EQ(rings.Count(), 2 * segments);
        TRichPalette plainCircle;
        plainCircle.AddHueCircle(segments, true, cvtNorm, false, &transfer, 200, 0.7, 0.9);
        for (int i = 0; i < segments; ++i) {
            const TColor c = plainCircle.Colors(i)->Color();
            // The last block is ring 0, the unchanged circle; no vision simulation.
            EXPECT_EQ(rings.Colors(segments + i)->Color(), c);
            EXPECT_EQ(rings.Colors(i)->Color(), AdjustColor(c, akLighter, 0.5));
        }
    }
}

TEST(ColorRings, ClearsFirstAndFiresChangeOnce)
{
    TRichPalette palette;
    palette.AddHueCircle(7, false, cvtNorm, false, nullptr, 0, 1, 1);
    TEventCounter counter(palette);
    palette.AddColorRings(24, 3, false, akLighter, 1.0, 30, 1, 1, false, nullptr);
    EXPECT_EQ(counter.changes, 1);
    EXPECT_EQ(palette.Count(), 72);
}

TEST(ColorRings, NoSegmentsOrRingsLeavesAnEmptyPalette)
{
    TRichPalette palette;
    palette.AddHueCircle(7, false, cvtNorm, false, nullptr, 0, 1, 1);
    palette.AddColorRings(0, 3, false, akDarker, 1.0, 0, 1, 1, true, nullptr);
    EXPECT_EQ(palette.Count(), 0);
    palette.AddColorRings(5, 0, false, akLightToDark, 1.0, 0, 1, 1, false, nullptr);
    EXPECT_EQ(palette.Count(), 0);
}

// ---------------------------------------------------------------------------------------

TEST(Harmony, PositionSets)
{
    const std::vector<std::vector<int>> expected = {
        {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11},
        {0, 6},
        {0, 5, 7},
        {0, 4, 8},
        {0, 3, 6, 9},
        {0, 2, 6, 8},
        {0, 4, 6, 10},
        {0, 1, 11},
        {0, 1, 6, 11},
        {0, 2, 4, 6, 8, 10},
    };
    ASSERT_EQ(static_cast<int>(expected.size()), kHarmonyCount);
    for (int index = 0; index < kHarmonyCount; ++index) {
        const THarmonySet set = HarmonyPositions(index);
        std::vector<int> positions;
        for (size_t i = 0; i < set.size(); ++i)
            if (set.test(i))
                positions.push_back(static_cast<int>(i));
        EXPECT_EQ(positions, expected[static_cast<size_t>(index)]) << kHarmonyCaptions[index];
    }
}

TEST(Harmony, IndexOutsideTheListIsTheFullCircle)
{
    for (int index : {-1, 10, 255, 1 << 30})
        EXPECT_EQ(HarmonyPositions(index), HarmonyPositions(0)) << index;
    EXPECT_EQ(HarmonyPositions(0).count(), 12u);
}

TEST(Harmony, CodesSelectTheirHarmony)
{
    EXPECT_EQ(HarmonyIndexOfCode(QStringLiteral("ALL")), 0);
    EXPECT_EQ(HarmonyIndexOfCode(QStringLiteral("SCP")), 2);
    EXPECT_EQ(HarmonyIndexOfCode(QStringLiteral("DTR")), 9);
    EXPECT_EQ(HarmonyIndexOfCode(QStringLiteral("XYZ")), -1);
    EXPECT_EQ(HarmonyIndexOfCode(QString()), -1);
    EXPECT_STREQ(kHarmonyCaptions[8], "Analogous w/complement");
    EXPECT_STREQ(kColorWheelNames[1], "Artistic");
}
