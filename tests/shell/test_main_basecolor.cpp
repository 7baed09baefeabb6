// The base-colour panel: one change notification per change, mirrors that never feed back,
// value-field and hex commits, the history buttons, paste and drops.
#include "shell/BaseColorPanel.h"
#include "shell/ColorValueMenu.h"

#include "colour/Colors.h"
#include "pickers/ColorButton.h"
#include "pickers/ColorHistory.h"
#include "pickers/ColorSampler.h"
#include "pickers/ColorTrackBar.h"
#include "pickers/ColorWheel.h"
#include "pickers/HistoryPopup.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QTabBar>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

struct Panel {
    TBaseColorPanel panel;
    int changes = 0;
    int infos = 0;
    TColor lastChanged = 0;
    Panel()
    {
        HexShortHand = true;
        HexLowerCase = true;
        panel.OnBaseColorChanged = [this](TObject*, TColor c, const THSB&) {
            ++changes;
            lastChanged = c;
        };
        panel.OnColorInfo = [this](TObject*, TColor) { ++infos; };
    }
    TColorHistory& history() { return *panel.History(); }
};

// Types Text into the field the way a user does (replacing what was there) and presses Enter.
bool TypeAndEnter(QLineEdit* edit, const QString& text)
{
    edit->selectAll();
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QApplication::sendEvent(edit, &del);
    for (const QChar ch : text) {
        QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(edit, &key);
    }
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    enter.setAccepted(false);
    QApplication::sendEvent(edit, &enter);
    return enter.isAccepted();
}

} // namespace

TEST(BaseColorPanel, SetBaseColorMirrorsEveryControlWithOneNotification)
{
    Panel t;
    t.panel.SetBaseColor(RGB(255, 128, 0), false);
    EXPECT_EQ(t.changes, 1);
    EXPECT_EQ(t.lastChanged, RGB(255, 128, 0));
    EXPECT_EQ(t.panel.ColorWheel->SelectionColor(), RGB(255, 128, 0));
    EXPECT_EQ(t.panel.btnBaseColor->SelectionColor(), RGB(255, 128, 0));
    EXPECT_EQ(t.panel.edHex->text(), QStringLiteral("ff8000"));
    EXPECT_FALSE(t.panel.edHex->isModified());
    const QString rgbFields[] = {"255", "128", "0", "0", "100"};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(t.panel.edValues[i]->text(), rgbFields[i]) << "edValue" << i + 1;
    EXPECT_EQ(t.panel.TrackBars[0]->Position(), 255);
    EXPECT_EQ(t.panel.TrackBars[1]->Position(), 128);
    EXPECT_EQ(t.panel.TrackBars[2]->Position(), 0);
    EXPECT_EQ(t.panel.trkSatDesat->Position(), 240);
    EXPECT_EQ(t.history().Count(), 0);

    // The same colour again changes nothing and reports nothing; with history it adds once.
    t.panel.SetBaseColor(RGB(255, 128, 0), true);
    t.panel.SetBaseColor(RGB(255, 128, 0), true);
    EXPECT_EQ(t.changes, 1);
    EXPECT_EQ(t.history().Count(), 1);

    // A change that starts at the wheel is mirrored the same way, once.
    t.panel.ColorWheel->SetHue(120);
    EXPECT_EQ(t.changes, 2);
    EXPECT_EQ(t.panel.edHex->text(), QStringLiteral("0f0"));
    EXPECT_EQ(t.panel.TrackBars[1]->Position(), 255);
}

TEST(BaseColorPanel, HsbModelShowsRoundedValuesAndNoHueForGreys)
{
    Panel t;
    t.panel.SetColorModel(1);
    EXPECT_EQ(t.panel.TrackBars[0]->GradientType(), gtHSB_H);
    EXPECT_EQ(t.panel.TrackBars[0]->Caption(), QStringLiteral("色相"));
    EXPECT_EQ(t.panel.TrackBars[2]->statusTip(), QStringLiteral("Adjust brightness"));
    struct Case {
        TColor color;
        const char* fields[5];
    } cases[] = {
        {RGB(255, 128, 0), {"30", "100", "100", "0", "100"}},
        {RGB(128, 128, 128), {"---", "0", "50", "0", "0"}},
        {RGB(0, 0, 0), {"---", "0", "0", "-50", "0"}},
    };
    for (const Case& c : cases) {
        t.panel.SetBaseColor(c.color, false);
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(t.panel.edValues[i]->text(), QLatin1String(c.fields[i])) << std::hex << c.color << " field " << i;
    }
}

TEST(BaseColorPanel, HexFieldCommitsOnEnterAndIgnoresUnreadableText)
{
    Panel t;
    t.panel.SetBaseColor(RGB(255, 204, 0), false);
    t.changes = 0;
    EXPECT_TRUE(TypeAndEnter(t.panel.edHex, QStringLiteral(" 3366CC ")));
    EXPECT_EQ(t.panel.BaseColor(), RGB(0x33, 0x66, 0xCC));
    EXPECT_EQ(t.changes, 1);
    EXPECT_EQ(t.panel.edHex->text(), QStringLiteral("36c"));
    EXPECT_EQ(t.history().Count(), 0);

    EXPECT_TRUE(TypeAndEnter(t.panel.edHex, QStringLiteral("zz12qq")));
    EXPECT_EQ(t.panel.BaseColor(), RGB(0x33, 0x66, 0xCC));
    EXPECT_EQ(t.changes, 1);
    EXPECT_EQ(t.panel.edHex->text(), QStringLiteral("36c"));

    // Enter in an untouched field is swallowed and commits nothing.
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    enter.setAccepted(false);
    QApplication::sendEvent(t.panel.edValues[0], &enter);
    EXPECT_TRUE(enter.isAccepted());
    EXPECT_EQ(t.history().Count(), 0);
}

TEST(BaseColorPanel, ValueFieldsCommitInRangeAndAlwaysTryHistory)
{
    Panel t;
    t.panel.SetBaseColor(RGB(10, 20, 30), false);
    struct Case {
        int model, field;
        const char* text;
        TColor expected;
        const char* shown;
    } cases[] = {
        {0, 0, "300", RGB(10, 20, 30), "10"}, // out of range: nothing changes, the value shows again
        {0, 0, "abc", RGB(10, 20, 30), "10"},
        {0, 1, "200", RGB(10, 200, 30), "200"},
        {1, 1, "0", RGB(200, 200, 200), "0"}, // HSB saturation 0 keeps brightness 200/255 = 78 %
        {0, 3, "51", RGB(200, 200, 200), "28"}, // 51 + 50 is out of 0..100
        {0, 3, "50", RGB(255, 255, 255), "50"},
    };
    for (const Case& c : cases) {
        t.panel.SetColorModel(c.model);
        TypeAndEnter(t.panel.edValues[c.field], QLatin1String(c.text));
        EXPECT_EQ(t.panel.BaseColor(), c.expected) << c.text;
        EXPECT_EQ(t.panel.edValues[c.field]->text(), QLatin1String(c.shown)) << c.text;
        // Every commit attempts a history entry; the current entry is always the base colour.
        EXPECT_EQ(t.history().Items(t.history().Position())->Color(), t.panel.BaseColor()) << c.text;
    }
    // Entries: (10,20,30) from the first attempt, then each new colour once.
    EXPECT_EQ(t.history().Count(), 4);
}

TEST(BaseColorPanel, SlidersSetTheColourByTheirType)
{
    Panel t;
    t.panel.SetColorModel(1);
    t.panel.SetBaseColor(RGB(255, 0, 0), false);
    // Brightness 0 on the slider is brightness 0.01, so the hue survives.
    t.panel.TrackBars[2]->OnPositionChange(t.panel.TrackBars[2], 0);
    EXPECT_DOUBLE_EQ(t.panel.BaseHSB().B, 0.01);
    EXPECT_EQ(t.panel.BaseColor(), HSBToColor(0, 1, 0.01));
    t.panel.SetColorModel(0);
    t.panel.TrackBars[1]->OnPositionChange(t.panel.TrackBars[1], 255);
    EXPECT_EQ(GetGValue(t.panel.BaseColor()), 255);
    // The lightness slider never reaches pure black or white.
    t.panel.trkLightDark->OnPositionChange(t.panel.trkLightDark, 240);
    EXPECT_EQ(
        t.panel.BaseColor(), HSLToColor(t.panel.trkLightDark->HSL_Hue(), t.panel.trkLightDark->HSL_Sat(), 238 / 240.0));
    EXPECT_EQ(t.history().Count(), 0);
}

TEST(BaseColorPanel, HistoryButtonsFollowThePosition)
{
    Panel t;
    EXPECT_FALSE(t.panel.btnHistoryPrev->isEnabled());
    EXPECT_FALSE(t.panel.btnHistoryNext->isEnabled());
    EXPECT_FALSE(t.panel.btnHistoryOpen->isEnabled());
    const TColor a = RGB(1, 2, 3), b = RGB(4, 5, 6), c = RGB(7, 8, 9), d = RGB(10, 11, 12);
    for (TColor x : {a, b, c})
        t.panel.SetBaseColor(x, true);
    EXPECT_TRUE(t.panel.btnHistoryPrev->isEnabled());
    EXPECT_FALSE(t.panel.btnHistoryNext->isEnabled());
    EXPECT_TRUE(t.panel.btnHistoryOpen->isEnabled());

    t.panel.btnHistoryPrev->click();
    EXPECT_EQ(t.panel.BaseColor(), b);
    EXPECT_TRUE(t.panel.btnHistoryPrev->isEnabled());
    EXPECT_TRUE(t.panel.btnHistoryNext->isEnabled());
    t.panel.btnHistoryPrev->click();
    EXPECT_EQ(t.panel.BaseColor(), a);
    EXPECT_FALSE(t.panel.btnHistoryPrev->isEnabled());
    t.panel.btnHistoryNext->click();
    EXPECT_EQ(t.panel.BaseColor(), b);
    EXPECT_EQ(t.history().Count(), 3);

    // A new colour after going back drops the later entries.
    t.panel.SetBaseColor(d, true);
    EXPECT_EQ(t.history().Count(), 3);
    EXPECT_EQ(t.history().Items(2)->Color(), d);
    EXPECT_FALSE(t.panel.btnHistoryNext->isEnabled());
}

TEST(BaseColorPanel, PasteTakesHexTextWithOrWithoutHash)
{
    Panel t;
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(QStringLiteral("  #ff8000 "));
    ASSERT_EQ(clipboard->text(), QStringLiteral("  #ff8000 ")) << "no clipboard on this platform";
    EXPECT_TRUE(TBaseColorPanel::CanPasteHexColorValue());
    t.panel.PasteHexColorValue();
    EXPECT_EQ(t.panel.BaseColor(), RGB(255, 128, 0));
    EXPECT_EQ(t.panel.edHex->text(), QStringLiteral("ff8000"));
    EXPECT_EQ(t.history().Count(), 1);

    for (const char* text : {"#", "x", "#zz0000", "ff800g", "-12"}) {
        clipboard->setText(QLatin1String(text));
        EXPECT_FALSE(TBaseColorPanel::CanPasteHexColorValue()) << text;
    }
    t.panel.PasteHexColorValue();
    EXPECT_EQ(t.panel.BaseColor(), RGB(255, 128, 0));

    t.panel.CopyBaseColorValue();
    EXPECT_EQ(clipboard->text(), QStringLiteral("#ff8000"));
}

TEST(BaseColorPanel, ColourDropsOnTheWheelSetTheBaseColour)
{
    Panel t;
    TColorDragCtrlObject drag;
    drag.Color = RGB(12, 34, 56);
    QMimeData* data = EncodeColorDrag(drag);
    const QPointF at(95, 95);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(t.panel.ColorWheel, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(t.panel.ColorWheel, &drop);
    EXPECT_EQ(t.panel.BaseColor(), RGB(12, 34, 56));
    EXPECT_EQ(t.history().Count(), 1);

    QMimeData plain;
    plain.setText(QStringLiteral("#FFFFFF"));
    QDragEnterEvent refused(at.toPoint(), Qt::CopyAction, &plain, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(t.panel.ColorWheel, &refused);
    EXPECT_FALSE(refused.isAccepted());
    delete data;
}

TEST(BaseColorPanel, GamutWarningFollowsThePageAndCorrects)
{
    Panel t;
    TGamutState state = gsOutOfGamut;
    t.panel.OnCheckGamut = [&](TObject*, const THSB&, THSB& corrected) {
        corrected = {200, 0.5, 0.5};
        return state;
    };
    t.panel.SetBaseColor(RGB(255, 0, 0), false);
    EXPECT_FALSE(t.panel.btnGamutWarning->isHidden());
    state = gsNoPage; // no page: the warning keeps its state
    t.panel.SetBaseColor(RGB(0, 0, 255), false);
    EXPECT_FALSE(t.panel.btnGamutWarning->isHidden());
    state = gsOutOfGamut;
    t.panel.btnGamutWarning->click();
    EXPECT_EQ(t.panel.BaseColor(), HSBToColor(200, 0.5, 0.5));
    EXPECT_TRUE(t.panel.btnGamutWarning->isHidden());
    EXPECT_EQ(t.history().Count(), 1);
    t.panel.SetGamutCheck(false);
    t.panel.SetBaseColor(RGB(0, 255, 0), false);
    EXPECT_TRUE(t.panel.btnGamutWarning->isHidden());
}

TEST(BaseColorPanel, PickerTabsMapToPickers)
{
    Panel t;
    int reported = -1;
    t.panel.OnPickerChange = [&](TObject*, int p) { reported = p; };
    struct Case {
        int tab, picker;
    } cases[] = {{1, 0}, {2, 2}, {0, 1}};
    for (const Case& c : cases) {
        t.panel.tabBaseColor->setCurrentIndex(c.tab);
        EXPECT_EQ(t.panel.BaseColorPicker(), c.picker);
        EXPECT_EQ(reported, c.picker);
    }
    t.panel.SetBaseColorPicker(3);
    EXPECT_TRUE(t.panel.tabBaseColor->isHidden());
    EXPECT_TRUE(t.panel.ColorWheel->isHidden());
}

TEST(ColorValueMenu, EightItemsEachCopyingItsValue)
{
    HexShortHand = true;
    HexLowerCase = true;
    QMenu menu;
    menu.addAction(QStringLiteral("stale"));
    FillColorValueMenu(&menu, RGB(255, 128, 0));
    const QList<QAction*> actions = menu.actions();
    ASSERT_EQ(actions.size(), 8);
    EXPECT_EQ(actions[0]->text(), QStringLiteral("ff8000 - (Hex)"));
    EXPECT_EQ(actions[1]->text(), QStringLiteral("#ff8000 - (Hex)"));
    EXPECT_EQ(actions[2]->text(), QStringLiteral("255.128.0 - (RGB)"));
    EXPECT_EQ(actions[5]->text(), QStringLiteral("$000080FF - (Delphi)"));
    EXPECT_EQ(actions[6]->text(), QStringLiteral("&&H0080FF - (Visual basic)"));
    EXPECT_EQ(actions[7]->text(), QStringLiteral("255;128;0 - (Visual Studio .NET)"));
    actions[6]->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("&H0080FF"));
}

TEST(BaseColorPanel, MouseReleaseOnASliderOrTheWheelEndsThePick)
{
    Panel t;
    int clears = 0;
    t.panel.OnColorInfoClear = [&](TObject*) { ++clears; };
    t.panel.SetBaseColor(RGB(100, 150, 200), false);
    TColorTrackBar* red = t.panel.TrackBars[0];
    const QPointF left(red->TrackRect().left(), red->height() / 2.0);
    QMouseEvent press(
        QEvent::MouseButtonPress, left, red->mapToGlobal(left), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(red, &press);
    EXPECT_EQ(t.panel.BaseColor(), RGB(0, 150, 200));
    EXPECT_EQ(t.history().Count(), 0);
    QMouseEvent release(
        QEvent::MouseButtonRelease, left, red->mapToGlobal(left), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(red, &release);
    EXPECT_EQ(clears, 1);
    ASSERT_EQ(t.history().Count(), 1);
    EXPECT_EQ(t.history().Items(0)->Color(), RGB(0, 150, 200));

    // The wheel: a click picks, the release records it.
    TColorWheel* wheel = t.panel.ColorWheel;
    const QPointF centre = wheel->WheelCenter();
    QMouseEvent wheelPress(
        QEvent::MouseButtonPress, centre, wheel->mapToGlobal(centre), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(wheel, &wheelPress);
    QMouseEvent wheelRelease(
        QEvent::MouseButtonRelease, centre, wheel->mapToGlobal(centre), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(wheel, &wheelRelease);
    EXPECT_EQ(clears, 2);
    EXPECT_EQ(t.history().Count(), 2);
    EXPECT_EQ(t.history().Items(1)->Color(), t.panel.BaseColor());
}

TEST(BaseColorPanel, LeavingAFieldCommitsOnlyWhatWasTyped)
{
    Panel t;
    t.panel.SetColorModel(1);
    t.panel.SetBaseColor(RGB(250, 100, 10), false);
    const TColor before = t.panel.BaseColor();
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    // Passing through an untouched field leaves the colour exactly as it was, although the
    // field shows the saturation rounded.
    QApplication::sendEvent(t.panel.edValues[1], &out);
    EXPECT_EQ(t.panel.BaseColor(), before);
    EXPECT_EQ(t.history().Count(), 0);

    t.panel.edValues[1]->setText(QStringLiteral("50"));
    t.panel.edValues[1]->setModified(true);
    QApplication::sendEvent(t.panel.edValues[1], &out);
    EXPECT_DOUBLE_EQ(t.panel.BaseHSB().S, 0.5);
    EXPECT_EQ(t.history().Count(), 1);
}

TEST(BaseColorPanel, HistoryPopupChoosesAnEntryAndIgnoresTheClosingClick)
{
    Panel t;
    int clears = 0;
    t.panel.OnColorInfoClear = [&](TObject*) { ++clears; };
    for (TColor x : {RGB(1, 1, 1), RGB(2, 2, 2), RGB(3, 3, 3)})
        t.panel.SetBaseColor(x, true);
    t.panel.show();
    t.panel.OpenHistoryPopup();
    TfrmHistoryPopup* popup = t.panel.HistoryPopup();
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(popup->isVisible());
    int infos = t.infos;
    popup->OnRolloverCellEvent(popup, 1);
    EXPECT_EQ(t.infos, infos + 1);

    popup->OnSelectItem(popup, 0);
    EXPECT_EQ(t.panel.BaseColor(), RGB(1, 1, 1));
    EXPECT_EQ(t.history().Position(), 0);
    EXPECT_EQ(t.history().Count(), 3);
    EXPECT_FALSE(t.panel.btnHistoryPrev->isEnabled());
    EXPECT_TRUE(t.panel.btnHistoryNext->isEnabled());

    popup->hide();
    EXPECT_GE(clears, 1);
    // The click that closed the pop-up arrives at once and must not reopen it.
    t.panel.OpenHistoryPopup();
    EXPECT_FALSE(popup->isVisible());
}

TEST(BaseColorPanel, SamplerPicksWithoutHistoryUntilReleaseAndSwatchDoubleClickAddsToPalette)
{
    Panel t;
    t.panel.resize(TBaseColorPanel::kPanelWidth, 600);
    t.panel.SetBaseColorPicker(0);
    TColorSampler* sampler = t.panel.ColorSampler;
    const QPointF at = QRectF(sampler->FieldRect()).center();
    TColor shown = 0;
    ASSERT_TRUE(sampler->ColorAt(at, shown));
    QMouseEvent press(
        QEvent::MouseButtonPress, at, sampler->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(sampler, &press);
    EXPECT_EQ(t.panel.BaseColor(), shown);
    EXPECT_EQ(t.history().Count(), 0);
    QMouseEvent release(
        QEvent::MouseButtonRelease, at, sampler->mapToGlobal(at), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(sampler, &release);
    EXPECT_EQ(t.history().Count(), 1);

    TColor added = 1;
    t.panel.OnAddToPalette = [&](TObject*, TColor c) { added = c; };
    const QPointF mid(24, 24);
    QMouseEvent dbl(QEvent::MouseButtonDblClick, mid, t.panel.btnBaseColor->mapToGlobal(mid), Qt::LeftButton,
        Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(t.panel.btnBaseColor, &dbl);
    EXPECT_EQ(added, shown);
}
