#pragma once
// Reading scenes back for the tests: through the SWF reader, then a little independent
// decoding (absolute outline points, the FSCommand inside a clip action's bytes) so that a
// test checks what the file says rather than what the builder meant.

#include <QByteArray>
#include <QPointF>
#include <QString>

#include <cmath>
#include <ostream>
#include <numbers>
#include <optional>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "movie/SwfModel.h"
#include "movie/SwfReader.h"

// Readable failure messages for texts.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace scenetest {

inline swf::Movie ReadBack(const QByteArray& bytes)
{
    swf::ReadResult r = swf::ReadMovie(bytes);
    EXPECT_TRUE(r.Ok()) << r.message.toStdString();
    return std::move(r.movie);
}

// One outline of a shape in pixels: the move point, then each edge's end point; curves
// keep their control point.
struct Edge {
    bool curve = false;
    QPointF control;
    QPointF to;
};
struct Outline {
    QPointF start;
    std::vector<Edge> edges;
    int Curves() const
    {
        int n = 0;
        for (const Edge& e : edges)
            n += e.curve ? 1 : 0;
        return n;
    }
};

inline std::vector<Outline> Outlines(const swf::ShapeDef& shape)
{
    std::vector<Outline> out;
    double x = 0, y = 0;
    for (const swf::ShapeRecord& r : shape.records) {
        switch (r.kind) {
        case swf::ShapeRecordKind::StyleChange:
            if (r.hasMove) {
                x = r.moveX;
                y = r.moveY;
                out.push_back({QPointF(x / 20.0, y / 20.0), {}});
            }
            break;
        case swf::ShapeRecordKind::StraightEdge:
            x += r.dx;
            y += r.dy;
            if (!out.empty())
                out.back().edges.push_back({false, {}, QPointF(x / 20.0, y / 20.0)});
            break;
        case swf::ShapeRecordKind::CurvedEdge: {
            const double cx = x + r.dx, cy = y + r.dy;
            x = cx + r.anchorDx;
            y = cy + r.anchorDy;
            if (!out.empty())
                out.back().edges.push_back({true, QPointF(cx / 20.0, cy / 20.0), QPointF(x / 20.0, y / 20.0)});
            break;
        }
        }
    }
    return out;
}

// Degrees, 0 pointing right, clockwise on screen, in (-180, 180].
inline double AngleOf(QPointF centre, QPointF p)
{
    return std::atan2(p.y() - centre.y(), p.x() - centre.x()) * 180.0 / std::numbers::pi;
}
inline double RadiusOf(QPointF centre, QPointF p) { return std::hypot(p.x() - centre.x(), p.y() - centre.y()); }
// The same direction, whatever the turn: 350 and -10 agree.
inline double AngleDiff(double a, double b)
{
    double d = std::fmod(a - b, 360.0);
    if (d > 180)
        d -= 360;
    if (d <= -180)
        d += 360;
    return d;
}

// The FSCommand of a clip action or DoAction: the ActionGetURL whose URL starts with
// "FSCommand:", as (command, target). Decoded by hand from the action records.
inline std::optional<std::pair<QString, QString>> FSCommandIn(const QByteArray& actions)
{
    int i = 0;
    while (i < actions.size()) {
        const auto code = static_cast<std::uint8_t>(actions[i]);
        if (code == 0)
            break;
        if (code < 0x80) {
            ++i;
            continue;
        }
        if (i + 3 > actions.size())
            break;
        const int len = static_cast<std::uint8_t>(actions[i + 1]) | (static_cast<std::uint8_t>(actions[i + 2]) << 8);
        const QByteArray body = actions.mid(i + 3, len);
        if (code == 0x83) {
            const int z = body.indexOf('\0');
            const QString url = QString::fromUtf8(body.left(z));
            const QString target = QString::fromUtf8(body.mid(z + 1, body.indexOf('\0', z + 1) - z - 1));
            if (url.startsWith(QLatin1String("FSCommand:")))
                return std::make_pair(url.mid(10), target);
        }
        i += 3 + len;
    }
    return std::nullopt;
}

// What the main timeline places, in order, with the shape each placement shows (looking
// into one-frame sprites that wrap a single shape).
struct Placed {
    const swf::PlaceObject* place = nullptr;
    const swf::ShapeDef* shape = nullptr;
    const swf::SpriteDef* sprite = nullptr;  // when the shape is wrapped
};

inline std::vector<Placed> PlacedShapes(const swf::Movie& movie)
{
    std::vector<Placed> out;
    for (const swf::Tag& t : movie.tags) {
        const auto* p = t.As<swf::PlaceObject>();
        if (!p || !p->characterId)
            continue;
        Placed item;
        item.place = p;
        const swf::Tag* def = movie.FindCharacter(*p->characterId);
        if (def && def->As<swf::ShapeDef>()) {
            item.shape = def->As<swf::ShapeDef>();
        } else if (def && def->As<swf::SpriteDef>()) {
            item.sprite = def->As<swf::SpriteDef>();
            for (const swf::Tag& inner : item.sprite->tags)
                if (const auto* ip = inner.As<swf::PlaceObject>(); ip && ip->characterId)
                    if (const swf::Tag* d = movie.FindCharacter(*ip->characterId))
                        item.shape = d->As<swf::ShapeDef>();
        }
        out.push_back(item);
    }
    return out;
}

}  // namespace scenetest
