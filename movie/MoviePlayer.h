#pragma once
// The movie player: `TMovieStage` plays a movie without a window (display list, timelines,
// scripts, mouse events, the external interface) and `TMoviePlayer` is the widget that
// shows a stage in the work area.
//
// Events are assignable callbacks whose first argument is the player, like every event of
// the program. The player calls them on the user-interface thread, never while a script of
// the movie is running: FSCommands a script sends are delivered, in order, when the event
// that ran the script (mouse, timer, external call, load) has been handled, so a handler
// may load another movie or call into this one.
//
// Coordinates: "stage pixels" are the movie's own pixels (twips / 20); "widget pixels" are
// the widget's logical pixels. Frames are 1-based on the stage and 0-based on the widget,
// as the control it replaces counts them.

#include <QByteArray>
#include <QColor>
#include <QElapsedTimer>
#include <QImage>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <deque>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

#include "colour/Events.h"
#include "movie/Avm1.h"
#include "movie/SwfRenderer.h"

class QMimeData;

namespace swf {

class TMovieStage : public avm1::TAvm1Host {
public:
    TMovieStage();
    ~TMovieStage() override;
    TMovieStage(const TMovieStage&) = delete;
    TMovieStage& operator=(const TMovieStage&) = delete;

    // Parses and loads a movie into a level. Level 0 replaces everything (all levels, the
    // scripts' state); another level replaces only that level. On bytes that do not read as
    // a movie, nothing is loaded, the level is left empty and `error` says why.
    bool Load(const QByteArray& bytes, int level = 0, QString* error = nullptr);
    void Load(Movie movie, int level = 0);
    void Unload(int level);
    bool IsLoaded() const { return Level(0) != nullptr; }
    // The movie in level 0, or null.
    const TMovieData* Movie0() const;
    QSizeF StageSize() const;           // pixels; empty without a movie
    std::optional<Rgba> MovieBackground() const;
    double FrameRate() const;           // frames per second, at least 1

    // Timeline of level 0 (1-based frames).
    int CurrentFrame() const;
    int TotalFrames() const;
    void GotoFrame(int frame, bool play);
    bool GotoLabel(const QString& label, bool play);
    bool Playing() const;
    void SetPlaying(bool playing);
    void SetLoop(bool loop) { FLoop = loop; }
    // One tick of the frame clock: enterFrame events, every playing timeline moves on, the
    // queued scripts run.
    void Advance();

    // The mouse, in stage pixels. Leave: the pointer left the player.
    void MouseMove(QPointF stage);
    void MouseDown(QPointF stage);
    void MouseUp(QPointF stage);
    void MouseLeave();
    QPointF Mouse() const { return FMouse; }
    // The object that would take a click at the pointer now (a button, or a clip with
    // mouse clip actions), or null; the player shows a hand over it.
    TDisplayObject* Hovered() const { return FHover; }

    // Calls a function the movie registered with ExternalInterface.addCallback. `request`
    // is <invoke name="..." returntype="xml"><arguments>...</arguments></invoke>; the answer
    // is the return value as XML (<string>...</string> ...). An unknown function or a request
    // that does not parse gives an empty answer and `ok` false.
    QString CallFunction(const QString& request, bool* ok = nullptr);

    // Draws every level; `stageToDevice` maps stage twips to device pixels.
    void Render(QPainter& painter, const QTransform& stageToDevice);
    // The name of the topmost named clip of level 0 under a stage point (shapes, or
    // bounding boxes when !shapes), "" when none: the question GetClipName answers, asked
    // natively, for tests that compare both.
    QString ClipNameAt(QPointF stage, bool shapes);

    TSwfRenderer& Renderer() { return FRenderer; }
    avm1::TAvm1& Vm() { return FVm; }
    TDisplayObject* Level(int level) const;

    // Set when anything visible changed; the widget repaints and clears it.
    bool Dirty() const { return FDirty; }
    void ClearDirty() { FDirty = false; }

    // Events.
    std::function<void(const QString& command, const QString& argument)> onFSCommand;
    // Bytes of an external resource by name; `found` false when there is none.
    std::function<QByteArray(const QString& name, bool& found)> onLoadResource;
    std::function<void(const QString& text)> onTrace;
    std::function<void()> onChange;  // something visible changed

    // TAvm1Host
    int SwfVersion(TDisplayObject* clip) override;
    TDisplayObject* Level(int level) override { return const_cast<const TMovieStage*>(this)->Level(level); }
    void GotoFrame(TDisplayObject* clip, int frame, bool play) override;
    bool GotoLabel(TDisplayObject* clip, const QString& label, bool play) override;
    void SetPlaying(TDisplayObject* clip, bool playing) override;
    void GetUrl(TDisplayObject* clip, const QString& url, const QString& target) override;
    bool HitTestPoint(TDisplayObject* clip, QPointF stagePoint, bool shapeFlag) override;
    QRectF Bounds(TDisplayObject* clip, TDisplayObject* space) override;
    QPointF MouseStage() override { return FMouse; }
    void Trace(const QString& text) override;
    void Invalidate() override;

private:
    struct TPlaceState;
    std::unique_ptr<TDisplayObject> Instantiate(const std::shared_ptr<const TMovieData>& movie, std::uint16_t id);
    void InitClip(TDisplayObject* clip);
    void RunFrameTags(TDisplayObject* clip, int frame, bool withActions);
    void ApplyPlace(TDisplayObject* clip, const PlaceObject& place, int frame);
    void ApplyRemove(TDisplayObject* clip, int depth);
    void Destroy(std::unique_ptr<TDisplayObject> object);
    void Forget(TDisplayObject* object);
    void Rewind(TDisplayObject* clip, int frame);
    void GotoInternal(TDisplayObject* clip, int frame, bool play);
    void AdvanceClip(TDisplayObject* clip);
    void CollectEnterFrame(TDisplayObject* clip);
    void SetButtonState(TDisplayObject* button, std::uint8_t state);
    TDisplayObject* Pick(TDisplayObject* clip, const QTransform& toStage, QPointF stageTwips);
    bool IsInteractive(TDisplayObject* object);
    void ClipEvent(TDisplayObject* object, std::uint32_t event);
    void ButtonTransition(TDisplayObject* button, std::uint16_t condition, std::uint8_t state);
    void UpdateHover();
    // Sends a mouse event to every clip with clip actions for it, in display-list order.
    void Broadcast(std::uint32_t event);
    void QueueActions(TDisplayObject* clip, const QByteArray* actions);
    void QueueScriptHandler(TDisplayObject* clip, const char* name);
    void RunQueue();
    void FinishEvent();
    bool Alive(TDisplayObject* object, std::uint64_t serial) const;
    // Something visible changed: repaint, and forget cached stage bounds.
    void Touch();
    void LoadInto(TDisplayObject* clip, std::shared_ptr<const TMovieData> movie);
    void SetLevel(int level, std::shared_ptr<const TMovieData> movie);

    TSwfRenderer FRenderer;
    avm1::TAvm1 FVm;
    std::vector<std::unique_ptr<TDisplayObject>> FLevels;
    std::unordered_map<const TDisplayObject*, std::uint64_t> FLive;  // object -> serial
    std::uint64_t FNextSerial = 1;
    // The clips with mouse clip events, in display-list order, as of a renderer epoch.
    std::vector<TDisplayObject*> FMouseListeners;
    std::uint64_t FMouseListenersEpoch = 0;
    std::vector<std::unique_ptr<TDisplayObject>> FGraveyard;  // removed while scripts ran
    struct TQueued {
        TDisplayObject* clip;
        std::uint64_t serial;
        const QByteArray* actions;  // null: call the script handler `handler`
        const char* handler;
    };
    std::deque<TQueued> FQueue;
    struct TCommand {
        QString command, argument;
    };
    std::deque<TCommand> FCommands;
    struct TPendingLoad {
        QString target;  // "_levelN" or a clip path
        TDisplayObject* clip;
        std::uint64_t serial;
        int level;
        std::shared_ptr<const TMovieData> movie;
    };
    std::vector<TPendingLoad> FPendingLoads;
    int FBusy = 0;         // > 0 while the stage is inside an event
    std::uint64_t FTickCount = 0;
    bool FDelivering = false;
    bool FLoop = true;
    bool FDirty = true;
    QPointF FMouse{-1e6, -1e6};
    bool FMouseInside = false;
    bool FMouseDown = false;
    TDisplayObject* FHover = nullptr;
    std::uint64_t FHoverSerial = 0;
    TDisplayObject* FPressed = nullptr;
    std::uint64_t FPressedSerial = 0;
    bool FPressedOver = false;
};

}  // namespace swf

// The player widget of the work area.
//
// Scale modes (as the control it replaces numbers them): 0 show all (the whole stage,
// uniformly scaled to fit), 1 no border (uniformly scaled to fill, cropped), 2 exact fit
// (stretched), 3 no scaling (one stage pixel per widget pixel). Alignment is a set of bits:
// 1 left, 2 right, 4 top, 8 bottom; 0 centres the stage (5 = top left, 10 = bottom right).
// The background colour is 0xRRGGBB; -1 takes the movie's own.
//
// Events (callbacks; the first argument is the player):
//   OnFSCommand(player, command, argument)   an FSCommand from the movie
//   OnMouseDown(player, button, modifiers, position)   a press on the player, before the
//                                            movie sees it; position in widget pixels
//   OnDblClick(player)                       a double click
//   OnDragOver(player, data, position, state, accept)   something dragged over the player:
//                                            state 0 enter, 1 move, 2 leave; set accept
//   OnDragDrop(player, data, position)       it was dropped on the player
//   OnStartDrag(player) -> QMimeData*        a drag from the player begins (see BeginDrag);
//                                            return the data to drag, or null for none
//   OnEndDrag(player, action)                that drag ended (Qt::IgnoreAction: cancelled)
//   OnLoadExternalResource(player, name, found) -> bytes   the movie asks for a resource
class TMoviePlayer : public QWidget, public TObject {
public:
    explicit TMoviePlayer(QWidget* parent = nullptr);
    ~TMoviePlayer() override;

    // Loads a movie from memory into a level (0 replaces everything); starts playing it.
    bool LoadMovie(int layer, const QByteArray& bytes);
    void Unload();
    bool IsLoaded() const { return FStage.IsLoaded(); }

    void SetScaleMode(int mode);
    int ScaleMode() const { return FScaleMode; }
    void SetAlignMode(int align);
    int AlignMode() const { return FAlignMode; }
    void SetBackgroundColor(int rrggbb);
    int BackgroundColor() const { return FBackground; }
    // The colour the player paints behind the stage now.
    QColor EffectiveBackground() const;

    // Frames are 0-based here. GotoFrame shows that frame and stops there.
    void GotoFrame(int frameIndex);
    int CurrentFrame() const { return FStage.CurrentFrame() - 1; }
    int TotalFrames() const { return FStage.TotalFrames(); }
    void Play();
    void Stop();
    bool IsPlaying() const { return FStage.Playing(); }
    void SetLoop(bool loop) { FStage.SetLoop(loop); }

    // The external interface: <invoke name="GetClipName" returntype="xml"/> and the like.
    // Any failure gives "".
    QString CallFunction(const QString& xmlRequest);
    // A mouse move at a widget point, as if the pointer were there (pages do this before
    // asking GetClipName about a point).
    void SendMouseMove(QPoint widgetPos);

    // The current frame as the player shows it, at the widget's size (logical pixels).
    QImage FrameImage();
    void Repaint() { repaint(); }

    // Starts a drag from the player: at once, or (when !immediate) once the pointer, with a
    // button held, leaves the drag distance around the press point no earlier than
    // minDelayMs after the press. Releasing the buttons first ends the detection with no
    // drag. The drag's data comes from OnStartDrag.
    void BeginDrag(bool immediate, int minDelayMs = 0);
    bool Dragging() const { return FDragPending; }

    // Widget pixels <-> stage pixels under the current scale and alignment.
    QTransform StageToWidget() const;
    QPointF WidgetToStage(QPointF widgetPos) const;

    swf::TMovieStage& Stage() { return FStage; }

    std::function<void(TObject* Sender, const QString& command, const QString& argument)> OnFSCommand;
    std::function<void(TObject* Sender, Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint position)>
        OnMouseDown;
    std::function<void(TObject* Sender)> OnDblClick;
    std::function<void(TObject* Sender, const QMimeData* data, QPoint position, int state, bool& accept)> OnDragOver;
    std::function<void(TObject* Sender, const QMimeData* data, QPoint position)> OnDragDrop;
    std::function<QMimeData*(TObject* Sender)> OnStartDrag;
    std::function<void(TObject* Sender, Qt::DropAction action)> OnEndDrag;
    std::function<QByteArray(TObject* Sender, const QString& name, bool& found)> OnLoadExternalResource;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void Tick();
    void StartClock();
    void UpdateCursor();
    void RunDrag();
    void DrawFrame(QPainter& painter, QSize size);

    swf::TMovieStage FStage;
    int FScaleMode = 0;
    int FAlignMode = 0;
    int FBackground = -1;
    QTimer FClock;
    // Drag detection.
    QPoint FPressPos;
    QElapsedTimer FPressTime;
    bool FButtonDown = false;
    bool FDragPending = false;
    int FDragDelay = 0;
};
