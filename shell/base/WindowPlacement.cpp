#include "shell/base/WindowPlacement.h"

#include <algorithm>

QRect MakeFullyVisible(const QRect& Window, const QRect& Area)
{
    if (Area.isEmpty())
        return Window;
    const int width = std::min(Window.width(), Area.width());
    const int height = std::min(Window.height(), Area.height());
    const int left = std::clamp(Window.left(), Area.left(), Area.left() + Area.width() - width);
    const int top = std::clamp(Window.top(), Area.top(), Area.top() + Area.height() - height);
    return QRect(left, top, width, height);
}

TPlacementDecision RestoreWindowPlacement(const TWindowPlacement& Stored, const QList<QRect>& Screens, bool CtrlHeld)
{
    const bool usable = !CtrlHeld && Stored.Complete && Stored.Monitor >= 0 && Stored.Monitor < Screens.size()
        && Stored.Width > 0 && Stored.Height > 0;
    TPlacementDecision decision;
    if (usable) {
        decision.Restored = true;
        decision.Maximized = Stored.Maximized;
        decision.Monitor = Stored.Monitor;
        const QRect stored(Stored.Left, Stored.Top, Stored.Width, Stored.Height);
        decision.Geometry = MakeFullyVisible(stored, Screens[Stored.Monitor]);
        return decision;
    }
    // There is no task bar window to measure here; a maximised window on the primary
    // screen covers the same area the task-bar placement would.
    decision.Maximized = true;
    decision.Monitor = 0;
    if (!Screens.isEmpty())
        decision.Geometry = Screens.first();
    return decision;
}
