#pragma once
// The swatch information dialog: name, CSS selector, description and colour of one swatch.
// Besides the texts it is a small colour editor (wheel, three sliders with value boxes, a
// hex field, four adjustment buttons, Reset and an eyedropper button). The edited colour
// lives in the wheel; the swatch button, sliders, value boxes and hex field follow it.
//
// The caller fills the properties, sets SettingsKey, OpenSettings and OnPickColor, runs the
// dialog modally, reads it after OK and frees it; the dialog never touches the document.
// Two sections fold away (the CSS selector and the colour controls); their state is read
// from the settings when the dialog is first shown and written when it is destroyed.

#include "colour/ColorTypes.h"

#include <QDialog>
#include <QString>

#include <array>
#include <functional>
#include <memory>

class QAction;
class QActionGroup;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSettings;
class QToolButton;
class TColorButton;
class TColorTrackBar;
class TColorWheel;

class TfrmSwatchInfo : public QDialog {
    Q_OBJECT
public:
    // Runs the screen eyedropper for the dialog: Color comes in as the current colour and
    // is replaced by the picked one; left alone when nothing was picked.
    using TPickColorEvent = std::function<void(TfrmSwatchInfo* Sender, TColor& Color)>;
    // Opens the program's settings store; the dialog reads and writes under SettingsKey.
    using TOpenSettingsEvent = std::function<std::unique_ptr<QSettings>()>;
    // Shows a help topic by its number.
    using THelpEvent = std::function<void(int HelpContext)>;

    static constexpr int kHelpContext = 6000;

    enum TColorModel { cmRGB = 0, cmHSB = 1, cmHSL = 2 };

    explicit TfrmSwatchInfo(QWidget* parent = nullptr);
    // Saves the fold state when a settings key and store were given.
    ~TfrmSwatchInfo() override;

    // Writing also remembers the initial name NameChanged compares against; reads trimmed.
    QString SwatchName() const;
    void SetSwatchName(const QString& Value);
    // Whether the name edit's text, untrimmed and case-sensitively, differs from the name
    // given: a trailing blank counts as a change, although SwatchName reads the same.
    bool NameChanged() const;

    // The CSS selector as typed.
    QString CssClass() const;
    void SetCssClass(const QString& Value);

    // Writing remembers the colour Reset returns to and puts it on the wheel; reading gives
    // the colour the swatch button shows.
    TColor SwatchColor() const;
    void SetSwatchColor(TColor Value);

    // Reads trimmed.
    QString Description() const;
    void SetDescription(const QString& Value);

    // Where the fold state is stored: a group of the settings store ("SwatchInfo") or the
    // registry-style key path the program hands around ("Software\Brightfold\Korvel4\SwatchInfo").
    QString SettingsKey() const { return FSettingsKey; }
    void SetSettingsKey(const QString& Value) { FSettingsKey = Value; }

    // The two foldable sections; writing lays the dialog out again.
    bool ShowInfo() const { return FShowInfo; }
    void SetShowInfo(bool Value);
    bool ShowColorControls() const { return FShowColorControls; }
    void SetShowColorControls(bool Value);

    // 0 RGB, 1 HSB (the model the dialog starts in), 2 HSL; other values are ignored.
    // In HSL the value boxes show and take the sliders' own scale (hue 0..239, saturation
    // and lightness 0..240).
    int ColorModel() const { return FColorModel; }
    void SetColorModel(int Model);

    // Tool tips of the adjustment buttons on or off (the program's hint setting).
    bool ShowHints() const { return FShowHints; }
    void SetShowHints(bool Value);

    // Stacks the sections from the name row down and sets the client height: 257 pixels
    // with both sections folded, 456 with both shown.
    void UpdateLayout();
    // The fold state from the settings, when the key holds anything; and back.
    void LoadSettings();
    void SaveSettings();

    TPickColorEvent OnPickColor;
    TOpenSettingsEvent OpenSettings;
    THelpEvent OnHelp;

    // The controls, named as the dialog's layout names them.
    TColorButton* clbSwatch = nullptr;
    QLabel* lblSwatchName = nullptr;
    QLineEdit* edcSwatchName = nullptr;
    QToolButton* btnShowInfo = nullptr;
    QFrame* Bevel1 = nullptr;
    QLabel* lblCssSelector = nullptr;
    QComboBox* cbCssSelector = nullptr;
    QLabel* lblDescription = nullptr;
    QPlainTextEdit* memoDescription = nullptr;
    QToolButton* btnShowColorControls = nullptr;
    QFrame* Bevel2 = nullptr;
    QLabel* lblAdjustColor = nullptr;
    QToolButton* btnDarken = nullptr;
    QToolButton* btnLighten = nullptr;
    QFrame* Separator1 = nullptr;
    QToolButton* btnDesaturate = nullptr;
    QToolButton* btnSaturate = nullptr;
    QFrame* Separator2 = nullptr;
    QToolButton* btnColorPicker = nullptr;
    QPushButton* btnReset = nullptr;
    TColorWheel* ColorWheel = nullptr;
    QLabel* lblHex = nullptr;
    QLineEdit* edHex = nullptr;
    std::array<TColorTrackBar*, 3> ColorTrackBars {};
    std::array<QLineEdit*, 3> edValues {};
    QFrame* Bevel3 = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* btnHelp = nullptr;
    QAction* atnRGB = nullptr;
    QAction* atnHSB = nullptr;
    QAction* atnHSL = nullptr;

public Q_SLOTS:
    // Hiding the dialog for the eyedropper must not end its modal run.
    void setVisible(bool visible) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ColorChanged(double Hue, double Sat, double Brt, TColor RefColor);
    void RefreshFromWheel();
    void WriteValueBoxes(double Hue, double Sat, double Brt);
    void SliderMoved(TColorTrackBar* Slider, int Position);
    void ValueBoxLeft(int Box);
    void HexFieldLeft();
    void Adjust(int Kind);
    void PickColor();
    void ApplyHints();
    QString SettingsGroup() const;

    QString FInitialName;
    TColor FInitialColor = clBlack;
    QString FGivenDescription;
    int FColorModel = -1;
    bool FShowInfo = false;
    bool FShowColorControls = false;
    bool FShowHints = true;
    bool FShownOnce = false;
    bool FPicking = false;
    QString FSettingsKey;
    QActionGroup* FModelGroup = nullptr;
};
