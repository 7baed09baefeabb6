#include "movie/SwfWriter.h"

#include "movie/SwfActions.h"
#include "movie/SwfGlyphs.h"
#include "movie/SwfStream.h"

#include <QSaveFile>

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <set>

namespace swf {

using detail::ByteWriter;
using detail::EncodeString;

namespace {

// ---------------------------------------------------------------------------------------
// Styles and shape records

void WriteGradient(ByteWriter& w, const Gradient& g, int shapeVersion)
{
    const size_t n = std::min<size_t>(g.records.size(), 15);
    w.U8(((g.spreadMode & 3u) << 6) | ((g.interpolationMode & 3u) << 4) | static_cast<std::uint32_t>(n));
    for (size_t i = 0; i < n; ++i) {
        w.U8(g.records[i].ratio);
        if (shapeVersion >= 3)
            w.RGBA(g.records[i].color);
        else
            w.RGB(g.records[i].color);
    }
}

void WriteFillStyle(ByteWriter& w, const FillStyle& f, int shapeVersion)
{
    w.U8(f.type);
    if (f.type == ftSolid) {
        if (shapeVersion >= 3)
            w.RGBA(f.color);
        else
            w.RGB(f.color);
    } else if (f.IsGradient()) {
        w.WriteMatrix(f.matrix);
        WriteGradient(w, f.gradient, shapeVersion);
        if (f.type == ftFocalGradient)
            w.U16(static_cast<std::uint16_t>(f.gradient.focalPoint));
    } else if (f.IsBitmap()) {
        w.U16(f.bitmapId);
        w.WriteMatrix(f.matrix);
    }
}

void WriteLineStyle(ByteWriter& w, const LineStyle& l, int shapeVersion)
{
    w.U16(l.width);
    if (shapeVersion < 4) {
        if (shapeVersion == 3)
            w.RGBA(l.color);
        else
            w.RGB(l.color);
        return;
    }
    w.U8(((l.startCap & 3u) << 6) | ((l.join & 3u) << 4) | (l.fill ? 0x08u : 0u) | (l.noHScale ? 0x04u : 0u) |
         (l.noVScale ? 0x02u : 0u) | (l.pixelHinting ? 0x01u : 0u));
    w.U8((l.noClose ? 0x04u : 0u) | (l.endCap & 3u));
    if (l.join == 2)
        w.U16(l.miterLimit);
    if (l.fill)
        WriteFillStyle(w, *l.fill, shapeVersion);
    else
        w.RGBA(l.color);
}

void WriteStyleArrays(ByteWriter& w, const std::vector<FillStyle>& fills, const std::vector<LineStyle>& lines,
                      int shapeVersion)
{
    auto count = [&](size_t n) {
        if (n < 0xFF || shapeVersion < 2) {
            w.U8(static_cast<std::uint32_t>(std::min<size_t>(n, 0xFF)));
        } else {
            w.U8(0xFF);
            w.U16(static_cast<std::uint32_t>(std::min<size_t>(n, 0xFFFF)));
        }
    };
    count(fills.size());
    for (const FillStyle& f : fills)
        WriteFillStyle(w, f, shapeVersion);
    count(lines.size());
    for (const LineStyle& l : lines)
        WriteLineStyle(w, l, shapeVersion);
}

constexpr int kMaxEdgeBits = 17;  // the edge bit count field holds 0..15, plus 2

bool EdgeFits(std::int32_t a, std::int32_t b, std::int32_t c = 0, std::int32_t d = 0)
{
    return std::max({ByteWriter::BitsSigned(a), ByteWriter::BitsSigned(b), ByteWriter::BitsSigned(c),
                     ByteWriter::BitsSigned(d)}) <= kMaxEdgeBits;
}

void WriteStraight(ByteWriter& w, std::int32_t dx, std::int32_t dy)
{
    if (!EdgeFits(dx, dy)) {
        // Too long for one record: two halves meet the same end point.
        const std::int32_t hx = dx / 2, hy = dy / 2;
        WriteStraight(w, hx, hy);
        WriteStraight(w, dx - hx, dy - hy);
        return;
    }
    const int bits = std::max({2, ByteWriter::BitsSigned(dx), ByteWriter::BitsSigned(dy)});
    w.UB(1, 1);  // edge
    w.UB(1, 1);  // straight
    w.UB(4, static_cast<std::uint32_t>(bits - 2));
    if (dx != 0 && dy != 0) {
        w.UB(1, 1);  // general line
        w.SB(bits, dx);
        w.SB(bits, dy);
    } else if (dx == 0) {
        w.UB(1, 0);
        w.UB(1, 1);  // vertical
        w.SB(bits, dy);
    } else {
        w.UB(1, 0);
        w.UB(1, 0);  // horizontal
        w.SB(bits, dx);
    }
}

void WriteCurve(ByteWriter& w, std::int32_t cdx, std::int32_t cdy, std::int32_t adx, std::int32_t ady, int depth = 0)
{
    if (!EdgeFits(cdx, cdy, adx, ady) && depth < 16) {
        // Split at t = 1/2: the halves share the midpoint and keep the end point exact.
        const double p1x = cdx, p1y = cdy, p2x = cdx + static_cast<double>(adx), p2y = cdy + static_cast<double>(ady);
        const std::int32_t q1x = static_cast<std::int32_t>(std::lround(p1x / 2)),
                           q1y = static_cast<std::int32_t>(std::lround(p1y / 2));
        const std::int32_t mx = static_cast<std::int32_t>(std::lround((2 * p1x + p2x) / 4)),
                           my = static_cast<std::int32_t>(std::lround((2 * p1y + p2y) / 4));
        const std::int32_t r1x = static_cast<std::int32_t>(std::lround((p1x + p2x) / 2)),
                           r1y = static_cast<std::int32_t>(std::lround((p1y + p2y) / 2));
        const std::int32_t ex = cdx + adx, ey = cdy + ady;
        WriteCurve(w, q1x, q1y, mx - q1x, my - q1y, depth + 1);
        WriteCurve(w, r1x - mx, r1y - my, ex - r1x, ey - r1y, depth + 1);
        return;
    }
    const int bits = std::max({2, ByteWriter::BitsSigned(cdx), ByteWriter::BitsSigned(cdy),
                               ByteWriter::BitsSigned(adx), ByteWriter::BitsSigned(ady)});
    w.UB(1, 1);  // edge
    w.UB(1, 0);  // curved
    w.UB(4, static_cast<std::uint32_t>(std::min(bits, kMaxEdgeBits) - 2));
    w.SB(bits, cdx);
    w.SB(bits, cdy);
    w.SB(bits, adx);
    w.SB(bits, ady);
}

struct StyleBits {
    int fill = 0;
    int line = 0;
};

// The bit widths in force for each record: the widths of the arrays in force, widened
// to hold every index written with them (a record with new styles writes its own
// indices with the widths of the arrays it replaces).
std::vector<StyleBits> ComputeStyleBits(const std::vector<ShapeRecord>& records, size_t fillCount, size_t lineCount,
                                        StyleBits* initial)
{
    std::vector<StyleBits> perRecord(records.size());
    StyleBits cur{ByteWriter::BitsUnsigned(static_cast<std::uint32_t>(fillCount)),
                  ByteWriter::BitsUnsigned(static_cast<std::uint32_t>(lineCount))};
    size_t segStart = 0;
    auto closeSegment = [&](size_t endInclusive) {
        for (size_t j = segStart; j <= endInclusive && j < records.size(); ++j) {
            const ShapeRecord& r = records[j];
            if (r.kind != ShapeRecordKind::StyleChange)
                continue;
            if (r.hasFill0)
                cur.fill = std::max(cur.fill, ByteWriter::BitsUnsigned(r.fill0));
            if (r.hasFill1)
                cur.fill = std::max(cur.fill, ByteWriter::BitsUnsigned(r.fill1));
            if (r.hasLine)
                cur.line = std::max(cur.line, ByteWriter::BitsUnsigned(r.line));
        }
        for (size_t j = segStart; j <= endInclusive && j < records.size(); ++j)
            perRecord[j] = cur;
    };
    bool first = true;
    for (size_t i = 0; i < records.size(); ++i) {
        if (records[i].kind == ShapeRecordKind::StyleChange && records[i].hasNewStyles) {
            closeSegment(i);
            if (first && initial)
                *initial = cur;
            first = false;
            segStart = i + 1;
            cur = {ByteWriter::BitsUnsigned(static_cast<std::uint32_t>(records[i].newFillStyles.size())),
                   ByteWriter::BitsUnsigned(static_cast<std::uint32_t>(records[i].newLineStyles.size()))};
        }
    }
    closeSegment(records.size() - (records.empty() ? 0 : 1));
    if (first && initial)
        *initial = cur;
    return perRecord;
}

std::vector<StyleBits> NewStyleBits(const std::vector<ShapeRecord>& records, const std::vector<StyleBits>& perRecord)
{
    // The widths announced after each record with new styles: those of the next record.
    std::vector<StyleBits> out(records.size());
    for (size_t i = 0; i < records.size(); ++i) {
        if (!(records[i].kind == ShapeRecordKind::StyleChange && records[i].hasNewStyles))
            continue;
        if (i + 1 < records.size()) {
            out[i] = perRecord[i + 1];
        } else {
            out[i] = {ByteWriter::BitsUnsigned(static_cast<std::uint32_t>(records[i].newFillStyles.size())),
                      ByteWriter::BitsUnsigned(static_cast<std::uint32_t>(records[i].newLineStyles.size()))};
        }
    }
    return out;
}

// Writes records and the end record, bit-packed; widths as computed above.
void WriteShapeRecords(ByteWriter& w, const std::vector<ShapeRecord>& records, const std::vector<StyleBits>& bits,
                       int shapeVersion)
{
    const std::vector<StyleBits> announced = NewStyleBits(records, bits);
    for (size_t i = 0; i < records.size(); ++i) {
        const ShapeRecord& r = records[i];
        switch (r.kind) {
        case ShapeRecordKind::StraightEdge:
            WriteStraight(w, r.dx, r.dy);
            break;
        case ShapeRecordKind::CurvedEdge:
            WriteCurve(w, r.dx, r.dy, r.anchorDx, r.anchorDy);
            break;
        case ShapeRecordKind::StyleChange: {
            // A style change without any flag would read as the end of the shape.
            if (!r.hasNewStyles && !r.hasLine && !r.hasFill1 && !r.hasFill0 && !r.hasMove)
                break;
            w.UB(1, 0);
            w.UB(1, r.hasNewStyles ? 1 : 0);
            w.UB(1, r.hasLine ? 1 : 0);
            w.UB(1, r.hasFill1 ? 1 : 0);
            w.UB(1, r.hasFill0 ? 1 : 0);
            w.UB(1, r.hasMove ? 1 : 0);
            if (r.hasMove) {
                const int mb = std::max(ByteWriter::BitsSigned(r.moveX), ByteWriter::BitsSigned(r.moveY));
                w.UB(5, static_cast<std::uint32_t>(std::min(mb, 31)));
                w.SB(mb, r.moveX);
                w.SB(mb, r.moveY);
            }
            if (r.hasFill0)
                w.UB(bits[i].fill, r.fill0);
            if (r.hasFill1)
                w.UB(bits[i].fill, r.fill1);
            if (r.hasLine)
                w.UB(bits[i].line, r.line);
            if (r.hasNewStyles) {
                w.Align();
                WriteStyleArrays(w, r.newFillStyles, r.newLineStyles, shapeVersion);
                w.UB(4, static_cast<std::uint32_t>(std::min(announced[i].fill, 15)));
                w.UB(4, static_cast<std::uint32_t>(std::min(announced[i].line, 15)));
            }
            break;
        }
        }
    }
    w.UB(6, 0);  // end record
    w.Align();
}

void WriteGlyph(ByteWriter& w, const Glyph& g)
{
    StyleBits initial;
    const std::vector<StyleBits> bits = ComputeStyleBits(g.records, 0, 0, &initial);
    w.U8((static_cast<std::uint32_t>(std::min(initial.fill, 15)) << 4) |
         static_cast<std::uint32_t>(std::min(initial.line, 15)));
    WriteShapeRecords(w, g.records, bits, 1);
}

// ---------------------------------------------------------------------------------------
// Placement parts

void WriteFilter(ByteWriter& w, const Filter& f)
{
    w.U8(f.type);
    if (f.type != fiDropShadow) {
        w.Bytes(f.raw);
        return;
    }
    w.RGBA(f.color);
    w.U32(static_cast<std::uint32_t>(f.blurX));
    w.U32(static_cast<std::uint32_t>(f.blurY));
    w.U32(static_cast<std::uint32_t>(f.angle));
    w.U32(static_cast<std::uint32_t>(f.distance));
    w.U16(static_cast<std::uint16_t>(f.strength));
    w.U8((f.innerShadow ? 0x80u : 0u) | (f.knockout ? 0x40u : 0u) | (f.compositeSource ? 0x20u : 0u) |
         (f.passes & 0x1Fu));
}

void WriteFilters(ByteWriter& w, const std::vector<Filter>& filters)
{
    const size_t n = std::min<size_t>(filters.size(), 255);
    w.U8(static_cast<std::uint32_t>(n));
    for (size_t i = 0; i < n; ++i)
        WriteFilter(w, filters[i]);
}

void WriteEventFlags(ByteWriter& w, std::uint32_t events, int version)
{
    if (version >= 6)
        w.U32(events);
    else
        w.U16(events & 0xFFFF);
}

void WriteClipActions(ByteWriter& w, const std::vector<ClipActionRecord>& actions, int version)
{
    w.U16(0);
    std::uint32_t all = 0;
    for (const ClipActionRecord& r : actions)
        all |= r.events;
    WriteEventFlags(w, all, version);
    for (const ClipActionRecord& r : actions) {
        if (r.events == 0)
            continue;
        WriteEventFlags(w, r.events, version);
        const bool key = (r.events & ceKeyPress) != 0;
        w.U32(static_cast<std::uint32_t>(r.actions.size() + (key ? 1 : 0)));
        if (key)
            w.U8(r.keyCode);
        w.Bytes(r.actions);
    }
    WriteEventFlags(w, 0, version);
}

void WritePlaceObject(ByteWriter& w, const PlaceObject& p, int version)
{
    if (p.placeVersion == 1) {
        w.U16(p.characterId.value_or(0));
        w.U16(p.depth);
        w.WriteMatrix(p.matrix.value_or(Matrix{}));
        if (p.colorTransform)
            w.WriteCxform(*p.colorTransform, false);
        return;
    }
    const bool hasActions = !p.clipActions.empty();
    w.U8((hasActions ? 0x80u : 0u) | (p.clipDepth ? 0x40u : 0u) | (p.name ? 0x20u : 0u) | (p.ratio ? 0x10u : 0u) |
         (p.colorTransform ? 0x08u : 0u) | (p.matrix ? 0x04u : 0u) | (p.characterId ? 0x02u : 0u) |
         (p.move ? 0x01u : 0u));
    if (p.placeVersion == 3) {
        w.U8((p.backgroundColor ? 0x40u : 0u) | (p.visible ? 0x20u : 0u) | (p.hasImage ? 0x10u : 0u) |
             (p.className ? 0x08u : 0u) | (p.bitmapCache ? 0x04u : 0u) | (p.blendMode ? 0x02u : 0u) |
             (p.filters ? 0x01u : 0u));
    }
    w.U16(p.depth);
    if (p.placeVersion == 3 && p.className)
        w.CString(EncodeString(*p.className, version));
    if (p.characterId)
        w.U16(*p.characterId);
    if (p.matrix)
        w.WriteMatrix(*p.matrix);
    if (p.colorTransform)
        w.WriteCxform(*p.colorTransform, true);
    if (p.ratio)
        w.U16(*p.ratio);
    if (p.name)
        w.CString(EncodeString(*p.name, version));
    if (p.clipDepth)
        w.U16(*p.clipDepth);
    if (p.placeVersion == 3) {
        if (p.filters)
            WriteFilters(w, *p.filters);
        if (p.blendMode)
            w.U8(*p.blendMode);
        if (p.bitmapCache)
            w.U8(*p.bitmapCache);
        if (p.visible)
            w.U8(*p.visible);
        if (p.backgroundColor)
            w.RGBA(*p.backgroundColor);
    }
    if (hasActions)
        WriteClipActions(w, p.clipActions, version);
}

// ---------------------------------------------------------------------------------------
// Definitions

void WriteShape(ByteWriter& w, const ShapeDef& s)
{
    w.U16(s.id);
    w.WriteRect(s.bounds);
    if (s.shapeVersion >= 4) {
        w.WriteRect(s.edgeBounds);
        w.U8((s.usesFillWindingRule ? 0x04u : 0u) | (s.usesNonScalingStrokes ? 0x02u : 0u) |
             (s.usesScalingStrokes ? 0x01u : 0u));
    }
    WriteStyleArrays(w, s.fillStyles, s.lineStyles, s.shapeVersion);
    StyleBits initial;
    const std::vector<StyleBits> bits = ComputeStyleBits(s.records, s.fillStyles.size(), s.lineStyles.size(), &initial);
    w.U8((static_cast<std::uint32_t>(std::min(initial.fill, 15)) << 4) |
         static_cast<std::uint32_t>(std::min(initial.line, 15)));
    WriteShapeRecords(w, s.records, bits, s.shapeVersion);
}

void WriteEditText(ByteWriter& w, const EditTextDef& t, int version)
{
    w.U16(t.id);
    w.WriteRect(t.bounds);
    w.U8((t.initialText ? 0x80u : 0u) | (t.wordWrap ? 0x40u : 0u) | (t.multiline ? 0x20u : 0u) |
         (t.password ? 0x10u : 0u) | (t.readOnly ? 0x08u : 0u) | (t.color ? 0x04u : 0u) |
         (t.maxLength ? 0x02u : 0u) | (t.fontId ? 0x01u : 0u));
    w.U8((t.fontClass ? 0x80u : 0u) | (t.autoSize ? 0x40u : 0u) | (t.hasLayout ? 0x20u : 0u) |
         (t.noSelect ? 0x10u : 0u) | (t.border ? 0x08u : 0u) | (t.wasStatic ? 0x04u : 0u) | (t.html ? 0x02u : 0u) |
         (t.useOutlines ? 0x01u : 0u));
    if (t.fontId)
        w.U16(*t.fontId);
    if (t.fontClass)
        w.CString(EncodeString(*t.fontClass, version));
    if (t.fontId || t.fontClass)
        w.U16(t.fontHeight);
    if (t.color)
        w.RGBA(*t.color);
    if (t.maxLength)
        w.U16(*t.maxLength);
    if (t.hasLayout) {
        w.U8(t.align);
        w.U16(t.leftMargin);
        w.U16(t.rightMargin);
        w.U16(t.indent);
        w.U16(static_cast<std::uint16_t>(t.leading));
    }
    w.CString(EncodeString(t.variableName, version));
    if (t.initialText)
        w.CString(EncodeString(*t.initialText, version));
}

void WriteText(ByteWriter& w, const TextDef& t)
{
    w.U16(t.id);
    w.WriteRect(t.bounds);
    w.WriteMatrix(t.matrix);
    int glyphBits = 0, advanceBits = 0;
    for (const TextRecord& r : t.records)
        for (const GlyphEntry& g : r.glyphs) {
            glyphBits = std::max(glyphBits, ByteWriter::BitsUnsigned(g.index));
            advanceBits = std::max(advanceBits, ByteWriter::BitsSigned(g.advance));
        }
    w.U8(static_cast<std::uint32_t>(glyphBits));
    w.U8(static_cast<std::uint32_t>(advanceBits));
    for (const TextRecord& r : t.records) {
        // A record holds at most 255 glyphs; the rest continue in records of their own,
        // which keep the pen where the previous glyphs left it.
        size_t start = 0;
        bool firstPart = true;
        do {
            const size_t n = std::min<size_t>(r.glyphs.size() - start, 255);
            const bool font = firstPart && r.fontId, color = firstPart && r.color;
            const bool x = firstPart && r.xOffset, y = firstPart && r.yOffset;
            w.U8(0x80u | (font ? 0x08u : 0u) | (color ? 0x04u : 0u) | (y ? 0x02u : 0u) | (x ? 0x01u : 0u));
            if (font)
                w.U16(*r.fontId);
            if (color) {
                if (t.textVersion >= 2)
                    w.RGBA(*r.color);
                else
                    w.RGB(*r.color);
            }
            if (x)
                w.U16(static_cast<std::uint16_t>(*r.xOffset));
            if (y)
                w.U16(static_cast<std::uint16_t>(*r.yOffset));
            if (font)
                w.U16(r.textHeight);
            w.U8(static_cast<std::uint32_t>(n));
            for (size_t i = start; i < start + n; ++i) {
                w.UB(glyphBits, r.glyphs[i].index);
                w.SB(advanceBits, r.glyphs[i].advance);
            }
            w.Align();
            start += n;
            firstPart = false;
        } while (start < r.glyphs.size());
    }
    w.U8(0);
}

void WriteFont(ByteWriter& w, const FontDef& f, int version)
{
    w.U16(f.id);
    std::vector<QByteArray> shapes;
    shapes.reserve(f.glyphs.size());
    for (const Glyph& g : f.glyphs) {
        ByteWriter gw;
        WriteGlyph(gw, g);
        shapes.push_back(gw.Data());
    }
    if (f.fontVersion == 1) {
        std::uint32_t offset = static_cast<std::uint32_t>(2 * shapes.size());
        for (const QByteArray& s : shapes) {
            w.U16(offset);
            offset += static_cast<std::uint32_t>(s.size());
        }
        for (const QByteArray& s : shapes)
            w.Bytes(s);
        return;
    }
    size_t shapeBytes = 0;
    for (const QByteArray& s : shapes)
        shapeBytes += static_cast<size_t>(s.size());
    const size_t n = f.glyphs.size();
    const bool wideOffsets = 2 * (n + 1) + shapeBytes > 0xFFFF;
    const bool wideCodes = f.wideCodes || version >= 6;
    w.U8((f.hasLayout ? 0x80u : 0u) | (f.shiftJIS ? 0x40u : 0u) | (f.smallText ? 0x20u : 0u) | (f.ansi ? 0x10u : 0u) |
         (wideOffsets ? 0x08u : 0u) | (wideCodes ? 0x04u : 0u) | (f.italic ? 0x02u : 0u) | (f.bold ? 0x01u : 0u));
    w.U8(f.languageCode);
    QByteArray name = EncodeString(f.name, version);
    name.truncate(255);
    w.U8(static_cast<std::uint32_t>(name.size()));
    w.Bytes(name);
    w.U16(static_cast<std::uint32_t>(n));
    const std::uint32_t entry = wideOffsets ? 4 : 2;
    std::uint32_t offset = static_cast<std::uint32_t>(entry * (n + 1));
    auto writeOffset = [&](std::uint32_t v) {
        if (wideOffsets)
            w.U32(v);
        else
            w.U16(v);
    };
    for (const QByteArray& s : shapes) {
        writeOffset(offset);
        offset += static_cast<std::uint32_t>(s.size());
    }
    // Written even without glyphs: players accept it there, and expect it otherwise.
    writeOffset(offset);
    for (const QByteArray& s : shapes)
        w.Bytes(s);
    for (size_t i = 0; i < n; ++i) {
        const std::uint16_t code = i < f.codes.size() ? f.codes[i] : 0;
        if (wideCodes)
            w.U16(code);
        else
            w.U8(code & 0xFF);
    }
    if (f.hasLayout) {
        w.U16(static_cast<std::uint16_t>(f.ascent));
        w.U16(static_cast<std::uint16_t>(f.descent));
        w.U16(static_cast<std::uint16_t>(f.leading));
        for (size_t i = 0; i < n; ++i)
            w.U16(static_cast<std::uint16_t>(i < f.advances.size() ? f.advances[i] : 0));
        for (size_t i = 0; i < n; ++i)
            w.WriteRect(i < f.glyphBounds.size() ? f.glyphBounds[i] : Rect{});
        w.U16(static_cast<std::uint32_t>(std::min<size_t>(f.kerning.size(), 0xFFFF)));
        for (const KerningRecord& k : f.kerning) {
            if (wideCodes) {
                w.U16(k.code1);
                w.U16(k.code2);
            } else {
                w.U8(k.code1 & 0xFF);
                w.U8(k.code2 & 0xFF);
            }
            w.U16(static_cast<std::uint16_t>(k.adjustment));
        }
    }
}

void WriteButton(ByteWriter& w, const ButtonDef& b, int version)
{
    w.U16(b.id);
    const bool v2 = b.buttonVersion >= 2;
    ByteWriter records;
    for (const ButtonRecord& r : b.records) {
        const bool filters = v2 && r.filters.has_value();
        const bool blend = v2 && r.blendMode.has_value();
        std::uint8_t states = r.states & 0x0F;
        if (states == 0)
            continue;  // a record without states would end the list
        records.U8(static_cast<std::uint32_t>(states) | (blend ? 0x20u : 0u) | (filters ? 0x10u : 0u));
        records.U16(r.characterId);
        records.U16(r.depth);
        records.WriteMatrix(r.matrix);
        if (v2)
            records.WriteCxform(r.colorTransform, true);
        if (filters)
            WriteFilters(records, *r.filters);
        if (blend)
            records.U8(*r.blendMode);
    }
    records.U8(0);
    if (!v2) {
        w.Bytes(records.Data());
        w.Bytes(b.actions.empty() ? QByteArray(1, '\0') : b.actions.front().actions);
        return;
    }
    w.U8(b.trackAsMenu ? 1 : 0);
    // The offset counts from this field to the first action, 0 when there is none.
    w.U16(b.actions.empty() ? 0 : static_cast<std::uint32_t>(2 + records.Size()));
    w.Bytes(records.Data());
    for (size_t i = 0; i < b.actions.size(); ++i) {
        const ButtonAction& a = b.actions[i];
        const bool last = i + 1 == b.actions.size();
        w.U16(last ? 0 : static_cast<std::uint32_t>(4 + a.actions.size()));
        w.U16(a.conditions);
        w.Bytes(a.actions);
    }
    (void)version;
}

QByteArray EncodeBody(const Tag& tag, int version)
{
    ByteWriter w;
    std::visit(
        [&](const auto& b) {
            using T = std::decay_t<decltype(b)>;
            if constexpr (std::is_same_v<T, RawTag>) {
                w.Bytes(b.data);
            } else if constexpr (std::is_same_v<T, End> || std::is_same_v<T, ShowFrame>) {
            } else if constexpr (std::is_same_v<T, SetBackgroundColor>) {
                w.RGB(b.color);
            } else if constexpr (std::is_same_v<T, FileAttributes>) {
                w.U32(b.flags);
            } else if constexpr (std::is_same_v<T, FrameLabel>) {
                w.CString(EncodeString(b.name, version));
                if (b.namedAnchor && version >= 6)
                    w.U8(1);
            } else if constexpr (std::is_same_v<T, DoAction>) {
                w.Bytes(b.actions);
            } else if constexpr (std::is_same_v<T, DoInitAction>) {
                w.U16(b.spriteId);
                w.Bytes(b.actions);
            } else if constexpr (std::is_same_v<T, PlaceObject>) {
                WritePlaceObject(w, b, version);
            } else if constexpr (std::is_same_v<T, RemoveObject>) {
                if (b.removeVersion == 1)
                    w.U16(b.characterId);
                w.U16(b.depth);
            } else if constexpr (std::is_same_v<T, ShapeDef>) {
                WriteShape(w, b);
            } else if constexpr (std::is_same_v<T, SpriteDef>) {
                w.U16(b.id);
                w.U16(b.frameCount);
                for (const Tag& t : b.tags)
                    w.Bytes(EncodeTag(t, version));
            } else if constexpr (std::is_same_v<T, EditTextDef>) {
                WriteEditText(w, b, version);
            } else if constexpr (std::is_same_v<T, TextDef>) {
                WriteText(w, b);
            } else if constexpr (std::is_same_v<T, FontDef>) {
                WriteFont(w, b, version);
            } else if constexpr (std::is_same_v<T, ButtonDef>) {
                WriteButton(w, b, version);
            }
        },
        tag.body);
    return w.Data();
}

}  // namespace

QByteArray EncodeTag(const Tag& tag, int version)
{
    const QByteArray body = EncodeBody(tag, version);
    ByteWriter w;
    const std::uint16_t code = tag.WriteCode();
    if (body.size() < 0x3F) {
        w.U16((static_cast<std::uint32_t>(code) << 6) | static_cast<std::uint32_t>(body.size()));
    } else {
        w.U16((static_cast<std::uint32_t>(code) << 6) | 0x3F);
        w.U32(static_cast<std::uint32_t>(body.size()));
    }
    w.Bytes(body);
    return w.Data();
}

QByteArray WriteMovie(const Movie& movie)
{
    const int version = std::clamp(movie.header.version, 1, 255);
    ByteWriter body;
    body.WriteRect(movie.header.frameRect);
    body.U16(movie.header.frameRate);
    body.U16(movie.header.frameCount);
    for (const Tag& t : movie.tags)
        body.Bytes(EncodeTag(t, version));
    const QByteArray& data = body.Data();

    const bool compress = movie.header.compressed && version >= 6;
    ByteWriter out;
    out.Bytes(compress ? QByteArrayLiteral("CWS") : QByteArrayLiteral("FWS"));
    out.U8(static_cast<std::uint32_t>(version));
    out.U32(static_cast<std::uint32_t>(8 + data.size()));  // the uncompressed file length
    if (!compress) {
        out.Bytes(data);
        return out.Data();
    }
    uLongf packedSize = compressBound(static_cast<uLong>(data.size()));
    QByteArray packed(static_cast<qsizetype>(packedSize), Qt::Uninitialized);
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
                  reinterpret_cast<const Bytef*>(data.constData()), static_cast<uLong>(data.size()),
                  Z_BEST_COMPRESSION) != Z_OK)
        return {};
    packed.truncate(static_cast<qsizetype>(packedSize));
    out.Bytes(packed);
    return out.Data();
}

bool WriteMovie(const Movie& movie, QIODevice* device)
{
    const QByteArray bytes = WriteMovie(movie);
    return !bytes.isEmpty() && device && device->write(bytes) == bytes.size();
}

bool SaveMovie(const Movie& movie, const QString& fileName, QString* errorText)
{
    const QByteArray bytes = WriteMovie(movie);
    QSaveFile file(fileName);
    if (bytes.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (errorText)
            *errorText = bytes.isEmpty() ? QStringLiteral("the movie could not be compressed") : file.errorString();
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------------------
// Builder

void Path::MoveTo(QPointF p)
{
    FItems.push_back({Item::Move, {}, p});
    FStart = FCurrent = p;
}

void Path::LineTo(QPointF p)
{
    if (FItems.empty())
        MoveTo(FCurrent);
    FItems.push_back({Item::Line, {}, p});
    FCurrent = p;
}

void Path::CurveTo(QPointF c, QPointF p)
{
    if (FItems.empty())
        MoveTo(FCurrent);
    FItems.push_back({Item::Curve, c, p});
    FCurrent = p;
}

void Path::Close()
{
    if (!FItems.empty() && FCurrent != FStart)
        LineTo(FStart);
}

Path Path::Rectangle(const QRectF& r)
{
    Path p;
    p.MoveTo(r.topLeft());
    p.LineTo(r.topRight());
    p.LineTo(r.bottomRight());
    p.LineTo(r.bottomLeft());
    p.Close();
    return p;
}

Path Path::Circle(QPointF c, double radius)
{
    Path p;
    const double controlRadius = radius / std::cos(std::numbers::pi / 8);
    p.MoveTo({c.x() + radius, c.y()});
    for (int i = 1; i <= 8; ++i) {
        const double a = i * std::numbers::pi / 4;
        const double m = a - std::numbers::pi / 8;
        p.CurveTo({c.x() + controlRadius * std::cos(m), c.y() + controlRadius * std::sin(m)},
                  {c.x() + radius * std::cos(a), c.y() + radius * std::sin(a)});
    }
    return p;
}

Path Path::Polygon(const std::vector<QPointF>& points)
{
    Path p;
    if (points.empty())
        return p;
    p.MoveTo(points.front());
    for (size_t i = 1; i < points.size(); ++i)
        p.LineTo(points[i]);
    p.Close();
    return p;
}

void ShapeBuilder::Add(const Path& path, const ShapeStyle& style)
{
    if (!path.IsEmpty())
        FParts.emplace_back(path, style);
}

QSizeF EstimateTextSize(const QString& text, const TextStyle& style)
{
    // Average advance of a sans-serif face: about 0.55 em, 0.6 em in bold; a line is
    // about 1.15 em tall.
    const double em = style.size;
    double width = 0.0;
    for (QChar ch : text) {
        const char16_t u = ch.unicode();
        double f = style.bold ? 0.6 : 0.55;
        if (u == ' ' || u == 'i' || u == 'l' || u == 'j' || u == '.' || u == ',' || u == '\'' || u == '|')
            f = 0.28;
        else if (u == 'm' || u == 'w' || u == 'M' || u == 'W')
            f = 0.85;
        else if (u >= 0x2E80)  // CJK and other wide scripts
            f = 1.0;
        width += f * em;
    }
    return {width, 1.15 * em};
}

Matrix Placement::ToMatrix() const
{
    if (matrix)
        return *matrix;
    return Matrix::Make(Round(x * kTwipsPerPixel), Round(y * kTwipsPerPixel), scaleX, scaleY, rotation);
}

ClipActionRecord FSCommandClipAction(std::uint32_t events, const QString& command, const QString& argument,
                                     int swfVersion)
{
    ClipActionRecord r;
    r.events = events;
    r.actions = FSCommandActions(command, argument, swfVersion);
    return r;
}

std::uint16_t Timeline::Place(std::uint16_t characterId, const Placement& placement)
{
    PlaceObject p;
    p.placeVersion = 2;
    p.depth = FNextDepth++;
    p.characterId = characterId;
    p.matrix = placement.ToMatrix();
    if (placement.colorTransform)
        p.colorTransform = *placement.colorTransform;
    if (!placement.name.isEmpty())
        p.name = placement.name;
    p.clipActions = placement.clipActions;
    if (!placement.filters.empty() && FVersion >= 8) {
        p.placeVersion = 3;
        p.filters = placement.filters;
    }
    FTags.push_back(Tag::Make(p));
    FFrameOpen = true;
    return p.depth;
}

void Timeline::Remove(std::uint16_t depth)
{
    RemoveObject r;
    r.removeVersion = 2;
    r.depth = depth;
    FTags.push_back(Tag::Make(r));
    FFrameOpen = true;
}

void Timeline::AddActions(const QByteArray& actions)
{
    FTags.push_back(Tag::Make(DoAction{actions}));
    FFrameOpen = true;
}

void Timeline::AddLabel(const QString& label)
{
    FTags.push_back(Tag::Make(FrameLabel{label, false}));
    FFrameOpen = true;
}

void Timeline::ShowFrame()
{
    FTags.push_back(Tag::Make(swf::ShowFrame{}));
    ++FFrames;
    FFrameOpen = false;
}

MovieBuilder::MovieBuilder() : Timeline(5) { CreateMovie(550, 400, 12.0, 5); }

void MovieBuilder::CreateMovie(double width, double height, double frameRate, int version)
{
    FVersion = std::clamp(version, 1, 255);
    FMovie = Movie{};
    FMovie.header.version = FVersion;
    FMovie.header.compressed = false;
    FMovie.header.frameRect = {0, Round(width * kTwipsPerPixel), 0, Round(height * kTwipsPerPixel)};
    FMovie.header.frameRate = static_cast<std::uint16_t>(std::clamp(Round(frameRate * 256.0), 0, 0xFFFF));
    FMovie.header.frameCount = 0;
    // Version 8 players expect the file attributes first (none of them set).
    if (FVersion >= 8)
        FMovie.tags.push_back(Tag::Make(FileAttributes{0}));
    FTags.clear();
    FNextDepth = 1;
    FFrames = 0;
    FFrameOpen = false;
    FNextId = 1;
    FFinished = false;
    FFonts.clear();
    FOutlineTexts.clear();
}

void MovieBuilder::SetBackgroundColor(Rgba color)
{
    color.a = 255;
    for (Tag& t : FMovie.tags)
        if (auto* bg = t.As<swf::SetBackgroundColor>()) {
            bg->color = color;
            return;
        }
    FMovie.tags.push_back(Tag::Make(swf::SetBackgroundColor{color}));
}

std::uint16_t MovieBuilder::Define(TagBody body)
{
    const std::uint16_t id = FNextId++;
    std::visit(
        [&](auto& b) {
            if constexpr (requires { b.id; })
                b.id = id;
        },
        body);
    FTags.push_back(Tag::Make(std::move(body)));
    return id;
}

namespace {

std::int32_t Twips(double pixels) { return Round(pixels * kTwipsPerPixel); }

void Extend(Rect& r, bool& empty, std::int32_t x, std::int32_t y)
{
    if (empty) {
        r = {x, x, y, y};
        empty = false;
        return;
    }
    r.xMin = std::min(r.xMin, x);
    r.xMax = std::max(r.xMax, x);
    r.yMin = std::min(r.yMin, y);
    r.yMax = std::max(r.yMax, y);
}

}  // namespace

namespace {

enum class FillSide {
    PerSubpath,        // each outline fills its own inside: shapes drawn part by part
    ByLargestSubpath,  // every outline fills on the side the largest one fills: glyphs,
                       // whose holes run the other way round
};

// Twice the signed area of an outline, its control points taken as corners; positive
// when the outline runs clockwise on screen (y down), which puts its inside on the
// right-hand side of its edges: fill style 1. Anticlockwise outlines fill with style 0.
double SignedArea2(const std::vector<std::pair<std::int32_t, std::int32_t>>& pts)
{
    double a = 0.0;
    for (size_t i = 0; i < pts.size(); ++i) {
        const auto& p = pts[i];
        const auto& q = pts[(i + 1) % pts.size()];
        a += static_cast<double>(p.first) * q.second - static_cast<double>(q.first) * p.second;
    }
    return a;
}

// Appends the records of a path, its coordinates multiplied by scale and rounded to
// whole units, with the given fill and line style indices (0 for none).
void AppendPathRecords(std::vector<ShapeRecord>& out, const Path& path, double scale, std::uint32_t fill,
                       std::uint32_t line, FillSide side, Rect& edges, bool& empty)
{
    struct Sub {
        std::vector<ShapeRecord> records;
        std::vector<std::pair<std::int32_t, std::int32_t>> corners;
    };
    std::vector<Sub> subs;
    std::int32_t penX = 0, penY = 0;
    auto unit = [&](double v) { return Round(v * scale); };
    for (const Path::Item& item : path.Items()) {
        const std::int32_t x = unit(item.point.x()), y = unit(item.point.y());
        if (item.kind == Path::Item::Move || subs.empty()) {
            subs.emplace_back();
            subs.back().records.push_back(ShapeRecord::MoveTo(x, y));
        } else if (item.kind == Path::Item::Line) {
            subs.back().records.push_back(ShapeRecord::Line(x - penX, y - penY));
        } else {
            const std::int32_t cx = unit(item.control.x()), cy = unit(item.control.y());
            subs.back().records.push_back(ShapeRecord::Curve(cx - penX, cy - penY, x - cx, y - cy));
            subs.back().corners.emplace_back(cx, cy);
            Extend(edges, empty, cx, cy);
        }
        subs.back().corners.emplace_back(x, y);
        Extend(edges, empty, x, y);
        penX = x;
        penY = y;
    }
    bool rightSide = true;
    if (side == FillSide::ByLargestSubpath) {
        double largest = 0.0;
        for (const Sub& sub : subs) {
            const double a = SignedArea2(sub.corners);
            if (std::abs(a) > std::abs(largest))
                largest = a;
        }
        rightSide = largest >= 0.0;
    }
    for (size_t i = 0; i < subs.size(); ++i) {
        ShapeRecord& move = subs[i].records.front();
        if (side == FillSide::PerSubpath)
            rightSide = SignedArea2(subs[i].corners) >= 0.0;
        if (side == FillSide::PerSubpath || i == 0) {
            move.hasFill0 = move.hasFill1 = true;
            move.fill0 = rightSide ? 0 : fill;
            move.fill1 = rightSide ? fill : 0;
        }
        if (i == 0) {
            move.hasLine = true;
            move.line = line;
        }
        for (ShapeRecord& r : subs[i].records)
            out.push_back(std::move(r));
    }
}

}  // namespace

std::uint16_t MovieBuilder::DefineShape(const ShapeBuilder& shape)
{
    ShapeDef def;
    bool alpha = false;
    Rect edges;
    bool empty = true;
    int maxHalfLine = 0;
    for (const auto& [path, style] : shape.Parts()) {
        std::uint32_t fillIndex = 0, lineIndex = 0;
        if (style.fill) {
            const FillStyle f = FillStyle::Solid(*style.fill);
            auto it = std::find(def.fillStyles.begin(), def.fillStyles.end(), f);
            if (it == def.fillStyles.end()) {
                def.fillStyles.push_back(f);
                it = def.fillStyles.end() - 1;
            }
            fillIndex = static_cast<std::uint32_t>(it - def.fillStyles.begin()) + 1;
            alpha = alpha || style.fill->a != 255;
        }
        if (style.lineWidth > 0) {
            LineStyle l;
            l.width = static_cast<std::uint16_t>(std::clamp(Twips(style.lineWidth), 1, 0xFFFF));
            l.color = style.lineColor;
            auto it = std::find(def.lineStyles.begin(), def.lineStyles.end(), l);
            if (it == def.lineStyles.end()) {
                def.lineStyles.push_back(l);
                it = def.lineStyles.end() - 1;
            }
            lineIndex = static_cast<std::uint32_t>(it - def.lineStyles.begin()) + 1;
            alpha = alpha || style.lineColor.a != 255;
            maxHalfLine = std::max(maxHalfLine, (l.width + 1) / 2);
        }
        AppendPathRecords(def.records, path, kTwipsPerPixel, fillIndex, lineIndex, FillSide::PerSubpath, edges,
                          empty);
    }
    def.shapeVersion = alpha ? 3 : 1;
    def.bounds = edges;
    if (!empty) {
        def.bounds.xMin -= maxHalfLine;
        def.bounds.yMin -= maxHalfLine;
        def.bounds.xMax += maxHalfLine;
        def.bounds.yMax += maxHalfLine;
    }
    // Only DefineShape4 stores edge bounds; the reader gives other shapes their bounds.
    def.edgeBounds = def.bounds;
    return Define(def);
}

std::uint16_t MovieBuilder::AddPath(const Path& path, const ShapeStyle& style)
{
    ShapeBuilder s;
    s.Add(path, style);
    return DefineShape(s);
}

std::uint16_t MovieBuilder::AddRectangle(const QRectF& rect, const ShapeStyle& style)
{
    return AddPath(Path::Rectangle(rect), style);
}

std::uint16_t MovieBuilder::AddCircle(QPointF centre, double radius, const ShapeStyle& style)
{
    return AddPath(Path::Circle(centre, radius), style);
}

std::uint16_t MovieBuilder::AddPolygon(const std::vector<QPointF>& points, const ShapeStyle& style)
{
    return AddPath(Path::Polygon(points), style);
}

std::uint16_t MovieBuilder::DeviceFont(const TextStyle& style)
{
    const auto key = std::make_pair(style.font, style.bold);
    auto it = FFonts.find(key);
    if (it != FFonts.end())
        return it->second;
    FontDef f;
    f.fontVersion = 2;
    f.name = style.font;
    f.bold = style.bold;
    f.wideCodes = FVersion >= 6;
    f.ansi = FVersion < 6;
    const std::uint16_t id = Define(f);
    FFonts.emplace(key, id);
    return id;
}

QSizeF MovieBuilder::MeasureText(const QString& text, const TextStyle& style) const
{
    const QSizeF ink = FMeasurer ? FMeasurer(text, style) : EstimateTextSize(text, style);
    // Text fields keep a 2-pixel gutter on every side.
    return {ink.width() + 4.0, ink.height() + 4.0};
}

TextInfo MovieBuilder::AddText(const QString& text, const TextStyle& style)
{
    const QSizeF size = MeasureText(text, style);
    EditTextDef t;
    t.fontId = DeviceFont(style);
    t.fontHeight = static_cast<std::uint16_t>(std::clamp(Twips(style.size), 1, 0xFFFF));
    t.color = style.color;
    t.readOnly = true;
    t.noSelect = true;
    t.html = false;
    t.useOutlines = false;
    t.wordWrap = false;
    t.multiline = false;
    t.hasLayout = true;
    t.align = style.centred ? 2 : 0;
    t.initialText = text;
    const double left = style.centred ? -size.width() / 2 : 0.0;
    const QRectF box(left, 0.0, size.width(), size.height());
    t.bounds = {Twips(box.left()), Twips(box.right()), Twips(box.top()), Twips(box.bottom())};
    TextInfo info;
    info.id = Define(t);
    info.box = box;
    if (style.embedOutlines)
        FOutlineTexts.push_back(info.id);
    return info;
}

std::uint16_t MovieBuilder::DefineSprite(Timeline sprite)
{
    if (sprite.FFrameOpen || sprite.FFrames == 0)
        sprite.ShowFrame();
    SpriteDef s;
    s.frameCount = sprite.FFrames;
    s.tags = std::move(sprite.FTags);
    s.tags.push_back(Tag::Make(End{}));
    return Define(s);
}

std::uint16_t MovieBuilder::WrapInSprite(std::uint16_t characterId)
{
    Timeline t = NewSprite();
    t.Place(characterId);
    return DefineSprite(std::move(t));
}

std::uint16_t MovieBuilder::DefineButton(std::vector<ButtonRecord> records, const QByteArray& clickActions)
{
    ButtonDef b;
    b.buttonVersion = 2;
    std::uint16_t depth = 1;
    for (ButtonRecord& r : records)
        r.depth = depth++;
    b.records = std::move(records);
    if (!clickActions.isEmpty())
        b.actions.push_back({bcOverDownToOverUp, clickActions});
    return Define(b);
}

namespace {

// Texts placed turned or skewed somewhere in these tags.
void CollectTurnedPlacements(const std::vector<Tag>& tags, std::set<std::uint16_t>& ids)
{
    for (const Tag& t : tags) {
        if (const auto* p = t.As<PlaceObject>()) {
            if (p->characterId && p->matrix && p->matrix->hasRotate &&
                (p->matrix->rotateSkew0 != 0 || p->matrix->rotateSkew1 != 0))
                ids.insert(*p->characterId);
        } else if (const auto* s = t.As<SpriteDef>()) {
            CollectTurnedPlacements(s->tags, ids);
        }
    }
}

FontDef OutlineFontDef(const FontDef& device, const OutlineFont& outlines)
{
    FontDef f;
    f.fontVersion = 2;
    f.name = device.name;
    f.bold = device.bold;
    f.italic = device.italic;
    // 16-bit codes hold every character of the basic plane, in movies of any version.
    f.wideCodes = true;
    f.hasLayout = true;
    f.ascent = static_cast<std::int16_t>(std::clamp(Round(outlines.ascent), 0, 32767));
    f.descent = static_cast<std::int16_t>(std::clamp(Round(outlines.descent), 0, 32767));
    f.leading = static_cast<std::int16_t>(std::clamp(Round(outlines.leading), -32768, 32767));
    // Codes in ascending order, as players look them up.
    for (const auto& [code, glyph] : outlines.glyphs) {
        Glyph g;
        Rect bounds;
        bool empty = true;
        AppendPathRecords(g.records, glyph.path, 1.0, 1, 0, FillSide::ByLargestSubpath, bounds, empty);
        for (ShapeRecord& r : g.records)
            r.hasLine = false;  // glyphs have no line styles
        f.glyphs.push_back(std::move(g));
        f.codes.push_back(code);
        f.advances.push_back(static_cast<std::int16_t>(std::clamp(Round(glyph.advance), -32768, 32767)));
        f.glyphBounds.push_back(bounds);
    }
    return f;
}

}  // namespace

namespace {

// Players ignore the alpha of a text field's colour; a colour transform on each placement
// of the field carries it instead.
void FadeTextPlacements(std::vector<Tag>& tags, const std::map<std::uint16_t, std::uint8_t>& alphaOf)
{
    for (Tag& t : tags) {
        if (auto* p = t.As<PlaceObject>(); p && p->characterId && alphaOf.count(*p->characterId)) {
            const double a = alphaOf.at(*p->characterId) / 255.0;
            ColorTransform cx = p->colorTransform.value_or(ColorTransform{});
            cx.hasMult = true;
            cx.aMult = static_cast<std::int16_t>(Round(cx.aMult * a));
            p->colorTransform = cx;
        } else if (auto* s = t.As<SpriteDef>()) {
            FadeTextPlacements(s->tags, alphaOf);
        }
    }
}

}  // namespace

void MovieBuilder::FadeTranslucentTexts()
{
    std::map<std::uint16_t, std::uint8_t> alphaOf;
    for (const Tag& t : FTags)
        if (const auto* e = t.As<EditTextDef>(); e && e->color && e->color->a != 255)
            alphaOf[e->id] = e->color->a;
    if (!alphaOf.empty())
        FadeTextPlacements(FTags, alphaOf);
}

void MovieBuilder::EmbedOutlines()
{
    std::set<std::uint16_t> wanted(FOutlineTexts.begin(), FOutlineTexts.end());
    CollectTurnedPlacements(FTags, wanted);
    // Which texts, grouped by the device font they use; where the first of them sits.
    std::map<std::uint16_t, std::vector<size_t>> byFont;
    for (size_t i = 0; i < FTags.size(); ++i) {
        const auto* e = FTags[i].As<EditTextDef>();
        if (!e || !e->fontId || !e->initialText || e->initialText->isEmpty())
            continue;
        if (wanted.count(e->id) || (e->color && e->color->a != 255))
            byFont[*e->fontId].push_back(i);
    }
    if (byFont.empty())
        return;
    GlyphSource source = FGlyphs;
    if (!source && GuiFontsAvailable())
        source = QtGlyphSource();
    if (!source)
        return;

    std::vector<std::pair<size_t, Tag>> inserts;
    for (const auto& [fontId, indices] : byFont) {
        const FontDef* device = nullptr;
        for (const Tag& t : FTags)
            if (const auto* f = t.As<FontDef>(); f && f->id == fontId)
                device = f;
        if (!device || !device->IsDeviceFont())
            continue;
        QString characters;
        for (size_t i : indices)
            characters += *FTags[i].As<EditTextDef>()->initialText;
        // Outside the basic plane a character needs more than a 16-bit code: leave such
        // texts to the device font.
        if (std::any_of(characters.begin(), characters.end(), [](QChar c) { return c.isSurrogate(); }))
            continue;
        OutlineFont outlines;
        if (!source(device->name, device->bold, characters, outlines))
            continue;
        bool complete = true;
        for (QChar c : characters)
            complete = complete && (c.isSpace() || outlines.glyphs.count(c.unicode()));
        if (!complete)
            continue;
        FontDef f = OutlineFontDef(*device, outlines);
        f.id = FNextId++;
        for (size_t i : indices) {
            auto* e = FTags[i].As<EditTextDef>();
            e->fontId = f.id;
            e->useOutlines = true;
            // The field must hold the glyphs' advances, whatever the measure said.
            double width = 0.0;
            for (QChar c : *e->initialText)
                width += outlines.glyphs.count(c.unicode()) ? outlines.glyphs.at(c.unicode()).advance : 0.0;
            const std::int32_t needed = Round(width * e->fontHeight / 1024.0) + 4 * kTwipsPerPixel;
            const std::int32_t missing = needed - e->bounds.Width();
            if (missing > 0) {
                if (e->align == 2) {
                    e->bounds.xMin -= (missing + 1) / 2;
                    e->bounds.xMax += (missing + 1) / 2;
                } else if (e->align == 1) {
                    e->bounds.xMin -= missing;
                } else {
                    e->bounds.xMax += missing;
                }
            }
        }
        inserts.emplace_back(indices.front(), Tag::Make(std::move(f)));
    }
    // The outline fonts go just before the first text that uses them.
    std::sort(inserts.begin(), inserts.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    for (auto& [at, tag] : inserts)
        FTags.insert(FTags.begin() + static_cast<std::ptrdiff_t>(at), std::move(tag));

    // Device fonts no text uses any more are dropped.
    std::set<std::uint16_t> used;
    for (const Tag& t : FTags)
        if (const auto* e = t.As<EditTextDef>(); e && e->fontId)
            used.insert(*e->fontId);
    std::erase_if(FTags, [&](const Tag& t) {
        const auto* f = t.As<FontDef>();
        return f && f->IsDeviceFont() && !used.count(f->id);
    });
}

const Movie& MovieBuilder::Finish()
{
    if (FFinished)
        return FMovie;
    if (FFrameOpen || FFrames == 0)
        ShowFrame();
    EmbedOutlines();
    FadeTranslucentTexts();
    for (Tag& t : FTags)
        FMovie.tags.push_back(std::move(t));
    FTags.clear();
    FMovie.tags.push_back(Tag::Make(End{}));
    FMovie.header.frameCount = FFrames;
    FFinished = true;
    return FMovie;
}

QByteArray MovieBuilder::FinishToBytes() { return WriteMovie(Finish()); }

bool MovieBuilder::FinishToFile(const QString& fileName, QString* errorText)
{
    return SaveMovie(Finish(), fileName, errorText);
}

}  // namespace swf
