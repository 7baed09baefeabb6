// The player: clip events and FSCommands, the external interface (GetClipName, SelectPage),
// timelines, external resources, scale and alignment, the widget's events and pictures.

#include <gtest/gtest.h>

#include <QMimeData>
#include <QMouseEvent>
#include <QThread>

#include <numbers>

#include "movie/SwfReader.h"
#include "test_player_support.h"

using namespace playertest;
using namespace swf;

namespace {

struct TCommandLog {
    std::vector<std::pair<QString, QString>> items;
    void Attach(TMovieStage& stage)
    {
        stage.onFSCommand = [this](const QString& c, const QString& a) { items.emplace_back(c, a); };
    }
    QString Joined() const
    {
        QStringList out;
        for (const auto& [c, a] : items)
            out << c + QLatin1Char(' ') + a;
        return out.join(QLatin1String(", "));
    }
    QString Take()
    {
        const QString s = Joined();
        items.clear();
        return s;
    }
};

const std::vector<TSwatch> kTwoSwatches = {
    {QStringLiteral("#SW_0001_#FF0000"), QRectF(20, 20, 60, 60), false, {}, 0, {255, 0, 0, 255}},
    {QStringLiteral("#SW_0002_#0000FF"), {}, true, {200, 100}, 50, {0, 0, 255, 255}},
};

TEST(MoviePlayer, ClipEventsSendTheirFSCommands)
{
    TMovieStage stage;
    ASSERT_TRUE(stage.Load(SwatchMovie(kTwoSwatches, true)));
    TCommandLog log;
    log.Attach(stage);
    const QString red = kTwoSwatches[0].name;
    const QString blue = kTwoSwatches[1].name;

    stage.MouseMove({5, 5});
    EXPECT_EQ(log.Take(), QString());
    stage.MouseMove({50, 50});
    EXPECT_EQ(log.Take(), "CM_01 " + red);
    stage.MouseMove({55, 52});  // still over it: nothing new
    EXPECT_EQ(log.Take(), QString());
    stage.MouseMove({200, 100});
    EXPECT_EQ(log.Take(), "CM_02 " + red + ", CM_01 " + blue);
    // A click: press and release over the clip.
    stage.MouseDown({200, 100});
    stage.MouseUp({201, 101});
    EXPECT_EQ(log.Take(), "CM_03 " + blue + ", CM_04 " + blue);
    // Pressed, dragged away and released elsewhere: release outside; no roll-out while the
    // button is held, and what lies under the pointer then rolls over.
    stage.MouseDown({200, 100});
    stage.MouseMove({50, 50});
    EXPECT_EQ(log.Take(), "CM_03 " + blue);
    stage.MouseUp({50, 50});
    EXPECT_EQ(log.Take(), "CM_05 " + blue + ", CM_01 " + red);
    // The circle's bounding-box corner is not the circle: the clip events use the shape.
    stage.MouseMove({200 - 47, 100 - 47});
    EXPECT_EQ(log.Take(), "CM_02 " + red);
    stage.MouseLeave();
    EXPECT_EQ(log.Take(), QString());
}

TEST(MoviePlayer, TopmostClipTakesTheMouse)
{
    const std::vector<TSwatch> overlapping = {
        {QStringLiteral("#SW_0001_#FF0000"), QRectF(20, 20, 100, 100), false, {}, 0, {255, 0, 0, 255}},
        {QStringLiteral("#SW_0002_#00FF00"), QRectF(60, 60, 100, 100), false, {}, 0, {0, 255, 0, 255}},
    };
    TMovieStage stage;
    ASSERT_TRUE(stage.Load(SwatchMovie(overlapping, true)));
    TCommandLog log;
    log.Attach(stage);
    stage.MouseMove({90, 90});
    EXPECT_EQ(log.Take(), "CM_01 #SW_0002_#00FF00");
    EXPECT_EQ(stage.CallFunction(Invoke("GetClipName")), "<string>#SW_0002_#00FF00_90_90</string>");
}

TEST(MoviePlayer, GetClipNameDetailedAndSimple)
{
    struct TCase {
        bool detailed;
        QPointF at;
        QString answer;
    };
    const std::vector<TCase> cases = {
        {true, {50.4, 60.6}, "<string>#SW_0001_#FF0000_50_61</string>"},
        {true, {200, 100}, "<string>#SW_0002_#0000FF_200_100</string>"},
        {true, {200 - 47, 100 - 47}, "<string>_</string>"},  // box corner, off the circle
        {true, {5, 5}, "<string>_</string>"},
        {false, {50, 60}, "<string>#SW_0001_#FF0000</string>"},
        {false, {200 - 47, 100 - 47}, "<string>#SW_0002_#0000FF</string>"},  // boxes only
        {false, {290, 190}, "<string>_</string>"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1 at %2,%3").arg(c.detailed).arg(c.at.x()).arg(c.at.y()).toStdString());
        TMovieStage stage;
        ASSERT_TRUE(stage.Load(SwatchMovie(kTwoSwatches, c.detailed)));
        stage.MouseMove(c.at);
        bool ok = false;
        EXPECT_EQ(stage.CallFunction(Invoke("GetClipName"), &ok), c.answer);
        EXPECT_TRUE(ok);
    }
}

// The script's answer and a native walk of the same clips agree over a whole scene of
// ring sectors, on and off the sectors.
TEST(MoviePlayer, GetClipNameAgreesWithNativeHitTests)
{
    MovieBuilder b;
    b.CreateMovie(300, 300, 12, 8);
    int n = 0;
    for (int ring = 0; ring < 3; ++ring)
        for (int seg = 0; seg < 12; ++seg) {
            const double a0 = seg * 30.0 * std::numbers::pi / 180, a1 = (seg + 1) * 30.0 * std::numbers::pi / 180;
            const double am = (a0 + a1) / 2;
            const double r0 = 40 + ring * 35, r1 = r0 + 30;
            const double k = 1 / std::cos((a1 - a0) / 2);
            Path p;
            p.MoveTo({150 + r1 * std::cos(a0), 150 + r1 * std::sin(a0)});
            p.CurveTo({150 + r1 * k * std::cos(am), 150 + r1 * k * std::sin(am)}, {150 + r1 * std::cos(a1), 150 + r1 * std::sin(a1)});
            p.LineTo({150 + r0 * std::cos(a1), 150 + r0 * std::sin(a1)});
            p.CurveTo({150 + r0 * k * std::cos(am), 150 + r0 * k * std::sin(am)}, {150 + r0 * std::cos(a0), 150 + r0 * std::sin(a0)});
            p.Close();
            Placement pl;
            pl.name = QStringLiteral("#SW_%1_#808080").arg(++n, 4, 10, QLatin1Char('0'));
            b.Place(b.WrapInSprite(b.AddPath(p, ShapeStyle::Filled({128, 128, 128, 255}))), pl);
        }
    b.AddActions(GetClipNameActions(true));
    TMovieStage stage;
    ASSERT_TRUE(stage.Load(b.FinishToBytes()));
    int named = 0;
    for (int y = 7; y < 300; y += 13)
        for (int x = 5; x < 300; x += 11) {
            stage.MouseMove(QPointF(x, y));
            QString answer = stage.CallFunction(Invoke("GetClipName"));
            answer.remove(QLatin1String("<string>")).remove(QLatin1String("</string>"));
            const QString native = stage.ClipNameAt(QPointF(x, y), true);
            if (native.isEmpty()) {
                EXPECT_EQ(answer, "_") << x << "," << y;
            } else {
                ++named;
                EXPECT_EQ(answer, QStringLiteral("%1_%2_%3").arg(native).arg(x).arg(y)) << x << "," << y;
            }
        }
    EXPECT_GT(named, 100);
}

TEST(MoviePlayer, ExternalInterfaceFailuresAnswerNothing)
{
    TMovieStage stage;
    ASSERT_TRUE(stage.Load(SwatchMovie(kTwoSwatches, true)));
    bool ok = true;
    EXPECT_EQ(stage.CallFunction(Invoke("NoSuchFunction"), &ok), QString());
    EXPECT_FALSE(ok);
    EXPECT_EQ(stage.CallFunction(QStringLiteral("<invoke name=\"GetClipName\""), &ok), QString());
    EXPECT_FALSE(ok);
    EXPECT_EQ(stage.CallFunction(QStringLiteral("not xml at all"), &ok), QString());
    EXPECT_FALSE(ok);
    // Before version 8 a movie has no ExternalInterface, so it registers nothing.
    TMovieStage old;
    ASSERT_TRUE(old.Load(SwatchMovie(kTwoSwatches, true, 5)));
    old.MouseMove({50, 50});
    EXPECT_EQ(old.CallFunction(Invoke("GetClipName"), &ok), QString());
    EXPECT_FALSE(ok);
}

// The lesson movie's protocol: SelectPage(Section, Page) goes to the section's frame on
// the main timeline and to the page's frame inside the clip "Content".
QByteArray LessonMovie()
{
    MovieBuilder b;
    b.CreateMovie(200, 100, 12, 8);
    Timeline content = b.NewSprite();
    const char* pages[] = {"Home", "Complement", "Triad"};
    for (const char* page : pages) {
        content.AddLabel(QString::fromLatin1(page));
        content.AddActions(StopActions());
        content.AddActions(FSCommandActions(QStringLiteral("PAGE"), QString::fromLatin1(page)));
        content.ShowFrame();
    }
    const auto contentId = b.DefineSprite(std::move(content));
    b.AddActions(SelectPageActions());
    b.AddActions(StopActions());
    const char* sections[] = {"Introduction", "ColorWheel", "ColorHarmonies"};
    for (const char* section : sections) {
        b.AddLabel(QString::fromLatin1(section));
        if (QByteArray(section) == "ColorHarmonies") {
            Placement p;
            p.name = QStringLiteral("Content");
            b.Place(contentId, p);
        }
        b.ShowFrame();
    }
    return b.FinishToBytes();
}

TEST(MoviePlayer, SelectPageGoesToSectionAndPage)
{
    TMovieStage stage;
    ASSERT_TRUE(stage.Load(LessonMovie()));
    TCommandLog log;
    log.Attach(stage);
    EXPECT_EQ(stage.TotalFrames(), 3);
    EXPECT_EQ(stage.CurrentFrame(), 1);
    const QString request = QStringLiteral(
        "<invoke name=\"SelectPage\" returntype=\"xml\"><arguments><string>ColorHarmonies</string>"
        "<string>Triad</string></arguments></invoke>");
    EXPECT_EQ(stage.CallFunction(request), "<string>Ok</string>");
    EXPECT_EQ(stage.CurrentFrame(), 3);
    EXPECT_FALSE(stage.Playing());
    TDisplayObject* content = stage.Level(0)->ChildByName(QStringLiteral("Content"), true);
    ASSERT_NE(content, nullptr);
    EXPECT_EQ(content->currentFrame, 3);
    // The clip ran its first frame when it was placed, then the page's frame.
    EXPECT_EQ(log.Take(), "PAGE Home, PAGE Triad");
    // Back to an earlier section: the clip leaves the stage; an empty page is no page.
    EXPECT_EQ(stage.CallFunction(QStringLiteral("<invoke name=\"SelectPage\" returntype=\"xml\"><arguments>"
                                                "<string>ColorWheel</string><string></string></arguments></invoke>")),
              "<string>Ok</string>");
    EXPECT_EQ(stage.CurrentFrame(), 2);
    EXPECT_EQ(stage.Level(0)->ChildByName(QStringLiteral("Content"), true), nullptr);
}

TEST(MoviePlayer, TimelinePlaysStopsAndGoesBack)
{
    // Frame 1 places a square; frame 2 moves it; frame 3 removes it and stops.
    MovieBuilder b;
    b.CreateMovie(100, 100, 12, 8);
    const auto square = b.AddRectangle(QRectF(0, 0, 10, 10), ShapeStyle::Filled({0, 0, 0, 255}));
    const auto depth = b.Place(square);
    b.ShowFrame();
    b.AddActions(FSCommandActions(QStringLiteral("FRAME"), QStringLiteral("2")));
    b.ShowFrame();
    b.Remove(depth);
    b.AddActions(StopActions());
    b.ShowFrame();
    b.ShowFrame();
    TMovieStage stage;
    ASSERT_TRUE(stage.Load(b.FinishToBytes()));
    TCommandLog log;
    log.Attach(stage);
    ASSERT_EQ(stage.TotalFrames(), 4);
    TDisplayObject* first = stage.Level(0)->ChildAtDepth(depth);
    ASSERT_NE(first, nullptr);
    stage.Advance();
    EXPECT_EQ(stage.CurrentFrame(), 2);
    EXPECT_EQ(log.Take(), "FRAME 2");
    EXPECT_EQ(stage.Level(0)->ChildAtDepth(depth), first);  // the same object lives on
    stage.Advance();
    EXPECT_EQ(stage.CurrentFrame(), 3);
    EXPECT_EQ(stage.Level(0)->ChildAtDepth(depth), nullptr);
    stage.Advance();
    EXPECT_EQ(stage.CurrentFrame(), 3);  // stopped by the frame's script
    stage.GotoFrame(1, false);
    EXPECT_NE(stage.Level(0)->ChildAtDepth(depth), nullptr);
    EXPECT_EQ(log.Take(), QString());  // frames passed over run no scripts
    stage.GotoFrame(2, true);
    EXPECT_EQ(log.Take(), "FRAME 2");
    stage.Advance();
    stage.Advance();
    EXPECT_EQ(stage.CurrentFrame(), 3);
}

TEST(MoviePlayer, ButtonStatesAndClick)
{
    MovieBuilder b;
    b.CreateMovie(100, 100, 12, 8);
    const auto up = b.AddRectangle(QRectF(10, 10, 40, 40), ShapeStyle::Filled({255, 0, 0, 255}));
    const auto over = b.AddRectangle(QRectF(10, 10, 40, 40), ShapeStyle::Filled({0, 255, 0, 255}));
    const auto down = b.AddRectangle(QRectF(10, 10, 40, 40), ShapeStyle::Filled({0, 0, 255, 255}));
    std::vector<ButtonRecord> records(3);
    records[0].states = bsUp | bsHitTest;
    records[0].characterId = up;
    records[1].states = bsOver;
    records[1].characterId = over;
    records[2].states = bsDown;
    records[2].characterId = down;
    b.Place(b.DefineButton(records, FSCommandActions(QStringLiteral("CM_03"), QStringLiteral("#C1_0005"))));
    TMovieStage stage;
    ASSERT_TRUE(stage.Load(b.FinishToBytes()));
    TCommandLog log;
    log.Attach(stage);
    EXPECT_TRUE(Near(Render(stage, {100, 100}).pixel(30, 30), Qt::red));
    stage.MouseMove({30, 30});
    EXPECT_NE(stage.Hovered(), nullptr);
    EXPECT_TRUE(Near(Render(stage, {100, 100}).pixel(30, 30), Qt::green));
    stage.MouseDown({30, 30});
    EXPECT_TRUE(Near(Render(stage, {100, 100}).pixel(30, 30), Qt::blue));
    EXPECT_EQ(log.Take(), QString());
    stage.MouseUp({30, 30});
    EXPECT_EQ(log.Take(), "CM_03 #C1_0005");
    stage.MouseMove({80, 80});
    EXPECT_EQ(stage.Hovered(), nullptr);
    EXPECT_TRUE(Near(Render(stage, {100, 100}).pixel(30, 30), Qt::red));
}

TEST(MoviePlayer, ExternalResourcesLoadIntoLevelsAfterTheScript)
{
    MovieBuilder child;
    child.CreateMovie(100, 100, 12, 8);
    child.Place(child.AddRectangle(QRectF(50, 50, 40, 40), ShapeStyle::Filled({0, 0, 255, 255})));
    child.AddActions(FSCommandActions(QStringLiteral("CHILD"), QStringLiteral("loaded")));
    const QByteArray childBytes = child.FinishToBytes();

    MovieBuilder parent;
    parent.CreateMovie(100, 100, 12, 8);
    ActionBuilder a;
    a.GetURL(QStringLiteral("TH001"), QStringLiteral("_level1"));
    a.GetURL(QStringLiteral("missing"), QStringLiteral("_level2"));
    a.FSCommand(QStringLiteral("PARENT"), QStringLiteral("done"));
    parent.AddActions(a.Bytes());

    TMovieStage stage;
    TCommandLog log;
    log.Attach(stage);
    QStringList asked;
    stage.onLoadResource = [&](const QString& name, bool& found) {
        asked << name;
        found = name == QLatin1String("TH001");
        return found ? childBytes : QByteArray();
    };
    ASSERT_TRUE(stage.Load(parent.FinishToBytes()));
    EXPECT_EQ(asked, QStringList({"TH001", "missing"}));
    EXPECT_EQ(log.Take(), "PARENT done, CHILD loaded");
    ASSERT_NE(stage.Level(1), nullptr);
    EXPECT_EQ(stage.Level(2), nullptr);
    EXPECT_TRUE(Near(Render(stage, {100, 100}).pixel(70, 70), Qt::blue));
}

TEST(MoviePlayer, CommandHandlerMayReplaceTheMovie)
{
    // The page answers a roll-over by building a new scene into the player at once.
    TMovieStage stage;
    ASSERT_TRUE(stage.Load(SwatchMovie(kTwoSwatches, true)));
    const QByteArray next = SwatchMovie({kTwoSwatches[1]}, false);
    int loads = 0;
    stage.onFSCommand = [&](const QString& command, const QString&) {
        if (command == QLatin1String("CM_01") && loads++ < 3)
            stage.Load(next);
    };
    stage.MouseMove({200, 100});
    stage.MouseDown({200, 100});
    stage.MouseUp({200, 100});
    EXPECT_GE(loads, 1);
    EXPECT_EQ(stage.CallFunction(Invoke("GetClipName")), "<string>#SW_0002_#0000FF</string>");
}

TEST(MoviePlayer, MalformedMovieLoadsNothing)
{
    TMovieStage stage;
    QString error;
    EXPECT_FALSE(stage.Load(QByteArray("FWS\x08garbage", 11), 0, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(stage.IsLoaded());
    // A movie cut short.
    const QByteArray good = SwatchMovie(kTwoSwatches, true);
    EXPECT_FALSE(stage.Load(good.left(good.size() / 2)));
    EXPECT_FALSE(stage.IsLoaded());
}

// ---------------------------------------------------------------------------------------
// The widget

TEST(MoviePlayerWidget, ScaleModesAndAlignment)
{
    EnsureApp();
    TMoviePlayer player;
    player.resize(400, 300);
    ASSERT_TRUE(player.LoadMovie(0, SwatchMovie(kTwoSwatches, true, 8, 200, 100)));
    struct TCase {
        int scale, align;
        QPointF origin;  // where stage (0, 0) lands
        double k;        // widget pixels per stage pixel
    };
    const std::vector<TCase> cases = {
        {0, 0, {0, 50}, 2},      // show all: 2x, centred vertically
        {0, 4, {0, 0}, 2},       // top
        {0, 8, {0, 100}, 2},     // bottom
        {3, 0, {100, 100}, 1},   // no scaling, centred
        {3, 5, {0, 0}, 1},       // top left
        {3, 1, {0, 100}, 1},     // left
        {3, 10, {200, 200}, 1},  // bottom right
        {3, 4, {100, 0}, 1},     // top
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(QStringLiteral("scale %1 align %2").arg(c.scale).arg(c.align).toStdString());
        player.SetScaleMode(c.scale);
        player.SetAlignMode(c.align);
        const QTransform m = player.StageToWidget();
        EXPECT_NEAR(m.map(QPointF(0, 0)).x(), c.origin.x(), 1e-9);
        EXPECT_NEAR(m.map(QPointF(0, 0)).y(), c.origin.y(), 1e-9);
        EXPECT_NEAR(m.m11(), c.k, 1e-9);
        EXPECT_EQ(player.WidgetToStage(m.map(QPointF(37, 21))), QPointF(37, 21));
    }
}

TEST(MoviePlayerWidget, PictureBackgroundAndMouse)
{
    EnsureApp();
    TMoviePlayer player;
    player.resize(300, 200);
    ASSERT_TRUE(player.LoadMovie(0, SwatchMovie(kTwoSwatches, true)));
    player.SetBackgroundColor(0x336699);
    QImage frame = player.FrameImage();
    EXPECT_EQ(frame.size(), QSize(300, 200));
    EXPECT_TRUE(Near(frame.pixel(5, 5), QColor(0x33, 0x66, 0x99)));
    EXPECT_TRUE(Near(frame.pixel(50, 50), Qt::red));
    EXPECT_TRUE(Near(frame.pixel(200, 100), Qt::blue));
    player.SetBackgroundColor(-1);
    EXPECT_TRUE(Near(player.FrameImage().pixel(5, 5), Qt::white));  // the movie's own

    std::vector<QString> commands;
    int downs = 0, doubles = 0;
    player.OnFSCommand = [&](TObject* sender, const QString& c, const QString& a) {
        EXPECT_EQ(sender, static_cast<TObject*>(&player));
        commands.push_back(c + QLatin1Char(' ') + a);
    };
    player.OnMouseDown = [&](TObject*, Qt::MouseButton button, Qt::KeyboardModifiers, QPoint pos) {
        ++downs;
        EXPECT_EQ(button, Qt::LeftButton);
        EXPECT_EQ(pos, QPoint(200, 100));
    };
    player.OnDblClick = [&](TObject*) { ++doubles; };
    const QPointF at(200, 100);
    QMouseEvent move(QEvent::MouseMove, at, player.mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&player, &move);
    EXPECT_EQ(player.cursor().shape(), Qt::PointingHandCursor);
    QMouseEvent press(QEvent::MouseButtonPress, at, player.mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&player, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, player.mapToGlobal(at), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&player, &release);
    QMouseEvent dbl(QEvent::MouseButtonDblClick, at, player.mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&player, &dbl);
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(doubles, 1);
    const QString blue = kTwoSwatches[1].name;
    ASSERT_GE(commands.size(), 3u);
    EXPECT_EQ(commands[0], "CM_01 " + blue);
    EXPECT_EQ(commands[1], "CM_03 " + blue);
    EXPECT_EQ(commands[2], "CM_04 " + blue);

    // The page's way of asking about a point: a mouse move there, then GetClipName.
    player.SendMouseMove(QPoint(50, 60));
    EXPECT_EQ(player.CallFunction(Invoke("GetClipName")), "<string>#SW_0001_#FF0000_50_60</string>");
    EXPECT_EQ(player.CallFunction(Invoke("Nothing")), QString());
}

TEST(MoviePlayerWidget, DragStartsOnlyAfterDistanceAndDelay)
{
    EnsureApp();
    TMoviePlayer player;
    player.resize(300, 200);
    ASSERT_TRUE(player.LoadMovie(0, SwatchMovie(kTwoSwatches, true)));
    int starts = 0;
    // The page begins the drag from its answer to the press command.
    player.OnFSCommand = [&](TObject*, const QString& c, const QString&) {
        if (c == QLatin1String("CM_03"))
            player.BeginDrag(false, 200);
    };
    player.OnStartDrag = [&](TObject*) -> QMimeData* {
        ++starts;
        return nullptr;  // nothing to drag: no drag loop in a test
    };
    auto send = [&](QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
        QMouseEvent e(type, at, player.mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      buttons, Qt::NoModifier);
        QApplication::sendEvent(&player, &e);
    };
    send(QEvent::MouseButtonPress, {50, 50}, Qt::LeftButton);
    EXPECT_TRUE(player.Dragging());
    send(QEvent::MouseMove, {70, 50}, Qt::LeftButton);  // far enough, too soon
    EXPECT_EQ(starts, 0);
    QThread::msleep(220);
    send(QEvent::MouseMove, {51, 50}, Qt::LeftButton);  // late enough, too close
    EXPECT_EQ(starts, 0);
    send(QEvent::MouseMove, {75, 50}, Qt::LeftButton);
    EXPECT_EQ(starts, 1);
    EXPECT_FALSE(player.Dragging());
    send(QEvent::MouseButtonRelease, {75, 50}, Qt::NoButton);
    // A release ends detection without a drag.
    send(QEvent::MouseButtonPress, {50, 50}, Qt::LeftButton);
    EXPECT_TRUE(player.Dragging());
    send(QEvent::MouseButtonRelease, {50, 50}, Qt::NoButton);
    EXPECT_FALSE(player.Dragging());
    QThread::msleep(220);
    send(QEvent::MouseMove, {90, 50}, Qt::NoButton);
    EXPECT_EQ(starts, 1);
}

TEST(MoviePlayerWidget, FrameClockPlaysAtTheFrameRate)
{
    EnsureApp();
    MovieBuilder b;
    b.CreateMovie(100, 100, 50, 8);  // 50 frames per second
    for (int i = 0; i < 100; ++i)
        b.ShowFrame();
    TMoviePlayer player;
    player.resize(100, 100);
    ASSERT_TRUE(player.LoadMovie(0, b.FinishToBytes()));
    EXPECT_TRUE(player.IsPlaying());
    EXPECT_EQ(player.CurrentFrame(), 0);
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 300)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    // About 15 frames in 300 ms; timers on a loaded machine run late, never early.
    EXPECT_GE(player.CurrentFrame(), 3);
    EXPECT_LE(player.CurrentFrame(), 17);
    player.Stop();
    const int stopped = player.CurrentFrame();
    t.restart();
    while (t.elapsed() < 100)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(player.CurrentFrame(), stopped);
    player.GotoFrame(41);
    EXPECT_EQ(player.CurrentFrame(), 41);
    EXPECT_FALSE(player.IsPlaying());
}

}  // namespace
