// Widgets need a QApplication before the first one is made; every benchmark that draws asks
// for it here, so each program has exactly one, on the offscreen platform unless told
// otherwise.
#pragma once

#include <QApplication>

inline QApplication& benchApplication()
{
    static int argc = 1;
    static char name[] = "korvel_bench";
    static char* argv[] = {name, nullptr};
    if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance()))
        return *existing;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return app;
}
