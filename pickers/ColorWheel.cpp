#include "pickers/ColorWheel.h"

#include "colour/Colors.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QStyleOptionFocusRect>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kDegPerRad = 180.0 / std::numbers::pi;

QColor ToQColor(TColor c)
{
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

// Screen angle of (dx, dy) with y growing downward, degrees counter-clockwise from 3 o'clock.
double ScreenAngle(double dx, double dy)
{
    return std::atan2(-dy, dx) * kDegPerRad;
}

} // namespace

TColorWheel::TColorWheel(QWidget* parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(200, 200);
}

TColorWheel::~TColorWheel() = default;

// --- properties -------------------------------------------------------------------------------

void TColorWheel::SetBaseAngle(int Value)
{
    Value %= 360;
    if (Value < 0)
        Value += 360;
    if (Value == FBaseAngle)
        return;
    FBaseAngle = Value;
    InvalidateDisc();
}

void TColorWheel::SetBorder(std::uint8_t Value)
{
    if (Value == FBorder)
        return;
    FBorder = Value;
    InvalidateDisc();
}

void TColorWheel::SetHue(double Value)
{
    Value = WrapAngle(+1, Value);
    if (Value == FHue)
        return;
    FHue = Value;
    FExplicit = false;
    update();
    Notify();
}

void TColorWheel::SetSaturation(double Value)
{
    if (std::isnan(Value))
        return;
    Value = std::clamp(Value, 0.0, 1.0);
    if (Value == FSaturation)
        return;
    FSaturation = Value;
    FExplicit = false;
    update();
    Notify();
}

void TColorWheel::SetBrightness(double Value)
{
    if (std::isnan(Value))
        return;
    Value = std::clamp(Value, 0.0, 1.0);
    if (Value == FBrightness)
        return;
    FBrightness = Value;
    FExplicit = false;
    InvalidateDisc();
    Notify();
}

void TColorWheel::SetHSB(double Hue, double Saturation, double Brightness)
{
    BeginUpdate();
    SetHue(Hue);
    SetSaturation(Saturation);
    SetBrightness(Brightness);
    EndUpdate();
}

void TColorWheel::GetHSB(double& Hue, double& Saturation, double& Brightness) const
{
    Hue = FHue;
    Saturation = FSaturation;
    Brightness = FBrightness;
}

void TColorWheel::ScientificHSB(double& h, double& s, double& b) const
{
    h = FHue;
    s = FSaturation;
    b = FBrightness;
    if (FTransferMode)
        FTransfer.ArtisticToHSB(h, s, b, 0, -1);
}

int TColorWheel::Red() const
{
    double h, s, b;
    ScientificHSB(h, s, b);
    return Round(HSBToRGB(h, s, b).R * 255);
}

int TColorWheel::Green() const
{
    double h, s, b;
    ScientificHSB(h, s, b);
    return Round(HSBToRGB(h, s, b).G * 255);
}

int TColorWheel::Blue() const
{
    double h, s, b;
    ScientificHSB(h, s, b);
    return Round(HSBToRGB(h, s, b).B * 255);
}

void TColorWheel::SetRed(int Value)
{
    SetChannel(0, Value);
}
void TColorWheel::SetGreen(int Value)
{
    SetChannel(1, Value);
}
void TColorWheel::SetBlue(int Value)
{
    SetChannel(2, Value);
}

void TColorWheel::SetChannel(int index, int value)
{
    value = std::clamp(value, 0, 255);
    double h, s, b;
    ScientificHSB(h, s, b);
    TRGBf rgb = HSBToRGB(h, s, b);
    double* channel = index == 0 ? &rgb.R : index == 1 ? &rgb.G : &rgb.B;
    if (Round(*channel * 255) == value)
        return;
    // The other two keep their exact fractions, so nudging one channel never drifts the others.
    *channel = value / 255.0;
    THSB hsb = RGBToHSB(rgb.R, rgb.G, rgb.B);
    if (FTransferMode)
        FTransfer.HSBToArtistic(hsb.H, hsb.S, hsb.B, false);
    const bool brightnessChanged = hsb.B != FBrightness;
    FHue = hsb.H;
    FSaturation = hsb.S;
    FBrightness = hsb.B;
    FExplicit = false;
    if (brightnessChanged)
        InvalidateDisc();
    update();
    Notify();
}

TColor TColorWheel::SelectionColor() const
{
    if (FTransferMode)
        return FTransfer.ArtisticToColor(FHue, FSaturation, FBrightness, -1, 0, 0);
    return HSBToColor(FHue, FSaturation, FBrightness);
}

void TColorWheel::SetSelectionColor(TColor Value)
{
    const TColor color = ColorToRGB(Value);
    THSB hsb = ColorToHSB(color);
    if (FTransferMode)
        FTransfer.HSBToArtistic(hsb.H, hsb.S, hsb.B, false);
    if (FExplicit && FExplicitColor == color && FHue == hsb.H && FSaturation == hsb.S && FBrightness == hsb.B)
        return;
    const bool brightnessChanged = hsb.B != FBrightness;
    FHue = hsb.H;
    FSaturation = hsb.S;
    FBrightness = hsb.B;
    FExplicit = true;
    FExplicitColor = color;
    if (brightnessChanged)
        InvalidateDisc();
    update();
    Notify();
}

void TColorWheel::SetColorMode(TColorMode Value)
{
    if (Value == FColorMode)
        return;
    FColorMode = Value;
    InvalidateDisc();
    // What the wheel reports (the ring modes report saturation 1, two modes brightness 1) changes.
    Notify();
}

void TColorWheel::SetColorVisionType(TColorVisionType Value)
{
    if (Value == FColorVisionType)
        return;
    FColorVisionType = Value;
    InvalidateDisc();
}

void TColorWheel::SetDirection(TDirection Value)
{
    if (Value == FDirection)
        return;
    FDirection = Value;
    InvalidateDisc();
}

void TColorWheel::SetTransferMode(bool Value)
{
    if (Value == FTransferMode)
        return;
    // The stored triple moves into the other space, so the colour itself stays put.
    if (Value)
        FTransfer.HSBToArtistic(FHue, FSaturation, FBrightness, false);
    else
        FTransfer.ArtisticToHSB(FHue, FSaturation, FBrightness, 0, -1);
    FHue = WrapAngle(+1, FHue);
    FSaturation = std::clamp(FSaturation, 0.0, 1.0);
    FBrightness = std::clamp(FBrightness, 0.0, 1.0);
    FTransferMode = Value;
    // The disc is drawn in the other space now.
    InvalidateDisc();
    Notify();
}

void TColorWheel::SetWebSafe(bool Value)
{
    if (Value == FWebSafe)
        return;
    FWebSafe = Value;
    InvalidateDisc();
}

// --- batching and events ----------------------------------------------------------------------

void TColorWheel::BeginUpdate()
{
    ++FUpdateCount;
}

void TColorWheel::EndUpdate()
{
    if (FUpdateCount == 0)
        return;
    if (--FUpdateCount > 0)
        return;
    update();
    if (FPendingChange) {
        FPendingChange = false;
        FireColorChange();
    }
}

void TColorWheel::Notify()
{
    if (FUpdateCount > 0) {
        FPendingChange = true;
        return;
    }
    FireColorChange();
}

void TColorWheel::FireColorChange()
{
    const double hue = FHue;
    const double sat = IsRing() ? 1.0 : FSaturation;
    const double brt = (FColorMode == cmHueSatBrt || FColorMode == cmHueBrt) ? FBrightness : 1.0;
    double hueTr = hue, satTr = sat, brtTr = brt;
    if (FTransferMode)
        FTransfer.ArtisticToHSB(hueTr, satTr, brtTr, 0, -1);
    const TColor ref = FExplicit ? FExplicitColor : HSBToColor(hueTr, satTr, brtTr);
    if (OnColorChange)
        OnColorChange(this, hue, sat, brt, hueTr, satTr, brtTr, ref);
    Q_EMIT colorChanged(hue, sat, brt, ref);
}

void TColorWheel::InvalidateDisc()
{
    FDisc.invalidate();
    update();
}

// --- geometry ---------------------------------------------------------------------------------

int TColorWheel::Side() const
{
    return std::max(0, std::min(width(), height()));
}

QPoint TColorWheel::SquareOrigin() const
{
    const int side = Side();
    return {(width() - side) / 2, (height() - side) / 2};
}

QPoint TColorWheel::WheelCenter() const
{
    const int side = Side();
    return SquareOrigin() + QPoint(side / 2, side / 2);
}

int TColorWheel::WheelRadius() const
{
    return Side() / 2 - FBorder;
}

void TColorWheel::HueSatAt(QPointF pos, double& Hue, double& Saturation) const
{
    const QPoint c = WheelCenter();
    const double dx = pos.x() - c.x();
    const double dy = pos.y() - c.y();
    Hue = WrapAngle(Sign(), ScreenAngle(dx, dy) - FBaseAngle);
    const int t = Round(std::sqrt(dx * dx + dy * dy));
    const int r = WheelRadius();
    Saturation = t < r ? static_cast<double>(t) / r : 1.0;
}

TColor TColorWheel::Simulated(TColor c) const
{
    return FColorVisionType == cvtNorm ? c : SimulateColorVision(c, FColorVisionType);
}

// --- drawing ----------------------------------------------------------------------------------

QImage TColorWheel::RenderDisc(qreal dpr) const
{
    const int side = Side();
    const QSize pixels = CachedBackground::deviceSize(QSize(side, side), dpr);
    if (pixels.isEmpty())
        return {};
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::transparent);
    RenderDiscInto(image);
    return image;
}

const TColorWheel::DiscGeometry& TColorWheel::Geometry(QSize pixels, qreal dpr) const
{
    DiscGeometry& g = FGeometry;
    const int side = Side();
    if (g.pixels == pixels && g.dpr == dpr && g.side == side && g.border == FBorder && g.baseAngle == FBaseAngle
        && g.sign == Sign() && g.ring == IsRing())
        return g;
    g.pixels = pixels;
    g.dpr = dpr;
    g.side = side;
    g.border = FBorder;
    g.baseAngle = FBaseAngle;
    g.sign = Sign();
    g.ring = IsRing();
    g.alpha.assign(static_cast<size_t>(pixels.width()) * pixels.height(), 0);
    g.hue.clear();
    g.sextant.clear();
    g.sat.clear();

    const int r = side / 2 - FBorder;
    if (r <= 0)
        return g;
    const double centre = side / 2;
    // Squared limits of the painted area in logical pixels: a little past the rim so the
    // anti-aliased edge has colour under it, and for the ring modes an inner hole.
    const double outer = Round((r + 0.8) * (r + 0.8));
    const double inner = g.ring ? Round(outer * 0.65) : 0.0;
    const double innerRadius = std::sqrt(inner);
    // Below this the inner edge's coverage is zero.
    const double innerSkip = inner > 0 ? std::pow(std::max(0.0, innerRadius - 0.5 / dpr), 2) : 0.0;

    size_t index = 0;
    for (int j = 0; j < pixels.height(); ++j) {
        // A device pixel stands for the logical point half a pixel before its middle: at ratio 1
        // that is the integer pixel position a click reports.
        const double dy = (j + 0.5) / dpr - 0.5 - centre;
        for (int i = 0; i < pixels.width(); ++i, ++index) {
            const double dx = (i + 0.5) / dpr - 0.5 - centre;
            const double q = dx * dx + dy * dy;
            if (q > outer || q < innerSkip)
                continue;
            const double dist = std::sqrt(q);
            // Coverage of the rim (and of the ring's inner edge) in device pixels.
            double alpha = std::clamp((r - dist) * dpr + 0.5, 0.0, 1.0);
            if (g.ring)
                alpha *= std::clamp((dist - innerRadius) * dpr + 0.5, 0.0, 1.0);
            const int a = Round(alpha * 255);
            if (a == 0)
                continue;
            g.alpha[index] = static_cast<std::uint8_t>(a);
            const double hue = WrapAngle(g.sign, ScreenAngle(dx, dy) - FBaseAngle);
            g.hue.push_back(hue);
            g.sextant.push_back(hue / 60);
            g.sat.push_back(g.ring ? 1.0 : std::min(1.0, dist / r));
        }
    }
    return g;
}

namespace {

// Round to nearest, ties to even, for 0 ≤ x < 2^51: the same answer as Round() without the
// library call std::nearbyint costs on every pixel.
inline int RoundSmall(double x)
{
    constexpr double kMagic = 6755399441055744.0; // 1.5 · 2^52
    return static_cast<int>((x + kMagic) - kMagic);
}

inline int FractionToByte(double fraction)
{
    return std::clamp(RoundSmall(std::max(0.0, fraction) * 255.0), 0, 255);
}

// HSBToColor for a hue already in [0, 360), given as hh = hue / 60, and s, v in 0..1: step for
// step the same arithmetic, so the disc shows exactly the colour the wheel reports for a place.
inline TColor DiscColor(double hh, double s, double v)
{
    const int i = static_cast<int>(hh);
    const double f = hh - i;
    const int V = FractionToByte(v);
    const int p = FractionToByte(v * (1 - s));
    const int q = FractionToByte(v * (1 - s * f));
    const int t = FractionToByte(v * (1 - s * (1 - f)));
    switch (i) {
    case 0: return RGB(V, t, p);
    case 1: return RGB(q, V, p);
    case 2: return RGB(p, V, t);
    case 3: return RGB(p, q, V);
    case 4: return RGB(t, p, V);
    default: return RGB(V, p, q);
    }
}

} // namespace

void TColorWheel::RenderDiscInto(QImage& image) const
{
    const DiscGeometry& g = Geometry(image.size(), image.devicePixelRatio());
    const double v = FBrightness;
    const int width = image.width(), height = image.height();
    const std::uint8_t* alpha = g.alpha.data();
    size_t painted = 0;
    for (int j = 0; j < height; ++j) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(j));
        for (int i = 0; i < width; ++i) {
            const int a = *alpha++;
            if (a == 0)
                continue;
            const double sat = g.sat[painted];
            TColor c = FTransferMode ? FTransfer.ArtisticToColor(g.hue[painted], sat, v, -1, 0, 0)
                                     : DiscColor(g.sextant[painted], sat, v);
            ++painted;
            if (FWebSafe)
                c = WebSafeColor(c);
            if (FColorVisionType != cvtNorm)
                c = SimulateColorVision(c, FColorVisionType);
            if (a == 255) {
                line[i] = qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
            } else {
                const auto premul = [a](int x) { return (x * a + 127) / 255; };
                line[i] = qRgba(premul(GetRValue(c)), premul(GetGValue(c)), premul(GetBValue(c)), a);
            }
        }
    }
}

void TColorWheel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    // The background is the surface the wheel sits on, not a colour it shows: simulating it would
    // tint a square of the form that the rest of the form does not share.
    painter.fillRect(rect(), palette().color(QPalette::Window));
    const QPoint c = WheelCenter();
    if (!isEnabled()) {
        // A disabled wheel shows where its disc would be, and nothing to pick from.
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(0.5, 0.5);
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(Qt::NoBrush);
        const int r = std::max(0, WheelRadius());
        painter.drawEllipse(QPointF(c), r, r);
        return;
    }
    const int side = Side();
    FDisc.draw(painter, this, SquareOrigin(), QSize(side, side), [this](QImage& image) { RenderDiscInto(image); });
    DrawOverlay(painter);
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = QRect(SquareOrigin(), QSize(side, side)).adjusted(1, 1, -1, -1);
        option.backgroundColor = palette().color(QPalette::Window);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

void TColorWheel::DrawOverlay(QPainter& painter) const
{
    const int R = WheelRadius();
    if (R <= 0)
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(0.5, 0.5);

    const QPointF c = WheelCenter();
    const bool ring = IsRing();
    // In the ring modes the saturation is not shown (the wheel reports 1), so it must not hide
    // the pointer either.
    const double sat = ring ? 1.0 : FSaturation;
    const double phi = (Sign() * FHue + FBaseAngle) / kDegPerRad;
    const QPointF dir(std::cos(phi), -std::sin(phi));
    const QPointF rim = c + dir * R;
    const QColor lineColor = ToQColor(Simulated(FBrightness >= 0.5 ? clBlack : clWhite));
    const QColor grey = ToQColor(Simulated(HSBToColor(0, 0, sat)));

    // 1. The radial line (the ring modes leave it out).
    if (sat > 0 && !ring) {
        painter.setPen(QPen(lineColor, 0.7));
        painter.drawLine(c, rim);
    }
    // 2. The saturation circle and the centre dot.
    if (!ring) {
        painter.setBrush(Qt::NoBrush);
        if (sat > 0) {
            const int radius = Round(sat * R);
            painter.setPen(QPen(grey, sat / 3 + 0.7));
            painter.drawEllipse(c, radius, radius);
        }
        painter.setPen(QPen(grey, 2));
        painter.drawEllipse(c, 2, 2);
    }
    // 3. The pointer triangle outside the rim.
    if (sat > 0) {
        const auto outward = [&](double degrees) {
            const double a = phi + degrees / kDegPerRad;
            return rim + QPointF(std::cos(a), -std::sin(a)) * 10;
        };
        const QPointF triangle[3] = {rim, outward(30), outward(-30)};
        const QColor black = ToQColor(Simulated(clBlack));
        painter.setPen(QPen(black, 0.4));
        painter.setBrush(black);
        painter.drawPolygon(triangle, 3);
    }
    // 4. The marker on the current colour.
    if (sat > 0 && !ring) {
        const QPointF marker = c + QPointF(Round(std::cos(phi) * sat * R), -Round(std::sin(phi) * sat * R));
        painter.setPen(QPen(lineColor, 0.7));
        painter.setBrush(ToQColor(Simulated(SelectionColor())));
        painter.drawEllipse(marker, 4, 4);
    }
    painter.restore();
}

// --- events -----------------------------------------------------------------------------------

void TColorWheel::resizeEvent(QResizeEvent* event)
{
    // The cache notices the new size by itself; only the picture has to follow.
    QWidget::resizeEvent(event);
    update();
}

void TColorWheel::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange) {
        FTracking = false;
        InvalidateDisc();
    } else if (event->type() == QEvent::PaletteChange) {
        update();
    }
    QWidget::changeEvent(event);
}

void TColorWheel::MoveTo(QPointF pos, Qt::KeyboardModifiers modifiers)
{
    double hue, sat;
    HueSatAt(pos, hue, sat);
    // Ctrl keeps the hue, Shift keeps the saturation.
    if (!(modifiers & Qt::ControlModifier))
        FHue = hue;
    if (!(modifiers & Qt::ShiftModifier))
        FSaturation = sat;
}

void TColorWheel::mousePressEvent(QMouseEvent* event)
{
    const State before = Snapshot();
    FTracking = true;
    FExplicit = false;
    MoveTo(event->position(), event->modifiers());
    if (Snapshot() != before) {
        update();
        Notify();
    }
    event->accept();
}

void TColorWheel::mouseMoveEvent(QMouseEvent* event)
{
    if (!FTracking)
        return QWidget::mouseMoveEvent(event);
    const State before = Snapshot();
    MoveTo(event->position(), event->modifiers());
    if (Snapshot() != before) {
        update();
        Notify();
    }
    event->accept();
}

void TColorWheel::mouseReleaseEvent(QMouseEvent* event)
{
    if (!FTracking)
        return QWidget::mouseReleaseEvent(event);
    // One button may be released while another is still down; tracking ends with the last one.
    if (event->buttons() != Qt::NoButton)
        return;
    FTracking = false;
    event->accept();
    if (OnMouseUp)
        OnMouseUp(this);
    Q_EMIT mouseReleased();
}

void TColorWheel::keyPressEvent(QKeyEvent* event)
{
    // Arrows nudge the colour: Right raises the hue and Left lowers it, Up and Down move the
    // saturation; Shift takes steps ten times as big.
    const double step = (event->modifiers() & Qt::ShiftModifier) ? 10 : 1;
    switch (event->key()) {
    case Qt::Key_Left: SetHue(FHue - step); break;
    case Qt::Key_Right: SetHue(FHue + step); break;
    case Qt::Key_Up: SetSaturation(std::min(1.0, FSaturation + step / 100)); break;
    case Qt::Key_Down: SetSaturation(std::max(0.0, FSaturation - step / 100)); break;
    default: return QWidget::keyPressEvent(event);
    }
    event->accept();
}

void TColorWheel::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    update();
}

void TColorWheel::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    update();
}
