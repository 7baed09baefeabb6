#include "shell/base/KorvelSettings.h"

#include "colour/Colors.h"
#include "shell/base/PageSettings.h"
#include "shell/base/Logging.h"
#include "shell/base/SettingsStore.h"

#include <QSettings>

#include <algorithm>
#include <map>

static const QString kGeneral = QStringLiteral("General");
static const QString kVersion = QStringLiteral("Version");
static const QString kFolders = QStringLiteral("Folders");
static const QString kRecentFiles = QStringLiteral("Recent Files");
static const QString kAutosave = QStringLiteral("Autosave");
static const QString kMainWindow = QStringLiteral("Main Window");
static const QString kWarnings = QStringLiteral("Warnings");
static const QString kBaseColor = QStringLiteral("Base Color");
static const QString kPropertyInspector = QStringLiteral("Property Inspector");
static const QString kInspectorData = QStringLiteral("Property Inspector/Inspector Data");
static const QString kColorPalette = QStringLiteral("Color Palette");
static const QString kColorInspector = QStringLiteral("Color Inspector");
static const QString kColorTransform = QStringLiteral("Color Transform");
static const QString kEyedropTool = QStringLiteral("Eyedrop Tool");
static const QString kHelp = QStringLiteral("Help");

static const QString kRecentFilePrefix = QStringLiteral("RecentFile_");

bool IsNonNegativeHexNumber(const QString& Text)
{
    if (Text.isEmpty() || Text.size() > 8)
        return false;
    bool ok = false;
    const qulonglong value = Text.toULongLong(&ok, 16);
    // toULongLong also takes a "0x" prefix and blanks, which "$" + text would not.
    const bool digitsOnly = std::all_of(Text.begin(), Text.end(),
        [](QChar ch) { return ch.isDigit() || (ch.toLower() >= u'a' && ch.toLower() <= u'f'); });
    return ok && digitsOnly && value <= 0x7FFFFFFFull;
}

QString ColorToStoredHex(TColor Color)
{
    return QString::asprintf("%.2X%.2X%.2X", GetRValue(Color), GetGValue(Color), GetBValue(Color));
}

static QString ReadFolder(const TSettingsKey& Key, const QString& Name, const QString& Default)
{
    return IncludeTrailingSlash(Key.ReadString(Name, Default));
}

// "RecentFile_%.2d": two digits at least, more when the number needs them.
static QString RecentFileValueName(int Number)
{
    return kRecentFilePrefix + QString::asprintf("%.2d", Number);
}

static void ReadRecentFiles(QSettings& Store, TRecentFiles& Recent)
{
    const TSettingsKey key(Store, kRecentFiles);
    const int count = key.ReadInteger(QStringLiteral("RecentFilesCount"), 0);
    // Entries 0..count-1, oldest first, each put on top. Only names that exist are
    // visited (a missing entry reads as "" and Add ignores it), so an absurd count costs
    // nothing.
    std::map<int, QString> entries;
    for (const QString& name : key.ValueNames()) {
        if (!name.startsWith(kRecentFilePrefix))
            continue;
        bool ok = false;
        const int number = name.mid(kRecentFilePrefix.size()).toInt(&ok);
        if (ok && number >= 0 && number < count && RecentFileValueName(number) == name)
            entries[number] = key.ReadString(name, QString());
    }
    for (const auto& [number, fileName] : entries)
        Recent.Add(fileName);
}

static QStringList ReadInspectorData(QSettings& Store)
{
    const TSettingsKey key(Store, kInspectorData);
    QStringList data;
    for (const QString& name : key.ValueNames()) {
        QString text;
        // An empty text is an entry too; only values that are not text are left out.
        if (key.TryReadText(name, text))
            data.append(name + u'=' + text);
    }
    return data;
}

void TKorvelSettings::ReadSettings(QSettings& Store)
{
    {
        const TSettingsKey key(Store, kGeneral);
        ShowHint = key.ReadBool(QStringLiteral("ShowHint"), ShowHint);
        ShowMainMenu = key.ReadBool(QStringLiteral("ShowMainMenu"), true);
        DisplayMode = key.ReadInteger(QStringLiteral("DisplayMode"), 3);
        ToolbarVisible = key.ReadBool(QStringLiteral("ToolbarVisible"), ToolbarVisible);
        HexShortHand = key.ReadBool(QStringLiteral("HexShortHand"), true);
        HexLowerCase = key.ReadBool(QStringLiteral("HexLowerCase"), true);
    }
    {
        const TSettingsKey key(Store, kVersion);
        FirstRun = key.ReadBool(QStringLiteral("FirstRun"), true);
        const TProgramVersion stored {
            key.ReadInteger(QStringLiteral("VersionMajor"), Version.Major),
            key.ReadInteger(QStringLiteral("VersionMinor"), Version.Minor),
            key.ReadInteger(QStringLiteral("VersionRelease"), Version.Release),
            key.ReadInteger(QStringLiteral("Build"), Version.Build),
        };
        SettingsVersionChanged = !(stored == Version);
        if (SettingsVersionChanged)
            qCInfo(lcKorvelShell) << "settings were written by" << stored.Text() << "- rebuilt at exit";
    }
    {
        const TSettingsKey key(Store, kFolders);
        Folders.PaletteFolder = ReadFolder(key, QStringLiteral("FilePathKVFfile"), Folders.PaletteFolder);
        Folders.FormulaFolder = ReadFolder(key, QStringLiteral("FilePathFormulas"), Folders.FormulaFolder);
        Folders.ExportFolder = ReadFolder(key, QStringLiteral("FilePathExport"), Folders.ExportFolder);
        Folders.AutoSaveFolder = ReadFolder(key, QStringLiteral("AutoSavePath"), Folders.AutoSaveFolder);
    }
    ReadRecentFiles(Store, RecentFiles);
    {
        const TSettingsKey key(Store, kAutosave);
        SavePaletteOnExit = key.ReadBool(QStringLiteral("SavePaletteOnExit"), true);
        SaveDesktopOnExit = key.ReadBool(QStringLiteral("SaveDesktopOnExit"), true);
    }
    {
        const TSettingsKey key(Store, kMainWindow);
        TWindowPlacement placement;
        placement.Complete = key.TryReadBool(QStringLiteral("Maximized"), placement.Maximized)
            & key.TryReadInteger(QStringLiteral("Width"), placement.Width)
            & key.TryReadInteger(QStringLiteral("Height"), placement.Height)
            & key.TryReadInteger(QStringLiteral("Left"), placement.Left)
            & key.TryReadInteger(QStringLiteral("Top"), placement.Top)
            & key.TryReadInteger(QStringLiteral("Monitor"), placement.Monitor);
        MainWindow = placement;
    }
    {
        const TSettingsKey key(Store, kWarnings);
        WarnColorDepth = key.ReadBool(QStringLiteral("WarnColorDepth"), true);
        WarnNotSaved = key.ReadBool(QStringLiteral("WarnNotSaved"), true);
        WarnDefaultApp = key.ReadBool(QStringLiteral("WarnDefaultApp"), true);
        WarnClearPalette = key.ReadBool(QStringLiteral("WarnClearPalette"), true);
        WarnDeleteSwatch = key.ReadBool(QStringLiteral("WarnDeleteSwatch"), true);
    }
    {
        const TSettingsKey key(Store, kBaseColor);
        ColorModel = key.ReadInteger(QStringLiteral("ColorModel"), 0);
        BaseColorPicker = key.ReadInteger(QStringLiteral("BaseColorPicker"), 1);
        const QString current = key.ReadString(QStringLiteral("CurrentColor"), QString());
        if (IsNonNegativeHexNumber(current))
            BaseColor = HexToColor(current, clSilver);
        ColorWheelDirection = key.ReadInteger(QStringLiteral("ColorWheelDirection"), ColorWheelDirection);
        ColorWheelBaseAngle = key.ReadInteger(QStringLiteral("ColorWheelBaseAngle"), ColorWheelBaseAngle);
        ColorSamplerPreset = key.ReadInteger(QStringLiteral("ColorSamplerPreset"), 0);
    }
    {
        const TSettingsKey key(Store, kPropertyInspector);
        AdvancedMode = key.ReadBool(QStringLiteral("AdvancedMode"), AdvancedMode);
        PropertiesPosition = key.ReadInteger(QStringLiteral("Position"), PropertiesPosition);
        PropertiesCollapsed = key.ReadBool(QStringLiteral("Collapsed"), false);
    }
    InspectorData.append(ReadInspectorData(Store));
    {
        const TSettingsKey key(Store, kColorPalette);
        ShowPaletteToolbar = key.ReadBool(QStringLiteral("ShowPaletteToolbar"), ShowPaletteToolbar);
        PaletteMode = key.ReadInteger(QStringLiteral("PaletteMode"), PaletteMode);
        ColorValueFormat = key.ReadInteger(QStringLiteral("ColorValueFormat"), ColorValueFormat);
        DefaultTitleFormat = key.ReadInteger(QStringLiteral("DefaultTitleFormat"), 0);
    }
    {
        const TSettingsKey key(Store, kColorInspector);
        ColorInspectorCollapsed = key.ReadBool(QStringLiteral("Collapsed"), false);
    }
    {
        const TSettingsKey key(Store, kColorTransform);
        RGBProfile = key.ReadString(QStringLiteral("RGBProfile"), RGBProfile);
        CMYKProfile = key.ReadString(QStringLiteral("CMYKProfile"), CMYKProfile);
        RenderingIntent = key.ReadInteger(QStringLiteral("RenderingIntent"), 0);
        BlackPointCompensation = key.ReadBool(QStringLiteral("BlackPointCompensation"), false);
    }
    {
        const TSettingsKey key(Store, kEyedropTool);
        EyedropSampleWdt = key.ReadInteger(QStringLiteral("EyedropSampleWdt"), 3);
        EyedropStatusMode = key.ReadInteger(QStringLiteral("EyedropStatusMode"), 0);
        EyedropHideMainWin = key.ReadBool(QStringLiteral("EyedropHideMainWin"), false);
        EyedropShowOptions = key.ReadBool(QStringLiteral("EyedropShowOptions"), true);
    }
    {
        const TSettingsKey key(Store, kHelp);
        ShowTipOfTheDay = key.ReadBool(QStringLiteral("ShowTipOfTheDay"), true);
        TipIndex = key.ReadInteger(QStringLiteral("TipIndex"), 0);
    }
}

void TKorvelSettings::WriteSettings(QSettings& Store) const
{
    if (SettingsVersionChanged)
        Store.clear();
    {
        TSettingsKey key(Store, kGeneral);
        key.WriteBool(QStringLiteral("ShowHint"), ShowHint);
        key.WriteBool(QStringLiteral("ShowMainMenu"), ShowMainMenu);
        key.WriteInteger(QStringLiteral("DisplayMode"), DisplayMode);
        key.WriteBool(QStringLiteral("ToolbarVisible"), ToolbarVisible);
        key.WriteBool(QStringLiteral("HexShortHand"), HexShortHand);
        key.WriteBool(QStringLiteral("HexLowerCase"), HexLowerCase);
    }
    {
        TSettingsKey key(Store, kVersion);
        key.WriteBool(QStringLiteral("FirstRun"), false);
        key.WriteString(QStringLiteral("AppDir"), Folders.AppFolder);
        key.WriteString(QStringLiteral("Version"), Version.Text());
        key.WriteInteger(QStringLiteral("VersionMajor"), Version.Major);
        key.WriteInteger(QStringLiteral("VersionMinor"), Version.Minor);
        key.WriteInteger(QStringLiteral("VersionRelease"), Version.Release);
        key.WriteInteger(QStringLiteral("Build"), Version.Build);
    }
    {
        TSettingsKey key(Store, kFolders);
        key.WriteString(QStringLiteral("FilePathKVFfile"), Folders.PaletteFolder);
        key.WriteString(QStringLiteral("FilePathFormulas"), Folders.FormulaFolder);
        key.WriteString(QStringLiteral("FilePathExport"), Folders.ExportFolder);
        key.WriteString(QStringLiteral("AutoSavePath"), Folders.AutoSaveFolder);
    }
    {
        TSettingsKey key(Store, kRecentFiles);
        key.DeleteKey();
        const int count = RecentFiles.Count();
        key.WriteInteger(QStringLiteral("RecentFilesCount"), count);
        for (int i = 0; i < count; ++i)
            key.WriteString(RecentFileValueName(count - 1 - i), RecentFiles.Items(i));
    }
    {
        TSettingsKey key(Store, kAutosave);
        key.WriteBool(QStringLiteral("SavePaletteOnExit"), SavePaletteOnExit);
        key.WriteBool(QStringLiteral("SaveDesktopOnExit"), SaveDesktopOnExit);
    }
    {
        TSettingsKey key(Store, kMainWindow);
        key.WriteBool(QStringLiteral("Maximized"), MainWindow.Maximized);
        key.WriteInteger(QStringLiteral("Width"), MainWindow.Width);
        key.WriteInteger(QStringLiteral("Height"), MainWindow.Height);
        key.WriteInteger(QStringLiteral("Left"), MainWindow.Left);
        key.WriteInteger(QStringLiteral("Top"), MainWindow.Top);
        key.WriteInteger(QStringLiteral("Monitor"), MainWindow.Monitor);
    }
    {
        TSettingsKey key(Store, kWarnings);
        key.WriteBool(QStringLiteral("WarnColorDepth"), WarnColorDepth);
        key.WriteBool(QStringLiteral("WarnNotSaved"), WarnNotSaved);
        key.WriteBool(QStringLiteral("WarnDefaultApp"), WarnDefaultApp);
        key.WriteBool(QStringLiteral("WarnClearPalette"), WarnClearPalette);
        key.WriteBool(QStringLiteral("WarnDeleteSwatch"), WarnDeleteSwatch);
    }
    {
        TSettingsKey key(Store, kBaseColor);
        key.WriteInteger(QStringLiteral("ColorModel"), ColorModel);
        key.WriteInteger(QStringLiteral("BaseColorPicker"), BaseColorPicker);
        key.WriteString(QStringLiteral("CurrentColor"), ColorToStoredHex(BaseColor));
        key.WriteInteger(QStringLiteral("ColorWheelDirection"), ColorWheelDirection);
        key.WriteInteger(QStringLiteral("ColorWheelBaseAngle"), ColorWheelBaseAngle);
        key.WriteInteger(QStringLiteral("ColorSamplerPreset"), ColorSamplerPreset);
    }
    {
        TSettingsKey key(Store, kPropertyInspector);
        key.WriteBool(QStringLiteral("AdvancedMode"), AdvancedMode);
        key.WriteInteger(QStringLiteral("Position"), PropertiesPosition);
        key.WriteBool(QStringLiteral("Collapsed"), PropertiesCollapsed);
    }
    {
        // One value per name. A name listed twice (stored values with the first-run
        // entries appended after them) keeps the value lookups saw all run: the first.
        TSettingsKey key(Store, kInspectorData);
        key.DeleteKey();
        QStringList written;
        for (const QString& entry : InspectorData) {
            const QString name = NameOfEntry(entry);
            // A value name cannot hold a group separator in the INI file.
            if (name.isEmpty() || name.contains(u'/') || name.contains(u'\\'))
                continue;
            if (written.contains(name, Qt::CaseInsensitive))
                continue;
            written.append(name);
            key.WriteString(name, ValueOfEntry(entry));
        }
    }
    {
        TSettingsKey key(Store, kColorPalette);
        key.WriteBool(QStringLiteral("ShowPaletteToolbar"), ShowPaletteToolbar);
        key.WriteInteger(QStringLiteral("PaletteMode"), PaletteMode);
        key.WriteInteger(QStringLiteral("ColorValueFormat"), ColorValueFormat);
        key.WriteInteger(QStringLiteral("DefaultTitleFormat"), DefaultTitleFormat);
    }
    {
        TSettingsKey key(Store, kColorInspector);
        key.WriteBool(QStringLiteral("Collapsed"), ColorInspectorCollapsed);
    }
    {
        TSettingsKey key(Store, kColorTransform);
        key.WriteString(QStringLiteral("RGBProfile"), RGBProfile);
        key.WriteString(QStringLiteral("CMYKProfile"), CMYKProfile);
        key.WriteInteger(QStringLiteral("RenderingIntent"), RenderingIntent);
        key.WriteBool(QStringLiteral("BlackPointCompensation"), BlackPointCompensation);
    }
    {
        TSettingsKey key(Store, kEyedropTool);
        key.WriteInteger(QStringLiteral("EyedropSampleWdt"), EyedropSampleWdt);
        key.WriteInteger(QStringLiteral("EyedropStatusMode"), EyedropStatusMode);
        key.WriteBool(QStringLiteral("EyedropHideMainWin"), EyedropHideMainWin);
        key.WriteBool(QStringLiteral("EyedropShowOptions"), EyedropShowOptions);
    }
    Store.sync();
}

int TKorvelSettings::StartPage() const
{
    if (ShowMainMenu)
        return 2;
    return DisplayMode == 2 || DisplayMode == 11 ? 3 : DisplayMode;
}
