#pragma once

#include "PersistedState.h"

#include "kelvane/joystick/JoystickServices.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace stavik {

// Where the control's events go. Called synchronously on the UI thread from
// the joystick services' poll.
class ControlEventTarget {
public:
    // Bracket the events of one notification. The target may end the control
    // (and itself) once the bracket closes, so the control calls
    // notificationEnds() last and touches nothing of its own after it.
    virtual void notificationBegins() = 0;
    virtual void notificationEnds() = 0;
    virtual void buttonDown(std::int16_t button) = 0;
    virtual void buttonUp(std::int16_t button) = 0;
    virtual void move(std::int32_t x, std::int32_t y, std::int32_t z) = 0;

protected:
    ~ControlEventTarget() = default;
};

// The joystick control's behaviour: its properties, the capture of one
// joystick and the events raised from the capture's notifications. Access
// rules and the container protocol are the concern of the object around it.
//
// Only the first four buttons raise events, one per changed button in the
// order 1 to 4. A move raises Move with the position of the captured joystick
// read at that moment. Movement of Z alone raises nothing. An enabled control
// whose port has no joystick yet captures the one plugged in there later.
class JoystickControl final : private kelvane::joystick::CaptureListener {
public:
    static constexpr int kEventButtons = 4;

    JoystickControl(std::shared_ptr<kelvane::joystick::JoystickServices> services, ControlEventTarget& events);
    ~JoystickControl(); // releases the capture
    JoystickControl(const JoystickControl&) = delete;
    JoystickControl& operator=(const JoystickControl&) = delete;

    // A new control: Port 0, Threshold 0, Period = PeriodMin of joystick 0,
    // Enabled. Starts the capture when runMode.
    void initNew(bool runMode);
    // Persisted properties: applies Port through its setter, then takes
    // Threshold, Period and Enabled; starts the capture when runMode and enabled.
    void load(const PersistedState& state, bool runMode);
    // Port, Threshold, Period and Enabled as they are to be persisted.
    PersistedState persisted() const;

    std::int32_t port() const { return port_; }
    // Reads the capabilities of joystick n. Leaves a running capture where it
    // is and does not mark the control modified.
    void setPort(std::int32_t n);

    // The threshold the joystick services hold for port, or the one last
    // applied when they cannot say.
    std::int32_t threshold() const;
    void setThreshold(std::int32_t n);

    std::int32_t period() const { return period_; }
    // Takes effect at the next capture start.
    void setPeriod(std::int32_t n);

    bool enabled() const { return enabled_; }
    // True starts the capture (when not captured already), false releases it.
    void setEnabled(bool enabled);

    bool captured() const { return captured_; }
    bool modified() const { return modified_; }
    void markModified() { modified_ = true; }
    void clearModified() { modified_ = false; }

    // Capabilities of port as read by the last setPort; all zero when they could not be read.
    const kelvane::joystick::Capabilities& capabilities() const { return caps_; }
    // The position of port now, or nothing when it cannot be read.
    std::optional<kelvane::joystick::Position> position() const;
    int devices() const;
    // Whether joystick 0 (which = 0) or 1 (which = 1) is present, whatever Port holds.
    bool joystickAttached(int which) const;

private:
    void startCapture();
    void releaseCapture();

    void buttonsPressed(std::uint32_t changed) override;
    void buttonsReleased(std::uint32_t changed) override;
    void moved(const kelvane::joystick::Position& at) override;

    std::shared_ptr<kelvane::joystick::JoystickServices> services_;
    ControlEventTarget& events_;
    std::int32_t port_ = 0;
    std::int32_t threshold_ = 0;
    std::int32_t period_ = 0;
    bool enabled_ = true;
    bool captured_ = false;
    std::int32_t capturedPort_ = 0; // the joystick the running capture was started for
    bool modified_ = false;
    kelvane::joystick::Capabilities caps_;
};

} // namespace stavik
