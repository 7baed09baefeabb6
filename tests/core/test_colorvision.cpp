#include "colour/ColorVision.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// The reference values below are written as hex colour codes, red first.
constexpr TColor Hex(unsigned rrggbb)
{
    return RGB(static_cast<int>((rrggbb >> 16) & 0xFF), static_cast<int>((rrggbb >> 8) & 0xFF),
               static_cast<int>(rrggbb & 0xFF));
}

constexpr TColorVisionType kAllTypes[] = {cvtNorm, cvtProt, cvtDeut, cvtTrit, cvtProA,
                                          cvtDeuA, cvtTriA, cvtMono, cvtPMon};

struct TGridCase {
    unsigned Colour, Prot, Deut, Trit; // RRGGBB
};

// Corners of the cube, the primaries and a few rows from the middle of the table.
constexpr TGridCase kGridCases[] = {
    {0x000000, 0x000000, 0x000000, 0x000000}, {0x0000FF, 0x719CFF, 0x008BDF, 0x007F85},
    {0x00FF00, 0xF6DC00, 0xFFCD72, 0x73EDFF}, {0xFF0000, 0x968726, 0xA98200, 0xFE1C00},
    {0xFFFFFF, 0xFFFAFA, 0xFFE8EF, 0xF4F0FF}, {0x00FFFF, 0xE6E4EE, 0xE6DCFF, 0x6EEFFF},
    {0xFF00FF, 0x96B1FF, 0x5E98F1, 0xF06A71}, {0xFFFF00, 0xFFE871, 0xFFD592, 0xFFE4F2},
    {0x996699, 0x6A77A5, 0x737696, 0x946D75}, {0x669933, 0x9B8B2F, 0xAA853B, 0x74909A},
    {0xCC33FF, 0x8AAAFF, 0x008DEF, 0xB87178}, {0x33CC66, 0xC4B25D, 0xD6AB6F, 0x5EC1CF},
    {0x999999, 0x9B9899, 0xA6949A, 0x9A97A3}, {0x0033CC, 0x006FDE, 0x0078C2, 0x006F74},
};

TEST(ColorVision, WebSafeColoursMapToTheirDichromatEntries)
{
    for (const TGridCase& c : kGridCases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.Colour);
        EXPECT_EQ(SimulateColorVision(Hex(c.Colour), cvtProt), Hex(c.Prot));
        EXPECT_EQ(SimulateColorVision(Hex(c.Colour), cvtDeut), Hex(c.Deut));
        EXPECT_EQ(SimulateColorVision(Hex(c.Colour), cvtTrit), Hex(c.Trit));
    }
}

// Derived columns, checked on every grid colour against their defining formulas.
TEST(ColorVision, DerivedColumnsFollowTheirFormulasOnEveryGridColour)
{
    const TColorVisionType dichromats[3] = {cvtProt, cvtDeut, cvtTrit};
    const TColorVisionType anomalous[3] = {cvtProA, cvtDeuA, cvtTriA};
    for (int r = 0; r <= 255; r += 51) {
        for (int g = 0; g <= 255; g += 51) {
            for (int b = 0; b <= 255; b += 51) {
                const TColor c = RGB(r, g, b);
                SCOPED_TRACE(testing::Message() << r << "," << g << "," << b);
                for (int k = 0; k < 3; ++k) {
                    const TColor d = SimulateColorVision(c, dichromats[k]);
                    EXPECT_EQ(SimulateColorVision(c, anomalous[k]),
                              RGB((r + GetRValue(d)) / 2, (g + GetGValue(d)) / 2,
                                  (b + GetBValue(d)) / 2));
                }
                const int sum = r + g + b;
                EXPECT_EQ(SimulateColorVision(c, cvtMono), RGB(sum / 3, sum / 3, sum / 3));
                EXPECT_EQ(SimulateColorVision(c, cvtPMon),
                          RGB((4 * sum + 3 * r) / 15, (4 * sum + 3 * g) / 15,
                              (4 * sum + 3 * b) / 15));
            }
        }
    }
}

struct TValueCase {
    const char* Name;
    TColorVisionType Type;
    unsigned Colour, Expected; // RRGGBB
};

// Values worked out by hand; the ones marked "floors" would come out one higher if the
// halving or the partial-grey mix rounded instead.
constexpr TValueCase kValueCases[] = {
    {"mono of red", cvtMono, 0xFF0000, 0x555555},
    {"mono of green", cvtMono, 0x00FF00, 0x555555},
    {"mono of blue", cvtMono, 0x0000FF, 0x555555},
    {"mono of yellow", cvtMono, 0xFFFF00, 0xAAAAAA},
    {"mono of cyan", cvtMono, 0x00FFFF, 0xAAAAAA},
    {"mono of magenta", cvtMono, 0xFF00FF, 0xAAAAAA},
    {"protanomaly of blue", cvtProA, 0x0000FF, 0x384EFF},
    {"protanomaly floors", cvtProA, 0x000033, 0x00113C},
    {"partial mono of red", cvtPMon, 0xFF0000, 0x774444},
    {"partial mono floors", cvtPMon, 0x330000, 0x170D0D},
    // Off the grid: red 25 sits on level 0 and leans toward 51 by 25/51; only the red output
    // moves, because each output channel follows its own input channel.
    {"red 25, protanopia", cvtProt, 0x190000, 0x0F0000},
    // Grid (FF,66,CC) toward (CC,33,99), distances 25, 2, 24.
    {"all channels below their level", cvtDeut, 0xE664B4, 0x8B9DAB},
    // Grid (33,99,00) toward (66,66,33): red and blue above their level, green below.
    {"mixed directions", cvtTrit, 0x46820A, 0x5B7A90},
};

TEST(ColorVision, HandComputedValues)
{
    for (const TValueCase& c : kValueCases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(SimulateColorVision(Hex(c.Colour), c.Type), Hex(c.Expected));
    }
}

TEST(ColorVision, BlackStaysBlackAndWhiteIsTintedForDichromats)
{
    for (TColorVisionType t : {cvtProt, cvtDeut, cvtTrit})
        EXPECT_EQ(SimulateColorVision(clBlack, t), clBlack);
    EXPECT_EQ(SimulateColorVision(clWhite, cvtProt), Hex(0xFFFAFA));
    EXPECT_EQ(SimulateColorVision(clWhite, cvtDeut), Hex(0xFFE8EF));
    EXPECT_EQ(SimulateColorVision(clWhite, cvtTrit), Hex(0xF4F0FF));
}

// The interpolation written out literally, in floating point with ties-to-even rounding,
// reading grid entries through the function itself (a grid colour is its own entry, which
// the tests above pin).
TColor ReferenceSimulation(TColor colour, TColorVisionType type)
{
    const int c[3] = {GetRValue(colour), GetGValue(colour), GetBValue(colour)};
    int q[3], n[3];
    for (int k = 0; k < 3; ++k) {
        q[k] = Round(c[k] / 51.0) * 51;
        n[k] = c[k] < q[k] ? q[k] - 51 : (c[k] > q[k] ? q[k] + 51 : q[k]);
    }
    const TColor e = SimulateColorVision(RGB(q[0], q[1], q[2]), type);
    const TColor f = SimulateColorVision(RGB(n[0], n[1], n[2]), type);
    const int ev[3] = {GetRValue(e), GetGValue(e), GetBValue(e)};
    const int fv[3] = {GetRValue(f), GetGValue(f), GetBValue(f)};
    int out[3];
    for (int k = 0; k < 3; ++k)
        out[k] = Round(ev[k] - std::abs(c[k] - q[k]) / 51.0 * (ev[k] - fv[k]));
    return RGB(out[0], out[1], out[2]);
}

TEST(ColorVision, InterpolationMatchesTheLiteralRuleAcrossTheCube)
{
    // Every byte value appears in every channel position; the other two channels stride.
    for (TColorVisionType t : kAllTypes) {
        if (t == cvtNorm)
            continue;
        int mismatches = 0;
        for (int a = 0; a < 256; ++a) {
            for (int b = 0; b < 256; b += 7) {
                for (int d = 3; d < 256; d += 11) {
                    for (TColor c : {RGB(a, b, d), RGB(d, a, b), RGB(b, d, a)}) {
                        if (SimulateColorVision(c, t) != ReferenceSimulation(c, t) &&
                            ++mismatches <= 5)
                            ADD_FAILURE() << "type " << t << " colour " << std::hex << c;
                    }
                }
            }
        }
        EXPECT_EQ(mismatches, 0) << "type " << t;
    }
}

TEST(ColorVision, NormalVisionIsTheIdentity)
{
    for (int r = 0; r < 256; r += 5)
        for (int g = 1; g < 256; g += 9)
            for (int b = 2; b < 256; b += 13)
                ASSERT_EQ(SimulateColorVision(RGB(r, g, b), cvtNorm), RGB(r, g, b));
    // Without the short cut, the table's own normal column interpolates back to the colour.
    EXPECT_EQ(ReferenceSimulation(RGB(25, 130, 230), cvtNorm), RGB(25, 130, 230));
}

TEST(ColorVision, SystemColoursAreResolvedBeforeSimulation)
{
    for (TColorVisionType t : {cvtProt, cvtMono, cvtPMon}) {
        const TColor resolved = ColorToRGB(clBtnFace);
        EXPECT_EQ(SimulateColorVision(clBtnFace, t), SimulateColorVision(resolved, t));
        EXPECT_EQ(SimulateColorVision(clBtnFace, t) & 0xFF000000u, 0u);
    }
}

TEST(ColorVision, DamagedVisionTypeLeavesTheColourAlone)
{
    // A type read back from damaged settings must not index past the table.
    for (int bad : {-1, kColorVisionTypeCount, 255})
        EXPECT_EQ(SimulateColorVision(RGB(10, 200, 30), static_cast<TColorVisionType>(bad)),
                  RGB(10, 200, 30));
}

} // namespace
