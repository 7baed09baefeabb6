#pragma once
// Every setting the main window keeps between runs, read once at start (ReadSettings) and
// written once at exit (WriteSettings). Fields start at the values the main window holds
// before the settings are read; a value that is missing or unreadable in the store
// leaves its field at the default the settings table gives ("current" defaults keep
// whatever the field holds at the moment of reading).
//
// The two hex switches are not fields: they are the core's HexShortHand and HexLowerCase,
// set by ReadSettings and written from there, since the settings dialog changes them the
// moment they are clicked.
//
// Subkeys created by the program but never holding a value ("Edit", "Clipboard") have no
// trace here: an INI file cannot keep an empty group.

#include "colour/ColorTypes.h"
#include "shell/base/Folders.h"
#include "shell/base/RecentFiles.h"
#include "shell/base/Version.h"
#include "shell/base/WindowPlacement.h"

#include <QString>
#include <QStringList>

class QSettings;

// The initial base colour: red 255, green 204, blue 0 (#FFCC00).
inline constexpr TColor kInitialBaseColor = RGB(255, 204, 0);

struct TKorvelSettings {
    // The running program's numbers, compared with the stored ones and written back.
    TProgramVersion Version = RunningVersion();
    // Set by ReadSettings when a stored version number differs from Version; makes
    // WriteSettings clear the whole store first.
    bool SettingsVersionChanged = false;

    // "General"
    bool ShowHint = true;
    bool ShowMainMenu = true;
    int DisplayMode = 3;
    bool ToolbarVisible = true;

    // "Version": true until the first exit writes it false.
    bool FirstRun = true;

    // "Folders" (FilePathKVFfile, FilePathFormulas, FilePathExport, AutoSavePath), and
    // the folders that are not stored. A stored folder without a trailing "/" gets one.
    TKorvelFolders Folders;

    // "Recent Files". Its OnChange fires for every entry read.
    TRecentFiles RecentFiles;

    // "Autosave"
    bool SavePaletteOnExit = true;
    bool SaveDesktopOnExit = true;

    // "Main Window": read for RestoreWindowPlacement; the window fills it in before
    // WriteSettings.
    TWindowPlacement MainWindow;

    // "Warnings"
    bool WarnColorDepth = true;
    bool WarnNotSaved = true;
    bool WarnDefaultApp = true;
    bool WarnClearPalette = true;
    bool WarnDeleteSwatch = true;

    // "Base Color"
    int ColorModel = 0; // 0 RGB, 1 HSB, 2 HSL value fields
    int BaseColorPicker = 1; // 0 sampler, 1 wheel, 2 web-safe swatches, 3 none
    // Value "CurrentColor": six upper-case hex digits, red first. A stored text that is
    // not a non-negative hex number leaves the colour as it is.
    TColor BaseColor = kInitialBaseColor;
    int ColorWheelDirection = 0; // the wheel's Direction: 0 clockwise, 1 counter-clockwise
    int ColorWheelBaseAngle = 0; // degrees
    int ColorSamplerPreset = 0; // 0 saturated, 2 desaturated, 3 light

    // "Property Inspector"
    bool AdvancedMode = true;
    int PropertiesPosition = 1; // value "Position": 0 top, 1 bottom of the work area
    bool PropertiesCollapsed = false; // value "Collapsed"
    // "Property Inspector/Inspector Data": the page settings (see PageSettings.h).
    QStringList InspectorData;

    // "Color Palette"
    bool ShowPaletteToolbar = true;
    int PaletteMode = 0; // 0 list, 1 compact list, 2 thumbnails
    int ColorValueFormat = 1; // a TColorValueFmt, cfRGB
    int DefaultTitleFormat = 0;

    // "Color Inspector"
    bool ColorInspectorCollapsed = false; // value "Collapsed"

    // "Color Transform": profile paths default to what the profile lookup found before
    // reading.
    QString RGBProfile;
    QString CMYKProfile;
    int RenderingIntent = 0;
    bool BlackPointCompensation = false;

    // "Eyedrop Tool"
    int EyedropSampleWdt = 3;
    int EyedropStatusMode = 0;
    bool EyedropHideMainWin = false;
    bool EyedropShowOptions = true;

    // "Help": read, kept, never used and never written.
    bool ShowTipOfTheDay = true;
    int TipIndex = 0;

    // Reads every value of the settings table from Store and sets the hex switches.
    void ReadSettings(QSettings& Store);
    // Writes every value; clears the whole store first when SettingsVersionChanged.
    // "Recent Files" and "Property Inspector/Inspector Data" are rebuilt from the lists,
    // so entries removed during the run do not come back.
    void WriteSettings(QSettings& Store) const;

    // The page the program starts on: the Main Menu page (2) when ShowMainMenu, else
    // DisplayMode, where the two pages that cannot start the program (2, 11) give 3.
    int StartPage() const;
};

// Whether Text is a number "$" + Text would read as: one to eight hex digits, at most
// 0x7FFFFFFF. Stored colours pass this before the hex parser sees them.
bool IsNonNegativeHexNumber(const QString& Text);
// The colour as six upper-case hex digits, red first ("FFCC00").
QString ColorToStoredHex(TColor Color);
