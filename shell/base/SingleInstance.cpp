#include "shell/base/SingleInstance.h"

#include "shell/base/Logging.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>

#include <unistd.h>

TInstanceNames InstanceNamesFor(const QString& ProgramFilePath, const QString& Folder)
{
    QString folder = Folder;
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    if (!folder.endsWith(u'/'))
        folder += u'/';

    QString canonical = QFileInfo(ProgramFilePath).canonicalFilePath();
    if (canonical.isEmpty())
        canonical = QFileInfo(ProgramFilePath).absoluteFilePath();
    const QByteArray key = canonical.toUtf8() + '\n' + QByteArray::number(static_cast<qulonglong>(::getuid()));
    const QString hash
        = QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(16));

    TInstanceNames names;
    names.SocketPath = folder + QStringLiteral("korvel4-") + hash + QStringLiteral(".sock");
    names.LockPath = folder + QStringLiteral("korvel4-") + hash + QStringLiteral(".lock");
    names.MessageName = ActivationMessageName(ProgramFilePath);
    return names;
}

TSingleInstance::TSingleInstance(const TInstanceNames& Names)
    : FNames(Names)
    , FLock(std::make_unique<QLockFile>(Names.LockPath))
{
    // Held for the whole run: only a dead owner's lock counts as stale, never an old one.
    FLock->setStaleLockTime(0);
    FServer.OnMessage = [this](const TPeerMessage& message) {
        if (message.Name != FNames.MessageName) {
            qCWarning(lcKorvelPeers) << "ignoring" << message.Name << "on the activation socket";
            return;
        }
        qCDebug(lcKorvelPeers) << "activated by a second start";
        if (OnActivate)
            OnActivate(QString::fromUtf8(message.Data));
    };
}

TSingleInstance::~TSingleInstance()
{
    FServer.Close();
    if (FLock->isLocked())
        FLock->unlock();
}

TInstanceRole TSingleInstance::Start(const QString& FileToOpen, int TimeoutMs)
{
    TPeerMessage message;
    message.Name = FNames.MessageName;
    if (!FileToOpen.isEmpty())
        message.Data = QFileInfo(FileToOpen).absoluteFilePath().toUtf8();

    QDir().mkpath(QFileInfo(FNames.LockPath).absolutePath());
    if (FLock->tryLock(0)) {
        // Any socket file there now is a dead copy's; Listen replaces it.
        FServer.Listen(FNames.SocketPath);
        return TInstanceRole::First;
    }
    if (FLock->error() != QLockFile::LockFailedError) {
        // A lock we cannot even create (an unwritable runtime folder) is no reason to
        // refuse to run. Without it only the socket tells whether a first copy listens,
        // and a live one's socket must not be taken over.
        qCWarning(lcKorvelPeers) << "cannot create" << FNames.LockPath << "- relying on the socket alone";
        if (SendMessageBlocking(FNames.SocketPath, message, TimeoutMs) == TSendResult::Sent)
            return TInstanceRole::Second;
        FServer.Listen(FNames.SocketPath);
        return TInstanceRole::First;
    }

    // The first copy may hold the lock and not listen yet: it is starting too.
    QDeadlineTimer deadline(TimeoutMs);
    for (;;) {
        const TSendResult result = SendMessageBlocking(
            FNames.SocketPath, message, static_cast<int>(qMax<qint64>(1, deadline.remainingTime())));
        if (result == TSendResult::Sent)
            return TInstanceRole::Second;
        if (result == TSendResult::Failed || deadline.hasExpired())
            break;
        QThread::msleep(20);
    }
    qCWarning(lcKorvelPeers) << "another copy holds" << FNames.LockPath << "but does not answer";
    return TInstanceRole::Unreachable;
}
