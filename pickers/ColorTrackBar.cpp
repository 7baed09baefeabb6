#include "pickers/ColorTrackBar.h"

#include "pickers/ColorWheel.h"
#include "pickers/SysColors.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr int kEndMargin = 8;
constexpr int kDefaultLength = 160;
constexpr int kDefaultBreadth = 8;
constexpr int kSysBtnShadow = 16;
constexpr int kSysBtnHighlight = 20;

// a × b / c rounded to the nearest, halves away from zero, like the classic multiply-divide
// of the platform the slider arithmetic was laid down on. A zero divisor answers 0.
int MulDiv(int a, int b, int c)
{
    if (c == 0)
        return 0;
    const long long n = static_cast<long long>(a) * b;
    const long long d = c;
    const long long q = (2 * std::llabs(n) + std::llabs(d)) / (2 * std::llabs(d));
    return static_cast<int>((n < 0) != (d < 0) ? -q : q);
}

// A colour property as drawn: system colours from the widget's palette, then the simulation.
QColor Resolve(TColor color, const QPalette& palette, TColorVisionType vision)
{
    if (IsSystemColor(color))
        color = SysColorFromPalette(static_cast<int>(color & 0xFF), palette);
    return QColorFromTColor(SimulateColorVision(color, vision));
}

inline QRgb Opaque(TColor c)
{
    return qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
}

// Holds a flag for the length of a call, also when the handler re-enters.
class FlagScope {
public:
    explicit FlagScope(bool& flag)
        : m_flag(flag)
        , m_old(flag)
    {
        m_flag = true;
    }
    ~FlagScope() { m_flag = m_old; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& m_flag;
    bool m_old;
};

} // namespace

TColorTrackBar::TColorTrackBar(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    FColor = HSBToColor(FHSB.H, FHSB.S, FHSB.B);
    FromHSB();
    resize(sizeHint());
}

int TColorTrackBar::MaximumOf(TGradientType Type)
{
    switch (Type) {
    case gtRGB_R:
    case gtRGB_G:
    case gtRGB_B: return 255;
    case gtHSB_H: return 359;
    case gtHSB_S:
    case gtHSB_B: return 100;
    case gtHSL_H: return 239;
    case gtHSL_S:
    case gtHSL_L: return 240;
    }
    return 255;
}

int TColorTrackBar::Maximum() const
{
    return MaximumOf(FGradientType);
}

TColorTrackBar::TMargins TColorTrackBar::Margins() const
{
    TMargins m;
    if (FOrientation == orHorizontal) {
        const bool captioned = !FCaption.isEmpty() || !FCaption2.isEmpty();
        m.Left = m.Right = kEndMargin;
        m.Top = captioned ? fontMetrics().height() + 1 : 1;
        m.Bottom = FMarkerSize + 1;
    } else {
        m.Left = m.Right = FMarkerSize + 1;
        m.Top = m.Bottom = kEndMargin;
    }
    return m;
}

QRect TColorTrackBar::TrackRect() const
{
    const TMargins m = Margins();
    return {m.Left, m.Top, std::max(0, width() - m.Left - m.Right), std::max(0, height() - m.Top - m.Bottom)};
}

int TColorTrackBar::TrackLength() const
{
    const QRect r = TrackRect();
    return FOrientation == orHorizontal ? r.width() : r.height();
}

QSize TColorTrackBar::sizeHint() const
{
    const TMargins m = Margins();
    if (FOrientation == orHorizontal)
        return {m.Left + m.Right + kDefaultLength, m.Top + m.Bottom + kDefaultBreadth};
    return {m.Left + m.Right + kDefaultBreadth, m.Top + m.Bottom + kDefaultLength};
}

// ---- colour ----------------------------------------------------------------------------------

void TColorTrackBar::FromHSB()
{
    FColor = HSBToColor(FHSB.H, FHSB.S, FHSB.B);
    const double keptHue = FHSB.H / 360;
    FHSL = ColorToHSL(FColor);
    // A grey has no hue of its own; keep the one the HSB values carry, so the HSL ramps of a
    // grey show the hue the user was on instead of red.
    if (FHSL.S == 0)
        FHSL.H = keptHue >= 1 ? keptHue - 1 : keptHue;
}

void TColorTrackBar::FromHSL()
{
    FColor = HSLToColor(FHSL.H, FHSL.S, FHSL.L);
    const TRGBf rgb = HSLToRGB(FHSL.H, FHSL.S, FHSL.L);
    const double keptHue = FHSB.H;
    FHSB = RGBToHSB(rgb.R, rgb.G, rgb.B);
    if (FHSB.S == 0)
        FHSB.H = keptHue;
}

int TColorTrackBar::PositionFromColor() const
{
    int value = 0;
    switch (FGradientType) {
    case gtRGB_R: value = GetRValue(FColor); break;
    case gtRGB_G: value = GetGValue(FColor); break;
    case gtRGB_B: value = GetBValue(FColor); break;
    case gtHSB_H: value = Round(FHSB.H); break;
    case gtHSB_S: value = Round(FHSB.S * 100); break;
    case gtHSB_B: value = Round(FHSB.B * 100); break;
    case gtHSL_H: value = Round(FHSL.H * 239); break;
    case gtHSL_S: value = Round(FHSL.S * 240); break;
    case gtHSL_L: value = Round(FHSL.L * 240); break;
    }
    // A hue of 359.6 rounds to 360, one past the hue slider's end.
    return std::clamp(value, 0, Maximum());
}

void TColorTrackBar::ColorChanged()
{
    FBackground.invalidate();
    FPosition = PositionFromColor();
    update();
}

void TColorTrackBar::SetHSB(double Hue, double Sat, double Brt)
{
    if (FFiring)
        return;
    if (Hue == FHSB.H && Sat == FHSB.S && Brt == FHSB.B)
        return;
    FHSB = {Hue, Sat, Brt};
    FromHSB();
    ColorChanged();
}

void TColorTrackBar::SetHSB_Hue(double Value)
{
    if (FFiring || Value == FHSB.H)
        return;
    FHSB.H = Value;
    FromHSB();
    ColorChanged();
}

void TColorTrackBar::SetHSB_Sat(double Value)
{
    if (FFiring || Value == FHSB.S)
        return;
    FHSB.S = Value;
    FromHSB();
    ColorChanged();
}

void TColorTrackBar::SetHSB_Brt(double Value)
{
    if (FFiring || Value == FHSB.B)
        return;
    FHSB.B = Value;
    FromHSB();
    ColorChanged();
}

void TColorTrackBar::SetHSL_Hue(double Value)
{
    if (FFiring || Value == FHSL.H)
        return;
    FHSL.H = Value;
    FromHSL();
    ColorChanged();
}

void TColorTrackBar::SetHSL_Sat(double Value)
{
    if (FFiring || Value == FHSL.S)
        return;
    FHSL.S = Value;
    FromHSL();
    ColorChanged();
}

void TColorTrackBar::SetHSL_Lum(double Value)
{
    if (FFiring || Value == FHSL.L)
        return;
    FHSL.L = Value;
    FromHSL();
    ColorChanged();
}

// ---- properties ------------------------------------------------------------------------------

void TColorTrackBar::SetPosition(int Value)
{
    if (Value < 0 || FFiring)
        return;
    Value = std::min(Value, Maximum());
    if (Value == FPosition)
        return;
    FPosition = Value;
    update();
}

void TColorTrackBar::SetGradientType(TGradientType Value)
{
    if (Value == FGradientType)
        return;
    FGradientType = Value;
    // The old position means nothing on the new scale; show where the colour sits on it.
    ColorChanged();
}

void TColorTrackBar::SetGradientSubType(TGradientSubType Value)
{
    if (Value == FGradientSubType)
        return;
    FGradientSubType = Value;
    FBackground.invalidate();
    update();
}

void TColorTrackBar::SetOrientation(TTrackBarOrientation Value)
{
    if (Value == FOrientation)
        return;
    // The slider turns about its track: the length stays, the breadth of the ramp stays, and
    // the margins are those of the new direction.
    const int length = FOrientation == orHorizontal ? width() : height();
    const QRect track = TrackRect();
    const int breadth = FOrientation == orHorizontal ? track.height() : track.width();
    FOrientation = Value;
    const TMargins m = Margins();
    if (FOrientation == orHorizontal)
        resize(length, m.Top + m.Bottom + breadth);
    else
        resize(m.Left + m.Right + breadth, length);
    FBackground.invalidate();
    update();
}

void TColorTrackBar::SetArtisticMode(bool Value)
{
    if (Value == FArtisticMode)
        return;
    FArtisticMode = Value;
    FBackground.invalidate();
    update();
}

void TColorTrackBar::SetCaption(const QString& Value)
{
    if (Value == FCaption)
        return;
    FCaption = Value;
    update();
}

void TColorTrackBar::SetCaption2(const QString& Value)
{
    if (Value == FCaption2)
        return;
    FCaption2 = Value;
    update();
}

void TColorTrackBar::SetMarkerColor(TColor Value)
{
    if (Value == FMarkerColor)
        return;
    FMarkerColor = Value;
    update();
}

void TColorTrackBar::SetMarkerOutline(TColor Value)
{
    if (Value == FMarkerOutline)
        return;
    FMarkerOutline = Value;
    update();
}

void TColorTrackBar::SetMarkerSize(int Value)
{
    Value = std::max(1, Value);
    if (Value == FMarkerSize)
        return;
    FMarkerSize = Value;
    update();
}

void TColorTrackBar::SetFlat(bool Value)
{
    if (Value == FFlat)
        return;
    FFlat = Value;
    update();
}

void TColorTrackBar::SetBorderColor(TColor Value)
{
    if (Value == FBorderColor)
        return;
    FBorderColor = Value;
    update();
}

void TColorTrackBar::SetColorVisionType(TColorVisionType Value)
{
    if (Value == FColorVisionType)
        return;
    FColorVisionType = Value;
    FBackground.invalidate();
    update();
}

void TColorTrackBar::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange) {
        FBackground.invalidate();
        update();
    } else if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange) {
        update();
    }
    QWidget::changeEvent(event);
}

// ---- ramp ------------------------------------------------------------------------------------

TColor TColorTrackBar::RampColor(int p, int length) const
{
    const double t = static_cast<double>(p) / length;
    const int a = MulDiv(p, 255, length);
    const int r = GetRValue(FColor), g = GetGValue(FColor), b = GetBValue(FColor);
    const bool simple = FGradientSubType == gstSimple;
    auto hsb = [this](double h, double s, double v) {
        // Artistic mode reads the ramp position as a place on the painter's wheel.
        return FArtisticMode ? FTransfer.ArtisticToColor(h, s, v, -1, -1, -1) : HSBToColor(h, s, v);
    };
    switch (FGradientType) {
    case gtRGB_R: return simple ? RGB(255, 255 - a, 255 - a) : RGB(a, g, b);
    case gtRGB_G: return simple ? RGB(255 - a, 255, 255 - a) : RGB(r, a, b);
    case gtRGB_B: return simple ? RGB(255 - a, 255 - a, 255) : RGB(r, g, a);
    case gtHSB_H: return hsb(360.0 * p / length, FHSB.S, FHSB.B);
    case gtHSB_S: return hsb(FHSB.H, t, FHSB.B);
    case gtHSB_B: return hsb(FHSB.H, FHSB.S, t);
    case gtHSL_H: return HSLToColor(t, FHSL.S, FHSL.L);
    case gtHSL_S: return HSLToColor(FHSL.H, t, FHSL.L);
    case gtHSL_L: return HSLToColor(FHSL.H, FHSL.S, t);
    }
    return FColor;
}

void TColorTrackBar::RenderRamp(QImage& image) const
{
    // One line across the track per device pixel along it: at ratio 2 the ramp has twice the
    // steps, and at ratio 1 each pixel p is exactly p / L.
    const bool horizontal = FOrientation == orHorizontal;
    const int length = horizontal ? image.width() : image.height();
    const int breadth = horizontal ? image.height() : image.width();
    if (length <= 0 || breadth <= 0)
        return;
    if (horizontal) {
        auto* first = reinterpret_cast<QRgb*>(image.scanLine(0));
        for (int p = 0; p < length; ++p)
            first[p] = Opaque(SimulateColorVision(RampColor(p, length), FColorVisionType));
        for (int y = 1; y < breadth; ++y)
            std::copy(first, first + length, reinterpret_cast<QRgb*>(image.scanLine(y)));
    } else {
        for (int p = 0; p < length; ++p) {
            const QRgb px = Opaque(SimulateColorVision(RampColor(p, length), FColorVisionType));
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(p));
            std::fill(line, line + breadth, px);
        }
    }
}

// ---- painting --------------------------------------------------------------------------------

QPoint TColorTrackBar::MarkerApex() const
{
    const TMargins m = Margins();
    const int offset = MulDiv(FPosition, TrackLength(), Maximum());
    if (FOrientation == orHorizontal)
        return {m.Left + offset, height() - m.Bottom + 2};
    // The left marker; the right one mirrors it across the track.
    return {m.Left - 3, m.Top + offset};
}

void TColorTrackBar::DrawMarker(QPainter& p, QPoint apex, double angle) const
{
    const double size = FMarkerSize;
    const auto corner = [&](double degrees) {
        const double rad = degrees * std::numbers::pi / 180;
        return QPointF(apex.x() + Round(std::cos(rad) * size), apex.y() + Round(std::sin(rad) * size));
    };
    // Vertices on pixel centres, so the apex sits on the middle of the ramp column it marks.
    const QPointF half(0.5, 0.5);
    QPolygonF triangle;
    triangle << QPointF(apex) + half << corner(angle + 30) + half << corner(angle - 30) + half;
    p.setBrush(Resolve(FMarkerColor, palette(), FColorVisionType));
    p.setPen(QPen(Resolve(FMarkerOutline, palette(), FColorVisionType), 0.5));
    p.drawPolygon(triangle);
}

void TColorTrackBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), palette().color(backgroundRole()));
    const QRect track = TrackRect();
    if (track.isEmpty())
        return;
    if (isEnabled())
        FBackground.draw(p, this, track.topLeft(), track.size(), [this](QImage& image) { RenderRamp(image); });

    const QRect frame = track.adjusted(-1, -1, 1, 1);
    if (FFlat) {
        const QColor border = Resolve(FBorderColor, palette(), FColorVisionType);
        p.fillRect(QRect(frame.left(), frame.top(), frame.width(), 1), border);
        p.fillRect(QRect(frame.left(), frame.bottom(), frame.width(), 1), border);
        p.fillRect(QRect(frame.left(), frame.top(), 1, frame.height()), border);
        p.fillRect(QRect(frame.right(), frame.top(), 1, frame.height()), border);
    } else {
        const QColor shadow = QColorFromTColor(SysColorFromPalette(kSysBtnShadow, palette()));
        const QColor light = QColorFromTColor(SysColorFromPalette(kSysBtnHighlight, palette()));
        p.fillRect(QRect(frame.left(), frame.bottom(), frame.width(), 1), light);
        p.fillRect(QRect(frame.right(), frame.top(), 1, frame.height()), light);
        p.fillRect(QRect(frame.left(), frame.top(), frame.width() - 1, 1), shadow);
        p.fillRect(QRect(frame.left(), frame.top(), 1, frame.height() - 1), shadow);
    }

    const TMargins m = Margins();
    if (FOrientation == orHorizontal) {
        if (!FCaption.isEmpty() || !FCaption2.isEmpty()) {
            p.setPen(palette().color(QPalette::WindowText));
            const int textHeight = fontMetrics().height();
            p.drawText(QRect(m.Left, 0, track.width(), textHeight), Qt::AlignLeft | Qt::AlignTop, FCaption);
            p.drawText(QRect(m.Left, 0, track.width(), textHeight), Qt::AlignRight | Qt::AlignTop, FCaption2);
        }
    }

    p.setRenderHint(QPainter::Antialiasing);
    const QPoint apex = MarkerApex();
    if (FOrientation == orHorizontal) {
        DrawMarker(p, apex, 90);
    } else {
        DrawMarker(p, apex, 180);
        // Mirror of the left marker: as far right of the track as the left one is left of it.
        DrawMarker(p, QPoint(width() - m.Right + 2, apex.y()), 0);
    }
}

// ---- mouse -----------------------------------------------------------------------------------

void TColorTrackBar::MoveTo(QPointF Pos)
{
    const TMargins m = Margins();
    const int length = TrackLength();
    const int along = FOrientation == orHorizontal ? qFloor(Pos.x()) - m.Left : qFloor(Pos.y()) - m.Top;
    const int position = MulDiv(std::clamp(along, 0, length), Maximum(), length);
    if (position != FPosition) {
        FPosition = position;
        update();
    }
    if (!isEnabled())
        return;
    FlagScope firing(FFiring);
    if (OnPositionChange)
        OnPositionChange(this, FPosition);
    Q_EMIT positionChanged(FPosition);
}

void TColorTrackBar::mousePressEvent(QMouseEvent* event)
{
    FTracking = true;
    MoveTo(event->position());
}

void TColorTrackBar::mouseMoveEvent(QMouseEvent* event)
{
    if (FTracking)
        MoveTo(event->position());
}

void TColorTrackBar::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->buttons() == Qt::NoButton)
        FTracking = false;
}

void ApplyTrackBarPosition(TColorWheel& Wheel, const TColorTrackBar& Slider, int Position)
{
    switch (Slider.GradientType()) {
    case gtRGB_R: Wheel.SetRed(Position); break;
    case gtRGB_G: Wheel.SetGreen(Position); break;
    case gtRGB_B: Wheel.SetBlue(Position); break;
    case gtHSB_H: Wheel.SetHue(Position); break;
    case gtHSB_S: Wheel.SetSaturation(Position / 100.0); break;
    case gtHSB_B: Wheel.SetBrightness(std::max(Position, 1) / 100.0); break;
    case gtHSL_H: Wheel.SetSelectionColor(HSLToColor(Position / 239.0, Slider.HSL_Sat(), Slider.HSL_Lum())); break;
    case gtHSL_S: Wheel.SetSelectionColor(HSLToColor(Slider.HSL_Hue(), Position / 240.0, Slider.HSL_Lum())); break;
    case gtHSL_L:
        Wheel.SetSelectionColor(HSLToColor(Slider.HSL_Hue(), Slider.HSL_Sat(), std::clamp(Position, 2, 238) / 240.0));
        break;
    }
}
