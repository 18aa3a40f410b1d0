#pragma once

namespace kelvane {

// What a joystick control raises: a button (1..4) going down or up, and the
// stick's position (each axis 0..65535, centre near 32767) when X or Y moved.
// Called on the user-interface thread, like any other window event, also
// inside modal boxes; a handler may open one.
class JoystickEvents {
public:
    virtual void buttonDown(int button) = 0;
    virtual void buttonUp(int button) = 0;
    virtual void move(int x, int y, int z) = 0;

protected:
    ~JoystickEvents() = default;
};

// One of the main window's joystick controls: its capture is switched on and
// off with enabled, and its events go to the handler set here.
class JoystickControl {
public:
    virtual ~JoystickControl() = default;
    virtual bool enabled() const = 0;
    virtual void setEnabled(bool enabled) = 0;
    // Null stops the events. The handler must outlive the control or be reset first.
    virtual void setEvents(JoystickEvents* events) = 0;
};

} // namespace kelvane
