#pragma once
// Where the main window opens: the placement stored under "Main Window" when it still
// fits the screens present, otherwise a fall-back. Pure functions on rectangles, so the
// rules hold without a window.

#include <QList>
#include <QRect>

// The six values of the "Main Window" subkey. Complete is true only when all six were
// read; the window writes them back at exit (Width..Top as its normal, unmaximised
// geometry; Monitor as the index of its screen).
struct TWindowPlacement {
    bool Complete = false;
    bool Maximized = false;
    int Width = 0;
    int Height = 0;
    int Left = 0;
    int Top = 0;
    int Monitor = 0;
};

struct TPlacementDecision {
    // Taken from the stored values (false: the fall-back).
    bool Restored = false;
    bool Maximized = false;
    // The normal geometry (frame included), in virtual-desktop coordinates; for a
    // maximised window the geometry it returns to.
    QRect Geometry;
    // Index of the screen the window goes to.
    int Monitor = 0;
};

// Moves Window into Area, shrinking it first to fit where it is larger.
QRect MakeFullyVisible(const QRect& Window, const QRect& Area);

// Screens: the available (panel-free) area of each screen, primary first, in the order
// Monitor indexes them. With Ctrl held, or when the stored placement is incomplete, names
// a screen that is not present or has no size, the window falls back to being maximised
// on the primary screen (Geometry = that screen's area). Otherwise the stored rectangle,
// made fully visible on its screen, with the stored maximised state.
TPlacementDecision RestoreWindowPlacement(const TWindowPlacement& Stored, const QList<QRect>& Screens, bool CtrlHeld);
