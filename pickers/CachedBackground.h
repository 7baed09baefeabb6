// One cache for a control's expensive background (a disc, a ramp, a field of colours), held in
// device pixels so it stays sharp on high-density screens and is not rebuilt on every paint.
#pragma once

#include <QImage>
#include <QSize>

#include <functional>

class QPainter;
class QWidget;

class CachedBackground {
public:
    // Draws the background into `image`, which is already sized in device pixels, carries the
    // device pixel ratio (so a QPainter on it works in logical coordinates) and is cleared to
    // transparent. Scanline writers address device pixels: image.width() × image.height().
    using Renderer = std::function<void(QImage& image)>;

    // ceil(w·dpr) × ceil(h·dpr): the cache never comes out a pixel short of the widget.
    static QSize deviceSize(QSize logicalSize, qreal dpr);

    // The ratio a paint lands at. Normally the widget's, but QWidget::render into a 2x image (the
    // gallery's screenshots, a drag picture) asks for more than the screen has.
    static qreal paintRatio(const QPainter& painter, const QWidget* widget);

    // Forces the next image() to render: call it when a property that shows in the background
    // changes. Resizes and ratio changes are noticed without it.
    void invalidate() { m_dirty = true; }
    bool isDirty(QSize logicalSize, qreal dpr) const;

    // The cache for this logical size and ratio, rendered first when it is out of date.
    const QImage& image(QSize logicalSize, qreal dpr, const Renderer& render);

    // Convenience for paint events: the cache at the painter's ratio drawn at `topLeft`
    // (logical coordinates).
    void draw(QPainter& painter, const QWidget* widget, QPoint topLeft, QSize logicalSize, const Renderer& render);

    // How many times the background has been rendered; lets tests check that invalidation is narrow.
    int renderCount() const { return m_renders; }

    // Frees the pixels (e.g. when a control is hidden for good); the next image() renders again.
    void release();

private:
    QImage m_image;
    QSize m_logicalSize;
    qreal m_dpr = 0;
    bool m_dirty = true;
    int m_renders = 0;
};
