#include "pickers/ColorDragObj.h"

#include "colour/ColorVision.h"
#include "palette/RichColor.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QDragEnterEvent>
#include <QImage>
#include <QMimeData>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

namespace {

TColorDragCtrlObject FullDrag(QObject* source, TRichPalette* palette)
{
    TColorDragCtrlObject d;
    d.Color = RGB(0x12, 0xAB, 0xF0);
    d.SourceControl = source;
    d.SourceIndex = 17;
    d.SourcePalette = palette;
    d.ClipName = QString::fromUtf8("swatch_3_12ABF0_色");
    d.DragKind = 2;
    d.GridCols = 5;
    d.GridRows = 4;
    d.ElementIndex = 3;
    return d;
}

QRgb Pixel(const QImage& image, int x, int y)
{
    return image.pixel(x, y) & 0xFFFFFF;
}

QRgb Rgb(TColor c)
{
    return qRgb(GetRValue(c), GetGValue(c), GetBValue(c)) & 0xFFFFFF;
}

} // namespace

TEST(ColorDragObj, EveryFieldSurvivesTheMimeRoundTrip)
{
    QWidget source;
    TRichPalette palette;
    const TColorDragCtrlObject sent = FullDrag(&source, &palette);
    std::unique_ptr<QMimeData> data(EncodeColorDrag(sent));

    ASSERT_TRUE(HasColorDrag(data.get()));
    const auto got = DecodeColorDrag(data.get());
    ASSERT_TRUE(got.has_value());
    EXPECT_EQ(got->Color, sent.Color);
    EXPECT_EQ(got->SourceControl, &source);
    EXPECT_EQ(got->SourceIndex, 17);
    EXPECT_EQ(got->SourcePalette, &palette);
    EXPECT_EQ(got->ClipName, sent.ClipName);
    EXPECT_EQ(got->DragKind, 2);
    EXPECT_EQ(got->GridCols, 5);
    EXPECT_EQ(got->GridRows, 4);
    EXPECT_EQ(got->ElementIndex, 3);

    // Other programs get the colour as text and as a colour.
    EXPECT_EQ(data->text(), QStringLiteral("#12ABF0"));
    EXPECT_EQ(qvariant_cast<QColor>(data->colorData()), QColor(0x12, 0xAB, 0xF0));
}

TEST(ColorDragObj, DefaultsAndSystemColoursTravelAsPlainValues)
{
    TColorDragCtrlObject plain;
    plain.Color = clBtnFace;
    std::unique_ptr<QMimeData> data(EncodeColorDrag(plain));
    const auto got = DecodeColorDrag(data.get());
    ASSERT_TRUE(got.has_value());
    EXPECT_EQ(got->Color, ColorToRGB(clBtnFace));
    EXPECT_EQ(got->SourceControl, nullptr);
    EXPECT_EQ(got->SourcePalette, nullptr);
    EXPECT_EQ(got->ElementIndex, -1);
    EXPECT_EQ(got->DragKind, 0);
    EXPECT_TRUE(got->ClipName.isEmpty());
}

TEST(ColorDragObj, PointersFromAnotherProcessAreDropped)
{
    QWidget source;
    TRichPalette palette;
    std::unique_ptr<QMimeData> data(EncodeColorDrag(FullDrag(&source, &palette)));
    // Rewrite the process id, as a drag from another running copy would carry.
    QByteArray bytes = data->data(QString::fromLatin1(kColorDragMimeType));
    {
        QDataStream io(&bytes, QIODevice::ReadWrite);
        io.setVersion(QDataStream::Qt_6_0);
        quint32 magic;
        quint16 version;
        io >> magic >> version;
        io << static_cast<qint64>(QCoreApplication::applicationPid() + 1);
    }
    data->setData(QString::fromLatin1(kColorDragMimeType), bytes);

    const auto got = DecodeColorDrag(data.get());
    ASSERT_TRUE(got.has_value());
    EXPECT_EQ(got->SourceControl, nullptr);
    EXPECT_EQ(got->SourcePalette, nullptr);
    EXPECT_EQ(got->Color, RGB(0x12, 0xAB, 0xF0));
    EXPECT_EQ(got->GridCols, 5);
}

TEST(ColorDragObj, ForeignOrDamagedDataDecodesToNothing)
{
    QMimeData text;
    text.setText(QStringLiteral("#FF0000"));
    EXPECT_FALSE(HasColorDrag(&text));
    EXPECT_FALSE(DecodeColorDrag(&text).has_value());
    EXPECT_FALSE(DecodeColorDrag(nullptr).has_value());

    std::unique_ptr<QMimeData> good(EncodeColorDrag(FullDrag(nullptr, nullptr)));
    const QByteArray bytes = good->data(QString::fromLatin1(kColorDragMimeType));
    // Every cut short of the whole record is refused, never half-read.
    for (qsizetype n = 0; n < bytes.size(); ++n) {
        QMimeData cut;
        cut.setData(QString::fromLatin1(kColorDragMimeType), bytes.left(n));
        EXPECT_FALSE(DecodeColorDrag(&cut).has_value()) << "cut at " << n;
    }
    QByteArray wrongMagic = bytes;
    wrongMagic[0] = 'X';
    QMimeData bad;
    bad.setData(QString::fromLatin1(kColorDragMimeType), wrongMagic);
    EXPECT_FALSE(DecodeColorDrag(&bad).has_value());
}

TEST(ColorDragObj, DragImageIsTheColourInABlackFrame)
{
    const TColor color = RGB(200, 40, 90);
    for (qreal dpr : {1.0, 2.0}) {
        const QImage image = ColorDragImage(color, dpr).toImage();
        const int px = static_cast<int>(dpr);
        ASSERT_EQ(image.width(), 14 * px);
        ASSERT_EQ(image.height(), 14 * px);
        const int last = 14 * px - 1;
        for (int i = 0; i < px; ++i) {
            EXPECT_EQ(Pixel(image, i, 7 * px), 0u) << "left frame, dpr " << dpr;
            EXPECT_EQ(Pixel(image, last - i, 7 * px), 0u) << "right frame, dpr " << dpr;
            EXPECT_EQ(Pixel(image, 7 * px, i), 0u) << "top frame, dpr " << dpr;
            EXPECT_EQ(Pixel(image, 7 * px, last - i), 0u) << "bottom frame, dpr " << dpr;
        }
        EXPECT_EQ(Pixel(image, px, px), Rgb(color)) << "dpr " << dpr;
        EXPECT_EQ(Pixel(image, last - px, last - px), Rgb(color)) << "dpr " << dpr;
    }
    const QImage seen = ColorDragImage(color, 1.0, cvtDeut).toImage();
    EXPECT_EQ(Pixel(seen, 7, 7), Rgb(SimulateColorVision(color, cvtDeut)));
    EXPECT_NE(Pixel(seen, 7, 7), Rgb(color));
}

TEST(ColorDragObj, TargetsIgnoreWhatCarriesNoColourSoTheNoDropCursorShows)
{
    std::unique_ptr<QMimeData> ours(EncodeColorDrag(FullDrag(nullptr, nullptr)));
    QMimeData foreign;
    foreign.setText(QStringLiteral("#123456"));

    QDragEnterEvent accepted(QPoint(1, 1), Qt::CopyAction | Qt::MoveAction, ours.get(), Qt::LeftButton, Qt::NoModifier);
    accepted.ignore();
    const auto drag = AcceptColorDrag(&accepted);
    EXPECT_TRUE(drag.has_value());
    EXPECT_TRUE(accepted.isAccepted());
    EXPECT_EQ(accepted.dropAction(), Qt::CopyAction);

    QDragEnterEvent refused(QPoint(1, 1), Qt::CopyAction, &foreign, Qt::LeftButton, Qt::NoModifier);
    refused.accept();
    EXPECT_FALSE(AcceptColorDrag(&refused).has_value());
    EXPECT_FALSE(refused.isAccepted());
}

#include "pickers/ColorButton.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QTest>
#include <QTimer>

TEST(ColorDragObj, ADragFromOneButtonDropsOnAnother)
{
    // The offscreen platform's drag ends before it starts; run this one under Xvfb
    // (QT_QPA_PLATFORM=xcb xvfb-run ...).
    if (QGuiApplication::platformName() != QStringLiteral("xcb"))
        GTEST_SKIP() << "needs a platform with real drag and drop";
    QWidget window;
    auto* layout = new QHBoxLayout(&window);
    auto* source = new TColorButton(&window);
    auto* target = new TColorButton(&window);
    source->setFixedSize(40, 40);
    target->setFixedSize(40, 40);
    layout->addWidget(source);
    layout->addSpacing(40);
    layout->addWidget(target);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    TRichPalette palette;
    source->SetSelectionColor(RGB(0, 128, 128));
    source->OnStartDrag = [&](TObject*, TColorDragCtrlObject& d) {
        d.SourceIndex = 7;
        d.SourcePalette = &palette;
    };
    std::vector<TColorDragCtrlObject> drops;
    target->OnDragDrop = [&](TObject*, const TColorDragCtrlObject& d, int, int) { drops.push_back(d); };

    QWindow* handle = window.windowHandle();
    const QPoint from = source->mapTo(&window, source->rect().center());
    const QPoint to = target->mapTo(&window, target->rect().center());
    QTest::mousePress(handle, Qt::LeftButton, {}, from);
    // The drag runs its own loop; the pointer moves and lets go from inside it.
    QTimer::singleShot(50, [&] {
        QTest::mouseMove(handle, (from + to) / 2);
        QTest::mouseMove(handle, to);
        QTest::mouseRelease(handle, Qt::LeftButton, {}, to);
    });
    const Qt::DropAction action = source->BeginDrag();
    EXPECT_EQ(action, Qt::CopyAction);
    ASSERT_EQ(drops.size(), 1u);
    EXPECT_EQ(drops[0].Color, RGB(0, 128, 128));
    EXPECT_EQ(drops[0].SourceControl, source);
    EXPECT_EQ(drops[0].SourceIndex, 7);
    EXPECT_EQ(drops[0].SourcePalette, &palette);
}
