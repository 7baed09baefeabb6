#include "pickers/ColorSampler.h"

#include "colour/Colors.h"
#include "pickers/SysColors.h"

#include <QDragMoveEvent>
#include <QDropEvent>
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

inline QRgb Opaque(TColor c) { return qRgb(GetRValue(c), GetGValue(c), GetBValue(c)); }

int FrameInset(TSamplerBorderStyle style) { return (style == bsFlat ? 0 : 1) + 2; }

// One row of the field. The hue depends on the column only and the lightness (or
// saturation, or brightness) on the row only, so the per-column part is worked out once per
// render and each pixel is a single conversion.
void FillRow(QRgb* out, const std::vector<double>& xs, int W, double y, int H, TSamplerPresets presets,
             TColorVisionType vision)
{
    const double fy = y / H;
    const int n = static_cast<int>(xs.size());
    switch (presets) {
    case spSaturated: {
        const double l = 1 - fy;
        for (int i = 0; i < n; ++i)
            out[i] = Opaque(SimulateColorVision(HSLToColor(xs[i] / W, 1, l), vision));
        break;
    }
    case spRich: {
        const double b = fy / 1.5 + 0.25;
        for (int i = 0; i < n; ++i)
            out[i] = Opaque(SimulateColorVision(HSBToColor(360 * xs[i] / W, 1, b), vision));
        break;
    }
    case spDesaturated: {
        const double l = 0.95 - fy / 1.2;
        for (int i = 0; i < n; ++i)
            out[i] = Opaque(SimulateColorVision(HSLToColor(xs[i] / W, 0.3, l), vision));
        break;
    }
    case spLight: {
        const double s = fy / 1.3;
        for (int i = 0; i < n; ++i)
            out[i] = Opaque(SimulateColorVision(HSBToColor(360 * xs[i] / W, s, 1), vision));
        break;
    }
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
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    setCursor(EyedropCursor());
    setAcceptDrops(true);
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
    std::vector<double> xs(static_cast<size_t>(x1 - x0));
    for (int dx = x0; dx < x1; ++dx)
        xs[static_cast<size_t>(dx - x0)] = dx / dpr;
    for (int dy = y0; dy < y1; ++dy) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(dy)) + x0;
        FillRow(line, xs, W, dy / dpr, H, presets, vision);
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
    const QPoint pos = event->position().toPoint();
    if (OnMouseDown)
        OnMouseDown(this, event->button(), event->modifiers(), pos.x(), pos.y());
    FTracking = true;
    Pick(event->position());
}

void TColorSampler::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (OnMouseMove)
        OnMouseMove(this, Qt::NoButton, event->modifiers(), pos.x(), pos.y());
    if (FTracking)
        Pick(event->position());
}

void TColorSampler::mouseReleaseEvent(QMouseEvent* event)
{
    // Another button may still be down; tracking ends with the last one.
    if (event->buttons() == Qt::NoButton)
        FTracking = false;
    const QPoint pos = event->position().toPoint();
    if (OnMouseUp)
        OnMouseUp(this, event->button(), event->modifiers(), pos.x(), pos.y());
}

void TColorSampler::changeEvent(QEvent* event)
{
    // The frame is painted in the palette's button colours.
    if (event->type() == QEvent::PaletteChange)
        Changed();
    QWidget::changeEvent(event);
}

void TColorSampler::dragEnterEvent(QDragEnterEvent* event) { dragMoveEvent(event); }

void TColorSampler::dragMoveEvent(QDragMoveEvent* event)
{
    bool accept = false;
    if (OnDragOver)
        OnDragOver(this, event, accept);
    if (accept)
        event->acceptProposedAction();
    else
        event->ignore();
}

void TColorSampler::dropEvent(QDropEvent* event)
{
    if (OnDragDrop) {
        OnDragDrop(this, event);
        event->acceptProposedAction();
    }
}
