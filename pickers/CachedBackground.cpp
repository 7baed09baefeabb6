#include "pickers/CachedBackground.h"

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QWidget>

#include <cmath>

QSize CachedBackground::deviceSize(QSize logicalSize, qreal dpr)
{
    if (logicalSize.isEmpty() || dpr <= 0)
        return {};
    // A hair of tolerance so 190 × 1.0000001 does not grow a column of its own.
    const auto scale = [dpr](int v) { return static_cast<int>(std::ceil(v * dpr - 1e-6)); };
    return {scale(logicalSize.width()), scale(logicalSize.height())};
}

qreal CachedBackground::paintRatio(const QPainter& painter, const QWidget* widget)
{
    qreal dpr = widget ? widget->devicePixelRatioF() : 1.0;
    // While a widget is rendered into another device, the painter's device() is still the widget;
    // the engine knows the device really painted on.
    if (QPaintEngine* engine = painter.paintEngine()) {
        if (QPaintDevice* target = engine->paintDevice())
            dpr = std::max(dpr, target->devicePixelRatioF());
    }
    return dpr > 0 ? dpr : 1.0;
}

bool CachedBackground::isDirty(QSize logicalSize, qreal dpr) const
{
    return m_dirty || m_image.isNull() || logicalSize != m_logicalSize || dpr != m_dpr;
}

const QImage& CachedBackground::image(QSize logicalSize, qreal dpr, const Renderer& render)
{
    if (!isDirty(logicalSize, dpr))
        return m_image;
    const QSize pixels = deviceSize(logicalSize, dpr);
    m_logicalSize = logicalSize;
    m_dpr = dpr;
    m_dirty = false;
    if (pixels.isEmpty()) {
        m_image = QImage();
        return m_image;
    }
    if (m_image.size() != pixels || m_image.format() != QImage::Format_ARGB32_Premultiplied)
        m_image = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    m_image.setDevicePixelRatio(dpr);
    m_image.fill(Qt::transparent);
    ++m_renders;
    if (render)
        render(m_image);
    return m_image;
}

void CachedBackground::draw(
    QPainter& painter, const QWidget* widget, QPoint topLeft, QSize logicalSize, const Renderer& render)
{
    const QImage& cached = image(logicalSize, paintRatio(painter, widget), render);
    if (!cached.isNull())
        painter.drawImage(topLeft, cached);
}

void CachedBackground::release()
{
    m_image = QImage();
    m_dirty = true;
}
