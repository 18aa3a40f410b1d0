#include "bindings/TimerBinding.h"

namespace kelvane::views {

TimerBinding::TimerBinding(Timer& timer, QObject* parent) :
    QObject(parent),
    timer_(timer),
    qtimer_(this),
    link_(
        timer, [this] { refresh(); }, ControlLink::Delivery::AtOnce)
{
    qtimer_.setObjectName(QString::fromStdString(timer.name()));
    qtimer_.setInterval(timer.intervalMs());
    connect(&qtimer_, &QTimer::timeout, this, [this] { timer_.tick(); });
    refresh();
}

void TimerBinding::refresh()
{
    if (timer_.enabled() && !qtimer_.isActive())
        qtimer_.start();
    else if (!timer_.enabled() && qtimer_.isActive())
        qtimer_.stop();
}

} // namespace kelvane::views
