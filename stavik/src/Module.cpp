// The module's entry points and the state that belongs to the loaded module
// as a whole: its object count and lock count, its two class objects, the
// joystick services its controls share, and why the last registration failed. A loadable component module has
// exactly one of each by its nature; nothing else in the module is global.

#include "ClassFactory.h"
#include "ModuleLifetime.h"
#include "PropertyPage.h"
#include "Registration.h"
#include "StavikControlObject.h"

#include "stavik/ModuleExports.h"
#include "stavik/RegistryFile.h"
#include "stavik/StavikIds.h"

#include "kelvane/joystick/SdlJoystickServices.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>

namespace stavik {
namespace {

ModuleLifetime& moduleLifetime()
{
    static ModuleLifetime lifetime;
    return lifetime;
}

// Every control of the module polls through one set of joystick services,
// as they share one driver. Made with the first control, gone with the last.
std::shared_ptr<kelvane::joystick::JoystickServices> sharedJoystickServices()
{
    static std::weak_ptr<kelvane::joystick::JoystickServices> current;
    auto services = current.lock();
    if (!services) {
        services = std::make_shared<kelvane::joystick::SdlJoystickServices>();
        current = services;
    }
    return services;
}

ClassFactory& controlClassObject()
{
    static ClassFactory factory(moduleLifetime(), [](const Guid& iid, void** object) {
        return StavikControlObject::create(moduleLifetime(), sharedJoystickServices(), iid, object);
    });
    return factory;
}

ClassFactory& pageClassObject()
{
    static ClassFactory factory(moduleLifetime(),
        [](const Guid& iid, void** object) { return StavikPropertyPage::create(moduleLifetime(), iid, object); });
    return factory;
}

// Why the last registration or unregistration failed; empty after one that
// succeeded. One for the module, not one per thread: thread-local storage in
// a module loaded with dlopen leaves glibc's TLS vector with slots that
// LeakSanitizer reads as memory to scan (and crashes on), and hosts register
// from one thread at a time.
struct LastRegistration {
    std::mutex mutex;
    std::string reason;
};

LastRegistration& lastRegistration()
{
    static LastRegistration last;
    return last;
}

HResult remember(HResult hr, std::string reason)
{
    LastRegistration& last = lastRegistration();
    const std::lock_guard lock(last.mutex);
    last.reason = failed(hr) ? std::move(reason) : std::string {};
    return hr;
}

// The file this module was loaded from, as the loader names it.
std::filesystem::path modulePath()
{
    static const char anchor = 0; // any object of this module tells the loader which file it is
    Dl_info info {};
    if (dladdr(&anchor, &info) == 0 || info.dli_fname == nullptr) {
        return {};
    }
    std::error_code ec;
    auto path = std::filesystem::absolute(info.dli_fname, ec);
    return ec ? std::filesystem::path {} : path.lexically_normal();
}

// The entry points take no arguments: the registry is the one this process's
// environment names (stavik-register sets STAVIK_REGISTRY for its --registry).
std::filesystem::path processRegistryPath()
{
    return defaultRegistryPath([](const char* name) -> const char* { return std::getenv(name); });
}

} // namespace
} // namespace stavik

extern "C" {

STAVIK_EXPORT stavik::HResult DllRegisterServer()
{
    std::string why;
    const stavik::HResult hr = stavik::registerModule(stavik::processRegistryPath(), stavik::modulePath(), &why);
    return stavik::remember(hr, std::move(why));
}

STAVIK_EXPORT stavik::HResult DllUnregisterServer()
{
    std::string why;
    const stavik::HResult hr = stavik::unregisterModule(stavik::processRegistryPath(), &why);
    return stavik::remember(hr, std::move(why));
}

STAVIK_EXPORT stavik::HResult DllGetErrorText(char* buffer, std::uint32_t capacity)
{
    if (buffer == nullptr || capacity == 0) {
        return stavik::result::Pointer;
    }
    stavik::LastRegistration& last = stavik::lastRegistration();
    const std::lock_guard lock(last.mutex);
    const std::string& reason = last.reason;
    const std::size_t length = std::min<std::size_t>(reason.size(), capacity - 1);
    std::memcpy(buffer, reason.data(), length);
    buffer[length] = '\0';
    return reason.empty() ? stavik::result::False : stavik::result::Ok;
}

STAVIK_EXPORT stavik::HResult DllGetClassObject(const stavik::Guid& clsid, const stavik::Guid& iid, void** object)
{
    if (object == nullptr) {
        return stavik::result::Pointer;
    }
    *object = nullptr;
    if (clsid == stavik::clsid::StavikControl) {
        return stavik::controlClassObject().QueryInterface(iid, object);
    }
    if (clsid == stavik::clsid::StavikPropertyPage) {
        return stavik::pageClassObject().QueryInterface(iid, object);
    }
    return stavik::result::ClassNotAvailable;
}

STAVIK_EXPORT stavik::HResult DllCanUnloadNow()
{
    return stavik::moduleLifetime().canUnload() ? stavik::result::Ok : stavik::result::False;
}

} // extern "C"
