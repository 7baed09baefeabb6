#include "palette/PaletteFiles.h"
#include "palette/RichColor.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace {

QString U(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

QString DataPath(const char* name)
{
    return QString::fromUtf8(KORVEL_TEST_DATA_DIR "/palettes/") + U(name);
}

// Little-endian pieces of the binary formats, for files built by hand.
QByteArray I32(qint32 v)
{
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[i] = static_cast<char>((static_cast<quint32>(v) >> (8 * i)) & 0xFF);
    return b;
}
QByteArray I16(quint16 v)
{
    return QByteArray(1, static_cast<char>(v & 0xFF)) + QByteArray(1, static_cast<char>(v >> 8));
}
QByteArray S32(const QByteArray& text)
{
    return I32(static_cast<qint32>(text.size())) + text;
}
QByteArray S32(const char* utf8)
{
    return S32(QByteArray(utf8));
}

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

bool WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// A collection that is already the document: every failed read must leave it as it is.
struct TTarget {
    TRichPaletteList list;
    int changes = 0;
    TTarget()
    {
        list.OnChange = [this](TObject*) { ++changes; };
        TRichPalette* p = list.Add("Existing", true);
        p->SetAuthor("Someone");
        p->Add()->SetColor(0x123456);
        p->Add()->SetCaption("Kept");
        changes = 0;
    }
    QByteArray Snapshot() const { return CollectionStreamBytes(list); }
};

// A small collection touching every field of the binary format.
void FillSample(TRichPaletteList& list)
{
    TRichPalette* p = list.Add(U("Grün"), true);
    p->SetDescription("Desc");
    p->SetURL("u");
    p->SetAuthor("Me");
    p->SetKeywords("k1 k2");
    p->SetDisplayMode(2);
    p->Add()->SetColor(0x0000FF); // auto caption
    TRichColor* s = p->Add();
    s->SetColor(0x00804020);
    s->SetCaption(U("中"));
    s->SetCssClass("accent");
    s->SetDescription("note");
    list.Add("", false);
    list.SetItemIndex(0);
}

QByteArray SampleFormat200Body()
{
    return I32(0) + I32(2) // current index, palettes
        + S32("Gr\xc3\xbcn") + S32("Desc") + S32("u") + S32("Me") + S32("k1 k2") + I32(2) + I32(2) + I32(1)
        + I32(0x0000FF) + S32("R:255 G:0 B:0") + S32("") + S32("") // auto-captioned red
        + I32(0) + I32(0x00804020) + S32("\xe4\xb8\xad") + S32("accent") + S32("note") + S32("") + S32("") + S32("")
        + S32("") + S32("") + I32(0) + I32(0); // empty second palette
}

} // namespace

// ---------------------------------------------------------------------------------
// Binary collection file

TEST(CollectionFile, WritesFormat200Exactly)
{
    TRichPaletteList list;
    FillSample(list);
    const QByteArray header("\x06\x00\x00\x00Korvel\xc8\x00\x00\x00", 14);
    EXPECT_EQ(CollectionFileBytes(list), header + SampleFormat200Body());
    // The stream between running copies is the same without the signature.
    EXPECT_EQ(CollectionStreamBytes(list), I32(200) + SampleFormat200Body());
    EXPECT_TRUE(CollectionFileBytes(list, 300).isEmpty());

    QTemporaryDir dir;
    const QString path = dir.filePath(U("Sammlung-中.kvfc"));
    ASSERT_TRUE(WriteCollectionFile(list, path));
    EXPECT_EQ(ReadAll(path), header + SampleFormat200Body());
    EXPECT_FALSE(QFile::exists(dir.filePath(U("Sammlung-中.bak"))));
}

TEST(CollectionFile, ReadsFormat100Fixture)
{
    TRichPaletteList list;
    const TPaletteFileResult r = ReadCollectionFile(list, DataPath("Ältere Sammlung-100.kvfc"));
    ASSERT_TRUE(r) << r.Detail.toStdString();
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.ItemIndex(), 1);
    const TRichPalette* a = list.Items(0);
    EXPECT_EQ(a->Title(), "Basics");
    EXPECT_EQ(a->Description(), "Old file"); // stored trimmed
    EXPECT_EQ(a->URL(), "http://example.com/");
    EXPECT_EQ(a->Author(), "");
    EXPECT_EQ(a->DisplayMode(), 1);
    ASSERT_EQ(a->Count(), 2);
    EXPECT_EQ(a->Colors(0)->Color(), 0x0000FFu);
    EXPECT_EQ(a->Colors(0)->Caption(), "Rot");
    EXPECT_FALSE(a->Colors(0)->AutoCaption());
    EXPECT_EQ(a->Colors(0)->CssClass(), "red");
    EXPECT_EQ(a->Colors(0)->Description(), "first");
    // An empty caption leaves the swatch auto-captioned.
    EXPECT_EQ(a->Colors(1)->Color(), 0x00EEFFC0u);
    EXPECT_TRUE(a->Colors(1)->AutoCaption());
    EXPECT_EQ(a->Colors(1)->Caption(), "R:192 G:255 B:238");
    // Windows-1252 bytes from an old file and UTF-8 both come back as the characters.
    const TRichPalette* b = list.Items(1);
    EXPECT_EQ(b->Title(), U("Grün"));
    EXPECT_EQ(b->Colors(0)->Caption(), U("Café 中"));
    EXPECT_EQ(b->Colors(0)->Description(), U("Bläulich"));
}

TEST(CollectionFile, RoundTripKeepsEveryStoredField)
{
    for (int format : {200, 100}) {
        TRichPaletteList list;
        FillSample(list);
        list.Items(1)->SetTitle(U("第二 <&> \"x\""));
        list.Items(1)->Add()->SetCaption(U("  padded  "));
        list.SetItemIndex(1);
        QTemporaryDir dir;
        const QString path = dir.filePath(U("Größe.kvfc"));
        ASSERT_TRUE(WriteCollectionFile(list, path, format));

        TRichPaletteList back;
        ASSERT_TRUE(ReadCollectionFile(back, path)) << format;
        ASSERT_EQ(back.Count(), 2);
        EXPECT_EQ(back.ItemIndex(), 1);
        for (int p = 0; p < 2; ++p) {
            const TRichPalette* x = list.Items(p);
            const TRichPalette* y = back.Items(p);
            EXPECT_EQ(y->Title(), x->Title());
            EXPECT_EQ(y->Description(), x->Description());
            EXPECT_EQ(y->URL(), x->URL());
            EXPECT_EQ(y->Author(), format == 200 ? x->Author() : QString());
            EXPECT_EQ(y->Keywords(), format == 200 ? x->Keywords() : QString());
            EXPECT_EQ(y->DisplayMode(), x->DisplayMode());
            ASSERT_EQ(y->Count(), x->Count());
            for (int s = 0; s < x->Count(); ++s) {
                EXPECT_EQ(y->Colors(s)->Color(), x->Colors(s)->Color());
                EXPECT_EQ(y->Colors(s)->Caption(), x->Colors(s)->Caption()) << format;
                EXPECT_EQ(y->Colors(s)->CssClass(), x->Colors(s)->CssClass());
                EXPECT_EQ(y->Colors(s)->Description(), x->Colors(s)->Description());
            }
        }
        // Only format 200 keeps the auto-caption flag; format 100 freezes the text.
        EXPECT_EQ(back.Items(0)->Colors(0)->AutoCaption(), format == 200);
        EXPECT_FALSE(back.Items(0)->Colors(1)->AutoCaption());
    }
}

TEST(CollectionFile, AutoCaptionedSwatchFollowsCurrentFormatNotStoredText)
{
    const QByteArray file = S32("Korvel") + I32(200) + I32(0) + I32(1) + S32("P") + S32("") + S32("") + S32("")
        + S32("") + I32(0) + I32(2) //
        + I32(1) + I32(0x00FF00) + S32("stale text") + S32("") + S32("") //
        + I32(0) + I32(0x00FF00) + S32("Fixed") + S32("") + S32("");
    TRichPaletteList list;
    ASSERT_TRUE(ReadCollectionData(list, file));
    const TRichColor* autoSwatch = list.Items(0)->Colors(0);
    EXPECT_TRUE(autoSwatch->AutoCaption());
    EXPECT_EQ(autoSwatch->StoredCaption(), "");
    EXPECT_EQ(autoSwatch->Caption(), "R:0 G:255 B:0");
    list.SetOnAutoCaption([](TObject*, QString& caption) { caption = "green!"; });
    EXPECT_EQ(autoSwatch->Caption(), "green!");
    EXPECT_EQ(list.Items(0)->Colors(1)->Caption(), "Fixed");
}

TEST(CollectionFile, BadInputFailsAndLeavesTargetUnchanged)
{
    TRichPaletteList sample;
    FillSample(sample);
    const QByteArray good = CollectionFileBytes(sample);
    const QByteArray head = S32("Korvel") + I32(200) + I32(0);
    struct Case {
        std::string label;
        QByteArray bytes;
        TPaletteFileError error;
        const char* message;
    };
    std::vector<Case> cases = {
        {"empty", QByteArray(), TPaletteFileError::UnsupportedFormat, "Unsupported file format"},
        {"garbage", QByteArray("\x89PNG\r\n\x1a\n garbage"), TPaletteFileError::UnsupportedFormat,
            "Unsupported file format"},
        {"other signature", S32("Korvex") + I32(200), TPaletteFileError::UnsupportedFormat, "Unsupported file format"},
        {"signature length past end", I32(0x7FFFFFFF) + "Korvel", TPaletteFileError::UnsupportedFormat,
            "Unsupported file format"},
        {"unknown format", S32("Korvel") + I32(150) + SampleFormat200Body(), TPaletteFileError::UnknownFormat, ""},
        {"huge palette count", head + I32(0x7FFFFFFF) + S32("x"), TPaletteFileError::Truncated,
            "Error during file read"},
        {"huge swatch count", head + I32(1) + S32("") + S32("") + S32("") + S32("") + S32("") + I32(0) + I32(50000000),
            TPaletteFileError::Truncated, "Error during file read"},
        {"huge string length", head + I32(1) + I32(0x7FFFFFF0) + "abc", TPaletteFileError::Truncated,
            "Error during file read"},
    };
    // Cut the good file at every byte after the signature: every field ends short once.
    for (qsizetype n = 10; n < good.size(); ++n)
        cases.push_back({"truncated at " + std::to_string(n), good.left(n), TPaletteFileError::Truncated,
            "Error during file read"});

    for (const Case& c : cases) {
        TTarget target;
        const QByteArray before = target.Snapshot();
        const TPaletteFileResult r = ReadCollectionData(target.list, c.bytes);
        EXPECT_FALSE(r) << c.label;
        EXPECT_EQ(r.Error, c.error) << c.label;
        EXPECT_EQ(r.Message, U(c.message)) << c.label;
        EXPECT_EQ(target.Snapshot(), before) << c.label;
        EXPECT_EQ(target.changes, 0) << c.label;
    }
}

TEST(CollectionFile, MissingAndUnreadableFiles)
{
    QTemporaryDir dir;
    TTarget target;
    const QByteArray before = target.Snapshot();
    TPaletteFileResult r = ReadCollectionFile(target.list, dir.filePath("missing.kvfc"));
    EXPECT_EQ(r.Error, TPaletteFileError::FileNotFound);
    EXPECT_TRUE(r.Message.isEmpty());
    r = ReadCollectionFile(target.list, dir.path());
    EXPECT_EQ(r.Error, TPaletteFileError::Unreadable);
    // Larger than any palette document: refused before it is parsed (sparse, so cheap).
    QFile huge(dir.filePath("huge.kvfc"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    huge.write(S32("Korvel") + I32(200));
    ASSERT_TRUE(huge.resize(kMaxPaletteFileSize + 1));
    huge.close();
    r = ReadCollectionFile(target.list, huge.fileName());
    EXPECT_EQ(r.Error, TPaletteFileError::Unreadable);
    EXPECT_EQ(r.Message, "Error during file read");
    EXPECT_EQ(target.Snapshot(), before);
}

TEST(CollectionFile, PaletteCountAndCurrentIndex)
{
    auto file = [](qint32 index, int palettes) {
        QByteArray b = S32("Korvel") + I32(200) + I32(index) + I32(palettes);
        for (int i = 0; i < palettes; ++i)
            b += S32(QByteArray("P") + QByteArray::number(i)) + S32("") + S32("") + S32("") + S32("") + I32(0) + I32(0);
        return b;
    };
    struct Case {
        qint32 storedIndex;
        int palettes;
        int expectedIndex;
        const char* currentTitle;
    };
    const Case cases[] = {
        {1, 3, 1, "P1"},
        {-1, 3, 2, "P2"}, // no stored current palette: the last one read stays current
        {7, 3, 2, "P2"},
        // An empty collection opens with one empty palette rather than none.
        {-1, 0, 0, "Palette 1"},
    };
    for (const Case& c : cases) {
        TRichPaletteList list;
        ASSERT_TRUE(ReadCollectionData(list, file(c.storedIndex, c.palettes)));
        EXPECT_EQ(list.ItemIndex(), c.expectedIndex) << c.storedIndex;
        ASSERT_NE(list.Current(), nullptr);
        EXPECT_EQ(list.Current()->Title(), c.currentTitle);
    }

    // Reading into a collection that has palettes appends, and the stored index is
    // that of the file's palettes.
    TTarget target;
    ASSERT_TRUE(ReadCollectionData(target.list, file(0, 2)));
    ASSERT_EQ(target.list.Count(), 3);
    EXPECT_EQ(target.list.Items(0)->Title(), "Existing");
    EXPECT_EQ(target.list.Current()->Title(), "P0");
}

// ---------------------------------------------------------------------------------
// Collection stream between running copies

TEST(CollectionStream, RoundTripAndFormatCheck)
{
    TRichPaletteList list;
    FillSample(list);
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    ASSERT_TRUE(WriteCollectionStream(buffer, list));
    buffer.write("TRAILER");
    buffer.seek(0);
    TRichPaletteList back;
    ASSERT_TRUE(ReadCollectionStream(buffer, back));
    EXPECT_EQ(CollectionStreamBytes(back), CollectionStreamBytes(list));
    EXPECT_EQ(buffer.read(7), "TRAILER"); // left right after the body

    // Another format number is ignored; the old body format has no place here.
    for (const QByteArray& bytes : {I32(100) + I32(0) + I32(0), I32(201) + SampleFormat200Body(),
             QByteArray("\xc8\x00", 2), I32(200) + SampleFormat200Body().chopped(1)}) {
        TTarget target;
        const QByteArray before = target.Snapshot();
        QBuffer in;
        in.setData(bytes);
        in.open(QIODevice::ReadOnly);
        EXPECT_FALSE(ReadCollectionStream(in, target.list));
        EXPECT_EQ(target.Snapshot(), before);
    }
    QBuffer readOnly;
    readOnly.open(QIODevice::ReadOnly);
    EXPECT_FALSE(WriteCollectionStream(readOnly, list));
}

// ---------------------------------------------------------------------------------
// Writing with a backup

TEST(CollectionBackup, BackupNameReplacesTheExtension)
{
    EXPECT_EQ(BackupFileName("/a/b/Saved Palette.kvfc"), "/a/b/Saved Palette.bak");
    EXPECT_EQ(BackupFileName("/a/my.colours.xml"), "/a/my.colours.bak");
    EXPECT_EQ(BackupFileName("/a.d/noext"), "/a.d/noext.bak");
}

TEST(CollectionBackup, GoodWriteReplacesAndLeavesNoBackup)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("doc.kvfc");
    ASSERT_TRUE(WriteAll(path, "old content"));
    ASSERT_TRUE(WriteAll(dir.filePath("doc.bak"), "stale backup"));
    TRichPaletteList list;
    FillSample(list);
    ASSERT_TRUE(WriteCollectionFile(list, path));
    EXPECT_EQ(ReadAll(path), CollectionFileBytes(list));
    EXPECT_FALSE(QFile::exists(dir.filePath("doc.bak")));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList {"doc.kvfc"});

    // An unknown format writes nothing at all.
    EXPECT_FALSE(WriteCollectionFile(list, path, 150));
    EXPECT_EQ(ReadAll(path), CollectionFileBytes(list));
}

TEST(CollectionBackup, FailedWriteKeepsTargetAndBackup)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("doc.kvfc");
    ASSERT_TRUE(WriteAll(path, "previous good file"));
    const TPaletteFileResult r = WriteFileWithBackup(path, [](QIODevice& device) {
        device.write("half of the new fi");
        return false;
    });
    EXPECT_EQ(r.Error, TPaletteFileError::WriteFailed);
    EXPECT_EQ(ReadAll(path), "previous good file");
    EXPECT_EQ(ReadAll(dir.filePath("doc.bak")), "previous good file");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), (QStringList {"doc.bak", "doc.kvfc"}));

    // A folder that does not exist fails as well.
    TRichPaletteList list;
    FillSample(list);
    EXPECT_FALSE(WriteCollectionFile(list, dir.filePath("none/doc.kvfc")));
}

TEST(CollectionBackup, DiskRefusingTheBytesKeepsTargetAndBackup)
{
    // The file-size limit makes the system refuse the write for real (it also binds
    // root, unlike a read-only folder).
    QTemporaryDir dir;
    const QString path = dir.filePath("doc.xml");
    TRichPaletteList small;
    small.Add("small", true);
    ASSERT_TRUE(WriteXmlCollection(small, path, "4.00", "Korvel"));
    const QByteArray previous = ReadAll(path);

    TRichPaletteList big;
    TRichPalette* p = big.Add("big", true);
    for (int i = 0; i < 400; ++i)
        p->Add()->SetColor(static_cast<TColor>(i));

    struct rlimit old { };
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limited = old;
    limited.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const TPaletteFileResult xml = WriteXmlCollection(big, path, "4.00", "Korvel");
    // Small enough for Qt's write buffer: the refusal must still be noticed.
    const TPaletteFileResult binary = WriteCollectionFile(big, dir.filePath("new.kvfc"));
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(xml.Error, TPaletteFileError::WriteFailed);
    EXPECT_FALSE(xml.Detail.isEmpty());
    EXPECT_EQ(ReadAll(path), previous);
    EXPECT_EQ(ReadAll(dir.filePath("doc.bak")), previous);
    ASSERT_LT(CollectionFileBytes(big).size(), 16384);
    EXPECT_FALSE(binary);
    EXPECT_FALSE(QFile::exists(dir.filePath("new.kvfc")));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), (QStringList {"doc.bak", "doc.xml"}));
}

// ---------------------------------------------------------------------------------
// XML collection file

TEST(XmlCollection, WritesCompactWindows1252Exactly)
{
    TRichPaletteList list;
    TRichPalette* p = list.Add(U("Grün & Co"), true);
    p->Add()->SetColor(0x0000FF);
    TRichColor* s = p->Add();
    s->SetColor(0x00804020);
    s->SetCaption(U("中"));
    s->SetDescription("a<b");
    s->SetCssClass("not stored");
    list.Add("", false);
    const QByteArray expected = "<?xml version=\"1.0\" encoding=\"windows-1252\"?>"
                                "<RichColorCollection FileFormat=\"3\">"
                                "<Generator><Name>Korvel</Name><Version>4.00</Version></Generator>"
                                "<RichPalette ID=\"1\"><Title>Gr\xfcn &amp; Co</Title>"
                                "<RichColor ID=\"1\"><Name>R:255 G:0 B:0</Name><RGB>#FF0000</RGB></RichColor>"
                                "<RichColor ID=\"2\"><Name>&#20013;</Name><Description>a&lt;b</Description>"
                                "<RGB>#204080</RGB></RichColor></RichPalette>"
                                "<RichPalette ID=\"2\"/>"
                                "</RichColorCollection>";
    EXPECT_EQ(XmlCollectionBytes(list, "4.00", "Korvel"), expected);
}

TEST(XmlCollection, RoundTripKeepsTitlesCaptionsAndColours)
{
    TRichPaletteList list;
    TRichPalette* p = list.Add(U("Grün"), true);
    p->SetDescription(U("Zeile 1\r\nZeile 2 – €"));
    const char* captions[] = {"Grün", "中文名称", "a & <b> \"c\"", "emoji 😀"};
    TColor colour = 0x102030;
    for (const char* caption : captions) {
        TRichColor* s = p->Add();
        s->SetCaption(U(caption));
        s->SetColor(colour += 0x050607);
        s->SetDescription(U(caption));
    }
    list.Add(U("第二"), false)->Add()->SetColor(0xABCDEF);

    QTemporaryDir dir;
    const QString path = dir.filePath(U("Farben-ü.xml"));
    ASSERT_TRUE(WriteXmlCollection(list, path, "4.00", "Korvel"));
    TRichPaletteList back;
    const TPaletteFileResult r = ReadXmlCollection(back, path);
    ASSERT_TRUE(r) << r.Detail.toStdString();
    EXPECT_FALSE(r.Beep);
    ASSERT_EQ(back.Count(), 2);
    EXPECT_EQ(back.ItemIndex(), 0);
    EXPECT_EQ(back.Items(0)->Title(), U("Grün"));
    EXPECT_EQ(back.Items(0)->Description(), p->Description());
    EXPECT_EQ(back.Items(1)->Title(), U("第二"));
    ASSERT_EQ(back.Items(0)->Count(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(back.Items(0)->Colors(i)->Caption(), U(captions[i]));
        EXPECT_EQ(back.Items(0)->Colors(i)->Description(), U(captions[i]));
        EXPECT_EQ(back.Items(0)->Colors(i)->Color(), p->Colors(i)->Color());
    }
    EXPECT_EQ(back.Items(1)->Colors(0)->Color(), 0xABCDEFu);
    // The caption is stored as text, so it is no longer automatic.
    EXPECT_EQ(back.Items(1)->Colors(0)->Caption(), "R:239 G:205 B:171");
    EXPECT_FALSE(back.Items(1)->Colors(0)->AutoCaption());
}

TEST(XmlCollection, ReadingRules)
{
    const QByteArray xml = "<?xml version=\"1.0\" encoding=\"windows-1252\"?>"
                           "<RichColorCollection FileFormat=\"2\">"
                           "<Generator><Name>Other</Name></Generator>"
                           "<RichPalette ID=\"9\"><RichColor ID=\"5\"><RGB>nonsense</RGB><Name>  x  </Name>"
                           "<Extra>ignored</Extra></RichColor><RichColor><Name></Name></RichColor></RichPalette>"
                           "<RichPalette><Description>Zwei \x80</Description></RichPalette>"
                           "<RichPalette><Title></Title></RichPalette>"
                           "</RichColorCollection>";
    TRichPaletteList list;
    const TPaletteFileResult r = ReadXmlCollectionData(list, xml, "x.xml");
    ASSERT_TRUE(r);
    EXPECT_TRUE(r.Beep); // FileFormat 2 is read after a beep
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.ItemIndex(), 0);
    // Default titles count every child of the root, the Generator included.
    EXPECT_EQ(list.Items(0)->Title(), "Palette 1");
    EXPECT_EQ(list.Items(1)->Title(), "Palette 2");
    EXPECT_EQ(list.Items(1)->Description(), U("Zwei €"));
    EXPECT_EQ(list.Items(2)->Title(), "");
    ASSERT_EQ(list.Items(0)->Count(), 2);
    EXPECT_EQ(list.Items(0)->Colors(0)->Color(), 0xC0C0C0u);
    EXPECT_EQ(list.Items(0)->Colors(0)->Caption(), "x");
    EXPECT_TRUE(list.Items(0)->Colors(1)->AutoCaption());

    TRichPaletteList notNumber;
    EXPECT_TRUE(ReadXmlCollectionData(
        notNumber, "<RichColorCollection FileFormat=\"three\"><RichPalette/></RichColorCollection>", "y")
                    .Beep);
    EXPECT_FALSE(ReadXmlCollectionData(
        notNumber, "<RichColorCollection FileFormat=\"3\"><RichPalette/></RichColorCollection>", "y")
                     .Beep);
}

TEST(XmlCollection, FilesWithoutPalettesFailAndLeaveTargetUnchanged)
{
    const QString name = U("/home/u/Töne.xml");
    const QString noPalettes = U("'/home/u/Töne.xml' could not be read.\r\nNo color palettes found.");
    struct Case {
        const char* label;
        QByteArray bytes;
        TPaletteFileError error;
    };
    const Case cases[] = {
        {"no palettes", "<RichColorCollection FileFormat=\"3\"><Generator/></RichColorCollection>",
            TPaletteFileError::NoPalettes},
        {"other root", "<KorvelFile><RichPalette/></KorvelFile>", TPaletteFileError::NoPalettes},
        {"not xml", "Korvel\x00\x01", TPaletteFileError::NotXml},
        {"empty", "", TPaletteFileError::NotXml},
        {"truncated", "<RichColorCollection FileFormat=\"3\"><RichPalette><Title>x</Ti", TPaletteFileError::NotXml},
    };
    for (const Case& c : cases) {
        TTarget target;
        const QByteArray before = target.Snapshot();
        const TPaletteFileResult r = ReadXmlCollectionData(target.list, c.bytes, name);
        EXPECT_EQ(r.Error, c.error) << c.label;
        EXPECT_EQ(r.Message, noPalettes) << c.label;
        EXPECT_EQ(target.Snapshot(), before) << c.label;
        EXPECT_EQ(target.changes, 0) << c.label;
    }
    TTarget target;
    const TPaletteFileResult missing = ReadXmlCollection(target.list, "/no/such/file.xml");
    EXPECT_EQ(missing.Error, TPaletteFileError::FileNotFound);
    EXPECT_TRUE(missing.Message.isEmpty());
}

// ---------------------------------------------------------------------------------
// Legacy palette file

TEST(LegacyPalettes, ReadsFixture)
{
    TRichPaletteList list;
    const TPaletteFileResult r = ReadLegacyPalettes(list, DataPath("Lieblingsfarben-ä.kvf"));
    ASSERT_TRUE(r) << r.Detail.toStdString();
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.ItemIndex(), 0);
    const TRichPalette* warm = list.Items(0);
    EXPECT_EQ(warm->Title(), U("Wärme"));
    EXPECT_EQ(warm->Description(), U("Warm colours – €"));
    ASSERT_EQ(warm->Count(), 3);
    EXPECT_EQ(warm->Colors(0)->Caption(), "Orange");
    EXPECT_EQ(warm->Colors(0)->Color(), 0x000080FFu);
    EXPECT_EQ(warm->Colors(0)->Description(), "sunset & fire");
    // Empty attributes leave the defaults: automatic caption, black.
    EXPECT_TRUE(warm->Colors(1)->AutoCaption());
    EXPECT_EQ(warm->Colors(1)->Color(), 0u);
    EXPECT_EQ(warm->Colors(1)->Description(), "no values");
    EXPECT_EQ(warm->Colors(2)->Color(), 0xC0C0C0u);
    // Untitled scheme: numbered by its position among the root's children.
    EXPECT_EQ(list.Items(1)->Title(), "Palette 2");
    EXPECT_EQ(list.Items(1)->Colors(0)->Color(), 0x00FF00u);
}

TEST(LegacyPalettes, NothingFoundFailsAndLeavesTargetUnchanged)
{
    for (const QByteArray& bytes : {QByteArray("<KorvelFile><Other/></KorvelFile>"),
             QByteArray("<RichColorCollection><ColorScheme/></RichColorCollection>"), QByteArray("not xml at all"),
             QByteArray()}) {
        TTarget target;
        const QByteArray before = target.Snapshot();
        const TPaletteFileResult r = ReadLegacyPalettesData(target.list, bytes, "old.kvf");
        EXPECT_FALSE(r);
        EXPECT_EQ(r.Message, "'old.kvf' could not be read.");
        EXPECT_EQ(target.Snapshot(), before);
    }
}

// ---------------------------------------------------------------------------------
// Color Schemer palette

namespace {

QByteArray ColorSchemerFile()
{
    QByteArray b = I16(3) + I16(3) + I32(0x12345678);
    b += I32(7) + S32("Sky") + QByteArray("\x87\xCE\xEB", 3) + QByteArray("\x04note", 5) + QByteArray(1, '\x01');
    b += I32(7) + S32("") + QByteArray("\x10\x20\x30", 3) + QByteArray(1, '\0') + QByteArray(1, '\0');
    b += I32(7) + S32("Gr\xfcn") + QByteArray("\x00\xFF\x00", 3) + QByteArray(1, '\0') + QByteArray(1, '\0');
    return b;
}

} // namespace

TEST(ColorSchemer, ReadsByteBuiltFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(U("Frühling.Farben.cs"));
    ASSERT_TRUE(WriteAll(path, ColorSchemerFile()));
    TRichPaletteList list;
    TRichPalette* p = list.Add("", true);
    const TPaletteFileResult r = ReadColorSchemer(*p, path);
    ASSERT_TRUE(r) << r.Detail.toStdString();
    EXPECT_EQ(p->Title(), U("Frühling.Farben"));
    EXPECT_EQ(p->Description(), "Colors imported from " + path);
    ASSERT_EQ(p->Count(), 3);
    EXPECT_EQ(p->Colors(0)->Color(), static_cast<TColor>(0x87 + 0xCE * 256 + 0xEB * 65536));
    EXPECT_EQ(p->Colors(0)->Caption(), "Sky");
    EXPECT_TRUE(p->Colors(1)->AutoCaption());
    EXPECT_EQ(p->Colors(1)->Color(), 0x302010u);
    EXPECT_EQ(p->Colors(2)->Caption(), U("Grün")); // Windows-1252 fallback
}

TEST(ColorSchemer, BadInputFailsAndLeavesPaletteUnchanged)
{
    const QByteArray good = ColorSchemerFile();
    struct Case {
        std::string label;
        QByteArray bytes;
        const char* message;
    };
    std::vector<Case> cases = {
        {"empty", QByteArray(), "Unsupported file format"},
        {"version 2", I16(2) + good.mid(2), "Unsupported file format"},
        {"huge count", I16(3) + I16(0xFFFF) + I32(0) + good.mid(8), "Error during file read"},
        {"huge caption", I16(3) + I16(1) + I32(0) + I32(0) + I32(0x7FFFFFFF) + "abc", "Error during file read"},
    };
    for (qsizetype n = 2; n < good.size(); ++n)
        cases.push_back({"truncated at " + std::to_string(n), good.left(n), "Error during file read"});
    for (const Case& c : cases) {
        TRichPaletteList list;
        TRichPalette* p = list.Add("Before", true);
        p->Add()->SetCaption("old");
        int changes = 0;
        p->OnChange = [&](TObject*) { ++changes; };
        const TPaletteFileResult r = ReadColorSchemerData(*p, c.bytes, "/x/y.cs");
        EXPECT_FALSE(r) << c.label;
        EXPECT_EQ(r.Message, c.message) << c.label;
        EXPECT_EQ(p->Title(), "Before") << c.label;
        EXPECT_EQ(p->Description(), "") << c.label;
        ASSERT_EQ(p->Count(), 1) << c.label;
        EXPECT_EQ(changes, 0) << c.label;
    }
}
