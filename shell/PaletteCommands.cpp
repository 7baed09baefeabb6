#include "shell/PaletteCommands.h"

#include "output/PaletteInfo.h"
#include "output/SwatchInfo.h"
#include "palette/PaletteOps.h"
#include "palette/RichColor.h"
#include "pickers/MessageDlgEx.h"
#include "shell/AdvSwatchGrid.h"
#include "shell/RemoveSimilar.h"
#include "shell/base/AutoSave.h"
#include "shell/base/Folders.h"
#include "shell/base/KorvelSettings.h"
#include "shell/base/Version.h"
#include "workarea/ClipNames.h"
#include "workarea/PptBase.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>

const QString kOpenDialogTitle = QStringLiteral("Open");
const QString kOpenDialogFilter
    = QStringLiteral("所有支持文件类型|*.kvfc;*.kvf;*.cs;*.xml|Korvel 文件 (*.kvf)|*.kvf|Xml 文件 "
                     "(*.xml)|*.xml|颜色方案文件(*.CS)|*.cs|所有文件 "
                     "(*.*)|*.*");
const QString kImportDialogTitle = QStringLiteral("Import");
const QString kImportDialogFilter
    = QStringLiteral("All supported file types|*.kvfc;*.kvf;*.cs;*.xml|Korvel Files (*.kvf)|*.kvf|Xml Files "
                     "(*.xml)|*.xml|Color Schemer Files(*.CS)|*.cs|All Files (*.*)|*.*");
const QString kSaveCollectionTitle = QStringLiteral("Save Palette Collection As");
const QString kSaveCurrentPaletteTitle = QStringLiteral("Save Current Palette As");
const QString kSaveDialogFilter
    = QStringLiteral("Korvel Files (*.kvfc)|*.kvfc|Xml Files (*.xml)|*.xml|All Files (*.*)|*.*");
const QString kPaletteDefaultExt = QStringLiteral("kvfc");

const QString TPaletteCommands::kSaveChangesMessage = QStringLiteral("Palette has changed. Save?");
const QString TPaletteCommands::kRevertMessage
    = QStringLiteral("Do you want to revert to the last saved version of this document?");
const QString TPaletteCommands::kUnsupportedFormatMessage = QStringLiteral("Unsupported file format");
const QString TPaletteCommands::kClearPaletteMessage = QStringLiteral("Do you want to clear the current palette?");
const QString TPaletteCommands::kClearFromCurrentMessage = QStringLiteral("Do you want to clear from current color?");
const QString TPaletteCommands::kDeleteSwatchMessage = QStringLiteral("Do you want to Delete the current swatch?");
const QString TPaletteCommands::kDeletePaletteMessage = QStringLiteral("Do you want to Delete the current palette?");
const QString TPaletteCommands::kPaletteInfoCaption = QStringLiteral("Color Palette");
const QString TPaletteCommands::kAddPaletteCaption = QStringLiteral("Add Color Palette");

namespace {

QString Extension(const QString& FileName)
{
    return QFileInfo(FileName).suffix().toLower();
}

// The extensions the collection writers know.
bool IsWritableExtension(const QString& FileName)
{
    const QString ext = Extension(FileName);
    return ext == u"kvfc" || ext == u"xml";
}

// "%d.%d%d": the generator version the XML collection file carries.
QString GeneratorVersion()
{
    const TProgramVersion v = RunningVersion();
    return QStringLiteral("%1.%2%3").arg(v.Major).arg(v.Minor).arg(v.Release);
}

QString FolderOf(const QString& FileName)
{
    return IncludeTrailingSlash(QFileInfo(FileName).absolutePath());
}

// Message boxes show the program's "\r\n" as a line break.
QString DisplayText(QString Text)
{
    return Text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

QString RunFileDialog(QWidget* Parent, const TFileDialogRequest& Request, QFileDialog::AcceptMode Mode)
{
    QFileDialog dialog(Parent, Request.Title, Request.Folder, QtFileFilter(Request.Filter));
    dialog.setAcceptMode(Mode);
    dialog.setFileMode(Mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setDefaultSuffix(Request.DefaultExt);
    if (!Request.FileName.isEmpty())
        dialog.selectFile(Request.FileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

} // namespace

QString QtFileFilter(const QString& Filter)
{
    const QStringList parts = Filter.split(QLatin1Char('|'));
    QStringList out;
    static const QRegularExpression trailingPatterns(QStringLiteral("\\(([^()]*)\\)\\s*$"));
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        const QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        const QString list = patterns.join(QLatin1Char(' '));
        const QRegularExpressionMatch m = trailingPatterns.match(description);
        if (m.hasMatch()) {
            // The description names the patterns itself; let it name the real ones.
            description.replace(m.capturedStart(1), m.capturedLength(1), list);
            out << description;
        } else {
            out << description + QStringLiteral(" (") + list + QLatin1Char(')');
        }
    }
    return out.join(QStringLiteral(";;"));
}

void TUserPrompts::FillInteractive(QWidget* Parent)
{
    if (!OpenFileName)
        OpenFileName = [Parent](const TFileDialogRequest& Request) {
            return RunFileDialog(Parent, Request, QFileDialog::AcceptOpen);
        };
    if (!SaveFileName)
        SaveFileName = [Parent](const TFileDialogRequest& Request) {
            return RunFileDialog(Parent, Request, QFileDialog::AcceptSave);
        };
    if (!Message)
        Message = [Parent](QMessageBox::Icon Icon, const QString& Text, QMessageBox::StandardButtons Buttons) {
            QMessageBox box(Icon, QStringLiteral("Korvel"), DisplayText(Text), Buttons, Parent);
            box.exec();
            const QMessageBox::StandardButton pressed = box.standardButton(box.clickedButton());
            // Closing the box with Escape or the title bar answers its escape button.
            return pressed == QMessageBox::NoButton ? QMessageBox::Cancel : pressed;
        };
    if (!Confirm)
        Confirm = [Parent](const QString& Html, int Kind, bool& DoNotShowAgain) {
            return TfrmMessageDlgEx::Execute(Parent, Html, Kind, &DoNotShowAgain);
        };
    if (!Exec)
        Exec = [](QDialog& Dialog) { return Dialog.exec(); };
}

TPaletteCommands::TPaletteCommands(IPaletteHost& Host)
    : FHost(Host)
{
}

QString TPaletteCommands::NotFoundMessage(const QString& FileName)
{
    return QStringLiteral("'%1' notFound.").arg(FileName);
}

QString TPaletteCommands::AlreadyOpenMessage(const QString& FileName)
{
    return QStringLiteral("'%1' is already open.").arg(FileName);
}

QString TPaletteCommands::RevertOpenMessage(const QString& FileName)
{
    return AlreadyOpenMessage(FileName) + QStringLiteral("\r\n")
        + QStringLiteral("Do you want to revert to the last saved version?");
}

bool TPaletteCommands::DocumentHasColors() const
{
    const TRichPaletteList& list = FHost.PaletteGrid().PaletteList();
    for (int i = 0; i < list.Count(); ++i)
        if (list.Items(i)->Count() > 0)
            return true;
    return false;
}

// ---------------------------------------------------------------------------------
// Reading

void TPaletteCommands::ShowReadFailure(const TPaletteFileResult& Result)
{
    if (!Result.Message.isEmpty())
        FHost.Prompts().Message(QMessageBox::Warning, Result.Message, QMessageBox::Ok);
}

void TPaletteCommands::ApplyRead(TRichPaletteList& Read, bool Replace)
{
    TAdvSwatchGrid& grid = FHost.PaletteGrid();
    TRichPaletteList& document = grid.PaletteList();
    grid.BeginUpdate();
    if (Replace) {
        if (Read.Count() > 0) {
            document.Assign(Read);
            if (!document.Current())
                document.SetItemIndex(0);
        } else {
            // A collection without palettes: the document always keeps one.
            grid.NewCollection();
        }
    } else {
        for (int i = 0; i < Read.Count(); ++i)
            document.Add(QString(), true)->Assign(*Read.Items(i));
    }
    grid.EndUpdate();
    // Appended palettes are in no file yet: the collection has changed.
    grid.SetModified(!Replace && Read.Count() > 0);
    grid.RecountRows();
    FHost.UpdatePaletteStatus();
    if (const TRichPalette* current = grid.CurrentPalette())
        FHost.SetPaletteViewMode(current->DisplayMode());
}

void TPaletteCommands::MakeDocumentFile(const QString& FileName)
{
    FCurrentFileName = FileName;
    FHost.PaletteSettings().RecentFiles.Add(FileName);
    FHost.SetDocumentCaption(FileName);
}

bool TPaletteCommands::OpenPaletteFile(const QString& FileName, bool Replace, bool MakeCurrent)
{
    bool ok = false;
    if (!FileName.isEmpty() && QFileInfo::exists(FileName)) {
        TRichPaletteList read;
        read.SetAutoCaption(FHost.PaletteGrid().PaletteList().AutoCaption());
        TPaletteFileResult result;
        const QString ext = Extension(FileName);
        if (ext == u"kvfc") {
            result = ReadCollectionFile(read, FileName);
        } else if (ext == u"kvf") {
            result = ReadLegacyPalettes(read, FileName);
        } else if (ext == u"xml") {
            result = ReadXmlCollection(read, FileName);
        } else if (ext == u"cs") {
            result = ReadColorSchemer(*read.Add(QString(), true), FileName);
        } else {
            result.Error = TPaletteFileError::UnknownFormat;
        }
        if (result.Beep)
            QApplication::beep();
        ok = result.Ok();
        if (ok) {
            ApplyRead(read, Replace);
            if (MakeCurrent)
                MakeDocumentFile(FileName);
        } else {
            ShowReadFailure(result);
        }
    }
    FHost.UpdatePaletteStatus();
    return ok;
}

bool TPaletteCommands::ReloadAutoSave()
{
    const QString folder = FHost.PaletteSettings().Folders.AutoSaveFolder;
    TRichPaletteList read;
    read.SetAutoCaption(FHost.PaletteGrid().PaletteList().AutoCaption());
    const TAutoSaveRead autosave = ReadAutoSave(read, folder);
    if (!autosave.Result) {
        // Nothing to show at start: a missing autosave is a first run, an unreadable one
        // (and its backup) goes to the status bar.
        if (autosave.Result.Error != TPaletteFileError::FileNotFound)
            FHost.ReportError(autosave.Result.Message.isEmpty() ? autosave.Result.Detail : autosave.Result.Message);
        FHost.UpdatePaletteStatus();
        return false;
    }
    ApplyRead(read, true);
    FHost.UpdatePaletteStatus();
    return true;
}

TPaletteFileResult TPaletteCommands::AutoSave()
{
    return WriteAutoSave(FHost.PaletteGrid().PaletteList(), FHost.PaletteSettings().Folders.AutoSaveFolder);
}

// ---------------------------------------------------------------------------------
// Writing

bool TPaletteCommands::SavePaletteFile(const QString& FileName, bool CurrentPaletteOnly)
{
    TAdvSwatchGrid& grid = FHost.PaletteGrid();
    if (!IsWritableExtension(FileName)) {
        // Nothing is written; say so rather than let the user believe it was saved.
        FHost.Prompts().Message(QMessageBox::Warning, kUnsupportedFormatMessage, QMessageBox::Ok);
        return false;
    }
    TRichPaletteList out;
    if (CurrentPaletteOnly) {
        if (const TRichPalette* current = grid.CurrentPalette())
            out.Add(QString(), true)->Assign(*current);
    } else {
        out.Assign(grid.PaletteList());
    }
    // Auto captions are written as the document shows them.
    out.SetOnAutoCaption(grid.PaletteList().OnAutoCaption());
    const TPaletteFileResult result = Extension(FileName) == u"kvfc"
        ? WriteCollectionFile(out, FileName, kCollectionFormat)
        : WriteXmlCollection(out, FileName, GeneratorVersion(), QStringLiteral("Korvel"));
    if (!result) {
        // The user asked for this save and may be about to discard the document: a line
        // in the status bar is too easy to miss.
        const QString message = result.Message.isEmpty() ? result.Detail : result.Message;
        FHost.ReportError(message);
        FHost.Prompts().Message(QMessageBox::Warning,
            result.Detail.isEmpty() || result.Detail == message ? message
                                                                : message + QStringLiteral("\n\n") + result.Detail,
            QMessageBox::Ok);
        return false;
    }
    if (!CurrentPaletteOnly)
        grid.SetModified(false);
    return true;
}

QString TPaletteCommands::AskSaveFileName(const QString& FileName, const QString& Folder, bool CurrentPaletteOnly)
{
    TFileDialogRequest request;
    request.Title = CurrentPaletteOnly ? kSaveCurrentPaletteTitle : kSaveCollectionTitle;
    request.Filter = kSaveDialogFilter;
    request.DefaultExt = kPaletteDefaultExt;
    request.Folder = Folder;
    request.FileName = FileName;
    return FHost.Prompts().SaveFileName(request);
}

bool TPaletteCommands::SavePaletteFileAs(const QString& FileName, const QString& Folder, bool CurrentPaletteOnly)
{
    const QString chosen = AskSaveFileName(FileName, Folder, CurrentPaletteOnly);
    if (chosen.isEmpty())
        return false;
    return SavePaletteFile(chosen, CurrentPaletteOnly);
}

bool TPaletteCommands::SaveBeforeDiscarding()
{
    // Any palette with colours counts, not only the current one: an empty palette in
    // front must not hide the changed ones behind it.
    if (!FHost.PaletteGrid().Modified() || !DocumentHasColors())
        return true;
    switch (FHost.Prompts().Message(
        QMessageBox::Warning, kSaveChangesMessage, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)) {
    case QMessageBox::Yes:
        // A save that did not happen keeps the document.
        if (!FCurrentFileName.isEmpty() && IsWritableExtension(FCurrentFileName))
            return SavePaletteFile(FCurrentFileName, false);
        return SavePaletteFileAs(FCurrentFileName, FHost.PaletteSettings().Folders.PaletteFolder, false);
    case QMessageBox::No: return true;
    default: return false;
    }
}

// ---------------------------------------------------------------------------------
// File commands

void TPaletteCommands::FileNew()
{
    if (!SaveBeforeDiscarding())
        return;
    TAdvSwatchGrid& grid = FHost.PaletteGrid();
    grid.NewCollection();
    grid.SetModified(false);
    FCurrentFileName.clear();
    FHost.SetDocumentCaption(QString());
    FHost.UpdatePaletteStatus();
    if (const TRichPalette* current = grid.CurrentPalette())
        FHost.SetPaletteViewMode(current->DisplayMode());
    FHost.NotifyPaletteChanged();
}

void TPaletteCommands::FileOpen()
{
    if (!SaveBeforeDiscarding())
        return;
    TFileDialogRequest request;
    request.Title = kOpenDialogTitle;
    request.Filter = kOpenDialogFilter;
    request.DefaultExt = kPaletteDefaultExt;
    request.Folder = FHost.PaletteSettings().Folders.PaletteFolder;
    const QString file = FHost.Prompts().OpenFileName(request);
    if (file.isEmpty())
        return;
    OpenPaletteFile(file, true, true);
    FHost.PaletteSettings().Folders.PaletteFolder = FolderOf(file);
}

void TPaletteCommands::FileImport()
{
    TFileDialogRequest request;
    request.Title = kImportDialogTitle;
    request.Filter = kImportDialogFilter;
    request.DefaultExt = kPaletteDefaultExt;
    request.Folder = FHost.PaletteSettings().Folders.PaletteFolder;
    const QString file = FHost.Prompts().OpenFileName(request);
    if (file.isEmpty())
        return;
    // The palettes join the document, which stays the document it was: Save must not
    // write the joined collection over the file they came from.
    OpenPaletteFile(file, false, false);
    FHost.PaletteSettings().Folders.PaletteFolder = FolderOf(file);
}

void TPaletteCommands::FileReopen(const QString& FileName)
{
    TUserPrompts& prompts = FHost.Prompts();
    if (!QFileInfo::exists(FileName)) {
        prompts.Message(QMessageBox::Warning, NotFoundMessage(FileName), QMessageBox::Ok);
        return;
    }
    if (FileName != FCurrentFileName) {
        if (!SaveBeforeDiscarding())
            return;
        OpenPaletteFile(FileName, true, true);
        return;
    }
    if (FHost.PaletteGrid().Modified()) {
        if (prompts.Message(QMessageBox::Warning, RevertOpenMessage(FileName), QMessageBox::Ok | QMessageBox::Cancel)
            == QMessageBox::Ok)
            OpenPaletteFile(FileName, true, true);
    } else {
        prompts.Message(QMessageBox::Information, AlreadyOpenMessage(FileName), QMessageBox::Ok);
    }
}

void TPaletteCommands::FileRevert()
{
    if (FCurrentFileName.isEmpty())
        return;
    if (FHost.Prompts().Message(QMessageBox::Warning, kRevertMessage, QMessageBox::Ok | QMessageBox::Cancel)
        == QMessageBox::Ok)
        OpenPaletteFile(FCurrentFileName, true, true);
}

void TPaletteCommands::FileSave()
{
    // A file of a kind the program only reads (".kvf", ".cs") is saved under a new name.
    if (!FCurrentFileName.isEmpty() && IsWritableExtension(FCurrentFileName))
        SavePaletteFile(FCurrentFileName, false);
    else
        FileSaveAs();
}

void TPaletteCommands::FileSaveAs()
{
    SavePaletteFileAs(FCurrentFileName, FHost.PaletteSettings().Folders.PaletteFolder, false);
}

void TPaletteCommands::FileSaveCurrentPaletteAs()
{
    SavePaletteFileAs(FCurrentFileName, FHost.PaletteSettings().Folders.PaletteFolder, true);
}

// ---------------------------------------------------------------------------------
// Enabling rules

bool TPaletteCommands::CanSave() const
{
    return FHost.PaletteGrid().Modified() && FHost.PaletteGrid().Count() > 0;
}

bool TPaletteCommands::CanSaveAs() const
{
    return FHost.PaletteGrid().Count() > 0;
}

bool TPaletteCommands::CanRevert() const
{
    return !FCurrentFileName.isEmpty() && FHost.PaletteGrid().Modified();
}

std::optional<bool> TPaletteCommands::CommandEnabled(TCommandId Id) const
{
    using C = TCommandId;
    TAdvSwatchGrid& grid = FHost.PaletteGrid();
    const bool hasSwatches = grid.Count() > 0;
    const bool severalPalettes = grid.PaletteList().Count() >= 2;
    const bool onSwatch = grid.PopupSwatchIndex() >= 0 && grid.PopupSwatchIndex() < grid.Count();
    switch (Id) {
    case C::atnFileNew:
    case C::atnFileNewPalette:
    case C::atnFileOpen:
    case C::atnFileImport:
    case C::atnPaletteAdd:
    case C::atnPaletteInfo:
    case C::atnPalettePrev:
    case C::atnPaletteNext:
    case C::atnPaletteList:
    case C::atnPaletteCompactList:
    case C::atnPaletteThn:
    case C::atnPaletteShowToolbar: return true;
    case C::atnFileRevert: return CanRevert();
    case C::atnFileSave: return CanSave();
    case C::atnFileSaveAs:
    case C::atnFileSaveCurrentPalette: return CanSaveAs();
    case C::atnDuplicatePalette:
    case C::atnPaletteDelete: return severalPalettes;
    case C::atnPaletteSortHue:
    case C::atnPaletteSortSat:
    case C::atnPaletteSortBrt:
    case C::atnPaletteSnapToWebsafe:
    case C::atnPaletteSnapToWebSmart:
    case C::atnPaletteRemoveSimilar:
    case C::atnPaletteClear: return hasSwatches;
    case C::atnPaletteRemoveDupes: return grid.HasDuplicates();
    case C::atnPaletteClearFromCurrent:
    case C::atnPaletteDeleteSwatch:
    case C::atnPaletteCopySwatch:
    case C::atnPaletteSwatchInfo: return onSwatch;
    default: return std::nullopt;
    }
}

// ---------------------------------------------------------------------------------
// Palette operations

bool TPaletteCommands::Confirm(const QString& Text, bool& Warn)
{
    if (!Warn)
        return true;
    bool doNotShowAgain = false;
    const int answer = FHost.Prompts().Confirm(Text, mdkYesNo, doNotShowAgain);
    if (doNotShowAgain)
        Warn = false;
    return answer == mrYes;
}

std::optional<QString> TPaletteCommands::AskPaletteTitle(const QString& Offered)
{
    TfrmPaletteInfo dialog(FHost.DialogParent());
    dialog.setWindowTitle(kAddPaletteCaption);
    dialog.SetTitle(Offered);
    if (FHost.Prompts().Exec(dialog) != QDialog::Accepted)
        return std::nullopt;
    return dialog.Title();
}

void TPaletteCommands::PaletteSetChanged()
{
    TAdvSwatchGrid& grid = FHost.PaletteGrid();
    grid.RecountRows();
    grid.Invalidate();
    FHost.UpdatePaletteStatus();
    if (const TRichPalette* current = grid.CurrentPalette())
        FHost.SetPaletteViewMode(current->DisplayMode());
    FHost.NotifyPaletteChanged();
}

void TPaletteCommands::AddPalette()
{
    TAdvSwatchGrid& grid = FHost.PaletteGrid();
    const std::optional<QString> title = AskPaletteTitle(NewPaletteTitle(grid.PaletteList().Count()));
    if (!title)
        return;
    grid.AddPalette(*title, true);
    PaletteSetChanged();
}

void TPaletteCommands::DuplicatePalette()
{
    TAdvSwatchGrid& grid = FHost.PaletteGrid();
    const TRichPalette* source = grid.CurrentPalette();
    if (!source)
        return;
    const std::optional<QString> title = AskPaletteTitle(DuplicatePaletteTitle(source->Title()));
    if (!title)
        return;
    const int sourceIndex = grid.PaletteList().ItemIndex();
    TRichPalette* copy = grid.AddPalette(*title, true);
    copy->Assign(*grid.PaletteList().Items(sourceIndex));
    copy->SetTitle(*title);
    grid.SetModified(true);
    PaletteSetChanged();
}

void TPaletteCommands::DeletePalette()
{
    TAdvSwatchGrid& grid = FHost.PaletteGrid();
    TRichPaletteList& list = grid.PaletteList();
    TRichPalette* current = grid.CurrentPalette();
    if (!current)
        return;
    bool& warn = FHost.PaletteSettings().WarnClearPalette;
    if (list.Count() < 2) {
        // The document keeps one palette: the last one is emptied and renamed instead.
        bool ask = warn && current->Count() > 0;
        if (ask && !Confirm(kDeletePaletteMessage, warn))
            return;
        current->SetTitle(QStringLiteral("Palette 1"));
        current->SetDescription(QString());
        current->SetURL(QString());
        current->SetAuthor(QString());
        grid.ClearCurrentPalette();
    } else {
        if (!Confirm(kDeletePaletteMessage, warn))
            return;
        list.Delete(list.ItemIndex());
    }
    grid.SetModified(true);
    PaletteSetChanged();
}

void TPaletteCommands::EditPaletteInfo()
{
    TAdvSwatchGrid& grid = FHost.PaletteGrid();
    TRichPalette* palette = grid.CurrentPalette();
    if (!palette)
        return;
    TfrmPaletteInfo dialog(FHost.DialogParent());
    dialog.setWindowTitle(kPaletteInfoCaption);
    dialog.SetTitle(palette->Title());
    dialog.SetDescription(palette->Description());
    dialog.SetURL(palette->URL());
    dialog.SetAuthor(palette->Author());
    dialog.SetKeywords(palette->Keywords());
    if (FHost.Prompts().Exec(dialog) != QDialog::Accepted)
        return;
    if (dialog.Title() == palette->Title() && dialog.Description() == palette->Description()
        && dialog.URL() == palette->URL() && dialog.Author() == palette->Author()
        && dialog.Keywords() == palette->Keywords())
        return;
    palette->BeginUpdate();
    palette->SetTitle(dialog.Title());
    palette->SetDescription(dialog.Description());
    palette->SetURL(dialog.URL());
    palette->SetAuthor(dialog.Author());
    palette->SetKeywords(dialog.Keywords());
    palette->EndUpdate();
    grid.SetModified(true);
    FHost.UpdatePaletteStatus();
}

void TPaletteCommands::SortPalette(int Kind)
{
    if (TRichPalette* palette = FHost.PaletteGrid().CurrentPalette())
        palette->Sort(Kind);
    FHost.PaletteGrid().Invalidate();
}

void TPaletteCommands::SnapToWebSafe()
{
    if (TRichPalette* palette = FHost.PaletteGrid().CurrentPalette())
        ::SnapToWebSafe(*palette);
    FHost.PaletteGrid().Invalidate();
}

void TPaletteCommands::SnapToWebSmart()
{
    if (TRichPalette* palette = FHost.PaletteGrid().CurrentPalette())
        ::SnapToWebSmart(*palette);
    FHost.PaletteGrid().Invalidate();
}

void TPaletteCommands::RemoveDuplicates()
{
    FHost.PaletteGrid().RemoveDuplicates();
    FHost.UpdatePaletteStatus();
}

void TPaletteCommands::RemoveSimilar()
{
    TAdvSwatchGrid& grid = FHost.PaletteGrid();
    TRichPalette* palette = grid.CurrentPalette();
    if (!palette || palette->Count() == 0)
        return;
    bool modified = grid.Modified();
    {
        TfrmSimilarColors dialog(
            *palette, modified, [&grid] { grid.Invalidate(); }, FHost.DialogParent());
        FHost.Prompts().Exec(dialog);
    }
    grid.SetModified(modified);
    grid.RecountRows();
    grid.Invalidate();
    FHost.UpdatePaletteStatus();
}

void TPaletteCommands::ClearPalette()
{
    TAdvSwatchGrid& grid = FHost.PaletteGrid();
    TRichPalette* palette = grid.CurrentPalette();
    if (!palette)
        return;
    bool& warn = FHost.PaletteSettings().WarnClearPalette;
    if (warn && palette->Count() > 0 && !Confirm(kClearPaletteMessage, warn))
        return;
    palette->SetDescription(QString());
    palette->SetURL(QString());
    palette->SetAuthor(QString());
    grid.ClearCurrentPalette();
    grid.SetModified(true);
    FHost.UpdatePaletteStatus();
}

void TPaletteCommands::ClearFromCurrentColor()
{
    TAdvSwatchGrid& grid = FHost.PaletteGrid();
    TRichPalette* palette = grid.CurrentPalette();
    const int index = grid.PopupSwatchIndex();
    if (!palette || index < 0 || index >= palette->Count())
        return;
    if (!Confirm(kClearFromCurrentMessage, FHost.PaletteSettings().WarnClearPalette))
        return;
    grid.BeginUpdate();
    ClearFromIndex(*palette, index);
    grid.EndUpdate();
    grid.RecountRows();
    FHost.UpdatePaletteStatus();
}

void TPaletteCommands::DeleteSwatch(int Index)
{
    TAdvSwatchGrid& grid = FHost.PaletteGrid();
    if (Index < 0 || Index >= grid.Count())
        return;
    bool& warn = FHost.PaletteSettings().WarnDeleteSwatch;
    if (warn && !Confirm(kDeleteSwatchMessage, warn))
        return;
    grid.DeleteSwatch(Index);
    grid.Invalidate();
    FHost.UpdatePaletteStatus();
}

void TPaletteCommands::CopySwatch(int Index)
{
    if (const TRichColor* swatch = FHost.PaletteGrid().Swatch(Index))
        FHost.CopySwatch(swatch->Color());
}

void TPaletteCommands::EditSwatchInfo(int Index, bool FromMenu)
{
    TAdvSwatchGrid& grid = FHost.PaletteGrid();
    TRichColor* swatch = grid.Swatch(Index);
    if (!swatch)
        return;
    int result = QDialog::Rejected;
    QString name, css, description;
    bool nameChanged = false;
    TColor color = swatch->Color();
    {
        TfrmSwatchInfo dialog(FHost.DialogParent());
        dialog.SetSwatchName(swatch->Caption());
        dialog.SetCssClass(swatch->CssClass());
        dialog.SetSwatchColor(swatch->Color());
        dialog.SetDescription(swatch->Description());
        FHost.PrepareSwatchDialog(dialog);
        result = FHost.Prompts().Exec(dialog);
        nameChanged = dialog.NameChanged();
        name = dialog.SwatchName();
        css = dialog.CssClass();
        description = dialog.Description();
        color = dialog.SwatchColor();
    }
    // The press that closed the dialog must not reach the grid as a new press.
    grid.MarkSwatchDialogClosed();
    if (result != QDialog::Accepted)
        return;
    // The dialog may have run for a while; the swatch is looked up again.
    swatch = grid.Swatch(Index);
    if (!swatch)
        return;
    // Both ways of opening the dialog count every edit as a change: a recoloured swatch is
    // as much unsaved work as a renamed one.
    Q_UNUSED(FromMenu);
    const bool changed = nameChanged || css.compare(swatch->CssClass(), Qt::CaseInsensitive) != 0
        || description.compare(swatch->Description(), Qt::CaseInsensitive) != 0 || color != swatch->Color();
    if (nameChanged)
        swatch->SetCaption(name);
    swatch->SetCssClass(css);
    swatch->SetColor(color);
    swatch->SetDescription(description);
    if (changed)
        grid.SetModified(true);
    grid.Invalidate();
    FHost.UpdatePaletteStatus();
}

void TPaletteCommands::PreviousPalette()
{
    FHost.PaletteGrid().PreviousPalette();
}

void TPaletteCommands::NextPalette()
{
    FHost.PaletteGrid().NextPalette();
}

void TPaletteCommands::AddPageColors(TfrmPptBase& Page, const QString& ClipName, TRichPalette* Source, int Mode)
{
    TAdvSwatchGrid& grid = FHost.PaletteGrid();
    TRichPalette* dest = grid.CurrentPalette();
    if (!dest)
        return;
    grid.BeginUpdate();
    if (Mode == 0) {
        const TClipName clip = ParseClipName(ClipName);
        if (clip.Kind != ckUnknown && clip.Color != kNoClipColor)
            grid.AddColor(clip.Color, true);
    } else {
        AddPageColorsToPalette(Page, ClipName, Source, Mode, *dest);
    }
    grid.EndUpdate();
    grid.RecountRows();
    grid.Invalidate();
    grid.FocusLast();
    grid.SetModified(true);
    FHost.UpdatePaletteStatus();
}
