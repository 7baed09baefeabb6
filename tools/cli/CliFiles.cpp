#include "Cli.h"
#include "colour/Colors.h"
#include "harmony/ColorFormula.h"
#include "palette/PaletteFiles.h"
#include "palette/RichColor.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>

namespace {

QString Extension(const QString& fileName) { return QFileInfo(fileName).suffix().toLower(); }

// Reads any palette file the program opens, by extension, into an empty collection.
void ReadAnyPaletteFile(const QString& fileName, TRichPaletteList& list)
{
    if (!QFileInfo::exists(fileName))
        throw CliError(QStringLiteral("'%1' does not exist").arg(fileName));
    const QString ext = Extension(fileName);
    TPaletteFileResult result;
    if (ext == QLatin1String("kvfc")) {
        result = ReadCollectionFile(list, fileName);
    } else if (ext == QLatin1String("xml")) {
        result = ReadXmlCollection(list, fileName);
    } else if (ext == QLatin1String("kvf")) {
        result = ReadLegacyPalettes(list, fileName);
    } else if (ext == QLatin1String("cs")) {
        TRichPaletteList read;
        TRichPalette* palette = read.Add(QString(), true);
        result = ReadColorSchemer(*palette, fileName);
        if (result.Ok())
            list.Swap(read);
    } else {
        throw CliError(QStringLiteral("'%1': unknown palette file type (use .kvfc, .xml, .kvf or .cs)").arg(fileName));
    }
    if (!result.Ok()) {
        QString message = result.Message;
        message.replace(QLatin1String("\r\n"), QLatin1String(" "));
        if (message.isEmpty())
            message = QStringLiteral("'%1' could not be read").arg(fileName);
        if (!result.Detail.isEmpty())
            message += QStringLiteral(" (%1)").arg(result.Detail);
        throw CliError(message);
    }
}

QJsonObject SwatchJson(const TRichColor& swatch)
{
    return QJsonObject{
        {QStringLiteral("color"), JsonColor(swatch.Color())},
        {QStringLiteral("autoCaption"), swatch.AutoCaption()},
        {QStringLiteral("caption"), swatch.Caption()},
        {QStringLiteral("cssClass"), swatch.CssClass()},
        {QStringLiteral("description"), swatch.Description()},
    };
}

QJsonObject PaletteJson(const TRichPalette& palette)
{
    QJsonArray swatches;
    for (int i = 0; i < palette.Count(); ++i)
        swatches.append(SwatchJson(*palette.Colors(i)));
    return QJsonObject{
        {QStringLiteral("title"), palette.Title()},
        {QStringLiteral("description"), palette.Description()},
        {QStringLiteral("url"), palette.URL()},
        {QStringLiteral("author"), palette.Author()},
        {QStringLiteral("keywords"), palette.Keywords()},
        {QStringLiteral("displayMode"), palette.DisplayMode()},
        {QStringLiteral("swatches"), swatches},
    };
}

} // namespace

int RunFormula(CliArgs& args)
{
    const bool json = args.takeFlag(QStringLiteral("--json"));
    const QString wheel = args.takeOption(QStringLiteral("--wheel"), QStringLiteral("artistic")).toLower();
    if (wheel != QLatin1String("artistic") && wheel != QLatin1String("scientific"))
        throw CliError(QStringLiteral("--wheel must be scientific or artistic, not '%1'").arg(wheel));
    const bool artistic = wheel == QLatin1String("artistic");
    if (!args.hasOption(QStringLiteral("--base")))
        throw CliError(QStringLiteral("missing --base HEX"));
    const TColor base = ParseHexArg(args.takeOption(QStringLiteral("--base")));
    const QString fileName = args.takePositional(QStringLiteral("formula file"));
    args.expectEnd();

    if (!QFileInfo::exists(fileName))
        throw CliError(QStringLiteral("'%1' does not exist").arg(fileName));
    TColorFormulaList formulas;
    if (!formulas.LoadFromFile(fileName, false))
        throw CliError(QStringLiteral("'%1' could not be read: %2").arg(fileName, formulas.LastError()));

    // As the formula page does: the base colour enters artistic space unclamped, so a
    // colour brighter than the painter's wheel keeps its brightness.
    THSB hsb = ColorToHSB(base);
    TColorTransfer transfer;
    if (artistic)
        transfer.HSBToArtistic(hsb.H, hsb.S, hsb.B, true);

    QJsonArray all;
    QString text;
    for (int f = 0; f < formulas.Count(); ++f) {
        TColorFormula* formula = formulas.Items(f);
        formula->SetTransferMode(artistic);
        formula->SetBaseHSB(hsb.H, hsb.S, hsb.B);
        QJsonArray colors;
        QStringList hexes;
        for (int e = 0; e < formula->Count(); ++e) {
            colors.append(JsonColor(formula->Elements(e)->Color));
            hexes << JsonColor(formula->Elements(e)->Color);
        }
        all.append(QJsonObject{{QStringLiteral("title"), formula->Title()}, {QStringLiteral("colors"), colors}});
        text += QStringLiteral("%1\n  %2\n").arg(formula->Title(), hexes.join(QLatin1Char(' ')));
    }
    if (json)
        PrintJson(QJsonObject{{QStringLiteral("formulas"), all}});
    else
        PrintText(text.isEmpty() ? QStringLiteral("(no formulas)") : text);
    return 0;
}

int RunDump(CliArgs& args)
{
    const bool json = args.takeFlag(QStringLiteral("--json"));
    const QString fileName = args.takePositional(QStringLiteral("palette file"));
    args.expectEnd();

    TRichPaletteList list;
    ReadAnyPaletteFile(fileName, list);

    if (json) {
        QJsonArray palettes;
        for (int p = 0; p < list.Count(); ++p)
            palettes.append(PaletteJson(*list.Items(p)));
        PrintJson(QJsonObject{{QStringLiteral("current"), list.ItemIndex()}, {QStringLiteral("palettes"), palettes}});
        return 0;
    }
    QString out;
    for (int p = 0; p < list.Count(); ++p) {
        const TRichPalette& palette = *list.Items(p);
        out += QStringLiteral("%1Palette %2: %3 (%4 colors)\n")
                   .arg(p == list.ItemIndex() ? QStringLiteral("* ") : QStringLiteral("  "))
                   .arg(p)
                   .arg(palette.Title())
                   .arg(palette.Count());
        for (const auto& [label, value] : {std::pair{"Author", palette.Author()},
                                           std::pair{"Description", palette.Description()},
                                           std::pair{"Keywords", palette.Keywords()},
                                           std::pair{"URL", palette.URL()}})
            if (!value.isEmpty())
                out += QStringLiteral("    %1: %2\n").arg(QLatin1String(label), value);
        for (int i = 0; i < palette.Count(); ++i) {
            const TRichColor& swatch = *palette.Colors(i);
            out += QStringLiteral("    #%1  %2").arg(JsonColor(swatch.Color()), swatch.Caption());
            if (!swatch.Description().isEmpty())
                out += QStringLiteral("  (%1)").arg(swatch.Description());
            out += QLatin1Char('\n');
        }
    }
    PrintText(out.isEmpty() ? QStringLiteral("(no palettes)") : out);
    return 0;
}

int RunConvert(CliArgs& args)
{
    const QString in = args.takePositional(QStringLiteral("input file"));
    const QString out = args.takePositional(QStringLiteral("output file"));
    args.expectEnd();

    const QString outExt = Extension(out);
    if (outExt != QLatin1String("kvfc") && outExt != QLatin1String("xml"))
        throw CliError(QStringLiteral("'%1': the output must end in .kvfc or .xml").arg(out));

    TRichPaletteList list;
    ReadAnyPaletteFile(in, list);

    const TPaletteFileResult result =
        outExt == QLatin1String("kvfc")
            ? WriteCollectionFile(list, out)
            : WriteXmlCollection(list, out,
                                 QStringLiteral("%1.%2%3")
                                     .arg(PROJECT_VERSION_MAJOR)
                                     .arg(PROJECT_VERSION_MINOR)
                                     .arg(PROJECT_VERSION_PATCH),
                                 QStringLiteral("Korvel"));
    if (!result.Ok())
        throw CliError(QStringLiteral("'%1' could not be written%2")
                           .arg(out, result.Detail.isEmpty() ? QString() : QStringLiteral(": ") + result.Detail));
    return 0;
}
