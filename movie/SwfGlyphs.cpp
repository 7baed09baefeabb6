#include "movie/SwfGlyphs.h"

#include <QFont>
#include <QGuiApplication>
#include <QPainterPath>
#include <QRawFont>

namespace swf {

bool GuiFontsAvailable() { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr; }

namespace {

// The em of the outlines we hand out; also the pixel size the font is asked for.
constexpr double kEm = 1024.0;

QPointF Mid(QPointF a, QPointF b) { return (a + b) / 2.0; }

// A cubic piece as two quadratic ones: split in half, then each half's single control
// point where its two tangents meet on average. At 1024 units to the em the error stays
// well below a unit for the curves fonts are made of.
void CubicToQuads(Path& path, QPointF p0, QPointF c1, QPointF c2, QPointF p3)
{
    const QPointF a = Mid(p0, c1), b = Mid(c1, c2), c = Mid(c2, p3);
    const QPointF ab = Mid(a, b), bc = Mid(b, c), m = Mid(ab, bc);
    auto quad = [&](QPointF q0, QPointF q1, QPointF q2, QPointF q3) {
        path.CurveTo((3.0 * (q1 + q2) - q0 - q3) / 4.0, q3);
    };
    quad(p0, a, ab, m);
    quad(m, bc, c, p3);
}

Path ToPath(const QPainterPath& qp)
{
    Path path;
    QPointF current;
    for (int i = 0; i < qp.elementCount(); ++i) {
        const QPainterPath::Element e = qp.elementAt(i);
        switch (e.type) {
        case QPainterPath::MoveToElement:
            path.Close();
            path.MoveTo(e);
            current = e;
            break;
        case QPainterPath::LineToElement:
            path.LineTo(e);
            current = e;
            break;
        case QPainterPath::CurveToElement:
            if (i + 2 < qp.elementCount()) {
                const QPointF c2 = qp.elementAt(i + 1), p3 = qp.elementAt(i + 2);
                CubicToQuads(path, current, e, c2, p3);
                current = p3;
                i += 2;
            }
            break;
        case QPainterPath::CurveToDataElement:
            break;
        }
    }
    path.Close();
    return path;
}

}  // namespace

GlyphSource QtGlyphSource()
{
    return [](const QString& family, bool bold, const QString& characters, OutlineFont& out) {
        if (!GuiFontsAvailable())
            return false;
        QFont font(family);
        font.setPixelSize(static_cast<int>(kEm));
        font.setBold(bold);
        font.setStyleStrategy(QFont::PreferOutline);
        const QRawFont raw = QRawFont::fromFont(font);
        if (!raw.isValid())
            return false;
        out.ascent = raw.ascent();
        out.descent = raw.descent();
        out.leading = raw.leading();
        for (QChar ch : characters) {
            const char16_t code = ch.unicode();
            if (out.glyphs.count(code) || ch.isSurrogate())
                continue;
            const QList<quint32> indexes = raw.glyphIndexesForString(QString(ch));
            if (indexes.size() != 1 || (indexes.front() == 0 && !ch.isSpace()))
                return false;  // a character the font cannot draw
            OutlineGlyph g;
            g.path = ToPath(raw.pathForGlyph(indexes.front()));
            const QList<QPointF> advances = raw.advancesForGlyphIndexes(indexes);
            g.advance = advances.isEmpty() ? 0.0 : advances.front().x();
            out.glyphs.emplace(code, std::move(g));
        }
        return true;
    };
}

}  // namespace swf
