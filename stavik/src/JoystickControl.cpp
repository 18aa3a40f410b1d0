#include "JoystickControl.h"

namespace stavik {

using kelvane::joystick::Capabilities;
using kelvane::joystick::JoyResult;
using kelvane::joystick::Position;

JoystickControl::JoystickControl(
    std::shared_ptr<kelvane::joystick::JoystickServices> services, ControlEventTarget& events) :
    services_(std::move(services)), events_(events)
{
}

JoystickControl::~JoystickControl() { releaseCapture(); }

void JoystickControl::initNew(bool runMode)
{
    releaseCapture();
    enabled_ = true;
    setPort(0);
    threshold_ = 0;
    period_ = static_cast<std::int32_t>(caps_.periodMin);
    modified_ = false;
    if (runMode) {
        startCapture();
    }
}

void JoystickControl::load(const PersistedState& state, bool runMode)
{
    releaseCapture();
    enabled_ = state.enabled;
    setPort(state.port);
    threshold_ = state.threshold;
    period_ = state.period;
    modified_ = false;
    if (runMode && enabled_) {
        startCapture();
    }
}

PersistedState JoystickControl::persisted() const
{
    PersistedState state;
    state.enabled = enabled_;
    state.port = port_;
    state.threshold = threshold_;
    state.period = period_;
    return state;
}

void JoystickControl::setPort(std::int32_t n)
{
    port_ = n;
    caps_ = Capabilities {};
    Capabilities read;
    if (services_->capabilities(n, read) == JoyResult::Ok) {
        caps_ = read;
    }
}

std::int32_t JoystickControl::threshold() const
{
    std::uint32_t held = 0;
    if (services_->threshold(port_, held) == JoyResult::Ok) {
        return static_cast<std::int32_t>(held);
    }
    return threshold_;
}

void JoystickControl::setThreshold(std::int32_t n)
{
    threshold_ = n;
    services_->setThreshold(port_, static_cast<std::uint32_t>(n));
    modified_ = true;
}

void JoystickControl::setPeriod(std::int32_t n)
{
    period_ = n;
    modified_ = true;
}

void JoystickControl::setEnabled(bool enabled)
{
    if (enabled != enabled_) {
        enabled_ = enabled;
        modified_ = true;
    }
    if (enabled) {
        if (!captured_) {
            startCapture();
        }
    } else {
        releaseCapture();
    }
}

void JoystickControl::startCapture()
{
    setThreshold(threshold_);
    // A joystick plugged in later on the port is captured when it arrives.
    captured_ = services_->setWaitingCapture(port_, period_, true, *this) == JoyResult::Ok;
    capturedPort_ = port_;
}

void JoystickControl::releaseCapture()
{
    if (captured_) {
        // The capture belongs to the joystick it was started for, which Port
        // may no longer name.
        services_->releaseCapture(capturedPort_);
    }
    captured_ = false;
}

std::optional<Position> JoystickControl::position() const
{
    Position at;
    if (services_->position(port_, at) == JoyResult::Ok) {
        return at;
    }
    return std::nullopt;
}

int JoystickControl::devices() const { return services_->deviceCount(); }

bool JoystickControl::joystickAttached(int which) const
{
    if (devices() < which + 1) {
        return false;
    }
    Position ignored;
    return services_->position(which, ignored) != JoyResult::Unplugged;
}

void JoystickControl::buttonsPressed(std::uint32_t changed)
{
    ControlEventTarget& events = events_;
    events.notificationBegins();
    // A handler may release the capture; the rest of this notification then goes unsaid.
    for (int b = 0; b < kEventButtons && captured_; ++b) {
        if ((changed & (1u << b)) != 0) {
            events.buttonDown(static_cast<std::int16_t>(b + 1));
        }
    }
    events.notificationEnds();
}

void JoystickControl::buttonsReleased(std::uint32_t changed)
{
    ControlEventTarget& events = events_;
    events.notificationBegins();
    for (int b = 0; b < kEventButtons && captured_; ++b) {
        if ((changed & (1u << b)) != 0) {
            events.buttonUp(static_cast<std::int16_t>(b + 1));
        }
    }
    events.notificationEnds();
}

void JoystickControl::moved(const Position& at)
{
    // Read again now, from the joystick that moved (the one captured, not
    // necessarily the one Port names since). Should that read fail, the
    // notification's own reading is the best there is.
    Position now = at;
    Position read;
    if (services_->position(capturedPort_, read) == JoyResult::Ok) {
        now = read;
    }
    ControlEventTarget& events = events_;
    events.notificationBegins();
    events.move(static_cast<std::int32_t>(now.x), static_cast<std::int32_t>(now.y), static_cast<std::int32_t>(now.z));
    events.notificationEnds();
}

} // namespace stavik
