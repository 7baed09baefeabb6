#pragma once
// TColorWheel: the round hue/saturation picker. The angle around the centre is the hue, the
// distance from the centre the saturation, at the wheel's current brightness. The main window
// keeps the base colour in one of these (its SelectionColor); the settings dialog shows one as a
// preview of the angle and direction settings.
//
// Geometry. Screen angles are in degrees counter-clockwise from 3 o'clock (y grows downward on
// screen, so θ = atan2(−dy, dx)). Hue h sits at θ = sign × h + BaseAngle, where sign is +1 for
// dirClockwise and −1 for dirCounterClockwise; with the defaults red is at 3 o'clock and hue grows
// counter-clockwise (90° at 12 o'clock). The disc fills the largest centred square less Border
// on each side.
//
// Coordinates. Integer logical coordinates name pixels: a click at (x, y) means the pixel whose
// top-left corner is (x, y), and the disc shows at that pixel the colour a click there picks.
// The overlay is drawn half a pixel further on so that it sits in the middle of those pixels.

#include "colour/ColorTypes.h"
#include "colour/ColorVision.h"
#include "colour/Events.h"
#include "harmony/ColorTransfer.h"
#include "pickers/CachedBackground.h"

#include <QWidget>

#include <cstdint>
#include <functional>
#include <vector>

enum TColorMode {
    cmHueSatBrt, // a disc: hue, saturation and brightness
    cmHueSat, // a disc; the wheel reports brightness 1
    cmHueBrt, // a ring; the wheel reports saturation 1
    cmHue // a ring; the wheel reports saturation and brightness 1
};

enum TDirection {
    dirClockwise, // hue sign +1
    dirCounterClockwise // hue sign −1
};

// Hue in degrees (0 ≤ h < 360), Sat and Brt 0..1. Outside TransferMode the Tr values repeat the
// first three; in TransferMode Hue, Sat, Brt are artistic and HueTr, SatTr, BrtTr scientific.
// RefColor is the colour given through SetSelectionColor while nothing has moved it since,
// otherwise the colour the triple makes.
using TColorWheelChangeEvent = std::function<void(
    TObject* Sender, double Hue, double Sat, double Brt, double HueTr, double SatTr, double BrtTr, TColor RefColor)>;

class TColorWheel : public QWidget, public TObject {
    Q_OBJECT

public:
    explicit TColorWheel(QWidget* parent = nullptr);
    ~TColorWheel() override;

    // Screen angle of hue 0, degrees counter-clockwise from 3 o'clock; kept in [0, 360).
    int BaseAngle() const { return FBaseAngle; }
    void SetBaseAngle(int Value);

    // Margin in pixels between the square client area and the disc.
    std::uint8_t Border() const { return FBorder; }
    void SetBorder(std::uint8_t Value);

    // The current colour as hue (degrees, 0 ≤ h < 360), saturation and brightness (0..1).
    // In TransferMode the triple is artistic.
    double Hue() const { return FHue; }
    void SetHue(double Value);
    double Saturation() const { return FSaturation; }
    void SetSaturation(double Value);
    double Brightness() const { return FBrightness; }
    void SetBrightness(double Value);
    // All three at once, reported as one change.
    void SetHSB(double Hue, double Saturation, double Brightness);
    void GetHSB(double& Hue, double& Saturation, double& Brightness) const;

    // Channels 0..255 of the current colour. Writing the value a channel already reads changes
    // nothing; otherwise the other two keep their exact fractions.
    int Red() const;
    int Green() const;
    int Blue() const;
    void SetRed(int Value);
    void SetGreen(int Value);
    void SetBlue(int Value);

    // The current colour. Writing remembers the exact colour (reported as RefColor until the
    // colour moves) and takes its hue, saturation and brightness; system colours are resolved.
    TColor SelectionColor() const;
    void SetSelectionColor(TColor Value);
    // True while the colour is the one last given to SetSelectionColor.
    bool HasExplicitColor() const { return FExplicit; }

    TColorMode ColorMode() const { return FColorMode; }
    void SetColorMode(TColorMode Value);

    // Simulation applied to everything the wheel draws; the colour itself never changes.
    TColorVisionType ColorVisionType() const { return FColorVisionType; }
    void SetColorVisionType(TColorVisionType Value);

    TDirection Direction() const { return FDirection; }
    void SetDirection(TDirection Value);

    // The wheel works in the artistic space (table set 0); switching converts the current triple.
    bool TransferMode() const { return FTransferMode; }
    void SetTransferMode(bool Value);

    // Disc pixels snapped to the 216 web-safe colours.
    bool WebSafe() const { return FWebSafe; }
    void SetWebSafe(bool Value);

    // Changes made between these are reported once, by the EndUpdate that closes the outermost
    // pair, and only when something changed. Pairs nest.
    void BeginUpdate();
    void EndUpdate();
    bool IsUpdating() const { return FUpdateCount > 0; }

    // Centre and rim radius of the disc in logical pixels, as the mouse and the overlay use them.
    QPoint WheelCenter() const;
    int WheelRadius() const;

    // The hue and saturation a click at `pos` (logical pixels) would pick, ignoring modifiers.
    void HueSatAt(QPointF pos, double& Hue, double& Saturation) const;

    // How often the disc has been rendered; shows that moving the marker leaves the disc alone.
    int DiscRenderCount() const { return FDisc.renderCount(); }

    // Renders just the disc (no overlay, no background) at a device pixel ratio: what the cache
    // holds. For the benchmark and for tests that read disc pixels.
    QImage RenderDisc(qreal dpr) const;

    QSize sizeHint() const override { return {200, 200}; }
    QSize minimumSizeHint() const override { return {40, 40}; }

    TColorWheelChangeEvent OnColorChange;
    // The mouse button that moved the colour was released (the main window records history then).
    TNotifyEvent OnMouseUp;

Q_SIGNALS:
    // Mirrors OnColorChange for Qt connections.
    void colorChanged(double hue, double saturation, double brightness, TColor refColor);
    void mouseReleased();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    struct State {
        double hue, saturation, brightness;
        bool explicitFlag;
        TColor explicitColor;
        bool operator==(const State&) const = default;
    };
    State Snapshot() const { return {FHue, FSaturation, FBrightness, FExplicit, FExplicitColor}; }
    // Reports a change now, or at the closing EndUpdate while a batch is open.
    void Notify();
    void InvalidateDisc();
    void FireColorChange();
    void MoveTo(QPointF pos, Qt::KeyboardModifiers modifiers);
    bool IsRing() const { return FColorMode == cmHueBrt || FColorMode == cmHue; }
    int Sign() const { return FDirection == dirClockwise ? 1 : -1; }
    // The scientific triple of the current colour (converted from artistic in TransferMode).
    void ScientificHSB(double& h, double& s, double& b) const;
    void SetChannel(int index, int value);
    TColor Simulated(TColor c) const;
    int Side() const;
    QPoint SquareOrigin() const;
    void RenderDiscInto(QImage& image) const;
    // Where each device pixel of the disc sits: its hue, saturation and rim coverage. These cost
    // an atan2 and a square root per pixel and depend only on the geometry, while the colours
    // change with every brightness step, so they are kept apart.
    struct DiscGeometry {
        QSize pixels;
        qreal dpr = 0;
        int side = -1, border = -1, baseAngle = -1, sign = 0;
        bool ring = false;
        std::vector<std::uint8_t> alpha; // per device pixel, row by row
        // Per painted pixel (alpha > 0), in the same order: the hue, the hue in sextants (hue / 60,
        // spared a division per pixel on every render) and the saturation.
        std::vector<double> hue, sextant, sat;
    };
    const DiscGeometry& Geometry(QSize pixels, qreal dpr) const;
    void DrawOverlay(QPainter& painter) const;

    int FBaseAngle = 0;
    std::uint8_t FBorder = 10;
    double FHue = 0;
    double FSaturation = 1;
    double FBrightness = 1;
    TColorMode FColorMode = cmHueSatBrt;
    TColorVisionType FColorVisionType = cvtNorm;
    TDirection FDirection = dirClockwise;
    bool FTransferMode = false;
    bool FWebSafe = false;
    bool FExplicit = false;
    TColor FExplicitColor = 0;
    bool FTracking = false;
    int FUpdateCount = 0;
    bool FPendingChange = false;
    TColorTransfer FTransfer;
    CachedBackground FDisc;
    mutable DiscGeometry FGeometry;
};
