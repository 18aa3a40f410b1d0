#pragma once

#include "ports/Pause.h"

namespace kelvane::views {

// Waits on the user-interface thread. wait() blocks the thread (no window is
// redrawn meanwhile); waitThenHandleEvents() then runs every pending event,
// so handlers may run nested inside the caller.
class QtPause : public Pause {
public:
    void wait(int milliseconds) override;
    void waitThenHandleEvents(int milliseconds) override;
};

} // namespace kelvane::views
