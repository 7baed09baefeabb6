#include "colour/Colors.h"

#include <gtest/gtest.h>

namespace {

// Restores the hexadecimal switches, which are process-wide.
struct HexSwitches {
    bool shortHand = HexShortHand, lowerCase = HexLowerCase;
    ~HexSwitches()
    {
        HexShortHand = shortHand;
        HexLowerCase = lowerCase;
    }
};

TEST(Round, TiesGoToEven)
{
    EXPECT_EQ(Round(0.5), 0);
    EXPECT_EQ(Round(1.5), 2);
    EXPECT_EQ(Round(2.5), 2);
    EXPECT_EQ(Round(127.5), 128);
    EXPECT_EQ(Round(-0.5), 0);
    EXPECT_EQ(Round(2.5000001), 3);
}

TEST(HSB, ReferenceValues)
{
    for (int grey : {0, 1, 128, 255}) {
        const THSB hsb = ColorToHSB(RGB(grey, grey, grey));
        EXPECT_EQ(hsb.H, 0) << grey;
        EXPECT_EQ(hsb.S, 0) << grey;
    }
    const THSB red = ColorToHSB(clRed);
    EXPECT_EQ(red.H, 0);
    EXPECT_EQ(red.S, 1);
    EXPECT_EQ(red.B, 1);
    EXPECT_EQ(ColorToHSB(clBlue).H, 240);
    EXPECT_EQ(HSBToColor(360, 1, 1), HSBToColor(0, 1, 1));
    EXPECT_EQ(HSBToColor(-30, 0.7, 0.9), HSBToColor(330, 0.7, 0.9));
    EXPECT_EQ(HSBToColor(0, 0, 0.5), 0x808080u);
}

TEST(HSB, RoundTripOverAnRgbGrid)
{
    for (int r = 0; r < 256; r += 15)
        for (int g = 0; g < 256; g += 17)
            for (int b = 0; b < 256; b += 5) {
                const TColor c = RGB(r, g, b);
                const THSB hsb = ColorToHSB(c);
                ASSERT_EQ(HSBToColor(hsb.H, hsb.S, hsb.B), c);
                const THSL hsl = ColorToHSL(c);
                ASSERT_EQ(HSLToColor(hsl.H, hsl.S, hsl.L), c);
            }
}

TEST(HSL, ReferenceValues)
{
    const THSL240 red = ColorToHSL240(clRed);
    EXPECT_EQ(red.H, 0);
    EXPECT_EQ(red.S, 240);
    EXPECT_EQ(red.L, 120);
    const THSL240 blue = ColorToHSL240(clBlue);
    EXPECT_EQ(blue.H, 160);
    EXPECT_EQ(HSLToColor(0, 0, 0.5), 0x808080u);
    // Green sits at a third of a turn.
    EXPECT_EQ(HSLToColor(1.0 / 3.0, 1, 0.5), clLime);
}

TEST(CMYK, NaiveConversion)
{
    struct Case {
        TColor color;
        TCMYK cmyk;
    } cases[] = {
        {clWhite, {0, 0, 0, 0}},
        {clBlack, {0, 0, 0, 100}},
        {clRed, {0, 100, 100, 0}},
        {RGB(128, 64, 0), {0, 25, 50, 50}},
    };
    for (const Case& c : cases) {
        const TCMYK got = ColorToCMYK(c.color);
        EXPECT_EQ(got.C, c.cmyk.C);
        EXPECT_EQ(got.M, c.cmyk.M);
        EXPECT_EQ(got.Y, c.cmyk.Y);
        EXPECT_EQ(got.K, c.cmyk.K);
    }
}

TEST(WrapAngle, BothDirections)
{
    EXPECT_EQ(WrapAngle(+1, 359.5), 359.5);
    EXPECT_EQ(WrapAngle(-1, 30), 330);
    EXPECT_EQ(WrapAngle(+1, 360), 0);
    EXPECT_EQ(WrapAngle(+1, 725), 5);
    EXPECT_EQ(WrapAngle(+1, 1e300) >= 0, true); // must return rather than spin
}

TEST(WebColors, SnapToTheirCubes)
{
    EXPECT_EQ(WebSafeColor(RGB(25, 26, 230)), RGB(0, 51, 255));
    EXPECT_EQ(WebSmartColor(RGB(8, 9, 250)), RGB(0, 17, 255));
    EXPECT_EQ(SwapRedBlue(0x00112233), 0x00332211u);
}

TEST(AdjustColor, KindsFollowTheirRules)
{
    const TColor grey = RGB(120, 120, 120);
    EXPECT_EQ(AdjustColor(grey, akMoreSaturated, 0.5), grey);
    EXPECT_EQ(AdjustColor(grey, akMoreSaturatedDarker, 0.5), AdjustColor(grey, akDarker, 0.5));
    EXPECT_EQ(AdjustColor(clRed, 42, 0.5), clRed);
    EXPECT_EQ(AdjustColor(clRed, akDarker, 0.5), RGB(128, 0, 0));
    EXPECT_EQ(AdjustColor(clRed, akBrighter, 1), clRed);
    // An amount past 1 saturates at the ends of the channel instead of wrapping.
    EXPECT_EQ(AdjustColor(RGB(128, 128, 128), akLighterHSL, 2), clWhite);
    EXPECT_EQ(HSBToColor(0, 0, 1.2), clWhite);
    EXPECT_EQ(AdjustColor(clRed, akLightToDark, 0.25), RGB(255, 128, 128));
    EXPECT_EQ(AdjustColor(clRed, akCooler, 1), clBlue);
    EXPECT_EQ(AdjustColor(HSBToColor(300, 1, 1), akWarmer, 1), clRed);
    EXPECT_EQ(AdjustColor(HSBToColor(120, 1, 1), akWarmer, 0.5), HSBToColor(60, 1, 1));
    // System colours are resolved before adjusting: button face of the classic scheme.
    EXPECT_EQ(AdjustColor(clBtnFace, akDarker, 0), RGB(212, 208, 200));
}

TEST(ColorToHex, Switches)
{
    HexSwitches keep;
    struct Case {
        bool shortHand, lowerCase;
        int r, g, b;
        const char* text;
    } cases[] = {
        {true, true, 0xFF, 0xCC, 0x00, "fc0"},
        {false, true, 0xFF, 0xCC, 0x00, "ffcc00"},
        {false, false, 0xFF, 0xCC, 0x00, "FFCC00"},
        {true, false, 0xFF, 0xCC, 0x01, "FFCC01"},
        {true, false, 0x11, 0x22, 0x33, "123"},
    };
    for (const Case& c : cases) {
        HexShortHand = c.shortHand;
        HexLowerCase = c.lowerCase;
        EXPECT_EQ(ColorToHex(c.r, c.g, c.b, false), QString::fromLatin1(c.text));
        EXPECT_EQ(ColorToHex(c.r, c.g, c.b, true), QStringLiteral("#") + QString::fromLatin1(c.text));
    }
}

TEST(HexToColor, ParsesAndFallsBack)
{
    const TColor def = 0x123456;
    struct Case {
        const char* text;
        TColor color;
    } cases[] = {
        {"#f00", clRed},      {"ff", clBlue},         {"zz0000", def}, {" ff0000", def},
        {"", 0},              {"#", 0},               {"FF8000", RGB(0xFF, 0x80, 0)},
        {"ff800012", RGB(0xFF, 0x80, 0)}, {"##f00", def}, {"abcd", RGB(0, 0xAB, 0xCD)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HexToColor(QString::fromLatin1(c.text), def), c.color) << c.text;
}

TEST(ColorToText, EveryFormat)
{
    HexSwitches keep;
    HexShortHand = false;
    HexLowerCase = false;
    const TColor c = RGB(255, 128, 0);
    struct Case {
        TColorValueFmt fmt;
        int style;
        const char* text;
    } cases[] = {
        {cfHex, 0, "FF8000"},          {cfHex, 1, "#FF8000"},         {cfHex, 2, ""},
        {cfRGB, 0, "255.128.0"},       {cfRGB, 1, "RGB:255.128.0"},   {cfRGB, 2, "R:255 G:128 B:0"},
        {cfHSB, 0, "30-100-100"},      {cfHSB, 1, "HSB:30.100.100"},  {cfHSB, 2, "H:30 S:100 B:100"},
        {cfHSL, 0, "20-240-120"},      {cfHSL, 1, "HSL:20.240.120"},  {cfHSL, 2, "H:20 S:240 L:120"},
        {cfCMYK, 1, "--"},             {cfVisualBasic, 2, "&H0080FF"}, {cfDelphi, 0, "$000080FF"},
        {cfVisualStudio, 1, "255;128;0"},
    };
    for (const Case& k : cases)
        EXPECT_EQ(ColorToText(k.fmt, k.style, c), QString::fromLatin1(k.text)) << k.fmt << " " << k.style;
    HexLowerCase = true;
    EXPECT_EQ(ColorToText(cfVisualBasic, 0, c), QStringLiteral("&H0080FF"));
}

TEST(StatusTexts, LeadingAndDoubleBlanks)
{
    const TColor c = RGB(255, 128, 0);
    EXPECT_EQ(ColorToStatusRGB(c), QStringLiteral(" R:255  G:128  B:0"));
    EXPECT_EQ(ColorToStatusHSB(c), QStringLiteral(" H:30  S:100  B:100"));
    EXPECT_EQ(ColorToStatusHSL(c), QStringLiteral(" H:20  S:240  L:120"));
    EXPECT_EQ(ColorToStatusCMYK(c), QStringLiteral(" C:0  M:50  Y:100  K:0"));
    EXPECT_EQ(SwatchImageName(clRed), QStringLiteral("swFF0000.gif"));
}

} // namespace
