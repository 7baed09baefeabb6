#include <gtest/gtest.h>

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <set>

#include "SwfFixtures.h"
#include "movie/SwfModel.h"
#include "movie/SwfReader.h"
#include "movie/SwfWriter.h"

using namespace swf;
using swftest::Bits;
using swftest::movie;
using swftest::tag;

namespace {

const Tag* FindTag(const std::vector<Tag>& tags, std::uint16_t code, int nth = 0)
{
    for (const Tag& t : tags)
        if (t.code == code && nth-- == 0)
            return &t;
    return nullptr;
}

// DefineShape3, id 5: a square whose edges carry fill 1 on one side and fill 2 on the
// other (both fill sides), a line style with alpha, a curved edge, and a style change
// that only switches the line off. Bounds 0..1000 twips, 11-bit fields.
QByteArray ShapeBothSidesTag()
{
    Bits b;
    b.u16(5);
    b.ub(5, 11).sb(11, 0).sb(11, 1000).sb(11, 0).sb(11, 1000).align();
    b.u8(2);                                          // two fill styles
    b.u8(0x00).u8(0x10).u8(0x20).u8(0x30).u8(0x80);   // solid 10 20 30, alpha 80
    b.u8(0x00).u8(0xFF).u8(0x00).u8(0x00).u8(0xFF);   // solid FF 00 00, opaque
    b.u8(1);                                          // one line style
    b.u16(20).u8(0x01).u8(0x02).u8(0x03).u8(0x40);    // 1 px, 01 02 03 alpha 40
    b.ub(4, 2).ub(4, 1);                              // 2 fill bits, 1 line bit
    // style change: line, fill1, fill0, move to (100, 200): 9-bit move fields
    b.ub(1, 0).ub(1, 0).ub(1, 1).ub(1, 1).ub(1, 1).ub(1, 1);
    b.ub(5, 9).sb(9, 100).sb(9, 200);
    b.ub(2, 1).ub(2, 2).ub(1, 1);                     // fill0 = 1, fill1 = 2, line 1
    // straight edge, general: (500, -100), 11 bits (field 9)
    b.ub(1, 1).ub(1, 1).ub(4, 9).ub(1, 1).sb(11, 500).sb(11, -100);
    // curved edge: control (100, 300), anchor (-50, 200), 10 bits (field 8)
    b.ub(1, 1).ub(1, 0).ub(4, 8).sb(10, 100).sb(10, 300).sb(10, -50).sb(10, 200);
    // style change: line 0 only
    b.ub(1, 0).ub(1, 0).ub(1, 1).ub(1, 0).ub(1, 0).ub(1, 0).ub(1, 0);
    // vertical edge -400 (field 9: 11 bits), horizontal edge -550
    b.ub(1, 1).ub(1, 1).ub(4, 9).ub(1, 0).ub(1, 1).sb(11, -400);
    b.ub(1, 1).ub(1, 1).ub(4, 9).ub(1, 0).ub(1, 0).sb(11, -550);
    b.ub(6, 0).align();                               // end
    return tag(tcDefineShape3, b.bytes());
}

// PlaceObject2 with every optional field: move, character, matrix with scale, skew and
// translation, colour transform with alpha (multiply and add), ratio, name, clip depth
// and two clip actions (the second on a key press with its key code).
QByteArray PlaceAllFieldsTag(int version)
{
    Bits b;
    b.u8(0xFF).u16(7).u16(9);                          // all flags, depth 7, character 9
    // matrix: scale (1.5, 0.5) in 18 bits, skew (0.25, -0.25) in 17 bits, translate
    // (-20, 40) in 7 bits
    b.ub(1, 1).ub(5, 18).sb(18, 98304).sb(18, 32768);
    b.ub(1, 1).ub(5, 17).sb(17, 16384).sb(17, -16384);
    b.ub(5, 7).sb(7, -20).sb(7, 40).align();
    // cxform with alpha: add and multiply, 10 bits: mult 256 128 0 200, add 10 -20 30 -255
    b.ub(1, 1).ub(1, 1).ub(4, 10);
    for (int v : {256, 128, 0, 200, 10, -20, 30, -255})
        b.sb(10, v);
    b.align();
    b.u16(3);                                           // ratio
    b.str("Back_Ground");                               // name
    b.u16(12);                                          // clip depth
    // clip actions: reserved, all events, records, end
    auto flags = [&](std::uint32_t v) {
        if (version >= 6)
            b.u32(v);
        else
            b.u16(v);
    };
    b.u16(0);
    flags(ceRollOver | ceKeyPress | ceKeyDown);
    flags(ceRollOver);
    b.u32(2).u8(0x07).u8(0x00);                         // stop, end
    flags(ceKeyPress | ceKeyDown);
    b.u32(3).u8(13).u8(0x06).u8(0x00);                  // key 13: play, end
    flags(0);
    return tag(tcPlaceObject2, b.bytes());
}

}  // namespace

// A file put together by hand: both fill sides, a curved edge, styles with alpha.
TEST(SwfReader, ShapeWithBothFillSidesAndCurves)
{
    const ReadResult r = ReadMovie(movie(6, tag(tcSetBackgroundColor, QByteArray("\x11\x22\x33", 3)) +
                                                ShapeBothSidesTag() + tag(tcShowFrame, {}) + tag(tcEnd, {})));
    ASSERT_TRUE(r.Ok()) << r.message.toStdString();
    EXPECT_EQ(r.movie.header.version, 6);
    EXPECT_EQ(r.movie.header.frameRect, (Rect{0, 8000, 0, 6000}));
    EXPECT_EQ(r.movie.header.frameRate, 12 << 8);
    EXPECT_EQ(r.movie.BackgroundColor(), (Rgba{0x11, 0x22, 0x33, 255}));
    ASSERT_EQ(r.movie.tags.size(), 4u);
    EXPECT_EQ(r.movie.tags[1].code, tcDefineShape3);
    const auto* s = r.movie.tags[1].As<ShapeDef>();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->id, 5);
    EXPECT_EQ(s->shapeVersion, 3);
    EXPECT_EQ(s->bounds, (Rect{0, 1000, 0, 1000}));
    ASSERT_EQ(s->fillStyles.size(), 2u);
    EXPECT_EQ(s->fillStyles[0].color, (Rgba{0x10, 0x20, 0x30, 0x80}));
    EXPECT_EQ(s->fillStyles[1].color, (Rgba{0xFF, 0, 0, 0xFF}));
    ASSERT_EQ(s->lineStyles.size(), 1u);
    EXPECT_EQ(s->lineStyles[0].width, 20);
    EXPECT_EQ(s->lineStyles[0].color, (Rgba{1, 2, 3, 0x40}));
    ASSERT_EQ(s->records.size(), 6u);
    const ShapeRecord& first = s->records[0];
    EXPECT_TRUE(first.hasMove && first.hasFill0 && first.hasFill1 && first.hasLine);
    EXPECT_EQ(first.moveX, 100);
    EXPECT_EQ(first.moveY, 200);
    EXPECT_EQ(first.fill0, 1u);
    EXPECT_EQ(first.fill1, 2u);
    EXPECT_EQ(first.line, 1u);
    EXPECT_EQ(s->records[1], ShapeRecord::Line(500, -100));
    EXPECT_EQ(s->records[2], ShapeRecord::Curve(100, 300, -50, 200));
    EXPECT_TRUE(s->records[3].hasLine && !s->records[3].hasMove && !s->records[3].hasFill0);
    EXPECT_EQ(s->records[3].line, 0u);
    EXPECT_EQ(s->records[4], ShapeRecord::Line(0, -400));
    EXPECT_EQ(s->records[5], ShapeRecord::Line(-550, 0));
}

// DefineShape4: edge bounds, flags, a LINESTYLE2 with a miter join and a fill of its own,
// a focal gradient; and DefineShape (1) with new styles inside the records, as third-party
// tools write them.
TEST(SwfReader, ShapeVariants)
{
    Bits b;
    b.u16(1);
    b.ub(5, 1).sb(1, 0).sb(1, 0).sb(1, 0).sb(1, 0).align();  // bounds all 0 in 1-bit fields
    b.ub(5, 0).align();                                      // edge bounds, 0 bits
    b.u8(0x04 | 0x01);                                       // winding rule, scaling strokes
    b.u8(1);                                                 // one fill: focal gradient
    b.u8(0x13).ub(1, 0).ub(1, 0).ub(5, 0).align();           // identity matrix
    b.u8(0x40 | 0x10 | 2);                                   // reflect, linear RGB, 2 records
    b.u8(0).u8(1).u8(2).u8(3).u8(4).u8(255).u8(5).u8(6).u8(7).u8(8);
    b.u16(static_cast<std::uint16_t>(-64));                  // focal point −0.25
    b.u8(1);                                                 // one LINESTYLE2
    b.u16(60);
    b.u8((1 << 6) | (2 << 4) | 0x08 | 0x02).u8(0x04 | 2);   // cap none, miter, fill, noV; noClose, end cap square
    b.u16(0x0180);                                           // miter limit 1.5
    b.u8(0x00).u8(9).u8(8).u8(7).u8(6);                      // its fill: solid 09 08 07 06
    b.ub(4, 1).ub(4, 1);
    b.ub(6, 0).align();
    const QByteArray shape4 = tag(tcDefineShape4, b.bytes());

    Bits c;
    c.u16(2);
    c.ub(5, 0).align();
    c.u8(1).u8(0).u8(1).u8(2).u8(3);  // one RGB fill
    c.u8(0);                          // no lines
    c.ub(4, 1).ub(4, 0);
    // style change with new styles and fill1 = 1 (old width): then 3 fills, 2 bits
    c.ub(1, 0).ub(1, 1).ub(1, 0).ub(1, 1).ub(1, 0).ub(1, 0).ub(1, 1).align();
    c.u8(3).u8(0).u8(4).u8(5).u8(6).u8(0).u8(7).u8(8).u8(9).u8(0).u8(1).u8(1).u8(1);
    c.u8(0);
    c.ub(4, 2).ub(4, 0);
    c.ub(1, 0).ub(1, 0).ub(1, 0).ub(1, 0).ub(1, 1).ub(1, 0).ub(2, 3);  // fill0 = 3 (new width)
    c.ub(6, 0).align();
    const QByteArray shape1 = tag(tcDefineShape, c.bytes());

    const ReadResult r = ReadMovie(movie(8, shape4 + shape1 + tag(tcEnd, {})));
    ASSERT_TRUE(r.Ok()) << r.message.toStdString();
    const auto* s4 = r.movie.tags[0].As<ShapeDef>();
    ASSERT_NE(s4, nullptr);
    EXPECT_EQ(s4->shapeVersion, 4);
    EXPECT_TRUE(s4->usesFillWindingRule);
    EXPECT_TRUE(s4->usesScalingStrokes);
    EXPECT_FALSE(s4->usesNonScalingStrokes);
    ASSERT_EQ(s4->fillStyles.size(), 1u);
    const FillStyle& g = s4->fillStyles[0];
    EXPECT_EQ(g.type, ftFocalGradient);
    EXPECT_EQ(g.gradient.spreadMode, 1);
    EXPECT_EQ(g.gradient.interpolationMode, 1);
    EXPECT_EQ(g.gradient.focalPoint, -64);
    ASSERT_EQ(g.gradient.records.size(), 2u);
    EXPECT_EQ(g.gradient.records[1].ratio, 255);
    EXPECT_EQ(g.gradient.records[1].color, (Rgba{5, 6, 7, 8}));
    ASSERT_EQ(s4->lineStyles.size(), 1u);
    const LineStyle& l = s4->lineStyles[0];
    EXPECT_EQ(l.width, 60);
    EXPECT_EQ(l.startCap, 1);
    EXPECT_EQ(l.join, 2);
    EXPECT_EQ(l.miterLimit, 0x0180);
    EXPECT_TRUE(l.noVScale);
    EXPECT_FALSE(l.noHScale);
    EXPECT_TRUE(l.noClose);
    EXPECT_EQ(l.endCap, 2);
    ASSERT_TRUE(l.fill.has_value());
    EXPECT_EQ(l.fill->color, (Rgba{9, 8, 7, 6}));

    const auto* s1 = r.movie.tags[1].As<ShapeDef>();
    ASSERT_NE(s1, nullptr);
    EXPECT_EQ(s1->shapeVersion, 1);
    ASSERT_EQ(s1->records.size(), 2u);
    EXPECT_TRUE(s1->records[0].hasNewStyles);
    EXPECT_EQ(s1->records[0].fill1, 1u);
    ASSERT_EQ(s1->records[0].newFillStyles.size(), 3u);
    EXPECT_EQ(s1->records[0].newFillStyles[2].color, (Rgba{1, 1, 1, 255}));
    EXPECT_EQ(s1->records[1].fill0, 3u);
}

// A sprite placing a sprite placing a shape, and a placement with every optional field,
// in movies of version 5 (16-bit clip event flags) and 6 (32-bit).
TEST(SwfReader, NestedSpritesAndFullPlacement)
{
    for (int version : {5, 6}) {
        SCOPED_TRACE(version);
        Bits inner;
        inner.u16(2).u16(1);
        const QByteArray innerTags =
            tag(tcPlaceObject2, Bits().u8(0x02).u16(1).u16(5).bytes()) + tag(tcShowFrame, {}) + tag(tcEnd, {});
        Bits outer;
        outer.u16(3).u16(2);
        const QByteArray outerTags = tag(tcPlaceObject2, Bits().u8(0x22).u16(1).u16(2).str("inner").bytes()) +
                                     tag(tcShowFrame, {}) + tag(tcRemoveObject2, Bits().u16(1).bytes()) +
                                     tag(tcShowFrame, {}) + tag(tcEnd, {});
        const QByteArray tags = ShapeBothSidesTag() + tag(tcDefineSprite, inner.bytes() + innerTags) +
                                // a long record header although the body is short
                                tag(tcDefineSprite, outer.bytes() + outerTags, true) + PlaceAllFieldsTag(version) +
                                tag(tcShowFrame, {}) + tag(tcEnd, {});
        const ReadResult r = ReadMovie(movie(version, tags));
        ASSERT_TRUE(r.Ok()) << r.message.toStdString();

        const auto* s2 = r.movie.FindCharacter(2)->As<SpriteDef>();
        ASSERT_NE(s2, nullptr);
        EXPECT_EQ(s2->frameCount, 1);
        ASSERT_EQ(s2->tags.size(), 3u);
        EXPECT_EQ(s2->tags[0].As<PlaceObject>()->characterId, 5);
        const auto* s3 = r.movie.FindCharacter(3)->As<SpriteDef>();
        ASSERT_NE(s3, nullptr);
        EXPECT_EQ(s3->frameCount, 2);
        ASSERT_EQ(s3->tags.size(), 5u);
        EXPECT_EQ(s3->tags[0].As<PlaceObject>()->characterId, 2);
        EXPECT_EQ(s3->tags[0].As<PlaceObject>()->name, QStringLiteral("inner"));
        EXPECT_EQ(s3->tags[2].As<RemoveObject>()->depth, 1);

        const auto* p = FindTag(r.movie.tags, tcPlaceObject2)->As<PlaceObject>();
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->depth, 7);
        EXPECT_TRUE(p->move);
        EXPECT_EQ(p->characterId, 9);
        ASSERT_TRUE(p->matrix.has_value());
        EXPECT_DOUBLE_EQ(p->matrix->A(), 1.5);
        EXPECT_DOUBLE_EQ(p->matrix->D(), 0.5);
        EXPECT_DOUBLE_EQ(p->matrix->B(), 0.25);
        EXPECT_DOUBLE_EQ(p->matrix->C(), -0.25);
        EXPECT_EQ(p->matrix->translateX, -20);
        EXPECT_EQ(p->matrix->translateY, 40);
        ASSERT_TRUE(p->colorTransform.has_value());
        const ColorTransform& cx = *p->colorTransform;
        EXPECT_EQ(std::vector<int>({cx.rMult, cx.gMult, cx.bMult, cx.aMult, cx.rAdd, cx.gAdd, cx.bAdd, cx.aAdd}),
                  std::vector<int>({256, 128, 0, 200, 10, -20, 30, -255}));
        EXPECT_EQ(p->ratio, 3);
        EXPECT_EQ(p->name, QStringLiteral("Back_Ground"));
        EXPECT_EQ(p->clipDepth, 12);
        ASSERT_EQ(p->clipActions.size(), 2u);
        EXPECT_EQ(p->clipActions[0].events, ceRollOver);
        EXPECT_EQ(p->clipActions[0].actions, QByteArray("\x07\x00", 2));
        EXPECT_EQ(p->clipActions[1].events, version >= 6 ? (ceKeyPress | ceKeyDown) : ceKeyDown);
        if (version >= 6) {
            EXPECT_EQ(p->clipActions[1].keyCode, 13);
            EXPECT_EQ(p->clipActions[1].actions, QByteArray("\x06\x00", 2));
        }
    }
}

// PlaceObject3 with a class name, filters of several kinds, blend mode and bitmap caching;
// and the older PlaceObject with and without its colour transform.
TEST(SwfReader, PlaceObject3AndPlaceObject1)
{
    Bits b;
    b.u8(0x06).u8(0x08 | 0x04 | 0x02 | 0x01).u16(4).str("Clip").u16(8);
    b.ub(1, 0).ub(1, 0).ub(5, 0).align();
    b.u8(3);                                                          // three filters
    b.u8(0).u8(0x80).u8(0x80).u8(0x80).u8(0xFF);                      // drop shadow colour
    b.u32(5 << 16).u32(5 << 16).u32(34315).u32(5 << 16).u16(256).u8(0x20 | 5);
    b.u8(1).u32(2 << 16).u32(3 << 16).u8(2 << 3);                     // blur
    b.u8(6);                                                          // colour matrix
    for (int i = 0; i < 20; ++i)
        b.u32(i % 6 == 0 ? 1 << 16 : 0);
    b.u8(3).u8(1);                                                    // blend multiply, cached
    const QByteArray po3 = tag(tcPlaceObject3, b.bytes());

    Bits one;
    one.u16(8).u16(2).ub(1, 0).ub(1, 0).ub(5, 4).sb(4, 5).sb(4, -6).align();
    Bits oneCx = one;
    oneCx.ub(1, 1).ub(1, 0).ub(4, 6).sb(6, 1).sb(6, -2).sb(6, 3).align();

    const ReadResult r = ReadMovie(movie(8, po3 + tag(tcPlaceObject, one.bytes()) +
                                                tag(tcPlaceObject, oneCx.bytes()) + tag(tcEnd, {})));
    ASSERT_TRUE(r.Ok()) << r.message.toStdString();
    const auto* p = r.movie.tags[0].As<PlaceObject>();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->placeVersion, 3);
    EXPECT_EQ(p->className, QStringLiteral("Clip"));
    EXPECT_EQ(p->characterId, 8);
    ASSERT_TRUE(p->filters.has_value());
    ASSERT_EQ(p->filters->size(), 3u);
    const Filter& ds = (*p->filters)[0];
    EXPECT_EQ(ds.type, fiDropShadow);
    EXPECT_EQ(ds.color, (Rgba{0x80, 0x80, 0x80, 0xFF}));
    EXPECT_EQ(ds.blurX, 5 << 16);
    EXPECT_EQ(ds.angle, 34315);  // 30° in radians, 16.16
    EXPECT_EQ(ds.strength, 256);
    EXPECT_TRUE(ds.compositeSource);
    EXPECT_FALSE(ds.innerShadow);
    EXPECT_EQ(ds.passes, 5);
    EXPECT_EQ((*p->filters)[1].type, fiBlur);
    EXPECT_EQ((*p->filters)[1].raw.size(), 9);
    EXPECT_EQ((*p->filters)[2].raw.size(), 80);
    EXPECT_EQ(p->blendMode, 3);
    EXPECT_EQ(p->bitmapCache, 1);

    const auto* p1 = r.movie.tags[1].As<PlaceObject>();
    ASSERT_NE(p1, nullptr);
    EXPECT_EQ(p1->placeVersion, 1);
    EXPECT_EQ(p1->depth, 2);
    EXPECT_EQ(p1->matrix->translateX, 5);
    EXPECT_EQ(p1->matrix->translateY, -6);
    EXPECT_FALSE(p1->colorTransform.has_value());
    const auto* p1c = r.movie.tags[2].As<PlaceObject>();
    ASSERT_TRUE(p1c->colorTransform.has_value());
    EXPECT_EQ(p1c->colorTransform->bAdd, 3);
    EXPECT_FALSE(p1c->colorTransform->hasMult);
}

// Texts as other tools write them: a device-font edit text, a DefineFont2 with a
// terminated name, two glyphs, 8-bit codes and a layout, and static text using it.
TEST(SwfReader, FontsAndTexts)
{
    Bits f;
    f.u16(3).u8(0x80 | 0x10 | 0x01).u8(1);     // layout, ANSI, bold; Latin
    f.u8(6).raw(QByteArray("Arial\0", 6));     // the name, with a terminator
    f.u16(2);
    f.u16(6).u16(8).u16(15);                   // offsets: glyph 0, glyph 1, code table
    f.u8(0x10).ub(6, 0).align();               // glyph 0: empty
    // glyph 1: move (0,-10) fill1 = 1, line (10, 10), end
    f.u8(0x10).ub(1, 0).ub(1, 0).ub(1, 0).ub(1, 1).ub(1, 0).ub(1, 1).ub(5, 5).sb(5, 0).sb(5, -10).ub(1, 1);
    f.ub(1, 1).ub(1, 1).ub(4, 3).ub(1, 1).sb(5, 10).sb(5, 10).ub(6, 0).align();
    f.u8(' ').u8('A');                         // 8-bit codes
    f.u16(900).u16(200).u16(0);                // ascent, descent, leading
    f.u16(250).u16(600);                       // advances
    f.ub(5, 0).align().ub(5, 0).align();       // bounds
    f.u16(1).u8('A').u8(' ').u16(static_cast<std::uint16_t>(-30));  // kerning

    Bits e;
    e.u16(4).ub(5, 12).sb(12, -40).sb(12, 2000).sb(12, -40).sb(12, 600).align();
    e.u8(0x80 | 0x08 | 0x04 | 0x01).u8(0x20 | 0x10);  // text, read-only, colour, font; layout, no select
    e.u16(3).u16(240).u8(0xFF).u8(0).u8(0).u8(50);
    e.u8(2).u16(0).u16(0).u16(0).u16(40);
    e.str("").str("frmPptBlank loaded");

    Bits t;
    t.u16(6).ub(5, 0).align().ub(1, 0).ub(1, 0).ub(5, 0).align();
    t.u8(1).u8(9);                                   // 1 glyph bit, 9 advance bits
    t.u8(0x80 | 0x08 | 0x04 | 0x01).u16(3).u8(1).u8(2).u8(3).u16(static_cast<std::uint16_t>(-7)).u16(400);
    t.u8(2).ub(1, 1).sb(9, 250).ub(1, 0).sb(9, -250).align();
    t.u8(0);

    const ReadResult r = ReadMovie(movie(5, tag(tcDefineFont2, f.bytes()) + tag(tcDefineEditText, e.bytes()) +
                                                tag(tcDefineText, t.bytes()) + tag(tcEnd, {})));
    ASSERT_TRUE(r.Ok()) << r.message.toStdString();
    const auto* font = r.movie.FindCharacter(3)->As<FontDef>();
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->name, QStringLiteral("Arial"));
    EXPECT_TRUE(font->bold);
    EXPECT_TRUE(font->ansi);
    EXPECT_FALSE(font->wideCodes);
    ASSERT_EQ(font->glyphs.size(), 2u);
    EXPECT_TRUE(font->glyphs[0].records.empty());
    ASSERT_EQ(font->glyphs[1].records.size(), 2u);
    EXPECT_EQ(font->glyphs[1].records[0].fill1, 1u);
    EXPECT_EQ(font->glyphs[1].records[1], ShapeRecord::Line(10, 10));
    EXPECT_EQ(font->codes, (std::vector<std::uint16_t>{' ', 'A'}));
    EXPECT_EQ(font->advances, (std::vector<std::int16_t>{250, 600}));
    ASSERT_EQ(font->kerning.size(), 1u);
    EXPECT_EQ(font->kerning[0].adjustment, -30);

    const auto* edit = r.movie.FindCharacter(4)->As<EditTextDef>();
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->fontId, 3);
    EXPECT_EQ(edit->fontHeight, 240);
    EXPECT_EQ(edit->color, (Rgba{255, 0, 0, 50}));
    EXPECT_EQ(edit->align, 2);
    EXPECT_EQ(edit->leading, 40);
    EXPECT_TRUE(edit->readOnly && edit->noSelect && !edit->useOutlines && !edit->html);
    EXPECT_EQ(edit->initialText, QStringLiteral("frmPptBlank loaded"));
    EXPECT_EQ(edit->bounds.xMin, -40);

    const auto* text = r.movie.FindCharacter(6)->As<TextDef>();
    ASSERT_NE(text, nullptr);
    ASSERT_EQ(text->records.size(), 1u);
    EXPECT_EQ(text->records[0].fontId, 3);
    EXPECT_EQ(text->records[0].color, (Rgba{1, 2, 3, 255}));
    EXPECT_EQ(text->records[0].xOffset, -7);
    EXPECT_EQ(text->records[0].textHeight, 400);
    EXPECT_EQ(text->records[0].glyphs, (std::vector<GlyphEntry>{{1, 250}, {0, -250}}));
}

// A button with two state records and a click action; unknown tags keep code and bytes.
TEST(SwfReader, ButtonAndUnknownTags)
{
    Bits b;
    b.u16(10).u8(0).u16(0);  // id, flags, action offset patched below
    b.u8(0x01).u16(4).u16(1).ub(1, 0).ub(1, 0).ub(5, 0).align().ub(1, 0).ub(1, 0).ub(4, 0).align();
    b.u8(0x0E).u16(5).u16(2).ub(1, 0).ub(1, 0).ub(5, 0).align().ub(1, 0).ub(1, 0).ub(4, 0).align();
    b.u8(0);
    QByteArray body = b.bytes();
    const qsizetype actionStart = body.size();
    body[3] = static_cast<char>(actionStart - 3);
    body += Bits().u16(0).u16(bcOverDownToOverUp).raw(swf::FSCommandActions("CM_03", "#C1_0001")).bytes();
    const QByteArray unknown = QByteArray::fromHex("0102030405");
    const ReadResult r = ReadMovie(movie(8, tag(tcDefineButton2, body) + tag(1000, unknown) + tag(tcEnd, {})));
    ASSERT_TRUE(r.Ok()) << r.message.toStdString();
    const auto* button = r.movie.tags[0].As<ButtonDef>();
    ASSERT_NE(button, nullptr);
    ASSERT_EQ(button->records.size(), 2u);
    EXPECT_EQ(button->records[0].states, bsUp);
    EXPECT_EQ(button->records[1].states, bsOver | bsDown | bsHitTest);
    EXPECT_EQ(button->records[1].characterId, 5);
    ASSERT_EQ(button->actions.size(), 1u);
    EXPECT_EQ(button->actions[0].conditions, bcOverDownToOverUp);
    EXPECT_TRUE(button->actions[0].actions.contains("FSCommand:CM_03"));
    EXPECT_EQ(r.movie.tags[1].code, 1000);
    EXPECT_EQ(r.movie.tags[1].As<RawTag>()->data, unknown);
}

// Broken and foreign input is refused with the right kind of error and an offset.
TEST(SwfReader, RefusesBadInput)
{
    struct Case {
        const char* what;
        QByteArray bytes;
        ReadError error;
        qint64 offset;
    };
    const QByteArray good = movie(6, ShapeBothSidesTag() + tag(tcEnd, {}));
    QByteArray lyingLength = good;
    lyingLength[4] = static_cast<char>(good.size() + 10);
    QByteArray huge = good;
    huge[7] = 0x7F;
    QByteArray badZlib = good;
    badZlib[0] = 'C';
    const QByteArray overrun = movie(6, tag(tcDefineShape, QByteArray(10, '\0')).left(2) + QByteArray(4, '\0'));
    // A fill style count of 0xFFFF with only a few bytes behind it.
    const QByteArray bigCount =
        movie(6, tag(tcDefineShape2, Bits().u16(1).ub(5, 0).align().u8(0xFF).u16(0xFFFF).u8(0).bytes()) + tag(tcEnd, {}));
    const QByteArray badFill =
        movie(6, tag(tcDefineShape, Bits().u16(1).ub(5, 0).align().u8(1).u8(0x77).bytes()) + tag(tcEnd, {}));
    QByteArray nested = tag(tcEnd, {});
    for (int i = 0; i < 20; ++i)
        nested = tag(tcDefineSprite, Bits().u16(i + 1).u16(1).bytes() + nested);
    const Case cases[] = {
        {"empty", QByteArray(), ReadError::NotSwf, 0},
        {"a picture", QByteArray("GIF89a\x01\x00\x01\x00\x00\x00\x00", 13), ReadError::NotSwf, 0},
        {"LZMA", QByteArray("ZWS\x0D\x40\x00\x00\x00", 8) + QByteArray(40, '\0'), ReadError::Unsupported, 0},
        {"declared length beyond the data", lyingLength, ReadError::Truncated, good.size()},
        {"declared length beyond the cap", huge, ReadError::TooLarge, 4},
        {"not zlib", badZlib, ReadError::Decompression, 8},
        {"tag beyond the end", overrun, ReadError::Truncated, 21},
        {"count beyond the data", bigCount, ReadError::Malformed, -1},
        {"unknown fill type", badFill, ReadError::Malformed, -1},
        {"sprites nested too deep", movie(6, nested), ReadError::Malformed, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ReadResult r = ReadMovie(c.bytes);
        EXPECT_EQ(r.error, c.error) << r.message.toStdString();
        EXPECT_FALSE(r.message.isEmpty());
        if (c.offset >= 0) {
            EXPECT_EQ(r.offset, c.offset);
        }
        EXPECT_TRUE(r.movie.tags.empty());
    }
    const ReadResult bad = ReadMovie(bigCount);
    EXPECT_EQ(bad.tagCode, tcDefineShape2);
    EXPECT_GT(bad.offset, 21);

    QTemporaryDir dir;
    EXPECT_EQ(ReadMovieFile(dir.filePath(QStringLiteral("missing.swf"))).error, ReadError::FileNotFound);
}

// Every truncation of real movies (plain and compressed) is refused, never crashes; flipped
// bytes and random garbage behind a valid header never crash either.
TEST(SwfReader, TruncatedAndGarbageInputNeverCrash)
{
    Movie m = swftest::FeatureMovie();
    const QByteArray plain = WriteMovie(m);
    m.header.compressed = true;
    const QByteArray packed = WriteMovie(m);
    for (const QByteArray* bytes : {&plain, &packed}) {
        ASSERT_TRUE(ReadMovie(*bytes).Ok());
        for (qsizetype n = 0; n < bytes->size(); ++n) {
            const ReadResult r = ReadMovie(bytes->left(n));
            ASSERT_FALSE(r.Ok()) << "accepted a movie cut to " << n << " bytes";
            ASSERT_FALSE(r.message.isEmpty());
        }
    }
    QRandomGenerator rng(20260611);
    for (qsizetype i = 8; i < plain.size(); ++i) {
        QByteArray flipped = plain;
        flipped[i] = static_cast<char>(flipped[i] ^ (1 << rng.bounded(8)));
        ReadMovie(flipped);  // any verdict, but an orderly one
    }
    for (int i = 0; i < 300; ++i) {
        QByteArray junk = plain.left(8);
        const int size = rng.bounded(1, 400);
        for (int j = 0; j < size; ++j)
            junk.append(static_cast<char>(rng.bounded(256)));
        junk[4] = static_cast<char>(junk.size() & 0xFF);
        junk[5] = static_cast<char>(junk.size() >> 8);
        junk[6] = junk[7] = 0;
        ReadMovie(junk);
    }
}

// Copying a template's tags: every character defined is renumbered from 20000 in order of
// definition, and so is every reference, wherever it sits.
TEST(SwfReader, CopyRenumbersCharactersAndReferences)
{
    std::vector<Tag> tags;
    ShapeDef shape;
    shape.id = 1;
    shape.shapeVersion = 3;
    FillStyle bitmapFill;
    bitmapFill.type = ftRepeatingBitmap;
    bitmapFill.bitmapId = 6;
    ShapeRecord change = ShapeRecord::MoveTo(0, 0);
    change.hasNewStyles = true;
    change.newFillStyles = {bitmapFill};
    shape.records = {change};
    tags.push_back(Tag::Make(shape));
    Tag bitmap;  // DefineBitsLossless, kept raw: id first
    bitmap.code = tcDefineBitsLossless;
    bitmap.body = RawTag{QByteArray::fromHex("0600030100010000")};
    tags.push_back(bitmap);
    SpriteDef sprite;
    sprite.id = 2;
    PlaceObject inSprite;
    inSprite.characterId = 1;
    sprite.tags = {Tag::Make(inSprite), Tag::Make(ShowFrame{}), Tag::Make(End{})};
    tags.push_back(Tag::Make(sprite));
    FontDef font;
    font.id = 3;
    font.name = QStringLiteral("Arial");
    tags.push_back(Tag::Make(font));
    Tag fontInfo;
    fontInfo.code = tcDefineFontInfo;
    fontInfo.body = RawTag{QByteArray::fromHex("030005417269616c00")};
    tags.push_back(fontInfo);
    EditTextDef edit;
    edit.id = 4;
    edit.fontId = 3;
    tags.push_back(Tag::Make(edit));
    TextDef text;
    text.id = 7;
    TextRecord rec;
    rec.fontId = 3;
    text.records = {rec};
    tags.push_back(Tag::Make(text));
    ButtonDef button;
    button.id = 5;
    ButtonRecord br1, br2;
    br1.characterId = 4;
    br1.states = bsUp;
    br2.characterId = 2;
    br2.states = bsHitTest;
    button.records = {br1, br2};
    tags.push_back(Tag::Make(button));
    Tag cxform;
    cxform.code = tcDefineButtonCxform;
    cxform.body = RawTag{QByteArray::fromHex("050000")};
    tags.push_back(cxform);
    for (std::uint16_t id : {2, 5, 7, 99}) {
        PlaceObject p;
        p.characterId = id;
        p.depth = id;
        tags.push_back(Tag::Make(p));
    }
    tags.push_back(Tag::Make(RemoveObject{1, 7, 7}));
    tags.push_back(Tag::Make(DoInitAction{2, StopActions()}));
    Tag exports;
    exports.code = tcExportAssets;
    exports.body = RawTag{Bits().u16(2).u16(2).str("Clip").u16(5).str("Button").bytes()};
    tags.push_back(exports);
    Tag morph;  // DefineMorphShape with a bitmap fill of bitmap 6
    morph.code = tcDefineMorphShape;
    morph.body = RawTag{Bits()
                            .u16(8)
                            .ub(5, 0).align()
                            .ub(5, 0).align()
                            .u32(0)
                            .u8(1)
                            .u8(0x41).u16(6)
                            .ub(1, 0).ub(1, 0).ub(5, 0).align()
                            .ub(1, 0).ub(1, 0).ub(5, 0).align()
                            .u8(0)
                            .u8(0x10).ub(6, 0).align()
                            .u8(0x00).ub(6, 0).align()
                            .bytes()};
    tags.push_back(morph);

    std::uint16_t next = 0;
    const std::vector<Tag> copy = CopyTagsRenumbered(tags, 20000, &next);
    EXPECT_EQ(next, 20008);  // 1, 6, 2, 3, 4, 7, 5, 8 in order of definition
    // The original is untouched.
    EXPECT_EQ(tags[0].As<ShapeDef>()->id, 1);

    const auto* s = copy[0].As<ShapeDef>();
    EXPECT_EQ(s->id, 20000);
    EXPECT_EQ(s->records[0].newFillStyles[0].bitmapId, 20001);
    EXPECT_EQ(copy[1].DefinedId(), 20001);
    const auto* sp = copy[2].As<SpriteDef>();
    EXPECT_EQ(sp->id, 20002);
    EXPECT_EQ(sp->tags[0].As<PlaceObject>()->characterId, 20000);
    EXPECT_EQ(copy[3].As<FontDef>()->id, 20003);
    EXPECT_EQ(copy[4].As<RawTag>()->data.left(2), QByteArray::fromHex("234e"));  // 20003
    EXPECT_EQ(copy[5].As<EditTextDef>()->id, 20004);
    EXPECT_EQ(copy[5].As<EditTextDef>()->fontId, 20003);
    EXPECT_EQ(copy[6].As<TextDef>()->id, 20005);
    EXPECT_EQ(copy[6].As<TextDef>()->records[0].fontId, 20003);
    const auto* b = copy[7].As<ButtonDef>();
    EXPECT_EQ(b->id, 20006);
    EXPECT_EQ(b->records[0].characterId, 20004);
    EXPECT_EQ(b->records[1].characterId, 20002);
    EXPECT_EQ(copy[8].As<RawTag>()->data.left(2), QByteArray::fromHex("264e"));  // 20006
    EXPECT_EQ(copy[9].As<PlaceObject>()->characterId, 20002);
    EXPECT_EQ(copy[10].As<PlaceObject>()->characterId, 20006);
    EXPECT_EQ(copy[11].As<PlaceObject>()->characterId, 20005);
    EXPECT_EQ(copy[12].As<PlaceObject>()->characterId, 99);  // defined nowhere: unchanged
    EXPECT_EQ(copy[13].As<RemoveObject>()->characterId, 20005);
    EXPECT_EQ(copy[14].As<DoInitAction>()->spriteId, 20002);
    EXPECT_EQ(copy[15].As<RawTag>()->data,
              Bits().u16(2).u16(20002).str("Clip").u16(20006).str("Button").bytes());
    const QByteArray& m = copy[16].As<RawTag>()->data;
    EXPECT_EQ(m.left(2), QByteArray::fromHex("274e"));  // 20007
    EXPECT_EQ(m.mid(10, 2), QByteArray::fromHex("214e"));  // bitmap 20001
}

// The copy of a real movie still reads and writes: a template's tags moved into a new
// movie whose own objects count from 1.
TEST(SwfReader, CopiedTagsWriteIntoNewMovie)
{
    const ReadResult tpl = ReadMovie(WriteMovie(swftest::FeatureMovie()));
    ASSERT_TRUE(tpl.Ok());
    std::vector<Tag> copied = CopyTagsRenumbered(tpl.movie.tags);
    Movie out = tpl.movie;
    out.tags = std::move(copied);
    const ReadResult again = ReadMovie(WriteMovie(out));
    ASSERT_TRUE(again.Ok()) << again.message.toStdString();
    std::set<std::uint16_t> ids;
    for (const Tag& t : again.movie.tags)
        if (auto id = t.DefinedId())
            ids.insert(*id);
    ASSERT_FALSE(ids.empty());
    EXPECT_EQ(*ids.begin(), 20000);
    EXPECT_EQ(*ids.rbegin(), 20000 + ids.size() - 1);
    for (const Tag& t : again.movie.tags) {
        if (const auto* p = t.As<PlaceObject>(); p && p->characterId) {
            EXPECT_TRUE(ids.count(*p->characterId)) << *p->characterId;
        }
    }
}
