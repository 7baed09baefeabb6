// korvel-cli: what Korvel computes, from the command line.
#include "Cli.h"

#include <QApplication>
#include <QCoreApplication>

#include <cstdio>
#include <functional>
#include <map>
#include <memory>

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
    "\n"
    "Movies (points are pixels of a player the stage's size unless --size says otherwise):\n"
    "  swfdump MOVIE.swf [--json]    the tags in order with their codes, placements decoded\n"
    "  render MOVIE.swf OUT.png [--size WxH] [--scale 0|3] [--align N]\n"
    "                                the first frame as our player shows it\n"
    "  hit MOVIE.swf X Y [--size WxH]\n"
    "                                what the movie's GetClipName answers with the mouse at\n"
    "                                X,Y (\"_\" over nothing)\n"
    "  play MOVIE.swf [--size WxH] --move X,Y --down X,Y --up X,Y ...\n"
    "                                feeds those mouse events in order and prints every\n"
    "                                FSCommand the movie sends, one per line\n"
    "  scene blank [--size WxH] --out FILE.swf|FILE.png\n"
    "                                the blank page's default scene (size 1000x1000)\n"
    "  scene rings [--base HEX] [--segments N] [--rings R] [--file] [--simple] [--size WxH]\n"
    "              --out FILE.swf|FILE.png\n"
    "                                rings of interactive colour sectors\n"
    "  scene harmonies --base HEX [--harmony CODE|INDEX] [--style N] [--wheel scientific|artistic]\n"
    "              [--grays N] [--marker] [--background HEX] [--outline HEX|none]\n"
    "              [--size WxH] --out FILE.swf|FILE.png\n"
    "                                the Harmonies page's scene, as the program draws it\n"
    "  view MOVIE.swf [--size WxH]   a window with our player, its scale and alignment, and\n"
    "                                the FSCommands and GetClipName answer in a status line\n"
    "  --help                        this text\n";

// What a command needs to run: nothing but QtCore, a GUI without a screen (movies are
// drawn by our player, a widget), or a real window.
enum class AppKind { Core, Offscreen, Window };

struct Command {
    std::function<int(CliArgs&)> run;
    AppKind app = AppKind::Core;
};

const std::map<QString, Command>& Commands()
{
    static const std::map<QString, Command> commands = {
        {QStringLiteral("color"), {RunColor}},
        {QStringLiteral("harmony"), {RunHarmony}},
        {QStringLiteral("rings"), {RunRings}},
        {QStringLiteral("formula"), {RunFormula}},
        {QStringLiteral("dump"), {RunDump}},
        {QStringLiteral("convert"), {RunConvert}},
        {QStringLiteral("swfdump"), {RunSwfDump}},
        {QStringLiteral("render"), {RunRender, AppKind::Offscreen}},
        {QStringLiteral("hit"), {RunHit, AppKind::Offscreen}},
        {QStringLiteral("play"), {RunPlay, AppKind::Offscreen}},
        {QStringLiteral("scene"), {RunScene, AppKind::Offscreen}},
        {QStringLiteral("view"), {RunView, AppKind::Window}},
    };
    return commands;
}

std::unique_ptr<QCoreApplication> MakeApplication(AppKind kind, int& argc, char** argv)
{
    if (kind == AppKind::Core)
        return std::make_unique<QCoreApplication>(argc, argv);
    // (QCoreApplication reads no options of its own.)
    // Commands that only draw must work without a display; the user may still choose.
    if (kind == AppKind::Offscreen && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt reads its own options ("-style", "-platform") from the arguments it is given;
    // ours are not for it, so it sees only the program's name.
    static int qtArgc = 1;
    static char* qtArgv[] = {argv[0], nullptr};
    (void)argc;
    return std::make_unique<QApplication>(qtArgc, qtArgv);
}

} // namespace

int main(int argc, char** argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
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
    const auto app = MakeApplication(it->second.app, argc, argv);
    try {
        CliArgs cliArgs(args);
        return it->second.run(cliArgs);
    } catch (const CliError& e) {
        std::fprintf(stderr, "korvel-cli %s: %s\n", name.toUtf8().constData(), e.what());
        return 1;
    }
}
