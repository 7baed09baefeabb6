#include "shell/PalettePanel.h"

#include "palette/RichColor.h"
#include "pickers/CaptionBar.h"
#include "shell/AdvSwatchGrid.h"
#include "shell/ColorInfoPanel.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kGlyph = 16;

// The panel's button glyphs, drawn so they follow the screen's pixel ratio.
void DrawGlyph(QPainter& p, const QString& key)
{
    p.setRenderHint(QPainter::Antialiasing);
    const QColor outline(60, 60, 70);
    auto swatch = [&](QRectF r, QColor c) {
        p.setPen(QPen(outline, 0.8));
        p.setBrush(c);
        p.drawRect(r);
    };
    if (key == u"info") {
        p.setPen(QPen(outline, 0.8));
        p.setBrush(QColor(70, 125, 205));
        p.drawEllipse(QPointF(8, 8), 6.5, 6.5);
        p.setPen(QPen(Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(8, 7.2), QPointF(8, 11.5));
        p.drawPoint(QPointF(8, 4.6));
    } else if (key == u"add" || key == u"delete") {
        swatch(QRectF(1.5, 2.5, 10, 11), QColor(250, 250, 245));
        for (int i = 0; i < 3; ++i) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor::fromHsv(i * 110, 170, 230));
            p.drawRect(QRectF(3, 4 + i * 3, 7, 2));
        }
        p.setPen(QPen(key == u"add" ? QColor(30, 140, 50) : QColor(200, 40, 40), 2.2, Qt::SolidLine, Qt::RoundCap));
        if (key == u"add") {
            p.drawLine(QPointF(12, 8.5), QPointF(12, 14.5));
            p.drawLine(QPointF(9, 11.5), QPointF(15, 11.5));
        } else {
            p.drawLine(QPointF(9.5, 9), QPointF(14.5, 14));
            p.drawLine(QPointF(14.5, 9), QPointF(9.5, 14));
        }
    } else if (key == u"list" || key == u"compact") {
        const int rows = key == u"list" ? 3 : 5;
        const double h = 13.0 / rows;
        for (int i = 0; i < rows; ++i) {
            const double y = 1.5 + i * h;
            swatch(QRectF(1.5, y + 0.5, h - 1, h - 1), QColor::fromHsv(200 + i * 30, 150, 220));
            p.setPen(QPen(outline, key == u"list" ? 1.4 : 1.0));
            p.drawLine(QPointF(h + 2.5, y + h / 2), QPointF(14.5, y + h / 2));
        }
    } else if (key == u"thumbs") {
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                swatch(QRectF(1.5 + c * 4.5, 1.5 + r * 4.5, 4, 4), QColor::fromHsv((r * 3 + c) * 40, 170, 230));
    } else if (key == u"eyedrop") {
        p.setPen(QPen(outline, 1.0));
        p.setBrush(QColor(180, 190, 205));
        QPainterPath body;
        body.moveTo(10, 2.5);
        body.lineTo(13.5, 6);
        body.lineTo(5.5, 14);
        body.lineTo(2, 14);
        body.lineTo(2, 10.5);
        body.closeSubpath();
        p.drawPath(body);
        p.setBrush(QColor(60, 60, 70));
        p.drawRoundedRect(QRectF(9.5, 1, 5.5, 5.5), 1.5, 1.5);
    } else if (key == u"dupes") {
        swatch(QRectF(1.5, 1.5, 8, 8), QColor(225, 90, 60));
        swatch(QRectF(6.5, 6.5, 8, 8), QColor(225, 90, 60));
        p.setPen(QPen(QColor(200, 40, 40), 1.8, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(8, 8), QPointF(14, 14));
        p.drawLine(QPointF(14, 8), QPointF(8, 14));
    } else if (key == u"clear") {
        swatch(QRectF(2.5, 1.5, 11, 13), QColor(250, 250, 245));
        p.setPen(QPen(QColor(200, 40, 40), 2.0, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(5, 4.5), QPointF(11, 11.5));
        p.drawLine(QPointF(11, 4.5), QPointF(5, 11.5));
    }
}

QIcon PanelIcon(const QString& key)
{
    QIcon icon;
    for (int scale : {1, 2}) {
        QPixmap pm(kGlyph * scale, kGlyph * scale);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.scale(scale, scale);
        DrawGlyph(p, key);
        p.end();
        pm.setDevicePixelRatio(scale);
        icon.addPixmap(pm);
    }
    return icon;
}

QToolButton* MakeButton(QWidget* parent, const char* name, const QString& hint, const QString& glyph)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(hint);
    b->setStatusTip(hint);
    b->setAutoRaise(true);
    b->setIcon(PanelIcon(glyph));
    b->setIconSize(QSize(kGlyph, kGlyph));
    b->setFixedSize(24, 24);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

} // namespace

TPalettePanel::TViewMode TPalettePanel::ViewModeRow(int Mode)
{
    switch (Mode) {
    case 1: return {1, csCompactList, 0, 20};
    case 2: return {6, csSwatch, 27, 27};
    default: return {1, csList, 0, 36};
    }
}

QString TPalettePanel::ColorCountText(int Count)
{
    if (Count <= 0)
        return QStringLiteral("调色板是空的");
    return QStringLiteral("%1 颜色").arg(Count);
}

TPalettePanel::TPalettePanel(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("dxcPalette"));
    setFixedWidth(kPanelWidth);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    popColorPalette = new QMenu(this);
    popColorPalette->setObjectName(QStringLiteral("popColorPalette"));
    popSwatch = new QMenu(this);
    popSwatch->setObjectName(QStringLiteral("popSwatch"));

    cbarColorPalette = new TCaptionBar(this);
    cbarColorPalette->setObjectName(QStringLiteral("cbarColorPalette"));
    cbarColorPalette->SetCaption(QStringLiteral("Color Palette"));
    cbarColorPalette->SetButtonMenu(popColorPalette);
    cbarColorPalette->SetShowMenu(true);
    layout->addWidget(cbarColorPalette);

    dxcPaletteToolbar = new QWidget(this);
    dxcPaletteToolbar->setObjectName(QStringLiteral("dxcPaletteToolbar"));
    dxcPaletteToolbar->setFixedHeight(kToolbarHeight);
    {
        auto* column = new QVBoxLayout(dxcPaletteToolbar);
        column->setContentsMargins(3, 2, 3, 3);
        column->setSpacing(2);
        auto* row = new QHBoxLayout;
        row->setSpacing(1);
        btnPaletteEdit = MakeButton(dxcPaletteToolbar, "btnPaletteEdit", QStringLiteral("Palette Info"), "info");
        btnPaletteAdd = MakeButton(dxcPaletteToolbar, "btnPaletteAdd", QStringLiteral("Add Palette"), "add");
        btnPaletteDel = MakeButton(dxcPaletteToolbar, "btnPaletteDel", QStringLiteral("Delete Palette"), "delete");
        btnPaletteList = MakeButton(dxcPaletteToolbar, "btnPaletteList", QStringLiteral("View as List"), "list");
        btnPaletteCompactList
            = MakeButton(dxcPaletteToolbar, "btnPaletteCompactList", QStringLiteral("View as Compact List"), "compact");
        btnPaletteThn = MakeButton(dxcPaletteToolbar, "btnPaletteThn", QStringLiteral("View as Thumbnails"), "thumbs");
        // Group 55: one of the three view buttons is down.
        auto* group = new QButtonGroup(this);
        group->setObjectName(QStringLiteral("grpPaletteView55"));
        for (QToolButton* b : {btnPaletteList, btnPaletteCompactList, btnPaletteThn}) {
            b->setCheckable(true);
            group->addButton(b);
        }
        row->addWidget(btnPaletteEdit);
        row->addWidget(btnPaletteAdd);
        row->addWidget(btnPaletteDel);
        row->addSpacing(8);
        row->addWidget(btnPaletteList);
        row->addWidget(btnPaletteCompactList);
        row->addWidget(btnPaletteThn);
        row->addStretch(1);
        column->addLayout(row);
        cbCurrentPalette = new QComboBox(dxcPaletteToolbar);
        cbCurrentPalette->setObjectName(QStringLiteral("cbCurrentPalette"));
        cbCurrentPalette->setEditable(false);
        cbCurrentPalette->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        cbCurrentPalette->setMinimumContentsLength(8);
        column->addWidget(cbCurrentPalette);
    }
    layout->addWidget(dxcPaletteToolbar);

    grdPalette = new TAdvSwatchGrid(this);
    grdPalette->setObjectName(QStringLiteral("grdPalette"));
    // List rows are as wide as the grid less a vertical scroll bar: never a horizontal one.
    grdPalette->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grdPalette->installEventFilter(this);
    layout->addWidget(grdPalette, 1);

    dxcPaletteButtons = new QWidget(this);
    dxcPaletteButtons->setObjectName(QStringLiteral("dxcPaletteButtons"));
    dxcPaletteButtons->setFixedHeight(kButtonsHeight);
    {
        auto* row = new QHBoxLayout(dxcPaletteButtons);
        row->setContentsMargins(4, 2, 3, 2);
        row->setSpacing(1);
        lblColorCount = new QLabel(dxcPaletteButtons);
        lblColorCount->setObjectName(QStringLiteral("lblColorCount"));
        row->addWidget(lblColorCount, 1);
        btnPaletteColorPicker
            = MakeButton(dxcPaletteButtons, "btnPaletteColorPicker", QStringLiteral("Eye Drop Tool"), "eyedrop");
        btnRemoveDuplicates
            = MakeButton(dxcPaletteButtons, "btnRemoveDuplicates", QStringLiteral("Remove Duplicates"), "dupes");
        btnClearPalette = MakeButton(dxcPaletteButtons, "btnClearPalette", QStringLiteral("Clear Palette"), "clear");
        row->addWidget(btnPaletteColorPicker);
        row->addWidget(btnRemoveDuplicates);
        row->addWidget(btnClearPalette);
    }
    layout->addWidget(dxcPaletteButtons);
    // A swatch dragged from the grid onto Clear Palette is deleted.
    grdPalette->AcceptDeleteDropsOn(btnClearPalette);

    dxcColorInspector = new TColorInspector(this);
    dxcColorInspector->setObjectName(QStringLiteral("dxcColorInspector"));
    layout->addWidget(dxcColorInspector);

    ApplyViewMode(0);
    UpdateStatus();
}

void TPalettePanel::UpdateStatus()
{
    const TRichPaletteList& list = grdPalette->PaletteList();
    {
        const QSignalBlocker block(cbCurrentPalette);
        cbCurrentPalette->clear();
        for (int i = 0; i < list.Count(); ++i)
            cbCurrentPalette->addItem(list.Items(i)->Title());
        cbCurrentPalette->setCurrentIndex(list.ItemIndex());
    }
    const int count = grdPalette->Count();
    lblColorCount->setText(ColorCountText(count));
    btnRemoveDuplicates->setEnabled(grdPalette->HasDuplicates());
    btnClearPalette->setEnabled(count > 0);
}

void TPalettePanel::ApplyViewMode(int Mode)
{
    if (Mode < 0 || Mode > 2)
        return;
    FViewMode = Mode;
    const TViewMode row = ViewModeRow(Mode);
    grdPalette->SetColCount(row.Columns);
    grdPalette->SetCellStyle(static_cast<TCellStyle>(row.CellStyle));
    grdPalette->SetDefaultRowHeight(row.RowHeight);
    if (row.ColWidth > 0)
        grdPalette->SetDefaultColWidth(row.ColWidth);
    else
        FitListColumn();
    QToolButton* buttons[] = {btnPaletteList, btnPaletteCompactList, btnPaletteThn};
    buttons[Mode]->setChecked(true);
}

void TPalettePanel::FitListColumn()
{
    const int bar = grdPalette->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, grdPalette);
    grdPalette->SetDefaultColWidth(std::max(1, grdPalette->width() - bar));
}

void TPalettePanel::SetToolbarVisible(bool Visible)
{
    dxcPaletteToolbar->setVisible(Visible);
}

bool TPalettePanel::ToolbarVisible() const
{
    return dxcPaletteToolbar->isVisibleTo(const_cast<TPalettePanel*>(this));
}

bool TPalettePanel::eventFilter(QObject* Watched, QEvent* Event)
{
    // List rows follow the grid's width.
    if (Watched == grdPalette && Event->type() == QEvent::Resize && ViewModeRow(FViewMode).ColWidth == 0)
        FitListColumn();
    return QWidget::eventFilter(Watched, Event);
}
