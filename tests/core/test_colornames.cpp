#include "colour/ColorNames.h"

#include <gtest/gtest.h>

namespace {

struct TNameCase {
    const char* Why;
    int R, G, B;
    const char* Name;        // UTF-8
    const char* Temperature;
};

// Lightness and saturation figures in the comments are on the 0..240 scale.
constexpr TNameCase kNameCases[] = {
    {"pure red: vivid, no prefix", 255, 0, 0, "red", "warm"},
    {"hue 354.8 rounds into sector 24, red again", 255, 0, 22, "red", "warm"},
    {"hue 7.06 stays in sector 0", 255, 30, 0, "red", "warm"},
    {"hue 7.76 rounds into sector 1", 255, 33, 0, "橘红色", "warm"},
    {"black", 0, 0, 0, "black", "warm"},
    {"white", 255, 255, 255, "white", "warm"},
    {"grey at lightness 235: temperature white", 250, 250, 250, "warm white", "warm"},
    {"grey at lightness 237: still temperature white", 252, 252, 252, "warm white", "warm"},
    {"grey at lightness 238: plain white", 253, 253, 253, "white", "warm"},
    {"grey at lightness 231: temperature white", 245, 245, 245, "warm white", "warm"},
    {"grey at lightness 230: still gray", 244, 244, 244, "warm gray", "warm"},
    {"mid grey", 128, 128, 128, "warm gray", "warm"},
    {"grey at lightness 20: gray", 21, 21, 21, "warm gray", "warm"},
    {"grey at lightness 19: black", 20, 20, 20, "black", "warm"},
    {"dark orange, lightness 90: not vivid, shaded", 191, 96, 0, "阴影棕色", "warm"},
    {"pale blue, saturation 100, lightness 180", 165, 165, 218, "desaturated 色调蓝色", "cold"},
    {"vivid yellow below 64 degrees", 240, 255, 0, "黄色", "warm"},
    {"vivid yellow at 64.9 degrees reads yellow-green", 234, 255, 0, "黄绿色", "warm"},
    {"dark yellow is not vivid", 120, 128, 0, "阴影黄棕色", "warm"},
    {"green sector is neutral", 0, 255, 0, "绿色", "neutral"},
    {"blue", 0, 0, 255, "蓝色", "cold"},
    {"sector 23 is neutral magenta", 255, 0, 64, "品红", "neutral"},
    {"tinted vivid orange-red", 255, 140, 110, "色调橘红色", "warm"},
    {"HSB saturation 9 %: temperature gray", 200, 182, 182, "warm gray", "warm"},
    {"HSB saturation 10 %: named by hue", 200, 180, 180, "desaturated 色调red", "warm"},
    {"cold near-grey", 182, 182, 200, "cold gray", "cold"},
    {"lightness 130: no tint yet", 255, 21, 21, "red", "warm"},
    {"lightness 131: tinted", 255, 23, 23, "色调red", "warm"},
    {"lightness 110: no shade", 234, 0, 0, "red", "warm"},
    {"lightness 109: shaded", 232, 0, 0, "阴影red", "warm"},
    {"lightness 101: still vivid", 214, 107, 0, "阴影橙色", "warm"},
    {"lightness 100: no longer vivid", 212, 106, 0, "阴影棕色", "warm"},
    {"saturation 202: vivid", 235, 128, 20, "橙色", "warm"},
    {"saturation 200: not vivid", 234, 128, 21, "棕色", "warm"},
    {"saturation 110: not desaturated", 186, 69, 69, "red", "warm"},
    {"saturation 108: desaturated", 185, 70, 70, "desaturated red", "warm"},
};

TEST(ColorNames, NamesAndTemperatures)
{
    for (const TNameCase& c : kNameCases) {
        SCOPED_TRACE(c.Why);
        EXPECT_EQ(ColorToName(RGB(c.R, c.G, c.B)), QString::fromUtf8(c.Name));
        EXPECT_EQ(ColorTemperature(RGB(c.R, c.G, c.B)), QString::fromUtf8(c.Temperature));
    }
}

TEST(ColorNames, SystemColoursAreNamedByTheirDesktopColour)
{
    EXPECT_EQ(ColorToName(clWindow), ColorToName(ColorToRGB(clWindow)));
    EXPECT_EQ(ColorTemperature(clHighlight), ColorTemperature(ColorToRGB(clHighlight)));
}

} // namespace
