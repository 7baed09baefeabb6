#pragma once
// Settings the dialogs keep under subkeys of their own, read when they open and written
// when they close (not with the main window's settings). The main window hands each
// dialog the full key path: SettingsKeyPathOf("ImageExtract"), SettingsKeyPathOf("SwatchInfo").

#include "colour/ColorTypes.h"

#include <QString>

class QSettings;

// The colours-from-a-picture window ("ImageExtract").
struct TImageExtractSettings {
    int ClientHeight = 0;
    int ClientWidth = 0;
    TColor HighlightColor = clRed;

    // Values missing or unreadable keep what the fields hold (the window's own size and
    // highlight colour); "HighlightColor" is used only when it is a hex number.
    void Load(QSettings& Store, const QString& KeyPath);
    // ClientHeight, ClientWidth, and HighlightColor as six upper-case hex digits, red first.
    void Save(QSettings& Store, const QString& KeyPath) const;
};

// The swatch information dialog ("SwatchInfo"): which of its two sections are unfolded.
struct TSwatchInfoSettings {
    bool ShowColorControls = true;
    bool ShowInfo = true;

    // Changes nothing when the key holds nothing; otherwise each flag from its value,
    // defaulting to what it holds.
    void Load(QSettings& Store, const QString& KeyPath);
    void Save(QSettings& Store, const QString& KeyPath) const;
};
