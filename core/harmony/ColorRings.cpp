// Rings of colour circles for the advanced colour wheel: the base colour's circle,
// repeated ring after ring with a stronger variation each time.

#include "colour/Colors.h"
#include "harmony/ColorTransfer.h"
#include "palette/RichColor.h"

namespace {

// How far ring r of rings is varied. Light-to-dark sets the lightness outright, so its
// rings sit in the middle of their share of the range; every other kind moves away from
// the colour, so ring 0 is the unchanged circle.
double RingAmount(int kind, int r, int rings, double strength)
{
    if (kind == akLightToDark)
        return (r + 0.5) / rings * strength + (1 - strength) / 4;
    return r * strength / rings;
}

} // namespace

void TRichPalette::AddColorRings(int segments, int rings, bool reverse, int kind,
                                 double strength, double hue, double saturation,
                                 double brightness, bool artistic, TColorTransfer* transfer)
{
    // The page redraws once for the whole set of rings, not once per swatch.
    BeginUpdate();
    Clear();
    // A circle needs at least one segment; without one there is nothing to divide.
    if (segments > 0 && rings > 0) {
        for (int n = 0; n < rings; ++n) {
            const int r = reverse ? n : rings - 1 - n;
            const double amount = RingAmount(kind, r, rings, strength);
            for (int i = 0; i < segments; ++i) {
                const TColor color =
                    HueCircleColor(transfer, artistic, segments, i, hue, saturation, brightness);
                // No vision simulation here: the scene applies it as it draws.
                Add()->SetColor(AdjustColor(color, kind, amount));
            }
        }
    }
    Renumber();
    Changed();
    EndUpdate();
}
