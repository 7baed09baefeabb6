#pragma once
// Short descriptive names for colours, as the colour inspector shows them under a colour.

#include "colour/ColorTypes.h"

#include <QString>

// A hue word with shade, tint and saturation qualifiers, or a temperature grey/white, or
// "black" / "white". System colours are resolved with ColorToRGB first.
QString ColorToName(TColor color);

// "warm", "neutral" or "cold": the temperature of the colour's 15-degree hue sector.
QString ColorTemperature(TColor color);
