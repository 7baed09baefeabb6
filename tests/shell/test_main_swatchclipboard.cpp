// The clipboard swatch: the square of the colour with its frame and label strip, and the
// three forms other programs receive.
#include "shell/SwatchClipboard.h"

#include "colour/Colors.h"

#include <QImage>
#include <QMimeData>
#include <QPainter>

#include <gtest/gtest.h>

#include <memory>

// The hex label follows the user's shorthand and letter-case settings; pin them.
class SwatchClipboard : public ::testing::Test {
protected:
    void SetUp() override
    {
        FShortHand = HexShortHand;
        FLowerCase = HexLowerCase;
        HexShortHand = false;
        HexLowerCase = false;
    }
    void TearDown() override
    {
        HexShortHand = FShortHand;
        HexLowerCase = FLowerCase;
    }
    bool FShortHand = false, FLowerCase = false;
};

TEST_F(SwatchClipboard, PictureHasFrameColourAndLabelStrip)
{
    const TColor orange = 0x3399FF; // #FF9933
    std::unique_ptr<QMimeData> data(SwatchMimeData(orange, {}));
    const QImage picture = qvariant_cast<QImage>(data->imageData());
    ASSERT_EQ(picture.size(), QSize(70, 70));
    EXPECT_EQ(picture.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(picture.pixel(69, 35), qRgb(0, 0, 0));
    EXPECT_EQ(picture.pixel(35, 10), qRgb(0xFF, 0x99, 0x33));
    // The label strip: black at the bottom-left, white text somewhere in it.
    EXPECT_EQ(picture.pixel(2, 67), qRgb(0, 0, 0));
    bool white = false;
    for (int x = 1; x < 69 && !white; ++x)
        for (int y = 55; y < 69 && !white; ++y)
            white = qGray(picture.pixel(x, y)) > 200;
    EXPECT_TRUE(white);
    EXPECT_EQ(data->text(), QStringLiteral("FF9933"));
    const QByteArray svg = data->data(QStringLiteral("image/svg+xml"));
    EXPECT_TRUE(svg.contains("fill=\"#FF9933\""));
    EXPECT_TRUE(svg.contains(">FF9933</text>"));
}

TEST_F(SwatchClipboard, LabelFollowsFormatAndCanBeOff)
{
    EXPECT_EQ(SwatchLabelText(0x0000FF, 1), ColorToText(cfRGB, 0, 0x0000FF));
    EXPECT_EQ(SwatchLabelText(0x0000FF, 3), ColorToText(cfHSL, 0, 0x0000FF));
    EXPECT_TRUE(SwatchLabelText(0x0000FF, 4).isEmpty());

    TClipboardSwatch options;
    options.ShowLabel = false;
    options.Size = 20;
    std::unique_ptr<QMimeData> data(SwatchMimeData(0x00FF00, options));
    const QImage picture = qvariant_cast<QImage>(data->imageData());
    ASSERT_EQ(picture.size(), QSize(20, 20));
    // Without a label the bottom row inside the frame is the colour.
    EXPECT_EQ(picture.pixel(10, 18), qRgb(0, 0xFF, 0));
    EXPECT_FALSE(data->data(QStringLiteral("image/svg+xml")).contains("<text"));
    // Text still carries the colour for programs that take text only, in the label's
    // format, or as hex when the format has no label.
    EXPECT_EQ(data->text(), QStringLiteral("00FF00"));
    options.LabelFormat = 4;
    data.reset(SwatchMimeData(0x00FF00, options));
    EXPECT_EQ(data->text(), QStringLiteral("#00FF00"));
}
