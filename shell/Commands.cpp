#include "shell/Commands.h"

#include <QAction>
#include <QActionGroup>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include <cctype>
#include <cmath>

const QString TMainCommands::WebSiteUrl = QStringLiteral("https://www.brightfold.com/korvel/");
const QString TMainCommands::SupportUrl = QStringLiteral("https://www.brightfold.com/korvel/support/");
const QString TMainCommands::BrowserFailedMessage
    = QStringLiteral("Unable to start web browser. Make sure you have it properly setup on your system.");

namespace {

using H = ICommandHost;
using D = TCommandDef;
using S = TCommandState;
using G = TRadioGroup;
using C = TCommandId;

// Operations shared by several rows; the row's Arg says which page, picker or mode.
void RunPage(H& h, const D& d)
{
    h.ShowPage(d.Arg);
}
void RunPicker(H& h, const D& d)
{
    h.SetBaseColorPicker(d.Arg);
}
void RunModel(H& h, const D& d)
{
    h.SetColorModel(d.Arg);
}
void RunVision(H& h, const D& d)
{
    h.SetColorVisionMode(d.Arg);
}
void RunPosition(H& h, const D& d)
{
    h.SetPropertiesPosition(d.Arg);
}
void RunSamplerSettings(H& h, const D&)
{
    // The preset buttons belong to the sampler; with another picker there is nothing to show.
    if (h.CommandState().BaseColorPicker == 0)
        h.ToggleSamplerButtons();
}
void RunCopySwatch(H& h, const D&)
{
    h.CopyBaseSwatch();
}
void RunRandom(H& h, const D&)
{
    h.RandomBaseColor();
}
void RunBack(H& h, const D&)
{
    h.HistoryBack();
}
void RunForward(H& h, const D&)
{
    h.HistoryForward();
}
void RunCopyValue(H& h, const D&)
{
    h.CopyBaseColorValue();
}
void RunPaste(H& h, const D&)
{
    h.PasteHexColorValue();
}
void RunExit(H& h, const D&)
{
    h.CloseMainWindow();
}
void RunToolbar(H& h, const D&)
{
    h.SetToolbarVisible(!h.CommandState().ToolbarVisible);
}
void RunAdvanced(H& h, const D&)
{
    h.SwitchAdvancedMode(!h.CommandState().AdvancedMode);
}
void RunHelp(H& h, const D& d)
{
    h.ShowHelpTopic(d.Arg);
}
void OpenInBrowser(H& h, const QString& url)
{
    if (!h.OpenUrl(QUrl(url)))
        h.ShowMessage(TMainCommands::BrowserFailedMessage);
}
void RunWeb(H& h, const D&)
{
    OpenInBrowser(h, TMainCommands::WebSiteUrl);
}
void RunSupport(H& h, const D&)
{
    OpenInBrowser(h, TMainCommands::SupportUrl);
}
void RunAbout(H& h, const D&)
{
    h.ShowAbout();
}

void RunFile(H& h, const D& d)
{
    h.RunFileCommand(d.Id);
}
void RunPalette(H& h, const D& d)
{
    h.RunPaletteCommand(d.Id);
}
void RunPaletteView(H& h, const D& d)
{
    h.ChoosePaletteViewMode(d.Arg);
}
void RunPaletteToolbar(H& h, const D&)
{
    h.SetPaletteToolbarVisible(!h.CommandState().PaletteToolbarVisible);
}

bool IsPage(const S& s, const D& d)
{
    return s.DisplayMode == d.Arg;
}
bool IsPicker(const S& s, const D& d)
{
    return s.BaseColorPicker == d.Arg;
}
bool IsVision(const S& s, const D& d)
{
    return s.ColorVision == d.Arg;
}
bool IsPosition(const S& s, const D& d)
{
    return s.PropertiesPosition == d.Arg;
}
bool IsToolbar(const S& s, const D&)
{
    return s.ToolbarVisible;
}
bool IsAdvanced(const S& s, const D&)
{
    return s.AdvancedMode;
}
bool IsPaletteMode(const S& s, const D& d)
{
    return s.PaletteMode == d.Arg;
}
bool IsPaletteToolbar(const S& s, const D&)
{
    return s.PaletteToolbarVisible;
}

// clang-format off
constexpr TCommandDef kCommands[] = {
    {C::atnBaseColorWheel, "atnBaseColorWheel", "Base Color", "Color Wheel", "Pick the base color on the color wheel", "Ctrl+1", "", G::BasePicker, 1, RunPicker, IsPicker},
    {C::atnBaseColorSampler, "atnBaseColorSampler", "Base Color", "Color Sampler", "Pick the base color with the color sampler", "Ctrl+2", "", G::BasePicker, 0, RunPicker, IsPicker},
    {C::atnColorSamplerSettings, "atnColorSamplerSettings", "Base Color", "Color Sampler Settings", "Show or hide the color sampler's preset buttons", "Ctrl+Shift+2", "", G::None, 0, RunSamplerSettings, nullptr},
    {C::atnBaseColorSwatches, "atnBaseColorSwatches", "Base Color", "Web Safe Colors", "Pick the base color from the 216 web-safe colors", "Ctrl+3", "", G::BasePicker, 2, RunPicker, IsPicker},
    {C::atnBaseNone, "atnBaseNone", "Base Color", "None", "Hide the base color pickers", "Ctrl+0", "", G::BasePicker, 3, RunPicker, IsPicker, true},
    {C::atnBaseRGB, "atnBaseRGB", "Base Color", "RGB mode", "Show the base color as red, green and blue", "Ctrl+4", "", G::None, 0, RunModel, nullptr},
    {C::atnBaseHSB, "atnBaseHSB", "Base Color", "HSB mode", "Show the base color as hue, saturation and brightness", "Ctrl+5", "", G::None, 1, RunModel, nullptr},
    {C::atnBaseHSL, "atnBaseHSL", "Base Color", "HSL mode", "Show the base color as hue, saturation and lightness", "Ctrl+6", "", G::None, 2, RunModel, nullptr, true},
    {C::atnBaseCopySwatch, "atnBaseCopySwatch", "Base Color", "Copy Swatch", "Copy a swatch of the base color to the clipboard", "", "", G::None, 0, RunCopySwatch, nullptr},
    {C::atnBaseRandom, "atnBaseRandom", "Base Color", "Random Color", "Pick a random base color", "", "", G::None, 0, RunRandom, nullptr},
    {C::atnHistoryPrev, "atnHistoryPrev", "Base Color", "Back", "Go back to the previous base color", "", "", G::None, 0, RunBack, nullptr},
    {C::atnHistoryNext, "atnHistoryNext", "Base Color", "Forward", "Go forward to the next base color", "", "", G::None, 0, RunForward, nullptr},

    {C::atnFileNew, "atnFileNew", "File", "New palette collection", "Start a new palette collection", "Ctrl+N", "new", G::None, 0, RunFile, nullptr},
    {C::atnFileNewPalette, "atnFileNewPalette", "File", "New palette", "Add a new palette to the collection", "Ctrl+Shift+N", "", G::None, 0, RunFile, nullptr},
    {C::atnFileOpen, "atnFileOpen", "File", "Open...", "Open a palette file", "Ctrl+O", "open", G::None, 0, RunFile, nullptr},
    {C::atnFileRevert, "atnFileRevert", "File", "Revert", "Reload the palette collection from its file", "", "", G::None, 0, RunFile, nullptr},
    {C::atnFileImportFromImg, "atnFileImportFromImg", "File", "Import Colors From Image...", "Build a palette from the colors of a picture", "", "image", G::None, 0, nullptr, nullptr},
    {C::atnFileImport, "atnFileImport", "File", "File Import...", "Add the palettes of another palette file", "Ctrl+I", "", G::None, 0, RunFile, nullptr},
    {C::atnFileSave, "atnFileSave", "File", "Save Palette Collection...", "Save the palette collection", "Ctrl+S", "save", G::None, 0, RunFile, nullptr},
    {C::atnFileSaveAs, "atnFileSaveAs", "File", "Save Palette Collection As...", "Save the palette collection under a new name", "Ctrl+Shift+S", "", G::None, 0, RunFile, nullptr},
    {C::atnFileSaveCurrentPalette, "atnFileSaveCurrentPalette", "File", "Save Current Palette As...", "Save the current palette on its own", "Ctrl+Alt+S", "", G::None, 0, RunFile, nullptr},
    {C::atnFileExport, "atnFileExport", "File", "Export...", "Export colors as pictures, text, style sheets or palette files", "Ctrl+X", "", G::None, 0, nullptr, nullptr},
    {C::atnFilePrint, "atnFilePrint", "File", "Print...", "Print the palette", "Ctrl+P", "print", G::None, 0, nullptr, nullptr},
    {C::atnFileExit, "atnFileExit", "File", "Exit", "Close Korvel", "Alt+X", "exit", G::None, 0, RunExit, nullptr},

    {C::atnEditCopySpecial, "atnEditCopySpecial", "Edit", "Copy Special...", "Copy colors to the clipboard as pictures or text", "Ctrl+Shift+C", "", G::None, 0, nullptr, nullptr},
    {C::atnCopyBaseColorValue, "atnCopyBaseColorValue", "Edit", "Copy Base Color Value", "Copy the base color as hex text", "Ctrl+C", "", G::None, 0, RunCopyValue, nullptr},
    {C::atnEditPasteHexColorValue, "atnEditPasteHexColorValue", "Edit", "Paste Hex Color Value", "Make the hex color on the clipboard the base color", "Ctrl+V", "", G::None, 0, RunPaste, nullptr},
    {C::atnEditSettings, "atnEditSettings", "Edit", "Settings...", "Change Korvel's settings", "Ctrl+J", "", G::None, 0, nullptr, nullptr},

    {C::atnViewMainMenu, "atnViewMainMenu", "View", "Main Menu", "Show the main menu", "F2", "mainmenu", G::WorkAreaView, 2, RunPage, IsPage},
    {C::atnViewStdWheel, "atnViewStdWheel", "View", "Harmonies", "Show the color harmonies of the base color", "F3", "harmonies", G::WorkAreaView, 3, RunPage, IsPage},
    {C::atnViewAdvWheel, "atnViewAdvWheel", "View", "Advanced Color Wheel", "Show color circles with rings of variations", "F4", "advwheel", G::WorkAreaView, 4, RunPage, IsPage},
    {C::atnViewFormulas, "atnViewFormulas", "View", "Color Formulae", "Show the colors of a color formula", "F5", "formulas", G::WorkAreaView, 8, RunPage, IsPage},
    {C::atnViewVariations, "atnViewVariations", "View", "Variations", "Show graded variations of collected colors", "F6", "variations", G::WorkAreaView, 5, RunPage, IsPage},
    {C::atnViewColorBlender, "atnViewColorBlender", "View", "Blender", "Show blends between two colors", "F7", "blender", G::WorkAreaView, 6, RunPage, IsPage},
    {C::atnViewTestPatterns, "atnViewTestPatterns", "View", "Test Patterns", "Try the colors on test-pattern designs", "F8", "testpatterns", G::WorkAreaView, 7, RunPage, IsPage},
    {C::atnColorCombinations, "atnColorCombinations", "View", "Color Combinations", "Show every palette color against every other", "F9", "combinations", G::WorkAreaView, 9, RunPage, IsPage},
    {C::atnColorVisionNormal, "atnColorVisionNormal", "View", "Normal", "Show colors as they are", "", "", G::ColorVision, 0, RunVision, IsVision},
    {C::atnColorVisionProtan, "atnColorVisionProtan", "View", "No Red (Protan)", "Show colors as seen without red cones", "", "", G::ColorVision, 1, RunVision, IsVision},
    {C::atnColorVisionDeutan, "atnColorVisionDeutan", "View", "No Green (Deutan)", "Show colors as seen without green cones", "", "", G::ColorVision, 2, RunVision, IsVision},
    {C::atnColorVisionTritan, "atnColorVisionTritan", "View", "No Blue (Tritan)", "Show colors as seen without blue cones", "", "", G::ColorVision, 3, RunVision, IsVision},
    {C::atnViewShowToolbar, "atnViewShowToolbar", "View", "Toolbar Visible", "Show or hide the tool bars", "Ctrl+T", "", G::None, 0, RunToolbar, IsToolbar},

    {C::atnPaletteAdd, "atnPaletteAdd", "Palette", "Add Palette...", "Add a palette to the collection", "Ctrl+Insert", "", G::None, 0, RunPalette, nullptr},
    {C::atnDuplicatePalette, "atnDuplicatePalette", "Palette", "Duplicate Palette...", "Add a copy of the current palette", "Ctrl+Shift+Insert", "", G::None, 0, RunPalette, nullptr},
    {C::atnPaletteDelete, "atnPaletteDelete", "Palette", "Delete Palette...", "Delete the current palette", "Ctrl+Delete", "", G::None, 0, RunPalette, nullptr},
    {C::atnPaletteInfo, "atnPaletteInfo", "Palette", "Palette Info", "Edit the current palette's title, author and description", "", "", G::None, 0, RunPalette, nullptr},
    {C::atnPalettePrev, "atnPalettePrev", "Palette", "Previous palette", "Show the previous palette", "Ctrl+PgUp", "", G::None, 0, RunPalette, nullptr},
    {C::atnPaletteNext, "atnPaletteNext", "Palette", "Next Palette", "Show the next palette", "Ctrl+PgDown", "", G::None, 0, RunPalette, nullptr},
    {C::atnPaletteList, "atnPaletteList", "Palette", "View as list", "Show the palette as a list", "Ctrl+7", "", G::PaletteView, 0, RunPaletteView, IsPaletteMode},
    {C::atnPaletteCompactList, "atnPaletteCompactList", "Palette", "View as compact list", "Show the palette as a compact list", "Ctrl+8", "", G::PaletteView, 1, RunPaletteView, IsPaletteMode},
    {C::atnPaletteThn, "atnPaletteThn", "Palette", "View as thumbnails", "Show the palette as thumbnails", "Ctrl+9", "", G::PaletteView, 2, RunPaletteView, IsPaletteMode},
    {C::atnPaletteShowToolbar, "atnPaletteShowToolbar", "Palette", "Show Palette Toolbar", "Show or hide the palette tool bar", "", "", G::None, 0, RunPaletteToolbar, IsPaletteToolbar},
    {C::atnPaletteSettings, "atnPaletteSettings", "Palette", "ColorPalette Settings...", "Change the settings of the color palette", "", "", G::None, 0, nullptr, nullptr},
    {C::atnPaletteSortHue, "atnPaletteSortHue", "Palette", "Sort by Hue", "Sort the palette by hue", "", "", G::None, 0, RunPalette, nullptr},
    {C::atnPaletteSortSat, "atnPaletteSortSat", "Palette", "Sort by Saturation", "Sort the palette by saturation", "", "", G::None, 0, RunPalette, nullptr},
    {C::atnPaletteSortBrt, "atnPaletteSortBrt", "Palette", "Sort by Brightness", "Sort the palette by brightness", "", "", G::None, 0, RunPalette, nullptr},
    {C::atnPaletteSnapToWebsafe, "atnPaletteSnapToWebsafe", "Palette", "Snap to 216 Color Web-Safe Palette", "Replace each color by the nearest web-safe color", "Ctrl+W", "", G::None, 0, RunPalette, nullptr},
    {C::atnPaletteSnapToWebSmart, "atnPaletteSnapToWebSmart", "Palette", "Snap to 4096 Color Web-Smart Palette", "Replace each color by the nearest web-smart color", "Ctrl+Shift+W", "", G::None, 0, RunPalette, nullptr},
    {C::atnPaletteRemoveDupes, "atnPaletteRemoveDupes", "Palette", "Remove Duplicate Colors", "Remove colors that appear twice", "Ctrl+D", "", G::None, 0, RunPalette, nullptr},
    {C::atnPaletteRemoveSimilar, "atnPaletteRemoveSimilar", "Palette", "Remove Similar Colors", "Remove colors close to another color", "Ctrl+Shift+D", "", G::None, 0, RunPalette, nullptr},
    {C::atnPaletteClear, "atnPaletteClear", "Palette", "Clear Palette", "Remove every color of the palette", "", "", G::None, 0, RunPalette, nullptr},
    {C::atnPaletteClearFromCurrent, "atnPaletteClearFromCurrent", "Palette", "Clear From Current Color", "Remove the colors from the selected one on", "", "", G::None, 0, RunPalette, nullptr},
    {C::atnPaletteDeleteSwatch, "atnPaletteDeleteSwatch", "Palette", "Delete Swatch", "Remove the selected color", "", "", G::None, 0, RunPalette, nullptr},
    {C::atnPaletteCopySwatch, "atnPaletteCopySwatch", "Palette", "Copy Swatch", "Copy a swatch of this color to the clipboard", "", "", G::None, 0, RunPalette, nullptr},
    {C::atnPaletteSwatchInfo, "atnPaletteSwatchInfo", "Palette", "Color Swatch Info", "Edit the name and description of this color", "", "", G::None, 0, RunPalette, nullptr},

    {C::atnPptAdvancedMode, "atnPptAdvancedMode", "Ppt", "Advanced Mode", "Show or hide the page's second row of controls", "", "", G::None, 0, RunAdvanced, IsAdvanced},
    {C::atnPptPosTop, "atnPptPosTop", "Ppt", "Top", "Put the page's controls above the work area", "", "", G::PropertiesPosition, 0, RunPosition, IsPosition},
    {C::atnPptPosBottom, "atnPptPosBottom", "Ppt", "Bottom", "Put the page's controls below the work area", "", "", G::PropertiesPosition, 1, RunPosition, IsPosition},

    {C::atnHelpKorvelHelp, "atnHelpKorvelHelp", "Help", "Korvel Help", "Open Korvel's help", "F1", "help", G::None, 1000, RunHelp, nullptr},
    {C::atnHelpKvWeblink, "atnHelpKvWeblink", "Help", "Korvel on the Web", "Visit Korvel's home page", "", "", G::None, 0, RunWeb, nullptr},
    {C::atnHelpSupport, "atnHelpSupport", "Help", "Online Support", "Visit Korvel's support page", "", "", G::None, 0, RunSupport, nullptr},
    {C::atnHelpCheckUpdate, "atnHelpCheckUpdate", "Help", "Check for Update...", "Look for a newer version of Korvel", "", "", G::None, 0, nullptr, nullptr},
    {C::atnHelpAbout, "atnHelpAbout", "Help", "About...", "Show the version of Korvel", "", "", G::None, 0, RunAbout, nullptr},
};
// clang-format on

constexpr size_t kCommandCount = static_cast<size_t>(TCommandId::Count);
static_assert(std::size(kCommands) == kCommandCount, "one row per command id");

constexpr bool RowsInIdOrder()
{
    for (size_t i = 0; i < std::size(kCommands); ++i)
        if (static_cast<size_t>(kCommands[i].Id) != i)
            return false;
    return true;
}
static_assert(RowsInIdOrder(), "rows are looked up by their id");

constexpr int GroupIndex(TRadioGroup g)
{
    return static_cast<int>(g) - 1;
}

// --- Tool-bar glyphs ----------------------------------------------------------------------

QColor Hue(int degrees, int s = 200, int v = 235)
{
    return QColor::fromHsv(degrees % 360, s, v);
}

// Each glyph is drawn on a 24 x 24 grid; the painter is scaled for larger pixmaps.
void DrawGlyph(QPainter& p, const QString& key)
{
    const QPen outline(QColor(60, 60, 70), 1.2);
    p.setRenderHint(QPainter::Antialiasing);
    if (key == QLatin1String("new") || key == QLatin1String("open") || key == QLatin1String("save")) {
        if (key == QLatin1String("open")) {
            QPainterPath folder;
            folder.moveTo(3, 6);
            folder.lineTo(9, 6);
            folder.lineTo(11, 8);
            folder.lineTo(20, 8);
            folder.lineTo(20, 19);
            folder.lineTo(3, 19);
            folder.closeSubpath();
            p.setPen(outline);
            p.setBrush(QColor(240, 200, 90));
            p.drawPath(folder);
            p.setBrush(QColor(250, 220, 120));
            p.drawPolygon(QPolygonF({QPointF(5, 11), QPointF(22, 11), QPointF(20, 19), QPointF(3, 19)}));
        } else if (key == QLatin1String("new")) {
            p.setPen(outline);
            p.setBrush(Qt::white);
            p.drawPolygon(QPolygonF({QPointF(5, 3), QPointF(14, 3), QPointF(19, 8), QPointF(19, 21), QPointF(5, 21)}));
            p.drawPolyline(QPolygonF({QPointF(14, 3), QPointF(14, 8), QPointF(19, 8)}));
            for (int i = 0; i < 3; ++i) {
                p.setPen(Qt::NoPen);
                p.setBrush(Hue(i * 120));
                p.drawRect(QRectF(7.5 + i * 3.5, 14, 3, 4));
            }
        } else {
            p.setPen(outline);
            p.setBrush(QColor(70, 110, 180));
            p.drawRoundedRect(QRectF(3.5, 3.5, 17, 17), 2, 2);
            p.setBrush(Qt::white);
            p.drawRect(QRectF(7, 4, 10, 6));
            p.setBrush(QColor(200, 210, 225));
            p.drawRect(QRectF(7, 14, 10, 6.5));
        }
        return;
    }
    if (key == QLatin1String("print")) {
        p.setPen(outline);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7, 3, 10, 7));
        p.setBrush(QColor(170, 175, 185));
        p.drawRoundedRect(QRectF(3, 9, 18, 8), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7, 14, 10, 7));
        p.setPen(Qt::NoPen);
        p.setBrush(Hue(120));
        p.drawEllipse(QPointF(18, 12), 1, 1);
        return;
    }
    if (key == QLatin1String("exit")) {
        p.setPen(outline);
        p.setBrush(QColor(150, 105, 70));
        p.drawRect(QRectF(4, 3, 10, 18));
        p.setPen(QPen(QColor(200, 40, 40), 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(QPointF(10, 12), QPointF(20, 12));
        p.drawPolyline(QPolygonF({QPointF(17, 8.5), QPointF(20.5, 12), QPointF(17, 15.5)}));
        return;
    }
    if (key == QLatin1String("help")) {
        p.setPen(outline);
        p.setBrush(QColor(60, 120, 210));
        p.drawEllipse(QPointF(12, 12), 9, 9);
        QFont f = p.font();
        f.setBold(true);
        f.setPixelSize(14);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(QRectF(3, 3, 18, 18), Qt::AlignCenter, QStringLiteral("?"));
        return;
    }
    if (key == QLatin1String("mainmenu")) {
        for (int i = 0; i < 4; ++i) {
            p.setPen(outline);
            p.setBrush(Hue(30 + i * 90));
            p.drawRoundedRect(QRectF(3.5 + (i % 2) * 9, 3.5 + (i / 2) * 9, 8, 8), 1.5, 1.5);
        }
        return;
    }
    if (key == QLatin1String("harmonies") || key == QLatin1String("advwheel")) {
        const int sectors = key == QLatin1String("harmonies") ? 12 : 24;
        const QRectF outer(2.5, 2.5, 19, 19);
        p.setPen(Qt::NoPen);
        for (int i = 0; i < sectors; ++i) {
            p.setBrush(Hue(i * 360 / sectors));
            p.drawPie(outer, (90 - (i + 1) * 360 / sectors) * 16, 360 * 16 / sectors);
        }
        if (key == QLatin1String("advwheel")) {
            // Rings of lighter variations inside the hue ring.
            for (int i = 0; i < sectors; ++i) {
                p.setBrush(Hue(i * 360 / sectors, 110, 250));
                p.drawPie(outer.adjusted(4, 4, -4, -4), (90 - (i + 1) * 360 / sectors) * 16, 360 * 16 / sectors);
            }
        }
        p.setBrush(Qt::white);
        p.drawEllipse(
            QPointF(12, 12), key == QLatin1String("harmonies") ? 4 : 3, key == QLatin1String("harmonies") ? 4 : 3);
        if (key == QLatin1String("harmonies")) {
            // A triad drawn over the disc.
            p.setPen(QPen(QColor(40, 40, 40), 1.2));
            p.setBrush(Qt::NoBrush);
            QPolygonF tri;
            for (int i = 0; i < 3; ++i) {
                const double a = (90 - i * 120) * M_PI / 180;
                tri << QPointF(12 + 8 * std::cos(a), 12 - 8 * std::sin(a));
            }
            p.drawPolygon(tri);
        }
        p.setPen(outline);
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(outer);
        return;
    }
    if (key == QLatin1String("formulas")) {
        p.setPen(outline);
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(3.5, 3.5, 17, 17), 2, 2);
        QFont f = p.font();
        f.setItalic(true);
        f.setBold(true);
        f.setPixelSize(11);
        p.setFont(f);
        p.setPen(QColor(40, 40, 90));
        p.drawText(QRectF(3.5, 3, 17, 10), Qt::AlignCenter, QStringLiteral("f(x)"));
        for (int i = 0; i < 4; ++i) {
            p.setPen(Qt::NoPen);
            p.setBrush(Hue(200 + i * 40));
            p.drawRect(QRectF(5 + i * 3.6, 14, 3.2, 4.5));
        }
        return;
    }
    if (key == QLatin1String("variations")) {
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 4; ++col) {
                p.setPen(Qt::NoPen);
                p.setBrush(QColor::fromHsv(20 + row * 100, 60 + col * 60, 255 - col * 30));
                p.drawRect(QRectF(2.5 + col * 5, 4 + row * 5.5, 4.5, 5));
            }
        p.setPen(outline);
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(2.5, 4, 19.5, 16.5));
        return;
    }
    if (key == QLatin1String("blender")) {
        QLinearGradient g(3, 0, 21, 0);
        g.setColorAt(0, Hue(0));
        g.setColorAt(1, Hue(220));
        p.setPen(outline);
        p.setBrush(g);
        p.drawRoundedRect(QRectF(3, 8, 18, 8), 2, 2);
        p.setBrush(Hue(0));
        p.drawEllipse(QPointF(5, 12), 3.5, 3.5);
        p.setBrush(Hue(220));
        p.drawEllipse(QPointF(19, 12), 3.5, 3.5);
        return;
    }
    if (key == QLatin1String("testpatterns")) {
        p.setPen(outline);
        p.setBrush(QColor(245, 240, 225));
        p.drawRect(QRectF(3.5, 3.5, 17, 17));
        p.setPen(Qt::NoPen);
        p.setBrush(Hue(210, 170, 180));
        p.drawRect(QRectF(4, 4, 16, 4));
        p.setBrush(Hue(30, 160, 240));
        p.drawRect(QRectF(4, 8, 5, 12));
        p.setBrush(Hue(100, 90, 200));
        p.drawRect(QRectF(11, 11, 7, 3));
        p.drawRect(QRectF(11, 16, 7, 3));
        return;
    }
    if (key == QLatin1String("combinations")) {
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 3; ++col) {
                p.setPen(Qt::NoPen);
                p.setBrush(Hue(row * 120, 190, 230));
                p.drawRect(QRectF(3 + col * 6, 3 + row * 6, 6, 6));
                p.setBrush(Hue(col * 120 + 60, 190, 230));
                p.drawRect(QRectF(4.75 + col * 6, 4.75 + row * 6, 2.5, 2.5));
            }
        return;
    }
    if (key == QLatin1String("image")) {
        p.setPen(outline);
        p.setBrush(QColor(160, 205, 245));
        p.drawRect(QRectF(2.5, 4.5, 19, 15));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(250, 210, 60));
        p.drawEllipse(QPointF(16.5, 8.5), 2, 2);
        p.setBrush(QColor(80, 150, 80));
        p.drawPolygon(QPolygonF({QPointF(3, 19), QPointF(9, 10), QPointF(14, 16), QPointF(17, 13), QPointF(21, 19)}));
        return;
    }
}

} // namespace

std::span<const TCommandDef> TMainCommands::Table()
{
    return kCommands;
}

const TCommandDef& TMainCommands::Def(TCommandId id)
{
    return kCommands[static_cast<size_t>(id)];
}

QIcon TMainCommands::CommandIcon(const QString& key)
{
    QIcon icon;
    if (key.isEmpty())
        return icon;
    for (int scale : {1, 2}) {
        QPixmap pm(24 * scale, 24 * scale);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.scale(scale, scale);
        DrawGlyph(p, key);
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

bool TMainCommands::IsPastableHexText(const QString& text)
{
    QString t = text.trimmed();
    if (t.size() < 2)
        return false;
    if (t.startsWith(QLatin1Char('#')))
        t.remove(0, 1);
    // "$" + text read as a signed 32-bit number: hex digits only, no sign, and no more than
    // the largest positive value (leading zeros do not count).
    if (t.isEmpty())
        return false;
    for (QChar c : t)
        if (!isxdigit(c.unicode() < 128 ? c.toLatin1() : 'x'))
            return false;
    while (t.size() > 1 && t.front() == QLatin1Char('0'))
        t.remove(0, 1);
    if (t.size() > 8)
        return false;
    return t.toULongLong(nullptr, 16) <= 0x7FFFFFFFull;
}

TMainCommands::TMainCommands(ICommandHost& host, QObject* parent)
    : QObject(parent)
    , FHost(host)
{
    for (int g = 0; g < 5; ++g) {
        // Optional: the blank page, a lesson movie or a later palette mode leaves none checked;
        // the host's state is put back after every trigger.
        FGroups[g] = new QActionGroup(this);
        FGroups[g]->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    }
    for (const TCommandDef& def : kCommands) {
        auto* a = new QAction(QString::fromUtf8(def.Caption), this);
        a->setObjectName(QString::fromLatin1(def.Name));
        a->setToolTip(QString::fromUtf8(def.Hint));
        a->setStatusTip(QString::fromUtf8(def.Hint));
        if (*def.Shortcut)
            a->setShortcut(QKeySequence(QString::fromLatin1(def.Shortcut), QKeySequence::PortableText));
        if (*def.Icon)
            a->setIcon(CommandIcon(QString::fromLatin1(def.Icon)));
        a->setCheckable(def.Checked != nullptr);
        if (def.Group != TRadioGroup::None)
            FGroups[GroupIndex(def.Group)]->addAction(a);
        const TCommandId id = def.Id;
        connect(a, &QAction::triggered, this, [this, id] { Triggered(id); });
        FActions[static_cast<size_t>(def.Id)] = a;
    }
    // Paste follows the clipboard, which changes behind the program's back.
    if (auto* clipboard = QGuiApplication::clipboard())
        connect(clipboard, &QClipboard::dataChanged, this, &TMainCommands::UpdateStates);
    UpdateStates();
}

TMainCommands::~TMainCommands() = default;

QAction* TMainCommands::Action(TCommandId id) const
{
    return FActions[static_cast<size_t>(id)];
}

QAction* TMainCommands::Action(const QString& name) const
{
    for (QAction* a : FActions)
        if (a->objectName() == name)
            return a;
    return nullptr;
}

void TMainCommands::Triggered(TCommandId id)
{
    const TCommandDef& def = Def(id);
    if (def.Run)
        def.Run(FHost, def);
    // The host may have refused or changed more than asked; its state decides the marks.
    UpdateStates();
}

bool TMainCommands::Run(TCommandId id)
{
    QAction* a = Action(id);
    UpdateStates();
    if (!a->isEnabled())
        return false;
    a->trigger();
    return true;
}

void TMainCommands::UpdateStates()
{
    const TCommandState state = FHost.CommandState();
    QString clipboardText;
    if (auto* clipboard = QGuiApplication::clipboard())
        clipboardText = clipboard->text();
    for (const TCommandDef& def : kCommands) {
        QAction* a = Action(def.Id);
        bool enabled = def.Run && !def.AlwaysDisabled && FHost.CommandEnabled(def.Id);
        if (def.Id == TCommandId::atnEditPasteHexColorValue)
            enabled = enabled && IsPastableHexText(clipboardText);
        a->setEnabled(enabled);
        if (def.Checked)
            a->setChecked(def.Checked(state, def));
    }
    SetToolBarsVisible(state.ToolbarVisible);
}

void TMainCommands::SetToolBarsVisible(bool visible)
{
    for (QToolBar* bar : {FFileBar, FViewBar})
        if (bar && bar->isVisibleTo(bar->parentWidget()) != visible)
            bar->setVisible(visible);
}

void TMainCommands::BuildMainMenu(QMenuBar& bar)
{
    auto add = [this](QMenu* m, std::initializer_list<TCommandId> ids) {
        for (TCommandId id : ids)
            m->addAction(Action(id));
    };
    // Marks are read again whenever a menu opens: the clipboard or a page may have changed.
    auto menu = [this, &bar](const QString& title, const char* name) {
        QMenu* m = bar.addMenu(title);
        m->setObjectName(QString::fromLatin1(name));
        connect(m, &QMenu::aboutToShow, this, &TMainCommands::UpdateStates);
        return m;
    };

    QMenu* file = menu(tr("&File"), "mnuFile");
    add(file, {C::atnFileNew, C::atnFileNewPalette, C::atnFileOpen});
    FReopenMenu = file->addMenu(tr("Reopen"));
    FReopenMenu->setObjectName(QStringLiteral("mnuFileReopen"));
    // Empty until the host lists recent files in it.
    FReopenMenu->setEnabled(false);
    add(file, {C::atnFileRevert, C::atnFileImportFromImg, C::atnFileImport});
    file->addSeparator();
    add(file, {C::atnFileSave, C::atnFileSaveAs, C::atnFileSaveCurrentPalette, C::atnFileExport});
    file->addSeparator();
    add(file, {C::atnFilePrint});
    file->addSeparator();
    add(file, {C::atnFileExit});

    QMenu* edit = menu(tr("&Edit"), "mnuEdit");
    add(edit, {C::atnEditCopySpecial, C::atnCopyBaseColorValue, C::atnEditPasteHexColorValue});
    edit->addSeparator();
    add(edit, {C::atnEditSettings});

    QMenu* view = menu(tr("&View"), "mnuView");
    add(view,
        {C::atnViewMainMenu, C::atnViewStdWheel, C::atnViewAdvWheel, C::atnViewFormulas, C::atnViewVariations,
            C::atnViewColorBlender, C::atnViewTestPatterns, C::atnColorCombinations});
    view->addSeparator();
    QMenu* vision = view->addMenu(tr("Color Blindness Simulation"));
    vision->setObjectName(QStringLiteral("mnuColorVision"));
    add(vision, {C::atnColorVisionNormal, C::atnColorVisionProtan, C::atnColorVisionDeutan, C::atnColorVisionTritan});
    view->addSeparator();
    add(view, {C::atnViewShowToolbar});

    // The palette commands live on the palette panel; these two menus are kept for their
    // shortcuts and stay out of sight.
    QMenu* palette = menu(tr("Palette"), "mnuPalette");
    QMenu* sort = palette->addMenu(tr("Sort"));
    add(sort, {C::atnPaletteSortHue, C::atnPaletteSortSat, C::atnPaletteSortBrt});
    palette->menuAction()->setVisible(false);
    QMenu* formula = menu(tr("Color Formula"), "mnuColorFormula");
    formula->menuAction()->setVisible(false);

    QMenu* help = menu(tr("&Help"), "mnuHelp");
    add(help, {C::atnHelpKorvelHelp});
    help->addSeparator();
    add(help, {C::atnHelpKvWeblink});
    help->addSeparator();
    add(help, {C::atnHelpCheckUpdate, C::atnHelpSupport});
    help->addSeparator();
    add(help, {C::atnHelpAbout});
}

void TMainCommands::FillPropertiesMenu(QMenu& menu)
{
    menu.addAction(Action(C::atnPptAdvancedMode));
    QMenu* position = menu.addMenu(tr("Position"));
    position->addAction(Action(C::atnPptPosTop));
    position->addAction(Action(C::atnPptPosBottom));
    connect(&menu, &QMenu::aboutToShow, this, &TMainCommands::UpdateStates);
}

void TMainCommands::FillPaletteMenu(QMenu& menu)
{
    auto add = [this, &menu](std::initializer_list<TCommandId> ids) {
        for (TCommandId id : ids)
            menu.addAction(Action(id));
    };
    add({C::atnFileSave, C::atnFileSaveAs, C::atnFileSaveCurrentPalette});
    menu.addSeparator();
    add({C::atnPaletteInfo, C::atnPaletteAdd, C::atnDuplicatePalette, C::atnPaletteDelete, C::atnPaletteSettings});
    menu.addSeparator();
    add({C::atnPaletteShowToolbar, C::atnPaletteList, C::atnPaletteCompactList, C::atnPaletteThn});
    menu.addSeparator();
    QMenu* sort = menu.addMenu(tr("Sort"));
    sort->setObjectName(QStringLiteral("mnuPaletteSort"));
    for (TCommandId id : {C::atnPaletteSortHue, C::atnPaletteSortSat, C::atnPaletteSortBrt})
        sort->addAction(Action(id));
    add({C::atnPaletteSnapToWebsafe, C::atnPaletteSnapToWebSmart, C::atnPaletteRemoveDupes,
        C::atnPaletteRemoveSimilar});
    menu.addSeparator();
    add({C::atnPaletteClear});
    connect(&menu, &QMenu::aboutToShow, this, &TMainCommands::UpdateStates);
}

QMenu* TMainCommands::FillSwatchMenu(QMenu& menu)
{
    menu.addAction(Action(C::atnPaletteSwatchInfo));
    menu.addSeparator();
    menu.addAction(Action(C::atnPaletteClearFromCurrent));
    menu.addAction(Action(C::atnPaletteDeleteSwatch));
    menu.addSeparator();
    QMenu* copyValue = menu.addMenu(tr("Copy Color Value"));
    copyValue->setObjectName(QStringLiteral("mnuSwatchCopyColorValue"));
    menu.addAction(Action(C::atnPaletteCopySwatch));
    connect(&menu, &QMenu::aboutToShow, this, &TMainCommands::UpdateStates);
    return copyValue;
}

void TMainCommands::SetRecentFiles(const QStringList& files)
{
    if (!FReopenMenu)
        return;
    FReopenMenu->clear();
    for (int i = 0; i < files.size(); ++i) {
        const QString file = files[i];
        // An "&" of the path is shown, not taken as the item's mnemonic.
        QString shown = file;
        shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* a = FReopenMenu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
        connect(a, &QAction::triggered, this, [this, file] {
            FHost.OpenRecentFile(file);
            UpdateStates();
        });
    }
    FReopenMenu->setEnabled(!files.isEmpty());
}

void TMainCommands::Install(QMainWindow& window)
{
    BuildMainMenu(*window.menuBar());

    FFileBar = new QToolBar(tr("File"), &window);
    FFileBar->setObjectName(QStringLiteral("tbFile"));
    for (TCommandId id : {C::atnFileExit, C::atnFileNew, C::atnFileOpen, C::atnFileSave, C::atnFilePrint})
        FFileBar->addAction(Action(id));
    window.addToolBar(Qt::TopToolBarArea, FFileBar);

    FViewBar = new QToolBar(tr("Work Area View"), &window);
    FViewBar->setObjectName(QStringLiteral("tbWorkAreaView"));
    int button = 7;
    for (TCommandId id : {C::atnViewMainMenu, C::atnViewStdWheel, C::atnViewAdvWheel, C::atnViewFormulas,
             C::atnViewVariations, C::atnViewColorBlender, C::atnViewTestPatterns, C::atnColorCombinations}) {
        FViewBar->addAction(Action(id));
        // The page registry names each page's button.
        if (QWidget* w = FViewBar->widgetForAction(Action(id)))
            w->setObjectName(QStringLiteral("AdvToolBarButton%1").arg(button, 2, 10, QLatin1Char('0')));
        ++button;
    }
    FViewBar->addSeparator();
    FViewBar->addAction(Action(C::atnFileImportFromImg));
    FViewBar->addAction(Action(C::atnHelpKorvelHelp));
    window.addToolBar(Qt::TopToolBarArea, FViewBar);

    // Shortcuts of actions that are in no menu (base colour, hidden palette menu) need a
    // widget to live on.
    for (QAction* a : FActions)
        window.addAction(a);
    UpdateStates();
}
