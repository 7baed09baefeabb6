#pragma once
// The in-memory form of an SWF movie. The writer serialises it, the reader produces it,
// the player renders it. Everything is a plain value: copy a movie, edit a tag, write it.
//
// Units, everywhere in this header unless a field says otherwise:
//  - lengths and coordinates: twips (1/20 pixel), as the file stores them;
//  - Fixed16: signed 16.16 fixed point (65536 = 1.0), as the file stores them;
//  - Fixed8: signed 8.8 fixed point (256 = 1.0);
//  - colours: 8-bit channels, alpha 255 = opaque.
// Values are kept exactly as the file stores them so that a movie read and written again
// means the same thing; the accessors turn them into doubles for drawing.
//
// Strings are held as QString. Movies of version 6 and later store UTF-8; older ones store
// the 8-bit code page, which we read as UTF-8 when the bytes are valid UTF-8 and as
// Windows-1252 otherwise, and write as Windows-1252.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

#include "colour/ColorTypes.h"

namespace swf {

constexpr int kTwipsPerPixel = 20;

// Tag codes of the tags this program reads or writes by name; any other code is kept raw.
enum TagCode : std::uint16_t {
    tcEnd = 0,
    tcShowFrame = 1,
    tcDefineShape = 2,
    tcPlaceObject = 4,
    tcRemoveObject = 5,
    tcDefineBits = 6,
    tcDefineButton = 7,
    tcJPEGTables = 8,
    tcSetBackgroundColor = 9,
    tcDefineFont = 10,
    tcDefineText = 11,
    tcDoAction = 12,
    tcDefineFontInfo = 13,
    tcDefineSound = 14,
    tcStartSound = 15,
    tcDefineButtonSound = 17,
    tcSoundStreamHead = 18,
    tcSoundStreamBlock = 19,
    tcDefineBitsLossless = 20,
    tcDefineBitsJPEG2 = 21,
    tcDefineShape2 = 22,
    tcDefineButtonCxform = 23,
    tcProtect = 24,
    tcPlaceObject2 = 26,
    tcRemoveObject2 = 28,
    tcDefineShape3 = 32,
    tcDefineText2 = 33,
    tcDefineButton2 = 34,
    tcDefineBitsJPEG3 = 35,
    tcDefineBitsLossless2 = 36,
    tcDefineEditText = 37,
    tcDefineSprite = 39,
    tcFrameLabel = 43,
    tcSoundStreamHead2 = 45,
    tcDefineMorphShape = 46,
    tcDefineFont2 = 48,
    tcExportAssets = 56,
    tcImportAssets = 57,
    tcEnableDebugger = 58,
    tcDoInitAction = 59,
    tcDefineVideoStream = 60,
    tcVideoFrame = 61,
    tcDefineFontInfo2 = 62,
    tcEnableDebugger2 = 64,
    tcScriptLimits = 65,
    tcSetTabIndex = 66,
    tcFileAttributes = 69,
    tcPlaceObject3 = 70,
    tcImportAssets2 = 71,
    tcDefineFontAlignZones = 73,
    tcCSMTextSettings = 74,
    tcDefineFont3 = 75,
    tcSymbolClass = 76,
    tcMetadata = 77,
    tcDefineScalingGrid = 78,
    tcDoABC = 82,
    tcDefineShape4 = 83,
    tcDefineMorphShape2 = 84,
    tcDefineSceneAndFrameLabelData = 86,
    tcDefineBinaryData = 87,
    tcDefineFontName = 88,
    tcStartSound2 = 89,
    tcDefineBitsJPEG4 = 90,
    tcDefineFont4 = 91,
};

struct Rgba {
    std::uint8_t r = 0, g = 0, b = 0, a = 255;
    bool operator==(const Rgba&) const = default;

    // From a TColor (0x00BBGGRR; system colours must be resolved by the caller).
    static Rgba FromColor(TColor color, std::uint8_t alpha = 255)
    {
        return {static_cast<std::uint8_t>(GetRValue(color)), static_cast<std::uint8_t>(GetGValue(color)),
                static_cast<std::uint8_t>(GetBValue(color)), alpha};
    }
    TColor ToColor() const { return RGB(r, g, b); }
};

// A rectangle in twips. An empty RECT in the file is all zeros.
struct Rect {
    std::int32_t xMin = 0, xMax = 0, yMin = 0, yMax = 0;
    bool operator==(const Rect&) const = default;
    std::int32_t Width() const { return xMax - xMin; }
    std::int32_t Height() const { return yMax - yMin; }
};

// x' = x·scaleX + y·rotateSkew1 + translateX;  y' = x·rotateSkew0 + y·scaleY + translateY.
// Scale and skew in Fixed16, translation in twips. hasScale/hasRotate say whether the file
// carries those fields; a matrix without them has scale 1 and no skew.
struct Matrix {
    bool hasScale = false;
    std::int32_t scaleX = 65536, scaleY = 65536;
    bool hasRotate = false;
    std::int32_t rotateSkew0 = 0, rotateSkew1 = 0;
    std::int32_t translateX = 0, translateY = 0;
    bool operator==(const Matrix&) const = default;

    double A() const { return hasScale ? scaleX / 65536.0 : 1.0; }
    double B() const { return hasRotate ? rotateSkew0 / 65536.0 : 0.0; }
    double C() const { return hasRotate ? rotateSkew1 / 65536.0 : 0.0; }
    double D() const { return hasScale ? scaleY / 65536.0 : 1.0; }
    double Tx() const { return translateX; }
    double Ty() const { return translateY; }

    // Translation in twips, then scale, then rotation in degrees clockwise on screen
    // (the file's y axis points down), as a transform applied to the object:
    // scale first, rotate next, translate last.
    static Matrix Make(std::int32_t txTwips, std::int32_t tyTwips, double sx = 1.0, double sy = 1.0,
                       double rotationDeg = 0.0);
};

// Colour transform: channel' = channel·mult/256 + add, clamped to 0..255.
// Multipliers are Fixed8 (256 = unchanged). PlaceObject2/3 store the alpha pair as well
// (CXFORMWITHALPHA); PlaceObject and DefineButtonCxform store only RGB (CXFORM), where
// the alpha fields are ignored.
struct ColorTransform {
    bool hasMult = false;
    std::int16_t rMult = 256, gMult = 256, bMult = 256, aMult = 256;
    bool hasAdd = false;
    std::int16_t rAdd = 0, gAdd = 0, bAdd = 0, aAdd = 0;
    bool operator==(const ColorTransform&) const = default;

    Rgba Apply(Rgba c) const;
    // Replaces every colour by a solid one while keeping alpha: multiply 0, add the colour.
    static ColorTransform Tint(Rgba color);
};

// ---------------------------------------------------------------------------------------
// Shapes

struct GradientRecord {
    std::uint8_t ratio = 0;  // 0..255 along the gradient square
    Rgba color;
    bool operator==(const GradientRecord&) const = default;
};

struct Gradient {
    std::uint8_t spreadMode = 0;         // 0 pad, 1 reflect, 2 repeat (DefineShape4 only)
    std::uint8_t interpolationMode = 0;  // 0 normal RGB, 1 linear RGB (DefineShape4 only)
    std::vector<GradientRecord> records; // at most 15
    std::int16_t focalPoint = 0;         // Fixed8, -1..1; focal radial fills only
    bool operator==(const Gradient&) const = default;
};

enum FillType : std::uint8_t {
    ftSolid = 0x00,
    ftLinearGradient = 0x10,
    ftRadialGradient = 0x12,
    ftFocalGradient = 0x13,  // DefineShape4 only
    ftRepeatingBitmap = 0x40,
    ftClippedBitmap = 0x41,
    ftRepeatingBitmapNoSmoothing = 0x42,
    ftClippedBitmapNoSmoothing = 0x43,
};

struct FillStyle {
    std::uint8_t type = ftSolid;
    Rgba color;                 // solid fills; DefineShape and DefineShape2 store it opaque
    Matrix matrix;              // gradient square (−16384..16384 twips) or bitmap matrix
    Gradient gradient;          // gradient fills
    std::uint16_t bitmapId = 0; // bitmap fills; 0xFFFF means no bitmap
    bool operator==(const FillStyle&) const = default;

    bool IsGradient() const { return type >= 0x10 && type <= 0x13; }
    bool IsBitmap() const { return type >= 0x40 && type <= 0x43; }
    static FillStyle Solid(Rgba c)
    {
        FillStyle f;
        f.color = c;
        return f;
    }
};

// DefineShape..3 store width and colour only; DefineShape4 adds the LINESTYLE2 fields.
struct LineStyle {
    std::uint16_t width = 20;  // twips
    Rgba color;                // DefineShape and DefineShape2 store it opaque
    // LINESTYLE2 (DefineShape4):
    std::uint8_t startCap = 0;  // 0 round, 1 none, 2 square
    std::uint8_t endCap = 0;
    std::uint8_t join = 0;      // 0 round, 1 bevel, 2 miter
    bool noHScale = false, noVScale = false, pixelHinting = false, noClose = false;
    std::uint16_t miterLimit = 0;  // Fixed8, only with join 2
    std::optional<FillStyle> fill; // a fill in place of the colour
    bool operator==(const LineStyle&) const = default;
};

enum class ShapeRecordKind : std::uint8_t { StyleChange, StraightEdge, CurvedEdge };

// One record of a shape. Style indices are 1-based into the style arrays in force
// (0 = none); moveTo is absolute within the shape, edges are relative to the pen.
struct ShapeRecord {
    ShapeRecordKind kind = ShapeRecordKind::StyleChange;
    // StyleChange
    bool hasMove = false;
    std::int32_t moveX = 0, moveY = 0;
    bool hasFill0 = false, hasFill1 = false, hasLine = false;
    std::uint32_t fill0 = 0, fill1 = 0, line = 0;
    bool hasNewStyles = false;  // DefineShape2 and later
    std::vector<FillStyle> newFillStyles;
    std::vector<LineStyle> newLineStyles;
    // StraightEdge: (dx, dy). CurvedEdge: control point at (dx, dy) from the pen, the
    // anchor at (anchorDx, anchorDy) from the control point.
    std::int32_t dx = 0, dy = 0;
    std::int32_t anchorDx = 0, anchorDy = 0;
    bool operator==(const ShapeRecord&) const = default;

    static ShapeRecord MoveTo(std::int32_t x, std::int32_t y);
    static ShapeRecord Line(std::int32_t dx, std::int32_t dy);
    static ShapeRecord Curve(std::int32_t cdx, std::int32_t cdy, std::int32_t adx, std::int32_t ady);
};

// DefineShape (1), DefineShape2 (2), DefineShape3 (3, colours with alpha), DefineShape4 (4).
struct ShapeDef {
    std::uint16_t id = 0;
    int shapeVersion = 1;
    Rect bounds;
    Rect edgeBounds;               // DefineShape4: bounds without line widths
    bool usesFillWindingRule = false; // DefineShape4
    bool usesNonScalingStrokes = false, usesScalingStrokes = false; // DefineShape4
    std::vector<FillStyle> fillStyles;
    std::vector<LineStyle> lineStyles;
    std::vector<ShapeRecord> records;  // the EndShapeRecord is implied
    bool operator==(const ShapeDef&) const = default;
};

// ---------------------------------------------------------------------------------------
// Texts and fonts

// DefineEditText. The text is plain (html false) or a small HTML subset (html true).
struct EditTextDef {
    std::uint16_t id = 0;
    Rect bounds;
    bool wordWrap = false, multiline = false, password = false, readOnly = true;
    bool autoSize = false, noSelect = true, border = false, wasStatic = false;
    bool html = false, useOutlines = false;
    std::optional<std::uint16_t> fontId;
    std::optional<QString> fontClass;       // SWF 9+: font by class name, with fontId unset
    std::uint16_t fontHeight = 240;         // twips; stored only with a font or font class
    std::optional<Rgba> color;
    std::optional<std::uint16_t> maxLength;
    // Layout: align 0 left, 1 right, 2 centre, 3 justify; margins, indent in twips;
    // leading in twips, signed.
    bool hasLayout = false;
    std::uint8_t align = 0;
    std::uint16_t leftMargin = 0, rightMargin = 0, indent = 0;
    std::int16_t leading = 0;
    QString variableName;
    std::optional<QString> initialText;
    bool operator==(const EditTextDef&) const = default;
};

struct GlyphEntry {
    std::uint32_t index = 0;  // into the font's glyph table
    std::int32_t advance = 0; // twips
    bool operator==(const GlyphEntry&) const = default;
};

struct TextRecord {
    std::optional<std::uint16_t> fontId;
    std::uint16_t textHeight = 0;  // twips; written with the font
    std::optional<Rgba> color;     // DefineText stores it opaque
    std::optional<std::int16_t> xOffset, yOffset;
    std::vector<GlyphEntry> glyphs;
    bool operator==(const TextRecord&) const = default;
};

// DefineText (1) and DefineText2 (2, colours with alpha): static text drawn with a
// font's glyph shapes.
struct TextDef {
    std::uint16_t id = 0;
    int textVersion = 1;
    Rect bounds;
    Matrix matrix;
    std::vector<TextRecord> records;
    bool operator==(const TextDef&) const = default;
};

// A glyph outline: shape records without styles of their own; fill style 1 is the glyph.
struct Glyph {
    std::vector<ShapeRecord> records;
    bool operator==(const Glyph&) const = default;
};

struct KerningRecord {
    std::uint16_t code1 = 0, code2 = 0;
    std::int16_t adjustment = 0;
    bool operator==(const KerningRecord&) const = default;
};

// DefineFont (1: glyph outlines only), DefineFont2 (2) and DefineFont3 (3: coordinates
// at 20 times the resolution). A font without glyphs is a device font: the player
// draws the text with the system font of that name.
struct FontDef {
    std::uint16_t id = 0;
    int fontVersion = 2;
    bool shiftJIS = false, smallText = false, ansi = false, italic = false, bold = false;
    bool wideCodes = true;  // SWF 6 and later always use 16-bit codes
    std::uint8_t languageCode = 0;
    QString name;
    std::vector<Glyph> glyphs;
    std::vector<std::uint16_t> codes;  // one per glyph (DefineFont2/3)
    bool hasLayout = false;
    std::int16_t ascent = 0, descent = 0, leading = 0;
    std::vector<std::int16_t> advances;
    std::vector<Rect> glyphBounds;
    std::vector<KerningRecord> kerning;
    bool operator==(const FontDef&) const = default;

    bool IsDeviceFont() const { return glyphs.empty(); }
};

// ---------------------------------------------------------------------------------------
// Placement, filters, clip actions

enum FilterType : std::uint8_t {
    fiDropShadow = 0,
    fiBlur = 1,
    fiGlow = 2,
    fiBevel = 3,
    fiGradientGlow = 4,
    fiConvolution = 5,
    fiColorMatrix = 6,
    fiGradientBevel = 7,
};

// A filter of PlaceObject3 or of a DefineButton2 record. The drop shadow is decoded;
// every other kind keeps its bytes (after the type byte) in raw.
struct Filter {
    std::uint8_t type = fiDropShadow;
    // Drop shadow:
    Rgba color{0, 0, 0, 255};
    std::int32_t blurX = 4 << 16, blurY = 4 << 16;  // Fixed16, pixels
    std::int32_t angle = 0;                          // Fixed16, radians
    std::int32_t distance = 4 << 16;                 // Fixed16, pixels
    std::int16_t strength = 256;                     // Fixed8
    bool innerShadow = false, knockout = false, compositeSource = true;
    std::uint8_t passes = 1;                         // quality, 0..31
    QByteArray raw;
    bool operator==(const Filter&) const = default;

    // The drop shadow with the conventional parameters: distance in pixels, angle in
    // degrees, blur in pixels, strength as a multiple, quality as a pass count.
    static Filter DropShadow(double distance, double angleDeg, Rgba color, double blurX, double blurY,
                             double strength, int quality);
};

// Clip event flags as one 32-bit value: byte 0 of the file's flags in bits 0..7, byte 1 in
// bits 8..15 and so on. Movies before version 6 store only the lower 16 bits.
enum ClipEvent : std::uint32_t {
    ceLoad = 1u << 0,
    ceEnterFrame = 1u << 1,
    ceUnload = 1u << 2,
    ceMouseMove = 1u << 3,
    ceMouseDown = 1u << 4,
    ceMouseUp = 1u << 5,
    ceKeyDown = 1u << 6,
    ceKeyUp = 1u << 7,
    ceData = 1u << 8,
    ceInitialize = 1u << 9,
    cePress = 1u << 10,
    ceRelease = 1u << 11,
    ceReleaseOutside = 1u << 12,
    ceRollOver = 1u << 13,
    ceRollOut = 1u << 14,
    ceDragOver = 1u << 15,
    ceDragOut = 1u << 16,
    ceKeyPress = 1u << 17,
    ceConstruct = 1u << 18,
};

struct ClipActionRecord {
    std::uint32_t events = 0;
    std::uint8_t keyCode = 0;  // stored only with ceKeyPress
    QByteArray actions;        // AVM1 bytecode, ending with ActionEnd (0)
    bool operator==(const ClipActionRecord&) const = default;
};

// PlaceObject (1), PlaceObject2 (2) and PlaceObject3 (3). Every optional field is stored
// only when set. PlaceObject (1) always has a character and a matrix.
struct PlaceObject {
    int placeVersion = 2;
    std::uint16_t depth = 1;
    bool move = false;  // modify the object at depth instead of placing a new one
    std::optional<std::uint16_t> characterId;
    std::optional<Matrix> matrix;
    std::optional<ColorTransform> colorTransform;
    std::optional<std::uint16_t> ratio;
    std::optional<QString> name;
    std::optional<std::uint16_t> clipDepth;
    // PlaceObject3 only:
    std::optional<QString> className;
    bool hasImage = false;
    std::optional<std::vector<Filter>> filters;
    std::optional<std::uint8_t> blendMode;
    std::optional<std::uint8_t> bitmapCache;
    std::optional<std::uint8_t> visible;        // SWF 11
    std::optional<Rgba> backgroundColor;        // SWF 11
    // PlaceObject2/3:
    std::vector<ClipActionRecord> clipActions;  // empty: none stored
    bool operator==(const PlaceObject&) const = default;
};

// RemoveObject (1, with the character id) and RemoveObject2 (2, depth only).
struct RemoveObject {
    int removeVersion = 2;
    std::uint16_t characterId = 0;
    std::uint16_t depth = 1;
    bool operator==(const RemoveObject&) const = default;
};

// ---------------------------------------------------------------------------------------
// Buttons

enum ButtonState : std::uint8_t {
    bsUp = 0x01,
    bsOver = 0x02,
    bsDown = 0x04,
    bsHitTest = 0x08,
};

struct ButtonRecord {
    std::uint8_t states = 0;  // ButtonState bits
    std::uint16_t characterId = 0;
    std::uint16_t depth = 1;
    Matrix matrix;
    ColorTransform colorTransform;              // DefineButton2 only (with alpha)
    std::optional<std::vector<Filter>> filters; // DefineButton2, SWF 8
    std::optional<std::uint8_t> blendMode;      // DefineButton2, SWF 8
    bool operator==(const ButtonRecord&) const = default;
};

// Button transition conditions: bits 0..8, plus the key code (1..127) in bits 9..15.
enum ButtonCondition : std::uint16_t {
    bcIdleToOverUp = 1u << 0,
    bcOverUpToIdle = 1u << 1,
    bcOverUpToOverDown = 1u << 2,
    bcOverDownToOverUp = 1u << 3,  // a click: released over the button
    bcOverDownToOutDown = 1u << 4,
    bcOutDownToOverDown = 1u << 5,
    bcOutDownToIdle = 1u << 6,
    bcIdleToOverDown = 1u << 7,
    bcOverDownToIdle = 1u << 8,
};

struct ButtonAction {
    std::uint16_t conditions = bcOverDownToOverUp;
    QByteArray actions;  // AVM1 bytecode ending with ActionEnd
    bool operator==(const ButtonAction&) const = default;
};

// DefineButton (1: one action list run on release) and DefineButton2 (2).
struct ButtonDef {
    std::uint16_t id = 0;
    int buttonVersion = 2;
    bool trackAsMenu = false;
    std::vector<ButtonRecord> records;
    std::vector<ButtonAction> actions;  // DefineButton: one entry, conditions ignored
    bool operator==(const ButtonDef&) const = default;
};

// ---------------------------------------------------------------------------------------
// Timeline and the tags that hold it

struct Tag;

// DefineSprite: a timeline of its own. Its tags are control tags only (placements,
// actions, labels, ShowFrame, End).
struct SpriteDef {
    std::uint16_t id = 0;
    std::uint16_t frameCount = 1;
    std::vector<Tag> tags;  // ends with End
    bool operator==(const SpriteDef&) const;
};

struct SetBackgroundColor {
    Rgba color;  // alpha not stored
    bool operator==(const SetBackgroundColor&) const = default;
};

struct FrameLabel {
    QString name;
    bool namedAnchor = false;
    bool operator==(const FrameLabel&) const = default;
};

struct DoAction {
    QByteArray actions;  // AVM1 bytecode ending with ActionEnd
    bool operator==(const DoAction&) const = default;
};

struct DoInitAction {
    std::uint16_t spriteId = 0;
    QByteArray actions;
    bool operator==(const DoInitAction&) const = default;
};

// FileAttributes flags: bit 0 UseNetwork, 3 ActionScript3, 4 HasMetadata, 5 UseGPU,
// 6 UseDirectBlit (bit numbers of the first byte, least significant first).
struct FileAttributes {
    std::uint32_t flags = 0;
    bool operator==(const FileAttributes&) const = default;
};

struct ShowFrame {
    bool operator==(const ShowFrame&) const = default;
};

struct End {
    bool operator==(const End&) const = default;
};

// Any tag not decoded: its body bytes as stored. Character-defining raw tags keep their
// identifier in the first two bytes, where the renumbering copy finds it.
struct RawTag {
    QByteArray data;
    bool operator==(const RawTag&) const = default;
};

using TagBody = std::variant<RawTag, End, ShowFrame, SetBackgroundColor, FileAttributes, FrameLabel, DoAction,
                             DoInitAction, PlaceObject, RemoveObject, ShapeDef, SpriteDef, EditTextDef, TextDef,
                             FontDef, ButtonDef>;

// One tag: its code and its body. A decoded body knows its own code (from its kind and
// its version field, e.g. ShapeDef with shapeVersion 3 is DefineShape3); the writer
// writes that code, and the reader sets `code` to what the file said. Only a RawTag
// needs `code` to be set by hand. Make() builds a tag with the matching code.
struct Tag {
    std::uint16_t code = tcEnd;
    TagBody body;
    bool operator==(const Tag&) const = default;

    static Tag Make(TagBody body);
    // The code the writer uses for this tag.
    std::uint16_t WriteCode() const;

    template <class T> T* As() { return std::get_if<T>(&body); }
    template <class T> const T* As() const { return std::get_if<T>(&body); }

    // The character this tag defines (shapes, sprites, texts, fonts, buttons, bitmaps,
    // sounds, morph shapes, video streams, binary data), or nullopt.
    std::optional<std::uint16_t> DefinedId() const;
};

inline bool SpriteDef::operator==(const SpriteDef& o) const
{
    return id == o.id && frameCount == o.frameCount && tags == o.tags;
}

struct Header {
    int version = 8;
    bool compressed = false;   // CWS (zlib), version 6 and later
    Rect frameRect;            // twips, usually from (0, 0)
    std::uint16_t frameRate = 12 << 8;  // Fixed8 frames per second
    std::uint16_t frameCount = 1;
    bool operator==(const Header&) const = default;

    double FrameRate() const { return frameRate / 256.0; }
};

// A whole movie: the header and the main timeline's tags in file order, ending with End.
struct Movie {
    Header header;
    std::vector<Tag> tags;
    bool operator==(const Movie&) const = default;

    // The background colour of the first SetBackgroundColor tag, or nullopt.
    std::optional<Rgba> BackgroundColor() const;
    // The first tag (searching the main timeline) that defines this character.
    const Tag* FindCharacter(std::uint16_t id) const;
};

// Renumbers every character this tag list defines, consecutively from firstId in order
// of definition, and every reference to them (placements, button records, fonts of
// texts, bitmap fills, sprite contents, exports, init actions ...). References to
// identifiers the list does not define are left as they are. Returns the next free id.
std::uint16_t RenumberCharacters(std::vector<Tag>& tags, std::uint16_t firstId = 20000);

}  // namespace swf
