#pragma once

#include "stavik/Runtime.h"

#include <filesystem>
#include <memory>
#include <string>

namespace stavik::host {

// A component module loaded into this process, reached through its entry points.
//
// The module stays mapped until the process ends even after the last
// ModuleLibrary of it is gone: objects of a module may outlive the host's
// handle on it, and a module holding Qt or SDL state is not safe to unmap.
class ModuleLibrary {
public:
    // Loads the module at path. Nothing, with the loader's reason in error,
    // when it cannot be loaded or lacks an entry point.
    static std::shared_ptr<ModuleLibrary> open(const std::filesystem::path& path, std::string* error = nullptr);
    ~ModuleLibrary();
    ModuleLibrary(const ModuleLibrary&) = delete;
    ModuleLibrary& operator=(const ModuleLibrary&) = delete;

    const std::filesystem::path& path() const { return path_; }

    HResult registerServer() const;
    HResult unregisterServer() const;
    // Why the last registerServer or unregisterServer on this thread failed,
    // as the module says; empty after a success or from a module that cannot say.
    std::string errorText() const;
    HResult canUnloadNow() const;
    HResult getClassObject(const Guid& clsid, const Guid& iid, void** object) const;
    // Through the class object: a new object of clsid answered for iid.
    HResult createInstance(const Guid& clsid, const Guid& iid, void** object) const;

private:
    struct EntryPoints;
    ModuleLibrary(std::filesystem::path path, void* handle, std::unique_ptr<EntryPoints> entries);

    std::filesystem::path path_;
    void* handle_;
    std::unique_ptr<EntryPoints> entries_;
};

// A plain sentence for a registration result: 0x00000000, 0x80040200, 0x80040201 and others.
std::string describeRegistrationResult(HResult hr, bool registering);

} // namespace stavik::host
