#pragma once

#include "ports/Pause.h"

namespace kelvane::views {

// Waits on the user-interface thread. wait() blocks the thread (no window is
// redrawn meanwhile). waitThenHandleEvents() keeps the program playing: it
// runs a nested event loop for the pause, so a switch pressed during a fade
// sounds when it is pressed, not when the pause ends, and the windows redraw
// inside the pause rather than after it; when the pause is over, every event
// still pending runs before it returns. Handlers may run nested inside the
// caller either way.
class QtPause : public Pause {
public:
    void wait(int milliseconds) override;
    void waitThenHandleEvents(int milliseconds) override;
};

} // namespace kelvane::views
