#pragma once
// The colour sampler: a rectangle showing a hue x lightness colour field, picked by clicking
// or dragging. What is picked is the pixel as shown, so with a colour-vision simulation on the
// user gets the simulated colour they pointed at.

#include "colour/ColorTypes.h"
#include "colour/ColorVision.h"
#include "pickers/CachedBackground.h"
#include "pickers/ColorControlBase.h"

#include <QCursor>

enum TSamplerPresets {
    spSaturated, // HSL: full saturation, white at the top to black at the bottom
    spRich, // HSB: full saturation, dark at the top to bright at the bottom
    spDesaturated, // HSL: saturation 0.3, pale at the top to dark at the bottom
    spLight // HSB: full brightness, white at the top to saturated at the bottom
};

// The frame around the field.
enum TSamplerBorderStyle {
    bsLowered, // 1-pixel 3-D frame, shadow top-left
    bsRaised, // 1-pixel 3-D frame, light top-left
    bsFlat // no 3-D frame
};

// The pipette cursor of the sampler (hot spot at the tip); the screen eyedropper uses it too.
QCursor EyedropCursor();

class TColorSampler : public TColorControlBase {
    Q_OBJECT
public:
    explicit TColorSampler(QWidget* parent = nullptr);

    TSamplerPresets Presets() const { return FPresets; }
    void SetPresets(TSamplerPresets Value);

    TSamplerBorderStyle Style() const { return FStyle; }
    void SetStyle(TSamplerBorderStyle Value);

    TColorVisionType ColorVisionType() const { return FColorVisionType; }
    void SetColorVisionType(TColorVisionType Value);

    // The field: the client area less the frame (1 pixel unless flat) and the two rings
    // (button face, then black). Control coordinates.
    QRect FieldRect() const;

    // The colour shown at a point of the field (control coordinates), read from the drawn
    // field; false outside the field.
    bool ColorAt(QPointF Pos, TColor& Color);

    // Renders the whole control (frame and field) into `image`, which is sized in device
    // pixels and carries the ratio; the widget's paint uses it, and so can a benchmark.
    static void Render(QImage& image, QSize logicalSize, TSamplerPresets presets, TSamplerBorderStyle style,
        TColorVisionType vision, const QPalette& palette);

    const CachedBackground& Background() const { return FBackground; }

    QSize sizeHint() const override { return {200, 20}; }

    // A pick (press, or move while the button is held) inside the field. The main window
    // closes a pick session (history, inspector) in OnMouseUp.
    TColorEvent OnColorChange;

Q_SIGNALS:
    void colorPicked(quint32 color);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Changed();
    void Pick(QPointF Pos);
    CachedBackground::Renderer Renderer() const;

    TSamplerPresets FPresets = spSaturated;
    TSamplerBorderStyle FStyle = bsLowered;
    TColorVisionType FColorVisionType = cvtNorm;
    bool FTracking = false;
    CachedBackground FBackground;
};
