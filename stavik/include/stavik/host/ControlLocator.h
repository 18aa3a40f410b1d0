#pragma once

#include "stavik/Runtime.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace stavik::host {

struct ModuleLocation {
    std::filesystem::path library;
    Guid classId;
    bool fromRegistry; // false: found beside the program
};

// Finds the module that houses a class. name is a class identifier
// ("{F6B70DC0-...}") or a ProgID ("Dorrit.StavikCtrl"). The registry file is
// asked first (ProgID to class identifier to in-process server); when it does
// not know the class, or the file it names is gone, the first existing file of
// fallbackLibraries is taken (for a ProgID the registry does not know, only the
// joystick control's own ProgID can be resolved that way).
std::optional<ModuleLocation> locateClass(const std::filesystem::path& registryPath, std::string_view name,
    const std::vector<std::filesystem::path>& fallbackLibraries, std::string* why = nullptr);

// Where the joystick control module lies beside a program in programDir: the
// folder itself, then ../lib (the build tree), then ../lib/kelvane (an
// installation: PREFIX/bin and PREFIX/lib/kelvane), each as libstavik32.so.2
// and then libstavik32.so. This is the one place that knows these folders.
std::vector<std::filesystem::path> librariesBeside(const std::filesystem::path& programDir);

// The module that came with a program in programDir: the first existing file
// of librariesBeside(programDir), or nullopt. A container registers this one
// when the registry does not know the control's class yet.
std::optional<std::filesystem::path> moduleBeside(const std::filesystem::path& programDir);

// The folder of the running program.
std::filesystem::path programDirectory();

} // namespace stavik::host
