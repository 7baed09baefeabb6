#pragma once
// The header strip of every panel of the main window: a bold caption on a shaded background,
// optionally a collapse button that folds the panel to the bar and a menu button.

#include "colour/ColorTypes.h"
#include "colour/Events.h"
#include "pickers/CachedBackground.h"

#include <QMenu>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include <functional>

enum TEdgeBorder { ebLeft = 0x1, ebTop = 0x2, ebRight = 0x4, ebBottom = 0x8 };
Q_DECLARE_FLAGS(TEdgeBorders, TEdgeBorder)
Q_DECLARE_OPERATORS_FOR_FLAGS(TEdgeBorders)

enum TCollapseExpand { ceCollapsing, ceExpanding };
using TCollapseExpandEvent = std::function<void(TObject* Sender, TCollapseExpand Action)>;

class TCaptionBar : public QWidget, public TObject {
    Q_OBJECT
public:
    explicit TCaptionBar(QWidget* parent = nullptr);

    QString Caption() const { return FCaption; }
    void SetCaption(const QString& Value);

    // The base of the shaded background; system colours are resolved when painting.
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);

    // Opened by the menu button. The bar forgets the menu when it is destroyed.
    QMenu* ButtonMenu() const { return FButtonMenu; }
    void SetButtonMenu(QMenu* Value) { FButtonMenu = Value; }
    // Opened by a right click anywhere else on the bar.
    QMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(QMenu* Value) { FPopupMenu = Value; }

    bool ShowMenu() const { return FShowMenu; }
    void SetShowMenu(bool Value);
    // A collapse button at the left end; the caption becomes clickable too.
    bool CollapseBtn() const { return FCollapseBtn; }
    void SetCollapseBtn(bool Value);
    // Only the look: the panel's owner resizes the panel in OnCollapseExpand.
    bool Collapsed() const { return FCollapsed; }
    void SetCollapsed(bool Value);
    TEdgeBorders EdgeBorders() const { return FEdgeBorders; }
    void SetEdgeBorders(TEdgeBorders Value);
    // Colour of the triangle and caption while the mouse is over the collapse area.
    TColor RolloverColor() const { return FRolloverColor; }
    void SetRolloverColor(TColor Value);

    // Transient state, for the owner and for tests.
    bool Rollover() const { return FRollover; }
    bool MenuPressed() const { return FMenuPressed; }

    // Geometry in the bar's coordinates (see the painting code for how each is used).
    QRect CollapseBoxRect() const;
    // The triangle's box plus the caption's text: what a click toggles.
    QRect CollapseAreaRect() const;
    // Where the menu image sits when not pressed; empty without ShowMenu or while collapsed.
    QRect MenuButtonRect() const;
    QRect CaptionRect() const;
    // Size of the menu image in logical pixels.
    static QSize MenuImageSize();

    // The shaded background's channel factor (out of 255) for row y of a bar h rows high.
    static int ShadeFactor(int y, int h);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    TCollapseExpandEvent OnCollapseExpand;
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;

Q_SIGNALS:
    void collapseExpand(TCollapseExpand action);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void SetRollover(bool Value);
    QPixmap MenuImage(qreal dpr);

    QString FCaption;
    TColor FColor = clBtnFace;
    QPointer<QMenu> FButtonMenu;
    QPointer<QMenu> FPopupMenu;
    bool FShowMenu = false;
    bool FCollapseBtn = false;
    bool FCollapsed = false;
    TEdgeBorders FEdgeBorders = TEdgeBorders(ebTop) | ebBottom;
    TColor FRolloverColor = cl3DDkShadow;

    bool FRollover = false;
    bool FMenuPressed = false;
    // While the button menu runs, the leave the pop-up causes must not lift the button.
    bool FInMenu = false;
    bool FClickArmed = false;

    CachedBackground FBackground;
    QPixmap FMenuImage;
};
