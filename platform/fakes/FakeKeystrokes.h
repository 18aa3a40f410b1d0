#pragma once

#include "fakes/EffectLog.h"
#include "ports/Keystrokes.h"

namespace kelvane::fakes {

// Records every text typed as "keys TEXT". An unavailable fake still records
// what it was asked to type, so a test sees whether the core asked at all.
class FakeKeystrokes : public Keystrokes {
public:
    explicit FakeKeystrokes(EffectLog& log) : log_(log) { }

    bool available() const override { return isAvailable; }
    std::string unavailableReason() const override { return "there is no display to type into."; }
    void type(const std::string& text) override { log_.add("keys " + text); }

    bool isAvailable = true;

private:
    EffectLog& log_;
};

} // namespace kelvane::fakes
