#include "shell/AdvSwatchGrid.h"

#include "pickers/SysColors.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFont>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QTextLayout>
#include <QTimer>
#include <QToolTip>

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace {

constexpr int kSysBtnShadow = 16;
constexpr int kSysBtnHighlight = 20;
constexpr int kSys3DDkShadow = 21;

// Marks a widget whose drops the grid's event filter decides (the Clear Palette button).
constexpr char kDeleteDropProperty[] = "korvelSwatchGridDeleteDrop";

// The mark of a colour that occurs twice: two overlapping sheets, 10 x 10 pixels.
constexpr int kMarkSize = 10;

// Qt keeps a tooltip this long unless told otherwise (QToolTip::showText with -1).
int DefaultHintPause(int HintLength)
{
    return 10000 + 40 * std::max(0, HintLength - 100);
}

// A working rectangle with exclusive right and bottom edges, shrunk one ring at a time, the
// way the cell drawing steps describe it.
struct Edges {
    int left, top, right, bottom;
    bool empty() const { return right <= left || bottom <= top; }
    void shrink(int by = 1)
    {
        left += by;
        top += by;
        right -= by;
        bottom -= by;
    }
    QRect rect() const { return {left, top, std::max(0, right - left), std::max(0, bottom - top)}; }
};

void Fill(QPainter& p, const Edges& e, const QColor& c)
{
    if (!e.empty())
        p.fillRect(e.rect(), c);
}

void Frame(QPainter& p, const Edges& e, const QColor& c)
{
    if (e.empty())
        return;
    const int w = e.right - e.left;
    const int h = e.bottom - e.top;
    p.fillRect(QRect(e.left, e.top, w, 1), c);
    p.fillRect(QRect(e.left, e.bottom - 1, w, 1), c);
    p.fillRect(QRect(e.left, e.top, 1, h), c);
    p.fillRect(QRect(e.right - 1, e.top, 1, h), c);
}

// Button highlight along the top and left, button shadow along the bottom and right.
void RaisedFrame(QPainter& p, const Edges& e, const QColor& light, const QColor& shadow)
{
    if (e.empty())
        return;
    const int w = e.right - e.left;
    const int h = e.bottom - e.top;
    p.fillRect(QRect(e.left, e.top, w, 1), light);
    p.fillRect(QRect(e.left, e.top, 1, h), light);
    p.fillRect(QRect(e.left, e.bottom - 1, w, 1), shadow);
    p.fillRect(QRect(e.right - 1, e.top, 1, h), shadow);
}

// Every other pixel of a rectangle's outline, as a dotted pen draws it at one pixel.
void DottedFrame(QPainter& p, const Edges& e, const QColor& c)
{
    if (e.empty())
        return;
    for (int x = e.left; x < e.right; ++x) {
        if ((x - e.left) % 2 == 0) {
            p.fillRect(QRect(x, e.top, 1, 1), c);
            p.fillRect(QRect(x, e.bottom - 1, 1, 1), c);
        }
    }
    for (int y = e.top; y < e.bottom; ++y) {
        if ((y - e.top) % 2 == 0) {
            p.fillRect(QRect(e.left, y, 1, 1), c);
            p.fillRect(QRect(e.right - 1, y, 1, 1), c);
        }
    }
}

void DrawDuplicateMark(QPainter& p, int x, int y)
{
    // A sheet behind a sheet: the usual picture of "a copy of this".
    const Edges back {x, y, x + 7, y + 7};
    const Edges front {x + 3, y + 3, x + kMarkSize, y + kMarkSize};
    Frame(p, back, Qt::black);
    Fill(p, Edges {back.left + 1, back.top + 1, back.right - 1, back.bottom - 1}, Qt::white);
    Frame(p, front, Qt::black);
    Fill(p, Edges {front.left + 1, front.top + 1, front.right - 1, front.bottom - 1}, Qt::white);
}

QFont GridFont(bool Bold, int PointSize)
{
    // Sized as the classic 96-dpi desktop sizes these points, so the rows hold their text
    // whatever the screen's logical dpi says.
    QFont font(QStringLiteral("Verdana"));
    font.setPixelSize((PointSize * 96 + 36) / 72);
    font.setBold(Bold);
    return font;
}

} // namespace

TAdvSwatchGrid::TAdvSwatchGrid(QWidget* parent)
    : QAbstractScrollArea(parent)
    , FPaletteList(std::make_unique<TRichPaletteList>())
{
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    viewport()->setMouseTracking(true);
    viewport()->setBackgroundRole(QPalette::Window);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    FAutoScrollTimer = new QTimer(this);
    FAutoScrollTimer->setInterval(kAutoScrollMs);
    connect(FAutoScrollTimer, &QTimer::timeout, this, [this] { AutoScrollTick(); });

    // The handlers go in before the first palette exists: a collection copies them into the
    // palettes it creates, not into those it already has.
    FPaletteList->OnChange = [this](TObject*) { ListChanged(); };
    FPaletteList->OnPaletteChange = [this](TObject*) { PaletteChanged(); };
    FPaletteList->OnColorChange = [this](TObject*) { ColorChanged(); };
    FPaletteList->SetOnAutoCaption([this](TObject* Sender, QString& Caption) {
        if (OnAutoCaption)
            OnAutoCaption(Sender, Caption);
    });
    FPaletteList->BeginUpdate();
    FPaletteList->Add(QStringLiteral("Palette 1"), true);
    // Nobody listens yet; drop the pending notice rather than announce it on the first change.
    FPaletteList->OnChange = nullptr;
    FPaletteList->EndUpdate();
    FPaletteList->OnChange = [this](TObject*) { ListChanged(); };
    RecountRows();
}

TAdvSwatchGrid::~TAdvSwatchGrid()
{
    // The collection's palettes call back into the grid while they are freed; nobody is
    // listening any more.
    FPaletteList->OnChange = nullptr;
    for (int i = 0; i < FPaletteList->Count(); ++i) {
        FPaletteList->Items(i)->OnChange = nullptr;
        FPaletteList->Items(i)->OnColorChange = nullptr;
    }
    OnAutoCaption = nullptr;
}

// ---- the document

TRichPalette* TAdvSwatchGrid::CurrentPalette() const
{
    return FPaletteList->Current();
}

int TAdvSwatchGrid::Count() const
{
    const TRichPalette* palette = CurrentPalette();
    return palette ? palette->Count() : 0;
}

TRichColor* TAdvSwatchGrid::Swatch(int Index) const
{
    if (Index < 0 || Index >= Count())
        return nullptr;
    return CurrentPalette()->Colors(Index);
}

TRichColor* TAdvSwatchGrid::PlaceColor(int Index, TColor Color)
{
    TRichPalette* palette = CurrentPalette();
    TRichColor* swatch = palette->Insert(Index);
    // The list change is the one to announce; the colour of a swatch nobody has seen yet is
    // not a second change.
    const TPaletteChangeEvent relay = std::exchange(swatch->OnChange, nullptr);
    swatch->SetColor(Color);
    swatch->OnChange = relay;
    return swatch;
}

TRichColor* TAdvSwatchGrid::AddColor(TColor Color, bool Focus)
{
    if (!CurrentPalette())
        return nullptr;
    // Held back to the end, so that listeners find the colour, the focus and the changed flag
    // in place.
    BeginUpdate();
    TRichColor* swatch = PlaceColor(Count(), Color);
    RecountRows();
    if (Focus)
        FocusSwatch(swatch->Index);
    FModified = true;
    EndUpdate();
    Invalidate();
    return swatch;
}

TRichColor* TAdvSwatchGrid::InsertColor(int Index, TColor Color, bool Select)
{
    if (!CurrentPalette())
        return nullptr;
    Index = std::clamp(Index, 0, Count());
    BeginUpdate();
    TRichColor* swatch = PlaceColor(Index, Color);
    RecountRows();
    if (Select)
        SelectSwatch(swatch->Index);
    FModified = true;
    EndUpdate();
    Invalidate();
    return swatch;
}

TRichPalette* TAdvSwatchGrid::AddPalette(const QString& Title, bool MakeCurrent)
{
    TRichPalette* palette = FPaletteList->Add(Title, MakeCurrent);
    FModified = true;
    if (MakeCurrent) {
        RecountRows();
        Invalidate();
    }
    return palette;
}

void TAdvSwatchGrid::DeleteSwatch(int Index)
{
    if (Index < 0 || Index >= Count())
        return;
    const int focused = FocusedIndex();
    CurrentPalette()->Delete(Index);
    RecountRows();
    if (focused >= 0 && focused < Count())
        FocusSwatch(focused);
    else if (Count() > 0)
        FocusLast();
    else
        FSelectedIndex = -1;
    Invalidate();
}

void TAdvSwatchGrid::ClearCurrentPalette()
{
    BeginUpdate();
    FSelectedIndex = -1;
    if (TRichPalette* palette = CurrentPalette())
        palette->Clear();
    EndUpdate();
    RecountRows();
    Invalidate();
}

void TAdvSwatchGrid::NewCollection()
{
    BeginUpdate();
    FSelectedIndex = -1;
    while (FPaletteList->Count() > 1)
        FPaletteList->Delete(0);
    if (FPaletteList->Count() == 0)
        FPaletteList->Add(QStringLiteral("Palette 1"), true);
    else
        FPaletteList->SetItemIndex(0);
    TRichPalette* palette = FPaletteList->Items(0);
    palette->Clear();
    palette->SetTitle(QStringLiteral("Palette 1"));
    palette->SetDescription(QString());
    palette->SetURL(QString());
    palette->SetAuthor(QString());
    // Keywords describe the palette that is gone as much as its description does.
    palette->SetKeywords(QString());
    EndUpdate();
    RecountRows();
    Invalidate();
}

void TAdvSwatchGrid::RemoveDuplicates()
{
    BeginUpdate();
    if (TRichPalette* palette = CurrentPalette())
        palette->RemoveDuplicates();
    EndUpdate();
    RecountRows();
    Invalidate();
}

void TAdvSwatchGrid::BeginUpdate()
{
    if (FUpdateCount++ > 0)
        return;
    FPalettePending = false;
    FColorPending = false;
    viewport()->setUpdatesEnabled(false);
}

void TAdvSwatchGrid::EndUpdate()
{
    if (FUpdateCount == 0)
        return;
    if (--FUpdateCount > 0)
        return;
    viewport()->setUpdatesEnabled(true);
    const bool colour = std::exchange(FColorPending, false);
    const bool palette = std::exchange(FPalettePending, false);
    RecountRows();
    if (colour)
        ColorChanged();
    if (palette)
        PaletteChanged();
}

void TAdvSwatchGrid::NextPalette()
{
    FPaletteList->Next();
    RecountRows();
    Invalidate();
}

void TAdvSwatchGrid::PreviousPalette()
{
    FPaletteList->Previous();
    RecountRows();
    Invalidate();
}

void TAdvSwatchGrid::SelectPalette(int Index)
{
    if (!FPaletteList->TrySetItemIndex(Index))
        return;
    RecountRows();
    Invalidate();
}

bool TAdvSwatchGrid::HasDuplicates()
{
    TRichPalette* palette = CurrentPalette();
    return palette && palette->MarkDuplicates();
}

// ---- relays

void TAdvSwatchGrid::ListChanged()
{
    if (IsUpdating())
        return;
    RecountRows();
    if (OnPaletteListChange)
        OnPaletteListChange(this);
}

void TAdvSwatchGrid::PaletteChanged()
{
    if (IsUpdating()) {
        FPalettePending = true;
        return;
    }
    if (TRichPalette* palette = CurrentPalette())
        palette->MarkDuplicates();
    // Whoever changed the list directly still gets rows for every swatch.
    RecountRows();
    if (OnPaletteChange)
        OnPaletteChange(this);
}

void TAdvSwatchGrid::ColorChanged()
{
    if (IsUpdating()) {
        FColorPending = true;
        return;
    }
    // A new colour can make or break a pair; the marks must not tell yesterday's story.
    if (FShowDuplicates)
        if (TRichPalette* palette = CurrentPalette())
            palette->MarkDuplicates();
    Invalidate();
    if (OnColorChange)
        OnColorChange(this);
}

// ---- cells and selection

int TAdvSwatchGrid::IndexOfCell(int ACol, int ARow) const
{
    if (ACol < 0 || ARow < 0 || ACol >= FColCount || ARow >= FRowCount)
        return -1;
    return FAutoFill == afHorozontal ? ACol + ARow * FColCount : ARow + ACol * FRowCount;
}

QPoint TAdvSwatchGrid::CellOfIndex(int Index) const
{
    if (FAutoFill == afHorozontal)
        return {Index % FColCount, Index / FColCount};
    return {Index / FRowCount, Index % FRowCount};
}

QRect TAdvSwatchGrid::CellRect(int ACol, int ARow) const
{
    return {(ACol - FLeftCol) * FDefaultColWidth, (ARow - FTopRow) * FDefaultRowHeight, FDefaultColWidth,
        FDefaultRowHeight};
}

int TAdvSwatchGrid::IndexAt(int X, int Y) const
{
    if (X < 0 || Y < 0)
        return -1;
    const int index = IndexOfCell(FLeftCol + X / FDefaultColWidth, FTopRow + Y / FDefaultRowHeight);
    return index >= 0 && index < Count() ? index : -1;
}

TColor TAdvSwatchGrid::Color() const
{
    return TColorFromQColor(palette().color(QPalette::Window));
}

TColor TAdvSwatchGrid::SelectedColor() const
{
    if (const TRichColor* swatch = Swatch(FSelectedIndex))
        return swatch->Color();
    if (const TRichColor* first = Swatch(0))
        return first->Color();
    return Color();
}

bool TAdvSwatchGrid::SelectCell(int ACol, int ARow)
{
    const int index = IndexOfCell(ACol, ARow);
    if (index < 0 || index >= Count())
        return false;
    if (FSelectedIndex >= 0) {
        const QPoint old = CellOfIndex(FSelectedIndex);
        viewport()->update(CellRect(old.x(), old.y()));
    }
    FSelectedIndex = index;
    SetCurrentCell(ACol, ARow);
    return true;
}

void TAdvSwatchGrid::SetCurrentCell(int ACol, int ARow)
{
    viewport()->update(CellRect(FCol, FRow));
    FCol = ACol;
    FRow = ARow;
    ScrollIntoView(ACol, ARow);
    viewport()->update(CellRect(FCol, FRow));
}

void TAdvSwatchGrid::SelectSwatch(int Index)
{
    if (Index < 0 || Index >= Count())
        return;
    const QPoint cell = CellOfIndex(Index);
    SelectCell(cell.x(), cell.y());
    Invalidate();
}

void TAdvSwatchGrid::FocusSwatch(int Index)
{
    if (Index < 0 || Index >= Count())
        return;
    const QPoint cell = CellOfIndex(Index);
    SelectCell(cell.x(), cell.y());
}

void TAdvSwatchGrid::FocusLast()
{
    FocusSwatch(Count() - 1);
}

// ---- look

void TAdvSwatchGrid::SetAutoFill(TAutoFill Value)
{
    if (Value == FAutoFill)
        return;
    FAutoFill = Value;
    RecountRows();
}

void TAdvSwatchGrid::SetCell3D(bool Value)
{
    if (Value == FCell3D)
        return;
    FCell3D = Value;
    Invalidate();
}

void TAdvSwatchGrid::SetCellSpace(int Value)
{
    Value = std::max(0, Value);
    if (Value == FCellSpace)
        return;
    FCellSpace = Value;
    Invalidate();
}

void TAdvSwatchGrid::SetCellStyle(TCellStyle Value)
{
    if (Value == FCellStyle)
        return;
    FCellStyle = Value;
    Invalidate();
}

void TAdvSwatchGrid::SetColorValueFormat(TColorValueFmt Value)
{
    if (Value == FColorValueFormat)
        return;
    FColorValueFormat = Value;
    Invalidate();
}

void TAdvSwatchGrid::SetColorVisionType(TColorVisionType Value)
{
    if (Value == FColorVisionType)
        return;
    FColorVisionType = Value;
    Invalidate();
}

void TAdvSwatchGrid::SetOutlineColor(TColor Value)
{
    if (Value == FOutlineColor)
        return;
    FOutlineColor = Value;
    Invalidate();
}

void TAdvSwatchGrid::SetShowDuplicates(bool Value)
{
    if (Value == FShowDuplicates)
        return;
    FShowDuplicates = Value;
    if (FShowDuplicates)
        HasDuplicates();
    Invalidate();
}

void TAdvSwatchGrid::SetShowEmptySwatch(bool Value)
{
    if (Value == FShowEmptySwatch)
        return;
    FShowEmptySwatch = Value;
    RecountRows();
}

// ---- geometry

void TAdvSwatchGrid::SetColCount(int Value)
{
    Value = std::max(1, Value);
    if (Value == FColCount)
        return;
    FColCount = Value;
    RecountRows();
}

void TAdvSwatchGrid::SetRowCount(int Value)
{
    Value = std::max(1, Value);
    if (Value == FRowCount)
        return;
    FRowCount = Value;
    RecountRows();
}

void TAdvSwatchGrid::SetDefaultColWidth(int Value)
{
    Value = std::max(1, Value);
    if (Value == FDefaultColWidth)
        return;
    FDefaultColWidth = Value;
    UpdateScrollBars();
    Invalidate();
}

void TAdvSwatchGrid::SetDefaultRowHeight(int Value)
{
    Value = std::max(1, Value);
    if (Value == FDefaultRowHeight)
        return;
    FDefaultRowHeight = Value;
    UpdateScrollBars();
    Invalidate();
}

void TAdvSwatchGrid::RecountRows()
{
    const int count = Count();
    const int first = FShowEmptySwatch ? 2 : 1;
    // (count - 1) / n truncates towards zero, so an empty palette keeps its first line.
    if (FAutoFill == afHorozontal)
        FRowCount = first + (count - 1) / std::max(1, FColCount);
    else
        FColCount = first + (count - 1) / std::max(1, FRowCount);
    FCol = std::min(FCol, FColCount - 1);
    FRow = std::min(FRow, FRowCount - 1);
    // A selection the palette no longer has would hand out another palette's index.
    if (FSelectedIndex >= count)
        FSelectedIndex = -1;
    if (FPopupSwatchIndex >= count)
        FPopupSwatchIndex = -1;
    UpdateScrollBars();
    Invalidate();
}

int TAdvSwatchGrid::VisibleRows() const
{
    return std::max(1, viewport()->height() / FDefaultRowHeight);
}

int TAdvSwatchGrid::VisibleCols() const
{
    return std::max(1, viewport()->width() / FDefaultColWidth);
}

void TAdvSwatchGrid::UpdateScrollBars()
{
    QScrollBar* v = verticalScrollBar();
    v->setRange(0, std::max(0, FRowCount - VisibleRows()));
    v->setPageStep(VisibleRows());
    v->setSingleStep(1);
    QScrollBar* h = horizontalScrollBar();
    h->setRange(0, std::max(0, FColCount - VisibleCols()));
    h->setPageStep(VisibleCols());
    h->setSingleStep(1);
    // A shrinking range moves the bars without telling scrollContentsBy when nothing scrolled.
    FTopRow = v->value();
    FLeftCol = h->value();
}

void TAdvSwatchGrid::SetTopRow(int Value)
{
    verticalScrollBar()->setValue(Value);
    FTopRow = verticalScrollBar()->value();
}

void TAdvSwatchGrid::SetLeftCol(int Value)
{
    horizontalScrollBar()->setValue(Value);
    FLeftCol = horizontalScrollBar()->value();
}

void TAdvSwatchGrid::ScrollIntoView(int ACol, int ARow)
{
    if (ARow < FTopRow)
        SetTopRow(ARow);
    else if (ARow >= FTopRow + VisibleRows())
        SetTopRow(ARow - VisibleRows() + 1);
    if (ACol < FLeftCol)
        SetLeftCol(ACol);
    else if (ACol >= FLeftCol + VisibleCols())
        SetLeftCol(ACol - VisibleCols() + 1);
}

void TAdvSwatchGrid::scrollContentsBy(int, int)
{
    FTopRow = verticalScrollBar()->value();
    FLeftCol = horizontalScrollBar()->value();
    Invalidate();
}

void TAdvSwatchGrid::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void TAdvSwatchGrid::Invalidate()
{
    viewport()->update();
}

QSize TAdvSwatchGrid::sizeHint() const
{
    return {200, 200};
}

// ---- drawing

QString TAdvSwatchGrid::FitText(const QString& Text, const QFont& Font, int Width)
{
    const QFontMetrics fm(Font);
    if (fm.horizontalAdvance(Text) <= Width)
        return Text;
    const QString dots = QStringLiteral("...");
    QString text = Text;
    while (!text.isEmpty() && fm.horizontalAdvance(text + dots) > Width)
        text.chop(1);
    return text + dots;
}

void TAdvSwatchGrid::DrawCell(QPainter& p, int ACol, int ARow) const
{
    const QRect r = CellRect(ACol, ARow);
    const QColor grid = QColorFromTColor(Color());
    const QPalette& pal = palette();
    // 1. The cell in the grid colour; what follows keeps CellSpace free at the right and bottom.
    p.fillRect(r, grid);
    const Edges cell {r.left(), r.top(), r.left() + r.width() - FCellSpace, r.top() + r.height() - FCellSpace};
    const int index = IndexOfCell(ACol, ARow);
    const TRichColor* swatch = Swatch(index);

    // 6. No swatch: only the place after the last one shows, as a dotted cell.
    if (!swatch) {
        if (FShowEmptySwatch && index == Count()) {
            Edges dots = cell;
            dots.shrink();
            DottedFrame(p, dots, QColorFromTColor(SysColorFromPalette(kSysBtnShadow, pal)));
        }
        return;
    }

    // 2. A selected cell sits on a darker ground.
    const bool selected = index == FSelectedIndex;
    if (selected)
        Fill(p, cell, QColorFromTColor(AdjustColor(Color(), akDarker, 0.13)));
    const TColor shown = SimulateColorVision(swatch->Color(), FColorVisionType);
    const QColor colour = QColorFromTColor(shown);
    const QColor gridDark = QColorFromTColor(AdjustColor(Color(), akDarker, 0.3));
    const QColor light = QColorFromTColor(SysColorFromPalette(kSysBtnHighlight, pal));
    const QColor shadow = QColorFromTColor(SysColorFromPalette(kSysBtnShadow, pal));

    switch (FCellStyle) {
    case csSwatch: {
        // 3. Thumbnails.
        if (FCell3D && FDefaultColWidth > 9 && FDefaultRowHeight > 9) {
            Edges e = cell;
            e.shrink();
            if (selected) {
                Frame(p, e, Qt::black);
                e.shrink();
                Frame(p, e, Qt::black);
            } else {
                Frame(p, e, gridDark);
            }
            e.shrink();
            Frame(p, e, Qt::white);
            e.shrink();
            Fill(p, e, colour);
        } else {
            Edges e {cell.left, cell.top, cell.right - 1, cell.bottom - 1};
            Frame(p, e, grid);
            Edges inner = e;
            inner.shrink();
            Fill(p, inner, colour);
            const QColor outline = QColorFromTColor(FOutlineColor);
            if (FCellSpace > 0) {
                Frame(p, e, outline);
            } else if (!cell.empty()) {
                p.fillRect(QRect(cell.right - 1, cell.top, 1, cell.bottom - cell.top), outline);
                p.fillRect(QRect(cell.left, cell.bottom - 1, cell.right - cell.left, 1), outline);
            }
        }
        break;
    }
    case csList: {
        // 4. A bevelled square, the caption and the value text.
        Edges l = cell;
        l.shrink(3);
        const int side = std::max(0, l.bottom - l.top);
        Edges sq {l.left, l.top, l.left + side, l.bottom};
        const int textX = sq.right + 6;
        Frame(p, sq, gridDark);
        sq.shrink();
        Frame(p, sq, Qt::white);
        sq.shrink();
        Frame(p, sq, QColorFromTColor(AdjustColor(shown, akDarker, 0.2)));
        sq.shrink();
        Frame(p, sq, QColorFromTColor(AdjustColor(shown, akDarker, 0.1)));
        sq.shrink();
        Fill(p, sq, colour);

        const bool mark = FShowDuplicates && !swatch->Unique;
        const int textRight = mark ? cell.right - 4 - kMarkSize - 2 : l.right;
        const int avail = std::max(0, textRight - textX);
        const QFont captionFont = GridFont(true, 8);
        const QFont valueFont = GridFont(false, 7);
        p.setFont(captionFont);
        p.setPen(Qt::black);
        const int captionHeight = QFontMetrics(captionFont).height();
        p.drawText(QRect(textX, cell.top + 6, avail, captionHeight), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
            FitText(swatch->Caption(), captionFont, avail));
        p.setFont(valueFont);
        p.setPen(QColorFromTColor(SysColorFromPalette(kSys3DDkShadow, pal)));
        const int valueHeight = QFontMetrics(valueFont).height();
        p.drawText(QRect(textX, cell.bottom - 3 - valueHeight, avail, valueHeight),
            Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
            FitText(ColorToText(FColorValueFormat, 1, swatch->Color()), valueFont, avail));
        if (mark)
            DrawDuplicateMark(p, cell.right - 4 - kMarkSize, cell.top + 4);
        RaisedFrame(p, cell, light, shadow);
        break;
    }
    case csCompactList: {
        // 5. A box twice as wide as high and the caption beside it.
        Edges l = cell;
        l.shrink(2);
        const int high = std::max(0, l.bottom - l.top);
        Edges box {l.left, l.top, l.left + 2 * high, l.bottom};
        const int textX = box.right + 6;
        Frame(p, box, grid);
        box.shrink();
        Frame(p, box, Qt::white);
        box.shrink();
        Fill(p, box, colour);

        const bool mark = FShowDuplicates && !swatch->Unique;
        const int textRight = mark ? cell.right - 4 - kMarkSize - 2 : l.right;
        const int avail = std::max(0, textRight - textX);
        const QFont font = GridFont(false, 8);
        p.setFont(font);
        p.setPen(Qt::black);
        const int height = QFontMetrics(font).height();
        p.drawText(QRect(textX, cell.bottom - 3 - height, avail, height),
            Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, FitText(swatch->Caption(), font, avail));
        if (mark)
            DrawDuplicateMark(p, cell.right - 4 - kMarkSize, cell.top + (cell.bottom - cell.top - kMarkSize) / 2);
        RaisedFrame(p, cell, light, shadow);
        break;
    }
    }
}

void TAdvSwatchGrid::paintEvent(QPaintEvent* event)
{
    QPainter p(viewport());
    const QRect area = event->rect();
    p.fillRect(area, QColorFromTColor(Color()));
    const int firstRow = FTopRow + std::max(0, area.top()) / FDefaultRowHeight;
    const int lastRow = std::min(FRowCount - 1, FTopRow + area.bottom() / FDefaultRowHeight);
    const int firstCol = FLeftCol + std::max(0, area.left()) / FDefaultColWidth;
    const int lastCol = std::min(FColCount - 1, FLeftCol + area.right() / FDefaultColWidth);
    for (int row = firstRow; row <= lastRow; ++row)
        for (int col = firstCol; col <= lastCol; ++col)
            DrawCell(p, col, row);
}

void TAdvSwatchGrid::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange)
        Invalidate();
    QAbstractScrollArea::changeEvent(event);
}

// ---- hints

QString TAdvSwatchGrid::HintText(int Index) const
{
    const TRichColor* swatch = Swatch(Index);
    if (!swatch)
        return {};
    const QString description = swatch->Description();
    return swatch->Caption() + QLatin1Char('\n')
        + (description.isEmpty() ? QStringLiteral("[no description]") : description);
}

int TAdvSwatchGrid::HintHidePause(int Index) const
{
    const TRichColor* swatch = Swatch(Index);
    if (!swatch)
        return -1;
    const int wanted = 100 * static_cast<int>(swatch->Description().size());
    return wanted > DefaultHintPause(static_cast<int>(HintText(Index).size())) ? wanted : -1;
}

void TAdvSwatchGrid::ShowHintAt(QPoint Pos, QPoint ScreenPos)
{
    const int index = IndexAt(Pos.x(), Pos.y());
    if (index < 0 || !FShowHint) {
        QToolTip::hideText();
        FHintIndex = -1;
        return;
    }
    // No wider than the grid less its scroll bar: lines are broken here and shown as they are,
    // escaped, so a caption with markup in it shows as written.
    const int maxWidth = std::max(40, width() - style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this));
    const QFont font = QToolTip::font();
    QStringList lines;
    for (const QString& paragraph : HintText(index).split(QLatin1Char('\n'))) {
        QTextLayout layout(paragraph, font);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(maxWidth);
            lines << paragraph.mid(line.textStart(), line.textLength()).trimmed().toHtmlEscaped();
        }
        layout.endLayout();
        if (paragraph.isEmpty())
            lines << QString();
    }
    const QString html
        = QStringLiteral("<p style='white-space:pre'>") + lines.join(QStringLiteral("<br>")) + QStringLiteral("</p>");
    const QPoint cell = CellOfIndex(index);
    QToolTip::showText(ScreenPos, html, viewport(), CellRect(cell.x(), cell.y()), HintHidePause(index));
    FHintIndex = index;
}

// ---- mouse and keys

void TAdvSwatchGrid::MarkSwatchDialogClosed()
{
    FDialogClosed.start();
}

bool TAdvSwatchGrid::IsLeftAlt(Qt::KeyboardModifiers Modifiers)
{
    return (Modifiers & Qt::AltModifier) && !IsRightAlt(Modifiers);
}

bool TAdvSwatchGrid::IsRightAlt(Qt::KeyboardModifiers Modifiers)
{
    return (Modifiers & (Qt::GroupSwitchModifier | Qt::MetaModifier)) != 0;
}

void TAdvSwatchGrid::mousePressEvent(QMouseEvent* event)
{
    FPressArmed = false;
    FDragRequested = false;
    // The click that closed the swatch dialog must not land on the grid as well.
    if (FDialogClosed.isValid() && FDialogClosed.elapsed() < kDialogGuardMs) {
        event->accept();
        return;
    }
    const QPoint pos = event->position().toPoint();
    const bool left = event->button() == Qt::LeftButton;
    if (left && pos.x() >= 0 && pos.y() >= 0) {
        setFocus(Qt::MouseFocusReason);
        SelectCell(FLeftCol + pos.x() / FDefaultColWidth, FTopRow + pos.y() / FDefaultRowHeight);
    }
    FPopupSwatchIndex = IndexAt(pos.x(), pos.y());
    if (FPopupSwatchIndex < 0 || !left)
        return;
    const Qt::KeyboardModifiers mods = event->modifiers();
    if (mods & Qt::ControlModifier) {
        if (OnSwatchCtrlPress)
            OnSwatchCtrlPress(this, FPopupSwatchIndex, (mods & Qt::ShiftModifier) != 0);
        return;
    }
    if (IsLeftAlt(mods)) {
        if (OnSwatchAltPress)
            OnSwatchAltPress(this, SelectedColor());
        return;
    }
    FPressArmed = true;
    FPressPos = pos;
}

void TAdvSwatchGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (FDialogClosed.isValid() && FDialogClosed.elapsed() < kDialogGuardMs) {
        event->accept();
        return;
    }
    mousePressEvent(event);
    // The dialog the double click opens takes the release; no drag may be left waiting.
    FPressArmed = false;
    FDragRequested = false;
    if (event->button() != Qt::LeftButton || FPopupSwatchIndex < 0)
        return;
    if (OnSwatchDblClick)
        OnSwatchDblClick(this, FPopupSwatchIndex);
}

void TAdvSwatchGrid::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    const int index = IndexAt(pos.x(), pos.y());
    if (OnColorRollover) {
        if (const TRichColor* swatch = Swatch(index))
            OnColorRollover(this, swatch->Color(), true);
        else
            OnColorRollover(this, Color(), false);
    }
    if (QToolTip::isVisible() && index != FHintIndex)
        ShowHintAt(pos, event->globalPosition().toPoint());

    if (!FPressArmed || !(event->buttons() & Qt::LeftButton))
        return;
    if (!FDragRequested) {
        if (std::abs(pos.x() - FPressPos.x()) >= kDragRequestDistance
            || std::abs(pos.y() - FPressPos.y()) >= kDragRequestDistance) {
            FDragRequested = true;
            FRequestPos = pos;
        }
        return;
    }
    if ((pos - FRequestPos).manhattanLength() >= QApplication::startDragDistance())
        StartDrag();
}

void TAdvSwatchGrid::mouseReleaseEvent(QMouseEvent*)
{
    FPressArmed = false;
    FDragRequested = false;
}

void TAdvSwatchGrid::keyPressEvent(QKeyEvent* event)
{
    // Ctrl with the paging keys belongs to the window (previous and next palette).
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    int col = FCol;
    int row = FRow;
    switch (event->key()) {
    case Qt::Key_Left: --col; break;
    case Qt::Key_Right: ++col; break;
    case Qt::Key_Up: --row; break;
    case Qt::Key_Down: ++row; break;
    case Qt::Key_PageUp: row = std::max(0, row - VisibleRows()); break;
    case Qt::Key_PageDown: row = std::min(FRowCount - 1, row + VisibleRows()); break;
    case Qt::Key_Home: FocusSwatch(0); return;
    case Qt::Key_End: FocusLast(); return;
    default: QAbstractScrollArea::keyPressEvent(event); return;
    }
    if (!SelectCell(col, row)) {
        // Paging past the last swatch stops on it.
        const int index = IndexOfCell(col, row);
        if ((event->key() == Qt::Key_PageDown || event->key() == Qt::Key_Down) && index >= Count() && Count() > 0)
            FocusLast();
    }
}

void TAdvSwatchGrid::contextMenuEvent(QContextMenuEvent* event)
{
    const QPoint pos = event->reason() == QContextMenuEvent::Mouse ? event->pos() : CellRect(FCol, FRow).center();
    FPopupSwatchIndex = IndexAt(pos.x(), pos.y());
    if (!OnContextPopup) {
        event->ignore();
        return;
    }
    event->accept();
    OnContextPopup(this, viewport()->mapToGlobal(pos));
}

bool TAdvSwatchGrid::viewportEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::ToolTip: {
        auto* help = static_cast<QHelpEvent*>(event);
        ShowHintAt(help->pos(), help->globalPos());
        return true;
    }
    case QEvent::Leave: {
        FHintIndex = -1;
        const QPoint screen = QCursor::pos();
        if (OnMouseLeave)
            OnMouseLeave(this, screen.x(), screen.y());
        break;
    }
    default: break;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

// ---- drags

Qt::DropAction TAdvSwatchGrid::ExecColorDrag(const TColorDragCtrlObject& Drag)
{
    return StartColorDrag(this, Drag, FColorVisionType);
}

void TAdvSwatchGrid::StartDrag()
{
    FPressArmed = false;
    FDragRequested = false;
    Invalidate();
    TColorDragCtrlObject drag;
    drag.SourceControl = this;
    drag.SourceIndex = FSelectedIndex;
    drag.Color = SelectedColor();
    ExecColorDrag(drag);
    StopAutoScroll();
}

bool TAdvSwatchGrid::IsOwnDrag(const QMimeData* Data) const
{
    const auto drag = DecodeColorDrag(Data);
    return drag && drag->SourceControl == this;
}

void TAdvSwatchGrid::AcceptDeleteDropsOn(QWidget* Target)
{
    if (!Target)
        return;
    Target->setAcceptDrops(true);
    Target->setProperty(kDeleteDropProperty, true);
    Target->installEventFilter(this);
}

bool TAdvSwatchGrid::eventFilter(QObject* watched, QEvent* event)
{
    if (watched->property(kDeleteDropProperty).toBool()) {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drop = static_cast<QDropEvent*>(event);
            if (IsOwnDrag(drop->mimeData()))
                drop->acceptProposedAction();
            else
                drop->ignore();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const auto drag = DecodeColorDrag(drop->mimeData());
            if (!drag || drag->SourceControl != this) {
                drop->ignore();
                return true;
            }
            DeleteSwatch(drag->SourceIndex);
            drop->acceptProposedAction();
            return true;
        }
        default: break;
        }
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}

void TAdvSwatchGrid::dragEnterEvent(QDragEnterEvent* event)
{
    dragMoveEvent(event);
}

void TAdvSwatchGrid::dragMoveEvent(QDragMoveEvent* event)
{
    if (!AcceptColorDrag(event)) {
        StopAutoScroll();
        return;
    }
    FDragPos = event->position().toPoint();
    const bool nearEdge = FDragPos.y() < kAutoScrollZone || FDragPos.y() >= viewport()->height() - kAutoScrollZone;
    if (!nearEdge)
        StopAutoScroll();
    else if (!FAutoScrollTimer->isActive())
        FAutoScrollTimer->start();
}

void TAdvSwatchGrid::dragLeaveEvent(QDragLeaveEvent*)
{
    StopAutoScroll();
}

void TAdvSwatchGrid::StopAutoScroll()
{
    FAutoScrollTimer->stop();
}

void TAdvSwatchGrid::AutoScrollTick()
{
    if (FDragPos.y() < kAutoScrollZone) {
        if (FTopRow > 0)
            SetTopRow(FTopRow - 1);
    } else if (FDragPos.y() >= viewport()->height() - kAutoScrollZone) {
        SetTopRow(FTopRow + 1);
    } else {
        StopAutoScroll();
    }
}

void TAdvSwatchGrid::dropEvent(QDropEvent* event)
{
    StopAutoScroll();
    const auto drag = AcceptColorDrag(event);
    if (!drag)
        return;
    const QPoint pos = event->position().toPoint();
    DropColor(*drag, IndexAt(pos.x(), pos.y()), event->modifiers());
}

void TAdvSwatchGrid::DropColor(const TColorDragCtrlObject& Drag, int DropIndex, Qt::KeyboardModifiers Modifiers)
{
    TRichPalette* palette = CurrentPalette();
    if (!palette)
        return;

    if (Drag.SourceControl == this) {
        // A move within the grid. The index came with the drag; the palette may have changed
        // under it since, so it is checked before it is trusted.
        const int from = Drag.SourceIndex;
        if (from < 0 || from >= Count())
            return;
        const int to = DropIndex < 0 ? Count() - 1 : DropIndex;
        if (from != to) {
            palette->Move(from, to);
            FModified = true;
        }
        FocusSwatch(to);
        Invalidate();
        return;
    }

    const bool leftAlt = IsLeftAlt(Modifiers);
    const bool rightAlt = IsRightAlt(Modifiers);
    const bool shift = Modifiers.testFlag(Qt::ShiftModifier);
    const bool ctrl = Modifiers.testFlag(Qt::ControlModifier);
    const bool atSwatch = DropIndex >= 0 && !leftAlt;

    // Colours go in one after another from the drop place on. The offset counts what has gone
    // in, so a colour skipped for lying outside the source leaves no hole in the run.
    int inserted = 0;
    auto insert = [&](TColor color) {
        if (atSwatch)
            InsertColor(DropIndex + inserted, color, true);
        else
            AddColor(color, true);
        ++inserted;
    };
    auto replace = [&](TColor color) {
        if (atSwatch) {
            Swatch(DropIndex)->SetColor(color);
            SelectSwatch(DropIndex);
            FModified = true;
        } else {
            AddColor(color, true);
        }
    };

    BeginUpdate();
    const TRichPalette* source = Drag.SourcePalette;
    const int cols = Drag.GridCols;
    const int rows = Drag.GridRows;
    const bool shaped = source && cols > 0 && rows > 0 && Drag.SourceIndex >= 0;
    switch (Drag.DragKind) {
    case 1:
        // Shift once asked for copies by a count nobody sets; one copy is what a drop means.
        if (shift)
            insert(Drag.Color);
        else if (rightAlt)
            replace(Drag.Color);
        else
            insert(Drag.Color);
        break;
    case 2:
        if (shift && shaped) {
            const int col = Drag.SourceIndex % cols;
            for (int r = rows - 1; r >= 0; --r) {
                const int at = col + r * cols;
                if (at < source->Count())
                    insert(source->Colors(at)->Color());
            }
        } else if (ctrl && !leftAlt && !rightAlt && shaped) {
            const int k = Drag.SourceIndex % cols;
            const int start = (Drag.SourceIndex / cols) * cols;
            for (int i = 0; i < cols; ++i) {
                const int at = (k + i) % cols + start;
                if (at < source->Count())
                    insert(source->Colors(at)->Color());
            }
        } else if (rightAlt) {
            replace(Drag.Color);
        } else {
            insert(Drag.Color);
        }
        break;
    default:
        if (rightAlt)
            replace(Drag.Color);
        else
            insert(Drag.Color);
        break;
    }
    EndUpdate();
    Invalidate();
}
