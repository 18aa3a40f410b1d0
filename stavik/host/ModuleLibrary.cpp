#include "stavik/host/ModuleLibrary.h"

#include "stavik/ModuleExports.h"
#include "stavik/Ref.h"

#include <dlfcn.h>

#include <cstdio>

namespace stavik::host {

struct ModuleLibrary::EntryPoints {
    RegisterServerFunction registerServer = nullptr;
    RegisterServerFunction unregisterServer = nullptr;
    GetClassObjectFunction getClassObject = nullptr;
    CanUnloadNowFunction canUnloadNow = nullptr;
    GetErrorTextFunction getErrorText = nullptr; // optional
};

namespace {

template <typename Function> Function entryPoint(void* handle, const char* name)
{
    // dlsym hands back an object pointer; POSIX guarantees it converts to a function pointer.
    return reinterpret_cast<Function>(dlsym(handle, name));
}

} // namespace

ModuleLibrary::ModuleLibrary(std::filesystem::path path, void* handle, std::unique_ptr<EntryPoints> entries) :
    path_(std::move(path)), handle_(handle), entries_(std::move(entries))
{
}

std::shared_ptr<ModuleLibrary> ModuleLibrary::open(const std::filesystem::path& path, std::string* error)
{
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (handle == nullptr) {
        if (error != nullptr) {
            const char* why = dlerror();
            *error = why != nullptr ? why : "cannot load " + path.string();
        }
        return nullptr;
    }
    auto entries = std::make_unique<EntryPoints>();
    entries->registerServer = entryPoint<RegisterServerFunction>(handle, "DllRegisterServer");
    entries->unregisterServer = entryPoint<RegisterServerFunction>(handle, "DllUnregisterServer");
    entries->getClassObject = entryPoint<GetClassObjectFunction>(handle, "DllGetClassObject");
    entries->canUnloadNow = entryPoint<CanUnloadNowFunction>(handle, "DllCanUnloadNow");
    entries->getErrorText = entryPoint<GetErrorTextFunction>(handle, "DllGetErrorText");
    if (entries->registerServer == nullptr || entries->unregisterServer == nullptr || entries->getClassObject == nullptr
        || entries->canUnloadNow == nullptr) {
        if (error != nullptr) {
            *error = path.string() + " is not a component module (an entry point is missing)";
        }
        dlclose(handle);
        return nullptr;
    }
    return std::shared_ptr<ModuleLibrary>(new ModuleLibrary(path, handle, std::move(entries)));
}

ModuleLibrary::~ModuleLibrary() { dlclose(handle_); }

HResult ModuleLibrary::registerServer() const { return entries_->registerServer(); }

HResult ModuleLibrary::unregisterServer() const { return entries_->unregisterServer(); }

std::string ModuleLibrary::errorText() const
{
    char text[1024] = {};
    if (entries_->getErrorText == nullptr || entries_->getErrorText(text, sizeof text) != result::Ok) {
        return {};
    }
    return text;
}

HResult ModuleLibrary::canUnloadNow() const { return entries_->canUnloadNow(); }

HResult ModuleLibrary::getClassObject(const Guid& clsid, const Guid& iid, void** object) const
{
    return entries_->getClassObject(clsid, iid, object);
}

HResult ModuleLibrary::createInstance(const Guid& clsid, const Guid& iid, void** object) const
{
    if (object == nullptr) {
        return result::Pointer;
    }
    *object = nullptr;
    Ref<IClassFactory> factory;
    const HResult hr = getClassObject(clsid, iid::ClassFactory, factory.receive());
    if (failed(hr)) {
        return hr;
    }
    return factory->CreateInstance(nullptr, iid, object);
}

std::string describeRegistrationResult(HResult hr, bool registering)
{
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(hr));
    std::string sentence;
    if (hr == result::Ok) {
        sentence = registering ? "The module was registered." : "The module was unregistered.";
    } else if (hr == result::SelfRegTypeLib) {
        sentence = registering ? "The type library could not be registered, so no class was registered."
                               : "The type library could not be unregistered, so no class was unregistered.";
    } else if (hr == result::SelfRegClass) {
        sentence = registering ? "The type library was registered, but a class could not be registered."
                               : "The type library was unregistered, but a class could not be unregistered.";
    } else {
        sentence = "The module failed.";
    }
    return std::string(code) + " " + sentence;
}

} // namespace stavik::host
