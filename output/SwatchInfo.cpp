#include "output/SwatchInfo.h"

#include "colour/Colors.h"
#include "output/TrimText.h"
#include "pickers/ColorButton.h"
#include "pickers/ColorTrackBar.h"
#include "pickers/ColorWheel.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QConicalGradient>
#include <QFocusEvent>
#include <QFrame>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QToolButton>

#include <algorithm>

namespace {

constexpr int kClientWidth = 381;
constexpr int kMargin = 8;
constexpr int kRight = kClientWidth - kMargin;
// Where the fields of the info and colour sections start, right of their labels.
constexpr int kFieldLeft = 156;
constexpr int kFieldWidth = kRight - kFieldLeft; // 217, the memo's width
constexpr int kSectionLabelLeft = 28;
// The name row never moves; the stack of sections starts at the top of Bevel1.
constexpr int kBevel1Top = 72;
constexpr int kFoldButtonSize = 16;
constexpr int kComboHeight = 21;
constexpr int kMemoHeight = 88;
constexpr int kToolButtonSize = 24;
constexpr int kSeparatorWidth = 8;
constexpr int kResetWidth = 60;
constexpr int kWheelSize = 170;
constexpr int kHexLeft = 245;
constexpr int kHexWidth = 54;
constexpr int kHexHeight = 19;
constexpr int kSliderLeft = kMargin + kWheelSize + 3;
constexpr int kSliderWidth = 160;
constexpr int kSliderHeight = 30;
constexpr int kValueBoxWidth = 30;
constexpr int kValueBoxHeight = 19;
constexpr int kButtonWidth = 75;
constexpr int kOkHeight = 25;
// The label of a field sits this far below the field's top, level with its text.
constexpr int kLabelOffset = 3;

// Triangles standing in for the symbol font's "6" and "4".
const QString kFoldShown = QStringLiteral("\u25BC");
const QString kFoldFolded = QStringLiteral("\u25B6");

struct TModelTexts {
    TGradientType Types[3];
    const char* Captions[3];
    const char* Hints[3];
};

// Hints carry only the long part ("|..."), which goes to the status line rather than a tip.
const TModelTexts kModelTexts[3] = {
    {{gtRGB_R, gtRGB_G, gtRGB_B}, {"红", "绿", "蓝"}, {"|调整红色分量", "|调整绿色分量", "|调整蓝色分量"}},
    {{gtHSB_H, gtHSB_S, gtHSB_B}, {"Hue", "饱和度", "亮度"}, {"|调整色相", "|调整饱和度", "|调整亮度"}},
    {{gtHSL_H, gtHSL_S, gtHSL_L}, {"Hue", "饱和度", "Lightness"}, {"|调整色相", "|调整饱和度", "|调整亮度"}},
};

// A line edit whose text counts when the user leaves it. Only an edited text is taken,
// so tabbing through the dialog never nudges the colour by re-reading a rounded value.
class TLeaveEdit : public QLineEdit {
public:
    explicit TLeaveEdit(bool SwallowEnter, QWidget* parent)
        : QLineEdit(parent)
        , FSwallowEnter(SwallowEnter)
    {
    }

    std::function<void()> OnLeave;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            Leave();
            if (FSwallowEnter) {
                event->accept();
                return;
            }
        }
        // Return goes on to the dialog's default button from here.
        QLineEdit::keyPressEvent(event);
    }

    void focusOutEvent(QFocusEvent* event) override
    {
        QLineEdit::focusOutEvent(event);
        // Another window coming to the front is not leaving the field.
        if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
            Leave();
    }

private:
    void Leave()
    {
        if (isModified() && OnLeave)
            OnLeave();
    }

    bool FSwallowEnter;
};

// Text written by the program, not typed: leaving the field afterwards changes nothing.
void ShowText(QLineEdit* Edit, const QString& Text)
{
    Edit->setText(Text);
    Edit->setModified(false);
}

// The decimal integer the text holds, or -1.
int ReadBoxValue(const QString& Text)
{
    bool ok = false;
    const int value = Text.trimmed().toInt(&ok, 10);
    return ok ? value : -1;
}

enum TGlyph { glDarken, glLighten, glDesaturate, glSaturate, glEyeDropper };

QIcon MakeGlyph(TGlyph Glyph)
{
    constexpr qreal dpr = 2;
    QPixmap pixmap(16 * dpr, 16 * dpr);
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF disc(2, 2, 12, 12);
    p.setPen(QPen(QColor(64, 64, 64), 1));
    switch (Glyph) {
    case glDarken:
    case glLighten: {
        // Half the disc the colour, half where the button takes it.
        p.setBrush(QColor(230, 120, 40));
        p.drawEllipse(disc);
        p.setBrush(Glyph == glDarken ? QColor(90, 40, 10) : QColor(250, 215, 185));
        p.drawPie(disc, 90 * 16, -180 * 16);
        break;
    }
    case glDesaturate:
    case glSaturate: {
        QConicalGradient ring(disc.center(), 0);
        const int s = Glyph == glSaturate ? 230 : 60;
        for (int i = 0; i <= 6; ++i)
            ring.setColorAt(i / 6.0, QColor::fromHsv((i * 60) % 360, s, 230));
        p.setBrush(ring);
        p.drawEllipse(disc);
        break;
    }
    case glEyeDropper: {
        // A pipette leaning to the lower left, its bulb at the top right.
        p.setPen(QPen(QColor(40, 40, 40), 1.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(3, 13), QPointF(10, 6));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 40, 40));
        p.drawEllipse(QRectF(9.5, 2.5, 4.5, 4.5));
        p.drawRect(QRectF(8, 6.5, 2, 2));
        break;
    }
    }
    p.end();
    return QIcon(pixmap);
}

QFrame* MakeBevel(QWidget* parent, const char* name, bool vertical)
{
    auto* bevel = new QFrame(parent);
    bevel->setObjectName(QLatin1String(name));
    bevel->setFrameShape(vertical ? QFrame::VLine : QFrame::HLine);
    bevel->setFrameShadow(QFrame::Sunken);
    return bevel;
}

QToolButton* MakeFoldButton(QWidget* parent, const char* name)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    QFont font = button->font();
    font.setPixelSize(10);
    button->setFont(font);
    button->resize(kFoldButtonSize, kFoldButtonSize);
    return button;
}

QToolButton* MakeToolButton(QWidget* parent, const char* name, TGlyph glyph)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoRaise(true);
    button->setIcon(MakeGlyph(glyph));
    button->setIconSize(QSize(16, 16));
    button->resize(kToolButtonSize, kToolButtonSize);
    return button;
}

// Flags as the settings store keeps them: "true"/"false" in any case, or an integer.
bool ReadFlag(const QSettings& Store, const QString& Name, bool Default)
{
    const QVariant value = Store.value(Name);
    if (!value.isValid())
        return Default;
    const QString text = value.toString().trimmed();
    if (text.compare(u"true", Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(u"false", Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const int number = text.toInt(&ok);
    return ok ? number != 0 : Default;
}

void MoveTop(QWidget* Widget, int Top)
{
    Widget->move(Widget->x(), Top);
}

} // namespace

TfrmSwatchInfo::TfrmSwatchInfo(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSwatchInfo"));
    setWindowTitle(QStringLiteral("Color Swatch Info"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    QFont dialogFont = font();
    dialogFont.setFamily(QStringLiteral("MS Shell Dlg 2"));
    setFont(dialogFont);

    // --- name row
    clbSwatch = new TColorButton(this);
    clbSwatch->setObjectName(QStringLiteral("clbSwatch"));
    clbSwatch->setGeometry(kMargin, 12, 43, 43);
    clbSwatch->SetFlat(true);
    clbSwatch->setEnabled(false);

    edcSwatchName = new QLineEdit(this);
    edcSwatchName->setObjectName(QStringLiteral("edcSwatchName"));
    edcSwatchName->setGeometry(60, 30, kRight - 60, 21);
    lblSwatchName = new QLabel(QStringLiteral("&Name"), this);
    lblSwatchName->setBuddy(edcSwatchName);
    lblSwatchName->setGeometry(60, 12, 200, 15);

    // --- info section
    btnShowInfo = MakeFoldButton(this, "btnShowInfo");
    btnShowInfo->move(kMargin, kBevel1Top - kFoldButtonSize / 2);
    Bevel1 = MakeBevel(this, "Bevel1", false);
    Bevel1->setGeometry(kMargin + kFoldButtonSize + 4, kBevel1Top, kRight - (kMargin + kFoldButtonSize + 4), 2);

    cbCssSelector = new QComboBox(this);
    cbCssSelector->setObjectName(QStringLiteral("cbCssSelector"));
    cbCssSelector->setEditable(true);
    cbCssSelector->setInsertPolicy(QComboBox::NoInsert);
    cbCssSelector->addItems({QStringLiteral("body"), QStringLiteral("H1"), QStringLiteral("H2"), QStringLiteral("H3"),
        QStringLiteral("H4"), QStringLiteral("H5"), QStringLiteral("H6"), QStringLiteral("td"), QStringLiteral("p"),
        QStringLiteral("a")});
    cbCssSelector->setCurrentIndex(-1);
    cbCssSelector->setGeometry(kFieldLeft, 0, kFieldWidth, kComboHeight);
    lblCssSelector = new QLabel(QStringLiteral("&CSS Selector"), this);
    lblCssSelector->setBuddy(cbCssSelector);
    lblCssSelector->setGeometry(kSectionLabelLeft, kLabelOffset, kFieldLeft - kSectionLabelLeft - 4, 15);

    memoDescription = new QPlainTextEdit(this);
    memoDescription->setObjectName(QStringLiteral("memoDescription"));
    memoDescription->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memoDescription->setTabChangesFocus(true);
    memoDescription->setGeometry(kFieldLeft, 0, kFieldWidth, kMemoHeight);
    lblDescription = new QLabel(QStringLiteral("&Description"), this);
    lblDescription->setBuddy(memoDescription);
    lblDescription->setGeometry(kSectionLabelLeft, kLabelOffset, kFieldLeft - kSectionLabelLeft - 4, 15);

    // --- colour section
    btnShowColorControls = MakeFoldButton(this, "btnShowColorControls");
    btnShowColorControls->move(kMargin, 0);
    Bevel2 = MakeBevel(this, "Bevel2", false);
    Bevel2->setGeometry(Bevel1->x(), 0, Bevel1->width(), 2);

    lblAdjustColor = new QLabel(QStringLiteral("Adjust Color:"), this);
    lblAdjustColor->setGeometry(kSectionLabelLeft, 5, kFieldLeft - kSectionLabelLeft - 4, 15);
    // The adjustment row left to right; a separator after each pair.
    int x = kFieldLeft;
    const auto addButton = [this, &x](const char* name, TGlyph glyph) {
        QToolButton* button = MakeToolButton(this, name, glyph);
        button->move(x, 0);
        x += kToolButtonSize;
        return button;
    };
    const auto addSeparator = [this, &x](const char* name) {
        QFrame* separator = MakeBevel(this, name, true);
        separator->setGeometry(x, 0, kSeparatorWidth, kToolButtonSize);
        x += kSeparatorWidth;
        return separator;
    };
    btnDarken = addButton("btnDarken", glDarken);
    btnLighten = addButton("btnLighten", glLighten);
    Separator1 = addSeparator("Separator1");
    btnDesaturate = addButton("btnDesaturate", glDesaturate);
    btnSaturate = addButton("btnSaturate", glSaturate);
    Separator2 = addSeparator("Separator2");
    btnColorPicker = addButton("btnColorPicker", glEyeDropper);
    btnReset = new QPushButton(QStringLiteral("Reset"), this);
    btnReset->setObjectName(QStringLiteral("btnReset"));
    btnReset->setGeometry(kRight - kResetWidth, 0, kResetWidth, kToolButtonSize);
    btnReset->setAutoDefault(false);

    ColorWheel = new TColorWheel(this);
    ColorWheel->setObjectName(QStringLiteral("ColorWheel"));
    ColorWheel->setGeometry(kMargin, 0, kWheelSize, kWheelSize);

    edHex = new TLeaveEdit(true, this);
    edHex->setObjectName(QStringLiteral("edHex"));
    edHex->setFrame(true);
    edHex->setGeometry(kHexLeft, 0, kHexWidth, kHexHeight);
    lblHex = new QLabel(QStringLiteral("Hex Value:"), this);
    lblHex->setBuddy(edHex);
    lblHex->setGeometry(kSliderLeft, kLabelOffset, kHexLeft - kSliderLeft - 2, 15);

    for (int i = 0; i < 3; ++i) {
        auto* slider = new TColorTrackBar(this);
        slider->setObjectName(QStringLiteral("ColorTrackBar%1").arg(i + 1));
        slider->setGeometry(kSliderLeft, 0, kSliderWidth, kSliderHeight);
        slider->SetFlat(true);
        slider->SetBorderColor(clBlack);
        slider->SetMarkerColor(clWhite);
        slider->SetMarkerSize(8);
        slider->OnPositionChange
            = [this](TObject* sender, int position) { SliderMoved(static_cast<TColorTrackBar*>(sender), position); };
        ColorTrackBars[i] = slider;

        auto* box = new TLeaveEdit(false, this);
        box->setObjectName(QStringLiteral("edValue%1").arg(i + 1));
        box->setGeometry(kSliderLeft + kSliderWidth + 2, 0, kValueBoxWidth, kValueBoxHeight);
        box->OnLeave = [this, i] { ValueBoxLeft(i); };
        edValues[i] = box;
    }
    static_cast<TLeaveEdit*>(edHex)->OnLeave = [this] { HexFieldLeft(); };

    // --- bottom row
    Bevel3 = MakeBevel(this, "Bevel3", false);
    Bevel3->setGeometry(kMargin, 0, kRight - kMargin, 2);
    btnHelp = new QPushButton(QStringLiteral("Help"), this);
    btnHelp->setObjectName(QStringLiteral("btnHelp"));
    btnHelp->setGeometry(kRight - kButtonWidth, 0, kButtonWidth, kOkHeight);
    btnHelp->setAutoDefault(false);
    btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setGeometry(btnHelp->x() - 8 - kButtonWidth, 0, kButtonWidth, kOkHeight);
    btnCancel->setAutoDefault(false);
    btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setGeometry(btnCancel->x() - 8 - kButtonWidth, 0, kButtonWidth, kOkHeight);
    btnOK->setDefault(true);

    // --- the colour models; no control of the layout runs them, so they sit in the context
    // menu of the sliders and value boxes
    FModelGroup = new QActionGroup(this);
    FModelGroup->setExclusive(true);
    const auto makeModel = [this](const char* caption, int model) {
        auto* action = new QAction(QLatin1String(caption), this);
        action->setCheckable(true);
        FModelGroup->addAction(action);
        connect(action, &QAction::triggered, this, [this, model] { SetColorModel(model); });
        return action;
    };
    atnRGB = makeModel("RGB", cmRGB);
    atnHSB = makeModel("HSB", cmHSB);
    atnHSL = makeModel("HSL", cmHSL);
    for (int i = 0; i < 3; ++i) {
        for (QWidget* w : {static_cast<QWidget*>(ColorTrackBars[i]), static_cast<QWidget*>(edValues[i])}) {
            w->setContextMenuPolicy(Qt::CustomContextMenu);
            connect(w, &QWidget::customContextMenuRequested, this, [this, w](const QPoint& pos) {
                QMenu menu(this);
                menu.addActions(FModelGroup->actions());
                menu.exec(w->mapToGlobal(pos));
            });
        }
    }

    // --- behaviour
    ColorWheel->OnColorChange = [this](TObject*, double h, double s, double b, double, double, double, TColor ref) {
        ColorChanged(h, s, b, ref);
    };
    connect(btnShowInfo, &QToolButton::clicked, this, [this] { SetShowInfo(!FShowInfo); });
    connect(btnShowColorControls, &QToolButton::clicked, this, [this] { SetShowColorControls(!FShowColorControls); });
    connect(btnDarken, &QToolButton::clicked, this, [this] { Adjust(akDarker); });
    connect(btnLighten, &QToolButton::clicked, this, [this] { Adjust(akLighterHSL); });
    connect(btnSaturate, &QToolButton::clicked, this, [this] { Adjust(akMoreSaturated); });
    connect(btnDesaturate, &QToolButton::clicked, this, [this] { Adjust(akLessSaturated); });
    connect(btnReset, &QPushButton::clicked, this, [this] { ColorWheel->SetSelectionColor(FInitialColor); });
    connect(btnColorPicker, &QToolButton::clicked, this, [this] { PickColor(); });
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnHelp, &QPushButton::clicked, this, [this] {
        if (OnHelp) {
            const THelpEvent help = OnHelp;
            help(kHelpContext);
        }
    });

    setTabOrder(edcSwatchName, cbCssSelector);
    setTabOrder(cbCssSelector, memoDescription);
    setTabOrder(memoDescription, btnDarken);
    setTabOrder(btnDarken, btnLighten);
    setTabOrder(btnLighten, btnDesaturate);
    setTabOrder(btnDesaturate, btnSaturate);
    setTabOrder(btnSaturate, btnColorPicker);
    setTabOrder(btnColorPicker, btnReset);
    setTabOrder(btnReset, ColorWheel);
    setTabOrder(ColorWheel, edHex);
    setTabOrder(edHex, edValues[0]);
    setTabOrder(edValues[0], edValues[1]);
    setTabOrder(edValues[1], edValues[2]);
    setTabOrder(edValues[2], btnOK);
    setTabOrder(btnOK, btnCancel);
    setTabOrder(btnCancel, btnHelp);

    ApplyHints();
    SetColorModel(cmHSB);
    // Both flags start folded; lay out once explicitly since the setters see no change.
    FShowColorControls = false;
    FShowInfo = false;
    UpdateLayout();
    RefreshFromWheel();
}

TfrmSwatchInfo::~TfrmSwatchInfo()
{
    // The wheel outlives nothing that its handler touches, but it must not call back into a
    // half-destroyed dialog.
    ColorWheel->OnColorChange = nullptr;
    SaveSettings();
}

// --- properties -------------------------------------------------------------------------------

QString TfrmSwatchInfo::SwatchName() const
{
    return TrimBlanks(edcSwatchName->text());
}

void TfrmSwatchInfo::SetSwatchName(const QString& Value)
{
    FInitialName = Value;
    edcSwatchName->setText(Value);
}

bool TfrmSwatchInfo::NameChanged() const
{
    return edcSwatchName->text() != FInitialName;
}

QString TfrmSwatchInfo::CssClass() const
{
    return cbCssSelector->currentText();
}

void TfrmSwatchInfo::SetCssClass(const QString& Value)
{
    cbCssSelector->setEditText(Value);
}

TColor TfrmSwatchInfo::SwatchColor() const
{
    return clbSwatch->SelectionColor();
}

void TfrmSwatchInfo::SetSwatchColor(TColor Value)
{
    FInitialColor = Value;
    ColorWheel->SetSelectionColor(Value);
}

QString TfrmSwatchInfo::Description() const
{
    return TrimBlanks(WithLineBreaksOf(memoDescription->toPlainText(), FGivenDescription));
}

void TfrmSwatchInfo::SetDescription(const QString& Value)
{
    FGivenDescription = Value;
    memoDescription->setPlainText(Value);
}

void TfrmSwatchInfo::SetShowInfo(bool Value)
{
    FShowInfo = Value;
    UpdateLayout();
}

void TfrmSwatchInfo::SetShowColorControls(bool Value)
{
    FShowColorControls = Value;
    UpdateLayout();
}

void TfrmSwatchInfo::SetShowHints(bool Value)
{
    if (Value == FShowHints)
        return;
    FShowHints = Value;
    ApplyHints();
}

void TfrmSwatchInfo::ApplyHints()
{
    const auto tip = [this](const char* text) { return FShowHints ? QString::fromUtf8(text) : QString(); };
    btnDarken->setToolTip(tip("Darken"));
    btnLighten->setToolTip(tip("Lighten"));
    btnDesaturate->setToolTip(tip("Desaturate"));
    btnSaturate->setToolTip(tip("Saturate"));
    btnColorPicker->setToolTip(tip("Eye Drop Tool"));
}

void TfrmSwatchInfo::SetColorModel(int Model)
{
    if (Model < cmRGB || Model > cmHSL)
        return;
    FColorModel = Model;
    const TModelTexts& texts = kModelTexts[Model];
    (Model == cmRGB ? atnRGB : Model == cmHSB ? atnHSB : atnHSL)->setChecked(true);
    for (int i = 0; i < 3; ++i) {
        TColorTrackBar* slider = ColorTrackBars[i];
        slider->SetGradientType(texts.Types[i]);
        const QString hint = QString::fromUtf8(texts.Hints[i]);
        // Short part before the bar (none here) is the tip, the long part the status text.
        slider->setToolTip(hint.section(u'|', 0, 0));
        slider->setStatusTip(hint.section(u'|', 1));
        slider->SetCaption(QString::fromUtf8(texts.Captions[i]));
    }
    // The boxes would otherwise show the old model's numbers until the colour next moves.
    WriteValueBoxes(ColorWheel->Hue(), ColorWheel->Saturation(), ColorWheel->Brightness());
}

// --- layout -----------------------------------------------------------------------------------

void TfrmSwatchInfo::UpdateLayout()
{
    btnShowInfo->setText(FShowInfo ? kFoldShown : kFoldFolded);
    btnShowColorControls->setText(FShowColorControls ? kFoldShown : kFoldFolded);
    lblCssSelector->setVisible(FShowInfo);
    cbCssSelector->setVisible(FShowInfo);
    for (QWidget* w : {static_cast<QWidget*>(ColorWheel), static_cast<QWidget*>(lblHex), static_cast<QWidget*>(edHex)})
        w->setVisible(FShowColorControls);
    for (int i = 0; i < 3; ++i) {
        ColorTrackBars[i]->setVisible(FShowColorControls);
        edValues[i]->setVisible(FShowColorControls);
    }

    int y = Bevel1->y();
    y += 8;
    MoveTop(cbCssSelector, y);
    MoveTop(lblCssSelector, y + kLabelOffset);
    if (FShowInfo)
        y += cbCssSelector->height() + 8;

    MoveTop(memoDescription, y);
    MoveTop(lblDescription, y + kLabelOffset);
    y += memoDescription->height() + 8;

    MoveTop(Bevel2, y);
    MoveTop(btnShowColorControls, y - btnShowInfo->height() / 2);

    y += 8;
    for (QWidget* w :
        {static_cast<QWidget*>(btnDarken), static_cast<QWidget*>(btnLighten), static_cast<QWidget*>(Separator1),
            static_cast<QWidget*>(btnDesaturate), static_cast<QWidget*>(btnSaturate), static_cast<QWidget*>(Separator2),
            static_cast<QWidget*>(btnColorPicker), static_cast<QWidget*>(btnReset)})
        MoveTop(w, y);
    MoveTop(lblAdjustColor, y + 5);
    y += btnDarken->height();

    if (FShowColorControls) {
        MoveTop(ColorWheel, y);
        MoveTop(edHex, y + 24);
        MoveTop(lblHex, y + 24 + kLabelOffset);
        y += edHex->height() + 32;
        for (int i = 0; i < 3; ++i) {
            MoveTop(ColorTrackBars[i], y);
            MoveTop(edValues[i], y + ColorTrackBars[i]->height() - edValues[i]->height());
            y += ColorTrackBars[i]->height() + 8;
        }
        y = ColorWheel->y() + ColorWheel->height() + 8;
    } else {
        y += 8;
    }

    MoveTop(Bevel3, y);
    for (QWidget* w : {btnOK, btnCancel, btnHelp})
        MoveTop(w, y + 8);
    setFixedSize(kClientWidth, y + btnOK->height() + 16);
}

// --- the colour -------------------------------------------------------------------------------

void TfrmSwatchInfo::ColorChanged(double Hue, double Sat, double Brt, TColor RefColor)
{
    clbSwatch->SetSelectionColor(RefColor);
    for (TColorTrackBar* slider : ColorTrackBars)
        slider->SetHSB(Hue, Sat, Brt);
    WriteValueBoxes(Hue, Sat, Brt);
    ShowText(edHex, ColorToFullHex(RefColor, false));
}

void TfrmSwatchInfo::RefreshFromWheel()
{
    ColorChanged(ColorWheel->Hue(), ColorWheel->Saturation(), ColorWheel->Brightness(), ColorWheel->SelectionColor());
}

void TfrmSwatchInfo::WriteValueBoxes(double Hue, double Sat, double Brt)
{
    switch (FColorModel) {
    case cmRGB:
        ShowText(edValues[0], QString::number(ColorWheel->Red()));
        ShowText(edValues[1], QString::number(ColorWheel->Green()));
        ShowText(edValues[2], QString::number(ColorWheel->Blue()));
        break;
    case cmHSB:
        ShowText(edValues[0], Hue < 0 ? QStringLiteral("---") : QString::number(Round(Hue)));
        ShowText(edValues[1], QString::number(Round(Sat * 100)));
        ShowText(edValues[2], QString::number(Round(Brt * 100)));
        break;
    case cmHSL:
        // The sliders' own scale, so what a box shows is what its slider points at.
        for (int i = 0; i < 3; ++i)
            ShowText(edValues[i], QString::number(ColorTrackBars[i]->Position()));
        break;
    default: break;
    }
}

void TfrmSwatchInfo::SliderMoved(TColorTrackBar* Slider, int Position)
{
    ApplyTrackBarPosition(*ColorWheel, *Slider, Position);
}

void TfrmSwatchInfo::ValueBoxLeft(int Box)
{
    QLineEdit* edit = edValues[Box];
    const int value = ReadBoxValue(edit->text());
    switch (FColorModel) {
    case cmRGB: {
        if (value < 0 || value > 255)
            return;
        if (Box == 0)
            ColorWheel->SetRed(value);
        else if (Box == 1)
            ColorWheel->SetGreen(value);
        else
            ColorWheel->SetBlue(value);
        const int readBack = Box == 0 ? ColorWheel->Red() : Box == 1 ? ColorWheel->Green() : ColorWheel->Blue();
        ShowText(edit, QString::number(readBack));
        break;
    }
    case cmHSB:
        if (Box == 0) {
            if (value < 0 || value > 360)
                return;
            ColorWheel->SetHue(value);
            ShowText(edit, QString::number(Round(ColorWheel->Hue())));
        } else {
            if (value < 0 || value > 100)
                return;
            if (Box == 1)
                ColorWheel->SetSaturation(value / 100.0);
            else
                ColorWheel->SetBrightness(value / 100.0);
            const double readBack = Box == 1 ? ColorWheel->Saturation() : ColorWheel->Brightness();
            ShowText(edit, QString::number(Round(readBack * 100)));
        }
        break;
    case cmHSL: {
        TColorTrackBar* slider = ColorTrackBars[Box];
        if (value < 0 || value > slider->Maximum())
            return;
        SliderMoved(slider, value);
        ShowText(edit, QString::number(slider->Position()));
        break;
    }
    default: break;
    }
}

void TfrmSwatchInfo::HexFieldLeft()
{
    ColorWheel->SetSelectionColor(HexToColor(TrimBlanks(edHex->text()), clSilver));
    // The user's hex settings shape what is shown after typing; a colour change writes the
    // six upper-case digits.
    ShowText(edHex, ColorToText(cfHex, 0, ColorWheel->SelectionColor()));
}

void TfrmSwatchInfo::Adjust(int Kind)
{
    ColorWheel->SetSelectionColor(AdjustColor(ColorWheel->SelectionColor(), Kind, 0.1));
}

void TfrmSwatchInfo::PickColor()
{
    if (!OnPickColor)
        return;
    const TPickColorEvent pick = OnPickColor;
    const bool wasVisible = isVisible();
    FPicking = true;
    if (wasVisible)
        hide();
    TColor color = ColorWheel->SelectionColor();
    pick(this, color);
    if (color != ColorWheel->SelectionColor())
        ColorWheel->SetSelectionColor(color);
    if (wasVisible)
        show();
    FPicking = false;
}

void TfrmSwatchInfo::setVisible(bool visible)
{
    // QDialog ends a modal run when it is hidden; while the eyedropper has the screen the
    // dialog is only out of the way.
    if (FPicking && !visible) {
        QWidget::setVisible(false);
        return;
    }
    QDialog::setVisible(visible);
}

void TfrmSwatchInfo::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Coming back from the eyedropper is not opening: the fold state the user set stays,
    // and so does the focus.
    if (FShownOnce)
        return;
    FShownOnce = true;
    LoadSettings();
    edcSwatchName->setFocus(Qt::OtherFocusReason);
    edcSwatchName->selectAll();
}

// --- settings ---------------------------------------------------------------------------------

QString TfrmSwatchInfo::SettingsGroup() const
{
    // A registry-style key path names the same group as its last parts below the program's
    // root key.
    QStringList parts = FSettingsKey.split(QRegularExpression(QStringLiteral("[\\\\/]")), Qt::SkipEmptyParts);
    const QStringList root {QStringLiteral("Software"), QStringLiteral("Brightfold"), QStringLiteral("Korvel4")};
    if (parts.size() >= root.size()) {
        bool underRoot = true;
        for (int i = 0; i < root.size(); ++i)
            underRoot = underRoot && parts[i].compare(root[i], Qt::CaseInsensitive) == 0;
        if (underRoot)
            parts = parts.mid(root.size());
    }
    return parts.join(u'/');
}

void TfrmSwatchInfo::LoadSettings()
{
    const QString group = SettingsGroup();
    if (group.isEmpty() || !OpenSettings)
        return;
    const std::unique_ptr<QSettings> store = OpenSettings();
    if (!store)
        return;
    store->beginGroup(group);
    // A key that holds nothing does not exist: the defaults stay.
    if (store->allKeys().isEmpty())
        return;
    SetShowColorControls(ReadFlag(*store, QStringLiteral("ShowColorControls"), FShowColorControls));
    SetShowInfo(ReadFlag(*store, QStringLiteral("ShowInfo"), FShowInfo));
}

void TfrmSwatchInfo::SaveSettings()
{
    // Without a key the flags would land in the root of the store.
    const QString group = SettingsGroup();
    if (group.isEmpty() || !OpenSettings)
        return;
    const std::unique_ptr<QSettings> store = OpenSettings();
    if (!store)
        return;
    store->beginGroup(group);
    store->setValue(QStringLiteral("ShowColorControls"), FShowColorControls);
    store->setValue(QStringLiteral("ShowInfo"), FShowInfo);
    store->endGroup();
    store->sync();
}
