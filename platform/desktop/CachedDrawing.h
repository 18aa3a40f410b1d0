#pragma once

#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>

#include <initializer_list>

namespace kelvane::views {

// A key for Qt's pixmap cache: the prefix, then the values' bytes as they are.
// Formatting the numbers as text took a third of a press's repaint.
QString pixmapCacheKey(const char* prefix, std::initializer_list<qint64> values);

// What the same few looks cost to paint over and over (antialiased curves,
// Fusion's gradients) is paid once: the pixmap kept under `key`, or a new one
// of `size` (device-independent pixels at `ratio`), filled with `background`,
// drawn by `draw(painter)` and kept.
template <typename Draw>
QPixmap cachedDrawing(const QString& key, QSize size, qreal ratio, const QColor& background, Draw draw)
{
    QPixmap pixmap;
    if (QPixmapCache::find(key, &pixmap))
        return pixmap;
    pixmap = QPixmap((QSizeF(size) * ratio).toSize());
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(background);
    QPainter painter(&pixmap);
    draw(painter);
    painter.end();
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}

} // namespace kelvane::views
