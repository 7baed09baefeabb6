#pragma once
// The work-area page and its contract with the main window.
//
// A page is a borderless widget that fills the client area of the properties panel. It
// owns the controls the user tunes it with, computes the page's matching colours and
// builds the scene the main window shows in the player. Pages and the main window talk
// only through the virtual methods below (called by the host) and the events (raised by
// the page, each with the page as Sender).
//
// How a host runs a page (OpenPage and ClosePage below do exactly this):
//   1. Create it with the page class's factory, CreatePage<T>(panel): it is hidden, fills
//      the panel and has Updating false once the constructor is done.
//   2. Hand over, in this order: SetBaseHSB, SetAdvancedMode, SetMatching, SetBgColorMenu,
//      SetOutlineColorMenu, SetConfigFolder, SetUserDataFolder, then assign the events.
//   3. LoadSettings(InspectorData); show(); PageShown().
//   4. From then on, any number of BuildScene (after SetShowMainMenu), SetBackgroundColor /
//      SetOutlineColor, SetColorVisionType, SetBaseHSB, CheckGamut and the player handlers
//      (PlayerMouseDown, PlayerDragOver, PlayerDragDrop, PrepareDragObject for a drag out
//      of the player, PopulatePlayerMenu when its context menu opens). OnChange means
//      "rebuild the scene and refresh the gamut warning"; OnSaveImage is answered with
//      ConfigureSaveImageDialog and SaveImage (SaveImage.h), OnAddToPalette with
//      AddPageColorsToPalette (below); "CM_06" codes go to ExecuteCommand.
//   5. SaveSettings(InspectorData), then delete the page. Only one page exists at a time.
// The host keeps everything that outlives a page (Matching, the two colour menus, the
// settings list); the page only borrows them.

#include "colour/ColorTypes.h"
#include "colour/ColorVision.h"
#include "colour/Colors.h"
#include "colour/Events.h"

#include <QIcon>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>

class QFrame;
class QMenu;
class QToolButton;
class TColorTransfer;
class TMoviePlayer;
class TRichPalette;
struct TColorDragCtrlObject;

// The outline colour "None".
inline constexpr TColor kNoOutline = 0xFFFFFFFF; // -1

// Page events (the host assigns them; Sender is the page).
using TAdvancedModeToggleEvent = std::function<void(TObject* Sender, bool Value)>;
// Mode 0..4; Source null means the host's Matching palette.
using TAddToPaletteEvent
    = std::function<void(TObject* Sender, const QString& ClipName, TRichPalette* Source, int Mode)>;
using TPageColorEvent = std::function<void(TObject* Sender, TColor Color)>;
// Fill the "Copy Color Value" submenu for the colour.
using TFillColorValueMenuEvent = std::function<void(TObject* Sender, QMenu* MenuItem, TColor Color)>;
// Color is passed by reference: the inspector may be asked about a colour the host adjusts.
using TPageColorVarEvent = std::function<void(TObject* Sender, TColor& Color)>;
using TGetCurrentPaletteEvent = std::function<void(TObject* Sender, TRichPalette*& Palette)>;
using TSetBaseColorEvent = std::function<void(TObject* Sender, TColor Color, bool AddToHistory)>;
using TPlayMovieEvent
    = std::function<void(TObject* Sender, const QString& ResourceName, const QString& Arg1, const QString& Arg2)>;
using TLogEvent = std::function<void(TObject* Sender, const QString& Text)>;

class TfrmPptBase : public QWidget, public TObject {
    Q_OBJECT
public:
    // Designed client size; positions inside a page are fixed pixels and are not scaled.
    static constexpr int kDesignWidth = 650;
    static constexpr int kDesignHeight = 130;
    static constexpr int kDefaultMinAdvButtonLeft = 330;

    // A page is made hidden, filling Parent (the client area of the properties panel),
    // with white background and black outline, advanced mode on. Use CreatePage.
    explicit TfrmPptBase(QWidget* Parent);
    ~TfrmPptBase() override;

    // -- The contract, in slot order. --
    // 1. The page's content changed: OnChange unless Updating.
    virtual void DoChange(TObject* Sender);
    // 2, 3. Scene background and swatch outline colour (kNoOutline: none).
    virtual TColor GetBackgroundColor() const;
    virtual TColor GetOutlineColor() const;
    // 4. True: the scene is laid out for the player's real size and must be rebuilt when
    // the work area is resized; false: a fixed logical size.
    virtual bool NeedsViewSize() const;
    // 5. The page works on the artistic wheel.
    virtual bool GetArtisticWheel() const;
    // 6, 7, 8.
    virtual void SetBackgroundColor(TColor Color);
    virtual void SetOutlineColor(TColor Color);
    virtual void SetArtisticWheel(bool Value);
    // 9 is the factory, CreatePage, below.
    // 10. Add the page's items for the clip under the mouse to the player's context menu.
    virtual void PopulatePlayerMenu(QMenu* Menu, const QString& ClipName, TMoviePlayer* Player);
    // 11. True when the base colour (hue in degrees, saturation and brightness 0..1) lies
    // outside what the page can show; CorrectedHSB is then the nearest colour it can.
    virtual bool CheckGamut(const THSB& HSB, TColorTransfer* Transfer, THSB& CorrectedHSB);
    // 12. Append copies of the page's colours to Dest: every enabled colour of Source (every
    // colour when Mode = 1), in order.
    virtual void CopyColorsToPalette(TRichPalette* Source, TRichPalette* Dest, int Mode);
    // 13. A colour picked by the eyedropper the page started; Done false keeps it running.
    virtual void EyeDropColor(TObject* Sender, TColor Color, bool& Done, bool CtrlDown, int Tag);
    // 14, 15. A colour dropped on the scene, and whether it may be dropped at (X, Y) (player
    // widget pixels). Source is null when the dragged data carries no colour drag object.
    // State: 0 enter, 1 move, 2 leave.
    virtual void PlayerDragDrop(TMoviePlayer* Sender, const TColorDragCtrlObject* Source, int X, int Y);
    virtual void PlayerDragOver(
        TMoviePlayer* Sender, const TColorDragCtrlObject* Source, int X, int Y, int State, bool& Accept);
    // 16. The mouse was pressed on the scene.
    virtual void PlayerMouseDown(
        TMoviePlayer* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    // 17. Shape of the matching-colour grid the scene shows.
    virtual void GetColorGrid(int& Rows, int& Cols) const;
    // 18. Complete a drag started on a clip of the scene.
    virtual void PrepareDragObject(TColorDragCtrlObject& DragObject, const QString& ClipName);
    // 19. Called once after the host has wired and shown the page.
    virtual void PageShown();
    // 20. A page code sent by a menu movie ("CM_06").
    virtual void ExecuteCommand(const QString& Code);
    // 21, 22. The page's settings as Name=Value entries of the host's list (the first
    // entry of a name counts; names are compared without regard to case).
    virtual void LoadSettings(const QStringList& Settings);
    virtual void SaveSettings(QStringList& Settings);
    // 23. Build the scene for Size (pixels): with a FileName write it there and answer
    // false; otherwise load it into Player and answer true (the host repaints the player).
    // Writing errors throw ESceneWriteError.
    virtual bool BuildScene(
        TMoviePlayer* Player, QSize Size, const QString& FileName, TColorTransfer* Transfer, TRichPalette* Matching);

    // -- Operations. --
    // The host switches every part of the window; the page only follows.
    void SetAdvancedMode(bool Value);
    void BeginUpdate();
    // Updating ends; with Notify, DoChange(Sender) follows.
    void EndUpdate(TObject* Sender, bool Notify);
    // Stored only; the host rebuilds the scene.
    void SetColorVisionType(TColorVisionType Value) { FColorVisionType = Value; }
    // Drag images stay visible over the page and everything on it. Qt draws a drag's
    // pixmap above every widget, so this only records the wish.
    void EnableDragImages() { FDragImages = true; }
    bool DragImagesEnabled() const { return FDragImages; }

    // -- State the host hands over (see the top of this file). --
    bool AdvancedMode() const { return FAdvancedMode; }
    bool Updating() const { return FUpdating; }
    TColorVisionType ColorVisionType() const { return FColorVisionType; }
    const QString& UserDataFolder() const { return FUserDataFolder; }
    void SetUserDataFolder(const QString& Value) { FUserDataFolder = Value; }
    // Ends with "/".
    const QString& ConfigFolder() const { return FConfigFolder; }
    void SetConfigFolder(const QString& Value) { FConfigFolder = Value; }
    bool ShowMainMenu() const { return FShowMainMenu; }
    void SetShowMainMenu(bool Value) { FShowMainMenu = Value; }
    // Hue in degrees, saturation and brightness 0..1.
    const THSB& BaseHSB() const { return FBaseHSB; }
    void SetBaseHSB(const THSB& Value) { FBaseHSB = Value; }
    TRichPalette* Matching() const { return FMatching; }
    void SetMatching(TRichPalette* Value) { FMatching = Value; }
    QMenu* BgColorMenu() const { return FBgColorMenu; }
    void SetBgColorMenu(QMenu* Value) { FBgColorMenu = Value; }
    QMenu* OutlineColorMenu() const { return FOutlineColorMenu; }
    void SetOutlineColorMenu(QMenu* Value) { FOutlineColorMenu = Value; }
    // The clip name PopulatePlayerMenu last ran for.
    const QString& ClipName() const { return FClipName; }
    void SetClipName(const QString& Value) { FClipName = Value; }
    int MinAdvButtonLeft() const { return FMinAdvButtonLeft; }
    void SetMinAdvButtonLeft(int Value);

    // -- Settings helpers for the pages. --
    // The value of the first entry named Name; false when there is none.
    static bool ReadSetting(const QStringList& Settings, const QString& Name, QString& Value);
    // Replaces the first entry named Name, or appends one.
    static void WriteSetting(QStringList& Settings, const QString& Name, const QString& Value);
    // "#" + hex as ColorToHex writes it (it follows the user's hex switches).
    static QString ColorSettingText(TColor Color);
    // True and Color set when the entry exists and reads as a colour; otherwise Color is
    // left as it was.
    static bool ReadColorSetting(const QStringList& Settings, const QString& Name, TColor& Color);
    // The shared "BackgroundColor", "OutlineColor" and "ShowOutline" entries, for the pages
    // that keep their colours from run to run. A malformed or missing colour keeps the
    // current one; "ShowOutline=0" makes the outline none after "OutlineColor" was read.
    // Loading reports no change (the host builds the scene once the page is shown).
    void LoadSharedColors(const QStringList& Settings);
    void SaveSharedColors(QStringList& Settings) const;

    // -- Events. --
    TNotifyEvent OnChange;
    TAdvancedModeToggleEvent OnAdvancedModeToggle;
    TNotifyEvent OnSaveImage;
    TAddToPaletteEvent OnAddToPalette;
    TPageColorEvent OnCopySwatch;
    TFillColorValueMenuEvent OnFillColorValueMenu;
    TPageColorVarEvent OnColorInfo;
    TNotifyEvent OnColorInfoClear;
    TNotifyEvent OnEyeDropTool;
    TPageColorVarEvent OnGetBaseColor;
    TGetCurrentPaletteEvent OnGetCurrentPalette;
    TSetBaseColorEvent OnSetBaseColor;
    TPlayMovieEvent OnPlayMovie;
    TLogEvent OnLogEvent;

protected:
    // Form handlers.
    void btnAdvancedModeClick();
    void FormDblClick();
    void FormResize();

    void resizeEvent(QResizeEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

    QFrame* bvlDivider = nullptr;
    QToolButton* btnAdvancedMode = nullptr;

    // Construction sets the colours with Updating on; the derived page's constructor
    // repeats this for controls that hold the colours.
    void SetUpdating(bool Value) { FUpdating = Value; }

private:
    void FillParent();
    void ShowAdvancedGlyph();

    bool FAdvancedMode = true;
    bool FUpdating = true;
    bool FDragImages = false;
    TColorVisionType FColorVisionType = cvtNorm;
    QString FUserDataFolder;
    QString FConfigFolder;
    TColor FBackgroundColor = clWhite;
    TColor FOutlineColor = clBlack;
    bool FArtisticWheel = false;
    bool FShowMainMenu = false;
    THSB FBaseHSB;
    TRichPalette* FMatching = nullptr;
    QMenu* FBgColorMenu = nullptr;
    QMenu* FOutlineColorMenu = nullptr;
    QString FClipName;
    int FMinAdvButtonLeft = kDefaultMinAdvButtonLeft;
};

// The page class's factory (the contract's "virtual constructor"): a page of class T as a
// child of the properties panel's client area.
using TPageClass = TfrmPptBase* (*)(QWidget* Parent);
template <class T> TfrmPptBase* CreatePage(QWidget* Parent)
{
    return new T(Parent);
}

// What a host provides to the pages it opens. The main window implements it.
class IPageHost {
public:
    virtual ~IPageHost() = default;
    virtual THSB PageBaseHSB() const = 0;
    virtual bool PageAdvancedMode() const = 0;
    virtual TRichPalette* PageMatching() = 0;
    virtual QMenu* PageBgColorMenu() = 0;
    virtual QMenu* PageOutlineColorMenu() = 0;
    virtual QString PageConfigFolder() const = 0;
    virtual QString PageUserDataFolder() const = 0;
    virtual TColorVisionType PageColorVisionType() const = 0;
    // The Name=Value list every page loads from and saves into (InspectorData).
    virtual QStringList& PageSettings() = 0;
    // Assigns the page's events to the host's handlers.
    virtual void WirePageEvents(TfrmPptBase& Page) = 0;
};

// Creates a page of Class in Panel and takes it through steps 1 to 3 above. Last, the
// page is told the host's colour-vision type: a setting a page loaded can be older than
// the window's current simulation (pages that don't store it leave an old entry behind).
TfrmPptBase* OpenPage(TPageClass Class, QWidget* Panel, IPageHost& Host);
// Step 5: the page saves its settings and is destroyed; Page becomes null.
void ClosePage(TfrmPptBase*& Page, IPageHost& Host);

// The properties panel's height for its caption bar's height: the bar alone when
// collapsed, otherwise bar + 104 in advanced mode (both rows of controls) and bar + 54 in
// standard mode (the first row only).
constexpr int kAdvancedPageHeight = 104;
constexpr int kStandardPageHeight = 54;
constexpr int PropertiesPanelHeight(int CaptionBarHeight, bool AdvancedMode, bool Collapsed)
{
    if (Collapsed)
        return CaptionBarHeight;
    return CaptionBarHeight + (AdvancedMode ? kAdvancedPageHeight : kStandardPageHeight);
}

// The host's answer to OnAddToPalette (ClipName, Source, Mode), appended to Dest (the
// document's current palette; the host wraps this in one edit). Source null means the
// page's Matching. Modes: 0 the colour the clip name carries; 1 the clip's row of the
// page's colour grid, starting at the clip and wrapping round; 2 the clip's column, last
// row first; 3 every enabled colour of Source; 4 the page's CopyColorsToPalette. Copies
// are full copies of the source swatches. Returns how many swatches were appended.
int AddPageColorsToPalette(
    TfrmPptBase& Page, const QString& ClipName, TRichPalette* Source, int Mode, TRichPalette& Dest);

// The two glyphs of the advanced-mode button ("PptAdvMode", "PptStdMode"), drawn for the
// normal, disabled, pressed and checked looks.
QIcon AdvancedModeGlyph(bool Advanced);
