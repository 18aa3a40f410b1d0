#include "Registration.h"

#include "Resources.h"
#include "stavik/TypeLibrary.h"

#include "stavik/GuidText.h"

#include <string>

namespace stavik {
namespace {

constexpr const char* kThreadingModel = "Apartment";

std::string clsidKey(const Guid& clsid) { return "CLSID\\" + guidToString(clsid); }

std::string typeLibraryKey(const TypeLibraryInfo& library)
{
    return "TypeLib\\" + guidToString(library.id) + "\\" + std::to_string(library.major) + "."
        + std::to_string(library.minor);
}

std::string interfaceKey(const InterfaceInfo& info) { return "Interface\\" + guidToString(info.id); }

std::string versionText(const TypeLibraryInfo& library)
{
    return std::to_string(library.major) + "." + std::to_string(library.minor);
}

// The type library as the module's resource holds it.
const TypeLibraryInfo* typeLibraryResource(int id)
{
    return id == resources::kTypeLibraryResource ? &kStavikLib : nullptr;
}

void writeTypeLibrary(RegistryFile& registry, const TypeLibraryInfo& library, const std::filesystem::path& module)
{
    const std::string key = typeLibraryKey(library);
    registry.setValue(key, {}, library.name);
    registry.setValue(key + "\\0\\linux", {}, module.string());
    registry.setValue(key + "\\FLAGS", {}, "0");
    registry.setValue(key + "\\HELPDIR", {}, module.parent_path().string());
    for (const InterfaceInfo& info : library.interfaces) {
        registry.setValue(interfaceKey(info), {}, info.name);
        registry.setValue(interfaceKey(info) + "\\TypeLib", {}, guidToString(library.id));
        registry.setValue(interfaceKey(info) + "\\TypeLib", "Version", versionText(library));
    }
}

void eraseTypeLibrary(RegistryFile& registry, const TypeLibraryInfo& library)
{
    registry.removeTree(typeLibraryKey(library));
    for (const InterfaceInfo& info : library.interfaces) {
        registry.removeTree(interfaceKey(info));
    }
}

void writeControlClass(RegistryFile& registry, const std::filesystem::path& module)
{
    const std::string key = clsidKey(clsid::StavikControl);
    const std::string typeName(resources::string(resources::kControlTypeNameString));
    registry.setValue(key, {}, typeName);
    registry.setValue(key + "\\InprocServer32", {}, module.string());
    registry.setValue(key + "\\InprocServer32", "ThreadingModel", kThreadingModel);
    registry.setValue(key + "\\ProgID", {}, kStavikProgId);
    registry.createKey(key + "\\Control");
    registry.setValue(
        key + "\\ToolboxBitmap32", {}, module.string() + ", " + std::to_string(resources::kToolboxBitmap));
    registry.setValue(key + "\\MiscStatus", {}, "0");
    registry.setValue(key + "\\MiscStatus\\1", {}, std::to_string(kStavikMiscStatus));
    registry.setValue(key + "\\TypeLib", {}, guidToString(kStavikLib.id));
    registry.setValue(key + "\\Version", {}, versionText(kStavikLib));
    // Not insertable: no "Insertable" key.
    registry.setValue(kStavikProgId, {}, typeName);
    registry.setValue(std::string(kStavikProgId) + "\\CLSID", {}, guidToString(clsid::StavikControl));
}

void writePageClass(RegistryFile& registry, const std::filesystem::path& module)
{
    const std::string key = clsidKey(clsid::StavikPropertyPage);
    registry.setValue(key, {}, std::string(resources::string(resources::kPageTypeNameString)));
    registry.setValue(key + "\\InprocServer32", {}, module.string());
    registry.setValue(key + "\\InprocServer32", "ThreadingModel", kThreadingModel);
}

} // namespace

HResult registerModule(
    const std::filesystem::path& registryPath, const std::filesystem::path& modulePath, std::string* why)
{
    const auto fail = [why](HResult hr, const std::string& reason) {
        if (why != nullptr) {
            *why = reason;
        }
        return hr;
    };
    const TypeLibraryInfo* library = typeLibraryResource(resources::kTypeLibraryResource);
    if (library == nullptr) {
        return fail(result::SelfRegTypeLib, "the module holds no type library");
    }
    if (modulePath.empty()) {
        return fail(result::SelfRegTypeLib, "the module cannot tell which file it was loaded from");
    }
    std::string reason;
    const auto lock = RegistryLock::acquire(registryPath, &reason);
    if (!lock) {
        return fail(result::SelfRegTypeLib, reason);
    }
    auto registry = RegistryFile::load(registryPath, &reason);
    if (!registry) {
        return fail(result::SelfRegTypeLib, reason);
    }
    writeTypeLibrary(*registry, *library, modulePath);
    if (!registry->save(&reason)) {
        return fail(result::SelfRegTypeLib, reason);
    }
    writeControlClass(*registry, modulePath);
    writePageClass(*registry, modulePath);
    if (!registry->save(&reason)) {
        return fail(result::SelfRegClass, reason);
    }
    return result::Ok;
}

HResult unregisterModule(const std::filesystem::path& registryPath, std::string* why)
{
    const auto fail = [why](HResult hr, const std::string& reason) {
        if (why != nullptr) {
            *why = reason;
        }
        return hr;
    };
    std::string reason;
    const auto lock = RegistryLock::acquire(registryPath, &reason);
    if (!lock) {
        return fail(result::SelfRegTypeLib, reason);
    }
    auto registry = RegistryFile::load(registryPath, &reason);
    if (!registry) {
        return fail(result::SelfRegTypeLib, reason);
    }
    eraseTypeLibrary(*registry, kStavikLib);
    if (!registry->save(&reason)) {
        return fail(result::SelfRegTypeLib, reason);
    }
    registry->removeTree(clsidKey(clsid::StavikControl));
    registry->removeTree(kStavikProgId);
    registry->removeTree(clsidKey(clsid::StavikPropertyPage));
    if (!registry->save(&reason)) {
        return fail(result::SelfRegClass, reason);
    }
    return result::Ok;
}

} // namespace stavik
