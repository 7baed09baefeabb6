#pragma once
// The base of every page that shows matching colours. Its left block, left of the bevels
// at x 68:
//
//   [Save Image] [Copy To Palette]           first row
//   (bg icon)  [background swatch ▾]  (reset)   second row
//   (outline)  [outline swatch ▾]     (swap)
//
// The two swatch buttons hold the scene's background and outline colours. Pressing one
// pops the host's colour menu up under it; dropping a colour on it sets that colour.
// Reset and swap change both colours as one change.
//
// The host's two colour menus (background and outline) are built here too, so that every
// page sees the same items; the host creates them once and hands them to each page.

#include "workarea/PptBase.h"

#include <QIcon>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <optional>

class QAction;
class QDragMoveEvent;
class QDropEvent;
class QFrame;
class QPainter;
class QToolButton;
class TColorSwatchButton;

// A paint box: a plain area that paints through its owner and reports clicks.
class TPaintBox : public QWidget {
    Q_OBJECT
public:
    explicit TPaintBox(QWidget* Parent = nullptr)
        : QWidget(Parent)
    {
    }
    int Tag = 0;
    std::function<void(TPaintBox* Sender, QPainter& Canvas)> OnPaint;
    std::function<void(TPaintBox* Sender)> OnClick;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool FPressed = false;
};

// The images of the page's image list, 16 x 16 logical pixels.
enum TPageGlyph {
    pgBackground = 0, // background colour
    pgOutline = 1, // outline colour
    pgReset = 2, // reset to white background, black outline
    pgSwap = 3, // swap background and outline
    pgStartEndSwap = 4 // swap a blend's start and end (Blender page)
};
constexpr int kPageGlyphCount = 5;
// Draws the glyph with its top-left corner at At, crisp at any device pixel ratio.
void DrawPageGlyph(QPainter& Canvas, int Index, QPoint At, bool Enabled = true);

class TfrmPptBaseAdv : public TfrmPptBase {
    Q_OBJECT
public:
    explicit TfrmPptBaseAdv(QWidget* Parent);

    // The colours live in the swatch buttons.
    TColor GetBackgroundColor() const override;
    TColor GetOutlineColor() const override;
    void SetBackgroundColor(TColor Color) override;
    void SetOutlineColor(TColor Color) override;

protected:
    // Form handlers.
    void btnSaveClick();
    void btnCopyToPaletteClick();
    void btnBgColorColorChange(TObject* Sender, TColor Color);
    void btnOutlineColorColorChange(TObject* Sender, TColor Color);
    void btnBgColorDragOver(TObject* Sender, QDragMoveEvent* Event, bool& Accept);
    void btnBgColorDragDrop(TObject* Sender, QDropEvent* Event);
    void btnBgColorMouseDown(TObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void btnOutlineColorDragOver(TObject* Sender, QDragMoveEvent* Event, bool& Accept);
    void btnOutlineColorDragDrop(TObject* Sender, QDropEvent* Event);
    void btnOutlineColorMouseDown(TObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void pbxDefaultClick();
    void pbxSwapColorsClick();
    // Draws image Tag of the image list at (0, 1) into the paint box being painted.
    void paintGlyph(TPaintBox* Sender, QPainter& Canvas);
    // For the pages with a wheel combo box.
    void cbColorWheelChange();

    // A paint box that shows one of the glyphs, wired to paintGlyph.
    TPaintBox* NewGlyphBox(const QString& Name, int Tag, const QRect& Geometry);

    QToolButton* btnSave = nullptr;
    QToolButton* btnCopyToPalette = nullptr;
    QFrame* bvlVert1 = nullptr;
    QFrame* bvlVert2 = nullptr;
    TPaintBox* pbxBgColor = nullptr;
    TColorSwatchButton* btnBgColor = nullptr;
    TPaintBox* pbxLineColor = nullptr;
    TColorSwatchButton* btnOutlineColor = nullptr;
    TPaintBox* pbxDefault = nullptr;
    TPaintBox* pbxSwapColors = nullptr;

private:
    void PopColorMenu(TColorSwatchButton* Button, QMenu* Menu);
};

// -- The host's scene colour menus ("popSwfBgColor", "popSwfOutlineColor"). --

enum TSwfColorMenuKind { scmBackground, scmOutline };

// Eyedropper targets of "Pick...": the page's background and outline colour.
constexpr int kEyeDropTargetBackground = 4;
constexpr int kEyeDropTargetOutline = 5;

// Rows of the menus. Items marked "menu colour" take the colour when chosen.
enum TSwfColorItemKind : std::uint8_t {
    sciColor, // a fixed colour
    sciNone, // outline menu only: -1, no outline; a separator follows
    sciWindows, // the desktop's button-face colour at the time it is chosen
    sciPick, // starts the eyedropper
};
struct TSwfColorMenuItem {
    const char* Caption;
    const char* BackgroundAction; // nullptr: not in the background menu
    const char* OutlineAction;
    TColor Color;
    TSwfColorItemKind Kind;
    bool SeparatorBefore;
};
inline constexpr TSwfColorMenuItem kSwfColorMenuItems[] = {
    {"None", nullptr, "atnSwfOutlineColorNone", kNoOutline, sciNone, false},
    {"Black", "atnSwfBgColorBlack", "atnSwfOutlineColorBlack", 0x000000, sciColor, false},
    {"90 % Gray", "atnSwfBgColorGray90", "atnSwfOutlineColorGray90", 0x202020, sciColor, false},
    {"80 % Gray", "atnSwfBgColorGray80", "atnSwfOutlineColorGray80", 0x333333, sciColor, false},
    {"70 % Gray", "atnSwfBgColorGray70", "atnSwfOutlineColorGray70", 0x505050, sciColor, false},
    {"60 % Gray", "atnSwfBgColorGray60", "atnSwfOutlineColorGray60", 0x666666, sciColor, false},
    {"50 % Gray", "atnSwfBgColorGray50", "atnSwfOutlineColorGray50", 0x808080, sciColor, false},
    {"40 % Gray", "atnSwfBgColorGray40", "atnSwfOutlineColorGray40", 0x999999, sciColor, false},
    {"30 % Gray", "atnSwfBgColorGray30", "atnSwfOutlineColorGray30", 0xB0B0B0, sciColor, false},
    {"20 % Gray", "atnSwfBgColorGray20", "atnSwfOutlineColorGray20", 0xCCCCCC, sciColor, false},
    {"10 % Gray", "atnSwfBgColorGray10", "atnSwfOutlineColorGray10", 0xE0E0E0, sciColor, false},
    {"White", "atnSwfBgColorWhite", "atnSwfOutlineColorWhite", 0xFFFFFF, sciColor, false},
    {"Windows color", "atnSwfBgColorWindows", "atnSwfOutlineColorWindows", clBtnFace, sciWindows, true},
    {"Pick...", "atnSwfBgcolorPick", "atnSwfOutlineColorPick", 0, sciPick, true},
};

// The menu of Kind, with one action per row (object name = the action's name). Choosing a
// colour calls SetBackgroundColor / SetOutlineColor of CurrentPage(); "Pick..." calls
// StartEyeDropper with target 4 or 5. Every action does nothing while there is no page.
QMenu* CreateSwfColorMenu(TSwfColorMenuKind Kind, QWidget* Parent, std::function<TfrmPptBase*()> CurrentPage,
    std::function<void(int Target)> StartEyeDropper);
// The colour an action of those menus passes, resolved now (the Windows colour follows the
// desktop); nothing for "Pick...".
std::optional<TColor> SwfColorMenuColor(const QAction* Action);
// The square swatch an item shows: its colour in a black frame; "None" is white with a red
// band from the top right to the bottom left.
QIcon SwfColorMenuIcon(TColor Color, int Size);
