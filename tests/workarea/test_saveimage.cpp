// Save Image: the kind of file by extension, the movie and picture files a page's scene is
// saved to, the JPEG quality, and our GIF writer (colour reduction, dithering, LZW) read
// back by Qt's own GIF reader.
#include "workarea/SaveImage.h"

#include "SceneTestUtil.h"
#include "movie/MoviePlayer.h"
#include "workarea/PptBlank.h"
#include "workarea/Scene.h"

#include <QBuffer>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>
#include <vector>

namespace {

TEST(SaveImage, KindFollowsTheExtensionWhateverItsCase)
{
    struct Case {
        const char* name;
        TSaveImageKind kind;
    };
    const Case cases[] = {
        {"scene.swf", sikSwf},
        {"Scene.SWF", sikSwf},
        {"a.b.Swf", sikSwf},
        {"/tmp/x y/pic.bmp", sikBmp},
        {"PIC.BMP", sikBmp},
        {"pic.jpg", sikJpg},
        {"pic.JpG", sikJpg},
        {"pic.gif", sikGif},
        {"PIC.GIF", sikGif},
        {"pic.png", sikNone},
        {"pic.jpeg", sikNone},
        {"pic.swf.png", sikNone},
        {"noextension", sikNone},
        {"dir.swf/noext", sikNone},
        {"pic.", sikNone},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SaveImageKindOf(QString::fromUtf8(c.name)), c.kind) << c.name;
}

TEST(SaveImage, DialogOffersTheFourKindsAndAsksBeforeOverwriting)
{
    QFileDialog dialog;
    ConfigureSaveImageDialog(dialog);
    EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(dialog.nameFilters(), (QStringList {"SWF (*.swf)", "BMP (*.bmp)", "JPG (*.jpg)", "GIF (*.gif)"}));
    EXPECT_EQ(dialog.defaultSuffix(), "swf");
    EXPECT_FALSE(dialog.testOption(QFileDialog::DontConfirmOverwrite));
}

// A blank page whose scene shows in a player of 320 x 200.
struct SavedScene : ::testing::Test {
    SavedScene()
        : page(&panel)
    {
        page.SetBackgroundColor(RGB(0x30, 0x60, 0x90));
        player.resize(320, 200);
        page.BuildScene(&player, kSaveImageSceneSize, QString(), nullptr, nullptr);
        EXPECT_TRUE(dir.isValid());
    }
    QString Path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
    QWidget panel;
    TfrmPptBlank page;
    TMoviePlayer player;
    QTemporaryDir dir;
};

TEST_F(SavedScene, WritesEachKindByItsExtension)
{
    const QImage shown = player.FrameImage().convertToFormat(QImage::Format_RGB32);
    struct Case {
        const char* name;
        TSaveImageKind kind;
        const char* format; // what Qt reads it as
    };
    const Case cases[] = {
        {"szene ä.swf", sikSwf, nullptr},
        {"upper.SWF", sikSwf, nullptr},
        {"pic.bmp", sikBmp, "bmp"},
        {"pic2.BMP", sikBmp, "bmp"},
        {"pic.jpg", sikJpg, "jpeg"},
        {"pic2.Jpg", sikJpg, "jpeg"},
        {"pic.gif", sikGif, "gif"},
        {"pic2.GIF", sikGif, "gif"},
        {"pic.png", sikNone, nullptr},
        {"pic.jpeg", sikNone, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = Path(c.name);
        EXPECT_EQ(SaveImage(page, player, path, nullptr, nullptr), c.kind);
        if (c.kind == sikNone) {
            EXPECT_FALSE(QFile::exists(path));
            continue;
        }
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        if (c.kind == sikSwf) {
            // The movie is built at 1000 x 1000 whatever the player's size.
            const swf::Movie movie = scenetest::ReadBack(bytes);
            EXPECT_EQ(movie.header.frameRect, (swf::Rect {0, 1000 * 20, 0, 1000 * 20}));
            EXPECT_EQ(movie.header.version, 5);
            EXPECT_EQ(movie.BackgroundColor(), (swf::Rgba {0x30, 0x60, 0x90, 255}));
            continue;
        }
        QImage read;
        ASSERT_TRUE(read.loadFromData(bytes, c.format));
        EXPECT_EQ(read.size(), QSize(320, 200));
        read = read.convertToFormat(QImage::Format_RGB32);
        if (c.kind == sikBmp) {
            EXPECT_EQ(read, shown); // lossless
        }
        if (c.kind == sikGif) {
            QSet<QRgb> colours;
            for (int y = 0; y < read.height(); ++y)
                for (int x = 0; x < read.width(); ++x)
                    colours.insert(read.pixel(x, y));
            EXPECT_LE(colours.size(), 256);
        }
        // Each kind shows the page background where the scene has nothing.
        const QColor corner = read.pixelColor(1, 1);
        EXPECT_NEAR(corner.red(), 0x30, 3);
        EXPECT_NEAR(corner.green(), 0x60, 3);
        EXPECT_NEAR(corner.blue(), 0x90, 3);
    }
}

TEST_F(SavedScene, UnwritablePlacesThrowAndLeaveNothing)
{
    for (const char* name : {"missing/folder/pic.bmp", "missing/folder/pic.gif", "missing/folder/pic.swf"}) {
        SCOPED_TRACE(name);
        EXPECT_THROW(SaveImage(page, player, Path(name), nullptr, nullptr), ESceneWriteError);
        EXPECT_FALSE(QFile::exists(Path(name)));
    }
}

// The first quantisation table of a JPEG file, as stored.
std::vector<int> FirstQuantTable(const QByteArray& jpeg)
{
    for (qsizetype i = 2; i + 4 < jpeg.size(); ++i) {
        if (static_cast<uchar>(jpeg[i]) == 0xFF && static_cast<uchar>(jpeg[i + 1]) == 0xDB) {
            const qsizetype at = i + 4; // past the marker and the length
            if ((static_cast<uchar>(jpeg[at]) >> 4) != 0 || at + 65 > jpeg.size())
                return {};
            std::vector<int> values;
            for (int k = 0; k < 64; ++k)
                values.push_back(static_cast<uchar>(jpeg[at + 1 + k]));
            return values;
        }
    }
    return {};
}

TEST(SaveImage, JpegIsWrittenAtQuality96)
{
    // The luminance table the JPEG standard suggests, scaled as quality 96 scales it
    // (factor 200 - 2 * 96 = 8 per cent, kept within 1..255).
    const int base[64] = {16, 11, 10, 16, 24, 40, 51, 61, 12, 12, 14, 19, 26, 58, 60, 55, 14, 13, 16, 24, 40, 57, 69,
        56, 14, 17, 22, 29, 51, 87, 80, 62, 18, 22, 37, 56, 68, 109, 103, 77, 24, 35, 55, 64, 81, 104, 113, 92, 49, 64,
        78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99};
    std::vector<int> expected;
    for (const int b : base)
        expected.push_back(std::clamp((b * 8 + 50) / 100, 1, 255));
    std::sort(expected.begin(), expected.end());

    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(QColor(200, 100, 50));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(WriteJpeg(picture, buffer));
    std::vector<int> table = FirstQuantTable(buffer.data());
    ASSERT_EQ(table.size(), 64u);
    std::sort(table.begin(), table.end());
    EXPECT_EQ(table, expected);
}

// ---- GIF ----

QImage Gradient(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(x * 255 / (w - 1), y * 255 / (h - 1), (x + y) * 255 / (w + h - 2)));
    return image;
}

int CountColours(const QImage& image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y));
    return static_cast<int>(colours.size());
}

// How far the average colour of 8 x 8 blocks strays from the original's, per channel.
double BlockMeanError(const QImage& original, const QImage& reduced)
{
    double total = 0;
    int blocks = 0;
    for (int by = 0; by + 8 <= original.height(); by += 8)
        for (int bx = 0; bx + 8 <= original.width(); bx += 8) {
            std::array<double, 3> a {}, b {};
            for (int y = by; y < by + 8; ++y)
                for (int x = bx; x < bx + 8; ++x) {
                    const QRgb p = original.pixel(x, y), q = reduced.pixel(x, y);
                    a[0] += qRed(p), a[1] += qGreen(p), a[2] += qBlue(p);
                    b[0] += qRed(q), b[1] += qGreen(q), b[2] += qBlue(q);
                }
            for (int k = 0; k < 3; ++k)
                total += std::abs(a[k] - b[k]) / 64;
            ++blocks;
        }
    return total / (3 * blocks);
}

QImage DecodeGif(const QByteArray& bytes)
{
    QImage image;
    EXPECT_TRUE(image.loadFromData(bytes, "gif"));
    return image;
}

// Qt's reader must give back exactly the colours we indexed.
void ExpectSamePixels(const QImage& indexed, const QImage& decoded)
{
    ASSERT_EQ(decoded.size(), indexed.size());
    int wrong = 0;
    for (int y = 0; y < indexed.height(); ++y)
        for (int x = 0; x < indexed.width(); ++x)
            wrong += (decoded.pixel(x, y) | 0xFF000000u) != (indexed.pixel(x, y) | 0xFF000000u) ? 1 : 0;
    EXPECT_EQ(wrong, 0);
}

TEST(Gif, GradientIsReducedTo256ColoursAndDithered)
{
    const QImage original = Gradient(256, 128);
    ASSERT_GT(CountColours(original), 256);
    const QImage dithered = QuantizeImage(original, 256, true);
    const QImage flat = QuantizeImage(original, 256, false);
    ASSERT_EQ(dithered.format(), QImage::Format_Indexed8);
    EXPECT_LE(dithered.colorCount(), 256);
    EXPECT_GT(dithered.colorCount(), 200); // the cut uses the colours it may
    // Dithering keeps the local average of the gradient where plain mapping makes bands.
    const double ditheredError = BlockMeanError(original, dithered);
    const double flatError = BlockMeanError(original, flat);
    EXPECT_LT(ditheredError, 1.0);
    EXPECT_LT(ditheredError, flatError / 2);
    // Neighbours alternate between palette colours: few blocks are a single colour.
    int mixed = 0, blocks = 0;
    for (int by = 0; by < 128; by += 8)
        for (int bx = 0; bx < 256; bx += 8) {
            QSet<int> indices;
            for (int y = by; y < by + 8; ++y)
                for (int x = bx; x < bx + 8; ++x)
                    indices.insert(dithered.pixelIndex(x, y));
            mixed += indices.size() > 1 ? 1 : 0;
            ++blocks;
        }
    EXPECT_GT(mixed, blocks * 9 / 10);

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(WriteGif(original, buffer));
    const QImage decoded = DecodeGif(buffer.data());
    EXPECT_LE(CountColours(decoded.convertToFormat(QImage::Format_RGB32)), 256);
    ExpectSamePixels(dithered, decoded);
}

TEST(Gif, FewColoursAreKeptExactly)
{
    QImage image(40, 30, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            image.setPixel(x, y, qRgb((x / 4) * 25, (y / 3) * 25, 7)); // 100 colours
    const QImage indexed = QuantizeImage(image);
    EXPECT_EQ(indexed.colorCount(), 100);
    EXPECT_EQ(indexed.convertToFormat(QImage::Format_RGB32), image.convertToFormat(QImage::Format_RGB32));
}

TEST(Gif, EncoderRoundTripsThroughQtsReader)
{
    std::mt19937 random(1234);
    auto randomTable = [&](int n) {
        QVector<QRgb> table;
        for (int i = 0; i < n; ++i)
            table << qRgb(random() % 256, random() % 256, random() % 256);
        return table;
    };
    struct Case {
        const char* what;
        int w, h, colours;
        bool noise; // random indices (many table resets) or long runs
    };
    const Case cases[] = {
        {"one pixel", 1, 1, 2, false},
        {"two colours", 37, 19, 2, true},
        {"three colours", 50, 50, 3, true},
        {"129 colours", 64, 64, 129, true},
        {"noise of 256", 300, 300, 256, true},
        {"long runs", 1000, 200, 5, false},
        {"one row", 5000, 1, 17, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QImage indexed(c.w, c.h, QImage::Format_Indexed8);
        indexed.setColorTable(randomTable(c.colours));
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x)
                indexed.setPixel(x, y, c.noise ? random() % c.colours : ((x / 97 + y / 13) % c.colours));
        const QByteArray gif = EncodeGif(indexed);
        ASSERT_FALSE(gif.isEmpty());
        EXPECT_TRUE(gif.startsWith("GIF89a"));
        EXPECT_EQ(gif.back(), ';');
        ExpectSamePixels(indexed, DecodeGif(gif));
    }
    // What cannot be a GIF gives nothing.
    EXPECT_TRUE(EncodeGif(QImage()).isEmpty());
    EXPECT_TRUE(EncodeGif(QImage(4, 4, QImage::Format_RGB32)).isEmpty());
}

} // namespace
