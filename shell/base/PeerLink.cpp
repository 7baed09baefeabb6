#include "shell/base/PeerLink.h"

#include "shell/base/Folders.h"
#include "shell/base/Logging.h"

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QRandomGenerator>
#include <QStandardPaths>

static constexpr int kSendTimeoutMs = 5000;

QString DefaultPeerFolder()
{
    QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty())
        runtime = QDir::tempPath();
    return IncludeTrailingSlash(runtime) + QStringLiteral("korvel4-peers/");
}

TPeerLink::TPeerLink(const QString& Folder)
    : FFolder(IncludeTrailingSlash(Folder))
    , FOutgoing(std::make_unique<QObject>())
{
    FServer.OnMessage = [this](const TPeerMessage& message) {
        if (OnMessage)
            OnMessage(message);
    };
}

TPeerLink::~TPeerLink()
{
    Close();
    // Give what is still queued a short chance to leave before the process goes.
    for (QLocalSocket* socket : FOutgoing->findChildren<QLocalSocket*>()) {
        if (socket->state() != QLocalSocket::UnconnectedState && socket->bytesToWrite() > 0)
            socket->waitForBytesWritten(500);
    }
}

QString TPeerLink::SocketPathOf(quint64 Handle) const
{
    return FFolder + QStringLiteral("%1.sock").arg(Handle, 16, 16, QLatin1Char('0'));
}

bool TPeerLink::Open()
{
    Close();
    QDir dir;
    if (!dir.mkpath(FFolder))
        return false;
    QFile::setPermissions(FFolder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    for (int attempt = 0; attempt < 8; ++attempt) {
        quint64 handle = 0;
        while (handle == 0)
            handle = QRandomGenerator::system()->generate64();
        // A live copy already using this handle is astronomically unlikely; a file of that
        // name would be a dead one's, which Listen replaces, so refuse to take a name that
        // exists at all.
        if (QFile::exists(SocketPathOf(handle)))
            continue;
        if (FServer.Listen(SocketPathOf(handle))) {
            FHandle = handle;
            qCDebug(lcKorvelPeers) << "registered as" << SocketPathOf(handle);
            return true;
        }
    }
    return false;
}

void TPeerLink::Close()
{
    FServer.Close();
    FHandle = 0;
}

QList<quint64> TPeerLink::Peers() const
{
    QList<quint64> handles;
    const QStringList files = QDir(FFolder).entryList({QStringLiteral("*.sock")}, QDir::System | QDir::Files);
    for (const QString& file : files) {
        const QString stem = file.chopped(5);
        bool ok = false;
        const quint64 handle = stem.toULongLong(&ok, 16);
        if (ok && stem.size() == 16 && handle != 0 && handle != FHandle)
            handles.append(handle);
    }
    return handles;
}

bool TPeerLink::Deliver(quint64 Handle, const TPeerMessage& Message)
{
    const QString path = SocketPathOf(Handle);
    const TSendResult result = SendMessageQueued(FOutgoing.get(), path, Message, kSendTimeoutMs);
    if (result == TSendResult::NoListener) {
        qCDebug(lcKorvelPeers) << "removing the socket of a copy that is gone:" << path;
        QFile::remove(path);
    }
    return result == TSendResult::Sent;
}

int TPeerLink::Broadcast(const TPeerMessage& Message)
{
    int sent = 0;
    const QList<quint64> peers = Peers();
    for (const quint64 handle : peers) {
        if (Deliver(handle, Message))
            ++sent;
    }
    qCDebug(lcKorvelPeers).noquote() << Message.Name << BroadcastLogText(Message) << "to" << sent << "copies";
    return sent;
}

bool TPeerLink::SendTo(quint64 Handle, const TPeerMessage& Message)
{
    if (Handle == 0)
        return false;
    return Deliver(Handle, Message);
}
