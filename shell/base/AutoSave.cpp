#include "shell/base/AutoSave.h"

#include "shell/base/Folders.h"
#include "shell/base/Logging.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

QString AutoSaveFilePath(const QString& AutoSaveFolder)
{
    return IncludeTrailingSlash(AutoSaveFolder) + QString::fromLatin1(kAutoSaveFileName);
}

QString AutoSaveBackupFilePath(const QString& AutoSaveFolder)
{
    return IncludeTrailingSlash(AutoSaveFolder) + QString::fromLatin1(kAutoSaveBackupFileName);
}

// Replaces Target by a copy of Source, never leaving Target half written.
static bool CopyOver(const QString& Source, const QString& Target)
{
    QFile in(Source);
    if (!in.open(QIODevice::ReadOnly) || in.size() > kMaxPaletteFileSize)
        return false;
    const QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError)
        return false;
    QSaveFile out(Target);
    // Unbuffered, so a refused write shows in the count write() returns.
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (out.write(bytes) != bytes.size()) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

TPaletteFileResult WriteAutoSave(const TRichPaletteList& List, const QString& AutoSaveFolder)
{
    QDir().mkpath(AutoSaveFolder);
    const QString saved = AutoSaveFilePath(AutoSaveFolder);
    const QString backup = AutoSaveBackupFilePath(AutoSaveFolder);
    // The previous autosave becomes the backup. A copy rather than a move, so the
    // autosave stays in place until the new one is complete; if the copy fails the old
    // backup stays, which is still a collection the user had.
    if (QFileInfo::exists(saved) && !CopyOver(saved, backup))
        qCWarning(lcKorvelShell) << "could not keep" << saved << "as" << backup;
    TPaletteFileResult result = WriteCollectionFile(List, saved, kCollectionFormat);
    if (!result)
        qCWarning(lcKorvelShell) << "autosave failed:" << result.Detail;
    return result;
}

QString AutoSaveFileToOpen(const QString& AutoSaveFolder)
{
    const QString saved = AutoSaveFilePath(AutoSaveFolder);
    if (QFileInfo::exists(saved))
        return saved;
    const QString backup = AutoSaveBackupFilePath(AutoSaveFolder);
    if (QFileInfo::exists(backup))
        return backup;
    return QString();
}

TAutoSaveRead ReadAutoSave(TRichPaletteList& List, const QString& AutoSaveFolder)
{
    TAutoSaveRead read;
    const QString saved = AutoSaveFilePath(AutoSaveFolder);
    const QString backup = AutoSaveBackupFilePath(AutoSaveFolder);
    if (QFileInfo::exists(saved)) {
        read.FileName = saved;
        read.Result = ReadCollectionFile(List, saved);
        if (read.Result || !QFileInfo::exists(backup))
            return read;
        qCWarning(lcKorvelShell) << "autosave unreadable, reading its backup:" << read.Result.Detail;
    } else if (!QFileInfo::exists(backup)) {
        read.Result.Error = TPaletteFileError::FileNotFound;
        return read;
    }
    read.FileName = backup;
    read.FromBackup = true;
    read.Result = ReadCollectionFile(List, backup);
    return read;
}
