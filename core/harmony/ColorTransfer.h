#pragma once
// The artistic (painter's) colour wheel and the harmony rules of the twelve-step circle.
//
// The artistic wheel stretches the hue axis piecewise so that the warm colours take a
// larger share (yellow sits at 120 degrees instead of 60), and rescales saturation and
// brightness per hue so that equal steps around the wheel look even. TColorTransfer
// converts between that space and plain HSB; both spaces use hue in degrees
// (0 <= h < 360) and saturation 0..1. Artistic brightness may exceed 1 for colours
// lighter than the artistic wheel shows at their hue.

#include "colour/ColorTypes.h"
#include "colour/Events.h"

#include <QString>

#include <array>
#include <bitset>
#include <cstdint>

// One entry per 30-degree step of artistic hue; entry k stands for 30k degrees,
// entry 12 for 360 so every step has both ends.
constexpr int kTransferTableSize = 13;
using TTransferTable = std::array<double, kTransferTableSize>;

class TColorTransfer : public TObject {
public:
    // Loads table set 0, the one every wheel and page uses.
    TColorTransfer();

    // Copies table set 0 or 1 into the five tables. Any other set answers false and
    // leaves the tables as they were.
    bool LoadTables(std::uint8_t set);

    // Artistic triple -> scientific HSB, in place. refHue < 0 means no reference; with
    // a reference (the scientific base colour of a circle), a brightness above 1 is
    // carried along the circle instead of simply being cut off.
    void ArtisticToHSB(double& hue, double& saturation, double& brightness, double refSaturation,
                       double refHue) const;

    // Scientific HSB -> artistic triple, in place. Answers true when the colour lay
    // beyond what the artistic wheel can show (past a small tolerance); then, unless
    // noClamp, the triple is pulled back inside. With noClamp the brightness may come
    // back above 1 and the answer is always false.
    bool HSBToArtistic(double& hue, double& saturation, double& brightness, bool noClamp) const;

    // ArtisticToHSB then HSBToColor. refBrightness is accepted for symmetry with the
    // other two references and has no effect.
    TColor ArtisticToColor(double hue, double saturation, double brightness, double refHue,
                           double refSaturation, double refBrightness) const;

    // Scientific hue (degrees) that artistic hue 30k maps to; strictly increasing 0..360.
    TTransferTable HueMap{};
    // Scientific saturation = artistic saturation x SatScale / 255.
    TTransferTable SatScale{};
    // Dims the saturated share of the brightness, on 0..255.
    TTransferTable BrtScale{};
    // Saturation and brightness scales (0..255) for colours brighter than the wheel.
    TTransferTable OverSatScale{};
    TTransferTable OverBrtScale{};
};

// The same conversion for callers that may hold no transfer object: without one the
// triple is taken as scientific and goes straight through HSBToColor.
TColor ArtisticToColor(const TColorTransfer* transfer, double hue, double saturation,
                       double brightness, double refHue, double refSaturation,
                       double refBrightness);

// Colour i (0 <= i < count) of an evenly spaced circle of count colours around a base
// colour given as scientific HSB. On the artistic wheel the base is carried through the
// artistic space with itself as reference; a circle of fewer than 20 colours starts at
// the base colour exactly, so small harmony circles never drift off the user's pick.
// Without a transfer object the artistic wheel falls back to the scientific one.
TColor HueCircleColor(const TColorTransfer* transfer, bool artistic, int count, int i,
                      double hue, double saturation, double brightness);

// The two wheels, in the order of every wheel chooser (0 scientific, 1 artistic).
constexpr int kColorWheelCount = 2;
extern const char* const kColorWheelNames[kColorWheelCount];

// A harmony is a set of positions of a twelve-step colour circle: position i sits at
// i x 30 degrees on the wheel in use, position 0 is the base colour. Stored as 256 bits
// of which only 0..11 are ever set.
constexpr int kHarmonyCount = 10;
constexpr int kHarmonyCirclePositions = 12;
using THarmonySet = std::bitset<256>;

extern const char* const kHarmonyCaptions[kHarmonyCount];
extern const char* const kHarmonyCodes[kHarmonyCount];

// The positions of harmony index; an index outside 0..9 answers the full circle.
THarmonySet HarmonyPositions(int index);

// The harmony a three-letter code selects (exact, upper case as the menus send it),
// or -1 for an unknown code.
int HarmonyIndexOfCode(const QString& code);
