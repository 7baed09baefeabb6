// Korvel: one running copy per program file, then the main window until it closes.
#include "shell/Main.h"
#include "pickers/SysColors.h"
#include "shell/base/CommandLine.h"
#include "shell/base/Logging.h"
#include "shell/base/SingleInstance.h"

#include <QApplication>
#include <QFileInfo>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Brightfold"));
    QApplication::setApplicationName(QStringLiteral("Korvel4"));

    TStartOptions options;
    options.CommandLine = ParseCommandLine(app.arguments().mid(1));
    options.CtrlHeld = QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ControlModifier);
    EnableDiagnosticLog(options.CommandLine.Debug);

    // A second start of the same program file hands its file to the first copy and ends
    // without a window.
    TSingleInstance instance(InstanceNamesFor(QApplication::applicationFilePath()));
    if (instance.Start(options.CommandLine.FileName) != TInstanceRole::First)
        return 0;

    InstallSysColorResolver();
    TfrmMain window(options);
    instance.OnActivate = [&window](const QString& FileName) {
        if (window.isMinimized())
            window.showNormal();
        window.raise();
        window.activateWindow();
        window.OpenFileFromOutside(FileName);
    };
    window.show();
    if (options.CommandLine.QuitAfterShow)
        QTimer::singleShot(0, &window, [&window] {
            // Painted once, as a user would first see it, then closed the ordinary way.
            window.repaint();
            window.close();
        });
    // A developer's look at the window as a user sees it: KORVEL_SCREENSHOT names a PNG
    // the window writes of itself a moment after it shows, then the program ends.
    const QString shot = qEnvironmentVariable("KORVEL_SCREENSHOT");
    if (!shot.isEmpty())
        QTimer::singleShot(1500, &window, [&window, shot] {
            window.grab().save(shot);
            window.close();
        });
    return app.exec();
}
