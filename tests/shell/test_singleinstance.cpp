#include "ShellTestUtil.h"

#include "shell/base/SingleInstance.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// Runs the event loop until Done or the timeout.
bool SpinUntil(const std::function<bool()>& Done, int TimeoutMs = 5000)
{
    QDeadlineTimer deadline(TimeoutMs);
    while (!Done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return Done();
}

TInstanceNames NamesIn(const QTemporaryDir& Dir)
{
    return InstanceNamesFor(QStringLiteral("/opt/korvel/bin/korvel"), Dir.path());
}

// A socket file nobody listens on, as a crashed process leaves it.
void LeaveStaleSocket(const QString& Path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    const QByteArray path = QFile::encodeName(Path);
    ASSERT_LT(static_cast<size_t>(path.size()), sizeof address.sun_path);
    std::memcpy(address.sun_path, path.constData(), path.size());
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
    ASSERT_TRUE(QFileInfo::exists(Path));
}

TEST(SingleInstance, NamesDependOnTheProgramPathAndEndUpInTheRuntimeFolder)
{
    const TInstanceNames a = InstanceNamesFor(QStringLiteral("/opt/korvel/bin/korvel"));
    const TInstanceNames again = InstanceNamesFor(QStringLiteral("/opt/korvel/bin/../bin/korvel"));
    const TInstanceNames other = InstanceNamesFor(QStringLiteral("/home/u/korvel-4.1/korvel"));
    EXPECT_EQ(a.SocketPath, again.SocketPath);
    EXPECT_NE(a.SocketPath, other.SocketPath);
    EXPECT_NE(a.LockPath, a.SocketPath);
    EXPECT_TRUE(a.SocketPath.startsWith(qEnvironmentVariable("XDG_RUNTIME_DIR") + u'/')) << a.SocketPath.toStdString();
    EXPECT_EQ(a.MessageName, QStringLiteral("Msg_korvel"));
}

TEST(SingleInstance, ASecondStartIsRefusedAndTheFirstHearsOfIt)
{
    QTemporaryDir dir;
    TSingleInstance first(NamesIn(dir));
    QStringList activations;
    first.OnActivate = [&](const QString& file) { activations << file; };
    ASSERT_EQ(first.Start(), TInstanceRole::First);
    EXPECT_TRUE(first.IsListening());

    {
        TSingleInstance second(NamesIn(dir));
        EXPECT_EQ(second.Start(QStringLiteral("some folder/Farben ä.kvfc")), TInstanceRole::Second);
        EXPECT_FALSE(second.IsListening());
    }
    {
        TSingleInstance third(NamesIn(dir));
        EXPECT_EQ(third.Start(), TInstanceRole::Second);
    }
    ASSERT_TRUE(SpinUntil([&] { return activations.size() == 2; }));
    // The file travels as an absolute path: the first copy runs in another folder.
    EXPECT_EQ(activations[0], QDir::current().absoluteFilePath(QStringLiteral("some folder/Farben ä.kvfc")));
    EXPECT_EQ(activations[1], QString());
    EXPECT_TRUE(first.IsListening());
}

TEST(SingleInstance, ASecondProcessActivatesTheFirstAndEnds)
{
    QTemporaryDir dir;
    const TInstanceNames names = NamesIn(dir);
    TSingleInstance first(names);
    QString activatedWith = QStringLiteral("<none>");
    first.OnActivate = [&](const QString& file) { activatedWith = file; };
    ASSERT_EQ(first.Start(), TInstanceRole::First);

    QProcess child;
    StartChild(
        child, QStringLiteral("second-start"), {names.LockPath, names.SocketPath, names.MessageName, "/p/x.kvfc"});
    // The child blocks only on its own connect, so the event loop can run meanwhile.
    ASSERT_TRUE(SpinUntil([&] { return child.state() == QProcess::NotRunning; }, 15000));
    EXPECT_EQ(child.exitCode(), 10 + static_cast<int>(TInstanceRole::Second));
    ASSERT_TRUE(SpinUntil([&] { return activatedWith != u"<none>"; }));
    EXPECT_EQ(activatedWith, QStringLiteral("/p/x.kvfc"));
}

TEST(SingleInstance, TheFirstProcessIsActivatedByASecondStartHere)
{
    QTemporaryDir dir;
    const TInstanceNames names = NamesIn(dir);
    QProcess child;
    StartChild(child, QStringLiteral("first-and-wait"), {names.LockPath, names.SocketPath, names.MessageName});
    ASSERT_TRUE(child.waitForReadyRead(15000));
    ASSERT_EQ(child.readLine().trimmed(), QByteArray("first"));

    TSingleInstance second(names);
    EXPECT_EQ(second.Start(QStringLiteral("/p/y.kvfc")), TInstanceRole::Second);
    ASSERT_TRUE(child.waitForFinished(15000));
    EXPECT_EQ(child.exitCode(), 0);
    EXPECT_EQ(child.readAll().trimmed(), QByteArray("activated:/p/y.kvfc"));
}

TEST(SingleInstance, AStaleSocketIsReplaced)
{
    QTemporaryDir dir;
    const TInstanceNames names = NamesIn(dir);
    LeaveStaleSocket(names.SocketPath);
    TSingleInstance first(names);
    int activations = 0;
    first.OnActivate = [&](const QString&) { ++activations; };
    ASSERT_EQ(first.Start(), TInstanceRole::First);
    EXPECT_TRUE(first.IsListening());

    TSingleInstance second(names);
    EXPECT_EQ(second.Start(), TInstanceRole::Second);
    EXPECT_TRUE(SpinUntil([&] { return activations == 1; }));
}

TEST(SingleInstance, ACrashedFirstCopyLeavesNothingThatBlocksTheNext)
{
    QTemporaryDir dir;
    const TInstanceNames names = NamesIn(dir);
    QProcess child;
    StartChild(child, QStringLiteral("crash-while-first"), {names.LockPath, names.SocketPath, names.MessageName});
    ASSERT_TRUE(child.waitForFinished(15000));
    ASSERT_EQ(child.readAll().trimmed(), QByteArray("first"));
    // Both the lock file and the socket file are left behind.
    ASSERT_TRUE(QFileInfo::exists(names.LockPath));
    ASSERT_TRUE(QFileInfo::exists(names.SocketPath));

    TSingleInstance next(names);
    int activations = 0;
    next.OnActivate = [&](const QString&) { ++activations; };
    ASSERT_EQ(next.Start(), TInstanceRole::First);
    EXPECT_TRUE(next.IsListening());
    TSingleInstance second(names);
    EXPECT_EQ(second.Start(), TInstanceRole::Second);
    EXPECT_TRUE(SpinUntil([&] { return activations == 1; }));
}

TEST(SingleInstance, AFirstCopyThatNeverListensIsReportedUnreachable)
{
    QTemporaryDir dir;
    const TInstanceNames names = NamesIn(dir);
    // Holds the lock the way a hung first copy would, without a socket.
    QLockFile hung(names.LockPath);
    ASSERT_TRUE(hung.tryLock(0));
    TSingleInstance second(names);
    EXPECT_EQ(second.Start(QString(), 300), TInstanceRole::Unreachable);
}

TEST(SingleInstance, OnlyTheActivationMessageActivates)
{
    QTemporaryDir dir;
    const TInstanceNames names = NamesIn(dir);
    TSingleInstance first(names);
    int activations = 0;
    first.OnActivate = [&](const QString&) { ++activations; };
    ASSERT_EQ(first.Start(), TInstanceRole::First);
    TPeerMessage foreign;
    foreign.Name = QStringLiteral("Msg_other");
    ASSERT_EQ(SendMessageBlocking(names.SocketPath, foreign, 1000), TSendResult::Sent);
    // A broken frame on another connection is dropped without harm.
    {
        QLocalSocket socket;
        socket.connectToServer(names.SocketPath);
        ASSERT_TRUE(socket.waitForConnected(1000));
        socket.write("this is not a frame");
        socket.waitForBytesWritten(1000);
    }
    TPeerMessage real;
    real.Name = names.MessageName;
    ASSERT_EQ(SendMessageBlocking(names.SocketPath, real, 1000), TSendResult::Sent);
    ASSERT_TRUE(SpinUntil([&] { return activations == 1; }));
    QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
    EXPECT_EQ(activations, 1);
}

} // namespace

namespace {

TEST(SingleInstance, WithoutALockTheSocketStillKeepsASecondCopyOut)
{
    QTemporaryDir dir;
    TInstanceNames names = NamesIn(dir);
    // A lock file inside a plain file can never be created.
    QFile blocker(dir.filePath(QStringLiteral("not a folder")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    names.LockPath = blocker.fileName() + QStringLiteral("/korvel.lock");

    TSingleInstance first(names);
    int activations = 0;
    first.OnActivate = [&](const QString&) { ++activations; };
    ASSERT_EQ(first.Start(), TInstanceRole::First);
    ASSERT_TRUE(first.IsListening());
    TSingleInstance second(names);
    EXPECT_EQ(second.Start(), TInstanceRole::Second);
    EXPECT_TRUE(SpinUntil([&] { return activations == 1; }));
    EXPECT_TRUE(first.IsListening());
}

} // namespace
