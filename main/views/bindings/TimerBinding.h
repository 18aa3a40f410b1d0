#pragma once

#include "bindings/ControlLink.h"
#include "controls/Timer.h"

#include <QTimer>

namespace kelvane::views {

// Runs a Timer control on the event loop: the QTimer runs while the control is
// enabled and each timeout is one tick(). The QTimer carries the control's name.
class TimerBinding : public QObject {
public:
    TimerBinding(Timer& timer, QObject* parent);

    const QTimer& qtimer() const { return qtimer_; }

private:
    void refresh();

    Timer& timer_;
    QTimer qtimer_;
    ControlLink link_;
};

} // namespace kelvane::views
