#include "ShellTestUtil.h"

#include "shell/base/WindowPlacement.h"

#include <gtest/gtest.h>

namespace {

const QList<QRect> kTwoScreens = {QRect(0, 0, 1920, 1050), QRect(1920, 0, 1280, 1024)};

TEST(WindowPlacement, StoredPlacementIsUsedWhenCompleteAndOnAScreenThatExists)
{
    struct Case {
        const char* Name;
        TWindowPlacement Stored;
        bool CtrlHeld;
        bool Restored, Maximized;
        QRect Geometry;
        int Monitor;
    };
    const Case cases[] = {
        {"fits", {true, false, 1000, 700, 100, 50, 0}, false, true, false, QRect(100, 50, 1000, 700), 0},
        {"maximised on the second", {true, true, 900, 600, 2000, 10, 1}, false, true, true, QRect(2000, 10, 900, 600),
            1},
        {"moved back onto its screen", {true, false, 1000, 700, 1500, 900, 0}, false, true, false,
            QRect(920, 350, 1000, 700), 0},
        {"larger than its screen", {true, false, 3000, 2000, -50, -50, 1}, false, true, false,
            QRect(1920, 0, 1280, 1024), 1},
        {"monitor gone", {true, false, 1000, 700, 100, 50, 2}, false, false, true, QRect(0, 0, 1920, 1050), 0},
        {"negative monitor", {true, false, 1000, 700, 100, 50, -1}, false, false, true, QRect(0, 0, 1920, 1050), 0},
        {"incomplete", {false, false, 1000, 700, 100, 50, 0}, false, false, true, QRect(0, 0, 1920, 1050), 0},
        {"no size", {true, false, 0, 700, 100, 50, 0}, false, false, true, QRect(0, 0, 1920, 1050), 0},
        {"ctrl held", {true, false, 1000, 700, 100, 50, 0}, true, false, true, QRect(0, 0, 1920, 1050), 0},
    };
    for (const Case& c : cases) {
        const TPlacementDecision d = RestoreWindowPlacement(c.Stored, kTwoScreens, c.CtrlHeld);
        EXPECT_EQ(d.Restored, c.Restored) << c.Name;
        EXPECT_EQ(d.Maximized, c.Maximized) << c.Name;
        EXPECT_EQ(d.Geometry, c.Geometry) << c.Name;
        EXPECT_EQ(d.Monitor, c.Monitor) << c.Name;
    }
}

TEST(WindowPlacement, WithoutScreensTheWindowIsMaximised)
{
    const TPlacementDecision d = RestoreWindowPlacement({true, false, 800, 600, 0, 0, 0}, {}, false);
    EXPECT_FALSE(d.Restored);
    EXPECT_TRUE(d.Maximized);
}

TEST(WindowPlacement, MakeFullyVisibleKeepsAWindowThatIsInside)
{
    const QRect area(10, 20, 800, 600);
    EXPECT_EQ(MakeFullyVisible(QRect(10, 20, 800, 600), area), QRect(10, 20, 800, 600));
    EXPECT_EQ(MakeFullyVisible(QRect(-100, -100, 200, 100), area), QRect(10, 20, 200, 100));
    EXPECT_EQ(MakeFullyVisible(QRect(700, 500, 200, 200), area), QRect(610, 420, 200, 200));
}

} // namespace
