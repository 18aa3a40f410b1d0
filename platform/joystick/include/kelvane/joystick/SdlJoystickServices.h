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
// not reachable. The slots are brought up to date only when SDL reports a
// joystick added or removed.
//
// A pad whose arrows are a hat (a D-pad) and that has no stick (fewer than two
// axes) reports hat 0 on X and Y: left or up 0, centre 32767, right or down 65535.
//
// Polling runs on a thread of its own ("joystick poll"). A device that says
// when it changes (a second reader of its device file, or a VirtualJoystick)
// is polled when it does, no sooner than one period after its previous poll
// unless another capture is polled then: an idle pad wakes nothing, and a
// press is read as soon as it happens. Any
// other capture is polled every period, to absolute deadlines on a grid from
// the moment it started. A capture waiting for its device sleeps until a
// device file appears in the device folder (/dev/input, watched with inotify)
// and then looks for its device every 50 ms for a few seconds, while the
// system makes the device ready; where the folder cannot be watched it looks
// every 50 ms all the time. The
// notifications are queued, in order, to the thread that constructs the
// object and delivered by its Qt event loop like any other event, so they
// keep coming inside modal boxes and other nested loops. pollNow() polls
// every capture at once and delivers everything queued before it returns.
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

    static constexpr const char* kDeviceFolder = "/dev/input";

    // supportedDevices: how many identifiers deviceCount() reports (1..16).
    // deviceFolder: where input device files appear (another folder for tests).
    explicit SdlJoystickServices(int supportedDevices = kSupportedDevices, const char* deviceFolder = kDeviceFolder);
    ~SdlJoystickServices() override;
    SdlJoystickServices(const SdlJoystickServices&) = delete;
    SdlJoystickServices& operator=(const SdlJoystickServices&) = delete;

    int deviceCount() const override;
    JoyResult capabilities(int id, Capabilities& out) override;
    JoyResult position(int id, Position& out) override;
    JoyResult setCapture(int id, int periodMs, bool changesOnly, CaptureListener& listener) override;
    JoyResult setWaitingCapture(int id, int periodMs, bool changesOnly, CaptureListener& listener) override;
    JoyResult releaseCapture(int id) override;
    JoyResult threshold(int id, std::uint32_t& out) override;
    JoyResult setThreshold(int id, std::uint32_t threshold) override;

    // Polls every capture now, as if each one's period had just elapsed, and
    // delivers every notification queued so far before it returns.
    void pollNow();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace kelvane::joystick
