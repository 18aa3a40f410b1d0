#include "bindings/TimerBinding.h"

#include <algorithm>

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
    // A coarse timer may be moved by up to 5 % to share wake-ups with others.
    qtimer_.setTimerType(Qt::PreciseTimer);
    connect(&qtimer_, &QTimer::timeout, this, [this] { expired(); });
    refresh();
}

void TimerBinding::refresh()
{
    if (timer_.enabled() == running_)
        return;
    running_ = timer_.enabled();
    ++run_;
    if (running_) {
        ticksGiven_ = 0;
        enabledSince_.start();
        qtimer_.start();
    } else {
        qtimer_.stop();
    }
}

void TimerBinding::expired()
{
    const unsigned run = run_;
    const qint64 intervalNs = std::max<qint64>(1, qint64 {timer_.intervalMs()} * 1'000'000);
    const qint64 due = enabledSince_.nsecsElapsed() / intervalNs;
    // A tick's handler may open a message box whose event loop expires this
    // timer again: ticksGiven_ moves on before each tick, so no tick is given twice.
    while (ticksGiven_ < due && run == run_) {
        ++ticksGiven_;
        timer_.tick();
    }
}

} // namespace kelvane::views
