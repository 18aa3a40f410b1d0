#pragma once

#include "kelvane/joystick/VirtualJoystick.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

// A virtual joystick on a chosen identifier, driven by text commands:
//   button N down|up      N from 1
//   axis x|y|z VALUE      VALUE on the 0..65535 scale
//   unplug / plug
//   quit
// Identifiers are handed out in order of connection, so virtual stand-ins
// fill the identifiers below the chosen one that no device holds yet.
class SimulatedJoystick {
public:
    enum class Outcome { Done, Quit, Refused };

    // Must be made before the control's joystick services first look at the devices.
    explicit SimulatedJoystick(int port);

    // The identifier the joystick landed on (the chosen one unless devices
    // already held it).
    int port() const { return port_; }

    // Carries out one command line; message explains a refusal.
    Outcome apply(std::string_view line, std::string& message);

private:
    std::vector<std::unique_ptr<kelvane::joystick::VirtualJoystick>> standIns_;
    std::unique_ptr<kelvane::joystick::VirtualJoystick> joystick_;
    int port_ = 0;
};
