#pragma once
// The folders and files of a run. Every folder path ends with "/".
//
// The program folder is read-only on Linux, so what the program writes (palettes, the
// event log, the autosave) lives in the per-user data folder instead.

#include <QString>

inline constexpr char kEventLogFileName[] = "KV_EventLog.txt";

struct TKorvelFolders {
    // The executable's folder.
    QString AppFolder;
    // The shipped configuration (colour formulas, the HTML template): AppFolder +
    // "Configuration/" or, installed, AppFolder + "../share/korvel/Configuration/".
    QString ConfigFolder;
    // Where the palette file dialogs start (setting FilePathKVFfile).
    QString PaletteFolder;
    // Setting FilePathFormulas.
    QString FormulaFolder;
    // Where exports start (setting FilePathExport): the user's documents folder.
    QString ExportFolder;
    // ~/.local/share/Korvel4/ (XDG data home); AppFolder when there is no data location.
    QString UserDataFolder;
    // Where "Saved Palette.kvfc" lives (setting AutoSavePath).
    QString AutoSaveFolder;
    // UserDataFolder + "KV_EventLog.txt".
    QString EventLogFileName;
};

// Path with one "/" at the end ("" stays "").
QString IncludeTrailingSlash(const QString& Path);

// The folder of the running executable, with "/". Needs the application object; without
// one, the current folder.
QString DefaultAppFolder();

// The first configuration folder that exists; AppFolder + "Configuration/" when neither does.
QString FindConfigFolder(const QString& AppFolder);

// The initial folders of a run for this program folder, from the XDG locations. Creates
// nothing.
TKorvelFolders InitialFolders(const QString& AppFolder);

// Creates UserDataFolder (and its parents) when missing; returns whether it exists now.
bool CreateUserDataFolder(const TKorvelFolders& Folders);

// The event log starts empty every run: an existing file is deleted. Returns whether no
// file is left.
bool DeleteEventLog(const TKorvelFolders& Folders);
