#include "SimulatedJoystick.h"

#include <charconv>
#include <sstream>

namespace {

bool readNumber(const std::string& word, long& value)
{
    const auto [at, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    return error == std::errc {} && at == word.data() + word.size() && !word.empty();
}

constexpr long kAxisMax = 65535;

} // namespace

SimulatedJoystick::SimulatedJoystick(int port)
{
    using kelvane::joystick::VirtualJoystick;
    while (VirtualJoystick::connectedCount() < port) {
        VirtualJoystick::Description standIn;
        standIn.name = "Stand-in Pad";
        standIns_.push_back(std::make_unique<VirtualJoystick>(standIn));
    }
    port_ = VirtualJoystick::connectedCount();
    VirtualJoystick::Description pad;
    pad.name = "Simulated Pad";
    joystick_ = std::make_unique<VirtualJoystick>(pad);
}

SimulatedJoystick::Outcome SimulatedJoystick::apply(std::string_view line, std::string& message)
{
    std::istringstream words {std::string(line)};
    std::string command;
    std::string first;
    std::string second;
    std::string extra;
    words >> command >> first >> second >> extra;
    const auto refuse = [&](std::string why) {
        message = std::move(why);
        return Outcome::Refused;
    };
    if (!extra.empty()) {
        return refuse("too many words");
    }
    if (command.empty()) {
        return Outcome::Done;
    }
    if (command == "quit" && first.empty()) {
        return Outcome::Quit;
    }
    if (command == "unplug" && first.empty()) {
        joystick_->unplug();
        return Outcome::Done;
    }
    if (command == "plug" && first.empty()) {
        joystick_->plug();
        return Outcome::Done;
    }
    if (command == "button") {
        long button = 0;
        if (!readNumber(first, button) || button < 1 || (second != "down" && second != "up")) {
            return refuse("use: button N down|up");
        }
        joystick_->setButton(static_cast<int>(button), second == "down");
        return Outcome::Done;
    }
    if (command == "axis") {
        long value = 0;
        const int axis = first == "x" ? 0 : first == "y" ? 1 : first == "z" ? 2 : -1;
        if (axis < 0 || !readNumber(second, value) || value < 0 || value > kAxisMax) {
            return refuse("use: axis x|y|z VALUE, VALUE from 0 to 65535");
        }
        joystick_->setAxis(axis, static_cast<std::uint32_t>(value));
        return Outcome::Done;
    }
    return refuse("unknown command (button, axis, unplug, plug, quit)");
}
