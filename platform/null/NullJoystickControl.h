#pragma once

#include "ports/JoystickControl.h"

namespace kelvane {

// A joystick control with no device behind it: it remembers whether it is
// enabled and never raises an event.
class NullJoystickControl : public JoystickControl {
public:
    bool enabled() const override { return enabled_; }
    void setEnabled(bool enabled) override { enabled_ = enabled; }
    void setEvents(JoystickEvents*) override { }

private:
    bool enabled_ = false;
};

} // namespace kelvane
