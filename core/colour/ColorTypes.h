#pragma once
// The colour value every part of Korvel exchanges, and the rounding rule all colour arithmetic uses.

#include <cmath>
#include <cstdint>

// 0x00BBGGRR: red in the lowest byte. A top byte of 0xFF marks a system colour
// (0xFF000000 + system colour index) that must be resolved with ColorToRGB first.
using TColor = std::uint32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clGray = 0x808080;
constexpr TColor clNone = 0x1FFFFFFF;

constexpr TColor clSystemColor = 0xFF000000;
constexpr TColor clScrollBar = clSystemColor | 0;
constexpr TColor clWindow = clSystemColor | 5;
constexpr TColor clWindowText = clSystemColor | 8;
constexpr TColor clHighlight = clSystemColor | 13;
constexpr TColor clBtnFace = clSystemColor | 15;
constexpr TColor clBtnShadow = clSystemColor | 16;
constexpr TColor clBtnText = clSystemColor | 18;
constexpr TColor clBtnHighlight = clSystemColor | 20;
constexpr TColor cl3DDkShadow = clSystemColor | 21;
constexpr TColor cl3DLight = clSystemColor | 22;

// Round to nearest, ties to even (the default floating-point rounding mode), the one
// rounding rule of all colour arithmetic: 127.5 -> 128, 0.5 -> 0, 2.5 -> 2.
inline int Round(double x) { return static_cast<int>(std::nearbyint(x)); }

// Truncation toward zero, for the places that truncate rather than round.
inline int Trunc(double x) { return static_cast<int>(x); }

constexpr int GetRValue(TColor c) { return static_cast<int>(c & 0xFF); }
constexpr int GetGValue(TColor c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int GetBValue(TColor c) { return static_cast<int>((c >> 16) & 0xFF); }

// Packs bytes (each 0..255) into a TColor.
constexpr TColor RGB(int r, int g, int b)
{
    return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

constexpr bool IsSystemColor(TColor c) { return (c & 0xFF000000u) == clSystemColor; }

// Resolves system colours. The widget layer installs a resolver that reads the desktop
// palette; until then the classic Windows scheme answers. Ordinary colours pass through
// unchanged; other values with a non-zero top byte keep only their RGB bytes.
using TSysColorResolver = TColor (*)(int index);
void SetSysColorResolver(TSysColorResolver resolver);
TColor ColorToRGB(TColor color);
