#pragma once
// Movies shared by the writer and reader tests: one with every feature the builder has,
// and a test-side bit packer (independent of the library's) to build files by hand.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

#include "movie/SwfActions.h"
#include "movie/SwfWriter.h"

namespace swftest {

// Most significant bit first, as SWF packs its bit fields.
class Bits {
public:
    Bits& ub(int n, std::uint32_t v)
    {
        for (int i = n - 1; i >= 0; --i)
            FBits.push_back((v >> i) & 1u);
        return *this;
    }
    Bits& sb(int n, std::int32_t v) { return ub(n, static_cast<std::uint32_t>(v)); }
    Bits& u8(std::uint32_t v)
    {
        align();
        return ub(8, v & 0xFF);
    }
    Bits& u16(std::uint32_t v) { return u8(v).u8(v >> 8); }
    Bits& u32(std::uint32_t v) { return u16(v).u16(v >> 16); }
    Bits& str(const char* s)
    {
        for (; *s; ++s)
            u8(static_cast<unsigned char>(*s));
        return u8(0);
    }
    Bits& raw(const QByteArray& b)
    {
        for (char c : b)
            u8(static_cast<unsigned char>(c));
        return *this;
    }
    Bits& align()
    {
        while (FBits.size() % 8)
            FBits.push_back(0);
        return *this;
    }
    QByteArray bytes()
    {
        align();
        QByteArray out;
        for (size_t i = 0; i < FBits.size(); i += 8) {
            int v = 0;
            for (size_t j = 0; j < 8; ++j)
                v = (v << 1) | FBits[i + j];
            out.append(static_cast<char>(v));
        }
        return out;
    }

private:
    std::vector<int> FBits;
};

// A tag with a long or short record header as its length needs.
inline QByteArray tag(int code, const QByteArray& body, bool forceLong = false)
{
    Bits b;
    if (body.size() < 0x3F && !forceLong) {
        b.u16((code << 6) | body.size());
    } else {
        b.u16((code << 6) | 0x3F).u32(static_cast<std::uint32_t>(body.size()));
    }
    return b.bytes() + body;
}

// An uncompressed movie of the given version around tag bytes: stage 400 x 300 pixels,
// 12 frames per second.
inline QByteArray movie(int version, const QByteArray& tags, std::uint16_t frames = 1)
{
    Bits h;
    h.ub(5, 15).sb(15, 0).sb(15, 8000).sb(15, 0).sb(15, 6000).align();
    h.u16(12 << 8).u16(frames);
    const QByteArray body = h.bytes() + tags;
    Bits head;
    head.u8('F').u8('W').u8('S').u8(version).u32(static_cast<std::uint32_t>(8 + body.size()));
    return head.bytes() + body;
}

// The clip name of the interactive swatch in the feature movie, and where it lies.
inline const QString kSwatchName = QStringLiteral("#SW_0001_#FF8000");
constexpr double kSwatchX = 100, kSwatchY = 100, kSwatchRadius = 40;

// A version-8 movie that uses every part of the builder: opaque and translucent shapes,
// outlines, curves, a device-font text turned by 35°, a one-frame sprite placed with a
// name, a matrix, a colour transform, a drop shadow and the five clip events, a button,
// a sprite "Content" with labelled frames, main-timeline labels and frames, and the
// "GetClipName" and "SelectPage" callbacks.
// fontFamily replaces the fonts the scenes name, for players that only know the fonts
// they are given; outlines asks for embedded outlines for every text.
inline swf::Movie FeatureMovie(bool detailed = true, const QString& fontFamily = QString(), bool outlines = false)
{
    using namespace swf;
    MovieBuilder b;
    b.CreateMovie(400, 300, 12, 8);
    b.SetBackgroundColor({0xF0, 0xF0, 0xE8, 255});

    const auto back = b.AddRectangle(QRectF(10, 10, 380, 280),
                                     ShapeStyle::Outlined(Rgba{0x99, 0x99, 0x90, 255}, 1, Rgba{0xCC, 0xCC, 0xC0, 255}));
    b.Place(back);

    const auto disc = b.AddCircle({0, 0}, kSwatchRadius, ShapeStyle::Outlined(Rgba{0xFF, 0x80, 0x00, 200}, 2,
                                                                             Rgba{0, 0, 0, 128}));
    const auto clip = b.WrapInSprite(disc);
    Placement p;
    p.name = kSwatchName;
    p.x = kSwatchX;
    p.y = kSwatchY;
    p.colorTransform = ColorTransform{};
    p.colorTransform->hasMult = true;
    p.colorTransform->aMult = 250;
    const char* commands[] = {"CM_01", "CM_02", "CM_03", "CM_04", "CM_05"};
    const std::uint32_t events[] = {ceRollOver, ceRollOut, cePress, ceRelease, ceReleaseOutside};
    for (int i = 0; i < 5; ++i)
        p.clipActions.push_back(FSCommandClipAction(events[i], QString::fromLatin1(commands[i]), kSwatchName));
    p.filters.push_back(Filter::DropShadow(5, 30, Rgba{0x80, 0x80, 0x80, 255}, 5, 5, 1, 5));
    b.Place(clip, p);

    Path leaf;
    leaf.MoveTo({250, 60});
    leaf.CurveTo({300, 40}, {330, 90});
    leaf.LineTo({300, 130});
    leaf.CurveTo({250, 120}, {250, 60});
    const auto leafShape = b.AddPath(leaf, ShapeStyle::Filled(Rgba{0x33, 0x99, 0x33, 255}));
    Placement lp;
    lp.name = QStringLiteral("#SW_0002_#339933");
    b.Place(b.WrapInSprite(leafShape), lp);

    b.Place(b.AddPolygon({{40, 200}, {90, 180}, {120, 240}, {60, 260}}, ShapeStyle::Filled(Rgba{0, 0, 0x80, 64})));

    TextStyle ts;
    ts.font = fontFamily.isEmpty() ? QStringLiteral("Trebuchet MS") : fontFamily;
    ts.size = 20;
    ts.color = {0xFF, 0, 0, 50};
    ts.centred = true;
    ts.embedOutlines = outlines;
    const TextInfo text = b.AddText(QStringLiteral("frmPptBlank loaded – Grüße"), ts);
    Placement tp;
    tp.x = 200;
    tp.y = 150;
    tp.rotation = 35;
    b.Place(text.id, tp);

    TextStyle link;
    link.font = fontFamily.isEmpty() ? QStringLiteral("Verdana") : fontFamily;
    link.size = 12;
    link.embedOutlines = outlines;
    const TextInfo normal = b.AddText(QStringLiteral("Color Harmonies"), link);
    link.bold = true;
    link.color = {0xCC, 0, 0, 255};
    const TextInfo hover = b.AddText(QStringLiteral("Color Harmonies"), link);
    const auto hit = b.AddRectangle(normal.box.adjusted(-2, -2, 2, 2), ShapeStyle::Filled(Rgba{0, 0, 0, 255}));
    ButtonRecord up, over, area;
    up.states = bsUp;
    up.characterId = normal.id;
    over.states = bsOver | bsDown;
    over.characterId = hover.id;
    area.states = bsHitTest;
    area.characterId = hit;
    const auto button = b.DefineButton({up, over, area}, FSCommandActions(QStringLiteral("CM_03"),
                                                                           QStringLiteral("#C1_0005")));
    Placement bp;
    bp.x = 250;
    bp.y = 250;
    b.Place(button, bp);

    Timeline content = b.NewSprite();
    content.AddActions(StopActions());
    content.AddLabel(QStringLiteral("Home"));
    content.Place(disc);
    content.ShowFrame();
    content.AddLabel(QStringLiteral("Triad"));
    content.Remove(1);
    content.ShowFrame();
    Placement cp;
    cp.name = QStringLiteral("Content");
    cp.x = 330;
    cp.y = 220;
    cp.scaleX = cp.scaleY = 0.3;
    b.Place(b.DefineSprite(std::move(content)), cp);

    b.AddActions(GetClipNameActions(detailed));
    b.AddActions(SelectPageActions());
    b.AddActions(StopActions());
    b.AddLabel(QStringLiteral("Introduction"));
    b.ShowFrame();
    b.AddLabel(QStringLiteral("ColorHarmonies"));
    b.AddActions(GotoLabelActions(QStringLiteral("Triad"), false, QStringLiteral("Content")));
    b.ShowFrame();
    return b.Finish();
}

}  // namespace swftest
