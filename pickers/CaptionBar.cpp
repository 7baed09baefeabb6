#include "pickers/CaptionBar.h"

#include "pickers/SysColors.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <QtMath>

namespace {

constexpr int kBarHeight = 20;
constexpr int kBoxLeft = 2;
constexpr int kBoxSize = 18;
constexpr QSize kMenuImageSize(12, 11);

} // namespace

TCaptionBar::TCaptionBar(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    QFont bold = font();
    bold.setBold(true);
    setFont(bold);
    resize(100, kBarHeight);
}

QSize TCaptionBar::sizeHint() const
{
    const int text = fontMetrics().horizontalAdvance(FCaption);
    int width = (FCollapseBtn ? 20 : 2) + text + 2;
    if (FShowMenu)
        width += MenuImageSize().width() + 4;
    return {std::max(width, 100), kBarHeight};
}

QSize TCaptionBar::minimumSizeHint() const
{
    return {20, kBarHeight};
}

void TCaptionBar::SetCaption(const QString& Value)
{
    if (Value == FCaption)
        return;
    FCaption = Value;
    updateGeometry();
    update();
}

void TCaptionBar::SetColor(TColor Value)
{
    if (Value == FColor)
        return;
    FColor = Value;
    FBackground.invalidate();
    update();
}

void TCaptionBar::SetShowMenu(bool Value)
{
    if (Value == FShowMenu)
        return;
    FShowMenu = Value;
    updateGeometry();
    update();
}

void TCaptionBar::SetCollapseBtn(bool Value)
{
    if (Value == FCollapseBtn)
        return;
    FCollapseBtn = Value;
    if (!FCollapseBtn)
        FRollover = false;
    updateGeometry();
    update();
}

void TCaptionBar::SetCollapsed(bool Value)
{
    if (Value == FCollapsed)
        return;
    FCollapsed = Value;
    update();
}

void TCaptionBar::SetEdgeBorders(TEdgeBorders Value)
{
    if (Value == FEdgeBorders)
        return;
    FEdgeBorders = Value;
    update();
}

void TCaptionBar::SetRolloverColor(TColor Value)
{
    if (Value == FRolloverColor)
        return;
    FRolloverColor = Value;
    if (FRollover)
        update();
}

void TCaptionBar::SetRollover(bool Value)
{
    if (Value == FRollover)
        return;
    FRollover = Value;
    update();
}

int TCaptionBar::ShadeFactor(int y, int h)
{
    if (h <= 1)
        return 240;
    return 240 - (y * 204 / (h - 1)) / 4;
}

QSize TCaptionBar::MenuImageSize()
{
    return kMenuImageSize;
}

QRect TCaptionBar::CollapseBoxRect() const
{
    const int a = (height() - kBoxSize) / 2;
    return {kBoxLeft, a, kBoxSize, kBoxSize};
}

QRect TCaptionBar::CollapseAreaRect() const
{
    const QRect box = CollapseBoxRect();
    return {box.left(), box.top(), box.width() + fontMetrics().horizontalAdvance(FCaption), box.height()};
}

QRect TCaptionBar::MenuButtonRect() const
{
    if (!FShowMenu || FCollapsed)
        return {};
    const QSize s = MenuImageSize();
    return {width() - 2 - s.width(), (height() - s.height()) / 2, s.width(), s.height()};
}

QRect TCaptionBar::CaptionRect() const
{
    const int left = FCollapseBtn ? 20 : 2;
    const QRect menu = MenuButtonRect();
    const int right = menu.isValid() ? menu.left() - 2 : width() - 2;
    const int textHeight = fontMetrics().height();
    return {left, (height() - textHeight) / 2, std::max(right - left, 0), textHeight};
}

QPixmap TCaptionBar::MenuImage(qreal dpr)
{
    if (!FMenuImage.isNull() && FMenuImage.devicePixelRatio() == dpr)
        return FMenuImage;
    const QSize logical = MenuImageSize();
    QPixmap image(CachedBackground::deviceSize(logical, dpr));
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::transparent);
    QPainter p(&image);
    const QColor ink = QColorFromTColor(clBtnText);
    // Three lines of a list beside a drop-down arrow: "this opens a menu".
    for (int y : {2, 5, 8})
        p.fillRect(QRectF(0, y, 5, 1), ink);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawPolygon(QPolygonF({QPointF(6.5, 4), QPointF(11.5, 4), QPointF(9, 7)}));
    p.end();
    FMenuImage = image;
    return FMenuImage;
}

void TCaptionBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const int w = width();
    const int h = height();
    const qreal dpr = CachedBackground::paintRatio(p, this);

    // 1. Shaded rows, from 240/255 of the colour at the top to 189/255 at the bottom; computed
    // per device row so the shading stays smooth on a dense screen.
    const TColor base = ColorToRGB(FColor);
    FBackground.draw(p, this, QPoint(0, 0), size(), [base](QImage& image) {
        const int rows = image.height();
        for (int y = 0; y < rows; ++y) {
            const int c = ShadeFactor(y, rows);
            const QRgb rgb = qRgb(Round(GetRValue(base) * c / 255.0), Round(GetGValue(base) * c / 255.0),
                Round(GetBValue(base) * c / 255.0));
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            std::fill(line, line + image.width(), rgb);
        }
    });

    // 2. Edges.
    const QColor light = QColorFromTColor(clBtnHighlight);
    const QColor shadow = QColorFromTColor(clBtnShadow);
    if (FEdgeBorders & ebTop)
        p.fillRect(QRect(0, 0, w, 1), light);
    if (FEdgeBorders & ebLeft)
        p.fillRect(QRect(0, 0, 1, h), light);
    if (FEdgeBorders & ebBottom)
        p.fillRect(QRect(0, h - 1, w, 1), shadow);
    if (FEdgeBorders & ebRight)
        p.fillRect(QRect(w - 1, 0, 1, h), shadow);

    const bool rollover = FRollover && FCollapseBtn;
    const QColor rolloverColor = QColorFromTColor(FRolloverColor);

    // 3. The collapse triangle: right when collapsed, down when open.
    if (FCollapseBtn) {
        const QPoint o = CollapseBoxRect().topLeft();
        const QPolygon triangle = FCollapsed ? QPolygon({o + QPoint(6, 4), o + QPoint(6, 12), o + QPoint(10, 8)})
                                             : QPolygon({o + QPoint(4, 6), o + QPoint(12, 6), o + QPoint(8, 10)});
        const QColor ink = rollover ? rolloverColor : QColor(Qt::black);
        p.setPen(QPen(ink, 1));
        p.setBrush(ink);
        p.drawPolygon(triangle);
    }

    // 4. The menu button.
    const QRect menu = MenuButtonRect();
    if (menu.isValid())
        p.drawPixmap(menu.topLeft() + (FMenuPressed ? QPoint(1, 1) : QPoint()), MenuImage(dpr));

    // 5. The caption.
    p.setFont(font());
    p.setPen(rollover ? rolloverColor : palette().color(QPalette::WindowText));
    p.drawText(CaptionRect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, FCaption);
}

void TCaptionBar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    update();
}

void TCaptionBar::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange) {
        // Edges, menu image and a system base colour all come from the palette.
        FBackground.invalidate();
        FMenuImage = QPixmap();
        update();
    } else if (event->type() == QEvent::FontChange) {
        updateGeometry();
        update();
    }
}

void TCaptionBar::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    const QRect menu = MenuButtonRect();
    if (menu.isValid() && menu.contains(pos)) {
        FMenuPressed = true;
        repaint();
        if (FButtonMenu) {
            FInMenu = true;
            FButtonMenu->exec(mapToGlobal(QPoint(menu.left(), menu.top() + menu.height())));
            FInMenu = false;
        }
        FMenuPressed = false;
        repaint();
        return;
    }
    if (event->button() == Qt::LeftButton) {
        FClickArmed = true;
        if (FCollapseBtn && CollapseAreaRect().contains(pos)) {
            const bool wasCollapsed = FCollapsed;
            FCollapsed = !FCollapsed;
            const TCollapseExpand action = wasCollapsed ? ceExpanding : ceCollapsing;
            if (OnCollapseExpand)
                OnCollapseExpand(this, action);
            Q_EMIT collapseExpand(action);
            update();
        }
    }
}

void TCaptionBar::mouseReleaseEvent(QMouseEvent* event)
{
    if (FMenuPressed) {
        FMenuPressed = false;
        update();
    }
    if (event->button() == Qt::LeftButton && FClickArmed) {
        FClickArmed = false;
        if (rect().contains(event->position().toPoint()) && OnClick)
            OnClick(this);
    }
}

void TCaptionBar::mouseDoubleClickEvent(QMouseEvent* event)
{
    // A fast second click on the collapse area toggles again, as a second single click would.
    mousePressEvent(event);
    FClickArmed = false;
    if (event->button() == Qt::LeftButton && OnDblClick)
        OnDblClick(this);
}

void TCaptionBar::mouseMoveEvent(QMouseEvent* event)
{
    if (FCollapseBtn)
        SetRollover(CollapseAreaRect().contains(event->position().toPoint()));
}

void TCaptionBar::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    if (FInMenu)
        return;
    const bool changed = FRollover || FMenuPressed;
    FRollover = false;
    FMenuPressed = false;
    if (changed)
        update();
}

void TCaptionBar::contextMenuEvent(QContextMenuEvent* event)
{
    const QRect menu = MenuButtonRect();
    if (menu.isValid() && menu.contains(event->pos()))
        return;
    if (FPopupMenu)
        FPopupMenu->exec(event->globalPos());
}
