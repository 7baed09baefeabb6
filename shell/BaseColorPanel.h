#pragma once
// The base-colour panel at the left of the main window: the base swatch, the hex field, the
// history buttons, the three pickers on their tab set and the five sliders with their value
// fields. The base colour itself is the SelectionColor of the panel's colour wheel, which
// exists even while another picker is shown; every other control only mirrors it.
//
// The panel does its own share of a base-colour change (swatch, sliders, value fields, hex
// text, history) and hands the rest to its owner through the events below, in this order:
// OnCheckGamut (before anything else), OnColorInfo (the inspector), OnBaseColorChanged (the
// page's base colour and the scene).
//
// The panel starts on red 255, green 204, blue 0 with an empty history; the owner sets the
// stored colour with SetBaseColor(Color, true) so the history starts with it.

#include "colour/ColorTypes.h"
#include "colour/ColorVision.h"
#include "colour/Colors.h"
#include "colour/Events.h"
#include "pickers/ColorDragObj.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QWidget>

#include <array>
#include <functional>

class QFrame;
class QLabel;
class QMenu;
class QTabBar;
class QToolButton;
class TCaptionBar;
class TColorButton;
class TColorHistory;
class TColorPicker;
class TColorSampler;
class TColorTrackBar;
class TColorWheel;
class TfrmHistoryPopup;
class TRichColor;

// A value field of the panel. Enter commits while the text was edited and is always consumed
// (an edit field never beeps); leaving the field commits an edited text too. Leaving an
// untouched field does not commit: the HSB fields show rounded values, and committing them
// back would shift the colour just because the focus passed through.
class TValueEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TValueEdit(QWidget* parent = nullptr);
    // Shows a value the program computed; the field counts as unedited afterwards.
    void ShowValue(const QString& Text);
    std::function<void(TValueEdit* Sender)> OnCommit;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};

// What the page says about the base colour's gamut.
enum TGamutState {
    gsNoPage, // no page exists: the warning keeps its state
    gsInGamut,
    gsOutOfGamut // Corrected holds the nearest colour the page can show
};

class TBaseColorPanel : public QWidget, public TObject {
    Q_OBJECT
public:
    // Hue in degrees (0 <= h < 360), saturation and brightness 0..1, as the wheel reports them.
    using TBaseColorEvent = std::function<void(TObject* Sender, TColor Color, const THSB& HSB)>;
    using TColorEvent = std::function<void(TObject* Sender, TColor Color)>;
    using TCheckGamutEvent = std::function<TGamutState(TObject* Sender, const THSB& Base, THSB& Corrected)>;
    using TIntEvent = std::function<void(TObject* Sender, int Value)>;

    explicit TBaseColorPanel(QWidget* parent = nullptr);
    ~TBaseColorPanel() override;

    // Width the layout is made for, in pixels.
    static constexpr int kPanelWidth = 212;

    // The base colour: the wheel's SelectionColor.
    TColor BaseColor() const;
    THSB BaseHSB() const;
    // Sets the wheel's colour (which runs the change steps when the colour differs), then adds
    // the colour to the history when asked.
    void SetBaseColor(TColor Color, bool AddToHistory);
    // Adds the current base colour to the history (nothing when it is the current entry).
    void AddBaseColorToHistory();

    // 0 RGB, 1 HSB, 2 HSL (reachable only through the stored setting). Sets the slider types,
    // captions and hints and refills the value fields.
    int ColorModel() const { return FColorModel; }
    void SetColorModel(int Model);

    // 0 sampler, 1 wheel, 2 web-safe swatches, 3 none (tab set hidden). Selects the matching
    // tab and lays the panel out.
    int BaseColorPicker() const { return FBaseColorPicker; }
    void SetBaseColorPicker(int Picker);
    bool SamplerButtonsVisible() const { return FSamplerButtonsVisible; }
    void SetSamplerButtonsVisible(bool Value);
    // 0 saturated, 2 desaturated, 3 light (the TSamplerPresets the three buttons offer).
    int SamplerPreset() const;
    void SetSamplerPreset(int Preset);
    void LayoutBaseColorPanel();
    // Height the current layout needs.
    int PreferredHeight() const { return FPreferredHeight; }

    // The gamut warning is asked through OnCheckGamut only while this is on.
    bool GamutCheck() const { return FGamutCheck; }
    void SetGamutCheck(bool Value);
    // After page switches and layout changes: shown exactly when GamutCheck is on and the page
    // reports the current colour out of gamut.
    void UpdateGamutWarning();
    // Sets the corrected colour the page reported, adds it to the history, hides the button.
    void ApplyGamutCorrection();

    void SetColorVisionType(TColorVisionType Value);
    TColorVisionType ColorVisionType() const { return FColorVisionType; }

    // Random Color: hue 0..358, saturation and brightness each (64..254) / 255; added to the
    // history.
    void RandomColor();
    // Paste Hex Color Value: whether the clipboard holds such a value, and pasting it.
    static bool CanPasteHexColorValue();
    void PasteHexColorValue();
    // Copy Base Color Value: the selection of a focused edit field, else "#" + hex of the base
    // colour.
    void CopyBaseColorValue();

    // The history and its two steps (Back, Forward) as the buttons run them.
    TColorHistory* History() const { return FHistory; }
    void HistoryBack();
    void HistoryForward();
    // Opens the history pop-up under "Color History" unless it closed less than 300 ms ago.
    void OpenHistoryPopup();

    // Named children, for the owner's actions and for tests.
    TCaptionBar* cbarBaseColor = nullptr;
    TColorButton* btnBaseColor = nullptr;
    QToolButton* btnGamutWarning = nullptr;
    QLabel* lblHex = nullptr;
    TValueEdit* edHex = nullptr;
    QToolButton* btnBaseColorPicker = nullptr;
    QToolButton* btnRandom = nullptr;
    QToolButton* btnHistoryPrev = nullptr;
    QToolButton* btnHistoryOpen = nullptr;
    QToolButton* btnHistoryNext = nullptr;
    QTabBar* tabBaseColor = nullptr;
    TColorSampler* ColorSampler = nullptr;
    QToolButton* btnSamplerVivid = nullptr;
    QToolButton* btnSamplerMuted = nullptr;
    QToolButton* btnSamplerLight = nullptr;
    TColorWheel* ColorWheel = nullptr;
    TColorPicker* WebSafe = nullptr;
    QTabBar* tabColorModel = nullptr;
    std::array<TColorTrackBar*, 3> TrackBars {};
    TColorTrackBar* trkLightDark = nullptr;
    TColorTrackBar* trkSatDesat = nullptr;
    // edValue1..edValue5
    std::array<TValueEdit*, 5> edValues {};
    std::array<QFrame*, 4> bvlBaseColor {};
    QMenu* popBaseColor = nullptr;
    TfrmHistoryPopup* HistoryPopup() const { return FHistoryPopup; }

    // Step 1 of a change, and UpdateGamutWarning: asked only while GamutCheck is on.
    TCheckGamutEvent OnCheckGamut;
    // Show a colour in the colour inspector (after every change, and on rollovers).
    TColorEvent OnColorInfo;
    // Clear the colour inspector.
    TNotifyEvent OnColorInfoClear;
    // The last step of a change: the owner gives the page its base colour and rebuilds the scene.
    TBaseColorEvent OnBaseColorChanged;
    // Double clicks on the base swatch and the web-safe picker: append the colour to the
    // current palette.
    TColorEvent OnAddToPalette;
    // "Copy Swatch" of the base swatch's menu.
    TColorEvent OnCopySwatch;
    // The eye drop tool button (target 1).
    TNotifyEvent OnEyeDropper;
    // The user chose a picker or a colour model on the tab sets, so the owner checks its actions.
    TIntEvent OnPickerChange;
    TIntEvent OnColorModelChange;
    // The user pressed a sampler preset button.
    TIntEvent OnSamplerPresetChange;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void WheelChanged(double Hue, double Sat, double Brt, TColor Color);
    void ShowValueFields();
    void ShowHexText();
    void CommitValue(int Index);
    void CommitHex();
    void SliderMoved(TColorTrackBar* Slider, int Position);
    void EndPick();
    void ShowInfo(TColor Color);
    void ClearInfo();
    void HistoryMoved(TRichColor* Entry, bool NextEnabled, bool PrevEnabled);
    void UpdateHistoryButtons();
    void TabChosen(int Tab);
    bool HandleDrop(QWidget* Target, QEvent* Event);
    void FillBaseColorMenu();

    TColorHistory* FHistory = nullptr;
    TfrmHistoryPopup* FHistoryPopup = nullptr;
    QElapsedTimer FPopupClosed;
    QMenu* FCopyValueMenu = nullptr;
    int FColorModel = 0;
    int FBaseColorPicker = 1;
    bool FSamplerButtonsVisible = true;
    bool FGamutCheck = true;
    THSB FCorrectedHSB;
    TColorVisionType FColorVisionType = cvtNorm;
    int FPreferredHeight = 0;
    // Where a left press on the base swatch or the web-safe picker went down; a drag starts once
    // the pointer moves away from it, so clicks and double clicks still reach the controls.
    QPoint FDragStart {-1, -1};
    QWidget* FDragSource = nullptr;
    // The web-safe colour under the press that may start a drag.
    TColor FDragColor = 0;
};
