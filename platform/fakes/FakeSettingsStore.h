#pragma once

#include "fakes/EffectLog.h"
#include "ports/SettingsStore.h"

#include <optional>
#include <string>

namespace kelvane::fakes {

// A settings file in memory. Logs "settings read", "settings write N" (N
// bytes) and "settings set aside"; a scripted writeProblem makes writes fail
// and keep the bytes, asideProblem makes setting aside fail.
class FakeSettingsStore : public SettingsStore {
public:
    explicit FakeSettingsStore(EffectLog& log) : log_(log) { }

    Contents read() override
    {
        log_.add("settings read");
        if (unreadable)
            return {Contents::Status::Unreadable, {}, "permission denied"};
        if (!bytes)
            return {};
        return {Contents::Status::Read, *bytes, {}};
    }
    std::string write(const std::vector<std::uint8_t>& written) override
    {
        log_.add("settings write " + std::to_string(written.size()));
        if (!writeProblem.empty())
            return writeProblem;
        bytes = written;
        return {};
    }
    std::string location() const override { return "/home/performer/.config/kelvane/midi-input.conf"; }
    std::string setAside(std::string& problem) override
    {
        log_.add("settings set aside");
        if (!asideProblem.empty()) {
            problem = asideProblem;
            return {};
        }
        aside = bytes;
        bytes.reset();
        return location() + ".bad";
    }

    std::string text() const { return bytes ? std::string(bytes->begin(), bytes->end()) : std::string(); }
    void setText(const std::string& text) { bytes = std::vector<std::uint8_t>(text.begin(), text.end()); }

    std::optional<std::vector<std::uint8_t>> bytes; // nothing: no file
    std::optional<std::vector<std::uint8_t>> aside; // what was set aside
    bool unreadable = false;
    std::string writeProblem;
    std::string asideProblem;

private:
    EffectLog& log_;
};

} // namespace kelvane::fakes
