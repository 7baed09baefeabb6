#include "workarea/Scene.h"

#include "SceneTestUtil.h"
#include "workarea/ClipNames.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <numbers>

using namespace scenetest;

namespace {

int CountDoActions(const swf::Movie& movie)
{
    int n = 0;
    for (const swf::Tag& t : movie.tags)
        n += t.As<swf::DoAction>() ? 1 : 0;
    return n;
}

TEST(Scene, FollowsTheMovieConventions)
{
    struct Case {
        bool forPlayer;
        int version;
        int expectVersion;
    };
    for (const Case c : {Case{true, 0, 8}, Case{false, 0, 5}, Case{true, 5, 5}, Case{false, 8, 8}}) {
        SCOPED_TRACE(testing::Message() << c.forPlayer << " " << c.version);
        TScene scene(QSizeF(640, 440), c.forPlayer, c.version);
        scene.SetBackgroundColor(RGB(0x12, 0x34, 0x56));
        swf::Path p = swf::Path::Rectangle(QRectF(1, 2, 3, 4));
        EXPECT_EQ(scene.AddShape(p, swf::ShapeStyle::Filled({1, 2, 3, 255})), 1);
        EXPECT_EQ(scene.AddShape(p, swf::ShapeStyle::Filled({1, 2, 3, 255})), 2);
        const swf::Movie movie = ReadBack(scene.FinishToBytes());
        EXPECT_EQ(movie.header.version, c.expectVersion);
        EXPECT_EQ(movie.header.frameRect, (swf::Rect{0, 640 * 20, 0, 440 * 20}));
        EXPECT_EQ(movie.header.FrameRate(), 12.0);
        EXPECT_EQ(movie.header.frameCount, 1);
        EXPECT_EQ(movie.BackgroundColor(), (swf::Rgba{0x12, 0x34, 0x56, 255}));
        const std::vector<Placed> placed = PlacedShapes(movie);
        ASSERT_EQ(placed.size(), 2u);
        EXPECT_EQ(placed[0].place->depth, 1);
        EXPECT_EQ(placed[1].place->depth, 2);
    }
}

TEST(Scene, WrapsInteractiveObjectsInNamedSpritesThatReportTheMouse)
{
    const QString name = ClipName(ckSwatch, 7, RGB(0xFF, 0x80, 0x00));
    const swf::ShapeStyle style = swf::ShapeStyle::Filled({255, 128, 0, 255});
    TScene player(QSizeF(200, 200), true);
    player.AddClip(swf::Path::Circle({50, 50}, 20), style, name);
    TScene file(QSizeF(200, 200), false);
    file.AddClip(swf::Path::Circle({50, 50}, 20), style, name);

    const swf::Movie movie = ReadBack(player.FinishToBytes());
    const std::vector<Placed> placed = PlacedShapes(movie);
    ASSERT_EQ(placed.size(), 1u);
    const Placed& clip = placed[0];
    ASSERT_NE(clip.sprite, nullptr);
    EXPECT_EQ(clip.sprite->frameCount, 1);
    ASSERT_NE(clip.shape, nullptr);
    EXPECT_EQ(clip.place->name.value_or(QString()), name);

    struct Expected {
        std::uint32_t event;
        const char* command;
    };
    const Expected expected[] = {{swf::ceRollOver, "CM_01"},
                                 {swf::ceRollOut, "CM_02"},
                                 {swf::cePress, "CM_03"},
                                 {swf::ceRelease, "CM_04"},
                                 {swf::ceReleaseOutside, "CM_05"}};
    ASSERT_EQ(clip.place->clipActions.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(expected[i].command);
        const swf::ClipActionRecord& r = clip.place->clipActions[i];
        EXPECT_EQ(r.events, expected[i].event);
        const auto fs = FSCommandIn(r.actions);
        ASSERT_TRUE(fs.has_value());
        EXPECT_EQ(fs->first, QString::fromLatin1(expected[i].command));
        EXPECT_EQ(fs->second, name);
    }

    // A movie for a file shows the same shape, plainly.
    const swf::Movie fileMovie = ReadBack(file.FinishToBytes());
    const std::vector<Placed> plain = PlacedShapes(fileMovie);
    ASSERT_EQ(plain.size(), 1u);
    EXPECT_EQ(plain[0].sprite, nullptr);
    EXPECT_FALSE(plain[0].place->name.has_value());
    EXPECT_TRUE(plain[0].place->clipActions.empty());
    EXPECT_EQ(plain[0].shape->records, clip.shape->records);
}

TEST(Scene, GetClipNameOnlyGoesIntoPlayerMoviesOfVersionEight)
{
    struct Case {
        bool forPlayer;
        int version;
        TClipNameVariant variant;
        bool added;
    };
    const Case cases[] = {
        {true, 8, TClipNameVariant::Simple, true},   {true, 8, TClipNameVariant::Detailed, true},
        {true, 8, TClipNameVariant::None, false},    {false, 5, TClipNameVariant::Detailed, false},
        {true, 5, TClipNameVariant::Simple, false},  {false, 8, TClipNameVariant::Simple, false},
    };
    for (const Case& c : cases) {
        TScene scene(QSizeF(100, 100), c.forPlayer, c.version);
        EXPECT_EQ(scene.AddGetClipName(c.variant), c.added);
        const swf::Movie movie = ReadBack(scene.FinishToBytes());
        EXPECT_EQ(CountDoActions(movie), c.added ? 1 : 0);
    }
    // The two variants are different scripts.
    TScene simple(QSizeF(100, 100), true), detailed(QSizeF(100, 100), true);
    simple.AddGetClipName(TClipNameVariant::Simple);
    detailed.AddGetClipName(TClipNameVariant::Detailed);
    EXPECT_NE(simple.FinishToBytes(), detailed.FinishToBytes());
}

TEST(Scene, SpritesCollectTheirOwnDepths)
{
    TScene scene(QSizeF(300, 300), true);
    const swf::ShapeStyle style = swf::ShapeStyle::Filled({0, 0, 0, 255});
    scene.AddShape(swf::Path::Rectangle(QRectF(0, 0, 10, 10)), style);
    scene.BeginSprite();
    EXPECT_EQ(scene.AddShape(swf::Path::Rectangle(QRectF(0, 0, 5, 5)), style), 1);
    EXPECT_EQ(scene.AddShape(swf::Path::Rectangle(QRectF(5, 5, 5, 5)), style), 2);
    const std::uint16_t icon = scene.EndSprite();
    swf::Placement at;
    at.name = QStringLiteral("ColorWheel");
    at.x = 92;
    at.y = 92;
    at.scaleX = at.scaleY = 0.3;
    EXPECT_EQ(scene.Place(icon, at), 2);
    const swf::Movie movie = ReadBack(scene.FinishToBytes());
    const swf::Tag* def = movie.FindCharacter(icon);
    ASSERT_NE(def, nullptr);
    const auto* sprite = def->As<swf::SpriteDef>();
    ASSERT_NE(sprite, nullptr);
    int inner = 0;
    for (const swf::Tag& t : sprite->tags)
        inner += t.As<swf::PlaceObject>() ? 1 : 0;
    EXPECT_EQ(inner, 2);
}

TEST(DefaultScene, WritesTheLoadedTextTurnedAtTheCentre)
{
    const QSize size(1000, 800);
    TScene scene(QSizeF(size), false, TScene::kFileVersion);
    scene.SetBackgroundColor(RGB(0xEE, 0xEE, 0xE6));
    DrawDefaultScene(scene, QStringLiteral("frmPptBlank"));
    swf::TextStyle style;
    style.font = QStringLiteral("Trebuchet MS");
    style.size = 80;
    style.centred = true;
    const QSizeF box = scene.MeasureText(QStringLiteral("frmPptBlank loaded"), style);
    const swf::Movie movie = ReadBack(scene.FinishToBytes());

    EXPECT_EQ(movie.header.version, 5);
    EXPECT_EQ(movie.BackgroundColor(), (swf::Rgba{0xEE, 0xEE, 0xE6, 255}));
    const swf::EditTextDef* text = nullptr;
    const swf::FontDef* font = nullptr;
    const swf::PlaceObject* place = nullptr;
    for (const swf::Tag& t : movie.tags) {
        if (const auto* e = t.As<swf::EditTextDef>())
            text = e;
        if (const auto* f = t.As<swf::FontDef>())
            font = f;
        if (const auto* p = t.As<swf::PlaceObject>())
            place = p;
    }
    ASSERT_TRUE(text && font && place);
    EXPECT_EQ(text->initialText.value_or(QString()), QStringLiteral("frmPptBlank loaded"));
    EXPECT_EQ(font->name, QStringLiteral("Trebuchet MS"));
    EXPECT_EQ(text->fontHeight, 80 * 20);
    EXPECT_EQ(text->color, (swf::Rgba{255, 0, 0, 50}));
    EXPECT_EQ(text->align, 2);
    EXPECT_EQ(place->depth, 1);
    EXPECT_EQ(place->characterId, text->id);
    EXPECT_FALSE(place->name.has_value());
    EXPECT_TRUE(place->clipActions.empty());
    ASSERT_TRUE(place->matrix.has_value());
    const swf::Matrix& m = *place->matrix;
    EXPECT_NEAR(m.Tx() / 20.0, 500, 0.05);
    EXPECT_NEAR(m.Ty() / 20.0, (800 - box.height()) / 2, 0.05);
    const double a = 35 * std::numbers::pi / 180;
    EXPECT_NEAR(m.A(), std::cos(a), 1e-4);
    EXPECT_NEAR(m.B(), std::sin(a), 1e-4);  // clockwise on screen: x turns towards +y
    EXPECT_NEAR(m.C(), -std::sin(a), 1e-4);
    EXPECT_NEAR(m.D(), std::cos(a), 1e-4);
    EXPECT_EQ(CountDoActions(movie), 0);
}

TEST(DefaultScene, BuildSceneAnswersFalseForAFileAndReportsWhatItCannotWrite)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString fileName = dir.filePath(QStringLiteral("blank ä.swf"));
    EXPECT_FALSE(BuildDefaultScene(nullptr, QSize(400, 300), fileName, QStringLiteral("frmPptBlank"), clWhite));
    QFile file(fileName);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const swf::Movie movie = ReadBack(file.readAll());
    EXPECT_EQ(movie.header.version, 5);
    EXPECT_EQ(movie.header.frameRect.xMax, 400 * 20);

    EXPECT_THROW(BuildDefaultScene(nullptr, QSize(400, 300), dir.filePath(QStringLiteral("no/such/folder/x.swf")),
                                   QStringLiteral("frmPptBlank"), clWhite),
                 ESceneWriteError);
}

}  // namespace
