#pragma once
// What the main window's commands need from the window that carries them out. The command
// table (Commands.h) creates the actions, menus and tool bars and calls only this interface,
// so the command bodies live outside the main window and a test can drive them with a fake.

#include <QString>
#include <QUrl>

// Every command of the main window, named after its action. Commands whose operation arrives
// with a later part of the program are listed too: their actions exist, shown disabled.
enum class TCommandId {
    // Base Color
    atnBaseColorWheel,
    atnBaseColorSampler,
    atnColorSamplerSettings,
    atnBaseColorSwatches,
    atnBaseNone,
    atnBaseRGB,
    atnBaseHSB,
    atnBaseHSL,
    atnBaseCopySwatch,
    // The base-colour panel's buttons (Random Color, Back, Forward) run these.
    atnBaseRandom,
    atnHistoryPrev,
    atnHistoryNext,
    // File
    atnFileNew,
    atnFileNewPalette,
    atnFileOpen,
    atnFileRevert,
    atnFileImportFromImg,
    atnFileImport,
    atnFileSave,
    atnFileSaveAs,
    atnFileSaveCurrentPalette,
    atnFileExport,
    atnFilePrint,
    atnFileExit,
    // Edit
    atnEditCopySpecial,
    atnCopyBaseColorValue,
    atnEditPasteHexColorValue,
    atnEditSettings,
    // View
    atnViewMainMenu,
    atnViewStdWheel,
    atnViewAdvWheel,
    atnViewFormulas,
    atnViewVariations,
    atnViewColorBlender,
    atnViewTestPatterns,
    atnColorCombinations,
    atnColorVisionNormal,
    atnColorVisionProtan,
    atnColorVisionDeutan,
    atnColorVisionTritan,
    atnViewShowToolbar,
    // Palette
    atnPaletteAdd,
    atnDuplicatePalette,
    atnPaletteDelete,
    atnPaletteInfo,
    atnPalettePrev,
    atnPaletteNext,
    atnPaletteList,
    atnPaletteCompactList,
    atnPaletteThn,
    atnPaletteShowToolbar,
    atnPaletteSettings,
    atnPaletteSortHue,
    atnPaletteSortSat,
    atnPaletteSortBrt,
    atnPaletteSnapToWebsafe,
    atnPaletteSnapToWebSmart,
    atnPaletteRemoveDupes,
    atnPaletteRemoveSimilar,
    atnPaletteClear,
    atnPaletteClearFromCurrent,
    atnPaletteDeleteSwatch,
    atnPaletteCopySwatch,
    atnPaletteSwatchInfo,
    // Properties panel
    atnPptAdvancedMode,
    atnPptPosTop,
    atnPptPosBottom,
    // Help
    atnHelpKorvelHelp,
    atnHelpKvWeblink,
    atnHelpSupport,
    atnHelpCheckUpdate,
    atnHelpAbout,

    Count
};

// The window state the actions mirror as checked marks. The host fills it on request; the
// command set never keeps a copy of its own.
struct TCommandState {
    int DisplayMode = 1; // current page id (1 blank, 2 Main Menu .. 9, 11 a lesson movie)
    int BaseColorPicker = 1; // 0 sampler, 1 wheel, 2 web-safe, 3 none
    int ColorModel = 0; // 0 RGB, 1 HSB, 2 HSL
    int ColorVision = 0; // 0 normal, 1 protan, 2 deutan, 3 tritan
    bool ToolbarVisible = true; // the tool-bar dock
    bool AdvancedMode = true; // pages show their second row of controls
    int PropertiesPosition = 1; // 0 top, 1 bottom of the work area
    int PaletteMode = 0; // palette view: 0 list, 1 compact list, 2 thumbnails
    bool PaletteToolbarVisible = true; // the palette panel's tool bar
};

class ICommandHost {
public:
    virtual ~ICommandHost() = default;

    // --- Queries, asked whenever the actions are brought up to date -----------------------

    // Whether the host can carry out a command right now (a page that exists in this build,
    // history Back/Forward, ...). Commands without an operation in this build stay disabled
    // whatever this answers.
    virtual bool CommandEnabled(TCommandId id) const = 0;
    // The state the checkable actions show.
    virtual TCommandState CommandState() const = 0;

    // --- Base colour panel -------------------------------------------------------------

    // Picker 0 sampler, 1 wheel, 2 web-safe, 3 none; the host selects the matching tab and
    // lays the panel out.
    virtual void SetBaseColorPicker(int picker) = 0;
    // Flip SamplerButtonsVisible and lay the panel out (only asked while the sampler shows).
    virtual void ToggleSamplerButtons() = 0;
    // 0 RGB, 1 HSB, 2 HSL.
    virtual void SetColorModel(int model) = 0;
    virtual void CopyBaseSwatch() = 0; // CopySwatchToClipboard with the base colour
    virtual void CopyBaseColorValue() = 0; // selection of a focused edit, else "#RRGGBB"
    virtual void PasteHexColorValue() = 0; // clipboard hex text becomes the base colour
    virtual void RandomBaseColor() = 0; // a random base colour, added to the history
    virtual void HistoryBack() = 0;
    virtual void HistoryForward() = 0;

    // --- Work area ---------------------------------------------------------------------

    // Switch to page id 2..9 (not forced: showing the current page again does nothing).
    virtual void ShowPage(int page) = 0;
    // 0 normal, 1 protan, 2 deutan, 3 tritan.
    virtual void SetColorVisionMode(int mode) = 0;
    virtual void SetToolbarVisible(bool visible) = 0;
    virtual void SwitchAdvancedMode(bool on) = 0;
    // 0 top, 1 bottom.
    virtual void SetPropertiesPosition(int position) = 0;

    // --- Help and the program ----------------------------------------------------------

    // Show a topic of the help by number (1000 is the contents).
    virtual void ShowHelpTopic(int topic) = 0;
    // Open an address in the user's browser; false when no browser could be started.
    virtual bool OpenUrl(const QUrl& url) = 0;
    // A message box with an OK button, for errors the user should read.
    virtual void ShowMessage(const QString& text) = 0;
    virtual void ShowAbout() = 0;
    // Close the main window (the usual close path with its autosave and settings).
    virtual void CloseMainWindow() = 0;

    // --- The palette document ---------------------------------------------------------
    // Hosts that carry no document (a test's recording host) may leave these alone.

    // New, Open, Revert, File Import, Save, Save As, Save Current Palette As, New palette.
    virtual void RunFileCommand(TCommandId id) { (void)id; }
    // The palette commands (add, duplicate, delete, info, sorts, snaps, clears ...).
    virtual void RunPaletteCommand(TCommandId id) { (void)id; }
    // View as list (0), compact list (1), thumbnails (2), as the user chose it.
    virtual void ChoosePaletteViewMode(int mode) { (void)mode; }
    virtual void SetPaletteToolbarVisible(bool visible) { (void)visible; }
    // An entry of the Reopen submenu.
    virtual void OpenRecentFile(const QString& fileName) { (void)fileName; }
};
