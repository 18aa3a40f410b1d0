#pragma once

#include "stavik/RegistryFile.h"
#include "stavik/Runtime.h"

#include <filesystem>
#include <string>

namespace stavik {

// Registers the module at modulePath into the registry file registryPath:
// first the type library (its resource), saved on its own, then the control
// class with its ProgID and the property page class, saved together. Both
// stages run under the registry's lock.
// Ok; SelfRegTypeLib when the registry cannot be read, cannot take the type
// library or the module holds none (no class is then written); SelfRegClass
// when the classes cannot be written. On failure, why says what was wrong.
HResult registerModule(
    const std::filesystem::path& registryPath, const std::filesystem::path& modulePath, std::string* why = nullptr);

// Removes what registerModule wrote, in the same two stages with the same
// results. Removing what is not there succeeds.
HResult unregisterModule(const std::filesystem::path& registryPath, std::string* why = nullptr);

} // namespace stavik
