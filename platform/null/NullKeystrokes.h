#pragma once

#include "ports/Keystrokes.h"

namespace kelvane {

// Keystrokes for a program that types nowhere: nothing is ever sent.
class NullKeystrokes : public Keystrokes {
public:
    bool available() const override { return false; }
    std::string unavailableReason() const override { return "this Kelvane was started without keystroke output."; }
    void type(const std::string&) override { }
};

} // namespace kelvane
