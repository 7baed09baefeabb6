#pragma once
// System colours on Linux: the colour indices the program stores (0xFF000000 + index) are
// answered from the desktop palette Qt gives us, so swatches and frames follow the user's
// theme. Also the two conversions every control needs at the widget edge.

#include "colour/ColorTypes.h"

#include <QColor>

class QPalette;

// The colour the palette gives for a Windows system colour index (0..30); indices the palette
// has no role for keep the classic scheme's value. The result is an RGB TColor.
TColor SysColorFromPalette(int index, const QPalette& palette);

// Makes ColorToRGB answer from the application palette. Call once, after the QApplication
// exists; calling it again changes nothing.
void InstallSysColorResolver();

// TColor (0x00BBGGRR) to an opaque QColor; system colours are resolved first.
QColor QColorFromTColor(TColor color);
// An opaque QColor back to a TColor; the alpha channel is dropped.
TColor TColorFromQColor(const QColor& color);
