#include "bindings/IndicatorWidget.h"

#include "desktop/CachedDrawing.h"

#include <QPainter>

namespace kelvane::views {

namespace {
constexpr qreal kOutlineWidth = 3.0;
constexpr qreal kCornerRadius = 8.0;
} // namespace

IndicatorWidget::IndicatorWidget(Shape& shape, QWidget* parent) :
    QWidget(parent), shape_(shape), link_(shape, [this] { refresh(); })
{
    nameAfter(*this, shape);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setMinimumHeight(sizeHint().height());
    refresh();
}

QColor IndicatorWidget::colour() const
{
    const std::uint32_t rgb = shape_.colour();
    return QColor(
        static_cast<int>((rgb >> 16) & 0xFF), static_cast<int>((rgb >> 8) & 0xFF), static_cast<int>(rgb & 0xFF));
}

void IndicatorWidget::paintEvent(QPaintEvent*)
{
    // A press lights an indicator and its release darkens it: the same few
    // looks over and over, each drawn once (the antialiased outline was a
    // quarter of a press's repaint) and then copied.
    const QColor shown = colour();
    const bool lit = shape_.lit();
    const qreal ratio = devicePixelRatioF();
    const QString key
        = pixmapCacheKey("kelvane-indicator", {shown.rgba(), lit ? 1 : 0, width(), height(), qRound64(ratio * 1000)});
    const QPixmap look = cachedDrawing(key, size(), ratio, Qt::transparent, [&](QPainter& painter) {
        painter.setRenderHint(QPainter::Antialiasing);
        const qreal inset = kOutlineWidth / 2 + 1;
        const QRectF box = QRectF(QPointF(0, 0), QSizeF(size())).adjusted(inset, inset, -inset, -inset);
        painter.setPen(QPen(shown, kOutlineWidth));
        painter.setBrush(lit ? QBrush(shown) : QBrush(Qt::NoBrush));
        painter.drawRoundedRect(box, kCornerRadius, kCornerRadius);
    });
    QPainter(this).drawPixmap(0, 0, look);
}

void IndicatorWidget::refresh()
{
    showEnabledAndVisible(*this, shape_);
    update();
}

} // namespace kelvane::views
