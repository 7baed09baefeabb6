// A colour dragged out of the Harmonies page's scene and dropped on the palette, the way a
// user collects a whole harmony: the page marks the drag as a colour of its 1 × 12 grid,
// and the palette takes the row with Ctrl, in row order from the dragged colour.
#include "test_main_palette_util.h"

#include "pickers/ColorDragObj.h"
#include "shell/AdvSwatchGrid.h"
#include "workarea/ClipNames.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>

#include <gtest/gtest.h>

namespace {

bool DropOnGrid(TAdvSwatchGrid& Grid, QMimeData* Mime, Qt::KeyboardModifiers Mods)
{
    const QPoint at(10, 10);
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, Mime, Qt::LeftButton, Mods);
    QApplication::sendEvent(Grid.viewport(), &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(QPointF(at), Qt::CopyAction | Qt::MoveAction, Mime, Qt::LeftButton, Mods);
    QApplication::sendEvent(Grid.viewport(), &drop);
    return drop.isAccepted();
}

TEST(HarmoniesToPalette, CtrlDropOfAWedgeAddsTheWholeCircleFromThatColour)
{
    ForgetEverything();
    TScriptedPrompts prompts;
    auto window = StartWith(prompts);
    ASSERT_EQ(window->Pages().DisplayMode(), pgHarmonies);
    TRichPalette* matching = window->PageMatching();
    ASSERT_GE(matching->Count(), 12);

    // Press on the wedge of position 3 and drag it out of the player.
    const int dragged = 3;
    const QString clip = ClipName(ckSwatch, dragged, matching->Colors(dragged)->Color());
    window->Pages().HandleCommand(QStringLiteral("CM_01"), clip);
    window->Pages().HandleCommand(QStringLiteral("CM_03"), clip);
    std::unique_ptr<QMimeData> mime(window->Pages().StartPlayerDrag());
    ASSERT_NE(mime, nullptr);
    const std::optional<TColorDragCtrlObject> drag = DecodeColorDrag(mime.get());
    ASSERT_TRUE(drag.has_value());
    EXPECT_EQ(drag->DragKind, 2);
    EXPECT_EQ(drag->GridRows, 1);
    EXPECT_EQ(drag->GridCols, 12);

    TAdvSwatchGrid& grid = window->PaletteGrid();
    ASSERT_EQ(grid.Count(), 0);
    ASSERT_TRUE(DropOnGrid(grid, mime.get(), Qt::ControlModifier));
    window->Pages().EndPlayerDrag();
    ASSERT_EQ(grid.Count(), 12);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(grid.Swatch(i)->Color(), matching->Colors((dragged + i) % 12)->Color()) << i;
    EXPECT_TRUE(grid.Modified());

    // Without a modifier only the dragged colour is added.
    window->Pages().HandleCommand(QStringLiteral("CM_03"), clip);
    mime.reset(window->Pages().StartPlayerDrag());
    ASSERT_NE(mime, nullptr);
    ASSERT_TRUE(DropOnGrid(grid, mime.get(), Qt::NoModifier));
    window->Pages().EndPlayerDrag();
    EXPECT_EQ(grid.Count(), 13);
}

} // namespace
