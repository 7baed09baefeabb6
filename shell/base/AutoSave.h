#pragma once
// The autosaved collection: "Saved Palette.kvfc" in the autosave folder, written at exit,
// and "Backup of Saved Palette.kvfc", the one written at the exit before.
//
// A run killed while autosaving must not cost the user both collections. The backup is
// made as a complete copy before the new file is written, and each file is replaced only
// by a complete one, so at every moment "Saved Palette.kvfc" holds either the previous
// or the new collection, and the backup the previous or the one before.

#include "palette/PaletteFiles.h"

#include <QString>

class TRichPaletteList;

inline constexpr char kAutoSaveFileName[] = "Saved Palette.kvfc";
inline constexpr char kAutoSaveBackupFileName[] = "Backup of Saved Palette.kvfc";

QString AutoSaveFilePath(const QString& AutoSaveFolder);
QString AutoSaveBackupFilePath(const QString& AutoSaveFolder);

// Turns the present autosave into the backup (replacing the old backup), then writes List
// as "Saved Palette.kvfc" (collection format 200). The folder is created when missing.
// When there is no autosave yet the backup is left as it is.
TPaletteFileResult WriteAutoSave(const TRichPaletteList& List, const QString& AutoSaveFolder);

// The file to reopen at start: the autosave, or its backup when the autosave is missing
// (a run killed between the two steps above); "" when neither exists.
QString AutoSaveFileToOpen(const QString& AutoSaveFolder);

struct TAutoSaveRead {
    TPaletteFileResult Result;
    // The file that was read, "" when there was none.
    QString FileName;
    // The backup was read because the autosave was missing or could not be read.
    bool FromBackup = false;
};

// Reads the autosave into List (appending, as the collection reader does), falling back
// to the backup when the autosave is missing or unreadable. With neither file, Result is
// FileNotFound and List is untouched.
TAutoSaveRead ReadAutoSave(TRichPaletteList& List, const QString& AutoSaveFolder);
