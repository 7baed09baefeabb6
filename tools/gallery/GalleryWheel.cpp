// The colour wheel in the gallery: one live wheel with every property at hand, and a sheet of
// small wheels showing the modes side by side for screenshots.
#include "Gallery.h"

#include "colour/Colors.h"
#include "pickers/ColorWheel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QString Hex(TColor c)
{
    return QStringLiteral("#%1").arg(SwapRedBlue(c) & 0xFFFFFF, 6, 16, QLatin1Char('0')).toUpper();
}

QString Describe(double h, double s, double b, double ht, double st, double bt, TColor ref)
{
    return QStringLiteral("H %1  S %2  B %3  |  Tr %4 %5 %6  |  RefColor %7")
        .arg(h, 0, 'f', 1)
        .arg(s, 0, 'f', 3)
        .arg(b, 0, 'f', 3)
        .arg(ht, 0, 'f', 1)
        .arg(st, 0, 'f', 3)
        .arg(bt, 0, 'f', 3)
        .arg(Hex(ref));
}

QWidget* MakeLiveWheel(QWidget* parent)
{
    auto* panel = new QWidget(parent);
    auto* row = new QHBoxLayout(panel);
    auto* wheel = new TColorWheel(panel);
    wheel->setFixedSize(190, 190); // the main window's size
    row->addWidget(wheel, 0, Qt::AlignTop);

    auto* form = new QFormLayout;
    row->addLayout(form);
    auto* brightness = new QSlider(Qt::Horizontal, panel);
    brightness->setRange(0, 100);
    brightness->setValue(100);
    form->addRow(QStringLiteral("Brightness"), brightness);
    auto* angle = new QSpinBox(panel);
    angle->setRange(-360, 720);
    angle->setSingleStep(30);
    form->addRow(QStringLiteral("BaseAngle"), angle);
    auto* direction = new QComboBox(panel);
    direction->addItems({QStringLiteral("dirClockwise"), QStringLiteral("dirCounterClockwise")});
    form->addRow(QStringLiteral("Direction"), direction);
    auto* mode = new QComboBox(panel);
    mode->addItems({QStringLiteral("cmHueSatBrt"), QStringLiteral("cmHueSat"), QStringLiteral("cmHueBrt"),
        QStringLiteral("cmHue")});
    form->addRow(QStringLiteral("ColorMode"), mode);
    auto* vision = new QComboBox(panel);
    vision->addItems({QStringLiteral("cvtNorm"), QStringLiteral("cvtProt"), QStringLiteral("cvtDeut"),
        QStringLiteral("cvtTrit"), QStringLiteral("cvtProA"), QStringLiteral("cvtDeuA"), QStringLiteral("cvtTriA"),
        QStringLiteral("cvtMono"), QStringLiteral("cvtPMon")});
    form->addRow(QStringLiteral("ColorVisionType"), vision);
    auto* transfer = new QCheckBox(QStringLiteral("TransferMode"), panel);
    auto* webSafe = new QCheckBox(QStringLiteral("WebSafe"), panel);
    auto* enabled = new QCheckBox(QStringLiteral("Enabled"), panel);
    enabled->setChecked(true);
    form->addRow(transfer);
    form->addRow(webSafe);
    form->addRow(enabled);
    auto* values = new QLabel(panel);
    values->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form->addRow(values);

    auto show = [=] {
        const TColor c = wheel->SelectionColor();
        values->setText(QStringLiteral("SelectionColor %1\nRed %2  Green %3  Blue %4%5")
                            .arg(Hex(c))
                            .arg(wheel->Red())
                            .arg(wheel->Green())
                            .arg(wheel->Blue())
                            .arg(wheel->HasExplicitColor() ? QStringLiteral("  (explicit)") : QString()));
    };
    show();
    auto events = std::make_shared<int>(0);
    wheel->OnColorChange = [=](TObject*, double h, double s, double b, double ht, double st, double bt, TColor ref) {
        ++*events;
        galleryStatus(QStringLiteral("OnColorChange #%1: %2").arg(*events).arg(Describe(h, s, b, ht, st, bt, ref)));
        // The slider mirrors the wheel without setting it back.
        const QSignalBlocker block(brightness);
        brightness->setValue(Round(wheel->Brightness() * 100));
        show();
    };
    wheel->OnMouseUp = [](TObject*) { galleryStatus(QStringLiteral("OnMouseUp")); };

    QObject::connect(brightness, &QSlider::valueChanged, wheel, [=](int v) { wheel->SetBrightness(v / 100.0); });
    QObject::connect(angle, &QSpinBox::valueChanged, wheel, [=](int v) {
        wheel->SetBaseAngle(v);
        galleryStatus(QStringLiteral("BaseAngle %1").arg(wheel->BaseAngle()));
    });
    QObject::connect(direction, &QComboBox::currentIndexChanged, wheel,
        [=](int i) { wheel->SetDirection(static_cast<TDirection>(i)); });
    QObject::connect(
        mode, &QComboBox::currentIndexChanged, wheel, [=](int i) { wheel->SetColorMode(static_cast<TColorMode>(i)); });
    QObject::connect(vision, &QComboBox::currentIndexChanged, wheel,
        [=](int i) { wheel->SetColorVisionType(static_cast<TColorVisionType>(i)); });
    QObject::connect(transfer, &QCheckBox::toggled, wheel, [=](bool on) { wheel->SetTransferMode(on); });
    QObject::connect(webSafe, &QCheckBox::toggled, wheel, [=](bool on) { wheel->SetWebSafe(on); });
    QObject::connect(enabled, &QCheckBox::toggled, wheel, [=](bool on) { wheel->setEnabled(on); });

    wheel->SetSelectionColor(RGB(0x33, 0x99, 0xCC));
    return panel;
}

// Small wheels, each set up one way, for looking at the drawing rather than using it.
QWidget* MakeVariants(QWidget* parent)
{
    auto* sheet = new QWidget(parent);
    auto* grid = new QGridLayout(sheet);
    struct Variant {
        const char* caption;
        std::function<void(TColorWheel*)> setUp;
    };
    const Variant variants[] = {
        {"default, red picked", [](TColorWheel*) {}},
        {"Brightness 0.35", [](TColorWheel* w) { w->SetHSB(200, 0.6, 0.35); }},
        {"BaseAngle 90",
            [](TColorWheel* w) {
                w->SetBaseAngle(90);
                w->SetHSB(60, 0.8, 1);
            }},
        {"dirCounterClockwise",
            [](TColorWheel* w) {
                w->SetDirection(dirCounterClockwise);
                w->SetHSB(90, 0.5, 1);
            }},
        {"cmHueBrt",
            [](TColorWheel* w) {
                w->SetColorMode(cmHueBrt);
                w->SetHSB(240, 1, 0.8);
            }},
        {"cmHue",
            [](TColorWheel* w) {
                w->SetColorMode(cmHue);
                w->SetHue(300);
            }},
        {"WebSafe",
            [](TColorWheel* w) {
                w->SetWebSafe(true);
                w->SetHSB(30, 0.7, 1);
            }},
        {"TransferMode",
            [](TColorWheel* w) {
                w->SetTransferMode(true);
                w->SetHSB(120, 0.9, 1);
            }},
        {"cvtDeut",
            [](TColorWheel* w) {
                w->SetColorVisionType(cvtDeut);
                w->SetHSB(0, 0.75, 1);
            }},
        {"cvtTrit",
            [](TColorWheel* w) {
                w->SetColorVisionType(cvtTrit);
                w->SetHSB(220, 0.75, 1);
            }},
        {"saturation 0", [](TColorWheel* w) { w->SetHSB(0, 0, 0.9); }},
        {"disabled", [](TColorWheel* w) { w->setEnabled(false); }},
    };
    int index = 0;
    for (const Variant& v : variants) {
        auto* cell = new QWidget(sheet);
        auto* column = new QVBoxLayout(cell);
        column->setContentsMargins(0, 0, 0, 0);
        auto* wheel = new TColorWheel(cell);
        wheel->setFixedSize(120, 120);
        v.setUp(wheel);
        const QString caption = QString::fromLatin1(v.caption);
        wheel->OnColorChange
            = [caption](TObject*, double h, double s, double b, double ht, double st, double bt, TColor ref) {
                  galleryStatus(caption + QStringLiteral(": ") + Describe(h, s, b, ht, st, bt, ref));
              };
        column->addWidget(wheel, 0, Qt::AlignHCenter);
        column->addWidget(new QLabel(caption, cell), 0, Qt::AlignHCenter);
        grid->addWidget(cell, index / 4, index % 4);
        ++index;
    }
    return sheet;
}

} // namespace

KORVEL_GALLERY_ENTRY(ColorWheel, QStringLiteral("ColorWheel"), MakeLiveWheel);
KORVEL_GALLERY_ENTRY(ColorWheelVariants, QStringLiteral("ColorWheelVariants"), MakeVariants);
