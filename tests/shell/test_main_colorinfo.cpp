// The colour inspector: its rows for a known colour, the CMYK transform hook, clearing,
// row selection and folding.
#include "shell/ColorInfoPanel.h"

#include "colour/ColorNames.h"
#include "colour/Colors.h"
#include "pickers/CaptionBar.h"

#include <gtest/gtest.h>

TEST(ColorInspector, RowsForAKnownColourAndClear)
{
    HexShortHand = true;
    HexLowerCase = true;
    TColorInspector inspector;
    EXPECT_FALSE(inspector.HasColor());
    inspector.ShowColorInfo(RGB(255, 128, 0));
    ASSERT_EQ(inspector.RowCount(), 5);
    const char* captions[] = {"Hex", "RGB", "CMYK", "HSB", "HSL"};
    const char* values[]
        = {"#ff8000", " R:255  G:128  B:0", " C:0  M:50  Y:100  K:0", " H:30  S:100  B:100", " H:20  S:240  L:120"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(inspector.RowCaption(i), QLatin1String(captions[i]));
        EXPECT_EQ(inspector.RowValue(i), QLatin1String(values[i])) << captions[i];
    }
    EXPECT_EQ(inspector.NameText(), ColorToName(RGB(255, 128, 0)));
    EXPECT_FALSE(inspector.NameText().isEmpty());

    inspector.ClearColorInfo();
    EXPECT_FALSE(inspector.HasColor());
    EXPECT_TRUE(inspector.NameText().isEmpty());
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(inspector.RowValue(i), QStringLiteral("- -"));
}

TEST(ColorInspector, CmykComesFromTheTransformWhenThereIsOne)
{
    TColorInspector inspector;
    bool haveTransform = true;
    inspector.SetCMYKTransform([&](TColor) -> std::optional<std::array<int, 4>> {
        if (!haveTransform)
            return std::nullopt;
        return std::array<int, 4> {255, 128, 1, 0};
    });
    inspector.ShowColorInfo(RGB(0, 0, 0));
    EXPECT_EQ(inspector.RowValue(irCMYK), QStringLiteral(" C:100  M:50  Y:0  K:0"));
    haveTransform = false;
    EXPECT_EQ(inspector.RowValue(irCMYK), ColorToStatusCMYK(RGB(0, 0, 0)));
}

TEST(ColorInspector, OnlyEnabledRowsInTheirOrder)
{
    TColorInspector inspector;
    inspector.ShowColorInfo(RGB(0, 0, 255));
    inspector.SetInspectorRows({false, false, true, false, true});
    ASSERT_EQ(inspector.RowCount(), 2);
    EXPECT_EQ(inspector.RowCaption(0), QStringLiteral("CMYK"));
    EXPECT_EQ(inspector.RowCaption(1), QStringLiteral("HSL"));
    EXPECT_TRUE(inspector.RowValue(2).isEmpty());
}

TEST(ColorInspector, CaptionBarFoldsThePanel)
{
    TColorInspector inspector;
    int reports = 0;
    bool last = false;
    inspector.OnCollapsedChange = [&](TObject*, bool collapsed) {
        ++reports;
        last = collapsed;
    };
    inspector.cbarInspector->OnCollapseExpand(inspector.cbarInspector, ceCollapsing);
    EXPECT_TRUE(inspector.Collapsed());
    EXPECT_EQ(inspector.height(), inspector.cbarInspector->sizeHint().height());
    EXPECT_EQ(reports, 1);
    EXPECT_TRUE(last);
    inspector.SetCollapsed(false);
    EXPECT_EQ(inspector.height(), TColorInspector::kExpandedHeight);
}
