#include "HostedJoystickControls.h"

#include "null/NullJoystickControl.h"
#include "stavik/StavikIds.h"
#include "stavik/host/ControlLocator.h"
#include "stavik/host/ModuleLibrary.h"
#include "stavik/host/StavikControl.h"

#include <exception>
#include <iostream>

namespace kelvane::stavikhost {

namespace {

void putInt32(std::array<std::uint8_t, 29>& bytes, std::size_t at, std::uint32_t value)
{
    for (std::size_t i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

} // namespace

std::array<std::uint8_t, 29> storedControlState(int port)
{
    std::array<std::uint8_t, 29> bytes {};
    putInt32(bytes, 0, 0x00020000); // property-exchange version 2.0
    putInt32(bytes, 4, 847); // extent, HIMETRIC: 32 by 32 pixels
    putInt32(bytes, 8, 847);
    putInt32(bytes, 12, 0x00000040); // of the stock properties only Enabled
    bytes[16] = 1; // Enabled
    putInt32(bytes, 17, static_cast<std::uint32_t>(port));
    putInt32(bytes, 21, 0); // Threshold
    putInt32(bytes, 25, 0); // Period
    return bytes;
}

// Passes the control's events on to the core's handler.
class HostedJoystickControl::Forwarder final : public stavik::host::ControlEvents {
public:
    JoystickEvents* events = nullptr;

    void buttonDown(int button) override
    {
        reporting([&] { events->buttonDown(button); });
    }
    void buttonUp(int button) override
    {
        reporting([&] { events->buttonUp(button); });
    }
    void move(int x, int y, int z) override
    {
        reporting([&] { events->move(x, y, z); });
    }

private:
    template <typename Handler> void reporting(Handler handler)
    {
        if (events == nullptr)
            return;
        try {
            handler();
        } catch (const std::exception& failure) {
            std::cerr << "kelvane: a joystick event failed: " << failure.what() << '\n';
        }
    }
};

HostedJoystickControl::HostedJoystickControl(std::unique_ptr<stavik::host::StavikControl> control) :
    control_(std::move(control)), forwarder_(std::make_unique<Forwarder>())
{
    control_->connect(*forwarder_);
}

HostedJoystickControl::~HostedJoystickControl() { control_->disconnect(); }

bool HostedJoystickControl::enabled() const
{
    stavik::host::PropertyValue value {false};
    return control_->get(stavik::dispid::Enabled, value) == stavik::result::Ok
        && value == stavik::host::PropertyValue {true};
}

void HostedJoystickControl::setEnabled(bool enabled) { control_->setEnabled(enabled); }

void HostedJoystickControl::setEvents(JoystickEvents* events) { forwarder_->events = events; }

namespace {

// The module that houses the control, loaded; registered first when the
// registry did not know it.
std::shared_ptr<stavik::host::ModuleLibrary> loadModule(const std::filesystem::path& registry,
    const std::vector<std::filesystem::path>& installedModules, stavik::Guid& classId, std::string& why)
{
    const auto location = stavik::host::locateClass(registry, stavik::kStavikProgId, installedModules, &why);
    if (!location)
        return nullptr;
    auto module = stavik::host::ModuleLibrary::open(location->library, &why);
    if (!module)
        return nullptr;
    classId = location->classId;
    if (!location->fromRegistry) {
        const stavik::HResult registered = module->registerServer();
        if (registered != stavik::result::Ok)
            why = "the joystick component could not be registered: "
                + stavik::host::describeRegistrationResult(registered, true);
    }
    return module;
}

std::unique_ptr<JoystickControl> createControl(
    const std::shared_ptr<stavik::host::ModuleLibrary>& module, const stavik::Guid& classId, int port)
{
    auto control = stavik::host::StavikControl::create(module, classId, /*userMode*/ true);
    if (!control)
        return nullptr;
    const auto state = storedControlState(port);
    if (control->load(state) != stavik::result::Ok)
        return nullptr;
    return std::make_unique<HostedJoystickControl>(std::move(control));
}

} // namespace

HostedJoysticks hostJoystickControls(const std::filesystem::path& registry,
    const std::vector<std::filesystem::path>& installedModules, const std::function<void(const std::string&)>& say)
{
    HostedJoysticks joysticks;
    std::string why;
    stavik::Guid classId {};
    if (auto module = loadModule(registry, installedModules, classId, why)) {
        if (!why.empty())
            say(why); // registered or not, the module plays
        joysticks.stavik1 = createControl(module, classId, 0);
        joysticks.stavik2 = createControl(module, classId, 1);
        if (joysticks.stavik1 && joysticks.stavik2) {
            joysticks.hosted = true;
            return joysticks;
        }
        why = "the joystick component would not create its controls";
    }
    say("no joystick component (" + why + "); running without game controllers");
    joysticks.stavik1 = std::make_unique<NullJoystickControl>();
    joysticks.stavik2 = std::make_unique<NullJoystickControl>();
    return joysticks;
}

} // namespace kelvane::stavikhost
