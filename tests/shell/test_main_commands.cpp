// The command set against a recording host: captions, shortcuts and menus as the program
// shows them, radio groups, which host call each action makes, enabled marks, the about box.
#include "shell/Commands.h"
#include "shell/SplashAbout.h"
#include "shell/base/Version.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

using C = TCommandId;

// Records every call; applies the state changes a real window would make unless told to
// refuse them, so the checked marks can be seen following the host.
class TRecordingHost : public ICommandHost {
public:
    QStringList Calls;
    TCommandState State;
    QSet<TCommandId> Disabled;
    bool Refuse = false;
    bool BrowserWorks = true;

    bool CommandEnabled(TCommandId id) const override { return !Disabled.contains(id); }
    TCommandState CommandState() const override { return State; }

    void SetBaseColorPicker(int picker) override
    {
        Calls << QStringLiteral("SetBaseColorPicker(%1)").arg(picker);
        if (!Refuse)
            State.BaseColorPicker = picker;
    }
    void ToggleSamplerButtons() override { Calls << QStringLiteral("ToggleSamplerButtons"); }
    void SetColorModel(int model) override
    {
        Calls << QStringLiteral("SetColorModel(%1)").arg(model);
        if (!Refuse)
            State.ColorModel = model;
    }
    void CopyBaseSwatch() override { Calls << QStringLiteral("CopyBaseSwatch"); }
    void CopyBaseColorValue() override { Calls << QStringLiteral("CopyBaseColorValue"); }
    void PasteHexColorValue() override { Calls << QStringLiteral("PasteHexColorValue"); }
    void RandomBaseColor() override { Calls << QStringLiteral("RandomBaseColor"); }
    void HistoryBack() override { Calls << QStringLiteral("HistoryBack"); }
    void HistoryForward() override { Calls << QStringLiteral("HistoryForward"); }
    void ShowPage(int page) override
    {
        Calls << QStringLiteral("ShowPage(%1)").arg(page);
        if (!Refuse)
            State.DisplayMode = page;
    }
    void SetColorVisionMode(int mode) override
    {
        Calls << QStringLiteral("SetColorVisionMode(%1)").arg(mode);
        if (!Refuse)
            State.ColorVision = mode;
    }
    void SetToolbarVisible(bool visible) override
    {
        Calls << QStringLiteral("SetToolbarVisible(%1)").arg(visible);
        if (!Refuse)
            State.ToolbarVisible = visible;
    }
    void SwitchAdvancedMode(bool on) override
    {
        Calls << QStringLiteral("SwitchAdvancedMode(%1)").arg(on);
        if (!Refuse)
            State.AdvancedMode = on;
    }
    void SetPropertiesPosition(int position) override
    {
        Calls << QStringLiteral("SetPropertiesPosition(%1)").arg(position);
        if (!Refuse)
            State.PropertiesPosition = position;
    }
    void ShowHelpTopic(int topic) override { Calls << QStringLiteral("ShowHelpTopic(%1)").arg(topic); }
    bool OpenUrl(const QUrl& url) override
    {
        Calls << QStringLiteral("OpenUrl(%1)").arg(url.toString());
        return BrowserWorks;
    }
    void ShowMessage(const QString& text) override { Calls << QStringLiteral("ShowMessage(%1)").arg(text); }
    void ShowAbout() override { Calls << QStringLiteral("ShowAbout"); }
    void CloseMainWindow() override { Calls << QStringLiteral("CloseMainWindow"); }
};

struct TFixture {
    TRecordingHost Host;
    QMainWindow Window;
    TMainCommands Commands {Host};
    TFixture() { Commands.Install(Window); }
    QAction* A(TCommandId id) const { return Commands.Action(id); }
};

// Captions as the menus show them: "-" for a separator, "Name >" for a submenu, hidden menus
// left out.
QStringList MenuCaptions(const QMenu* menu)
{
    QStringList out;
    for (QAction* a : menu->actions()) {
        if (a->isSeparator())
            out << QStringLiteral("-");
        else if (a->menu())
            out << a->text() + QStringLiteral(" >");
        else
            out << a->text();
    }
    return out;
}

QMenu* TopMenu(QMainWindow& window, const QString& objectName)
{
    return window.menuBar()->findChild<QMenu*>(objectName, Qt::FindDirectChildrenOnly);
}

} // namespace

TEST(MainCommands, CaptionsAndShortcutsAreTheProgramsOwn)
{
    TRecordingHost host;
    TMainCommands commands(host);
    struct Row {
        const char* name;
        const char* caption;
        const char* shortcut;
    };
    const Row rows[] = {
        {"atnBaseColorWheel", "Color Wheel", "Ctrl+1"},
        {"atnBaseColorSampler", "Color Sampler", "Ctrl+2"},
        {"atnColorSamplerSettings", "Color Sampler Settings", "Ctrl+Shift+2"},
        {"atnBaseColorSwatches", "Web Safe Colors", "Ctrl+3"},
        {"atnBaseNone", "None", "Ctrl+0"},
        {"atnBaseRGB", "RGB mode", "Ctrl+4"},
        {"atnBaseHSB", "HSB mode", "Ctrl+5"},
        {"atnBaseHSL", "HSL mode", "Ctrl+6"},
        {"atnBaseCopySwatch", "Copy Swatch", ""},
        {"atnFileNew", "New palette collection", "Ctrl+N"},
        {"atnFileNewPalette", "New palette", "Ctrl+Shift+N"},
        {"atnFileOpen", "Open...", "Ctrl+O"},
        {"atnFileRevert", "Revert", ""},
        {"atnFileImport", "File Import...", "Ctrl+I"},
        {"atnFileSave", "Save Palette Collection...", "Ctrl+S"},
        {"atnFileSaveAs", "Save Palette Collection As...", "Ctrl+Shift+S"},
        {"atnFileSaveCurrentPalette", "Save Current Palette As...", "Ctrl+Alt+S"},
        {"atnFileExport", "Export...", "Ctrl+X"},
        {"atnFilePrint", "Print...", "Ctrl+P"},
        {"atnFileExit", "Exit", "Alt+X"},
        {"atnEditCopySpecial", "Copy Special...", "Ctrl+Shift+C"},
        {"atnCopyBaseColorValue", "Copy Base Color Value", "Ctrl+C"},
        {"atnEditPasteHexColorValue", "Paste Hex Color Value", "Ctrl+V"},
        {"atnEditSettings", "Settings...", "Ctrl+J"},
        {"atnViewMainMenu", "Main Menu", "F2"},
        {"atnViewStdWheel", "Harmonies", "F3"},
        {"atnViewAdvWheel", "Advanced Color Wheel", "F4"},
        {"atnViewFormulas", "Color Formulae", "F5"},
        {"atnViewVariations", "Variations", "F6"},
        {"atnViewColorBlender", "Blender", "F7"},
        {"atnViewTestPatterns", "Test Patterns", "F8"},
        {"atnColorCombinations", "Color Combinations", "F9"},
        {"atnColorVisionProtan", "No Red (Protan)", ""},
        {"atnViewShowToolbar", "Toolbar Visible", "Ctrl+T"},
        {"atnPaletteAdd", "Add Palette...", "Ctrl+Ins"},
        {"atnDuplicatePalette", "Duplicate Palette...", "Ctrl+Shift+Ins"},
        {"atnPaletteDelete", "Delete Palette...", "Ctrl+Del"},
        {"atnPalettePrev", "Previous palette", "Ctrl+PgUp"},
        {"atnPaletteNext", "Next Palette", "Ctrl+PgDown"},
        {"atnPaletteThn", "View as thumbnails", "Ctrl+9"},
        {"atnPaletteSnapToWebSmart", "Snap to 4096 Color Web-Smart Palette", "Ctrl+Shift+W"},
        {"atnPaletteRemoveSimilar", "Remove Similar Colors", "Ctrl+Shift+D"},
        {"atnPptAdvancedMode", "Advanced Mode", ""},
        {"atnHelpKorvelHelp", "Korvel Help", "F1"},
        {"atnHelpAbout", "About...", ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        QAction* a = commands.Action(QString::fromLatin1(r.name));
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->text(), QString::fromUtf8(r.caption));
        EXPECT_EQ(a->shortcut().toString(QKeySequence::PortableText), QString::fromLatin1(r.shortcut));
    }

    // No two actions share a name or a shortcut: a doubled key would fire neither in Qt.
    QSet<QString> names, keys;
    for (const TCommandDef& def : TMainCommands::Table()) {
        EXPECT_FALSE(names.contains(QString::fromLatin1(def.Name))) << def.Name;
        names.insert(QString::fromLatin1(def.Name));
        const QString key = commands.Action(def.Id)->shortcut().toString();
        if (!key.isEmpty()) {
            EXPECT_FALSE(keys.contains(key)) << def.Name << " " << key.toStdString();
            keys.insert(key);
        }
    }
}

TEST(MainCommands, MenusAndToolBarsHoldTheCommandsInOrder)
{
    TFixture f;
    const QStringList file = {"New palette collection", "New palette", "Open...", "Reopen >", "Revert",
        "Import Colors From Image...", "File Import...", "-", "Save Palette Collection...",
        "Save Palette Collection As...", "Save Current Palette As...", "Export...", "-", "Print...", "-", "Exit"};
    const QStringList edit = {"Copy Special...", "Copy Base Color Value", "Paste Hex Color Value", "-", "Settings..."};
    const QStringList view = {"Main Menu", "Harmonies", "Advanced Color Wheel", "Color Formulae", "Variations",
        "Blender", "Test Patterns", "Color Combinations", "-", "Color Blindness Simulation >", "-", "Toolbar Visible"};
    const QStringList vision = {"Normal", "No Red (Protan)", "No Green (Deutan)", "No Blue (Tritan)"};
    const QStringList help
        = {"Korvel Help", "-", "Korvel on the Web", "-", "Check for Update...", "Online Support", "-", "About..."};
    EXPECT_EQ(MenuCaptions(TopMenu(f.Window, "mnuFile")), file);
    EXPECT_EQ(MenuCaptions(TopMenu(f.Window, "mnuEdit")), edit);
    EXPECT_EQ(MenuCaptions(TopMenu(f.Window, "mnuView")), view);
    EXPECT_EQ(MenuCaptions(TopMenu(f.Window, "mnuView")->findChild<QMenu*>("mnuColorVision")), vision);
    EXPECT_EQ(MenuCaptions(TopMenu(f.Window, "mnuHelp")), help);

    // The menu bar shows File, Edit, View and Help; Palette and Color Formula stay hidden.
    QStringList shown, hidden;
    for (QAction* a : f.Window.menuBar()->actions())
        (a->isVisible() ? shown : hidden) << a->text().remove(QLatin1Char('&'));
    EXPECT_EQ(shown, QStringList({"File", "Edit", "View", "Help"}));
    EXPECT_EQ(hidden, QStringList({"Palette", "Color Formula"}));
    EXPECT_EQ(MenuCaptions(TopMenu(f.Window, "mnuPalette")), QStringList({"Sort >"}));

    QStringList fileBar, viewBar;
    for (QAction* a : f.Commands.FileToolBar()->actions())
        fileBar << (a->isSeparator() ? QStringLiteral("-") : a->text());
    for (QAction* a : f.Commands.ViewToolBar()->actions())
        viewBar << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(
        fileBar, QStringList({"Exit", "New palette collection", "Open...", "Save Palette Collection...", "Print..."}));
    EXPECT_EQ(viewBar,
        QStringList({"Main Menu", "Harmonies", "Advanced Color Wheel", "Color Formulae", "Variations", "Blender",
            "Test Patterns", "Color Combinations", "-", "Import Colors From Image...", "Korvel Help"}));
    for (QAction* a : f.Commands.FileToolBar()->actions())
        EXPECT_FALSE(a->icon().isNull()) << a->text().toStdString();
    EXPECT_NE(f.Commands.ViewToolBar()->findChild<QToolButton*>("AdvToolBarButton08"), nullptr);
    EXPECT_EQ(f.Commands.ViewToolBar()->findChild<QToolButton*>("AdvToolBarButton08")->defaultAction(),
        f.A(C::atnViewStdWheel));

    QMenu props;
    f.Commands.FillPropertiesMenu(props);
    EXPECT_EQ(MenuCaptions(&props), QStringList({"Advanced Mode", "Position >"}));
}

TEST(MainCommands, EachActionMakesItsHostCall)
{
    struct Row {
        TCommandId id;
        const char* call;
    };
    const Row rows[] = {
        {C::atnBaseColorWheel, "SetBaseColorPicker(1)"},
        {C::atnBaseColorSampler, "SetBaseColorPicker(0)"},
        {C::atnBaseColorSwatches, "SetBaseColorPicker(2)"},
        {C::atnBaseRGB, "SetColorModel(0)"},
        {C::atnBaseHSB, "SetColorModel(1)"},
        {C::atnBaseCopySwatch, "CopyBaseSwatch"},
        {C::atnBaseRandom, "RandomBaseColor"},
        {C::atnHistoryPrev, "HistoryBack"},
        {C::atnHistoryNext, "HistoryForward"},
        {C::atnFileExit, "CloseMainWindow"},
        {C::atnCopyBaseColorValue, "CopyBaseColorValue"},
        {C::atnViewMainMenu, "ShowPage(2)"},
        {C::atnViewStdWheel, "ShowPage(3)"},
        {C::atnViewAdvWheel, "ShowPage(4)"},
        {C::atnViewFormulas, "ShowPage(8)"},
        {C::atnViewVariations, "ShowPage(5)"},
        {C::atnViewColorBlender, "ShowPage(6)"},
        {C::atnViewTestPatterns, "ShowPage(7)"},
        {C::atnColorCombinations, "ShowPage(9)"},
        {C::atnColorVisionNormal, "SetColorVisionMode(0)"},
        {C::atnColorVisionProtan, "SetColorVisionMode(1)"},
        {C::atnColorVisionDeutan, "SetColorVisionMode(2)"},
        {C::atnColorVisionTritan, "SetColorVisionMode(3)"},
        {C::atnViewShowToolbar, "SetToolbarVisible(0)"},
        {C::atnPptAdvancedMode, "SwitchAdvancedMode(0)"},
        {C::atnPptPosTop, "SetPropertiesPosition(0)"},
        {C::atnPptPosBottom, "SetPropertiesPosition(1)"},
        {C::atnHelpKorvelHelp, "ShowHelpTopic(1000)"},
        {C::atnHelpAbout, "ShowAbout"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(TMainCommands::Def(r.id).Name);
        TFixture f;
        f.A(r.id)->trigger();
        EXPECT_EQ(f.Host.Calls, QStringList({QString::fromLatin1(r.call)}));
    }

    // The sampler's preset buttons only toggle while the sampler is the picker.
    for (int picker : {0, 1, 2}) {
        TFixture f;
        f.Host.State.BaseColorPicker = picker;
        f.A(C::atnColorSamplerSettings)->trigger();
        EXPECT_EQ(f.Host.Calls.contains("ToggleSamplerButtons"), picker == 0) << picker;
    }

    // The two web commands, with a browser and without one.
    for (bool works : {true, false}) {
        TFixture f;
        f.Host.BrowserWorks = works;
        f.A(C::atnHelpKvWeblink)->trigger();
        f.A(C::atnHelpSupport)->trigger();
        QStringList expected = {"OpenUrl(" + TMainCommands::WebSiteUrl + ")"};
        if (!works)
            expected << "ShowMessage(" + TMainCommands::BrowserFailedMessage + ")";
        expected << "OpenUrl(" + TMainCommands::SupportUrl + ")";
        if (!works)
            expected << "ShowMessage(" + TMainCommands::BrowserFailedMessage + ")";
        EXPECT_EQ(f.Host.Calls, expected);
    }
}

TEST(MainCommands, ShortcutsReachTheirCommands)
{
    TFixture f;
    f.Window.resize(800, 600);
    f.Window.show();
    f.Window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f.Window));
    QTest::keyClick(&f.Window, Qt::Key_F3);
    QTest::keyClick(&f.Window, Qt::Key_2, Qt::ControlModifier);
    QTest::keyClick(&f.Window, Qt::Key_T, Qt::ControlModifier);
    QTest::keyClick(&f.Window, Qt::Key_X, Qt::AltModifier);
    EXPECT_EQ(
        f.Host.Calls, QStringList({"ShowPage(3)", "SetBaseColorPicker(0)", "SetToolbarVisible(0)", "CloseMainWindow"}));
    // The dock follows the host's state.
    EXPECT_FALSE(f.Commands.FileToolBar()->isVisible());
    EXPECT_FALSE(f.Commands.ViewToolBar()->isVisible());
    EXPECT_FALSE(f.A(C::atnViewShowToolbar)->isChecked());
}

TEST(MainCommands, RadioGroupsCheckOneActionAsTheHostReports)
{
    TFixture f;
    const std::vector<std::vector<TCommandId>> groups = {
        {C::atnViewMainMenu, C::atnViewStdWheel, C::atnViewAdvWheel, C::atnViewFormulas, C::atnViewVariations,
            C::atnViewColorBlender, C::atnViewTestPatterns, C::atnColorCombinations},
        {C::atnColorVisionNormal, C::atnColorVisionProtan, C::atnColorVisionDeutan, C::atnColorVisionTritan},
        {C::atnBaseColorWheel, C::atnBaseColorSampler, C::atnBaseColorSwatches},
        {C::atnPptPosTop, C::atnPptPosBottom},
    };
    auto checked = [&](const std::vector<TCommandId>& group) {
        std::vector<TCommandId> out;
        for (TCommandId id : group)
            if (f.A(id)->isChecked())
                out.push_back(id);
        return out;
    };
    // At start: the blank page (no view checked), Normal vision, the wheel, panel at the bottom.
    EXPECT_TRUE(checked(groups[0]).empty());
    EXPECT_EQ(checked(groups[1]), std::vector<TCommandId>({C::atnColorVisionNormal}));
    EXPECT_EQ(checked(groups[2]), std::vector<TCommandId>({C::atnBaseColorWheel}));
    EXPECT_EQ(checked(groups[3]), std::vector<TCommandId>({C::atnPptPosBottom}));

    for (const auto& group : groups)
        for (TCommandId id : group) {
            SCOPED_TRACE(TMainCommands::Def(id).Name);
            f.A(id)->trigger();
            EXPECT_EQ(checked(group), std::vector<TCommandId>({id}));
            // Triggering the checked one again leaves it checked.
            f.A(id)->trigger();
            EXPECT_EQ(checked(group), std::vector<TCommandId>({id}));
        }

    // A host that does not switch keeps its own mark.
    f.Host.Refuse = true;
    f.A(C::atnColorVisionProtan)->trigger();
    EXPECT_EQ(checked(groups[1]), std::vector<TCommandId>({C::atnColorVisionTritan}));
    // A lesson movie (page 11) releases every view button.
    f.Host.State.DisplayMode = 11;
    f.Commands.UpdateStates();
    EXPECT_TRUE(checked(groups[0]).empty());
}

TEST(MainCommands, EnabledMarksFollowTheHostAndTheBuild)
{
    TFixture f;
    // Pages the host cannot show yet.
    f.Host.Disabled = {C::atnViewAdvWheel, C::atnViewFormulas, C::atnViewVariations, C::atnViewColorBlender,
        C::atnViewTestPatterns, C::atnColorCombinations, C::atnViewMainMenu, C::atnHistoryPrev};
    f.Commands.UpdateStates();
    for (const TCommandDef& def : TMainCommands::Table()) {
        SCOPED_TRACE(def.Name);
        if (def.Id == C::atnEditPasteHexColorValue)
            continue; // follows the clipboard, below
        const bool expected = def.Run && !def.AlwaysDisabled && !f.Host.Disabled.contains(def.Id);
        EXPECT_EQ(f.A(def.Id)->isEnabled(), expected);
    }
    // Commands that come later and the two switched off by design stay disabled.
    for (TCommandId id : {C::atnFilePrint, C::atnFileExport, C::atnEditSettings, C::atnEditCopySpecial,
             C::atnHelpCheckUpdate, C::atnPaletteSettings, C::atnBaseNone, C::atnBaseHSL})
        EXPECT_FALSE(f.A(id)->isEnabled()) << TMainCommands::Def(id).Name;
    EXPECT_TRUE(f.A(C::atnViewStdWheel)->isEnabled());

    // A disabled action does not reach the host, neither by trigger nor by Run.
    f.A(C::atnViewAdvWheel)->trigger();
    EXPECT_FALSE(f.Commands.Run(C::atnViewAdvWheel));
    EXPECT_FALSE(f.Commands.Run(C::atnFileExport));
    EXPECT_TRUE(f.Host.Calls.isEmpty());
    EXPECT_TRUE(f.Commands.Run(C::atnViewStdWheel));
    EXPECT_EQ(f.Host.Calls, QStringList({"ShowPage(3)"}));

    // Once the host can show a page, the next update enables it.
    f.Host.Disabled.remove(C::atnViewAdvWheel);
    f.Commands.UpdateStates();
    EXPECT_TRUE(f.A(C::atnViewAdvWheel)->isEnabled());

    // Paste follows the clipboard.
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(QStringLiteral("#ff8000"));
    EXPECT_TRUE(f.A(C::atnEditPasteHexColorValue)->isEnabled());
    f.A(C::atnEditPasteHexColorValue)->trigger();
    EXPECT_EQ(f.Host.Calls.last(), QStringLiteral("PasteHexColorValue"));
    clipboard->setText(QStringLiteral("orange"));
    EXPECT_FALSE(f.A(C::atnEditPasteHexColorValue)->isEnabled());
}

TEST(MainCommands, PastableHexText)
{
    const std::pair<const char*, bool> rows[] = {
        {"#ff8000", true},
        {"ff8000", true},
        {"  #FF8000\n", true},
        {"#f", true}, // two characters before the "#" is taken off
        {"f", false},
        {"#", false},
        {"", false},
        {"##ff", false},
        {"ff 80", false},
        {"-12", false},
        {"0x12", false},
        {"7FFFFFFF", true},
        {"80000000", false}, // reads as a negative number
        {"0000000012", true},
        {"123456789", false},
        {"orange", false},
    };
    for (const auto& [text, ok] : rows)
        EXPECT_EQ(TMainCommands::IsPastableHexText(QString::fromLatin1(text)), ok) << text;
}

TEST(SplashAbout, ShowsTheVersionAndClosesOnAClick)
{
    const TProgramVersion v = RunningVersion();
    const QString version
        = QStringLiteral("Version: %1.%2.%3, build: %4").arg(v.Major).arg(v.Minor).arg(v.Release).arg(v.Build);
    for (const char* target : {"picture", "label", "button"}) {
        SCOPED_TRACE(target);
        TfrmSplashAbout box;
        EXPECT_TRUE(box.TextLabel()->text().startsWith(version + QStringLiteral("<BR>")));
        EXPECT_GT(box.TextLabel()->text().size(), version.size() + 8); // a second line follows
        EXPECT_EQ(box.CloseButton()->text(), QStringLiteral("Close"));
        EXPECT_EQ(box.size(), TfrmSplashAbout::SplashImg().size());
        box.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
        QWidget* w = std::string(target) == "picture" ? static_cast<QWidget*>(box.Picture())
            : std::string(target) == "label"          ? static_cast<QWidget*>(box.TextLabel())
                                                      : static_cast<QWidget*>(box.CloseButton());
        // A point of the picture that the label and the button do not cover.
        const QPoint at = w == box.Picture() ? QPoint(10, 10) : w->rect().center();
        QTest::mouseClick(w, Qt::LeftButton, {}, at);
        EXPECT_FALSE(box.isVisible());
        EXPECT_EQ(box.result(), QDialog::Accepted);
    }
    // The picture is drawn, not left blank: its corners differ from the wheel's centre.
    const QImage img = TfrmSplashAbout::SplashImg(2).toImage();
    EXPECT_EQ(img.size(), QSize(840, 520));
    EXPECT_NE(img.pixel(4, 4), img.pixel(img.width() - 220, 216));
}
