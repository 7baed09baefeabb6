#include "ShellTestUtil.h"

#include "palette/RichColor.h"
#include "shell/base/AutoSave.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {

QString TagOf(const QString& FileName)
{
    TRichPaletteList list;
    return ReadCollectionFile(list, FileName) ? CollectionTag(list) : QStringLiteral("<unreadable>");
}

TEST(AutoSave, EachExitKeepsThePreviousAutosaveAsTheBackup)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + QStringLiteral("/auto save/");
    TRichPaletteList first, second, third;
    FillCollection(first, QStringLiteral("first"));
    FillCollection(second, QStringLiteral("second"));
    FillCollection(third, QStringLiteral("third"));

    ASSERT_TRUE(WriteAutoSave(first, folder));
    EXPECT_EQ(TagOf(AutoSaveFilePath(folder)), QStringLiteral("first"));
    EXPECT_FALSE(QFileInfo::exists(AutoSaveBackupFilePath(folder)));

    ASSERT_TRUE(WriteAutoSave(second, folder));
    ASSERT_TRUE(WriteAutoSave(third, folder));
    EXPECT_EQ(AutoSaveFilePath(folder), folder + QStringLiteral("Saved Palette.kvfc"));
    EXPECT_EQ(AutoSaveBackupFilePath(folder), folder + QStringLiteral("Backup of Saved Palette.kvfc"));
    EXPECT_EQ(TagOf(AutoSaveFilePath(folder)), QStringLiteral("third"));
    EXPECT_EQ(TagOf(AutoSaveBackupFilePath(folder)), QStringLiteral("second"));
    // Nothing else is left behind in the folder.
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 2);

    TRichPaletteList back;
    const TAutoSaveRead read = ReadAutoSave(back, folder);
    EXPECT_TRUE(read.Result.Ok());
    EXPECT_FALSE(read.FromBackup);
    EXPECT_EQ(CollectionTag(back), QStringLiteral("third"));
    EXPECT_EQ(back.Count(), third.Count());
}

TEST(AutoSave, StartFallsBackToTheBackupWhenTheAutosaveIsMissingOrBroken)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + u'/';
    TRichPaletteList older, newer;
    FillCollection(older, QStringLiteral("older"));
    FillCollection(newer, QStringLiteral("newer"));
    ASSERT_TRUE(WriteAutoSave(older, folder));
    ASSERT_TRUE(WriteAutoSave(newer, folder));

    struct Case {
        const char* Name;
        const char* AutosaveBytes; // nullptr: no autosave file
        const char* ExpectedTag;
        bool FromBackup;
    };
    const QByteArray good = [&] {
        QFile f(AutoSaveFilePath(folder));
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    const Case cases[] = {
        {"intact", "", "newer", false},
        {"missing", nullptr, "older", true},
        {"cut off", "cut", "older", true},
        {"not a collection", "garbage", "older", true},
    };
    for (const Case& c : cases) {
        QFile::remove(AutoSaveFilePath(folder));
        if (c.AutosaveBytes) {
            QFile f(AutoSaveFilePath(folder));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            const QByteArray kind(c.AutosaveBytes);
            f.write(kind.isEmpty()  ? good
                    : kind == "cut" ? good.left(good.size() / 2)
                                    : QByteArray("not a palette file"));
        }
        TRichPaletteList list;
        const TAutoSaveRead read = ReadAutoSave(list, folder);
        EXPECT_TRUE(read.Result.Ok()) << c.Name;
        EXPECT_EQ(read.FromBackup, c.FromBackup) << c.Name;
        EXPECT_EQ(CollectionTag(list), QString::fromLatin1(c.ExpectedTag)) << c.Name;
        EXPECT_EQ(
            AutoSaveFileToOpen(folder), c.AutosaveBytes ? AutoSaveFilePath(folder) : AutoSaveBackupFilePath(folder))
            << c.Name;
    }
}

TEST(AutoSave, NoFilesMeansNothingToReopen)
{
    QTemporaryDir dir;
    TRichPaletteList list;
    FillCollection(list, QStringLiteral("kept"), 1, 1);
    const TAutoSaveRead read = ReadAutoSave(list, dir.path());
    EXPECT_EQ(read.Result.Error, TPaletteFileError::FileNotFound);
    EXPECT_TRUE(read.FileName.isEmpty());
    EXPECT_EQ(list.Count(), 1);
    EXPECT_TRUE(AutoSaveFileToOpen(dir.path()).isEmpty());
}

// A process killed at any moment while autosaving leaves a readable collection: the one
// written last or the one before it.
TEST(AutoSave, KillingTheWriterLeavesAReadableCollection)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + u'/';
    for (int round = 0; round < 6; ++round) {
        QProcess child;
        StartChild(child, QStringLiteral("autosave-forever"), {folder});
        ASSERT_TRUE(child.waitForStarted(5000));
        ASSERT_TRUE(child.waitForReadyRead(20000)) << "the writer never got going";
        // Let it be somewhere inside a write.
        QThread::msleep(3 + 7 * round);
        child.kill();
        child.waitForFinished(5000);

        TRichPaletteList list;
        const TAutoSaveRead read = ReadAutoSave(list, folder);
        ASSERT_TRUE(read.Result.Ok()) << "round " << round << ": " << read.Result.Detail.toStdString();
        const QString tag = CollectionTag(list);
        EXPECT_TRUE(tag == u"A" || tag == u"B") << tag.toStdString();
        EXPECT_EQ(list.Count(), 40);
    }
}

} // namespace
