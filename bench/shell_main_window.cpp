// The main window as a user drives it: a base-colour change on a shown window (the wheel,
// a slider or a history step all end in SetBaseColor) until the player has repainted, and
// the program's start-up to its shown window.
#include "colour/Colors.h"
#include "movie/MoviePlayer.h"
#include "shell/Main.h"
#include "shell/base/SettingsStore.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// One application with every user folder inside a temporary folder, so no benchmark
// touches the real settings or palettes.
struct TBenchEnvironment {
    TBenchEnvironment()
    {
        for (const char* name : {"config", "data", "runtime", "home"})
            QDir(Root.path()).mkpath(QString::fromLatin1(name));
        QFile::setPermissions(Root.path() + QStringLiteral("/runtime"),
            QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(Root.path() + QStringLiteral("/config")));
        qputenv("XDG_DATA_HOME", QFile::encodeName(Root.path() + QStringLiteral("/data")));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(Root.path() + QStringLiteral("/runtime")));
        qputenv("HOME", QFile::encodeName(Root.path() + QStringLiteral("/home")));
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "korvel_bench_shell";
        static char* argv[] = {name, nullptr};
        App = std::make_unique<QApplication>(argc, argv);
        QApplication::setOrganizationName(QStringLiteral("Brightfold"));
        QApplication::setApplicationName(QStringLiteral("Korvel4"));
    }
    QTemporaryDir Root;
    std::unique_ptr<QApplication> App;
};

TBenchEnvironment& Environment()
{
    static TBenchEnvironment environment;
    return environment;
}

// From SetBaseColor to the player painted with the new scene, on the start page
// (Harmonies) at the window's first size.
void BM_MainWindowBaseColorChange(benchmark::State& state)
{
    Environment();
    TfrmMain window;
    window.resize(1024, 720);
    window.show();
    QApplication::processEvents();
    TMoviePlayer* player = window.Player();
    int step = 0;
    for (auto _ : state) {
        // A walk round the hue circle at varying brightness, as a wheel drag gives.
        step = (step + 7) % 360;
        const TColor color = HSBToColor(step, 0.4 + (step % 60) / 100.0, 0.5 + (step % 50) / 100.0);
        window.SetBaseColor(color);
        player->repaint();
    }
    state.counters["page"] = window.Pages().DisplayMode();
    window.close();
}

// The real program from its start to the shown window and its ordinary exit.
void BM_StartupToShownWindow(benchmark::State& state)
{
    Environment();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (auto _ : state) {
        QProcess program;
        program.setProcessEnvironment(env);
        QElapsedTimer timer;
        timer.start();
        program.start(QStringLiteral(KORVEL_PROGRAM), {QStringLiteral("--quit-after-show")});
        if (!program.waitForFinished(20000) || program.exitCode() != 0) {
            state.SkipWithError("korvel --quit-after-show did not end normally");
            break;
        }
        state.SetIterationTime(timer.nsecsElapsed() / 1e9);
    }
}

} // namespace

BENCHMARK(BM_MainWindowBaseColorChange)->Unit(benchmark::kMillisecond)->Iterations(200);
BENCHMARK(BM_StartupToShownWindow)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
