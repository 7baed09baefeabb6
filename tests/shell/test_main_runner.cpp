// The main window's tests run headless with a QApplication, every XDG folder inside one
// temporary folder set before QStandardPaths or QSettings is first asked.
#include "TemporaryUserFolders.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir root;
    if (!root.isValid())
        return 2;
    UseTemporaryUserFolders(root);

    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
