#include "pickers/ColorSampler.h"

#include "colour/Colors.h"
#include "pickers/SysColors.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <cmath>
#include <vector>

namespace {

constexpr int kSysBtnFace = 15;
constexpr int kSysBtnShadow = 16;
constexpr int kSysBtnHighlight = 20;

inline QRgb Opaque(TColor c)
{
    return qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
}

int FrameInset(TSamplerBorderStyle style)
{
    return (style == bsFlat ? 0 : 1) + 2;
}

// Round(f × 255) held to 0..255, as the colour conversions turn a fraction into a channel byte.
// Adding and taking away 1.5 × 2^52 rounds to the nearest integer, ties to even, in the default
// rounding mode: the same answer as nearbyint without a call into the maths library per channel.
inline int ChannelByte(double fraction)
{
    constexpr double kShift = 6755399441055744.0; // 1.5 × 2^52
    const double scaled = fraction * 255.0;
    const double rounded = (scaled + kShift) - kShift;
    return std::clamp(static_cast<int>(rounded), 0, 255);
}

inline QRgb Pack(const TRGBf& c)
{
    return qRgb(ChannelByte(c.R), ChannelByte(c.G), ChannelByte(c.B));
}

// The field is a hue along x and one other value along y, so everything a conversion works out
// from the hue alone is done once per column and everything from the row's value once per row;
// a pixel is then a few multiplications and three roundings. The arithmetic is that of
// HSLToRGB and HSBToRGB step for step (same operations, same order), so each pixel is exactly
// HSLToColor or HSBToColor of the formula; the sampler tests hold every pixel to that.
struct HslColumn {
    int kind[3]; // which piece of the channel curve: rising, top, falling, bottom
    double x[3];
    double falling[3]; // 2/3 - x
};

HslColumn MakeHslColumn(double hue)
{
    HslColumn c {};
    const double xs[3] = {hue + 1.0 / 3.0, hue, hue - 1.0 / 3.0};
    for (int k = 0; k < 3; ++k) {
        double x = xs[k];
        if (x < 0)
            x += 1;
        else if (x > 1)
            x -= 1;
        c.x[k] = x;
        c.falling[k] = 2.0 / 3.0 - x;
        c.kind[k] = 6 * x < 1 ? 0 : 2 * x < 1 ? 1 : 3 * x < 2 ? 2 : 3;
    }
    return c;
}

inline double HslChannelOf(const HslColumn& c, int k, double m1, double m2)
{
    switch (c.kind[k]) {
    case 0: return m1 + (m2 - m1) * 6 * c.x[k];
    case 1: return m2;
    case 2: return m1 + (m2 - m1) * c.falling[k] * 6;
    default: return m1;
    }
}

void FillHslRow(QRgb* out, const std::vector<HslColumn>& columns, double s, double l)
{
    const int n = static_cast<int>(columns.size());
    if (s == 0) {
        std::fill(out, out + n, Pack({l, l, l}));
        return;
    }
    const double m2 = l <= 0.5 ? l * (1 + s) : l + s - l * s;
    const double m1 = 2 * l - m2;
    for (int i = 0; i < n; ++i) {
        const HslColumn& c = columns[static_cast<size_t>(i)];
        out[i] = Pack({HslChannelOf(c, 0, m1, m2), HslChannelOf(c, 1, m1, m2), HslChannelOf(c, 2, m1, m2)});
    }
}

struct HsbColumn {
    int sextant;
    double f, oneMinusF;
};

HsbColumn MakeHsbColumn(double hue)
{
    const double hh = (hue == 360 ? 0 : hue) / 60;
    const int i = Trunc(hh);
    const double f = hh - i;
    return {i, f, 1 - f};
}

void FillHsbRow(QRgb* out, const std::vector<HsbColumn>& columns, double s, double v)
{
    const int n = static_cast<int>(columns.size());
    if (s == 0) {
        std::fill(out, out + n, Pack({v, v, v}));
        return;
    }
    const double p = v * (1 - s);
    for (int i = 0; i < n; ++i) {
        const HsbColumn& c = columns[static_cast<size_t>(i)];
        const double q = v * (1 - s * c.f);
        const double t = v * (1 - s * c.oneMinusF);
        TRGBf rgb;
        switch (c.sextant) {
        case 0: rgb = {v, t, p}; break;
        case 1: rgb = {q, v, p}; break;
        case 2: rgb = {p, v, t}; break;
        case 3: rgb = {p, q, v}; break;
        case 4: rgb = {t, p, v}; break;
        default: rgb = {v, p, q}; break;
        }
        out[i] = Pack(rgb);
    }
}

void SimulateRow(QRgb* line, int n, TColorVisionType vision)
{
    for (int i = 0; i < n; ++i) {
        const QRgb px = line[i];
        line[i] = Opaque(SimulateColorVision(RGB(qRed(px), qGreen(px), qBlue(px)), vision));
    }
}

} // namespace

QCursor EyedropCursor()
{
    // Drawn rather than loaded: a pipette from the bottom-left tip up to a rubber bulb.
    static const QCursor cursor = [] {
        QPixmap pix(32, 32);
        pix.fill(Qt::transparent);
        QPainter p(&pix);
        p.setRenderHint(QPainter::Antialiasing);
        p.translate(1.5, 30.5);
        p.rotate(-45);
        QPainterPath tube;
        tube.moveTo(0, 0);
        tube.lineTo(4, -2);
        tube.lineTo(22, -2);
        tube.lineTo(22, 2);
        tube.lineTo(4, 2);
        tube.closeSubpath();
        p.setPen(QPen(Qt::black, 1.2));
        p.setBrush(Qt::white);
        p.drawPath(tube);
        p.setBrush(Qt::black);
        p.drawRoundedRect(QRectF(21, -4, 4, 8), 1, 1);
        p.drawRoundedRect(QRectF(25, -3, 11, 6), 3, 3);
        p.end();
        return QCursor(pix, 1, 30);
    }();
    return cursor;
}

TColorSampler::TColorSampler(QWidget* parent)
    : TColorControlBase(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    setCursor(EyedropCursor());
    resize(sizeHint());
}

void TColorSampler::Changed()
{
    FBackground.invalidate();
    update();
}

void TColorSampler::SetPresets(TSamplerPresets Value)
{
    if (Value == FPresets)
        return;
    FPresets = Value;
    Changed();
}

void TColorSampler::SetStyle(TSamplerBorderStyle Value)
{
    if (Value == FStyle)
        return;
    FStyle = Value;
    Changed();
}

void TColorSampler::SetColorVisionType(TColorVisionType Value)
{
    if (Value == FColorVisionType)
        return;
    FColorVisionType = Value;
    Changed();
}

QRect TColorSampler::FieldRect() const
{
    const int inset = FrameInset(FStyle);
    return rect().adjusted(inset, inset, -inset, -inset);
}

void TColorSampler::Render(QImage& image, QSize logicalSize, TSamplerPresets presets, TSamplerBorderStyle style,
    TColorVisionType vision, const QPalette& palette)
{
    const int W = logicalSize.width();
    const int H = logicalSize.height();
    if (W <= 0 || H <= 0 || image.isNull())
        return;
    const qreal dpr = image.devicePixelRatio();
    {
        QPainter p(&image);
        QRect r(0, 0, W, H);
        if (style != bsFlat) {
            const QColor shadow = QColorFromTColor(SysColorFromPalette(kSysBtnShadow, palette));
            const QColor light = QColorFromTColor(SysColorFromPalette(kSysBtnHighlight, palette));
            const QColor& topLeft = style == bsLowered ? shadow : light;
            const QColor& bottomRight = style == bsLowered ? light : shadow;
            p.fillRect(r, bottomRight);
            p.fillRect(QRect(0, 0, W - 1, 1), topLeft);
            p.fillRect(QRect(0, 0, 1, H - 1), topLeft);
            r.adjust(1, 1, -1, -1);
        }
        p.fillRect(r, QColorFromTColor(SysColorFromPalette(kSysBtnFace, palette)));
        r.adjust(1, 1, -1, -1);
        p.fillRect(r, Qt::black);
    }
    const int inset = FrameInset(style);
    const int x0 = static_cast<int>(std::lround(inset * dpr));
    const int y0 = x0;
    const int x1 = std::min(image.width(), static_cast<int>(std::lround((W - inset) * dpr)));
    const int y1 = std::min(image.height(), static_cast<int>(std::lround((H - inset) * dpr)));
    if (x1 <= x0 || y1 <= y0)
        return;
    // Device pixel (dx, dy) stands for the logical point at its top-left corner, so at ratio 1
    // every pixel is exactly the formula at its control coordinates.
    const bool hsl = presets == spSaturated || presets == spDesaturated;
    std::vector<HslColumn> hslColumns;
    std::vector<HsbColumn> hsbColumns;
    for (int dx = x0; dx < x1; ++dx) {
        const double x = dx / dpr;
        if (hsl)
            hslColumns.push_back(MakeHslColumn(x / W));
        else
            hsbColumns.push_back(MakeHsbColumn(360 * x / W));
    }
    for (int dy = y0; dy < y1; ++dy) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(dy)) + x0;
        const double fy = dy / dpr / H;
        switch (presets) {
        case spSaturated: FillHslRow(line, hslColumns, 1, 1 - fy); break;
        case spRich: FillHsbRow(line, hsbColumns, 1, fy / 1.5 + 0.25); break;
        case spDesaturated: FillHslRow(line, hslColumns, 0.3, 0.95 - fy / 1.2); break;
        case spLight: FillHsbRow(line, hsbColumns, fy / 1.3, 1); break;
        }
        if (vision != cvtNorm)
            SimulateRow(line, x1 - x0, vision);
    }
}

CachedBackground::Renderer TColorSampler::Renderer() const
{
    return [this](QImage& image) { Render(image, size(), FPresets, FStyle, FColorVisionType, palette()); };
}

void TColorSampler::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    FBackground.draw(p, this, QPoint(0, 0), size(), Renderer());
}

bool TColorSampler::ColorAt(QPointF Pos, TColor& Color)
{
    const QPoint cell(static_cast<int>(std::floor(Pos.x())), static_cast<int>(std::floor(Pos.y())));
    if (!FieldRect().contains(cell))
        return false;
    const qreal dpr = devicePixelRatioF();
    const QImage& image = FBackground.image(size(), dpr, Renderer());
    if (image.isNull())
        return false;
    // The pixel the user sees under the pointer, so a simulated field hands out simulated colours.
    const QRect field = FieldRect();
    const int lo = static_cast<int>(std::lround(field.left() * dpr));
    const int hiX = static_cast<int>(std::lround((field.right() + 1) * dpr)) - 1;
    const int hiY = static_cast<int>(std::lround((field.bottom() + 1) * dpr)) - 1;
    const int dx = std::clamp(static_cast<int>(std::floor(Pos.x() * dpr)), lo, std::min(hiX, image.width() - 1));
    const int dy = std::clamp(static_cast<int>(std::floor(Pos.y() * dpr)), lo, std::min(hiY, image.height() - 1));
    const QRgb px = image.pixel(dx, dy);
    Color = RGB(qRed(px), qGreen(px), qBlue(px));
    return true;
}

void TColorSampler::Pick(QPointF Pos)
{
    TColor color = 0;
    if (!ColorAt(Pos, color))
        return;
    if (OnColorChange)
        OnColorChange(this, color);
    Q_EMIT colorPicked(color);
}

void TColorSampler::mousePressEvent(QMouseEvent* event)
{
    FireMouseDown(event);
    FTracking = true;
    Pick(event->position());
}

void TColorSampler::mouseMoveEvent(QMouseEvent* event)
{
    FireMouseMove(event);
    if (FTracking)
        Pick(event->position());
}

void TColorSampler::mouseReleaseEvent(QMouseEvent* event)
{
    // Another button may still be down; tracking ends with the last one.
    if (event->buttons() == Qt::NoButton)
        FTracking = false;
    FireMouseUp(event);
}

void TColorSampler::changeEvent(QEvent* event)
{
    // The frame is painted in the palette's button colours.
    if (event->type() == QEvent::PaletteChange)
        Changed();
    QWidget::changeEvent(event);
}
