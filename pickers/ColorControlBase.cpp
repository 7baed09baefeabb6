#include "pickers/ColorControlBase.h"

#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMouseEvent>

TColorControlBase::TColorControlBase(QWidget* parent)
    : QWidget(parent)
{
    setAcceptDrops(true);
}

void TColorControlBase::Fire(const TMouseEvent& Handler, Qt::MouseButton Button, const QMouseEvent* event)
{
    if (!Handler)
        return;
    const QPoint pos = OwnerPoint(event->position());
    Handler(this, Button, event->modifiers(), pos.x(), pos.y());
}

void TColorControlBase::FireMouseDown(const QMouseEvent* event)
{
    Fire(OnMouseDown, event->button(), event);
}

void TColorControlBase::FireMouseMove(const QMouseEvent* event)
{
    Fire(OnMouseMove, Qt::NoButton, event);
}

void TColorControlBase::FireMouseUp(const QMouseEvent* event)
{
    Fire(OnMouseUp, event->button(), event);
}

void TColorControlBase::dragEnterEvent(QDragEnterEvent* event)
{
    dragMoveEvent(event);
}

void TColorControlBase::dragMoveEvent(QDragMoveEvent* event)
{
    bool accept = false;
    if (OnDragOver)
        OnDragOver(this, event, accept);
    if (accept)
        event->acceptProposedAction();
    else
        event->ignore();
}

void TColorControlBase::dropEvent(QDropEvent* event)
{
    if (OnDragDrop) {
        OnDragDrop(this, event);
        event->acceptProposedAction();
    }
}
