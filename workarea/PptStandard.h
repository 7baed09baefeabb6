#pragma once
// The Harmonies page: the twelve-step colour circle of the base colour on the scientific
// or the artistic wheel, with the positions of the chosen harmony standing out and the
// others dimmed, shortened or hidden by the style; optionally a grey partner for every
// colour.
//
//   [Save][Copy] | Color Harmony: [Triad      v]  Color Wheel: [Artistic v]  (?)
//   ----------------------------------------------------------------------------
//   (bg)[ ]( )   | Style: [Color Wheel 2  v]  [ ] Base Color Marker   Brightness: 5
//   (ol)[ ]( )   |                            [ ] Matching Gray Tones  [---o-------]
//
// The scene has a fixed logical size (the host builds it at 1000 x 1000 and the player
// shows it whole). Matching holds positions 0..11 of the circle, and with grey tones their
// partners 12..23 (partner of i is i + 12); positions outside the harmony are disabled,
// and their wedges are shortened by the amount kept in the swatch's Tag (pixels, <= 0).

#include "workarea/PptBaseAdv.h"

#include <QPointer>

#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QSlider;
class QToolButton;
class TRichPalette;

// The styles of cbStyle, in item order.
enum THarmonyStyle {
    hsColorCircles1 = 0, // dots on a grey ring
    hsColorCircles2 = 1, // dots on a continuous colour ring
    hsColorWheel1 = 2, // wedges; the others shortened in the background colour
    hsColorWheel2 = 3, // wedges; the others shortened and lighter
    hsColorWheel3 = 4, // wedges; the others shortened more, colour kept
};
constexpr int kHarmonyStyleCount = 5;
extern const char* const kHarmonyStyleNames[kHarmonyStyleCount];

class TfrmPptStandard : public TfrmPptBaseAdv {
    Q_OBJECT
public:
    explicit TfrmPptStandard(QWidget* Parent);
    ~TfrmPptStandard() override;

    // Colours in the circle.
    int SegmentCount = 12;
    // Extra rim thickness (pixels) of the base colour's wedge.
    int BaseMarkerExtra = 0;
    // Outline width of the swatches (pixels) when an outline colour is set.
    int OutlineWidth = 1;

    // -- The contract. --
    bool GetArtisticWheel() const override;
    void SetArtisticWheel(bool Value) override;
    void PopulatePlayerMenu(QMenu* Menu, const QString& ClipName, TMoviePlayer* Player) override;
    bool CheckGamut(const THSB& HSB, TColorTransfer* Transfer, THSB& CorrectedHSB) override;
    void PlayerDragDrop(TMoviePlayer* Sender, const TColorDragCtrlObject* Source, int X, int Y) override;
    void PlayerDragOver(
        TMoviePlayer* Sender, const TColorDragCtrlObject* Source, int X, int Y, int State, bool& Accept) override;
    void PlayerMouseDown(
        TMoviePlayer* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y) override;
    void GetColorGrid(int& Rows, int& Cols) const override;
    void PrepareDragObject(TColorDragCtrlObject& DragObject, const QString& ClipName) override;
    // "ALL,CPL,SCP,TRI,SQR,RC1,RC2,ALG,ACP,DTR" select their harmony; anything else is
    // ignored. The host rebuilds after a code, so no change is reported.
    void ExecuteCommand(const QString& Code) override;
    void LoadSettings(const QStringList& Settings) override;
    void SaveSettings(QStringList& Settings) override;
    bool BuildScene(TMoviePlayer* Player, QSize Size, const QString& FileName, TColorTransfer* Transfer,
        TRichPalette* Matching) override;

    // -- What the controls show. --
    int ColorChord() const; // harmony index 0..9
    THarmonyStyle Style() const;
    bool BaseColorMarker() const;
    bool ShowContrast() const;
    int GrayBrightness() const; // 0..20

    // The lesson topic of a harmony ("Home" for the full circle and the hexad).
    static QString HelpTopic(int Harmony);

protected:
    // The keys held now; drops read Shift from here, as the drag events carry none.
    virtual Qt::KeyboardModifiers KeyboardState() const;

    // Form handlers.
    void cbColorChordChange();
    void cbStyleChange();
    void ckBaseColorMarkerClick();
    void ckShowContrastClick();
    void ptbGrayBrightnessChange();
    void btnHelpClick();

    QLabel* lblColorChord = nullptr;
    QComboBox* cbColorChord = nullptr;
    QLabel* lblColorWheel = nullptr;
    QComboBox* cbColorWheel = nullptr;
    QToolButton* btnHelp = nullptr;
    QLabel* lblStyle = nullptr;
    QComboBox* cbStyle = nullptr;
    QCheckBox* ckBaseColorMarker = nullptr;
    QCheckBox* ckShowContrast = nullptr;
    QLabel* lblGrayBrightness = nullptr;
    QSlider* ptbGrayBrightness = nullptr;

private:
    void ShowGrayBrightness();
    // A clip name (possibly the detailed "GetClipName" answer) of the base colour's swatch.
    static bool IsBaseSwatch(const QString& ClipName);

    // Stands in for the host's Matching when a scene is built without one.
    std::unique_ptr<TRichPalette> FOwnMatching;
    // The "Copy Color Value" submenu handed out last; replaced on the next menu.
    QPointer<QMenu> FColorValueMenu;
};
