// stavik-register [--unregister] [--registry FILE] path/to/libstavik32.so
//
// Registers (or unregisters) a component module through its own entry points
// and prints the result code with a sentence, then on failure the module's
// reason ("Reason: ...") when it gives one. The registry file is FILE, else
// $STAVIK_REGISTRY, else the user's data folder (see defaultRegistryPath).
// Exit status: 0 done, 1 the module reported a failure, 2 bad use or a module
// that cannot be loaded.

#include "stavik/RegistryFile.h"
#include "stavik/host/ModuleLibrary.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

namespace {

int usage()
{
    std::fprintf(stderr, "usage: stavik-register [--unregister] [--registry FILE] path/to/libstavik32.so\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    bool unregister = false;
    std::string registry;
    std::string modulePath;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--unregister") {
            unregister = true;
        } else if (arg == "--registry" && i + 1 < argc) {
            registry = argv[++i];
        } else if (arg == "--help" || arg == "-h") {
            usage();
            return 0;
        } else if (!arg.empty() && arg.front() != '-' && modulePath.empty()) {
            modulePath = arg;
        } else {
            return usage();
        }
    }
    if (modulePath.empty()) {
        return usage();
    }
    if (!registry.empty()) {
        // The module's entry points take no arguments; they read the registry
        // location from the environment.
        setenv("STAVIK_REGISTRY", std::filesystem::absolute(registry).c_str(), 1);
    }
    std::string error;
    // A bare file name would send the loader searching the library path; the user means this file.
    const auto module = stavik::host::ModuleLibrary::open(std::filesystem::absolute(modulePath), &error);
    if (!module) {
        std::fprintf(stderr, "stavik-register: %s\n", error.c_str());
        return 2;
    }
    const stavik::HResult hr = unregister ? module->unregisterServer() : module->registerServer();
    std::printf("%s\n", stavik::host::describeRegistrationResult(hr, !unregister).c_str());
    if (const std::string reason = module->errorText(); hr != stavik::result::Ok && !reason.empty()) {
        std::printf("Reason: %s\n", reason.c_str());
    }
    std::printf("Registry: %s\n",
        stavik::defaultRegistryPath([](const char* name) -> const char* { return std::getenv(name); }).c_str());
    return hr == stavik::result::Ok ? 0 : 1;
}
