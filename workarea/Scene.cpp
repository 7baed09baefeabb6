#include "workarea/Scene.h"

#include "colour/Colors.h"
#include "movie/MoviePlayer.h"
#include "movie/SwfActions.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>

namespace {

// With a GUI the installed fonts say how large a text is; without one (command-line
// tools, file output on a server) the writer's estimate has to do.
bool HaveGui() { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr; }

QSizeF MeasureWithFonts(const QString& text, const swf::TextStyle& style)
{
    QFont font(style.font);
    font.setPixelSize(std::max(1, Round(style.size)));
    font.setBold(style.bold);
    const QFontMetricsF fm(font);
    return {fm.horizontalAdvance(text), fm.height()};
}

}  // namespace

TScene::TScene(QSizeF Size, bool ForPlayer, int Version) : FSize(Size), FForPlayer(ForPlayer)
{
    if (Version <= 0)
        Version = ForPlayer ? kPlayerVersion : kFileVersion;
    FBuilder.CreateMovie(Size.width(), Size.height(), kFrameRate, Version);
    if (HaveGui())
        FBuilder.SetTextMeasurer(MeasureWithFonts);
    SetBackgroundColor(clWhite);
}

void TScene::SetBackgroundColor(TColor Color)
{
    FBackground = ColorToRGB(Color);
    FBuilder.SetBackgroundColor(swf::Rgba::FromColor(FBackground));
}

swf::Rgba TScene::DrawnColor(TColor Color, TColorVisionType VisionType, std::uint8_t Alpha)
{
    return swf::Rgba::FromColor(SimulateColorVision(ColorToRGB(Color), VisionType), Alpha);
}

swf::Timeline& TScene::Parent()
{
    if (FSprites.empty())
        return FBuilder;
    return FSprites.back();
}

std::uint16_t TScene::Place(std::uint16_t CharacterId, const swf::Placement& At)
{
    return Parent().Place(CharacterId, At);
}

std::uint16_t TScene::AddShape(const swf::ShapeBuilder& Shape, const swf::Placement& At)
{
    return Place(FBuilder.DefineShape(Shape), At);
}

std::uint16_t TScene::AddShape(const swf::Path& Path, const swf::ShapeStyle& Style)
{
    swf::ShapeBuilder shape;
    shape.Add(Path, Style);
    return AddShape(shape);
}

std::vector<swf::ClipActionRecord> TScene::ClipActions(const QString& ClipName, int Version)
{
    struct Event {
        std::uint32_t flag;
        const char* command;
    };
    static constexpr Event events[] = {
        {swf::ceRollOver, kCmdRollOver}, {swf::ceRollOut, kCmdRollOut},
        {swf::cePress, kCmdPress},       {swf::ceRelease, kCmdRelease},
        {swf::ceReleaseOutside, kCmdReleaseOutside},
    };
    std::vector<swf::ClipActionRecord> actions;
    actions.reserve(std::size(events));
    for (const Event& e : events)
        actions.push_back(swf::FSCommandClipAction(e.flag, QString::fromLatin1(e.command), ClipName, Version));
    return actions;
}

std::uint16_t TScene::AddClip(const swf::ShapeBuilder& Shape, const QString& ClipName)
{
    const std::uint16_t shape = FBuilder.DefineShape(Shape);
    if (!FForPlayer)
        return Place(shape);
    swf::Placement at;
    at.name = ClipName;
    at.clipActions = ClipActions(ClipName, Version());
    return Place(FBuilder.WrapInSprite(shape), at);
}

std::uint16_t TScene::AddClip(const swf::Path& Path, const swf::ShapeStyle& Style, const QString& ClipName)
{
    swf::ShapeBuilder shape;
    shape.Add(Path, Style);
    return AddClip(shape, ClipName);
}

std::uint16_t TScene::AddText(const QString& Text, const swf::TextStyle& Style, const swf::Placement& At)
{
    return Place(FBuilder.AddText(Text, Style).id, At);
}

QSizeF TScene::MeasureText(const QString& Text, const swf::TextStyle& Style) const
{
    return FBuilder.MeasureText(Text, Style);
}

void TScene::BeginSprite() { FSprites.push_back(FBuilder.NewSprite()); }

std::uint16_t TScene::EndSprite()
{
    if (FSprites.empty())
        return 0;
    swf::Timeline sprite = std::move(FSprites.back());
    FSprites.pop_back();
    return FBuilder.DefineSprite(std::move(sprite));
}

bool TScene::AddGetClipName(TClipNameVariant Variant)
{
    if (Variant == TClipNameVariant::None || !FForPlayer || Version() < 8)
        return false;
    FBuilder.AddActions(swf::GetClipNameActions(Variant == TClipNameVariant::Detailed, Version()));
    return true;
}

const swf::Movie& TScene::Finish()
{
    // A sprite left open would lose what was drawn into it; close it onto its parent.
    while (!FSprites.empty())
        Place(EndSprite());
    return FBuilder.Finish();
}

QByteArray TScene::FinishToBytes() { return swf::WriteMovie(Finish()); }

void TScene::FinishToFile(const QString& FileName)
{
    QString error;
    if (!swf::SaveMovie(Finish(), FileName, &error))
        throw ESceneWriteError(error.isEmpty() ? QStringLiteral("Cannot write %1").arg(FileName) : error);
}

bool TScene::FinishToPlayer(TMoviePlayer& Player, int ScaleMode, int AlignMode)
{
    const QByteArray bytes = FinishToBytes();
    Player.SetScaleMode(ScaleMode);
    Player.SetAlignMode(AlignMode);
    Player.SetBackgroundColor(static_cast<int>(SwapRedBlue(FBackground)));
    return Player.LoadMovie(0, bytes);
}

bool TScene::Finish(TMoviePlayer* Player, const QString& FileName, int ScaleMode, int AlignMode)
{
    if (!FileName.isEmpty()) {
        FinishToFile(FileName);
        return false;
    }
    if (Player)
        FinishToPlayer(*Player, ScaleMode, AlignMode);
    return true;
}

void DrawDefaultScene(TScene& Scene, const QString& ComponentName)
{
    swf::TextStyle style;
    style.font = QStringLiteral("Trebuchet MS");
    style.size = 80;
    style.color = {255, 0, 0, 50};
    style.centred = true;
    const QString text = ComponentName + QStringLiteral(" loaded");
    const QSizeF box = Scene.MeasureText(text, style);
    swf::Placement at;
    at.x = Scene.Size().width() / 2;
    at.y = (Scene.Size().height() - box.height()) / 2;
    at.rotation = 35;
    Scene.AddText(text, style, at);
}

bool BuildDefaultScene(TMoviePlayer* Player, QSize Size, const QString& FileName, const QString& ComponentName,
                       TColor Background)
{
    TScene scene(QSizeF(Size), FileName.isEmpty(), TScene::kFileVersion);
    scene.SetBackgroundColor(Background);
    DrawDefaultScene(scene, ComponentName);
    return scene.Finish(Player, FileName, 0, 0);
}
