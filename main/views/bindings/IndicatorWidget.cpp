#include "bindings/IndicatorWidget.h"

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
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal inset = kOutlineWidth / 2 + 1;
    const QRectF box = QRectF(rect()).adjusted(inset, inset, -inset, -inset);
    painter.setPen(QPen(colour(), kOutlineWidth));
    painter.setBrush(shape_.lit() ? QBrush(colour()) : QBrush(Qt::NoBrush));
    painter.drawRoundedRect(box, kCornerRadius, kCornerRadius);
}

void IndicatorWidget::refresh()
{
    showEnabledAndVisible(*this, shape_);
    update();
}

} // namespace kelvane::views
