#include "shell/base/PeerProtocol.h"

#include <QBuffer>

static bool Is(const TPeerMessage& Message, const char* Name)
{
    return Message.Name == QLatin1String(Name);
}

TPeerAction DecidePeerAction(const TPeerMessage& Message, quint64 OwnHandle, int PaletteCount)
{
    TPeerAction action;
    if (Is(Message, kMsgCopyData)) {
        if (Message.LParam == kCopyDataCollectionId && !Message.Data.isEmpty())
            action.Kind = TPeerActionKind::ReplaceCollection;
        return action;
    }
    if (Message.WParam == OwnHandle)
        return action;
    if (Is(Message, kMsgPaletteChanged)) {
        action.Kind = TPeerActionKind::RequestCollectionFrom;
        action.Peer = Message.WParam;
    } else if (Is(Message, kMsgRequestPalette)) {
        action.Kind = TPeerActionKind::SendCollectionTo;
        action.Peer = Message.WParam;
    } else if (Is(Message, kMsgPaletteMode)) {
        if (Message.LParam >= 0 && Message.LParam <= 2) {
            action.Kind = TPeerActionKind::SetViewMode;
            action.Value = static_cast<int>(Message.LParam);
        }
    } else if (Is(Message, kMsgSelectPalette)) {
        if (Message.LParam >= 0 && Message.LParam < PaletteCount) {
            action.Kind = TPeerActionKind::SelectPalette;
            action.Value = static_cast<int>(Message.LParam);
        }
    }
    return action;
}

static TPeerMessage Make(const char* Name, quint64 OwnHandle, qint64 LParam)
{
    TPeerMessage message;
    message.Name = QString::fromLatin1(Name);
    message.WParam = OwnHandle;
    message.LParam = LParam;
    return message;
}

TPeerMessage PaletteChangedMessage(quint64 OwnHandle)
{
    return Make(kMsgPaletteChanged, OwnHandle, 0);
}

TPeerMessage RequestPaletteMessage(quint64 OwnHandle)
{
    return Make(kMsgRequestPalette, OwnHandle, 1);
}

TPeerMessage SelectPaletteMessage(quint64 OwnHandle, int PaletteIndex)
{
    return Make(kMsgSelectPalette, OwnHandle, PaletteIndex);
}

TPeerMessage PaletteModeMessage(quint64 OwnHandle, int ViewMode)
{
    return Make(kMsgPaletteMode, OwnHandle, ViewMode);
}

TPeerMessage CollectionMessage(quint64 OwnHandle, const TRichPaletteList& List)
{
    TPeerMessage message = Make(kMsgCopyData, OwnHandle, kCopyDataCollectionId);
    message.Data = CollectionStreamBytes(List);
    return message;
}

TPaletteFileResult ReadCollectionMessage(const TPeerMessage& Message, TRichPaletteList& List)
{
    if (!Is(Message, kMsgCopyData) || Message.LParam != kCopyDataCollectionId) {
        TPaletteFileResult ignored;
        ignored.Error = TPaletteFileError::UnknownFormat;
        return ignored;
    }
    QByteArray data = Message.Data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    return ReadCollectionStream(buffer, List);
}
