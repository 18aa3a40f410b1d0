#pragma once

// What the save victim writes and what the kill test expects to find: for
// each kind of file the program saves (a performance file, kelvane.dat, the
// component registry), two versions that the victim saves in turn through
// that file's own code, over and over, until it is killed.

#include "fakes/EffectLog.h"
#include "fakes/FakeDesktop.h"
#include "fakes/FakePreferencesStore.h"
#include "files/PerformanceRecord.h"
#include "files/PerformanceSetup.h"
#include "files/PreferencesForm.h"
#include "stavik/RegistryFile.h"

#include <array>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace kelvane::testing {

// The two setups the save victim writes in turn. The first carries a long
// wave name so that its file takes many writes to reach the disk.
constexpr std::size_t kLongName = 60000;

// The main window's setup at start: Major Strings, slots empty.
inline PerformanceSetup startSetup()
{
    PerformanceSetup s;
    const int notes[] = {60, 62, 64, 65, 67, 69, 71, 72};
    for (std::size_t i = 0; i < 8; ++i)
        s.switches[i].note = notes[i];
    return s;
}

inline PerformanceSetup killSetupLong()
{
    PerformanceSetup s = startSetup();
    s.switches[0].note = 60;
    s.slots[0].path = "/w/" + std::string(kLongName, 'a') + ".wav";
    s.slots[0].name = std::string(kLongName, 'a') + ".wav";
    return s;
}

inline PerformanceSetup killSetupShort()
{
    PerformanceSetup s = startSetup();
    s.switches[0].note = 61;
    return s;
}

// The kinds of file, by the name the victim takes on its command line.
struct SavedFile {
    const char* kind; // "performance", "preferences", "registry"
    const char* fileName; // the name the file has on disk
};
inline constexpr std::array<SavedFile, 3> kSavedFiles {
    SavedFile {"performance", "show.dnc"},
    SavedFile {"preferences", "kelvane.dat"},
    SavedFile {"registry", "components.reg"},
};
// Names the kind in test output, instead of the struct's bytes.
inline void PrintTo(const SavedFile& file, std::ostream* out) { *out << file.kind; }

// The registry value the victim changes: long in version 0, short in version 1.
inline constexpr std::string_view kKillKey = "Kelvane\\KillTest";
inline constexpr std::string_view kKillValueName = "Value";
inline std::string registryKillValue(int version) { return version == 0 ? std::string(kLongName, 'r') : "short"; }

// The sw1 slide choice of version 0 ("Next") and version 1 ("Off") of kelvane.dat.
inline OptionButton& preferencesKillChoice(PreferencesForm& form, int version)
{
    return version == 0 ? form.nextOption(1) : form.offOption(1);
}

using FileVersions = std::array<std::vector<std::uint8_t>, 2>;

// The bytes of the two versions, as each file's own encoder makes them.
// Version 0 is on disk when the victim starts; it then saves 1, 0, 1, ...
inline FileVersions killVersions(std::string_view kind)
{
    if (kind == "performance")
        return {
            encodePerformanceRecord(recordOf(killSetupLong())), encodePerformanceRecord(recordOf(killSetupShort()))};
    if (kind == "preferences") {
        fakes::EffectLog log;
        fakes::FakeDialogs dialogs(log);
        fakes::FakePreferencesStore memory(log);
        PreferencesForm form(memory, dialogs);
        form.load();
        FileVersions versions;
        for (int version : {0, 1}) {
            preferencesKillChoice(form, version).click();
            form.saveButton.click();
            versions[static_cast<std::size_t>(version)] = *memory.bytes;
        }
        return versions;
    }
    auto registry = stavik::RegistryFile::parse("");
    FileVersions versions;
    for (int version : {0, 1}) {
        registry->setValue(kKillKey, kKillValueName, registryKillValue(version));
        const std::string text = registry->text();
        versions[static_cast<std::size_t>(version)].assign(text.begin(), text.end());
    }
    return versions;
}

} // namespace kelvane::testing
