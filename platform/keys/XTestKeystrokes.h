#pragma once

#include "ports/Keystrokes.h"

#include <functional>
#include <memory>
#include <string>

namespace kelvane::keys {

// Keystrokes through the X server's XTest extension: each key is pressed and
// released as if typed on the keyboard, and goes to the window that has the
// focus, whichever program owns it.
//
// The connection to the X server is opened once, at construction, to the
// display DISPLAY names. Without an X server, or one without XTest (a Wayland
// session without XWayland), the sender is unavailable and says why; it never
// aborts the program.
class XTestKeystrokes : public Keystrokes {
public:
    // getenv answers nullptr for an unset variable; it is asked for DISPLAY,
    // and for WAYLAND_DISPLAY to say why there is no display, during
    // construction only.
    explicit XTestKeystrokes(const std::function<const char*(const char*)>& getenv);
    ~XTestKeystrokes() override;
    XTestKeystrokes(const XTestKeystrokes&) = delete;
    XTestKeystrokes& operator=(const XTestKeystrokes&) = delete;

    bool available() const override;
    std::string unavailableReason() const override { return reason_; }
    // Characters without a key on the server's keyboard map are skipped.
    void type(const std::string& text) override;

private:
    struct Connection;
    std::unique_ptr<Connection> connection_;
    std::string reason_;
};

} // namespace kelvane::keys
