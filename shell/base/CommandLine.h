#pragma once
// The command line: at most one palette file to open, and the switch "Debug" that turns
// the diagnostic log on.
//
// A switch starts with "-" or "/". On Linux an absolute path starts with "/" too, so an
// argument starting with "/" is a switch only when it is "/" followed by a switch word we
// know, or when it looks like one ("/Word": no further "/") and no such file exists;
// anything else starting with "/" is a path.

#include <QString>
#include <QStringList>

#include <functional>

struct TCommandLine {
    // "-Debug", "/Debug" or "--debug", in any letter case, anywhere on the line.
    bool Debug = false;
    // "--quit-after-show": show the main window once, then end as at any exit, so start-up
    // can be timed from outside.
    bool QuitAfterShow = false;
    // The first argument when it is not empty and not a switch; "" otherwise.
    QString FileName;
};

using TFileExists = std::function<bool(const QString& Path)>;

// Whether Argument is a switch rather than a file.
bool IsSwitchArgument(const QString& Argument, const TFileExists& FileExists = {});

// Arguments without the program name. FileExists defaults to asking the file system.
TCommandLine ParseCommandLine(const QStringList& Arguments, const TFileExists& FileExists = {});
