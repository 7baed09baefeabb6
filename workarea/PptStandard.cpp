#include "workarea/PptStandard.h"

#include "colour/Colors.h"
#include "harmony/ColorTransfer.h"
#include "movie/MoviePlayer.h"
#include "palette/RichColor.h"
#include "pickers/ColorDragObj.h"
#include "workarea/ClipNames.h"
#include "workarea/Scene.h"
#include "workarea/SceneRoutines.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QSlider>
#include <QToolButton>

#include <cmath>
#include <numbers>

const char* const kHarmonyStyleNames[kHarmonyStyleCount]
    = {"Color Circles 1", "Color Circles 2", "Color Wheel 1", "Color Wheel 2", "Color Wheel 3"};

namespace {

constexpr int kInitialChord = 3; // "Triad"
constexpr THarmonyStyle kInitialStyle = hsColorWheel2;
constexpr int kInitialGrayBrightness = 5;
constexpr int kMaxGrayBrightness = 20;
// Colours in the continuous ring behind the dots of "Color Circles 2".
constexpr int kBackdropColors = 180;
// Degrees by which each of them overlaps the next.
constexpr double kBackdropOverlap = 0.5;
// Above this many segments the outlines would swallow the colours.
constexpr int kMaxOutlinedSegments = 72;
constexpr double kStartAngle = -90.0; // 12 o'clock
constexpr TColor kBackdropGray = 0x808080;
constexpr std::uint8_t kBackdropAlpha = 63;

// The lesson movie and its section for this page.
const char* const kLessonMovie = "TH000";
const char* const kLessonSection = "ColorHarmonies";

bool IsWheelStyle(THarmonyStyle Style)
{
    return Style >= hsColorWheel1;
}

// Integer settings: false (and Value untouched) when the entry is missing or not a number.
bool ReadIntSetting(const QStringList& Settings, const QString& Name, int& Value)
{
    QString text;
    if (!TfrmPptBase::ReadSetting(Settings, Name, text))
        return false;
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (ok)
        Value = value;
    return ok;
}

QString IntText(int Value)
{
    return QString::number(Value);
}

// A round "?" for the help button, crisp at any device pixel ratio.
QIcon HelpIcon()
{
    QIcon icon;
    for (const qreal dpr : {1.0, 2.0}) {
        for (const bool enabled : {true, false}) {
            QPixmap pixmap(QSize(16, 16) * dpr);
            pixmap.setDevicePixelRatio(dpr);
            pixmap.fill(Qt::transparent);
            QPainter p(&pixmap);
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(Qt::NoPen);
            p.setBrush(enabled ? QColor(34, 102, 187) : QColor(170, 170, 170));
            p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
            QFont font(QStringLiteral("Arial"));
            font.setPixelSize(12);
            font.setBold(true);
            p.setFont(font);
            p.setPen(Qt::white);
            p.drawText(QRectF(0, 0.5, 16, 15), Qt::AlignCenter, QStringLiteral("?"));
            p.end();
            icon.addPixmap(pixmap, enabled ? QIcon::Normal : QIcon::Disabled);
        }
    }
    return icon;
}

QLabel* NewLabel(QWidget* Parent, const QString& Name, const QString& Caption, const QRect& Geometry)
{
    auto* label = new QLabel(Caption, Parent);
    label->setObjectName(Name);
    label->setGeometry(Geometry);
    return label;
}

QComboBox* NewList(QWidget* Parent, const QString& Name, const QRect& Geometry)
{
    auto* combo = new QComboBox(Parent);
    combo->setObjectName(Name);
    combo->setGeometry(Geometry);
    combo->setEditable(false);
    return combo;
}

} // namespace

TfrmPptStandard::TfrmPptStandard(QWidget* Parent)
    : TfrmPptBaseAdv(Parent)
{
    setObjectName(QStringLiteral("frmPptStandard"));
    BeginUpdate();

    // First row: what is shown.
    lblColorChord
        = NewLabel(this, QStringLiteral("lblColorChord"), QStringLiteral("&Color Harmony:"), QRect(80, 4, 160, 16));
    cbColorChord = NewList(this, QStringLiteral("cbColorChord"), QRect(80, 21, 168, 22));
    for (const char* caption : kHarmonyCaptions)
        cbColorChord->addItem(QString::fromLatin1(caption));
    cbColorChord->setToolTip(QStringLiteral("Color harmony"));
    lblColorChord->setBuddy(cbColorChord);

    lblColorWheel
        = NewLabel(this, QStringLiteral("lblColorWheel"), QStringLiteral("Color &Wheel:"), QRect(260, 4, 110, 16));
    cbColorWheel = NewList(this, QStringLiteral("cbColorWheel"), QRect(260, 21, 110, 22));
    for (const char* name : kColorWheelNames)
        cbColorWheel->addItem(QString::fromLatin1(name));
    cbColorWheel->setToolTip(QStringLiteral("Scientific or artistic color wheel"));
    lblColorWheel->setBuddy(cbColorWheel);

    btnHelp = new QToolButton(this);
    btnHelp->setObjectName(QStringLiteral("btnHelp"));
    btnHelp->setAutoRaise(true);
    btnHelp->setFocusPolicy(Qt::NoFocus);
    btnHelp->setGeometry(380, 20, 24, 24);
    btnHelp->setIcon(HelpIcon());
    btnHelp->setIconSize(QSize(16, 16));
    btnHelp->setToolTip(QStringLiteral("Color Harmonies Help"));

    // Second row: how it is drawn.
    lblStyle = NewLabel(this, QStringLiteral("lblStyle"), QStringLiteral("Style:"), QRect(80, 58, 160, 16));
    cbStyle = NewList(this, QStringLiteral("cbStyle"), QRect(80, 75, 168, 22));
    for (const char* name : kHarmonyStyleNames)
        cbStyle->addItem(QString::fromLatin1(name));
    cbStyle->setToolTip(QStringLiteral("Drawing style"));
    lblStyle->setBuddy(cbStyle);

    ckBaseColorMarker = new QCheckBox(QStringLiteral("Base Color Marker"), this);
    ckBaseColorMarker->setObjectName(QStringLiteral("ckBaseColorMarker"));
    ckBaseColorMarker->setGeometry(260, 58, 150, 20);
    ckShowContrast = new QCheckBox(QStringLiteral("Matching Gray Tones"), this);
    ckShowContrast->setObjectName(QStringLiteral("ckShowContrast"));
    ckShowContrast->setGeometry(260, 79, 150, 20);

    lblGrayBrightness = NewLabel(this, QStringLiteral("lblGrayBrightness"), QString(), QRect(420, 58, 150, 16));
    ptbGrayBrightness = new QSlider(Qt::Horizontal, this);
    ptbGrayBrightness->setObjectName(QStringLiteral("ptbGrayBrightness"));
    ptbGrayBrightness->setGeometry(416, 77, 150, 22);
    ptbGrayBrightness->setRange(0, kMaxGrayBrightness);
    ptbGrayBrightness->setPageStep(5);
    ptbGrayBrightness->setTickPosition(QSlider::TicksBelow);
    ptbGrayBrightness->setTickInterval(5);
    ptbGrayBrightness->setToolTip(QStringLiteral("Brightness of the matching gray tones"));

    SegmentCount = kHarmonyCirclePositions;
    BaseMarkerExtra = 0;
    OutlineWidth = 1;
    cbColorChord->setCurrentIndex(kInitialChord);
    cbStyle->setCurrentIndex(kInitialStyle);
    cbColorWheel->setCurrentIndex(1);
    ckBaseColorMarker->setChecked(false);
    ckShowContrast->setChecked(false);
    ptbGrayBrightness->setValue(kInitialGrayBrightness);
    ptbGrayBrightness->setEnabled(false);
    ShowGrayBrightness();

    connect(cbColorChord, &QComboBox::currentIndexChanged, this, [this] { cbColorChordChange(); });
    connect(cbColorWheel, &QComboBox::currentIndexChanged, this, [this] { cbColorWheelChange(); });
    connect(cbStyle, &QComboBox::currentIndexChanged, this, [this] { cbStyleChange(); });
    connect(ckBaseColorMarker, &QCheckBox::toggled, this, [this] { ckBaseColorMarkerClick(); });
    connect(ckShowContrast, &QCheckBox::toggled, this, [this] { ckShowContrastClick(); });
    connect(ptbGrayBrightness, &QSlider::valueChanged, this, [this] { ptbGrayBrightnessChange(); });
    connect(btnHelp, &QToolButton::clicked, this, [this] { btnHelpClick(); });

    EndUpdate(this, false);
}

TfrmPptStandard::~TfrmPptStandard() = default;

// -- Controls. --

int TfrmPptStandard::ColorChord() const
{
    return cbColorChord->currentIndex();
}
THarmonyStyle TfrmPptStandard::Style() const
{
    return static_cast<THarmonyStyle>(std::clamp(cbStyle->currentIndex(), 0, kHarmonyStyleCount - 1));
}
bool TfrmPptStandard::BaseColorMarker() const
{
    return ckBaseColorMarker->isChecked();
}
bool TfrmPptStandard::ShowContrast() const
{
    return ckShowContrast->isChecked();
}
int TfrmPptStandard::GrayBrightness() const
{
    return ptbGrayBrightness->value();
}

void TfrmPptStandard::cbColorChordChange()
{
    DoChange(this);
}
void TfrmPptStandard::cbStyleChange()
{
    DoChange(this);
}
void TfrmPptStandard::ckBaseColorMarkerClick()
{
    DoChange(this);
}

void TfrmPptStandard::ckShowContrastClick()
{
    ptbGrayBrightness->setEnabled(ckShowContrast->isChecked());
    lblGrayBrightness->setEnabled(ckShowContrast->isChecked());
    DoChange(this);
}

void TfrmPptStandard::ptbGrayBrightnessChange()
{
    ShowGrayBrightness();
    DoChange(this);
}

void TfrmPptStandard::ShowGrayBrightness()
{
    lblGrayBrightness->setText(QStringLiteral("Brightness: %1").arg(ptbGrayBrightness->value()));
    lblGrayBrightness->setEnabled(ptbGrayBrightness->isEnabled());
}

QString TfrmPptStandard::HelpTopic(int Harmony)
{
    switch (Harmony) {
    case 1: return QStringLiteral("Complement");
    case 2: return QStringLiteral("SplitComplement");
    case 3: return QStringLiteral("Triad");
    case 4: return QStringLiteral("Square");
    case 5:
    case 6: return QStringLiteral("Rectangle");
    case 7:
    case 8: return QStringLiteral("Analogous");
    default: return QStringLiteral("Home");
    }
}

void TfrmPptStandard::btnHelpClick()
{
    if (OnPlayMovie)
        OnPlayMovie(
            this, QString::fromLatin1(kLessonMovie), QString::fromLatin1(kLessonSection), HelpTopic(ColorChord()));
}

Qt::KeyboardModifiers TfrmPptStandard::KeyboardState() const
{
    return QGuiApplication::keyboardModifiers();
}

// -- The contract. --

bool TfrmPptStandard::GetArtisticWheel() const
{
    return cbColorWheel->currentIndex() == 1;
}

void TfrmPptStandard::SetArtisticWheel(bool Value)
{
    // The host asks for the wheel and rebuilds itself.
    const QSignalBlocker block(cbColorWheel);
    cbColorWheel->setCurrentIndex(Value ? 1 : 0);
}

bool TfrmPptStandard::CheckGamut(const THSB& HSB, TColorTransfer* Transfer, THSB& CorrectedHSB)
{
    CorrectedHSB = HSB;
    if (!GetArtisticWheel() || !Transfer)
        return false;
    double h = HSB.H, s = HSB.S, b = HSB.B;
    const bool outside = Transfer->HSBToArtistic(h, s, b, false);
    Transfer->ArtisticToHSB(h, s, b, 0, -1);
    CorrectedHSB = THSB {h, s, b};
    return outside;
}

void TfrmPptStandard::GetColorGrid(int& Rows, int& Cols) const
{
    Rows = 1;
    Cols = SegmentCount;
}

void TfrmPptStandard::PrepareDragObject(TColorDragCtrlObject& DragObject, const QString&)
{
    DragObject.DragKind = 2;
    DragObject.GridRows = 1;
    DragObject.GridCols = SegmentCount;
}

void TfrmPptStandard::ExecuteCommand(const QString& Code)
{
    const int index = HarmonyIndexOfCode(Code);
    if (index < 0)
        return;
    const QSignalBlocker block(cbColorChord);
    cbColorChord->setCurrentIndex(index);
}

bool TfrmPptStandard::IsBaseSwatch(const QString& ClipName)
{
    if (IsNoClip(ClipName))
        return false;
    const TClipName clip = ParseClipName(ClipName);
    return clip.Kind == ckSwatch && clip.Number == 0;
}

void TfrmPptStandard::PopulatePlayerMenu(QMenu* Menu, const QString& ClipName, TMoviePlayer*)
{
    if (!Menu)
        return;
    SetClipName(ClipName);
    const TClipName clip = ParseClipName(ClipName);
    const TColor color = clip.Color;
    // Without a swatch under the mouse there is no colour to add or copy.
    const bool hasColor = clip.Kind != ckUnknown && color != kNoClipColor;

    const QList<QAction*> existing = Menu->actions();
    QAction* before = existing.isEmpty() ? nullptr : existing.constFirst();
    auto insert = [&](const QString& Caption) {
        auto* action = new QAction(Caption, Menu);
        Menu->insertAction(before, action);
        return action;
    };
    auto separator = [&] {
        auto* action = new QAction(Menu);
        action->setSeparator(true);
        Menu->insertAction(before, action);
    };

    QAction* add = insert(QStringLiteral("Add Color to Palette"));
    add->setEnabled(hasColor);
    connect(add, &QAction::triggered, this, [this, ClipName] {
        if (OnAddToPalette)
            OnAddToPalette(this, ClipName, nullptr, 0);
    });
    QAction* addAll = insert(QStringLiteral("Add All Colors to Palette"));
    connect(addAll, &QAction::triggered, this, [this, ClipName] {
        if (OnAddToPalette)
            OnAddToPalette(this, ClipName, nullptr, 3);
    });
    separator();

    // The submenu of the last menu is no longer shown; this one takes its place.
    delete FColorValueMenu;
    FColorValueMenu = new QMenu(QStringLiteral("Copy Color Value"), Menu);
    FColorValueMenu->setObjectName(QStringLiteral("mnuCopyColorValue"));
    if (hasColor && OnFillColorValueMenu)
        OnFillColorValueMenu(this, FColorValueMenu, color);
    FColorValueMenu->menuAction()->setEnabled(hasColor);
    Menu->insertMenu(before, FColorValueMenu);

    QAction* copySwatch = insert(QStringLiteral("Copy Swatch"));
    copySwatch->setEnabled(hasColor);
    connect(copySwatch, &QAction::triggered, this, [this, color] {
        if (OnCopySwatch)
            OnCopySwatch(this, color);
    });
    separator();
}

void TfrmPptStandard::PlayerDragOver(
    TMoviePlayer* Sender, const TColorDragCtrlObject* Source, int X, int Y, int, bool& Accept)
{
    Accept = false;
    if (!Source || !Sender)
        return;
    const QString clip = GetClipNameAt(*Sender, QPoint(X, Y));
    Accept = KeyboardState().testFlag(Qt::ShiftModifier) || IsBaseSwatch(clip);
}

void TfrmPptStandard::PlayerDragDrop(TMoviePlayer* Sender, const TColorDragCtrlObject* Source, int X, int Y)
{
    if (!Source || !Sender)
        return;
    // The background button reports its own change; one rebuild follows the drop.
    BeginUpdate();
    if (KeyboardState().testFlag(Qt::ShiftModifier)) {
        SetBackgroundColor(Source->Color);
    } else if (IsBaseSwatch(GetClipNameAt(*Sender, QPoint(X, Y)))) {
        if (OnSetBaseColor)
            OnSetBaseColor(this, Source->Color, true);
    }
    EndUpdate(this, true);
}

void TfrmPptStandard::PlayerMouseDown(
    TMoviePlayer* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y)
{
    if (!Sender || Button != Qt::LeftButton || !Shift.testFlag(Qt::AltModifier))
        return;
    const QString name = GetClipNameAt(*Sender, QPoint(X, Y));
    if (IsNoClip(name))
        return;
    const TClipName clip = ParseClipName(name);
    if (clip.Kind == ckSwatch && clip.Color != kNoClipColor && OnSetBaseColor)
        OnSetBaseColor(this, clip.Color, true);
}

// -- Settings. --

void TfrmPptStandard::LoadSettings(const QStringList& Settings)
{
    // Loading comes before the host's first build: nothing to report.
    const bool wasUpdating = Updating();
    BeginUpdate();

    QString text;
    if (ReadSetting(Settings, QStringLiteral("BaseColor"), text) && OnSetBaseColor) {
        OnSetBaseColor(this, HexToColor(text.trimmed(), clSilver), false);
        // A host that is still opening this page has no current page to copy the new base
        // colour into, so the page takes it itself.
        if (OnGetBaseColor) {
            TColor base = clSilver;
            OnGetBaseColor(this, base);
            SetBaseHSB(ColorToHSB(base));
        }
    }
    LoadSharedColors(Settings);

    int value = 0;
    if (ReadIntSetting(Settings, QStringLiteral("ShowMarker"), value))
        ckBaseColorMarker->setChecked(value != 0);
    if (ReadIntSetting(Settings, QStringLiteral("ArtisticWheel"), value))
        cbColorWheel->setCurrentIndex(value != 0 ? 1 : 0);
    if (ReadIntSetting(Settings, QStringLiteral("ColorVisionType"), value) && value >= 0
        && value < kColorVisionTypeCount)
        SetColorVisionType(static_cast<TColorVisionType>(value));
    if (ReadIntSetting(Settings, QStringLiteral("Harmonies_ColorWheelStyle"), value) && value >= 0
        && value < kHarmonyStyleCount)
        cbStyle->setCurrentIndex(value);
    if (ReadIntSetting(Settings, QStringLiteral("Harmonies_ColorChord"), value) && value >= 0 && value < kHarmonyCount)
        cbColorChord->setCurrentIndex(value);
    if (ReadIntSetting(Settings, QStringLiteral("Harmonies_ShowContrastingColors"), value)) {
        ckShowContrast->setChecked(value != 0);
        // Also when the box already showed it: the slider follows the box.
        ptbGrayBrightness->setEnabled(ckShowContrast->isChecked());
        ShowGrayBrightness();
    }
    if (ReadIntSetting(Settings, QStringLiteral("Harmonies_MatchingGrayBrightness"), value))
        ptbGrayBrightness->setValue(std::clamp(value, 0, kMaxGrayBrightness));

    if (!wasUpdating)
        EndUpdate(this, false);
}

void TfrmPptStandard::SaveSettings(QStringList& Settings)
{
    TColor base = HSBToColor(BaseHSB().H, BaseHSB().S, BaseHSB().B);
    if (OnGetBaseColor)
        OnGetBaseColor(this, base);
    WriteSetting(Settings, QStringLiteral("BaseColor"), ColorSettingText(base));
    SaveSharedColors(Settings);
    WriteSetting(Settings, QStringLiteral("ShowMarker"), IntText(BaseColorMarker() ? 1 : 0));
    WriteSetting(Settings, QStringLiteral("ArtisticWheel"), IntText(GetArtisticWheel() ? 1 : 0));
    WriteSetting(Settings, QStringLiteral("ColorVisionType"), IntText(static_cast<int>(ColorVisionType())));
    WriteSetting(Settings, QStringLiteral("Harmonies_ColorWheelStyle"), IntText(Style()));
    WriteSetting(Settings, QStringLiteral("Harmonies_ColorChord"), IntText(ColorChord()));
    WriteSetting(Settings, QStringLiteral("Harmonies_ShowContrastingColors"), IntText(ShowContrast() ? 1 : 0));
    WriteSetting(Settings, QStringLiteral("Harmonies_MatchingGrayBrightness"), IntText(GrayBrightness()));
}

// -- The scene. --

bool TfrmPptStandard::BuildScene(
    TMoviePlayer* Player, QSize Size, const QString& FileName, TColorTransfer* Transfer, TRichPalette* Matching)
{
    if (!Matching) {
        if (!FOwnMatching)
            FOwnMatching = std::make_unique<TRichPalette>();
        Matching = FOwnMatching.get();
    }
    const bool forPlayer = FileName.isEmpty();
    const int count = SegmentCount;
    const THarmonyStyle style = Style();
    const bool wheel = IsWheelStyle(style);
    const bool artistic = GetArtisticWheel();
    const bool grays = ShowContrast();
    const TColorVisionType vision = ColorVisionType();
    const THSB base = BaseHSB();
    const TColor background = ColorToRGB(GetBackgroundColor());
    const TColor outline = GetOutlineColor();

    // 1. Geometry: a fixed logical stage, the circle starting at 12 o'clock, clockwise.
    const int w = Size.width(), h = Size.height();
    const double ro = Round(w / 2.25);
    const double ri = Round(ro * 0.5);
    const QPointF centre(w / 2, h / 2);
    TScene scene(QSizeF(Size), forPlayer);
    scene.SetBackgroundColor(GetBackgroundColor());

    // 2. The backdrop of the circle styles.
    const double o = Round(ro * 0.2);
    if (style == hsColorCircles1) {
        swf::Path ring;
        DrawRingSector(ring, centre, kStartAngle, kStartAngle + 360, ro - o, ri + o);
        scene.AddShape(ring, swf::ShapeStyle::Filled(swf::Rgba::FromColor(kBackdropGray, kBackdropAlpha)));
    } else if (style == hsColorCircles2) {
        TRichPalette backdrop;
        backdrop.AddHueCircle(kBackdropColors, artistic, vision, true, Transfer, base.H, base.S, base.B);
        // Each wedge reaches a little under the next one: edge to edge, the antialiased
        // edges of neighbours would let the background shine through as hairlines. The
        // colours are simulated already.
        for (int i = 0; i < kBackdropColors; ++i) {
            const TRingSegment segment = ColorRingSegment(true, kStartAngle, kBackdropColors, i);
            swf::Path wedge;
            DrawRingSector(wedge, centre, segment.First, segment.Second + kBackdropOverlap, ro - o, ri + o);
            scene.AddShape(wedge, swf::ShapeStyle::Filled(swf::Rgba::FromColor(backdrop.Colors(i)->Color())));
        }
    }

    // 3, 4. The circle, and the grey partners.
    Matching->BeginUpdate();
    Matching->AddHueCircle(count, artistic, vision, true, Transfer, base.H, base.S, base.B);
    if (grays)
        Matching->AddHueCircle(
            count, artistic, vision, false, Transfer, base.H, 0.05, (1 - GrayBrightness() / 100.0) * 0.93);

    // 5. The positions outside the harmony.
    const THarmonySet harmony = HarmonyPositions(ColorChord());
    const std::intptr_t shortOffset = -Round(ro * 0.1);
    for (int i = 0; i < count && i < Matching->Count(); ++i) {
        if (i < kHarmonyCirclePositions && harmony.test(static_cast<size_t>(i)))
            continue;
        TRichColor* swatch = Matching->Colors(i);
        swatch->SetEnabled(false);
        swatch->SetVisible(wheel);
        switch (style) {
        case hsColorWheel1:
            swatch->SetColor(background);
            swatch->Tag = shortOffset;
            break;
        case hsColorWheel2:
            swatch->Tag = shortOffset;
            swatch->SetColor(AdjustColor(swatch->Color(), akLighter, 0.6));
            break;
        case hsColorWheel3: swatch->Tag = -Round(ro * 0.25); break;
        default: break;
        }
        if (grays && i + count < Matching->Count()) {
            TRichColor* partner = Matching->Colors(i + count);
            partner->SetColor(AdjustColor(swatch->Color(), akLighter, 0.5));
            partner->Tag = shortOffset;
            partner->SetVisible(false);
            partner->SetEnabled(false);
        }
    }
    Matching->EndUpdate();

    // 6.
    const double outlineWidth = outline == kNoOutline || count > kMaxOutlinedSegments ? 0 : OutlineWidth;

    // 7-9. The colours (simulated already), interactive only in the player.
    if (!wheel) {
        const double orbit = Round(ri + (ro - ri) / 2);
        const double dot = Round(orbit * std::numbers::pi / count * 0.9);
        DrawColorDots(scene, true, cvtNorm, forPlayer, outline, 0, *Matching, kStartAngle, outlineWidth, count, dot,
            orbit, centre);
        if (grays)
            DrawColorDots(scene, true, cvtNorm, forPlayer, outline, count, *Matching, kStartAngle, outlineWidth, count,
                Round(dot * 0.4), Round(orbit * 0.6), centre);
        if (BaseColorMarker()) {
            const swf::Path marker = swf::Path::Circle(QPointF(centre.x(), centre.y() - orbit), 7);
            scene.AddShape(marker, swf::ShapeStyle::Outlined({0, 0, 0, 255}, 3, {255, 255, 255, 255}));
        }
    } else {
        DrawColorRing(scene, true, cvtNorm, forPlayer, outline, 0, *Matching, rsSector, kStartAngle, BaseMarkerExtra,
            4 * outlineWidth, outlineWidth, count, ro, ri, centre);
        if (grays)
            DrawColorRing(scene, true, cvtNorm, forPlayer, outline, count, *Matching, rsSector, kStartAngle, 0, 0,
                outlineWidth, count, Round(ri * 0.95), Round(ri * 0.75), centre);
        if (BaseColorMarker()) {
            // A white triangle astride the rim, its point towards the base colour.
            swf::Path marker;
            DrawRegularPolygon(marker, QPointF(centre.x(), centre.y() - ro), 20, 90, 3);
            scene.AddShape(marker, swf::ShapeStyle::Outlined({255, 255, 255, 255}, 4, {0, 0, 0, 255}));
        }
    }
    if (forPlayer)
        scene.AddGetClipName(TClipNameVariant::Detailed);

    // 10.
    return scene.Finish(Player, FileName, 0, 0);
}
