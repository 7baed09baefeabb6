// korvel-gallery: one tab per control with a status line of its events, or, with
// `--screenshot DIR`, NAME@1x.png and NAME@2x.png for every control and exit.
#include "Gallery.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QMainWindow>
#include <QPainter>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

QStatusBar* g_status = nullptr;
bool g_verbose = false;

QString fileStem(const QString& name)
{
    QString stem;
    for (QChar c : name)
        stem += (c.isLetterOrNumber() || c == u'-' || c == u'_') ? c : QChar(u'_');
    return stem;
}

// Hosts one control in a plain window with room around it, the way a form would.
QWidget* makeHost(const GalleryEntry& entry, QWidget* parent)
{
    auto* host = new QWidget(parent);
    auto* layout = new QVBoxLayout(host);
    layout->setContentsMargins(8, 8, 8, 8);
    if (QWidget* control = entry.make(host))
        layout->addWidget(control);
    layout->addStretch(1);
    return host;
}

int writeScreenshots(const QString& dir)
{
    if (!QDir().mkpath(dir)) {
        std::fprintf(stderr, "korvel-gallery: cannot create %s\n", qPrintable(dir));
        return 1;
    }
    int failures = 0;
    for (const GalleryEntry& entry : galleryEntries()) {
        std::unique_ptr<QWidget> host(makeHost(entry, nullptr));
        host->setAttribute(Qt::WA_DontShowOnScreen);
        host->show();
        host->adjustSize();
        QApplication::processEvents();
        for (int ratio : {1, 2}) {
            QImage shot(host->size() * ratio, QImage::Format_ARGB32_Premultiplied);
            shot.setDevicePixelRatio(ratio);
            shot.fill(host->palette().window().color());
            host->render(&shot);
            const QString path = QDir(dir).filePath(QStringLiteral("%1@%2x.png").arg(fileStem(entry.name)).arg(ratio));
            if (!shot.save(path)) {
                std::fprintf(stderr, "korvel-gallery: cannot write %s\n", qPrintable(path));
                ++failures;
            } else {
                std::printf("%s\n", qPrintable(path));
            }
        }
    }
    return failures == 0 ? 0 : 1;
}

} // namespace

std::vector<GalleryEntry>& galleryEntries()
{
    static std::vector<GalleryEntry> entries;
    return entries;
}

void galleryStatus(const QString& text)
{
    if (g_status)
        g_status->showMessage(text);
    if (g_verbose)
        std::fprintf(stderr, "%s\n", qPrintable(text));
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QStringList args = app.arguments();
    std::stable_sort(galleryEntries().begin(), galleryEntries().end(),
        [](const GalleryEntry& a, const GalleryEntry& b) { return a.name < b.name; });

    g_verbose = args.contains(QStringLiteral("--verbose"));
    const qsizetype shotAt = args.indexOf(QStringLiteral("--screenshot"));
    if (shotAt >= 0) {
        if (shotAt + 1 >= args.size()) {
            std::fprintf(stderr, "usage: korvel-gallery [--verbose] [--screenshot DIR]\n");
            return 2;
        }
        return writeScreenshots(args.at(shotAt + 1));
    }

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Korvel controls"));
    auto* tabs = new QTabWidget(&window);
    for (const GalleryEntry& entry : galleryEntries())
        tabs->addTab(makeHost(entry, tabs), entry.name);
    if (galleryEntries().empty())
        tabs->addTab(new QLabel(QStringLiteral("No controls registered."), tabs), QStringLiteral("(none)"));
    window.setCentralWidget(tabs);
    g_status = window.statusBar();
    window.resize(720, 560);
    window.show();
    return app.exec();
}
