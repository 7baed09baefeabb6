#include "Cli.h"
#include "colour/Colors.h"
#include "harmony/ColorTransfer.h"
#include "palette/RichColor.h"

#include <QJsonArray>
#include <QJsonObject>

namespace {

bool ParseWheel(CliArgs& args)
{
    const QString wheel = args.takeOption(QStringLiteral("--wheel"), QStringLiteral("scientific")).toLower();
    if (wheel == QLatin1String("scientific"))
        return false;
    if (wheel == QLatin1String("artistic"))
        return true;
    throw CliError(QStringLiteral("--wheel must be scientific or artistic, not '%1'").arg(wheel));
}

int ParseHarmony(const QString& text)
{
    const int byCode = HarmonyIndexOfCode(text.toUpper());
    if (byCode >= 0)
        return byCode;
    return ParseIntArg(text, QStringLiteral("--harmony (a code such as TRI, or an index)"), 0, kHarmonyCount - 1);
}

QJsonArray ColorsOf(const TRichPalette& palette)
{
    QJsonArray colors;
    for (int i = 0; i < palette.Count(); ++i)
        colors.append(JsonColor(palette.Colors(i)->Color()));
    return colors;
}

QString ColorList(const TRichPalette& palette)
{
    QStringList parts;
    for (int i = 0; i < palette.Count(); ++i)
        parts << JsonColor(palette.Colors(i)->Color());
    return parts.join(QLatin1Char(' '));
}

} // namespace

int RunHarmony(CliArgs& args)
{
    const bool json = args.takeFlag(QStringLiteral("--json"));
    const bool artistic = ParseWheel(args);
    const int harmony = ParseHarmony(args.takeOption(QStringLiteral("--harmony"), QStringLiteral("ALL")));
    const TColor base = ParseHexArg(args.takePositional(QStringLiteral("HEX colour")));
    args.expectEnd();

    TColorTransfer transfer;
    TRichPalette palette;
    const THSB hsb = ColorToHSB(base);
    palette.AddHueCircle(kHarmonyCirclePositions, artistic, cvtNorm, true, &transfer, hsb.H, hsb.S, hsb.B);

    const THarmonySet set = HarmonyPositions(harmony);
    QJsonArray positions;
    QStringList positionTexts;
    for (int i = 0; i < kHarmonyCirclePositions; ++i)
        if (set.test(static_cast<size_t>(i))) {
            positions.append(i);
            positionTexts << QString::number(i);
        }

    if (json) {
        PrintJson(QJsonObject{{QStringLiteral("colors"), ColorsOf(palette)}, {QStringLiteral("positions"), positions}});
        return 0;
    }
    QString out = QStringLiteral("Harmony    %1 (%2)\n")
                      .arg(QLatin1String(kHarmonyCaptions[harmony]), QLatin1String(kHarmonyCodes[harmony]));
    out += QStringLiteral("Colors     %1\n").arg(ColorList(palette));
    out += QStringLiteral("Positions  %1\n").arg(positionTexts.join(QLatin1Char(' ')));
    PrintText(out);
    return 0;
}

int RunRings(CliArgs& args)
{
    const bool json = args.takeFlag(QStringLiteral("--json"));
    const bool reverse = args.takeFlag(QStringLiteral("--reverse"));
    const bool artistic = ParseWheel(args);
    const int segments = ParseIntArg(args.takeOption(QStringLiteral("--segments"), QStringLiteral("12")),
                                     QStringLiteral("--segments"), 1, 360);
    const int rings = ParseIntArg(args.takeOption(QStringLiteral("--rings"), QStringLiteral("1")),
                                  QStringLiteral("--rings"), 1, 100);
    const int kind = ParseIntArg(args.takeOption(QStringLiteral("--kind"), QStringLiteral("0")),
                                 QStringLiteral("--kind"), 0, 10);
    const double strength = ParseDoubleArg(args.takeOption(QStringLiteral("--strength"), QStringLiteral("0.5")),
                                           QStringLiteral("--strength"));
    const TColor base = ParseHexArg(args.takePositional(QStringLiteral("HEX colour")));
    args.expectEnd();

    TColorTransfer transfer;
    TRichPalette palette;
    const THSB hsb = ColorToHSB(base);
    palette.AddColorRings(segments, rings, reverse, kind, strength, hsb.H, hsb.S, hsb.B, artistic, &transfer);

    if (json) {
        PrintJson(QJsonObject{{QStringLiteral("colors"), ColorsOf(palette)}});
        return 0;
    }
    QString out;
    for (int ring = 0; ring < rings; ++ring) {
        QStringList row;
        for (int i = 0; i < segments; ++i)
            row << JsonColor(palette.Colors(ring * segments + i)->Color());
        out += QStringLiteral("Ring %1  %2\n").arg(ring).arg(row.join(QLatin1Char(' ')));
    }
    PrintText(out);
    return 0;
}
