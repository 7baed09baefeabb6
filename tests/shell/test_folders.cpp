// Folders under the temporary XDG folders main.cpp sets up, the event log, the command line.
#include "ShellTestUtil.h"

#include "shell/base/CommandLine.h"
#include "shell/base/Folders.h"
#include "shell/base/Logging.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(Folders, InitialFoldersFollowTheXdgLocationsAndEndWithASlash)
{
    QTemporaryDir app;
    const QString appFolder = app.path() + QStringLiteral("/bin/");
    const TKorvelFolders f = InitialFolders(appFolder);
    const QString data = qEnvironmentVariable("XDG_DATA_HOME");
    EXPECT_EQ(f.AppFolder, appFolder);
    EXPECT_EQ(f.UserDataFolder, data + QStringLiteral("/Korvel4/"));
    EXPECT_EQ(f.AutoSaveFolder, f.UserDataFolder);
    EXPECT_EQ(f.PaletteFolder, f.UserDataFolder + QStringLiteral("Palettes/"));
    EXPECT_EQ(f.FormulaFolder, appFolder + QStringLiteral("Formulas/"));
    EXPECT_EQ(f.EventLogFileName, f.UserDataFolder + QStringLiteral("KV_EventLog.txt"));
    EXPECT_TRUE(f.ExportFolder.startsWith(qEnvironmentVariable("HOME"))) << f.ExportFolder.toStdString();
    for (const QString& folder : {f.AppFolder, f.ConfigFolder, f.PaletteFolder, f.FormulaFolder, f.ExportFolder,
             f.UserDataFolder, f.AutoSaveFolder})
        EXPECT_TRUE(folder.endsWith(u'/')) << folder.toStdString();
}

TEST(Folders, ConfigFolderIsTheFirstThatExists)
{
    QTemporaryDir root;
    const QString bin = root.path() + QStringLiteral("/bin/");
    QDir().mkpath(bin);
    // Neither: the folder beside the program, as named.
    EXPECT_EQ(FindConfigFolder(bin), bin + QStringLiteral("Configuration/"));
    // Installed layout.
    QDir().mkpath(root.path() + QStringLiteral("/share/korvel/Configuration"));
    EXPECT_EQ(FindConfigFolder(bin), root.path() + QStringLiteral("/share/korvel/Configuration/"));
    // Build layout wins when both exist.
    QDir().mkpath(bin + QStringLiteral("Configuration"));
    EXPECT_EQ(FindConfigFolder(bin), bin + QStringLiteral("Configuration/"));
}

TEST(Folders, UserDataFolderIsCreatedAndTheEventLogDeleted)
{
    TKorvelFolders f = InitialFolders(DefaultAppFolder());
    QDir(f.UserDataFolder).removeRecursively();
    ASSERT_TRUE(CreateUserDataFolder(f));
    EXPECT_TRUE(QFileInfo(f.UserDataFolder).isDir());

    EXPECT_TRUE(DeleteEventLog(f)); // none there
    QFile log(f.EventLogFileName);
    ASSERT_TRUE(log.open(QIODevice::WriteOnly));
    log.write("previous run\n");
    log.close();
    EXPECT_TRUE(DeleteEventLog(f));
    EXPECT_FALSE(QFileInfo::exists(f.EventLogFileName));
}

TEST(Folders, IncludeTrailingSlash)
{
    EXPECT_EQ(IncludeTrailingSlash(QStringLiteral("/a")), QStringLiteral("/a/"));
    EXPECT_EQ(IncludeTrailingSlash(QStringLiteral("/a/")), QStringLiteral("/a/"));
    EXPECT_EQ(IncludeTrailingSlash(QString()), QString());
}

TEST(CommandLine, FirstArgumentIsTheFileUnlessItIsASwitch)
{
    // Files that "exist" for these cases.
    const TFileExists exists = [](const QString& path) { return path == u"/palette.kvfc"; };
    struct Case {
        QStringList Args;
        const char* File;
        bool Debug;
    };
    const Case cases[] = {
        {{}, "", false},
        {{"colours.kvfc"}, "colours.kvfc", false},
        {{"/home/u/Paletten ä.kvfc"}, "/home/u/Paletten ä.kvfc", false},
        {{"/palette.kvfc"}, "/palette.kvfc", false}, // an existing file at the root
        {{"/Debug"}, "", true},
        {{"/debug", "a.kvfc"}, "", true}, // only the first argument can be the file
        {{"-Debug"}, "", true},
        {{"--debug"}, "", true},
        {{"--DEBUG"}, "", true},
        {{"a.kvfc", "-debug"}, "a.kvfc", true},
        {{"/Help"}, "", false}, // looks like a switch and no such file
        {{"-x.kvfc"}, "", false},
        {{""}, "", false},
        {{"-Debugger"}, "", false},
        {{"Debug"}, "Debug", false},
    };
    for (const Case& c : cases) {
        const TCommandLine line = ParseCommandLine(c.Args, exists);
        EXPECT_EQ(line.FileName, QString::fromUtf8(c.File)) << c.Args.join(u' ').toStdString();
        EXPECT_EQ(line.Debug, c.Debug) << c.Args.join(u' ').toStdString();
    }
}

TEST(CommandLine, ExistenceIsAskedOfTheFileSystemByDefault)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("x.kvfc"));
    QFile(file).open(QIODevice::WriteOnly);
    EXPECT_EQ(ParseCommandLine({file}).FileName, file);
    EXPECT_TRUE(IsSwitchArgument(QStringLiteral("/NoSuchThing")));
    EXPECT_FALSE(IsSwitchArgument(QStringLiteral("/tmp")));
}

} // namespace

namespace {

TEST(DiagnosticLog, TheDebugSwitchTurnsTheKorvelCategoriesOn)
{
    EnableDiagnosticLog(false);
    EXPECT_FALSE(lcKorvelShell().isDebugEnabled());
    EXPECT_FALSE(lcKorvelPeers().isInfoEnabled());
    EXPECT_TRUE(lcKorvelPeers().isWarningEnabled());
    EnableDiagnosticLog(ParseCommandLine({QStringLiteral("/DEBUG")}).Debug);
    EXPECT_TRUE(lcKorvelShell().isDebugEnabled());
    EXPECT_TRUE(lcKorvelPeers().isInfoEnabled());
    EnableDiagnosticLog(false);
    EXPECT_FALSE(lcKorvelShell().isDebugEnabled());
}

} // namespace
