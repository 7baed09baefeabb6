#include "movie/SwfRenderer.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPathStroker>
#include <QRadialGradient>
#include <QTextDocument>

#include <algorithm>
#include <functional>
#include <cmath>
#include <numbers>
#include <unordered_map>

namespace swf {

// ---------------------------------------------------------------------------------------
// Colour transforms

TColorXform TColorXform::From(const ColorTransform& cx)
{
    TColorXform t;
    if (cx.hasMult) {
        t.mul[0] = cx.rMult / 256.0f;
        t.mul[1] = cx.gMult / 256.0f;
        t.mul[2] = cx.bMult / 256.0f;
        t.mul[3] = cx.aMult / 256.0f;
    }
    if (cx.hasAdd) {
        t.add[0] = cx.rAdd;
        t.add[1] = cx.gAdd;
        t.add[2] = cx.bAdd;
        t.add[3] = cx.aAdd;
    }
    return t;
}

TColorXform TColorXform::Compose(const TColorXform& inner) const
{
    TColorXform t;
    for (int i = 0; i < 4; ++i) {
        t.mul[i] = mul[i] * inner.mul[i];
        t.add[i] = mul[i] * inner.add[i] + add[i];
    }
    return t;
}

QColor TColorXform::Apply(Rgba c) const
{
    auto ch = [this](int i, int v) { return std::clamp(static_cast<int>(v * mul[i] + add[i]), 0, 255); };
    return QColor(ch(0, c.r), ch(1, c.g), ch(2, c.b), ch(3, c.a));
}

bool TColorXform::IsIdentity() const
{
    for (int i = 0; i < 4; ++i)
        if (mul[i] != 1.0f || add[i] != 0.0f)
            return false;
    return true;
}

// ---------------------------------------------------------------------------------------
// Movies, timelines and display objects

TMovieData::TMovieData(Movie movie) : FMovie(std::move(movie))
{
    Index(FMovie.tags);
    FMain = BuildTimeline(FMovie.tags);
    for (const auto& [id, tag] : FCharacters)
        if (const SpriteDef* sprite = tag->As<SpriteDef>())
            FSprites.emplace(sprite, BuildTimeline(sprite->tags));
}

void TMovieData::Index(const std::vector<Tag>& tags)
{
    for (const Tag& tag : tags)
        if (const auto id = tag.DefinedId())
            FCharacters.emplace(*id, &tag);  // a second definition of an id is ignored
}

TTimeline TMovieData::BuildTimeline(const std::vector<Tag>& tags)
{
    TTimeline t;
    t.tags = &tags;
    bool pending = false;  // control tags after the last ShowFrame
    for (std::size_t i = 0; i < tags.size(); ++i) {
        const Tag& tag = tags[i];
        if (tag.code == tcEnd)
            break;
        if (tag.code == tcShowFrame) {
            t.frameEnd.push_back(static_cast<std::uint32_t>(i + 1));
            pending = false;
            continue;
        }
        if (const FrameLabel* label = tag.As<FrameLabel>()) {
            const QString key = label->name.toLower();
            if (!t.labels.contains(key))
                t.labels.insert(key, static_cast<int>(t.frameEnd.size()) + 1);
        }
        if (tag.As<PlaceObject>() || tag.As<RemoveObject>() || tag.As<DoAction>() || tag.As<FrameLabel>())
            pending = true;
    }
    // A timeline that places objects but never shows a frame still has that one frame.
    if (pending || t.frameEnd.empty()) {
        std::size_t end = 0;
        while (end < tags.size() && tags[end].code != tcEnd)
            ++end;
        t.frameEnd.push_back(static_cast<std::uint32_t>(end));
    }
    return t;
}

const Tag* TMovieData::Character(std::uint16_t id) const
{
    auto it = FCharacters.find(id);
    return it == FCharacters.end() ? nullptr : it->second;
}

const TTimeline* TMovieData::SpriteTimeline(const SpriteDef* sprite) const
{
    auto it = FSprites.find(sprite);
    return it == FSprites.end() ? nullptr : &it->second;
}

const FontDef* TMovieData::Font(std::uint16_t id) const
{
    const Tag* tag = Character(id);
    return tag ? tag->As<FontDef>() : nullptr;
}

TDisplayObject* TDisplayObject::ChildAtDepth(int d) const
{
    auto it = std::lower_bound(children.begin(), children.end(), d,
                               [](const std::unique_ptr<TDisplayObject>& c, int depth) { return c->depth < depth; });
    return it != children.end() && (*it)->depth == d ? it->get() : nullptr;
}

TDisplayObject* TDisplayObject::ChildByName(const QString& n, bool caseSensitive) const
{
    for (const auto& c : children)
        if (c->name.compare(n, caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive) == 0)
            return c.get();
    return nullptr;
}

TDisplayObject* TDisplayObject::InsertChild(std::unique_ptr<TDisplayObject> child)
{
    auto it = std::upper_bound(children.begin(), children.end(), child->depth,
                               [](int depth, const std::unique_ptr<TDisplayObject>& c) { return depth < c->depth; });
    child->parent = this;
    TDisplayObject* raw = child.get();
    children.insert(it, std::move(child));
    ++childVersion;
    return raw;
}

std::unique_ptr<TDisplayObject> TDisplayObject::TakeChild(TDisplayObject* child)
{
    for (auto it = children.begin(); it != children.end(); ++it) {
        if (it->get() != child)
            continue;
        std::unique_ptr<TDisplayObject> out = std::move(*it);
        children.erase(it);
        out->parent = nullptr;
        ++childVersion;
        return out;
    }
    return nullptr;
}

QTransform TDisplayObject::ToStage() const
{
    QTransform m = matrix;
    for (const TDisplayObject* p = parent; p; p = p->parent)
        m = m * p->matrix;
    return m;
}

TDisplayObject* TDisplayObject::Root()
{
    TDisplayObject* o = this;
    while (o->parent && o->level < 0)
        o = o->parent;
    return o;
}

// ---------------------------------------------------------------------------------------
// Shapes to paths

namespace {

using TPt = TOutlinePoint;
using TSegment = std::vector<TPt>;

inline std::int64_t PointKey(const TPt& p)
{
    return (static_cast<std::int64_t>(p.x) << 32) ^ static_cast<std::uint32_t>(p.y);
}

// Links the directed edge runs of one fill style into closed outlines.
std::vector<TSegment> LinkFill(std::vector<TSegment>& segments)
{
    std::vector<TSegment> contours;
    std::unordered_multimap<std::int64_t, std::size_t> byStart;
    byStart.reserve(segments.size() * 2);
    for (std::size_t i = 0; i < segments.size(); ++i)
        byStart.emplace(PointKey(segments[i].front()), i);
    std::vector<bool> used(segments.size(), false);
    for (std::size_t i = 0; i < segments.size(); ++i) {
        if (used[i])
            continue;
        used[i] = true;
        TSegment contour = std::move(segments[i]);
        const std::int64_t start = PointKey(contour.front());
        std::int64_t end = PointKey(contour.back());
        std::size_t guard = segments.size();
        while (end != start && guard-- > 0) {
            auto [lo, hi] = byStart.equal_range(end);
            std::size_t next = segments.size();
            for (auto it = lo; it != hi; ++it)
                if (!used[it->second]) {
                    next = it->second;
                    break;
                }
            if (next == segments.size())
                break;  // an open outline: filling closes it with a straight line
            used[next] = true;
            contour.insert(contour.end(), segments[next].begin() + 1, segments[next].end());
            end = PointKey(contour.back());
        }
        contours.push_back(std::move(contour));
    }
    return contours;
}

void GrowBounds(QRectF& bounds, const std::vector<TSegment>& outlines, double margin)
{
    double x0 = 1e300, y0 = 1e300, x1 = -1e300, y1 = -1e300;
    for (const TSegment& seg : outlines)
        for (const TPt& p : seg) {
            x0 = std::min<double>(x0, p.x);
            y0 = std::min<double>(y0, p.y);
            x1 = std::max<double>(x1, p.x);
            y1 = std::max<double>(y1, p.y);
        }
    if (x0 > x1)
        return;
    bounds = QRectF(QPointF(x0 - margin, y0 - margin), QPointF(x1 + margin, y1 + margin));
}

class TShapeBuilder {
public:
    TShapeBuilder(const std::vector<FillStyle>& fills, const std::vector<LineStyle>& lines, bool nonZero)
        : FFills(&fills), FLines(&lines), FNonZero(nonZero)
    {
        FFillSegs.resize(fills.size());
        FLineSegs.resize(lines.size());
    }

    void Run(const std::vector<ShapeRecord>& records)
    {
        for (const ShapeRecord& r : records) {
            switch (r.kind) {
            case ShapeRecordKind::StyleChange:
                if (r.hasMove) {
                    FX = r.moveX;
                    FY = r.moveY;
                    FlushAll();
                }
                if (r.hasNewStyles) {
                    FlushLayer();
                    FFills = &r.newFillStyles;
                    FLines = &r.newLineStyles;
                    FFillSegs.assign(FFills->size(), {});
                    FLineSegs.assign(FLines->size(), {});
                }
                if (r.hasFill1) {
                    Flush(FFill1, false, FFill1Style);
                    FFill1Style = r.fill1 <= FFills->size() ? r.fill1 : 0;
                }
                if (r.hasFill0) {
                    Flush(FFill0, true, FFill0Style);
                    FFill0Style = r.fill0 <= FFills->size() ? r.fill0 : 0;
                }
                if (r.hasLine) {
                    FlushLine();
                    FLineStyle = r.line <= FLines->size() ? r.line : 0;
                }
                break;
            case ShapeRecordKind::StraightEdge:
                FX += r.dx;
                FY += r.dy;
                Visit(false);
                break;
            case ShapeRecordKind::CurvedEdge:
                FX += r.dx;
                FY += r.dy;
                Visit(true);
                FX += r.anchorDx;
                FY += r.anchorDy;
                Visit(false);
                break;
            }
        }
        FlushLayer();
    }

    TShapeCache Result() { return std::move(FCache); }

private:
    void Visit(bool control)
    {
        const TPt p{FX, FY, control};
        if (FFill0Style)
            Extend(FFill0, p);
        if (FFill1Style)
            Extend(FFill1, p);
        if (FLineStyle)
            Extend(FLine, p);
        if (!control)
            FLast = {FX, FY, false};
    }

    void Extend(TSegment& seg, const TPt& p)
    {
        if (seg.empty())
            seg.push_back(FLast);
        seg.push_back(p);
    }

    void Flush(TSegment& seg, bool reverse, std::uint32_t style)
    {
        if (style && seg.size() > 1) {
            if (reverse)
                std::reverse(seg.begin(), seg.end());
            FFillSegs[style - 1].push_back(std::move(seg));
        }
        seg.clear();
    }

    void FlushLine()
    {
        if (FLineStyle && FLine.size() > 1)
            FLineSegs[FLineStyle - 1].push_back(std::move(FLine));
        FLine.clear();
    }

    void FlushAll()
    {
        Flush(FFill1, false, FFill1Style);
        Flush(FFill0, true, FFill0Style);
        FlushLine();
        FLast = {FX, FY, false};
    }

    void FlushLayer()
    {
        FlushAll();
        for (std::size_t i = 0; i < FFillSegs.size(); ++i) {
            if (FFillSegs[i].empty())
                continue;
            TShapeItem item;
            item.outlines = LinkFill(FFillSegs[i]);
            item.fill = &(*FFills)[i];
            item.nonZero = FNonZero;
            GrowBounds(item.bounds, item.outlines, 0);
            FCache.bounds |= item.bounds;
            FCache.items.push_back(std::move(item));
            FFillSegs[i].clear();
        }
        for (std::size_t i = 0; i < FLineSegs.size(); ++i) {
            if (FLineSegs[i].empty())
                continue;
            TShapeItem item;
            item.stroke = true;
            item.line = &(*FLines)[i];
            item.outlines = std::move(FLineSegs[i]);
            GrowBounds(item.bounds, item.outlines, std::max<double>(item.line->width, 20) / 2.0);
            FCache.bounds |= item.bounds;
            FCache.items.push_back(std::move(item));
            FLineSegs[i].clear();
        }
    }

    const std::vector<FillStyle>* FFills;
    const std::vector<LineStyle>* FLines;
    bool FNonZero;
    std::int32_t FX = 0, FY = 0;
    TPt FLast{0, 0, false};
    std::uint32_t FFill0Style = 0, FFill1Style = 0, FLineStyle = 0;
    TSegment FFill0, FFill1, FLine;
    std::vector<std::vector<TSegment>> FFillSegs, FLineSegs;
    TShapeCache FCache;
};

// Appends the outline's points with its curves cut into straight pieces no further than
// `tolerance` twips from the curve.
void FlattenInto(std::vector<QPointF>& out, const TSegment& seg, double tolerance)
{
    if (seg.empty())
        return;
    QPointF last(seg.front().x, seg.front().y);
    out.push_back(last);
    for (std::size_t i = 1; i < seg.size(); ++i) {
        const TPt& p = seg[i];
        if (p.control && i + 1 < seg.size()) {
            const QPointF c(p.x, p.y);
            const QPointF e(seg[i + 1].x, seg[i + 1].y);
            // A quadratic cut into n equal steps strays |p0 - 2c + p2| / (8 n²) at most.
            const QPointF d = last - 2 * c + e;
            const double dev = std::hypot(d.x(), d.y());
            const int n = std::clamp(static_cast<int>(std::ceil(std::sqrt(dev / (8.0 * tolerance)))), 1, 256);
            for (int k = 1; k < n; ++k) {
                const double t = static_cast<double>(k) / n;
                const double u = 1 - t;
                out.push_back(u * u * last + 2 * u * t * c + t * t * e);
            }
            out.push_back(e);
            last = e;
            ++i;
        } else {
            last = QPointF(p.x, p.y);
            out.push_back(last);
        }
    }
}

// Curves are cut finely enough that no point strays more than this from them on screen.
constexpr double kFlatnessPixels = 0.15;

QPen LinePen(const LineStyle& line, const QColor& colour, double width)
{
    QPen pen(colour);
    pen.setWidthF(width);
    // Shapes before DefineShape4 always draw round caps and joins.
    switch (line.startCap) {
    case 1:
        pen.setCapStyle(Qt::FlatCap);
        break;
    case 2:
        pen.setCapStyle(Qt::SquareCap);
        break;
    default:
        pen.setCapStyle(Qt::RoundCap);
        break;
    }
    switch (line.join) {
    case 1:
        pen.setJoinStyle(Qt::BevelJoin);
        break;
    case 2:
        pen.setJoinStyle(Qt::MiterJoin);
        pen.setMiterLimit(std::max(1.0, line.miterLimit / 256.0));
        break;
    default:
        pen.setJoinStyle(Qt::RoundJoin);
        break;
    }
    return pen;
}

QPainterPath RunsPath(const TShapeItem& item)
{
    QPainterPath path;
    std::uint32_t begin = 0;
    for (std::size_t r = 0; r < item.runEnd.size(); ++r) {
        const std::uint32_t end = item.runEnd[r];
        if (end > begin) {
            path.moveTo(item.polygon[begin]);
            for (std::uint32_t i = begin + 1; i < end; ++i)
                path.lineTo(item.polygon[i]);
            if (item.runClosed[r])
                path.closeSubpath();
        }
        begin = end;
    }
    return path;
}

const QPainterPath& WideOutline(const TShapeItem& item, double scale)
{
    if (item.wideOutlineScale != scale) {
        QPainterPathStroker stroker(LinePen(*item.line, Qt::black, std::max<double>(item.line->width, 1)));
        item.wideOutline = stroker.createStroke(RunsPath(item));
        item.wideOutline.setFillRule(Qt::WindingFill);
        item.wideOutlineScale = scale;
    }
    return item.wideOutline;
}

double SegmentDistance2(QPointF p, QPointF a, QPointF b)
{
    const QPointF ab = b - a;
    const double len2 = QPointF::dotProduct(ab, ab);
    double t = len2 > 0 ? QPointF::dotProduct(p - a, ab) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    const QPointF d = p - (a + t * ab);
    return QPointF::dotProduct(d, d);
}

QBrush FillBrush(const FillStyle& fill, const TColorXform& cx)
{
    if (fill.IsGradient()) {
        QGradientStops stops;
        for (const GradientRecord& r : fill.gradient.records)
            stops.append({r.ratio / 255.0, cx.Apply(r.color)});
        if (stops.isEmpty())
            return Qt::NoBrush;
        QGradient g;
        if (fill.type == ftLinearGradient) {
            g = QLinearGradient(-16384, 0, 16384, 0);
        } else {
            const double focal = fill.type == ftFocalGradient ? fill.gradient.focalPoint / 256.0 * 16384 : 0;
            g = QRadialGradient(QPointF(0, 0), 16384, QPointF(focal, 0));
        }
        g.setStops(stops);
        g.setSpread(fill.gradient.spreadMode == 1   ? QGradient::ReflectSpread
                    : fill.gradient.spreadMode == 2 ? QGradient::RepeatSpread
                                                    : QGradient::PadSpread);
        QBrush brush(g);
        brush.setTransform(ToQTransform(fill.matrix));
        return brush;
    }
    if (fill.IsBitmap())
        return Qt::NoBrush;  // no bitmaps in the movies we play
    return QBrush(cx.Apply(fill.color));
}

}  // namespace

TShapeCache BuildShapeCache(const std::vector<ShapeRecord>& records, const std::vector<FillStyle>& fills,
                            const std::vector<LineStyle>& lines, bool nonZero)
{
    TShapeBuilder builder(fills, lines, nonZero);
    builder.Run(records);
    return builder.Result();
}

void TShapeCache::EnsureFlat(double scale) const
{
    if (scale <= 0)
        scale = 1.0 / 20.0;
    if (flatScale > 0 && scale <= flatScale * 1.25)
        return;
    flatScale = scale;
    const double tolerance = kFlatnessPixels / scale;
    for (const TShapeItem& item : items) {
        item.polygon.clear();
        item.runEnd.clear();
        item.runClosed.clear();
        item.wideOutlineScale = 0;
        if (item.stroke) {
            for (const TSegment& run : item.outlines) {
                FlattenInto(item.polygon, run, tolerance);
                item.runEnd.push_back(static_cast<std::uint32_t>(item.polygon.size()));
                item.runClosed.push_back(run.size() > 2 && PointKey(run.front()) == PointKey(run.back()));
            }
            continue;
        }
        // Contours one after another, then back along the contours' starting points.
        std::vector<QPointF> starts;
        for (const TSegment& contour : item.outlines) {
            const std::size_t first = item.polygon.size();
            FlattenInto(item.polygon, contour, tolerance);
            if (item.polygon.back() != item.polygon[first])
                item.polygon.push_back(item.polygon[first]);
            starts.push_back(item.polygon[first]);
        }
        for (std::size_t i = starts.size(); i-- > 1;)
            item.polygon.push_back(starts[i - 1]);
    }
}

QPainterPath TShapeItem::Path() const
{
    if (stroke)
        return RunsPath(*this);
    QPainterPath path;
    path.setFillRule(nonZero ? Qt::WindingFill : Qt::OddEvenFill);
    if (!polygon.empty()) {
        path.addPolygon(QPolygonF(QList<QPointF>(polygon.begin(), polygon.end())));
        path.closeSubpath();
    }
    return path;
}

bool TShapeItem::Contains(QPointF p) const
{
    if (!bounds.contains(p))
        return false;
    if (stroke) {
        const double half = std::max<double>(line->width, 20) / 2.0;
        std::uint32_t begin = 0;
        for (std::size_t r = 0; r < runEnd.size(); ++r) {
            for (std::uint32_t i = begin + 1; i < runEnd[r]; ++i)
                if (SegmentDistance2(p, polygon[i - 1], polygon[i]) <= half * half)
                    return true;
            begin = runEnd[r];
        }
        return false;
    }
    // Winding number along a ray to the right; the polygon closes on itself.
    int winding = 0;
    const std::size_t n = polygon.size();
    for (std::size_t i = 0; i < n; ++i) {
        const QPointF& a = polygon[i];
        const QPointF& b = polygon[(i + 1) % n];
        if ((a.y() <= p.y()) == (b.y() <= p.y()))
            continue;
        const double x = a.x() + (p.y() - a.y()) * (b.x() - a.x()) / (b.y() - a.y());
        if (x > p.x())
            winding += b.y() > a.y() ? 1 : -1;
    }
    return nonZero ? winding != 0 : (winding & 1) != 0;
}

// ---------------------------------------------------------------------------------------
// The renderer

struct TSwfRenderer::TContext {
    QPainter* painter = nullptr;
    QRectF deviceRect;    // what can be seen, for culling
    double deviceScale = 1;  // device pixels per stage pixel, for filter sizes
    double pixelRatio = 1;   // the paint device's pixels per logical pixel
};

TSwfRenderer::TSwfRenderer() = default;
TSwfRenderer::~TSwfRenderer() = default;

void TSwfRenderer::Clear() { FShapes.clear(); }

const TShapeCache& TSwfRenderer::ShapeCache(const ShapeDef& shape)
{
    auto it = FShapes.find(&shape);
    if (it != FShapes.end())
        return *it->second;
    auto cache = std::make_unique<TShapeCache>(
        BuildShapeCache(shape.records, shape.fillStyles, shape.lineStyles, shape.usesFillWindingRule));
    cache->fileBounds = QRectF(QPointF(shape.bounds.xMin, shape.bounds.yMin), QPointF(shape.bounds.xMax, shape.bounds.yMax));
    return *FShapes.emplace(&shape, std::move(cache)).first->second;
}

const TShapeCache& TSwfRenderer::GlyphCache(const Glyph& glyph)
{
    auto it = FShapes.find(&glyph);
    if (it != FShapes.end())
        return *it->second;
    // Glyph outlines name fill style 1; the colour comes from the text record.
    static const std::vector<FillStyle> kGlyphFill{FillStyle::Solid({0, 0, 0, 255})};
    static const std::vector<LineStyle> kNoLines;
    auto cache = std::make_unique<TShapeCache>(BuildShapeCache(glyph.records, kGlyphFill, kNoLines, false));
    cache->fileBounds = cache->bounds;
    return *FShapes.emplace(&glyph, std::move(cache)).first->second;
}

void TSwfRenderer::Render(QPainter& painter, const TDisplayObject& root, const QTransform& toDevice)
{
    TContext ctx;
    ctx.painter = &painter;
    const QRect window = painter.viewport();
    ctx.deviceRect = painter.hasClipping() ? painter.clipBoundingRect() : QRectF(window);
    if (ctx.deviceRect.isEmpty())
        ctx.deviceRect = QRectF(window);
    ctx.deviceScale = std::sqrt(std::abs(toDevice.determinant())) * 20.0;
    ctx.pixelRatio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    Draw(ctx, root, root.matrix * toDevice, root.cx);
    painter.restore();
}

void TSwfRenderer::Draw(TContext& ctx, const TDisplayObject& object, const QTransform& toDevice, const TColorXform& cx)
{
    if (!object.visible || cx.IsTransparent())
        return;
    if (!object.filters.empty())
        DrawFiltered(ctx, object, toDevice, cx);
    else
        DrawContent(ctx, object, toDevice, cx);
}

void TSwfRenderer::DrawContent(TContext& ctx, const TDisplayObject& object, const QTransform& toDevice,
                               const TColorXform& cx)
{
    switch (object.kind) {
    case TDisplayKind::Shape:
        if (const ShapeDef* shape = object.Shape())
            DrawShape(ctx, ShapeCache(*shape), toDevice, cx);
        break;
    case TDisplayKind::EditText:
        DrawEditText(ctx, object, toDevice, cx);
        break;
    case TDisplayKind::Text:
        DrawText(ctx, object, toDevice, cx);
        break;
    case TDisplayKind::Sprite:
    case TDisplayKind::Button:
    case TDisplayKind::Other:
        DrawChildren(ctx, object, toDevice, cx);
        break;
    }
}

void TSwfRenderer::DrawChildren(TContext& ctx, const TDisplayObject& object, const QTransform& toDevice,
                                const TColorXform& cx)
{
    QPainter& p = *ctx.painter;
    struct TMask {
        int clipDepth;
        QPainterPath path;  // device pixels
    };
    std::vector<TMask> masks;
    bool clipped = false;
    for (const auto& childPtr : object.children) {
        const TDisplayObject& child = *childPtr;
        while (!masks.empty() && child.depth > masks.back().clipDepth)
            masks.pop_back();
        const QTransform childToDevice = child.matrix * toDevice;
        if (child.clipDepth > 0) {
            // A mask: its filled area (in device pixels) limits the depths it covers.
            QPainterPath area;
            std::vector<std::pair<const TDisplayObject*, QTransform>> work{{&child, childToDevice}};
            while (!work.empty()) {
                auto [o, m] = work.back();
                work.pop_back();
                if (const ShapeDef* shape = o->Shape()) {
                    const TShapeCache& cache = ShapeCache(*shape);
                    cache.EnsureFlat(std::sqrt(std::abs(m.determinant())));
                    for (const TShapeItem& item : cache.items)
                        area.addPath(m.map(item.stroke ? WideOutline(item, cache.flatScale) : item.Path()));
                } else if (o->kind == TDisplayKind::EditText || o->kind == TDisplayKind::Text) {
                    QPainterPath box;
                    box.addRect(TextBounds(*o));
                    area.addPath(m.map(box));
                }
                for (const auto& c : o->children)
                    work.emplace_back(c.get(), c->matrix * m);
            }
            area.setFillRule(Qt::WindingFill);
            if (!masks.empty())
                area = area.intersected(masks.back().path);
            masks.push_back({child.clipDepth, area});
            continue;
        }
        if (!masks.empty()) {
            p.save();
            p.setClipPath(masks.back().path, clipped ? Qt::IntersectClip : Qt::IntersectClip);
            Draw(ctx, child, childToDevice, cx.Compose(child.cx));
            p.restore();
        } else {
            Draw(ctx, child, childToDevice, cx.Compose(child.cx));
        }
    }
}

void TSwfRenderer::DrawShape(TContext& ctx, const TShapeCache& shape, const QTransform& toDevice, const TColorXform& cx)
{
    if (shape.items.empty())
        return;
    if (!toDevice.mapRect(shape.bounds).intersects(ctx.deviceRect))
        return;
    QPainter& p = *ctx.painter;
    p.setTransform(toDevice);
    // Device pixels per twip: on a high-density screen the painter scales once more.
    const double scale = std::sqrt(std::abs(toDevice.determinant())) * ctx.pixelRatio;
    shape.EnsureFlat(scale);
    for (const TShapeItem& item : shape.items) {
        if (item.polygon.empty())
            continue;
        if (!item.stroke) {
            const QBrush brush = FillBrush(*item.fill, cx);
            if (brush.style() == Qt::NoBrush || (brush.style() == Qt::SolidPattern && brush.color().alpha() == 0))
                continue;
            p.setPen(Qt::NoPen);
            p.setBrush(brush);
            p.drawPolygon(item.polygon.data(), static_cast<int>(item.polygon.size()),
                          item.nonZero ? Qt::WindingFill : Qt::OddEvenFill);
            continue;
        }
        const LineStyle& line = *item.line;
        QColor colour = cx.Apply(line.color);
        if (line.fill && !line.fill->IsBitmap()) {
            const QBrush b = FillBrush(*line.fill, cx);
            if (b.style() == Qt::SolidPattern)
                colour = b.color();
        }
        if (colour.alpha() == 0)
            continue;
        if (line.width * scale > 1.0) {
            // Wider than a pixel: the outline, made once per scale, fills faster than
            // stroking anew every frame.
            p.setPen(Qt::NoPen);
            p.setBrush(colour);
            p.drawPath(WideOutline(item, shape.flatScale));
            continue;
        }
        // A pixel wide at most, and never thinner: the raster engine's fast hairline.
        QPen pen = LinePen(line, colour, 1.0);
        pen.setCosmetic(true);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        std::uint32_t begin = 0;
        for (std::size_t r = 0; r < item.runEnd.size(); ++r) {
            const std::uint32_t end = item.runEnd[r];
            const int count = static_cast<int>(end - begin);
            if (count > 1) {
                if (item.runClosed[r])
                    p.drawPolygon(item.polygon.data() + begin, count - 1);
                else
                    p.drawPolyline(item.polygon.data() + begin, count);
            }
            begin = end;
        }
    }
}

// ---------------------------------------------------------------------------------------
// Texts

namespace {

// Symbol fonts draw letters as pictures; other players show the symbol font, we show the
// Unicode symbol it stands for.
QString MapSymbolFont(const QString& family, const QString& text, QString& outFamily)
{
    outFamily = family;
    const bool marlett = family.compare(QLatin1String("Marlett"), Qt::CaseInsensitive) == 0;
    const bool wingdings = family.compare(QLatin1String("Wingdings"), Qt::CaseInsensitive) == 0;
    if (!marlett && !wingdings)
        return text;
    QString out;
    for (QChar c : text) {
        char16_t u = c.unicode();
        if (marlett) {
            switch (u) {
            case '3': u = 0x25C0; break;  // left triangle
            case '4': u = 0x25B6; break;  // right triangle
            case '5': u = 0x25B2; break;  // up triangle
            case '6': u = 0x25BC; break;  // down triangle
            case '8': u = 0x25B8; break;  // small right triangle
            case 'a': u = 0x2713; break;  // check mark
            case 'h': u = 0x003F; break;  // question mark
            case 'n': u = 0x25CF; break;  // bullet
            case 'r': u = 0x2715; break;  // close cross
            default: break;
            }
        } else {
            switch (u) {
            case 0xD7: u = 0x2B9C; break;  // arrowheads
            case 0xD8: u = 0x2B9E; break;
            case 0xD9: u = 0x2B9D; break;
            case 0xDA: u = 0x2B9F; break;
            case 0xDF: u = 0x2190; break;  // arrows
            case 0xE0: u = 0x2192; break;
            case 0xE1: u = 0x2191; break;
            case 0xE2: u = 0x2193; break;
            case 0xE7: u = 0x2B05; break;  // heavy arrows
            case 0xE8: u = 0x2B95; break;
            case 0xE9: u = 0x2B06; break;
            case 0xEA: u = 0x2B07; break;
            case 0x9F: u = 0x2022; break;  // bullet
            case 0x6C: u = 0x25CF; break;  // black circle
            case 0x6E: u = 0x25A0; break;  // black square
            case 0x74: u = 0x29EB; break;  // black lozenge
            case 0xFC: u = 0x2714; break;  // check mark
            case 0xFB: u = 0x2718; break;  // ballot x
            default: break;
            }
        }
        out.append(QChar(u));
    }
    outFamily = QStringLiteral("DejaVu Sans");
    return out;
}

struct TRun {
    QString text;
    bool bold = false;
};

// The plain text of a field; HTML text keeps its line breaks and notes a bold run per line.
QStringList FieldLines(const EditTextDef& def, const QString& text, std::vector<bool>& boldLines)
{
    QString plain = text;
    if (def.html) {
        QTextDocument doc;
        doc.setHtml(text);
        plain = doc.toPlainText();
        const bool bold = text.contains(QLatin1String("<b>"), Qt::CaseInsensitive);
        const QStringList lines = plain.split(QLatin1Char('\n'));
        boldLines.assign(static_cast<std::size_t>(lines.size()), bold);
        return lines;
    }
    plain.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    plain.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const QStringList lines = plain.split(QLatin1Char('\n'));
    boldLines.assign(static_cast<std::size_t>(lines.size()), false);
    return lines;
}

QStringList WrapLine(const QString& line, const std::function<double(const QString&)>& measure, double width)
{
    if (width <= 0 || measure(line) <= width)
        return {line};
    QStringList out;
    QString current;
    const QStringList words = line.split(QLatin1Char(' '));
    for (const QString& word : words) {
        const QString candidate = current.isEmpty() ? word : current + QLatin1Char(' ') + word;
        if (!current.isEmpty() && measure(candidate) > width) {
            out.append(current);
            current = word;
        } else {
            current = candidate;
        }
    }
    out.append(current);
    return out;
}

constexpr double kGutter = 40;  // twips between a text field's border and its text

}  // namespace

QRectF TSwfRenderer::TextBounds(const TDisplayObject& object) const
{
    Rect r;
    if (const EditTextDef* e = object.EditText())
        r = e->bounds;
    else if (const TextDef* t = object.Text())
        r = t->bounds;
    return QRectF(QPointF(r.xMin, r.yMin), QPointF(r.xMax, r.yMax));
}

void TSwfRenderer::DrawEditText(TContext& ctx, const TDisplayObject& object, const QTransform& toDevice,
                                const TColorXform& cx)
{
    const EditTextDef* def = object.EditText();
    if (!def)
        return;
    const QRectF box = TextBounds(object);
    if (!toDevice.mapRect(box).intersects(ctx.deviceRect) && !def->autoSize)
        return;
    QPainter& p = *ctx.painter;
    p.save();
    p.setTransform(toDevice);
    if (def->border) {
        p.setPen(QPen(cx.Apply({0, 0, 0, 255}), 0));
        p.setBrush(cx.Apply({255, 255, 255, 255}));
        p.drawRect(box);
    }
    if (!def->autoSize)
        p.setClipRect(box, Qt::IntersectClip);
    const FontDef* fontDef = def->fontId ? object.movie->Font(*def->fontId) : nullptr;
    QString family = fontDef ? fontDef->name : QStringLiteral("Times New Roman");
    const QString text = def->password ? QString(object.text.size(), QLatin1Char('*')) : object.text;
    std::vector<bool> boldLines;
    QStringList lines = FieldLines(*def, text, boldLines);
    QString mappedFamily;
    for (QString& l : lines)
        l = MapSymbolFont(family, l, mappedFamily);
    family = mappedFamily;
    // Players ignore the alpha of a field's colour (a placement's colour transform fades
    // text instead).
    Rgba rgb = def->color.value_or(Rgba{0, 0, 0, 255});
    rgb.a = 255;
    const QColor colour = cx.Apply(rgb);
    const double left = box.left() + kGutter + def->leftMargin;
    const double right = box.right() - kGutter - def->rightMargin;
    const double avail = right - left;
    auto lineX = [&](double w, bool first) {
        if (def->align == 1)
            return right - w;
        if (def->align == 2)
            return left + (avail - w) / 2.0;
        return left + (first ? def->indent : 0);
    };
    if (def->useOutlines && fontDef && !fontDef->glyphs.empty()) {
        // Embedded outlines: the font's own glyphs and advances.
        const double em = fontDef->fontVersion == 3 ? 20480.0 : 1024.0;
        const double k = def->fontHeight / em;
        auto glyphOf = [&](QChar c) -> int {
            auto it = std::lower_bound(fontDef->codes.begin(), fontDef->codes.end(), c.unicode());
            if (it == fontDef->codes.end() || *it != c.unicode())
                return -1;
            return static_cast<int>(it - fontDef->codes.begin());
        };
        auto advance = [&](int g) {
            return g >= 0 && static_cast<std::size_t>(g) < fontDef->advances.size() ? fontDef->advances[static_cast<std::size_t>(g)] * k
                                                                                     : 0.0;
        };
        auto measure = [&](const QString& line) {
            double w = 0;
            for (QChar c : line)
                w += advance(glyphOf(c));
            return w;
        };
        const double ascent = fontDef->hasLayout ? fontDef->ascent * k : def->fontHeight * 0.9;
        const double descent = fontDef->hasLayout ? fontDef->descent * k : def->fontHeight * 0.25;
        const double fontLeading = fontDef->hasLayout ? fontDef->leading * k : 0.0;
        const double scale = std::sqrt(std::abs(toDevice.determinant())) * k;
        double baseline = box.top() + kGutter;
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const QStringList wrapped = def->wordWrap ? WrapLine(lines[i], measure, avail - def->indent) : QStringList{lines[i]};
            bool first = true;
            for (const QString& line : wrapped) {
                baseline += ascent;
                double x = lineX(measure(line), first);
                for (QChar c : line) {
                    const int g = glyphOf(c);
                    if (g >= 0) {
                        const TShapeCache& glyph = GlyphCache(fontDef->glyphs[static_cast<std::size_t>(g)]);
                        glyph.EnsureFlat(scale);
                        p.setTransform(QTransform(k, 0, 0, k, x, baseline) * toDevice);
                        for (const TShapeItem& item : glyph.items)
                            if (!item.polygon.empty())
                                p.drawPolygon(item.polygon.data(), static_cast<int>(item.polygon.size()), Qt::OddEvenFill);
                    }
                    x += advance(g);
                }
                baseline += descent + fontLeading + def->leading;
                first = false;
            }
            if (!def->multiline && !def->wordWrap)
                break;
        }
        p.restore();
        return;
    }
    QFont font(family);
    font.setPixelSize(std::max(1, static_cast<int>(def->fontHeight)));
    font.setBold(fontDef && fontDef->bold);
    font.setItalic(fontDef && fontDef->italic);
    font.setKerning(true);
    p.setPen(colour);
    double baseline = box.top() + kGutter;
    bool firstLine = true;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QFont f = font;
        if (boldLines[static_cast<std::size_t>(i)])
            f.setBold(true);
        p.setFont(f);
        const QFontMetricsF fm(f, p.device());
        const auto measure = [&fm](const QString& line) { return fm.horizontalAdvance(line); };
        const QStringList wrapped = def->wordWrap ? WrapLine(lines[i], measure, avail - def->indent) : QStringList{lines[i]};
        for (const QString& line : wrapped) {
            baseline += fm.ascent();
            const double x = lineX(fm.horizontalAdvance(line), firstLine);
            p.drawText(QPointF(x, baseline), line);
            baseline += fm.descent() + def->leading;
            firstLine = false;
        }
        firstLine = true;
        if (!def->multiline && !def->wordWrap)
            break;
    }
    p.restore();
}

void TSwfRenderer::DrawText(TContext& ctx, const TDisplayObject& object, const QTransform& toDevice, const TColorXform& cx)
{
    const TextDef* def = object.Text();
    if (!def)
        return;
    const QTransform textToDevice = ToQTransform(def->matrix) * toDevice;
    QPainter& p = *ctx.painter;
    const FontDef* font = nullptr;
    std::uint16_t height = 240;
    QColor colour(0, 0, 0);
    double x = 0, y = 0;
    for (const TextRecord& r : def->records) {
        if (r.fontId) {
            font = object.movie->Font(*r.fontId);
            height = r.textHeight;
        }
        if (r.color)
            colour = cx.Apply(*r.color);
        if (r.xOffset)
            x = *r.xOffset;
        if (r.yOffset)
            y = *r.yOffset;
        if (!font)
            continue;
        if (!font->IsDeviceFont()) {
            const double em = font->fontVersion == 3 ? 20480.0 : 1024.0;
            const double k = height / em;
            for (const GlyphEntry& g : r.glyphs) {
                if (g.index < font->glyphs.size()) {
                    const TShapeCache& glyph = GlyphCache(font->glyphs[g.index]);
                    const QTransform m = QTransform(k, 0, 0, k, x, y) * textToDevice;
                    glyph.EnsureFlat(std::sqrt(std::abs(m.determinant())));
                    p.setTransform(m);
                    p.setPen(Qt::NoPen);
                    p.setBrush(colour);
                    for (const TShapeItem& item : glyph.items)
                        if (!item.polygon.empty())
                            p.drawPolygon(item.polygon.data(), static_cast<int>(item.polygon.size()), Qt::OddEvenFill);
                }
                x += g.advance;
            }
            continue;
        }
        QString mappedFamily;
        QString chars;
        for (const GlyphEntry& g : r.glyphs)
            chars.append(g.index < font->codes.size() ? QChar(font->codes[g.index]) : QChar(u'?'));
        chars = MapSymbolFont(font->name, chars, mappedFamily);
        QFont qf(mappedFamily);
        qf.setPixelSize(std::max<int>(1, height));
        qf.setBold(font->bold);
        qf.setItalic(font->italic);
        p.save();
        p.setTransform(textToDevice);
        p.setFont(qf);
        p.setPen(colour);
        for (qsizetype i = 0; i < chars.size(); ++i) {
            p.drawText(QPointF(x, y), QString(chars[i]));
            x += r.glyphs[static_cast<std::size_t>(i)].advance;
        }
        p.restore();
    }
}

// ---------------------------------------------------------------------------------------
// Filters

void BlurAlpha(QImage& image, double blurX, double blurY, int passes)
{
    // Works on the alpha of a premultiplied image, in place; colour channels are left to
    // the caller (shadows are rebuilt from alpha alone).
    const int w = image.width();
    const int h = image.height();
    if (w == 0 || h == 0)
        return;
    std::vector<int> a(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    for (int y = 0; y < h; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < w; ++x)
            a[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x)] = qAlpha(line[x]);
    }
    std::vector<int> tmp(std::max(w, h));
    auto pass = [&](int radius, bool horizontal) {
        if (radius <= 0)
            return;
        const int n = horizontal ? w : h;
        const int lines = horizontal ? h : w;
        const int window = 2 * radius + 1;
        for (int l = 0; l < lines; ++l) {
            auto at = [&](int i) -> int& {
                return horizontal ? a[static_cast<std::size_t>(l) * static_cast<std::size_t>(w) + static_cast<std::size_t>(i)]
                                  : a[static_cast<std::size_t>(i) * static_cast<std::size_t>(w) + static_cast<std::size_t>(l)];
            };
            int sum = 0;
            for (int i = -radius; i <= radius; ++i)
                sum += (i >= 0 && i < n) ? at(i) : 0;
            for (int i = 0; i < n; ++i) {
                tmp[static_cast<std::size_t>(i)] = sum / window;
                const int out = i - radius;
                const int in = i + radius + 1;
                if (out >= 0)
                    sum -= at(out);
                if (in < n)
                    sum += at(in);
            }
            for (int i = 0; i < n; ++i)
                at(i) = tmp[static_cast<std::size_t>(i)];
        }
    };
    const int rx = static_cast<int>(std::floor(blurX / 2.0));
    const int ry = static_cast<int>(std::floor(blurY / 2.0));
    for (int k = 0; k < std::max(1, passes); ++k) {
        pass(rx, true);
        pass(ry, false);
    }
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x)
            line[x] = qRgba(0, 0, 0, a[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x)]);
    }
}

void TSwfRenderer::DrawFiltered(TContext& ctx, const TDisplayObject& object, const QTransform& toDevice,
                                const TColorXform& cx)
{
    QPainter& p = *ctx.painter;
    // Draw the object alone into a layer, then put its shadows under (or over) it.
    const std::vector<Filter>& filters = object.filters;
    const QRectF drawn = Bounds(object, toDevice, false);
    double margin = 2;
    for (const Filter& f : filters)
        if (f.type == fiDropShadow)
            margin = std::max(margin, (std::max(f.blurX, f.blurY) / 65536.0 * std::max(1, static_cast<int>(f.passes)) +
                                       std::abs(f.distance / 65536.0)) * ctx.deviceScale + 2);
    const QRect area = drawn.adjusted(-margin, -margin, margin, margin).toAlignedRect() &
                       ctx.deviceRect.adjusted(-margin, -margin, margin, margin).toAlignedRect();
    if (area.isEmpty())
        return;
    QImage layer(area.size(), QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    {
        QPainter lp(&layer);
        lp.setRenderHint(QPainter::Antialiasing, true);
        lp.setRenderHint(QPainter::TextAntialiasing, true);
        TContext inner;
        inner.painter = &lp;
        inner.deviceRect = QRectF(QPointF(0, 0), QSizeF(area.size()));
        inner.deviceScale = ctx.deviceScale;
        inner.pixelRatio = 1.0;  // the layer is in device pixels already
        DrawContent(inner, object, toDevice * QTransform::fromTranslate(-area.left(), -area.top()), cx);
    }

    p.save();
    p.resetTransform();
    bool drawObject = true;
    for (const Filter& f : filters) {
        if (f.type != fiDropShadow)
            continue;
        const double angle = f.angle / 65536.0;
        const double distance = f.distance / 65536.0 * ctx.deviceScale;
        const QPointF offset(std::cos(angle) * distance, std::sin(angle) * distance);
        QImage shadow = layer.copy();
        BlurAlpha(shadow, f.blurX / 65536.0 * ctx.deviceScale, f.blurY / 65536.0 * ctx.deviceScale, f.passes);
        const double strength = f.strength / 256.0;
        const QColor colour = cx.Apply(f.color);
        for (int y = 0; y < shadow.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(shadow.scanLine(y));
            for (int x = 0; x < shadow.width(); ++x) {
                const double alpha = std::clamp(qAlpha(line[x]) * strength, 0.0, 255.0) / 255.0 * colour.alphaF();
                const int a = static_cast<int>(alpha * 255.0 + 0.5);
                line[x] = qRgba(colour.red() * a / 255, colour.green() * a / 255, colour.blue() * a / 255, a);
            }
        }
        if (f.innerShadow) {
            // Inside the object only, where the offset outline leaves a gap.
            QImage inner(layer.size(), QImage::Format_ARGB32_Premultiplied);
            inner.fill(Qt::transparent);
            QPainter ip(&inner);
            ip.fillRect(inner.rect(), colour);
            ip.setCompositionMode(QPainter::CompositionMode_DestinationOut);
            ip.drawImage(offset, layer);
            ip.setCompositionMode(QPainter::CompositionMode_DestinationIn);
            ip.drawImage(0, 0, layer);
            ip.end();
            if (!f.knockout)
                p.drawImage(area.topLeft(), layer);
            p.drawImage(area.topLeft(), inner);
            drawObject = false;
            continue;
        }
        p.drawImage(QPointF(area.topLeft()) + offset, shadow);
        if (f.knockout || !f.compositeSource)
            drawObject = false;
    }
    if (drawObject)
        p.drawImage(area.topLeft(), layer);
    p.restore();
}

// ---------------------------------------------------------------------------------------
// Geometry

QRectF TSwfRenderer::Bounds(const TDisplayObject& object, const QTransform& toSpace, bool fileBounds)
{
    switch (object.kind) {
    case TDisplayKind::Shape:
        if (const ShapeDef* shape = object.Shape()) {
            const TShapeCache& cache = ShapeCache(*shape);
            const QRectF r = fileBounds ? cache.fileBounds : cache.bounds;
            return r.isNull() ? QRectF() : toSpace.mapRect(r);
        }
        return {};
    case TDisplayKind::EditText:
    case TDisplayKind::Text:
        return toSpace.mapRect(TextBounds(object));
    default:
        break;
    }
    QRectF out;
    for (const auto& child : object.children) {
        if (child->clipDepth > 0)
            continue;
        const QRectF r = Bounds(*child, child->matrix * toSpace, fileBounds);
        if (!r.isNull())
            out = out.isNull() ? r : out.united(r);
    }
    return out;
}

void TSwfRenderer::UpdateStageBounds(const TDisplayObject& object)
{
    const QTransform toStage = object.ToStage();
    object.stageBounds = Bounds(object, toStage, false);
    object.stageFileBounds = Bounds(object, toStage, true);
    object.stageBoundsEpoch = FEpoch;
}

bool TSwfRenderer::HitTestShape(const TDisplayObject& object, const QTransform& objectToStage, QPointF stageTwips,
                                bool visibleOnly)
{
    if (visibleOnly && !object.visible)
        return false;
    switch (object.kind) {
    case TDisplayKind::Shape: {
        const ShapeDef* shape = object.Shape();
        if (!shape)
            return false;
        const TShapeCache& cache = ShapeCache(*shape);
        if (!objectToStage.mapRect(cache.bounds).contains(stageTwips))
            return false;
        bool invertible = false;
        const QPointF local = objectToStage.inverted(&invertible).map(stageTwips);
        if (!invertible)
            return false;
        cache.EnsureFlat(std::sqrt(std::abs(objectToStage.determinant())) / 20.0);
        for (const TShapeItem& item : cache.items)
            if (item.Contains(local))
                return true;
        return false;
    }
    case TDisplayKind::EditText:
    case TDisplayKind::Text: {
        bool invertible = false;
        const QPointF local = objectToStage.inverted(&invertible).map(stageTwips);
        return invertible && TextBounds(object).contains(local);
    }
    case TDisplayKind::Button: {
        // The hit area is the characters of the hit-test state, wherever the button is.
        const ButtonDef* button = object.Button();
        if (!button)
            return false;
        for (const ButtonRecord& r : button->records) {
            if (!(r.states & bsHitTest))
                continue;
            const Tag* tag = object.movie->Character(r.characterId);
            if (!tag)
                continue;
            TDisplayObject probe;
            probe.movie = object.movie;
            probe.definition = tag;
            if (tag->As<ShapeDef>())
                probe.kind = TDisplayKind::Shape;
            else if (tag->As<EditTextDef>())
                probe.kind = TDisplayKind::EditText;
            else if (tag->As<TextDef>())
                probe.kind = TDisplayKind::Text;
            else
                continue;
            if (HitTestShape(probe, ToQTransform(r.matrix) * objectToStage, stageTwips, false))
                return true;
        }
        return false;
    }
    default:
        break;
    }
    for (auto it = object.children.rbegin(); it != object.children.rend(); ++it) {
        const TDisplayObject& child = **it;
        if (child.clipDepth > 0)
            continue;
        if (HitTestShape(child, child.matrix * objectToStage, stageTwips, visibleOnly))
            return true;
    }
    return false;
}

}  // namespace swf
