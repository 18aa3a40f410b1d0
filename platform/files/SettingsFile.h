#pragma once

#include "ports/SettingsStore.h"

#include <cstddef>
#include <string>

namespace kelvane::files {

// A settings file of the program's own in the configuration folder (the
// folder of kelvane.dat, see preferencesFolder()), such as midi-input.conf.
// Reads take at most `largest` + 1 bytes, so that a decoder can refuse a file
// that is too large without it being read whole. Every write goes through the
// one safe writer (writeFileSafely, with the messages of writeFileAtomically);
// the folder is made on the first write.
class SettingsFile final : public SettingsStore {
public:
    SettingsFile(const std::string& folder, const std::string& fileName, std::size_t largest);

    Contents read() override;
    std::string write(const std::vector<std::uint8_t>& bytes) override;
    std::string location() const override { return path_; }
    std::string setAside(std::string& problem) override;

private:
    std::string folder_;
    std::string path_;
    std::size_t largest_;
};

} // namespace kelvane::files
