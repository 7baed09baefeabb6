// Gallery entries for the shell's controls: caption bars, colour buttons with drags between
// them, the history with its pop-up, and the confirmation box.
#include "Gallery.h"

#include "colour/Colors.h"
#include "pickers/CachedBackground.h"
#include "pickers/CaptionBar.h"
#include "pickers/ColorButton.h"
#include "pickers/ColorDragObj.h"
#include "pickers/ColorHistory.h"
#include "pickers/HistoryPopup.h"
#include "pickers/MessageDlgEx.h"
#include "pickers/SysColors.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QRandomGenerator>
#include <QVBoxLayout>

#include <memory>

namespace {

QString Hex(TColor c)
{
    return ColorToHex(GetRValue(c), GetGValue(c), GetBValue(c), true);
}

QComboBox* VisionBox(QWidget* parent, std::function<void(TColorVisionType)> apply)
{
    auto* box = new QComboBox(parent);
    for (const char* name : {"Normal", "Protanopia", "Deuteranopia", "Tritanopia", "Protanomaly", "Deuteranomaly",
             "Tritanomaly", "Monochromacy", "Partial monochromacy"})
        box->addItem(QString::fromLatin1(name));
    QObject::connect(box, &QComboBox::currentIndexChanged, [apply](int i) { apply(static_cast<TColorVisionType>(i)); });
    return box;
}

// A panel under a caption bar: the bar folds the body away as the main window's panels do.
QWidget* Panel(
    QWidget* parent, const QString& caption, bool collapseBtn, QMenu* menu, TEdgeBorders edges, int bodyHeight)
{
    auto* panel = new QWidget(parent);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* bar = new TCaptionBar(panel);
    bar->SetCaption(caption);
    bar->SetCollapseBtn(collapseBtn);
    bar->SetEdgeBorders(edges);
    if (menu) {
        bar->SetShowMenu(true);
        bar->SetButtonMenu(menu);
    }
    auto* body = new QLabel(panel);
    body->setFixedHeight(bodyHeight);
    body->setAutoFillBackground(true);
    body->setAlignment(Qt::AlignCenter);
    body->setText(QStringLiteral("(%1 panel)").arg(caption));
    bar->OnCollapseExpand = [body, caption](TObject*, TCollapseExpand action) {
        body->setVisible(action == ceExpanding);
        galleryStatus(QStringLiteral("%1: %2").arg(
            caption, action == ceExpanding ? QStringLiteral("ceExpanding") : QStringLiteral("ceCollapsing")));
    };
    layout->addWidget(bar);
    layout->addWidget(body);
    return panel;
}

// The program installs the palette-backed system colours at start; the gallery shows what it shows.
void UseDesktopSystemColors()
{
    InstallSysColorResolver();
}

QWidget* MakeCaptionBars(QWidget* parent)
{
    UseDesktopSystemColors();
    auto* page = new QWidget(parent);
    page->setMinimumWidth(300);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);

    auto* menu = new QMenu(page);
    QAction* advanced = menu->addAction(QStringLiteral("Advanced Mode"));
    advanced->setCheckable(true);
    advanced->setChecked(true);
    QMenu* position = menu->addMenu(QStringLiteral("Position"));
    position->addAction(QStringLiteral("Top"));
    position->addAction(QStringLiteral("Bottom"));
    QObject::connect(
        menu, &QMenu::triggered, [](QAction* a) { galleryStatus(QStringLiteral("menu: %1").arg(a->text())); });

    layout->addWidget(Panel(page, QStringLiteral("Base Color"), true, nullptr, TEdgeBorders(ebTop) | ebBottom, 30));
    layout->addWidget(Panel(page, QStringLiteral("Properties"), true, menu, TEdgeBorders(ebTop) | ebBottom, 30));
    layout->addWidget(
        Panel(page, QStringLiteral("Work Area"), false, nullptr, TEdgeBorders(ebLeft) | ebRight | ebBottom, 30));

    // A collapsed bar with its menu switched on shows no menu button.
    auto* collapsed = new TCaptionBar(page);
    collapsed->SetCaption(QStringLiteral("Color Inspector (collapsed, ShowMenu on)"));
    collapsed->SetCollapseBtn(true);
    collapsed->SetShowMenu(true);
    collapsed->SetCollapsed(true);
    collapsed->OnCollapseExpand = [](TObject*, TCollapseExpand a) {
        galleryStatus(
            a == ceExpanding ? QStringLiteral("inspector expanding") : QStringLiteral("inspector collapsing"));
    };
    layout->addWidget(collapsed);

    // A taller bar with all four edges and a coloured base, rollover in red.
    auto* tall = new TCaptionBar(page);
    tall->resize(300, 28);
    tall->setFixedHeight(28);
    tall->SetCaption(QStringLiteral("Color Palette (28 px, all edges)"));
    tall->SetCollapseBtn(true);
    tall->SetEdgeBorders(TEdgeBorders(ebLeft) | ebTop | ebRight | ebBottom);
    tall->SetColor(RGB(180, 210, 240));
    tall->SetRolloverColor(clRed);
    layout->addWidget(tall);
    return page;
}

// Paints the drag image at whatever density it is shown, as a drag would.
class DragImageView : public QWidget {
public:
    explicit DragImageView(QWidget* parent)
        : QWidget(parent)
    {
        setFixedSize(16, 16);
    }
    TColor Color = RGB(0, 128, 128);

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.drawPixmap(1, 1, ColorDragImage(Color, CachedBackground::paintRatio(p, this)));
    }
};

QWidget* MakeColorButtons(QWidget* parent)
{
    UseDesktopSystemColors();
    auto* page = new QWidget(parent);
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(12);

    // The base swatch: 48 x 48, flat, teal selection frame; a press starts a drag at once.
    auto* base = new TColorButton(page);
    base->setFixedSize(48, 48);
    base->SetFlat(true);
    base->SetSelectionFrameColor(RGB(0, 128, 128));
    base->SetSelected(true);
    base->SetSelectionColor(RGB(255, 204, 0));
    base->setToolTip(QStringLiteral("Base Color"));

    auto* raised = new TColorButton(page);
    raised->SetSelectionColor(RGB(51, 102, 204));
    raised->SetAutoCreateHint(true);
    auto* flat = new TColorButton(page);
    flat->SetFlat(true);
    flat->SetSelectionColor(RGB(204, 51, 102));
    flat->SetAutoCreateHint(true);
    auto* none = new TColorButton(page);
    none->SetSelectionColor(0x7F000000);
    auto* selected = new TColorButton(page);
    selected->SetSelectionColor(RGB(102, 204, 51));
    selected->SetSelected(true);
    auto* system = new TColorButton(page);
    system->SetSelectionColor(clHighlight);
    system->SetAutoCreateHint(true);

    auto* drag = new DragImageView(page);
    drag->Color = base->SelectionColor();

    const std::vector<std::pair<TColorButton*, QString>> buttons = {{base, QStringLiteral("base swatch")},
        {raised, QStringLiteral("raised")}, {flat, QStringLiteral("flat")}, {none, QStringLiteral("no colour")},
        {selected, QStringLiteral("selected")}, {system, QStringLiteral("clHighlight")}};
    int col = 0;
    for (const auto& [button, name] : buttons) {
        grid->addWidget(button, 0, col, Qt::AlignLeft | Qt::AlignBottom);
        grid->addWidget(new QLabel(name, page), 1, col);
        button->OnColorRollover = [name](TObject*, TColor c) {
            galleryStatus(
                QStringLiteral("%1 rollover %2").arg(name, (c & 0xFF000000u) ? QStringLiteral("none") : Hex(c)));
        };
        button->OnClick = [name](TObject*) { galleryStatus(QStringLiteral("%1 clicked").arg(name)); };
        button->OnDblClick = [name](TObject*) { galleryStatus(QStringLiteral("%1 double-clicked").arg(name)); };
        button->OnMouseLeave = [name](TObject*, int x, int y) {
            galleryStatus(QStringLiteral("%1 left at screen %2,%3").arg(name).arg(x).arg(y));
        };
        // Every button takes a dropped colour; drags start from a left press.
        button->OnDragDrop = [name, button](TObject*, const TColorDragCtrlObject& d, int, int) {
            button->SetSelectionColor(d.Color);
            galleryStatus(QStringLiteral("%1 took %2 (kind %3, index %4)")
                              .arg(name, Hex(d.Color))
                              .arg(d.DragKind)
                              .arg(d.SourceIndex));
        };
        button->OnMouseDown = [button](TObject*, Qt::MouseButton b, Qt::KeyboardModifiers, int, int) {
            if (b == Qt::LeftButton && button->HasColor())
                button->BeginDrag();
        };
        button->OnStartDrag = [](TObject*, TColorDragCtrlObject& d) { d.SourceIndex = static_cast<int>(d.Color); };
        ++col;
    }
    base->OnColorChange = [drag](TObject*, TColor c) {
        drag->Color = c;
        drag->update();
    };
    grid->addWidget(drag, 0, col, Qt::AlignLeft | Qt::AlignBottom);
    grid->addWidget(new QLabel(QStringLiteral("drag image"), page), 1, col);

    grid->addWidget(VisionBox(page,
                        [buttons](TColorVisionType v) {
                            for (const auto& b : buttons)
                                b.first->SetColorVisionType(v);
                        }),
        2, 0, 1, 4);
    grid->setColumnStretch(col + 1, 1);
    return page;
}

// The history as the base-colour panel drives it: the swatch, Random, Back, History, Forward.
QWidget* MakeHistory(QWidget* parent)
{
    UseDesktopSystemColors();
    auto* page = new QWidget(parent);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* row = new QHBoxLayout;
    auto* swatch = new TColorButton(page);
    swatch->setFixedSize(48, 48);
    swatch->SetFlat(true);
    auto* random = new QPushButton(QStringLiteral("Random Color"), page);
    auto* back = new QPushButton(QStringLiteral("Back"), page);
    auto* open = new QPushButton(QStringLiteral("Color History"), page);
    auto* forward = new QPushButton(QStringLiteral("Forward"), page);
    row->addWidget(swatch);
    for (QPushButton* b : {random, back, open, forward})
        row->addWidget(b);
    row->addStretch(1);
    layout->addLayout(row);
    auto* state = new QLabel(page);
    layout->addWidget(state);

    auto history = std::make_shared<TColorHistory>();
    auto popup = std::make_shared<std::unique_ptr<TfrmHistoryPopup>>();
    auto closedAt = std::make_shared<QElapsedTimer>();
    const auto show = [history, state, back, forward, open] {
        back->setEnabled(history->PrevEnabled());
        forward->setEnabled(history->NextEnabled());
        open->setEnabled(history->Count() > 1);
        state->setText(QStringLiteral("Count %1, Position %2").arg(history->Count()).arg(history->Position()));
    };
    history->OnAdd = [show](TObject*, bool, bool) { show(); };
    history->OnChange = [swatch, show](TObject*, TRichColor* entry, bool, bool) {
        swatch->SetSelectionColor(entry->Color());
        show();
    };
    const auto add = [history, swatch](TColor c) {
        swatch->SetSelectionColor(c);
        history->Add(c);
    };
    // A few colours to start with, so the screenshot shows a history in use.
    for (TColor c : {RGB(255, 204, 0), RGB(204, 51, 0), RGB(51, 153, 204), RGB(102, 51, 153)})
        add(c);
    history->Previous();

    QObject::connect(random, &QPushButton::clicked, page, [add] {
        auto* rng = QRandomGenerator::global();
        add(HSBToColor(rng->bounded(359), (rng->bounded(191) + 64) / 255.0, (rng->bounded(191) + 64) / 255.0));
    });
    QObject::connect(back, &QPushButton::clicked, page, [history] { history->Previous(); });
    QObject::connect(forward, &QPushButton::clicked, page, [history] { history->Next(); });
    QObject::connect(open, &QPushButton::clicked, page, [=] {
        // The click that closed the pop-up by taking the focus must not reopen it.
        if (closedAt->isValid() && closedAt->elapsed() < 300)
            return;
        if (!*popup) {
            *popup = std::make_unique<TfrmHistoryPopup>(page);
            TfrmHistoryPopup* p = popup->get();
            p->OnGetColor = [history](TObject*, int i, TColor& c) {
                if (TRichColor* e = history->Items(i))
                    c = e->Color();
            };
            p->OnRolloverCellEvent = [history](TObject*, int i) {
                galleryStatus(QStringLiteral("history cell %1: %2").arg(i).arg(Hex(history->Items(i)->Color())));
            };
            p->OnLeaveCell = [](TObject*) { galleryStatus(QString()); };
            p->OnSelectItem = [history](TObject*, int i) { history->GoTo(i); };
            p->OnClose = [closedAt](TObject*) { closedAt->start(); };
        }
        (*popup)->Setup(history->Count(), history->Position(), 8, 30);
        (*popup)->PopupBelow(open);
    });
    show();

    // The pop-up's cells as it draws them, shown in place for the screenshot.
    layout->addWidget(new QLabel(QStringLiteral("Pop-up cells (12 entries, current 10):"), page));
    auto* inline_ = new TfrmHistoryPopup(page);
    inline_->setWindowFlags(Qt::Widget);
    inline_->OnGetColor = [](TObject*, int i, TColor& c) { c = HSBToColor(i * 30.0, 0.8, 0.9); };
    inline_->OnRolloverCellEvent = [](TObject*, int i) { galleryStatus(QStringLiteral("cell %1").arg(i)); };
    inline_->OnLeaveCell = [](TObject*) { galleryStatus(QStringLiteral("left the cell")); };
    inline_->Setup(12, 10, 8, 30);
    layout->addWidget(inline_);
    return page;
}

QWidget* MakeMessageBox(QWidget* parent)
{
    UseDesktopSystemColors();
    auto* page = new QWidget(parent);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    const QString text = QStringLiteral("Delete the swatch <b>Sunflower</b> from the palette?<br>"
                                        "This cannot be undone.");
    // The box itself, shown in place for the screenshot.
    auto* inline_ = new TfrmMessageDlgEx(page);
    inline_->setWindowFlags(Qt::Widget);
    inline_->SetText(text);
    inline_->SetKind(mdkYesNoCancel);
    layout->addWidget(inline_);

    auto* row = new QHBoxLayout;
    for (int kind : {0, 1, 2}) {
        auto* b = new QPushButton(QStringLiteral("Open kind %1").arg(kind), page);
        QObject::connect(b, &QPushButton::clicked, page, [page, text, kind] {
            bool off = false;
            const int result = TfrmMessageDlgEx::Execute(page->window(), text, kind, &off);
            galleryStatus(QStringLiteral("kind %1: result %2, do not show again %3").arg(kind).arg(result).arg(off));
        });
        row->addWidget(b);
    }
    row->addStretch(1);
    layout->addLayout(row);
    return page;
}

} // namespace

KORVEL_GALLERY_ENTRY(CaptionBar, "CaptionBar", MakeCaptionBars);
KORVEL_GALLERY_ENTRY(ColorButton, "ColorButton", MakeColorButtons);
KORVEL_GALLERY_ENTRY(ColorHistory, "ColorHistory", MakeHistory);
KORVEL_GALLERY_ENTRY(MessageDlgEx, "MessageDlgEx", MakeMessageBox);
