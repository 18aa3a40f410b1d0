#pragma once

#include "bindings/ControlLink.h"
#include "controls/Timer.h"

#include <QElapsedTimer>
#include <QTimer>

namespace kelvane::views {

// Runs a Timer control on the event loop: the QTimer runs while the control is
// enabled and each of its expiries gives the control the ticks that are due.
// The QTimer carries the control's name.
//
// Forms count ticks as time (a loop stops after so many 55 ms ticks), so the
// ticks follow the monotonic clock from the moment the control was enabled:
// tick k never comes before k intervals have passed (a coarse timer fires up
// to 5 % early), and an expiry that comes late, after the event loop was held
// up, gives every tick that fell due meanwhile, one after the other, until
// the control is disabled. Enabling the control again starts the count anew.
class TimerBinding : public QObject {
public:
    TimerBinding(Timer& timer, QObject* parent);

    const QTimer& qtimer() const { return qtimer_; }

private:
    void refresh();
    void expired();

    Timer& timer_;
    QTimer qtimer_;
    QElapsedTimer enabledSince_;
    qint64 ticksGiven_ = 0;
    bool running_ = false;
    // Counts starts and stops, so an expiry whose tick restarted or stopped
    // the timer gives no further ticks of the run it began with.
    unsigned run_ = 0;
    ControlLink link_;
};

} // namespace kelvane::views
