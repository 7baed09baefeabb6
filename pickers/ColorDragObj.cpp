#include "pickers/ColorDragObj.h"

#include "colour/Colors.h"
#include "pickers/SysColors.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QDrag>
#include <QDropEvent>
#include <QIODevice>
#include <QMimeData>
#include <QPainter>
#include <QPointer>
#include <QRandomGenerator>
#include <QWidget>
#include <QtMath>

namespace {

constexpr quint32 kMagic = 0x4B56434Cu; // "KVCL"
constexpr quint16 kVersion = 1;

// Pointers are only ours to trust when the drag began in this very process; the pid alone
// could repeat after a restart, so a random tag chosen once per run goes with it.
quint64 ProcessTag()
{
    static const quint64 tag = QRandomGenerator::system()->generate64();
    return tag;
}

} // namespace

void EncodeColorDrag(const TColorDragCtrlObject& Drag, QMimeData* Data)
{
    QByteArray bytes;
    {
        QDataStream out(&bytes, QIODevice::WriteOnly);
        out.setVersion(QDataStream::Qt_6_0);
        out << kMagic << kVersion << static_cast<qint64>(QCoreApplication::applicationPid()) << ProcessTag()
            << static_cast<quint32>(ColorToRGB(Drag.Color))
            << static_cast<quint64>(reinterpret_cast<quintptr>(Drag.SourceControl))
            << static_cast<qint32>(Drag.SourceIndex)
            << static_cast<quint64>(reinterpret_cast<quintptr>(Drag.SourcePalette)) << Drag.ClipName
            << static_cast<qint32>(Drag.DragKind) << static_cast<qint32>(Drag.GridCols)
            << static_cast<qint32>(Drag.GridRows) << static_cast<qint32>(Drag.ElementIndex);
    }
    Data->setData(QString::fromLatin1(kColorDragMimeType), bytes);
    const TColor rgb = ColorToRGB(Drag.Color);
    Data->setText(ColorToFullHex(rgb, true));
    Data->setColorData(QColorFromTColor(rgb));
}

QMimeData* EncodeColorDrag(const TColorDragCtrlObject& Drag)
{
    auto* data = new QMimeData;
    EncodeColorDrag(Drag, data);
    return data;
}

bool HasColorDrag(const QMimeData* Data)
{
    return Data && Data->hasFormat(QString::fromLatin1(kColorDragMimeType));
}

std::optional<TColorDragCtrlObject> DecodeColorDrag(const QMimeData* Data)
{
    if (!HasColorDrag(Data))
        return std::nullopt;
    const QByteArray bytes = Data->data(QString::fromLatin1(kColorDragMimeType));
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_6_0);
    quint32 magic = 0;
    quint16 version = 0;
    qint64 pid = 0;
    quint64 tag = 0;
    quint32 color = 0;
    quint64 control = 0;
    quint64 palette = 0;
    qint32 sourceIndex = 0, dragKind = 0, gridCols = 0, gridRows = 0, elementIndex = -1;
    QString clipName;
    in >> magic >> version;
    if (in.status() != QDataStream::Ok || magic != kMagic || version != kVersion)
        return std::nullopt;
    in >> pid >> tag >> color >> control >> sourceIndex >> palette >> clipName >> dragKind >> gridCols >> gridRows
        >> elementIndex;
    if (in.status() != QDataStream::Ok)
        return std::nullopt;

    TColorDragCtrlObject drag;
    drag.Color = color & 0x00FFFFFF;
    drag.SourceIndex = sourceIndex;
    drag.ClipName = clipName;
    drag.DragKind = dragKind;
    drag.GridCols = gridCols;
    drag.GridRows = gridRows;
    drag.ElementIndex = elementIndex;
    if (pid == QCoreApplication::applicationPid() && tag == ProcessTag()) {
        drag.SourceControl = reinterpret_cast<QObject*>(static_cast<quintptr>(control));
        drag.SourcePalette = reinterpret_cast<TRichPalette*>(static_cast<quintptr>(palette));
    }
    return drag;
}

QPixmap ColorDragImage(TColor Color, qreal DevicePixelRatio, TColorVisionType VisionType)
{
    constexpr int kSize = 14;
    const int device = qCeil(kSize * DevicePixelRatio);
    QPixmap pixmap(device, device);
    pixmap.setDevicePixelRatio(DevicePixelRatio);
    QPainter p(&pixmap);
    p.fillRect(QRectF(0, 0, kSize, kSize), Qt::black);
    // The frame is one logical pixel, so it stays as wide as the swatch is big at any ratio.
    p.fillRect(QRectF(1, 1, kSize - 2, kSize - 2), QColorFromTColor(SimulateColorVision(Color, VisionType)));
    return pixmap;
}

Qt::DropAction StartColorDrag(QWidget* Source, const TColorDragCtrlObject& Drag, TColorVisionType VisionType)
{
    auto* drag = new QDrag(Source);
    drag->setMimeData(EncodeColorDrag(Drag));
    drag->setPixmap(ColorDragImage(Drag.Color, Source ? Source->devicePixelRatioF() : 1.0, VisionType));
    // Below and right of the pointer tip, so the image never hides the place of the drop.
    drag->setHotSpot(QPoint(-4, -4));
    QPointer<QDrag> guard(drag);
    const Qt::DropAction action = drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
    // The drag and its data live for one drag only, not for the life of the source control.
    if (guard)
        guard->deleteLater();
    return action;
}

std::optional<TColorDragCtrlObject> AcceptColorDrag(QDropEvent* Event)
{
    auto drag = DecodeColorDrag(Event->mimeData());
    if (drag)
        Event->acceptProposedAction();
    else
        Event->ignore();
    return drag;
}
