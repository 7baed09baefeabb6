#pragma once
// The main window: the panels of the window, the run-time state that lives for the whole
// run, start-up and exit. Page hosting lives in TPageHost; the commands, the base-colour
// panel and the colour inspector in units of their own.

#include "colour/ColorTypes.h"
#include "harmony/ColorTransfer.h"
#include "palette/RichColor.h"
#include "shell/CommandHost.h"
#include "shell/PageHost.h"
#include "shell/PaletteCommands.h"
#include "shell/SwatchClipboard.h"
#include "shell/base/CommandLine.h"
#include "shell/base/KorvelSettings.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>
#include <optional>

class QLabel;
class QListWidget;
class QMenu;
class QSettings;
class QToolBar;
class QVBoxLayout;
class TAdvSwatchGrid;
class TBaseColorPanel;
class TCaptionBar;
class TColorInspector;
class TMainCommands;
class TMoviePlayer;
class THelpWindow;
class TPalettePanel;
class TfrmSwatchInfo;

// Start-up choices that come from outside the window: the command line and the keyboard.
struct TStartOptions {
    TCommandLine CommandLine;
    // Ctrl held while the program starts: no stored placement, first-run page settings.
    bool CtrlHeld = false;
    // The dialogs the document's commands use; members left empty are the real ones.
    // Tests answer them here, since start-up may already ask (a command-line file).
    TUserPrompts Prompts;
};

class TfrmMain : public QMainWindow, public TPageHostWindow, public ICommandHost, public IPaletteHost {
    Q_OBJECT
public:
    static constexpr int kBaseColorPanelWidth = 196;
    static constexpr int kPalettePanelWidth = 200;
    static constexpr int kMinWidth = 780;
    static constexpr int kMinHeight = 580;
    // Height of the colour inspector when it is not collapsed.
    static constexpr int kInspectorHeight = 140;

    explicit TfrmMain(const TStartOptions& Options = {}, QWidget* Parent = nullptr);
    ~TfrmMain() override;

    // -- Pages (the work-area side lives in PageHost). --
    void ShowPage(int Page, bool Force) { FPages->ShowPage(Page, Force); }
    TMainCommands* Commands() const { return FCommands; }
    void RefreshScene() { FPages->RefreshScene(); }
    TPageHost& Pages() { return *FPages; }
    TMoviePlayer* Player() const { return FlashPlayer; }

    // -- Run-time state. --
    TKorvelSettings& Settings() { return FSettings; }
    const TKorvelSettings& Settings() const { return FSettings; }
    const QString& CurrentFileName() const { return FPaletteCommands->CurrentFileName(); }
    bool Loading() const override { return FLoading; }
    bool GamutCheck() const { return FGamutCheck; }
    void SetGamutCheck(bool Value) { FGamutCheck = Value; }
    const THSB& CorrectedHSB() const { return FCorrectedHSB; }
    TColorVisionType ColorVisionType() const { return FColorVisionType; }
    // The document: the collection the palette grid holds.
    TRichPaletteList& Document();
    // The base colour: until the base-colour panel holds it in its wheel, the window
    // keeps it here.
    void SetBaseColor(TColor Color);

    // -- Properties panel. --
    bool AdvancedMode() const { return FSettings.AdvancedMode; }
    void SetAdvancedMode(bool Value);
    // 0 top, 1 bottom of the work area.
    void SetPropertiesPosition(int Value) override;
    void SetPropertiesCollapsed(bool Value);
    QWidget* PropertiesPanel() const { return dxcProperties; }

    // -- The palette document. --
    TPalettePanel* PalettePanel() const { return dxcPalette; }
    TPaletteCommands& PaletteCommands() { return *FPaletteCommands; }
    // A palette file handed over by the shell or a second start: opened as Reopen opens
    // a recent file, so unsaved changes are offered for saving first.
    void OpenFileFromOutside(const QString& FileName);
    bool OpenPaletteFile(const QString& FileName, bool Replace, bool MakeCurrent)
    {
        return FPaletteCommands->OpenPaletteFile(FileName, Replace, MakeCurrent);
    }
    bool SavePaletteFile(const QString& FileName, bool CurrentPaletteOnly)
    {
        return FPaletteCommands->SavePaletteFile(FileName, CurrentPaletteOnly);
    }
    bool SavePaletteFileAs(const QString& FileName, const QString& Folder, bool CurrentPaletteOnly)
    {
        return FPaletteCommands->SavePaletteFileAs(FileName, Folder, CurrentPaletteOnly);
    }

    // -- The status bar's two panels. --
    QString StatusText(int Panel) const;

    // Exit, once: autosave (close), then the page's settings and WriteSettings
    // (destruction). Safe to call more than once; the destructor calls it too.
    void Shutdown();

    // TPageHostWindow
    void ShowColorInfo(TColor Color) override;
    void ClearColorInfo() override;
    void SetStatusText(int Panel, const QString& Text) override;
    void SetPropertiesVisible(bool Visible) override;
    void SetPageButton(const char* ButtonName) override;
    bool ShowMainMenu() const override { return FSettings.ShowMainMenu; }
    void RefreshGamut() override;
    void RunMainMenuCommand(int Number) override;
    TColor BaseColor() const override { return FBaseColor; }
    TRichPalette* CurrentPalette() override;
    TColorTransfer* Transfer() override { return &FTransfer; }
    std::optional<TColor> InspectedColor() const override { return FInspectedColor; }
    void AddColorToPalette(TColor Color) override;
    void FocusWorkArea() override;
    QByteArray ResourceMovie(const QString& Name, bool& Found) override;

    // ICommandHost
    bool CommandEnabled(TCommandId Id) const override;
    TCommandState CommandState() const override;
    void SetBaseColorPicker(int Picker) override;
    void ToggleSamplerButtons() override;
    void SetColorModel(int Model) override;
    void CopyBaseSwatch() override;
    void CopyBaseColorValue() override;
    void PasteHexColorValue() override;
    void RandomBaseColor() override;
    void HistoryBack() override;
    void HistoryForward() override;
    void ShowPage(int Page) override { ShowPage(Page, false); }
    void SetColorVisionMode(int Mode) override;
    void SetToolbarVisible(bool Visible) override;
    void SwitchAdvancedMode(bool On) override { SetAdvancedMode(On); }
    void ShowHelpTopic(int Topic) override;
    bool OpenUrl(const QUrl& Url) override;
    void ShowMessage(const QString& Text) override;
    void ShowAbout() override;
    void CloseMainWindow() override { close(); }
    void RunFileCommand(TCommandId Id) override;
    void RunPaletteCommand(TCommandId Id) override;
    void ChoosePaletteViewMode(int Mode) override;
    void SetPaletteToolbarVisible(bool Visible) override;
    void OpenRecentFile(const QString& FileName) override;

    // IPaletteHost
    TAdvSwatchGrid& PaletteGrid() override;
    TKorvelSettings& PaletteSettings() override { return FSettings; }
    TUserPrompts& Prompts() override { return FPrompts; }
    void UpdatePaletteStatus() override;
    void SetPaletteViewMode(int Mode) override;
    void SetDocumentCaption(const QString& FileName) override;
    void NotifyPaletteChanged() override;
    void ReportError(const QString& Message) override;
    QWidget* DialogParent() override { return this; }
    void PrepareSwatchDialog(TfrmSwatchInfo& Dialog) override;
    void CopySwatch(TColor Color) override;

    // Ctrl+click on a palette swatch hands its colour to the Variations page (page 5) or
    // the Blender page (page 6, Shift for the end colour). Neither page exists in this
    // build: until they do, the press changes nothing.
    void SwatchCtrlPressToPage(TColor Color, bool Shift);

    // IPageHost
    THSB PageBaseHSB() const override;
    bool PageAdvancedMode() const override { return FSettings.AdvancedMode; }
    TRichPalette* PageMatching() override { return &FMatching; }
    QMenu* PageBgColorMenu() override { return popSwfBgColor; }
    QMenu* PageOutlineColorMenu() override { return popSwfOutlineColor; }
    QString PageConfigFolder() const override { return FSettings.Folders.ConfigFolder; }
    QString PageUserDataFolder() const override { return FSettings.Folders.UserDataFolder; }
    TColorVisionType PageColorVisionType() const override { return FColorVisionType; }
    QStringList& PageSettings() override { return FSettings.InspectorData; }
    void WirePageEvents(TfrmPptBase& Page) override;

protected:
    bool event(QEvent* Event) override;
    void showEvent(QShowEvent* Event) override;
    void closeEvent(QCloseEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void BuildForm();
    void BuildWorkArea();
    void BuildStatusBar();
    void WirePlayer();
    void ReadSettings();
    void WriteSettings();
    void ApplySettings();
    void CheckColorDepth();
    void ReopenAutoSave();
    void WirePaletteGrid();
    void RebuildReopenMenu();
    // Swatch auto captions by DefaultTitleFormat.
    void AutoCaption(TObject* Swatch, QString& Caption) const;
    // The broadcasts to other running copies (they arrive with the running-copies unit).
    void NotifySetPalette(int Index);
    void NotifyPaletteMode(int Mode);
    void RestoreWindowPlacement();
    void StorePlacement();
    void LayoutPropertiesPanel();
    void SaveSceneImage();
    void LogEvent(const QString& Text);

    // Panels, named as the form names them.
    TMainCommands* FCommands = nullptr;
    QWidget* dxcBaseColor = nullptr;
    TBaseColorPanel* FBaseColorPanel = nullptr;
    QWidget* dxcMatchingColors = nullptr;
    QVBoxLayout* FWorkAreaLayout = nullptr;
    QWidget* dxcProperties = nullptr;
    TCaptionBar* cbarProperties = nullptr;
    QWidget* pnlPropertiesClient = nullptr;
    TPalettePanel* dxcPalette = nullptr;
    TColorInspector* dxcColorInspector = nullptr;
    QMenu* FSwatchCopyValueMenu = nullptr;
    QLabel* FStatusPanels[2] = {nullptr, nullptr};
    TMoviePlayer* FlashPlayer = nullptr;
    QMenu* popFlashPlayer = nullptr;
    QMenu* popSwfBgColor = nullptr;
    QMenu* popSwfOutlineColor = nullptr;
    // The event list pages write to; never shown, a double click would clear it.
    QListWidget* lbEvents = nullptr;

    TStartOptions FOptions;
    TKorvelSettings FSettings;
    std::unique_ptr<TPageHost> FPages;
    TUserPrompts FPrompts;
    // Copy Swatch's picture: size, label and its format (the settings dialog changes them
    // for the run).
    TClipboardSwatch FClipboardSwatch;
    // Opened on the first help request and kept, like a help viewer beside the window.
    QPointer<THelpWindow> FHelpWindow;
    std::unique_ptr<TPaletteCommands> FPaletteCommands;
    TRichPalette FMatching;
    TColorTransfer FTransfer;
    TColor FBaseColor = kInitialBaseColor;
    std::optional<TColor> FInspectedColor;
    bool FLoading = false;
    bool FGamutCheck = true;
    THSB FCorrectedHSB {};
    TColorVisionType FColorVisionType = cvtNorm;
    bool FFirstShowDone = false;
    bool FClosed = false;
    bool FShutDown = false;
};
