#pragma once
// The colour inspector of the palette panel: a swatch, the colour's descriptive name and a
// small grid of its values (Hex, RGB, CMYK, HSB, HSL). Rollovers anywhere in the window show
// a colour here; leaving clears it. It folds to its caption bar.

#include "colour/ColorTypes.h"
#include "colour/Events.h"

#include <QWidget>

#include <array>
#include <functional>
#include <optional>

class QLabel;
class TCaptionBar;
class TColorButton;

enum TInspectorRow { irHex, irRGB, irCMYK, irHSB, irHSL };
inline constexpr int kInspectorRowCount = 5;

class TColorInspector : public QWidget, public TObject {
    Q_OBJECT
public:
    // Bytes 0..255 of C, M, Y and K from the colour-management transform, or nothing when no
    // transform exists.
    using TCMYKTransform = std::function<std::optional<std::array<int, 4>>(TColor Color)>;
    using TCollapsedEvent = std::function<void(TObject* Sender, bool Collapsed)>;

    explicit TColorInspector(QWidget* parent = nullptr);

    // Height of the expanded panel in pixels.
    static constexpr int kExpandedHeight = 140;

    void ShowColorInfo(TColor Color);
    void ClearColorInfo();
    // True while a colour is shown.
    bool HasColor() const;
    TColor ShownColor() const;

    // Which rows show, in the order Hex, RGB, CMYK, HSB, HSL (all on at start).
    std::array<bool, kInspectorRowCount> InspectorRows() const { return FRows; }
    void SetInspectorRows(const std::array<bool, kInspectorRowCount>& Rows);
    // Recomputes the grid after a change of rows or of the transform.
    void LayoutColorInspector();

    void SetCMYKTransform(TCMYKTransform Transform);

    // Folded to the caption bar, or 140 pixels high.
    bool Collapsed() const { return FCollapsed; }
    void SetCollapsed(bool Value);

    // The grid as shown: one caption and one value text per enabled row.
    int RowCount() const;
    QString RowCaption(int Row) const;
    QString RowValue(int Row) const;
    QString NameText() const;

    TCaptionBar* cbarInspector = nullptr;
    TColorButton* btnInspectorColor = nullptr;
    QLabel* lblColorInspectorName = nullptr;
    QWidget* pbxInspector = nullptr;

    // The caption bar's collapse button changed the state (the owner stores it and re-lays its
    // panel out).
    TCollapsedEvent OnCollapsedChange;

    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class TInspectorGrid;
    QString ValueText(TInspectorRow Row) const;
    std::array<TInspectorRow, kInspectorRowCount> EnabledRows(int& Count) const;
    void Relayout();

    std::array<bool, kInspectorRowCount> FRows {true, true, true, true, true};
    TCMYKTransform FCMYKTransform;
    bool FCollapsed = false;
};
