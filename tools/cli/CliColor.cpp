#include "Cli.h"
#include "colour/ColorNames.h"
#include "colour/ColorVision.h"
#include "colour/Colors.h"

#include <QJsonArray>
#include <QJsonObject>

namespace {

const char* const kVisionNames[kColorVisionTypeCount] = {
    "cvtNorm", "cvtProt", "cvtDeut", "cvtTrit", "cvtProA", "cvtDeuA", "cvtTriA", "cvtMono", "cvtPMon"};

} // namespace

int RunColor(CliArgs& args)
{
    const bool json = args.takeFlag(QStringLiteral("--json"));
    const TColor color = ParseHexArg(args.takePositional(QStringLiteral("HEX colour")));
    args.expectEnd();

    const int r = GetRValue(color), g = GetGValue(color), b = GetBValue(color);
    const THSB hsb = ColorToHSB(color);
    const int h = Round(hsb.H), s = Round(hsb.S * 100), v = Round(hsb.B * 100);
    const THSL240 hsl = ColorToHSL240(color);
    const TCMYK cmyk = ColorToCMYK(color);
    const QString name = ColorToName(color);

    if (json) {
        QJsonObject simulations;
        for (int t = 0; t < kColorVisionTypeCount; ++t)
            simulations.insert(QLatin1String(kVisionNames[t]),
                               JsonColor(SimulateColorVision(color, static_cast<TColorVisionType>(t))));
        PrintJson(QJsonObject{
            {QStringLiteral("hex"), JsonColor(color)},
            {QStringLiteral("rgb"), QJsonArray{r, g, b}},
            {QStringLiteral("hsb"), QJsonArray{h, s, v}},
            {QStringLiteral("hsl240"), QJsonArray{hsl.H, hsl.S, hsl.L}},
            {QStringLiteral("cmyk"), QJsonArray{cmyk.C, cmyk.M, cmyk.Y, cmyk.K}},
            {QStringLiteral("name"), name},
            {QStringLiteral("simulations"), simulations},
        });
        return 0;
    }

    QString out;
    out += QStringLiteral("Hex   #%1\n").arg(JsonColor(color));
    out += QStringLiteral("RGB   %1 %2 %3\n").arg(r).arg(g).arg(b);
    out += QStringLiteral("HSB   %1 %2 %3\n").arg(h).arg(s).arg(v);
    out += QStringLiteral("HSL   %1 %2 %3\n").arg(hsl.H).arg(hsl.S).arg(hsl.L);
    out += QStringLiteral("CMYK  %1 %2 %3 %4\n").arg(cmyk.C).arg(cmyk.M).arg(cmyk.Y).arg(cmyk.K);
    out += QStringLiteral("Name  %1\n").arg(name);
    for (int t = 0; t < kColorVisionTypeCount; ++t)
        out += QStringLiteral("%1  #%2\n")
                   .arg(QLatin1String(kVisionNames[t]))
                   .arg(JsonColor(SimulateColorVision(color, static_cast<TColorVisionType>(t))));
    PrintText(out);
    return 0;
}
