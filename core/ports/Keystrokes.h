#pragma once

#include <string>

namespace kelvane {

// Typing into whichever application has the keyboard focus.
class Keystrokes {
public:
    virtual ~Keystrokes() = default;

    // Whether keys can reach other applications at all. When not, why not,
    // in a sentence for the user.
    virtual bool available() const = 0;
    virtual std::string unavailableReason() const = 0;

    // Types each character of text as a plain key press and release into the
    // focused window, and returns without waiting for the window to handle
    // them. Empty text types nothing; so does an unavailable sender.
    // Only lower-case letters and digits are promised.
    virtual void type(const std::string& text) = 0;
};

} // namespace kelvane
