#pragma once
// Clip names: how a scene names its interactive objects so that the main window, told
// about a roll-over or a press with nothing but the name, knows what kind of object it
// was, its number and the colour it shows.
//
//   kind 0 "#SW"  matching-colour swatch      #SW_0003_#FF8000
//   kind 1 "#FM"  second-level swatch         #FM_0012_#336699
//   kind 2 "#C1"  Main Menu command           #C1_0005
//   kind 3 "#C2"  (only ever read)            as kind 0
//   kind 4 "#C3"  lesson link: frame, movie   #C3_0010_TH000
//   kind 5 "#C4"  back to the previous page   #C4

#include <QString>

#include <cstdint>

#include "colour/ColorTypes.h"

class QPoint;
class TMoviePlayer;

enum TClipKind : std::uint8_t {
    ckSwatch = 0,      // "#SW"
    ckFormula = 1,     // "#FM"
    ckCommand = 2,     // "#C1"
    ckSwatch2 = 3,     // "#C2"
    ckLesson = 4,      // "#C3"
    ckBack = 5,        // "#C4"
    ckUnknown = 255,   // no known prefix
};

// The prefix list, in kind order.
inline constexpr const char* kClipPrefixes = "#SW,#FM,#C1,#C2,#C3,#C4";
constexpr int kClipKindCount = 6;

// The colour a clip name carries when it carries none.
constexpr TColor kNoClipColor = 0x7F000000;

// The prefix of a kind ("#SW" ...), "" for a kind outside 0..5.
QString ClipPrefix(int Kind);

// Kinds 0, 1 and 3: prefix, "_", the number with at least four digits, "_#" and the colour
// as six upper-case hex digits, red first. Kind 2 and 5 (and anything else): prefix, "_",
// number. Kind 4 takes a text and has no colour: use LessonClipName.
QString ClipName(int Kind, int Number, TColor Color = 0);
// "#C3_0010_TH000": a frame number of the lesson movie and the movie's resource name.
QString LessonClipName(int Number, const QString& Text);

struct TClipName {
    std::uint8_t Kind = ckUnknown;
    int Number = 0;
    TColor Color = kNoClipColor;
    QString Text;
};

// Reads a clip name back. An unknown prefix gives Kind 255 and nothing else. Kinds 0, 1
// and 3: Number is -1 when the field after the prefix is not a number, and whatever
// follows the next "_" is read as hex text (silver when it is not hex), so the detailed
// "GetClipName" answer (name + "_x_y") parses to the same clip.
TClipName ParseClipName(const QString& Name);

// The argument of a page request ("CM_06"): "3_TRI" is page 3, code "TRI". Number is -1
// when the part before the first "_" is not a number; without "_" the whole text is that
// part and the code is empty.
struct TPageRequest {
    int Number = -1;
    QString Text;
};
TPageRequest ParsePageRequest(const QString& Argument);

// The request that asks a scene for the clip under the mouse.
inline constexpr const char* kGetClipNameRequest = "<invoke name=\"GetClipName\" returntype=\"xml\"/>";

// The clip name inside an external-interface answer: every tag whose text contains
// "string" is removed, so <string>#SW_0001_#FF0000</string> gives #SW_0001_#FF0000.
QString ClipNameFromAnswer(const QString& Answer);
// An empty answer, or "_", means the mouse is over no clip.
bool IsNoClip(const QString& Name);

// What a page does to learn what lies under a point of the player (widget pixels): moves
// the player's mouse there, then asks the movie. '' when the movie cannot answer.
QString GetClipNameAt(TMoviePlayer& Player, const QPoint& WidgetPos);
