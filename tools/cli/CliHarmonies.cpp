// korvel-cli scene harmonies: the Harmonies page's scene, built by the page itself. The page
// is opened the way the main window opens it (a host hands over the base colour, Matching
// and the page settings, and answers the page's events), so the options below are simply
// page settings and the picture is the one the program shows.
#include "Cli.h"
#include "colour/Colors.h"
#include "harmony/ColorTransfer.h"
#include "movie/MoviePlayer.h"
#include "palette/RichColor.h"
#include "workarea/PptStandard.h"
#include "workarea/Scene.h"

#include <QFileInfo>
#include <QImage>
#include <QWidget>

namespace {

// What the main window gives a page, and nothing more: no menus, no folders, no palette.
class THarmoniesHost : public IPageHost {
public:
    THarmoniesHost(TColor Base, QStringList Settings)
        : FBase(ColorToHSB(Base))
        , FSettings(std::move(Settings))
    {
    }

    THSB PageBaseHSB() const override { return FBase; }
    bool PageAdvancedMode() const override { return true; }
    TRichPalette* PageMatching() override { return &FMatching; }
    QMenu* PageBgColorMenu() override { return nullptr; }
    QMenu* PageOutlineColorMenu() override { return nullptr; }
    QString PageConfigFolder() const override { return QString(); }
    QString PageUserDataFolder() const override { return QString(); }
    TColorVisionType PageColorVisionType() const override { return cvtNorm; }
    QStringList& PageSettings() override { return FSettings; }
    void WirePageEvents(TfrmPptBase& Page) override
    {
        // A base colour the page sets (its settings carry one) becomes the base colour.
        Page.OnSetBaseColor = [this, &Page](TObject*, TColor Color, bool) {
            FBase = ColorToHSB(Color);
            Page.SetBaseHSB(FBase);
        };
        Page.OnGetBaseColor = [this](TObject*, TColor& Color) { Color = HSBToColor(FBase.H, FBase.S, FBase.B); };
    }

    TColorTransfer& Transfer() { return FTransfer; }

private:
    THSB FBase;
    QStringList FSettings;
    TRichPalette FMatching;
    TColorTransfer FTransfer;
};

int ParseHarmonyArg(const QString& text)
{
    const int byCode = HarmonyIndexOfCode(text.toUpper());
    if (byCode >= 0)
        return byCode;
    return ParseIntArg(text, QStringLiteral("--harmony (a code such as TRI, or an index)"), 0, kHarmonyCount - 1);
}

// Where the host's scene size comes from: the page lays out on a fixed 1000 x 1000 stage.
const QSize kSceneSize(1000, 1000);

} // namespace

// The scene command's "harmonies" kind; Out ends in .swf or .png (checked by the caller).
// Size: the player's size for a picture (default the stage's); a movie file is always the
// stage as Save Image writes it.
int RunHarmoniesScene(CliArgs& args, const QString& Out, QSize Size)
{
    const QString baseText = args.takeOption(QStringLiteral("--base"));
    if (baseText.isEmpty())
        throw CliError(QStringLiteral("missing --base HEX"));
    const TColor base = ParseHexArg(baseText);
    const int harmony = ParseHarmonyArg(args.takeOption(QStringLiteral("--harmony"), QStringLiteral("TRI")));
    const int style = ParseIntArg(args.takeOption(QStringLiteral("--style"), QString::number(hsColorWheel2)),
        QStringLiteral("--style"), 0, kHarmonyStyleCount - 1);
    const QString wheel = args.takeOption(QStringLiteral("--wheel"), QStringLiteral("artistic")).toLower();
    if (wheel != QLatin1String("scientific") && wheel != QLatin1String("artistic"))
        throw CliError(QStringLiteral("--wheel must be scientific or artistic, not '%1'").arg(wheel));
    const QString grays = args.takeOption(QStringLiteral("--grays"));
    const int grayBrightness = grays.isEmpty() ? 5 : ParseIntArg(grays, QStringLiteral("--grays"), 0, 20);
    const bool marker = args.takeFlag(QStringLiteral("--marker"));
    const TColor background = ParseHexArg(args.takeOption(QStringLiteral("--background"), QStringLiteral("FFFFFF")));
    const QString outlineText = args.takeOption(QStringLiteral("--outline"), QStringLiteral("000000"));
    const bool outlined = outlineText.compare(QLatin1String("none"), Qt::CaseInsensitive) != 0;
    const TColor outline = outlined ? ParseHexArg(outlineText) : clBlack;
    args.expectEnd();

    const QStringList settings = {
        QStringLiteral("BaseColor=") + TfrmPptBase::ColorSettingText(base),
        QStringLiteral("BackgroundColor=") + TfrmPptBase::ColorSettingText(background),
        QStringLiteral("OutlineColor=") + TfrmPptBase::ColorSettingText(outline),
        QStringLiteral("ShowOutline=%1").arg(outlined ? 1 : 0),
        QStringLiteral("ArtisticWheel=%1").arg(wheel == QLatin1String("artistic") ? 1 : 0),
        QStringLiteral("ShowMarker=%1").arg(marker ? 1 : 0),
        QStringLiteral("Harmonies_ColorWheelStyle=%1").arg(style),
        QStringLiteral("Harmonies_ColorChord=%1").arg(harmony),
        QStringLiteral("Harmonies_ShowContrastingColors=%1").arg(grays.isEmpty() ? 0 : 1),
        QStringLiteral("Harmonies_MatchingGrayBrightness=%1").arg(grayBrightness),
    };
    THarmoniesHost host(base, settings);
    QWidget panel;
    panel.resize(TfrmPptBase::kDesignWidth, kAdvancedPageHeight);
    TfrmPptBase* page = OpenPage(&CreatePage<TfrmPptStandard>, &panel, host);

    const bool movie = QFileInfo(Out).suffix().compare(QLatin1String("swf"), Qt::CaseInsensitive) == 0;
    try {
        if (movie) {
            page->BuildScene(nullptr, kSceneSize, Out, &host.Transfer(), host.PageMatching());
        } else {
            TMoviePlayer player;
            player.resize(Size.isValid() ? Size : kSceneSize);
            page->BuildScene(&player, kSceneSize, QString(), &host.Transfer(), host.PageMatching());
            if (!player.FrameImage().save(Out, "PNG"))
                throw CliError(QStringLiteral("'%1' could not be written").arg(Out));
        }
    } catch (const ESceneWriteError& e) {
        ClosePage(page, host);
        throw CliError(QString::fromStdString(e.what()));
    }
    ClosePage(page, host);
    return 0;
}
