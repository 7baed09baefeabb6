#include "shell/base/MessageServer.h"

#include "shell/base/Logging.h"

#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

TMessageServer::TMessageServer() = default;

TMessageServer::~TMessageServer()
{
    Close();
}

bool TMessageServer::Listen(const QString& SocketPath)
{
    Close();
    FPath = SocketPath;
    FServer = std::make_unique<QLocalServer>();
    FServer->setSocketOptions(QLocalServer::UserAccessOption);
    QObject::connect(FServer.get(), &QLocalServer::newConnection, FServer.get(), [this] { Accept(); });
    if (FServer->listen(SocketPath)) {
        FError.clear();
        return true;
    }
    if (FServer->serverError() == QAbstractSocket::AddressInUseError) {
        // The file is there but nobody answers on it: a crashed copy's leftover.
        QLocalServer::removeServer(SocketPath);
        if (FServer->listen(SocketPath)) {
            FError.clear();
            return true;
        }
    }
    FError = FServer->errorString();
    qCWarning(lcKorvelPeers) << "cannot listen at" << SocketPath << ":" << FError;
    FServer.reset();
    return false;
}

void TMessageServer::Close()
{
    if (FServer) {
        // close() also removes the socket file.
        FServer->close();
        FServer.reset();
    }
}

bool TMessageServer::IsListening() const
{
    return FServer && FServer->isListening();
}

void TMessageServer::Accept()
{
    while (QLocalSocket* socket = FServer->nextPendingConnection()) {
        auto decoder = std::make_shared<TFrameDecoder>();
        QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket, decoder] {
            decoder->Feed(socket->readAll());
            TPeerMessage message;
            while (decoder->Next(message)) {
                if (OnMessage)
                    OnMessage(message);
            }
            if (decoder->Failed()) {
                qCWarning(lcKorvelPeers) << "dropping a connection that sent a malformed frame";
                socket->abort();
            }
        });
        QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // Data that came with the connection itself.
        if (socket->bytesAvailable() > 0)
            Q_EMIT socket->readyRead();
    }
}

static bool ConnectNow(QLocalSocket& Socket, const QString& SocketPath, int TimeoutMs, TSendResult& Failure)
{
    Socket.connectToServer(SocketPath);
    if (Socket.state() == QLocalSocket::ConnectedState || Socket.waitForConnected(TimeoutMs))
        return true;
    const QLocalSocket::LocalSocketError error = Socket.error();
    Failure = error == QLocalSocket::ConnectionRefusedError || error == QLocalSocket::ServerNotFoundError
        ? TSendResult::NoListener
        : TSendResult::Failed;
    return false;
}

TSendResult SendMessageBlocking(const QString& SocketPath, const TPeerMessage& Message, int TimeoutMs)
{
    QLocalSocket socket;
    TSendResult failure = TSendResult::Failed;
    if (!ConnectNow(socket, SocketPath, TimeoutMs, failure))
        return failure;
    const QByteArray frame = EncodeFrame(Message);
    if (socket.write(frame) != frame.size())
        return TSendResult::Failed;
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(TimeoutMs))
            return TSendResult::Failed;
    }
    // What the kernel holds reaches the receiver even after we are gone.
    socket.disconnectFromServer();
    return TSendResult::Sent;
}

TSendResult SendMessageQueued(QObject* Owner, const QString& SocketPath, const TPeerMessage& Message, int TimeoutMs)
{
    auto* socket = new QLocalSocket(Owner);
    TSendResult failure = TSendResult::Failed;
    // A local connect completes at once (or is refused at once); only a full backlog waits.
    if (!ConnectNow(*socket, SocketPath, TimeoutMs, failure)) {
        socket->deleteLater();
        return failure;
    }
    QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    QTimer::singleShot(TimeoutMs, socket, [socket] {
        qCWarning(lcKorvelPeers) << "giving up a message to" << socket->serverName();
        socket->abort();
        socket->deleteLater();
    });
    const QByteArray frame = EncodeFrame(Message);
    if (socket->write(frame) != frame.size()) {
        socket->abort();
        socket->deleteLater();
        return TSendResult::Failed;
    }
    // Closes once the buffer is written.
    socket->disconnectFromServer();
    return TSendResult::Sent;
}
