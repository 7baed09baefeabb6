#include "movie/SwfModel.h"

#include "movie/SwfStream.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>

namespace swf {

namespace {

std::int32_t ToFixed16(double v)
{
    return static_cast<std::int32_t>(std::clamp(std::nearbyint(v * 65536.0), -2147483648.0, 2147483647.0));
}

std::uint8_t ClampChannel(int v) { return static_cast<std::uint8_t>(std::clamp(v, 0, 255)); }

}  // namespace

Matrix Matrix::Make(std::int32_t txTwips, std::int32_t tyTwips, double sx, double sy, double rotationDeg)
{
    const double rad = rotationDeg * std::numbers::pi / 180.0;
    double cs = std::cos(rad);
    double sn = std::sin(rad);
    // Whole quarter turns should give exact zeros, not 1e-17.
    if (std::abs(cs) < 1e-12)
        cs = 0.0;
    if (std::abs(sn) < 1e-12)
        sn = 0.0;
    Matrix m;
    m.scaleX = ToFixed16(sx * cs);
    m.scaleY = ToFixed16(sy * cs);
    m.rotateSkew0 = ToFixed16(sx * sn);
    m.rotateSkew1 = ToFixed16(-sy * sn);
    m.hasScale = m.scaleX != 65536 || m.scaleY != 65536;
    m.hasRotate = m.rotateSkew0 != 0 || m.rotateSkew1 != 0;
    if (!m.hasScale)
        m.scaleX = m.scaleY = 65536;
    m.translateX = txTwips;
    m.translateY = tyTwips;
    return m;
}

Rgba ColorTransform::Apply(Rgba c) const
{
    Rgba out = c;
    if (hasMult) {
        out.r = ClampChannel((c.r * rMult) >> 8);
        out.g = ClampChannel((c.g * gMult) >> 8);
        out.b = ClampChannel((c.b * bMult) >> 8);
        out.a = ClampChannel((c.a * aMult) >> 8);
    }
    if (hasAdd) {
        out.r = ClampChannel(out.r + rAdd);
        out.g = ClampChannel(out.g + gAdd);
        out.b = ClampChannel(out.b + bAdd);
        out.a = ClampChannel(out.a + aAdd);
    }
    return out;
}

ColorTransform ColorTransform::Tint(Rgba color)
{
    ColorTransform cx;
    cx.hasMult = true;
    cx.rMult = cx.gMult = cx.bMult = 0;
    cx.aMult = 256;
    cx.hasAdd = true;
    cx.rAdd = color.r;
    cx.gAdd = color.g;
    cx.bAdd = color.b;
    cx.aAdd = 0;
    return cx;
}

ShapeRecord ShapeRecord::MoveTo(std::int32_t x, std::int32_t y)
{
    ShapeRecord r;
    r.kind = ShapeRecordKind::StyleChange;
    r.hasMove = true;
    r.moveX = x;
    r.moveY = y;
    return r;
}

ShapeRecord ShapeRecord::Line(std::int32_t dx, std::int32_t dy)
{
    ShapeRecord r;
    r.kind = ShapeRecordKind::StraightEdge;
    r.dx = dx;
    r.dy = dy;
    return r;
}

ShapeRecord ShapeRecord::Curve(std::int32_t cdx, std::int32_t cdy, std::int32_t adx, std::int32_t ady)
{
    ShapeRecord r;
    r.kind = ShapeRecordKind::CurvedEdge;
    r.dx = cdx;
    r.dy = cdy;
    r.anchorDx = adx;
    r.anchorDy = ady;
    return r;
}

Filter Filter::DropShadow(double distance, double angleDeg, Rgba color, double blurX, double blurY,
                          double strength, int quality)
{
    Filter f;
    f.type = fiDropShadow;
    f.color = color;
    f.blurX = ToFixed16(blurX);
    f.blurY = ToFixed16(blurY);
    f.angle = ToFixed16(angleDeg * std::numbers::pi / 180.0);
    f.distance = ToFixed16(distance);
    f.strength = static_cast<std::int16_t>(std::clamp(std::nearbyint(strength * 256.0), -32768.0, 32767.0));
    f.innerShadow = false;
    f.knockout = false;
    f.compositeSource = true;
    f.passes = static_cast<std::uint8_t>(std::clamp(quality, 0, 31));
    return f;
}

namespace {

// Raw tags that define a character with its identifier in their first two bytes.
bool IsRawDefinition(std::uint16_t code)
{
    switch (code) {
    case tcDefineShape: case tcDefineShape2: case tcDefineShape3: case tcDefineShape4:
    case tcDefineBits: case tcDefineBitsJPEG2: case tcDefineBitsJPEG3: case tcDefineBitsJPEG4:
    case tcDefineBitsLossless: case tcDefineBitsLossless2:
    case tcDefineButton: case tcDefineButton2:
    case tcDefineFont: case tcDefineFont2: case tcDefineFont3: case tcDefineFont4:
    case tcDefineText: case tcDefineText2: case tcDefineEditText:
    case tcDefineSound: case tcDefineSprite:
    case tcDefineMorphShape: case tcDefineMorphShape2:
    case tcDefineVideoStream: case tcDefineBinaryData:
        return true;
    default:
        return false;
    }
}

// Raw tags whose first two bytes refer to a character defined elsewhere.
bool IsRawReferenceAtStart(std::uint16_t code)
{
    switch (code) {
    case tcDefineFontInfo: case tcDefineFontInfo2: case tcDefineFontAlignZones: case tcDefineFontName:
    case tcCSMTextSettings: case tcDefineScalingGrid: case tcDefineButtonCxform: case tcStartSound:
    case tcVideoFrame: case tcPlaceObject: case tcRemoveObject: case tcDoInitAction: case tcDefineButtonSound:
        return true;
    default:
        return false;
    }
}

std::uint16_t GetU16(const QByteArray& b, qsizetype pos)
{
    return static_cast<std::uint16_t>(static_cast<unsigned char>(b[pos]) |
                                      (static_cast<unsigned char>(b[pos + 1]) << 8));
}

void PutU16(QByteArray& b, qsizetype pos, std::uint16_t v)
{
    b[pos] = static_cast<char>(v & 0xFF);
    b[pos + 1] = static_cast<char>(v >> 8);
}

// Positions of the (id, name) pairs of ExportAssets, SymbolClass and the import tags.
std::vector<qsizetype> AssetIdPositions(std::uint16_t code, const QByteArray& data)
{
    std::vector<qsizetype> out;
    detail::ByteReader r(data);
    if (code == tcImportAssets || code == tcImportAssets2) {
        r.CString();
        if (code == tcImportAssets2)
            r.Skip(2);
    }
    const std::uint16_t count = r.U16();
    for (int i = 0; i < count && r.Ok(); ++i) {
        const qsizetype pos = r.Pos();
        r.U16();
        r.CString();
        if (r.Ok())
            out.push_back(pos);
    }
    return out;
}

// Positions of the bitmap identifiers inside a morph shape's fill and line styles.
std::vector<qsizetype> MorphBitmapPositions(std::uint16_t code, const QByteArray& data)
{
    std::vector<qsizetype> out;
    detail::ByteReader r(data);
    r.U16();
    r.ReadRect();
    r.ReadRect();
    if (code == tcDefineMorphShape2) {
        r.ReadRect();
        r.ReadRect();
        r.U8();
    }
    r.U32();
    auto fillStyle = [&]() {
        const std::uint8_t type = r.U8();
        if (type == ftSolid) {
            r.Skip(8);
        } else if (type >= 0x10 && type <= 0x13) {
            r.ReadMatrix();
            r.ReadMatrix();
            const int n = r.U8() & 0x0F;
            r.Skip(n * 10);
            if (type == ftFocalGradient)
                r.Skip(4);
        } else if (type >= 0x40 && type <= 0x43) {
            const qsizetype pos = r.Pos();
            r.U16();
            r.ReadMatrix();
            r.ReadMatrix();
            if (r.Ok())
                out.push_back(pos);
        } else {
            r.Fail(QStringLiteral("unknown fill style"));
        }
    };
    int fills = r.U8();
    if (fills == 0xFF)
        fills = r.U16();
    for (int i = 0; i < fills && r.Ok(); ++i)
        fillStyle();
    int lines = r.U8();
    if (lines == 0xFF)
        lines = r.U16();
    for (int i = 0; i < lines && r.Ok(); ++i) {
        if (code == tcDefineMorphShape) {
            r.Skip(12);
            continue;
        }
        r.Skip(4);
        const std::uint8_t b1 = r.U8();
        r.U8();
        const bool hasFill = (b1 & 0x08) != 0;
        if (((b1 >> 4) & 3) == 2)
            r.U16();
        if (hasFill)
            fillStyle();
        else
            r.Skip(8);
    }
    return out;
}

// Positions of the sound identifiers of DefineButtonSound (after the button id).
std::vector<qsizetype> ButtonSoundPositions(const QByteArray& data)
{
    std::vector<qsizetype> out;
    detail::ByteReader r(data);
    r.U16();
    for (int i = 0; i < 4 && r.Ok() && !r.AtEnd(); ++i) {
        const qsizetype pos = r.Pos();
        const std::uint16_t sound = r.U16();
        if (!r.Ok())
            break;
        out.push_back(pos);
        if (sound == 0)
            continue;
        const std::uint8_t flags = r.U8();
        if (flags & 0x01)
            r.U32();
        if (flags & 0x02)
            r.U32();
        if (flags & 0x04)
            r.U16();
        if (flags & 0x08) {
            const int points = r.U8();
            r.Skip(points * 8);
        }
    }
    return out;
}

class Renumberer {
public:
    explicit Renumberer(std::uint16_t firstId) : FNext(firstId) {}

    void Collect(const std::vector<Tag>& tags)
    {
        for (const Tag& t : tags) {
            if (const auto* raw = t.As<RawTag>();
                raw && (t.code == tcImportAssets || t.code == tcImportAssets2)) {
                for (qsizetype pos : AssetIdPositions(t.code, raw->data))
                    Assign(GetU16(raw->data, pos));
            } else if (auto id = t.DefinedId()) {
                Assign(*id);
            }
            if (const auto* sprite = t.As<SpriteDef>())
                Collect(sprite->tags);
        }
    }

    void Apply(std::vector<Tag>& tags) const
    {
        for (Tag& t : tags)
            Apply(t);
    }

    std::uint16_t Next() const { return FNext; }

private:
    void Assign(std::uint16_t oldId)
    {
        FMap[oldId] = FNext;
        // Identifiers are 16-bit; a movie with more characters than fit wraps, which no
        // real template comes near.
        FNext = static_cast<std::uint16_t>(FNext + 1);
    }

    void Map(std::uint16_t& id) const
    {
        auto it = FMap.find(id);
        if (it != FMap.end())
            id = it->second;
    }

    void MapAt(QByteArray& data, qsizetype pos) const
    {
        if (pos < 0 || pos + 2 > data.size())
            return;
        std::uint16_t id = GetU16(data, pos);
        Map(id);
        PutU16(data, pos, id);
    }

    void MapFill(FillStyle& f) const
    {
        if (f.IsBitmap())
            Map(f.bitmapId);
    }

    void MapFills(std::vector<FillStyle>& fills, std::vector<LineStyle>& lines) const
    {
        for (FillStyle& f : fills)
            MapFill(f);
        for (LineStyle& l : lines)
            if (l.fill)
                MapFill(*l.fill);
    }

    void Apply(Tag& t) const
    {
        std::visit(
            [&](auto& body) {
                using T = std::decay_t<decltype(body)>;
                if constexpr (std::is_same_v<T, RawTag>) {
                    ApplyRaw(t.code, body.data);
                } else if constexpr (std::is_same_v<T, ShapeDef>) {
                    Map(body.id);
                    MapFills(body.fillStyles, body.lineStyles);
                    for (ShapeRecord& rec : body.records)
                        MapFills(rec.newFillStyles, rec.newLineStyles);
                } else if constexpr (std::is_same_v<T, SpriteDef>) {
                    Map(body.id);
                    Apply(body.tags);
                } else if constexpr (std::is_same_v<T, EditTextDef>) {
                    Map(body.id);
                    if (body.fontId)
                        Map(*body.fontId);
                } else if constexpr (std::is_same_v<T, TextDef>) {
                    Map(body.id);
                    for (TextRecord& rec : body.records)
                        if (rec.fontId)
                            Map(*rec.fontId);
                } else if constexpr (std::is_same_v<T, FontDef>) {
                    Map(body.id);
                } else if constexpr (std::is_same_v<T, ButtonDef>) {
                    Map(body.id);
                    for (ButtonRecord& rec : body.records)
                        Map(rec.characterId);
                } else if constexpr (std::is_same_v<T, PlaceObject>) {
                    if (body.characterId)
                        Map(*body.characterId);
                } else if constexpr (std::is_same_v<T, RemoveObject>) {
                    if (body.removeVersion == 1)
                        Map(body.characterId);
                } else if constexpr (std::is_same_v<T, DoInitAction>) {
                    Map(body.spriteId);
                }
            },
            t.body);
    }

    void ApplyRaw(std::uint16_t code, QByteArray& data) const
    {
        if (IsRawDefinition(code) || IsRawReferenceAtStart(code))
            MapAt(data, 0);
        switch (code) {
        case tcExportAssets: case tcSymbolClass: case tcImportAssets: case tcImportAssets2:
            for (qsizetype pos : AssetIdPositions(code, data))
                MapAt(data, pos);
            break;
        case tcDefineMorphShape: case tcDefineMorphShape2:
            for (qsizetype pos : MorphBitmapPositions(code, data))
                MapAt(data, pos);
            break;
        case tcDefineButtonSound:
            for (qsizetype pos : ButtonSoundPositions(data))
                MapAt(data, pos);
            break;
        default:
            break;
        }
    }

    std::uint16_t FNext;
    std::map<std::uint16_t, std::uint16_t> FMap;
};

}  // namespace

std::uint16_t Tag::WriteCode() const
{
    return std::visit(
        [&](const auto& b) -> std::uint16_t {
            using T = std::decay_t<decltype(b)>;
            if constexpr (std::is_same_v<T, RawTag>) {
                return code;
            } else if constexpr (std::is_same_v<T, End>) {
                return tcEnd;
            } else if constexpr (std::is_same_v<T, ShowFrame>) {
                return tcShowFrame;
            } else if constexpr (std::is_same_v<T, SetBackgroundColor>) {
                return tcSetBackgroundColor;
            } else if constexpr (std::is_same_v<T, FileAttributes>) {
                return tcFileAttributes;
            } else if constexpr (std::is_same_v<T, FrameLabel>) {
                return tcFrameLabel;
            } else if constexpr (std::is_same_v<T, DoAction>) {
                return tcDoAction;
            } else if constexpr (std::is_same_v<T, DoInitAction>) {
                return tcDoInitAction;
            } else if constexpr (std::is_same_v<T, PlaceObject>) {
                return b.placeVersion == 1 ? tcPlaceObject : b.placeVersion == 3 ? tcPlaceObject3 : tcPlaceObject2;
            } else if constexpr (std::is_same_v<T, RemoveObject>) {
                return b.removeVersion == 1 ? tcRemoveObject : tcRemoveObject2;
            } else if constexpr (std::is_same_v<T, ShapeDef>) {
                switch (b.shapeVersion) {
                case 1: return tcDefineShape;
                case 2: return tcDefineShape2;
                case 4: return tcDefineShape4;
                default: return tcDefineShape3;
                }
            } else if constexpr (std::is_same_v<T, SpriteDef>) {
                return tcDefineSprite;
            } else if constexpr (std::is_same_v<T, EditTextDef>) {
                return tcDefineEditText;
            } else if constexpr (std::is_same_v<T, TextDef>) {
                return b.textVersion == 1 ? tcDefineText : tcDefineText2;
            } else if constexpr (std::is_same_v<T, FontDef>) {
                return b.fontVersion == 1 ? tcDefineFont : b.fontVersion == 3 ? tcDefineFont3 : tcDefineFont2;
            } else if constexpr (std::is_same_v<T, ButtonDef>) {
                return b.buttonVersion == 1 ? tcDefineButton : tcDefineButton2;
            } else {
                static_assert(sizeof(T) == 0, "every tag body needs a code");
            }
        },
        body);
}

Tag Tag::Make(TagBody body)
{
    Tag t;
    t.body = std::move(body);
    t.code = t.WriteCode();
    return t;
}

std::optional<std::uint16_t> Tag::DefinedId() const
{
    return std::visit(
        [&](const auto& b) -> std::optional<std::uint16_t> {
            using T = std::decay_t<decltype(b)>;
            if constexpr (std::is_same_v<T, ShapeDef> || std::is_same_v<T, SpriteDef> ||
                          std::is_same_v<T, EditTextDef> || std::is_same_v<T, TextDef> ||
                          std::is_same_v<T, FontDef> || std::is_same_v<T, ButtonDef>) {
                return b.id;
            } else if constexpr (std::is_same_v<T, RawTag>) {
                if (IsRawDefinition(code) && b.data.size() >= 2)
                    return GetU16(b.data, 0);
                return std::nullopt;
            } else {
                return std::nullopt;
            }
        },
        body);
}

std::optional<Rgba> Movie::BackgroundColor() const
{
    for (const Tag& t : tags)
        if (const auto* bg = t.As<SetBackgroundColor>())
            return bg->color;
    return std::nullopt;
}

const Tag* Movie::FindCharacter(std::uint16_t id) const
{
    for (const Tag& t : tags)
        if (t.DefinedId() == id)
            return &t;
    return nullptr;
}

std::uint16_t RenumberCharacters(std::vector<Tag>& tags, std::uint16_t firstId)
{
    Renumberer r(firstId);
    r.Collect(tags);
    r.Apply(tags);
    return r.Next();
}

}  // namespace swf
