#pragma once
// Glyph outlines from the system's fonts through Qt, for texts the movie writer embeds as
// outlines. Needs a running QGuiApplication; without one the source answers false.

#include "movie/SwfWriter.h"

namespace swf {

// True when Qt's font database can be used (a QGuiApplication exists).
bool GuiFontsAvailable();

// Outlines of the family's glyphs (or of the font the system substitutes for it).
GlyphSource QtGlyphSource();

}  // namespace swf
