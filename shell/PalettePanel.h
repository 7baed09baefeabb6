#pragma once
// The palette panel on the right of the main window, top to bottom: the caption bar "Color
// Palette" with its menu button, the palette tool bar (info, add, delete, the three view
// modes, the combo box of palettes), the swatch grid that holds the document, the row with
// the colour count and three buttons, and the colour inspector.
//
// The panel lays its parts out and shows the document's state; what a button does is the
// main window's, which connects to the public members.

#include <QWidget>

class QComboBox;
class QLabel;
class QMenu;
class QToolButton;
class TAdvSwatchGrid;
class TCaptionBar;
class TColorInspector;

class TPalettePanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int kPanelWidth = 200;
    static constexpr int kToolbarHeight = 54;
    static constexpr int kButtonsHeight = 28;

    // One row of the view-mode table. Width 0 means the grid's width less a vertical
    // scroll bar.
    struct TViewMode {
        int Columns;
        int CellStyle; // a TCellStyle
        int ColWidth;
        int RowHeight;
    };
    static TViewMode ViewModeRow(int Mode);

    explicit TPalettePanel(QWidget* parent = nullptr);

    // UpdatePaletteStatus: the combo lists every palette's title with the current one
    // chosen, the label counts the current palette's colours, Remove Duplicates is enabled
    // while two swatches share a colour and Clear Palette while there is a swatch.
    void UpdateStatus();
    // "调色板是空的" for an empty palette, else "%d 颜色".
    static QString ColorCountText(int Count);

    // Applies the view-mode table to the grid and presses the mode's button (0 list,
    // 1 compact list, 2 thumbnails; other values are ignored).
    void ApplyViewMode(int Mode);
    int ViewMode() const { return FViewMode; }

    void SetToolbarVisible(bool Visible);
    bool ToolbarVisible() const;

    // The parts, named as the form names them.
    TCaptionBar* cbarColorPalette = nullptr;
    QWidget* dxcPaletteToolbar = nullptr;
    QToolButton* btnPaletteEdit = nullptr;
    QToolButton* btnPaletteAdd = nullptr;
    QToolButton* btnPaletteDel = nullptr;
    QToolButton* btnPaletteList = nullptr;
    QToolButton* btnPaletteCompactList = nullptr;
    QToolButton* btnPaletteThn = nullptr;
    QComboBox* cbCurrentPalette = nullptr;
    TAdvSwatchGrid* grdPalette = nullptr;
    QWidget* dxcPaletteButtons = nullptr;
    QLabel* lblColorCount = nullptr;
    QToolButton* btnPaletteColorPicker = nullptr;
    QToolButton* btnRemoveDuplicates = nullptr;
    QToolButton* btnClearPalette = nullptr;
    TColorInspector* dxcColorInspector = nullptr;
    // The caption bar's menu and the grid's context menu; the command set fills them.
    QMenu* popColorPalette = nullptr;
    QMenu* popSwatch = nullptr;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void FitListColumn();

    int FViewMode = 0;
};
