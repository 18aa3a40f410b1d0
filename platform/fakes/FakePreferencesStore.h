#pragma once

#include "fakes/EffectLog.h"
#include "ports/PreferencesStore.h"

#include <optional>

namespace kelvane::fakes {

// The preferences file in memory. Logs "prefs read" and "prefs write N"
// (N bytes); a scripted writeProblem makes writes fail and keep the bytes.
class FakePreferencesStore : public PreferencesStore {
public:
    explicit FakePreferencesStore(EffectLog& log) : log_(log) { }

    Contents read() override
    {
        log_.add("prefs read");
        if (unreadable)
            return {Contents::Status::Unreadable, {}, "unreadable"};
        if (!bytes)
            return {};
        return {Contents::Status::Read, *bytes, {}};
    }

    std::string write(const std::vector<std::uint8_t>& written) override
    {
        log_.add("prefs write " + std::to_string(written.size()));
        if (!writeProblem.empty())
            return writeProblem;
        bytes = written;
        return {};
    }

    std::string location() const override { return "/home/performer/.config/kelvane/kelvane.dat"; }

    std::optional<std::vector<std::uint8_t>> bytes; // nothing: no file
    bool unreadable = false;
    std::string writeProblem;

private:
    EffectLog& log_;
};

} // namespace kelvane::fakes
