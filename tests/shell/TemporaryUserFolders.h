#pragma once
// Every XDG folder (and HOME) inside one temporary folder, set before QStandardPaths or
// QSettings is first asked, so no test touches the real user's settings or palettes.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

inline void UseTemporaryUserFolders(const QTemporaryDir& Root)
{
    const QString base = Root.path();
    for (const char* name : {"config", "data", "runtime", "home"})
        QDir(base).mkpath(QString::fromLatin1(name));
    // Local sockets refuse a runtime folder others may read.
    QFile::setPermissions(
        base + QStringLiteral("/runtime"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(base + QStringLiteral("/config")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(base + QStringLiteral("/data")));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(base + QStringLiteral("/runtime")));
    qputenv("HOME", QFile::encodeName(base + QStringLiteral("/home")));
    qunsetenv("XDG_DOCUMENTS_DIR");
}
