#include "shell/ColorInfoPanel.h"

#include "colour/ColorNames.h"
#include "colour/Colors.h"
#include "pickers/CaptionBar.h"
#include "pickers/ColorButton.h"
#include "pickers/SysColors.h"

#include <QLabel>
#include <QPainter>
#include <QResizeEvent>

namespace {

constexpr TColor kNoColor = 0x7F000000;
constexpr int kRowHeight = 16;
const char* const kRowCaptions[kInspectorRowCount] = {"Hex", "RGB", "CMYK", "HSB", "HSL"};

} // namespace

// The value grid: caption column as wide as "CMYK:" plus 2 pixels, values in the rest.
class TInspectorGrid : public QWidget {
public:
    explicit TInspectorGrid(TColorInspector* owner)
        : QWidget(owner)
        , FOwner(owner)
    {
        setObjectName(QStringLiteral("pbxInspector"));
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), QColorFromTColor(clWindow));
        const int first = fontMetrics().horizontalAdvance(QStringLiteral("CMYK:")) + 2;
        p.setPen(QColorFromTColor(clWindowText));
        const QColor face = QColorFromTColor(clBtnFace);
        for (int i = 0; i < FOwner->RowCount(); ++i) {
            const QRect captionCell(0, i * kRowHeight, first, kRowHeight - 1);
            const QRect valueCell(first + 1, i * kRowHeight, width() - first - 1, kRowHeight - 1);
            p.fillRect(captionCell, face);
            p.fillRect(valueCell, face);
            p.drawText(captionCell.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, FOwner->RowCaption(i));
            p.drawText(valueCell.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, FOwner->RowValue(i));
        }
    }

private:
    TColorInspector* FOwner;
};

TColorInspector::TColorInspector(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("dxcInspector"));
    cbarInspector = new TCaptionBar(this);
    cbarInspector->setObjectName(QStringLiteral("cbarInspector"));
    cbarInspector->SetCaption(QStringLiteral("Color Inspector"));
    cbarInspector->SetCollapseBtn(true);
    cbarInspector->OnCollapseExpand = [this](TObject*, TCollapseExpand action) {
        SetCollapsed(action == ceCollapsing);
        if (OnCollapsedChange)
            OnCollapsedChange(this, FCollapsed);
    };

    btnInspectorColor = new TColorButton(this);
    btnInspectorColor->setObjectName(QStringLiteral("btnInspectorColor"));
    btnInspectorColor->SetFlat(true);
    btnInspectorColor->SetSelectionColor(kNoColor);
    btnInspectorColor->setFocusPolicy(Qt::NoFocus);

    lblColorInspectorName = new QLabel(this);
    lblColorInspectorName->setObjectName(QStringLiteral("lblColorInspectorName"));
    lblColorInspectorName->setWordWrap(true);
    lblColorInspectorName->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    pbxInspector = new TInspectorGrid(this);
    setMinimumWidth(160);
    resize(200, kExpandedHeight);
    Relayout();
}

QSize TColorInspector::sizeHint() const
{
    return {200, FCollapsed ? cbarInspector->sizeHint().height() : kExpandedHeight};
}

void TColorInspector::ShowColorInfo(TColor Color)
{
    const TColor c = ColorToRGB(Color);
    btnInspectorColor->SetSelectionColor(c);
    lblColorInspectorName->setText(ColorToName(c));
    pbxInspector->update();
}

void TColorInspector::ClearColorInfo()
{
    btnInspectorColor->SetSelectionColor(kNoColor);
    lblColorInspectorName->clear();
    pbxInspector->update();
}

bool TColorInspector::HasColor() const
{
    return btnInspectorColor->HasColor();
}

TColor TColorInspector::ShownColor() const
{
    return btnInspectorColor->SelectionColor();
}

void TColorInspector::SetInspectorRows(const std::array<bool, kInspectorRowCount>& Rows)
{
    if (Rows == FRows)
        return;
    FRows = Rows;
    LayoutColorInspector();
}

void TColorInspector::LayoutColorInspector()
{
    Relayout();
    pbxInspector->update();
}

void TColorInspector::SetCMYKTransform(TCMYKTransform Transform)
{
    FCMYKTransform = std::move(Transform);
    pbxInspector->update();
}

void TColorInspector::SetCollapsed(bool Value)
{
    if (cbarInspector->Collapsed() != Value)
        cbarInspector->SetCollapsed(Value);
    if (Value == FCollapsed)
        return;
    FCollapsed = Value;
    const int h = Value ? cbarInspector->sizeHint().height() : kExpandedHeight;
    setFixedHeight(h);
    updateGeometry();
}

std::array<TInspectorRow, kInspectorRowCount> TColorInspector::EnabledRows(int& Count) const
{
    std::array<TInspectorRow, kInspectorRowCount> rows {};
    Count = 0;
    for (int i = 0; i < kInspectorRowCount; ++i)
        if (FRows[i])
            rows[Count++] = static_cast<TInspectorRow>(i);
    return rows;
}

int TColorInspector::RowCount() const
{
    int count = 0;
    EnabledRows(count);
    return count;
}

QString TColorInspector::RowCaption(int Row) const
{
    int count = 0;
    const auto rows = EnabledRows(count);
    return Row >= 0 && Row < count ? QString::fromLatin1(kRowCaptions[rows[Row]]) : QString();
}

QString TColorInspector::RowValue(int Row) const
{
    int count = 0;
    const auto rows = EnabledRows(count);
    return Row >= 0 && Row < count ? ValueText(rows[Row]) : QString();
}

QString TColorInspector::NameText() const
{
    return lblColorInspectorName->text();
}

QString TColorInspector::ValueText(TInspectorRow Row) const
{
    if (!HasColor())
        return QStringLiteral("- -");
    const TColor c = ShownColor();
    switch (Row) {
    case irHex: return ColorToHex(GetRValue(c), GetGValue(c), GetBValue(c), true);
    case irRGB: return ColorToStatusRGB(c);
    case irCMYK:
        if (FCMYKTransform) {
            if (const auto bytes = FCMYKTransform(c)) {
                const auto pct = [&](int i) { return Round((*bytes)[i] * 100 / 255.0); };
                return QStringLiteral(" C:%1  M:%2  Y:%3  K:%4").arg(pct(0)).arg(pct(1)).arg(pct(2)).arg(pct(3));
            }
        }
        return ColorToStatusCMYK(c);
    case irHSB: return ColorToStatusHSB(c);
    case irHSL: return ColorToStatusHSL(c);
    }
    return {};
}

void TColorInspector::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Relayout();
}

void TColorInspector::Relayout()
{
    const int w = width();
    const int bar = cbarInspector->sizeHint().height();
    cbarInspector->setGeometry(0, 0, w, bar);
    // The values take the full width, since the CMYK row is the longest text of the panel;
    // the swatch and the colour's name share the strip under them.
    const int top = bar + 4;
    const int gridHeight = kInspectorRowCount * kRowHeight;
    pbxInspector->setGeometry(8, top, std::max(w - 16, 10), gridHeight);
    const int strip = top + gridHeight + 4;
    btnInspectorColor->setGeometry(8, strip, 28, 28);
    lblColorInspectorName->setGeometry(42, strip, std::max(w - 50, 10), 28);
}
