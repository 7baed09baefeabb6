#pragma once
// A colour slider: a ramp of one component of the current colour (a channel, or a hue,
// saturation, brightness or lightness) with a triangular position marker. The main window
// sends every base-colour change to all its sliders; the slider the user is dragging ignores
// those updates while it reports its own position, so the drag is never overridden.

#include "colour/ColorTypes.h"
#include "colour/ColorVision.h"
#include "colour/Colors.h"
#include "colour/Events.h"
#include "harmony/ColorTransfer.h"
#include "pickers/CachedBackground.h"

#include <QString>
#include <QWidget>

#include <functional>

enum TGradientType {
    gtRGB_R, // position 0..255
    gtRGB_G,
    gtRGB_B,
    gtHSB_H, // 0..359 degrees
    gtHSB_S, // 0..100
    gtHSB_B, // 0..100
    gtHSL_H, // 0..239
    gtHSL_S, // 0..240
    gtHSL_L // 0..240
};

// RGB sliders only: advanced varies the channel of the current colour, simple shows a ramp
// from white to the pure primary.
enum TGradientSubType { gstSimple, gstAdvanced };

enum TTrackBarOrientation { orHorizontal, orVertical };

class TColorTrackBar : public QWidget, public TObject {
    Q_OBJECT
public:
    using TPositionChangeEvent = std::function<void(TObject* Sender, int Position)>;

    struct TMargins {
        int Left = 0, Top = 0, Right = 0, Bottom = 0;
    };

    explicit TColorTrackBar(QWidget* parent = nullptr);

    TGradientType GradientType() const { return FGradientType; }
    // Also moves Position to the current colour's value of the new component.
    void SetGradientType(TGradientType Value);
    TGradientSubType GradientSubType() const { return FGradientSubType; }
    void SetGradientSubType(TGradientSubType Value);
    TTrackBarOrientation Orientation() const { return FOrientation; }
    // Turning the slider swaps its width and height.
    void SetOrientation(TTrackBarOrientation Value);

    // 0..Maximum(). Negative values, and values sent while the slider reports a drag, are ignored;
    // larger ones are held at Maximum().
    int Position() const { return FPosition; }
    void SetPosition(int Value);
    // By gradient type: 255 for the channels, 359 HSB hue, 100 HSB saturation and brightness,
    // 239 HSL hue, 240 HSL saturation and lightness.
    int Maximum() const;
    static int MaximumOf(TGradientType Type);

    // The current colour as HSB (hue in degrees 0..360, the others 0..1) ...
    double HSB_Hue() const { return FHSB.H; }
    double HSB_Sat() const { return FHSB.S; }
    double HSB_Brt() const { return FHSB.B; }
    void SetHSB_Hue(double Value);
    void SetHSB_Sat(double Value);
    void SetHSB_Brt(double Value);
    // ... and as HSL (all 0..1). A grey keeps the hue it was given.
    double HSL_Hue() const { return FHSL.H; }
    double HSL_Sat() const { return FHSL.S; }
    double HSL_Lum() const { return FHSL.L; }
    void SetHSL_Hue(double Value);
    void SetHSL_Sat(double Value);
    void SetHSL_Lum(double Value);
    // All three HSB values at once, as the main window sends them after every base-colour
    // change; ignored while the slider reports a drag. Position follows the new colour.
    void SetHSB(double Hue, double Sat, double Brt);
    // HSBToColor of the HSB values.
    TColor CurrentColor() const { return FColor; }

    // The HSB ramps read their positions as artistic-wheel values.
    bool ArtisticMode() const { return FArtisticMode; }
    void SetArtisticMode(bool Value);

    // Drawn above a horizontal track, at its left and right ends.
    QString Caption() const { return FCaption; }
    void SetCaption(const QString& Value);
    QString Caption2() const { return FCaption2; }
    void SetCaption2(const QString& Value);

    TColor MarkerColor() const { return FMarkerColor; }
    void SetMarkerColor(TColor Value);
    TColor MarkerOutline() const { return FMarkerOutline; }
    void SetMarkerOutline(TColor Value);
    // Edge of the triangular marker in pixels, at least 1.
    int MarkerSize() const { return FMarkerSize; }
    void SetMarkerSize(int Value);

    // A flat frame in BorderColor instead of the sunken 3-D one.
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor Value);

    // Applied to the ramp and to the colours given to the marker and the flat border.
    TColorVisionType ColorVisionType() const { return FColorVisionType; }
    void SetColorVisionType(TColorVisionType Value);

    // QWidget's enabled state under the control's own name: a disabled slider shows no ramp.
    bool Enabled() const { return isEnabled(); }
    void SetEnabled(bool Value) { setEnabled(Value); }

    TMargins Margins() const;
    // The ramp's rectangle in control coordinates; its length along the slider is L.
    QRect TrackRect() const;
    int TrackLength() const;
    // Where the marker's apex points for the current Position, in control coordinates.
    QPoint MarkerApex() const;

    const CachedBackground& Background() const { return FBackground; }

    QSize sizeHint() const override;

    TPositionChangeEvent OnPositionChange;

Q_SIGNALS:
    void positionChanged(int position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void ColorChanged();
    void FromHSL();
    void FromHSB();
    int PositionFromColor() const;
    void MoveTo(QPointF Pos);
    void RenderRamp(QImage& image) const;
    TColor RampColor(int p, int length) const;
    void DrawMarker(QPainter& p, QPoint apex, double angle) const;

    TGradientType FGradientType = gtRGB_R;
    TGradientSubType FGradientSubType = gstAdvanced;
    TTrackBarOrientation FOrientation = orHorizontal;
    int FPosition = 0;
    THSB FHSB {90, 1, 1};
    THSL FHSL;
    TColor FColor = 0;
    bool FArtisticMode = false;
    QString FCaption;
    QString FCaption2;
    TColor FMarkerColor = clBlack;
    TColor FMarkerOutline = clBlack;
    int FMarkerSize = 6;
    bool FFlat = false;
    TColor FBorderColor = clBtnShadow;
    TColorVisionType FColorVisionType = cvtNorm;
    bool FFiring = false;
    bool FTracking = false;
    TColorTransfer FTransfer;
    CachedBackground FBackground;
};

class TColorWheel;

// A slider the user moved, applied to the wheel that holds the colour: each gradient type
// sets its own channel. Brightness and HSL lightness stop short of black and white, where
// the hue and saturation the other sliders show would be lost.
void ApplyTrackBarPosition(TColorWheel& Wheel, const TColorTrackBar& Slider, int Position);
