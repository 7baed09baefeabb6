// Gallery entries for the base-colour pickers: the colour sampler, the web-safe picker, the
// colour sliders wired the way the base-colour panel wires them, and the swatch buttons.
#include "Gallery.h"

#include "colour/Colors.h"
#include "pickers/ColorPck.h"
#include "pickers/ColorSampler.h"
#include "pickers/ColorSwatchButton.h"
#include "pickers/ColorTrackBar.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

namespace {

QString Describe(TColor c)
{
    return QStringLiteral("%1  R%2 G%3 B%4")
        .arg(ColorToHex(GetRValue(c), GetGValue(c), GetBValue(c), true))
        .arg(GetRValue(c))
        .arg(GetGValue(c))
        .arg(GetBValue(c));
}

// A vision-type chooser that hands its choice to `apply`.
QComboBox* VisionChooser(QWidget* parent, std::function<void(TColorVisionType)> apply)
{
    auto* box = new QComboBox(parent);
    const char* names[] = {"Normal", "Protanopia", "Deuteranopia", "Tritanopia", "Protanomaly", "Deuteranomaly",
        "Tritanomaly", "Monochromacy", "Partial monochromacy"};
    for (const char* name : names)
        box->addItem(QString::fromLatin1(name));
    QObject::connect(
        box, &QComboBox::currentIndexChanged, [apply](int index) { apply(static_cast<TColorVisionType>(index)); });
    return box;
}

QWidget* MakeSampler(QWidget* parent)
{
    auto* panel = new QWidget(parent);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);
    const std::array<std::pair<TSamplerPresets, const char*>, 4> presets
        = {{{spSaturated, "spSaturated"}, {spRich, "spRich"}, {spDesaturated, "spDesaturated"}, {spLight, "spLight"}}};
    const std::array<TSamplerBorderStyle, 4> styles = {bsLowered, bsRaised, bsFlat, bsLowered};
    std::vector<TColorSampler*> samplers;
    int row = 0;
    for (size_t i = 0; i < presets.size(); ++i) {
        auto* s = new TColorSampler(panel);
        s->setFixedSize(184, 70);
        s->SetPresets(presets[i].first);
        s->SetStyle(styles[i]);
        s->OnColorChange = [name = QString::fromLatin1(presets[i].second)](TObject*, TColor c) {
            galleryStatus(QStringLiteral("%1 picked %2").arg(name, Describe(c)));
        };
        grid->addWidget(new QLabel(QString::fromLatin1(presets[i].second), panel), row, static_cast<int>(i % 2));
        grid->addWidget(s, row + 1, static_cast<int>(i % 2));
        if (i % 2 == 1)
            row += 2;
        samplers.push_back(s);
    }
    // The control at its own default size, flat.
    auto* small = new TColorSampler(panel);
    small->setFixedSize(small->sizeHint());
    small->SetStyle(bsFlat);
    small->OnColorChange
        = [](TObject*, TColor c) { galleryStatus(QStringLiteral("200 x 20 picked %1").arg(Describe(c))); };
    grid->addWidget(new QLabel(QStringLiteral("default 200 x 20, bsFlat"), panel), row, 0, 1, 2);
    grid->addWidget(small, row + 1, 0, 1, 2);
    samplers.push_back(small);
    auto* cursor = new QLabel(panel);
    cursor->setPixmap(EyedropCursor().pixmap());
    cursor->setToolTip(QStringLiteral("the sampler's pipette cursor"));
    grid->addWidget(cursor, row + 2, 1, Qt::AlignLeft);
    grid->addWidget(VisionChooser(panel,
                        [samplers](TColorVisionType v) {
                            for (TColorSampler* s : samplers)
                                s->SetColorVisionType(v);
                        }),
        row + 2, 0);
    return panel;
}

QWidget* MakeWebSafe(QWidget* parent)
{
    auto* panel = new QWidget(parent);
    auto* layout = new QHBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    // As the base-colour panel makes it: 9-pixel swatches with the fixed colours.
    auto* picker = new TColorPicker(panel);
    picker->SetSwatchSize(9);
    picker->SetShowFixedColors(true);
    auto* swatch = new TColorSwatchButton(panel);
    swatch->setFixedSize(48, 48);
    picker->OnHoverColor = [](TObject*, TColor c) { galleryStatus(QStringLiteral("hover %1").arg(Describe(c))); };
    picker->OnLeave = [](TObject*) { galleryStatus(QStringLiteral("left the picker")); };
    picker->OnClick = [picker, swatch](TObject*) {
        swatch->SetSelectionColor(picker->SelectedColor());
        galleryStatus(QStringLiteral("clicked %1").arg(Describe(picker->SelectedColor())));
    };
    picker->OnDblClick = [picker](TObject*) {
        galleryStatus(QStringLiteral("double click: add %1 to the palette").arg(Describe(picker->SelectedColor())));
    };
    // A second one with other settings: 4 levels on one row, no lines.
    auto* other = new TColorPicker(panel);
    other->SetCubes(4);
    other->SetRows(1);
    other->SetShowLines(false);
    other->SetSwatchSize(8);
    other->OnHoverColor = picker->OnHoverColor;
    auto* column = new QVBoxLayout;
    column->addWidget(picker);
    column->addWidget(other);
    column->addWidget(VisionChooser(panel, [picker, other](TColorVisionType v) {
        picker->SetColorVisionType(v);
        other->SetColorVisionType(v);
    }));
    column->addStretch(1);
    layout->addLayout(column);
    layout->addWidget(swatch, 0, Qt::AlignTop);
    layout->addStretch(1);
    return panel;
}

// Five sliders wired like the base-colour panel: a move sets the colour from the slider's
// position, and the colour goes back to all five (the one being dragged ignores it).
class SliderPanel : public QWidget {
public:
    explicit SliderPanel(QWidget* parent)
        : QWidget(parent)
    {
        auto* grid = new QGridLayout(this);
        grid->setContentsMargins(0, 0, 0, 0);
        grid->setVerticalSpacing(4);
        const std::array<std::pair<TGradientType, const char*>, 5> kinds
            = {{{gtRGB_R, "红"}, {gtRGB_G, "绿"}, {gtRGB_B, "蓝"}, {gtHSL_L, "较深"}, {gtHSL_S, "去色"}}};
        for (size_t i = 0; i < kinds.size(); ++i) {
            auto* t = new TColorTrackBar(this);
            t->setFixedSize(160, 30);
            t->SetFlat(true);
            t->SetBorderColor(clBlack);
            t->SetMarkerColor(clWhite);
            t->SetMarkerSize(8);
            t->SetGradientType(kinds[i].first);
            t->SetCaption(QString::fromUtf8(kinds[i].second));
            if (kinds[i].first == gtHSL_L)
                t->SetCaption2(QStringLiteral("较浅"));
            if (kinds[i].first == gtHSL_S)
                t->SetCaption2(QStringLiteral("饱和"));
            t->OnPositionChange
                = [this](TObject* sender, int position) { Moved(dynamic_cast<TColorTrackBar*>(sender), position); };
            grid->addWidget(t, static_cast<int>(i), 0);
            m_sliders.push_back(t);
        }
        m_model = new QComboBox(this);
        m_model->addItems({QStringLiteral("RGB"), QStringLiteral("HSB"), QStringLiteral("HSB artistic")});
        QObject::connect(m_model, &QComboBox::currentIndexChanged, [this](int model) { SetModel(model); });
        grid->addWidget(m_model, 0, 1);
        grid->addWidget(VisionChooser(this,
                            [this](TColorVisionType v) {
                                for (TColorTrackBar* t : m_sliders)
                                    t->SetColorVisionType(v);
                                m_vertical->SetColorVisionType(v);
                            }),
            1, 1);
        auto* disabled = new TColorTrackBar(this);
        disabled->setFixedSize(160, 30);
        disabled->SetCaption(QStringLiteral("disabled"));
        disabled->setEnabled(false);
        grid->addWidget(disabled, 5, 0);
        auto* simple = new TColorTrackBar(this);
        simple->setFixedSize(160, 30);
        simple->SetGradientSubType(gstSimple);
        simple->SetGradientType(gtRGB_B);
        simple->SetCaption(QStringLiteral("gstSimple"));
        simple->SetCaption2(QStringLiteral("gtRGB_B"));
        grid->addWidget(simple, 6, 0);
        m_vertical = new TColorTrackBar(this);
        m_vertical->SetOrientation(orVertical);
        m_vertical->SetGradientType(gtHSB_H);
        m_vertical->setFixedSize(m_vertical->size());
        m_vertical->OnPositionChange = [this](TObject*, int position) {
            SetColor(position, m_hsb.S, m_hsb.B);
            galleryStatus(QStringLiteral("vertical hue %1").arg(position));
        };
        grid->addWidget(m_vertical, 2, 1, 5, 1, Qt::AlignLeft);
        SetColor(48, 1, 1); // the start-up base colour, RGB 255, 204, 0
    }

private:
    void SetModel(int model)
    {
        const bool rgb = model == 0;
        const char* rgbCaptions[] = {"红", "绿", "蓝"};
        const char* hsbCaptions[] = {"色相", "饱合度", "亮度"};
        for (int i = 0; i < 3; ++i) {
            m_sliders[size_t(i)]->SetGradientType(static_cast<TGradientType>((rgb ? gtRGB_R : gtHSB_H) + i));
            m_sliders[size_t(i)]->SetCaption(QString::fromUtf8(rgb ? rgbCaptions[i] : hsbCaptions[i]));
            m_sliders[size_t(i)]->SetArtisticMode(model == 2);
        }
    }

    void Moved(TColorTrackBar* t, int p)
    {
        // The panel's rules for turning a slider position into the base colour.
        const TColor c = HSBToColor(m_hsb.H, m_hsb.S, m_hsb.B);
        THSB hsb = m_hsb;
        auto fromColor = [&](TColor color) {
            const THSB next = ColorToHSB(color);
            hsb = {next.S == 0 ? m_hsb.H : next.H, next.S, next.B};
        };
        switch (t->GradientType()) {
        case gtRGB_R: fromColor(RGB(p, GetGValue(c), GetBValue(c))); break;
        case gtRGB_G: fromColor(RGB(GetRValue(c), p, GetBValue(c))); break;
        case gtRGB_B: fromColor(RGB(GetRValue(c), GetGValue(c), p)); break;
        case gtHSB_H: hsb.H = p; break;
        case gtHSB_S: hsb.S = p / 100.0; break;
        case gtHSB_B: hsb.B = std::max(p, 1) / 100.0; break;
        case gtHSL_H: fromColor(HSLToColor(p / 239.0, t->HSL_Sat(), t->HSL_Lum())); break;
        case gtHSL_S: fromColor(HSLToColor(t->HSL_Hue(), p / 240.0, t->HSL_Lum())); break;
        case gtHSL_L: fromColor(HSLToColor(t->HSL_Hue(), t->HSL_Sat(), std::clamp(p, 2, 238) / 240.0)); break;
        }
        SetColor(hsb.H, hsb.S, hsb.B);
        galleryStatus(QStringLiteral("slider %1 at %2: %3")
                          .arg(int(t->GradientType()))
                          .arg(p)
                          .arg(Describe(HSBToColor(hsb.H, hsb.S, hsb.B))));
    }

    void SetColor(double h, double s, double b)
    {
        m_hsb = {h, s, b};
        for (TColorTrackBar* t : m_sliders)
            t->SetHSB(h, s, b);
        m_vertical->SetHSB(h, s, b);
    }

    std::vector<TColorTrackBar*> m_sliders;
    TColorTrackBar* m_vertical = nullptr;
    QComboBox* m_model = nullptr;
    THSB m_hsb;
};

QWidget* MakeSwatchButtons(QWidget* parent)
{
    auto* panel = new QWidget(parent);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);
    struct Item {
        const char* label;
        TColor color;
        bool enabled;
        TColorVisionType vision;
    };
    const Item items[] = {
        {"Background Color", clWhite, true, cvtNorm},
        {"Outline Color", clBlack, true, cvtNorm},
        {"Outline None (-1)", TColor(-1), true, cvtNorm},
        {"#3399CC", RGB(0x33, 0x99, 0xCC), true, cvtNorm},
        {"#CC3333 protanopia", RGB(0xCC, 0x33, 0x33), true, cvtProt},
        {"disabled", RGB(0x33, 0x99, 0xCC), false, cvtNorm},
    };
    int row = 0;
    for (const Item& item : items) {
        auto* b = new TColorSwatchButton(panel);
        b->setFixedSize(22, 22);
        b->SetAutoCreateHint(true);
        b->SetSelectionColor(item.color);
        b->SetColorVisionType(item.vision);
        b->setEnabled(item.enabled);
        const QString name = QString::fromLatin1(item.label);
        b->OnClick = [name](TObject*) { galleryStatus(QStringLiteral("%1 clicked").arg(name)); };
        b->OnColorRollover = [name](TObject*, TColor c) {
            galleryStatus(QStringLiteral("%1 rollover %2")
                              .arg(name, TColorSwatchButton::IsNoColor(c) ? QStringLiteral("none") : Describe(c)));
        };
        grid->addWidget(b, row, 0);
        grid->addWidget(new QLabel(name, panel), row, 1);
        ++row;
    }
    // The control's own default size, and a larger one to see the notch.
    auto* big = new TColorSwatchButton(panel);
    big->setFixedSize(48, 32);
    big->SetSelectionColor(RGB(255, 204, 0));
    big->SetDropDownArrowColor(RGB(0, 0, 128));
    grid->addWidget(big, row, 0);
    grid->addWidget(new QLabel(QStringLiteral("48 x 32, navy arrow"), panel), row, 1);
    auto* small = new TColorSwatchButton(panel);
    small->setFixedSize(small->sizeHint());
    small->SetSelectionColor(RGB(0, 153, 0));
    grid->addWidget(small, row + 1, 0);
    grid->addWidget(new QLabel(QStringLiteral("default 20 x 20"), panel), row + 1, 1);
    return panel;
}

} // namespace

KORVEL_GALLERY_ENTRY(ColorSampler, QStringLiteral("ColorSampler"), MakeSampler);
KORVEL_GALLERY_ENTRY(WebSafePicker, QStringLiteral("ColorPicker"), MakeWebSafe);
KORVEL_GALLERY_ENTRY(ColorTrackBar, QStringLiteral("ColorTrackBar"),
    [](QWidget* parent) -> QWidget* { return new SliderPanel(parent); });
KORVEL_GALLERY_ENTRY(ColorSwatchButton, QStringLiteral("ColorSwatchButton"), MakeSwatchButtons);
