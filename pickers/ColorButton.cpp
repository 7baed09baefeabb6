#include "pickers/ColorButton.h"

#include "colour/Colors.h"
#include "pickers/SysColors.h"

#include <QCursor>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

namespace {

void FillFrame(QPainter& p, const QRect& r, int width, const QColor& color)
{
    p.fillRect(QRect(r.left(), r.top(), r.width(), width), color);
    p.fillRect(QRect(r.left(), r.bottom() - width + 1, r.width(), width), color);
    p.fillRect(QRect(r.left(), r.top() + width, width, r.height() - 2 * width), color);
    p.fillRect(QRect(r.right() - width + 1, r.top() + width, width, r.height() - 2 * width), color);
}

// One ring of a 3-D edge: top and left in one colour, bottom and right in another.
void Bevel(QPainter& p, const QRect& r, const QColor& topLeft, const QColor& bottomRight)
{
    p.fillRect(QRect(r.left(), r.top(), r.width() - 1, 1), topLeft);
    p.fillRect(QRect(r.left(), r.top() + 1, 1, r.height() - 2), topLeft);
    p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
    p.fillRect(QRect(r.right(), r.top(), 1, r.height() - 1), bottomRight);
}

} // namespace

TColorButton::TColorButton(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setAcceptDrops(true);
    // Reachable with Tab and pressed with Space, but a mouse click does not pull the focus
    // out of the field the user is typing in.
    setFocusPolicy(Qt::TabFocus);
    resize(20, 20);
}

void TColorButton::SetSelectionColor(TColor Value)
{
    if (IsSystemColor(Value))
        Value = ColorToRGB(Value);
    if (Value == FSelectionColor)
        return;
    FSelectionColor = Value;
    UpdateHint();
    update();
    if (OnColorChange)
        OnColorChange(this, FSelectionColor);
    Q_EMIT colorChanged(FSelectionColor);
}

void TColorButton::SetFlat(bool Value)
{
    if (Value == FFlat)
        return;
    FFlat = Value;
    update();
}

void TColorButton::SetAutoCreateHint(bool Value)
{
    if (Value == FAutoCreateHint)
        return;
    FAutoCreateHint = Value;
    UpdateHint();
}

void TColorButton::SetColorVisionType(TColorVisionType Value)
{
    if (Value == FColorVisionType)
        return;
    FColorVisionType = Value;
    update();
}

void TColorButton::SetSelected(bool Value)
{
    if (Value == FSelected)
        return;
    FSelected = Value;
    update();
}

void TColorButton::SetSelectionFrameColor(TColor Value)
{
    if (Value == FSelectionFrameColor)
        return;
    FSelectionFrameColor = Value;
    if (FSelected)
        update();
}

void TColorButton::UpdateHint()
{
    if (!FAutoCreateHint)
        return;
    // "No colour" has no value worth naming; a stale or made-up hex would mislead.
    if (!HasColor()) {
        setToolTip(QString());
        return;
    }
    setToolTip(ColorToFullHex(FSelectionColor, true));
}

QRect TColorButton::SwatchRect() const
{
    // The swatch keeps its place whether the frame is flat, raised or the selection frame.
    const int inset = FFlat ? 2 : 3;
    return rect().adjusted(inset, inset, -inset, -inset);
}

void TColorButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect r = rect();
    const auto simulate = [this](TColor c) { return QColorFromTColor(SimulateColorVision(c, FColorVisionType)); };
    p.fillRect(r, QColorFromTColor(clBtnFace));

    if (FSelected) {
        FillFrame(p, r, 2, simulate(FSelectionFrameColor));
    } else if (FFlat) {
        FillFrame(p, r, 1, QColorFromTColor(clBtnShadow));
    } else if (FPressedLook) {
        Bevel(p, r, QColorFromTColor(cl3DDkShadow), QColorFromTColor(clBtnHighlight));
        Bevel(p, r.adjusted(1, 1, -1, -1), QColorFromTColor(clBtnShadow), QColorFromTColor(clBtnFace));
    } else {
        Bevel(p, r, QColorFromTColor(clBtnHighlight), QColorFromTColor(cl3DDkShadow));
        // The inner lit edge is the face itself: desktop palettes differ wildly in their
        // "mid-light" shade, and a push button's inner ring is never darker than its face.
        Bevel(p, r.adjusted(1, 1, -1, -1), QColorFromTColor(clBtnFace), QColorFromTColor(clBtnShadow));
    }

    QRect swatch = SwatchRect();
    if (FPressedLook && !FFlat && !FSelected)
        swatch.translate(1, 1);
    if (HasColor() && swatch.isValid())
        p.fillRect(swatch, simulate(FSelectionColor));

    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = swatch.adjusted(-1, -1, 1, 1);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &p, this);
    }
}

void TColorButton::Click()
{
    if (OnClick)
        OnClick(this);
    Q_EMIT clicked();
}

void TColorButton::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        FClickArmed = true;
        FPressedLook = true;
        update();
    }
    if (OnMouseDown)
        OnMouseDown(this, event->button(), event->modifiers(), pos.x(), pos.y());
}

void TColorButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double click is no click of its own: the release that follows
    // must not fire OnClick a second time.
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        FClickArmed = false;
        if (OnDblClick)
            OnDblClick(this);
    }
    if (OnMouseDown)
        OnMouseDown(this, event->button(), event->modifiers(), pos.x(), pos.y());
}

void TColorButton::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        const bool click = FClickArmed && rect().contains(pos);
        FClickArmed = false;
        if (FPressedLook) {
            FPressedLook = false;
            update();
        }
        if (click)
            Click();
    }
    if (OnMouseUp)
        OnMouseUp(this, event->button(), event->modifiers(), pos.x(), pos.y());
}

void TColorButton::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    const bool pressedLook = FClickArmed && rect().contains(pos);
    if (pressedLook != FPressedLook) {
        FPressedLook = pressedLook;
        update();
    }
    if (rect().contains(pos) && OnColorRollover)
        OnColorRollover(this, FSelectionColor);
    if (OnMouseMove)
        OnMouseMove(this, event->modifiers(), pos.x(), pos.y());
}

void TColorButton::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    if (OnMouseLeave) {
        const QPoint screen = QCursor::pos();
        OnMouseLeave(this, screen.x(), screen.y());
    }
}

void TColorButton::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!event->isAutoRepeat())
            Click();
        return;
    default: QWidget::keyPressEvent(event);
    }
}

Qt::DropAction TColorButton::BeginDrag()
{
    TColorDragCtrlObject drag;
    drag.Color = FSelectionColor;
    drag.SourceControl = this;
    if (OnStartDrag)
        OnStartDrag(this, drag);
    const Qt::DropAction action = StartColorDrag(this, drag, FColorVisionType);
    // The drag loop swallowed the release: nothing is pressed any more.
    FClickArmed = false;
    FPressedLook = false;
    update();
    return action;
}

bool TColorButton::DropAllowed(QDropEvent* event)
{
    const auto drag = DecodeColorDrag(event->mimeData());
    bool accept = drag.has_value() && static_cast<bool>(OnDragDrop);
    if (accept && OnDragOver) {
        const QPoint pos = event->position().toPoint();
        OnDragOver(this, *drag, pos.x(), pos.y(), accept);
    }
    if (accept)
        event->acceptProposedAction();
    else
        event->ignore();
    return accept;
}

void TColorButton::dragEnterEvent(QDragEnterEvent* event)
{
    DropAllowed(event);
}

void TColorButton::dragMoveEvent(QDragMoveEvent* event)
{
    DropAllowed(event);
}

void TColorButton::dropEvent(QDropEvent* event)
{
    if (!DropAllowed(event))
        return;
    const auto drag = DecodeColorDrag(event->mimeData());
    const QPoint pos = event->position().toPoint();
    OnDragDrop(this, *drag, pos.x(), pos.y());
}
