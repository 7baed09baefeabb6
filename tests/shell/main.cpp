// The shell tests run with a QCoreApplication (local sockets need its event loop) and with
// every XDG folder inside one temporary folder, set before QStandardPaths or QSettings is
// first asked. The same binary doubles as the helper process some tests start: with
// KORVEL_SHELL_CHILD set it plays that part instead of running tests.
#include "ShellTestUtil.h"
#include "TemporaryUserFolders.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsSet("KORVEL_SHELL_CHILD")) {
        QCoreApplication app(argc, argv);
        return RunChildRole(QString::fromLocal8Bit(qgetenv("KORVEL_SHELL_CHILD")), app.arguments().mid(1));
    }

    QTemporaryDir root;
    if (!root.isValid())
        return 2;
    UseTemporaryUserFolders(root);

    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
