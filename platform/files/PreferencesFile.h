#pragma once

#include "ports/PreferencesStore.h"

#include <functional>
#include <string>

namespace kelvane::files {

inline constexpr const char* kPreferencesFileName = "kelvane.dat";

// The folder that holds kelvane.dat: KELVANE_CONFIG_DIR when set, else
// $XDG_CONFIG_HOME/kelvane, else ~/.config/kelvane. Empty when none of these
// can be named (no HOME). getenv answers nullptr for an unset variable.
std::string preferencesFolder(const std::function<const char*(const char*)>& getenv);

// kelvane.dat in a folder on disk. The folder is created on the first write;
// the file is written by writeFileSafely (kelvane/files/SafeWrite.h): a crash
// at any moment leaves the old file or the new one, whole, and a read-only
// kelvane.dat is refused and kept. A failed write answers a sentence naming
// the file or folder and the reason.
class PreferencesFile : public PreferencesStore {
public:
    explicit PreferencesFile(std::string folder);

    Contents read() override;
    std::string write(const std::vector<std::uint8_t>& bytes) override;
    std::string location() const override { return path_; }

private:
    std::string folder_;
    std::string path_;
};

} // namespace kelvane::files
