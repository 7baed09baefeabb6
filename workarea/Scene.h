#pragma once
// What every page's BuildScene has in common: a one-frame movie of the requested size at 12
// frames per second, coordinates in pixels, the page background, one depth per placement,
// interactive objects wrapped in named sprites that report the mouse to the main window,
// the "GetClipName" callback for movies that go to the player, and the ending: into the
// player (BuildScene answers true, the main window repaints) or into a file (false).
//
// Units: pixels (the file stores twips, 20 per pixel); angles in degrees, 0° pointing right
// and growing clockwise on screen.

#include <QByteArray>
#include <QPointF>
#include <QSize>
#include <QSizeF>
#include <QString>

#include <cstdint>
#include <stdexcept>
#include <vector>

#include "colour/ColorTypes.h"
#include "colour/ColorVision.h"
#include "movie/SwfWriter.h"

class TMoviePlayer;

// The commands an interactive clip sends, with its clip name as the argument.
inline constexpr const char* kCmdRollOver = "CM_01";
inline constexpr const char* kCmdRollOut = "CM_02";
inline constexpr const char* kCmdPress = "CM_03";
inline constexpr const char* kCmdRelease = "CM_04";
inline constexpr const char* kCmdReleaseOutside = "CM_05";
// A menu movie asks for a page (argument "page_code").
inline constexpr const char* kCmdPageRequest = "CM_06";

// A scene that should have gone to a file could not be written there. The page contract
// lets this reach the main window's error report.
class ESceneWriteError : public std::runtime_error {
public:
    explicit ESceneWriteError(const QString& Message) : std::runtime_error(Message.toStdString()) {}
};

enum class TClipNameVariant : std::uint8_t {
    None,
    Simple,    // bounding boxes; answers the clip's name
    Detailed,  // shapes; answers name + "_" + x + "_" + y, whole stage pixels
};

class TScene {
public:
    static constexpr int kPlayerVersion = 8;
    static constexpr int kFileVersion = 5;
    static constexpr double kFrameRate = 12.0;

    // A stage from (0, 0) to Size. ForPlayer: the movie will be shown in the player, so
    // interactive clips and the "GetClipName" callback are made; a movie for a file gets
    // plain shapes. Version 0 follows the convention (8 for the player, 5 for a file).
    TScene(QSizeF Size, bool ForPlayer, int Version = 0);
    TScene(const TScene&) = delete;
    TScene& operator=(const TScene&) = delete;

    QSizeF Size() const { return FSize; }
    bool ForPlayer() const { return FForPlayer; }
    int Version() const { return FBuilder.Version(); }

    // The page background; system colours are resolved first.
    void SetBackgroundColor(TColor Color);
    TColor BackgroundColor() const { return FBackground; }

    // A colour as a scene draws it: resolved, then through the simulation of the vision
    // type, with the given opacity (0..255).
    static swf::Rgba DrawnColor(TColor Color, TColorVisionType VisionType = cvtNorm, std::uint8_t Alpha = 255);

    // Placements go to the current parent: the main timeline, or the sprite opened last
    // with BeginSprite. Each takes the parent's next depth (the first is 1) and returns it.
    std::uint16_t Place(std::uint16_t CharacterId, const swf::Placement& At = {});
    std::uint16_t AddShape(const swf::ShapeBuilder& Shape, const swf::Placement& At = {});
    std::uint16_t AddShape(const swf::Path& Path, const swf::ShapeStyle& Style);
    // An interactive object: the shape in a one-frame sprite of its own, placed under the
    // clip name, with clip actions that send "CM_01" (roll over), "CM_02" (roll out),
    // "CM_03" (press), "CM_04" (release) and "CM_05" (release outside), each with the clip
    // name as argument. In a movie for a file the shape is placed plainly.
    std::uint16_t AddClip(const swf::ShapeBuilder& Shape, const QString& ClipName);
    std::uint16_t AddClip(const swf::Path& Path, const swf::ShapeStyle& Style, const QString& ClipName);
    // Device-font text; the placement point is the field's top-left (top-centre when
    // centred). Measured with the installed fonts when a GUI application runs.
    std::uint16_t AddText(const QString& Text, const swf::TextStyle& Style, const swf::Placement& At);
    QSizeF MeasureText(const QString& Text, const swf::TextStyle& Style) const;

    // Drawing into a sprite: everything placed until EndSprite goes into it. EndSprite
    // returns the sprite's character, for Place on the parent.
    void BeginSprite();
    std::uint16_t EndSprite();

    // The first-frame script with the "GetClipName" callback. Only for the player and for
    // movies of version 8 and later (older ones have no external interface); otherwise it
    // does nothing and answers false.
    bool AddGetClipName(TClipNameVariant Variant);

    // The five clip actions of an interactive object named ClipName.
    static std::vector<swf::ClipActionRecord> ClipActions(const QString& ClipName, int Version);

    swf::MovieBuilder& Builder() { return FBuilder; }

    // Closes the frame and the movie. Later calls return the same movie.
    const swf::Movie& Finish();
    QByteArray FinishToBytes();
    // Writes the file as a whole; throws ESceneWriteError when it cannot.
    void FinishToFile(const QString& FileName);
    // Sets the player's scale mode, alignment and background (the page background), then
    // loads the movie into layer 0. False when the player refused the movie.
    bool FinishToPlayer(TMoviePlayer& Player, int ScaleMode, int AlignMode);
    // The end of every BuildScene: with a file name the movie is written there and the
    // answer is false; otherwise it goes to the player and the answer is true.
    bool Finish(TMoviePlayer* Player, const QString& FileName, int ScaleMode, int AlignMode);

private:
    swf::Timeline& Parent();

    QSizeF FSize;
    bool FForPlayer;
    TColor FBackground = clWhite;
    swf::MovieBuilder FBuilder;
    std::vector<swf::Timeline> FSprites;
};

// The default scene of a page that draws nothing of its own: ComponentName + " loaded" in
// "Trebuchet MS" 80, red with alpha 50, centred at (width / 2, (height - text height) / 2)
// and turned by 35°, on the page background; always SWF version 5, never interactive.
// Built into Scene, which the caller then finishes.
void DrawDefaultScene(TScene& Scene, const QString& ComponentName);
// BuildScene of a page without a scene of its own: into the file when FileName is given
// (false), else into the player with scale mode 0 and alignment 0 (true).
bool BuildDefaultScene(TMoviePlayer* Player, QSize Size, const QString& FileName, const QString& ComponentName,
                       TColor Background);
