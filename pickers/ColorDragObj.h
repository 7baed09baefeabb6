#pragma once
// The drag object of every colour drag in the program. A drag carries it inside QMimeData
// under a MIME type of our own, beside "#RRGGBB" text and a plain colour so that other
// programs receive the colour too. The pointer fields (source control and palette) are
// meaningful only inside the process that started the drag and only while it lasts; a drop
// from another copy of the program decodes them as null.

#include "colour/ColorTypes.h"
#include "colour/ColorVision.h"

#include <QPixmap>
#include <QString>

#include <optional>

class QDropEvent;
class QMimeData;
class QObject;
class QWidget;
class TRichPalette;

inline constexpr char kColorDragMimeType[] = "application/x-korvel-color";

struct TColorDragCtrlObject {
    TColor Color = 0;
    // The control the drag started from.
    QObject* SourceControl = nullptr;
    // Palette grid: index of the dragged swatch; player: the clip's number.
    int SourceIndex = 0;
    // Player drags: the page's matching colours, or the palette the page chose.
    TRichPalette* SourcePalette = nullptr;
    // Player drags: the clip name the drag started on.
    QString ClipName;
    // 0 started outside the player, 1 one matching colour, 2 a colour of a page's colour grid.
    int DragKind = 0;
    // Shape of the page's colour grid for kind 2, 0 and 0 otherwise.
    int GridCols = 0;
    int GridRows = 0;
    // Number of the formula element on the Test Patterns page's formula bar, -1 otherwise.
    int ElementIndex = -1;
};

// A new QMimeData holding the drag object, "#RRGGBB" text (upper-case digits) and the colour;
// the caller (normally QDrag) owns it.
QMimeData* EncodeColorDrag(const TColorDragCtrlObject& Drag);
// Adds the same three forms to existing data.
void EncodeColorDrag(const TColorDragCtrlObject& Drag, QMimeData* Data);
// The drag object, or nothing when the data holds none or it is damaged.
std::optional<TColorDragCtrlObject> DecodeColorDrag(const QMimeData* Data);
bool HasColorDrag(const QMimeData* Data);

// The 14 x 14 drag image: the colour (seen through the vision type) in a black 1-pixel
// frame, rendered at the device pixel ratio given.
QPixmap ColorDragImage(TColor Color, qreal DevicePixelRatio = 1.0, TColorVisionType VisionType = cvtNorm);

// Runs a colour drag from Source until it ends (a modal loop); returns the drop action,
// Qt::IgnoreAction when nobody took it.
Qt::DropAction StartColorDrag(QWidget* Source, const TColorDragCtrlObject& Drag, TColorVisionType VisionType = cvtNorm);

// For drop targets in their dragEnterEvent/dragMoveEvent/dropEvent: accepts the proposed
// action and returns the drag object when the event carries one, otherwise ignores the
// event (so the no-drop cursor shows) and returns nothing.
std::optional<TColorDragCtrlObject> AcceptColorDrag(QDropEvent* Event);
