// The main window's tests run headless with a QApplication, every XDG folder inside one
// temporary folder set before QStandardPaths or QSettings is first asked.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir root;
    if (!root.isValid())
        return 2;
    const QString base = root.path();
    for (const char* name : {"config", "data", "runtime", "home"})
        QDir(base).mkpath(QString::fromLatin1(name));
    QFile::setPermissions(
        base + QStringLiteral("/runtime"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(base + QStringLiteral("/config")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(base + QStringLiteral("/data")));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(base + QStringLiteral("/runtime")));
    qputenv("HOME", QFile::encodeName(base + QStringLiteral("/home")));
    qunsetenv("XDG_DOCUMENTS_DIR");

    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
