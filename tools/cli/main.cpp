// korvel-cli: what Korvel computes, from the command line.
#include "Cli.h"

#include <QCoreApplication>

#include <cstdio>
#include <functional>
#include <map>

namespace {

const char* const kUsage =
    "Usage: korvel-cli COMMAND [ARGUMENTS] [--json]\n"
    "\n"
    "Colours are hex texts: FF8000, #ff8000 or #f80.\n"
    "\n"
    "Commands:\n"
    "  color HEX                     hex, RGB, HSB, HSL (0..240), CMYK, name and the nine\n"
    "                                colour-vision simulations of a colour\n"
    "  harmony HEX [--wheel scientific|artistic] [--harmony CODE|INDEX]\n"
    "                                the twelve-colour circle of a base colour and the\n"
    "                                positions of a harmony\n"
    "  rings HEX --segments N --rings R --kind K --strength S [--reverse] [--wheel ...]\n"
    "                                rings of variations around the colour circle\n"
    "  formula FILE.cff --base HEX [--wheel ...]\n"
    "                                every formula of a formula file applied to a colour\n"
    "  dump FILE                     a .kvfc, .xml, .kvf or .cs palette file as Korvel reads it\n"
    "  convert IN OUT                read any of those and write .kvfc or .xml by OUT's extension\n"
    "  --help                        this text\n";

using Command = std::function<int(CliArgs&)>;

const std::map<QString, Command>& Commands()
{
    static const std::map<QString, Command> commands = {
        {QStringLiteral("color"), RunColor},     {QStringLiteral("harmony"), RunHarmony},
        {QStringLiteral("rings"), RunRings},     {QStringLiteral("formula"), RunFormula},
        {QStringLiteral("dump"), RunDump},       {QStringLiteral("convert"), RunConvert},
    };
    return commands;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h") ||
        args.first() == QLatin1String("help")) {
        std::fputs(kUsage, stdout);
        return args.isEmpty() ? 1 : 0;
    }
    const QString name = args.takeFirst();
    const auto it = Commands().find(name);
    if (it == Commands().end()) {
        std::fprintf(stderr, "korvel-cli: unknown command '%s' (try --help)\n", name.toUtf8().constData());
        return 1;
    }
    try {
        CliArgs cliArgs(args);
        return it->second(cliArgs);
    } catch (const CliError& e) {
        std::fprintf(stderr, "korvel-cli %s: %s\n", name.toUtf8().constData(), e.what());
        return 1;
    }
}
