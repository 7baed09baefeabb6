// The settings store: defaults, exact value names, round trips, unreadable values, the
// version rebuild, recent files and page settings as stored.
#include "ShellTestUtil.h"

#include "colour/Colors.h"
#include "shell/base/DialogSettings.h"
#include "shell/base/PageSettings.h"
#include "shell/base/KorvelSettings.h"
#include "shell/base/SettingsStore.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace {

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FDir.isValid());
        HexShortHand = true;
        HexLowerCase = true;
    }
    void TearDown() override
    {
        HexShortHand = true;
        HexLowerCase = true;
    }
    // A fresh QSettings on the same file, as the next run would open it.
    std::unique_ptr<QSettings> Store()
    {
        return std::make_unique<QSettings>(FDir.filePath(QStringLiteral("Korvel4.conf")), QSettings::IniFormat);
    }
    QTemporaryDir FDir;
};

TKorvelSettings ReadFrom(QSettings& Store)
{
    TKorvelSettings settings;
    settings.ReadSettings(Store);
    return settings;
}

// Every value WriteSettings writes, by its exact group and name.
const QStringList kWrittenKeys = {
    "General/ShowHint",
    "General/ShowMainMenu",
    "General/DisplayMode",
    "General/ToolbarVisible",
    "General/HexShortHand",
    "General/HexLowerCase",
    "Version/FirstRun",
    "Version/AppDir",
    "Version/Version",
    "Version/VersionMajor",
    "Version/VersionMinor",
    "Version/VersionRelease",
    "Version/Build",
    "Folders/FilePathKVFfile",
    "Folders/FilePathFormulas",
    "Folders/FilePathExport",
    "Folders/AutoSavePath",
    "Recent Files/RecentFilesCount",
    "Autosave/SavePaletteOnExit",
    "Autosave/SaveDesktopOnExit",
    "Main Window/Maximized",
    "Main Window/Width",
    "Main Window/Height",
    "Main Window/Left",
    "Main Window/Top",
    "Main Window/Monitor",
    "Warnings/WarnColorDepth",
    "Warnings/WarnNotSaved",
    "Warnings/WarnDefaultApp",
    "Warnings/WarnClearPalette",
    "Warnings/WarnDeleteSwatch",
    "Base Color/ColorModel",
    "Base Color/BaseColorPicker",
    "Base Color/CurrentColor",
    "Base Color/ColorWheelDirection",
    "Base Color/ColorWheelBaseAngle",
    "Base Color/ColorSamplerPreset",
    "Property Inspector/AdvancedMode",
    "Property Inspector/Position",
    "Property Inspector/Collapsed",
    "Color Palette/ShowPaletteToolbar",
    "Color Palette/PaletteMode",
    "Color Palette/ColorValueFormat",
    "Color Palette/DefaultTitleFormat",
    "Color Inspector/Collapsed",
    "Color Transform/RGBProfile",
    "Color Transform/CMYKProfile",
    "Color Transform/RenderingIntent",
    "Color Transform/BlackPointCompensation",
    "Eyedrop Tool/EyedropSampleWdt",
    "Eyedrop Tool/EyedropStatusMode",
    "Eyedrop Tool/EyedropHideMainWin",
    "Eyedrop Tool/EyedropShowOptions",
};

TEST_F(SettingsTest, EmptyStoreGivesTheTableDefaults)
{
    HexShortHand = false;
    HexLowerCase = false;
    TKorvelSettings s;
    // "current" defaults keep what the window holds; fixed defaults replace it.
    s.ShowHint = false;
    s.ToolbarVisible = false;
    s.AdvancedMode = false;
    s.PropertiesPosition = 0;
    s.ShowPaletteToolbar = false;
    s.PaletteMode = 2;
    s.ColorValueFormat = cfHSL;
    s.ColorWheelDirection = 1;
    s.ColorWheelBaseAngle = 90;
    s.RGBProfile = QStringLiteral("/usr/share/color/icc/sRGB.icc");
    s.Folders.AutoSaveFolder = QStringLiteral("/auto/");
    s.DisplayMode = 7;
    s.EyedropSampleWdt = 5;
    s.ShowMainMenu = false;
    auto store = Store();
    s.ReadSettings(*store);

    EXPECT_FALSE(s.ShowHint);
    EXPECT_FALSE(s.ToolbarVisible);
    EXPECT_FALSE(s.AdvancedMode);
    EXPECT_EQ(s.PropertiesPosition, 0);
    EXPECT_FALSE(s.ShowPaletteToolbar);
    EXPECT_EQ(s.PaletteMode, 2);
    EXPECT_EQ(s.ColorValueFormat, cfHSL);
    EXPECT_EQ(s.ColorWheelDirection, 1);
    EXPECT_EQ(s.ColorWheelBaseAngle, 90);
    EXPECT_EQ(s.RGBProfile, QStringLiteral("/usr/share/color/icc/sRGB.icc"));
    EXPECT_EQ(s.Folders.AutoSaveFolder, QStringLiteral("/auto/"));

    EXPECT_TRUE(s.ShowMainMenu);
    EXPECT_EQ(s.DisplayMode, 3);
    EXPECT_EQ(s.EyedropSampleWdt, 3);
    EXPECT_TRUE(HexShortHand);
    EXPECT_TRUE(HexLowerCase);
    EXPECT_TRUE(s.FirstRun);
    EXPECT_FALSE(s.SettingsVersionChanged);
    EXPECT_TRUE(s.SavePaletteOnExit);
    EXPECT_TRUE(s.SaveDesktopOnExit);
    EXPECT_FALSE(s.MainWindow.Complete);
    EXPECT_TRUE(s.WarnColorDepth && s.WarnNotSaved && s.WarnDefaultApp && s.WarnClearPalette && s.WarnDeleteSwatch);
    EXPECT_EQ(s.ColorModel, 0);
    EXPECT_EQ(s.BaseColorPicker, 1);
    EXPECT_EQ(s.BaseColor, RGB(255, 204, 0));
    EXPECT_EQ(s.ColorSamplerPreset, 0);
    EXPECT_FALSE(s.PropertiesCollapsed);
    EXPECT_FALSE(s.ColorInspectorCollapsed);
    EXPECT_EQ(s.DefaultTitleFormat, 0);
    EXPECT_EQ(s.RenderingIntent, 0);
    EXPECT_FALSE(s.BlackPointCompensation);
    EXPECT_EQ(s.EyedropStatusMode, 0);
    EXPECT_FALSE(s.EyedropHideMainWin);
    EXPECT_TRUE(s.EyedropShowOptions);
    EXPECT_TRUE(s.ShowTipOfTheDay);
    EXPECT_EQ(s.TipIndex, 0);
    EXPECT_TRUE(s.InspectorData.isEmpty());
    EXPECT_EQ(s.RecentFiles.Count(), 0);
}

TEST_F(SettingsTest, TheProgramStoreIsTheIniFileUnderXdgConfigHome)
{
    auto store = OpenKorvelSettings();
    EXPECT_EQ(store->format(), QSettings::IniFormat);
    EXPECT_EQ(store->fileName(), qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Brightfold/Korvel4.conf"));
}

TEST_F(SettingsTest, WriteUsesExactlyTheStoredValueNames)
{
    TKorvelSettings s;
    s.RecentFiles.Add(QStringLiteral("/p/a.kvfc"));
    s.InspectorData = {QStringLiteral("BaseColor=#FF9900")};
    auto store = Store();
    s.WriteSettings(*store);

    QStringList expected = kWrittenKeys;
    expected << QStringLiteral("Recent Files/RecentFile_00")
             << QStringLiteral("Property Inspector/Inspector Data/BaseColor");
    QStringList actual = Store()->allKeys();
    expected.sort();
    actual.sort();
    EXPECT_EQ(actual, expected);
    // The Help values are read but never written.
    EXPECT_FALSE(actual.contains(QStringLiteral("Help/ShowTipOfTheDay")));
}

TEST_F(SettingsTest, EveryValueSurvivesWriteAndRead)
{
    TKorvelSettings s;
    s.Version = {4, 0, 0, 0};
    s.ShowHint = false;
    s.ShowMainMenu = false;
    s.DisplayMode = 8;
    s.ToolbarVisible = false;
    HexShortHand = false;
    HexLowerCase = false;
    s.Folders.AppFolder = QStringLiteral("/opt/korvel/bin/");
    s.Folders.PaletteFolder = QStringLiteral("/home/u/Paletten ä/");
    s.Folders.FormulaFolder = QStringLiteral("/home/u/f/");
    s.Folders.ExportFolder = QStringLiteral("/home/u/Documents/");
    s.Folders.AutoSaveFolder = QStringLiteral("/home/u/auto save/");
    s.RecentFiles.Add(QStringLiteral("/p/old.kvfc"));
    s.RecentFiles.Add(QStringLiteral("/p/mid, with comma.kvfc"));
    s.RecentFiles.Add(QStringLiteral("/p/新.kvfc"));
    s.SavePaletteOnExit = false;
    s.SaveDesktopOnExit = false;
    s.MainWindow = {true, true, 1024, 700, -20, 35, 1};
    s.WarnColorDepth = false;
    s.WarnNotSaved = false;
    s.WarnDefaultApp = false;
    s.WarnClearPalette = false;
    s.WarnDeleteSwatch = false;
    s.ColorModel = 1;
    s.BaseColorPicker = 2;
    s.BaseColor = RGB(0x12, 0xAB, 0xF0);
    s.ColorWheelDirection = 1;
    s.ColorWheelBaseAngle = 45;
    s.ColorSamplerPreset = 3;
    s.AdvancedMode = false;
    s.PropertiesPosition = 0;
    s.PropertiesCollapsed = true;
    s.InspectorData = {QStringLiteral("Blender_BlendSteps=7"), QStringLiteral("Formulae_FormulaID=a=b, c & d"),
        QStringLiteral("Empty=")};
    s.ShowPaletteToolbar = false;
    s.PaletteMode = 2;
    s.ColorValueFormat = cfHSB;
    s.DefaultTitleFormat = 2;
    s.ColorInspectorCollapsed = true;
    s.RGBProfile = QStringLiteral("/usr/share/color/icc/sRGB.icc");
    s.CMYKProfile = QStringLiteral("/usr/share/color/icc/ghostscript/ps_cmyk.icc");
    s.RenderingIntent = 3;
    s.BlackPointCompensation = true;
    s.EyedropSampleWdt = 5;
    s.EyedropStatusMode = 2;
    s.EyedropHideMainWin = true;
    s.EyedropShowOptions = false;
    {
        auto store = Store();
        s.WriteSettings(*store);
    }
    HexShortHand = true;
    HexLowerCase = true;

    TKorvelSettings r;
    r.Version = s.Version;
    auto store = Store();
    r.ReadSettings(*store);
    EXPECT_FALSE(r.FirstRun);
    EXPECT_FALSE(r.SettingsVersionChanged);
    EXPECT_EQ(r.ShowHint, s.ShowHint);
    EXPECT_EQ(r.ShowMainMenu, s.ShowMainMenu);
    EXPECT_EQ(r.DisplayMode, s.DisplayMode);
    EXPECT_EQ(r.ToolbarVisible, s.ToolbarVisible);
    EXPECT_FALSE(HexShortHand);
    EXPECT_FALSE(HexLowerCase);
    EXPECT_EQ(r.Folders.PaletteFolder, s.Folders.PaletteFolder);
    EXPECT_EQ(r.Folders.FormulaFolder, s.Folders.FormulaFolder);
    EXPECT_EQ(r.Folders.ExportFolder, s.Folders.ExportFolder);
    EXPECT_EQ(r.Folders.AutoSaveFolder, s.Folders.AutoSaveFolder);
    EXPECT_EQ(r.RecentFiles.Files(), s.RecentFiles.Files());
    EXPECT_EQ(r.SavePaletteOnExit, s.SavePaletteOnExit);
    EXPECT_EQ(r.SaveDesktopOnExit, s.SaveDesktopOnExit);
    EXPECT_TRUE(r.MainWindow.Complete);
    EXPECT_EQ(r.MainWindow.Maximized, s.MainWindow.Maximized);
    EXPECT_EQ(r.MainWindow.Width, s.MainWindow.Width);
    EXPECT_EQ(r.MainWindow.Height, s.MainWindow.Height);
    EXPECT_EQ(r.MainWindow.Left, s.MainWindow.Left);
    EXPECT_EQ(r.MainWindow.Top, s.MainWindow.Top);
    EXPECT_EQ(r.MainWindow.Monitor, s.MainWindow.Monitor);
    EXPECT_EQ(r.WarnColorDepth, s.WarnColorDepth);
    EXPECT_EQ(r.WarnNotSaved, s.WarnNotSaved);
    EXPECT_EQ(r.WarnDefaultApp, s.WarnDefaultApp);
    EXPECT_EQ(r.WarnClearPalette, s.WarnClearPalette);
    EXPECT_EQ(r.WarnDeleteSwatch, s.WarnDeleteSwatch);
    EXPECT_EQ(r.ColorModel, s.ColorModel);
    EXPECT_EQ(r.BaseColorPicker, s.BaseColorPicker);
    EXPECT_EQ(r.BaseColor, s.BaseColor);
    EXPECT_EQ(r.ColorWheelDirection, s.ColorWheelDirection);
    EXPECT_EQ(r.ColorWheelBaseAngle, s.ColorWheelBaseAngle);
    EXPECT_EQ(r.ColorSamplerPreset, s.ColorSamplerPreset);
    EXPECT_EQ(r.AdvancedMode, s.AdvancedMode);
    EXPECT_EQ(r.PropertiesPosition, s.PropertiesPosition);
    EXPECT_EQ(r.PropertiesCollapsed, s.PropertiesCollapsed);
    // Stored value names come back sorted, not in list order.
    QStringList expectedData = s.InspectorData;
    expectedData.sort(Qt::CaseInsensitive);
    QStringList readData = r.InspectorData;
    readData.sort(Qt::CaseInsensitive);
    EXPECT_EQ(readData, expectedData);
    EXPECT_EQ(r.ShowPaletteToolbar, s.ShowPaletteToolbar);
    EXPECT_EQ(r.PaletteMode, s.PaletteMode);
    EXPECT_EQ(r.ColorValueFormat, s.ColorValueFormat);
    EXPECT_EQ(r.DefaultTitleFormat, s.DefaultTitleFormat);
    EXPECT_EQ(r.ColorInspectorCollapsed, s.ColorInspectorCollapsed);
    EXPECT_EQ(r.RGBProfile, s.RGBProfile);
    EXPECT_EQ(r.CMYKProfile, s.CMYKProfile);
    EXPECT_EQ(r.RenderingIntent, s.RenderingIntent);
    EXPECT_EQ(r.BlackPointCompensation, s.BlackPointCompensation);
    EXPECT_EQ(r.EyedropSampleWdt, s.EyedropSampleWdt);
    EXPECT_EQ(r.EyedropStatusMode, s.EyedropStatusMode);
    EXPECT_EQ(r.EyedropHideMainWin, s.EyedropHideMainWin);
    EXPECT_EQ(r.EyedropShowOptions, s.EyedropShowOptions);

    auto raw = Store();
    EXPECT_EQ(raw->value(QStringLiteral("Base Color/CurrentColor")).toString(), QStringLiteral("12ABF0"));
    EXPECT_EQ(raw->value(QStringLiteral("Version/Version")).toString(), QStringLiteral("Version: 4.0.0, build: 0"));
    EXPECT_EQ(raw->value(QStringLiteral("Version/AppDir")).toString(), QStringLiteral("/opt/korvel/bin/"));
}

TEST_F(SettingsTest, UnreadableValuesTakeTheirDefaults)
{
    {
        auto store = Store();
        store->setValue(QStringLiteral("General/DisplayMode"), QStringLiteral("seven"));
        store->setValue(QStringLiteral("General/ShowMainMenu"), QStringLiteral("maybe"));
        store->setValue(QStringLiteral("General/HexShortHand"), QStringLiteral("0"));
        store->setValue(QStringLiteral("General/HexLowerCase"), QStringLiteral("FALSE"));
        store->setValue(QStringLiteral("Eyedrop Tool/EyedropSampleWdt"), QStringLiteral("99999999999"));
        store->setValue(QStringLiteral("Eyedrop Tool/EyedropStatusMode"), QStringLiteral(" 2 "));
        store->setValue(QStringLiteral("Color Transform/RGBProfile"), QString());
        store->setValue(QStringLiteral("Color Transform/CMYKProfile"), QStringList {"a", "b"});
        store->setValue(QStringLiteral("Warnings/WarnNotSaved"), QStringLiteral("1"));
        store->setValue(QStringLiteral("Warnings/WarnDefaultApp"), QStringLiteral("0"));
        store->setValue(QStringLiteral("Folders/AutoSavePath"), QStringLiteral("/no/slash"));
    }
    TKorvelSettings s;
    s.RGBProfile = QStringLiteral("default rgb");
    s.CMYKProfile = QStringLiteral("default cmyk");
    auto store = Store();
    s.ReadSettings(*store);
    EXPECT_EQ(s.DisplayMode, 3);
    EXPECT_TRUE(s.ShowMainMenu);
    EXPECT_FALSE(HexShortHand);
    EXPECT_FALSE(HexLowerCase);
    EXPECT_EQ(s.EyedropSampleWdt, 3);
    EXPECT_EQ(s.EyedropStatusMode, 2);
    EXPECT_EQ(s.RGBProfile, QStringLiteral("default rgb"));
    EXPECT_EQ(s.CMYKProfile, QStringLiteral("default cmyk"));
    EXPECT_TRUE(s.WarnNotSaved);
    EXPECT_FALSE(s.WarnDefaultApp);
    EXPECT_EQ(s.Folders.AutoSaveFolder, QStringLiteral("/no/slash/"));
}

TEST_F(SettingsTest, StoredCurrentColorIsUsedOnlyWhenItIsANonNegativeHexNumber)
{
    struct Case {
        const char* Stored;
        TColor Expected;
    };
    const Case cases[] = {
        {"FFCC00", RGB(255, 204, 0)},
        {"3366cc", RGB(0x33, 0x66, 0xCC)},
        {"ABC", RGB(0xAA, 0xBB, 0xCC)}, // the hex parser's short-hand
        {"FF", RGB(0, 0, 0xFF)},
        {"not hex", kInitialBaseColor},
        {"#FF0000", kInitialBaseColor},
        {"80000000", kInitialBaseColor}, // reads as a negative number
        {"123456789", kInitialBaseColor},
        {" FF0000", kInitialBaseColor},
        {"", kInitialBaseColor},
    };
    for (const Case& c : cases) {
        {
            auto store = Store();
            store->clear();
            store->setValue(QStringLiteral("Base Color/CurrentColor"), QString::fromUtf8(c.Stored));
        }
        auto store = Store();
        EXPECT_EQ(ReadFrom(*store).BaseColor, c.Expected) << c.Stored;
    }
}

TEST_F(SettingsTest, PlacementCountsOnlyWhenAllSixValuesRead)
{
    const char* names[] = {"Maximized", "Width", "Height", "Left", "Top", "Monitor"};
    for (const char* missing : names) {
        auto store = Store();
        store->clear();
        for (const char* name : names) {
            if (qstrcmp(name, missing) != 0)
                store->setValue(QStringLiteral("Main Window/") + QString::fromLatin1(name), 1);
        }
        EXPECT_FALSE(ReadFrom(*store).MainWindow.Complete) << missing;
        store->setValue(QStringLiteral("Main Window/") + QString::fromLatin1(missing), QStringLiteral("x"));
        EXPECT_FALSE(ReadFrom(*store).MainWindow.Complete) << missing;
        store->setValue(QStringLiteral("Main Window/") + QString::fromLatin1(missing), 0);
        EXPECT_TRUE(ReadFrom(*store).MainWindow.Complete) << missing;
    }
}

TEST_F(SettingsTest, AnotherVersionRebuildsTheWholeTreeAtExit)
{
    struct Case {
        const char* Differs;
        TProgramVersion Stored;
    };
    const TProgramVersion running {4, 1, 2, 3};
    const Case cases[] = {
        {"none", {4, 1, 2, 3}},
        {"major", {3, 1, 2, 3}},
        {"minor", {4, 0, 2, 3}},
        {"release", {4, 1, 9, 3}},
        {"build", {4, 1, 2, 4}},
    };
    for (const Case& c : cases) {
        {
            auto store = Store();
            store->clear();
            TKorvelSettings old;
            old.Version = c.Stored;
            old.WriteSettings(*store);
            // Subkeys the dialogs keep for themselves, and a value the program no longer has.
            store->setValue(QStringLiteral("ImageExtract/ClientWidth"), 640);
            store->setValue(QStringLiteral("SwatchInfo/ShowInfo"), false);
            store->setValue(QStringLiteral("Help/TipIndex"), 4);
        }
        TKorvelSettings now;
        now.Version = running;
        {
            auto store = Store();
            now.ReadSettings(*store);
        }
        const bool changed = QByteArray(c.Differs) != "none";
        EXPECT_EQ(now.SettingsVersionChanged, changed) << c.Differs;
        // The stored settings are still used for this run.
        EXPECT_EQ(now.TipIndex, 4) << c.Differs;
        {
            auto store = Store();
            now.WriteSettings(*store);
        }
        auto store = Store();
        EXPECT_EQ(store->contains(QStringLiteral("ImageExtract/ClientWidth")), !changed) << c.Differs;
        EXPECT_EQ(store->contains(QStringLiteral("SwatchInfo/ShowInfo")), !changed) << c.Differs;
        EXPECT_EQ(store->contains(QStringLiteral("Help/TipIndex")), !changed) << c.Differs;
        EXPECT_EQ(store->value(QStringLiteral("Version/VersionMajor")).toInt(), 4);
        EXPECT_EQ(store->value(QStringLiteral("Version/Build")).toInt(), 3);
        EXPECT_TRUE(store->contains(QStringLiteral("General/ShowHint")));
        TKorvelSettings next;
        next.Version = running;
        next.ReadSettings(*store);
        EXPECT_FALSE(next.SettingsVersionChanged);
    }
}

TEST_F(SettingsTest, RecentFilesAreNumberedOldestFirstAndRebuiltEachTime)
{
    {
        TKorvelSettings s;
        for (int i = 0; i < 6; ++i)
            s.RecentFiles.Add(QStringLiteral("/p/%1.kvfc").arg(i));
        auto store = Store();
        s.WriteSettings(*store);
    }
    {
        auto store = Store();
        EXPECT_EQ(store->value(QStringLiteral("Recent Files/RecentFilesCount")).toInt(), 6);
        EXPECT_EQ(store->value(QStringLiteral("Recent Files/RecentFile_00")).toString(), QStringLiteral("/p/0.kvfc"));
        EXPECT_EQ(store->value(QStringLiteral("Recent Files/RecentFile_05")).toString(), QStringLiteral("/p/5.kvfc"));
    }
    {
        TKorvelSettings s;
        s.RecentFiles.Add(QStringLiteral("/p/x.kvfc"));
        s.RecentFiles.Add(QStringLiteral("/p/y.kvfc"));
        auto store = Store();
        s.WriteSettings(*store);
    }
    auto store = Store();
    TSettingsKey key(*store, QStringLiteral("Recent Files"));
    EXPECT_EQ(key.ValueNames(),
        QStringList(
            {QStringLiteral("RecentFile_00"), QStringLiteral("RecentFile_01"), QStringLiteral("RecentFilesCount")}));
    EXPECT_EQ(
        ReadFrom(*store).RecentFiles.Files(), QStringList({QStringLiteral("/p/y.kvfc"), QStringLiteral("/p/x.kvfc")}));
}

TEST_F(SettingsTest, RecentFilesReadOnlyTheCountedWellFormedEntries)
{
    auto store = Store();
    store->setValue(QStringLiteral("Recent Files/RecentFilesCount"), 4);
    store->setValue(QStringLiteral("Recent Files/RecentFile_00"), QStringLiteral("/p/a"));
    store->setValue(QStringLiteral("Recent Files/RecentFile_01"), QStringLiteral("/p/b"));
    // 02 is missing; 03 repeats 00, which therefore moves to the top.
    store->setValue(QStringLiteral("Recent Files/RecentFile_03"), QStringLiteral("/p/a"));
    store->setValue(QStringLiteral("Recent Files/RecentFile_04"), QStringLiteral("/p/beyond count"));
    store->setValue(QStringLiteral("Recent Files/RecentFile_2"), QStringLiteral("/p/not our name"));
    EXPECT_EQ(ReadFrom(*store).RecentFiles.Files(), QStringList({QStringLiteral("/p/a"), QStringLiteral("/p/b")}));

    store->setValue(QStringLiteral("Recent Files/RecentFilesCount"), 2000000000);
    EXPECT_EQ(ReadFrom(*store).RecentFiles.Count(), 3);
}

TEST_F(SettingsTest, PageSettingsAreStoredOnceEachAsLookupsSawThem)
{
    {
        auto store = Store();
        store->setValue(QStringLiteral("Property Inspector/Inspector Data/ColorVisionType"), QStringLiteral("2"));
        store->setValue(QStringLiteral("Property Inspector/Inspector Data/BaseColor"), QStringLiteral("#123456"));
    }
    TKorvelSettings s;
    {
        auto store = Store();
        s.ReadSettings(*store);
    }
    // Ctrl held at start: the defaults go after the stored entries; the stored value wins.
    AddFirstRunDefaults(s.InspectorData, false, true);
    EXPECT_EQ(NameValue(s.InspectorData, QStringLiteral("BaseColor")), QStringLiteral("#123456"));
    // What the window does before writing.
    RemoveName(s.InspectorData, QStringLiteral("ColorVisionType"));
    {
        auto store = Store();
        s.WriteSettings(*store);
    }
    auto store = Store();
    EXPECT_EQ(store->value(QStringLiteral("Property Inspector/Inspector Data/BaseColor")).toString(),
        QStringLiteral("#123456"));
    EXPECT_FALSE(store->contains(QStringLiteral("Property Inspector/Inspector Data/ColorVisionType")));
    EXPECT_EQ(TSettingsKey(*store, QStringLiteral("Property Inspector/Inspector Data")).ValueNames().size(), 27);
    const TKorvelSettings again = ReadFrom(*store);
    EXPECT_EQ(NameValue(again.InspectorData, QStringLiteral("Formulae_FormulaID")),
        QStringLiteral("Monochrome w/contrasts & grays"));
}

TEST(FirstRunDefaults, AreAppendedOnFirstRunOrWithCtrlInTheirOrder)
{
    struct Case {
        bool FirstRun, CtrlHeld, Appended;
    };
    for (const Case c :
        {Case {true, false, true}, Case {false, true, true}, Case {true, true, true}, Case {false, false, false}}) {
        QStringList data = {QStringLiteral("Blender_BlendSteps=5")};
        EXPECT_EQ(AddFirstRunDefaults(data, c.FirstRun, c.CtrlHeld), c.Appended);
        ASSERT_EQ(data.size(), c.Appended ? 28 : 1);
        if (!c.Appended)
            continue;
        EXPECT_EQ(data[1], QStringLiteral("BaseColor=#FF9900"));
        EXPECT_EQ(data[13], QStringLiteral("Formulae_FormulaID=Monochrome w/contrasts & grays"));
        EXPECT_EQ(data[24], QStringLiteral("Blender_StartColor=#FF3300"));
        EXPECT_EQ(data[27], QStringLiteral("Blender_RandomSeed=0"));
        EXPECT_EQ(NameValue(data, QStringLiteral("Blender_BlendSteps")), QStringLiteral("5"));
    }
}

TEST(InspectorDataList, LooksUpTheFirstEntryOfANameInAnyCase)
{
    QStringList data
        = {QStringLiteral("A=1"), QStringLiteral("b=x=y"), QStringLiteral("a=2"), QStringLiteral("NoValue")};
    EXPECT_EQ(NameValue(data, QStringLiteral("a")), QStringLiteral("1"));
    EXPECT_EQ(NameValue(data, QStringLiteral("B")), QStringLiteral("x=y"));
    EXPECT_EQ(NameValue(data, QStringLiteral("NoValue"), QStringLiteral("d")), QString());
    EXPECT_EQ(NameValue(data, QStringLiteral("missing"), QStringLiteral("d")), QStringLiteral("d"));
    SetNameValue(data, QStringLiteral("a"), QStringLiteral("3"));
    EXPECT_EQ(data[0], QStringLiteral("a=3"));
    EXPECT_EQ(data[2], QStringLiteral("a=2"));
    SetNameValue(data, QStringLiteral("c"), QStringLiteral("4"));
    EXPECT_EQ(data.last(), QStringLiteral("c=4"));
    RemoveName(data, QStringLiteral("A"));
    EXPECT_EQ(IndexOfName(data, QStringLiteral("a")), -1);
    EXPECT_EQ(data.size(), 3);
}

TEST(StartPage, MainMenuFirstElseTheStoredPageExceptTheTwoThatCannotStart)
{
    struct Case {
        bool ShowMainMenu;
        int DisplayMode, Expected;
    };
    for (const Case c :
        {Case {true, 5, 2}, Case {false, 5, 5}, Case {false, 2, 3}, Case {false, 11, 3}, Case {false, 9, 9}}) {
        TKorvelSettings s;
        s.ShowMainMenu = c.ShowMainMenu;
        s.DisplayMode = c.DisplayMode;
        EXPECT_EQ(s.StartPage(), c.Expected) << c.DisplayMode;
    }
}

TEST_F(SettingsTest, ReadersAcceptOnlyTheirOwnType)
{
    auto store = Store();
    const TSettingsKey key(*store, QStringLiteral("Test"));
    struct BoolCase {
        const char* Text;
        bool Default, Expected;
    };
    for (const BoolCase c : {BoolCase {"true", false, true}, BoolCase {"FALSE", true, false},
             BoolCase {"1", false, true}, BoolCase {"-3", false, true}, BoolCase {"0", true, false},
             BoolCase {"yes", false, false}, BoolCase {"yes", true, true}, BoolCase {"", true, true}}) {
        store->setValue(QStringLiteral("Test/Flag"), QString::fromLatin1(c.Text));
        EXPECT_EQ(key.ReadBool(QStringLiteral("Flag"), c.Default), c.Expected) << c.Text;
    }
    struct IntCase {
        const char* Text;
        int Expected;
    };
    for (const IntCase c : {IntCase {"42", 42}, IntCase {" -7 ", -7}, IntCase {"4x", 9}, IntCase {"", 9},
             IntCase {"2147483648", 9}, IntCase {"0x10", 9}}) {
        store->setValue(QStringLiteral("Test/Number"), QString::fromLatin1(c.Text));
        EXPECT_EQ(key.ReadInteger(QStringLiteral("Number"), 9), c.Expected) << c.Text;
    }
    store->setValue(QStringLiteral("Test/Text"), QString());
    EXPECT_EQ(key.ReadString(QStringLiteral("Text"), QStringLiteral("d")), QStringLiteral("d"));
    EXPECT_EQ(key.ReadString(QStringLiteral("Missing"), QStringLiteral("d")), QStringLiteral("d"));
    // Written this run, typed values read back the same as after a restart.
    store->setValue(QStringLiteral("Test/Typed"), 12);
    EXPECT_EQ(key.ReadInteger(QStringLiteral("Typed"), 0), 12);
    store->setValue(QStringLiteral("Test/Typed"), true);
    EXPECT_TRUE(key.ReadBool(QStringLiteral("Typed"), false));
}

TEST(SettingsKeyPaths, MapToGroups)
{
    EXPECT_EQ(SettingsKeyPathOf(QStringLiteral("ImageExtract")),
        QStringLiteral("Software\\Brightfold\\Korvel4\\ImageExtract"));
    EXPECT_EQ(
        SettingsKeyPathOf(QStringLiteral("\\SwatchInfo")), QStringLiteral("Software\\Brightfold\\Korvel4\\SwatchInfo"));
    struct Case {
        const char* Path;
        const char* Group;
    };
    for (const Case c : {Case {"Software\\Brightfold\\Korvel4\\ImageExtract", "ImageExtract"},
             Case {"\\Property Inspector\\Inspector Data", "Property Inspector/Inspector Data"},
             Case {"Software\\Brightfold\\Korvel4", ""},
             Case {"Software\\Brightfold\\Korvel40\\X", "Software/Brightfold/Korvel40/X"}}) {
        EXPECT_EQ(SettingsGroupOfKeyPath(QString::fromLatin1(c.Path)), QString::fromLatin1(c.Group)) << c.Path;
    }
}

TEST_F(SettingsTest, DialogSubkeysLoadAndSaveTheirOwnValues)
{
    const QString swatchKey = SettingsKeyPathOf(QStringLiteral("SwatchInfo"));
    const QString extractKey = SettingsKeyPathOf(QStringLiteral("ImageExtract"));
    auto store = Store();

    TSwatchInfoSettings swatch;
    swatch.ShowInfo = false;
    swatch.Load(*store, swatchKey); // no key: nothing changes
    EXPECT_FALSE(swatch.ShowInfo);
    EXPECT_TRUE(swatch.ShowColorControls);
    swatch.ShowColorControls = false;
    swatch.Save(*store, swatchKey);
    TSwatchInfoSettings loaded;
    loaded.Load(*store, swatchKey);
    EXPECT_FALSE(loaded.ShowColorControls);
    EXPECT_FALSE(loaded.ShowInfo);
    EXPECT_TRUE(store->contains(QStringLiteral("SwatchInfo/ShowColorControls")));

    TImageExtractSettings extract {480, 640, RGB(0x11, 0x22, 0x33)};
    extract.Save(*store, extractKey);
    EXPECT_EQ(store->value(QStringLiteral("ImageExtract/HighlightColor")).toString(), QStringLiteral("112233"));
    TImageExtractSettings back {1, 2, clRed};
    back.Load(*store, extractKey);
    EXPECT_EQ(back.ClientHeight, 480);
    EXPECT_EQ(back.ClientWidth, 640);
    EXPECT_EQ(back.HighlightColor, RGB(0x11, 0x22, 0x33));
    store->setValue(QStringLiteral("ImageExtract/HighlightColor"), QStringLiteral("green"));
    back.HighlightColor = clRed;
    back.Load(*store, extractKey);
    EXPECT_EQ(back.HighlightColor, clRed);
}

} // namespace
