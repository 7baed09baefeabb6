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
    QDir().mkpath(QFileInfo(FNames.LockPath).absolutePath());
    if (FLock->tryLock(0) || FLock->error() != QLockFile::LockFailedError) {
        // First. (A lock we cannot even create, e.g. an unwritable runtime folder, is no
        // reason to refuse to run; the copy then runs without the single-instance rule.)
        if (!FLock->isLocked())
            qCWarning(lcKorvelPeers) << "cannot create" << FNames.LockPath
                                     << "- running without the single-instance lock";
        FServer.Listen(FNames.SocketPath);
        return TInstanceRole::First;
    }

    TPeerMessage message;
    message.Name = FNames.MessageName;
    if (!FileToOpen.isEmpty())
        message.Data = QFileInfo(FileToOpen).absoluteFilePath().toUtf8();
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
