#include "output/SwatchInfo.h"

#include "colour/Colors.h"
#include "pickers/ColorButton.h"
#include "pickers/ColorTrackBar.h"
#include "pickers/ColorWheel.h"

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include <memory>

namespace {

// Typing into a field and then leaving it, as a user tabbing on would.
void TypeAndLeave(QLineEdit* edit, const QString& text)
{
    edit->selectAll();
    QTest::keyClicks(edit, text);
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(edit, &out);
}

// The core's two hex switches, restored when the test ends.
struct HexSwitches {
    bool shortHand = HexShortHand, lowerCase = HexLowerCase;
    HexSwitches(bool s, bool l)
    {
        HexShortHand = s;
        HexLowerCase = l;
    }
    ~HexSwitches()
    {
        HexShortHand = shortHand;
        HexLowerCase = lowerCase;
    }
};

void CountColorChanges(TfrmSwatchInfo& dlg, int* counter)
{
    QObject::connect(dlg.ColorWheel, &TColorWheel::colorChanged, &dlg, [counter] { ++*counter; });
}

// ---------------------------------------------------------------------------------------
// Texts

TEST(SwatchInfo, NameChangedComparesTheUntrimmedTextWithTheNameGiven)
{
    struct Case {
        const char* what;
        QString typed; // keys after the end of the name; \b is backspace
        bool changed;
        QString name;
    };
    const Case cases[] = {
        {"untouched", QString(), false, QStringLiteral("R:255 G:0 B:0")},
        {"a character added and removed", QStringLiteral("x\b"), false, QStringLiteral("R:255 G:0 B:0")},
        {"a trailing blank", QStringLiteral(" "), true, QStringLiteral("R:255 G:0 B:0")},
        {"a letter", QStringLiteral("!"), true, QStringLiteral("R:255 G:0 B:0!")},
    };
    for (const Case& c : cases) {
        TfrmSwatchInfo dlg;
        dlg.SetSwatchName(QStringLiteral("R:255 G:0 B:0"));
        dlg.edcSwatchName->end(false);
        for (QChar ch : c.typed) {
            if (ch == u'\b')
                QTest::keyClick(dlg.edcSwatchName, Qt::Key_Backspace);
            else
                QTest::keyClicks(dlg.edcSwatchName, QString(ch));
        }
        EXPECT_EQ(dlg.NameChanged(), c.changed) << c.what;
        EXPECT_EQ(dlg.SwatchName(), c.name) << c.what;
    }
    // Case counts.
    TfrmSwatchInfo dlg;
    dlg.SetSwatchName(QStringLiteral("Sky"));
    dlg.edcSwatchName->setText(QStringLiteral("sky"));
    EXPECT_TRUE(dlg.NameChanged());
}

TEST(SwatchInfo, CssSelectorAndDescription)
{
    TfrmSwatchInfo dlg;
    EXPECT_EQ(dlg.cbCssSelector->count(), 10);
    EXPECT_EQ(dlg.cbCssSelector->itemText(0), QStringLiteral("body"));
    EXPECT_EQ(dlg.cbCssSelector->itemText(9), QStringLiteral("a"));
    EXPECT_TRUE(dlg.cbCssSelector->isEditable());
    dlg.SetCssClass(QStringLiteral(" .head "));
    EXPECT_EQ(dlg.CssClass(), QStringLiteral(" .head "));
    dlg.cbCssSelector->setCurrentIndex(1);
    EXPECT_EQ(dlg.CssClass(), QStringLiteral("H1"));

    dlg.SetDescription(QStringLiteral(" first\r\nsecond \r\n"));
    EXPECT_EQ(dlg.Description(), QStringLiteral("first\r\nsecond"));
}

// ---------------------------------------------------------------------------------------
// The colour and its mirrors

TEST(SwatchInfo, ColourChangeUpdatesSwatchSlidersValueBoxesAndHex)
{
    TfrmSwatchInfo dlg;
    const TColor orange = RGB(255, 136, 0);
    dlg.SetSwatchColor(orange);
    EXPECT_EQ(dlg.SwatchColor(), orange);
    EXPECT_EQ(dlg.clbSwatch->SelectionColor(), orange);
    EXPECT_EQ(dlg.edHex->text(), QStringLiteral("FF8800"));
    const THSB hsb = ColorToHSB(orange);
    for (TColorTrackBar* s : dlg.ColorTrackBars) {
        EXPECT_DOUBLE_EQ(s->HSB_Hue(), hsb.H);
        EXPECT_DOUBLE_EQ(s->HSB_Sat(), hsb.S);
        EXPECT_DOUBLE_EQ(s->HSB_Brt(), hsb.B);
    }
    // HSB by default: hue rounded, saturation and brightness in percent.
    EXPECT_EQ(dlg.ColorModel(), 1);
    EXPECT_EQ(dlg.edValues[0]->text(), QString::number(Round(hsb.H)));
    EXPECT_EQ(dlg.edValues[1]->text(), QStringLiteral("100"));
    EXPECT_EQ(dlg.edValues[2]->text(), QStringLiteral("100"));

    dlg.SetColorModel(0);
    EXPECT_EQ(dlg.edValues[0]->text(), QStringLiteral("255"));
    EXPECT_EQ(dlg.edValues[1]->text(), QStringLiteral("136"));
    EXPECT_EQ(dlg.edValues[2]->text(), QStringLiteral("0"));
    // The hex written by a colour change ignores the user's shorthand and case switches.
    const HexSwitches both(true, true);
    dlg.SetSwatchColor(RGB(0x11, 0xAA, 0xFF));
    EXPECT_EQ(dlg.edHex->text(), QStringLiteral("11AAFF"));
}

TEST(SwatchInfo, ColourModelsSetSlidersCaptionsAndHints)
{
    struct Case {
        int model;
        TGradientType types[3];
        const char* captions[3];
        const char* hints[3];
        QAction* TfrmSwatchInfo::*action;
    };
    const Case cases[] = {
        {0, {gtRGB_R, gtRGB_G, gtRGB_B}, {"红", "绿", "蓝"}, {"调整红色分量", "调整绿色分量", "调整蓝色分量"},
            &TfrmSwatchInfo::atnRGB},
        {1, {gtHSB_H, gtHSB_S, gtHSB_B}, {"Hue", "饱和度", "亮度"}, {"调整色相", "调整饱和度", "调整亮度"},
            &TfrmSwatchInfo::atnHSB},
        {2, {gtHSL_H, gtHSL_S, gtHSL_L}, {"Hue", "饱和度", "Lightness"}, {"调整色相", "调整饱和度", "调整亮度"},
            &TfrmSwatchInfo::atnHSL},
    };
    TfrmSwatchInfo dlg;
    EXPECT_TRUE(dlg.atnHSB->isChecked());
    for (const Case& c : cases) {
        dlg.SetColorModel(c.model);
        EXPECT_EQ(dlg.ColorModel(), c.model);
        EXPECT_TRUE((dlg.*c.action)->isChecked()) << c.model;
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(dlg.ColorTrackBars[i]->GradientType(), c.types[i]) << c.model << i;
            EXPECT_EQ(dlg.ColorTrackBars[i]->Caption(), QString::fromUtf8(c.captions[i])) << c.model << i;
            // Only the long hint, which is no tool tip.
            EXPECT_EQ(dlg.ColorTrackBars[i]->statusTip(), QString::fromUtf8(c.hints[i])) << c.model << i;
            EXPECT_TRUE(dlg.ColorTrackBars[i]->toolTip().isEmpty());
        }
    }
    EXPECT_FALSE(dlg.atnHSB->isChecked());
    dlg.SetColorModel(3);
    EXPECT_EQ(dlg.ColorModel(), 2);
}

TEST(SwatchInfo, SlidersMoveTheWheelAndBrightnessNeverReachesZero)
{
    TfrmSwatchInfo dlg;
    dlg.SetShowColorControls(true);
    dlg.SetSwatchColor(RGB(200, 100, 50));
    dlg.show();
    TColorTrackBar* brightness = dlg.ColorTrackBars[2];
    ASSERT_EQ(brightness->GradientType(), gtHSB_B);
    const QPoint left(brightness->TrackRect().left() - 2, brightness->TrackRect().center().y());
    QTest::mousePress(brightness, Qt::LeftButton, {}, left);
    QTest::mouseRelease(brightness, Qt::LeftButton, {}, left);
    EXPECT_DOUBLE_EQ(dlg.ColorWheel->Brightness(), 0.01);
    EXPECT_NE(dlg.SwatchColor(), clBlack);
    EXPECT_EQ(dlg.edValues[2]->text(), QStringLiteral("1"));
    // The slider the user dragged was left where the user put it.
    EXPECT_EQ(brightness->Position(), 0);

    // The RGB sliders set the channel.
    dlg.SetColorModel(0);
    dlg.ColorTrackBars[1]->OnPositionChange(dlg.ColorTrackBars[1], 77);
    EXPECT_EQ(dlg.ColorWheel->Green(), 77);
    // HSL lightness is held inside 2..238.
    dlg.SetColorModel(2);
    dlg.ColorTrackBars[2]->OnPositionChange(dlg.ColorTrackBars[2], 240);
    EXPECT_EQ(Round(ColorToHSL(dlg.SwatchColor()).L * 240), 238);
}

TEST(SwatchInfo, HueBoxAcceptsZeroTo360)
{
    struct Case {
        const char* typed;
        double hue;
        const char* shown;
    };
    const Case cases[] = {
        {"360", 0, "0"},
        {"361", 200, "361"},
        {"-5", 200, "-5"},
        {"abc", 200, "abc"},
        {"90", 90, "90"},
    };
    for (const Case& c : cases) {
        TfrmSwatchInfo dlg;
        dlg.SetSwatchColor(HSBToColor(200, 1, 1));
        ASSERT_DOUBLE_EQ(dlg.ColorWheel->Hue(), 200);
        TypeAndLeave(dlg.edValues[0], QString::fromLatin1(c.typed));
        EXPECT_DOUBLE_EQ(dlg.ColorWheel->Hue(), c.hue) << c.typed;
        EXPECT_EQ(dlg.edValues[0]->text(), QLatin1String(c.shown)) << c.typed;
    }
}

TEST(SwatchInfo, ValueBoxesByModel)
{
    TfrmSwatchInfo dlg;
    dlg.SetSwatchColor(RGB(10, 20, 30));
    // HSB saturation and brightness take percent.
    TypeAndLeave(dlg.edValues[1], QStringLiteral("50"));
    EXPECT_DOUBLE_EQ(dlg.ColorWheel->Saturation(), 0.5);
    TypeAndLeave(dlg.edValues[2], QStringLiteral("101"));
    EXPECT_EQ(dlg.edValues[2]->text(), QStringLiteral("101"));
    EXPECT_DOUBLE_EQ(dlg.ColorWheel->Brightness(), 30 / 255.0);

    // RGB: channels 0..255, rewritten as read back.
    dlg.SetColorModel(0);
    dlg.SetSwatchColor(RGB(10, 20, 30));
    TypeAndLeave(dlg.edValues[0], QStringLiteral("0255"));
    EXPECT_EQ(dlg.edValues[0]->text(), QStringLiteral("255"));
    EXPECT_EQ(dlg.SwatchColor(), RGB(255, 20, 30));
    TypeAndLeave(dlg.edValues[2], QStringLiteral("256"));
    EXPECT_EQ(dlg.SwatchColor(), RGB(255, 20, 30));
    EXPECT_EQ(dlg.edValues[2]->text(), QStringLiteral("256"));
    // A rejected text stays until the colour next changes.
    dlg.SetSwatchColor(clWhite);
    EXPECT_EQ(dlg.edValues[2]->text(), QStringLiteral("255"));

    // HSL: the boxes show and take the sliders' scale.
    dlg.SetColorModel(2);
    dlg.SetSwatchColor(RGB(255, 0, 0));
    EXPECT_EQ(dlg.edValues[1]->text(), QString::number(dlg.ColorTrackBars[1]->Position()));
    EXPECT_EQ(dlg.edValues[1]->text(), QStringLiteral("240"));
    TypeAndLeave(dlg.edValues[2], QStringLiteral("60"));
    EXPECT_EQ(Round(ColorToHSL(dlg.SwatchColor()).L * 240), 60);
    EXPECT_EQ(dlg.edValues[2]->text(), QStringLiteral("60"));
    TypeAndLeave(dlg.edValues[0], QStringLiteral("240"));
    EXPECT_EQ(dlg.edValues[0]->text(), QStringLiteral("240"));
}

TEST(SwatchInfo, LeavingAFieldWithoutTypingChangesNothing)
{
    TfrmSwatchInfo dlg;
    int changes = 0;
    CountColorChanges(dlg, &changes);
    dlg.SetSwatchColor(RGB(10, 20, 31));
    dlg.ColorWheel->SetHue(dlg.ColorWheel->Hue() + 0.3);
    const TColor moved = dlg.SwatchColor();
    changes = 0;
    for (QLineEdit* edit : {dlg.edValues[0], dlg.edValues[1], dlg.edValues[2], dlg.edHex}) {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(edit, &out);
    }
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(dlg.SwatchColor(), moved);
}

TEST(SwatchInfo, HexFieldReadsShorthandAndShowsTheUsersForm)
{
    struct Case {
        bool shortHand, lowerCase;
        const char* typed;
        TColor color;
        const char* shown;
    };
    const Case cases[] = {
        {false, false, "f80", RGB(255, 136, 0), "FF8800"},
        {true, false, " f80 ", RGB(255, 136, 0), "F80"},
        {false, true, "#FF8800", RGB(255, 136, 0), "ff8800"},
        {false, false, "xyz", clSilver, "C0C0C0"},
    };
    for (const Case& c : cases) {
        const HexSwitches switches(c.shortHand, c.lowerCase);
        TfrmSwatchInfo dlg;
        dlg.SetSwatchColor(clBlue);
        TypeAndLeave(dlg.edHex, QString::fromLatin1(c.typed));
        EXPECT_EQ(dlg.SwatchColor(), c.color) << c.typed;
        EXPECT_EQ(dlg.edHex->text(), QLatin1String(c.shown)) << c.typed;
    }
}

TEST(SwatchInfo, EnterInTheHexFieldTakesTheColourAndKeepsTheDialogOpen)
{
    const HexSwitches plain(false, false);
    TfrmSwatchInfo dlg;
    dlg.SetShowColorControls(true);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    dlg.edHex->setFocus();
    dlg.edHex->selectAll();
    QTest::keyClicks(dlg.edHex, QStringLiteral("00f"));
    QTest::keyClick(dlg.edHex, Qt::Key_Return);
    EXPECT_EQ(dlg.SwatchColor(), clBlue);
    EXPECT_EQ(dlg.edHex->text(), QStringLiteral("0000FF"));
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), 0);

    // In a value box Enter takes the value and then is the dialog's OK.
    dlg.edValues[1]->setFocus();
    dlg.edValues[1]->selectAll();
    QTest::keyClicks(dlg.edValues[1], QStringLiteral("40"));
    QTest::keyClick(dlg.edValues[1], Qt::Key_Return);
    EXPECT_DOUBLE_EQ(dlg.ColorWheel->Saturation(), 0.4);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
}

TEST(SwatchInfo, AdjustmentButtonsAndReset)
{
    struct Case {
        QToolButton* TfrmSwatchInfo::*button;
        int kind;
    };
    const Case cases[] = {
        {&TfrmSwatchInfo::btnDarken, akDarker},
        {&TfrmSwatchInfo::btnLighten, akLighterHSL},
        {&TfrmSwatchInfo::btnSaturate, akMoreSaturated},
        {&TfrmSwatchInfo::btnDesaturate, akLessSaturated},
    };
    const TColor start = RGB(180, 90, 60);
    for (const Case& c : cases) {
        TfrmSwatchInfo dlg;
        dlg.SetSwatchColor(start);
        QTest::mouseClick(dlg.*c.button, Qt::LeftButton);
        EXPECT_EQ(dlg.SwatchColor(), AdjustColor(start, c.kind, 0.1)) << c.kind;
        EXPECT_NE(dlg.SwatchColor(), start) << c.kind;
    }

    // Nothing to do: no change at all.
    TfrmSwatchInfo dlg;
    int changes = 0;
    CountColorChanges(dlg, &changes);
    dlg.SetSwatchColor(clWhite);
    changes = 0;
    dlg.btnLighten->click();
    EXPECT_EQ(changes, 0);
    dlg.SetSwatchColor(clGray);
    changes = 0;
    dlg.btnSaturate->click();
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(dlg.SwatchColor(), clGray);

    // Reset returns to the colour given, exactly, after several steps.
    const TColor given = RGB(12, 34, 57);
    dlg.SetSwatchColor(given);
    dlg.btnDarken->click();
    dlg.btnSaturate->click();
    dlg.btnLighten->click();
    dlg.ColorWheel->SetHue(123.4);
    ASSERT_NE(dlg.SwatchColor(), given);
    dlg.btnReset->click();
    EXPECT_EQ(dlg.SwatchColor(), given);
    EXPECT_EQ(dlg.edHex->text(), QStringLiteral("0C2239"));
}

// ---------------------------------------------------------------------------------------
// Eyedropper and help

TEST(SwatchInfo, EyedropperHidesTheDialogWithoutEndingItsRun)
{
    TfrmSwatchInfo dlg;
    dlg.SetSwatchColor(clRed);
    bool hiddenWhilePicking = false;
    TColor offered = 0;
    int picks = 0;
    dlg.OnPickColor = [&](TfrmSwatchInfo* sender, TColor& color) {
        ++picks;
        EXPECT_EQ(sender, &dlg);
        hiddenWhilePicking = !dlg.isVisible();
        offered = color;
        color = RGB(1, 2, 3);
    };
    bool visibleAfter = false;
    bool foldStateKept = false;
    bool stillRunning = false;
    QTimer::singleShot(0, &dlg, [&] {
        dlg.SetShowInfo(true);
        dlg.btnColorPicker->click();
        // The modal run must go on after the pick, so the rest happens in a later turn.
        QTimer::singleShot(0, &dlg, [&] {
            stillRunning = true;
            visibleAfter = dlg.isVisible();
            // Coming back is no new opening: the fold state set since stays.
            foldStateKept = dlg.ShowInfo();
            dlg.btnOK->click();
        });
    });
    EXPECT_EQ(dlg.exec(), QDialog::Accepted);
    EXPECT_TRUE(stillRunning);
    EXPECT_EQ(picks, 1);
    EXPECT_TRUE(hiddenWhilePicking);
    EXPECT_TRUE(visibleAfter);
    EXPECT_TRUE(foldStateKept);
    EXPECT_EQ(offered, clRed);
    EXPECT_EQ(dlg.SwatchColor(), RGB(1, 2, 3));
}

TEST(SwatchInfo, EyedropperWithoutAPickOrHandlerChangesNothing)
{
    TfrmSwatchInfo dlg;
    int changes = 0;
    CountColorChanges(dlg, &changes);
    dlg.SetSwatchColor(RGB(5, 6, 7));
    changes = 0;
    dlg.btnColorPicker->click();
    dlg.OnPickColor = [](TfrmSwatchInfo*, TColor&) {};
    dlg.btnColorPicker->click();
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(dlg.SwatchColor(), RGB(5, 6, 7));
}

TEST(SwatchInfo, HelpAsksForItsTopic)
{
    TfrmSwatchInfo dlg;
    dlg.btnHelp->click(); // no handler: nothing happens
    int topic = 0;
    dlg.OnHelp = [&](int context) { topic = context; };
    dlg.btnHelp->click();
    EXPECT_EQ(topic, 6000);
}

TEST(SwatchInfo, HintsFollowTheHintSetting)
{
    TfrmSwatchInfo dlg;
    EXPECT_EQ(dlg.btnDarken->toolTip(), QStringLiteral("Darken"));
    EXPECT_EQ(dlg.btnColorPicker->toolTip(), QStringLiteral("Eye Drop Tool"));
    dlg.SetShowHints(false);
    EXPECT_TRUE(dlg.btnDarken->toolTip().isEmpty());
    dlg.SetShowHints(true);
    EXPECT_EQ(dlg.btnSaturate->toolTip(), QStringLiteral("Saturate"));
}

// ---------------------------------------------------------------------------------------
// Layout and settings

TEST(SwatchInfo, LayoutHeightsAndVisibilityInEveryFoldState)
{
    struct Case {
        bool info, colour;
        int height;
    };
    const Case cases[] = {{false, false, 257}, {true, true, 456}, {true, false, 286}, {false, true, 427}};
    TfrmSwatchInfo dlg;
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Color Swatch Info"));
    EXPECT_EQ(dlg.height(), 257);
    EXPECT_FALSE(dlg.ShowInfo());
    EXPECT_FALSE(dlg.ShowColorControls());
    for (const Case& c : cases) {
        dlg.SetShowInfo(c.info);
        dlg.SetShowColorControls(c.colour);
        EXPECT_EQ(dlg.size(), QSize(381, c.height)) << c.info << c.colour;
        EXPECT_EQ(dlg.minimumSize(), dlg.maximumSize());
        EXPECT_FALSE(dlg.memoDescription->isHidden());
        EXPECT_EQ(dlg.cbCssSelector->isHidden(), !c.info);
        EXPECT_EQ(dlg.ColorWheel->isHidden(), !c.colour);
        EXPECT_EQ(dlg.edHex->isHidden(), !c.colour);
        EXPECT_EQ(dlg.ColorTrackBars[2]->isHidden(), !c.colour);
        EXPECT_EQ(dlg.edValues[2]->isHidden(), !c.colour);
        EXPECT_EQ(dlg.btnShowInfo->text(), c.info ? QStringLiteral("▼") : QStringLiteral("▶"));
        EXPECT_EQ(dlg.btnShowColorControls->text(), c.colour ? QStringLiteral("▼") : QStringLiteral("▶"));
        // Everything stays inside the client area, the bottom row at its foot.
        EXPECT_EQ(dlg.btnOK->geometry().bottom() + 1 + 8, dlg.height());
        EXPECT_EQ(dlg.btnHelp->y(), dlg.btnOK->y());
        EXPECT_LT(dlg.memoDescription->geometry().bottom(), dlg.Bevel2->y());
    }
    // With the colours shown, the value boxes sit at the bottom of their sliders.
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(dlg.edValues[i]->geometry().bottom(), dlg.ColorTrackBars[i]->geometry().bottom());
    EXPECT_EQ(dlg.ColorWheel->size(), QSize(170, 170));
    EXPECT_EQ(dlg.memoDescription->size(), QSize(217, 88));

    // The fold buttons toggle their sections.
    dlg.SetShowInfo(false);
    dlg.SetShowColorControls(false);
    dlg.btnShowInfo->click();
    dlg.btnShowColorControls->click();
    EXPECT_TRUE(dlg.ShowInfo());
    EXPECT_TRUE(dlg.ShowColorControls());
    EXPECT_EQ(dlg.height(), 456);
}

TEST(SwatchInfo, OpensWithTheNameFocusedAndSelected)
{
    TfrmSwatchInfo dlg;
    dlg.SetSwatchName(QStringLiteral("Sky"));
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    EXPECT_EQ(QApplication::focusWidget(), dlg.edcSwatchName);
    EXPECT_EQ(dlg.edcSwatchName->selectedText(), QStringLiteral("Sky"));
}

class SwatchInfoSettings : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString file() const { return dir.filePath(QStringLiteral("Korvel4.conf")); }
    std::unique_ptr<QSettings> open() const { return std::make_unique<QSettings>(file(), QSettings::IniFormat); }
    void wire(TfrmSwatchInfo& dlg, const QString& key)
    {
        dlg.OpenSettings = [this] { return open(); };
        dlg.SetSettingsKey(key);
    }
};

TEST_F(SwatchInfoSettings, FoldStateIsSavedOnDestructionAndRestoredOnShow)
{
    {
        TfrmSwatchInfo dlg;
        wire(dlg, QStringLiteral("Software\\Brightfold\\Korvel4\\SwatchInfo"));
        dlg.show();
        // Nothing stored yet: folded.
        EXPECT_EQ(dlg.height(), 257);
        EXPECT_FALSE(open()->childGroups().contains(QStringLiteral("SwatchInfo")));
        dlg.btnShowColorControls->click();
    }
    {
        const auto store = open();
        EXPECT_EQ(store->value(QStringLiteral("SwatchInfo/ShowColorControls")).toBool(), true);
        EXPECT_EQ(store->value(QStringLiteral("SwatchInfo/ShowInfo")).toBool(), false);
        EXPECT_EQ(store->allKeys().size(), 2);
    }
    TfrmSwatchInfo dlg;
    wire(dlg, QStringLiteral("SwatchInfo"));
    EXPECT_FALSE(dlg.ShowColorControls());
    dlg.show();
    EXPECT_TRUE(dlg.ShowColorControls());
    EXPECT_FALSE(dlg.ShowInfo());
    EXPECT_EQ(dlg.height(), 427);
}

TEST_F(SwatchInfoSettings, StoredFlagsReadInEveryFormAndBadOnesKeepTheCurrentValue)
{
    {
        const auto store = open();
        store->setValue(QStringLiteral("SwatchInfo/ShowColorControls"), QStringLiteral("1"));
        store->setValue(QStringLiteral("SwatchInfo/ShowInfo"), QStringLiteral("maybe"));
    }
    TfrmSwatchInfo dlg;
    wire(dlg, QStringLiteral("\\SwatchInfo"));
    dlg.SetShowInfo(true);
    dlg.LoadSettings();
    EXPECT_TRUE(dlg.ShowColorControls());
    EXPECT_TRUE(dlg.ShowInfo());
}

TEST_F(SwatchInfoSettings, WithoutAKeyNothingIsWritten)
{
    {
        TfrmSwatchInfo dlg;
        dlg.OpenSettings = [this] { return open(); };
        dlg.SetShowInfo(true);
    }
    EXPECT_TRUE(open()->allKeys().isEmpty());
}

} // namespace
