#pragma once
// The palette grid: holds the document (a palette collection with a current palette), draws
// the current palette as thumbnails, a list or a compact list, reports rollovers, selections
// and changes, and is both the source and a target of colour drags.
//
// Coordinates: every point the grid takes or reports (IndexAt, CellRect, mouse positions) is
// in the coordinates of its viewport, the area the cells are drawn in; OnMouseLeave and
// OnContextPopup report screen coordinates.
//
// Change notifications: the collection's palettes report to the grid, which passes them on
// as OnPaletteChange (list or texts of a palette changed), OnColorChange (a swatch changed)
// and OnPaletteListChange (palettes added or deleted, another palette current). Between
// BeginUpdate and EndUpdate they are held back; EndUpdate announces a held colour change,
// then a held palette change, each at most once. A collection change inside an update is
// dropped.
//
// Left and Right Alt: the drop and press rules tell the two Alt keys apart, which Qt cannot
// do portably. Right Alt is taken to be AltGr (Qt::GroupSwitchModifier) or the Meta key;
// Alt alone is Left Alt. On a layout whose right Alt key is a plain Alt it acts as Left Alt.

#include "colour/ColorTypes.h"
#include "colour/ColorVision.h"
#include "colour/Colors.h"
#include "colour/Events.h"
#include "palette/RichColor.h"
#include "pickers/ColorDragObj.h"

#include <QAbstractScrollArea>
#include <QElapsedTimer>
#include <QPoint>
#include <QRect>

#include <functional>
#include <memory>

class QFont;
class QMimeData;
class QTimer;

enum TAutoFill {
    afHorozontal, // rows filled left to right
    afVertical // columns filled top to bottom
};

enum TCellStyle { csSwatch, csList, csCompactList };

class TAdvSwatchGrid : public QAbstractScrollArea, public TObject {
    Q_OBJECT
public:
    // Color: the swatch's colour over a swatch, the grid colour elsewhere.
    using TSwatchRolloverEvent = std::function<void(TObject* Sender, TColor Color, bool OverSwatch)>;
    // X, Y: the cursor on the screen.
    using TMouseLeaveEvent = std::function<void(TObject* Sender, int X, int Y)>;
    // Index: the swatch pressed; Shift: whether Shift was held too.
    using TSwatchCtrlPressEvent = std::function<void(TObject* Sender, int Index, bool Shift)>;
    // Color: SelectedColor after the press selected the swatch.
    using TSwatchColorEvent = std::function<void(TObject* Sender, TColor Color)>;
    using TSwatchIndexEvent = std::function<void(TObject* Sender, int Index)>;
    // ScreenPos: where the menu should open.
    using TContextPopupEvent = std::function<void(TObject* Sender, QPoint ScreenPos)>;

    // A press within this many milliseconds after the swatch dialog closed is ignored.
    static constexpr int kDialogGuardMs = 300;
    // Auto-scroll while a drag hovers near the top or bottom edge.
    static constexpr int kAutoScrollMs = 100;
    static constexpr int kAutoScrollZone = 15;
    // A left press turns into a drag request after the pointer moved this far.
    static constexpr int kDragRequestDistance = 4;

    explicit TAdvSwatchGrid(QWidget* parent = nullptr);
    ~TAdvSwatchGrid() override;

    // ---- the document
    // Created with one palette "Palette 1", which is current.
    TRichPaletteList& PaletteList() { return *FPaletteList; }
    const TRichPaletteList& PaletteList() const { return *FPaletteList; }
    // The collection's current palette, nullptr when it has none.
    TRichPalette* CurrentPalette() const;
    // Swatches of the current palette (0 without one).
    int Count() const;
    // nullptr for an index outside 0..Count-1.
    TRichColor* Swatch(int Index) const;

    // Appends a swatch of this colour to the current palette; the palette change is announced
    // with the colour already in place. With Focus the new cell becomes current. Sets
    // Modified. nullptr (and nothing done) when there is no current palette.
    TRichColor* AddColor(TColor Color, bool Focus);
    // Inserts a swatch of this colour before Index (clamped to 0..Count); with Select its cell
    // becomes current. Sets Modified.
    TRichColor* InsertColor(int Index, TColor Color, bool Select);
    // PaletteList().Add; sets Modified.
    TRichPalette* AddPalette(const QString& Title, bool MakeCurrent);
    // An index outside 0..Count-1 does nothing. Afterwards the previously focused index is
    // focused again, or the new last swatch when that index is gone. Does not set Modified.
    void DeleteSwatch(int Index);
    void ClearCurrentPalette();
    // Back to one empty palette "Palette 1" with no description, URL, author or keywords.
    void NewCollection();
    // The current palette's RemoveDuplicates, announced once.
    void RemoveDuplicates();

    // Hold back change notifications; pairs nest, the outermost EndUpdate announces.
    void BeginUpdate();
    void EndUpdate();
    bool IsUpdating() const { return FUpdateCount > 0; }

    void NextPalette();
    void PreviousPalette();
    // A valid index becomes current; an invalid one changes nothing.
    void SelectPalette(int Index);

    // ---- cells and selection
    // A valid index's cell becomes current (and selected) and is scrolled into view.
    void SelectSwatch(int Index);
    void FocusSwatch(int Index);
    void FocusLast();
    // The swatch index at a viewport point, -1 where there is no swatch.
    int IndexAt(int X, int Y) const;
    // Index of the current cell; may lie beyond the last swatch after deletions.
    int FocusedIndex() const { return IndexOfCell(FCol, FRow); }
    // Index of the selected swatch, -1 for none.
    int SelectedIndex() const { return FSelectedIndex; }
    // The selected swatch's colour; without a selection the first swatch's colour, or the
    // grid colour when the palette is empty.
    TColor SelectedColor() const;
    // The swatch under the last mouse press or context menu, -1 for none.
    int PopupSwatchIndex() const { return FPopupSwatchIndex; }

    // Unsaved changes. Set by additions, inserts, new palettes and drops.
    bool Modified() const { return FModified; }
    void SetModified(bool Value) { FModified = Value; }

    // MarkDuplicates of the current palette: whether two of its swatches share a colour.
    bool HasDuplicates();

    // ---- look
    TAutoFill AutoFill() const { return FAutoFill; }
    void SetAutoFill(TAutoFill Value);
    // Thumbnails larger than 9 x 9 pixels get a bevelled frame.
    bool Cell3D() const { return FCell3D; }
    void SetCell3D(bool Value);
    // Pixels left free at the right and bottom of every cell.
    int CellSpace() const { return FCellSpace; }
    void SetCellSpace(int Value);
    TCellStyle CellStyle() const { return FCellStyle; }
    void SetCellStyle(TCellStyle Value);
    // Format of the value line in the list view.
    TColorValueFmt ColorValueFormat() const { return FColorValueFormat; }
    void SetColorValueFormat(TColorValueFmt Value);
    TColorVisionType ColorVisionType() const { return FColorVisionType; }
    void SetColorVisionType(TColorVisionType Value);
    // Outline of small thumbnails.
    TColor OutlineColor() const { return FOutlineColor; }
    void SetOutlineColor(TColor Value);
    // Marks swatches whose colour occurs twice in the list views.
    bool ShowDuplicates() const { return FShowDuplicates; }
    void SetShowDuplicates(bool Value);
    // A dotted cell after the last swatch, where a drop appends.
    bool ShowEmptySwatch() const { return FShowEmptySwatch; }
    void SetShowEmptySwatch(bool Value);
    // Hints over swatches (caption and description).
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value) { FShowHint = Value; }

    // The grid's own colour (its parent's window colour): the background of every cell.
    TColor Color() const;

    // ---- grid geometry (cells are DefaultColWidth x DefaultRowHeight pixels, no lines)
    int ColCount() const { return FColCount; }
    void SetColCount(int Value);
    int RowCount() const { return FRowCount; }
    void SetRowCount(int Value);
    int DefaultColWidth() const { return FDefaultColWidth; }
    void SetDefaultColWidth(int Value);
    int DefaultRowHeight() const { return FDefaultRowHeight; }
    void SetDefaultRowHeight(int Value);
    // First row and column shown.
    int TopRow() const { return FTopRow; }
    void SetTopRow(int Value);
    int LeftCol() const { return FLeftCol; }
    void SetLeftCol(int Value);
    // The current cell.
    int Col() const { return FCol; }
    int Row() const { return FRow; }
    // Fits the dependent dimension (rows with afHorozontal, columns with afVertical) to the
    // current palette's count, then repaints.
    void RecountRows();
    // Swatch index of a cell by the AutoFill mapping (it may lie beyond the last swatch), -1
    // for a cell outside the grid.
    int IndexOfCell(int ACol, int ARow) const;
    // The cell (column, row) of an index by the AutoFill mapping.
    QPoint CellOfIndex(int Index) const;
    // The viewport rectangle of a cell (also for cells scrolled out of view).
    QRect CellRect(int ACol, int ARow) const;
    // Repaints every visible cell.
    void Invalidate();

    // ---- hints
    // Caption, a line break, the description or "[no description]"; empty outside a swatch.
    QString HintText(int Index) const;
    // How long the hint of a swatch stays, in milliseconds; -1 for the usual time.
    int HintHidePause(int Index) const;

    // Text as it fits Width pixels in Font: whole when it fits, else shortened from the end
    // until it plus "..." fits ("..." alone when nothing of it does).
    static QString FitText(const QString& Text, const QFont& Font, int Width);

    // ---- the main window's part of mouse handling
    // Records that the swatch dialog closed now, so the press that follows at once is ignored.
    void MarkSwatchDialogClosed();

    // ---- drags
    // Whether the data carries a colour drag that started in this grid (in this process).
    bool IsOwnDrag(const QMimeData* Data) const;
    // Makes Target (the Clear Palette button) accept only drags that started in this grid; such
    // a drop deletes the dragged swatch. The grid filters Target's events for as long as both
    // live.
    void AcceptDeleteDropsOn(QWidget* Target);
    // The stand-ins for the two Alt keys (see the top of this file).
    static bool IsLeftAlt(Qt::KeyboardModifiers Modifiers);
    static bool IsRightAlt(Qt::KeyboardModifiers Modifiers);

    // ---- events
    TAutoCaptionEvent OnAutoCaption; // Sender: the swatch
    TPaletteChangeEvent OnColorChange;
    TSwatchRolloverEvent OnColorRollover;
    TMouseLeaveEvent OnMouseLeave;
    TNotifyEvent OnPaletteChange;
    TNotifyEvent OnPaletteListChange;
    // Left press with Ctrl on a swatch (the Variations and Blender pages take the colour).
    TSwatchCtrlPressEvent OnSwatchCtrlPress;
    // Left press with Left Alt (and no Ctrl) on a swatch: the base colour takes Color.
    TSwatchColorEvent OnSwatchAltPress;
    // Double click on a swatch (the swatch dialog).
    TSwatchIndexEvent OnSwatchDblClick;
    // Context menu request; PopupSwatchIndex already tells the swatch under it.
    TContextPopupEvent OnContextPopup;

    QSize sizeHint() const override;

protected:
    // Runs the drag until it ends; a test replaces it, since a drag loop needs a real desktop.
    virtual Qt::DropAction ExecColorDrag(const TColorDragCtrlObject& Drag);

    bool viewportEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void ListChanged();
    void PaletteChanged();
    void ColorChanged();
    TRichColor* PlaceColor(int Index, TColor Color);
    bool SelectCell(int ACol, int ARow);
    void SetCurrentCell(int ACol, int ARow);
    void ScrollIntoView(int ACol, int ARow);
    void UpdateScrollBars();
    int VisibleRows() const;
    int VisibleCols() const;
    void DrawCell(QPainter& p, int ACol, int ARow) const;
    void StartDrag();
    void StopAutoScroll();
    void AutoScrollTick();
    void DropColor(const TColorDragCtrlObject& Drag, int DropIndex, Qt::KeyboardModifiers Modifiers);
    void ShowHintAt(QPoint Pos, QPoint ScreenPos);

    std::unique_ptr<TRichPaletteList> FPaletteList;

    TAutoFill FAutoFill = afHorozontal;
    bool FCell3D = true;
    int FCellSpace = 0;
    TCellStyle FCellStyle = csList;
    TColorValueFmt FColorValueFormat = cfRGB;
    TColorVisionType FColorVisionType = cvtNorm;
    TColor FOutlineColor = clBlack;
    bool FShowDuplicates = true;
    bool FShowEmptySwatch = false;
    bool FShowHint = true;

    int FColCount = 16;
    int FRowCount = 1;
    int FDefaultColWidth = 15;
    int FDefaultRowHeight = 15;
    int FTopRow = 0;
    int FLeftCol = 0;
    int FCol = 0;
    int FRow = 0;

    int FSelectedIndex = -1;
    int FPopupSwatchIndex = -1;
    bool FModified = false;
    int FUpdateCount = 0;
    bool FPalettePending = false;
    bool FColorPending = false;

    // Drag start: a left press arms; 4 pixels request the drag; the platform threshold from
    // there starts it.
    bool FPressArmed = false;
    bool FDragRequested = false;
    QPoint FPressPos;
    QPoint FRequestPos;

    QTimer* FAutoScrollTimer = nullptr;
    QPoint FDragPos;

    QElapsedTimer FDialogClosed;
    int FHintIndex = -1;
};
