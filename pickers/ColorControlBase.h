#pragma once
// What the web-safe picker, the sampler and the swatch button have in common: their owner
// listens to the mouse through callbacks and decides about everything dropped on them. The
// controls themselves never look inside a drop; OnDragOver does (normally with HasColorDrag)
// and OnDragDrop takes it.

#include "colour/ColorTypes.h"
#include "colour/Events.h"

#include <QWidget>

#include <functional>

class QDragMoveEvent;
class QDropEvent;
class QMouseEvent;

class TColorControlBase : public QWidget, public TObject {
    Q_OBJECT
public:
    using TColorEvent = std::function<void(TObject* Sender, TColor Color)>;
    // X, Y in the control's coordinates; Button is Qt::NoButton for moves.
    using TMouseEvent
        = std::function<void(TObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y)>;
    using TDragOverEvent = std::function<void(TObject* Sender, QDragMoveEvent* Event, bool& Accept)>;
    using TDragDropEvent = std::function<void(TObject* Sender, QDropEvent* Event)>;

    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    // With no OnDragOver handler every drag is refused; without OnDragDrop a drop is not taken.
    TDragOverEvent OnDragOver;
    TDragDropEvent OnDragDrop;

protected:
    explicit TColorControlBase(QWidget* parent);

    // Each control calls these where its own press, move and release handling wants the owner
    // told, so the order against its own events stays the control's decision.
    void FireMouseDown(const QMouseEvent* event);
    void FireMouseMove(const QMouseEvent* event);
    void FireMouseUp(const QMouseEvent* event);

    // The pixel the owner is told about: the nearest one. A control that finds its cells by
    // flooring overrides it so that the owner hears the same cell the control used.
    virtual QPoint OwnerPoint(QPointF Pos) const { return Pos.toPoint(); }

    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void Fire(const TMouseEvent& Handler, Qt::MouseButton Button, const QMouseEvent* event);
};
