#include "ShellTestUtil.h"

#include "palette/RichColor.h"
#include "shell/base/AutoSave.h"
#include "shell/base/SingleInstance.h"

#include <QCoreApplication>
#include <QProcessEnvironment>
#include <QThread>

#include <cstdio>
#include <unistd.h>

void FillCollection(TRichPaletteList& List, const QString& Tag, int Palettes, int Colors)
{
    for (int p = 0; p < Palettes; ++p) {
        TRichPalette* palette = List.Add(p == 0 ? Tag : QStringLiteral("%1 #%2").arg(Tag).arg(p), true);
        for (int c = 0; c < Colors; ++c) {
            TRichColor* swatch = palette->Add();
            swatch->SetColor(RGB((c * 37 + p) & 0xFF, (c * 11) & 0xFF, (p * 53) & 0xFF));
            swatch->SetDescription(QStringLiteral("%1 swatch %2").arg(Tag).arg(c));
        }
    }
    List.SetItemIndex(0);
}

QString CollectionTag(const TRichPaletteList& List)
{
    return List.Count() > 0 ? List.Items(0)->Title() : QString();
}

static void Say(const char* Text)
{
    std::printf("%s\n", Text);
    std::fflush(stdout);
}

int RunChildRole(const QString& Role, const QStringList& Arguments)
{
    if (Role == u"second-start" && Arguments.size() >= 4) {
        // lock, socket, message name, file to open
        TSingleInstance instance({Arguments[1], Arguments[0], Arguments[2]});
        const TInstanceRole role = instance.Start(Arguments[3], 3000);
        return 10 + static_cast<int>(role);
    }
    if (Role == u"crash-while-first" && Arguments.size() >= 3) {
        TSingleInstance instance({Arguments[1], Arguments[0], Arguments[2]});
        if (instance.Start() != TInstanceRole::First || !instance.IsListening())
            return 3;
        Say("first");
        // Die as a crash would: no destructor removes the lock or the socket.
        ::_exit(0);
    }
    if (Role == u"first-and-wait" && Arguments.size() >= 3) {
        TSingleInstance instance({Arguments[1], Arguments[0], Arguments[2]});
        if (instance.Start() != TInstanceRole::First)
            return 3;
        instance.OnActivate = [](const QString& file) {
            std::printf("activated:%s\n", file.toUtf8().constData());
            std::fflush(stdout);
            QCoreApplication::quit();
        };
        Say("first");
        return QCoreApplication::exec() == 0 ? 0 : 4;
    }
    if (Role == u"autosave-forever" && !Arguments.isEmpty()) {
        // Writes big collections "A" and "B" in turn until killed.
        TRichPaletteList a, b;
        FillCollection(a, QStringLiteral("A"), 40, 250);
        FillCollection(b, QStringLiteral("B"), 40, 250);
        for (int i = 0;; ++i) {
            if (!WriteAutoSave(i % 2 == 0 ? a : b, Arguments[0]))
                return 5;
            if (i == 1)
                Say("writing");
        }
    }
    return 99;
}

void StartChild(QProcess& Process, const QString& Role, const QStringList& Arguments)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KORVEL_SHELL_CHILD"), Role);
    Process.setProcessEnvironment(env);
    Process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    Process.start(QCoreApplication::applicationFilePath(), Arguments);
}
