#include "shell/Main.h"

#include "colour/Colors.h"
#include "movie/MoviePlayer.h"
#include "output/SwatchInfo.h"
#include "palette/PaletteFiles.h"
#include "pickers/CaptionBar.h"
#include "pickers/MessageDlgEx.h"
#include "shell/AdvSwatchGrid.h"
#include "shell/BaseColorPanel.h"
#include "shell/ColorInfoPanel.h"
#include "shell/ColorValueMenu.h"
#include "shell/Commands.h"
#include "shell/PalettePanel.h"
#include "shell/SplashAbout.h"
#include "shell/HelpWindow.h"
#include "shell/SwatchClipboard.h"
#include "shell/base/AutoSave.h"
#include "shell/base/Folders.h"
#include "shell/base/Logging.h"
#include "shell/base/PageSettings.h"
#include "shell/base/SettingsStore.h"
#include "shell/base/WindowPlacement.h"
#include "workarea/SaveImage.h"
#include "workarea/Scene.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <utility>

TfrmMain::TfrmMain(const TStartOptions& Options, QWidget* Parent)
    : QMainWindow(Parent)
    , FOptions(Options)
    , FPrompts(Options.Prompts)
{
    FPrompts.FillInteractive(this);
    // The event log starts empty every run.
    FSettings.Folders = InitialFolders(DefaultAppFolder());
    DeleteEventLog(FSettings.Folders);
    std::srand(static_cast<unsigned>(std::time(nullptr)));

    setWindowTitle(QStringLiteral("Korvel"));
    setMinimumSize(kMinWidth, kMinHeight);
    BuildForm();

    FMatching.SetAutoCaption(true);
    PaletteGrid().PaletteList().SetAutoCaption(true);
    if (TRichPalette* palette = PaletteGrid().CurrentPalette())
        palette->SetAutoCaption(true);
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
    if (!FOptions.CommandLine.FileName.isEmpty()) {
        LogEvent(QStringLiteral("Command line file: ") + FOptions.CommandLine.FileName);
        OpenPaletteFile(FOptions.CommandLine.FileName, true, true);
    }
    FLoading = false;

    FPages->SetSceneState(3);
    int start = FSettings.StartPage();
    // A start page without a class yet (the Main Menu) gives way to Harmonies, the first
    // page that shows the base colour.
    if (const TPageEntry* entry = FindPage(start); !entry || !entry->Class) {
        const TPageEntry* harmonies = FindPage(pgHarmonies);
        start = harmonies && harmonies->Class ? pgHarmonies : pgBlank;
    }
    ShowPage(start, true);
    RefreshScene();
    // TODO(running copies): CheckFileAssociation, the palette messages and RequestPalette
    // belong here once the running-copies unit lands.
}

TfrmMain::~TfrmMain()
{
    Shutdown();
    // The panels go before the window's members do: nothing the grid reports while it is
    // taken down may reach them.
    TAdvSwatchGrid& grid = PaletteGrid();
    grid.removeEventFilter(this);
    grid.OnAutoCaption = nullptr;
    grid.OnPaletteChange = nullptr;
    grid.OnColorChange = nullptr;
    grid.OnPaletteListChange = nullptr;
    grid.OnColorRollover = nullptr;
    grid.OnMouseLeave = nullptr;
    grid.OnSwatchCtrlPress = nullptr;
    grid.OnSwatchAltPress = nullptr;
    grid.OnSwatchDblClick = nullptr;
    grid.OnContextPopup = nullptr;
    dxcPalette->cbCurrentPalette->disconnect(this);
}

void TfrmMain::BuildForm()
{
    FCommands = new TMainCommands(*this, this);
    FCommands->Install(*this);
    FSettings.RecentFiles.OnChange = [this](TObject*) { RebuildReopenMenu(); };

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

    dxcPalette = new TPalettePanel(central);
    dxcColorInspector = dxcPalette->dxcColorInspector;
    dxcColorInspector->OnCollapsedChange
        = [this](TObject*, bool Collapsed) { FSettings.ColorInspectorCollapsed = Collapsed; };
    columns->addWidget(dxcPalette);
    FPaletteCommands = std::make_unique<TPaletteCommands>(*this);
    FCommands->FillPaletteMenu(*dxcPalette->popColorPalette);
    FSwatchCopyValueMenu = FCommands->FillSwatchMenu(*dxcPalette->popSwatch);
    WirePaletteGrid();

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
    TAdvSwatchGrid& grid = PaletteGrid();
    grid.SetShowHint(FSettings.ShowHint);
    grid.SetColorValueFormat(static_cast<TColorValueFmt>(std::clamp(FSettings.ColorValueFormat, 0, int(cfCMYK))));
    SetPaletteToolbarVisible(FSettings.ShowPaletteToolbar);
    SetPaletteViewMode(FSettings.PaletteMode);
    // Reading the settings changes nothing the user has to save.
    grid.SetModified(false);
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
    if (FSettings.SavePaletteOnExit && FPaletteCommands->ReloadAutoSave())
        LogEvent(QStringLiteral("Reopened the autosaved palettes"));
    else
        UpdatePaletteStatus();
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
            const TPaletteFileResult result = FPaletteCommands->AutoSave();
            if (!result.Ok())
                LogEvent(QStringLiteral("Autosave failed: ") + result.Detail);
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
    // Delete on the palette grid deletes its selected swatch; the grid still gets the key.
    // Only there: a Delete typed into a value field is the field's.
    if (dxcPalette && Watched == dxcPalette->grdPalette && Event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(Event);
        if (key->key() == Qt::Key_Delete && !(key->modifiers() & ~Qt::KeypadModifier)
            && PaletteGrid().SelectedIndex() >= 0)
            FPaletteCommands->DeleteSwatch(PaletteGrid().SelectedIndex());
    }
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
        SetPaletteViewMode(0);
        SetPaletteToolbarVisible(false);
        SetColorVisionMode(0);
        SetToolbarVisible(true);
        break;
    case 11: // advanced layout
        FGamutCheck = true;
        SetPropertiesCollapsed(false);
        SetAdvancedMode(true);
        SetPaletteToolbarVisible(true);
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
    PaletteGrid().AddColor(Color, true);
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
    Page.OnAddToPalette = [this](TObject* Sender, const QString& ClipName, TRichPalette* Source, int Mode) {
        auto* page = dynamic_cast<TfrmPptBase*>(Sender);
        if (!page)
            page = FPages->Page();
        if (page)
            FPaletteCommands->AddPageColors(*page, ClipName, Source, Mode);
    };
    Page.OnColorInfo = [this](TObject*, TColor& Color) { ShowColorInfo(Color); };
    Page.OnColorInfoClear = [this](TObject*) { ClearColorInfo(); };
    Page.OnGetBaseColor = [this](TObject*, TColor& Color) { Color = FBaseColor; };
    Page.OnGetCurrentPalette = [this](TObject*, TRichPalette*& Palette) { Palette = PaletteGrid().CurrentPalette(); };
    Page.OnSetBaseColor
        = [this](TObject*, TColor Color, bool AddToHistory) { FBaseColorPanel->SetBaseColor(Color, AddToHistory); };
    Page.OnPlayMovie = [this](TObject*, const QString& Name, const QString& Arg1, const QString& Arg2) {
        FPages->PlayMovie(Name, Arg1, Arg2);
    };
    Page.OnLogEvent = [this](TObject*, const QString& Text) { LogEvent(Text); };
    Page.OnFillColorValueMenu = [](TObject*, QMenu* Menu, TColor Color) { FillColorValueMenu(Menu, Color); };
    Page.OnCopySwatch = [this](TObject*, TColor Color) { CopySwatch(Color); };
    // TODO(eyedropper): OnEyeDropTool goes to the screen eyedropper once it exists.
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
    if (FPaletteCommands)
        if (const std::optional<bool> enabled = FPaletteCommands->CommandEnabled(Id))
            return *enabled;
    return true;
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
    state.PaletteMode = dxcPalette ? dxcPalette->ViewMode() : FSettings.PaletteMode;
    state.PaletteToolbarVisible = FSettings.ShowPaletteToolbar;
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
    CopySwatchToClipboard(FBaseColor, FClipboardSwatch);
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
    PaletteGrid().SetColorVisionType(FColorVisionType);
    if (TfrmPptBase* page = FPages->Page())
        page->SetColorVisionType(FColorVisionType);
    RefreshScene();
}

void TfrmMain::SetToolbarVisible(bool Visible)
{
    FSettings.ToolbarVisible = Visible;
    FCommands->SetToolBarsVisible(Visible);
}

void TfrmMain::OpenFileFromOutside(const QString& FileName)
{
    if (!FileName.isEmpty())
        FPaletteCommands->FileReopen(FileName);
}

void TfrmMain::ShowHelpTopic(int Topic)
{
    if (!FHelpWindow)
        FHelpWindow = new THelpWindow(this);
    FHelpWindow->ShowTopic(Topic);
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

// ---------------------------------------------------------------------------------
// The palette document

TAdvSwatchGrid& TfrmMain::PaletteGrid()
{
    return *dxcPalette->grdPalette;
}

TRichPaletteList& TfrmMain::Document()
{
    return PaletteGrid().PaletteList();
}

TRichPalette* TfrmMain::CurrentPalette()
{
    return PaletteGrid().CurrentPalette();
}

void TfrmMain::WirePaletteGrid()
{
    TAdvSwatchGrid& grid = PaletteGrid();
    grid.installEventFilter(this);
    grid.OnAutoCaption = [this](TObject* Sender, QString& Caption) { AutoCaption(Sender, Caption); };
    auto showsCombinations = [this] { return FPages && FPages->DisplayMode() == pgCombinations; };
    grid.OnPaletteChange = [this, showsCombinations](TObject*) {
        if (FLoading)
            return;
        UpdatePaletteStatus();
        NotifyPaletteChanged();
        if (showsCombinations())
            RefreshScene();
    };
    grid.OnColorChange = [this, showsCombinations](TObject*) {
        if (PaletteGrid().IsUpdating())
            return;
        UpdatePaletteStatus();
        if (!FLoading)
            NotifyPaletteChanged();
        if (showsCombinations())
            RefreshScene();
    };
    grid.OnPaletteListChange = [this, showsCombinations](TObject*) {
        if (!FLoading) {
            UpdatePaletteStatus();
            if (showsCombinations())
                RefreshScene();
        }
        // Every palette is shown in the view it was last shown in.
        if (const TRichPalette* current = PaletteGrid().CurrentPalette())
            SetPaletteViewMode(current->DisplayMode());
    };
    grid.OnColorRollover = [this](TObject*, TColor Color, bool OverSwatch) {
        if (OverSwatch)
            ShowColorInfo(Color);
        else
            ClearColorInfo();
    };
    grid.OnMouseLeave = [this](TObject*, int, int) { ClearColorInfo(); };
    grid.OnSwatchCtrlPress = [this](TObject*, int Index, bool Shift) {
        if (const TRichColor* swatch = PaletteGrid().Swatch(Index))
            SwatchCtrlPressToPage(swatch->Color(), Shift);
    };
    grid.OnSwatchAltPress = [this](TObject*, TColor Color) { FBaseColorPanel->SetBaseColor(Color, true); };
    grid.OnSwatchDblClick = [this](TObject*, int Index) { FPaletteCommands->EditSwatchInfo(Index, false); };
    grid.OnContextPopup = [this](TObject*, QPoint ScreenPos) {
        FCommands->UpdateStates();
        const TRichColor* swatch = PaletteGrid().Swatch(PaletteGrid().PopupSwatchIndex());
        FSwatchCopyValueMenu->setEnabled(swatch != nullptr);
        if (swatch)
            FillColorValueMenu(FSwatchCopyValueMenu, swatch->Color());
        else
            FSwatchCopyValueMenu->clear();
        dxcPalette->popSwatch->popup(ScreenPos);
    };

    connect(dxcPalette->cbCurrentPalette, &QComboBox::activated, this, [this](int Index) {
        PaletteGrid().SelectPalette(Index);
        if (!FLoading)
            NotifySetPalette(Index);
    });
    connect(dxcPalette->btnPaletteEdit, &QToolButton::clicked, this,
        [this] { FCommands->Run(TCommandId::atnPaletteInfo); });
    connect(
        dxcPalette->btnPaletteAdd, &QToolButton::clicked, this, [this] { FCommands->Run(TCommandId::atnPaletteAdd); });
    // The tool button also works with a single palette, which it then resets.
    connect(dxcPalette->btnPaletteDel, &QToolButton::clicked, this, [this] {
        FPaletteCommands->DeletePalette();
        FCommands->UpdateStates();
    });
    connect(dxcPalette->btnPaletteList, &QToolButton::clicked, this,
        [this] { FCommands->Run(TCommandId::atnPaletteList); });
    connect(dxcPalette->btnPaletteCompactList, &QToolButton::clicked, this,
        [this] { FCommands->Run(TCommandId::atnPaletteCompactList); });
    connect(
        dxcPalette->btnPaletteThn, &QToolButton::clicked, this, [this] { FCommands->Run(TCommandId::atnPaletteThn); });
    connect(dxcPalette->btnRemoveDuplicates, &QToolButton::clicked, this,
        [this] { FCommands->Run(TCommandId::atnPaletteRemoveDupes); });
    connect(dxcPalette->btnClearPalette, &QToolButton::clicked, this,
        [this] { FCommands->Run(TCommandId::atnPaletteClear); });
    // TODO(eyedropper): the screen eyedropper (target 3, a colour for the palette) arrives
    // with its own unit; until then the button stays off.
    dxcPalette->btnPaletteColorPicker->setEnabled(false);
}

void TfrmMain::AutoCaption(TObject* Swatch, QString& Caption) const
{
    const auto* swatch = dynamic_cast<const TRichColor*>(Swatch);
    if (!swatch)
        return;
    switch (FSettings.DefaultTitleFormat) {
    case 1: Caption = ColorToText(cfHex, 1, swatch->Color()); break;
    case 2: Caption = ColorToText(cfRGB, 1, swatch->Color()); break;
    default: Caption = QStringLiteral("Color %1").arg(swatch->Index + 1); break;
    }
}

void TfrmMain::UpdatePaletteStatus()
{
    dxcPalette->UpdateStatus();
    // Shortcuts of disabled actions do not fire: the marks follow the document at once.
    if (FCommands)
        FCommands->UpdateStates();
}

void TfrmMain::SetPaletteViewMode(int Mode)
{
    Mode = std::clamp(Mode, 0, 2);
    TAdvSwatchGrid& grid = PaletteGrid();
    const int focused = grid.FocusedIndex();
    dxcPalette->ApplyViewMode(Mode);
    FSettings.PaletteMode = Mode;
    // The palette keeps the view it was shown in.
    if (TRichPalette* palette = grid.CurrentPalette())
        palette->SetDisplayMode(Mode);
    grid.RecountRows();
    grid.Invalidate();
    if (focused >= 0 && focused < grid.Count())
        grid.FocusSwatch(focused);
    if (FCommands)
        FCommands->UpdateStates();
}

void TfrmMain::ChoosePaletteViewMode(int Mode)
{
    SetPaletteViewMode(Mode);
    if (!FLoading)
        NotifyPaletteMode(Mode);
}

void TfrmMain::SetPaletteToolbarVisible(bool Visible)
{
    FSettings.ShowPaletteToolbar = Visible;
    dxcPalette->SetToolbarVisible(Visible);
}

void TfrmMain::SetDocumentCaption(const QString& FileName)
{
    setWindowTitle(FileName.isEmpty() ? QStringLiteral("Korvel") : QStringLiteral("Korvel - ") + FileName);
}

void TfrmMain::NotifyPaletteChanged()
{
    // TODO(running copies): broadcast to the other copies once the running-copies unit
    // lands; the log line is the one it writes.
    qCDebug(lcKorvelShell).noquote() << "NotifyPaletteChanged";
}

void TfrmMain::NotifySetPalette(int Index)
{
    qCDebug(lcKorvelShell).noquote() << "NotifySetPalette" << Index;
}

void TfrmMain::NotifyPaletteMode(int Mode)
{
    qCDebug(lcKorvelShell).noquote() << "NotifyPaletteMode" << Mode;
}

void TfrmMain::PrepareSwatchDialog(TfrmSwatchInfo& Dialog)
{
    Dialog.SetSettingsKey(QStringLiteral("SwatchInfo"));
    Dialog.OpenSettings = [] { return OpenKorvelSettings(); };
    Dialog.OnHelp = [this](int Topic) { ShowHelpTopic(Topic); };
    Dialog.SetShowHints(FSettings.ShowHint);
    // TODO(eyedropper): OnPickColor runs the screen eyedropper (target 0) once it exists;
    // without it the dialog's eyedropper button does nothing.
}

void TfrmMain::CopySwatch(TColor Color)
{
    CopySwatchToClipboard(Color, FClipboardSwatch);
}

void TfrmMain::SwatchCtrlPressToPage(TColor Color, bool Shift)
{
    // TODO(Variations, Blender): page 5 appends the colour to its own list and rebuilds
    // its scene at the player's size; page 6 takes it as start colour (end colour with
    // Shift). Both pages are still to be written; on every other page Ctrl+click does
    // nothing, as it should.
    const int page = FPages->DisplayMode();
    if (page == pgVariations || page == pgColorBlender)
        LogEvent(QStringLiteral("Swatch %1 for page %2%3")
                     .arg(ColorToText(cfHex, 1, Color))
                     .arg(page)
                     .arg(Shift ? QStringLiteral(" (end)") : QString()));
}

void TfrmMain::RebuildReopenMenu()
{
    FCommands->SetRecentFiles(FSettings.RecentFiles.Files());
}

void TfrmMain::OpenRecentFile(const QString& FileName)
{
    FPaletteCommands->FileReopen(FileName);
}

void TfrmMain::RunFileCommand(TCommandId Id)
{
    TPaletteCommands& c = *FPaletteCommands;
    switch (Id) {
    case TCommandId::atnFileNew: c.FileNew(); break;
    case TCommandId::atnFileNewPalette: c.AddPalette(); break;
    case TCommandId::atnFileOpen: c.FileOpen(); break;
    case TCommandId::atnFileRevert: c.FileRevert(); break;
    case TCommandId::atnFileImport: c.FileImport(); break;
    case TCommandId::atnFileSave: c.FileSave(); break;
    case TCommandId::atnFileSaveAs: c.FileSaveAs(); break;
    case TCommandId::atnFileSaveCurrentPalette: c.FileSaveCurrentPaletteAs(); break;
    default: break;
    }
    UpdatePaletteStatus();
}

void TfrmMain::RunPaletteCommand(TCommandId Id)
{
    TPaletteCommands& c = *FPaletteCommands;
    TAdvSwatchGrid& grid = PaletteGrid();
    switch (Id) {
    case TCommandId::atnPaletteAdd: c.AddPalette(); break;
    case TCommandId::atnDuplicatePalette: c.DuplicatePalette(); break;
    case TCommandId::atnPaletteDelete: c.DeletePalette(); break;
    case TCommandId::atnPaletteInfo: c.EditPaletteInfo(); break;
    case TCommandId::atnPalettePrev: c.PreviousPalette(); break;
    case TCommandId::atnPaletteNext: c.NextPalette(); break;
    case TCommandId::atnPaletteSortHue: c.SortPalette(0); break;
    case TCommandId::atnPaletteSortSat: c.SortPalette(1); break;
    case TCommandId::atnPaletteSortBrt: c.SortPalette(2); break;
    case TCommandId::atnPaletteSnapToWebsafe: c.SnapToWebSafe(); break;
    case TCommandId::atnPaletteSnapToWebSmart: c.SnapToWebSmart(); break;
    case TCommandId::atnPaletteRemoveDupes: c.RemoveDuplicates(); break;
    case TCommandId::atnPaletteRemoveSimilar: c.RemoveSimilar(); break;
    case TCommandId::atnPaletteClear: c.ClearPalette(); break;
    case TCommandId::atnPaletteClearFromCurrent: c.ClearFromCurrentColor(); break;
    case TCommandId::atnPaletteDeleteSwatch: c.DeleteSwatch(grid.PopupSwatchIndex()); break;
    case TCommandId::atnPaletteCopySwatch: c.CopySwatch(grid.PopupSwatchIndex()); break;
    case TCommandId::atnPaletteSwatchInfo: c.EditSwatchInfo(grid.PopupSwatchIndex(), true); break;
    default: break;
    }
    UpdatePaletteStatus();
}
