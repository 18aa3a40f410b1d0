#pragma once

#include "ports/Keystrokes.h"

#include <memory>
#include <string>

namespace kelvane::keys {

// Keystrokes through the X server's XTest extension: each key is pressed and
// released as if typed on the keyboard, and goes to the window that has the
// focus, whichever program owns it.
//
// The connection to the X server is opened once, at construction, from
// DISPLAY (or the display named). Without an X server, or one without XTest
// (a Wayland session without XWayland), the sender is unavailable and says
// why; it never aborts the program.
class XTestKeystrokes : public Keystrokes {
public:
    XTestKeystrokes();
    explicit XTestKeystrokes(const std::string& displayName);
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
