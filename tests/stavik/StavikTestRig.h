#pragma once

// A joystick control made in-process, hosted through the host library, with
// its own SDL joystick services whose polls the test runs by hand.

#include "ModuleLifetime.h"
#include "StavikControlObject.h"

#include "kelvane/joystick/SdlJoystickServices.h"
#include "kelvane/joystick/VirtualJoystick.h"
#include "stavik/host/StavikControl.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace stavik::testing {

// Keeps every event as a line, in the order raised.
class RecordingEvents : public host::ControlEvents {
public:
    RecordingEvents() = default;
    virtual ~RecordingEvents() = default;
    RecordingEvents(const RecordingEvents&) = delete;
    RecordingEvents& operator=(const RecordingEvents&) = delete;

    void buttonDown(int button) override { log.push_back("ButtonDown " + std::to_string(button)); }
    void buttonUp(int button) override { log.push_back("ButtonUp " + std::to_string(button)); }
    void move(int x, int y, int z) override
    {
        log.push_back("Move " + std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(z));
    }
    std::vector<std::string> take()
    {
        auto taken = std::move(log);
        log.clear();
        return taken;
    }
    std::vector<std::string> log;
};

inline kelvane::joystick::VirtualJoystick::Description pad(
    std::string name, std::uint16_t vendor = 0x1209, std::uint16_t product = 0x0001)
{
    kelvane::joystick::VirtualJoystick::Description d;
    d.name = std::move(name);
    d.vendorId = vendor;
    d.productId = product;
    return d;
}

class ControlRig {
public:
    explicit ControlRig(int supportedDevices = kelvane::joystick::SdlJoystickServices::kSupportedDevices) :
        services(std::make_shared<kelvane::joystick::SdlJoystickServices>(supportedDevices))
    {
    }

    // A control in run or design mode, not yet initialised, events recorded.
    std::unique_ptr<host::StavikControl> makeControl(bool userMode = true)
    {
        IUnknown* object = nullptr;
        EXPECT_EQ(StavikControlObject::create(lifetime, services, iid::Unknown, reinterpret_cast<void**>(&object)),
            result::Ok);
        auto control = host::StavikControl::adopt(object, userMode);
        object->Release();
        EXPECT_EQ(control->connect(events), result::Ok);
        return control;
    }

    void poll() { services->pollNow(); }

    ModuleLifetime lifetime;
    std::shared_ptr<kelvane::joystick::SdlJoystickServices> services;
    RecordingEvents events;
};

using Lines = std::vector<std::string>;

} // namespace stavik::testing
