#include "workarea/PptBase.h"

#include "palette/RichColor.h"
#include "pickers/ColorDragObj.h"
#include "workarea/ClipNames.h"
#include "workarea/Scene.h"

#include <QEvent>
#include <QFont>
#include <QFrame>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QToolButton>

#include <algorithm>

namespace {

constexpr int kAdvButtonSize = 20;
constexpr int kAdvButtonMargin = 4;

// Two chevrons, pointing up in advanced mode (a click folds the second row away) and down
// in standard mode (a click brings it back). Drawn in logical pixels on a 16 x 16 grid.
void PaintModeChevrons(QPainter& p, bool Advanced, const QColor& Ink, QPointF Offset)
{
    p.setRenderHint(QPainter::Antialiasing);
    QPen pen(Ink, 1.6);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    for (const double y : {5.0, 10.0}) {
        const double tip = Advanced ? y - 2.5 : y + 2.5;
        const double base = Advanced ? y + 1.5 : y - 1.5;
        QPainterPath path;
        path.moveTo(Offset + QPointF(3.5, base));
        path.lineTo(Offset + QPointF(8.0, tip));
        path.lineTo(Offset + QPointF(12.5, base));
        p.drawPath(path);
    }
}

QPixmap ModePixmap(bool Advanced, const QColor& Ink, QPointF Offset, qreal Dpr)
{
    QPixmap pixmap(QSize(16, 16) * Dpr);
    pixmap.setDevicePixelRatio(Dpr);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    PaintModeChevrons(p, Advanced, Ink, Offset);
    return pixmap;
}

} // namespace

QIcon AdvancedModeGlyph(bool Advanced)
{
    QIcon icon;
    for (const qreal dpr : {1.0, 2.0}) {
        icon.addPixmap(ModePixmap(Advanced, QColor(64, 64, 64), {}, dpr), QIcon::Normal);
        icon.addPixmap(ModePixmap(Advanced, QColor(160, 160, 160), {}, dpr), QIcon::Disabled);
        icon.addPixmap(ModePixmap(Advanced, QColor(0, 84, 166), {}, dpr), QIcon::Active);
        // Pressed: the glyph sinks by a pixel, as a flat speed button's does.
        icon.addPixmap(ModePixmap(Advanced, QColor(0, 0, 0), {1, 1}, dpr), QIcon::Selected);
    }
    return icon;
}

TfrmPptBase::TfrmPptBase(QWidget* Parent)
    : QWidget(Parent)
{
    setObjectName(QStringLiteral("frmPptBase"));
    hide();
    setAutoFillBackground(true);
    QFont font(QStringLiteral("MS Shell Dlg 2"));
    font.setPointSize(8);
    setFont(font);
    resize(kDesignWidth, kDesignHeight);

    bvlDivider = new QFrame(this);
    bvlDivider->setObjectName(QStringLiteral("bvlDivider"));
    bvlDivider->setFrameShape(QFrame::HLine);
    bvlDivider->setFrameShadow(QFrame::Sunken);
    bvlDivider->setGeometry(4, 52, kDesignWidth - 8, 2);

    btnAdvancedMode = new QToolButton(this);
    btnAdvancedMode->setObjectName(QStringLiteral("btnAdvancedMode"));
    btnAdvancedMode->setAutoRaise(true);
    btnAdvancedMode->setFocusPolicy(Qt::NoFocus);
    btnAdvancedMode->setFixedSize(kAdvButtonSize, kAdvButtonSize);
    btnAdvancedMode->setIconSize(QSize(16, 16));
    connect(btnAdvancedMode, &QToolButton::clicked, this, [this] { btnAdvancedModeClick(); });

    FMinAdvButtonLeft = kDefaultMinAdvButtonLeft;
    FAdvancedMode = true;
    ShowAdvancedGlyph();
    // Updating is on while the colours are set, so nothing is reported for them.
    FBackgroundColor = clWhite;
    FOutlineColor = clBlack;
    FUpdating = false;

    if (Parent) {
        Parent->installEventFilter(this);
        FillParent();
    }
    FormResize();
}

TfrmPptBase::~TfrmPptBase() = default;

void TfrmPptBase::DoChange(TObject* /*Sender*/)
{
    if (!FUpdating && OnChange)
        OnChange(this);
}

TColor TfrmPptBase::GetBackgroundColor() const
{
    return FBackgroundColor;
}
TColor TfrmPptBase::GetOutlineColor() const
{
    return FOutlineColor;
}
bool TfrmPptBase::NeedsViewSize() const
{
    return false;
}
bool TfrmPptBase::GetArtisticWheel() const
{
    return FArtisticWheel;
}
void TfrmPptBase::SetBackgroundColor(TColor Color)
{
    FBackgroundColor = Color;
}

void TfrmPptBase::SetOutlineColor(TColor Color)
{
    if (Color != FOutlineColor)
        FOutlineColor = Color;
}

void TfrmPptBase::SetArtisticWheel(bool Value)
{
    FArtisticWheel = Value;
}
void TfrmPptBase::PopulatePlayerMenu(QMenu*, const QString&, TMoviePlayer*) { }
bool TfrmPptBase::CheckGamut(const THSB&, TColorTransfer*, THSB&)
{
    return false;
}

void TfrmPptBase::CopyColorsToPalette(TRichPalette* Source, TRichPalette* Dest, int Mode)
{
    if (!Source || !Dest)
        return;
    for (int i = 0; i < Source->Count(); ++i) {
        const TRichColor* from = Source->Colors(i);
        if (from->Enabled() || Mode == 1)
            Dest->Add()->Assign(*from);
    }
}

void TfrmPptBase::EyeDropColor(TObject*, TColor, bool&, bool, int) { }
void TfrmPptBase::PlayerDragDrop(TMoviePlayer*, const TColorDragCtrlObject*, int, int) { }

void TfrmPptBase::PlayerDragOver(TMoviePlayer*, const TColorDragCtrlObject*, int, int, int, bool& Accept)
{
    Accept = false;
}

void TfrmPptBase::PlayerMouseDown(TMoviePlayer*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { }

void TfrmPptBase::GetColorGrid(int& Rows, int& Cols) const
{
    Rows = 0;
    Cols = 0;
}

void TfrmPptBase::PrepareDragObject(TColorDragCtrlObject& DragObject, const QString&)
{
    DragObject.DragKind = 1;
    DragObject.GridRows = 0;
    DragObject.GridCols = 0;
}

void TfrmPptBase::PageShown() { }
void TfrmPptBase::ExecuteCommand(const QString&) { }
void TfrmPptBase::LoadSettings(const QStringList&) { }
void TfrmPptBase::SaveSettings(QStringList&) { }

bool TfrmPptBase::BuildScene(TMoviePlayer* Player, QSize Size, const QString& FileName, TColorTransfer*, TRichPalette*)
{
    return BuildDefaultScene(Player, Size, FileName, objectName(), GetBackgroundColor());
}

void TfrmPptBase::SetAdvancedMode(bool Value)
{
    if (Value == FAdvancedMode)
        return;
    FAdvancedMode = Value;
    bvlDivider->setVisible(FAdvancedMode);
    ShowAdvancedGlyph();
}

void TfrmPptBase::ShowAdvancedGlyph()
{
    btnAdvancedMode->setIcon(AdvancedModeGlyph(FAdvancedMode));
    btnAdvancedMode->setProperty("glyph", FAdvancedMode ? QStringLiteral("PptAdvMode") : QStringLiteral("PptStdMode"));
}

void TfrmPptBase::BeginUpdate()
{
    FUpdating = true;
}

void TfrmPptBase::EndUpdate(TObject* Sender, bool Notify)
{
    FUpdating = false;
    if (Notify)
        DoChange(Sender);
}

void TfrmPptBase::SetMinAdvButtonLeft(int Value)
{
    if (Value == FMinAdvButtonLeft)
        return;
    FMinAdvButtonLeft = Value;
    FormResize();
}

void TfrmPptBase::btnAdvancedModeClick()
{
    if (OnAdvancedModeToggle)
        OnAdvancedModeToggle(this, !FAdvancedMode);
}

void TfrmPptBase::FormDblClick()
{
    btnAdvancedModeClick();
}

void TfrmPptBase::FormResize()
{
    bvlDivider->setGeometry(4, 52, width() - 8, 2);
    btnAdvancedMode->move(std::max(FMinAdvButtonLeft, width() - btnAdvancedMode->width() - kAdvButtonMargin),
        height() - btnAdvancedMode->height() - kAdvButtonMargin);
}

void TfrmPptBase::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    FormResize();
}

void TfrmPptBase::mouseDoubleClickEvent(QMouseEvent* event)
{
    // Only the page's own surface: a control that ignores double clicks passes them up
    // to us, and a double click on a label is not one on the page.
    if (event->button() == Qt::LeftButton && !childAt(event->position().toPoint())) {
        FormDblClick();
        event->accept();
        return;
    }
    QWidget::mouseDoubleClickEvent(event);
}

bool TfrmPptBase::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == parentWidget() && Event->type() == QEvent::Resize)
        FillParent();
    return QWidget::eventFilter(Watched, Event);
}

void TfrmPptBase::FillParent()
{
    if (QWidget* parent = parentWidget())
        setGeometry(parent->rect());
}

bool TfrmPptBase::ReadSetting(const QStringList& Settings, const QString& Name, QString& Value)
{
    for (const QString& entry : Settings) {
        const qsizetype eq = entry.indexOf(u'=');
        const QStringView name = eq < 0 ? QStringView(entry) : QStringView(entry).left(eq);
        if (name.compare(Name, Qt::CaseInsensitive) == 0) {
            Value = eq < 0 ? QString() : entry.mid(eq + 1);
            return true;
        }
    }
    return false;
}

void TfrmPptBase::WriteSetting(QStringList& Settings, const QString& Name, const QString& Value)
{
    const QString entry = Name + u'=' + Value;
    for (QString& existing : Settings) {
        const qsizetype eq = existing.indexOf(u'=');
        const QStringView name = eq < 0 ? QStringView(existing) : QStringView(existing).left(eq);
        if (name.compare(Name, Qt::CaseInsensitive) == 0) {
            existing = entry;
            return;
        }
    }
    Settings.append(entry);
}

QString TfrmPptBase::ColorSettingText(TColor Color)
{
    const TColor rgb = ColorToRGB(Color);
    return ColorToHex(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb), true);
}

bool TfrmPptBase::ReadColorSetting(const QStringList& Settings, const QString& Name, TColor& Color)
{
    QString text;
    if (!ReadSetting(Settings, Name, text))
        return false;
    // No hex text reads as a colour with a top byte, so this default marks a malformed one.
    constexpr TColor kMalformed = 0x7F000000;
    const TColor value = HexToColor(text.trimmed(), kMalformed);
    if (value == kMalformed)
        return false;
    Color = value;
    return true;
}

void TfrmPptBase::LoadSharedColors(const QStringList& Settings)
{
    // Loading comes before the host's first build, so the colours are not a change to
    // report; a page may already be inside its own BeginUpdate.
    const bool wasUpdating = FUpdating;
    FUpdating = true;
    TColor background = GetBackgroundColor();
    if (ReadColorSetting(Settings, QStringLiteral("BackgroundColor"), background))
        SetBackgroundColor(background);
    TColor outline = GetOutlineColor();
    if (ReadColorSetting(Settings, QStringLiteral("OutlineColor"), outline))
        SetOutlineColor(outline);
    QString show;
    if (ReadSetting(Settings, QStringLiteral("ShowOutline"), show) && show.trimmed() == QLatin1String("0"))
        SetOutlineColor(kNoOutline);
    FUpdating = wasUpdating;
}

void TfrmPptBase::SaveSharedColors(QStringList& Settings) const
{
    const TColor outline = GetOutlineColor();
    WriteSetting(Settings, QStringLiteral("BackgroundColor"), ColorSettingText(GetBackgroundColor()));
    // With no outline the entry keeps the colour last written, so it comes back when the
    // outline is switched on again on another run.
    if (outline != kNoOutline)
        WriteSetting(Settings, QStringLiteral("OutlineColor"), ColorSettingText(outline));
    WriteSetting(
        Settings, QStringLiteral("ShowOutline"), outline != kNoOutline ? QStringLiteral("1") : QStringLiteral("0"));
}

TfrmPptBase* OpenPage(TPageClass Class, QWidget* Panel, IPageHost& Host)
{
    TfrmPptBase* page = Class(Panel);
    page->SetBaseHSB(Host.PageBaseHSB());
    page->SetAdvancedMode(Host.PageAdvancedMode());
    page->SetMatching(Host.PageMatching());
    page->SetBgColorMenu(Host.PageBgColorMenu());
    page->SetOutlineColorMenu(Host.PageOutlineColorMenu());
    page->SetConfigFolder(Host.PageConfigFolder());
    page->SetUserDataFolder(Host.PageUserDataFolder());
    Host.WirePageEvents(*page);
    page->LoadSettings(Host.PageSettings());
    page->show();
    page->PageShown();
    page->SetColorVisionType(Host.PageColorVisionType());
    return page;
}

void ClosePage(TfrmPptBase*& Page, IPageHost& Host)
{
    if (!Page)
        return;
    Page->SaveSettings(Host.PageSettings());
    delete Page;
    Page = nullptr;
}

int AddPageColorsToPalette(
    TfrmPptBase& Page, const QString& ClipName, TRichPalette* Source, int Mode, TRichPalette& Dest)
{
    if (!Source)
        Source = Page.Matching();
    const int before = Dest.Count();
    const TClipName clip = ParseClipName(ClipName);
    auto appendCopy = [&](int index) {
        if (Source && index >= 0 && index < Source->Count())
            Dest.Add()->Assign(*Source->Colors(index));
    };
    switch (Mode) {
    case 0:
        if (clip.Kind != ckUnknown && clip.Color != kNoClipColor)
            Dest.Add()->SetColor(clip.Color);
        break;
    case 1:
    case 2: {
        int rows = 0, cols = 0;
        Page.GetColorGrid(rows, cols);
        if (cols < 1 || clip.Kind == ckUnknown || clip.Number < 0)
            break;
        const int c = clip.Number % cols;
        const int r = clip.Number / cols;
        if (Mode == 1) {
            for (int k = 0; k < cols; ++k)
                appendCopy(r * cols + (c + k) % cols);
        } else {
            for (int row = rows - 1; row >= 0; --row)
                appendCopy(row * cols + c);
        }
        break;
    }
    case 3:
        if (Source) {
            for (int i = 0; i < Source->Count(); ++i) {
                if (Source->Colors(i)->Enabled())
                    appendCopy(i);
            }
        }
        break;
    case 4: Page.CopyColorsToPalette(Source, &Dest, 0); break;
    default: break;
    }
    return Dest.Count() - before;
}
