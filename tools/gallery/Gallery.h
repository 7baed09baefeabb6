// The gallery shows every colour control live and writes screenshots of them. Each control's file
// registers itself, so adding a control never touches main.cpp:
//
//     KORVEL_GALLERY_ENTRY(ColorWheel, "ColorWheel", [](QWidget* parent) -> QWidget* { ... });
//
// `make` builds the control (or a small panel around it) as a child of `parent`; the gallery takes
// ownership. Report live values with galleryStatus(), which shows in the window's status line.
#pragma once

#include <QString>

#include <functional>
#include <vector>

class QWidget;

struct GalleryEntry {
    QString name;
    std::function<QWidget*(QWidget* parent)> make;
};

// All registered entries, in registration order (main.cpp sorts them by name).
std::vector<GalleryEntry>& galleryEntries();

// Shows a control's latest event or value in the gallery's status line (and on stderr with
// --verbose); harmless while taking screenshots.
void galleryStatus(const QString& text);

struct GalleryRegistrar {
    GalleryRegistrar(QString name, std::function<QWidget*(QWidget* parent)> make)
    {
        galleryEntries().push_back({std::move(name), std::move(make)});
    }
};

#define KORVEL_GALLERY_ENTRY(id, name, make) static const GalleryRegistrar korvelGalleryEntry_##id((name), (make))
