#pragma once

// The toolkit's floor for a press through the X server: a bare Qt window whose
// press handler only notes the time.

#include "BenchStats.h"

#include <QMouseEvent>
#include <QWidget>

namespace kelvane::bench {

class FloorWindow : public QWidget {
public:
    FloorWindow()
    {
        setWindowTitle("floor");
        // On stage the program's window stays active from one press to the
        // next. A floor window that took the focus at its presses would make
        // every press of either window change the active window, which
        // neither would pay in use.
        setWindowFlag(Qt::WindowDoesNotAcceptFocus);
    }

    void mousePressEvent(QMouseEvent* event) override
    {
        presses.note();
        event->accept();
    }
    void mouseReleaseEvent(QMouseEvent* event) override { event->accept(); }

    Arrivals presses;
};

} // namespace kelvane::bench
