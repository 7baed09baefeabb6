#pragma once
// Colour-vision simulation: how a colour looks to a person with a colour-vision deficiency.

#include "colour/ColorTypes.h"

enum TColorVisionType {
    cvtNorm, // normal vision
    cvtProt, // protanopia: no red cones
    cvtDeut, // deuteranopia: no green cones
    cvtTrit, // tritanopia: no blue cones
    cvtProA, // protanomaly: halfway between normal and protanopia
    cvtDeuA, // deuteranomaly
    cvtTriA, // tritanomaly
    cvtMono, // monochromacy
    cvtPMon  // partial monochromacy
};
constexpr int kColorVisionTypeCount = 9;

// The displayed colour for a stored one. cvtNorm, and any value outside the enumeration
// (a damaged setting), return the colour unchanged. System colours are resolved with
// ColorToRGB before they are simulated; the result is always an RGB colour.
// Allocates nothing; safe to call per pixel.
TColor SimulateColorVision(TColor color, TColorVisionType type);
