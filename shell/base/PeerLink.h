#pragma once
// The link between running copies (copies started from different program files). Each
// copy listens on a socket of its own in a per-user folder; the socket's file name is the
// copy's handle in 16 hex digits, so the folder itself is the registry of running copies.
// A broadcast is one framed message to every other registered copy; a message "to window
// wParam" goes to the copy with that handle.
//
// A copy that crashed leaves its socket file behind; the first send that finds nobody
// listening there removes it.

#include "shell/base/MessageServer.h"

#include <QList>
#include <QObject>
#include <QString>

#include <memory>

// The registry folder: XDG_RUNTIME_DIR + "/korvel4-peers/".
QString DefaultPeerFolder();

class TPeerLink {
public:
    // Folder: the registry folder, created (private to the user) by Open.
    explicit TPeerLink(const QString& Folder = DefaultPeerFolder());
    ~TPeerLink();
    TPeerLink(const TPeerLink&) = delete;
    TPeerLink& operator=(const TPeerLink&) = delete;

    // Picks a fresh handle and starts listening; false when the socket cannot be opened
    // (the copy then runs on its own).
    bool Open();
    // Stops listening and leaves the registry.
    void Close();
    bool IsOpen() const { return FServer.IsListening(); }

    // This copy's handle: what it puts in WParam and what others address it by. 0 before Open.
    quint64 Handle() const { return FHandle; }
    QString Folder() const { return FFolder; }
    // Handles of the other registered copies (stale ones included until a send finds them).
    QList<quint64> Peers() const;

    // Sends Message to every other registered copy; returns how many took it.
    int Broadcast(const TPeerMessage& Message);
    // Sends Message to the copy with this handle.
    bool SendTo(quint64 Handle, const TPeerMessage& Message);

    // Every message that reaches this copy, on the event loop.
    TMessageHandler OnMessage;

private:
    QString SocketPathOf(quint64 Handle) const;
    bool Deliver(quint64 Handle, const TPeerMessage& Message);

    QString FFolder;
    quint64 FHandle = 0;
    TMessageServer FServer;
    // Parent of the sockets still writing.
    std::unique_ptr<QObject> FOutgoing;
};
