#pragma once
// The web-safe picker: the colour cubes of a channel grid (the 216 web-safe colours as six
// 6 x 6 cubes by default), optionally with a column of twelve fixed colours at the left and a
// gap column between them and the cubes. Hovering outlines a swatch in white and reports it;
// the owner decides what a click or a double click does with SelectedColor.

#include "colour/ColorTypes.h"
#include "colour/ColorVision.h"
#include "pickers/CachedBackground.h"
#include "pickers/ColorControlBase.h"

#include <array>

// Black, four greys, white, then the primaries and secondaries.
extern const std::array<TColor, 12> kPickerFixedColors;

class TColorPicker : public TColorControlBase {
    Q_OBJECT
public:
    explicit TColorPicker(QWidget* parent = nullptr);

    // Levels per channel, 3..24; also the number of cubes. Keeps Rows where it can.
    int Cubes() const { return FCubes; }
    void SetCubes(int Value);
    // Arrangement of the cubes; setting one derives the other so that every cube has a place.
    int Rows() const { return FRows; }
    void SetRows(int Value);
    int Columns() const { return FColumns; }
    void SetColumns(int Value);
    // Edge of one swatch in pixels, 4..20.
    int SwatchSize() const { return FSwatchSize; }
    void SetSwatchSize(int Value);
    // Swatches outlined by 1-pixel black lines (shared between neighbours).
    bool ShowLines() const { return FShowLines; }
    void SetShowLines(bool Value);
    bool ShowFixedColors() const { return FShowFixedColors; }
    void SetShowFixedColors(bool Value);
    TColorVisionType ColorVisionType() const { return FColorVisionType; }
    void SetColorVisionType(TColorVisionType Value);

    // The colour shown under the mouse, or last pressed; the background colour after the mouse
    // left. With a simulation on, the simulated colour.
    TColor SelectedColor() const { return FSelectedColor; }

    // Columns taken by the fixed colours and the gap after them (0 when they are hidden).
    int FixedColumns() const { return FFixedColumns; }
    // The hovered cell (column, row) or (-1, -1).
    QPoint HoveredCell() const { return {FHoverCol, FHoverRow}; }
    // The colour a cell holds before any simulation; false for the gap, empty places and cells
    // outside the grid.
    bool CellColor(int Col, int Row, TColor& Color) const;
    // The control's rectangle of a cell: the swatch with its outline.
    QRect CellRect(int Col, int Row) const;

    const CachedBackground& Background() const { return FBackground; }

    QSize sizeHint() const override;

    TColorEvent OnHoverColor;
    TNotifyEvent OnLeave;
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;

Q_SIGNALS:
    void hoverColor(quint32 color);
    void left();
    void clicked();
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    QPoint OwnerPoint(QPointF Pos) const override;

private:
    int Level(int Index) const;
    TColor BackgroundColor() const;
    TColor ShownColorAtCell(QPointF Pos);
    void SetHover(int Col, int Row);
    void Relayout();
    void Render(QImage& image) const;

    int FCubes = 6;
    int FRows = 2;
    int FColumns = 3;
    int FSwatchSize = 10;
    bool FShowLines = true;
    bool FShowFixedColors = false;
    TColorVisionType FColorVisionType = cvtNorm;
    TColor FSelectedColor = 0;
    int FFixedColumns = 0;
    int FHoverCol = -1;
    int FHoverRow = -1;
    bool FClickArmed = false; // a left press that its release may turn into a click
    CachedBackground FBackground;
};
