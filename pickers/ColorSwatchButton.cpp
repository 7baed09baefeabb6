#include "pickers/ColorSwatchButton.h"

#include "colour/Colors.h"
#include "pickers/SysColors.h"

#include <QCursor>
#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr int kSysBtnFace = 15;
constexpr int kSysBtnShadow = 16;

// Edges of the working rectangle, right and bottom exclusive, shrunk one pixel at a time.
struct Edges {
    int left, top, right, bottom;
    void shrink()
    {
        ++left;
        ++top;
        --right;
        --bottom;
    }
};

void HLine(QPainter& p, int x0, int x1, int y, const QColor& c) // x0..x1 inclusive
{
    if (x1 < x0)
        std::swap(x0, x1);
    p.fillRect(QRect(x0, y, x1 - x0 + 1, 1), c);
}

void VLine(QPainter& p, int x, int y0, int y1, const QColor& c) // y0..y1 inclusive
{
    if (y1 < y0)
        std::swap(y0, y1);
    p.fillRect(QRect(x, y0, 1, y1 - y0 + 1), c);
}

} // namespace

TColorSwatchButton::TColorSwatchButton(QWidget* parent)
    : TColorControlBase(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setBackgroundRole(QPalette::Button);
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    resize(sizeHint());
}

void TColorSwatchButton::RenewHint()
{
    setToolTip(ColorToFullHex(FSelectionColor, true));
}

void TColorSwatchButton::SetSelectionColor(TColor Value)
{
    if (Value == FSelectionColor)
        return;
    FSelectionColor = Value;
    if (FAutoCreateHint)
        RenewHint();
    repaint();
    if (FLoading)
        return;
    if (OnColorChange)
        OnColorChange(this, FSelectionColor);
    Q_EMIT colorChanged(FSelectionColor);
}

void TColorSwatchButton::SetAutoCreateHint(bool Value)
{
    if (Value == FAutoCreateHint)
        return;
    FAutoCreateHint = Value;
    // Switching it on shows the current colour at once rather than after the next change.
    if (FAutoCreateHint)
        RenewHint();
}

void TColorSwatchButton::SetDropDownArrowColor(TColor Value)
{
    if (Value == FDropDownArrowColor)
        return;
    FDropDownArrowColor = Value;
    update();
}

void TColorSwatchButton::SetColorVisionType(TColorVisionType Value)
{
    if (Value == FColorVisionType)
        return;
    FColorVisionType = Value;
    update();
}

void TColorSwatchButton::SetPressed(bool Value)
{
    if (Value == FPressed)
        return;
    FPressed = Value;
    update();
}

void TColorSwatchButton::ResetButtonState()
{
    FPressed = false;
    FTracking = false;
    update();
}

void TColorSwatchButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QPalette& pal = palette();
    const QColor face = QColorFromTColor(SysColorFromPalette(kSysBtnFace, pal));
    const QColor shadow = QColorFromTColor(SysColorFromPalette(kSysBtnShadow, pal));
    const QColor white(Qt::white);
    const int W = width();
    const int H = height();
    p.fillRect(rect(), face);

    Edges e {0, 0, W, H};
    // 1. The raised frame of the released look.
    if (!FPressed) {
        HLine(p, e.left, e.right - 1, e.bottom - 1, shadow);
        VLine(p, e.right - 1, e.top, e.bottom - 1, shadow);
        HLine(p, e.left, e.right - 2, e.top, white);
        VLine(p, e.left, e.top, e.bottom - 2, white);
        e.shrink();
    }
    // 2. The corner behind the arrow.
    p.fillRect(QRect(e.right - 6, e.bottom - 4, 6, 4), face);
    // 3. A ring of button face.
    p.setPen(Qt::NoPen);
    HLine(p, e.left, e.right - 1, e.top, face);
    HLine(p, e.left, e.right - 1, e.bottom - 1, face);
    VLine(p, e.left, e.top, e.bottom - 1, face);
    VLine(p, e.right - 1, e.top, e.bottom - 1, face);
    e.shrink();
    // 4. A sunken edge around the swatch that steps in around the arrow's notch.
    VLine(p, e.left, e.bottom - 2, e.top, shadow);
    HLine(p, e.left, e.right - 1, e.top, shadow);
    VLine(p, e.right - 1, e.top, e.bottom - 5, white);
    HLine(p, e.right - 1, e.right - 5, e.bottom - 4, white);
    VLine(p, e.right - 6, e.bottom - 4, e.bottom - 2, white);
    HLine(p, e.right - 6, e.left, e.bottom - 1, white);
    // 5. The swatch, less the notch.
    const bool none = IsNoColor(FSelectionColor);
    QColor fill;
    if (!isEnabled())
        fill = shadow;
    else if (none)
        fill = white;
    else
        fill = QColorFromTColor(SimulateColorVision(FSelectionColor, FColorVisionType));
    p.fillRect(QRect(QPoint(e.left + 1, e.top + 1), QPoint(e.right - 2, e.bottom - 5)), fill);
    p.fillRect(QRect(QPoint(e.left + 1, e.bottom - 4), QPoint(e.right - 7, e.bottom - 2)), fill);
    // 6. No colour: a red band from the top-right corner to the bottom-left one.
    if (none) {
        const QPoint band[] = {{e.right - 4, e.top + 1}, {e.right - 1, e.top + 1}, {e.right - 1, e.top + 3},
            {e.left + 3, e.bottom - 1}, {e.left + 1, e.bottom - 1}, {e.left + 1, e.bottom - 4}};
        p.setBrush(QColorFromTColor(SimulateColorVision(RGB(255, 0, 0), FColorVisionType)));
        p.drawPolygon(band, 6);
    }
    // 7. The drop-down arrow: rows of 5, 3 and 1 pixels under the corner (x, y).
    const int x = FPressed ? W - 5 : W - 6;
    const int y = FPressed ? H - 3 : H - 4;
    const QColor arrow
        = isEnabled() ? QColorFromTColor(SimulateColorVision(FDropDownArrowColor, FColorVisionType)) : shadow;
    HLine(p, x, x + 4, y, arrow);
    HLine(p, x + 1, x + 3, y + 1, arrow);
    HLine(p, x + 2, x + 2, y + 2, arrow);
}

void TColorSwatchButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && isEnabled()) {
        FTracking = true;
        SetPressed(true);
    }
    FireMouseDown(event);
}

void TColorSwatchButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    mousePressEvent(event);
    if (event->button() == Qt::LeftButton && OnDblClick)
        OnDblClick(this);
}

void TColorSwatchButton::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (FTracking)
        SetPressed(rect().contains(pos));
    if (OnColorRollover)
        OnColorRollover(this, FSelectionColor);
    FireMouseMove(event);
}

void TColorSwatchButton::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    const bool wasTracking = FTracking && event->button() == Qt::LeftButton;
    if (wasTracking) {
        FTracking = false;
        SetPressed(false);
    }
    FireMouseUp(event);
    if (wasTracking && rect().contains(pos)) {
        repaint();
        if (OnClick)
            OnClick(this);
        Q_EMIT clicked();
    }
}

void TColorSwatchButton::leaveEvent(QEvent* event)
{
    const QPoint screen = QCursor::pos();
    if (OnMouseLeave)
        OnMouseLeave(this, screen.x(), screen.y());
    QWidget::leaveEvent(event);
}

void TColorSwatchButton::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange) {
        FPressed = false;
        FTracking = false;
        update();
    } else if (event->type() == QEvent::PaletteChange) {
        update();
    }
    QWidget::changeEvent(event);
}
