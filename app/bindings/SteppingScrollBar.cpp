#include "bindings/SteppingScrollBar.h"

#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QWheelEvent>

namespace kelvane::views {

namespace {
constexpr int kWheelNotch = 120; // QWheelEvent's eighths of a degree per notch
}

SteppingScrollBar::SteppingScrollBar(ScrollBar& bar, QWidget* parent) : BoundScrollBar(bar, parent)
{
    // A groove click moves as little as an arrow click.
    setPageStep(singleStep());
}

void SteppingScrollBar::wheelEvent(QWheelEvent* event)
{
    const QPoint delta = event->angleDelta();
    wheelRemainder_ += delta.y() != 0 ? delta.y() : delta.x();
    // Upward notches move toward the top (the minimum of the widget's range).
    while (wheelRemainder_ >= kWheelNotch) {
        wheelRemainder_ -= kWheelNotch;
        triggerAction(QAbstractSlider::SliderSingleStepSub);
    }
    while (wheelRemainder_ <= -kWheelNotch) {
        wheelRemainder_ += kWheelNotch;
        triggerAction(QAbstractSlider::SliderSingleStepAdd);
    }
    event->accept();
}

void SteppingScrollBar::mousePressEvent(QMouseEvent* event)
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QStyle::SubControl hit
        = style()->hitTestComplexControl(QStyle::CC_ScrollBar, &option, event->position().toPoint(), this);
    if (event->button() != Qt::LeftButton || hit != QStyle::SC_ScrollBarSlider) {
        QScrollBar::mousePressEvent(event);
        return;
    }
    dragging_ = true;
    dragStart_ = event->position().toPoint();
    dragStartValue_ = value();
    setSliderDown(true);
    event->accept();
}

int SteppingScrollBar::travel(const QPoint& at) const
{
    const QPoint moved = at - dragStart_;
    return (orientation() == Qt::Vertical ? moved.y() : moved.x()) / kPixelsPerStep;
}

void SteppingScrollBar::mouseMoveEvent(QMouseEvent* event)
{
    if (!dragging_) {
        QScrollBar::mouseMoveEvent(event);
        return;
    }
    // With tracking the value follows the thumb; without it the value is set
    // when the thumb is let go, as for any bar.
    setSliderPosition(std::clamp(dragStartValue_ + travel(event->position().toPoint()), minimum(), maximum()));
    event->accept();
}

void SteppingScrollBar::mouseReleaseEvent(QMouseEvent* event)
{
    if (!dragging_) {
        QScrollBar::mouseReleaseEvent(event);
        return;
    }
    dragging_ = false;
    setSliderDown(false);
    event->accept();
}

} // namespace kelvane::views
