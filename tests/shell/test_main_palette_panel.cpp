// The palette panel of the main window: status line and buttons, view modes that follow the
// palette, the grid's events (rollover, Alt and Ctrl presses, double click, Delete), the two
// menus, auto captions, and the palette commands with their confirmations.
#include "test_main_palette_util.h"

#include "colour/Colors.h"
#include "output/PaletteInfo.h"
#include "output/SwatchInfo.h"
#include "pickers/CaptionBar.h"
#include "pickers/ColorDragObj.h"
#include "pickers/MessageDlgEx.h"
#include "shell/AdvSwatchGrid.h"
#include "shell/ColorInfoPanel.h"
#include "shell/Commands.h"
#include "shell/PalettePanel.h"
#include "shell/RemoveSimilar.h"
#include "workarea/ClipNames.h"
#include "workarea/PptBase.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

using C = TCommandId;

class PalettePanel : public ::testing::Test {
protected:
    void SetUp() override
    {
        ForgetEverything();
        Window = StartWith(Prompts);
        Window->resize(1000, 720);
        Window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Window.get()));
    }

    TAdvSwatchGrid& Grid() { return Window->PaletteGrid(); }
    TPalettePanel& Panel() { return *Window->PalettePanel(); }
    QAction* A(TCommandId Id) { return Window->Commands()->Action(Id); }
    bool Run(TCommandId Id) { return Window->Commands()->Run(Id); }

    void AddColors(std::initializer_list<TColor> Colors)
    {
        for (TColor c : Colors)
            Grid().AddColor(c, false);
    }
    QPoint CellCenter(int Index)
    {
        const QPoint cell = Grid().CellOfIndex(Index);
        return Grid().CellRect(cell.x(), cell.y()).center();
    }
    // A left press on a swatch (it becomes the swatch under the menu).
    void Press(int Index, Qt::KeyboardModifiers Modifiers = Qt::NoModifier)
    {
        QTest::mousePress(Grid().viewport(), Qt::LeftButton, Modifiers, CellCenter(Index));
        QTest::mouseRelease(Grid().viewport(), Qt::LeftButton, Modifiers, CellCenter(Index));
    }
    QList<TColor> Colors()
    {
        QList<TColor> out;
        for (int i = 0; i < Grid().Count(); ++i)
            out << Grid().Swatch(i)->Color();
        return out;
    }

    TScriptedPrompts Prompts;
    std::unique_ptr<TfrmMain> Window;
};

QStringList MenuCaptions(const QMenu* Menu)
{
    QStringList out;
    for (QAction* a : Menu->actions())
        out << (a->isSeparator() ? QStringLiteral("-") : a->menu() ? a->text() + QStringLiteral(" >") : a->text());
    return out;
}

TEST_F(PalettePanel, StatusLineComboAndButtonsFollowThePalette)
{
    EXPECT_EQ(Panel().lblColorCount->text(), QStringLiteral("调色板是空的"));
    EXPECT_FALSE(Panel().btnClearPalette->isEnabled());
    EXPECT_FALSE(Panel().btnRemoveDuplicates->isEnabled());
    EXPECT_FALSE(A(C::atnPaletteClear)->isEnabled());
    EXPECT_EQ(Panel().cbCurrentPalette->count(), 1);
    EXPECT_EQ(Panel().cbCurrentPalette->currentText(), QStringLiteral("Palette 1"));

    AddColors({RGB(1, 2, 3)});
    EXPECT_EQ(Panel().lblColorCount->text(), QStringLiteral("1 颜色"));
    EXPECT_TRUE(Panel().btnClearPalette->isEnabled());
    EXPECT_FALSE(Panel().btnRemoveDuplicates->isEnabled());
    AddColors({RGB(9, 9, 9), RGB(1, 2, 3)});
    EXPECT_EQ(Panel().lblColorCount->text(), QStringLiteral("3 颜色"));
    EXPECT_TRUE(Panel().btnRemoveDuplicates->isEnabled());
    EXPECT_TRUE(A(C::atnPaletteRemoveDupes)->isEnabled());
    // The button removes the later duplicate.
    QTest::mouseClick(Panel().btnRemoveDuplicates, Qt::LeftButton);
    EXPECT_EQ(Colors(), QList<TColor>({RGB(1, 2, 3), RGB(9, 9, 9)}));
    EXPECT_FALSE(Panel().btnRemoveDuplicates->isEnabled());

    Grid().AddPalette(QStringLiteral("Zweite"), true);
    EXPECT_EQ(Panel().cbCurrentPalette->count(), 2);
    EXPECT_EQ(Panel().cbCurrentPalette->currentIndex(), 1);
    EXPECT_EQ(Panel().lblColorCount->text(), QStringLiteral("调色板是空的"));
    // Choosing in the combo selects the palette.
    Panel().cbCurrentPalette->activated(0);
    EXPECT_EQ(Window->Document().ItemIndex(), 0);
    EXPECT_EQ(Panel().lblColorCount->text(), QStringLiteral("2 颜色"));
}

TEST_F(PalettePanel, ViewModesApplyTheirTableAndFollowEachPalette)
{
    struct Mode {
        TCommandId Action;
        QToolButton* TPalettePanel::*Button;
        int Columns;
        TCellStyle Style;
        int RowHeight;
    };
    const Mode modes[] = {
        {C::atnPaletteList, &TPalettePanel::btnPaletteList, 1, csList, 36},
        {C::atnPaletteCompactList, &TPalettePanel::btnPaletteCompactList, 1, csCompactList, 20},
        {C::atnPaletteThn, &TPalettePanel::btnPaletteThn, 6, csSwatch, 27},
    };
    const int bar = Grid().style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &Grid());
    // By action and by button, in an order that changes the mode every time.
    for (int m : {2, 0, 1, 2, 1, 0}) {
        SCOPED_TRACE(m);
        if (m % 2) {
            ASSERT_TRUE(Run(modes[m].Action));
        } else {
            QTest::mouseClick(Panel().*modes[m].Button, Qt::LeftButton);
        }
        EXPECT_EQ(Grid().ColCount(), modes[m].Columns);
        EXPECT_EQ(Grid().CellStyle(), modes[m].Style);
        EXPECT_EQ(Grid().DefaultRowHeight(), modes[m].RowHeight);
        EXPECT_EQ(Grid().DefaultColWidth(), m == 2 ? 27 : Grid().width() - bar);
        EXPECT_TRUE((Panel().*modes[m].Button)->isChecked());
        for (const Mode& other : modes)
            EXPECT_EQ(A(other.Action)->isChecked(), &other == &modes[m]);
        EXPECT_EQ(Window->Settings().PaletteMode, m);
        EXPECT_EQ(Grid().CurrentPalette()->DisplayMode(), m);
    }

    // Each palette keeps its view: switching palettes switches the view.
    ASSERT_TRUE(Run(C::atnPaletteThn));
    Grid().AddPalette(QStringLiteral("second"), true);
    EXPECT_EQ(Grid().CellStyle(), csList);
    ASSERT_TRUE(Run(C::atnPaletteCompactList));
    ASSERT_TRUE(Run(C::atnPalettePrev));
    EXPECT_EQ(Window->Document().ItemIndex(), 0);
    EXPECT_EQ(Grid().CellStyle(), csSwatch);
    EXPECT_TRUE(A(C::atnPaletteThn)->isChecked());
    Panel().cbCurrentPalette->activated(1);
    EXPECT_EQ(Grid().CellStyle(), csCompactList);
    EXPECT_TRUE(Panel().btnPaletteCompactList->isChecked());
    ASSERT_TRUE(Run(C::atnPalettePrev));
    ASSERT_TRUE(Run(C::atnPaletteNext));
    EXPECT_EQ(Grid().CellStyle(), csCompactList);

    // A file's palettes come back in their views.
    QTemporaryDir dir;
    const QString file = dir.path() + QStringLiteral("/views.kvfc");
    ASSERT_TRUE(WriteCollectionFile(Window->Document(), file).Ok());
    ASSERT_TRUE(Run(C::atnPaletteList));
    ASSERT_TRUE(Run(C::atnFileNew));
    ASSERT_TRUE(Window->OpenPaletteFile(file, true, true));
    EXPECT_EQ(Window->Document().ItemIndex(), 1);
    EXPECT_EQ(Grid().CellStyle(), csCompactList);

    // The palette tool bar hides and shows.
    EXPECT_TRUE(A(C::atnPaletteShowToolbar)->isChecked());
    ASSERT_TRUE(Run(C::atnPaletteShowToolbar));
    EXPECT_FALSE(Panel().dxcPaletteToolbar->isVisible());
    EXPECT_FALSE(Window->Settings().ShowPaletteToolbar);
    EXPECT_FALSE(A(C::atnPaletteShowToolbar)->isChecked());
}

TEST_F(PalettePanel, GridEventsReachTheInspectorTheBaseColourAndNothingElse)
{
    AddColors({RGB(200, 10, 10), RGB(10, 200, 10), RGB(10, 10, 200)});
    // Rolling over a swatch shows it in the inspector; off the swatches it clears.
    QTest::mouseMove(Grid().viewport(), CellCenter(1));
    ASSERT_TRUE(Window->InspectedColor().has_value());
    EXPECT_EQ(*Window->InspectedColor(), RGB(10, 200, 10));
    QTest::mouseMove(Grid().viewport(), QPoint(Grid().viewport()->width() / 2, Grid().viewport()->height() - 3));
    EXPECT_FALSE(Window->InspectedColor().has_value());

    // Left Alt + click makes the swatch the base colour.
    Press(2, Qt::AltModifier);
    EXPECT_EQ(Window->BaseColor(), RGB(10, 10, 200));

    // Ctrl + click belongs to the Variations and Blender pages; elsewhere it changes nothing.
    const TColor base = Window->BaseColor();
    const QByteArray doc = DocumentBytes(Window->Document());
    Press(0, Qt::ControlModifier);
    Press(0, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Window->BaseColor(), base);
    EXPECT_EQ(DocumentBytes(Window->Document()), doc);

    // The palette is seen as the window simulates it.
    ASSERT_TRUE(Run(C::atnColorVisionDeutan));
    EXPECT_EQ(Grid().ColorVisionType(), cvtDeut);
}

TEST_F(PalettePanel, AutoCaptionsFollowTheDefaultTitleFormat)
{
    AddColors({RGB(1, 2, 3), RGB(255, 128, 0)});
    const TRichColor* swatch = Grid().Swatch(1);
    const std::pair<int, QString> rows[] = {
        {0, QStringLiteral("Color 2")},
        {1, ColorToText(cfHex, 1, RGB(255, 128, 0))},
        {2, ColorToText(cfRGB, 1, RGB(255, 128, 0))},
        {7, QStringLiteral("Color 2")},
    };
    for (const auto& [format, caption] : rows) {
        Window->Settings().DefaultTitleFormat = format;
        EXPECT_EQ(swatch->Caption(), caption) << format;
    }
    // A caption of its own wins.
    Grid().Swatch(0)->SetCaption(QStringLiteral("Mine"));
    EXPECT_EQ(Grid().Swatch(0)->Caption(), QStringLiteral("Mine"));
}

TEST_F(PalettePanel, MenusHoldThePaletteAndSwatchCommands)
{
    EXPECT_EQ(Panel().cbarColorPalette->Caption(), QStringLiteral("Color Palette"));
    EXPECT_EQ(Panel().cbarColorPalette->ButtonMenu(), Panel().popColorPalette);
    EXPECT_EQ(MenuCaptions(Panel().popColorPalette),
        QStringList({"Save Palette Collection...", "Save Palette Collection As...", "Save Current Palette As...", "-",
            "Palette Info", "Add Palette...", "Duplicate Palette...", "Delete Palette...", "ColorPalette Settings...",
            "-", "Show Palette Toolbar", "View as list", "View as compact list", "View as thumbnails", "-", "Sort >",
            "Snap to 216 Color Web-Safe Palette", "Snap to 4096 Color Web-Smart Palette", "Remove Duplicate Colors",
            "Remove Similar Colors", "-", "Clear Palette"}));
    EXPECT_EQ(MenuCaptions(Panel().popSwatch),
        QStringList({"Color Swatch Info", "-", "Clear From Current Color", "Delete Swatch", "-", "Copy Color Value >",
            "Copy Swatch"}));

    // The swatch commands need a swatch under the menu.
    AddColors({RGB(1, 1, 1), RGB(2, 2, 2)});
    const QPoint offPos(5, Grid().viewport()->height() - 3);
    QContextMenuEvent off(QContextMenuEvent::Mouse, offPos, Grid().viewport()->mapToGlobal(offPos));
    QApplication::sendEvent(Grid().viewport(), &off);
    Panel().popSwatch->hide();
    for (TCommandId id : {C::atnPaletteSwatchInfo, C::atnPaletteClearFromCurrent, C::atnPaletteDeleteSwatch})
        EXPECT_FALSE(A(id)->isEnabled()) << TMainCommands::Def(id).Name;
    QMenu* copyValue = Panel().popSwatch->findChild<QMenu*>(QStringLiteral("mnuSwatchCopyColorValue"));
    ASSERT_NE(copyValue, nullptr);
    EXPECT_FALSE(copyValue->isEnabled());
    QContextMenuEvent on(QContextMenuEvent::Mouse, CellCenter(1), Grid().viewport()->mapToGlobal(CellCenter(1)));
    QApplication::sendEvent(Grid().viewport(), &on);
    EXPECT_TRUE(Panel().popSwatch->isVisible());
    Panel().popSwatch->hide();
    EXPECT_EQ(Grid().PopupSwatchIndex(), 1);
    for (TCommandId id : {C::atnPaletteSwatchInfo, C::atnPaletteClearFromCurrent, C::atnPaletteDeleteSwatch})
        EXPECT_TRUE(A(id)->isEnabled()) << TMainCommands::Def(id).Name;
    EXPECT_TRUE(copyValue->isEnabled());
    ASSERT_FALSE(copyValue->actions().isEmpty());
}

TEST_F(PalettePanel, SwatchDialogWritesTheEditsAndTheNextPressIsIgnored)
{
    AddColors({RGB(10, 20, 30), RGB(40, 50, 60)});
    Grid().SetModified(false);
    QString shownName;
    Prompts.OnExec = [&](QDialog& Dialog) {
        auto& d = dynamic_cast<TfrmSwatchInfo&>(Dialog);
        shownName = d.SwatchName();
        EXPECT_EQ(d.SwatchColor(), RGB(40, 50, 60));
        EXPECT_EQ(d.SettingsKey(), QStringLiteral("SwatchInfo"));
        d.edcSwatchName->setText(QStringLiteral("Slate"));
        d.SetDescription(QStringLiteral("for the footer"));
        return int(QDialog::Accepted);
    };
    QTest::mouseDClick(Grid().viewport(), Qt::LeftButton, Qt::NoModifier, CellCenter(1));
    EXPECT_EQ(Prompts.Log, QStringList({QStringLiteral("exec:Color Swatch Info")}));
    EXPECT_EQ(shownName, QStringLiteral("Color 2"));
    const TRichColor* swatch = Grid().Swatch(1);
    EXPECT_EQ(swatch->Caption(), QStringLiteral("Slate"));
    EXPECT_FALSE(swatch->AutoCaption());
    EXPECT_EQ(swatch->Description(), QStringLiteral("for the footer"));
    EXPECT_TRUE(Grid().Modified());
    // The press right after the dialog closed does not count.
    QTest::mousePress(Grid().viewport(), Qt::LeftButton, Qt::NoModifier, CellCenter(0));
    EXPECT_EQ(Grid().PopupSwatchIndex(), 1);
    QTest::mouseRelease(Grid().viewport(), Qt::LeftButton, Qt::NoModifier, CellCenter(0));

    // A recoloured swatch is a change too; Cancel changes nothing.
    QTest::qWait(TAdvSwatchGrid::kDialogGuardMs + 50);
    Grid().SetModified(false);
    Prompts.OnExec = [](QDialog& Dialog) {
        dynamic_cast<TfrmSwatchInfo&>(Dialog).SetSwatchColor(RGB(1, 1, 1));
        return int(QDialog::Accepted);
    };
    Press(0);
    ASSERT_TRUE(Run(C::atnPaletteSwatchInfo));
    EXPECT_EQ(Grid().Swatch(0)->Color(), RGB(1, 1, 1));
    EXPECT_TRUE(Grid().Swatch(0)->AutoCaption());
    EXPECT_TRUE(Grid().Modified());
    Grid().SetModified(false);
    Prompts.OnExec = [](QDialog& Dialog) {
        dynamic_cast<TfrmSwatchInfo&>(Dialog).SetSwatchColor(RGB(9, 9, 9));
        return int(QDialog::Rejected);
    };
    QTest::qWait(TAdvSwatchGrid::kDialogGuardMs + 50);
    Press(0);
    ASSERT_TRUE(Run(C::atnPaletteSwatchInfo));
    EXPECT_EQ(Grid().Swatch(0)->Color(), RGB(1, 1, 1));
    EXPECT_FALSE(Grid().Modified());
}

TEST_F(PalettePanel, PaletteInfoWritesOnlyWhatChanged)
{
    TRichPalette* palette = Grid().CurrentPalette();
    palette->SetKeywords(QStringLiteral("warm, autumn"));
    Grid().SetModified(false);
    // OK without edits writes nothing.
    Prompts.OnExec = [](QDialog&) { return int(QDialog::Accepted); };
    QTest::mouseClick(Panel().btnPaletteEdit, Qt::LeftButton);
    EXPECT_EQ(Prompts.Log, QStringList({QStringLiteral("exec:Color Palette")}));
    EXPECT_FALSE(Grid().Modified());

    Prompts.OnExec = [](QDialog& Dialog) {
        auto& d = dynamic_cast<TfrmPaletteInfo&>(Dialog);
        EXPECT_EQ(d.Title(), QStringLiteral("Palette 1"));
        d.edcPaletteTitle->setText(QStringLiteral("  Herbst "));
        d.edcAuthor->setText(QStringLiteral("Jo"));
        d.edcPaletteURL->setText(QStringLiteral("http://example.org "));
        return int(QDialog::Accepted);
    };
    ASSERT_TRUE(Run(C::atnPaletteInfo));
    EXPECT_EQ(palette->Title(), QStringLiteral("Herbst"));
    EXPECT_EQ(palette->Author(), QStringLiteral("Jo"));
    EXPECT_EQ(palette->URL(), QStringLiteral("http://example.org "));
    EXPECT_EQ(palette->Keywords(), QStringLiteral("warm, autumn"));
    EXPECT_TRUE(Grid().Modified());
    EXPECT_EQ(Panel().cbCurrentPalette->currentText(), QStringLiteral("Herbst"));
}

TEST_F(PalettePanel, ClearingFromASwatchAndDeletingSwatches)
{
    AddColors({RGB(1, 0, 0), RGB(2, 0, 0), RGB(3, 0, 0), RGB(4, 0, 0), RGB(5, 0, 0)});
    Grid().SetModified(false);
    // No: nothing happens.
    Press(2);
    ASSERT_TRUE(Run(C::atnPaletteClearFromCurrent));
    EXPECT_EQ(Prompts.Log, QStringList({QStringLiteral("confirm:Do you want to clear from current color?")}));
    EXPECT_EQ(Grid().Count(), 5);
    // Yes on the third of five leaves two; the document does not count as changed.
    Prompts.Confirms = {mrYes};
    ASSERT_TRUE(Run(C::atnPaletteClearFromCurrent));
    EXPECT_EQ(Colors(), QList<TColor>({RGB(1, 0, 0), RGB(2, 0, 0)}));
    EXPECT_FALSE(Grid().Modified());
    EXPECT_EQ(Panel().lblColorCount->text(), QStringLiteral("2 颜色"));

    // Delete Swatch from the menu, with "Do not show again": the next one is not asked.
    AddColors({RGB(3, 0, 0), RGB(4, 0, 0)});
    Prompts.Log.clear();
    Prompts.Confirms = {mrYes};
    Prompts.CheckDoNotShowAgain = true;
    Press(1);
    ASSERT_TRUE(Run(C::atnPaletteDeleteSwatch));
    EXPECT_EQ(Prompts.Log, QStringList({QStringLiteral("confirm:Do you want to Delete the current swatch?")}));
    EXPECT_EQ(Colors(), QList<TColor>({RGB(1, 0, 0), RGB(3, 0, 0), RGB(4, 0, 0)}));
    EXPECT_FALSE(Window->Settings().WarnDeleteSwatch);
    // The Delete key on the grid deletes its selected swatch, now without a question.
    Press(2);
    QTest::keyClick(&Grid(), Qt::Key_Delete);
    EXPECT_EQ(Colors(), QList<TColor>({RGB(1, 0, 0), RGB(3, 0, 0)}));
    EXPECT_EQ(Prompts.Log.size(), 1);
    // Delete typed elsewhere is the other control's.
    Press(0);
    auto* edit = new QLineEdit(Window.get());
    edit->show();
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Delete);
    EXPECT_EQ(Grid().Count(), 2);
}

TEST_F(PalettePanel, ClearPaletteAsksAndEmptiesThePalette)
{
    AddColors({RGB(1, 0, 0), RGB(2, 0, 0)});
    TRichPalette* palette = Grid().CurrentPalette();
    palette->SetAuthor(QStringLiteral("Ann"));
    palette->SetDescription(QStringLiteral("reds"));
    Grid().SetModified(false);
    QTest::mouseClick(Panel().btnClearPalette, Qt::LeftButton);
    EXPECT_EQ(Prompts.Log, QStringList({QStringLiteral("confirm:Do you want to clear the current palette?")}));
    EXPECT_EQ(Grid().Count(), 2);
    Prompts.Confirms = {mrYes};
    QTest::mouseClick(Panel().btnClearPalette, Qt::LeftButton);
    EXPECT_EQ(Grid().Count(), 0);
    EXPECT_TRUE(palette->Author().isEmpty());
    EXPECT_TRUE(palette->Description().isEmpty());
    EXPECT_TRUE(Grid().Modified());
    EXPECT_FALSE(Panel().btnClearPalette->isEnabled());
    EXPECT_FALSE(A(C::atnPaletteClear)->isEnabled());
}

TEST_F(PalettePanel, DroppingAGridSwatchOnClearPaletteDeletesIt)
{
    AddColors({RGB(1, 0, 0), RGB(2, 0, 0), RGB(3, 0, 0)});
    TColorDragCtrlObject drag;
    drag.SourceControl = &Grid();
    drag.SourceIndex = 1;
    drag.Color = RGB(2, 0, 0);
    std::unique_ptr<QMimeData> data(EncodeColorDrag(drag));
    const QPoint at = Panel().btnClearPalette->rect().center();
    QDragEnterEvent enter(at, Qt::MoveAction | Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Panel().btnClearPalette, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(at), Qt::MoveAction | Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Panel().btnClearPalette, &drop);
    EXPECT_EQ(Colors(), QList<TColor>({RGB(1, 0, 0), RGB(3, 0, 0)}));
}

TEST_F(PalettePanel, AddingDuplicatingAndDeletingPalettes)
{
    // Add: the dialog offers the next number; Cancel adds nothing.
    QString offered;
    Prompts.OnExec = [&](QDialog& Dialog) {
        offered = dynamic_cast<TfrmPaletteInfo&>(Dialog).Title();
        return int(QDialog::Rejected);
    };
    ASSERT_TRUE(Run(C::atnPaletteAdd));
    EXPECT_EQ(Prompts.Log, QStringList({QStringLiteral("exec:Add Color Palette")}));
    EXPECT_EQ(offered, QStringLiteral("Palette 2"));
    EXPECT_EQ(Window->Document().Count(), 1);
    // One palette: Duplicate and Delete are off, but the tool button still resets it.
    EXPECT_FALSE(A(C::atnDuplicatePalette)->isEnabled());
    EXPECT_FALSE(A(C::atnPaletteDelete)->isEnabled());
    AddColors({RGB(1, 1, 1)});
    Grid().CurrentPalette()->SetTitle(QStringLiteral("Only"));
    Grid().SetModified(false);
    Prompts.Confirms = {mrYes};
    QTest::mouseClick(Panel().btnPaletteDel, Qt::LeftButton);
    EXPECT_EQ(Window->Document().Count(), 1);
    EXPECT_EQ(Grid().CurrentPalette()->Title(), QStringLiteral("Palette 1"));
    EXPECT_EQ(Grid().Count(), 0);
    EXPECT_TRUE(Grid().Modified());

    // Add through the tool button, then Duplicate an untitled palette.
    Prompts.OnExec = [&](QDialog& Dialog) {
        offered = dynamic_cast<TfrmPaletteInfo&>(Dialog).Title();
        return int(QDialog::Accepted);
    };
    QTest::mouseClick(Panel().btnPaletteAdd, Qt::LeftButton);
    ASSERT_EQ(Window->Document().Count(), 2);
    EXPECT_EQ(Grid().CurrentPalette()->Title(), QStringLiteral("Palette 2"));
    EXPECT_EQ(Panel().cbCurrentPalette->currentText(), QStringLiteral("Palette 2"));
    Grid().CurrentPalette()->SetTitle(QString());
    AddColors({RGB(5, 6, 7), RGB(8, 9, 10)});
    Grid().Swatch(1)->SetCaption(QStringLiteral("Named"));
    ASSERT_TRUE(Run(C::atnPaletteThn));
    ASSERT_TRUE(Run(C::atnDuplicatePalette));
    EXPECT_EQ(offered, QStringLiteral("Copy of palette"));
    ASSERT_EQ(Window->Document().Count(), 3);
    EXPECT_EQ(Window->Document().ItemIndex(), 2);
    TRichPalette* copy = Grid().CurrentPalette();
    EXPECT_EQ(copy->Title(), QStringLiteral("Copy of palette"));
    ASSERT_EQ(copy->Count(), 2);
    EXPECT_EQ(copy->Colors(1)->Caption(), QStringLiteral("Named"));
    EXPECT_EQ(Grid().CellStyle(), csSwatch);

    // Delete the last of three: the new last becomes current. No keeps all three; the
    // box's check turns the warning off.
    Prompts.Log.clear();
    ASSERT_TRUE(Run(C::atnPaletteDelete));
    EXPECT_EQ(Prompts.Log, QStringList({QStringLiteral("confirm:Do you want to Delete the current palette?")}));
    EXPECT_EQ(Window->Document().Count(), 3);
    Prompts.Confirms = {mrYes};
    Prompts.CheckDoNotShowAgain = true;
    ASSERT_TRUE(Run(C::atnPaletteDelete));
    EXPECT_EQ(Window->Document().Count(), 2);
    EXPECT_EQ(Window->Document().ItemIndex(), 1);
    EXPECT_EQ(Panel().cbCurrentPalette->currentIndex(), 1);
    EXPECT_FALSE(Window->Settings().WarnClearPalette);
    Prompts.Log.clear();
    ASSERT_TRUE(Run(C::atnPaletteDelete));
    EXPECT_TRUE(Prompts.Log.isEmpty());
    EXPECT_EQ(Window->Document().Count(), 1);
}

TEST_F(PalettePanel, SortAndSnapNeedColoursAndKeepTheChangedFlag)
{
    for (TCommandId id : {C::atnPaletteSortHue, C::atnPaletteSnapToWebsafe, C::atnPaletteSnapToWebSmart})
        EXPECT_FALSE(A(id)->isEnabled());
    AddColors({RGB(250, 10, 100), RGB(0, 0, 255), RGB(255, 0, 0)});
    Grid().SetModified(false);
    ASSERT_TRUE(Run(C::atnPaletteSortHue));
    EXPECT_EQ(Colors().first(), RGB(255, 0, 0));
    ASSERT_TRUE(Run(C::atnPaletteSnapToWebsafe));
    EXPECT_TRUE(Colors().contains(RGB(255, 0, 102)));
    EXPECT_FALSE(Grid().Modified());
}

TEST_F(PalettePanel, RemoveSimilarPreviewsAndCancelRestoresPaletteAndFlag)
{
    EXPECT_FALSE(A(C::atnPaletteRemoveSimilar)->isEnabled());
    const TColor red1 = HSBToColor(0, 1, 1), red2 = HSBToColor(10, 0.97, 0.97), blue = HSBToColor(240, 1, 1);
    AddColors({red1, red2, blue});
    for (bool ok : {false, true}) {
        SCOPED_TRACE(ok);
        Grid().SetModified(ok);
        Prompts.OnExec = [&](QDialog& Dialog) {
            auto& d = dynamic_cast<TfrmSimilarColors&>(Dialog);
            // The dialog previews in the document's palette as it opens.
            EXPECT_EQ(Colors(), QList<TColor>({red1, blue}));
            if (ok)
                d.accept();
            else
                d.reject();
            return d.result();
        };
        ASSERT_TRUE(Run(C::atnPaletteRemoveSimilar));
        EXPECT_EQ(Colors(), ok ? QList<TColor>({red1, blue}) : QList<TColor>({red1, red2, blue}));
        EXPECT_EQ(Grid().Modified(), ok);
        EXPECT_EQ(Panel().lblColorCount->text(), TPalettePanel::ColorCountText(Grid().Count()));
    }
}

TEST_F(PalettePanel, CopySwatchPutsTheSwatchUnderTheMenuOnTheClipboard)
{
    AddColors({RGB(1, 2, 3), RGB(0x12, 0xAB, 0xEF)});
    EXPECT_FALSE(A(C::atnPaletteCopySwatch)->isEnabled());
    Press(1);
    QApplication::clipboard()->clear();
    ASSERT_TRUE(Run(C::atnPaletteCopySwatch));
    const QMimeData* data = QApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_TRUE(data->hasImage());
    const QImage picture = qvariant_cast<QImage>(data->imageData());
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.pixelColor(picture.width() / 2, 5), QColor(0x12, 0xAB, 0xEF));
}

// A page that shows its colours as a grid of four columns.
class TGridPage : public TfrmPptBase {
public:
    using TfrmPptBase::TfrmPptBase;
    void GetColorGrid(int& Rows, int& Cols) const override
    {
        Rows = 3;
        Cols = 4;
    }
};

TEST_F(PalettePanel, PageOffersAppendRowsColumnsAndEnabledColours)
{
    QWidget holder;
    auto* page = new TGridPage(&holder);
    TRichPalette matching;
    for (int i = 0; i < 12; ++i) {
        TRichColor* swatch = matching.Add();
        swatch->SetColor(RGB(i, 0, 0));
        swatch->SetCaption(QStringLiteral("m%1").arg(i));
        swatch->SetEnabled(i % 5 != 0);
    }
    page->SetMatching(&matching);
    Window->WirePageEvents(*page);
    auto numbers = [&] {
        QList<int> out;
        for (int i = 0; i < Grid().Count(); ++i)
            out << GetRValue(Grid().Swatch(i)->Color());
        return out;
    };
    struct Case {
        int Mode;
        int Clip;
        QList<int> Appended;
    };
    const Case cases[] = {
        {0, 6, {6}}, {1, 5, {5, 6, 7, 4}}, // the clip's row, from the clip round to its start
        {2, 6, {10, 6, 2}}, // the clip's column, last row first
        {3, 0, {1, 2, 3, 4, 6, 7, 8, 9, 11}}, // every enabled colour
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Mode);
        Grid().SetModified(false);
        ASSERT_TRUE(Run(C::atnFileNew));
        page->OnAddToPalette(page, ClipName(ckSwatch, c.Clip, RGB(c.Clip, 0, 0)), nullptr, c.Mode);
        EXPECT_EQ(numbers(), c.Appended);
        EXPECT_TRUE(Grid().Modified());
        EXPECT_EQ(Grid().SelectedIndex(), Grid().Count() - 1);
        // Whole swatches travel: the caption comes along.
        if (c.Mode != 0) {
            EXPECT_EQ(Grid().Swatch(0)->Caption(), QStringLiteral("m%1").arg(c.Appended.first()));
        }
    }
}

} // namespace
