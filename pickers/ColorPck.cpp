#include "pickers/ColorPck.h"

#include "pickers/SysColors.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

// clang-format off
const std::array<TColor, 12> kPickerFixedColors = {
    RGB(0, 0, 0),   RGB(51, 51, 51), RGB(102, 102, 102), RGB(153, 153, 153), RGB(204, 204, 204), RGB(255, 255, 255),
    RGB(255, 0, 0), RGB(0, 255, 0),  RGB(0, 0, 255),     RGB(255, 255, 0),   RGB(0, 255, 255),   RGB(255, 0, 255),
};
// clang-format on

namespace {

constexpr int kFixedColorCount = static_cast<int>(kPickerFixedColors.size());
constexpr TColor kLineColor = clBlack;

int CeilDiv(int a, int b)
{
    return (a + b - 1) / b;
}

} // namespace

TColorPicker::TColorPicker(QWidget* parent)
    : TColorControlBase(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    FSelectedColor = BackgroundColor();
    Relayout();
}

TColor TColorPicker::BackgroundColor() const
{
    return TColorFromQColor(palette().color(backgroundRole()));
}

int TColorPicker::Level(int Index) const
{
    // 256 div (levels - 1) makes the top level 255 for the usual counts; where the step
    // overshoots (3 or 5 levels give 256) the top level is held at 255 instead of wrapping to 0.
    const int step = 256 / (FCubes - 1);
    return std::min(255, step * Index);
}

void TColorPicker::SetCubes(int Value)
{
    if (Value < 3 || Value > 24 || Value == FCubes)
        return;
    FCubes = Value;
    FRows = std::min(FRows, FCubes);
    FColumns = FCubes / FRows;
    // A count the rows do not divide would leave cubes without a place: add a column for them.
    if (FRows * FColumns < FCubes)
        FColumns = CeilDiv(FCubes, FRows);
    Relayout();
}

void TColorPicker::SetRows(int Value)
{
    if (Value < 1 || Value > FCubes)
        return;
    int columns = FCubes / Value;
    int rows = FCubes / columns;
    if (rows * columns < FCubes)
        columns = CeilDiv(FCubes, rows);
    if (rows == FRows && columns == FColumns)
        return;
    FRows = rows;
    FColumns = columns;
    Relayout();
}

void TColorPicker::SetColumns(int Value)
{
    if (Value < 1 || Value > FCubes)
        return;
    int rows = FCubes / Value;
    int columns = FCubes / rows;
    if (rows * columns < FCubes)
        rows = CeilDiv(FCubes, columns);
    if (rows == FRows && columns == FColumns)
        return;
    FRows = rows;
    FColumns = columns;
    Relayout();
}

void TColorPicker::SetSwatchSize(int Value)
{
    if (Value < 4 || Value > 20 || Value == FSwatchSize)
        return;
    FSwatchSize = Value;
    Relayout();
}

void TColorPicker::SetShowLines(bool Value)
{
    if (Value == FShowLines)
        return;
    FShowLines = Value;
    Relayout();
}

void TColorPicker::SetShowFixedColors(bool Value)
{
    if (Value == FShowFixedColors)
        return;
    FShowFixedColors = Value;
    Relayout();
}

void TColorPicker::SetColorVisionType(TColorVisionType Value)
{
    if (Value == FColorVisionType)
        return;
    FColorVisionType = Value;
    FBackground.invalidate();
    update();
}

void TColorPicker::Relayout()
{
    // Twelve fixed colours run down as many columns as they need, then one empty gap column.
    FFixedColumns = FShowFixedColors ? CeilDiv(kFixedColorCount, FRows * FCubes) + 1 : 0;
    FHoverCol = FHoverRow = -1;
    FBackground.invalidate();
    setFixedSize(sizeHint());
    update();
}

QSize TColorPicker::sizeHint() const
{
    const int line = FShowLines ? 1 : 0;
    return {(FCubes * FColumns + FFixedColumns) * FSwatchSize + line, FCubes * FRows * FSwatchSize + line};
}

bool TColorPicker::CellColor(int Col, int Row, TColor& Color) const
{
    if (Col < 0 || Row < 0 || Row >= FCubes * FRows || Col >= FCubes * FColumns + FFixedColumns)
        return false;
    if (Col < FFixedColumns) {
        if (Col == FFixedColumns - 1)
            return false; // the gap
        const int n = Col * (FRows * FCubes) + Row;
        if (n >= kFixedColorCount)
            return false;
        Color = kPickerFixedColors[static_cast<size_t>(n)];
        return true;
    }
    const int c = Col - FFixedColumns;
    const int k = (Row / FCubes) * FColumns + c / FCubes;
    if (k >= FCubes)
        return false; // a place the arrangement has left over
    Color = RGB(Level(k), Level(c % FCubes), Level(Row % FCubes));
    return true;
}

QRect TColorPicker::CellRect(int Col, int Row) const
{
    const int edge = FSwatchSize + (FShowLines ? 1 : 0);
    return {Col * FSwatchSize, Row * FSwatchSize, edge, edge};
}

void TColorPicker::Render(QImage& image) const
{
    QPainter p(&image);
    p.fillRect(rect(), palette().color(backgroundRole()));
    const QColor line = QColorFromTColor(kLineColor);
    const int cols = FCubes * FColumns + FFixedColumns;
    const int rows = FCubes * FRows;
    for (int col = 0; col < cols; ++col) {
        for (int row = 0; row < rows; ++row) {
            TColor color = 0;
            if (!CellColor(col, row, color))
                continue;
            const QColor shown = QColorFromTColor(SimulateColorVision(color, FColorVisionType));
            const QRect r = CellRect(col, row);
            if (FShowLines) {
                // Neighbours share their lines: each swatch is outlined across S + 1 pixels.
                p.fillRect(r, line);
                p.fillRect(r.adjusted(1, 1, -1, -1), shown);
            } else {
                p.fillRect(r, shown);
            }
        }
    }
}

void TColorPicker::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    FBackground.draw(p, this, QPoint(0, 0), size(), [this](QImage& image) { Render(image); });
    if (FHoverCol >= 0) {
        const QRect r = CellRect(FHoverCol, FHoverRow);
        p.fillRect(QRect(r.left(), r.top(), r.width(), 1), Qt::white);
        p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), Qt::white);
        p.fillRect(QRect(r.left(), r.top(), 1, r.height()), Qt::white);
        p.fillRect(QRect(r.right(), r.top(), 1, r.height()), Qt::white);
    }
}

TColor TColorPicker::ShownColorAtCell(QPointF Pos)
{
    // The colour drawn at the centre of the cell under the pointer, read from the picture itself:
    // the gap and empty places give the background, a simulated picture the simulated colour.
    const int col = static_cast<int>(std::floor(Pos.x() / FSwatchSize));
    const int row = static_cast<int>(std::floor(Pos.y() / FSwatchSize));
    const QPoint centre(col * FSwatchSize + FSwatchSize / 2, row * FSwatchSize + FSwatchSize / 2);
    if (!rect().contains(centre))
        return BackgroundColor();
    const qreal dpr = devicePixelRatioF();
    const QImage& image = FBackground.image(size(), dpr, [this](QImage& img) { Render(img); });
    const int dx = std::min(image.width() - 1, static_cast<int>(std::floor((centre.x() + 0.5) * dpr)));
    const int dy = std::min(image.height() - 1, static_cast<int>(std::floor((centre.y() + 0.5) * dpr)));
    if (image.isNull() || dx < 0 || dy < 0)
        return BackgroundColor();
    const QRgb px = image.pixel(dx, dy);
    return RGB(qRed(px), qGreen(px), qBlue(px));
}

void TColorPicker::SetHover(int Col, int Row)
{
    if (Col == FHoverCol && Row == FHoverRow)
        return;
    if (FHoverCol >= 0)
        update(CellRect(FHoverCol, FHoverRow));
    FHoverCol = Col;
    FHoverRow = Row;
    if (FHoverCol >= 0)
        update(CellRect(FHoverCol, FHoverRow));
}

QPoint TColorPicker::OwnerPoint(QPointF Pos) const
{
    return {qFloor(Pos.x()), qFloor(Pos.y())};
}

void TColorPicker::mouseMoveEvent(QMouseEvent* event)
{
    const QPointF pos = event->position();
    FSelectedColor = ShownColorAtCell(pos);
    const int col = static_cast<int>(std::floor(pos.x() / FSwatchSize));
    const int row = static_cast<int>(std::floor(pos.y() / FSwatchSize));
    TColor unused = 0;
    if (CellColor(col, row, unused)) {
        SetHover(col, row);
        if (OnHoverColor)
            OnHoverColor(this, FSelectedColor);
        Q_EMIT hoverColor(FSelectedColor);
    } else {
        SetHover(-1, -1);
    }
    FireMouseMove(event);
}

void TColorPicker::mousePressEvent(QMouseEvent* event)
{
    const QPointF pos = event->position();
    FSelectedColor = ShownColorAtCell(pos);
    if (event->button() == Qt::LeftButton)
        FClickArmed = true;
    FireMouseDown(event);
}

void TColorPicker::mouseDoubleClickEvent(QMouseEvent* event)
{
    FSelectedColor = ShownColorAtCell(event->position());
    // The second press of a double click is the double click; its release is not another click.
    FClickArmed = false;
    if (event->button() == Qt::LeftButton) {
        if (OnDblClick)
            OnDblClick(this);
        Q_EMIT doubleClicked();
    }
}

void TColorPicker::mouseReleaseEvent(QMouseEvent* event)
{
    const QPointF pos = event->position();
    FireMouseUp(event);
    const bool armed = FClickArmed && event->button() == Qt::LeftButton;
    if (event->button() == Qt::LeftButton)
        FClickArmed = false;
    if (armed && rect().contains(pos.toPoint())) {
        if (OnClick)
            OnClick(this);
        Q_EMIT clicked();
    }
}

void TColorPicker::leaveEvent(QEvent* event)
{
    SetHover(-1, -1);
    FSelectedColor = BackgroundColor();
    if (OnLeave)
        OnLeave(this);
    Q_EMIT left();
    QWidget::leaveEvent(event);
}

void TColorPicker::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange) {
        FBackground.invalidate();
        update();
    }
    QWidget::changeEvent(event);
}
