#pragma once
// Writing SWF movies: the serialiser of the movie model, and a builder that pages use to
// draw scenes in pixels (shapes, device-font texts, sprites, buttons, placements with clip
// actions, frame scripts) without touching tags.

#include <QByteArray>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <functional>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "movie/SwfModel.h"

class QIODevice;

namespace swf {

// ---------------------------------------------------------------------------------------
// Serialisation

// The bytes of one tag: record header and body, for a movie of the given version.
QByteArray EncodeTag(const Tag& tag, int version);
// A whole file: "FWS" or, when header.compressed is set and the version is 6 or later,
// "CWS" with the body zlib-compressed. The header's frame count is written as it stands.
QByteArray WriteMovie(const Movie& movie);
bool WriteMovie(const Movie& movie, QIODevice* device);
// Replaces the file as a whole: a failed write leaves any old file untouched.
bool SaveMovie(const Movie& movie, const QString& fileName, QString* errorText = nullptr);

// ---------------------------------------------------------------------------------------
// Builder

// An outline in pixels: subpaths of straight and quadratic segments.
class Path {
public:
    void MoveTo(QPointF p);
    void LineTo(QPointF p);
    // A quadratic Bézier segment with control point c ending at p.
    void CurveTo(QPointF c, QPointF p);
    // Closes the current subpath with a straight line to its start when needed.
    void Close();
    bool IsEmpty() const { return FItems.empty(); }

    static Path Rectangle(const QRectF& r);
    // Eight 45° quadratic pieces.
    static Path Circle(QPointF centre, double radius);
    static Path Polygon(const std::vector<QPointF>& points);

    struct Item {
        enum Kind { Move, Line, Curve } kind;
        QPointF control;  // curves only
        QPointF point;
    };
    const std::vector<Item>& Items() const { return FItems; }

private:
    std::vector<Item> FItems;
    QPointF FStart;
    QPointF FCurrent;
};

// Fill and outline of a shape part. No fill and no line draws nothing.
struct ShapeStyle {
    std::optional<Rgba> fill;
    double lineWidth = 0.0;  // pixels; 0 or less: no outline
    Rgba lineColor{0, 0, 0, 255};

    static ShapeStyle Filled(Rgba fill) { return {fill, 0.0, {}}; }
    static ShapeStyle Outlined(Rgba fill, double width, Rgba line) { return {fill, width, line}; }
};

// A shape made of styled parts. Parts of one shape should not overlap: an SWF shape is a
// planar drawing, so overlapping parts with different fills are drawn differently by
// different players. Use several shapes for layered drawings.
class ShapeBuilder {
public:
    void Add(const Path& path, const ShapeStyle& style);
    bool IsEmpty() const { return FParts.empty(); }
    const std::vector<std::pair<Path, ShapeStyle>>& Parts() const { return FParts; }

private:
    std::vector<std::pair<Path, ShapeStyle>> FParts;
};

// Device-font text. size and positions in pixels.
struct TextStyle {
    QString font = QStringLiteral("Arial");
    double size = 12.0;
    Rgba color{0, 0, 0, 255};
    bool bold = false;
    bool centred = false;  // else left-aligned
    // Draw with glyph outlines embedded in the movie even when the text is upright and
    // opaque (see MovieBuilder::SetGlyphSource).
    bool embedOutlines = false;
};

// Glyph outlines of a font, for texts that players cannot draw with a device font.
// Font units: 1024 to the em, y pointing down, the baseline at y = 0.
struct OutlineGlyph {
    Path path;
    double advance = 0.0;
};
struct OutlineFont {
    double ascent = 0.0, descent = 0.0, leading = 0.0;
    std::map<char16_t, OutlineGlyph> glyphs;
};
// Fills font with the glyphs of the given characters of the family; false when the
// family (or a substitute) cannot be had.
using GlyphSource = std::function<bool(const QString& family, bool bold, const QString& characters, OutlineFont& font)>;

// What a text measures: the ink box of one line, in pixels, without the 2-pixel gutter
// that text fields keep around their text.
using TextMeasurer = std::function<QSizeF(const QString& text, const TextStyle& style)>;
// A font-free estimate (average glyph widths of a sans-serif face); callers with a GUI
// install a measurer built on QFontMetricsF.
QSizeF EstimateTextSize(const QString& text, const TextStyle& style);

struct TextInfo {
    std::uint16_t id = 0;
    // The field's box in its own coordinates, pixels: from (0, 0) for left-aligned text,
    // from (−width/2, 0) for centred text, so that the placement point is the top-left or
    // the top-centre of the field.
    QRectF box;
};

// Where and how a character is placed. Pixels and degrees (clockwise on screen).
struct Placement {
    QString name;
    double x = 0.0, y = 0.0;
    double scaleX = 1.0, scaleY = 1.0;
    double rotation = 0.0;
    std::optional<Matrix> matrix;  // replaces x, y, scale and rotation when set
    std::optional<ColorTransform> colorTransform;
    std::vector<ClipActionRecord> clipActions;
    std::vector<Filter> filters;  // written for movies of version 8 and later only

    Matrix ToMatrix() const;
};

// A clip action that sends an FSCommand on the given events.
ClipActionRecord FSCommandClipAction(std::uint32_t events, const QString& command, const QString& argument,
                                     int swfVersion = 8);

// A timeline: the main one of a movie or a sprite's. Every placement takes the next
// depth; the first is 1.
class Timeline {
public:
    explicit Timeline(int version) : FVersion(version) {}

    // Places a character at the next depth and returns that depth.
    std::uint16_t Place(std::uint16_t characterId, const Placement& placement = {});
    void Remove(std::uint16_t depth);
    void AddActions(const QByteArray& actions);
    void AddLabel(const QString& label);
    void ShowFrame();

    std::uint16_t NextDepth() const { return FNextDepth; }
    // Frames closed so far.
    std::uint16_t FrameCount() const { return FFrames; }
    const std::vector<Tag>& Tags() const { return FTags; }
    int Version() const { return FVersion; }

protected:
    friend class MovieBuilder;
    int FVersion;
    std::vector<Tag> FTags;
    std::uint16_t FNextDepth = 1;
    std::uint16_t FFrames = 0;
    bool FFrameOpen = false;  // something was added since the last ShowFrame
};

class MovieBuilder : public Timeline {
public:
    MovieBuilder();

    // A stage from (0, 0) to (width, height) pixels, the frame rate in frames per second,
    // the SWF version. Starts a new, empty movie.
    void CreateMovie(double width, double height, double frameRate = 12.0, int version = 5);
    void SetBackgroundColor(Rgba color);
    // Compressed output (CWS) for version 6 and later; default off.
    void SetCompressed(bool compressed) { FMovie.header.compressed = compressed; }
    void SetTextMeasurer(TextMeasurer measurer) { FMeasurer = std::move(measurer); }
    // Players draw device-font text upright and opaque only: a turned or skewed device
    // text is not drawn at all and its alpha is ignored. So Finish() gives every text
    // that is placed turned or skewed, has a colour with alpha below 255 or asks for it
    // (TextStyle::embedOutlines) a font with the outlines of its characters, taken from
    // this source, and widens the field where the glyphs need more room than measured.
    // Without a source the builder uses the system's fonts through Qt when a GUI
    // application runs, and leaves device text otherwise. Players also ignore the alpha
    // of a text's colour, so every placement of a translucent text gets it in its colour
    // transform (the text keeps its colour as given).
    void SetGlyphSource(GlyphSource source) { FGlyphs = std::move(source); }

    // Definitions: each returns the new character's id (ids count from 1).
    std::uint16_t DefineShape(const ShapeBuilder& shape);
    std::uint16_t AddRectangle(const QRectF& rect, const ShapeStyle& style);
    std::uint16_t AddCircle(QPointF centre, double radius, const ShapeStyle& style);
    std::uint16_t AddPolygon(const std::vector<QPointF>& points, const ShapeStyle& style);
    std::uint16_t AddPath(const Path& path, const ShapeStyle& style);
    TextInfo AddText(const QString& text, const TextStyle& style);
    // The size AddText would give the text, in pixels, with the gutter.
    QSizeF MeasureText(const QString& text, const TextStyle& style) const;
    // A sprite of the given timeline; a timeline with an open frame gets it closed.
    std::uint16_t DefineSprite(Timeline sprite);
    // A one-frame sprite holding the character at depth 1.
    std::uint16_t WrapInSprite(std::uint16_t characterId);
    // A button (DefineButton2) from its records, with actions run on a click (released
    // over the button). The records are drawn in order: they get depths 1, 2, ...
    std::uint16_t DefineButton(std::vector<ButtonRecord> records, const QByteArray& clickActions);

    // A new sprite timeline of this movie's version.
    Timeline NewSprite() const { return Timeline(FVersion); }

    // Closes the last frame when it is open, adds End and sets the frame count. Later
    // calls return the same movie.
    const Movie& Finish();
    QByteArray FinishToBytes();
    bool FinishToFile(const QString& fileName, QString* errorText = nullptr);

    const Movie& CurrentMovie() const { return FMovie; }
    int Version() const { return FVersion; }

private:
    std::uint16_t Define(TagBody body);
    std::uint16_t DeviceFont(const TextStyle& style);
    void EmbedOutlines();
    void FadeTranslucentTexts();

    Movie FMovie;
    std::uint16_t FNextId = 1;
    bool FFinished = false;
    TextMeasurer FMeasurer;
    GlyphSource FGlyphs;
    std::map<std::pair<QString, bool>, std::uint16_t> FFonts;
    std::vector<std::uint16_t> FOutlineTexts;  // texts that asked for outlines
};

}  // namespace swf
