#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace kelvane::joystick {

// A joystick that exists only inside this process (an SDL virtual joystick),
// for tests, benchmarks and the control's test container. It is seen by every
// SdlJoystickServices of the process exactly like a plugged-in device.
// Values set here reach readers at their next poll, and wake readers that
// sleep until the device changes (see ChangeSignal.h).
class VirtualJoystick {
public:
    struct Description {
        std::string name = "Virtual Pad";
        std::uint16_t vendorId = 0x1209;
        std::uint16_t productId = 0x0001;
        int axes = 3;
        int buttons = 4;
        int hats = 0;
        // False: readers are not told of changes and find them by polling,
        // as with a device whose file cannot be read.
        bool announcesChanges = true;
    };

    // Directions of a hat (a D-pad), combined for the diagonals.
    enum Hat : std::uint8_t { kHatCentred = 0, kHatUp = 1, kHatRight = 2, kHatDown = 4, kHatLeft = 8 };

    // Plugs the joystick in. Holds a reference on SDL's joystick subsystem.
    explicit VirtualJoystick(Description description);
    VirtualJoystick();
    ~VirtualJoystick();
    VirtualJoystick(const VirtualJoystick&) = delete;
    VirtualJoystick& operator=(const VirtualJoystick&) = delete;

    // button: 1-based. Ignored while unplugged or out of range.
    void setButton(int button, bool down);
    // axis: 0 = X, 1 = Y, 2 = Z; value on the 0..65535 scale.
    void setAxis(int axis, std::uint32_t value);
    // hat: 0-based; directions: Hat values or'ed together.
    void setHat(int hat, std::uint8_t directions);

    // Unplugging releases every button first; plugging in again starts with
    // the axes centred and no button held.
    void unplug();
    void plug();
    bool plugged() const;

    // Number of joysticks SDL reports in this process, this one included.
    static int connectedCount();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace kelvane::joystick
