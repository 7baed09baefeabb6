#include "pickers/HistoryPopup.h"

#include "colour/Colors.h"
#include "pickers/SysColors.h"

#include <QCursor>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

#include <algorithm>

// ---- TDrawGridEx -------------------------------------------------------------------------

TDrawGridEx::TDrawGridEx(QWidget* parent)
    : QAbstractScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    // Moving over a scroll bar is moving over no cell; the bars only tell us with tracking on.
    for (QScrollBar* bar : {horizontalScrollBar(), verticalScrollBar()}) {
        bar->setMouseTracking(true);
        bar->installEventFilter(this);
    }
    UpdateScrollBars();
}

void TDrawGridEx::SetColCount(int Value)
{
    Value = std::max(Value, 0);
    if (Value == FColCount)
        return;
    FColCount = Value;
    FCol = std::clamp(FCol, 0, std::max(FColCount - 1, 0));
    UpdateScrollBars();
    viewport()->update();
}

void TDrawGridEx::SetRowCount(int Value)
{
    Value = std::max(Value, 0);
    if (Value == FRowCount)
        return;
    FRowCount = Value;
    FRow = std::clamp(FRow, 0, std::max(FRowCount - 1, 0));
    UpdateScrollBars();
    viewport()->update();
}

void TDrawGridEx::SetDefaultColWidth(int Value)
{
    Value = std::max(Value, 1);
    if (Value == FColWidth)
        return;
    FColWidth = Value;
    UpdateScrollBars();
    viewport()->update();
}

void TDrawGridEx::SetDefaultRowHeight(int Value)
{
    Value = std::max(Value, 1);
    if (Value == FRowHeight)
        return;
    FRowHeight = Value;
    UpdateScrollBars();
    viewport()->update();
}

// From the grid's own size rather than the viewport's: a hidden grid lays its viewport out only
// when shown, and the pop-up is set up before it opens.
int TDrawGridEx::VisibleColCount() const
{
    return std::max(maximumViewportSize().width() / FColWidth, 1);
}

int TDrawGridEx::VisibleRowCount() const
{
    return std::max(maximumViewportSize().height() / FRowHeight, 1);
}

void TDrawGridEx::UpdateScrollBars()
{
    horizontalScrollBar()->setRange(0, std::max(FColCount - VisibleColCount(), 0));
    horizontalScrollBar()->setPageStep(VisibleColCount());
    horizontalScrollBar()->setSingleStep(1);
    verticalScrollBar()->setRange(0, std::max(FRowCount - VisibleRowCount(), 0));
    verticalScrollBar()->setPageStep(VisibleRowCount());
    verticalScrollBar()->setSingleStep(1);
    FLeftCol = horizontalScrollBar()->value();
    FTopRow = verticalScrollBar()->value();
}

void TDrawGridEx::ScrollTo(int ALeftCol, int ATopRow)
{
    // A grid resized while hidden has not had its resize event yet; the ranges must be current.
    UpdateScrollBars();
    horizontalScrollBar()->setValue(ALeftCol);
    verticalScrollBar()->setValue(ATopRow);
}

void TDrawGridEx::scrollContentsBy(int, int)
{
    FLeftCol = horizontalScrollBar()->value();
    FTopRow = verticalScrollBar()->value();
    viewport()->update();
}

void TDrawGridEx::ScrollIntoView(int ACol, int ARow)
{
    int left = FLeftCol;
    int top = FTopRow;
    if (ACol < left)
        left = ACol;
    else if (ACol >= left + VisibleColCount())
        left = ACol - VisibleColCount() + 1;
    if (ARow < top)
        top = ARow;
    else if (ARow >= top + VisibleRowCount())
        top = ARow - VisibleRowCount() + 1;
    ScrollTo(left, top);
}

void TDrawGridEx::SetCell(int ACol, int ARow)
{
    if (FColCount <= 0 || FRowCount <= 0)
        return;
    ACol = std::clamp(ACol, 0, FColCount - 1);
    ARow = std::clamp(ARow, 0, FRowCount - 1);
    if (ACol != FCol || ARow != FRow) {
        viewport()->update(CellRect(FCol, FRow));
        FCol = ACol;
        FRow = ARow;
        viewport()->update(CellRect(FCol, FRow));
    }
    ScrollIntoView(FCol, FRow);
}

QRect TDrawGridEx::CellRect(int ACol, int ARow) const
{
    return {(ACol - FLeftCol) * FColWidth, (ARow - FTopRow) * FRowHeight, FColWidth, FRowHeight};
}

QPoint TDrawGridEx::MouseToCell(QPoint ViewportPos) const
{
    if (ViewportPos.x() < 0 || ViewportPos.y() < 0 || !viewport()->rect().contains(ViewportPos))
        return {-1, -1};
    const int col = FLeftCol + ViewportPos.x() / FColWidth;
    const int row = FTopRow + ViewportPos.y() / FRowHeight;
    if (col >= FColCount || row >= FRowCount)
        return {-1, -1};
    return {col, row};
}

void TDrawGridEx::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void TDrawGridEx::paintEvent(QPaintEvent* event)
{
    QPainter p(viewport());
    const QRect dirty = event->rect();
    p.fillRect(dirty, QColorFromTColor(clWindow));
    const int lastCol = std::min(FColCount - 1, FLeftCol + viewport()->width() / FColWidth);
    const int lastRow = std::min(FRowCount - 1, FTopRow + viewport()->height() / FRowHeight);
    for (int row = FTopRow; row <= lastRow; ++row) {
        for (int col = FLeftCol; col <= lastCol; ++col) {
            const QRect cell = CellRect(col, row);
            if (!cell.intersects(dirty) || !OnDrawCell)
                continue;
            p.save();
            p.setClipRect(cell);
            OnDrawCell(this, p, col, row, cell, col == FCol && row == FRow);
            p.restore();
        }
    }
}

void TDrawGridEx::PointerAt(QPoint Cell)
{
    if (Cell == FHover)
        return;
    if (Cell.x() >= 0) {
        if (OnMouseEnterCell)
            OnMouseEnterCell(this, Cell.y(), Cell.x());
    } else if (OnMouseLeaveCell) {
        OnMouseLeaveCell(this, FHover.y(), FHover.x());
    }
    FHover = Cell;
}

void TDrawGridEx::mouseMoveEvent(QMouseEvent* event)
{
    PointerAt(MouseToCell(event->position().toPoint()));
}

bool TDrawGridEx::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove && (watched == horizontalScrollBar() || watched == verticalScrollBar()))
        PointerAt({-1, -1});
    return QAbstractScrollArea::eventFilter(watched, event);
}

void TDrawGridEx::leaveEvent(QEvent* event)
{
    QAbstractScrollArea::leaveEvent(event);
    const QPoint last = FHover;
    FHover = {-1, -1};
    if (OnMouseLeaveCell)
        OnMouseLeaveCell(this, last.y(), last.x());
    if (OnMouseLeave) {
        const QPoint screen = QCursor::pos();
        OnMouseLeave(this, screen.x(), screen.y());
    }
}

void TDrawGridEx::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    FPressed = MouseToCell(event->position().toPoint());
    if (FPressed.x() >= 0)
        SetCell(FPressed.x(), FPressed.y());
}

void TDrawGridEx::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint cell = MouseToCell(event->position().toPoint());
    const bool click = cell.x() >= 0 && cell == FPressed;
    FPressed = {-1, -1};
    if (click && OnCellClick)
        OnCellClick(this, cell.x(), cell.y());
}

void TDrawGridEx::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Left: SetCell(FCol - 1, FRow); break;
    case Qt::Key_Right: SetCell(FCol + 1, FRow); break;
    case Qt::Key_Up: SetCell(FCol, FRow - 1); break;
    case Qt::Key_Down: SetCell(FCol, FRow + 1); break;
    case Qt::Key_Home: SetCell(0, FRow); break;
    case Qt::Key_End: SetCell(FColCount - 1, FRow); break;
    case Qt::Key_PageUp: SetCell(FCol - VisibleColCount(), FRow); break;
    case Qt::Key_PageDown: SetCell(FCol + VisibleColCount(), FRow); break;
    default:
        // Enter, Esc and the rest belong to whoever holds the grid.
        event->ignore();
        return;
    }
    event->accept();
}

void TDrawGridEx::wheelEvent(QWheelEvent* event)
{
    // A single-row grid scrolls sideways with the ordinary wheel.
    const QPoint delta = event->angleDelta();
    const int steps = (delta.y() != 0 ? delta.y() : delta.x()) / 120;
    if (steps == 0)
        return;
    if (verticalScrollBar()->maximum() > 0 && delta.y() != 0)
        ScrollTo(FLeftCol, FTopRow - steps);
    else
        ScrollTo(FLeftCol - steps, FTopRow);
    event->accept();
}

// ---- TfrmHistoryPopup --------------------------------------------------------------------

TfrmHistoryPopup::TfrmHistoryPopup(QWidget* parent)
    : QFrame(parent, Qt::Popup)
{
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    auto* layout = new QHBoxLayout(this);
    // The frame's own width already keeps the layout off the border.
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    FGrid = new TDrawGridEx(this);
    FGrid->SetRowCount(1);
    layout->addWidget(FGrid);
    setFocusProxy(FGrid);

    FGrid->OnDrawCell = [this](TObject*, QPainter& p, int col, int, const QRect& rect, bool selected) {
        DrawCell(p, col, rect, selected);
    };
    FGrid->OnMouseEnterCell = [this](TObject*, int, int col) {
        if (OnRolloverCellEvent)
            OnRolloverCellEvent(this, col);
    };
    FGrid->OnMouseLeaveCell = [this](TObject*, int, int) {
        if (OnLeaveCell)
            OnLeaveCell(this);
    };
    FGrid->OnCellClick = [this](TObject*, int col, int) { Select(col); };
}

void TfrmHistoryPopup::Setup(int Count, int Current, int VisibleCount, int CellSize)
{
    FCount = std::max(Count, 0);
    VisibleCount = std::max(VisibleCount, 1);
    CellSize = std::max(CellSize, 1);
    const bool scrolls = FCount > VisibleCount;
    const int across = std::clamp(FCount, 1, VisibleCount);

    FGrid->SetDefaultColWidth(CellSize);
    FGrid->SetDefaultRowHeight(CellSize);
    FGrid->SetColCount(FCount);
    FGrid->setHorizontalScrollBarPolicy(scrolls ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    FGrid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int bar = scrolls ? FGrid->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, FGrid) : 0;
    FGrid->setFixedSize(across * CellSize, CellSize + bar);
    const int border = 2 * frameWidth();
    setFixedSize(across * CellSize + border, CellSize + bar + border);
    // The grid's view has its final width only now; scroll with the right page size.
    FGrid->ScrollTo(0, 0);
    if (FCount > 0)
        FGrid->SetCell(std::clamp(Current, 0, FCount - 1), 0);
    FGrid->viewport()->update();
}

void TfrmHistoryPopup::Popup(QPoint GlobalTopLeft)
{
    QPoint pos = GlobalTopLeft;
    if (QScreen* screen = QGuiApplication::screenAt(GlobalTopLeft)) {
        const QRect avail = screen->availableGeometry();
        pos.setX(std::clamp(pos.x(), avail.left(), std::max(avail.left(), avail.right() - width() + 1)));
        pos.setY(std::clamp(pos.y(), avail.top(), std::max(avail.top(), avail.bottom() - height() + 1)));
    }
    move(pos);
    show();
    activateWindow();
    FGrid->setFocus(Qt::PopupFocusReason);
}

void TfrmHistoryPopup::PopupBelow(QWidget* Button)
{
    Popup(Button->mapToGlobal(QPoint(0, Button->height())));
}

void TfrmHistoryPopup::SetColorVisionType(TColorVisionType Value)
{
    if (Value == FColorVisionType)
        return;
    FColorVisionType = Value;
    FGrid->viewport()->update();
}

void TfrmHistoryPopup::DrawCell(QPainter& p, int ACol, const QRect& Rect, bool Selected)
{
    TColor color = clBlack;
    if (OnGetColor)
        OnGetColor(this, ACol, color);
    color = ColorToRGB(color);
    const auto shown = [this](TColor c) { return QColorFromTColor(SimulateColorVision(c, FColorVisionType)); };
    // From the outside in: window, selection (or window), white, two darker rims, the colour.
    const QColor rings[] = {
        shown(clWindow),
        Selected ? shown(clBlack) : shown(clWindow),
        Selected ? shown(clBlack) : shown(clWindow),
        shown(clWhite),
        shown(AdjustColor(color, akDarker, 0.2)),
        shown(AdjustColor(color, akDarker, 0.1)),
    };
    QRect r = Rect;
    for (const QColor& ring : rings) {
        p.fillRect(r, ring);
        r.adjust(1, 1, -1, -1);
    }
    if (r.isValid())
        p.fillRect(r, shown(color));
}

void TfrmHistoryPopup::Select(int Index)
{
    if (Index < 0 || Index >= FCount)
        return;
    if (OnSelectItem)
        OnSelectItem(this, Index);
    close();
}

void TfrmHistoryPopup::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: Select(FGrid->Col()); return;
    case Qt::Key_Escape: close(); return;
    default: QFrame::keyPressEvent(event);
    }
}

void TfrmHistoryPopup::hideEvent(QHideEvent* event)
{
    QFrame::hideEvent(event);
    if (OnClose)
        OnClose(this);
}
