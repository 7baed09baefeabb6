// The page contract: construction, layout and the advanced-mode switch, the calling order a
// host follows, the shared colour settings, the left block of matching-colour pages (colour
// menus, drops, reset and swap, Save Image and Copy to Palette), the palette additions the
// host answers, and the blank page's scene.
#include "workarea/PptBase.h"
#include "workarea/PptBaseAdv.h"
#include "workarea/PptBlank.h"

#include "SceneTestUtil.h"
#include "movie/MoviePlayer.h"
#include "palette/RichColor.h"
#include "pickers/ColorDragObj.h"
#include "pickers/ColorSwatchButton.h"
#include "workarea/ClipNames.h"
#include "workarea/Scene.h"

#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFrame>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace {

void Mouse(QWidget& w, QEvent::Type type, QPointF pos, Qt::MouseButton button = Qt::LeftButton)
{
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent e(type, pos, w.mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(&w, &e);
}

void Click(QWidget& w, QPointF pos = QPointF(5, 5))
{
    Mouse(w, QEvent::MouseButtonPress, pos);
    Mouse(w, QEvent::MouseButtonRelease, pos);
}

template <class T> T* Child(QWidget& page, const char* name)
{
    T* child = page.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

// A properties panel's client area with a page in it.
template <class TPage> struct Hosted {
    Hosted(QSize size = QSize(650, 104))
    {
        panel.resize(size);
        page = new TPage(&panel);
        page->OnChange = [this](TObject* sender) {
            EXPECT_EQ(sender, static_cast<TObject*>(page));
            ++changes;
        };
    }
    QWidget panel;
    TPage* page = nullptr;
    int changes = 0;
};

TEST(PptBase, IsMadeHiddenFillingItsPanelWithWhiteAndBlack)
{
    Hosted<TfrmPptBase> base;
    Hosted<TfrmPptBaseAdv> adv;
    for (TfrmPptBase* page : {static_cast<TfrmPptBase*>(base.page), static_cast<TfrmPptBase*>(adv.page)}) {
        SCOPED_TRACE(page->objectName().toStdString());
        EXPECT_TRUE(page->isHidden());
        EXPECT_EQ(page->geometry(), QRect(0, 0, 650, 104));
        EXPECT_FALSE(page->Updating());
        EXPECT_TRUE(page->AdvancedMode());
        EXPECT_EQ(page->MinAdvButtonLeft(), 330);
        EXPECT_EQ(page->GetBackgroundColor(), clWhite);
        EXPECT_EQ(page->GetOutlineColor(), clBlack);
        EXPECT_FALSE(page->NeedsViewSize());
        EXPECT_FALSE(page->GetArtisticWheel());
        EXPECT_EQ(Child<QToolButton>(*page, "btnAdvancedMode")->property("glyph").toString(), "PptAdvMode");
        EXPECT_EQ(page->font().family(), QStringLiteral("MS Shell Dlg 2"));
        EXPECT_EQ(page->font().pointSize(), 8);
    }
    EXPECT_FALSE(base.page->DragImagesEnabled());
    EXPECT_TRUE(adv.page->DragImagesEnabled());
    // The page follows its panel.
    adv.panel.show();
    adv.panel.resize(700, 54);
    EXPECT_EQ(adv.page->geometry(), QRect(0, 0, 700, 54));
    EXPECT_EQ(adv.changes, 0);
}

TEST(PptBase, ContractDefaults)
{
    Hosted<TfrmPptBase> h;
    TfrmPptBase& page = *h.page;
    THSB corrected {1, 2, 3};
    EXPECT_FALSE(page.CheckGamut(THSB {120, 0.5, 0.5}, nullptr, corrected));
    int rows = -1, cols = -1;
    page.GetColorGrid(rows, cols);
    EXPECT_EQ(rows, 0);
    EXPECT_EQ(cols, 0);
    TColorDragCtrlObject drag;
    drag.GridRows = 4;
    drag.GridCols = 5;
    page.PrepareDragObject(drag, QStringLiteral("#SW_0001_#FF0000"));
    EXPECT_EQ(drag.DragKind, 1);
    EXPECT_EQ(drag.GridRows, 0);
    EXPECT_EQ(drag.GridCols, 0);
    bool accept = true;
    page.PlayerDragOver(nullptr, &drag, 1, 1, 1, accept);
    EXPECT_FALSE(accept);
    QStringList settings {QStringLiteral("BackgroundColor=#000000")};
    page.LoadSettings(settings);
    page.SaveSettings(settings);
    EXPECT_EQ(settings, QStringList {QStringLiteral("BackgroundColor=#000000")});
    EXPECT_EQ(page.GetBackgroundColor(), clWhite);
    page.SetOutlineColor(kNoOutline);
    EXPECT_EQ(page.GetOutlineColor(), kNoOutline);
    page.SetArtisticWheel(true);
    EXPECT_TRUE(page.GetArtisticWheel());
    page.SetColorVisionType(cvtDeut);
    EXPECT_EQ(page.ColorVisionType(), cvtDeut);
    EXPECT_EQ(h.changes, 0);
}

TEST(PptBase, DoChangeIsHeldBackWhileUpdating)
{
    Hosted<TfrmPptBase> h;
    h.page->DoChange(h.page);
    EXPECT_EQ(h.changes, 1);
    h.page->BeginUpdate();
    EXPECT_TRUE(h.page->Updating());
    h.page->DoChange(h.page);
    h.page->DoChange(h.page);
    h.page->EndUpdate(h.page, false);
    EXPECT_FALSE(h.page->Updating());
    EXPECT_EQ(h.changes, 1);
    h.page->BeginUpdate();
    h.page->DoChange(h.page);
    h.page->EndUpdate(h.page, true);
    EXPECT_EQ(h.changes, 2);
}

TEST(PptBase, LayoutKeepsTheModeButtonRightButNeverLeftOfItsMinimum)
{
    struct Case {
        QSize size;
        int minLeft;
        QPoint button;
    };
    const Case cases[] = {
        {{650, 130}, 330, {626, 106}},
        {{650, 104}, 330, {626, 80}},
        {{650, 54}, 330, {626, 30}},
        {{200, 104}, 330, {330, 80}}, // narrower than the minimum
        {{354, 54}, 330, {330, 30}}, // exactly at it
        {{400, 104}, 520, {520, 80}}, // Variations and Test Patterns
        {{1000, 104}, 520, {976, 80}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.size.width() << "x" << c.size.height() << " min " << c.minLeft);
        Hosted<TfrmPptBase> h(c.size);
        h.page->SetMinAdvButtonLeft(c.minLeft);
        const QToolButton* button = Child<QToolButton>(*h.page, "btnAdvancedMode");
        EXPECT_EQ(button->geometry(), QRect(c.button, QSize(20, 20)));
        EXPECT_EQ(Child<QFrame>(*h.page, "bvlDivider")->geometry(), QRect(4, 52, c.size.width() - 8, 2));
    }
}

TEST(PptBase, AdvancedModeIsSwitchedByTheHostAndAskedForByThePage)
{
    Hosted<TfrmPptBase> h;
    h.panel.show();
    h.page->show();
    std::vector<bool> asked;
    h.page->OnAdvancedModeToggle = [&](TObject* sender, bool value) {
        EXPECT_EQ(sender, static_cast<TObject*>(h.page));
        asked.push_back(value);
    };
    QToolButton* button = Child<QToolButton>(*h.page, "btnAdvancedMode");
    QFrame* divider = Child<QFrame>(*h.page, "bvlDivider");

    button->click();
    EXPECT_EQ(asked, std::vector<bool> {false});
    EXPECT_TRUE(h.page->AdvancedMode()); // the page does not switch itself

    h.page->SetAdvancedMode(false);
    EXPECT_FALSE(h.page->AdvancedMode());
    EXPECT_TRUE(divider->isHidden());
    EXPECT_EQ(button->property("glyph").toString(), "PptStdMode");
    // A double click on the page's own surface asks too; one on a control does not.
    Mouse(*h.page, QEvent::MouseButtonDblClick, QPointF(200, 20));
    EXPECT_EQ(asked, (std::vector<bool> {false, true}));
    h.page->SetAdvancedMode(true);
    EXPECT_FALSE(divider->isHidden());
    Mouse(*divider, QEvent::MouseButtonDblClick, QPointF(10, 1));
    EXPECT_EQ(asked.size(), 2u);
    EXPECT_EQ(button->property("glyph").toString(), "PptAdvMode");
}

TEST(PptBase, PropertiesPanelHeights)
{
    struct Case {
        bool advanced, collapsed;
        int height;
    };
    for (const Case c :
        {Case {true, false, 22 + 104}, Case {false, false, 22 + 54}, Case {true, true, 22}, Case {false, true, 22}}) {
        EXPECT_EQ(PropertiesPanelHeight(22, c.advanced, c.collapsed), c.height);
    }
    // Standard mode shows the first row whole and nothing of the second.
    Hosted<TfrmPptBaseAdv> standard(QSize(650, kStandardPageHeight));
    Hosted<TfrmPptBaseAdv> advanced(QSize(650, kAdvancedPageHeight));
    const QRect page54 = standard.page->rect();
    const QRect page104 = advanced.page->rect();
    for (const char* firstRow : {"btnSave", "btnCopyToPalette", "btnAdvancedMode"})
        EXPECT_TRUE(page54.contains(Child<QWidget>(*standard.page, firstRow)->geometry())) << firstRow;
    for (const char* secondRow : {"btnBgColor", "btnOutlineColor", "pbxDefault", "pbxSwapColors", "pbxLineColor"}) {
        EXPECT_GE(Child<QWidget>(*standard.page, secondRow)->geometry().top(), 54) << secondRow;
        EXPECT_TRUE(page104.contains(Child<QWidget>(*advanced.page, secondRow)->geometry())) << secondRow;
    }
}

// ---- The calling order ----

using TLog = std::vector<std::string>;

// A page that writes every call of the contract into the log, and what it had been
// given by the time it was asked to load its settings.
class TRecordingPage : public TfrmPptBaseAdv {
public:
    TRecordingPage(QWidget* parent, TLog* log)
        : TfrmPptBaseAdv(parent)
        , FLog(log)
    {
    }
    ~TRecordingPage() override { FLog->push_back("destroyed"); }
    void LoadSettings(const QStringList& settings) override
    {
        FLog->push_back("LoadSettings");
        atLoad.hidden = isHidden();
        atLoad.hsb = BaseHSB();
        atLoad.advanced = AdvancedMode();
        atLoad.matching = Matching();
        atLoad.bgMenu = BgColorMenu();
        atLoad.outlineMenu = OutlineColorMenu();
        atLoad.config = ConfigFolder();
        atLoad.userData = UserDataFolder();
        atLoad.wired = OnChange && OnAddToPalette && OnSaveImage && OnPlayMovie;
        LoadSharedColors(settings);
    }
    void SaveSettings(QStringList& settings) override
    {
        FLog->push_back("SaveSettings");
        SaveSharedColors(settings);
    }
    void PageShown() override
    {
        FLog->push_back("PageShown");
        shownVisible = !isHidden();
    }
    struct {
        bool hidden = false;
        THSB hsb;
        bool advanced = true;
        TRichPalette* matching = nullptr;
        QMenu* bgMenu = nullptr;
        QMenu* outlineMenu = nullptr;
        QString config, userData;
        bool wired = false;
    } atLoad;
    bool shownVisible = false;

private:
    TLog* FLog;
};

TLog* gLog = nullptr;

class TRecordingHost : public IPageHost {
public:
    explicit TRecordingHost(TLog& log)
        : FLog(log)
    {
    }
    THSB PageBaseHSB() const override { return Note("BaseHSB"), THSB {200, 0.25, 0.75}; }
    bool PageAdvancedMode() const override { return Note("AdvancedMode"), false; }
    TRichPalette* PageMatching() override { return Note("Matching"), &matching; }
    QMenu* PageBgColorMenu() override { return Note("BgColorMenu"), &bgMenu; }
    QMenu* PageOutlineColorMenu() override { return Note("OutlineColorMenu"), &outlineMenu; }
    QString PageConfigFolder() const override { return Note("ConfigFolder"), QStringLiteral("/opt/k/Configuration/"); }
    QString PageUserDataFolder() const override { return Note("UserDataFolder"), QStringLiteral("/home/u/Korvel4/"); }
    TColorVisionType PageColorVisionType() const override { return Note("ColorVisionType"), cvtTrit; }
    QStringList& PageSettings() override { return Note("Settings"), settings; }
    void WirePageEvents(TfrmPptBase& page) override
    {
        Note("events");
        page.OnChange = [this](TObject*) { ++changes; };
        page.OnAddToPalette = [](TObject*, const QString&, TRichPalette*, int) {};
        page.OnSaveImage = [](TObject*) {};
        page.OnPlayMovie = [](TObject*, const QString&, const QString&, const QString&) {};
    }

    TRichPalette matching;
    QMenu bgMenu, outlineMenu;
    QStringList settings;
    int changes = 0;

private:
    void Note(const char* what) const { FLog.push_back(what); }
    TLog& FLog;
};

TEST(PageHosting, OpenAndCloseFollowTheCallingOrder)
{
    TLog log;
    gLog = &log;
    TRecordingHost host(log);
    host.settings = {QStringLiteral("BackgroundColor=#102030"), QStringLiteral("Blender_BlendSteps=7")};
    QWidget panel;
    panel.resize(650, 54);
    TfrmPptBase* page
        = OpenPage([](QWidget* parent) -> TfrmPptBase* { return new TRecordingPage(parent, gLog); }, &panel, host);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(log,
        (TLog {"BaseHSB", "AdvancedMode", "Matching", "BgColorMenu", "OutlineColorMenu", "ConfigFolder",
            "UserDataFolder", "events", "Settings", "LoadSettings", "PageShown", "ColorVisionType"}));
    auto* recorded = static_cast<TRecordingPage*>(page);
    EXPECT_TRUE(recorded->atLoad.hidden);
    EXPECT_EQ(recorded->atLoad.hsb.H, 200);
    EXPECT_EQ(recorded->atLoad.hsb.B, 0.75);
    EXPECT_FALSE(recorded->atLoad.advanced);
    EXPECT_EQ(recorded->atLoad.matching, &host.matching);
    EXPECT_EQ(recorded->atLoad.bgMenu, &host.bgMenu);
    EXPECT_EQ(recorded->atLoad.outlineMenu, &host.outlineMenu);
    EXPECT_EQ(recorded->atLoad.config, "/opt/k/Configuration/");
    EXPECT_EQ(recorded->atLoad.userData, "/home/u/Korvel4/");
    EXPECT_TRUE(recorded->atLoad.wired);
    EXPECT_TRUE(recorded->shownVisible);
    EXPECT_EQ(page->ColorVisionType(), cvtTrit);
    EXPECT_EQ(page->GetBackgroundColor(), RGB(0x10, 0x20, 0x30));
    EXPECT_EQ(host.changes, 0); // loading is not a change the host must hear of

    page->SetOutlineColor(kNoOutline);
    EXPECT_EQ(host.changes, 1);
    log.clear();
    ClosePage(page, host);
    EXPECT_EQ(page, nullptr);
    EXPECT_EQ(log, (TLog {"Settings", "SaveSettings", "destroyed"}));
    EXPECT_EQ(host.settings,
        (QStringList {QStringLiteral("BackgroundColor=#102030"), QStringLiteral("Blender_BlendSteps=7"),
            QStringLiteral("ShowOutline=0")}));
    ClosePage(page, host); // nothing left to close
    EXPECT_EQ(log.size(), 3u);
}

// ---- Shared colour settings ----

struct HexSwitches {
    HexSwitches(bool shortHand, bool lowerCase)
        : FShort(HexShortHand)
        , FLower(HexLowerCase)
    {
        HexShortHand = shortHand;
        HexLowerCase = lowerCase;
    }
    ~HexSwitches()
    {
        HexShortHand = FShort;
        HexLowerCase = FLower;
    }
    bool FShort, FLower;
};

TEST(PageSettings, SharedColoursMakeTheRoundTrip)
{
    struct Case {
        TColor background, outline;
        bool shortHand, lowerCase;
    };
    const Case cases[] = {
        {RGB(0x12, 0x34, 0x56), RGB(0xAB, 0xCD, 0xEF), false, false},
        {RGB(0xFF, 0x99, 0x00), RGB(0x00, 0x00, 0x00), true, true}, // "#f90" and "#000"
        {RGB(0x20, 0x20, 0x20), kNoOutline, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.background << " " << c.outline);
        HexSwitches switches(c.shortHand, c.lowerCase);
        Hosted<TfrmPptBaseAdv> from;
        from.page->SetBackgroundColor(c.background);
        from.page->SetOutlineColor(c.outline);
        QStringList settings {QStringLiteral("Harmonies_ColorChord=3")};
        from.page->SaveSharedColors(settings);
        EXPECT_EQ(settings.first(), QStringLiteral("Harmonies_ColorChord=3"));
        QString text;
        ASSERT_TRUE(TfrmPptBase::ReadSetting(settings, QStringLiteral("ShowOutline"), text));
        EXPECT_EQ(text, c.outline == kNoOutline ? "0" : "1");
        ASSERT_TRUE(TfrmPptBase::ReadSetting(settings, QStringLiteral("BackgroundColor"), text));
        EXPECT_TRUE(text.startsWith(u'#'));

        Hosted<TfrmPptBaseAdv> to;
        to.page->LoadSharedColors(settings);
        EXPECT_EQ(to.page->GetBackgroundColor(), c.background);
        EXPECT_EQ(to.page->GetOutlineColor(), c.outline);
    }
}

TEST(PageSettings, ReadingKeepsWhatIsMissingOrMalformed)
{
    struct Case {
        QStringList settings;
        TColor background, outline;
    };
    const TColor bg0 = RGB(1, 2, 3), ol0 = RGB(4, 5, 6);
    const Case cases[] = {
        {{}, bg0, ol0},
        {{"Unrelated=1"}, bg0, ol0},
        {{"BackgroundColor=#GG0000", "OutlineColor=nonsense"}, bg0, ol0},
        {{"backgroundcolor=#00FF80"}, RGB(0, 255, 128), ol0}, // names ignore case
        {{"BackgroundColor=#0000FF", "BackgroundColor=#FF0000"}, RGB(0, 0, 255), ol0}, // the first counts
        {{"OutlineColor=#808080", "ShowOutline=0"}, bg0, kNoOutline}, // 0 wins over a colour
        {{"ShowOutline=0", "OutlineColor=#808080"}, bg0, kNoOutline},
        {{"OutlineColor=#808080", "ShowOutline=1"}, bg0, RGB(128, 128, 128)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.settings.join(u' ').toStdString());
        Hosted<TfrmPptBaseAdv> h;
        h.page->SetBackgroundColor(bg0);
        h.page->SetOutlineColor(ol0);
        h.page->LoadSharedColors(c.settings);
        EXPECT_EQ(h.page->GetBackgroundColor(), c.background);
        EXPECT_EQ(h.page->GetOutlineColor(), c.outline);
    }
    QStringList list {QStringLiteral("A=1"), QStringLiteral("b=2")};
    TfrmPptBase::WriteSetting(list, QStringLiteral("B"), QStringLiteral("3"));
    TfrmPptBase::WriteSetting(list, QStringLiteral("C"), QStringLiteral("x=y"));
    EXPECT_EQ(list, (QStringList {"A=1", "B=3", "C=x=y"}));
    QString value;
    EXPECT_TRUE(TfrmPptBase::ReadSetting(list, QStringLiteral("c"), value));
    EXPECT_EQ(value, "x=y");
}

// ---- The colour menus ----

struct MenuHost {
    MenuHost()
    {
        pageHost.resize(650, 104);
        page = new TfrmPptBaseAdv(&pageHost);
        page->OnChange = [this](TObject*) { ++changes; };
        auto current = [this] { return hasPage ? static_cast<TfrmPptBase*>(page) : nullptr; };
        auto eyedropper = [this](int target) { targets.push_back(target); };
        bg.reset(CreateSwfColorMenu(scmBackground, nullptr, current, eyedropper));
        outline.reset(CreateSwfColorMenu(scmOutline, nullptr, current, eyedropper));
        page->SetBgColorMenu(bg.get());
        page->SetOutlineColorMenu(outline.get());
    }
    QWidget pageHost;
    TfrmPptBaseAdv* page = nullptr;
    std::unique_ptr<QMenu> bg, outline;
    bool hasPage = true;
    int changes = 0;
    std::vector<int> targets;
};

QStringList Rows(const QMenu& menu)
{
    QStringList rows;
    for (const QAction* a : menu.actions())
        rows << (a->isSeparator() ? QStringLiteral("-") : a->text() + u'|' + a->objectName());
    return rows;
}

TEST(SwfColorMenus, HoldTheItemsOfBothMenus)
{
    MenuHost h;
    const QStringList greys = {"Black|atnSwf%1Black", "90 % Gray|atnSwf%1Gray90", "80 % Gray|atnSwf%1Gray80",
        "70 % Gray|atnSwf%1Gray70", "60 % Gray|atnSwf%1Gray60", "50 % Gray|atnSwf%1Gray50", "40 % Gray|atnSwf%1Gray40",
        "30 % Gray|atnSwf%1Gray30", "20 % Gray|atnSwf%1Gray20", "10 % Gray|atnSwf%1Gray10", "White|atnSwf%1White"};
    QStringList bg, outline {"None|atnSwfOutlineColorNone", "-"};
    for (const QString& g : greys) {
        bg << g.arg("BgColor");
        outline << g.arg("OutlineColor");
    }
    bg << "-"
       << "Windows color|atnSwfBgColorWindows"
       << "-"
       << "Pick...|atnSwfBgcolorPick";
    outline << "-"
            << "Windows color|atnSwfOutlineColorWindows"
            << "-"
            << "Pick...|atnSwfOutlineColorPick";
    EXPECT_EQ(Rows(*h.bg), bg);
    EXPECT_EQ(Rows(*h.outline), outline);
    EXPECT_EQ(h.bg->objectName(), "popSwfBgColor");
    EXPECT_EQ(h.outline->objectName(), "popSwfOutlineColor");
}

TEST(SwfColorMenus, EachItemSetsItsColourOnTheCurrentPage)
{
    MenuHost h;
    struct Case {
        const char* action;
        bool background;
        TColor color;
    };
    const Case cases[] = {
        {"atnSwfBgColorBlack", true, 0x000000},
        {"atnSwfBgColorGray90", true, 0x202020},
        {"atnSwfBgColorGray70", true, 0x505050},
        {"atnSwfBgColorGray30", true, 0xB0B0B0},
        {"atnSwfBgColorGray10", true, 0xE0E0E0},
        {"atnSwfBgColorWhite", true, 0xFFFFFF},
        {"atnSwfOutlineColorNone", false, kNoOutline},
        {"atnSwfOutlineColorGray80", false, 0x333333},
        {"atnSwfOutlineColorGray60", false, 0x666666},
        {"atnSwfOutlineColorGray50", false, 0x808080},
        {"atnSwfOutlineColorGray40", false, 0x999999},
        {"atnSwfOutlineColorGray20", false, 0xCCCCCC},
        {"atnSwfOutlineColorWindows", false, ColorToRGB(clBtnFace)},
        {"atnSwfBgColorWindows", true, ColorToRGB(clBtnFace)},
    };
    int expectedChanges = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.action);
        QMenu& menu = c.background ? *h.bg : *h.outline;
        QAction* action = menu.findChild<QAction*>(QString::fromLatin1(c.action));
        ASSERT_NE(action, nullptr);
        // Start from a colour the item does not give, so that choosing it is a change.
        if (c.background)
            h.page->SetBackgroundColor(RGB(1, 2, 3));
        else
            h.page->SetOutlineColor(RGB(1, 2, 3));
        expectedChanges += 1;
        action->trigger();
        expectedChanges += 1;
        EXPECT_EQ(c.background ? h.page->GetBackgroundColor() : h.page->GetOutlineColor(), c.color);
        EXPECT_EQ(h.changes, expectedChanges);
    }
    EXPECT_TRUE(h.targets.empty());
    // "Pick..." leaves the colour to the eyedropper.
    h.bg->findChild<QAction*>("atnSwfBgcolorPick")->trigger();
    h.outline->findChild<QAction*>("atnSwfOutlineColorPick")->trigger();
    EXPECT_EQ(h.targets, (std::vector<int> {4, 5}));
    EXPECT_EQ(h.changes, expectedChanges);
    // Without a page nothing happens.
    h.hasPage = false;
    const TColor before = h.page->GetBackgroundColor();
    for (QAction* a : h.bg->actions())
        a->trigger();
    EXPECT_EQ(h.page->GetBackgroundColor(), before);
    EXPECT_EQ(h.targets.size(), 2u);
}

TEST(SwfColorMenus, IconsShowTheColourInABlackFrameAndNoneAsARedBand)
{
    const QImage grey = SwfColorMenuIcon(0x808080, 16).pixmap(16, 16).toImage();
    ASSERT_EQ(grey.size(), QSize(16, 16));
    EXPECT_EQ(grey.pixelColor(8, 8), QColor(128, 128, 128));
    EXPECT_EQ(grey.pixelColor(0, 0), QColor(Qt::black));
    EXPECT_EQ(grey.pixelColor(15, 15), QColor(Qt::black));
    EXPECT_EQ(grey.pixelColor(0, 8), QColor(Qt::black));
    const QImage none = SwfColorMenuIcon(kNoOutline, 16).pixmap(16, 16).toImage();
    EXPECT_EQ(none.pixelColor(3, 3), QColor(Qt::white)); // top left: white
    EXPECT_EQ(none.pixelColor(12, 12), QColor(Qt::white)); // bottom right: white
    const QColor centre = none.pixelColor(8, 8); // on the band
    EXPECT_GT(centre.red(), 200);
    EXPECT_LT(centre.green(), 100);
    EXPECT_EQ(none.pixelColor(0, 0), QColor(Qt::black));
}

TEST(SwfColorMenus, PressingASwatchButtonPopsItsMenuUnderTheButton)
{
    MenuHost h;
    h.pageHost.move(40, 30);
    h.pageHost.show();
    h.page->show();
    for (const bool background : {true, false}) {
        SCOPED_TRACE(background);
        auto* button = Child<TColorSwatchButton>(*h.page, background ? "btnBgColor" : "btnOutlineColor");
        QMenu* expected = background ? h.bg.get() : h.outline.get();
        QPoint shownAt(-1, -1);
        QMenu* shown = nullptr;
        const char* pick = background ? "atnSwfBgColorGray50" : "atnSwfOutlineColorNone";
        QTimer::singleShot(0, [&] {
            shown = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!shown)
                return;
            shownAt = shown->pos();
            shown->findChild<QAction*>(QString::fromLatin1(pick))->trigger();
            shown->close();
        });
        const int before = h.changes;
        Mouse(*button, QEvent::MouseButtonPress, QPointF(5, 5));
        EXPECT_EQ(shown, expected);
        EXPECT_EQ(shownAt, button->mapToGlobal(QPoint(0, button->height())));
        EXPECT_FALSE(button->IsPressed());
        EXPECT_FALSE(button->IsTracking());
        EXPECT_EQ(h.changes, before + 1);
    }
    EXPECT_EQ(h.page->GetBackgroundColor(), 0x808080u);
    EXPECT_EQ(h.page->GetOutlineColor(), kNoOutline);
    // Without a menu the press only presses.
    h.page->SetBgColorMenu(nullptr);
    auto* button = Child<TColorSwatchButton>(*h.page, "btnBgColor");
    Mouse(*button, QEvent::MouseButtonPress, QPointF(5, 5));
    EXPECT_TRUE(button->IsPressed());
    Mouse(*button, QEvent::MouseButtonRelease, QPointF(5, 5));
}

// ---- The left block ----

TEST(PptBaseAdv, ColoursDroppedOnTheSwatchButtonsAreTaken)
{
    Hosted<TfrmPptBaseAdv> h;
    TColorDragCtrlObject drag;
    drag.Color = RGB(10, 200, 30);
    std::unique_ptr<QMimeData> colour(EncodeColorDrag(drag));
    QMimeData text;
    text.setText(QStringLiteral("#FF0000"));
    for (const bool background : {true, false}) {
        SCOPED_TRACE(background);
        auto* button = Child<TColorSwatchButton>(*h.page, background ? "btnBgColor" : "btnOutlineColor");
        QDragEnterEvent other(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(button, &other);
        EXPECT_FALSE(other.isAccepted());
        QDragEnterEvent ours(QPoint(5, 5), Qt::CopyAction, colour.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(button, &ours);
        EXPECT_TRUE(ours.isAccepted());
        const int before = h.changes;
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, colour.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(button, &drop);
        EXPECT_EQ(background ? h.page->GetBackgroundColor() : h.page->GetOutlineColor(), RGB(10, 200, 30));
        EXPECT_EQ(h.changes, before + 1);
        QDropEvent textDrop(QPointF(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(button, &textDrop);
        EXPECT_EQ(h.changes, before + 1);
    }
}

TEST(PptBaseAdv, ResetAndSwapChangeBothColoursAsOneChange)
{
    struct Case {
        const char* box;
        TColor background, outline;
        TColor expectBackground, expectOutline;
    };
    const Case cases[] = {
        {"pbxDefault", RGB(9, 9, 9), RGB(200, 0, 0), clWhite, clBlack},
        {"pbxDefault", clWhite, clBlack, clWhite, clBlack}, // already so: still one change
        {"pbxDefault", RGB(9, 9, 9), kNoOutline, clWhite, clBlack},
        {"pbxSwapColors", RGB(9, 9, 9), RGB(200, 0, 0), RGB(200, 0, 0), RGB(9, 9, 9)},
        {"pbxSwapColors", RGB(50, 60, 70), kNoOutline, clBlack, RGB(50, 60, 70)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.box << " " << std::hex << c.background << " " << c.outline);
        Hosted<TfrmPptBaseAdv> h;
        h.page->SetBackgroundColor(c.background);
        h.page->SetOutlineColor(c.outline);
        h.changes = 0;
        Click(*Child<QWidget>(*h.page, c.box));
        EXPECT_EQ(h.page->GetBackgroundColor(), c.expectBackground);
        EXPECT_EQ(h.page->GetOutlineColor(), c.expectOutline);
        EXPECT_EQ(h.changes, 1);
        EXPECT_FALSE(h.page->Updating());
    }
    // A release away from the box is no click.
    Hosted<TfrmPptBaseAdv> h;
    QWidget* swap = Child<QWidget>(*h.page, "pbxSwapColors");
    Mouse(*swap, QEvent::MouseButtonPress, QPointF(5, 5));
    Mouse(*swap, QEvent::MouseButtonRelease, QPointF(40, 5));
    EXPECT_EQ(h.changes, 0);
}

TEST(PptBaseAdv, SaveAndCopyButtonsRaiseTheirEvents)
{
    Hosted<TfrmPptBaseAdv> h;
    int saves = 0;
    std::vector<std::tuple<QString, TRichPalette*, int>> adds;
    h.page->OnSaveImage = [&](TObject* sender) {
        EXPECT_EQ(sender, static_cast<TObject*>(h.page));
        ++saves;
    };
    h.page->OnAddToPalette
        = [&](TObject*, const QString& clip, TRichPalette* source, int mode) { adds.emplace_back(clip, source, mode); };
    auto* save = Child<QToolButton>(*h.page, "btnSave");
    auto* copy = Child<QToolButton>(*h.page, "btnCopyToPalette");
    EXPECT_EQ(save->toolTip(), "Save Image");
    EXPECT_EQ(save->statusTip(), "Save matching colors in SWF or BMP format");
    EXPECT_EQ(copy->toolTip(), "Copy To Palette");
    EXPECT_EQ(copy->statusTip(), "Copy all colors to palette");
    EXPECT_EQ(Child<QWidget>(*h.page, "btnBgColor")->toolTip(), "Background Color");
    EXPECT_EQ(Child<QWidget>(*h.page, "btnOutlineColor")->toolTip(), "Outline Color");
    EXPECT_EQ(Child<QWidget>(*h.page, "pbxDefault")->toolTip(), "Reset foreground / background");
    EXPECT_EQ(Child<QWidget>(*h.page, "pbxSwapColors")->statusTip(), "Swap foreground and background colors");
    save->click();
    h.page->SetClipName(QStringLiteral("#SW_0002_#00FF00"));
    copy->click();
    EXPECT_EQ(saves, 1);
    ASSERT_EQ(adds.size(), 1u);
    EXPECT_EQ(adds[0], std::make_tuple(QStringLiteral("#SW_0002_#00FF00"), static_cast<TRichPalette*>(nullptr), 4));
}

TEST(PptBaseAdv, GlyphBoxesPaintTheirImages)
{
    Hosted<TfrmPptBaseAdv> h;
    const char* boxes[] = {"pbxBgColor", "pbxLineColor", "pbxDefault", "pbxSwapColors"};
    std::vector<QImage> shots;
    for (const char* name : boxes) {
        auto* box = Child<TPaintBox>(*h.page, name);
        const QImage shot = box->grab().toImage();
        // Each draws something dark of its own.
        int dark = 0;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                dark += qGray(shot.pixel(x, y)) < 100 ? 1 : 0;
        EXPECT_GT(dark, 4) << name;
        shots.push_back(shot.copy(0, 0, 16, 16));
    }
    for (std::size_t i = 0; i < shots.size(); ++i)
        for (std::size_t j = i + 1; j < shots.size(); ++j)
            EXPECT_NE(shots[i], shots[j]) << boxes[i] << " " << boxes[j];
}

// ---- Palette additions ----

// A page whose scene shows its colours as a grid of two rows of three.
class TGridPage : public TfrmPptBaseAdv {
public:
    using TfrmPptBaseAdv::TfrmPptBaseAdv;
    void GetColorGrid(int& rows, int& cols) const override
    {
        rows = 2;
        cols = 3;
    }
};

QList<TColor> Colours(const TRichPalette& p)
{
    QList<TColor> out;
    for (int i = 0; i < p.Count(); ++i)
        out << p.Colors(i)->Color();
    return out;
}

TEST(PageColors, AddedToThePaletteByMode)
{
    QWidget panel;
    TGridPage page(&panel);
    TRichPalette matching;
    for (int i = 0; i < 6; ++i) {
        TRichColor* c = matching.Add();
        c->SetColor(RGB(i * 10, 0, 0));
        c->SetCaption(QStringLiteral("c%1").arg(i));
        c->SetEnabled(i != 2);
    }
    page.SetMatching(&matching);
    const QString clip4 = ClipName(ckSwatch, 4, RGB(1, 2, 3));
    struct Case {
        QString clip;
        int mode;
        QList<TColor> colours;
    };
    const Case cases[] = {
        {clip4, 0, {RGB(1, 2, 3)}},
        {QStringLiteral("#C1_0004"), 0, {}}, // no colour in the name
        {clip4, 1, {RGB(40, 0, 0), RGB(50, 0, 0), RGB(30, 0, 0)}}, // row 1 from column 1, wrapping
        {clip4, 2, {RGB(40, 0, 0), RGB(10, 0, 0)}}, // column 1, last row first
        {ClipName(ckSwatch, 2, 0), 2, {RGB(50, 0, 0), RGB(20, 0, 0)}},
        {clip4, 3, {RGB(0, 0, 0), RGB(10, 0, 0), RGB(30, 0, 0), RGB(40, 0, 0), RGB(50, 0, 0)}},
        {QString(), 4, {RGB(0, 0, 0), RGB(10, 0, 0), RGB(30, 0, 0), RGB(40, 0, 0), RGB(50, 0, 0)}},
        {QStringLiteral("garbage"), 1, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.clip.toStdString() << " mode " << c.mode);
        TRichPalette dest;
        dest.Add()->SetColor(RGB(9, 9, 9));
        EXPECT_EQ(AddPageColorsToPalette(page, c.clip, nullptr, c.mode, dest), c.colours.size());
        EXPECT_EQ(Colours(dest), QList<TColor> {RGB(9, 9, 9)} + c.colours);
    }
    // Copies are full copies, and a source given beats Matching.
    TRichPalette other;
    other.Add()->SetColor(RGB(7, 7, 7));
    other.Colors(0)->SetDescription(QStringLiteral("described"));
    TRichPalette dest;
    AddPageColorsToPalette(page, clip4, &other, 3, dest);
    ASSERT_EQ(dest.Count(), 1);
    EXPECT_EQ(dest.Colors(0)->Description(), "described");
    TRichPalette all;
    page.CopyColorsToPalette(&matching, &all, 1); // mode 1 takes the disabled ones too
    EXPECT_EQ(all.Count(), 6);
    EXPECT_EQ(all.Colors(2)->Caption(), "c2");
    EXPECT_FALSE(all.Colors(2)->Enabled());
}

// ---- The blank page ----

TEST(PptBlank, BuildsTheDefaultSceneIntoThePlayerOrAFile)
{
    QWidget panel;
    TfrmPptBlank page(&panel);
    EXPECT_EQ(page.objectName(), "frmPptBlank");
    page.SetBackgroundColor(RGB(0xEE, 0xEE, 0xE6));

    TMoviePlayer player;
    player.resize(400, 400);
    EXPECT_TRUE(page.BuildScene(&player, QSize(1000, 1000), QString(), nullptr, nullptr));
    EXPECT_TRUE(player.IsLoaded());
    EXPECT_EQ(player.ScaleMode(), 0);
    EXPECT_EQ(player.AlignMode(), 0);
    EXPECT_EQ(player.BackgroundColor(), 0xEEEEE6);
    const QImage frame = player.FrameImage();
    // The faint red text (alpha 50) shows on the page colour.
    int redder = 0, mostRed = 0;
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x) {
            const QColor c = frame.pixelColor(x, y);
            mostRed = std::max(mostRed, c.red() - c.green());
            redder += c.red() > c.green() ? 1 : 0;
        }
    EXPECT_GT(redder, 200);
    EXPECT_GT(mostRed, 30) << redder;
    EXPECT_EQ(frame.pixelColor(2, 2), QColor(0xEE, 0xEE, 0xE6));

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString fileName = dir.filePath(QStringLiteral("leer ü.swf"));
    EXPECT_FALSE(page.BuildScene(&player, QSize(1000, 1000), fileName, nullptr, nullptr));
    QFile file(fileName);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const swf::Movie movie = scenetest::ReadBack(file.readAll());
    EXPECT_EQ(movie.header.version, 5);
    EXPECT_EQ(movie.header.frameRect, (swf::Rect {0, 1000 * 20, 0, 1000 * 20}));
    EXPECT_EQ(movie.BackgroundColor(), (swf::Rgba {0xEE, 0xEE, 0xE6, 255}));
    bool found = false;
    for (const swf::Tag& t : movie.tags) {
        if (const auto* e = t.As<swf::EditTextDef>())
            found = found || e->initialText.value_or(QString()) == QStringLiteral("frmPptBlank loaded");
    }
    EXPECT_TRUE(found);
}

} // namespace
