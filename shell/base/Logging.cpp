#include "shell/base/Logging.h"

Q_LOGGING_CATEGORY(lcKorvelShell, "korvel.shell", QtWarningMsg)
Q_LOGGING_CATEGORY(lcKorvelPeers, "korvel.peers", QtWarningMsg)

void EnableDiagnosticLog(bool Enabled)
{
    QLoggingCategory::setFilterRules(
        Enabled ? QStringLiteral("korvel.*=true") : QStringLiteral("korvel.*.debug=false\nkorvel.*.info=false"));
}
