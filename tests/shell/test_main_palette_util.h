#pragma once
// Helpers of the palette-document tests: scripted answers to every dialog the document's
// commands open, a fresh start of the main window with them, and small collections.

#include "palette/PaletteFiles.h"
#include "palette/RichColor.h"
#include "shell/Main.h"
#include "shell/PaletteCommands.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QStringList>

#include <deque>
#include <functional>
#include <memory>
#include <ostream>

inline void PrintTo(const QString& Text, std::ostream* Out)
{
    *Out << '"' << Text.toStdString() << '"';
}

// Answers the dialogs from queues and logs every question: "open:<title>",
// "save:<title>:<file name offered>", "message:<text>", "confirm:<text>", "exec:<caption>".
// An empty queue answers Cancel (the file dialogs: cancelled; the confirmation: No;
// a dialog: Rejected) and logs the question all the same.
struct TScriptedPrompts {
    QStringList Log;
    std::deque<QString> Files;
    std::deque<QMessageBox::StandardButton> Answers;
    std::deque<int> Confirms;
    // The "Do not show again" box of the next confirmations.
    bool CheckDoNotShowAgain = false;
    // Fills a dialog and says how it closed; when unset, dialogs are rejected.
    std::function<int(QDialog&)> OnExec;
    std::vector<TFileDialogRequest> Requests;

    TUserPrompts Make()
    {
        TUserPrompts p;
        p.OpenFileName = [this](const TFileDialogRequest& r) {
            Requests.push_back(r);
            Log << QStringLiteral("open:") + r.Title;
            return Next(Files, QString());
        };
        p.SaveFileName = [this](const TFileDialogRequest& r) {
            Requests.push_back(r);
            Log << QStringLiteral("save:%1:%2").arg(r.Title, r.FileName);
            return Next(Files, QString());
        };
        p.Message = [this](QMessageBox::Icon, const QString& Text, QMessageBox::StandardButtons Buttons) {
            Log << QStringLiteral("message:") + Text;
            const QMessageBox::StandardButton fallback
                = Buttons.testFlag(QMessageBox::Cancel) ? QMessageBox::Cancel : QMessageBox::Ok;
            return Next(Answers, fallback);
        };
        p.Confirm = [this](const QString& Html, int, bool& DoNotShowAgain) {
            Log << QStringLiteral("confirm:") + Html;
            DoNotShowAgain = CheckDoNotShowAgain;
            return Next(Confirms, 7 /* mrNo */);
        };
        p.Exec = [this](QDialog& Dialog) {
            Log << QStringLiteral("exec:") + Dialog.windowTitle();
            return OnExec ? OnExec(Dialog) : int(QDialog::Rejected);
        };
        return p;
    }

private:
    template <class T> static T Next(std::deque<T>& Queue, T Fallback)
    {
        if (Queue.empty())
            return Fallback;
        T value = Queue.front();
        Queue.pop_front();
        return value;
    }
};

inline QString KorvelDataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Korvel4/");
}

// A first run: no settings, no autosave.
inline void ForgetEverything()
{
    QFile::remove(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/Brightfold/Korvel4.conf"));
    QDir(KorvelDataFolder()).removeRecursively();
}

inline std::unique_ptr<TfrmMain> StartWith(TScriptedPrompts& Prompts, const QString& CommandLineFile = QString())
{
    TStartOptions options;
    options.Prompts = Prompts.Make();
    options.CommandLine.FileName = CommandLineFile;
    return std::make_unique<TfrmMain>(options);
}

// Palettes titled Tag, "Tag 2" ..., each with Colors swatches of distinct colours.
inline void FillPalettes(TRichPaletteList& List, const QString& Tag, int Palettes, int Colors)
{
    for (int p = 0; p < Palettes; ++p) {
        TRichPalette* palette = List.Add(p == 0 ? Tag : QStringLiteral("%1 %2").arg(Tag).arg(p + 1), true);
        for (int c = 0; c < Colors; ++c)
            palette->Add()->SetColor(RGB((c * 40 + p * 7) & 0xFF, (c * 13 + 60) & 0xFF, (p * 50 + 5) & 0xFF));
    }
}

// The collection as the binary file would hold it: two equal byte strings mean equal
// documents, down to captions, flags, the current palette and view modes.
inline QByteArray DocumentBytes(const TRichPaletteList& List)
{
    return CollectionFileBytes(List);
}

inline QByteArray FileBytes(const QString& FileName)
{
    QFile f(FileName);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void WriteBytes(const QString& FileName, const QByteArray& Bytes)
{
    QFile f(FileName);
    if (f.open(QIODevice::WriteOnly))
        f.write(Bytes);
}
