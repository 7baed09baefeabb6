#include "palette/XmlDoc.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

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
    return QString::fromUtf8(KORVEL_TEST_DATA_DIR "/") + U(name);
}

} // namespace

TEST(XmlDoc, ReadsTreeAttributesAndText)
{
    const QByteArray xml = "<?xml version=\"1.0\"?>\n"
                           "<!-- a comment -->\n"
                           "<Root b=\"2\" a=\"1\">\n"
                           "  <Item ID=\"1\">first &amp; &lt;one&gt;</Item>\n"
                           "  <Other/>\n"
                           "  <Item ID=\"2\"><![CDATA[<raw>]]> tail</Item>\n"
                           "  <Space> </Space>\n"
                           "</Root>\n";
    TXmlDocument doc;
    ASSERT_TRUE(doc.LoadFromBytes(xml)) << doc.ErrorString().toStdString();
    EXPECT_EQ(doc.Error(), TXmlError::None);
    EXPECT_EQ(doc.RootName(), "Root");
    EXPECT_EQ(doc.Encoding(), "UTF-8");
    TXmlElement* root = doc.Root();
    ASSERT_EQ(root->ChildCount(), 4);
    // Indentation between children is not text; attributes keep their order.
    EXPECT_EQ(root->Text(), "");
    ASSERT_EQ(root->Attributes().size(), 2);
    EXPECT_EQ(root->Attributes()[0].first, "b");
    EXPECT_EQ(root->Attribute("a"), "1");
    EXPECT_EQ(root->Attribute("missing"), "");
    EXPECT_FALSE(root->HasAttribute("missing"));
    EXPECT_EQ(root->Child(0)->Text(), "first & <one>");
    EXPECT_EQ(root->Child(1)->Name(), "Other");
    EXPECT_EQ(root->Child(2)->Text(), "<raw> tail");
    // A blank text of a leaf element is its text.
    EXPECT_EQ(root->Child(3)->Text(), " ");
    EXPECT_EQ(root->Child(4), nullptr);
    EXPECT_EQ(root->Child(-1), nullptr);
    EXPECT_EQ(root->FirstChild("Item")->Attribute("ID"), "1");
    EXPECT_EQ(root->FirstChild("None"), nullptr);
    EXPECT_EQ(root->ChildrenNamed("Item").size(), 2);
    EXPECT_EQ(root->Child(0)->Parent(), root);
}

TEST(XmlDoc, LoadFailuresLeaveNoRoot)
{
    struct Case {
        const char* label;
        QByteArray bytes;
        TXmlError error;
    };
    const Case cases[] = {
        {"empty", QByteArray(), TXmlError::Empty},
        {"blank", QByteArray(" \r\n\t "), TXmlError::Empty},
        {"plain text", QByteArray("Korvel palette"), TXmlError::NotWellFormed},
        {"binary", QByteArray("\x06\x00\x00\x00Korvel\xc8\x00\x00\x00", 14), TXmlError::NotWellFormed},
        {"comment only", QByteArray("<?xml version=\"1.0\"?><!-- nothing -->"), TXmlError::NoRoot},
        {"declaration only", QByteArray("<?xml version=\"1.0\"?>"), TXmlError::NoRoot},
        {"unclosed", QByteArray("<a><b></b>"), TXmlError::NotWellFormed},
        {"mismatched", QByteArray("<a><b></a></b>"), TXmlError::NotWellFormed},
        {"two roots", QByteArray("<a/><b/>"), TXmlError::NotWellFormed},
        {"bad attribute", QByteArray("<a x=1/>"), TXmlError::NotWellFormed},
        {"undeclared entity", QByteArray("<a>&nope;</a>"), TXmlError::NotWellFormed},
        {"unknown encoding", QByteArray("<?xml version=\"1.0\" encoding=\"x-no-such\"?><a/>"),
            TXmlError::UnknownEncoding},
    };
    for (const Case& c : cases) {
        TXmlDocument doc("Previous");
        EXPECT_FALSE(doc.LoadFromBytes(c.bytes)) << c.label;
        EXPECT_EQ(doc.Error(), c.error) << c.label << ": " << doc.ErrorString().toStdString();
        EXPECT_EQ(doc.Root(), nullptr) << c.label;
        EXPECT_FALSE(doc.ErrorString().isEmpty()) << c.label;
    }
}

TEST(XmlDoc, LoadFromFileFailures)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    TXmlDocument doc;
    EXPECT_FALSE(doc.LoadFromFile(dir.filePath("missing.xml")));
    EXPECT_EQ(doc.Error(), TXmlError::FileNotFound);
    EXPECT_FALSE(doc.LoadFromFile(dir.path()));
    EXPECT_EQ(doc.Error(), TXmlError::Unreadable);
    QFile empty(dir.filePath("empty.xml"));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    EXPECT_FALSE(doc.LoadFromFile(empty.fileName()));
    EXPECT_EQ(doc.Error(), TXmlError::Empty);
}

TEST(XmlDoc, HonoursDeclaredEncoding)
{
    struct Case {
        const char* encoding;
        QByteArray text; // the element text in that encoding
        const char* expected;
    };
    const Case cases[] = {
        {"windows-1252", QByteArray("Gr\xfcn \x80 \x93q\x94"), "Grün € “q”"},
        {"ISO-8859-1", QByteArray("Gr\xfcn \xe9"), "Grün é"},
        {"UTF-8", QByteArray("Gr\xc3\xbcn \xe4\xb8\xad"), "Grün 中"},
        {"GBK", QByteArray("\xd6\xd0\xce\xc4"), "中文"},
    };
    for (const Case& c : cases) {
        const QByteArray xml = QByteArray("<?xml version=\"1.0\" encoding=\"") + c.encoding + "\"?><a t=\"" + c.text
            + "\">" + c.text + "</a>";
        TXmlDocument doc;
        ASSERT_TRUE(doc.LoadFromBytes(xml)) << c.encoding << ": " << doc.ErrorString().toStdString();
        EXPECT_EQ(doc.Encoding(), U(c.encoding));
        EXPECT_EQ(doc.Root()->Text(), U(c.expected)) << c.encoding;
        EXPECT_EQ(doc.Root()->Attribute("t"), U(c.expected)) << c.encoding;
    }
}

TEST(XmlDoc, ReadsWindows1252FixtureWithNonAsciiName)
{
    TXmlDocument doc;
    ASSERT_TRUE(doc.LoadFromFile(DataPath("xml/Farbtöne-1252.xml"))) << doc.ErrorString().toStdString();
    EXPECT_EQ(doc.Encoding(), "windows-1252");
    EXPECT_EQ(doc.RootName(), "Farben");
    ASSERT_EQ(doc.Root()->ChildCount(), 2);
    EXPECT_EQ(doc.Root()->Child(0)->Attribute("Name"), U("Grün"));
    EXPECT_EQ(doc.Root()->Child(0)->Text(), U("Préféré – 5 €"));
    EXPECT_EQ(doc.Root()->Child(1)->Text(), U("中"));
}

TEST(XmlDoc, NeverResolvesExternalEntities)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile secret(dir.filePath("secret.txt"));
    ASSERT_TRUE(secret.open(QIODevice::WriteOnly));
    secret.write("TOPSECRET");
    secret.close();
    const QString url = QUrl::fromLocalFile(secret.fileName()).toString();
    const QByteArray xml = "<?xml version=\"1.0\"?><!DOCTYPE a [<!ENTITY ext SYSTEM \"" + url.toUtf8()
        + "\"><!ENTITY inner \"ok\">]><a at=\"x\">[&ext;][&inner;]</a>";
    TXmlDocument doc;
    if (doc.LoadFromBytes(xml)) {
        EXPECT_EQ(doc.Root()->Text(), "[][ok]");
    }
    // Whatever the outcome, nothing of the file may have been read in.
    if (doc.Root()) {
        EXPECT_FALSE(doc.Root()->Text().contains("TOPSECRET"));
    }
}

TEST(XmlDoc, EntityExpansionBombFailsQuickly)
{
    QByteArray xml = "<?xml version=\"1.0\"?><!DOCTYPE lolz [<!ENTITY lol0 \"lollollollollol\">";
    for (int i = 1; i < 10; ++i) {
        xml += "<!ENTITY lol" + QByteArray::number(i) + " \"";
        for (int k = 0; k < 10; ++k)
            xml += "&lol" + QByteArray::number(i - 1) + ";";
        xml += "\">";
    }
    xml += "]><lolz>&lol9;</lolz>";
    QElapsedTimer timer;
    timer.start();
    TXmlDocument doc;
    EXPECT_FALSE(doc.LoadFromBytes(xml));
    EXPECT_EQ(doc.Error(), TXmlError::EntityLimit);
    EXPECT_LT(timer.elapsed(), 2000);
}

TEST(XmlDoc, DeepNestingIsRefusedAndDeepTreesAreSafe)
{
    const int depth = TXmlDocument::kMaxDepth + 1;
    const QByteArray xml = QByteArray("<a>").repeated(depth) + QByteArray("</a>").repeated(depth);
    TXmlDocument doc;
    EXPECT_FALSE(doc.LoadFromBytes(xml));
    EXPECT_EQ(doc.Error(), TXmlError::TooDeep);

    const QByteArray fits = QByteArray("<a>").repeated(depth - 1) + QByteArray("</a>").repeated(depth - 1);
    EXPECT_TRUE(doc.LoadFromBytes(fits));

    // A tree built in code may be far deeper; copying, writing and freeing it must not
    // recurse through the stack.
    TXmlDocument deep("r");
    TXmlElement* e = deep.Root();
    for (int i = 0; i < 200000; ++i)
        e = e->AppendChild("d");
    e->SetText("bottom");
    TXmlDocument other("o");
    other.Root()->AppendCopy(*deep.Root());
    deep.SetCompact(true);
    EXPECT_FALSE(deep.SaveToBytes().isEmpty());
}

TEST(XmlDoc, WritesWindows1252CompactExactly)
{
    TXmlDocument doc("Root");
    doc.SetEncoding("windows-1252");
    doc.SetCompact(true);
    TXmlElement* root = doc.Root();
    root->SetAttribute("FileFormat", "3");
    TXmlElement* name = root->AppendChild("Name");
    name->SetText(U("Grün <&> € 中\r\n\"x\""));
    name->SetAttribute("q", U("a\"b'c<&>\td"));
    root->AppendChild("Empty");
    const QByteArray expected
        = "<?xml version=\"1.0\" encoding=\"windows-1252\"?>"
          "<Root FileFormat=\"3\">"
          "<Name q=\"a&quot;b'c&lt;&amp;&gt;&#9;d\">Gr\xfcn &lt;&amp;&gt; \x80 &#20013;&#13;\n&quot;x&quot;</Name>"
          "<Empty/>"
          "</Root>";
    EXPECT_EQ(doc.SaveToBytes(), expected);
}

TEST(XmlDoc, RoundTripKeepsEveryCharacter)
{
    const QString texts[] = {
        U("Grün"),
        U("中文 caption"),
        U("emoji 😀 outside the BMP"),
        U("line\r\nbreaks\nand\ttabs"),
        U("  padded  "),
        U("]]> and <![CDATA["),
        U("€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ"),
    };
    for (const char* encoding : {"windows-1252", "UTF-8", "ISO-8859-1"}) {
        for (bool compact : {true, false}) {
            TXmlDocument doc("Root");
            doc.SetEncoding(encoding);
            doc.SetCompact(compact);
            for (const QString& text : texts) {
                TXmlElement* e = doc.Root()->AppendChild("T");
                e->SetText(text);
                e->SetAttribute("v", text);
            }
            const QByteArray bytes = doc.SaveToBytes();
            TXmlDocument back;
            ASSERT_TRUE(back.LoadFromBytes(bytes)) << encoding << back.ErrorString().toStdString();
            EXPECT_EQ(back.Encoding(), encoding);
            ASSERT_EQ(back.Root()->ChildCount(), static_cast<int>(std::size(texts)));
            for (int i = 0; i < back.Root()->ChildCount(); ++i) {
                EXPECT_EQ(back.Root()->Child(i)->Text(), texts[i]) << encoding << " compact=" << compact;
                EXPECT_EQ(back.Root()->Child(i)->Attribute("v"), texts[i]) << encoding;
            }
        }
    }
}

TEST(XmlDoc, CharactersXmlCannotCarryAreDroppedNotWrittenBroken)
{
    TXmlDocument doc("Root");
    QString text = U("a");
    text += QChar(0x01);
    text += QChar(0xD800); // lone surrogate
    text += U("b");
    text += QChar(0xFFFF);
    doc.Root()->SetText(text);
    doc.Root()->SetAttribute("x", text);
    TXmlDocument back;
    ASSERT_TRUE(back.LoadFromBytes(doc.SaveToBytes())) << back.ErrorString().toStdString();
    EXPECT_EQ(back.Root()->Text(), "ab");
    EXPECT_EQ(back.Root()->Attribute("x"), "ab");
}

TEST(XmlDoc, EditingTheTree)
{
    TXmlDocument doc("Config");
    EXPECT_EQ(doc.RootName(), "Config");
    TXmlElement* preset = doc.Root()->AppendChild("Preset");
    preset->SetAttribute("Name", "one");
    preset->SetAttribute("Size", "1");
    preset->SetAttribute("Name", "two"); // replaced in place
    ASSERT_EQ(preset->Attributes().size(), 2);
    EXPECT_EQ(preset->Attributes()[0], qMakePair(QString("Name"), QString("two")));
    preset->AppendChild("Value")->SetText("42");
    preset->AppendChild("Value")->AppendChild("Inner")->SetText("deep");

    // A copy under another element is independent of its source.
    TXmlDocument other("Defaults");
    TXmlElement* copy = other.Root()->AppendCopy(*preset);
    EXPECT_EQ(copy->Parent(), other.Root());
    preset->Child(0)->SetText("changed");
    preset->RemoveAllChildren();
    EXPECT_EQ(preset->ChildCount(), 0);
    ASSERT_EQ(copy->ChildCount(), 2);
    EXPECT_EQ(copy->Attribute("Name"), "two");
    EXPECT_EQ(copy->Child(0)->Text(), "42");
    EXPECT_EQ(copy->Child(1)->FirstChild("Inner")->Text(), "deep");

    // Copying an element into its own subtree copies it as it was.
    TXmlElement* self = copy->AppendCopy(*copy);
    EXPECT_EQ(copy->ChildCount(), 3);
    EXPECT_EQ(self->ChildCount(), 2);

    // Creating a new root replaces the tree.
    other.CreateRoot("Fresh");
    EXPECT_EQ(other.RootName(), "Fresh");
    EXPECT_EQ(other.Root()->ChildCount(), 0);
}

TEST(XmlDoc, SaveToFileAndDevice)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    TXmlDocument doc("Root");
    doc.Root()->AppendChild(U("Größe"))->SetText(U("Grün"));
    const QString path = dir.filePath(U("Ausgabe-ä.xml"));
    ASSERT_TRUE(doc.SaveToFile(path)) << doc.ErrorString().toStdString();
    TXmlDocument back;
    ASSERT_TRUE(back.LoadFromFile(path));
    EXPECT_EQ(back.Root()->FirstChild(U("Größe"))->Text(), U("Grün"));

    // A folder that does not exist cannot be written and says so.
    EXPECT_FALSE(doc.SaveToFile(dir.filePath("no/such/folder/out.xml")));
    EXPECT_EQ(doc.Error(), TXmlError::WriteFailed);

    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    ASSERT_TRUE(doc.SaveToDevice(&buffer));
    buffer.seek(0);
    ASSERT_TRUE(back.LoadFromDevice(&buffer));
    EXPECT_EQ(back.RootName(), "Root");

    TXmlDocument none;
    EXPECT_TRUE(none.SaveToBytes().isEmpty());
    TXmlDocument badEncoding("r");
    badEncoding.SetEncoding("x-no-such");
    EXPECT_TRUE(badEncoding.SaveToBytes().isEmpty());
    EXPECT_EQ(badEncoding.Error(), TXmlError::UnknownEncoding);
}

TEST(XmlDoc, SaveToFileNoticesARefusedWrite)
{
    // Regression: a buffered save file committed a cut-off document when the system
    // refused the bytes at the final flush. The file-size limit refuses them for real.
    QTemporaryDir dir;
    const QString path = dir.filePath("config.xml");
    TXmlDocument small("Config");
    ASSERT_TRUE(small.SaveToFile(path));
    const QByteArray previous = [&] {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    TXmlDocument big("Config");
    for (int i = 0; i < 300; ++i)
        big.Root()->AppendChild("Item")->SetAttribute("Value", QString::number(i));
    const qsizetype size = big.SaveToBytes().size();
    ASSERT_GT(size, 4096);
    ASSERT_LT(size, 16384); // inside Qt's write buffer

    struct rlimit old { };
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limited = old;
    limited.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const bool saved = big.SaveToFile(path);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(saved);
    EXPECT_EQ(big.Error(), TXmlError::WriteFailed);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), previous);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList {"config.xml"});
}
