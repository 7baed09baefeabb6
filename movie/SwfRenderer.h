#pragma once
// Draws a movie's display list with QPainter, anti-aliased, and answers the geometric
// questions the player and its scripts ask: bounds and hit tests.
//
// Units: the display tree holds matrices in twips (1/20 pixel), as the movie does; the
// renderer takes one transform from the stage's twips to device pixels. Shapes follow the
// movie's own drawing rules: every edge may carry a fill on each side (fill style 0 on the
// left of its direction, fill style 1 on the right), so the renderer links the edges of each
// fill style into closed outlines, the fill-0 edges reversed, and fills them even-odd
// (non-zero when a DefineShape4 asks for it). Within one style layer all fills are drawn in
// style order first, then the strokes. Strokes are never thinner than one device pixel.

#include <QColor>
#include <QHash>
#include <QImage>
#include <QPainterPath>
#include <QRectF>
#include <QTransform>

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "movie/SwfModel.h"

class QPainter;

namespace swf {

// A colour transform in floating point: channel' = channel·mul + add (add in 0..255),
// applied to straight (not premultiplied) colours.
struct TColorXform {
    float mul[4] = {1, 1, 1, 1};  // r, g, b, a
    float add[4] = {0, 0, 0, 0};

    static TColorXform From(const ColorTransform& cx);
    // This transform applied after `inner`: the parent's transform on a child's.
    TColorXform Compose(const TColorXform& inner) const;
    QColor Apply(Rgba c) const;
    bool IsIdentity() const;
    // Nothing drawn under it can be visible.
    bool IsTransparent() const { return mul[3] <= 0 && add[3] <= 0; }
};

inline QTransform ToQTransform(const Matrix& m) { return QTransform(m.A(), m.B(), m.C(), m.D(), m.Tx(), m.Ty()); }

// The frames of one timeline (the main movie or a sprite): which tags make up each frame,
// and the frame labels.
struct TTimeline {
    const std::vector<Tag>* tags = nullptr;
    std::vector<std::uint32_t> frameEnd;  // index of the tag after each frame's ShowFrame
    QHash<QString, int> labels;           // lower-case label -> 1-based frame
    int FrameCount() const { return static_cast<int>(frameEnd.size()); }
    std::uint32_t FrameBegin(int frame) const { return frame <= 1 ? 0 : frameEnd[static_cast<std::size_t>(frame - 2)]; }
};

// A movie as the player holds it: the parsed tags, the character dictionary and the
// timelines, kept together so display objects can point into them.
class TMovieData {
public:
    explicit TMovieData(Movie movie);
    const Movie& Data() const { return FMovie; }
    int Version() const { return FMovie.header.version; }
    const Tag* Character(std::uint16_t id) const;
    const TTimeline& MainTimeline() const { return FMain; }
    const TTimeline* SpriteTimeline(const SpriteDef* sprite) const;
    const FontDef* Font(std::uint16_t id) const;

private:
    void Index(const std::vector<Tag>& tags);
    static TTimeline BuildTimeline(const std::vector<Tag>& tags);
    Movie FMovie;
    std::unordered_map<std::uint16_t, const Tag*> FCharacters;
    TTimeline FMain;
    std::unordered_map<const SpriteDef*, TTimeline> FSprites;
};

enum class TDisplayKind : std::uint8_t { Shape, Sprite, EditText, Text, Button, Other };

// One object on the stage. Sprites and levels own their children, sorted by depth.
struct TDisplayObject {
    TDisplayKind kind = TDisplayKind::Other;
    std::shared_ptr<const TMovieData> movie;  // the movie whose characters this object uses
    const Tag* definition = nullptr;          // null for levels
    std::uint16_t characterId = 0;
    int depth = 0;
    QString name;
    QTransform matrix;  // local twips -> parent twips
    TColorXform cx;
    std::vector<Filter> filters;
    int clipDepth = 0;  // a mask for the depths above it up to clipDepth
    bool visible = true;
    int level = -1;     // >= 0 for the root of a level
    TDisplayObject* parent = nullptr;
    std::vector<std::unique_ptr<TDisplayObject>> children;
    std::uint32_t childVersion = 0;  // bumped when children come, go or are renamed

    // Timelines (sprites, levels).
    const TTimeline* timeline = nullptr;
    int currentFrame = 0;  // 1-based; 0 before the first frame ran
    bool playing = true;
    bool placedByTimeline = true;
    int placedOnFrame = 0;
    std::uint64_t createdTick = 0;  // the frame-clock tick it was placed on
    std::vector<ClipActionRecord> clipActions;
    std::uint32_t clipEvents = 0;  // union of the clip actions' event flags

    // Buttons.
    std::uint8_t buttonState = bsUp;

    // Texts: what a text field shows (its initial text unless a script set another).
    QString text;

    // Scale and rotation as scripts last set them; the matrix alone loses the sign of a
    // flip and the exact figures.
    bool hasScriptTransform = false;
    double xscale = 100, yscale = 100, rotation = 0;

    // The script interpreter's object for this display object, once a script touched it.
    void* scriptObject = nullptr;

    // Bounds in stage twips, kept while nothing on the stage moves (see the renderer's
    // geometry epoch): drawn ones and the ones the movie states.
    mutable QRectF stageBounds, stageFileBounds;
    mutable std::uint64_t stageBoundsEpoch = 0;

    const ShapeDef* Shape() const { return definition ? definition->As<ShapeDef>() : nullptr; }
    const SpriteDef* Sprite() const { return definition ? definition->As<SpriteDef>() : nullptr; }
    const EditTextDef* EditText() const { return definition ? definition->As<EditTextDef>() : nullptr; }
    const TextDef* Text() const { return definition ? definition->As<TextDef>() : nullptr; }
    const ButtonDef* Button() const { return definition ? definition->As<ButtonDef>() : nullptr; }
    bool IsClip() const { return kind == TDisplayKind::Sprite || level >= 0; }

    TDisplayObject* ChildAtDepth(int depth) const;
    TDisplayObject* ChildByName(const QString& name, bool caseSensitive) const;
    // Takes ownership; replaces nothing (callers remove first).
    TDisplayObject* InsertChild(std::unique_ptr<TDisplayObject> child);
    std::unique_ptr<TDisplayObject> TakeChild(TDisplayObject* child);
    // Local twips -> stage twips.
    QTransform ToStage() const;
    TDisplayObject* Root();
};

// A point of an outline in twips: an anchor, or the control point of the quadratic piece
// that ends at the next anchor.
struct TOutlinePoint {
    std::int32_t x = 0, y = 0;
    bool control = false;
};

// One fill or stroke of a shape, in the shape's twips. Fills are closed contours linked
// from the edges of one fill style; strokes are runs of edges, closed when they end where
// they start. Curves are flattened for the largest device scale drawn so far: a fill
// becomes one polygon (contours joined by bridges that are walked there and back, so they
// cancel under either fill rule), a stroke one polyline per run. Drawing polygons skips
// the path machinery that would otherwise dominate a scene of many small shapes.
struct TShapeItem {
    bool stroke = false;
    bool nonZero = false;
    const FillStyle* fill = nullptr;
    const LineStyle* line = nullptr;
    std::vector<std::vector<TOutlinePoint>> outlines;
    QRectF bounds;  // control points included; strokes widened by half their width

    mutable std::vector<QPointF> polygon;  // flattened; strokes: runs one after another
    mutable std::vector<std::uint32_t> runEnd;  // strokes: end of each run in `polygon`
    mutable std::vector<bool> runClosed;
    mutable QPainterPath wideOutline;  // strokes wider than a pixel, as a fillable outline
    mutable double wideOutlineScale = 0;

    // The flattened outline as a path (masks, tests).
    QPainterPath Path() const;
    // Point in twips on the fill (by its fill rule) or within half the stroke's width.
    bool Contains(QPointF p) const;
};

struct TShapeCache {
    std::vector<TShapeItem> items;
    QRectF bounds;      // of the outlines, strokes included
    QRectF fileBounds;  // as the movie states them: what bounding-box hit tests use
    mutable double flatScale = 0;  // device pixels per twip the polygons were made for
    // Flattens the curves afresh when drawing at a larger scale than before.
    void EnsureFlat(double scale) const;
};

// Converts shape records to paths (edges linked per fill style). Exposed for tests.
TShapeCache BuildShapeCache(const std::vector<ShapeRecord>& records, const std::vector<FillStyle>& fills,
                            const std::vector<LineStyle>& lines, bool nonZero);

class TSwfRenderer {
public:
    TSwfRenderer();
    ~TSwfRenderer();

    // Forgets cached paths (their shapes belong to a movie being unloaded).
    void Clear();

    // Draws `root` and everything below it; `toDevice` maps the root's parent twips to device
    // pixels. Anti-aliasing is switched on here.
    void Render(QPainter& painter, const TDisplayObject& root, const QTransform& toDevice);

    // Axis-aligned bounds of the object's content in the space `toSpace` maps its local
    // twips to. `fileBounds`: the bounds the movie states for its shapes (what bounding-box
    // hit tests use) rather than the drawn ones. Empty when it shows nothing.
    QRectF Bounds(const TDisplayObject& object, const QTransform& toSpace, bool fileBounds = true);

    // Whether a point in stage twips lies on the object's shapes (fills, strokes, texts'
    // boxes). `objectToStage`: the object's local twips to stage twips. Invisible objects
    // are tested too unless `visibleOnly`.
    bool HitTestShape(const TDisplayObject& object, const QTransform& objectToStage, QPointF stageTwips,
                      bool visibleOnly = false);

    const TShapeCache& ShapeCache(const ShapeDef& shape);

    // Something on the stage moved, came or went: cached stage bounds are stale.
    void GeometryChanged() { ++FEpoch; }
    // Changes with every GeometryChanged: what was computed from the stage at one epoch
    // holds while it stays the same.
    std::uint64_t Epoch() const { return FEpoch; }
    // The object's bounds in stage twips (drawn, or as stated), from the cache while the
    // stage has not changed.
    const QRectF& StageBounds(const TDisplayObject& object, bool fileBounds)
    {
        if (object.stageBoundsEpoch != FEpoch)
            UpdateStageBounds(object);
        return fileBounds ? object.stageFileBounds : object.stageBounds;
    }

    // Figures for tests and benchmarks.
    std::size_t CachedShapes() const { return FShapes.size(); }

private:
    struct TContext;
    void Draw(TContext& ctx, const TDisplayObject& object, const QTransform& toDevice, const TColorXform& cx);
    void DrawContent(TContext& ctx, const TDisplayObject& object, const QTransform& toDevice, const TColorXform& cx);
    void DrawChildren(TContext& ctx, const TDisplayObject& object, const QTransform& toDevice, const TColorXform& cx);
    void DrawFiltered(TContext& ctx, const TDisplayObject& object, const QTransform& toDevice, const TColorXform& cx);
    void DrawShape(TContext& ctx, const TShapeCache& shape, const QTransform& toDevice, const TColorXform& cx);
    void DrawEditText(TContext& ctx, const TDisplayObject& object, const QTransform& toDevice, const TColorXform& cx);
    void DrawText(TContext& ctx, const TDisplayObject& object, const QTransform& toDevice, const TColorXform& cx);
    const TShapeCache& GlyphCache(const Glyph& glyph);
    void UpdateStageBounds(const TDisplayObject& object);
    QRectF TextBounds(const TDisplayObject& object) const;

    std::unordered_map<const void*, std::unique_ptr<TShapeCache>> FShapes;
    std::uint64_t FEpoch = 1;
};

// A box blur of the alpha channel, `passes` times, the way the movie's blur filters
// soften: radius in pixels on each axis. Exposed for tests.
void BlurAlpha(QImage& image, double blurX, double blurY, int passes);

}  // namespace swf
