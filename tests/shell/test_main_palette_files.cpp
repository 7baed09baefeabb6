// The File commands of the main window, driven through their actions with scripted dialogs:
// failed reads leave the document alone, Save As and Open round trips, Import appends,
// save-before-discarding, Reopen, Revert, and the autosave at exit and start.
#include "test_main_palette_util.h"

#include "shell/AdvSwatchGrid.h"
#include "shell/Commands.h"
#include "shell/PalettePanel.h"
#include "shell/base/AutoSave.h"
#include "shell/base/KorvelSettings.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMenu>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <cstdio>

namespace {

using C = TCommandId;

// A copy of this test program started with KORVEL_AUTOSAVE_WRITER set autosaves two large
// collections in turn into that folder until it is killed. It does so before main() runs,
// since the autosave writer needs neither the application object nor the tests.
const int kAutoSaveWriterRole = [] {
    const QByteArray folder = qgetenv("KORVEL_AUTOSAVE_WRITER");
    if (folder.isEmpty())
        return 0;
    TRichPaletteList a, b;
    FillPalettes(a, QStringLiteral("A"), 40, 250);
    FillPalettes(b, QStringLiteral("B"), 40, 250);
    for (int i = 0;; ++i) {
        if (!WriteAutoSave(i % 2 == 0 ? a : b, QString::fromLocal8Bit(folder)))
            std::_Exit(5);
        if (i == 1) {
            std::printf("writing\n");
            std::fflush(stdout);
        }
    }
}();

// The document's commands without a main window around them.
class TBareHost : public IPaletteHost {
public:
    TAdvSwatchGrid Grid;
    TKorvelSettings Settings;
    TUserPrompts Answers;
    TAdvSwatchGrid& PaletteGrid() override { return Grid; }
    TKorvelSettings& PaletteSettings() override { return Settings; }
    TUserPrompts& Prompts() override { return Answers; }
    bool Loading() const override { return false; }
    void UpdatePaletteStatus() override { }
    void SetPaletteViewMode(int) override { }
    void SetDocumentCaption(const QString&) override { }
    void NotifyPaletteChanged() override { }
    void ReportError(const QString& Message) override
    {
        std::fprintf(stderr, "%s\n", Message.toLocal8Bit().constData());
        std::_Exit(6);
    }
    QWidget* DialogParent() override { return nullptr; }
    void PrepareSwatchDialog(TfrmSwatchInfo&) override { }
    void CopySwatch(TColor) override { }
};

// Started with KORVEL_SAVE_WRITER set to a file name, a copy of this program saves two
// large documents into it in turn with the Save command's writer until it is killed.
const int kSaveWriterRole = [] {
    const QByteArray target = qgetenv("KORVEL_SAVE_WRITER");
    if (target.isEmpty())
        return 0;
    static int argc = 1;
    static char name[] = "save-writer";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TBareHost host;
    TPaletteCommands commands(host);
    TRichPaletteList a, b;
    FillPalettes(a, QStringLiteral("A"), 40, 250);
    FillPalettes(b, QStringLiteral("B"), 40, 250);
    for (int i = 0;; ++i) {
        host.Grid.PaletteList().Assign(i % 2 == 0 ? a : b);
        if (!commands.SavePaletteFile(QString::fromLocal8Bit(target), false))
            std::_Exit(5);
        if (i == 1) {
            std::printf("writing\n");
            std::fflush(stdout);
        }
    }
}();

class PaletteFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        ForgetEverything();
        ASSERT_TRUE(Dir.isValid());
    }
    QString Path(const QString& Name) const { return Dir.path() + QLatin1Char('/') + Name; }

    // A file of three palettes titled Tag.
    QString MakeFile(const QString& Name, const QString& Tag, int Palettes = 3, int Colors = 4)
    {
        TRichPaletteList list;
        FillPalettes(list, Tag, Palettes, Colors);
        list.SetItemIndex(0);
        EXPECT_TRUE(WriteCollectionFile(list, Path(Name)).Ok());
        return Path(Name);
    }

    static bool Run(TfrmMain& Window, TCommandId Id) { return Window.Commands()->Run(Id); }

    QTemporaryDir Dir;
    TScriptedPrompts Prompts;
};

TEST_F(PaletteFiles, AFailedReadLeavesTheDocumentAndItsChangedFlagAlone)
{
    TRichPaletteList good;
    FillPalettes(good, QStringLiteral("good"), 2, 6);
    const QByteArray goodBytes = CollectionFileBytes(good);
    QByteArray shortCs("\x03\x00\x05\x00\x00\x00\x00\x00", 8);
    struct Case {
        const char* Name;
        QByteArray Bytes;
        QString Message; // %1: the file's path
    };
    const Case cases[] = {
        {"garbage.kvfc", "this is not a palette collection", QStringLiteral("Unsupported file format")},
        {"cut.kvfc", goodBytes.left(goodBytes.size() / 2), QStringLiteral("Error during file read")},
        {"empty.xml",
            "<?xml version=\"1.0\"?><RichColorCollection FileFormat=\"3\"><Generator><Name>Korvel</Name></Generator>"
            "</RichColorCollection>",
            QStringLiteral("'%1' could not be read.\r\nNo color palettes found.")},
        {"broken.xml", "<RichColorCollection><RichPalette>",
            QStringLiteral("'%1' could not be read.\r\nNo color palettes found.")},
        {"none.kvf", "<KorvelFile></KorvelFile>", QStringLiteral("'%1' could not be read.")},
        {"v2.cs", QByteArray("\x02\x00\x01\x00", 4), QStringLiteral("Unsupported file format")},
        {"short.cs", shortCs, QStringLiteral("Error during file read")},
    };
    for (bool modified : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.Name) + (modified ? " modified" : ""));
            ForgetEverything();
            Prompts = {};
            auto window = StartWith(Prompts);
            FillPalettes(window->Document(), QStringLiteral("mine"), 2, 3);
            window->PaletteGrid().SetModified(modified);
            const QByteArray before = DocumentBytes(window->Document());
            const QString file = Path(QString::fromLatin1(c.Name));
            WriteBytes(file, c.Bytes);

            // Open (answering No to saving the changes first), then Import.
            Prompts.Answers = {QMessageBox::No};
            Prompts.Files = {file, file};
            ASSERT_TRUE(Run(*window, C::atnFileOpen));
            ASSERT_TRUE(Run(*window, C::atnFileImport));
            const QString message
                = QStringLiteral("message:") + (c.Message.contains(u"%1") ? c.Message.arg(file) : c.Message);
            EXPECT_EQ(Prompts.Log.count(message), 2) << Prompts.Log.join(QLatin1Char('|')).toStdString();
            EXPECT_EQ(DocumentBytes(window->Document()), before);
            EXPECT_EQ(window->PaletteGrid().Modified(), modified);
            EXPECT_TRUE(window->CurrentFileName().isEmpty());
            EXPECT_EQ(window->windowTitle(), QStringLiteral("Korvel"));
            EXPECT_EQ(window->Settings().RecentFiles.Count(), 0);
        }
    }
}

TEST_F(PaletteFiles, SaveAsThenOpenGivesTheSameDocumentAndMakesItTheDocumentsFile)
{
    auto window = StartWith(Prompts);
    TAdvSwatchGrid& grid = window->PaletteGrid();
    const QString startFolder = window->Settings().Folders.PaletteFolder;
    // Nothing changed yet: Save is off, Save As needs colours.
    EXPECT_FALSE(window->Commands()->Action(C::atnFileSave)->isEnabled());
    EXPECT_FALSE(window->Commands()->Action(C::atnFileSaveAs)->isEnabled());
    grid.AddColor(RGB(255, 0, 0), true);
    grid.AddColor(RGB(0, 0, 255), true);
    grid.CurrentPalette()->Colors(1)->SetCaption(QStringLiteral("Deep blue"));
    grid.CurrentPalette()->SetAuthor(QStringLiteral("Ann"));
    window->PaletteGrid().AddPalette(QStringLiteral("Second"), true)->Add()->SetColor(RGB(1, 2, 3));
    EXPECT_TRUE(window->Commands()->Action(C::atnFileSave)->isEnabled());
    const QByteArray saved = DocumentBytes(window->Document());

    // Save without a file asks for one.
    const QString file = Path(QStringLiteral("Meine Farben ü.kvfc"));
    Prompts.Files = {file};
    ASSERT_TRUE(Run(*window, C::atnFileSave));
    ASSERT_EQ(Prompts.Requests.size(), 1u);
    EXPECT_EQ(Prompts.Requests[0].Title, QStringLiteral("Save Palette Collection As"));
    EXPECT_EQ(Prompts.Requests[0].Filter,
        QStringLiteral("Korvel Files (*.kvfc)|*.kvfc|Xml Files (*.xml)|*.xml|All Files (*.*)|*.*"));
    EXPECT_EQ(Prompts.Requests[0].DefaultExt, QStringLiteral("kvfc"));
    EXPECT_EQ(Prompts.Requests[0].Folder, startFolder);
    ASSERT_TRUE(QFileInfo::exists(file));
    EXPECT_FALSE(grid.Modified());
    // Save As does not make the file the document's.
    EXPECT_TRUE(window->CurrentFileName().isEmpty());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Korvel"));

    ASSERT_TRUE(Run(*window, C::atnFileNew));
    ASSERT_EQ(window->Document().Count(), 1);
    EXPECT_EQ(window->Document().Items(0)->Title(), QStringLiteral("Palette 1"));
    EXPECT_EQ(grid.Count(), 0);

    Prompts.Files = {file};
    ASSERT_TRUE(Run(*window, C::atnFileOpen));
    ASSERT_EQ(Prompts.Requests.size(), 2u);
    EXPECT_EQ(Prompts.Requests[1].Title, QStringLiteral("Open"));
    EXPECT_EQ(Prompts.Requests[1].Filter, kOpenDialogFilter);
    EXPECT_TRUE(Prompts.Requests[1].FileName.isEmpty());
    EXPECT_EQ(DocumentBytes(window->Document()), saved);
    EXPECT_FALSE(grid.Modified());
    EXPECT_EQ(window->CurrentFileName(), file);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Korvel - ") + file);
    EXPECT_EQ(window->Settings().Folders.PaletteFolder, Dir.path() + QLatin1Char('/'));
    ASSERT_EQ(window->Settings().RecentFiles.Count(), 1);
    EXPECT_EQ(window->Settings().RecentFiles.Items(0), file);
    QMenu* reopen = window->Commands()->ReopenMenu();
    EXPECT_TRUE(reopen->isEnabled());
    ASSERT_EQ(reopen->actions().size(), 1);
    EXPECT_EQ(reopen->actions()[0]->text(), QStringLiteral("&1 ") + file);
    // No question was asked on the way.
    EXPECT_EQ(Prompts.Log.filter(QStringLiteral("message:")).size(), 0);
}

TEST_F(PaletteFiles, SavingWritesOnlyTheFormatsItKnows)
{
    auto window = StartWith(Prompts);
    TAdvSwatchGrid& grid = window->PaletteGrid();
    grid.AddColor(RGB(250, 10, 100), true);
    grid.AddPalette(QStringLiteral("Other"), true)->Add()->SetColor(RGB(9, 9, 9));

    // A name the writers do not know writes nothing, says so and keeps the changed flag.
    Prompts.Files = {Path(QStringLiteral("colours.txt"))};
    ASSERT_TRUE(Run(*window, C::atnFileSaveAs));
    EXPECT_FALSE(QFileInfo::exists(Path(QStringLiteral("colours.txt"))));
    EXPECT_TRUE(Prompts.Log.contains(QStringLiteral("message:Unsupported file format")));
    EXPECT_TRUE(grid.Modified());

    // The current palette alone, as XML: one palette in the file, the document still changed.
    Prompts.Files = {Path(QStringLiteral("one.xml"))};
    ASSERT_TRUE(Run(*window, C::atnFileSaveCurrentPalette));
    EXPECT_EQ(Prompts.Requests.back().Title, QStringLiteral("Save Current Palette As"));
    TRichPaletteList back;
    ASSERT_TRUE(ReadXmlCollection(back, Path(QStringLiteral("one.xml"))).Ok());
    ASSERT_EQ(back.Count(), 1);
    EXPECT_EQ(back.Items(0)->Title(), QStringLiteral("Other"));
    EXPECT_TRUE(grid.Modified());

    // The document's own file is written by Save without a dialog, and the flag clears.
    const QString file = MakeFile(QStringLiteral("doc.kvfc"), QStringLiteral("doc"));
    window->OpenPaletteFile(file, true, true);
    grid.AddColor(RGB(1, 1, 1), true);
    const size_t dialogs = Prompts.Requests.size();
    ASSERT_TRUE(Run(*window, C::atnFileSave));
    EXPECT_EQ(Prompts.Requests.size(), dialogs);
    EXPECT_FALSE(grid.Modified());
    // Auto captions go into the file as the document shows them.
    EXPECT_EQ(FileBytes(file), DocumentBytes(window->Document()));
    EXPECT_FALSE(QFileInfo::exists(Path(QStringLiteral("doc.bak"))));
}

TEST_F(PaletteFiles, ImportAppendsThePalettesAndTheLastBecomesCurrent)
{
    const QString file = MakeFile(QStringLiteral("three.kvfc"), QStringLiteral("imp"), 3, 2);
    auto window = StartWith(Prompts);
    window->PaletteGrid().AddColor(RGB(5, 5, 5), true);
    window->PaletteGrid().SetModified(false);
    Prompts.Files = {file};
    ASSERT_TRUE(Run(*window, C::atnFileImport));
    ASSERT_EQ(Prompts.Requests.size(), 1u);
    EXPECT_EQ(Prompts.Requests[0].Title, QStringLiteral("Import"));
    EXPECT_EQ(Prompts.Requests[0].Filter, kImportDialogFilter);

    TRichPaletteList& doc = window->Document();
    ASSERT_EQ(doc.Count(), 4);
    EXPECT_EQ(doc.Items(0)->Title(), QStringLiteral("Palette 1"));
    EXPECT_EQ(doc.Items(1)->Title(), QStringLiteral("imp"));
    EXPECT_EQ(doc.Items(3)->Title(), QStringLiteral("imp 3"));
    EXPECT_EQ(doc.ItemIndex(), 3);
    EXPECT_EQ(doc.Items(3)->Count(), 2);
    // The appended palettes are in no file of the document yet: it has changed, and it is
    // still the document it was (Save must not write it over the imported file).
    EXPECT_TRUE(window->PaletteGrid().Modified());
    EXPECT_TRUE(window->CurrentFileName().isEmpty());
    EXPECT_EQ(window->Settings().Folders.PaletteFolder, Dir.path() + QLatin1Char('/'));
    EXPECT_EQ(window->PalettePanel()->cbCurrentPalette->count(), 4);
}

TEST_F(PaletteFiles, SaveBeforeDiscardingAsksOnlyForChangedColoursAndCanStopTheCommand)
{
    const QString docFile = MakeFile(QStringLiteral("doc.kvfc"), QStringLiteral("doc"));
    struct Case {
        const char* Name;
        bool OwnFile; // the document was opened from docFile
        QMessageBox::StandardButton Answer;
        QString SaveAsFile; // "" cancels the dialog
        bool Discarded;
        bool FileWritten; // docFile or SaveAsFile now holds the changed document
    };
    const QString txt = Path(QStringLiteral("nope.txt"));
    const QString elsewhere = Path(QStringLiteral("elsewhere.kvfc"));
    const QString missing = Path(QStringLiteral("not-there/doc.kvfc"));
    const Case cases[] = {
        {"cancel", true, QMessageBox::Cancel, {}, false, false},
        {"no", true, QMessageBox::No, {}, true, false},
        {"yes with a file", true, QMessageBox::Yes, {}, true, true},
        {"yes untitled, dialog cancelled", false, QMessageBox::Yes, {}, false, false},
        {"yes untitled, saved", false, QMessageBox::Yes, elsewhere, true, true},
        {"yes untitled, a name nothing is written to", false, QMessageBox::Yes, txt, false, false},
        {"yes untitled, a folder that is not there", false, QMessageBox::Yes, missing, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        ForgetEverything();
        QFile::remove(elsewhere);
        MakeFile(QStringLiteral("doc.kvfc"), QStringLiteral("doc"));
        Prompts = {};
        auto window = StartWith(Prompts);
        if (c.OwnFile) {
            ASSERT_TRUE(window->OpenPaletteFile(docFile, true, true));
        }
        window->PaletteGrid().AddColor(RGB(7, 7, 7), true);
        const QByteArray changed = DocumentBytes(window->Document());
        Prompts.Answers = {c.Answer};
        if (!c.SaveAsFile.isEmpty())
            Prompts.Files = {c.SaveAsFile};
        ASSERT_TRUE(Run(*window, C::atnFileNew));
        EXPECT_EQ(Prompts.Log.first(), QStringLiteral("message:Palette has changed. Save?"));
        if (c.Discarded) {
            EXPECT_EQ(window->Document().Count(), 1);
            EXPECT_EQ(window->PaletteGrid().Count(), 0);
            EXPECT_TRUE(window->CurrentFileName().isEmpty());
            EXPECT_FALSE(window->PaletteGrid().Modified());
        } else {
            EXPECT_EQ(DocumentBytes(window->Document()), changed);
            EXPECT_TRUE(window->PaletteGrid().Modified());
            // A save that was tried and failed says so in a box, not only in the status bar.
            if (!c.SaveAsFile.isEmpty())
                EXPECT_TRUE(Prompts.Log.last().startsWith(QStringLiteral("message:")))
                    << Prompts.Log.join(u'|').toStdString();
        }
        const QString written = c.OwnFile ? docFile : c.SaveAsFile;
        if (c.FileWritten) {
            EXPECT_EQ(FileBytes(written), changed);
        }
        EXPECT_FALSE(QFileInfo::exists(txt));
    }

    // Unchanged colours are not asked about.
    {
        Prompts = {};
        auto window = StartWith(Prompts);
        ASSERT_TRUE(window->OpenPaletteFile(docFile, true, true));
        ASSERT_TRUE(Run(*window, C::atnFileNew));
        EXPECT_TRUE(Prompts.Log.isEmpty());
    }
    // Changed colours behind an empty current palette are asked about all the same.
    {
        Prompts = {};
        auto window = StartWith(Prompts);
        window->PaletteGrid().AddColor(RGB(1, 2, 3), true);
        window->PaletteGrid().AddPalette(QStringLiteral("empty"), true);
        Prompts.Answers = {QMessageBox::Cancel};
        ASSERT_TRUE(Run(*window, C::atnFileNew));
        EXPECT_EQ(Prompts.Log, QStringList({QStringLiteral("message:Palette has changed. Save?")}));
        EXPECT_EQ(window->Document().Count(), 2);
    }
}

TEST_F(PaletteFiles, ReopenAndRevert)
{
    const QString a = MakeFile(QStringLiteral("a.kvfc"), QStringLiteral("A"));
    const QString b = MakeFile(QStringLiteral("b.kvfc"), QStringLiteral("B"));
    auto window = StartWith(Prompts);
    TMainCommands& commands = *window->Commands();
    EXPECT_FALSE(commands.ReopenMenu()->isEnabled());
    ASSERT_TRUE(window->OpenPaletteFile(a, true, true));
    ASSERT_TRUE(window->OpenPaletteFile(b, true, true));
    ASSERT_EQ(commands.ReopenMenu()->actions().size(), 2);
    EXPECT_EQ(commands.ReopenMenu()->actions()[0]->text(), QStringLiteral("&1 ") + b);
    EXPECT_EQ(commands.ReopenMenu()->actions()[1]->text(), QStringLiteral("&2 ") + a);
    const QByteArray bBytes = DocumentBytes(window->Document());

    // The same file, unchanged: only a note.
    commands.ReopenMenu()->actions()[0]->trigger();
    EXPECT_EQ(Prompts.Log, QStringList({QStringLiteral("message:'%1' is already open.").arg(b)}));

    // The same file, changed: Cancel keeps the changes, OK goes back to the file.
    window->PaletteGrid().AddColor(RGB(1, 1, 1), true);
    EXPECT_TRUE(commands.Action(C::atnFileRevert)->isEnabled());
    const QString revertQuestion
        = QStringLiteral("message:'%1' is already open.\r\nDo you want to revert to the last saved version?").arg(b);
    Prompts.Log.clear();
    Prompts.Answers = {QMessageBox::Cancel};
    commands.ReopenMenu()->actions()[0]->trigger();
    EXPECT_EQ(Prompts.Log, QStringList({revertQuestion}));
    EXPECT_NE(DocumentBytes(window->Document()), bBytes);
    Prompts.Answers = {QMessageBox::Ok};
    commands.ReopenMenu()->actions()[0]->trigger();
    EXPECT_EQ(DocumentBytes(window->Document()), bBytes);
    EXPECT_FALSE(window->PaletteGrid().Modified());
    EXPECT_FALSE(commands.Action(C::atnFileRevert)->isEnabled());

    // Revert: Cancel keeps, OK reloads.
    window->PaletteGrid().AddColor(RGB(2, 2, 2), true);
    Prompts.Log.clear();
    Prompts.Answers = {QMessageBox::Cancel};
    ASSERT_TRUE(Run(*window, C::atnFileRevert));
    EXPECT_EQ(Prompts.Log,
        QStringList({QStringLiteral("message:Do you want to revert to the last saved version of this document?")}));
    EXPECT_TRUE(window->PaletteGrid().Modified());
    Prompts.Answers = {QMessageBox::Ok};
    ASSERT_TRUE(Run(*window, C::atnFileRevert));
    EXPECT_EQ(DocumentBytes(window->Document()), bBytes);

    // Another file of the list opens it; a file that went away is reported and nothing
    // else happens.
    commands.ReopenMenu()->actions()[1]->trigger();
    EXPECT_EQ(window->CurrentFileName(), a);
    EXPECT_EQ(commands.ReopenMenu()->actions()[0]->text(), QStringLiteral("&1 ") + a);
    const QByteArray aBytes = DocumentBytes(window->Document());
    QFile::remove(b);
    Prompts.Log.clear();
    commands.ReopenMenu()->actions()[1]->trigger();
    EXPECT_EQ(Prompts.Log, QStringList({QStringLiteral("message:'%1' notFound.").arg(b)}));
    EXPECT_EQ(DocumentBytes(window->Document()), aBytes);
    EXPECT_EQ(window->CurrentFileName(), a);
}

TEST_F(PaletteFiles, TheCommandLineFileOpensAfterTheAutosaveAndBecomesTheDocumentsFile)
{
    {
        auto window = StartWith(Prompts);
        window->PaletteGrid().AddColor(RGB(10, 20, 30), true);
    }
    // The autosave comes back without becoming the document's file.
    {
        auto window = StartWith(Prompts);
        ASSERT_EQ(window->PaletteGrid().Count(), 1);
        EXPECT_EQ(window->PaletteGrid().Swatch(0)->Color(), RGB(10, 20, 30));
        EXPECT_FALSE(window->PaletteGrid().Modified());
        EXPECT_TRUE(window->CurrentFileName().isEmpty());
        EXPECT_EQ(window->windowTitle(), QStringLiteral("Korvel"));
        EXPECT_EQ(window->Settings().RecentFiles.Count(), 0);
    }
    const QString file = MakeFile(QStringLiteral("cmd.kvfc"), QStringLiteral("cmd"));
    auto window = StartWith(Prompts, file);
    EXPECT_EQ(window->Document().Count(), 3);
    EXPECT_EQ(window->Document().Items(0)->Title(), QStringLiteral("cmd"));
    EXPECT_EQ(window->CurrentFileName(), file);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Korvel - ") + file);
    EXPECT_FALSE(window->PaletteGrid().Modified());
    EXPECT_TRUE(Prompts.Log.isEmpty());
}

// Whatever was left in the autosave folder by a run that died while writing, the next
// start opens a whole collection: the autosave when it is readable, else its backup.
TEST_F(PaletteFiles, AnInterruptedAutosaveStillReopensAReadableCollection)
{
    const QString folder = KorvelDataFolder();
    TRichPaletteList older, newer;
    FillPalettes(older, QStringLiteral("older"), 2, 3);
    FillPalettes(newer, QStringLiteral("newer"), 3, 3);
    const QByteArray newerBytes = CollectionFileBytes(newer);
    struct Case {
        const char* Name;
        std::function<void()> Leave;
        const char* Expected;
    };
    const Case cases[] = {
        // Killed while the temporary file was being written: the autosave is untouched.
        {"cut-off temporary file beside",
            [&] { WriteBytes(AutoSaveFilePath(folder) + QStringLiteral(".Xa1b2c"), newerBytes.left(100)); }, "newer"},
        // The autosave itself cut off (a file system that lost its tail): the backup.
        {"cut-off autosave", [&] { WriteBytes(AutoSaveFilePath(folder), newerBytes.left(newerBytes.size() / 3)); },
            "older"},
        {"autosave gone", [&] { QFile::remove(AutoSaveFilePath(folder)); }, "older"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        ForgetEverything();
        ASSERT_TRUE(WriteAutoSave(older, folder).Ok());
        ASSERT_TRUE(WriteAutoSave(newer, folder).Ok());
        c.Leave();
        auto window = StartWith(Prompts);
        EXPECT_EQ(window->Document().Items(0)->Title(), QString::fromLatin1(c.Expected));
        EXPECT_EQ(window->Document().Count(), c.Expected == std::string("newer") ? 3 : 2);
        EXPECT_TRUE(Prompts.Log.isEmpty());
    }

    // A writer really killed at some moment of its work.
    for (int round = 0; round < 4; ++round) {
        SCOPED_TRACE(round);
        ForgetEverything();
        QDir().mkpath(folder);
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("KORVEL_AUTOSAVE_WRITER"), folder);
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_list_tests")});
        ASSERT_TRUE(child.waitForStarted(5000));
        ASSERT_TRUE(child.waitForReadyRead(30000)) << "the writer never got going";
        QThread::msleep(5 + 11 * round);
        child.kill();
        child.waitForFinished(5000);
        auto window = StartWith(Prompts);
        const QString tag = window->Document().Items(0)->Title();
        EXPECT_TRUE(tag == u"A" || tag == u"B") << tag.toStdString();
        EXPECT_EQ(window->Document().Count(), 40);
        EXPECT_TRUE(Prompts.Log.isEmpty());
    }
}

// Save replaces a good file only by a whole one: killed at any moment, the file (or the
// backup kept while writing) holds one of the two documents, complete.
TEST_F(PaletteFiles, ASaveKilledWhileWritingLeavesAWholeFile)
{
    const QString target = Path(QStringLiteral("kept.kvfc"));
    for (int round = 0; round < 5; ++round) {
        SCOPED_TRACE(round);
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("KORVEL_SAVE_WRITER"), target);
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_list_tests")});
        ASSERT_TRUE(child.waitForStarted(5000));
        ASSERT_TRUE(child.waitForReadyRead(30000)) << "the writer never got going";
        QThread::msleep(3 + 13 * round);
        child.kill();
        child.waitForFinished(5000);
        for (const QString& file : {target, BackupFileName(target)}) {
            if (!QFileInfo::exists(file))
                continue;
            TRichPaletteList back;
            const TPaletteFileResult read = ReadCollectionFile(back, file);
            ASSERT_TRUE(read.Ok()) << file.toStdString() << ": " << read.Detail.toStdString();
            EXPECT_EQ(back.Count(), 40);
            const QString tag = back.Count() > 0 ? back.Items(0)->Title() : QString();
            EXPECT_TRUE(tag == u"A" || tag == u"B") << tag.toStdString();
        }
        ASSERT_TRUE(QFileInfo::exists(target));
    }
}

TEST_F(PaletteFiles, ExitKeepsThePreviousAutosaveAsTheBackup)
{
    for (TColor color : {RGB(1, 0, 0), RGB(2, 0, 0)}) {
        auto window = StartWith(Prompts);
        window->PaletteGrid().AddColor(color, true);
    }
    TRichPaletteList saved, backup;
    ASSERT_TRUE(ReadCollectionFile(saved, AutoSaveFilePath(KorvelDataFolder())).Ok());
    ASSERT_TRUE(ReadCollectionFile(backup, AutoSaveBackupFilePath(KorvelDataFolder())).Ok());
    ASSERT_EQ(saved.Current()->Count(), 2);
    EXPECT_EQ(saved.Current()->Colors(1)->Color(), RGB(2, 0, 0));
    ASSERT_EQ(backup.Current()->Count(), 1);
    EXPECT_EQ(backup.Current()->Colors(0)->Color(), RGB(1, 0, 0));
}

TEST(PaletteFileDialogs, FiltersInQtsFormKeepTheProgramsWording)
{
    EXPECT_EQ(
        QtFileFilter(kSaveDialogFilter), QStringLiteral("Korvel Files (*.kvfc);;Xml Files (*.xml);;All Files (*.*)"));
    EXPECT_EQ(QtFileFilter(kOpenDialogFilter),
        QStringLiteral("所有支持文件类型 (*.kvfc *.kvf *.cs *.xml);;Korvel 文件 (*.kvf);;Xml 文件 (*.xml);;"
                       "颜色方案文件(*.cs);;所有文件 (*.*)"));
}

} // namespace
