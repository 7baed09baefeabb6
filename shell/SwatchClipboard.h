#pragma once
// A colour swatch for other programs: the square picture the clipboard receives from
// "Copy Swatch", drawn once for the bitmap and once as vectors (SVG stands in for the
// metafile), with an optional value label.

#include "colour/ColorTypes.h"

#include <QString>

class QMimeData;
class QPainter;
class QPoint;

// Run-time values; the settings dialog changes them for the session.
struct TClipboardSwatch {
    int Size = 70; // ClipboardSwatchSize, pixels
    bool ShowLabel = true; // ClipboardShowLabel
    int LabelFormat = 0; // ClipboardLabelFormat: 0 hex, 1 RGB, 2 HSB, 3 HSL, else no label
};

// The label of a swatch: the colour's value in the label format, empty for formats
// without a label.
QString SwatchLabelText(TColor Color, int LabelFormat);

// A square of the colour with a black 1-pixel frame; with a label, a black strip as high
// as the text along the bottom edge holds the text in white, centred.
void DrawSwatch(QPainter& Canvas, const QPoint& TopLeft, int Size, bool ForMetafile, bool ShowLabel,
    const QString& Text, TColor Color);

// The same swatch as an SVG document ("Color Swatch" by "Korvel").
QByteArray SwatchSvg(int Size, bool ShowLabel, const QString& Text, TColor Color);

// Everything the clipboard receives: the picture, the SVG and the label (or the hex
// value when there is no label) as text. The caller owns the result.
QMimeData* SwatchMimeData(TColor Color, const TClipboardSwatch& Options);

void CopySwatchToClipboard(TColor Color, const TClipboardSwatch& Options);
