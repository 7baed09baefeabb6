// The main window headless: start-up from an empty store, exit writing the store, page
// switching, scene timing, the clip commands from the player and the properties panel.
#include "movie/MoviePlayer.h"
#include "pickers/ColorDragObj.h"
#include "shell/BaseColorPanel.h"
#include "shell/ColorInfoPanel.h"
#include "shell/Commands.h"
#include "shell/Main.h"
#include "shell/base/AutoSave.h"
#include "shell/base/PageSettings.h"
#include "shell/base/SettingsStore.h"
#include "workarea/PptBlank.h"
#include "workarea/PptStandard.h"
#include "workarea/Scene.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <memory>

namespace {

// Each test starts as a first run: no settings file and no autosave.
class MainWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        QFile::remove(KorvelSettingsFileName());
        const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
        QDir(data + QStringLiteral("/Korvel4")).removeRecursively();
    }

    static std::unique_ptr<TfrmMain> Start() { return std::make_unique<TfrmMain>(); }

    // A start on the blank page, whose scene and menu are the host's alone.
    static std::unique_ptr<TfrmMain> StartOnBlank()
    {
        {
            QSettings store(KorvelSettingsFileName(), QSettings::IniFormat);
            store.setValue(QStringLiteral("General/ShowMainMenu"), false);
            store.setValue(QStringLiteral("General/DisplayMode"), pgBlank);
        }
        return Start();
    }

    // A synthetic mouse event on the player at a widget point.
    static void Mouse(TMoviePlayer& Player, QEvent::Type Type, QPoint At, Qt::MouseButtons Held = Qt::NoButton)
    {
        const Qt::MouseButton button = Type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        const Qt::MouseButtons buttons = Type == QEvent::MouseButtonPress ? Qt::LeftButton : Held;
        QMouseEvent event(Type, QPointF(At), QPointF(Player.mapToGlobal(At)), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(&Player, &event);
    }
};

TEST_F(MainWindow, FirstStartTakesTheDefaultsAndShowsTheHarmoniesPage)
{
    auto window = Start();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Korvel"));
    EXPECT_EQ(window->minimumSize(), QSize(780, 580));
    // The Harmonies page loads the first-run page settings, base colour included.
    EXPECT_EQ(window->BaseColor(), RGB(255, 153, 0));
    EXPECT_TRUE(window->Settings().FirstRun);
    EXPECT_TRUE(window->Settings().ShowMainMenu);
    EXPECT_EQ(window->Settings().InspectorData.size(), 27);
    EXPECT_EQ(window->Settings().InspectorData.constFirst(), QStringLiteral("BaseColor=#FF9900"));
    // The grid's collection starts with one empty palette.
    ASSERT_EQ(window->Document().Count(), 1);
    EXPECT_EQ(window->Document().Current()->Count(), 0);
    // The Main Menu page is not there yet: exactly one page, Harmonies, with its
    // properties panel, built into the player.
    EXPECT_EQ(window->Pages().DisplayMode(), pgHarmonies);
    EXPECT_EQ(window->Pages().SceneState(), 3);
    ASSERT_NE(window->Pages().Page(), nullptr);
    EXPECT_NE(qobject_cast<TfrmPptStandard*>(window->Pages().Page()), nullptr);
    EXPECT_EQ(window->findChildren<TfrmPptBase*>().size(), 1);
    EXPECT_FALSE(window->PropertiesPanel()->isHidden());
    EXPECT_TRUE(window->Player()->IsLoaded());
    // The page's base colour went through the base-colour change, inspector included.
    EXPECT_EQ(window->InspectedColor(), std::optional<TColor>(RGB(255, 153, 0)));
    // The panels keep their widths: base colour left, palette and inspector right.
    EXPECT_EQ(window->findChild<QWidget*>(QStringLiteral("dxcBaseColor"))->maximumWidth(),
        std::max(196, TBaseColorPanel::kPanelWidth));
    EXPECT_EQ(window->findChild<QWidget*>(QStringLiteral("dxcPalette"))->maximumWidth(), 200);
    ASSERT_NE(window->Commands(), nullptr);
    EXPECT_NE(window->Commands()->FileToolBar(), nullptr);
}

TEST_F(MainWindow, ExitWritesTheSettingsOnceAndTheNextStartReadsThem)
{
    {
        auto window = Start();
        window->SetBaseColor(RGB(0x12, 0x34, 0x56));
        window->SetPropertiesPosition(0);
        window->SetPropertiesCollapsed(true);
        window->Document().Add(QStringLiteral("Mine"), true)->Add()->SetColor(RGB(1, 2, 3));
        // Nothing is written while the program runs.
        EXPECT_FALSE(QFile::exists(KorvelSettingsFileName()));
        window->Settings().InspectorData.append(QStringLiteral("ColorVisionType=2"));
    }
    {
        QSettings store(KorvelSettingsFileName(), QSettings::IniFormat);
        EXPECT_EQ(store.value(QStringLiteral("Version/FirstRun")).toString(), QStringLiteral("false"));
        EXPECT_EQ(store.value(QStringLiteral("Base Color/CurrentColor")).toString(), QStringLiteral("123456"));
        EXPECT_EQ(store.value(QStringLiteral("Property Inspector/Position")).toInt(), 0);
        EXPECT_EQ(store.value(QStringLiteral("General/DisplayMode")).toInt(), pgHarmonies);
        // The page wrote its settings at exit, the base colour it showed among them.
        EXPECT_EQ(store.value(QStringLiteral("Property Inspector/Inspector Data/BaseColor")).toString(),
            QStringLiteral("#123456"));
        // The vision simulation is never carried into the next run.
        EXPECT_FALSE(store.contains(QStringLiteral("Property Inspector/Inspector Data/ColorVisionType")));
        EXPECT_TRUE(store.contains(QStringLiteral("Main Window/Width")));
    }
    const QString autosave = AutoSaveFilePath(
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Korvel4/"));
    EXPECT_TRUE(QFile::exists(autosave));

    // The 27 first-run entries and the names the Harmonies page added at exit.
    int stored = 0;
    {
        QSettings store(KorvelSettingsFileName(), QSettings::IniFormat);
        store.beginGroup(QStringLiteral("Property Inspector/Inspector Data"));
        stored = store.childKeys().size();
    }
    EXPECT_GT(stored, 27);

    auto again = Start();
    EXPECT_FALSE(again->Settings().FirstRun);
    EXPECT_EQ(again->BaseColor(), RGB(0x12, 0x34, 0x56));
    EXPECT_EQ(again->Settings().PropertiesPosition, 0);
    EXPECT_TRUE(again->Settings().PropertiesCollapsed);
    // Not a first run: the page settings are the stored ones, not appended twice.
    EXPECT_EQ(again->Settings().InspectorData.size(), stored);
    ASSERT_EQ(again->Document().Count(), 2);
    EXPECT_EQ(again->Document().Items(1)->Colors(0)->Color(), RGB(1, 2, 3));
}

TEST_F(MainWindow, CtrlHeldAppendsTheFirstRunPageSettingsAgain)
{
    {
        auto first = Start();
    }
    TStartOptions options;
    options.CtrlHeld = true;
    int stored = 0;
    {
        QSettings store(KorvelSettingsFileName(), QSettings::IniFormat);
        store.beginGroup(QStringLiteral("Property Inspector/Inspector Data"));
        stored = store.childKeys().size();
    }
    auto window = std::make_unique<TfrmMain>(options);
    EXPECT_FALSE(window->Settings().FirstRun);
    // The stored entries and the appended 27; lookups still take the stored ones first.
    EXPECT_EQ(window->Settings().InspectorData.size(), stored + 27);
}

TEST_F(MainWindow, StoredTextThatIsNotHexLeavesTheInitialBaseColour)
{
    {
        QSettings store(KorvelSettingsFileName(), QSettings::IniFormat);
        store.setValue(QStringLiteral("Base Color/CurrentColor"), QStringLiteral("orange"));
    }
    auto window = StartOnBlank();
    EXPECT_EQ(window->BaseColor(), RGB(255, 204, 0));
}

TEST_F(MainWindow, ShowPageKeepsExactlyOnePage)
{
    auto window = StartOnBlank();
    QPointer<TfrmPptBase> first = window->Pages().Page();
    ASSERT_FALSE(first.isNull());

    // The page already shown, not forced: nothing happens.
    window->ShowPage(pgBlank, false);
    EXPECT_EQ(window->Pages().Page(), first.data());

    // Forced: the old page saves its settings and is destroyed, a new one takes its place.
    window->Settings().InspectorData.clear();
    window->ShowPage(pgBlank, true);
    EXPECT_TRUE(first.isNull());
    ASSERT_NE(window->Pages().Page(), nullptr);
    EXPECT_EQ(window->findChildren<TfrmPptBase*>().size(), 1);
    EXPECT_FALSE(window->Pages().PageSwitching());

    // An id without a page of its own leaves none.
    QPointer<TfrmPptBase> second = window->Pages().Page();
    window->ShowPage(pgInformationMovie, false);
    EXPECT_TRUE(second.isNull());
    EXPECT_EQ(window->Pages().Page(), nullptr);
    EXPECT_EQ(window->Pages().DisplayMode(), pgInformationMovie);
    EXPECT_TRUE(window->findChildren<TfrmPptBase*>().isEmpty());
}

TEST_F(MainWindow, RefreshSceneTimesTheBuildInPanelZero)
{
    auto window = Start();
    window->SetStatusText(0, QString());
    const int built = window->Pages().ScenesBuilt();
    window->RefreshScene();
    EXPECT_EQ(window->Pages().ScenesBuilt(), built + 1);
    static const QRegularExpression timing(QStringLiteral("^时间: \\d+\\.\\d{4} sek$"));
    EXPECT_TRUE(timing.match(window->StatusText(0)).hasMatch()) << window->StatusText(0).toStdString();

    window->Pages().SetShowTiming(false);
    window->SetStatusText(0, QStringLiteral("kept"));
    window->RefreshScene();
    EXPECT_EQ(window->StatusText(0), QStringLiteral("kept"));
    EXPECT_EQ(window->Pages().ScenesBuilt(), built + 2);
}

TEST(SceneTiming, TextHasFourDecimals)
{
    EXPECT_EQ(SceneTimingText(0.01234), QStringLiteral("时间: 0.0123 sek"));
    EXPECT_EQ(SceneTimingText(2), QStringLiteral("时间: 2.0000 sek"));
}

// A scene with one swatch clip covering the left half of a 200 x 100 stage.
QByteArray SwatchScene(const QString& Clip)
{
    TScene scene(QSizeF(200, 100), true);
    scene.AddClip(swf::Path::Rectangle(QRectF(0, 0, 100, 100)), swf::ShapeStyle::Filled({255, 128, 0, 255}), Clip);
    return scene.FinishToBytes();
}

TEST_F(MainWindow, RollingOverASwatchInThePlayerShowsItsColour)
{
    auto window = Start();
    TMoviePlayer& player = *window->Player();
    player.resize(200, 100);
    const QString clip = ClipName(ckSwatch, 3, RGB(0xFF, 0x80, 0x00));
    ASSERT_TRUE(player.LoadMovie(0, SwatchScene(clip)));
    player.SetScaleMode(3);
    player.SetAlignMode(5);

    Mouse(player, QEvent::MouseMove, QPoint(50, 50));
    ASSERT_TRUE(window->InspectedColor().has_value());
    EXPECT_EQ(*window->InspectedColor(), RGB(0xFF, 0x80, 0x00));
    EXPECT_EQ(window->Pages().RolloverClip(), clip);
    const auto* inspector = window->findChild<TColorInspector*>();
    ASSERT_NE(inspector, nullptr);
    EXPECT_TRUE(inspector->HasColor());
    EXPECT_EQ(inspector->ShownColor(), RGB(0xFF, 0x80, 0x00));

    Mouse(player, QEvent::MouseMove, QPoint(150, 50));
    EXPECT_FALSE(window->InspectedColor().has_value());
    EXPECT_EQ(window->Pages().RolloverClip(), QString());
    EXPECT_FALSE(inspector->HasColor());
}

TEST_F(MainWindow, ClipCommandsAsTheTableSays)
{
    auto window = StartOnBlank();
    TPageHost& pages = window->Pages();
    const QString swatch = ClipName(ckSwatch, 2, RGB(0x10, 0x20, 0x30));
    const QString formula = ClipName(ckFormula, 7, RGB(0xAA, 0xBB, 0xCC));

    // Roll-over shows only swatches and formula swatches.
    pages.HandleCommand(QStringLiteral("CM_01"), ClipName(ckCommand, 4));
    EXPECT_FALSE(window->InspectedColor().has_value());
    pages.HandleCommand(QStringLiteral("CM_01"), formula);
    EXPECT_EQ(window->InspectedColor(), std::optional<TColor>(RGB(0xAA, 0xBB, 0xCC)));
    pages.HandleCommand(QStringLiteral("CM_05"), formula);
    EXPECT_FALSE(window->InspectedColor().has_value());

    // A press remembers the clip for a drag; the drag carries it and the page's palette.
    pages.HandleCommand(QStringLiteral("CM_01"), swatch);
    pages.HandleCommand(QStringLiteral("CM_03"), swatch);
    EXPECT_TRUE(pages.ClipDragging());
    EXPECT_EQ(pages.PressedClip(), swatch);
    EXPECT_EQ(pages.PressedColor(), RGB(0x10, 0x20, 0x30));
    // A roll-out during the drag keeps the clip under the mouse.
    pages.HandleCommand(QStringLiteral("CM_02"), swatch);
    EXPECT_EQ(pages.RolloverClip(), swatch);
    std::unique_ptr<QMimeData> data(pages.StartPlayerDrag());
    ASSERT_NE(data, nullptr);
    const std::optional<TColorDragCtrlObject> drag = DecodeColorDrag(data.get());
    ASSERT_TRUE(drag.has_value());
    EXPECT_EQ(drag->Color, RGB(0x10, 0x20, 0x30));
    EXPECT_EQ(drag->SourceIndex, 2);
    EXPECT_EQ(drag->ClipName, swatch);
    EXPECT_EQ(drag->SourcePalette, window->PageMatching());
    EXPECT_EQ(pages.PressedColor(), kNoClipColor);
    pages.EndPlayerDrag();
    EXPECT_FALSE(pages.ClipDragging());
    // Without a pressed clip there is nothing to drag.
    EXPECT_EQ(pages.StartPlayerDrag(), nullptr);

    // A page request whose number is not a number switches nothing but still rebuilds.
    QPointer<TfrmPptBase> page = pages.Page();
    const int built = pages.ScenesBuilt();
    pages.HandleCommand(QStringLiteral("CM_06"), QStringLiteral("x_TRI"));
    EXPECT_EQ(pages.Page(), page.data());
    EXPECT_EQ(pages.ScenesBuilt(), built + 1);
    // The page shown, not forced: still the same page.
    pages.HandleCommand(QStringLiteral("CM_06"), QStringLiteral("1_CPL"));
    EXPECT_EQ(pages.Page(), page.data());

    // "#C4" goes back only when there is a page to go back to.
    pages.HandleCommand(QStringLiteral("CM_03"), ClipName(ckBack, 0));
    EXPECT_EQ(pages.Page(), page.data());
}

TEST_F(MainWindow, LessonLinkSwitchesToTheInformationMovieAndBackReturns)
{
    auto window = StartOnBlank();
    TPageHost& pages = window->Pages();
    pages.HandleCommand(QStringLiteral("CM_01"), ClipName(ckSwatch, 0, RGB(1, 1, 1)));
    pages.HandleCommand(QStringLiteral("CM_03"), LessonClipName(10, QStringLiteral("TH000")));
    EXPECT_EQ(pages.DisplayMode(), pgInformationMovie);
    EXPECT_EQ(pages.PreviousPage(), pgBlank);
    EXPECT_FALSE(window->InspectedColor().has_value());

    pages.HandleCommand(QStringLiteral("CM_03"), ClipName(ckBack, 0));
    EXPECT_EQ(pages.DisplayMode(), pgBlank);
    EXPECT_EQ(pages.PreviousPage(), 0);
    EXPECT_NE(pages.Page(), nullptr);
}

TEST_F(MainWindow, PlayerMenuStartsWithTheWindowsTwoItems)
{
    auto window = StartOnBlank();
    QMenu menu;
    menu.addAction(QStringLiteral("stale"));
    window->Pages().PopulatePlayerMenu(menu);
    const QList<QAction*> actions = menu.actions();
    ASSERT_GE(actions.size(), 2);
    EXPECT_EQ(actions[0]->text(), QStringLiteral("Copy as Bitmap"));
    EXPECT_EQ(actions[1]->text(), QStringLiteral("Save Image to File"));
    for (QAction* action : actions)
        EXPECT_NE(action->text(), QStringLiteral("stale"));
}

TEST_F(MainWindow, DoubleClickAddsTheInspectedColourToThePalette)
{
    auto window = StartOnBlank();
    window->Pages().PlayerDblClick();
    EXPECT_EQ(window->Document().Current()->Count(), 0);
    window->ShowColorInfo(RGB(9, 8, 7));
    window->Pages().PlayerDblClick();
    ASSERT_NE(window->Document().Current(), nullptr);
    ASSERT_EQ(window->Document().Current()->Count(), 1);
    EXPECT_EQ(window->Document().Current()->Colors(0)->Color(), RGB(9, 8, 7));
}

TEST_F(MainWindow, PropertiesPanelHeightAndPlace)
{
    auto window = Start();
    const int bar = 20;
    struct Case {
        bool Advanced, Collapsed;
        int Height;
    };
    for (const Case& c : {Case {true, false, bar + 104}, Case {false, false, bar + 54}, Case {true, true, bar},
             Case {false, true, bar}}) {
        window->SetAdvancedMode(c.Advanced);
        window->SetPropertiesCollapsed(c.Collapsed);
        EXPECT_EQ(window->PropertiesPanel()->maximumHeight(), c.Height) << c.Advanced << c.Collapsed;
        EXPECT_EQ(window->PropertiesPanel()->minimumHeight(), c.Height);
    }
    window->SetPropertiesCollapsed(false);
    window->SetPropertiesVisible(true);
    window->resize(900, 700);
    window->show();
    QApplication::processEvents();
    for (int position : {0, 1}) {
        window->SetPropertiesPosition(position);
        QApplication::processEvents();
        const bool above = window->PropertiesPanel()->geometry().top() < window->Player()->geometry().top();
        EXPECT_EQ(above, position == 0) << position;
    }
}

TEST_F(MainWindow, SimpleAndAdvancedLayoutFromTheMainMenu)
{
    auto window = Start();
    window->SetPropertiesCollapsed(true);
    window->RunMainMenuCommand(10);
    EXPECT_FALSE(window->AdvancedMode());
    EXPECT_FALSE(window->GamutCheck());
    EXPECT_FALSE(window->Settings().PropertiesCollapsed);
    EXPECT_TRUE(window->Settings().InspectorData.isEmpty());
    window->RunMainMenuCommand(11);
    EXPECT_TRUE(window->AdvancedMode());
    EXPECT_TRUE(window->GamutCheck());
    const bool shown = window->Settings().ShowMainMenu;
    window->RunMainMenuCommand(15);
    EXPECT_NE(window->Settings().ShowMainMenu, shown);
}

} // namespace
