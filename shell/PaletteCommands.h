#pragma once
// The document's commands: the File commands that read and write the palette collection,
// and the operations on the current palette and on the set of palettes. They act on the
// palette grid, which holds the document, and reach the rest of the window through
// IPaletteHost. Every question they put to the user goes through TUserPrompts, so a test
// answers the dialogs without a modal loop.

#include "colour/ColorTypes.h"
#include "palette/PaletteFiles.h"
#include "shell/CommandHost.h"

#include <QMessageBox>
#include <QString>

#include <functional>
#include <optional>

class QDialog;
class QWidget;
class TAdvSwatchGrid;
class TfrmPptBase;
class TRichPalette;
class TRichPaletteList;
class TfrmSwatchInfo;
struct TKorvelSettings;

// A file dialog as the commands ask for it. Filter is written the program's way,
// "Description|patterns|Description|patterns", patterns separated by ";".
struct TFileDialogRequest {
    QString Title;
    QString Filter;
    QString DefaultExt; // without the dot
    QString Folder; // where the dialog starts
    QString FileName; // the name it starts with
};

// Every question the commands ask. A member left empty is filled with the interactive
// version when the main window starts.
struct TUserPrompts {
    // The chosen file, "" when the dialog was cancelled.
    std::function<QString(const TFileDialogRequest& Request)> OpenFileName;
    std::function<QString(const TFileDialogRequest& Request)> SaveFileName;
    // A message box with these buttons; the button pressed.
    std::function<QMessageBox::StandardButton(
        QMessageBox::Icon Icon, const QString& Text, QMessageBox::StandardButtons Buttons)>
        Message;
    // The confirmation box of TfrmMessageDlgEx (Kind as there); its result (mrYes ...).
    // DoNotShowAgain receives its check box.
    std::function<int(const QString& Html, int Kind, bool& DoNotShowAgain)> Confirm;
    // Runs a dialog the caller has filled; QDialog::Accepted or Rejected.
    std::function<int(QDialog& Dialog)> Exec;

    // Fills every empty member with the real dialogs, parented to Parent.
    void FillInteractive(QWidget* Parent);
};

// The filter of a file dialog in Qt's form: "Description (*.a *.b);;...". A description
// that already ends with its patterns in brackets keeps its wording; the patterns are
// taken from the pattern field, so the case of the extension matches the files.
QString QtFileFilter(const QString& Filter);

// What the document's commands need from the window.
class IPaletteHost {
public:
    virtual ~IPaletteHost() = default;
    virtual TAdvSwatchGrid& PaletteGrid() = 0;
    virtual TKorvelSettings& PaletteSettings() = 0;
    virtual TUserPrompts& Prompts() = 0;
    // While the document is replaced at start-up or from another copy of the program.
    virtual bool Loading() const = 0;
    // Palette combo, colour count and the two buttons of the palette panel.
    virtual void UpdatePaletteStatus() = 0;
    // View mode 0 list, 1 compact list, 2 thumbnails.
    virtual void SetPaletteViewMode(int Mode) = 0;
    // The window caption: "Korvel", or "Korvel - " + the file.
    virtual void SetDocumentCaption(const QString& FileName) = 0;
    // Tells the other running copies that the collection changed.
    virtual void NotifyPaletteChanged() = 0;
    // Errors nobody handles: status bar and a beep.
    virtual void ReportError(const QString& Message) = 0;
    // Where dialogs are centred.
    virtual QWidget* DialogParent() = 0;
    // The swatch dialog's settings key, store, help, hints and eyedropper.
    virtual void PrepareSwatchDialog(TfrmSwatchInfo& Dialog) = 0;
    // Copy Swatch: the swatch picture to the clipboard.
    virtual void CopySwatch(TColor Color) = 0;
};

// Texts of the file dialogs.
extern const QString kOpenDialogTitle;
extern const QString kOpenDialogFilter;
extern const QString kImportDialogTitle;
extern const QString kImportDialogFilter;
extern const QString kSaveCollectionTitle;
extern const QString kSaveCurrentPaletteTitle;
extern const QString kSaveDialogFilter;
extern const QString kPaletteDefaultExt;

class TPaletteCommands {
public:
    explicit TPaletteCommands(IPaletteHost& Host);

    // The file the document was read from or last became ("" after New).
    const QString& CurrentFileName() const { return FCurrentFileName; }

    // ---- reading and writing
    // Reads a ".kvfc", ".kvf", ".xml" or ".cs" file. A missing file reads nothing; a failed
    // read shows its message and leaves the document and Modified as they were. With
    // Replace the collection becomes the file's, otherwise the file's palettes are appended
    // and the last of them becomes current. MakeCurrent makes it the document's file (caption,
    // recent files). Returns whether the file was read.
    bool OpenPaletteFile(const QString& FileName, bool Replace, bool MakeCurrent);
    // Writes the whole collection or only the current palette as ".kvfc" (format 200) or
    // ".xml". Any other extension writes nothing. Writing the whole collection clears
    // Modified. Returns whether the file was written.
    bool SavePaletteFile(const QString& FileName, bool CurrentPaletteOnly);
    // The Save dialog, starting at FileName in Folder, then SavePaletteFile. Returns
    // whether the dialog was confirmed and the file written.
    bool SavePaletteFileAs(const QString& FileName, const QString& Folder, bool CurrentPaletteOnly);
    // Before the document is replaced: asks to save changed colours. Returns false when
    // the command has to stop (Cancel, or the save did not happen).
    bool SaveBeforeDiscarding();

    // ---- the File commands
    void FileNew();
    void FileOpen();
    void FileImport();
    void FileReopen(const QString& FileName);
    void FileRevert();
    void FileSave();
    void FileSaveAs();
    void FileSaveCurrentPaletteAs();

    // ---- start and exit
    // The autosaved collection replaces the document (its backup when the autosave is
    // missing or unreadable); it does not become the document's file. Returns whether one
    // was read.
    bool ReloadAutoSave();
    // Keeps the previous autosave as its backup and writes the collection.
    TPaletteFileResult AutoSave();

    // ---- palette operations, on the current palette unless they say otherwise
    // The palette dialog names a new palette, which becomes current.
    void AddPalette();
    // A copy of the current palette under the name the dialog gives.
    void DuplicatePalette();
    // Deletes the current palette; the only palette is emptied and renamed instead (the
    // tool button offers the command also then).
    void DeletePalette();
    // The palette dialog edits the current palette's title, description, URL and author.
    void EditPaletteInfo();
    // Kind 0 hue, 1 saturation, 2 brightness.
    void SortPalette(int Kind);
    void SnapToWebSafe();
    void SnapToWebSmart();
    void RemoveDuplicates();
    // The Remove Similar Colors dialog previews in the current palette; Cancel puts the
    // palette and the changed flag back.
    void RemoveSimilar();
    void ClearPalette();
    // The swatch under the context menu and every one after it.
    void ClearFromCurrentColor();
    void DeleteSwatch(int Index);
    void CopySwatch(int Index);
    // The swatch dialog for a swatch (double click, or the context menu with FromMenu). The
    // document counts as changed when anything was edited.
    void EditSwatchInfo(int Index, bool FromMenu);
    void PreviousPalette();
    void NextPalette();
    // A page's "Add to palette" (OnAddToPalette): mode 0 the clip's colour, 1 its row,
    // 2 its column, 3 every enabled colour, 4 what the page copies itself. Source null
    // means the page's matching colours.
    void AddPageColors(TfrmPptBase& Page, const QString& ClipName, TRichPalette* Source, int Mode);

    // ---- enabling rules
    bool CanSave() const;
    bool CanSaveAs() const;
    bool CanRevert() const;
    // The rule of a File or Palette command; nothing for the commands of other families.
    std::optional<bool> CommandEnabled(TCommandId Id) const;

    // Whether any palette of the document holds a swatch.
    bool DocumentHasColors() const;

    // Message texts.
    static QString NotFoundMessage(const QString& FileName);
    static QString AlreadyOpenMessage(const QString& FileName);
    static QString RevertOpenMessage(const QString& FileName);
    static const QString kSaveChangesMessage;
    static const QString kRevertMessage;
    static const QString kUnsupportedFormatMessage;
    static const QString kClearPaletteMessage;
    static const QString kClearFromCurrentMessage;
    static const QString kDeleteSwatchMessage;
    static const QString kDeletePaletteMessage;
    static const QString kPaletteInfoCaption;
    static const QString kAddPaletteCaption;

private:
    // Puts a read collection into the document (both File commands and the autosave).
    void ApplyRead(TRichPaletteList& Read, bool Replace);
    void MakeDocumentFile(const QString& FileName);
    void ShowReadFailure(const TPaletteFileResult& Result);
    QString AskSaveFileName(const QString& FileName, const QString& Folder, bool CurrentPaletteOnly);
    // The confirmation box when Warn is on; its check box turns Warn off. True for Yes
    // (and when nothing was asked).
    bool Confirm(const QString& Text, bool& Warn);
    // Asks for a palette title with the palette dialog; "" when cancelled.
    std::optional<QString> AskPaletteTitle(const QString& Offered);
    // After palettes were added or deleted: rows, combo, view mode and the other copies.
    void PaletteSetChanged();

    IPaletteHost& FHost;
    QString FCurrentFileName;
};
