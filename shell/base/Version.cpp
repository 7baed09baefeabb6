#include "shell/base/Version.h"

QString TProgramVersion::Text() const
{
    return QStringLiteral("Version: %1.%2.%3, build: %4").arg(Major).arg(Minor).arg(Release).arg(Build);
}

TProgramVersion RunningVersion()
{
    return {KORVEL_VERSION_MAJOR, KORVEL_VERSION_MINOR, KORVEL_VERSION_RELEASE, KORVEL_VERSION_BUILD};
}
