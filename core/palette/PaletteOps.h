#pragma once
// Operations the palette commands carry out on the document's current palette: removing
// similar colours, snapping to the web colour cubes, clearing from a swatch on, appending
// the colours a page offers, and the titles offered for new palettes. They change only the
// palettes they are given; enabling, confirmation, the changed flag and repainting are
// the caller's.

#include "palette/RichColor.h"

#include <QString>

// Limits of the remove-similar filter: hue in whole degrees, saturation and brightness in
// whole percent. 0 keeps everything that does not agree exactly after rounding.
struct TSimilarityLimits {
    int Hue = 15;
    int Sat = 5;
    int Brt = 5;
};

// Whether two colours lie within the limits of each other: round(|hue difference|) in
// degrees, round(|saturation difference| × 100) and round(|brightness difference| × 100),
// each no more than its limit. The hue difference is the plain difference, so hues 359
// and 1 are 358 degrees apart.
bool IsSimilarColor(TColor Color1, TColor Color2, const TSimilarityLimits& Limits);

// Dest becomes Source less every swatch that is similar to a swatch kept before it: the
// swatches are visited in order, the first of each group stays. Kept swatches are whole
// copies (caption, texts, CSS classes); Dest also takes Source's title, description,
// author, keywords, URL, AutoCaption and display mode, so assigning the result back to
// the document keeps the palette's own data. Dest fires OnChange once. Source and Dest
// may be the same palette.
void RemoveSimilarColors(const TRichPalette& Source, TRichPalette& Dest, int Hue, int Sat, int Brt);

// Every swatch's colour to the nearest web-safe (channels in steps of 51) or web-smart
// (steps of 17) colour, through the colour setter; one OnColorChange at the end when any
// swatch changed.
void SnapToWebSafe(TRichPalette& Palette);
void SnapToWebSmart(TRichPalette& Palette);

// Deletes the swatch at Index and every swatch after it, with one OnChange. An index
// outside 0..Count-1 changes nothing and fires nothing.
void ClearFromIndex(TRichPalette& Palette, int Index);

// Page offers. Number is the clip number of the swatch the user chose, Columns and Rows
// the page's grid of colours; copies are whole swatches appended to Dest. Positions that
// fall outside Source are skipped, and a grid without columns appends nothing.
// A row: the Columns swatches of Number's row, starting at Number and wrapping round
// within the row.
void AppendColorRow(const TRichPalette& Source, TRichPalette& Dest, int Number, int Columns);
// A column: the swatches of Number's column, from the last row up to the first.
void AppendColorColumn(const TRichPalette& Source, TRichPalette& Dest, int Number, int Rows, int Columns);
// Every enabled swatch of Source, in order.
void AppendEnabledColors(const TRichPalette& Source, TRichPalette& Dest);

// The title offered by Add Palette: "Palette %d" with the number of palettes + 1.
QString NewPaletteTitle(int PaletteCount);
// The title offered by Duplicate Palette: "Copy of %s", or "Copy of palette" for a
// palette without title.
QString DuplicatePaletteTitle(const QString& Title);
