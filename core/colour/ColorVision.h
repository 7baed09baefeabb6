#pragma once
// Colour-vision simulation: how a colour looks to a person with a colour-vision deficiency.

#include "colour/ColorTypes.h"

enum TColorVisionType {
    cvtNorm,
    cvtProt,
    cvtDeut,
    cvtTrit,
    cvtProA,
    cvtDeuA,
    cvtTriA,
    cvtMono,
    cvtPMon
};
constexpr int kColorVisionTypeCount = 9;

// The displayed colour for a stored one. cvtNorm returns the colour unchanged.
// Allocates nothing; safe to call per pixel.
TColor SimulateColorVision(TColor color, TColorVisionType type);
