#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QTemporaryDir>

#include <zlib.h>

#include <array>
#include <set>

#include "SwfFixtures.h"
#include "movie/SwfGlyphs.h"
#include "movie/SwfModel.h"
#include "movie/SwfReader.h"
#include "movie/SwfStream.h"
#include "movie/SwfWriter.h"

using namespace swf;

namespace {

QByteArray Bytes(std::initializer_list<int> v)
{
    QByteArray out;
    for (int b : v)
        out.append(static_cast<char>(b));
    return out;
}

// Fonts need a GUI application; the player tests in this program make the same kind.
void EnsureGuiApp()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "korvel_movie_tests";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

// Writes one tag and reads it back through its record header.
ReadResult TagRoundTrip(const Tag& t, int version, std::uint16_t* codeOut = nullptr)
{
    const QByteArray bytes = EncodeTag(t, version);
    detail::ByteReader head(bytes);
    const std::uint16_t h = head.U16();
    qint64 length = h & 0x3F;
    if (length == 0x3F)
        length = head.U32();
    EXPECT_EQ(length, bytes.size() - head.Pos());
    if (codeOut)
        *codeOut = h >> 6;
    return ReadTagBody(h >> 6, bytes.mid(head.Pos()), version);
}

}  // namespace

// Bit-packed records must come back exactly, including negative values and zero widths.
TEST(SwfBits, RectMatrixCxformRoundTrip)
{
    const Rect rects[] = {{0, 0, 0, 0}, {0, 11000, 0, 8000}, {-400, 400, -1, 1}, {-(1 << 30), (1 << 30) - 1, 5, -5}};
    const Matrix matrices[] = {Matrix{}, Matrix::Make(2000, -40, 0.3, 0.3, 0), Matrix::Make(-1, 1, 1, 1, 35),
                               Matrix::Make(0, 0, -2, 0.5, 90)};
    ColorTransform tint = ColorTransform::Tint({255, 128, 0, 255});
    ColorTransform alphaOnly;
    alphaOnly.hasMult = true;
    alphaOnly.aMult = 128;
    const ColorTransform cxforms[] = {ColorTransform{}, tint, alphaOnly};

    detail::ByteWriter w;
    for (const Rect& r : rects)
        w.WriteRect(r);
    for (const Matrix& m : matrices)
        w.WriteMatrix(m);
    for (const ColorTransform& c : cxforms)
        w.WriteCxform(c, true);
    const QByteArray bytes = w.Data();

    detail::ByteReader r(bytes);
    for (const Rect& expected : rects)
        EXPECT_EQ(r.ReadRect(), expected);
    for (const Matrix& expected : matrices)
        EXPECT_EQ(r.ReadMatrix(), expected);
    for (const ColorTransform& expected : cxforms)
        EXPECT_EQ(r.ReadCxform(true), expected);
    EXPECT_TRUE(r.Ok());
    EXPECT_TRUE(r.AtEnd());
}

// Scale first, then a clockwise turn on screen (y down), then the translation.
TEST(SwfModel, MatrixMakeAndColorTransform)
{
    const Matrix quarter = Matrix::Make(100, 200, 2.0, 3.0, 90);
    EXPECT_TRUE(quarter.hasRotate);
    EXPECT_EQ(quarter.scaleX, 0);  // 2·cos 90°
    EXPECT_EQ(quarter.scaleY, 0);
    EXPECT_EQ(quarter.rotateSkew0, 2 * 65536);   // x axis turns onto +y
    EXPECT_EQ(quarter.rotateSkew1, -3 * 65536);  // y axis turns onto −x
    // (1, 0) → (tx, ty + 2): down the screen, i.e. clockwise.
    EXPECT_DOUBLE_EQ(1 * quarter.A() + 0 * quarter.C() + quarter.Tx(), 100);
    EXPECT_DOUBLE_EQ(1 * quarter.B() + 0 * quarter.D() + quarter.Ty(), 202);

    const Matrix identity = Matrix::Make(0, 0);
    EXPECT_FALSE(identity.hasScale);
    EXPECT_FALSE(identity.hasRotate);

    EXPECT_EQ(ColorTransform::Tint({10, 20, 30, 255}).Apply({200, 100, 50, 77}), (Rgba{10, 20, 30, 77}));
    ColorTransform half;
    half.hasMult = true;
    half.aMult = 128;
    half.hasAdd = true;
    half.rAdd = 300;
    EXPECT_EQ(half.Apply({0, 0, 0, 200}), (Rgba{255, 0, 0, 100}));
}

// The smallest scene: header, background, one rectangle, its placement, one frame.
// Every byte is stated by hand here from the file format.
TEST(SwfWriter, TinyMovieExactBytes)
{
    MovieBuilder b;
    b.CreateMovie(550, 400, 12, 6);
    b.SetBackgroundColor({0xFF, 0x80, 0x00, 255});
    const auto id = b.AddRectangle(QRectF(0, 0, 100, 50), ShapeStyle::Filled({0x33, 0x66, 0x99, 255}));
    Placement p;
    p.x = 10;
    p.y = 5;
    b.Place(id, p);
    const QByteArray bytes = b.FinishToBytes();

    const QByteArray expected =
        // "FWS", version 6, file length 72
        Bytes({'F', 'W', 'S', 6, 72, 0, 0, 0}) +
        // frame RECT: 15-bit fields 0, 11000, 0, 8000 twips
        Bytes({0x78, 0x00, 0x05, 0x5F, 0x00, 0x00, 0x0F, 0xA0, 0x00}) +
        // frame rate 12.0 (8.8 fixed), 1 frame
        Bytes({0x00, 0x0C, 0x01, 0x00}) +
        // SetBackgroundColor (9), 3 bytes: FF 80 00
        Bytes({0x43, 0x02, 0xFF, 0x80, 0x00}) +
        // DefineShape (2), 29 bytes: id 1
        Bytes({0x9D, 0x00, 0x01, 0x00}) +
        // shape bounds: 12-bit fields 0, 2000, 0, 1000
        Bytes({0x60, 0x00, 0x3E, 0x80, 0x00, 0x1F, 0x40}) +
        // one solid fill 33 66 99, no line styles, 1 fill bit and 0 line bits
        Bytes({0x01, 0x00, 0x33, 0x66, 0x99, 0x00, 0x10}) +
        // style change (line, fill1, fill0, move to 0,0; fill0 0, fill1 1), edges +2000 x,
        // +1000 y, −2000 x, −1000 y, end record
        Bytes({0x3C, 0x0F, 0x43, 0xE8, 0x72, 0xBE, 0x8E, 0x88, 0x30, 0xE5, 0x83, 0x00, 0x00}) +
        // PlaceObject2 (26), 9 bytes: matrix and character, depth 1, character 1,
        // matrix translate 200, 100 twips in 9-bit fields
        Bytes({0x89, 0x06, 0x06, 0x01, 0x00, 0x01, 0x00, 0x12, 0xC8, 0x32, 0x00}) +
        // ShowFrame, End
        Bytes({0x40, 0x00, 0x00, 0x00});
    EXPECT_EQ(bytes.toHex(' '), expected.toHex(' '));
}

// Builder choices that depend on the version and the colours: opaque shapes use
// DefineShape, translucent ones DefineShape3; version 8 starts with FileAttributes; filters
// need PlaceObject3 and are dropped before version 8; device text uses a glyph-less font.
TEST(SwfWriter, BuilderChoosesTagsByVersionAndAlpha)
{
    for (int version : {5, 8}) {
        MovieBuilder b;
        b.CreateMovie(100, 100, 12, version);
        const auto opaque = b.AddCircle({50, 50}, 10, ShapeStyle::Filled({1, 2, 3, 255}));
        const auto translucent = b.AddRectangle(QRectF(0, 0, 5, 5), ShapeStyle::Outlined({1, 2, 3, 255}, 1, {0, 0, 0, 127}));
        TextStyle ts;
        ts.font = QStringLiteral("Verdana");
        ts.bold = true;
        const auto text = b.AddText(QStringLiteral("Hi"), ts);
        Placement p;
        p.filters.push_back(Filter::DropShadow(5, 30, {128, 128, 128, 255}, 5, 5, 1, 5));
        b.Place(opaque, p);
        const Movie& m = b.Finish();
        SCOPED_TRACE(version);

        EXPECT_EQ(m.tags.front().code, version >= 8 ? tcFileAttributes : tcDefineShape);
        EXPECT_EQ(m.FindCharacter(opaque)->code, tcDefineShape);
        EXPECT_EQ(m.FindCharacter(translucent)->code, tcDefineShape3);
        const auto* edit = m.FindCharacter(text.id)->As<EditTextDef>();
        ASSERT_NE(edit, nullptr);
        EXPECT_FALSE(edit->html);
        EXPECT_FALSE(edit->useOutlines);
        EXPECT_EQ(edit->align, 0);
        const auto* font = m.FindCharacter(*edit->fontId)->As<FontDef>();
        ASSERT_NE(font, nullptr);
        EXPECT_TRUE(font->IsDeviceFont());
        EXPECT_EQ(font->name, QStringLiteral("Verdana"));
        EXPECT_TRUE(font->bold);

        const PlaceObject* place = nullptr;
        for (const Tag& t : m.tags)
            if ((place = t.As<PlaceObject>()))
                break;
        ASSERT_NE(place, nullptr);
        EXPECT_EQ(place->placeVersion, version >= 8 ? 3 : 2);
        EXPECT_EQ(place->filters.has_value(), version >= 8);
        EXPECT_EQ(m.tags.back().code, tcEnd);
        EXPECT_EQ(m.header.frameCount, 1);
    }
}

// Depths count from 1 per timeline, ids from 1 per movie; a sprite's timeline ends with
// ShowFrame and End and knows its frame count.
TEST(SwfWriter, DepthsIdsAndSpriteFrames)
{
    MovieBuilder b;
    b.CreateMovie(100, 100, 12, 8);
    const auto a = b.AddRectangle(QRectF(0, 0, 1, 1), ShapeStyle::Filled({}));
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b.Place(a), 1);
    EXPECT_EQ(b.Place(a), 2);
    Timeline s = b.NewSprite();
    EXPECT_EQ(s.Place(a), 1);
    s.ShowFrame();
    s.Place(a);
    const auto sprite = b.DefineSprite(std::move(s));
    EXPECT_EQ(sprite, 2);
    EXPECT_EQ(b.Place(b.WrapInSprite(a)), 3);
    const Movie& m = b.Finish();
    const auto* def = m.FindCharacter(sprite)->As<SpriteDef>();
    ASSERT_NE(def, nullptr);
    EXPECT_EQ(def->frameCount, 2);
    ASSERT_GE(def->tags.size(), 2u);
    EXPECT_EQ(def->tags[def->tags.size() - 2].code, tcShowFrame);
    EXPECT_EQ(def->tags.back().code, tcEnd);
}

// Long edges do not fit one edge record (17 bits at most) and must be split so that the
// outline still ends where it should.
TEST(SwfWriter, LongEdgesAreSplitWithoutDrift)
{
    MovieBuilder b;
    b.CreateMovie(8000, 8000, 12, 8);
    Path p;
    p.MoveTo({0, 0});
    p.LineTo({7000, 10});                    // 140000 twips: needs two records
    p.CurveTo({7000, 7000}, {-3000, 6999});  // control and anchor beyond 17 bits
    p.Close();
    const auto id = b.AddPath(p, ShapeStyle::Filled({1, 2, 3, 255}));
    const QByteArray bytes = b.FinishToBytes();
    const ReadResult r = ReadMovie(bytes);
    ASSERT_TRUE(r.Ok()) << r.message.toStdString();
    const auto* shape = r.movie.FindCharacter(id)->As<ShapeDef>();
    ASSERT_NE(shape, nullptr);
    EXPECT_GT(shape->records.size(), 4u);
    std::int64_t x = 0, y = 0;
    std::vector<std::pair<std::int64_t, std::int64_t>> corners;
    for (const ShapeRecord& rec : shape->records) {
        if (rec.kind == ShapeRecordKind::StyleChange && rec.hasMove) {
            x = rec.moveX;
            y = rec.moveY;
        } else if (rec.kind == ShapeRecordKind::StraightEdge) {
            x += rec.dx;
            y += rec.dy;
        } else if (rec.kind == ShapeRecordKind::CurvedEdge) {
            x += rec.dx + rec.anchorDx;
            y += rec.dy + rec.anchorDy;
        }
        corners.emplace_back(x, y);
    }
    EXPECT_NE(std::find(corners.begin(), corners.end(), std::make_pair<std::int64_t, std::int64_t>(140000, 200)),
              corners.end());
    EXPECT_NE(std::find(corners.begin(), corners.end(), std::make_pair<std::int64_t, std::int64_t>(-60000, 139980)),
              corners.end());
    EXPECT_EQ(corners.back(), (std::pair<std::int64_t, std::int64_t>(0, 0)));
}

// Version 6 and later may be compressed: CWS, the length of the uncompressed file, and a
// zlib stream of everything after the 8-byte header.
TEST(SwfWriter, CompressedMovie)
{
    Movie m = swftest::FeatureMovie();
    const QByteArray plain = WriteMovie(m);
    m.header.compressed = true;
    const QByteArray packed = WriteMovie(m);
    ASSERT_TRUE(packed.startsWith("CWS"));
    EXPECT_EQ(packed.mid(3, 5), plain.mid(3, 5));  // version and uncompressed length
    EXPECT_LT(packed.size(), plain.size());

    QByteArray inflated(plain.size() - 8, Qt::Uninitialized);
    uLongf size = static_cast<uLongf>(inflated.size());
    ASSERT_EQ(uncompress(reinterpret_cast<Bytef*>(inflated.data()), &size,
                         reinterpret_cast<const Bytef*>(packed.constData() + 8), static_cast<uLong>(packed.size() - 8)),
              Z_OK);
    EXPECT_EQ(static_cast<qsizetype>(size), inflated.size());
    EXPECT_EQ(inflated, plain.mid(8));

    // Before version 6 there is no compression.
    m.header.version = 5;
    EXPECT_TRUE(WriteMovie(m).startsWith("FWS"));
}

// The feature movie comes back from the reader exactly as the builder made it.
TEST(SwfWriter, FeatureMovieRoundTrip)
{
    for (bool compressed : {false, true}) {
        Movie m = swftest::FeatureMovie();
        m.header.compressed = compressed;
        const ReadResult r = ReadMovie(WriteMovie(m));
        ASSERT_TRUE(r.Ok()) << r.message.toStdString();
        EXPECT_EQ(r.movie.header, m.header);
        ASSERT_EQ(r.movie.tags.size(), m.tags.size());
        for (size_t i = 0; i < m.tags.size(); ++i)
            EXPECT_EQ(r.movie.tags[i], m.tags[i]) << "tag " << i << " code " << m.tags[i].code;
    }
}

namespace {

ShapeDef RichShape(int version)
{
    ShapeDef s;
    s.id = 7;
    s.shapeVersion = version;
    s.bounds = {-100, 2100, -50, 1050};
    s.edgeBounds = version >= 4 ? Rect{0, 2000, 0, 1000} : s.bounds;
    const std::uint8_t alpha = version >= 3 ? 128 : 255;
    s.fillStyles.push_back(FillStyle::Solid({10, 20, 30, alpha}));
    FillStyle linear;
    linear.type = ftLinearGradient;
    linear.matrix = Matrix::Make(1000, 500, 0.05, 0.05, 45);
    linear.gradient.records = {{0, {255, 0, 0, alpha}}, {128, {0, 255, 0, 255}}, {255, {0, 0, 255, alpha}}};
    s.fillStyles.push_back(linear);
    FillStyle bitmap;
    bitmap.type = ftClippedBitmap;
    bitmap.bitmapId = 3;
    bitmap.matrix = Matrix::Make(0, 0, 20, 20);
    s.fillStyles.push_back(bitmap);
    LineStyle l;
    l.width = 40;
    l.color = {1, 2, 3, alpha};
    if (version >= 4) {
        l.join = 2;
        l.miterLimit = 3 << 8;
        l.endCap = 2;
        l.noHScale = true;
        FillStyle focal;
        focal.type = ftFocalGradient;
        focal.gradient.spreadMode = 1;
        focal.gradient.interpolationMode = 1;
        focal.gradient.focalPoint = -128;
        focal.gradient.records = {{0, {0, 0, 0, 255}}, {255, {255, 255, 255, 0}}};
        l.fill = focal;
        l.color = {};
        l.color.a = 255;
    }
    s.lineStyles.push_back(l);
    ShapeRecord start = ShapeRecord::MoveTo(0, 0);
    start.hasFill0 = true;
    start.fill0 = 2;
    start.hasFill1 = true;
    start.fill1 = 1;
    start.hasLine = true;
    start.line = 1;
    s.records = {start, ShapeRecord::Line(2000, 0), ShapeRecord::Curve(0, 500, -100, 500),
                 ShapeRecord::Line(0, 0), ShapeRecord::Line(-1900, -1000)};
    if (version >= 2) {
        // New styles replace the arrays; the record's own indices refer to the new ones.
        ShapeRecord change = ShapeRecord::MoveTo(-5, 7);
        change.hasNewStyles = true;
        change.newFillStyles = {FillStyle::Solid({9, 9, 9, alpha}), FillStyle::Solid({8, 8, 8, 255}),
                                FillStyle::Solid({7, 7, 7, 255}), FillStyle::Solid({6, 6, 6, 255}),
                                FillStyle::Solid({5, 5, 5, 255})};
        change.hasFill1 = true;
        change.fill1 = 3;  // written with the old arrays' width (2 bits)
        s.records.push_back(change);
        ShapeRecord pick;
        pick.hasFill0 = true;
        pick.fill0 = 5;  // needs 3 bits, the width the new arrays announce
        s.records.push_back(pick);
        s.records.push_back(ShapeRecord::Line(0, 77));
        s.records.push_back(ShapeRecord::Line(-77, 0));
    }
    return s;
}

}  // namespace

// Every shape version with every kind of style survives writing and reading, including
// new styles in the middle of a shape and both fill sides.
TEST(SwfWriter, ShapeVersionsRoundTrip)
{
    for (int version = 1; version <= 4; ++version) {
        SCOPED_TRACE(version);
        const Tag t = Tag::Make(RichShape(version));
        std::uint16_t code = 0;
        const ReadResult r = TagRoundTrip(t, 8, &code);
        EXPECT_EQ(code, (std::array<int, 4>{2, 22, 32, 83}[version - 1]));
        ASSERT_TRUE(r.Ok()) << r.message.toStdString();
        EXPECT_EQ(r.movie.tags.front(), t);
    }
}

// Placement, button, text, font, label and action tags of both older and newer kinds.
TEST(SwfWriter, ControlAndDefinitionTagsRoundTrip)
{
    std::vector<Tag> tags;
    PlaceObject full;
    full.placeVersion = 2;
    full.depth = 300;
    full.move = true;
    full.characterId = 12;
    full.matrix = Matrix::Make(-20, 40, 1.5, -0.25, 30);
    full.colorTransform = ColorTransform::Tint({1, 2, 3, 4});
    full.colorTransform->aAdd = -255;
    full.ratio = 65535;
    full.name = QStringLiteral("Fill_Name ü");
    full.clipDepth = 301;
    ClipActionRecord key;
    key.events = ceKeyPress | ceKeyDown;
    key.keyCode = 13;
    key.actions = StopActions();
    full.clipActions = {FSCommandClipAction(ceRollOver | ceDragOut, QStringLiteral("CM_01"), QStringLiteral("x")), key};
    tags.push_back(Tag::Make(full));

    PlaceObject three = full;
    three.placeVersion = 3;
    three.className = QStringLiteral("Clip");
    Filter blur;
    blur.type = fiBlur;
    blur.raw = QByteArray("\x00\x00\x05\x00\x00\x00\x05\x00\x08", 9);
    three.filters = std::vector<Filter>{Filter::DropShadow(4, 45, {0, 0, 0, 128}, 4, 4, 1, 3), blur};
    three.blendMode = 3;
    three.bitmapCache = 1;
    tags.push_back(Tag::Make(three));

    PlaceObject one;
    one.placeVersion = 1;
    one.depth = 2;
    one.characterId = 9;
    one.matrix = Matrix::Make(5, 6);
    one.colorTransform = ColorTransform::Tint({1, 2, 3, 255});
    one.colorTransform->aMult = 256;  // not stored without alpha
    one.colorTransform->aAdd = 0;
    tags.push_back(Tag::Make(one));
    tags.push_back(Tag::Make(RemoveObject{1, 9, 2}));
    tags.push_back(Tag::Make(RemoveObject{2, 0, 300}));

    ButtonDef b2;
    b2.id = 20;
    b2.trackAsMenu = true;
    ButtonRecord rec;
    rec.states = bsUp | bsHitTest;
    rec.characterId = 3;
    rec.depth = 1;
    rec.matrix = Matrix::Make(10, 10);
    rec.colorTransform = ColorTransform::Tint({9, 9, 9, 9});
    rec.filters = std::vector<Filter>{Filter::DropShadow(1, 2, {}, 3, 4, 1, 1)};
    rec.blendMode = 2;
    b2.records = {rec};
    b2.actions = {{bcOverDownToOverUp, FSCommandActions(QStringLiteral("CM_03"), QStringLiteral("#C1_0001"))},
                  {static_cast<std::uint16_t>(bcIdleToOverUp | (65 << 9)), PlayActions()}};
    tags.push_back(Tag::Make(b2));
    ButtonDef b1;
    b1.id = 21;
    b1.buttonVersion = 1;
    ButtonRecord rec1;
    rec1.states = bsDown;
    rec1.characterId = 4;
    rec1.depth = 2;
    b1.records = {rec1};
    b1.actions = {{bcOverDownToOverUp, StopActions()}};
    tags.push_back(Tag::Make(b1));

    EditTextDef edit;
    edit.id = 30;
    edit.bounds = {-40, 4000, 0, 600};
    edit.fontId = 31;
    edit.fontHeight = 400;
    edit.color = Rgba{255, 0, 0, 50};
    edit.maxLength = 12;
    edit.hasLayout = true;
    edit.align = 2;
    edit.leftMargin = 1;
    edit.rightMargin = 2;
    edit.indent = 3;
    edit.leading = -4;
    edit.variableName = QStringLiteral("v");
    edit.initialText = QStringLiteral("Grüße 时间");
    edit.wordWrap = edit.multiline = edit.border = edit.html = true;
    tags.push_back(Tag::Make(edit));

    FontDef font;
    font.id = 31;
    font.fontVersion = 2;
    font.name = QStringLiteral("Trebuchet MS");
    font.bold = font.italic = true;
    font.languageCode = 1;
    Glyph square;
    ShapeRecord m = ShapeRecord::MoveTo(0, -800);
    m.hasFill1 = true;
    m.fill1 = 1;
    square.records = {m, ShapeRecord::Line(600, 0), ShapeRecord::Line(0, 800), ShapeRecord::Curve(-300, 0, -300, -800)};
    font.glyphs = {square, Glyph{}};
    font.codes = {'A', 0x65E5};
    font.hasLayout = true;
    font.ascent = 900;
    font.descent = 200;
    font.leading = -10;
    font.advances = {640, 300};
    font.glyphBounds = {{0, 600, -800, 0}, {}};
    font.kerning = {{'A', 0x65E5, -20}};
    tags.push_back(Tag::Make(font));
    FontDef font3 = font;
    font3.id = 32;
    font3.fontVersion = 3;
    tags.push_back(Tag::Make(font3));
    FontDef font1;
    font1.id = 33;
    font1.fontVersion = 1;
    font1.glyphs = {square, square};
    font1.wideCodes = true;
    tags.push_back(Tag::Make(font1));
    FontDef device;
    device.id = 34;
    device.name = QStringLiteral("Verdana");
    tags.push_back(Tag::Make(device));

    TextDef text;
    text.id = 40;
    text.textVersion = 2;
    text.bounds = {0, 1000, -800, 200};
    text.matrix = Matrix::Make(0, 0);
    TextRecord tr;
    tr.fontId = 31;
    tr.textHeight = 240;
    tr.color = Rgba{1, 2, 3, 4};
    tr.xOffset = -5;
    tr.yOffset = 200;
    for (int i = 0; i < 300; ++i)  // more than one record holds
        tr.glyphs.push_back({static_cast<std::uint32_t>(i % 2), 120 - i % 7});
    text.records = {tr};
    const Tag textTag = Tag::Make(text);
    tags.push_back(Tag::Make(FrameLabel{QStringLiteral("ColorHarmonies"), true}));
    tags.push_back(Tag::Make(DoAction{GetClipNameActions(false)}));
    tags.push_back(Tag::Make(DoInitAction{21, StopActions()}));
    tags.push_back(Tag::Make(FileAttributes{0x08}));
    Tag unknown;
    unknown.code = 777;
    unknown.body = RawTag{QByteArray(100, 'x')};
    tags.push_back(unknown);

    for (const Tag& t : tags) {
        SCOPED_TRACE(t.code);
        const ReadResult r = TagRoundTrip(t, 8);
        ASSERT_TRUE(r.Ok()) << r.message.toStdString();
        EXPECT_EQ(r.movie.tags.front(), t);
    }

    // Static text: a record of 300 glyphs is written as two records that continue one
    // another, the second without style fields.
    const ReadResult r = TagRoundTrip(textTag, 8);
    ASSERT_TRUE(r.Ok()) << r.message.toStdString();
    const auto* back = r.movie.tags.front().As<TextDef>();
    ASSERT_NE(back, nullptr);
    ASSERT_EQ(back->records.size(), 2u);
    EXPECT_EQ(back->records[0].glyphs.size(), 255u);
    EXPECT_EQ(back->records[1].glyphs.size(), 45u);
    EXPECT_FALSE(back->records[1].fontId.has_value());
    EXPECT_EQ(back->records[0].color, tr.color);
}

// Strings follow the version: UTF-8 from version 6, the Windows code page before, with
// text the code page cannot hold kept as UTF-8 rather than lost.
TEST(SwfWriter, StringEncodingByVersion)
{
    const QString german = QStringLiteral("Grüße €");
    const QString chinese = QStringLiteral("时间");
    EXPECT_EQ(detail::EncodeString(german, 8), german.toUtf8());
    EXPECT_EQ(detail::EncodeString(german, 5), QByteArray("Gr\xFC\xDF" "e \x80"));
    EXPECT_EQ(detail::EncodeString(chinese, 5), chinese.toUtf8());
    for (int version : {5, 8})
        for (const QString& s : {german, chinese, QStringLiteral("#SW_0003_#FF8000")})
            EXPECT_EQ(detail::DecodeString(detail::EncodeString(s, version), version), s);
}

// Save replaces the file as a whole; a file that cannot be written is reported and
// leaves nothing behind.
TEST(SwfWriter, SaveToFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString name = dir.filePath(QStringLiteral("Szene ü 时间.swf"));
    const Movie m = swftest::FeatureMovie();
    QString error;
    ASSERT_TRUE(SaveMovie(m, name, &error)) << error.toStdString();
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), WriteMovie(m));

    const QString missing = dir.filePath(QStringLiteral("no such folder/x.swf"));
    EXPECT_FALSE(SaveMovie(m, missing, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(missing));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);

    // The helper tests of the player can also play what we write; a copy for the
    // independent player is left where KORVEL_SWF_DUMP_DIR points.
    const QByteArray dumpDir = qgetenv("KORVEL_SWF_DUMP_DIR");
    if (!dumpDir.isEmpty()) {
        // With the system's fonts the turned and faded texts become outlines.
        EnsureGuiApp();
        EXPECT_TRUE(SaveMovie(swftest::FeatureMovie(true), QString::fromLocal8Bit(dumpDir) + "/feature.swf"));
        EXPECT_TRUE(SaveMovie(swftest::FeatureMovie(false), QString::fromLocal8Bit(dumpDir) + "/feature_simple.swf"));
        EXPECT_TRUE(SaveMovie(swftest::FeatureMovie(true, QStringLiteral("Liberation Sans")),
                              QString::fromLocal8Bit(dumpDir) + "/feature_liberation.swf"));
        EXPECT_TRUE(SaveMovie(swftest::FeatureMovie(true, QString(), true),
                              QString::fromLocal8Bit(dumpDir) + "/feature_outlines.swf"));
        Movie packed = swftest::FeatureMovie(true);
        packed.header.compressed = true;
        EXPECT_TRUE(SaveMovie(packed, QString::fromLocal8Bit(dumpDir) + "/feature_cws.swf"));
        MovieBuilder v5;
        v5.CreateMovie(300, 200, 12, 5);
        v5.SetBackgroundColor({255, 255, 255, 255});
        TextStyle ts;
        ts.font = QStringLiteral("Trebuchet MS");
        ts.size = 40;
        ts.color = {255, 0, 0, 50};
        ts.centred = true;
        const TextInfo t = v5.AddText(QStringLiteral("frmPptBlank loaded"), ts);
        Placement p;
        p.x = 150;
        p.y = (200 - t.box.height()) / 2;
        p.rotation = 35;
        v5.Place(t.id, p);
        EXPECT_TRUE(v5.FinishToFile(QString::fromLocal8Bit(dumpDir) + "/default_v5.swf"));
    }
}

namespace {

// A font of squares: every character is a 600-unit box with a 200-unit hole, whose
// outline runs clockwise on screen and whose hole runs the other way.
bool SquareFont(const QString&, bool, const QString& characters, OutlineFont& font)
{
    font.ascent = 900;
    font.descent = 250;
    font.leading = 30;
    for (QChar c : characters) {
        OutlineGlyph g;
        g.advance = 640;
        if (!c.isSpace()) {
            g.path = Path::Rectangle(QRectF(20, -700, 600, 700));
            g.path.MoveTo({220, -300});
            g.path.LineTo({420, -300});
            g.path.LineTo({420, -500});
            g.path.LineTo({220, -500});
            g.path.Close();
        }
        font.glyphs[c.unicode()] = g;
    }
    return true;
}

const FontDef* FontOf(const Movie& m, const EditTextDef& e)
{
    return e.fontId ? m.FindCharacter(*e.fontId)->As<FontDef>() : nullptr;
}

}  // namespace

// Players draw device text upright and opaque only, so turned, translucent and asked-for
// texts get embedded outlines; upright opaque texts stay device text. The outline font
// keeps the family name, holds the characters of its texts in code order, and comes
// before its first text; a device font nobody uses any more is dropped.
TEST(SwfWriter, TurnedAndTranslucentTextsGetOutlines)
{
    MovieBuilder b;
    b.CreateMovie(400, 300, 12, 5);
    b.SetGlyphSource(SquareFont);
    TextStyle trebuchet;
    trebuchet.font = QStringLiteral("Trebuchet MS");
    const TextInfo turned = b.AddText(QStringLiteral("dcb a"), trebuchet);
    const TextInfo upright = b.AddText(QStringLiteral("upright"), trebuchet);
    TextStyle verdana;
    verdana.font = QStringLiteral("Verdana");
    verdana.color = {255, 0, 0, 50};
    const TextInfo faded = b.AddText(QStringLiteral("xy"), verdana);
    TextStyle asked = trebuchet;
    asked.bold = true;
    asked.embedOutlines = true;
    const TextInfo forced = b.AddText(QStringLiteral("e"), asked);
    Placement turn;
    turn.rotation = 35;
    b.Place(turned.id, turn);
    b.Place(upright.id);
    b.Place(faded.id);
    b.Place(forced.id);
    const Movie m = b.Finish();

    auto edit = [&](std::uint16_t id) { return m.FindCharacter(id)->As<EditTextDef>(); };
    const FontDef* turnedFont = FontOf(m, *edit(turned.id));
    ASSERT_NE(turnedFont, nullptr);
    EXPECT_TRUE(edit(turned.id)->useOutlines);
    EXPECT_FALSE(turnedFont->IsDeviceFont());
    EXPECT_EQ(turnedFont->name, QStringLiteral("Trebuchet MS"));
    EXPECT_EQ(turnedFont->codes, (std::vector<std::uint16_t>{' ', 'a', 'b', 'c', 'd'}));
    EXPECT_TRUE(turnedFont->hasLayout);
    EXPECT_EQ(turnedFont->ascent, 900);
    EXPECT_EQ(turnedFont->advances, (std::vector<std::int16_t>(5, 640)));
    EXPECT_TRUE(turnedFont->glyphs[0].records.empty());  // the space

    // The field grows to hold the glyphs' advances (the estimate was narrower).
    EXPECT_EQ(edit(turned.id)->bounds.xMin, 0);
    EXPECT_EQ(edit(turned.id)->bounds.Width(), 5 * 640 * 240 / 1024 + 4 * 20);
    EXPECT_FALSE(edit(upright.id)->useOutlines);
    EXPECT_TRUE(FontOf(m, *edit(upright.id))->IsDeviceFont());
    EXPECT_TRUE(edit(faded.id)->useOutlines);
    EXPECT_EQ(FontOf(m, *edit(faded.id))->name, QStringLiteral("Verdana"));
    EXPECT_TRUE(edit(forced.id)->useOutlines);
    EXPECT_TRUE(FontOf(m, *edit(forced.id))->bold);

    // Players ignore a text colour's alpha: the placement's colour transform carries it.
    for (const Tag& t : m.tags) {
        if (const auto* p = t.As<PlaceObject>()) {
            if (p->characterId == faded.id) {
                ASSERT_TRUE(p->colorTransform.has_value());
                EXPECT_EQ(p->colorTransform->aMult, 50);  // 50/255 in 8.8
                EXPECT_EQ(p->colorTransform->rMult, 256);
            } else {
                EXPECT_FALSE(p->colorTransform.has_value());
            }
        }
    }
    EXPECT_EQ(edit(faded.id)->color, (Rgba{255, 0, 0, 50}));

    // Each font tag comes before the texts that use it; the Verdana device font is gone.
    std::set<std::uint16_t> defined;
    int deviceFonts = 0;
    for (const Tag& t : m.tags) {
        if (const auto* e = t.As<EditTextDef>()) {
            EXPECT_TRUE(defined.count(*e->fontId)) << e->id;
        }
        if (const auto* f = t.As<FontDef>()) {
            deviceFonts += f->IsDeviceFont();
            EXPECT_FALSE(f->IsDeviceFont() && f->name == QStringLiteral("Verdana"));
        }
        if (auto id = t.DefinedId())
            defined.insert(*id);
    }
    EXPECT_EQ(deviceFonts, 1);  // Trebuchet MS for the upright text

    // A glyph and its hole fill on one side: the side the outer, clockwise outline fills.
    const Glyph& a = turnedFont->glyphs[1];
    ASSERT_FALSE(a.records.empty());
    EXPECT_TRUE(a.records[0].hasFill1 && a.records[0].fill1 == 1 && a.records[0].fill0 == 0);
    EXPECT_FALSE(a.records[0].hasLine);
    int moves = 0;
    for (const ShapeRecord& r : a.records) {
        if (r.kind == ShapeRecordKind::StyleChange && r.hasMove && ++moves > 1) {
            EXPECT_FALSE(r.hasFill0 || r.hasFill1);
        }
    }
    EXPECT_EQ(moves, 2);

    const ReadResult back = ReadMovie(WriteMovie(m));
    ASSERT_TRUE(back.Ok()) << back.message.toStdString();
    EXPECT_EQ(back.movie.tags, m.tags);
}

// Without outlines to be had the text stays device text rather than vanish.
TEST(SwfWriter, TextStaysDeviceTextWithoutOutlines)
{
    MovieBuilder b;
    b.CreateMovie(100, 100, 12, 8);
    b.SetGlyphSource([](const QString&, bool, const QString&, OutlineFont&) { return false; });
    TextStyle s;
    s.color = {0, 0, 0, 10};
    const TextInfo t = b.AddText(QStringLiteral("x"), s);
    const Movie& m = b.Finish();
    const auto* e = m.FindCharacter(t.id)->As<EditTextDef>();
    EXPECT_FALSE(e->useOutlines);
    EXPECT_TRUE(FontOf(m, *e)->IsDeviceFont());
}

// A shape outline fills its inside whichever way it runs: clockwise outlines (on screen)
// with fill style 1 on their right, anticlockwise ones with fill style 0 on their left.
TEST(SwfWriter, FillSideFollowsOutlineDirection)
{
    MovieBuilder b;
    b.CreateMovie(100, 100, 12, 8);
    Path twoWays = Path::Polygon({{0, 0}, {10, 0}, {10, 10}});          // clockwise
    twoWays.MoveTo({50, 50});
    twoWays.LineTo({50, 60});
    twoWays.LineTo({60, 60});                                           // anticlockwise
    twoWays.Close();
    const auto id = b.AddPath(twoWays, ShapeStyle::Outlined({1, 2, 3, 255}, 1, {0, 0, 0, 255}));
    const auto* s = b.Finish().FindCharacter(id)->As<ShapeDef>();
    std::vector<const ShapeRecord*> moves;
    for (const ShapeRecord& r : s->records)
        if (r.hasMove)
            moves.push_back(&r);
    ASSERT_EQ(moves.size(), 2u);
    EXPECT_EQ(std::make_pair(moves[0]->fill0, moves[0]->fill1), std::make_pair(0u, 1u));
    EXPECT_EQ(std::make_pair(moves[1]->fill0, moves[1]->fill1), std::make_pair(1u, 0u));
    EXPECT_TRUE(moves[0]->hasLine && moves[0]->line == 1);
}

// The system's fonts through Qt: quadratic outlines at 1024 units to the em, an 'o' with
// its counter as a second outline, advances and vertical metrics; a rotated text of a
// builder with no source of its own then embeds them.
TEST(SwfGlyphs, OutlinesFromSystemFonts)
{
    EnsureGuiApp();
    if (QFontDatabase::families().isEmpty())
        GTEST_SKIP() << "no fonts installed";
    OutlineFont font;
    ASSERT_TRUE(QtGlyphSource()(QStringLiteral("DejaVu Sans"), false, QStringLiteral("oI "), font));
    ASSERT_EQ(font.glyphs.size(), 3u);
    EXPECT_GT(font.ascent, 500);
    EXPECT_GT(font.descent, 100);
    auto subpaths = [](const Path& p) {
        return std::count_if(p.Items().begin(), p.Items().end(), [](const Path::Item& i) { return i.kind == Path::Item::Move; });
    };
    EXPECT_EQ(subpaths(font.glyphs['o'].path), 2);
    EXPECT_EQ(subpaths(font.glyphs['I'].path), 1);
    EXPECT_TRUE(font.glyphs[' '].path.IsEmpty());
    EXPECT_GT(font.glyphs[' '].advance, 100);
    // Above the baseline, but for the overshoot of round letters.
    for (const Path::Item& i : font.glyphs['o'].path.Items())
        EXPECT_TRUE(i.point.y() < 40 && i.point.y() > -1024) << i.point.y();

    MovieBuilder b;
    b.CreateMovie(400, 300, 12, 5);
    TextStyle s;
    s.font = QStringLiteral("Trebuchet MS");  // whatever the system puts in its place
    s.size = 40;
    const TextInfo t = b.AddText(QStringLiteral("loaded"), s);
    Placement p;
    p.rotation = 35;
    b.Place(t.id, p);
    const Movie& m = b.Finish();
    const auto* e = m.FindCharacter(t.id)->As<EditTextDef>();
    EXPECT_TRUE(e->useOutlines);
    const auto* f = FontOf(m, *e);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->name, QStringLiteral("Trebuchet MS"));
    EXPECT_EQ(f->glyphs.size(), 5u);  // l o a d e
}
