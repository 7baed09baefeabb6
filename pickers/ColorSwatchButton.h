#pragma once
// A small colour swatch with a drop-down arrow in a notch at its bottom-right corner. The
// work-area pages use two of them for the scene's background and outline colours and pop a
// colour menu up when one is pressed. A colour whose top byte is not 0 (the outline colour
// "None" arrives as -1) shows as no colour: white with a red band corner to corner.

#include "colour/ColorTypes.h"
#include "colour/ColorVision.h"
#include "pickers/ColorControlBase.h"

#include <functional>

class TColorFormula;

class TColorSwatchButton : public TColorControlBase {
    Q_OBJECT
public:
    // X, Y: the cursor's position on the screen.
    using TMouseLeaveEvent = std::function<void(TObject* Sender, int X, int Y)>;

    explicit TColorSwatchButton(QWidget* parent = nullptr);

    TColor SelectionColor() const { return FSelectionColor; }
    // A different value is stored, renews the hint (AutoCreateHint), repaints and fires
    // OnColorChange unless the control is loading.
    void SetSelectionColor(TColor Value);
    static bool IsNoColor(TColor Value) { return (Value & 0xFF000000u) != 0; }

    // The hint becomes "#RRGGBB" (upper-case hex) on every colour change.
    bool AutoCreateHint() const { return FAutoCreateHint; }
    void SetAutoCreateHint(bool Value);

    TColor DropDownArrowColor() const { return FDropDownArrowColor; }
    void SetDropDownArrowColor(TColor Value);

    // Applied to everything the button draws in colour: the swatch, the no-colour band and the
    // arrow. The frame keeps the desktop's button colours.
    TColorVisionType ColorVisionType() const { return FColorVisionType; }
    void SetColorVisionType(TColorVisionType Value);

    // QWidget's enabled state under the control's own name; a change shows the released look.
    bool Enabled() const { return isEnabled(); }
    void SetEnabled(bool Value) { setEnabled(Value); }

    // Held for the owner; the button itself never reads it.
    TColorFormula* ColorFormula() const { return FColorFormula; }
    void SetColorFormula(TColorFormula* Value) { FColorFormula = Value; }

    // While loading, colour changes are stored silently (a page setting its initial colours).
    bool Loading() const { return FLoading; }
    void SetLoading(bool Value) { FLoading = Value; }

    // Back to the released look with no press being tracked; the pages call it once the menu
    // they popped up on a press has closed (the release went to the menu, not to us).
    void ResetButtonState();

    bool IsPressed() const { return FPressed; }
    bool IsTracking() const { return FTracking; }

    QSize sizeHint() const override { return {20, 20}; }

    TColorEvent OnColorChange;
    // Every mouse move over the control; Color is SelectionColor.
    TColorEvent OnColorRollover;
    TMouseLeaveEvent OnMouseLeave;
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;

Q_SIGNALS:
    void colorChanged(quint32 color);
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void SetPressed(bool Value);
    void RenewHint();

    TColor FSelectionColor = 0;
    bool FAutoCreateHint = false;
    TColor FDropDownArrowColor = 0;
    TColorVisionType FColorVisionType = cvtNorm;
    TColorFormula* FColorFormula = nullptr;
    bool FLoading = false;
    bool FPressed = false;
    bool FTracking = false;
};
