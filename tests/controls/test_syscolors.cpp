#include "pickers/SysColors.h"

#include <QApplication>
#include <QPalette>

#include <gtest/gtest.h>

namespace {

// A palette in which every role has a colour of its own, so a mapping to the wrong role shows.
QPalette Distinct()
{
    QPalette p;
    int i = 1;
    for (int role = 0; role < QPalette::NColorRoles; ++role) {
        if (role == QPalette::NoRole)
            continue;
        p.setColor(static_cast<QPalette::ColorRole>(role), QColor(i * 9 % 256, i * 37 % 256, i * 71 % 256));
        ++i;
    }
    return p;
}

TColor Of(const QPalette& p, QPalette::ColorRole role)
{
    return TColorFromQColor(p.color(QPalette::Active, role));
}

} // namespace

TEST(SysColors, IndicesMapToThePaletteRoles)
{
    const QPalette p = Distinct();
    struct Case {
        int index;
        QPalette::ColorRole role;
    };
    for (const Case c : {Case {15, QPalette::Button}, Case {16, QPalette::Dark}, Case {20, QPalette::Light},
             Case {13, QPalette::Highlight}, Case {14, QPalette::HighlightedText}, Case {5, QPalette::Base},
             Case {8, QPalette::Text}, Case {21, QPalette::Shadow}, Case {22, QPalette::Midlight},
             Case {18, QPalette::ButtonText}, Case {24, QPalette::ToolTipBase}, Case {23, QPalette::ToolTipText}}) {
        EXPECT_EQ(SysColorFromPalette(c.index, p), Of(p, c.role)) << "index " << c.index;
    }
    EXPECT_EQ(SysColorFromPalette(99, p), clBlack);
}

TEST(SysColors, InstalledResolverFollowsTheApplicationPalette)
{
    const QPalette saved = QApplication::palette();
    const QPalette p = Distinct();
    QApplication::setPalette(p);
    InstallSysColorResolver();
    EXPECT_EQ(ColorToRGB(clBtnFace), Of(p, QPalette::Button));
    EXPECT_EQ(ColorToRGB(clWindow), Of(p, QPalette::Base));
    EXPECT_EQ(ColorToRGB(clBtnHighlight), Of(p, QPalette::Light));
    // Plain colours are untouched.
    EXPECT_EQ(ColorToRGB(RGB(1, 2, 3)), RGB(1, 2, 3));
    // Other tests of this program expect the classic scheme.
    SetSysColorResolver(nullptr);
    QApplication::setPalette(saved);
    EXPECT_EQ(ColorToRGB(clBtnFace), RGB(212, 208, 200));
}

TEST(SysColors, QColorConversionsKeepTheChannelOrder)
{
    EXPECT_EQ(QColorFromTColor(RGB(10, 20, 30)), QColor(10, 20, 30));
    EXPECT_EQ(TColorFromQColor(QColor(10, 20, 30)), RGB(10, 20, 30));
    EXPECT_EQ(TColorFromQColor(QColor(10, 20, 30, 40)), RGB(10, 20, 30));
    EXPECT_EQ(QColorFromTColor(clBtnShadow), QColorFromTColor(ColorToRGB(clBtnShadow)));
}
