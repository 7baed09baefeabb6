#include "shell/base/CommandLine.h"

#include <QFileInfo>

static const QStringList& KnownSwitches()
{
    static const QStringList words = {QStringLiteral("Debug")};
    return words;
}

static bool Exists(const TFileExists& FileExists, const QString& Path)
{
    return FileExists ? FileExists(Path) : QFileInfo::exists(Path);
}

// The word after the switch's leading "-", "--" or "/".
static QString SwitchWord(const QString& Argument)
{
    if (Argument.startsWith(QStringLiteral("--")))
        return Argument.mid(2);
    return Argument.mid(1);
}

bool IsSwitchArgument(const QString& Argument, const TFileExists& FileExists)
{
    if (Argument.startsWith(u'-'))
        return true;
    if (!Argument.startsWith(u'/'))
        return false;
    const QString word = Argument.mid(1);
    if (KnownSwitches().contains(word, Qt::CaseInsensitive))
        return true;
    return !word.isEmpty() && !word.contains(u'/') && !Exists(FileExists, Argument);
}

TCommandLine ParseCommandLine(const QStringList& Arguments, const TFileExists& FileExists)
{
    TCommandLine result;
    for (const QString& argument : Arguments) {
        if ((argument.startsWith(u'-') || argument.startsWith(u'/'))
            && SwitchWord(argument).compare(u"Debug", Qt::CaseInsensitive) == 0)
            result.Debug = true;
        if (argument == QStringLiteral("--quit-after-show"))
            result.QuitAfterShow = true;
    }
    if (!Arguments.isEmpty()) {
        const QString& first = Arguments.first();
        if (!first.isEmpty() && !IsSwitchArgument(first, FileExists))
            result.FileName = first;
    }
    return result;
}
