#include "stavik/host/ControlLocator.h"

#include "stavik/GuidText.h"
#include "stavik/RegistryFile.h"
#include "stavik/StavikIds.h"

#include <cctype>

namespace stavik::host {
namespace {

constexpr const char* kLibraryNames[] = {"libstavik32.so.2", "libstavik32.so"};

bool sameNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

bool isFile(const std::filesystem::path& path)
{
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

} // namespace

std::optional<ModuleLocation> locateClass(const std::filesystem::path& registryPath, std::string_view name,
    const std::vector<std::filesystem::path>& fallbackLibraries, std::string* why)
{
    std::optional<Guid> classId = guidFromString(name);
    std::string registryTrouble;
    if (auto registry = RegistryFile::load(registryPath, &registryTrouble)) {
        if (!classId) {
            if (const auto text = registry->value(std::string(name) + "\\CLSID")) {
                classId = guidFromString(*text);
            }
        }
        if (classId) {
            if (const auto server = registry->value("CLSID\\" + guidToString(*classId) + "\\InprocServer32")) {
                if (isFile(*server)) {
                    return ModuleLocation {*server, *classId, true};
                }
                registryTrouble = "the registered module " + *server + " is gone";
            } else {
                registryTrouble = "the class is not registered in " + registryPath.string();
            }
        } else {
            registryTrouble = std::string(name) + " is not registered in " + registryPath.string();
        }
    }
    if (!classId && sameNoCase(name, kStavikProgId)) {
        classId = clsid::StavikControl;
    }
    if (classId) {
        for (const auto& library : fallbackLibraries) {
            if (isFile(library)) {
                return ModuleLocation {library, *classId, false};
            }
        }
    }
    if (why != nullptr) {
        *why = registryTrouble + (classId ? ", and no module lies beside the program" : "");
    }
    return std::nullopt;
}

std::vector<std::filesystem::path> librariesBeside(const std::filesystem::path& programDir)
{
    std::vector<std::filesystem::path> candidates;
    for (const auto& folder : {programDir, programDir / ".." / "lib", programDir / ".." / "lib" / "kelvane"}) {
        for (const char* name : kLibraryNames) {
            candidates.push_back((folder / name).lexically_normal());
        }
    }
    return candidates;
}

std::optional<std::filesystem::path> moduleBeside(const std::filesystem::path& programDir)
{
    for (const auto& library : librariesBeside(programDir)) {
        if (isFile(library)) {
            return library;
        }
    }
    return std::nullopt;
}

std::filesystem::path programDirectory()
{
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::current_path() : exe.parent_path();
}

} // namespace stavik::host
