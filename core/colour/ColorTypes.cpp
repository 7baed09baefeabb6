#include "colour/ColorTypes.h"

#include <array>

namespace {

// The classic Windows desktop scheme, indexed by system colour number.
constexpr std::array<TColor, 31> kClassicSysColors = {
    RGB(212, 208, 200), // scroll bar
    RGB(58, 110, 165),  // desktop background
    RGB(10, 36, 106),   // active caption
    RGB(128, 128, 128), // inactive caption
    RGB(212, 208, 200), // menu
    RGB(255, 255, 255), // window
    RGB(0, 0, 0),       // window frame
    RGB(0, 0, 0),       // menu text
    RGB(0, 0, 0),       // window text
    RGB(255, 255, 255), // caption text
    RGB(212, 208, 200), // active border
    RGB(212, 208, 200), // inactive border
    RGB(128, 128, 128), // application workspace
    RGB(10, 36, 106),   // highlight
    RGB(255, 255, 255), // highlight text
    RGB(212, 208, 200), // button face
    RGB(128, 128, 128), // button shadow
    RGB(128, 128, 128), // grey text
    RGB(0, 0, 0),       // button text
    RGB(212, 208, 200), // inactive caption text
    RGB(255, 255, 255), // button highlight
    RGB(64, 64, 64),    // 3-D dark shadow
    RGB(212, 208, 200), // 3-D light
    RGB(0, 0, 0),       // tooltip text
    RGB(255, 255, 225), // tooltip background
    RGB(181, 181, 181), // (unused slot)
    RGB(0, 0, 128),     // hot-tracked item
    RGB(166, 202, 240), // active caption gradient
    RGB(192, 192, 192), // inactive caption gradient
    RGB(49, 106, 197),  // menu highlight
    RGB(212, 208, 200), // menu bar
};

TSysColorResolver g_resolver = nullptr;

} // namespace

void SetSysColorResolver(TSysColorResolver resolver) { g_resolver = resolver; }

TColor ColorToRGB(TColor color)
{
    if (!IsSystemColor(color))
        return color & 0x00FFFFFF;
    const int index = static_cast<int>(color & 0xFF);
    if (g_resolver)
        return g_resolver(index) & 0x00FFFFFF;
    if (index < static_cast<int>(kClassicSysColors.size()))
        return kClassicSysColors[static_cast<std::size_t>(index)];
    return clBlack;
}
