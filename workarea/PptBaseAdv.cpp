#include "workarea/PptBaseAdv.h"

#include "pickers/ColorDragObj.h"
#include "pickers/ColorSwatchButton.h"
#include "pickers/SysColors.h"

#include <QAction>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFrame>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyle>
#include <QToolButton>

#include <array>

namespace {

const QColor kInk(48, 48, 48);
const QColor kDisabledInk(160, 160, 160);

QPointF P(QPoint At, double x, double y)
{
    return QPointF(At.x() + x, At.y() + y);
}

void ArrowHead(QPainter& p, QPointF Tip, QPointF From, double Length)
{
    const QLineF line(Tip, From);
    QLineF a = line;
    a.setLength(Length);
    QLineF b = a;
    a.setAngle(line.angle() + 35);
    b.setAngle(line.angle() - 35);
    QPainterPath head;
    head.moveTo(a.p2());
    head.lineTo(Tip);
    head.lineTo(b.p2());
    head.closeSubpath();
    p.drawPath(head);
}

// The Save Image button: a floppy disk.
void PaintSaveIcon(QPainter& p, bool Enabled)
{
    p.setRenderHint(QPainter::Antialiasing);
    const QColor body = Enabled ? QColor(40, 82, 150) : kDisabledInk;
    p.setPen(QPen(Enabled ? QColor(20, 45, 90) : kDisabledInk, 1));
    p.setBrush(body);
    QPainterPath disk;
    disk.moveTo(1.5, 1.5);
    disk.lineTo(12.5, 1.5);
    disk.lineTo(14.5, 3.5);
    disk.lineTo(14.5, 14.5);
    disk.lineTo(1.5, 14.5);
    disk.closeSubpath();
    p.drawPath(disk);
    p.setPen(Qt::NoPen);
    p.setBrush(Enabled ? QColor(220, 224, 230) : QColor(225, 225, 225));
    p.drawRect(QRectF(4, 2, 7, 4.5));
    p.setBrush(body);
    p.drawRect(QRectF(8.5, 2.7, 1.6, 3));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(3.5, 9, 9, 5));
    p.setPen(QPen(Enabled ? QColor(150, 150, 150) : QColor(200, 200, 200), 0.8));
    p.drawLine(QPointF(5, 11), QPointF(11, 11));
    p.drawLine(QPointF(5, 12.7), QPointF(11, 12.7));
}

// The Copy To Palette button: colours going down into a row of swatches.
void PaintCopyToPaletteIcon(QPainter& p, bool Enabled)
{
    p.setRenderHint(QPainter::Antialiasing);
    const std::array<QColor, 3> colours = {QColor(220, 50, 40), QColor(60, 170, 60), QColor(40, 90, 210)};
    for (int i = 0; i < 3; ++i) {
        p.setPen(QPen(Enabled ? kInk : kDisabledInk, 1));
        p.setBrush(Enabled ? colours[i] : QColor(210, 210, 210));
        p.drawRect(QRectF(0.5 + i * 5, 10.5, 4, 4));
    }
    p.setPen(QPen(Enabled ? kInk : kDisabledInk, 1.5));
    p.drawLine(QPointF(8, 1), QPointF(8, 7));
    p.setBrush(Enabled ? kInk : kDisabledInk);
    p.setPen(Qt::NoPen);
    ArrowHead(p, QPointF(8, 9), QPointF(8, 1), 4.5);
}

QIcon ButtonIcon(void (*Paint)(QPainter&, bool))
{
    QIcon icon;
    for (const qreal dpr : {1.0, 2.0}) {
        for (const bool enabled : {true, false}) {
            QPixmap pixmap(QSize(16, 16) * dpr);
            pixmap.setDevicePixelRatio(dpr);
            pixmap.fill(Qt::transparent);
            QPainter p(&pixmap);
            Paint(p, enabled);
            p.end();
            icon.addPixmap(pixmap, enabled ? QIcon::Normal : QIcon::Disabled);
        }
    }
    return icon;
}

QToolButton* NewSpeedButton(QWidget* Parent, const QString& Name, const QRect& Geometry, const QIcon& Icon,
    const QString& Hint, const QString& LongHint)
{
    auto* button = new QToolButton(Parent);
    button->setObjectName(Name);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setGeometry(Geometry);
    button->setIcon(Icon);
    button->setIconSize(QSize(16, 16));
    button->setToolTip(Hint);
    button->setStatusTip(LongHint);
    return button;
}

QFrame* NewVerticalBevel(QWidget* Parent, const QString& Name, const QRect& Geometry)
{
    auto* bevel = new QFrame(Parent);
    bevel->setObjectName(Name);
    bevel->setFrameShape(QFrame::VLine);
    bevel->setFrameShadow(QFrame::Sunken);
    bevel->setGeometry(Geometry);
    return bevel;
}

} // namespace

void TPaintBox::paintEvent(QPaintEvent*)
{
    if (!OnPaint)
        return;
    QPainter p(this);
    OnPaint(this, p);
}

void TPaintBox::mousePressEvent(QMouseEvent* event)
{
    FPressed = event->button() == Qt::LeftButton;
    event->accept();
}

void TPaintBox::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = FPressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    FPressed = false;
    if (click && OnClick)
        OnClick(this);
}

void DrawPageGlyph(QPainter& Canvas, int Index, QPoint At, bool Enabled)
{
    QPainter& p = Canvas;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink = Enabled ? kInk : kDisabledInk;
    switch (Index) {
    case pgBackground: {
        // A filled area: a framed square covered with a light hatch.
        p.setPen(QPen(ink, 1));
        p.setBrush(Enabled ? QColor(200, 214, 232) : QColor(230, 230, 230));
        const QRectF square(P(At, 1.5, 1.5), QSizeF(13, 13));
        p.drawRect(square);
        p.setClipRect(square.adjusted(0.5, 0.5, -0.5, -0.5));
        p.setPen(QPen(Enabled ? QColor(120, 146, 184) : QColor(200, 200, 200), 1));
        for (int d = -12; d <= 12; d += 4)
            p.drawLine(P(At, 1.5 + d, 14.5), P(At, 14.5 + d, 1.5));
        break;
    }
    case pgOutline:
        // An outline only: a thick frame around an empty square.
        p.setPen(QPen(ink, 2.5));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(P(At, 2.5, 2.5), QSizeF(11, 11)));
        break;
    case pgReset:
        // The default pair: a black outline square behind a white background square.
        p.setPen(QPen(ink, 1));
        p.setBrush(Enabled ? Qt::black : kDisabledInk);
        p.drawRect(QRectF(P(At, 0.5, 0.5), QSizeF(9, 9)));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(P(At, 5.5, 5.5), QSizeF(9, 9)));
        break;
    case pgSwap: {
        // A bent arrow with a head at each end: top right round to bottom left.
        p.setPen(QPen(ink, 1.4));
        p.setBrush(Qt::NoBrush);
        QPainterPath bend;
        bend.moveTo(P(At, 5, 3.5));
        bend.quadTo(P(At, 12.5, 3.5), P(At, 12.5, 11));
        p.drawPath(bend);
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        ArrowHead(p, P(At, 1.5, 3.5), P(At, 8, 3.5), 4.5);
        ArrowHead(p, P(At, 12.5, 14.5), P(At, 12.5, 8), 4.5);
        break;
    }
    case pgStartEndSwap:
        // A level double arrow.
        p.setPen(QPen(ink, 1.4));
        p.drawLine(P(At, 4, 8), P(At, 12, 8));
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        ArrowHead(p, P(At, 1, 8), P(At, 8, 8), 4.5);
        ArrowHead(p, P(At, 15, 8), P(At, 8, 8), 4.5);
        break;
    default: break;
    }
    p.restore();
}

TfrmPptBaseAdv::TfrmPptBaseAdv(QWidget* Parent)
    : TfrmPptBase(Parent)
{
    setObjectName(QStringLiteral("frmPptBaseAdv"));

    btnSave = NewSpeedButton(this, QStringLiteral("btnSave"), QRect(4, 2, 24, 24), ButtonIcon(PaintSaveIcon),
        QStringLiteral("Save Image"), QStringLiteral("Save matching colors in SWF or BMP format"));
    connect(btnSave, &QToolButton::clicked, this, [this] { btnSaveClick(); });
    btnCopyToPalette = NewSpeedButton(this, QStringLiteral("btnCopyToPalette"), QRect(28, 2, 24, 24),
        ButtonIcon(PaintCopyToPaletteIcon), QStringLiteral("Copy To Palette"),
        QStringLiteral("Copy all colors to palette"));
    connect(btnCopyToPalette, &QToolButton::clicked, this, [this] { btnCopyToPaletteClick(); });

    bvlVert1 = NewVerticalBevel(this, QStringLiteral("bvlVert1"), QRect(68, 2, 2, 48));
    bvlVert2 = NewVerticalBevel(this, QStringLiteral("bvlVert2"), QRect(68, 56, 2, 46));

    pbxBgColor = NewGlyphBox(QStringLiteral("pbxBgColor"), pgBackground, QRect(6, 58, 16, 18));
    pbxLineColor = NewGlyphBox(QStringLiteral("pbxLineColor"), pgOutline, QRect(6, 82, 16, 18));
    pbxDefault = NewGlyphBox(QStringLiteral("pbxDefault"), pgReset, QRect(50, 58, 16, 16));
    pbxDefault->setToolTip(QStringLiteral("Reset foreground / background"));
    pbxDefault->setStatusTip(QStringLiteral("Reset foreground and background colors"));
    pbxDefault->OnClick = [this](TPaintBox*) { pbxDefaultClick(); };
    pbxSwapColors = NewGlyphBox(QStringLiteral("pbxSwapColors"), pgSwap, QRect(50, 82, 16, 16));
    pbxSwapColors->setToolTip(QStringLiteral("Swap colors"));
    pbxSwapColors->setStatusTip(QStringLiteral("Swap foreground and background colors"));
    pbxSwapColors->OnClick = [this](TPaintBox*) { pbxSwapColorsClick(); };

    btnBgColor = new TColorSwatchButton(this);
    btnBgColor->setObjectName(QStringLiteral("btnBgColor"));
    btnBgColor->setGeometry(26, 56, 22, 22);
    btnBgColor->setToolTip(QStringLiteral("Background Color"));
    btnBgColor->OnColorChange = [this](TObject* Sender, TColor Color) { btnBgColorColorChange(Sender, Color); };
    btnBgColor->OnDragOver
        = [this](TObject* Sender, QDragMoveEvent* Event, bool& Accept) { btnBgColorDragOver(Sender, Event, Accept); };
    btnBgColor->OnDragDrop = [this](TObject* Sender, QDropEvent* Event) { btnBgColorDragDrop(Sender, Event); };
    btnBgColor->OnMouseDown = [this](TObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X,
                                  int Y) { btnBgColorMouseDown(Sender, Button, Shift, X, Y); };

    btnOutlineColor = new TColorSwatchButton(this);
    btnOutlineColor->setObjectName(QStringLiteral("btnOutlineColor"));
    btnOutlineColor->setGeometry(26, 80, 22, 22);
    btnOutlineColor->setToolTip(QStringLiteral("Outline Color"));
    btnOutlineColor->OnColorChange
        = [this](TObject* Sender, TColor Color) { btnOutlineColorColorChange(Sender, Color); };
    btnOutlineColor->OnDragOver = [this](TObject* Sender, QDragMoveEvent* Event, bool& Accept) {
        btnOutlineColorDragOver(Sender, Event, Accept);
    };
    btnOutlineColor->OnDragDrop
        = [this](TObject* Sender, QDropEvent* Event) { btnOutlineColorDragDrop(Sender, Event); };
    btnOutlineColor->OnMouseDown = [this](TObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X,
                                       int Y) { btnOutlineColorMouseDown(Sender, Button, Shift, X, Y); };

    // The buttons start black; their first colours are not a change of the page.
    SetUpdating(true);
    SetBackgroundColor(clWhite);
    SetOutlineColor(clBlack);
    SetUpdating(false);
    EnableDragImages();
}

TColor TfrmPptBaseAdv::GetBackgroundColor() const
{
    return btnBgColor->SelectionColor();
}
TColor TfrmPptBaseAdv::GetOutlineColor() const
{
    return btnOutlineColor->SelectionColor();
}
void TfrmPptBaseAdv::SetBackgroundColor(TColor Color)
{
    btnBgColor->SetSelectionColor(Color);
}
void TfrmPptBaseAdv::SetOutlineColor(TColor Color)
{
    btnOutlineColor->SetSelectionColor(Color);
}

TPaintBox* TfrmPptBaseAdv::NewGlyphBox(const QString& Name, int Tag, const QRect& Geometry)
{
    auto* box = new TPaintBox(this);
    box->setObjectName(Name);
    box->Tag = Tag;
    box->setGeometry(Geometry);
    box->OnPaint = [this](TPaintBox* Sender, QPainter& Canvas) { paintGlyph(Sender, Canvas); };
    return box;
}

void TfrmPptBaseAdv::btnSaveClick()
{
    if (OnSaveImage)
        OnSaveImage(this);
}

void TfrmPptBaseAdv::btnCopyToPaletteClick()
{
    if (OnAddToPalette)
        OnAddToPalette(this, ClipName(), nullptr, 4);
}

void TfrmPptBaseAdv::btnBgColorColorChange(TObject*, TColor)
{
    DoChange(this);
}
void TfrmPptBaseAdv::btnOutlineColorColorChange(TObject*, TColor)
{
    DoChange(this);
}

void TfrmPptBaseAdv::btnBgColorDragOver(TObject*, QDragMoveEvent* Event, bool& Accept)
{
    Accept = HasColorDrag(Event->mimeData());
}

void TfrmPptBaseAdv::btnBgColorDragDrop(TObject*, QDropEvent* Event)
{
    if (const std::optional<TColorDragCtrlObject> drag = DecodeColorDrag(Event->mimeData()))
        SetBackgroundColor(drag->Color);
}

void TfrmPptBaseAdv::btnOutlineColorDragOver(TObject*, QDragMoveEvent* Event, bool& Accept)
{
    Accept = HasColorDrag(Event->mimeData());
}

void TfrmPptBaseAdv::btnOutlineColorDragDrop(TObject*, QDropEvent* Event)
{
    if (const std::optional<TColorDragCtrlObject> drag = DecodeColorDrag(Event->mimeData()))
        SetOutlineColor(drag->Color);
}

void TfrmPptBaseAdv::btnBgColorMouseDown(TObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int)
{
    PopColorMenu(btnBgColor, BgColorMenu());
}

void TfrmPptBaseAdv::btnOutlineColorMouseDown(TObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int)
{
    PopColorMenu(btnOutlineColor, OutlineColorMenu());
}

void TfrmPptBaseAdv::PopColorMenu(TColorSwatchButton* Button, QMenu* Menu)
{
    if (!Menu)
        return;
    Menu->exec(Button->mapToGlobal(QPoint(0, Button->height())));
    // The release went to the menu, so the button would stay pressed.
    Button->ResetButtonState();
}

void TfrmPptBaseAdv::pbxDefaultClick()
{
    BeginUpdate();
    SetBackgroundColor(clWhite);
    SetOutlineColor(clBlack);
    EndUpdate(this, true);
}

void TfrmPptBaseAdv::pbxSwapColorsClick()
{
    const TColor background = GetBackgroundColor();
    const TColor outline = GetOutlineColor();
    BeginUpdate();
    SetBackgroundColor(outline == kNoOutline ? clBlack : outline);
    SetOutlineColor(background);
    EndUpdate(this, true);
}

void TfrmPptBaseAdv::paintGlyph(TPaintBox* Sender, QPainter& Canvas)
{
    DrawPageGlyph(Canvas, Sender->Tag, QPoint(0, 1), Sender->isEnabled());
}

void TfrmPptBaseAdv::cbColorWheelChange()
{
    DoChange(this);
}

QIcon SwfColorMenuIcon(TColor Color, int Size)
{
    QIcon icon;
    for (const qreal dpr : {1.0, 2.0}) {
        QPixmap pixmap(QSize(Size, Size) * dpr);
        pixmap.setDevicePixelRatio(dpr);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        const bool none = Color == kNoOutline;
        const QRectF square(0.5, 0.5, Size - 1, Size - 1);
        p.fillRect(square, none ? QColor(Qt::white) : QColorFromTColor(Color));
        if (none) {
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(QPen(QColor(255, 0, 0), std::max(2.0, Size / 6.0)));
            p.setClipRect(square);
            p.drawLine(QPointF(Size - 1, 1), QPointF(1, Size - 1));
            p.setClipping(false);
            p.setRenderHint(QPainter::Antialiasing, false);
        }
        p.setPen(QPen(Qt::black, 1.0 / dpr));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(0.5 / dpr, 0.5 / dpr, Size - 1 / dpr, Size - 1 / dpr));
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

namespace {
const char* const kMenuKindProperty = "swfColorKind";
const char* const kMenuColorProperty = "swfColor";
} // namespace

std::optional<TColor> SwfColorMenuColor(const QAction* Action)
{
    if (!Action)
        return std::nullopt;
    const QVariant kind = Action->property(kMenuKindProperty);
    if (!kind.isValid())
        return std::nullopt;
    switch (static_cast<TSwfColorItemKind>(kind.toInt())) {
    case sciColor:
    case sciNone: return static_cast<TColor>(Action->property(kMenuColorProperty).toUInt());
    case sciWindows: return ColorToRGB(clBtnFace);
    case sciPick: break;
    }
    return std::nullopt;
}

QMenu* CreateSwfColorMenu(TSwfColorMenuKind Kind, QWidget* Parent, std::function<TfrmPptBase*()> CurrentPage,
    std::function<void(int Target)> StartEyeDropper)
{
    auto* menu = new QMenu(Parent);
    menu->setObjectName(Kind == scmBackground ? QStringLiteral("popSwfBgColor") : QStringLiteral("popSwfOutlineColor"));
    const int iconSize = menu->style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, menu);
    for (const TSwfColorMenuItem& item : kSwfColorMenuItems) {
        const char* name = Kind == scmBackground ? item.BackgroundAction : item.OutlineAction;
        if (!name)
            continue;
        if (item.SeparatorBefore)
            menu->addSeparator();
        QAction* action = menu->addAction(QString::fromLatin1(item.Caption));
        action->setObjectName(QString::fromLatin1(name));
        action->setProperty(kMenuKindProperty, static_cast<int>(item.Kind));
        action->setProperty(kMenuColorProperty, static_cast<uint>(item.Color));
        if (item.Kind != sciPick)
            action->setIcon(SwfColorMenuIcon(item.Kind == sciWindows ? ColorToRGB(item.Color) : item.Color, iconSize));
        QObject::connect(action, &QAction::triggered, menu, [Kind, action, CurrentPage, StartEyeDropper] {
            TfrmPptBase* page = CurrentPage ? CurrentPage() : nullptr;
            if (!page)
                return;
            const std::optional<TColor> color = SwfColorMenuColor(action);
            if (!color) {
                if (StartEyeDropper)
                    StartEyeDropper(Kind == scmBackground ? kEyeDropTargetBackground : kEyeDropTargetOutline);
                return;
            }
            if (Kind == scmBackground)
                page->SetBackgroundColor(*color);
            else
                page->SetOutlineColor(*color);
        });
        if (item.Kind == sciNone)
            menu->addSeparator();
    }
    // The Windows colour's swatch follows the desktop, so it is drawn as the menu opens.
    QObject::connect(menu, &QMenu::aboutToShow, menu, [menu, iconSize] {
        for (QAction* action : menu->actions()) {
            if (action->property(kMenuKindProperty).toInt() == sciWindows)
                action->setIcon(SwfColorMenuIcon(ColorToRGB(clBtnFace), iconSize));
        }
    });
    return menu;
}
