#include "movie/MoviePlayer.h"

#include "movie/SwfReader.h"

#include <QApplication>
#include <QCursor>
#include <QDrag>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpression>

#include <algorithm>
#include <map>

namespace swf {

namespace {

// QRectF::contains, inline: hit tests ask it once per clip of a scene.
inline bool Inside(const QRectF& r, QPointF p)
{
    return p.x() >= r.left() && p.x() <= r.right() && p.y() >= r.top() && p.y() <= r.bottom();
}

constexpr std::uint32_t kButtonEvents = cePress | ceRelease | ceReleaseOutside | ceRollOver | ceRollOut | ceDragOver |
                                        ceDragOut;

// Script handlers that make a clip take the mouse like a button.
const char* const kButtonHandlers[] = {"onPress",    "onRelease",  "onReleaseOutside", "onRollOver",
                                       "onRollOut",  "onDragOver", "onDragOut"};

const char* HandlerFor(std::uint32_t event)
{
    switch (event) {
    case cePress: return "onPress";
    case ceRelease: return "onRelease";
    case ceReleaseOutside: return "onReleaseOutside";
    case ceRollOver: return "onRollOver";
    case ceRollOut: return "onRollOut";
    case ceDragOver: return "onDragOver";
    case ceDragOut: return "onDragOut";
    case ceEnterFrame: return "onEnterFrame";
    case ceLoad: return "onLoad";
    default: return nullptr;
    }
}

// A queue of scripts that keeps re-filling itself is a movie in a loop; stop it.
constexpr int kMaxQueuedRuns = 100000;

}  // namespace

// What the timeline says stands at a depth on a given frame.
struct TMovieStage::TPlaceState {
    const PlaceObject* first = nullptr;  // the placement that created it (clip actions)
    std::uint16_t characterId = 0;
    int placedFrame = 0;
    QTransform matrix;
    TColorXform cx;
    QString name;
    int clipDepth = 0;
    std::vector<Filter> filters;
};

TMovieStage::TMovieStage() : FVm(this) {}

TMovieStage::~TMovieStage()
{
    ++FBusy;
    for (auto& level : FLevels)
        if (level)
            Destroy(std::move(level));
    FLevels.clear();
    FGraveyard.clear();
}

// ---------------------------------------------------------------------------------------
// Loading

bool TMovieStage::Load(const QByteArray& bytes, int level, QString* error)
{
    ReadResult r = ReadMovie(bytes);
    if (!r.Ok()) {
        if (error)
            *error = r.message;
        Unload(level);
        return false;
    }
    Load(std::move(r.movie), level);
    return true;
}

void TMovieStage::Load(Movie movie, int level)
{
    ++FBusy;
    SetLevel(level, std::make_shared<const TMovieData>(std::move(movie)));
    RunQueue();
    --FBusy;
    FinishEvent();
}

void TMovieStage::Unload(int level)
{
    if (level < 0 || static_cast<std::size_t>(level) >= FLevels.size() || !FLevels[static_cast<std::size_t>(level)])
        return;
    ++FBusy;
    Destroy(std::move(FLevels[static_cast<std::size_t>(level)]));
    Touch();
    --FBusy;
    FinishEvent();
}

void TMovieStage::SetLevel(int level, std::shared_ptr<const TMovieData> movie)
{
    if (level < 0 || level > 1000)
        return;
    if (level == 0) {
        for (auto& l : FLevels)
            if (l)
                Destroy(std::move(l));
        FLevels.clear();
        FGraveyard.clear();
        FQueue.clear();
        FPendingLoads.clear();
        FVm.Reset();
        FRenderer.Clear();
        FHover = FPressed = nullptr;
    } else if (static_cast<std::size_t>(level) < FLevels.size() && FLevels[static_cast<std::size_t>(level)]) {
        Destroy(std::move(FLevels[static_cast<std::size_t>(level)]));
    }
    auto root = std::make_unique<TDisplayObject>();
    root->kind = TDisplayKind::Sprite;
    root->movie = movie;
    root->level = level;
    root->timeline = &movie->MainTimeline();
    FLive[root.get()] = FNextSerial++;
    if (FLevels.size() <= static_cast<std::size_t>(level))
        FLevels.resize(static_cast<std::size_t>(level) + 1);
    FLevels[static_cast<std::size_t>(level)] = std::move(root);
    InitClip(FLevels[static_cast<std::size_t>(level)].get());
    Touch();
}

void TMovieStage::LoadInto(TDisplayObject* clip, std::shared_ptr<const TMovieData> movie)
{
    // The clip keeps its place, name and transform; its content becomes the movie's.
    while (!clip->children.empty())
        Destroy(clip->TakeChild(clip->children.back().get()));
    clip->movie = movie;
    clip->definition = nullptr;
    clip->kind = TDisplayKind::Sprite;
    clip->timeline = &movie->MainTimeline();
    clip->currentFrame = 0;
    clip->playing = true;
    InitClip(clip);
    Touch();
}

const TMovieData* TMovieStage::Movie0() const
{
    const TDisplayObject* root = Level(0);
    return root ? root->movie.get() : nullptr;
}

TDisplayObject* TMovieStage::Level(int level) const
{
    if (level < 0 || static_cast<std::size_t>(level) >= FLevels.size())
        return nullptr;
    return FLevels[static_cast<std::size_t>(level)].get();
}

QSizeF TMovieStage::StageSize() const
{
    const TMovieData* m = Movie0();
    if (!m)
        return {};
    const Rect& r = m->Data().header.frameRect;
    return {r.Width() / 20.0, r.Height() / 20.0};
}

std::optional<Rgba> TMovieStage::MovieBackground() const
{
    const TMovieData* m = Movie0();
    return m ? m->Data().BackgroundColor() : std::nullopt;
}

double TMovieStage::FrameRate() const
{
    const TMovieData* m = Movie0();
    return m ? std::max(1.0, m->Data().header.FrameRate()) : 12.0;
}

int TMovieStage::SwfVersion(TDisplayObject* clip)
{
    return clip && clip->movie ? clip->movie->Version() : 8;
}

// ---------------------------------------------------------------------------------------
// Display list

std::unique_ptr<TDisplayObject> TMovieStage::Instantiate(const std::shared_ptr<const TMovieData>& movie,
                                                          std::uint16_t id)
{
    const Tag* tag = movie->Character(id);
    if (!tag)
        return nullptr;
    auto o = std::make_unique<TDisplayObject>();
    o->movie = movie;
    o->definition = tag;
    o->characterId = id;
    if (tag->As<ShapeDef>()) {
        o->kind = TDisplayKind::Shape;
    } else if (const SpriteDef* sprite = tag->As<SpriteDef>()) {
        o->kind = TDisplayKind::Sprite;
        o->timeline = movie->SpriteTimeline(sprite);
    } else if (const EditTextDef* edit = tag->As<EditTextDef>()) {
        o->kind = TDisplayKind::EditText;
        o->text = edit->initialText.value_or(QString());
    } else if (tag->As<TextDef>()) {
        o->kind = TDisplayKind::Text;
    } else if (tag->As<ButtonDef>()) {
        o->kind = TDisplayKind::Button;
    } else if (tag->As<FontDef>()) {
        return nullptr;  // fonts are not display objects
    } else {
        o->kind = TDisplayKind::Other;  // a character we cannot draw takes its depth all the same
    }
    FLive[o.get()] = FNextSerial++;
    return o;
}

void TMovieStage::InitClip(TDisplayObject* clip)
{
    if (clip->kind == TDisplayKind::Button) {
        SetButtonState(clip, bsUp);
        return;
    }
    if (!clip->timeline)
        return;
    RunFrameTags(clip, 1, true);
    clip->currentFrame = 1;
    ClipEvent(clip, ceLoad);
}

void TMovieStage::RunFrameTags(TDisplayObject* clip, int frame, bool withActions)
{
    const TTimeline* tl = clip->timeline;
    if (!tl || frame < 1 || frame > tl->FrameCount())
        return;
    const std::vector<Tag>& tags = *tl->tags;
    const std::uint32_t end = tl->frameEnd[static_cast<std::size_t>(frame - 1)];
    for (std::uint32_t i = tl->FrameBegin(frame); i < end && i < tags.size(); ++i) {
        const Tag& tag = tags[i];
        if (const PlaceObject* place = tag.As<PlaceObject>())
            ApplyPlace(clip, *place, frame);
        else if (const RemoveObject* remove = tag.As<RemoveObject>())
            ApplyRemove(clip, remove->depth);
        else if (const DoAction* action = tag.As<DoAction>()) {
            if (withActions)
                QueueActions(clip, &action->actions);
        }
    }
}

void TMovieStage::ApplyPlace(TDisplayObject* clip, const PlaceObject& place, int frame)
{
    TDisplayObject* existing = clip->ChildAtDepth(place.depth);
    auto applyFields = [&](TDisplayObject* o) {
        if (place.matrix) {
            o->matrix = ToQTransform(*place.matrix);
            o->hasScriptTransform = false;
        }
        if (place.colorTransform)
            o->cx = TColorXform::From(*place.colorTransform);
        if (place.name) {
            o->name = *place.name;
            ++clip->childVersion;
        }
        if (place.clipDepth)
            o->clipDepth = *place.clipDepth;
        if (place.filters)
            o->filters = *place.filters;
        if (place.visible)
            o->visible = *place.visible != 0;
    };
    if (place.move && existing) {
        if (place.characterId && *place.characterId != existing->characterId) {
            std::unique_ptr<TDisplayObject> fresh = Instantiate(clip->movie, *place.characterId);
            if (fresh) {
                fresh->depth = existing->depth;
                fresh->matrix = existing->matrix;
                fresh->cx = existing->cx;
                fresh->name = existing->name;
                fresh->clipDepth = existing->clipDepth;
                fresh->filters = existing->filters;
                fresh->clipActions = existing->clipActions;
                fresh->clipEvents = existing->clipEvents;
                fresh->placedOnFrame = existing->placedOnFrame;
                fresh->createdTick = FTickCount;
                Destroy(clip->TakeChild(existing));
                existing = clip->InsertChild(std::move(fresh));
                applyFields(existing);
                InitClip(existing);
            }
        } else {
            applyFields(existing);
        }
        Touch();
        return;
    }
    if (!place.characterId)
        return;
    std::unique_ptr<TDisplayObject> obj = Instantiate(clip->movie, *place.characterId);
    if (!obj)
        return;
    obj->depth = place.depth;
    obj->placedOnFrame = frame;
    obj->createdTick = FTickCount;
    obj->clipActions = place.clipActions;
    for (const ClipActionRecord& r : place.clipActions)
        obj->clipEvents |= r.events;
    if (existing)
        Destroy(clip->TakeChild(existing));
    TDisplayObject* raw = clip->InsertChild(std::move(obj));
    applyFields(raw);
    InitClip(raw);
    Touch();
}

void TMovieStage::ApplyRemove(TDisplayObject* clip, int depth)
{
    if (TDisplayObject* child = clip->ChildAtDepth(depth)) {
        Destroy(clip->TakeChild(child));
        Touch();
    }
}

void TMovieStage::Forget(TDisplayObject* object)
{
    for (const auto& child : object->children)
        Forget(child.get());
    FVm.ClipRemoved(object);
    FLive.erase(object);
    if (FHover == object)
        FHover = nullptr;
    if (FPressed == object)
        FPressed = nullptr;
}

void TMovieStage::Destroy(std::unique_ptr<TDisplayObject> object)
{
    if (!object)
        return;
    Forget(object.get());
    // Scripts on the stack may still point at it; it goes once the event is over.
    FGraveyard.push_back(std::move(object));
    if (FBusy == 0)
        FGraveyard.clear();
}

bool TMovieStage::Alive(TDisplayObject* object, std::uint64_t serial) const
{
    auto it = FLive.find(object);
    return it != FLive.end() && it->second == serial;
}

// ---------------------------------------------------------------------------------------
// Timelines

void TMovieStage::Rewind(TDisplayObject* clip, int frame)
{
    // What stands at each depth on the target frame, replayed from frame 1.
    const TTimeline* tl = clip->timeline;
    std::map<int, TPlaceState> state;
    for (int f = 1; f <= frame; ++f) {
        const std::uint32_t end = tl->frameEnd[static_cast<std::size_t>(f - 1)];
        for (std::uint32_t i = tl->FrameBegin(f); i < end && i < tl->tags->size(); ++i) {
            const Tag& tag = (*tl->tags)[i];
            if (const RemoveObject* remove = tag.As<RemoveObject>()) {
                state.erase(remove->depth);
                continue;
            }
            const PlaceObject* place = tag.As<PlaceObject>();
            if (!place)
                continue;
            auto it = state.find(place->depth);
            if (!place->move || it == state.end()) {
                if (!place->characterId)
                    continue;
                TPlaceState s;
                s.first = place;
                s.characterId = *place->characterId;
                s.placedFrame = f;
                it = state.insert_or_assign(place->depth, s).first;
            } else if (place->characterId && *place->characterId != it->second.characterId) {
                it->second.characterId = *place->characterId;
                it->second.placedFrame = f;
            }
            TPlaceState& s = it->second;
            if (place->matrix)
                s.matrix = ToQTransform(*place->matrix);
            if (place->colorTransform)
                s.cx = TColorXform::From(*place->colorTransform);
            if (place->name)
                s.name = *place->name;
            if (place->clipDepth)
                s.clipDepth = *place->clipDepth;
            if (place->filters)
                s.filters = *place->filters;
        }
    }
    // Keep what stays (same character, placed on the same frame), drop the rest.
    std::vector<TDisplayObject*> current;
    for (const auto& c : clip->children)
        current.push_back(c.get());
    for (TDisplayObject* child : current) {
        if (!child->placedByTimeline)
            continue;
        auto it = state.find(child->depth);
        if (it == state.end() || it->second.characterId != child->characterId ||
            it->second.placedFrame != child->placedOnFrame) {
            Destroy(clip->TakeChild(child));
            continue;
        }
        const TPlaceState& s = it->second;
        if (!child->hasScriptTransform)
            child->matrix = s.matrix;
        child->cx = s.cx;
        if (child->name != s.name) {
            child->name = s.name;
            ++clip->childVersion;
        }
        child->clipDepth = s.clipDepth;
        child->filters = s.filters;
    }
    for (const auto& [depth, s] : state) {
        if (clip->ChildAtDepth(depth))
            continue;
        std::unique_ptr<TDisplayObject> obj = Instantiate(clip->movie, s.characterId);
        if (!obj)
            continue;
        obj->depth = depth;
        obj->matrix = s.matrix;
        obj->cx = s.cx;
        obj->name = s.name;
        obj->clipDepth = s.clipDepth;
        obj->filters = s.filters;
        obj->placedOnFrame = s.placedFrame;
        obj->createdTick = FTickCount;
        if (s.first && s.characterId == s.first->characterId.value_or(0)) {
            obj->clipActions = s.first->clipActions;
            for (const ClipActionRecord& r : obj->clipActions)
                obj->clipEvents |= r.events;
        }
        TDisplayObject* raw = clip->InsertChild(std::move(obj));
        InitClip(raw);
    }
    // The target frame's scripts run; those of the frames passed over do not.
    const std::uint32_t end = tl->frameEnd[static_cast<std::size_t>(frame - 1)];
    for (std::uint32_t i = tl->FrameBegin(frame); i < end && i < tl->tags->size(); ++i)
        if (const DoAction* action = (*tl->tags)[i].As<DoAction>())
            QueueActions(clip, &action->actions);
    Touch();
}

void TMovieStage::GotoInternal(TDisplayObject* clip, int frame, bool play)
{
    if (!clip || !clip->timeline || clip->timeline->FrameCount() == 0)
        return;
    frame = std::clamp(frame, 1, clip->timeline->FrameCount());
    clip->playing = play;
    if (frame == clip->currentFrame)
        return;
    if (frame > clip->currentFrame) {
        for (int f = clip->currentFrame + 1; f <= frame; ++f)
            RunFrameTags(clip, f, f == frame);
    } else {
        Rewind(clip, frame);
    }
    clip->currentFrame = frame;
    Touch();
}

void TMovieStage::GotoFrame(TDisplayObject* clip, int frame, bool play) { GotoInternal(clip, frame, play); }

bool TMovieStage::GotoLabel(TDisplayObject* clip, const QString& label, bool play)
{
    if (!clip || !clip->timeline)
        return false;
    auto it = clip->timeline->labels.constFind(label.toLower());
    if (it == clip->timeline->labels.constEnd())
        return false;  // an unknown label is ignored
    GotoInternal(clip, it.value(), play);
    return true;
}

void TMovieStage::SetPlaying(TDisplayObject* clip, bool playing)
{
    if (clip)
        clip->playing = playing;
}

int TMovieStage::CurrentFrame() const
{
    const TDisplayObject* root = Level(0);
    return root ? std::max(1, root->currentFrame) : 0;
}

int TMovieStage::TotalFrames() const
{
    const TDisplayObject* root = Level(0);
    return root && root->timeline ? root->timeline->FrameCount() : 0;
}

void TMovieStage::GotoFrame(int frame, bool play)
{
    TDisplayObject* root = Level(0);
    if (!root)
        return;
    ++FBusy;
    GotoInternal(root, frame, play);
    RunQueue();
    --FBusy;
    FinishEvent();
}

bool TMovieStage::GotoLabel(const QString& label, bool play)
{
    TDisplayObject* root = Level(0);
    if (!root)
        return false;
    ++FBusy;
    const bool ok = GotoLabel(root, label, play);
    RunQueue();
    --FBusy;
    FinishEvent();
    return ok;
}

bool TMovieStage::Playing() const
{
    const TDisplayObject* root = Level(0);
    return root && root->playing;
}

void TMovieStage::SetPlaying(bool playing)
{
    if (TDisplayObject* root = Level(0))
        root->playing = playing;
}

void TMovieStage::CollectEnterFrame(TDisplayObject* clip)
{
    if (clip->timeline) {
        if (clip->clipEvents & ceEnterFrame)
            ClipEvent(clip, ceEnterFrame);
        else if (clip->scriptObject && FVm.HasClipHandler(clip, QStringLiteral("onEnterFrame")))
            QueueScriptHandler(clip, "onEnterFrame");
    }
    for (const auto& child : clip->children)
        CollectEnterFrame(child.get());
}

void TMovieStage::AdvanceClip(TDisplayObject* clip)
{
    const TTimeline* tl = clip->timeline;
    if (tl && clip->playing && tl->FrameCount() > 1 && clip->createdTick != FTickCount) {
        int next = clip->currentFrame + 1;
        if (next > tl->FrameCount()) {
            if (clip->level >= 0 && !FLoop) {
                clip->playing = false;
                next = clip->currentFrame;
            } else {
                next = 1;
            }
        }
        if (next != clip->currentFrame) {
            if (next == 1)
                Rewind(clip, 1);
            else
                RunFrameTags(clip, next, true);
            clip->currentFrame = next;
            Touch();
        }
    }
    // Children present before this tick move on too; the list may change under us.
    std::vector<std::pair<TDisplayObject*, std::uint64_t>> children;
    for (const auto& c : clip->children)
        if (c->timeline || c->kind == TDisplayKind::Button)
            children.emplace_back(c.get(), FLive[c.get()]);
    for (auto [child, serial] : children)
        if (Alive(child, serial) && child->createdTick != FTickCount)
            AdvanceClip(child);
}

void TMovieStage::Advance()
{
    if (!Level(0))
        return;
    ++FBusy;
    ++FTickCount;
    for (const auto& level : FLevels)
        if (level)
            CollectEnterFrame(level.get());
    RunQueue();
    for (std::size_t i = 0; i < FLevels.size(); ++i)
        if (FLevels[i])
            AdvanceClip(FLevels[i].get());
    RunQueue();
    // The display list may have moved under a resting pointer.
    if (FMouseInside)
        UpdateHover();
    RunQueue();
    --FBusy;
    FinishEvent();
}

// ---------------------------------------------------------------------------------------
// Buttons and the mouse

void TMovieStage::SetButtonState(TDisplayObject* button, std::uint8_t state)
{
    const ButtonDef* def = button->Button();
    if (!def)
        return;
    if (button->buttonState == state && !button->children.empty())
        return;
    while (!button->children.empty())
        Destroy(button->TakeChild(button->children.back().get()));
    button->buttonState = state;
    for (const ButtonRecord& r : def->records) {
        if (!(r.states & state))
            continue;
        std::unique_ptr<TDisplayObject> obj = Instantiate(button->movie, r.characterId);
        if (!obj)
            continue;
        obj->depth = r.depth;
        obj->matrix = ToQTransform(r.matrix);
        obj->cx = TColorXform::From(r.colorTransform);
        if (r.filters)
            obj->filters = *r.filters;
        obj->createdTick = FTickCount;
        TDisplayObject* raw = button->InsertChild(std::move(obj));
        InitClip(raw);
    }
    Touch();
}

bool TMovieStage::IsInteractive(TDisplayObject* object)
{
    if (object->kind == TDisplayKind::Button)
        return true;
    if (object->kind != TDisplayKind::Sprite)
        return false;
    if (object->clipEvents & kButtonEvents)
        return true;
    if (!object->scriptObject)
        return false;
    for (const char* name : kButtonHandlers)
        if (FVm.HasClipHandler(object, QString::fromLatin1(name)))
            return true;
    return false;
}

TDisplayObject* TMovieStage::Pick(TDisplayObject* clip, const QTransform& toStage, QPointF stageTwips)
{
    for (auto it = clip->children.rbegin(); it != clip->children.rend(); ++it) {
        TDisplayObject* child = it->get();
        if (!child->visible || child->clipDepth > 0)
            continue;
        if (IsInteractive(child)) {
            if (Inside(FRenderer.StageBounds(*child, false), stageTwips) &&
                FRenderer.HitTestShape(*child, child->matrix * toStage, stageTwips, true))
                return child;
            continue;
        }
        const QTransform m = child->matrix * toStage;
        if (child->kind == TDisplayKind::Sprite)
            if (TDisplayObject* hit = Pick(child, m, stageTwips))
                return hit;
    }
    return nullptr;
}

void TMovieStage::QueueActions(TDisplayObject* clip, const QByteArray* actions)
{
    if (!clip || !actions || actions->isEmpty())
        return;
    FQueue.push_back({clip, FLive[clip], actions, nullptr});
}

void TMovieStage::QueueScriptHandler(TDisplayObject* clip, const char* name)
{
    FQueue.push_back({clip, FLive[clip], nullptr, name});
}

void TMovieStage::ClipEvent(TDisplayObject* object, std::uint32_t event)
{
    if (!object)
        return;
    for (const ClipActionRecord& r : object->clipActions)
        if (r.events & event)
            QueueActions(object, &r.actions);
    if (const char* handler = HandlerFor(event); handler && object->scriptObject)
        QueueScriptHandler(object, handler);
}

void TMovieStage::ButtonTransition(TDisplayObject* button, std::uint16_t condition, std::uint8_t state)
{
    SetButtonState(button, state);
    const ButtonDef* def = button->Button();
    if (!def)
        return;
    // Button actions run on the timeline that holds the button.
    TDisplayObject* timeline = button->parent ? button->parent : button;
    for (const ButtonAction& a : def->actions) {
        const bool match = def->buttonVersion == 1 ? condition == bcOverDownToOverUp : (a.conditions & condition) != 0;
        if (match)
            QueueActions(timeline, &a.actions);
    }
    ClipEvent(button, condition == bcIdleToOverUp        ? ceRollOver
                      : condition == bcOverUpToIdle      ? ceRollOut
                      : condition == bcOverUpToOverDown  ? cePress
                      : condition == bcOverDownToOverUp  ? ceRelease
                      : condition == bcOutDownToIdle     ? ceReleaseOutside
                      : condition == bcOutDownToOverDown ? ceDragOver
                                                         : ceDragOut);
}

void TMovieStage::UpdateHover()
{
    TDisplayObject* picked = nullptr;
    if (FMouseInside) {
        const QPointF t = FMouse * 20.0;
        for (auto it = FLevels.rbegin(); it != FLevels.rend() && !picked; ++it)
            if (*it && (*it)->visible)
                picked = Pick(it->get(), (*it)->matrix, t);
    }
    if (FPressed) {
        const bool over = picked == FPressed;
        if (over != FPressedOver) {
            FPressedOver = over;
            if (FPressed->kind == TDisplayKind::Button)
                ButtonTransition(FPressed, over ? bcOutDownToOverDown : bcOverDownToOutDown, over ? bsDown : bsOver);
            else
                ClipEvent(FPressed, over ? ceDragOver : ceDragOut);
        }
        return;  // while a button is held, nothing else rolls over or out
    }
    if (picked == FHover)
        return;
    if (FHover) {
        if (FHover->kind == TDisplayKind::Button)
            ButtonTransition(FHover, bcOverUpToIdle, bsUp);
        else
            ClipEvent(FHover, ceRollOut);
    }
    FHover = picked;
    if (picked) {
        if (picked->kind == TDisplayKind::Button)
            ButtonTransition(picked, bcIdleToOverUp, bsOver);
        else
            ClipEvent(picked, ceRollOver);
    }
}

void TMovieStage::Broadcast(std::uint32_t event)
{
    // A busy scene has far more objects than listeners: the walk that finds them is made
    // once per change of the stage rather than on every move of the pointer.
    if (FMouseListenersEpoch != FRenderer.Epoch()) {
        FMouseListeners.clear();
        constexpr std::uint32_t kMouseEvents = ceMouseMove | ceMouseDown | ceMouseUp;
        std::vector<TDisplayObject*> stack;
        for (auto level = FLevels.rbegin(); level != FLevels.rend(); ++level)
            if (*level)
                stack.push_back(level->get());
        while (!stack.empty()) {
            TDisplayObject* clip = stack.back();
            stack.pop_back();
            if (clip->clipEvents & kMouseEvents)
                FMouseListeners.push_back(clip);
            for (auto child = clip->children.rbegin(); child != clip->children.rend(); ++child)
                stack.push_back(child->get());
        }
        FMouseListenersEpoch = FRenderer.Epoch();
    }
    for (TDisplayObject* clip : FMouseListeners)
        if (clip->clipEvents & event)
            ClipEvent(clip, event);
}

void TMovieStage::MouseMove(QPointF stage)
{
    ++FBusy;
    FMouse = stage;
    FMouseInside = true;
    Broadcast(ceMouseMove);
    UpdateHover();
    RunQueue();
    --FBusy;
    FinishEvent();
}

void TMovieStage::MouseDown(QPointF stage)
{
    ++FBusy;
    FMouse = stage;
    FMouseInside = true;
    UpdateHover();
    Broadcast(ceMouseDown);
    FMouseDown = true;
    if (FHover && !FPressed) {
        FPressed = FHover;
        FPressedOver = true;
        if (FPressed->kind == TDisplayKind::Button)
            ButtonTransition(FPressed, bcOverUpToOverDown, bsDown);
        else
            ClipEvent(FPressed, cePress);
    }
    RunQueue();
    --FBusy;
    FinishEvent();
}

void TMovieStage::MouseUp(QPointF stage)
{
    ++FBusy;
    FMouse = stage;
    Broadcast(ceMouseUp);
    FMouseDown = false;
    if (FPressed) {
        // Where the pointer is now decides between a click and a release outside.
        TDisplayObject* pressed = FPressed;
        FPressed = nullptr;
        TDisplayObject* picked = nullptr;
        if (FMouseInside) {
            const QPointF t = FMouse * 20.0;
            for (auto it = FLevels.rbegin(); it != FLevels.rend() && !picked; ++it)
                if (*it && (*it)->visible)
                    picked = Pick(it->get(), (*it)->matrix, t);
        }
        if (picked == pressed) {
            if (pressed->kind == TDisplayKind::Button)
                ButtonTransition(pressed, bcOverDownToOverUp, bsOver);
            else
                ClipEvent(pressed, ceRelease);
        } else {
            if (pressed->kind == TDisplayKind::Button)
                ButtonTransition(pressed, bcOutDownToIdle, bsUp);
            else
                ClipEvent(pressed, ceReleaseOutside);
            // No roll-out follows a release outside; what lies under the pointer rolls over.
            FHover = nullptr;
        }
    }
    UpdateHover();
    RunQueue();
    --FBusy;
    FinishEvent();
}

void TMovieStage::MouseLeave()
{
    ++FBusy;
    FMouseInside = false;
    UpdateHover();
    RunQueue();
    --FBusy;
    FinishEvent();
}

// ---------------------------------------------------------------------------------------
// Scripts

void TMovieStage::RunQueue()
{
    int runs = 0;
    while (!FQueue.empty()) {
        const TQueued q = FQueue.front();
        FQueue.pop_front();
        if (!Alive(q.clip, q.serial))
            continue;
        if (++runs > kMaxQueuedRuns) {
            FQueue.clear();
            break;
        }
        if (q.actions)
            FVm.RunActions(*q.actions, q.clip);
        else
            FVm.CallClipHandler(q.clip, QString::fromLatin1(q.handler));
    }
}

void TMovieStage::FinishEvent()
{
    if (FBusy != 0)
        return;
    FGraveyard.clear();
    // Movies scripts asked for arrive now that no script runs.
    while (!FPendingLoads.empty()) {
        std::vector<TPendingLoad> loads;
        loads.swap(FPendingLoads);
        ++FBusy;
        for (TPendingLoad& l : loads) {
            if (l.level >= 0)
                SetLevel(l.level, l.movie);
            else if (Alive(l.clip, l.serial))
                LoadInto(l.clip, l.movie);
            RunQueue();
        }
        --FBusy;
        FGraveyard.clear();
    }
    while (!FCommands.empty()) {
        const TCommand c = FCommands.front();
        FCommands.pop_front();
        if (onFSCommand)
            onFSCommand(c.command, c.argument);
    }
    if (FDirty && onChange)
        onChange();
}

void TMovieStage::GetUrl(TDisplayObject* clip, const QString& url, const QString& target)
{
    if (url.startsWith(QLatin1String("FSCommand:"), Qt::CaseInsensitive)) {
        FCommands.push_back({url.mid(10), target});
        return;
    }
    if (target.isEmpty() || !onLoadResource)
        return;  // a page for a browser window: nothing to do here
    // loadMovie and loadMovieNum: the target is a level or a clip.
    TPendingLoad load{target, nullptr, 0, -1, nullptr};
    if (target.startsWith(QLatin1String("_level"), Qt::CaseInsensitive) && !target.contains(QLatin1Char('.')) &&
        !target.contains(QLatin1Char('/'))) {
        bool ok = false;
        load.level = target.mid(6).toInt(&ok);
        if (!ok || load.level < 0)
            return;
    } else {
        // A target path from the root: "_level0.a.b", "/a/b" or "a.b" from the clip.
        QString path = target;
        TDisplayObject* node = clip ? clip : Level(0);
        if (path.startsWith(QLatin1Char('/'))) {
            node = node ? node->Root() : nullptr;
            path = path.mid(1);
        } else if (path.startsWith(QLatin1String("_level"), Qt::CaseInsensitive)) {
            const qsizetype dot = path.indexOf(QLatin1Char('.'));
            node = Level(path.mid(6, dot < 0 ? -1 : dot - 6).toInt());
            path = dot < 0 ? QString() : path.mid(dot + 1);
        }
        const QStringList parts = path.split(QRegularExpression(QStringLiteral("[./]")), Qt::SkipEmptyParts);
        for (const QString& part : parts) {
            if (!node)
                return;
            node = part == QLatin1String("..") || part == QLatin1String("_parent") ? node->parent
                                                                                   : node->ChildByName(part, node->movie && node->movie->Version() >= 7);
        }
        if (!node || !node->IsClip())
            return;
        load.clip = node;
        load.serial = FLive[node];
    }
    if (url.isEmpty()) {
        // loadMovie("") unloads.
        if (load.level >= 0)
            Unload(load.level);
        return;
    }
    bool found = false;
    const QByteArray bytes = onLoadResource(url, found);
    if (!found)
        return;
    ReadResult r = ReadMovie(bytes);
    if (!r.Ok()) {
        Trace(QStringLiteral("Error opening URL \"%1\": %2").arg(url, r.message));
        return;
    }
    load.movie = std::make_shared<const TMovieData>(std::move(r.movie));
    FPendingLoads.push_back(std::move(load));
}

bool TMovieStage::HitTestPoint(TDisplayObject* clip, QPointF stagePoint, bool shapeFlag)
{
    if (!clip)
        return false;
    // Most clips of a scene lie elsewhere: their cached box settles it. The point is taken
    // a coordinate at a time, which also keeps the compiler from reading it back from the
    // stack as one block just after storing it in halves (a stall on every clip).
    const QRectF& b = FRenderer.StageBounds(*clip, !shapeFlag);
    if (!shapeFlag && b.isNull())
        return false;
    const double x = stagePoint.x() * 20.0;
    if (!(x >= b.left() && x <= b.right()))
        return false;
    const double y = stagePoint.y() * 20.0;
    if (!(y >= b.top() && y <= b.bottom()))
        return false;
    return !shapeFlag || FRenderer.HitTestShape(*clip, clip->ToStage(), QPointF(x, y), false);
}

QRectF TMovieStage::Bounds(TDisplayObject* clip, TDisplayObject* space)
{
    if (!clip)
        return {};
    QTransform toSpace = clip->ToStage();
    if (space)
        toSpace = toSpace * space->ToStage().inverted();
    const QRectF r = FRenderer.Bounds(*clip, toSpace, true);
    return r.isNull() ? QRectF() : QRectF(r.topLeft() / 20.0, r.size() / 20.0);
}

void TMovieStage::Trace(const QString& text)
{
    if (onTrace)
        onTrace(text);
}

void TMovieStage::Invalidate() { Touch(); }

void TMovieStage::Touch()
{
    FDirty = true;
    FRenderer.GeometryChanged();
    FVm.DisplayListChanged();
}

QString TMovieStage::CallFunction(const QString& request, bool* ok)
{
    ++FBusy;
    QString name;
    std::vector<avm1::TValue> args;
    avm1::TValue result;
    const bool called = avm1::ParseInvoke(FVm, request, name, args) && FVm.CallExternal(name, args, result);
    // The answer is written before anything else runs: later scripts may collect it.
    const QString answer = called ? avm1::ValueToXml(FVm, result) : QString();
    RunQueue();
    --FBusy;
    FinishEvent();
    if (ok)
        *ok = called;
    return answer;
}

void TMovieStage::Render(QPainter& painter, const QTransform& stageToDevice)
{
    for (const auto& level : FLevels)
        if (level)
            FRenderer.Render(painter, *level, stageToDevice);
}

QString TMovieStage::ClipNameAt(QPointF stage, bool shapes)
{
    TDisplayObject* root = Level(0);
    if (!root)
        return {};
    for (auto it = root->children.rbegin(); it != root->children.rend(); ++it) {
        TDisplayObject* child = it->get();
        if (child->kind != TDisplayKind::Sprite || child->name.isEmpty())
            continue;
        if (HitTestPoint(child, stage, shapes))
            return child->name;
    }
    return {};
}

}  // namespace swf

// ---------------------------------------------------------------------------------------
// The widget

TMoviePlayer::TMoviePlayer(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    setAcceptDrops(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    FClock.setTimerType(Qt::PreciseTimer);
    QObject::connect(&FClock, &QTimer::timeout, this, [this] { Tick(); });
    FStage.onChange = [this] { update(); };
    FStage.onFSCommand = [this](const QString& command, const QString& argument) {
        if (OnFSCommand)
            OnFSCommand(this, command, argument);
    };
    FStage.onLoadResource = [this](const QString& name, bool& found) -> QByteArray {
        found = false;
        return OnLoadExternalResource ? OnLoadExternalResource(this, name, found) : QByteArray();
    };
}

TMoviePlayer::~TMoviePlayer()
{
    FStage.onChange = nullptr;
    FStage.onFSCommand = nullptr;
    FStage.onLoadResource = nullptr;
}

bool TMoviePlayer::LoadMovie(int layer, const QByteArray& bytes)
{
    const bool ok = FStage.Load(bytes, layer);
    StartClock();
    UpdateCursor();
    update();
    return ok;
}

void TMoviePlayer::Unload()
{
    FStage.Unload(0);
    FClock.stop();
    UpdateCursor();
    update();
}

void TMoviePlayer::StartClock()
{
    if (!FStage.IsLoaded()) {
        FClock.stop();
        return;
    }
    FClock.start(std::max(1, static_cast<int>(1000.0 / FStage.FrameRate())));
}

void TMoviePlayer::Tick()
{
    FStage.Advance();
    UpdateCursor();
}

void TMoviePlayer::SetScaleMode(int mode)
{
    if (mode == FScaleMode)
        return;
    FScaleMode = mode;
    update();
}

void TMoviePlayer::SetAlignMode(int align)
{
    if (align == FAlignMode)
        return;
    FAlignMode = align;
    update();
}

void TMoviePlayer::SetBackgroundColor(int rrggbb)
{
    if (rrggbb == FBackground)
        return;
    FBackground = rrggbb;
    update();
}

QColor TMoviePlayer::EffectiveBackground() const
{
    if (FBackground >= 0)
        return QColor((FBackground >> 16) & 0xFF, (FBackground >> 8) & 0xFF, FBackground & 0xFF);
    if (const auto bg = FStage.MovieBackground())
        return QColor(bg->r, bg->g, bg->b);
    return Qt::white;
}

void TMoviePlayer::GotoFrame(int frameIndex)
{
    FStage.GotoFrame(frameIndex + 1, false);
    update();
}

void TMoviePlayer::Play()
{
    FStage.SetPlaying(true);
    StartClock();
}

void TMoviePlayer::Stop() { FStage.SetPlaying(false); }

QString TMoviePlayer::CallFunction(const QString& xmlRequest) { return FStage.CallFunction(xmlRequest); }

void TMoviePlayer::SendMouseMove(QPoint widgetPos)
{
    FStage.MouseMove(WidgetToStage(widgetPos));
    UpdateCursor();
}

QTransform TMoviePlayer::StageToWidget() const
{
    const swf::TMovieData* movie = FStage.Movie0();
    const QSizeF stage = FStage.StageSize();
    if (!movie || stage.width() <= 0 || stage.height() <= 0)
        return {};
    const double w = width(), h = height();
    double sx = 1, sy = 1;
    switch (FScaleMode) {
    case 0:
        sx = sy = std::min(w / stage.width(), h / stage.height());
        break;
    case 1:
        sx = sy = std::max(w / stage.width(), h / stage.height());
        break;
    case 2:
        sx = w / stage.width();
        sy = h / stage.height();
        break;
    default:
        break;
    }
    const double freeX = w - stage.width() * sx;
    const double freeY = h - stage.height() * sy;
    const double ox = (FAlignMode & 1) ? 0.0 : (FAlignMode & 2) ? freeX : freeX / 2.0;
    const double oy = (FAlignMode & 4) ? 0.0 : (FAlignMode & 8) ? freeY : freeY / 2.0;
    const swf::Rect& r = movie->Data().header.frameRect;
    return QTransform::fromTranslate(-r.xMin / 20.0, -r.yMin / 20.0) * QTransform(sx, 0, 0, sy, ox, oy);
}

QPointF TMoviePlayer::WidgetToStage(QPointF widgetPos) const { return StageToWidget().inverted().map(widgetPos); }

void TMoviePlayer::DrawFrame(QPainter& painter, QSize size)
{
    painter.fillRect(QRect(QPoint(0, 0), size), EffectiveBackground());
    if (!FStage.IsLoaded())
        return;
    FStage.Render(painter, QTransform::fromScale(0.05, 0.05) * StageToWidget());
}

void TMoviePlayer::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    DrawFrame(painter, size());
    FStage.ClearDirty();
}

QImage TMoviePlayer::FrameImage()
{
    QImage image(size().expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    DrawFrame(painter, image.size());
    painter.end();
    return image;
}

void TMoviePlayer::UpdateCursor()
{
    if (FStage.Hovered())
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
}

void TMoviePlayer::mouseMoveEvent(QMouseEvent* event)
{
    FStage.MouseMove(WidgetToStage(event->position()));
    UpdateCursor();
    if (FDragPending) {
        if (event->buttons() == Qt::NoButton)
            FDragPending = false;
        else if ((event->position().toPoint() - FPressPos).manhattanLength() >= QApplication::startDragDistance() &&
                 FPressTime.isValid() && FPressTime.elapsed() >= FDragDelay)
            RunDrag();
    }
}

void TMoviePlayer::mousePressEvent(QMouseEvent* event)
{
    FPressPos = event->position().toPoint();
    FPressTime.start();
    FButtonDown = true;
    if (OnMouseDown)
        OnMouseDown(this, event->button(), event->modifiers(), FPressPos);
    if (event->button() == Qt::LeftButton)
        FStage.MouseDown(WidgetToStage(event->position()));
    UpdateCursor();
}

void TMoviePlayer::mouseReleaseEvent(QMouseEvent* event)
{
    FButtonDown = false;
    FDragPending = false;
    if (event->button() == Qt::LeftButton)
        FStage.MouseUp(WidgetToStage(event->position()));
    UpdateCursor();
}

void TMoviePlayer::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (OnDblClick)
        OnDblClick(this);
    // The movie sees the second press as a press.
    if (event->button() == Qt::LeftButton)
        FStage.MouseDown(WidgetToStage(event->position()));
}

void TMoviePlayer::leaveEvent(QEvent*)
{
    FStage.MouseLeave();
    UpdateCursor();
}

void TMoviePlayer::dragEnterEvent(QDragEnterEvent* event)
{
    bool accept = false;
    if (OnDragOver)
        OnDragOver(this, event->mimeData(), event->position().toPoint(), 0, accept);
    if (accept)
        event->acceptProposedAction();
    else
        event->ignore();
}

void TMoviePlayer::dragMoveEvent(QDragMoveEvent* event)
{
    bool accept = false;
    if (OnDragOver)
        OnDragOver(this, event->mimeData(), event->position().toPoint(), 1, accept);
    if (accept)
        event->acceptProposedAction();
    else
        event->ignore();
}

void TMoviePlayer::dragLeaveEvent(QDragLeaveEvent*)
{
    bool accept = false;
    if (OnDragOver)
        OnDragOver(this, nullptr, mapFromGlobal(QCursor::pos()), 2, accept);
}

void TMoviePlayer::dropEvent(QDropEvent* event)
{
    if (OnDragDrop)
        OnDragDrop(this, event->mimeData(), event->position().toPoint());
    event->acceptProposedAction();
}

void TMoviePlayer::BeginDrag(bool immediate, int minDelayMs)
{
    if (immediate) {
        RunDrag();
        return;
    }
    if (!FButtonDown) {
        FPressPos = mapFromGlobal(QCursor::pos());
        FPressTime.start();
    }
    FDragDelay = std::max(0, minDelayMs);
    FDragPending = true;
}

void TMoviePlayer::RunDrag()
{
    FDragPending = false;
    QMimeData* data = OnStartDrag ? OnStartDrag(this) : nullptr;
    if (!data)
        return;
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    const Qt::DropAction action = drag->exec(Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, Qt::CopyAction);
    // The release happened elsewhere; the movie hears of it where the pointer is now.
    FButtonDown = false;
    FStage.MouseUp(WidgetToStage(mapFromGlobal(QCursor::pos())));
    UpdateCursor();
    if (OnEndDrag)
        OnEndDrag(this, action);
}
