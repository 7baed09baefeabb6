#include "shell/BaseColorPanel.h"

#include "pickers/CaptionBar.h"
#include "pickers/ColorButton.h"
#include "pickers/ColorHistory.h"
#include "pickers/ColorPck.h"
#include "pickers/ColorSampler.h"
#include "pickers/ColorTrackBar.h"
#include "pickers/ColorWheel.h"
#include "pickers/HistoryPopup.h"
#include "shell/ColorValueMenu.h"
#include "shell/base/KorvelSettings.h"

#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QDropEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QRandomGenerator>
#include <QSignalBlocker>
#include <QTabBar>
#include <QToolButton>

#include <algorithm>

namespace {

constexpr TColor kTeal = RGB(0, 128, 128);
// Paste offers only readable numbers, so this fallback of the hex reader never shows there.
constexpr TColor kHexFallback = clSilver;
constexpr int kPopupGuardMs = 300;
constexpr int kSliderPitch = 34;
constexpr int kSliderWidth = 160;
constexpr int kSliderHeight = 30;

// A hint "short|long": the short part is the tool tip, the long one goes to the status bar.
void SetHint(QWidget* w, const QString& hint)
{
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    w->setToolTip(bar < 0 ? hint : hint.left(bar));
    w->setStatusTip(bar < 0 ? hint : hint.mid(bar + 1));
}

struct ModelSliders {
    TGradientType Types[3];
    const char* Captions[3];
    const char* Hints[3];
};

const ModelSliders kModels[3] = {
    {{gtRGB_R, gtRGB_G, gtRGB_B}, {"红", "绿", "蓝"},
        {"|Adjust red component", "|Adjust green component", "|Adjust blue component"}},
    {{gtHSB_H, gtHSB_S, gtHSB_B}, {"色相", "饱合度", "亮度"},
        {"|Adjust hue", "|Adjust saturation", "|Adjust brightness"}},
    {{gtHSL_H, gtHSL_S, gtHSL_L}, {"色相", "饱合度", "Lightness"},
        {"|Adjust hue", "|Adjust saturation", "|Adjust lightness"}},
};

// Tabs and pickers are numbered differently: tab 0 is the wheel (picker 1), tab 1 the sampler
// (picker 0).
int PickerOfTab(int tab)
{
    return tab == 0 ? 1 : tab == 1 ? 0 : 2;
}
int TabOfPicker(int picker)
{
    return picker == 1 ? 0 : picker == 0 ? 1 : 2;
}

bool ReadInt(const QString& text, int& value)
{
    bool ok = false;
    value = text.trimmed().toInt(&ok);
    return ok;
}

QToolButton* MakeButton(QWidget* parent, const QString& glyph, const QString& hint)
{
    auto* b = new QToolButton(parent);
    b->setText(glyph);
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    SetHint(b, hint);
    return b;
}

QFrame* MakeBevel(QWidget* parent)
{
    auto* f = new QFrame(parent);
    f->setFrameShape(QFrame::HLine);
    f->setFrameShadow(QFrame::Sunken);
    return f;
}

} // namespace

// ---------------------------------------------------------------------------------------------

TValueEdit::TValueEdit(QWidget* parent)
    : QLineEdit(parent)
{
}

void TValueEdit::ShowValue(const QString& Text)
{
    const QSignalBlocker blocker(this);
    setText(Text);
    setModified(false);
}

void TValueEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (isModified() && OnCommit)
            OnCommit(this);
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TValueEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    if (isModified() && OnCommit)
        OnCommit(this);
}

// ---------------------------------------------------------------------------------------------

TBaseColorPanel::TBaseColorPanel(QWidget* parent)
    : QWidget(parent)
    , FHistory(new TColorHistory)
{
    setObjectName(QStringLiteral("dxcBaseColor"));
    setMinimumWidth(kPanelWidth);

    cbarBaseColor = new TCaptionBar(this);
    cbarBaseColor->setObjectName(QStringLiteral("cbarBaseColor"));
    cbarBaseColor->SetCaption(QStringLiteral("Base Color"));

    btnBaseColor = new TColorButton(this);
    btnBaseColor->setObjectName(QStringLiteral("btnBaseColor"));
    btnBaseColor->resize(48, 48);
    btnBaseColor->SetFlat(true);
    btnBaseColor->SetSelectionFrameColor(kTeal);
    SetHint(btnBaseColor, QStringLiteral("Base Color"));

    btnGamutWarning = MakeButton(this, QStringLiteral("⚠"), QStringLiteral("Gamut Warning"));
    btnGamutWarning->setObjectName(QStringLiteral("btnGamutWarning"));
    btnGamutWarning->hide();

    lblHex = new QLabel(QStringLiteral("Hex Value:"), this);
    edHex = new TValueEdit(this);
    edHex->setObjectName(QStringLiteral("edHex"));
    lblHex->setBuddy(edHex);

    btnBaseColorPicker = MakeButton(this, QStringLiteral("✎"), QStringLiteral("Eye Drop Tool"));
    btnBaseColorPicker->setObjectName(QStringLiteral("btnBaseColorPicker"));
    // The screen eyedropper is not built yet; the button stays where users expect it.
    btnBaseColorPicker->setEnabled(false);
    btnRandom = MakeButton(this, QStringLiteral("?"), QStringLiteral("Random Color"));
    btnRandom->setObjectName(QStringLiteral("btnRandom"));
    btnHistoryPrev = MakeButton(this, QStringLiteral("◀"), QStringLiteral("Back"));
    btnHistoryPrev->setObjectName(QStringLiteral("btnHistoryPrev"));
    btnHistoryOpen = MakeButton(this, QStringLiteral("▾"), QStringLiteral("Color History"));
    btnHistoryOpen->setObjectName(QStringLiteral("btnHistoryOpen"));
    btnHistoryNext = MakeButton(this, QStringLiteral("▶"), QStringLiteral("Forward"));
    btnHistoryNext->setObjectName(QStringLiteral("btnHistoryNext"));

    tabBaseColor = new QTabBar(this);
    tabBaseColor->setObjectName(QStringLiteral("tabBaseColor"));
    tabBaseColor->setDrawBase(false);
    tabBaseColor->setExpanding(false);
    tabBaseColor->addTab(QStringLiteral("色轮"));
    tabBaseColor->addTab(QStringLiteral("矩形色"));
    tabBaseColor->addTab(QStringLiteral("安全色"));

    ColorSampler = new TColorSampler(this);
    ColorSampler->setObjectName(QStringLiteral("ColorSampler"));
    btnSamplerVivid = new QToolButton(this);
    btnSamplerMuted = new QToolButton(this);
    btnSamplerLight = new QToolButton(this);
    auto* presetGroup = new QButtonGroup(this);
    const std::pair<QToolButton*, std::pair<const char*, const char*>> presets[] = {
        {btnSamplerVivid, {"btnSamplerVivid", "活泼"}},
        {btnSamplerMuted, {"btnSamplerMuted", "轻柔"}},
        {btnSamplerLight, {"btnSamplerLight", "高亮"}},
    };
    for (const auto& [button, names] : presets) {
        button->setObjectName(QLatin1String(names.first));
        button->setText(QString::fromUtf8(names.second));
        button->setCheckable(true);
        button->setFocusPolicy(Qt::NoFocus);
        presetGroup->addButton(button);
    }
    btnSamplerVivid->setChecked(true);

    ColorWheel = new TColorWheel(this);
    ColorWheel->setObjectName(QStringLiteral("ColorWheel"));
    ColorWheel->resize(190, 190);

    WebSafe = new TColorPicker(this);
    WebSafe->setObjectName(QStringLiteral("WebSafe"));
    WebSafe->SetSwatchSize(9);
    WebSafe->SetShowFixedColors(true);

    tabColorModel = new QTabBar(this);
    tabColorModel->setObjectName(QStringLiteral("tabColorModel"));
    tabColorModel->setDrawBase(false);
    tabColorModel->setExpanding(false);
    tabColorModel->addTab(QStringLiteral("RGB"));
    tabColorModel->addTab(QStringLiteral("HSB"));

    const auto makeSlider = [this](const char* name) {
        auto* s = new TColorTrackBar(this);
        s->setObjectName(QLatin1String(name));
        s->resize(kSliderWidth, kSliderHeight);
        s->SetFlat(true);
        s->SetBorderColor(clBlack);
        s->SetMarkerColor(clWhite);
        s->SetMarkerSize(8);
        s->installEventFilter(this);
        return s;
    };
    TrackBars = {makeSlider("TrackBar1"), makeSlider("TrackBar2"), makeSlider("TrackBar3")};
    trkLightDark = makeSlider("trkLightDark");
    trkLightDark->SetGradientType(gtHSL_L);
    trkLightDark->SetCaption(QStringLiteral("较深"));
    trkLightDark->SetCaption2(QStringLiteral("较浅"));
    trkSatDesat = makeSlider("trkSatDesat");
    trkSatDesat->SetGradientType(gtHSL_S);
    trkSatDesat->SetCaption(QStringLiteral("去色"));
    trkSatDesat->SetCaption2(QStringLiteral("饱和"));

    for (int i = 0; i < 5; ++i) {
        edValues[i] = new TValueEdit(this);
        edValues[i]->setObjectName(QStringLiteral("edValue%1").arg(i + 1));
        edValues[i]->setAlignment(Qt::AlignRight);
        edValues[i]->OnCommit = [this, i](TValueEdit*) { CommitValue(i); };
    }
    for (int i = 0; i < 4; ++i) {
        bvlBaseColor[i] = MakeBevel(this);
        bvlBaseColor[i]->setObjectName(QStringLiteral("bvlBaseColor%1").arg(i + 1));
    }

    popBaseColor = new QMenu(this);
    popBaseColor->setObjectName(QStringLiteral("popBaseColor"));
    FCopyValueMenu = popBaseColor->addMenu(QStringLiteral("Copy Color Value"));
    QAction* copySwatch = popBaseColor->addAction(QStringLiteral("Copy Swatch"));
    connect(FCopyValueMenu, &QMenu::aboutToShow, this, [this] { FillColorValueMenu(FCopyValueMenu, BaseColor()); });
    connect(copySwatch, &QAction::triggered, this, [this] {
        if (OnCopySwatch)
            OnCopySwatch(this, BaseColor());
    });
    btnBaseColor->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(btnBaseColor, &QWidget::customContextMenuRequested, this,
        [this](const QPoint& pos) { popBaseColor->popup(btnBaseColor->mapToGlobal(pos)); });

    // --- the base colour and its mirrors
    ColorWheel->OnColorChange = [this](TObject*, double h, double s, double b, double, double, double, TColor ref) {
        WheelChanged(h, s, b, ref);
    };
    ColorWheel->OnMouseUp = [this](TObject*) { EndPick(); };
    ColorWheel->setAcceptDrops(true);
    ColorWheel->installEventFilter(this);

    for (TColorTrackBar* s : {TrackBars[0], TrackBars[1], TrackBars[2], trkLightDark, trkSatDesat})
        s->OnPositionChange
            = [this](TObject* sender, int pos) { SliderMoved(static_cast<TColorTrackBar*>(sender), pos); };

    edHex->OnCommit = [this](TValueEdit*) { CommitHex(); };

    // --- base swatch
    btnBaseColor->OnColorRollover = [this](TObject*, TColor c) { ShowInfo(c); };
    btnBaseColor->OnMouseLeave = [this](TObject*, int, int) { ClearInfo(); };
    btnBaseColor->OnDblClick = [this](TObject*) {
        FDragSource = nullptr;
        if (OnAddToPalette)
            OnAddToPalette(this, BaseColor());
    };
    btnBaseColor->OnStartDrag = [this](TObject*, TColorDragCtrlObject& drag) {
        drag.Color = BaseColor();
        drag.SourceIndex = static_cast<int>(BaseColor());
    };
    btnBaseColor->OnDragOver = [](TObject*, const TColorDragCtrlObject&, int, int, bool& accept) { accept = true; };
    btnBaseColor->OnDragDrop
        = [this](TObject*, const TColorDragCtrlObject& drag, int, int) { SetBaseColor(drag.Color, true); };
    btnBaseColor->installEventFilter(this);

    // --- sampler
    ColorSampler->OnColorChange = [this](TObject*, TColor c) { SetBaseColor(c, false); };
    ColorSampler->OnMouseUp = [this](TObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { EndPick(); };
    ColorSampler->OnDragOver = [](TObject*, QDragMoveEvent* e, bool& accept) { accept = HasColorDrag(e->mimeData()); };
    ColorSampler->OnDragDrop = [this](TObject*, QDropEvent* e) {
        if (const auto drag = DecodeColorDrag(e->mimeData()))
            SetBaseColor(drag->Color, true);
    };
    connect(presetGroup, &QButtonGroup::buttonClicked, this, [this](QAbstractButton* b) {
        const int preset = b == btnSamplerMuted ? spDesaturated : b == btnSamplerLight ? spLight : spSaturated;
        ColorSampler->SetPresets(static_cast<TSamplerPresets>(preset));
        if (OnSamplerPresetChange)
            OnSamplerPresetChange(this, preset);
    });

    // --- web-safe swatches
    WebSafe->OnClick = [this](TObject*) { SetBaseColor(WebSafe->SelectedColor(), true); };
    WebSafe->OnHoverColor = [this](TObject*, TColor c) { ShowInfo(c); };
    WebSafe->OnLeave = [this](TObject*) { ClearInfo(); };
    WebSafe->OnDblClick = [this](TObject*) {
        FDragSource = nullptr;
        if (OnAddToPalette)
            OnAddToPalette(this, WebSafe->SelectedColor());
    };
    WebSafe->OnMouseDown = [this](TObject*, Qt::MouseButton button, Qt::KeyboardModifiers, int, int) {
        if (button == Qt::LeftButton)
            FDragColor = WebSafe->SelectedColor();
    };
    WebSafe->OnMouseUp = [this](TObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
        FDragSource = nullptr;
        ClearInfo();
    };
    WebSafe->installEventFilter(this);

    // --- buttons and tab sets
    connect(btnRandom, &QToolButton::clicked, this, [this] { RandomColor(); });
    connect(btnHistoryPrev, &QToolButton::clicked, this, [this] { HistoryBack(); });
    connect(btnHistoryNext, &QToolButton::clicked, this, [this] { HistoryForward(); });
    connect(btnHistoryOpen, &QToolButton::clicked, this, [this] { OpenHistoryPopup(); });
    connect(btnGamutWarning, &QToolButton::clicked, this, [this] { ApplyGamutCorrection(); });
    connect(btnBaseColorPicker, &QToolButton::clicked, this, [this] {
        if (OnEyeDropper)
            OnEyeDropper(this);
    });
    connect(tabBaseColor, &QTabBar::currentChanged, this, [this](int tab) { TabChosen(tab); });
    connect(tabColorModel, &QTabBar::currentChanged, this, [this](int tab) {
        SetColorModel(tab);
        if (OnColorModelChange)
            OnColorModelChange(this, tab);
    });

    // --- history
    FHistory->OnAdd = [this](TObject*, bool, bool) { UpdateHistoryButtons(); };
    FHistory->OnClear = [this](TObject*) { UpdateHistoryButtons(); };
    FHistory->OnChange = [this](TObject*, TRichColor* entry, bool next, bool prev) { HistoryMoved(entry, next, prev); };

    // The start-up base colour; the owner replaces it with the stored one.
    {
        const QSignalBlocker blockTab(tabColorModel);
        SetColorModel(0);
    }
    SetBaseColor(kInitialBaseColor, false);
    UpdateHistoryButtons();
    LayoutBaseColorPanel();
}

TBaseColorPanel::~TBaseColorPanel()
{
    // The wheel and the pop-up are children and go after this body; they must not call back
    // into a half-destroyed panel.
    ColorWheel->OnColorChange = nullptr;
    if (FHistoryPopup)
        FHistoryPopup->OnClose = nullptr;
    delete FHistory;
}

TColor TBaseColorPanel::BaseColor() const
{
    return ColorWheel->SelectionColor();
}

THSB TBaseColorPanel::BaseHSB() const
{
    THSB hsb;
    ColorWheel->GetHSB(hsb.H, hsb.S, hsb.B);
    return hsb;
}

void TBaseColorPanel::SetBaseColor(TColor Color, bool AddToHistory)
{
    ColorWheel->SetSelectionColor(Color);
    if (AddToHistory)
        AddBaseColorToHistory();
}

void TBaseColorPanel::AddBaseColorToHistory()
{
    FHistory->Add(BaseColor());
}

// The panel's part of every base-colour change, in the order the rest of the program relies on.
void TBaseColorPanel::WheelChanged(double Hue, double Sat, double Brt, TColor Color)
{
    const THSB hsb {Hue, Sat, Brt};
    if (!FGamutCheck) {
        btnGamutWarning->hide();
    } else if (OnCheckGamut) {
        THSB corrected = hsb;
        const TGamutState state = OnCheckGamut(this, hsb, corrected);
        if (state != gsNoPage) {
            FCorrectedHSB = corrected;
            btnGamutWarning->setVisible(state == gsOutOfGamut);
        }
    }

    btnBaseColor->SetSelectionColor(Color);
    for (TColorTrackBar* s : {TrackBars[0], TrackBars[1], TrackBars[2], trkLightDark, trkSatDesat})
        s->SetHSB(Hue, Sat, Brt);
    ShowValueFields();
    ShowHexText();
    ShowInfo(Color);
    if (OnBaseColorChanged)
        OnBaseColorChanged(this, Color, hsb);
}

void TBaseColorPanel::ShowValueFields()
{
    const TColor c = BaseColor();
    const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    if (FColorModel == 1) {
        const THSB hsb = BaseHSB();
        // A grey has no hue, whatever angle the wheel still remembers.
        const bool achromatic = r == g && g == b;
        edValues[0]->ShowValue(achromatic ? QStringLiteral("---") : QString::number(Round(hsb.H)));
        edValues[1]->ShowValue(QString::number(Round(hsb.S * 100)));
        edValues[2]->ShowValue(QString::number(Round(hsb.B * 100)));
    } else {
        edValues[0]->ShowValue(QString::number(r));
        edValues[1]->ShowValue(QString::number(g));
        edValues[2]->ShowValue(QString::number(b));
    }
    const THSL hsl = ColorToHSL(c);
    edValues[3]->ShowValue(QString::number(Round(hsl.L * 100) - 50));
    edValues[4]->ShowValue(QString::number(Round(hsl.S * 100)));
}

void TBaseColorPanel::ShowHexText()
{
    const TColor c = BaseColor();
    edHex->ShowValue(ColorToHex(GetRValue(c), GetGValue(c), GetBValue(c), false));
}

void TBaseColorPanel::CommitValue(int Index)
{
    int v = 0;
    const bool ok = ReadInt(edValues[Index]->text(), v);
    if (ok && Index < 3) {
        if (FColorModel == 0 && v >= 0 && v <= 255) {
            if (Index == 0)
                ColorWheel->SetRed(v);
            else if (Index == 1)
                ColorWheel->SetGreen(v);
            else
                ColorWheel->SetBlue(v);
        } else if (FColorModel == 1) {
            if (Index == 0 && v >= 0 && v <= 360)
                ColorWheel->SetHue(v);
            else if (Index == 1 && v >= 0 && v <= 100)
                ColorWheel->SetSaturation(v / 100.0);
            else if (Index == 2 && v >= 0 && v <= 100)
                ColorWheel->SetBrightness(v / 100.0);
        }
        // In the HSL model the first three fields only show the channels.
    } else if (ok && Index == 3 && v + 50 >= 0 && v + 50 <= 100) {
        // The lightness slider holds the HSL values with the hue a grey would lose.
        SetBaseColor(HSLToColor(trkLightDark->HSL_Hue(), trkLightDark->HSL_Sat(), (v + 50) / 100.0), false);
    } else if (ok && Index == 4 && v >= 0 && v <= 100) {
        SetBaseColor(HSLToColor(trkSatDesat->HSL_Hue(), v / 100.0, trkSatDesat->HSL_Lum()), false);
    }
    ShowValueFields();
    AddBaseColorToHistory();
}

void TBaseColorPanel::CommitHex()
{
    // A typo must not throw the user's colour away for light grey: text the hex reader cannot
    // read leaves the colour as it is and the field shows it again.
    constexpr TColor kUnreadable = 0x7F000000;
    const TColor color = HexToColor(edHex->text().trimmed(), kUnreadable);
    if (color != kUnreadable)
        SetBaseColor(color, false);
    ShowHexText();
}

void TBaseColorPanel::SliderMoved(TColorTrackBar* Slider, int Position)
{
    ApplyTrackBarPosition(*ColorWheel, *Slider, Position);
}

// A pick with the mouse ends: the inspector goes back to nothing and the colour the user
// settled on becomes a history entry.
void TBaseColorPanel::EndPick()
{
    ClearInfo();
    AddBaseColorToHistory();
}

void TBaseColorPanel::ShowInfo(TColor Color)
{
    if (OnColorInfo)
        OnColorInfo(this, Color);
}

void TBaseColorPanel::ClearInfo()
{
    if (OnColorInfoClear)
        OnColorInfoClear(this);
}

void TBaseColorPanel::SetColorModel(int Model)
{
    Model = std::clamp(Model, 0, 2);
    FColorModel = Model;
    const ModelSliders& m = kModels[Model];
    for (int i = 0; i < 3; ++i) {
        TrackBars[i]->SetGradientType(m.Types[i]);
        TrackBars[i]->SetCaption(QString::fromUtf8(m.Captions[i]));
        SetHint(TrackBars[i], QString::fromUtf8(m.Hints[i]));
    }
    if (Model < tabColorModel->count() && tabColorModel->currentIndex() != Model) {
        const QSignalBlocker blocker(tabColorModel);
        tabColorModel->setCurrentIndex(Model);
    }
    ShowValueFields();
}

void TBaseColorPanel::TabChosen(int Tab)
{
    if (Tab < 0)
        return;
    FBaseColorPicker = PickerOfTab(Tab);
    LayoutBaseColorPanel();
    if (OnPickerChange)
        OnPickerChange(this, FBaseColorPicker);
}

void TBaseColorPanel::SetBaseColorPicker(int Picker)
{
    Picker = std::clamp(Picker, 0, 3);
    FBaseColorPicker = Picker;
    if (Picker < 3) {
        const QSignalBlocker blocker(tabBaseColor);
        tabBaseColor->setCurrentIndex(TabOfPicker(Picker));
    }
    LayoutBaseColorPanel();
}

void TBaseColorPanel::SetSamplerButtonsVisible(bool Value)
{
    if (Value == FSamplerButtonsVisible)
        return;
    FSamplerButtonsVisible = Value;
    LayoutBaseColorPanel();
}

int TBaseColorPanel::SamplerPreset() const
{
    return ColorSampler->Presets();
}

void TBaseColorPanel::SetSamplerPreset(int Preset)
{
    // The buttons offer three of the four fields; the rich field shows with no button down.
    const auto preset = static_cast<TSamplerPresets>(std::clamp(Preset, 0, 3));
    ColorSampler->SetPresets(preset);
    btnSamplerVivid->setChecked(preset == spSaturated);
    btnSamplerMuted->setChecked(preset == spDesaturated);
    btnSamplerLight->setChecked(preset == spLight);
}

void TBaseColorPanel::LayoutBaseColorPanel()
{
    const int w = std::max(width(), kPanelWidth);
    const int inner = w - 16;
    cbarBaseColor->setGeometry(0, 0, w, 22);
    btnBaseColor->setGeometry(8, 28, 48, 48);
    lblHex->setGeometry(62, 28, 66, 20);
    edHex->setGeometry(128, 28, w - 128 - 26, 20);
    btnGamutWarning->setGeometry(w - 22, 30, 16, 16);
    QToolButton* row[] = {btnBaseColorPicker, btnRandom, btnHistoryPrev, btnHistoryOpen, btnHistoryNext};
    for (int i = 0; i < 5; ++i)
        row[i]->setGeometry(64 + i * 28, 52, 24, 24);
    bvlBaseColor[0]->setGeometry(8, 80, inner, 2);

    const int picker = FBaseColorPicker;
    tabBaseColor->setVisible(picker != 3);
    tabBaseColor->setGeometry(8, 84, inner, 22);
    ColorSampler->setVisible(picker == 0);
    ColorWheel->setVisible(picker == 1);
    WebSafe->setVisible(picker == 2);
    const bool presetsShown = picker == 0 && FSamplerButtonsVisible;
    for (QToolButton* b : {btnSamplerVivid, btnSamplerMuted, btnSamplerLight})
        b->setVisible(presetsShown);

    int bottom = 82; // no picker: the second bevel follows the button row
    if (picker == 0) {
        ColorSampler->setGeometry(8, 116, inner, 140);
        bottom = 256;
        if (presetsShown) {
            const int bw = (inner - 8) / 3;
            QToolButton* presets[] = {btnSamplerVivid, btnSamplerMuted, btnSamplerLight};
            for (int i = 0; i < 3; ++i)
                presets[i]->setGeometry(8 + i * (bw + 4), 260, bw, 22);
            bottom = 282;
        }
    } else if (picker == 1) {
        ColorWheel->setGeometry((w - 190) / 2, 108, 190, 190);
        bottom = 298;
    } else if (picker == 2) {
        const QSize size = WebSafe->sizeHint();
        WebSafe->setGeometry((w - size.width()) / 2, 116, size.width(), size.height());
        bottom = 116 + size.height();
    }

    int y = bottom + 8;
    bvlBaseColor[1]->setGeometry(8, y, inner, 2);
    y += 2 + 8;
    tabColorModel->setGeometry(8, y, inner, 22);
    y += 22 + 4;
    const int fieldX = 8 + kSliderWidth + 4;
    const int fieldW = w - 8 - fieldX;
    TColorTrackBar* sliders[] = {TrackBars[0], TrackBars[1], TrackBars[2], trkLightDark, trkSatDesat};
    for (int i = 0; i < 5; ++i) {
        const int top = y + i * kSliderPitch;
        sliders[i]->setGeometry(8, top, kSliderWidth, kSliderHeight);
        edValues[i]->setGeometry(fieldX, top + 8, fieldW, 20);
    }
    bvlBaseColor[2]->setGeometry(8, y + 3 * kSliderPitch - 3, inner, 2);
    bvlBaseColor[3]->setGeometry(8, y + 5 * kSliderPitch - 3, inner, 2);
    FPreferredHeight = y + 5 * kSliderPitch + 2;
    setMinimumHeight(FPreferredHeight);
}

void TBaseColorPanel::SetGamutCheck(bool Value)
{
    if (Value == FGamutCheck)
        return;
    FGamutCheck = Value;
    UpdateGamutWarning();
}

void TBaseColorPanel::UpdateGamutWarning()
{
    bool show = false;
    if (FGamutCheck && OnCheckGamut) {
        THSB corrected = BaseHSB();
        show = OnCheckGamut(this, BaseHSB(), corrected) == gsOutOfGamut;
        if (show)
            FCorrectedHSB = corrected;
    }
    btnGamutWarning->setVisible(show);
}

void TBaseColorPanel::ApplyGamutCorrection()
{
    ColorWheel->SetHSB(FCorrectedHSB.H, FCorrectedHSB.S, FCorrectedHSB.B);
    AddBaseColorToHistory();
    btnGamutWarning->hide();
}

void TBaseColorPanel::SetColorVisionType(TColorVisionType Value)
{
    FColorVisionType = Value;
    btnBaseColor->SetColorVisionType(Value);
    ColorWheel->SetColorVisionType(Value);
    ColorSampler->SetColorVisionType(Value);
    WebSafe->SetColorVisionType(Value);
    for (TColorTrackBar* s : {TrackBars[0], TrackBars[1], TrackBars[2], trkLightDark, trkSatDesat})
        s->SetColorVisionType(Value);
    if (FHistoryPopup)
        FHistoryPopup->SetColorVisionType(Value);
}

void TBaseColorPanel::RandomColor()
{
    QRandomGenerator* rng = QRandomGenerator::global();
    const int hue = static_cast<int>(rng->bounded(359));
    const double sat = (rng->bounded(191) + 64) / 255.0;
    const double brt = (rng->bounded(191) + 64) / 255.0;
    SetBaseColor(HSBToColor(hue, sat, brt), true);
}

namespace {

// The clipboard text as a hex colour value: trimmed, one leading "#" removed. Empty when it is
// not one.
QString ClipboardHexValue()
{
    const QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return {};
    QString text = clipboard->text().trimmed();
    if (text.size() < 2)
        return {};
    if (text.startsWith(QLatin1Char('#')))
        text.remove(0, 1);
    return IsNonNegativeHexNumber(text) ? text : QString();
}

} // namespace

bool TBaseColorPanel::CanPasteHexColorValue()
{
    return !ClipboardHexValue().isEmpty();
}

void TBaseColorPanel::PasteHexColorValue()
{
    const QString text = ClipboardHexValue();
    if (text.isEmpty())
        return;
    edHex->ShowValue(text);
    SetBaseColor(HexToColor(text, kHexFallback), true);
}

void TBaseColorPanel::CopyBaseColorValue()
{
    if (auto* edit = qobject_cast<QLineEdit*>(QApplication::focusWidget()); edit && edit->hasSelectedText()) {
        CopyTextToClipboard(edit->selectedText());
        return;
    }
    CopyTextToClipboard(ColorToText(cfHex, 1, BaseColor()));
}

void TBaseColorPanel::HistoryBack()
{
    FHistory->Previous();
}

void TBaseColorPanel::HistoryForward()
{
    FHistory->Next();
}

void TBaseColorPanel::HistoryMoved(TRichColor* Entry, bool, bool)
{
    if (Entry)
        SetBaseColor(Entry->Color(), false);
    UpdateHistoryButtons();
}

void TBaseColorPanel::UpdateHistoryButtons()
{
    btnHistoryPrev->setEnabled(FHistory->PrevEnabled());
    btnHistoryNext->setEnabled(FHistory->NextEnabled());
    btnHistoryOpen->setEnabled(FHistory->Count() > 1);
}

void TBaseColorPanel::OpenHistoryPopup()
{
    // The click that closed the pop-up by taking the focus must not open it again.
    if (FPopupClosed.isValid() && FPopupClosed.elapsed() < kPopupGuardMs)
        return;
    if (!FHistoryPopup) {
        FHistoryPopup = new TfrmHistoryPopup(this);
        FHistoryPopup->SetColorVisionType(FColorVisionType);
        FHistoryPopup->OnGetColor = [this](TObject*, int index, TColor& color) {
            if (TRichColor* entry = FHistory->Items(index))
                color = entry->Color();
        };
        FHistoryPopup->OnRolloverCellEvent = [this](TObject*, int index) {
            if (TRichColor* entry = FHistory->Items(index))
                ShowInfo(entry->Color());
        };
        FHistoryPopup->OnLeaveCell = [this](TObject*) { ClearInfo(); };
        FHistoryPopup->OnSelectItem = [this](TObject*, int index) {
            if (TRichColor* entry = FHistory->Items(index)) {
                SetBaseColor(entry->Color(), false);
                FHistory->GoTo(index);
            }
        };
        FHistoryPopup->OnClose = [this](TObject*) {
            FPopupClosed.start();
            btnHistoryOpen->setToolTip(QStringLiteral("Color History"));
            ClearInfo();
        };
    }
    FHistoryPopup->Setup(FHistory->Count(), FHistory->Position(), 8, 30);
    // The tool tip would sit over the cells while the pop-up is open.
    btnHistoryOpen->setToolTip(QString());
    FHistoryPopup->PopupBelow(btnHistoryOpen);
}

bool TBaseColorPanel::HandleDrop(QWidget*, QEvent* Event)
{
    auto* dropEvent = static_cast<QDropEvent*>(Event);
    const auto drag = AcceptColorDrag(dropEvent);
    if (Event->type() == QEvent::Drop && drag)
        SetBaseColor(drag->Color, true);
    return true;
}

bool TBaseColorPanel::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (watched == ColorWheel && (type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop))
        return HandleDrop(ColorWheel, event);

    // A slider's release ends the pick like the wheel's and the sampler's do.
    if (type == QEvent::MouseButtonRelease) {
        for (TColorTrackBar* s : {TrackBars[0], TrackBars[1], TrackBars[2], trkLightDark, trkSatDesat}) {
            if (watched == s && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
                EndPick();
                break;
            }
        }
    }

    // Drags out of the base swatch and the web-safe swatches. They start once the pointer has
    // moved a little with the left button down, so a click or a double click on the same
    // control still does what it says.
    if (watched == btnBaseColor || watched == WebSafe) {
        auto* w = static_cast<QWidget*>(watched);
        if (type == QEvent::MouseButtonPress) {
            auto* me = static_cast<QMouseEvent*>(event);
            if (me->button() == Qt::LeftButton) {
                FDragSource = w;
                FDragStart = me->position().toPoint();
            }
        } else if (type == QEvent::MouseButtonRelease) {
            FDragSource = nullptr;
        } else if (type == QEvent::MouseMove && FDragSource == w) {
            auto* me = static_cast<QMouseEvent*>(event);
            if ((me->buttons() & Qt::LeftButton)
                && (me->position().toPoint() - FDragStart).manhattanLength() >= QApplication::startDragDistance()) {
                FDragSource = nullptr;
                if (w == btnBaseColor) {
                    btnBaseColor->BeginDrag();
                } else {
                    TColorDragCtrlObject drag;
                    drag.Color = FDragColor;
                    drag.SourceControl = WebSafe;
                    StartColorDrag(WebSafe, drag, FColorVisionType);
                }
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}
