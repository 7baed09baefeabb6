#pragma once
// The diagnostic log: Qt logging categories under "korvel.", silent unless the command
// line holds the "Debug" switch.

#include <QLoggingCategory>

// Start-up, settings and folders.
Q_DECLARE_LOGGING_CATEGORY(lcKorvelShell)
// Messages between running copies and to the first copy.
Q_DECLARE_LOGGING_CATEGORY(lcKorvelPeers)

// On: every "korvel.*" category logs at every level. Off: their debug and info lines are
// dropped (warnings still show). QT_LOGGING_RULES still overrides both.
void EnableDiagnosticLog(bool Enabled);
