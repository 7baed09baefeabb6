#pragma once
// One running copy per program file. The first start holds a lock file and listens on a
// local socket, both named after a hash of the program's canonical path and the user; a
// later start of the same program file finds the lock taken, hands the first copy an
// activation message (with the palette file named on its command line, if any) and ends
// without a window.
//
// The lock file decides who is first, so two starts at the same moment cannot both win,
// and a socket file left by a crashed first copy is replaced without asking anyone: the
// lock of a dead process counts as free.

#include "shell/base/MessageServer.h"

#include <QString>

#include <functional>
#include <memory>

class QLockFile;

struct TInstanceNames {
    QString SocketPath;
    QString LockPath;
    // "Msg_" + the program's file name.
    QString MessageName;
};

// The names for this program file and user, in Folder (default: the user's runtime
// folder, XDG_RUNTIME_DIR).
TInstanceNames InstanceNamesFor(const QString& ProgramFilePath, const QString& Folder = QString());

enum class TInstanceRole {
    First, // this copy runs; activations arrive through OnActivate
    Second, // another copy runs and has been told; end now
    Unreachable // another copy holds the lock but could not be told; end now as well
};

class TSingleInstance {
public:
    explicit TSingleInstance(const TInstanceNames& Names);
    ~TSingleInstance();
    TSingleInstance(const TSingleInstance&) = delete;
    TSingleInstance& operator=(const TSingleInstance&) = delete;

    // Decides this copy's role. FileToOpen (made absolute here, since the first copy runs
    // in another folder) travels with the activation message of a second copy.
    // TimeoutMs bounds the wait for a first copy that holds the lock but is not listening
    // yet.
    TInstanceRole Start(const QString& FileToOpen = QString(), int TimeoutMs = 3000);
    // Whether this copy listens for activations (false also when the socket could not be
    // opened: the copy still runs, it just cannot be activated).
    bool IsListening() const { return FServer.IsListening(); }
    const TInstanceNames& Names() const { return FNames; }

    // In the first copy: a second start asked to be activated; FileName is the palette
    // file it was given, or "".
    std::function<void(const QString& FileName)> OnActivate;

private:
    TInstanceNames FNames;
    std::unique_ptr<QLockFile> FLock;
    TMessageServer FServer;
};
