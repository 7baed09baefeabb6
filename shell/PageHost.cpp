#include "shell/PageHost.h"

#include "movie/MoviePlayer.h"
#include "palette/RichColor.h"
#include "pickers/ColorDragObj.h"
#include "workarea/PptBlank.h"
#include "workarea/PptStandard.h"
#include "workarea/SaveImage.h"
#include "workarea/Scene.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>

#include <array>

namespace {

// The pages whose units exist are the ones with a class; the rest are reserved so the
// ids, buttons and panel rules stay in one place as the pages arrive.
constexpr std::array<TPageEntry, 9> kPages {{
    {pgBlank, &CreatePage<TfrmPptBlank>, false, nullptr, false},
    {pgMainMenu, nullptr, false, "AdvToolBarButton07", false},
    {pgHarmonies, &CreatePage<TfrmPptStandard>, true, "AdvToolBarButton08", false},
    {pgAdvancedWheel, nullptr, true, "AdvToolBarButton09", false},
    {pgVariations, nullptr, true, "AdvToolBarButton10", true},
    {pgColorBlender, nullptr, true, "AdvToolBarButton11", true},
    {pgTestPatterns, nullptr, true, "AdvToolBarButton12", false},
    {pgFormula, nullptr, true, "AdvToolBarButton13", false},
    {pgCombinations, nullptr, true, "AdvToolBarButton14", false},
}};

} // namespace

std::span<const TPageEntry> PageRegistry()
{
    return kPages;
}

const TPageEntry* FindPage(int Id)
{
    for (const TPageEntry& entry : kPages)
        if (entry.Id == Id)
            return &entry;
    return nullptr;
}

QString SceneTimingText(double Seconds)
{
    return QStringLiteral("时间: %1 sek").arg(Seconds, 0, 'f', 4);
}

TPageHost::TPageHost(TPageHostWindow& Window, TMoviePlayer& Player, QWidget& PropertiesClient)
    : FWindow(Window)
    , FPlayer(Player)
    , FPropertiesClient(PropertiesClient)
{
}

TPageHost::~TPageHost()
{
    ClosePage();
}

void TPageHost::ClosePage()
{
    ::ClosePage(FPage, FWindow);
}

void TPageHost::ShowPage(int Page, bool Force)
{
    if (!Force && Page == FDisplayMode)
        return;
    FPageSwitching = true;
    FDisplayMode = Page;
    FPreviousPage = 0;
    ClosePage();

    const TPageEntry* entry = FindPage(Page);
    if (entry) {
        FWindow.SetPropertiesVisible(entry->ShowsProperties);
        FWindow.SetPageButton(entry->ToolButton);
    }
    if (entry && entry->Class) {
        FPage = OpenPage(entry->Class, &FPropertiesClient, FWindow);
        // A base colour the page's settings set while it was opening reached the window
        // before the page was ours to hand it to.
        FPage->SetBaseHSB(FWindow.PageBaseHSB());
        FPage->SetShowMainMenu(FWindow.ShowMainMenu());
    }

    FWindow.RefreshGamut();
    FPageSwitching = false;
    RefreshScene();
}

void TPageHost::RefreshScene()
{
    if (FPageSwitching)
        return;
    QElapsedTimer timer;
    if (FShowTiming)
        timer.start();

    if (FSceneState == 3 && FPage) {
        FPage->SetShowMainMenu(FWindow.ShowMainMenu());
        const TPageEntry* entry = FindPage(FDisplayMode);
        TRichPalette* matching = FWindow.PageMatching();
        bool build = entry != nullptr;
        QSize size = FSceneSize;
        if (entry && entry->BuildsWithViewSize)
            size = FPlayer.size();
        if (FDisplayMode == pgCombinations && matching) {
            // The combinations table shows the current palette with the base colour in
            // front of it.
            matching->BeginUpdate();
            matching->Clear();
            if (TRichPalette* current = FWindow.CurrentPalette())
                for (int i = 0; i < current->Count(); ++i)
                    matching->Add()->Assign(*current->Colors(i));
            matching->Insert(0)->SetColor(FWindow.BaseColor());
            matching->EndUpdate();
        }
        if (build) {
            ++FScenesBuilt;
            if (FPage->BuildScene(&FPlayer, size, QString(), FWindow.Transfer(), matching))
                FPlayer.Repaint();
        }
    }

    if (FShowTiming)
        FWindow.SetStatusText(0, SceneTimingText(timer.nsecsElapsed() / 1e9));
}

void TPageHost::PlayResourceMovie(const QString& Name, const QString& Arg1, const QString& Arg2)
{
    bool found = false;
    const QByteArray bytes = FWindow.ResourceMovie(Name, found);
    if (!found) {
        FPlayer.Unload();
        return;
    }
    FPlayer.LoadMovie(0, bytes);
    FPlayer.CallFunction(QStringLiteral("<invoke name=\"SelectPage\" returntype=\"xml\"><arguments><string>%1</string>"
                                        "<string>%2</string></arguments></invoke>")
                             .arg(Arg1.toHtmlEscaped(), Arg2.toHtmlEscaped()));
}

void TPageHost::PlayMovie(const QString& Name, const QString& Arg1, const QString& Arg2)
{
    FPlayer.SetScaleMode(3);
    const bool wide = FPlayer.width() >= 640;
    const bool high = FPlayer.height() >= 440;
    FPlayer.SetAlignMode(wide && high ? 0 : wide ? 4 : high ? 1 : 5);
    FPreviousPage = FDisplayMode;
    PlayResourceMovie(Name, Arg1, Arg2);
}

void TPageHost::WorkAreaResized()
{
    if (FPage && FPage->NeedsViewSize())
        RefreshScene();
}

void TPageHost::HandleCommand(const QString& Command, const QString& Argument)
{
    if (Command == QLatin1String("CM_01")) {
        const TClipName clip = ParseClipName(Argument);
        if (clip.Kind == ckSwatch || clip.Kind == ckFormula) {
            FRolloverClip = Argument;
            FWindow.ShowColorInfo(clip.Color);
        }
    } else if (Command == QLatin1String("CM_02")) {
        if (!FClipDragging)
            FRolloverClip.clear();
        FWindow.ClearColorInfo();
    } else if (Command == QLatin1String("CM_03")) {
        PressClip(Argument);
    } else if (Command == QLatin1String("CM_04")) {
        // A release inside the clip: the press already did what there is to do. A drag
        // that never started is over, though.
        if (!FPlayer.Dragging())
            FClipDragging = false;
    } else if (Command == QLatin1String("CM_05")) {
        if (!FPlayer.Dragging())
            FClipDragging = false;
        FWindow.ClearColorInfo();
    } else if (Command == QLatin1String("CM_06")) {
        FSceneState = 3;
        const TPageRequest request = ParsePageRequest(Argument);
        if (request.Number >= 0)
            ShowPage(request.Number, false);
        if (FPage)
            FPage->ExecuteCommand(request.Text);
        RefreshScene();
    }
}

void TPageHost::PressClip(const QString& Argument)
{
    const TClipName clip = ParseClipName(Argument);
    switch (clip.Kind) {
    case ckSwatch:
    case ckFormula:
        FClipDragging = true;
        FPressedColor = clip.Color;
        FPressedClip = Argument;
        // The player watches the pointer from here on; the drag itself begins in
        // StartPlayerDrag once the pointer has moved far enough, late enough.
        FPlayer.BeginDrag(false, kPlayerDragDelayMs);
        break;
    case ckCommand:
        if (clip.Number == 1)
            ShowPage(pgMainMenu, true);
        else
            FWindow.RunMainMenuCommand(clip.Number);
        break;
    case ckLesson: {
        FPreviousPage = FDisplayMode;
        FDisplayMode = pgInformationMovie;
        FWindow.SetPageButton(nullptr);
        bool found = false;
        const QByteArray bytes = FWindow.ResourceMovie(clip.Text, found);
        if (found) {
            FPlayer.LoadMovie(0, bytes);
            FPlayer.GotoFrame(clip.Number);
        } else {
            FPlayer.Unload();
        }
        FWindow.ClearColorInfo();
        break;
    }
    case ckBack:
        if (FPreviousPage != 0)
            ShowPage(FPreviousPage, true);
        break;
    default: break;
    }
}

QMimeData* TPageHost::StartPlayerDrag()
{
    if (!FClipDragging || FPressedColor == kNoClipColor)
        return nullptr;
    const TClipName clip = ParseClipName(FPressedClip);
    TColorDragCtrlObject drag;
    drag.Color = FPressedColor;
    drag.SourceControl = &FPlayer;
    drag.SourceIndex = clip.Number;
    drag.ClipName = FPressedClip;
    drag.SourcePalette = FWindow.PageMatching();
    drag.DragKind = 1;
    if (FPage)
        FPage->PrepareDragObject(drag, FPressedClip);
    FPressedColor = kNoClipColor;
    FWindow.FocusWorkArea();
    return EncodeColorDrag(drag);
}

void TPageHost::EndPlayerDrag()
{
    FClipDragging = false;
}

void TPageHost::PopulatePlayerMenu(QMenu& Menu)
{
    Menu.clear();
    QObject::connect(
        Menu.addAction(QStringLiteral("Copy as Bitmap")), &QAction::triggered, &Menu, [this] { CopyPlayerPicture(); });
    QAction* save = Menu.addAction(QStringLiteral("Save Image to File"));
    save->setEnabled(FPage != nullptr);
    QObject::connect(save, &QAction::triggered, &Menu, [this] {
        if (FPage && FPage->OnSaveImage)
            FPage->OnSaveImage(FPage);
    });
    if (FPage)
        FPage->PopulatePlayerMenu(&Menu, FRolloverClip, &FPlayer);
}

void TPageHost::CopyPlayerPicture()
{
    QApplication::clipboard()->setImage(FPlayer.FrameImage());
}

void TPageHost::PlayerMouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Modifiers, QPoint Position)
{
    if (FPage)
        FPage->PlayerMouseDown(&FPlayer, Button, Modifiers, Position.x(), Position.y());
}

void TPageHost::PlayerDragOver(const QMimeData* Data, QPoint Position, int State, bool& Accept)
{
    if (!FPage) {
        Accept = false;
        return;
    }
    const std::optional<TColorDragCtrlObject> drag = DecodeColorDrag(Data);
    FPage->PlayerDragOver(&FPlayer, drag ? &*drag : nullptr, Position.x(), Position.y(), State, Accept);
}

void TPageHost::PlayerDragDrop(const QMimeData* Data, QPoint Position)
{
    if (!FPage)
        return;
    const std::optional<TColorDragCtrlObject> drag = DecodeColorDrag(Data);
    FPage->PlayerDragDrop(&FPlayer, drag ? &*drag : nullptr, Position.x(), Position.y());
}

void TPageHost::PlayerDblClick()
{
    if (const std::optional<TColor> color = FWindow.InspectedColor())
        FWindow.AddColorToPalette(*color);
}
