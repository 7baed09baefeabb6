#include "workarea/ClipNames.h"

#include "colour/Colors.h"
#include "movie/MoviePlayer.h"

#include <QPoint>
#include <QStringList>

namespace {

const QStringList& Prefixes()
{
    static const QStringList prefixes = QString::fromLatin1(kClipPrefixes).split(QLatin1Char(','));
    return prefixes;
}

QString Hex2(int value) { return QStringLiteral("%1").arg(value & 0xFF, 2, 16, QLatin1Char('0')).toUpper(); }

// "%.4u": at least four digits; a negative number is printed as the unsigned value it is.
QString Number4(int number) { return QStringLiteral("%1").arg(static_cast<unsigned>(number), 4, 10, QLatin1Char('0')); }

int NumberOr(const QString& text, int fallback)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? value : fallback;
}

}  // namespace

QString ClipPrefix(int Kind)
{
    return Kind >= 0 && Kind < kClipKindCount ? Prefixes()[Kind] : QString();
}

QString ClipName(int Kind, int Number, TColor Color)
{
    const QString head = ClipPrefix(Kind) + QLatin1Char('_') + Number4(Number);
    if (Kind == ckSwatch || Kind == ckFormula || Kind == ckSwatch2)
        return head + QStringLiteral("_#") + Hex2(GetRValue(Color)) + Hex2(GetGValue(Color)) + Hex2(GetBValue(Color));
    return head;
}

QString LessonClipName(int Number, const QString& Text)
{
    return ClipPrefix(ckLesson) + QLatin1Char('_') + Number4(Number) + QLatin1Char('_') + Text;
}

TClipName ParseClipName(const QString& Name)
{
    TClipName r;
    const qsizetype sep = Name.indexOf(QLatin1Char('_'));
    const QString prefix = sep < 0 ? Name : Name.left(sep);
    const qsizetype kind = Prefixes().indexOf(prefix);
    if (kind < 0)
        return r;
    r.Kind = static_cast<std::uint8_t>(kind);
    const QString rest = sep < 0 ? QString() : Name.mid(sep + 1);
    const qsizetype next = rest.indexOf(QLatin1Char('_'));
    const QString field = next < 0 ? rest : rest.left(next);
    const QString tail = next < 0 ? QString() : rest.mid(next + 1);
    switch (r.Kind) {
    case ckSwatch:
    case ckFormula:
    case ckSwatch2:
        r.Number = NumberOr(field, -1);
        r.Color = HexToColor(tail, clSilver);
        break;
    case ckCommand:
        r.Number = NumberOr(field, -1);
        break;
    case ckLesson:
        r.Number = NumberOr(field, -1);
        r.Text = tail;
        break;
    default:  // "#C4": only the prefix counts
        r.Number = 0;
        break;
    }
    return r;
}

TPageRequest ParsePageRequest(const QString& Argument)
{
    TPageRequest r;
    const qsizetype sep = Argument.indexOf(QLatin1Char('_'));
    r.Number = NumberOr(sep < 0 ? Argument : Argument.left(sep), -1);
    if (sep >= 0)
        r.Text = Argument.mid(sep + 1);
    return r;
}

QString ClipNameFromAnswer(const QString& Answer)
{
    QString out;
    out.reserve(Answer.size());
    qsizetype i = 0;
    while (i < Answer.size()) {
        if (Answer[i] == QLatin1Char('<')) {
            const qsizetype close = Answer.indexOf(QLatin1Char('>'), i);
            if (close >= 0) {
                const QStringView tag = QStringView(Answer).mid(i, close - i + 1);
                if (tag.contains(QLatin1String("string"))) {
                    i = close + 1;
                    continue;
                }
                out += tag;
                i = close + 1;
                continue;
            }
        }
        out += Answer[i++];
    }
    return out;
}

bool IsNoClip(const QString& Name) { return Name.isEmpty() || Name == QLatin1String("_"); }

QString GetClipNameAt(TMoviePlayer& Player, const QPoint& WidgetPos)
{
    if (!Player.IsLoaded())
        return QString();
    Player.SendMouseMove(WidgetPos);
    return ClipNameFromAnswer(Player.CallFunction(QString::fromLatin1(kGetClipNameRequest)));
}
