#include "shell/base/Folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString IncludeTrailingSlash(const QString& Path)
{
    if (Path.isEmpty() || Path.endsWith(u'/'))
        return Path;
    return Path + u'/';
}

QString DefaultAppFolder()
{
    if (QCoreApplication::instance())
        return IncludeTrailingSlash(QCoreApplication::applicationDirPath());
    return IncludeTrailingSlash(QDir::currentPath());
}

QString FindConfigFolder(const QString& AppFolder)
{
    const QString beside = AppFolder + QStringLiteral("Configuration/");
    const QString installed
        = IncludeTrailingSlash(QDir::cleanPath(AppFolder + QStringLiteral("../share/korvel/Configuration")));
    for (const QString& candidate : {beside, installed}) {
        if (QFileInfo(candidate).isDir())
            return candidate;
    }
    return beside;
}

TKorvelFolders InitialFolders(const QString& AppFolder)
{
    TKorvelFolders folders;
    folders.AppFolder = IncludeTrailingSlash(AppFolder);
    folders.ConfigFolder = FindConfigFolder(folders.AppFolder);

    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    folders.UserDataFolder
        = data.isEmpty() ? folders.AppFolder : IncludeTrailingSlash(data) + QStringLiteral("Korvel4/");

    folders.PaletteFolder = folders.UserDataFolder + QStringLiteral("Palettes/");
    folders.FormulaFolder = folders.AppFolder + QStringLiteral("Formulas/");
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        documents = QDir::homePath();
    folders.ExportFolder = IncludeTrailingSlash(documents);
    folders.AutoSaveFolder = folders.UserDataFolder;
    folders.EventLogFileName = folders.UserDataFolder + QString::fromLatin1(kEventLogFileName);
    return folders;
}

bool CreateUserDataFolder(const TKorvelFolders& Folders)
{
    return QDir().mkpath(Folders.UserDataFolder);
}

bool DeleteEventLog(const TKorvelFolders& Folders)
{
    if (!QFileInfo::exists(Folders.EventLogFileName))
        return true;
    return QFile::remove(Folders.EventLogFileName);
}
