#pragma once
// Colour models, adjustments and text forms of a TColor. All functions are pure apart
// from the two hexadecimal switches below.

#include "colour/ColorTypes.h"

#include <QString>

// Hue in degrees (0 <= H < 360, 360 treated as 0), saturation and brightness 0..1.
struct THSB {
    double H = 0, S = 0, B = 0;
};
// All three as fractions 0..1 (hue as a fraction of a full turn).
struct THSL {
    double H = 0, S = 0, L = 0;
};
// The 0..240 scale of the classic Windows colour dialog.
struct THSL240 {
    int H = 0, S = 0, L = 0;
};
// Naive CMYK percentages 0..100.
struct TCMYK {
    int C = 0, M = 0, Y = 0, K = 0;
};
// Channel fractions 0..1.
struct TRGBf {
    double R = 0, G = 0, B = 0;
};

enum TColorValueFmt {
    cfHex,
    cfRGB,
    cfHSB,
    cfHSL,
    cfCMYK,
    cfVisualBasic,
    cfDelphi,
    cfVisualStudio
};

enum TAdjustKind {
    akLightToDark = 0,
    akBrighter = 1,
    akLighter = 2,
    akLighterHSL = 3,
    akDarker = 4,
    akMoreSaturated = 5,
    akLessSaturated = 6,
    akMoreSaturatedDarker = 7,
    akLessSaturatedLighter = 8,
    akCooler = 9,
    akWarmer = 10
};

// Shape the text of ColorToHex; both are on from start-up until the settings are read.
extern bool HexShortHand;
extern bool HexLowerCase;

THSB RGBToHSB(double r, double g, double b);
TRGBf HSBToRGB(double h, double s, double v);
TColor HSBToColor(double h, double s, double v);
THSB ColorToHSB(TColor color);

THSL RGBToHSL(double r, double g, double b);
TRGBf HSLToRGB(double h, double s, double l);
TColor HSLToColor(double h, double s, double l);
THSL ColorToHSL(TColor color);
THSL240 ColorToHSL240(TColor color);

TCMYK ColorToCMYK(TColor color);

// TColor (0x00BBGGRR) <-> packed 0x00RRGGBB; its own inverse.
TColor SwapRedBlue(TColor color);

// sign is +1 or -1; the result lies in [0, 360).
double WrapAngle(int sign, double angle);

TColor WebSafeColor(TColor color);
TColor WebSmartColor(TColor color);

// kind is a TAdjustKind (0..10); amount normally 0..1. Unknown kinds return the colour.
TColor AdjustColor(TColor color, int kind, double amount);

QString ColorToHex(int r, int g, int b, bool withHash);
// Always six upper-case digits, whatever the user's shorthand and letter-case settings:
// for files, hints, drag texts and anything another program reads.
QString ColorToFullHex(TColor color, bool withHash);
// style 0..2
QString ColorToText(TColorValueFmt format, int style, TColor color);
TColor HexToColor(const QString& text, TColor defaultColor);

QString ColorToStatusRGB(TColor color);
QString ColorToStatusHSB(TColor color);
QString ColorToStatusHSL(TColor color);
QString ColorToStatusCMYK(TColor color);

QString SwatchImageName(TColor color);

// The ten user-visible variation styles in menu order, and the adjustment kind of each.
constexpr int kVariationStyleCount = 10;
extern const char* const kVariationStyleNames[kVariationStyleCount];
extern const int kVariationStyleKinds[kVariationStyleCount];
