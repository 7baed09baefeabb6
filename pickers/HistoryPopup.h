#pragma once
// The history pop-up: one row of colour cells under the "Color History" button, one per
// history entry (oldest left), and the draw grid it is made of. The pop-up asks its owner for
// every colour and reports rollovers and the choice; the owner keeps the history itself.

#include "colour/ColorTypes.h"
#include "colour/ColorVision.h"
#include "colour/Events.h"

#include <QAbstractScrollArea>
#include <QFrame>

#include <functional>

class QPainter;

// ARow and ACol of the cell, -1 and -1 for none.
using TCellRolloverEvent = std::function<void(TObject* Sender, int ARow, int ACol)>;
// X and Y: the pointer's screen position.
using TGridMouseLeaveEvent = std::function<void(TObject* Sender, int X, int Y)>;
using TDrawCellEvent
    = std::function<void(TObject* Sender, QPainter& Painter, int ACol, int ARow, const QRect& Rect, bool Selected)>;
using TCellClickEvent = std::function<void(TObject* Sender, int ACol, int ARow)>;

// A grid of equal cells drawn by its owner, with one selected cell, whole-cell scrolling and
// events for the pointer entering and leaving cells.
class TDrawGridEx : public QAbstractScrollArea, public TObject {
    Q_OBJECT
public:
    explicit TDrawGridEx(QWidget* parent = nullptr);

    int ColCount() const { return FColCount; }
    void SetColCount(int Value);
    int RowCount() const { return FRowCount; }
    void SetRowCount(int Value);
    // Cell size in logical pixels.
    int DefaultColWidth() const { return FColWidth; }
    void SetDefaultColWidth(int Value);
    int DefaultRowHeight() const { return FRowHeight; }
    void SetDefaultRowHeight(int Value);

    // The selected cell; setting it scrolls it into view.
    int Col() const { return FCol; }
    int Row() const { return FRow; }
    void SetCell(int ACol, int ARow);
    // First column and row shown.
    int LeftCol() const { return FLeftCol; }
    int TopRow() const { return FTopRow; }
    void ScrollTo(int ALeftCol, int ATopRow);
    // Columns and rows that fit the view completely (at least 1).
    int VisibleColCount() const;
    int VisibleRowCount() const;

    // The cell under a point of the viewport, {-1, -1} where there is none (x is the column).
    QPoint MouseToCell(QPoint ViewportPos) const;
    // Where a cell is drawn in the viewport (possibly outside it when scrolled away).
    QRect CellRect(int ACol, int ARow) const;
    // The cell the pointer was last seen over, {-1, -1} for none.
    QPoint HoverCell() const { return FHover; }

    TDrawCellEvent OnDrawCell;
    // The left button went down and came up on the same cell.
    TCellClickEvent OnCellClick;
    // The pointer moved onto a cell (also straight from another one).
    TCellRolloverEvent OnMouseEnterCell;
    // The pointer moved off the cell onto no cell, or left the grid.
    TCellRolloverEvent OnMouseLeaveCell;
    TGridMouseLeaveEvent OnMouseLeave;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void PointerAt(QPoint Cell);
    void UpdateScrollBars();
    void ScrollIntoView(int ACol, int ARow);

    int FColCount = 1;
    int FRowCount = 1;
    int FColWidth = 64;
    int FRowHeight = 24;
    int FCol = 0;
    int FRow = 0;
    int FLeftCol = 0;
    int FTopRow = 0;
    QPoint FHover {-1, -1};
    QPoint FPressed {-1, -1};
};

using TGetColorEvent = std::function<void(TObject* Sender, int Index, TColor& Color)>;
using TSelectItemEvent = std::function<void(TObject* Sender, int Index)>;

class TfrmHistoryPopup : public QFrame, public TObject {
    Q_OBJECT
public:
    explicit TfrmHistoryPopup(QWidget* parent = nullptr);

    // Prepares the cells: Count entries, entry Current selected and scrolled into view,
    // VisibleCount cells across before a scroll bar is needed, cells CellSize pixels square.
    // The window takes the size that shows them.
    void Setup(int Count, int Current, int VisibleCount, int CellSize);
    // Opens the pop-up with its top-left corner at a screen point (kept on that screen).
    void Popup(QPoint GlobalTopLeft);
    // Opens it just below a button, left edges aligned.
    void PopupBelow(QWidget* Button);

    TColorVisionType ColorVisionType() const { return FColorVisionType; }
    void SetColorVisionType(TColorVisionType Value);

    TDrawGridEx* Grid() const { return FGrid; }

    // Asked for each cell's colour while painting; Color comes in black.
    TGetColorEvent OnGetColor;
    TSelectItemEvent OnRolloverCellEvent;
    TNotifyEvent OnLeaveCell;
    // A click or Enter chose this entry; the pop-up closes right after.
    TSelectItemEvent OnSelectItem;
    // Every close, however it came about.
    TNotifyEvent OnClose;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void DrawCell(QPainter& Painter, int ACol, const QRect& Rect, bool Selected);
    void Select(int Index);

    TDrawGridEx* FGrid = nullptr;
    int FCount = 0;
    TColorVisionType FColorVisionType = cvtNorm;
};
