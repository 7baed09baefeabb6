#include "shell/RemoveSimilar.h"

#include "palette/PaletteOps.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

namespace {

constexpr int kLabelLeft = 8;
constexpr int kSliderLeft = 88;
constexpr int kSliderWidth = 160;
constexpr int kValueLeft = kSliderLeft + kSliderWidth + 8;
constexpr int kButtonLeft = 320;
constexpr int kButtonWidth = 75;
constexpr int kRowHeight = 40;

QSlider* MakeSlider(QWidget* parent, const char* name, int maximum, int value, int tick, int row)
{
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setObjectName(QLatin1String(name));
    slider->setRange(0, maximum);
    slider->setValue(value);
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setTickInterval(tick);
    slider->setPageStep(tick);
    slider->setGeometry(kSliderLeft, 8 + row * kRowHeight, kSliderWidth, 30);
    return slider;
}

QLabel* MakeCaption(QWidget* parent, const QString& text, QSlider* buddy, int row)
{
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    label->setGeometry(kLabelLeft, 14 + row * kRowHeight, kSliderLeft - kLabelLeft - 4, 16);
    return label;
}

QLabel* MakeValueLabel(QWidget* parent, const char* name, int row)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(kValueLeft, 14 + row * kRowHeight, kButtonLeft - kValueLeft - 8, 16);
    return label;
}

QString Degrees(int value)
{
    return value == 0 ? QStringLiteral("Exact") : QStringLiteral("%1 °").arg(value);
}

QString Percent(int value)
{
    return value == 0 ? QStringLiteral("Exact") : QStringLiteral("%1 %").arg(value);
}

} // namespace

TfrmSimilarColors::TfrmSimilarColors(
    TRichPalette& Current, bool& Modified, std::function<void()> Repaint, QWidget* parent)
    : QDialog(parent)
    , FCurrent(Current)
    , FModified(Modified)
    , FRememberedModified(Modified)
    , FRepaint(std::move(Repaint))
{
    setObjectName(QStringLiteral("frmSimilarColors"));
    setWindowTitle(QStringLiteral("Remove Similar Colors"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    FCopy.Assign(Current);

    trkHue = MakeSlider(this, "trkHue", 30, 15, 5, 0);
    trkSat = MakeSlider(this, "trkSat", 10, 5, 1, 1);
    trkBrt = MakeSlider(this, "trkBrt", 10, 5, 1, 2);
    MakeCaption(this, QStringLiteral("&Hue"), trkHue, 0);
    MakeCaption(this, QStringLiteral("&Saturation"), trkSat, 1);
    MakeCaption(this, QStringLiteral("&Brightness"), trkBrt, 2);
    lblHueValue = MakeValueLabel(this, "lblHueValue", 0);
    lblSatValue = MakeValueLabel(this, "lblSatValue", 1);
    lblBrtValue = MakeValueLabel(this, "lblBrtValue", 2);

    ckPreview = new QCheckBox(QStringLiteral("Preview"), this);
    ckPreview->setObjectName(QStringLiteral("ckPreview"));
    ckPreview->setChecked(true);
    ckPreview->setGeometry(kSliderLeft, 8 + 3 * kRowHeight, kSliderWidth, 20);

    btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setGeometry(kButtonLeft, 8, kButtonWidth, 25);
    btnOK->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setGeometry(kButtonLeft, 40, kButtonWidth, 25);
    setFixedSize(kButtonLeft + kButtonWidth + 8, 8 + 3 * kRowHeight + 20 + 12);

    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    for (QSlider* slider : {trkHue, trkSat, trkBrt})
        connect(slider, &QSlider::valueChanged, this, [this] { SettingsChanged(); });
    connect(ckPreview, &QCheckBox::toggled, this, [this] { SettingsChanged(); });

    SettingsChanged();
}

bool TfrmSimilarColors::Run(QWidget* Parent, TRichPalette& Current, bool& Modified, std::function<void()> Repaint)
{
    TfrmSimilarColors dialog(Current, Modified, std::move(Repaint), Parent);
    return dialog.exec() == QDialog::Accepted;
}

int TfrmSimilarColors::HueLimit() const
{
    return trkHue->value();
}

int TfrmSimilarColors::SatLimit() const
{
    return trkSat->value();
}

int TfrmSimilarColors::BrtLimit() const
{
    return trkBrt->value();
}

void TfrmSimilarColors::SettingsChanged()
{
    lblHueValue->setText(Degrees(HueLimit()));
    lblSatValue->setText(Percent(SatLimit()));
    lblBrtValue->setText(Percent(BrtLimit()));
    if (ckPreview->isChecked())
        ApplyFilter();
    else
        ShowPalette(FCopy);
}

void TfrmSimilarColors::ApplyFilter()
{
    RemoveSimilarColors(FCopy, FCurrent, HueLimit(), SatLimit(), BrtLimit());
    if (FRepaint)
        FRepaint();
}

void TfrmSimilarColors::ShowPalette(const TRichPalette& Palette)
{
    FCurrent.Assign(Palette);
    if (FRepaint)
        FRepaint();
}

void TfrmSimilarColors::accept()
{
    // Without Preview the palette shows the unfiltered copy; OK still means "remove them".
    if (!ckPreview->isChecked())
        ApplyFilter();
    QDialog::accept();
}

void TfrmSimilarColors::reject()
{
    ShowPalette(FCopy);
    FModified = FRememberedModified;
    QDialog::reject();
}
