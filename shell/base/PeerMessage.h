#pragma once
// Messages between running copies of the program and to the first copy, and the frames
// that carry them over a local socket.
//
// A message keeps the shape of the window messages it replaces: a registered name, two
// numbers and, for a collection transfer, a block of data. Sender handles are the peer
// handles of PeerLink.h.
//
// Frame: the four bytes "KVM1", a big-endian 32-bit body length, then the body: the name
// (QDataStream QString), WParam (quint64), LParam (qint64) and Data (QDataStream
// QByteArray), Qt 6.0 stream format. A body must be used up exactly.

#include "palette/PaletteFiles.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>

struct TPeerMessage {
    QString Name;
    quint64 WParam = 0;
    qint64 LParam = 0;
    QByteArray Data;

    friend bool operator==(const TPeerMessage&, const TPeerMessage&) = default;
};

// The registered names (a collection travels as "WM_COPYDATA" with LParam = its
// identifier 1378 and the collection stream as Data).
inline constexpr char kMsgPaletteChanged[] = "WM_KV_PAL_GHG";
inline constexpr char kMsgRequestPalette[] = "WM_KV_REQ_PAL";
inline constexpr char kMsgSelectPalette[] = "WM_KV_SEL_PAL";
inline constexpr char kMsgPaletteMode[] = "WM_KV_PAL_MODE";
inline constexpr char kMsgCopyData[] = "WM_COPYDATA";
inline constexpr qint64 kCopyDataCollectionId = 1378;

// The activation message of a second start: "Msg_" + the program's file name (no folder).
QString ActivationMessageName(const QString& ProgramFilePath);

// Nothing we send comes near this: a whole collection plus room for the name.
inline constexpr qint64 kMaxFrameBodySize = kMaxPaletteFileSize + 64 * 1024;

QByteArray EncodeFrame(const TPeerMessage& Message);

// Collects bytes as they arrive and hands out complete messages. After a malformed frame
// (wrong magic, a length beyond kMaxFrameBodySize, a body that does not parse exactly)
// it fails for good: the connection is not worth reading on.
class TFrameDecoder {
public:
    void Feed(const QByteArray& Bytes);
    // The next complete message, if any.
    bool Next(TPeerMessage& Message);
    bool Failed() const { return FFailed; }
    // Bytes held back waiting for the rest of a frame.
    qsizetype Pending() const { return FBuffer.size(); }

private:
    QByteArray FBuffer;
    bool FFailed = false;
};

// The line the diagnostic log gets for each palette broadcast: "Sender: %d, Destination:
// %d" for a request, "Sender: %d" for a change, "Sender: %d, PaletteIndex: %d" for a
// palette selection, "Sender: %d, Mode: %d" for a view mode; "" for other messages.
QString BroadcastLogText(const TPeerMessage& Message, quint64 Destination = 0);
