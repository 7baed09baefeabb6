#pragma once
// A button that shows one colour: the base swatch, the inspector swatch and the small swatches
// of the dialogs. It reports rollovers with the colour, starts colour drags on request and
// takes colour drops through its drag events.

#include "colour/ColorTypes.h"
#include "colour/ColorVision.h"
#include "colour/Events.h"
#include "pickers/ColorDragObj.h"

#include <QWidget>

#include <functional>

using TColorChangeEvent = std::function<void(TObject* Sender, TColor Color)>;
using TColorRolloverEvent = std::function<void(TObject* Sender, TColor Color)>;
// X and Y are the cursor position in screen coordinates.
using TMouseLeaveEvent = std::function<void(TObject* Sender, int X, int Y)>;
// X and Y are in the control's coordinates.
using TMouseEvent
    = std::function<void(TObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, Qt::KeyboardModifiers Shift, int X, int Y)>;
// Accept comes in true; the handler may refuse the drop (the no-drop cursor then shows).
using TColorDragOverEvent
    = std::function<void(TObject* Sender, const TColorDragCtrlObject& Source, int X, int Y, bool& Accept)>;
using TColorDragDropEvent = std::function<void(TObject* Sender, const TColorDragCtrlObject& Source, int X, int Y)>;
using TColorStartDragEvent = std::function<void(TObject* Sender, TColorDragCtrlObject& DragObject)>;

class TColorButton : public QWidget, public TObject {
    Q_OBJECT
public:
    explicit TColorButton(QWidget* parent = nullptr);

    // The colour shown. System colours are resolved to RGB when written; any other value with
    // a non-zero top byte (e.g. 0x7F000000) shows no colour.
    TColor SelectionColor() const { return FSelectionColor; }
    void SetSelectionColor(TColor Value);
    // True when SelectionColor is a real colour rather than the "no colour" marker.
    bool HasColor() const { return (FSelectionColor & 0xFF000000u) == 0; }

    // A one-pixel flat frame instead of the raised 3-D one.
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);

    // The tool tip follows the colour as "#RRGGBB".
    bool AutoCreateHint() const { return FAutoCreateHint; }
    void SetAutoCreateHint(bool Value);

    TColorVisionType ColorVisionType() const { return FColorVisionType; }
    void SetColorVisionType(TColorVisionType Value);

    // Set by the owner: a two-pixel frame in SelectionFrameColor replaces the normal one.
    bool Selected() const { return FSelected; }
    void SetSelected(bool Value);
    TColor SelectionFrameColor() const { return FSelectionFrameColor; }
    void SetSelectionFrameColor(TColor Value);

    // Runs a colour drag from this button now: the drag object starts with the shown colour
    // and this button as source, OnStartDrag may complete it. Returns when the drag has ended.
    Qt::DropAction BeginDrag();

    // Where the colour is painted, in the control's coordinates.
    QRect SwatchRect() const;

    QSize sizeHint() const override { return {20, 20}; }

    TColorChangeEvent OnColorChange;
    TColorRolloverEvent OnColorRollover;
    TMouseLeaveEvent OnMouseLeave;
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TColorStartDragEvent OnStartDrag;
    TColorDragOverEvent OnDragOver;
    // Drops are offered only while this is assigned.
    TColorDragDropEvent OnDragDrop;

Q_SIGNALS:
    void colorChanged(TColor color);
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void Click();
    void UpdateHint();
    bool DropAllowed(QDropEvent* event);

    TColor FSelectionColor = 0;
    bool FFlat = false;
    bool FAutoCreateHint = false;
    TColorVisionType FColorVisionType = cvtNorm;
    bool FSelected = false;
    TColor FSelectionFrameColor = clBlack;
    // The left button went down here and has not come up: a release inside is a click.
    bool FClickArmed = false;
    // Pressed look of the raised frame while the armed press stays inside.
    bool FPressedLook = false;
};
