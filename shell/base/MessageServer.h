#pragma once
// One listening local socket that reads framed messages from whoever connects, and the
// sending side. Shared by the single-instance rule and the links between running copies.
// Runs on the thread's event loop; nothing blocks on a peer except the short connect.

#include "shell/base/PeerMessage.h"

#include <QString>

#include <functional>
#include <memory>

class QLocalServer;
class QLocalSocket;
class QObject;

using TMessageHandler = std::function<void(const TPeerMessage& Message)>;

class TMessageServer {
public:
    TMessageServer();
    ~TMessageServer();
    TMessageServer(const TMessageServer&) = delete;
    TMessageServer& operator=(const TMessageServer&) = delete;

    // Listens at SocketPath (a full path), readable and writable by this user only. A
    // socket file that nobody listens on any more (left by a copy that crashed) is
    // removed first: callers make sure no live owner can be there.
    bool Listen(const QString& SocketPath);
    void Close();
    bool IsListening() const;
    QString SocketPath() const { return FPath; }
    QString ErrorString() const { return FError; }

    // Called on the event loop for every complete message. A connection that sends a
    // malformed frame is dropped.
    TMessageHandler OnMessage;

private:
    void Accept();

    std::unique_ptr<QLocalServer> FServer;
    QString FPath;
    QString FError;
};

enum class TSendResult {
    Sent, // handed over completely (or queued on a connected socket, when not waiting)
    NoListener, // nobody listens there: the socket file is stale or missing
    Failed // connected, but the bytes could not be handed over in time
};

// Connects to SocketPath and hands Message over, waiting at most TimeoutMs. Used before
// the event loop runs (a second start) and wherever the caller must know the outcome.
TSendResult SendMessageBlocking(const QString& SocketPath, const TPeerMessage& Message, int TimeoutMs);

// Connects at once and leaves the writing to the event loop: the socket, parented to
// Owner, closes and frees itself once everything is written (or after TimeoutMs). Safe
// when the receiver runs on this same thread.
TSendResult SendMessageQueued(QObject* Owner, const QString& SocketPath, const TPeerMessage& Message, int TimeoutMs);
