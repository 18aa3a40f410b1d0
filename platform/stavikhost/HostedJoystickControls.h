#pragma once

#include "ports/JoystickControl.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace stavik::host {
class StavikControl;
}

namespace kelvane::stavikhost {

// The stored state of the main window's joystick controls, as its window
// description holds it: Port (0 for Stavik1, 1 for Stavik2), Threshold 0,
// Period 0 (the smallest period), Enabled True; 29 bytes.
std::array<std::uint8_t, 29> storedControlState(int port);

// One joystick control from the component module, hosted as a container
// does, behind the core's JoystickControl. Its events arrive on the
// user-interface thread through the control's event interface; a failure a
// handler lets out is reported on standard error, never passed to the event loop.
class HostedJoystickControl final : public JoystickControl {
public:
    explicit HostedJoystickControl(std::unique_ptr<stavik::host::StavikControl> control);
    ~HostedJoystickControl() override;
    HostedJoystickControl(const HostedJoystickControl&) = delete;
    HostedJoystickControl& operator=(const HostedJoystickControl&) = delete;

    bool enabled() const override;
    void setEnabled(bool enabled) override;
    void setEvents(JoystickEvents* events) override;

    stavik::host::StavikControl& control() { return *control_; }

private:
    class Forwarder;
    std::unique_ptr<stavik::host::StavikControl> control_;
    std::unique_ptr<Forwarder> forwarder_;
};

struct HostedJoysticks {
    std::unique_ptr<JoystickControl> stavik1;
    std::unique_ptr<JoystickControl> stavik2;
    bool hosted = false; // false: two controls without a device, the module being missing
};

// Creates Stavik1 and Stavik2 by the control's ProgID through the registry
// file. When the class is not registered there, the first module of
// installedModules that exists is used and registered, so a fresh install
// plays pads with no manual step. When no module can be found or loaded,
// both are controls without a device, and say() is told why, once.
// Call on the user-interface thread of a running QApplication.
HostedJoysticks hostJoystickControls(const std::filesystem::path& registry,
    const std::vector<std::filesystem::path>& installedModules, const std::function<void(const std::string&)>& say);

} // namespace kelvane::stavikhost
