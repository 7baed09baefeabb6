#include "pickers/SysColors.h"

#include <QGuiApplication>
#include <QPalette>

namespace {

TColor FromQ(const QColor& c)
{
    return RGB(c.red(), c.green(), c.blue());
}

// The classic values for the slots the palette cannot express, and for the unused slot 25.
constexpr TColor kUnusedSlot = RGB(181, 181, 181);

TColor ResolveFromApplication(int index)
{
    // Before the application exists (or in a QtCore-only program) a default palette still
    // answers with sensible light-theme colours.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return SysColorFromPalette(index, QGuiApplication::palette());
    return SysColorFromPalette(index, QPalette());
}

} // namespace

TColor SysColorFromPalette(int index, const QPalette& p)
{
    using R = QPalette::ColorRole;
    const auto active = [&p](R role) { return FromQ(p.color(QPalette::Active, role)); };
    const auto inactive = [&p](R role) { return FromQ(p.color(QPalette::Inactive, role)); };
    switch (index) {
    case 0: return active(R::Button); // scroll bar
    case 1: return active(R::Dark); // desktop
    case 2: return active(R::Highlight); // active caption
    case 3: return inactive(R::Mid); // inactive caption
    case 4: return active(R::Window); // menu
    case 5: return active(R::Base); // window
    case 6: return active(R::Shadow); // window frame
    case 7: return active(R::WindowText); // menu text
    case 8: return active(R::Text); // window text
    case 9: return active(R::HighlightedText); // caption text
    case 10: return active(R::Window); // active border
    case 11: return active(R::Window); // inactive border
    case 12: return active(R::Mid); // application workspace
    case 13: return active(R::Highlight); // highlight (selected items)
    case 14: return active(R::HighlightedText); // highlight text
    case 15: return active(R::Button); // button face
    case 16: return active(R::Dark); // button shadow
    case 17: return FromQ(p.color(QPalette::Disabled, R::Text)); // grey text
    case 18: return active(R::ButtonText); // button text
    case 19: return inactive(R::WindowText); // inactive caption text
    case 20: return active(R::Light); // button highlight: the lit 3-D edge
    case 21: return active(R::Shadow); // 3-D dark shadow
    case 22: return active(R::Midlight); // 3-D light
    case 23: return active(R::ToolTipText); // tooltip text
    case 24: return active(R::ToolTipBase); // tooltip background
    case 25: return kUnusedSlot;
    case 26: return active(R::Link); // hot-tracked item
    case 27: return active(R::Highlight); // active caption gradient
    case 28: return inactive(R::Highlight); // inactive caption gradient
    case 29: return active(R::Highlight); // menu highlight
    case 30: return active(R::Window); // menu bar
    default: return clBlack;
    }
}

void InstallSysColorResolver()
{
    SetSysColorResolver(&ResolveFromApplication);
}

QColor QColorFromTColor(TColor color)
{
    const TColor rgb = ColorToRGB(color);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

TColor TColorFromQColor(const QColor& color)
{
    const QColor c = color.toRgb();
    return RGB(c.red(), c.green(), c.blue());
}
