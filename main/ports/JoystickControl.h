#pragma once

namespace kelvane {

// What the main window does with each of its joystick controls at start-up
// and unload: switch its capture on and off.
class JoystickControl {
public:
    virtual ~JoystickControl() = default;
    virtual bool enabled() const = 0;
    virtual void setEnabled(bool enabled) = 0;
};

} // namespace kelvane
