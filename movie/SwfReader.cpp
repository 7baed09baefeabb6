#include "movie/SwfReader.h"

#include "movie/SwfStream.h"

#include <QFile>
#include <QFileInfo>

#include <zlib.h>

#include <algorithm>
#include <climits>

namespace swf {

using detail::ByteReader;
using detail::DecodeString;

namespace {

// Bytes a single entry occupies at least, to bound counts before looping.
constexpr qint64 kMinFillStyle = 1;
constexpr qint64 kMinLineStyle = 2;

class TagDecoder {
public:
    TagDecoder(int version, const ReadOptions& options) : FVersion(version), FOptions(options) {}

    // Reads a tag list until End or the end of the data. On failure returns false with
    // the error details filled in.
    bool ReadTagList(ByteReader& r, std::vector<Tag>& out, int nesting);

    bool DecodeBody(std::uint16_t code, ByteReader& r, Tag& out, int nesting);

    ReadError error = ReadError::None;
    QString message;
    qint64 offset = -1;
    int tagCode = -1;

private:
    QString Str(const QByteArray& b) const { return DecodeString(b, FVersion); }

    Gradient ReadGradient(ByteReader& r, int shapeVersion, std::uint8_t type);
    FillStyle ReadFillStyle(ByteReader& r, int shapeVersion);
    LineStyle ReadLineStyle(ByteReader& r, int shapeVersion);
    void ReadStyleArrays(ByteReader& r, int shapeVersion, std::vector<FillStyle>& fills,
                         std::vector<LineStyle>& lines);
    void ReadShapeRecords(ByteReader& r, int shapeVersion, int fillBits, int lineBits, std::vector<ShapeRecord>& out);
    Filter ReadFilter(ByteReader& r);
    std::optional<std::vector<Filter>> ReadFilters(ByteReader& r);
    std::uint32_t ReadEventFlags(ByteReader& r);
    std::vector<ClipActionRecord> ReadClipActions(ByteReader& r);

    void ReadShape(ByteReader& r, int shapeVersion, ShapeDef& s);
    void ReadPlaceObject(ByteReader& r, int placeVersion, PlaceObject& p);
    void ReadEditText(ByteReader& r, EditTextDef& t);
    void ReadText(ByteReader& r, int textVersion, TextDef& t);
    void ReadFont1(ByteReader& r, FontDef& f);
    void ReadFont2(ByteReader& r, int fontVersion, FontDef& f);
    bool ReadFontLayout(ByteReader& r, FontDef& f, size_t glyphs, bool wideCodes);
    void ReadButton(ByteReader& r, int buttonVersion, ButtonDef& b);
    Glyph ReadGlyph(const QByteArray& data, qint64 base, ByteReader& parent);

    int FVersion;
    const ReadOptions& FOptions;
};

Gradient TagDecoder::ReadGradient(ByteReader& r, int shapeVersion, std::uint8_t type)
{
    Gradient g;
    const std::uint8_t flags = r.U8();
    g.spreadMode = flags >> 6;
    g.interpolationMode = (flags >> 4) & 3;
    const int n = flags & 0x0F;
    for (int i = 0; i < n && r.Ok(); ++i) {
        GradientRecord rec;
        rec.ratio = r.U8();
        rec.color = shapeVersion >= 3 ? r.RGBA() : r.RGB();
        g.records.push_back(rec);
    }
    if (type == ftFocalGradient)
        g.focalPoint = r.S16();
    return g;
}

FillStyle TagDecoder::ReadFillStyle(ByteReader& r, int shapeVersion)
{
    FillStyle f;
    f.type = r.U8();
    if (f.type == ftSolid) {
        f.color = shapeVersion >= 3 ? r.RGBA() : r.RGB();
    } else if (f.IsGradient() && f.type != 0x11) {
        f.matrix = r.ReadMatrix();
        f.gradient = ReadGradient(r, shapeVersion, f.type);
    } else if (f.IsBitmap()) {
        f.bitmapId = r.U16();
        f.matrix = r.ReadMatrix();
    } else {
        r.Fail(QStringLiteral("unknown fill style type 0x%1").arg(f.type, 2, 16, QLatin1Char('0')));
    }
    return f;
}

LineStyle TagDecoder::ReadLineStyle(ByteReader& r, int shapeVersion)
{
    LineStyle l;
    l.width = r.U16();
    if (shapeVersion < 4) {
        l.color = shapeVersion >= 3 ? r.RGBA() : r.RGB();
        return l;
    }
    const std::uint8_t f0 = r.U8();
    const std::uint8_t f1 = r.U8();
    l.startCap = f0 >> 6;
    l.join = (f0 >> 4) & 3;
    const bool hasFill = (f0 & 0x08) != 0;
    l.noHScale = (f0 & 0x04) != 0;
    l.noVScale = (f0 & 0x02) != 0;
    l.pixelHinting = (f0 & 0x01) != 0;
    l.noClose = (f1 & 0x04) != 0;
    l.endCap = f1 & 3;
    if (l.join == 2)
        l.miterLimit = r.U16();
    if (hasFill)
        l.fill = ReadFillStyle(r, shapeVersion);
    else
        l.color = r.RGBA();
    return l;
}

void TagDecoder::ReadStyleArrays(ByteReader& r, int shapeVersion, std::vector<FillStyle>& fills,
                                 std::vector<LineStyle>& lines)
{
    int n = r.U8();
    if (n == 0xFF && shapeVersion >= 2)
        n = r.U16();
    if (!r.CheckCount(n, kMinFillStyle, "fill style"))
        return;
    fills.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n && r.Ok(); ++i)
        fills.push_back(ReadFillStyle(r, shapeVersion));
    n = r.U8();
    if (n == 0xFF && shapeVersion >= 2)
        n = r.U16();
    if (!r.CheckCount(n, kMinLineStyle, "line style"))
        return;
    lines.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n && r.Ok(); ++i)
        lines.push_back(ReadLineStyle(r, shapeVersion));
}

void TagDecoder::ReadShapeRecords(ByteReader& r, int shapeVersion, int fillBits, int lineBits,
                                  std::vector<ShapeRecord>& out)
{
    while (r.Ok()) {
        if (r.UB(1)) {
            const bool straight = r.UB(1) != 0;
            const int bits = static_cast<int>(r.UB(4)) + 2;
            if (straight) {
                ShapeRecord e;
                e.kind = ShapeRecordKind::StraightEdge;
                if (r.UB(1)) {
                    e.dx = r.SB(bits);
                    e.dy = r.SB(bits);
                } else if (r.UB(1)) {
                    e.dy = r.SB(bits);
                } else {
                    e.dx = r.SB(bits);
                }
                out.push_back(e);
            } else {
                ShapeRecord e;
                e.kind = ShapeRecordKind::CurvedEdge;
                e.dx = r.SB(bits);
                e.dy = r.SB(bits);
                e.anchorDx = r.SB(bits);
                e.anchorDy = r.SB(bits);
                out.push_back(e);
            }
            continue;
        }
        const std::uint32_t flags = r.UB(5);
        if (flags == 0)
            break;  // end of shape
        ShapeRecord s;
        s.kind = ShapeRecordKind::StyleChange;
        if (flags & 0x01) {
            const int bits = static_cast<int>(r.UB(5));
            s.hasMove = true;
            s.moveX = r.SB(bits);
            s.moveY = r.SB(bits);
        }
        if (flags & 0x02) {
            s.hasFill0 = true;
            s.fill0 = r.UB(fillBits);
        }
        if (flags & 0x04) {
            s.hasFill1 = true;
            s.fill1 = r.UB(fillBits);
        }
        if (flags & 0x08) {
            s.hasLine = true;
            s.line = r.UB(lineBits);
        }
        if (flags & 0x10) {
            // Files in the wild carry new styles in DefineShape too; players accept them.
            s.hasNewStyles = true;
            r.Align();
            ReadStyleArrays(r, shapeVersion, s.newFillStyles, s.newLineStyles);
            fillBits = static_cast<int>(r.UB(4));
            lineBits = static_cast<int>(r.UB(4));
        }
        out.push_back(std::move(s));
    }
    r.Align();
}

void TagDecoder::ReadShape(ByteReader& r, int shapeVersion, ShapeDef& s)
{
    s.shapeVersion = shapeVersion;
    s.id = r.U16();
    s.bounds = r.ReadRect();
    if (shapeVersion >= 4) {
        s.edgeBounds = r.ReadRect();
        const std::uint8_t flags = r.U8();
        s.usesFillWindingRule = (flags & 0x04) != 0;
        s.usesNonScalingStrokes = (flags & 0x02) != 0;
        s.usesScalingStrokes = (flags & 0x01) != 0;
    } else {
        s.edgeBounds = s.bounds;
    }
    ReadStyleArrays(r, shapeVersion, s.fillStyles, s.lineStyles);
    const std::uint8_t bits = r.U8();
    ReadShapeRecords(r, shapeVersion, bits >> 4, bits & 0x0F, s.records);
}

Filter TagDecoder::ReadFilter(ByteReader& r)
{
    Filter f;
    f.type = r.U8();
    switch (f.type) {
    case fiDropShadow: {
        f.color = r.RGBA();
        f.blurX = r.S32();
        f.blurY = r.S32();
        f.angle = r.S32();
        f.distance = r.S32();
        f.strength = r.S16();
        const std::uint8_t flags = r.U8();
        f.innerShadow = (flags & 0x80) != 0;
        f.knockout = (flags & 0x40) != 0;
        f.compositeSource = (flags & 0x20) != 0;
        f.passes = flags & 0x1F;
        break;
    }
    case fiBlur:
        f.raw = r.Bytes(9);
        break;
    case fiGlow:
        f.raw = r.Bytes(15);
        break;
    case fiBevel:
        f.raw = r.Bytes(27);
        break;
    case fiGradientGlow:
    case fiGradientBevel: {
        const std::uint8_t n = r.U8();
        f.raw = QByteArray(1, static_cast<char>(n)) + r.Bytes(5 * n + 19);
        break;
    }
    case fiConvolution: {
        const std::uint8_t x = r.U8();
        const std::uint8_t y = r.U8();
        f.raw = QByteArray(1, static_cast<char>(x)) + QByteArray(1, static_cast<char>(y)) + r.Bytes(13 + 4 * x * y);
        break;
    }
    case fiColorMatrix:
        f.raw = r.Bytes(80);
        break;
    default:
        r.Fail(QStringLiteral("unknown filter type %1").arg(f.type));
        break;
    }
    return f;
}

std::optional<std::vector<Filter>> TagDecoder::ReadFilters(ByteReader& r)
{
    std::vector<Filter> filters;
    const int n = r.U8();
    if (!r.CheckCount(n, 1, "filter"))
        return filters;
    for (int i = 0; i < n && r.Ok(); ++i)
        filters.push_back(ReadFilter(r));
    return filters;
}

std::uint32_t TagDecoder::ReadEventFlags(ByteReader& r)
{
    if (FVersion <= 5)
        return r.U16();
    // Some writers end the list with two zero bytes instead of four; players accept it.
    if (r.Remaining() == 2)
        return r.U16();
    return r.U32();
}

std::vector<ClipActionRecord> TagDecoder::ReadClipActions(ByteReader& r)
{
    std::vector<ClipActionRecord> out;
    r.U16();  // reserved
    ReadEventFlags(r);  // the union of all events, implied by the records
    while (r.Ok()) {
        ClipActionRecord rec;
        rec.events = ReadEventFlags(r);
        if (rec.events == 0 || !r.Ok())
            break;
        std::uint32_t size = r.U32();
        if (rec.events & ceKeyPress) {
            if (size == 0) {
                r.Fail(QStringLiteral("clip action without its key code"));
                break;
            }
            rec.keyCode = r.U8();
            --size;
        }
        if (!r.CheckCount(size, 1, "clip action byte"))
            break;
        rec.actions = r.Bytes(static_cast<qsizetype>(size));
        out.push_back(std::move(rec));
    }
    return out;
}

void TagDecoder::ReadPlaceObject(ByteReader& r, int placeVersion, PlaceObject& p)
{
    p.placeVersion = placeVersion;
    if (placeVersion == 1) {
        p.characterId = r.U16();
        p.depth = r.U16();
        p.matrix = r.ReadMatrix();
        if (r.Remaining() > 0)
            p.colorTransform = r.ReadCxform(false);
        return;
    }
    const std::uint8_t f1 = r.U8();
    const std::uint8_t f2 = placeVersion >= 3 ? r.U8() : 0;
    p.depth = r.U16();
    p.move = (f1 & 0x01) != 0;
    const bool hasCharacter = (f1 & 0x02) != 0;
    p.hasImage = (f2 & 0x10) != 0;
    if ((f2 & 0x08) || (p.hasImage && !hasCharacter))
        p.className = Str(r.CString());
    if (hasCharacter)
        p.characterId = r.U16();
    if (f1 & 0x04)
        p.matrix = r.ReadMatrix();
    if (f1 & 0x08)
        p.colorTransform = r.ReadCxform(true);
    if (f1 & 0x10)
        p.ratio = r.U16();
    if (f1 & 0x20)
        p.name = Str(r.CString());
    if (f1 & 0x40)
        p.clipDepth = r.U16();
    if (f2 & 0x01)
        p.filters = ReadFilters(r);
    if (f2 & 0x02)
        p.blendMode = r.U8();
    if (f2 & 0x04)
        p.bitmapCache = r.U8();
    if (f2 & 0x20)
        p.visible = r.U8();
    if (f2 & 0x40)
        p.backgroundColor = r.RGBA();
    if (f1 & 0x80)
        p.clipActions = ReadClipActions(r);
}

void TagDecoder::ReadEditText(ByteReader& r, EditTextDef& t)
{
    t.id = r.U16();
    t.bounds = r.ReadRect();
    const std::uint8_t f1 = r.U8();
    const std::uint8_t f2 = r.U8();
    t.wordWrap = (f1 & 0x40) != 0;
    t.multiline = (f1 & 0x20) != 0;
    t.password = (f1 & 0x10) != 0;
    t.readOnly = (f1 & 0x08) != 0;
    t.autoSize = (f2 & 0x40) != 0;
    t.noSelect = (f2 & 0x10) != 0;
    t.border = (f2 & 0x08) != 0;
    t.wasStatic = (f2 & 0x04) != 0;
    t.html = (f2 & 0x02) != 0;
    t.useOutlines = (f2 & 0x01) != 0;
    if (f1 & 0x01)
        t.fontId = r.U16();
    if (f2 & 0x80)
        t.fontClass = Str(r.CString());
    if ((f1 & 0x01) || (f2 & 0x80))
        t.fontHeight = r.U16();
    if (f1 & 0x04)
        t.color = r.RGBA();
    if (f1 & 0x02)
        t.maxLength = r.U16();
    t.hasLayout = (f2 & 0x20) != 0;
    if (t.hasLayout) {
        t.align = r.U8();
        t.leftMargin = r.U16();
        t.rightMargin = r.U16();
        t.indent = r.U16();
        t.leading = r.S16();
    }
    t.variableName = Str(r.CString());
    if (f1 & 0x80)
        t.initialText = Str(r.CString());
}

void TagDecoder::ReadText(ByteReader& r, int textVersion, TextDef& t)
{
    t.textVersion = textVersion;
    t.id = r.U16();
    t.bounds = r.ReadRect();
    t.matrix = r.ReadMatrix();
    const int glyphBits = r.U8();
    const int advanceBits = r.U8();
    if (glyphBits > 32 || advanceBits > 32) {
        r.Fail(QStringLiteral("glyph field widths %1/%2 exceed 32 bits").arg(glyphBits).arg(advanceBits));
        return;
    }
    while (r.Ok()) {
        const std::uint8_t flags = r.U8();
        if (flags == 0 || !r.Ok())
            break;
        TextRecord rec;
        if (flags & 0x08)
            rec.fontId = r.U16();
        if (flags & 0x04)
            rec.color = textVersion >= 2 ? r.RGBA() : r.RGB();
        if (flags & 0x01)
            rec.xOffset = r.S16();
        if (flags & 0x02)
            rec.yOffset = r.S16();
        if (flags & 0x08)
            rec.textHeight = r.U16();
        const int n = r.U8();
        for (int i = 0; i < n && r.Ok(); ++i) {
            GlyphEntry g;
            g.index = r.UB(glyphBits);
            g.advance = r.SB(advanceBits);
            rec.glyphs.push_back(g);
        }
        r.Align();
        t.records.push_back(std::move(rec));
    }
}

Glyph TagDecoder::ReadGlyph(const QByteArray& data, qint64 base, ByteReader& parent)
{
    Glyph g;
    ByteReader gr(data, base);
    const std::uint8_t bits = gr.U8();
    ReadShapeRecords(gr, 1, bits >> 4, bits & 0x0F, g.records);
    if (!gr.Ok())
        parent.Fail(QStringLiteral("glyph outline: ") + gr.Error());
    return g;
}

void TagDecoder::ReadFont1(ByteReader& r, FontDef& f)
{
    f.fontVersion = 1;
    f.id = r.U16();
    if (r.AtEnd())
        return;  // a font without glyphs
    const qsizetype tableStart = r.Pos();
    const qint64 tableBase = r.FileOffset();
    const QByteArray rest = r.Rest();
    ByteReader t(rest, tableBase);
    const std::uint16_t first = t.U16();
    const int n = first / 2;
    if (!t.CheckCount(n, 2, "glyph")) {
        r.Fail(t.Error());
        return;
    }
    std::vector<std::uint32_t> offsets{first};
    for (int i = 1; i < n && t.Ok(); ++i)
        offsets.push_back(t.U16());
    offsets.push_back(static_cast<std::uint32_t>(rest.size()));
    for (int i = 0; i < n && r.Ok(); ++i) {
        if (offsets[i] > offsets[i + 1] || offsets[i + 1] > static_cast<std::uint32_t>(rest.size())) {
            r.Fail(QStringLiteral("glyph %1 lies outside the font").arg(i));
            return;
        }
        f.glyphs.push_back(ReadGlyph(rest.mid(offsets[i], offsets[i + 1] - offsets[i]), tableBase + offsets[i], r));
    }
    (void)tableStart;
}

bool TagDecoder::ReadFontLayout(ByteReader& r, FontDef& f, size_t glyphs, bool wideCodes)
{
    f.ascent = r.S16();
    f.descent = r.S16();
    f.leading = r.S16();
    if (!r.CheckCount(static_cast<qint64>(glyphs), 3, "glyph layout"))
        return false;
    f.advances.clear();
    f.glyphBounds.clear();
    for (size_t i = 0; i < glyphs && r.Ok(); ++i)
        f.advances.push_back(r.S16());
    for (size_t i = 0; i < glyphs && r.Ok(); ++i)
        f.glyphBounds.push_back(r.ReadRect());
    const int kerning = r.U16();
    if (!r.CheckCount(kerning, wideCodes ? 6 : 4, "kerning record"))
        return false;
    f.kerning.clear();
    for (int i = 0; i < kerning && r.Ok(); ++i) {
        KerningRecord k;
        k.code1 = wideCodes ? r.U16() : r.U8();
        k.code2 = wideCodes ? r.U16() : r.U8();
        k.adjustment = r.S16();
        f.kerning.push_back(k);
    }
    return r.Ok();
}

void TagDecoder::ReadFont2(ByteReader& r, int fontVersion, FontDef& f)
{
    f.fontVersion = fontVersion;
    f.id = r.U16();
    const std::uint8_t flags = r.U8();
    f.hasLayout = (flags & 0x80) != 0;
    f.shiftJIS = (flags & 0x40) != 0;
    f.smallText = (flags & 0x20) != 0;
    f.ansi = (flags & 0x10) != 0;
    const bool wideOffsets = (flags & 0x08) != 0;
    f.wideCodes = (flags & 0x04) != 0;
    f.italic = (flags & 0x02) != 0;
    f.bold = (flags & 0x01) != 0;
    f.languageCode = r.U8();
    QByteArray name = r.Bytes(r.U8());
    // The name should carry no terminator, but often does.
    while (name.endsWith('\0'))
        name.chop(1);
    f.name = Str(name);
    const int n = r.U16();
    const int entry = wideOffsets ? 4 : 2;
    if (!r.Ok())
        return;
    if (n == 0) {
        // Without glyphs the code table offset may or may not be there; take the reading
        // that accounts for every byte of the tag.
        if (!f.hasLayout)
            return;
        const QByteArray rest = r.Rest();
        for (int skip : {entry, 0}) {
            if (rest.size() < skip)
                continue;
            FontDef trial = f;
            ByteReader lr(rest.constData() + skip, rest.size() - skip, r.FileOffset() - rest.size() + skip);
            if (ReadFontLayout(lr, trial, 0, f.wideCodes) && lr.AtEnd()) {
                f = trial;
                return;
            }
        }
        r.Fail(QStringLiteral("font layout does not fit the tag"));
        return;
    }
    const qint64 tableBase = r.FileOffset();
    const QByteArray rest = r.Rest();
    ByteReader t(rest, tableBase);
    if (!t.CheckCount(n + 1, entry, "glyph offset")) {
        r.Fail(t.Error());
        return;
    }
    std::vector<std::uint32_t> offsets;
    for (int i = 0; i <= n; ++i)
        offsets.push_back(wideOffsets ? t.U32() : t.U16());
    for (int i = 0; i < n; ++i) {
        if (offsets[i] > offsets[i + 1] || offsets[i + 1] > static_cast<std::uint32_t>(rest.size())) {
            r.Fail(QStringLiteral("glyph %1 lies outside the font").arg(i));
            return;
        }
        f.glyphs.push_back(ReadGlyph(rest.mid(offsets[i], offsets[i + 1] - offsets[i]), tableBase + offsets[i], r));
        if (!r.Ok())
            return;
    }
    ByteReader c(rest.constData() + offsets[n], rest.size() - offsets[n], tableBase + offsets[n]);
    if (!c.CheckCount(n, f.wideCodes ? 2 : 1, "character code")) {
        r.Fail(c.Error());
        return;
    }
    for (int i = 0; i < n; ++i)
        f.codes.push_back(f.wideCodes ? c.U16() : c.U8());
    if (f.hasLayout && !ReadFontLayout(c, f, static_cast<size_t>(n), f.wideCodes))
        r.Fail(QStringLiteral("font layout: ") + c.Error());
}

void TagDecoder::ReadButton(ByteReader& r, int buttonVersion, ButtonDef& b)
{
    b.buttonVersion = buttonVersion;
    b.id = r.U16();
    std::uint16_t actionOffset = 0;
    if (buttonVersion >= 2) {
        b.trackAsMenu = (r.U8() & 0x01) != 0;
        actionOffset = r.U16();
    }
    while (r.Ok()) {
        const std::uint8_t flags = r.U8();
        if (flags == 0 || !r.Ok())
            break;
        ButtonRecord rec;
        rec.states = flags & 0x0F;
        rec.characterId = r.U16();
        rec.depth = r.U16();
        rec.matrix = r.ReadMatrix();
        if (buttonVersion >= 2) {
            rec.colorTransform = r.ReadCxform(true);
            if (flags & 0x10)
                rec.filters = ReadFilters(r);
            if (flags & 0x20)
                rec.blendMode = r.U8();
        }
        b.records.push_back(std::move(rec));
    }
    if (!r.Ok())
        return;
    if (buttonVersion == 1) {
        b.actions.push_back({bcOverDownToOverUp, r.Rest()});
        return;
    }
    if (actionOffset == 0)
        return;
    while (r.Ok() && !r.AtEnd()) {
        const std::uint16_t size = r.U16();
        ButtonAction a;
        a.conditions = r.U16();
        if (size == 0) {
            a.actions = r.Rest();
            b.actions.push_back(std::move(a));
            break;
        }
        if (size < 4) {
            r.Fail(QStringLiteral("button action of %1 bytes").arg(size));
            break;
        }
        a.actions = r.Bytes(size - 4);
        b.actions.push_back(std::move(a));
    }
}

bool TagDecoder::DecodeBody(std::uint16_t code, ByteReader& r, Tag& out, int nesting)
{
    out.code = code;
    switch (code) {
    case tcEnd:
        out.body = End{};
        break;
    case tcShowFrame:
        out.body = ShowFrame{};
        break;
    case tcSetBackgroundColor:
        out.body = SetBackgroundColor{r.RGB()};
        break;
    case tcFileAttributes:
        out.body = FileAttributes{r.U32()};
        break;
    case tcFrameLabel: {
        FrameLabel l;
        l.name = Str(r.CString());
        if (FVersion >= 6 && r.Remaining() > 0)
            l.namedAnchor = r.U8() != 0;
        out.body = l;
        break;
    }
    case tcDoAction:
        out.body = DoAction{r.Rest()};
        break;
    case tcDoInitAction: {
        DoInitAction a;
        a.spriteId = r.U16();
        a.actions = r.Rest();
        out.body = a;
        break;
    }
    case tcPlaceObject:
    case tcPlaceObject2:
    case tcPlaceObject3: {
        PlaceObject p;
        ReadPlaceObject(r, code == tcPlaceObject ? 1 : code == tcPlaceObject2 ? 2 : 3, p);
        out.body = std::move(p);
        break;
    }
    case tcRemoveObject:
    case tcRemoveObject2: {
        RemoveObject o;
        o.removeVersion = code == tcRemoveObject ? 1 : 2;
        if (o.removeVersion == 1)
            o.characterId = r.U16();
        o.depth = r.U16();
        out.body = o;
        break;
    }
    case tcDefineShape:
    case tcDefineShape2:
    case tcDefineShape3:
    case tcDefineShape4: {
        ShapeDef s;
        ReadShape(r, code == tcDefineShape ? 1 : code == tcDefineShape2 ? 2 : code == tcDefineShape3 ? 3 : 4, s);
        out.body = std::move(s);
        break;
    }
    case tcDefineSprite: {
        if (nesting >= FOptions.maxSpriteNesting) {
            r.Fail(QStringLiteral("sprites nested deeper than %1 levels").arg(FOptions.maxSpriteNesting));
            break;
        }
        SpriteDef s;
        s.id = r.U16();
        s.frameCount = r.U16();
        if (!r.Ok())
            break;
        const qint64 base = r.FileOffset();
        const QByteArray rest = r.Rest();
        ByteReader sr(rest, base);
        if (!ReadTagList(sr, s.tags, nesting + 1))
            return false;
        out.body = std::move(s);
        break;
    }
    case tcDefineEditText: {
        EditTextDef t;
        ReadEditText(r, t);
        out.body = std::move(t);
        break;
    }
    case tcDefineText:
    case tcDefineText2: {
        TextDef t;
        ReadText(r, code == tcDefineText ? 1 : 2, t);
        out.body = std::move(t);
        break;
    }
    case tcDefineFont: {
        FontDef f;
        ReadFont1(r, f);
        out.body = std::move(f);
        break;
    }
    case tcDefineFont2:
    case tcDefineFont3: {
        FontDef f;
        ReadFont2(r, code == tcDefineFont2 ? 2 : 3, f);
        out.body = std::move(f);
        break;
    }
    case tcDefineButton:
    case tcDefineButton2: {
        ButtonDef b;
        ReadButton(r, code == tcDefineButton ? 1 : 2, b);
        out.body = std::move(b);
        break;
    }
    default:
        out.body = RawTag{r.Rest()};
        break;
    }
    if (!r.Ok()) {
        error = ReadError::Malformed;
        message = QStringLiteral("tag %1: %2").arg(code).arg(r.Error());
        offset = r.ErrorOffset();
        tagCode = code;
        return false;
    }
    return true;
}

bool TagDecoder::ReadTagList(ByteReader& r, std::vector<Tag>& out, int nesting)
{
    while (!r.AtEnd()) {
        const qint64 tagOffset = r.FileOffset();
        const std::uint16_t head = r.U16();
        const std::uint16_t code = head >> 6;
        qint64 length = head & 0x3F;
        if (length == 0x3F)
            length = r.U32();
        if (!r.Ok() || length > r.Remaining()) {
            error = ReadError::Truncated;
            message = r.Ok() ? QStringLiteral("tag %1 of %2 bytes at offset %3 runs past the end of the movie")
                                   .arg(code)
                                   .arg(length)
                                   .arg(tagOffset)
                             : QStringLiteral("tag header at offset %1 is cut off").arg(tagOffset);
            offset = tagOffset;
            tagCode = r.Ok() ? code : -1;
            return false;
        }
        const qint64 bodyOffset = r.FileOffset();
        const QByteArray body = r.Bytes(static_cast<qsizetype>(length));
        Tag tag;
        if (FOptions.decodeTags) {
            ByteReader br(body, bodyOffset);
            if (!DecodeBody(code, br, tag, nesting))
                return false;
        } else {
            tag.code = code;
            tag.body = code == tcEnd ? TagBody{End{}} : TagBody{RawTag{body}};
        }
        out.push_back(std::move(tag));
        if (code == tcEnd)
            return true;
    }
    // Data ending at a tag boundary without End: accepted, as players do.
    return true;
}

// Inflates exactly the declared size. The stream must then end (its checksum checked):
// a stream cut short is truncation, one that holds more than declared is refused.
bool Inflate(const char* data, qsizetype size, QByteArray& out, qint64 expected, ReadError& error, QString& problem)
{
    out = QByteArray(static_cast<qsizetype>(expected), Qt::Uninitialized);
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK) {
        error = ReadError::Decompression;
        problem = QStringLiteral("zlib could not start");
        return false;
    }
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
    zs.avail_in = static_cast<uInt>(std::min<qsizetype>(size, UINT_MAX));
    zs.next_out = reinterpret_cast<Bytef*>(out.data());
    zs.avail_out = static_cast<uInt>(expected);
    int rc = Z_OK;
    while (rc == Z_OK && zs.avail_out > 0)
        rc = inflate(&zs, Z_NO_FLUSH);
    const qint64 produced = expected - zs.avail_out;
    char spare[64];
    if (rc == Z_OK) {
        // Everything declared is there; now the stream has to end.
        zs.next_out = reinterpret_cast<Bytef*>(spare);
        zs.avail_out = sizeof spare;
        rc = inflate(&zs, Z_FINISH);
        if (rc == Z_STREAM_END && zs.avail_out != sizeof spare)
            rc = Z_DATA_ERROR + 1000;  // more than declared
    }
    inflateEnd(&zs);
    out.truncate(static_cast<qsizetype>(produced));
    switch (rc) {
    case Z_STREAM_END:
        if (produced == expected)
            return true;
        error = ReadError::Truncated;
        problem = QStringLiteral("the compressed movie holds %1 of its %2 bytes").arg(8 + produced).arg(8 + expected);
        return false;
    case Z_BUF_ERROR:
        error = ReadError::Truncated;
        problem = QStringLiteral("the compressed data ends early, after %1 of %2 bytes").arg(8 + produced).arg(8 + expected);
        return false;
    case Z_DATA_ERROR + 1000:
        error = ReadError::Decompression;
        problem = QStringLiteral("the compressed data holds more than the declared %1 bytes").arg(8 + expected);
        return false;
    default:
        error = ReadError::Decompression;
        problem = QStringLiteral("corrupt compressed data after %1 bytes").arg(8 + produced);
        return false;
    }
}

ReadResult Fail(ReadError e, const QString& message, qint64 offset = -1)
{
    ReadResult r;
    r.error = e;
    r.message = message;
    r.offset = offset;
    return r;
}

}  // namespace

ReadResult ReadMovie(const QByteArray& bytes, const ReadOptions& options)
{
    if (bytes.size() < 8)
        return Fail(ReadError::NotSwf, QStringLiteral("%1 bytes are too short for a movie").arg(bytes.size()), 0);
    const QByteArray signature = bytes.left(3);
    if (signature == "ZWS")
        return Fail(ReadError::Unsupported, QStringLiteral("LZMA-compressed movies are not supported"), 0);
    if (signature != "FWS" && signature != "CWS")
        return Fail(ReadError::NotSwf, QStringLiteral("not an SWF movie"), 0);
    ByteReader head(bytes);
    head.Skip(3);
    const int version = head.U8();
    const qint64 declared = head.U32();
    if (declared > options.maxSize)
        return Fail(ReadError::TooLarge,
                    QStringLiteral("the movie declares %1 bytes, more than the %2 accepted").arg(declared).arg(options.maxSize),
                    4);
    if (declared < 8 + 1 + 4)
        return Fail(ReadError::NotSwf, QStringLiteral("the declared length %1 is too short for a movie").arg(declared), 4);

    QByteArray inflated;
    const char* body = nullptr;
    qsizetype bodySize = 0;
    if (signature == "CWS") {
        QString problem;
        ReadError error = ReadError::None;
        if (!Inflate(bytes.constData() + 8, bytes.size() - 8, inflated, declared - 8, error, problem))
            return Fail(error, problem, error == ReadError::Truncated ? 8 + inflated.size() : 8);
        body = inflated.constData();
        bodySize = inflated.size();
    } else {
        body = bytes.constData() + 8;
        bodySize = static_cast<qsizetype>(std::min<qint64>(bytes.size(), declared) - 8);
    }
    if (8 + bodySize < declared)
        return Fail(ReadError::Truncated,
                    QStringLiteral("the movie ends after %1 of its %2 bytes").arg(8 + bodySize).arg(declared),
                    8 + bodySize);

    ReadResult result;
    ByteReader r(body, bodySize, 8);
    result.movie.header.version = version;
    result.movie.header.compressed = signature == "CWS";
    result.movie.header.frameRect = r.ReadRect();
    result.movie.header.frameRate = r.U16();
    result.movie.header.frameCount = r.U16();
    if (!r.Ok())
        return Fail(ReadError::Truncated, QStringLiteral("the movie header is cut off"), r.ErrorOffset());
    TagDecoder decoder(version, options);
    if (!decoder.ReadTagList(r, result.movie.tags, 0)) {
        result.error = decoder.error;
        result.message = decoder.message;
        result.offset = decoder.offset;
        result.tagCode = decoder.tagCode;
        result.movie.tags.clear();
    }
    return result;
}

ReadResult ReadMovieFile(const QString& fileName, const ReadOptions& options)
{
    QFileInfo info(fileName);
    if (!info.exists())
        return Fail(ReadError::FileNotFound, QStringLiteral("%1 does not exist").arg(fileName));
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return Fail(ReadError::Unreadable, QStringLiteral("%1: %2").arg(fileName, file.errorString()));
    // A compressed movie can be no larger than its uncompressed content plus zlib's
    // small overhead, so the cap bounds what is read from the file as well.
    const qint64 limit = options.maxSize + options.maxSize / 100 + 1024;
    if (file.size() > limit)
        return Fail(ReadError::TooLarge, QStringLiteral("%1 is larger than any movie accepted").arg(fileName));
    const QByteArray bytes = file.readAll();
    if (bytes.size() != file.size())
        return Fail(ReadError::Unreadable, QStringLiteral("%1: %2").arg(fileName, file.errorString()));
    return ReadMovie(bytes, options);
}

ReadResult ReadTagBody(std::uint16_t code, const QByteArray& body, int version)
{
    ReadResult result;
    ReadOptions options;
    TagDecoder decoder(version, options);
    ByteReader r(body);
    Tag tag;
    if (!decoder.DecodeBody(code, r, tag, 0)) {
        result.error = decoder.error;
        result.message = decoder.message;
        result.offset = decoder.offset;
        result.tagCode = decoder.tagCode;
        return result;
    }
    result.movie.header.version = version;
    result.movie.tags.push_back(std::move(tag));
    return result;
}

std::vector<Tag> CopyTagsRenumbered(const std::vector<Tag>& tags, std::uint16_t firstId, std::uint16_t* nextId)
{
    std::vector<Tag> copy = tags;
    const std::uint16_t next = RenumberCharacters(copy, firstId);
    if (nextId)
        *nextId = next;
    return copy;
}

}  // namespace swf
