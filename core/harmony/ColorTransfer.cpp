#include "harmony/ColorTransfer.h"

#include "colour/ColorVision.h"
#include "colour/Colors.h"
#include "palette/RichColor.h"

#include <algorithm>
#include <cmath>

namespace {

// The artistic wheel as the painters' circle we tuned it to. Set 0 drives every wheel,
// page and formula; set 1 only paints the colour-triangle emblem of the main menu,
// where a greener green and softer blues read better at that size.
struct TTransferTableSet {
    TTransferTable HueMap;
    TTransferTable SatScale;
    TTransferTable BrtScale;
};

constexpr TTransferTableSet kTableSets[] = {
    {
        {0, 23, 34, 47, 60, 78, 115, 191, 208, 234, 276, 322, 360},
        {255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255},
        {255, 255, 255, 255, 255, 200, 172, 196, 178, 168, 161, 198, 255},
    },
    {
        {0, 23, 34, 47, 60, 78, 158, 191, 208, 234, 276, 322, 360},
        {255, 255, 255, 255, 255, 255, 255, 253, 199, 147, 163, 255, 255},
        {255, 255, 255, 255, 255, 200, 143, 186, 178, 160, 150, 198, 255},
    },
};
constexpr int kTableSetCount = static_cast<int>(std::size(kTableSets));
static_assert(kTableSetCount == 2, "two artistic table sets");

// The over-bright scales are shared by both sets.
constexpr TTransferTable kOverSatScale = {255, 255, 255, 255, 220, 200, 220,
                                          255, 255, 255, 255, 255, 255};
constexpr TTransferTable kOverBrtScale = {255, 255, 255, 255, 255, 255, 255,
                                          255, 220, 255, 255, 255, 255};
static_assert(kOverSatScale.size() == kTransferTableSize);
static_assert(kOverBrtScale.size() == kTransferTableSize);

constexpr double kStep = 30.0;
constexpr int kLastSegment = kTransferTableSize - 2; // the last k that has a k + 1

// Brings any hue into [0, 360). A hue so large that subtracting 360 no longer changes
// it would spin a subtracting loop forever, and a tiny negative one would round up to
// exactly 360 and index past the tables; fmod plus the final check covers both.
double NormalizeDegrees(double a)
{
    if (!std::isfinite(a))
        return 0;
    if (a >= 360 || a < 0) {
        a = std::fmod(a, 360.0);
        if (a < 0)
            a += 360;
        if (a >= 360)
            a = 0;
    }
    return a;
}

int SegmentOf(double a)
{
    int k = Trunc(a / kStep);
    if (k < 0)
        k = 0;
    if (k > kLastSegment)
        k = kLastSegment;
    return k;
}

// Linear interpolation of a table at an artistic hue in [0, 360).
double Interpolate(const TTransferTable& table, double a)
{
    const int k = SegmentOf(a);
    const double f = a - kStep * k;
    return table[k] + (table[k + 1] - table[k]) / kStep * f;
}

// The artistic hue of a scientific hue in [0, 360): the inverse of the HueMap
// interpolation, found on the first segment that reaches it.
double ArtisticHueOf(const TTransferTable& hueMap, double h)
{
    int i = 0;
    while (i < kLastSegment && !(h <= hueMap[i + 1]))
        ++i;
    double a = kStep * i + (h - hueMap[i]) / (hueMap[i + 1] - hueMap[i]) * kStep;
    while (a >= 360)
        a -= 360;
    return a;
}

} // namespace

TColorTransfer::TColorTransfer() { LoadTables(0); }

bool TColorTransfer::LoadTables(std::uint8_t set)
{
    if (set >= kTableSetCount)
        return false;
    HueMap = kTableSets[set].HueMap;
    SatScale = kTableSets[set].SatScale;
    BrtScale = kTableSets[set].BrtScale;
    OverSatScale = kOverSatScale;
    OverBrtScale = kOverBrtScale;
    return true;
}

void TColorTransfer::ArtisticToHSB(double& hue, double& saturation, double& brightness,
                                   double refSaturation, double refHue) const
{
    const double a = NormalizeDegrees(hue);
    const double s = saturation;
    const double v = brightness;

    double h = Interpolate(HueMap, a);
    double S = s * Interpolate(SatScale, a) / 255;
    // The saturated share is dimmed by the brightness scale, the grey share keeps v.
    double V = s * v * Interpolate(BrtScale, a) / 255 + (1 - s) * v;

    if (v > 1 && refHue >= 0) {
        // A base colour lighter than the wheel allows: blend towards the over-bright
        // scales by how far the base overshoots what the wheel could show at its hue.
        const double refH = NormalizeDegrees(refHue);
        const double r = ArtisticHueOf(HueMap, refH);
        const double Dr = Interpolate(SatScale, r);
        const double Ar = Interpolate(BrtScale, r);
        const double sr = refSaturation / Dr * 255;
        const double q = 255 / (Ar * sr + (1 - sr) * 255);
        double w = 0;
        if (q > 1) {
            w = (v - 1) / (q - 1);
            if (w < 0)
                w = 0;
        }
        // The reference's scientific hue indexes these two tables directly.
        const int j = SegmentOf(refH);
        const double g = refH - kStep * j;
        const double e =
            (OverSatScale[j] + (OverSatScale[j + 1] - OverSatScale[j]) / kStep * g) / 255;
        const double b =
            (OverBrtScale[j] + (OverBrtScale[j + 1] - OverBrtScale[j]) / kStep * g) / 255;
        S = (1 - w) * S + w * S * e;
        V = (1 - w) * V + w * V * b;
    }

    if (V > 1)
        V = 1;
    if (S > 1)
        S = 1;
    hue = h;
    saturation = S;
    brightness = V;
}

bool TColorTransfer::HSBToArtistic(double& hue, double& saturation, double& brightness,
                                   bool noClamp) const
{
    const double a = ArtisticHueOf(HueMap, NormalizeDegrees(hue));
    const double D = Interpolate(SatScale, a);
    const double A = Interpolate(BrtScale, a);
    double s = saturation / D * 255;
    double v = brightness * 255 / (A * s + (1 - s) * 255);

    bool outside = false;
    if (!noClamp) {
        if (v > 1) {
            outside = v > 1.01;
            s = s - (v - 1) * s * A / 255;
            v = 1;
        }
        if (s > 1) {
            outside = outside || s > 1.015;
            s = 1;
        }
    }
    hue = a;
    saturation = s;
    brightness = v;
    return outside;
}

TColor TColorTransfer::ArtisticToColor(double hue, double saturation, double brightness,
                                       double refHue, double refSaturation,
                                       double /*refBrightness*/) const
{
    ArtisticToHSB(hue, saturation, brightness, refSaturation, refHue);
    return HSBToColor(hue, saturation, brightness);
}

TColor ArtisticToColor(const TColorTransfer* transfer, double hue, double saturation,
                       double brightness, double refHue, double refSaturation,
                       double refBrightness)
{
    if (!transfer) {
        // An artistic brightness may exceed 1; as a plain HSB value that would spill
        // past a channel byte, so the scientific reading is held to the HSB ranges.
        return HSBToColor(NormalizeDegrees(hue), std::clamp(saturation, 0.0, 1.0),
                          std::clamp(brightness, 0.0, 1.0));
    }
    return transfer->ArtisticToColor(hue, saturation, brightness, refHue, refSaturation,
                                     refBrightness);
}

const char* const kColorWheelNames[kColorWheelCount] = {"Scientific", "Artistic"};

const char* const kHarmonyCaptions[kHarmonyCount] = {
    "Full Color Circle", "Complement", "Split-Complement", "Triad",
    "Square",            "Rectangle 1", "Rectangle 2",     "Analogous",
    "Analogous w/complement", "Hexad"};

const char* const kHarmonyCodes[kHarmonyCount] = {"ALL", "CPL", "SCP", "TRI", "SQR",
                                                   "RC1", "RC2", "ALG", "ACP", "DTR"};

namespace {

// Bit i marks position i of the twelve-step circle (bit 0 = the base colour).
constexpr std::uint16_t kHarmonyBits[] = {
    0x0FFF,                                              // ALL 0..11
    (1u << 0) | (1u << 6),                               // CPL
    (1u << 0) | (1u << 5) | (1u << 7),                   // SCP
    (1u << 0) | (1u << 4) | (1u << 8),                   // TRI
    (1u << 0) | (1u << 3) | (1u << 6) | (1u << 9),       // SQR
    (1u << 0) | (1u << 2) | (1u << 6) | (1u << 8),       // RC1
    (1u << 0) | (1u << 4) | (1u << 6) | (1u << 10),      // RC2
    (1u << 0) | (1u << 1) | (1u << 11),                  // ALG
    (1u << 0) | (1u << 1) | (1u << 6) | (1u << 11),      // ACP
    (1u << 0) | (1u << 2) | (1u << 4) | (1u << 6) | (1u << 8) | (1u << 10), // DTR
};
static_assert(std::size(kHarmonyBits) == kHarmonyCount, "one position set per harmony");

} // namespace

THarmonySet HarmonyPositions(int index)
{
    if (index < 0 || index >= kHarmonyCount)
        index = 0;
    return THarmonySet(kHarmonyBits[index]);
}

int HarmonyIndexOfCode(const QString& code)
{
    for (int i = 0; i < kHarmonyCount; ++i)
        if (code == QLatin1String(kHarmonyCodes[i]))
            return i;
    return -1;
}

TColor HueCircleColor(const TColorTransfer* transfer, bool artistic, int count, int i,
                      double hue, double saturation, double brightness)
{
    const double step = count > 0 ? 360.0 / count : 0.0;
    if (!artistic || !transfer)
        return HSBToColor(hue + i * step, saturation, brightness);
    if (i == 0 && count < 20)
        return HSBToColor(hue, saturation, brightness);
    double a = hue;
    double s = saturation;
    double v = brightness;
    transfer->HSBToArtistic(a, s, v, true);
    return transfer->ArtisticToColor(a + i * step, s, v, hue, saturation, brightness);
}

void TRichPalette::AddHueCircle(int count, bool artistic, TColorVisionType visionType,
                                bool clearFirst, TColorTransfer* transfer, double hue,
                                double saturation, double brightness)
{
    if (clearFirst)
        Clear();
    for (int i = 0; i < count; ++i) {
        TColor color = HueCircleColor(transfer, artistic, count, i, hue, saturation, brightness);
        if (visionType != cvtNorm)
            color = SimulateColorVision(color, visionType);
        Add()->SetColor(color);
        // Listeners redraw per swatch as the circle grows, after the colour is in place.
        Changed();
    }
}
