#pragma once
// The main window's side of the page contract: which pages exist, switching between them,
// rebuilding the scene into the player, and answering the commands scenes send.
//
// TPageHost keeps the run-time state of the work area (DisplayMode, PreviousPage,
// SceneState, the clip under the mouse ...) and the one page that exists. Everything it
// needs from the rest of the window goes through TPageHostWindow, so the main window's
// class stays a list of panels and the hosting rules can be driven in tests without one.

#include "colour/ColorTypes.h"
#include "workarea/ClipNames.h"
#include "workarea/PptBase.h"

#include <QPoint>
#include <QSize>
#include <QString>

#include <optional>
#include <span>

class QMenu;
class QMimeData;
class QWidget;
class TMoviePlayer;
class TRichPalette;

// Page ids, the values DisplayMode and PreviousPage hold.
enum TPageId : int {
    pgNone = 0,
    pgBlank = 1,
    pgMainMenu = 2,
    pgHarmonies = 3,
    pgAdvancedWheel = 4,
    pgVariations = 5,
    pgColorBlender = 6,
    pgTestPatterns = 7,
    pgFormula = 8,
    pgCombinations = 9,
    pgInformationMovie = 11,
};

// One row of the page table. A page whose unit has not been written yet has no Class:
// asking for it creates no page, as for an unknown id.
struct TPageEntry {
    int Id;
    TPageClass Class;
    // Whether the properties panel is shown while the page is current.
    bool ShowsProperties;
    // Name of the tool-bar button pressed while the page is current; null for none.
    const char* ToolButton;
    // How the scene is sized: the fixed SceneSize, or the player's client size.
    bool BuildsWithViewSize;
};

// Every page the program knows, in id order.
std::span<const TPageEntry> PageRegistry();
// The row of Id, or null when the id names no page (0, 10, 11, ...).
const TPageEntry* FindPage(int Id);

// What the page host asks of the main window besides what every page gets (IPageHost).
class TPageHostWindow : public IPageHost {
public:
    // The colour inspector.
    virtual void ShowColorInfo(TColor Color) = 0;
    virtual void ClearColorInfo() = 0;
    // Status bar panel 0 or 1.
    virtual void SetStatusText(int Panel, const QString& Text) = 0;
    // The properties panel around the page.
    virtual void SetPropertiesVisible(bool Visible) = 0;
    // Presses the page's tool-bar button (null releases the page buttons).
    virtual void SetPageButton(const char* ButtonName) = 0;
    // Whether the window starts on the Main Menu page.
    virtual bool ShowMainMenu() const = 0;
    // Re-runs the page's gamut check for the base colour.
    virtual void RefreshGamut() = 0;
    // A main-menu command of a "#C1" clip, 1..15 (1 is handled by the host itself).
    virtual void RunMainMenuCommand(int Number) = 0;
    // The base colour, the document's current palette (null without one) and the
    // artistic-wheel transform every scene is built with.
    virtual TColor BaseColor() const = 0;
    virtual TRichPalette* CurrentPalette() = 0;
    virtual TColorTransfer* Transfer() = 0;
    // The colour the inspector shows, when it shows one.
    virtual std::optional<TColor> InspectedColor() const = 0;
    // Adds a colour to the current palette (a double click on the player).
    virtual void AddColorToPalette(TColor Color) = 0;
    // Focus to the work area once a drag out of the player has started.
    virtual void FocusWorkArea() = 0;
    // Bytes of a movie the program carries ("FRES" resources); found false when none.
    virtual QByteArray ResourceMovie(const QString& Name, bool& Found) = 0;
};

// The clip commands scenes send.
inline constexpr const char* kClipCommands[] = {"CM_01", "CM_02", "CM_03", "CM_04", "CM_05", "CM_06"};

// The timing text of status panel 0 for a scene built in Seconds.
QString SceneTimingText(double Seconds);

// Drag detection: a drag out of the player starts no earlier than this after the press.
inline constexpr int kPlayerDragDelayMs = 200;

class TPageHost {
public:
    TPageHost(TPageHostWindow& Window, TMoviePlayer& Player, QWidget& PropertiesClient);
    ~TPageHost();
    TPageHost(const TPageHost&) = delete;
    TPageHost& operator=(const TPageHost&) = delete;

    // Switch pages: with Force false, asking for the page already shown does nothing.
    void ShowPage(int Page, bool Force);
    // Has the current page build its scene into the player.
    void RefreshScene();
    // Loads the movie resource Name, then calls its SelectPage (Arg1, Arg2).
    void PlayResourceMovie(const QString& Name, const QString& Arg1, const QString& Arg2);
    // The page's OnPlayMovie.
    void PlayMovie(const QString& Name, const QString& Arg1, const QString& Arg2);
    // The work area changed size.
    void WorkAreaResized();
    // Saves the page's settings and destroys it (at exit).
    void ClosePage();

    // A command from the movie in the player.
    void HandleCommand(const QString& Command, const QString& Argument);

    // The player's context menu, rebuilt each time: "Copy as Bitmap", "Save Image to
    // File", then the page's items.
    void PopulatePlayerMenu(QMenu& Menu);

    // Player events.
    void PlayerMouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Modifiers, QPoint Position);
    void PlayerDragOver(const QMimeData* Data, QPoint Position, int State, bool& Accept);
    void PlayerDragDrop(const QMimeData* Data, QPoint Position);
    void PlayerDblClick();
    // The data of a drag out of the player (null when no clip is pressed); the caller
    // owns it.
    QMimeData* StartPlayerDrag();
    void EndPlayerDrag();

    // Run-time state.
    TfrmPptBase* Page() const { return FPage; }
    int DisplayMode() const { return FDisplayMode; }
    int PreviousPage() const { return FPreviousPage; }
    int SceneState() const { return FSceneState; }
    void SetSceneState(int Value) { FSceneState = Value; }
    bool PageSwitching() const { return FPageSwitching; }
    bool ShowTiming() const { return FShowTiming; }
    void SetShowTiming(bool Value) { FShowTiming = Value; }
    QSize SceneSize() const { return FSceneSize; }
    const QString& RolloverClip() const { return FRolloverClip; }
    const QString& PressedClip() const { return FPressedClip; }
    TColor PressedColor() const { return FPressedColor; }
    bool ClipDragging() const { return FClipDragging; }
    // How many scenes RefreshScene has built, for tests and the event log.
    int ScenesBuilt() const { return FScenesBuilt; }

private:
    void CopyPlayerPicture();
    void PressClip(const QString& Argument);

    TPageHostWindow& FWindow;
    TMoviePlayer& FPlayer;
    QWidget& FPropertiesClient;
    TfrmPptBase* FPage = nullptr;

    int FDisplayMode = 0;
    int FPreviousPage = 0;
    int FSceneState = 0;
    bool FPageSwitching = false;
    bool FShowTiming = true;
    QSize FSceneSize {1000, 1000};
    QString FRolloverClip;
    QString FPressedClip;
    TColor FPressedColor = kNoClipColor;
    bool FClipDragging = false;
    int FScenesBuilt = 0;
};
