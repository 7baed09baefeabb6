#include "shell/SwatchClipboard.h"

#include "colour/Colors.h"
#include "pickers/SysColors.h"

#include <QClipboard>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QPainter>

#include <algorithm>

namespace {

QFont SwatchFont(bool ForMetafile)
{
    // Vector copies name a font every program has; the bitmap uses the screen's font.
    QFont font = ForMetafile ? QFont(QStringLiteral("Arial")) : QGuiApplication::font();
    font.setPointSize(8);
    return font;
}

} // namespace

QString SwatchLabelText(TColor Color, int LabelFormat)
{
    static constexpr TColorValueFmt kFormats[] = {cfHex, cfRGB, cfHSB, cfHSL};
    if (LabelFormat < 0 || LabelFormat > 3)
        return {};
    return ColorToText(kFormats[LabelFormat], 0, Color);
}

void DrawSwatch(QPainter& Canvas, const QPoint& TopLeft, int Size, bool ForMetafile, bool ShowLabel,
    const QString& Text, TColor Color)
{
    if (Size <= 0)
        return;
    Canvas.save();
    Canvas.setRenderHint(QPainter::Antialiasing, false);
    const QRect square(TopLeft, QSize(Size, Size));
    Canvas.fillRect(square, QColorFromTColor(Color));
    Canvas.setPen(QPen(Qt::black, 1));
    Canvas.setBrush(Qt::NoBrush);
    Canvas.drawRect(square.adjusted(0, 0, -1, -1));
    if (ShowLabel && !Text.isEmpty()) {
        const QFont font = SwatchFont(ForMetafile);
        Canvas.setFont(font);
        const int textHeight = QFontMetrics(font).height();
        const QRect strip(square.left(), square.bottom() + 1 - textHeight, Size, textHeight);
        Canvas.fillRect(strip, Qt::black);
        Canvas.setPen(Qt::white);
        Canvas.drawText(strip, Qt::AlignHCenter | Qt::AlignBottom, Text);
    }
    Canvas.restore();
}

QByteArray SwatchSvg(int Size, bool ShowLabel, const QString& Text, TColor Color)
{
    QString svg = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" viewBox=\"0 0 %1 %1\">\n"
        "<title>Color Swatch</title>\n<desc>Korvel</desc>\n"
        "<rect x=\"0.5\" y=\"0.5\" width=\"%2\" height=\"%2\" fill=\"%3\" stroke=\"#000000\" stroke-width=\"1\"/>\n")
                      .arg(Size)
                      .arg(Size - 1)
                      .arg(ColorToFullHex(Color, true));
    if (ShowLabel && !Text.isEmpty()) {
        const QFontMetrics metrics(SwatchFont(true));
        const int textHeight = metrics.height();
        svg += QStringLiteral("<rect x=\"0\" y=\"%1\" width=\"%2\" height=\"%3\" fill=\"#000000\"/>\n")
                   .arg(Size - textHeight)
                   .arg(Size)
                   .arg(textHeight);
        svg += QStringLiteral("<text x=\"%1\" y=\"%2\" font-family=\"Arial\" font-size=\"8pt\" fill=\"#FFFFFF\" "
                              "text-anchor=\"middle\">%3</text>\n")
                   .arg(Size / 2.0)
                   .arg(Size - metrics.descent())
                   .arg(Text.toHtmlEscaped());
    }
    svg += QStringLiteral("</svg>\n");
    return svg.toUtf8();
}

QMimeData* SwatchMimeData(TColor Color, const TClipboardSwatch& Options)
{
    const int size = std::clamp(Options.Size, 1, 1000);
    const QString label = SwatchLabelText(Color, Options.LabelFormat);

    QImage picture(size, size, QImage::Format_RGB32);
    picture.fill(Qt::white);
    {
        QPainter painter(&picture);
        DrawSwatch(painter, QPoint(0, 0), size, false, Options.ShowLabel, label, Color);
    }

    auto* data = new QMimeData;
    data->setImageData(picture);
    data->setData(QStringLiteral("image/svg+xml"), SwatchSvg(size, Options.ShowLabel, label, Color));
    data->setText(label.isEmpty() ? ColorToFullHex(Color, true) : label);
    return data;
}

void CopySwatchToClipboard(TColor Color, const TClipboardSwatch& Options)
{
    QGuiApplication::clipboard()->setMimeData(SwatchMimeData(Color, Options));
}
