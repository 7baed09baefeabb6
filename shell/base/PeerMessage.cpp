#include "shell/base/PeerMessage.h"

#include <QDataStream>
#include <QFileInfo>
#include <QtEndian>

static constexpr char kMagic[4] = {'K', 'V', 'M', '1'};
static constexpr int kHeaderSize = 8;

QString ActivationMessageName(const QString& ProgramFilePath)
{
    return QStringLiteral("Msg_") + QFileInfo(ProgramFilePath).fileName();
}

QByteArray EncodeFrame(const TPeerMessage& Message)
{
    QByteArray body;
    {
        QDataStream out(&body, QIODevice::WriteOnly);
        out.setVersion(QDataStream::Qt_6_0);
        out << Message.Name << Message.WParam << Message.LParam << Message.Data;
    }
    QByteArray frame(kMagic, sizeof kMagic);
    char length[4];
    qToBigEndian<quint32>(static_cast<quint32>(body.size()), length);
    frame.append(length, 4);
    frame.append(body);
    return frame;
}

void TFrameDecoder::Feed(const QByteArray& Bytes)
{
    if (!FFailed)
        FBuffer.append(Bytes);
}

bool TFrameDecoder::Next(TPeerMessage& Message)
{
    if (FFailed || FBuffer.size() < kHeaderSize) {
        // A wrong magic is known as soon as its bytes are here.
        if (!FFailed && !FBuffer.isEmpty()
            && !QByteArray(kMagic, sizeof kMagic).startsWith(FBuffer.left(sizeof kMagic))) {
            FFailed = true;
            FBuffer.clear();
        }
        return false;
    }
    if (!FBuffer.startsWith(QByteArray(kMagic, sizeof kMagic))) {
        FFailed = true;
        FBuffer.clear();
        return false;
    }
    const quint32 length = qFromBigEndian<quint32>(FBuffer.constData() + 4);
    if (length > kMaxFrameBodySize) {
        FFailed = true;
        FBuffer.clear();
        return false;
    }
    if (FBuffer.size() - kHeaderSize < static_cast<qint64>(length))
        return false;

    const QByteArray body = FBuffer.mid(kHeaderSize, length);
    FBuffer.remove(0, kHeaderSize + length);
    QDataStream in(body);
    in.setVersion(QDataStream::Qt_6_0);
    TPeerMessage message;
    in >> message.Name >> message.WParam >> message.LParam >> message.Data;
    if (in.status() != QDataStream::Ok || !in.atEnd()) {
        FFailed = true;
        FBuffer.clear();
        return false;
    }
    Message = std::move(message);
    return true;
}

QString BroadcastLogText(const TPeerMessage& Message, quint64 Destination)
{
    if (Message.Name == QLatin1String(kMsgRequestPalette))
        return QStringLiteral("Sender: %1, Destination: %2").arg(Message.WParam).arg(Destination);
    if (Message.Name == QLatin1String(kMsgPaletteChanged))
        return QStringLiteral("Sender: %1").arg(Message.WParam);
    if (Message.Name == QLatin1String(kMsgSelectPalette))
        return QStringLiteral("Sender: %1, PaletteIndex: %2").arg(Message.WParam).arg(Message.LParam);
    if (Message.Name == QLatin1String(kMsgPaletteMode))
        return QStringLiteral("Sender: %1, Mode: %2").arg(Message.WParam).arg(Message.LParam);
    return QString();
}
