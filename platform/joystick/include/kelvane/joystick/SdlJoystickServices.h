#pragma once

#include "kelvane/joystick/JoystickServices.h"

#include <memory>

namespace kelvane::joystick {

// The joystick services over SDL2's joystick API.
//
// Identifiers are slots: every joystick SDL reports takes the lowest free slot
// when it is first seen and keeps it until it is unplugged, so identifier N is
// the N-th connected joystick and a second pad does not move to identifier 0
// when the first one is pulled out. Joysticks beyond the supported count are
// not reachable.
//
// Polling runs on a precise Qt timer of the thread that constructs the object
// (that thread needs a running Qt event loop for captures to notify), at the
// smallest period among the active captures; each capture is polled when its
// own period has elapsed. pollNow() runs one poll of every capture at once.
//
// The object holds a reference on SDL's joystick subsystem for its lifetime
// (SDL_InitSubSystem / SDL_QuitSubSystem are reference counted, so the program
// may use SDL for sound at the same time). It discards the joystick events SDL
// queues, since it reads device state directly.
class SdlJoystickServices final : public JoystickServices {
public:
    static constexpr int kSupportedDevices = 16;
    static constexpr std::uint32_t kPeriodMin = 1; // milliseconds
    static constexpr std::uint32_t kPeriodMax = 1000; // milliseconds

    // supportedDevices: how many identifiers deviceCount() reports (1..16).
    explicit SdlJoystickServices(int supportedDevices = kSupportedDevices);
    ~SdlJoystickServices() override;
    SdlJoystickServices(const SdlJoystickServices&) = delete;
    SdlJoystickServices& operator=(const SdlJoystickServices&) = delete;

    int deviceCount() const override;
    JoyResult capabilities(int id, Capabilities& out) override;
    JoyResult position(int id, Position& out) override;
    JoyResult setCapture(int id, int periodMs, bool changesOnly, CaptureListener& listener) override;
    JoyResult releaseCapture(int id) override;
    JoyResult threshold(int id, std::uint32_t& out) override;
    JoyResult setThreshold(int id, std::uint32_t threshold) override;

    // Polls every capture now, as if each one's period had just elapsed.
    void pollNow();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace kelvane::joystick
