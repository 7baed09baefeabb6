#include "shell/Main.h"

#include "colour/Colors.h"
#include "movie/MoviePlayer.h"
#include "palette/PaletteFiles.h"
#include "pickers/CaptionBar.h"
#include "pickers/MessageDlgEx.h"
#include "shell/BaseColorPanel.h"
#include "shell/ColorInfoPanel.h"
#include "shell/Commands.h"
#include "shell/SplashAbout.h"
#include "shell/base/AutoSave.h"
#include "shell/base/Folders.h"
#include "shell/base/PageSettings.h"
#include "shell/base/Logging.h"
#include "shell/base/SettingsStore.h"
#include "shell/base/WindowPlacement.h"
#include "workarea/SaveImage.h"
#include "workarea/Scene.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <utility>

TfrmMain::TfrmMain(const TStartOptions& Options, QWidget* Parent)
    : QMainWindow(Parent)
    , FOptions(Options)
{
    // The event log starts empty every run.
    FSettings.Folders = InitialFolders(DefaultAppFolder());
    DeleteEventLog(FSettings.Folders);
    std::srand(static_cast<unsigned>(std::time(nullptr)));

    setWindowTitle(QStringLiteral("Korvel"));
    setMinimumSize(kMinWidth, kMinHeight);
    BuildForm();

    FMatching.SetAutoCaption(true);
    FDocument.SetAutoCaption(true);
    FSettings.AdvancedMode = true;
    FSettings.PropertiesCollapsed = false;
    FSettings.PropertiesPosition = 1;

    ReadSettings();
    ClearColorInfo();
    CheckColorDepth();
    ApplySettings();
    BuildStatusBar();
    CreateUserDataFolder(FSettings.Folders);
    AddFirstRunDefaults(FSettings.InspectorData, FSettings.FirstRun, FOptions.CtrlHeld);

    FLoading = true;
    ReopenAutoSave();
    // TODO(palette panel): a palette file named on the command line is opened here with
    // OpenPaletteFile (Replace, MakeCurrent) once the palette panel provides it.
    if (!FOptions.CommandLine.FileName.isEmpty())
        LogEvent(QStringLiteral("Command line file: ") + FOptions.CommandLine.FileName);
    FLoading = false;

    FPages->SetSceneState(3);
    int start = FSettings.StartPage();
    // Until the Main Menu and Harmonies pages exist the program starts on the blank page.
    if (const TPageEntry* entry = FindPage(start); !entry || !entry->Class)
        start = pgBlank;
    ShowPage(start, true);
    RefreshScene();
    // TODO(running copies): CheckFileAssociation, the palette messages and RequestPalette
    // belong here once the running-copies unit lands.
}

TfrmMain::~TfrmMain()
{
    Shutdown();
}

void TfrmMain::BuildForm()
{
    FCommands = new TMainCommands(*this, this);
    FCommands->Install(*this);

    auto* central = new QWidget(this);
    auto* columns = new QHBoxLayout(central);
    columns->setContentsMargins(0, 0, 0, 0);
    columns->setSpacing(0);

    dxcBaseColor = new QWidget(central);
    dxcBaseColor->setObjectName(QStringLiteral("dxcBaseColor"));
    // The form's column is 196 pixels, but the panel's controls are laid out for a wider
    // column; a narrower one cuts off the value fields.
    dxcBaseColor->setFixedWidth(std::max(kBaseColorPanelWidth, TBaseColorPanel::kPanelWidth));
    {
        auto* layout = new QVBoxLayout(dxcBaseColor);
        layout->setContentsMargins(0, 0, 0, 0);
        FBaseColorPanel = new TBaseColorPanel(dxcBaseColor);
        FBaseColorPanel->setObjectName(QStringLiteral("BaseColorPanel"));
        layout->addWidget(FBaseColorPanel);
        layout->addStretch(1);
        FBaseColorPanel->OnBaseColorChanged = [this](TObject*, TColor Color, const THSB& HSB) {
            FBaseColor = Color;
            if (!FPages)
                return;
            if (TfrmPptBase* page = FPages->Page())
                page->SetBaseHSB(HSB);
            RefreshScene();
        };
        FBaseColorPanel->OnCheckGamut = [this](TObject*, const THSB& Base, THSB& Corrected) {
            TfrmPptBase* page = FPages ? FPages->Page() : nullptr;
            if (!page)
                return gsNoPage;
            return page->CheckGamut(Base, &FTransfer, Corrected) ? gsOutOfGamut : gsInGamut;
        };
        FBaseColorPanel->OnColorInfo = [this](TObject*, TColor Color) { ShowColorInfo(Color); };
        FBaseColorPanel->OnColorInfoClear = [this](TObject*) { ClearColorInfo(); };
        FBaseColorPanel->OnAddToPalette = [this](TObject*, TColor Color) { AddColorToPalette(Color); };
    }
    columns->addWidget(dxcBaseColor);

    BuildWorkArea();
    columns->addWidget(dxcMatchingColors, 1);

    dxcPalette = new QWidget(central);
    dxcPalette->setObjectName(QStringLiteral("dxcPalette"));
    dxcPalette->setFixedWidth(kPalettePanelWidth);
    {
        auto* layout = new QVBoxLayout(dxcPalette);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        // TODO(palette panel): the swatch grid and its tool bar fill the space above the
        // inspector.
        layout->addStretch(1);
        dxcColorInspector = new TColorInspector(dxcPalette);
        dxcColorInspector->setObjectName(QStringLiteral("dxcColorInspector"));
        dxcColorInspector->OnCollapsedChange
            = [this](TObject*, bool Collapsed) { FSettings.ColorInspectorCollapsed = Collapsed; };
        layout->addWidget(dxcColorInspector);
    }
    columns->addWidget(dxcPalette);

    setCentralWidget(central);

    lbEvents = new QListWidget(this);
    lbEvents->setObjectName(QStringLiteral("lbEvents"));
    lbEvents->hide();
    connect(lbEvents, &QListWidget::itemDoubleClicked, lbEvents, &QListWidget::clear);

    popSwfBgColor = new QMenu(this);
    popSwfBgColor->setObjectName(QStringLiteral("popSwfBgColor"));
    popSwfOutlineColor = new QMenu(this);
    popSwfOutlineColor->setObjectName(QStringLiteral("popSwfOutlineColor"));
}

void TfrmMain::BuildWorkArea()
{
    dxcMatchingColors = new QWidget(this);
    dxcMatchingColors->setObjectName(QStringLiteral("dxcMatchingColors"));
    dxcMatchingColors->setFocusPolicy(Qt::StrongFocus);
    FWorkAreaLayout = new QVBoxLayout(dxcMatchingColors);
    FWorkAreaLayout->setContentsMargins(0, 0, 0, 0);
    FWorkAreaLayout->setSpacing(0);

    FlashPlayer = new TMoviePlayer(dxcMatchingColors);
    FlashPlayer->setObjectName(QStringLiteral("FlashPlayer"));
    FlashPlayer->SetScaleMode(0);
    FlashPlayer->SetAlignMode(0);
    FlashPlayer->SetBackgroundColor(-1);
    FlashPlayer->SetLoop(true);
    FlashPlayer->installEventFilter(this);

    dxcProperties = new QWidget(dxcMatchingColors);
    dxcProperties->setObjectName(QStringLiteral("dxcProperties"));
    auto* props = new QVBoxLayout(dxcProperties);
    props->setContentsMargins(0, 0, 0, 0);
    props->setSpacing(0);
    cbarProperties = new TCaptionBar(dxcProperties);
    cbarProperties->setObjectName(QStringLiteral("cbarProperties"));
    cbarProperties->SetCaption(QStringLiteral("Properties"));
    cbarProperties->SetCollapseBtn(true);
    cbarProperties->OnCollapseExpand
        = [this](TObject*, TCollapseExpand Action) { SetPropertiesCollapsed(Action == ceCollapsing); };
    auto* propertiesMenu = new QMenu(this);
    FCommands->FillPropertiesMenu(*propertiesMenu);
    cbarProperties->SetButtonMenu(propertiesMenu);
    cbarProperties->SetShowMenu(true);
    props->addWidget(cbarProperties);
    pnlPropertiesClient = new QWidget(dxcProperties);
    pnlPropertiesClient->setObjectName(QStringLiteral("pnlPropertiesClient"));
    props->addWidget(pnlPropertiesClient, 1);

    FPages = std::make_unique<TPageHost>(*this, *FlashPlayer, *pnlPropertiesClient);
    WirePlayer();
    LayoutPropertiesPanel();
}

void TfrmMain::WirePlayer()
{
    popFlashPlayer = new QMenu(this);
    popFlashPlayer->setObjectName(QStringLiteral("popFlashPlayer"));
    FlashPlayer->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(FlashPlayer, &QWidget::customContextMenuRequested, this, [this](const QPoint& Pos) {
        FPages->PopulatePlayerMenu(*popFlashPlayer);
        popFlashPlayer->popup(FlashPlayer->mapToGlobal(Pos));
    });
    FlashPlayer->OnFSCommand = [this](TObject*, const QString& Command, const QString& Argument) {
        FPages->HandleCommand(Command, Argument);
    };
    FlashPlayer->OnMouseDown = [this](TObject*, Qt::MouseButton Button, Qt::KeyboardModifiers Modifiers, QPoint Pos) {
        FPages->PlayerMouseDown(Button, Modifiers, Pos);
    };
    FlashPlayer->OnDblClick = [this](TObject*) { FPages->PlayerDblClick(); };
    FlashPlayer->OnDragOver = [this](TObject*, const QMimeData* Data, QPoint Pos, int State, bool& Accept) {
        FPages->PlayerDragOver(Data, Pos, State, Accept);
    };
    FlashPlayer->OnDragDrop
        = [this](TObject*, const QMimeData* Data, QPoint Pos) { FPages->PlayerDragDrop(Data, Pos); };
    FlashPlayer->OnStartDrag = [this](TObject*) { return FPages->StartPlayerDrag(); };
    FlashPlayer->OnEndDrag = [this](TObject*, Qt::DropAction) { FPages->EndPlayerDrag(); };
    FlashPlayer->OnLoadExternalResource = [this](TObject*, const QString& Name, bool& Found) {
        // One name is the player's own and never one of ours.
        if (Name == QLatin1String("E4ED7C01D28A43418DBF2CB92CC35E56.swf")) {
            Found = false;
            return QByteArray();
        }
        return ResourceMovie(Name, Found);
    };
}

void TfrmMain::BuildStatusBar()
{
    for (int i = 0; i < 2; ++i) {
        FStatusPanels[i] = new QLabel(this);
        FStatusPanels[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
    }
    FStatusPanels[0]->setFixedWidth(dxcBaseColor->maximumWidth());
    FStatusPanels[0]->setAlignment(Qt::AlignCenter);
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    statusBar()->addWidget(FStatusPanels[0]);
    statusBar()->addWidget(FStatusPanels[1], 1);
}

QString TfrmMain::StatusText(int Panel) const
{
    if (Panel < 0 || Panel > 1 || !FStatusPanels[Panel])
        return {};
    return FStatusPanels[Panel]->text();
}

void TfrmMain::SetStatusText(int Panel, const QString& Text)
{
    if (Panel >= 0 && Panel <= 1 && FStatusPanels[Panel])
        FStatusPanels[Panel]->setText(Text);
}

void TfrmMain::ReportError(const QString& Message)
{
    SetStatusText(1, Message);
    QApplication::beep();
}

void TfrmMain::ReadSettings()
{
    const std::unique_ptr<QSettings> store = OpenKorvelSettings();
    FSettings.ReadSettings(*store);
    FBaseColor = FSettings.BaseColor;
}

void TfrmMain::ApplySettings()
{
    FCommands->SetToolBarsVisible(FSettings.ToolbarVisible);
    FCommands->UpdateStates();
    dxcColorInspector->SetCollapsed(FSettings.ColorInspectorCollapsed);
    FBaseColorPanel->SetColorModel(FSettings.ColorModel);
    FBaseColorPanel->SetBaseColorPicker(FSettings.BaseColorPicker);
    FBaseColorPanel->SetSamplerPreset(FSettings.ColorSamplerPreset);
    FBaseColorPanel->SetBaseColor(FSettings.BaseColor, false);
    FBaseColor = FBaseColorPanel->BaseColor();
    FBaseColorPanel->AddBaseColorToHistory();
    SetPropertiesPosition(FSettings.PropertiesPosition);
    LayoutPropertiesPanel();
}

void TfrmMain::WriteSettings()
{
    FSettings.BaseColor = FBaseColor;
    FSettings.ColorModel = FBaseColorPanel->ColorModel();
    FSettings.BaseColorPicker = FBaseColorPanel->BaseColorPicker();
    FSettings.ColorSamplerPreset = FBaseColorPanel->SamplerPreset();
    FSettings.DisplayMode = FPages->DisplayMode();
    StorePlacement();
    const std::unique_ptr<QSettings> store = OpenKorvelSettings();
    FSettings.WriteSettings(*store);
    store->sync();
}

void TfrmMain::CheckColorDepth()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const int depth = screen->depth();
    if (depth <= 8) {
        QMessageBox::critical(nullptr, QStringLiteral("Korvel"),
            QStringLiteral("This program requires that the display \r\nis set to true color (24 bits or better)."));
        std::exit(1);
    }
    if (depth <= 16 && FSettings.WarnColorDepth) {
        bool dontShow = false;
        TfrmMessageDlgEx::Execute(this,
            QStringLiteral("Your display is set to 'High Color' (16 bits). <br>It is recommendet that you adjust your "
                           "display setting <br>to 'True Color' (24 bits or more)."),
            0, &dontShow);
        if (dontShow)
            FSettings.WarnColorDepth = false;
    }
}

void TfrmMain::ReopenAutoSave()
{
    if (!FSettings.SavePaletteOnExit)
        return;
    const TAutoSaveRead read = ReadAutoSave(FDocument, FSettings.Folders.AutoSaveFolder);
    if (!read.FileName.isEmpty())
        LogEvent(QStringLiteral("Reopened ") + read.FileName);
    if (FDocument.Count() > 0 && FDocument.ItemIndex() < 0)
        FDocument.SetItemIndex(0);
    // TODO(palette panel): UpdatePaletteStatus.
}

void TfrmMain::showEvent(QShowEvent* Event)
{
    QMainWindow::showEvent(Event);
    if (FFirstShowDone)
        return;
    FFirstShowDone = true;
    RestoreWindowPlacement();
    dxcMatchingColors->setFocus();
}

void TfrmMain::RestoreWindowPlacement()
{
    QList<QRect> screens;
    const QList<QScreen*> all = QGuiApplication::screens();
    if (QScreen* primary = QGuiApplication::primaryScreen())
        screens.append(primary->availableGeometry());
    for (QScreen* screen : all)
        if (screen != QGuiApplication::primaryScreen())
            screens.append(screen->availableGeometry());
    const TPlacementDecision decision = ::RestoreWindowPlacement(FSettings.MainWindow, screens, FOptions.CtrlHeld);
    if (decision.Restored) {
        setGeometry(decision.Geometry);
        if (decision.Maximized)
            setWindowState(windowState() | Qt::WindowMaximized);
    } else {
        setGeometry(decision.Geometry);
        setWindowState(windowState() | Qt::WindowMaximized);
    }
}

void TfrmMain::StorePlacement()
{
    TWindowPlacement& placement = FSettings.MainWindow;
    const QRect normal = isMaximized() || normalGeometry().isValid() ? normalGeometry() : geometry();
    const QRect rect = normal.isValid() ? normal : geometry();
    placement.Complete = true;
    placement.Maximized = isMaximized();
    placement.Width = rect.width();
    placement.Height = rect.height();
    placement.Left = rect.left();
    placement.Top = rect.top();
    placement.Monitor = 0;
    const QList<QScreen*> screens = QGuiApplication::screens();
    QScreen* primary = QGuiApplication::primaryScreen();
    QScreen* mine = screen();
    if (mine && mine != primary) {
        // The primary screen is monitor 0, the others follow in the system's order.
        int index = 1;
        for (QScreen* s : screens) {
            if (s == primary)
                continue;
            if (s == mine) {
                placement.Monitor = index;
                break;
            }
            ++index;
        }
    }
}

void TfrmMain::closeEvent(QCloseEvent* Event)
{
    // Closing never asks: unsaved changes survive through the autosave.
    if (!FClosed) {
        FClosed = true;
        if (FSettings.SavePaletteOnExit) {
            const TPaletteFileResult result = WriteAutoSave(FDocument, FSettings.Folders.AutoSaveFolder);
            if (!result.Ok())
                LogEvent(QStringLiteral("Autosave failed"));
        }
    }
    Event->accept();
}

void TfrmMain::Shutdown()
{
    if (FShutDown)
        return;
    if (!FClosed)
        close();
    FShutDown = true;
    FPages->ClosePage();
    // The window's vision simulation is never carried into the next run.
    RemoveName(FSettings.InspectorData, QStringLiteral("ColorVisionType"));
    WriteSettings();
}

bool TfrmMain::event(QEvent* Event)
{
    if (Event->type() == QEvent::StatusTip) {
        const QString tip = static_cast<QStatusTipEvent*>(Event)->tip();
        SetStatusText(1, tip.isEmpty() ? QString() : QStringLiteral(" ") + tip);
        return true;
    }
    return QMainWindow::event(Event);
}

bool TfrmMain::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == FlashPlayer && Event->type() == QEvent::Resize)
        FPages->WorkAreaResized();
    return QMainWindow::eventFilter(Watched, Event);
}

void TfrmMain::SetBaseColor(TColor Color)
{
    // The panel's wheel holds the colour; its change event does the rest.
    FBaseColorPanel->SetBaseColor(Color, false);
}

THSB TfrmMain::PageBaseHSB() const
{
    return ColorToHSB(FBaseColor);
}

void TfrmMain::ShowColorInfo(TColor Color)
{
    FInspectedColor = Color;
    dxcColorInspector->ShowColorInfo(Color);
}

void TfrmMain::ClearColorInfo()
{
    FInspectedColor.reset();
    if (dxcColorInspector)
        dxcColorInspector->ClearColorInfo();
}

void TfrmMain::SetPropertiesVisible(bool Visible)
{
    dxcProperties->setVisible(Visible);
}

void TfrmMain::SetPageButton(const char* ButtonName)
{
    // The command set presses the button of the page DisplayMode names (none for a lesson
    // movie); the name only documents which one that is.
    Q_UNUSED(ButtonName);
    if (FCommands)
        FCommands->UpdateStates();
}

void TfrmMain::RefreshGamut()
{
    FBaseColorPanel->SetGamutCheck(FGamutCheck);
    FBaseColorPanel->UpdateGamutWarning();
}

void TfrmMain::RunMainMenuCommand(int Number)
{
    // The main menu's links run the actions of the same captions.
    static constexpr std::pair<int, TCommandId> kLinks[] = {
        {2, TCommandId::atnViewStdWheel},
        {3, TCommandId::atnViewAdvWheel},
        {4, TCommandId::atnViewFormulas},
        {5, TCommandId::atnViewVariations},
        {6, TCommandId::atnViewColorBlender},
        {7, TCommandId::atnViewTestPatterns},
        {8, TCommandId::atnColorCombinations},
        {9, TCommandId::atnFileImportFromImg},
        {12, TCommandId::atnHelpCheckUpdate},
        {13, TCommandId::atnHelpKvWeblink},
        {14, TCommandId::atnEditSettings},
    };
    for (const auto& [number, id] : kLinks)
        if (number == Number) {
            FCommands->Run(id);
            return;
        }
    switch (Number) {
    case 10: // simple layout
        FBaseColorPanel->SetColorModel(0);
        FGamutCheck = false;
        FSettings.InspectorData.clear();
        SetPropertiesCollapsed(false);
        SetAdvancedMode(false);
        // TODO(palette panel): palette view mode 0 and its tool bar hidden.
        SetColorVisionMode(0);
        SetToolbarVisible(true);
        break;
    case 11: // advanced layout
        FGamutCheck = true;
        SetPropertiesCollapsed(false);
        SetAdvancedMode(true);
        // TODO(palette panel): palette tool bar shown.
        break;
    case 15:
        FSettings.ShowMainMenu = !FSettings.ShowMainMenu;
        if (FPages->DisplayMode() == pgMainMenu)
            RefreshScene();
        return;
    default: return;
    }
    RefreshGamut();
    FCommands->UpdateStates();
}

void TfrmMain::AddColorToPalette(TColor Color)
{
    TRichPalette* palette = FDocument.Current();
    if (!palette)
        palette = FDocument.Add(QString(), true);
    palette->Add()->SetColor(Color);
}

void TfrmMain::FocusWorkArea()
{
    dxcMatchingColors->setFocus();
}

QByteArray TfrmMain::ResourceMovie(const QString& Name, bool& Found)
{
    QFile file(QStringLiteral(":/fres/") + Name);
    Found = file.open(QIODevice::ReadOnly);
    return Found ? file.readAll() : QByteArray();
}

void TfrmMain::SetAdvancedMode(bool Value)
{
    FSettings.AdvancedMode = Value;
    if (TfrmPptBase* page = FPages->Page())
        page->SetAdvancedMode(Value);
    LayoutPropertiesPanel();
}

void TfrmMain::SetPropertiesPosition(int Value)
{
    FSettings.PropertiesPosition = Value == 0 ? 0 : 1;
    FWorkAreaLayout->removeWidget(dxcProperties);
    FWorkAreaLayout->removeWidget(FlashPlayer);
    if (FSettings.PropertiesPosition == 0) {
        FWorkAreaLayout->addWidget(dxcProperties);
        FWorkAreaLayout->addWidget(FlashPlayer, 1);
    } else {
        FWorkAreaLayout->addWidget(FlashPlayer, 1);
        FWorkAreaLayout->addWidget(dxcProperties);
    }
}

void TfrmMain::SetPropertiesCollapsed(bool Value)
{
    FSettings.PropertiesCollapsed = Value;
    LayoutPropertiesPanel();
}

void TfrmMain::LayoutPropertiesPanel()
{
    cbarProperties->SetCollapsed(FSettings.PropertiesCollapsed);
    pnlPropertiesClient->setVisible(!FSettings.PropertiesCollapsed);
    dxcProperties->setFixedHeight(PropertiesPanelHeight(
        cbarProperties->sizeHint().height(), FSettings.AdvancedMode, FSettings.PropertiesCollapsed));
}

void TfrmMain::WirePageEvents(TfrmPptBase& Page)
{
    Page.OnChange = [this](TObject*) {
        RefreshGamut();
        RefreshScene();
    };
    Page.OnAdvancedModeToggle = [this](TObject*, bool Value) { SetAdvancedMode(Value); };
    Page.OnSaveImage = [this](TObject*) { SaveSceneImage(); };
    Page.OnAddToPalette = [this](TObject*, const QString& ClipName, TRichPalette* Source, int Mode) {
        TfrmPptBase* page = FPages->Page();
        if (!page)
            return;
        TRichPalette* palette = FDocument.Current();
        if (!palette)
            palette = FDocument.Add(QString(), true);
        palette->BeginUpdate();
        AddPageColorsToPalette(*page, ClipName, Source, Mode, *palette);
        palette->EndUpdate();
    };
    Page.OnColorInfo = [this](TObject*, TColor& Color) { ShowColorInfo(Color); };
    Page.OnColorInfoClear = [this](TObject*) { ClearColorInfo(); };
    Page.OnGetBaseColor = [this](TObject*, TColor& Color) { Color = FBaseColor; };
    Page.OnGetCurrentPalette = [this](TObject*, TRichPalette*& Palette) { Palette = FDocument.Current(); };
    Page.OnSetBaseColor = [this](TObject*, TColor Color, bool) { SetBaseColor(Color); };
    Page.OnPlayMovie = [this](TObject*, const QString& Name, const QString& Arg1, const QString& Arg2) {
        FPages->PlayMovie(Name, Arg1, Arg2);
    };
    Page.OnLogEvent = [this](TObject*, const QString& Text) { LogEvent(Text); };
    // TODO(base colour, commands): OnFillColorValueMenu, OnCopySwatch and OnEyeDropTool
    // go to the units that own the value menu, the clipboard swatch and the eyedropper.
}

void TfrmMain::SaveSceneImage()
{
    TfrmPptBase* page = FPages->Page();
    if (!page)
        return;
    QFileDialog dialog(this);
    ConfigureSaveImageDialog(dialog);
    dialog.setDirectory(FSettings.Folders.ExportFolder);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    try {
        SaveImage(*page, *FlashPlayer, dialog.selectedFiles().constFirst(), &FTransfer, &FMatching);
    } catch (const ESceneWriteError& error) {
        QMessageBox::warning(this, QStringLiteral("Korvel"), QString::fromUtf8(error.what()));
    }
}

void TfrmMain::LogEvent(const QString& Text)
{
    lbEvents->addItem(Text);
    qCDebug(lcKorvelShell).noquote() << Text;
}

bool TfrmMain::CommandEnabled(TCommandId Id) const
{
    // TODO(output, help): the clipboard swatch picture and the help window arrive with
    // later units.
    return Id != TCommandId::atnBaseCopySwatch && Id != TCommandId::atnHelpKorvelHelp;
}

TCommandState TfrmMain::CommandState() const
{
    TCommandState state;
    state.DisplayMode = FPages ? FPages->DisplayMode() : pgBlank;
    state.BaseColorPicker = FBaseColorPanel ? FBaseColorPanel->BaseColorPicker() : FSettings.BaseColorPicker;
    state.ColorModel = FBaseColorPanel ? FBaseColorPanel->ColorModel() : FSettings.ColorModel;
    state.ColorVision = static_cast<int>(FColorVisionType);
    state.ToolbarVisible = FSettings.ToolbarVisible;
    state.AdvancedMode = FSettings.AdvancedMode;
    state.PropertiesPosition = FSettings.PropertiesPosition;
    return state;
}

void TfrmMain::SetBaseColorPicker(int Picker)
{
    FBaseColorPanel->SetBaseColorPicker(Picker);
}

void TfrmMain::ToggleSamplerButtons()
{
    FBaseColorPanel->SetSamplerButtonsVisible(!FBaseColorPanel->SamplerButtonsVisible());
}

void TfrmMain::SetColorModel(int Model)
{
    FBaseColorPanel->SetColorModel(Model);
}

void TfrmMain::CopyBaseSwatch()
{
    // TODO(output): the clipboard swatch picture arrives with Copy Special.
    LogEvent(QStringLiteral("Copy Swatch is not available yet"));
}

void TfrmMain::CopyBaseColorValue()
{
    FBaseColorPanel->CopyBaseColorValue();
}

void TfrmMain::PasteHexColorValue()
{
    FBaseColorPanel->PasteHexColorValue();
}

void TfrmMain::RandomBaseColor()
{
    FBaseColorPanel->RandomColor();
}

void TfrmMain::HistoryBack()
{
    FBaseColorPanel->HistoryBack();
}

void TfrmMain::HistoryForward()
{
    FBaseColorPanel->HistoryForward();
}

void TfrmMain::SetColorVisionMode(int Mode)
{
    FColorVisionType = static_cast<TColorVisionType>(std::clamp(Mode, 0, 3));
    FBaseColorPanel->SetColorVisionType(FColorVisionType);
    if (TfrmPptBase* page = FPages->Page())
        page->SetColorVisionType(FColorVisionType);
    RefreshScene();
}

void TfrmMain::SetToolbarVisible(bool Visible)
{
    FSettings.ToolbarVisible = Visible;
    FCommands->SetToolBarsVisible(Visible);
}

void TfrmMain::ShowHelpTopic(int Topic)
{
    // TODO(help): the help window shows topics by number once it lands.
    LogEvent(QStringLiteral("Help topic %1").arg(Topic));
}

bool TfrmMain::OpenUrl(const QUrl& Url)
{
    return QDesktopServices::openUrl(Url);
}

void TfrmMain::ShowMessage(const QString& Text)
{
    QMessageBox::information(this, QStringLiteral("Korvel"), Text);
}

void TfrmMain::ShowAbout()
{
    TfrmSplashAbout::Execute(this);
}
