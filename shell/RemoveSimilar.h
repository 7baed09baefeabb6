#pragma once
// The Remove Similar Colors dialog. It keeps a copy of the document's current palette and,
// whenever a limit or Preview changes, writes the filtered copy (or, without Preview, the
// whole copy) into the current palette and asks for a repaint, so the user sees the result
// in the palette itself. OK keeps the filtered palette (also when Preview is off); Cancel
// puts the copy back and restores the changed flag to what it was when the dialog opened.

#include "palette/RichColor.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QLabel;
class QPushButton;
class QSlider;

class TfrmSimilarColors : public QDialog {
    Q_OBJECT
public:
    // Current: the document's current palette, written on every change. Modified: the
    // palette grid's changed flag as the caller holds it; remembered now, written back on
    // Cancel. Repaint: shows the palette after it was written (may be empty). The filter
    // runs once at once, as the dialog opens.
    TfrmSimilarColors(TRichPalette& Current, bool& Modified, std::function<void()> Repaint, QWidget* parent = nullptr);

    // Runs the dialog modally on Current; true when the user chose OK.
    static bool Run(QWidget* Parent, TRichPalette& Current, bool& Modified, std::function<void()> Repaint);

    // Hue limit in degrees (0..30), saturation and brightness limits in percent (0..10).
    int HueLimit() const;
    int SatLimit() const;
    int BrtLimit() const;

    // The palette as it was when the dialog opened.
    const TRichPalette& Original() const { return FCopy; }

    QSlider* trkHue = nullptr;
    QSlider* trkSat = nullptr;
    QSlider* trkBrt = nullptr;
    QLabel* lblHueValue = nullptr;
    QLabel* lblSatValue = nullptr;
    QLabel* lblBrtValue = nullptr;
    QCheckBox* ckPreview = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;

public Q_SLOTS:
    void accept() override;
    void reject() override;

private:
    // Value labels, then the palette from the copy.
    void SettingsChanged();
    void ApplyFilter();
    void ShowPalette(const TRichPalette& Palette);

    TRichPalette& FCurrent;
    bool& FModified;
    bool FRememberedModified;
    std::function<void()> FRepaint;
    TRichPalette FCopy;
};
