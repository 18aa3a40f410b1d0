// save_victim KIND FILE [--once]: saves FILE through the program's own code
// for its kind (a performance file through the File menu's Save, kelvane.dat
// through the preferences window's "Save Preferences", the component
// registry through its save), alternating between the two versions of
// KillDuringSave.h, over and over until it is killed. Prints "ready" and the
// microseconds its first save took, once that save is on disk. With --once it
// saves once and ends; it ends with 1 when a save fails.

#include "FilesRig.h"
#include "KillDuringSave.h"
#include "files/LocalFileStore.h"
#include "files/PreferencesFile.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>

using namespace kelvane;
using namespace kelvane::testing;

namespace {

// Saves version 1, 0, 1, ... (the file on disk starts as version 0) and
// answers whether the save succeeded.
using Saver = std::function<bool(int version)>;

int saveOverAndOver(const Saver& save, bool once)
{
    const auto start = std::chrono::steady_clock::now();
    if (!save(1))
        return 1;
    if (once)
        return 0;
    const auto took = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
    std::printf("ready %lld\n", static_cast<long long>(took.count()));
    std::fflush(stdout);
    for (unsigned i = 0;; ++i)
        if (!save(static_cast<int>(i % 2)))
            return 1;
}

int savePerformance(const std::string& path, bool once)
{
    files::LocalFileStore disk;
    FilesRig r(&disk);
    r.rig.dialogs.files.push_back(path);
    bool first = true;
    return saveOverAndOver(
        [&](int version) {
            const PerformanceSetup s = version == 0 ? killSetupLong() : killSetupShort();
            r.sw(1).note.setValue(s.switches[0].note);
            r.slots.slot(1).path = s.slots[0].path;
            r.slots.slot(1).name = s.slots[0].name;
            if (first)
                r.commands.saveAs();
            else
                r.commands.save();
            first = false;
            const bool saved = r.log().startingWith("message").empty();
            r.log().clear();
            return saved;
        },
        once);
}

int savePreferences(const std::string& path, bool once)
{
    fakes::EffectLog log;
    fakes::FakeDialogs dialogs(log);
    files::PreferencesFile file(std::filesystem::path(path).parent_path().string());
    PreferencesForm form(file, dialogs);
    form.load();
    return saveOverAndOver(
        [&](int version) {
            preferencesKillChoice(form, version).click();
            form.saveButton.click();
            return log.startingWith("message").empty();
        },
        once);
}

int saveRegistry(const std::string& path, bool once)
{
    auto registry = stavik::RegistryFile::load(path);
    if (!registry)
        return 1;
    return saveOverAndOver(
        [&](int version) {
            registry->setValue(kKillKey, kKillValueName, registryKillValue(version));
            return registry->save();
        },
        once);
}

} // namespace

int main(int argc, char** argv)
{
    const bool once = argc == 4 && std::strcmp(argv[3], "--once") == 0;
    if (argc != 3 && !once) {
        std::fputs("usage: save_victim performance|preferences|registry FILE [--once]\n", stderr);
        return 2;
    }
    const std::string kind = argv[1];
    if (kind == "performance")
        return savePerformance(argv[2], once);
    if (kind == "preferences")
        return savePreferences(argv[2], once);
    if (kind == "registry")
        return saveRegistry(argv[2], once);
    std::fprintf(stderr, "save_victim: no kind of file \"%s\"\n", kind.c_str());
    return 2;
}
