// Scenes played in our player, headless: what a user sees at the swatches, what the scene
// answers when asked which clip lies under the mouse, and what it tells the main window
// when the mouse moves, presses and releases.
#include "workarea/ClipNames.h"
#include "workarea/Scene.h"
#include "workarea/SceneRoutines.h"

#include "movie/MoviePlayer.h"
#include "palette/RichColor.h"

#include <QApplication>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <numbers>

namespace {

const QPointF kCentre(150, 150);
const TColor kColours[] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 0), RGB(255, 0, 255),
                           RGB(0, 255, 255)};
constexpr int kHidden = 4;  // this position is left out: a gap in the ring

QPoint OnRing(int position, double radius = 75)
{
    const double a = (-90 + 60 * position) * std::numbers::pi / 180;
    return QPoint(static_cast<int>(std::lround(kCentre.x() + radius * std::cos(a))),
                  static_cast<int>(std::lround(kCentre.y() + radius * std::sin(a))));
}

// Six sectors between radii 50 and 100 round (150, 150), 12 o'clock first, clockwise;
// position 4 is invisible.
QByteArray RingScene(TClipNameVariant variant, TColor background = clWhite)
{
    TRichPalette palette;
    for (TColor c : kColours)
        palette.Add()->SetColor(c);
    palette.Colors(kHidden)->SetVisible(false);
    TScene scene(QSizeF(300, 300), true);
    scene.SetBackgroundColor(background);
    DrawColorRing(scene, true, cvtNorm, true, 0, 0, palette, rsSector, -90, 0, 0, 0, 6, 100, 50, kCentre);
    scene.AddGetClipName(variant);
    return scene.FinishToBytes();
}

class ScenePlayer : public ::testing::Test {
protected:
    void SetUp() override
    {
        player.resize(300, 300);
        player.OnFSCommand = [this](TObject*, const QString& command, const QString& argument) {
            commands << command + QLatin1Char(' ') + argument;
        };
    }

    void Mouse(QEvent::Type type, QPoint at)
    {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        const Qt::MouseButtons buttons = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
        QMouseEvent event(type, QPointF(at), QPointF(player.mapToGlobal(at)), button,
                          type == QEvent::MouseMove ? held : buttons, Qt::NoModifier);
        QApplication::sendEvent(&player, &event);
        if (type == QEvent::MouseButtonPress)
            held = Qt::LeftButton;
        if (type == QEvent::MouseButtonRelease)
            held = Qt::NoButton;
    }

    TMoviePlayer player;
    QStringList commands;
    Qt::MouseButtons held = Qt::NoButton;
};

TEST_F(ScenePlayer, ShowsEachSectorInItsColour)
{
    ASSERT_TRUE(player.LoadMovie(0, RingScene(TClipNameVariant::Simple, RGB(0x20, 0x20, 0x20))));
    const QImage image = player.FrameImage();
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        const QColor seen = image.pixelColor(OnRing(i));
        const TColor want = i == kHidden ? RGB(0x20, 0x20, 0x20) : kColours[i];
        EXPECT_EQ(seen.red(), GetRValue(want));
        EXPECT_EQ(seen.green(), GetGValue(want));
        EXPECT_EQ(seen.blue(), GetBValue(want));
    }
    EXPECT_EQ(image.pixelColor(kCentre.toPoint()), QColor(0x20, 0x20, 0x20));
    EXPECT_EQ(image.pixelColor(5, 5), QColor(0x20, 0x20, 0x20));
}

TEST_F(ScenePlayer, GetClipNameAnswersTheSectorUnderTheMouse)
{
    for (const TClipNameVariant variant : {TClipNameVariant::Simple, TClipNameVariant::Detailed}) {
        const bool detailed = variant == TClipNameVariant::Detailed;
        SCOPED_TRACE(detailed ? "detailed" : "simple");
        ASSERT_TRUE(player.LoadMovie(0, RingScene(variant)));
        for (int i = 0; i < 6; ++i) {
            SCOPED_TRACE(i);
            const QPoint at = OnRing(i);
            const QString answer = GetClipNameAt(player, at);
            if (i == kHidden) {
                // The simple variant tests bounding boxes, which reach into the gap.
                if (detailed) {
                    EXPECT_EQ(answer, QStringLiteral("_"));
                }
                continue;
            }
            QString want = ClipName(ckSwatch, i, kColours[i]);
            if (detailed)
                want += QStringLiteral("_%1_%2").arg(at.x()).arg(at.y());
            EXPECT_EQ(answer, want);
            EXPECT_EQ(ParseClipName(answer).Color, kColours[i]);
        }
        // Outside the ring and in its hole nothing is hit. Just above the centre the point
        // lies inside the top sector's bounding box but not on it.
        EXPECT_EQ(GetClipNameAt(player, QPoint(3, 3)), QStringLiteral("_"));
        EXPECT_EQ(GetClipNameAt(player, kCentre.toPoint()), QStringLiteral("_"));
        const QString box = GetClipNameAt(player, QPoint(150, 104));
        EXPECT_EQ(box, detailed ? QStringLiteral("_") : ClipName(ckSwatch, 0, kColours[0]));
    }
}

TEST_F(ScenePlayer, ClipsSendTheFiveCommandsWithTheirNames)
{
    ASSERT_TRUE(player.LoadMovie(0, RingScene(TClipNameVariant::Detailed)));
    const QString red = ClipName(ckSwatch, 0, kColours[0]);
    const QString green = ClipName(ckSwatch, 1, kColours[1]);
    Mouse(QEvent::MouseMove, OnRing(0));
    Mouse(QEvent::MouseButtonPress, OnRing(0));
    Mouse(QEvent::MouseButtonRelease, OnRing(0));
    Mouse(QEvent::MouseMove, OnRing(1));
    Mouse(QEvent::MouseButtonPress, OnRing(1));
    Mouse(QEvent::MouseMove, kCentre.toPoint());
    Mouse(QEvent::MouseButtonRelease, kCentre.toPoint());
    const QStringList expected = {
        QStringLiteral("CM_01 ") + red,   QStringLiteral("CM_03 ") + red,   QStringLiteral("CM_04 ") + red,
        QStringLiteral("CM_02 ") + red,   QStringLiteral("CM_01 ") + green, QStringLiteral("CM_03 ") + green,
        // Dragged off with the button held, the clip is not rolled out; it hears of the
        // release outside.
        QStringLiteral("CM_05 ") + green,
    };
    EXPECT_EQ(commands, expected);
}

TEST_F(ScenePlayer, DefaultSceneGoesToThePlayerShowingAll)
{
    player.SetScaleMode(3);
    player.SetAlignMode(5);
    EXPECT_TRUE(BuildDefaultScene(&player, QSize(1000, 1000), QString(), QStringLiteral("frmPptBlank"),
                                  RGB(0x10, 0x20, 0x30)));
    EXPECT_EQ(player.ScaleMode(), 0);
    EXPECT_EQ(player.AlignMode(), 0);
    EXPECT_EQ(player.BackgroundColor(), 0x102030);
    ASSERT_TRUE(player.IsLoaded());
    EXPECT_EQ(player.Stage().Movie0()->Version(), 5);
    // The faint red text shows over the background: redder than it, never pure red.
    const QImage image = player.FrameImage();
    int reddish = 0, maxRed = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            reddish += c.red() > 0x10 + 20 ? 1 : 0;
            maxRed = std::max(maxRed, c.red());
        }
    EXPECT_GT(reddish, 500);
    EXPECT_LT(maxRed, 0x10 + 60);
    // No clips and no callback in the default scene.
    EXPECT_EQ(GetClipNameAt(player, QPoint(150, 150)), QString());
}

}  // namespace

namespace {

// A scene cut short anywhere is refused or played, never a crash; whatever loads still
// answers GetClipName with a name or "_" or nothing.
TEST(ScenePlayerRobustness, EveryTruncationOfASceneIsRefusedOrPlayed)
{
    TRichPalette palette;
    for (TColor c : kColours)
        palette.Add()->SetColor(c);
    TScene scene(QSizeF(300, 300), true);
    DrawColorRing(scene, true, cvtNorm, true, 0, 0, palette, rsSector, -90, 0, 4, 1, 6, 100, 50, kCentre);
    scene.AddGetClipName(TClipNameVariant::Detailed);
    const QByteArray bytes = scene.FinishToBytes();
    int loaded = 0;
    for (qsizetype n = 0; n < bytes.size(); ++n) {
        // The header's length made to agree, so the cut shows in the tags themselves.
        QByteArray cut = bytes.left(n);
        if (n >= 8)
            for (int k = 0; k < 4; ++k)
                cut[4 + k] = static_cast<char>((n >> (8 * k)) & 0xFF);
        swf::TMovieStage stage;
        QString error;
        if (!stage.Load(cut, 0, &error)) {
            EXPECT_FALSE(error.isEmpty()) << n;
            continue;
        }
        ++loaded;
        stage.MouseMove(QPointF(OnRing(0)));
        const QString answer = ClipNameFromAnswer(stage.CallFunction(QString::fromLatin1(kGetClipNameRequest)));
        EXPECT_TRUE(answer.isEmpty() || answer == QStringLiteral("_") || answer.startsWith(QStringLiteral("#SW_")))
            << n << " " << answer.toStdString();
    }
    // Cuts between whole tags may play (what is there of the scene); the rest is refused.
    std::printf("[          ] %d of %lld cuts played\n", loaded, static_cast<long long>(bytes.size()));
}

}  // namespace
