#include "keys/XTestKeystrokes.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <cstdlib>

namespace kelvane::keys {

struct XTestKeystrokes::Connection {
    Display* display = nullptr;
    ~Connection()
    {
        if (display)
            XCloseDisplay(display);
    }
};

namespace {

std::string describeMissingDisplay(const char* requested)
{
    if (requested && *requested)
        return std::string("the X display ") + requested + " cannot be reached.";
    if (const char* wayland = std::getenv("WAYLAND_DISPLAY"); wayland && *wayland)
        return "this Wayland session has no X server (XWayland) to type through.";
    return "there is no X display (DISPLAY is not set).";
}

} // namespace

XTestKeystrokes::XTestKeystrokes() : XTestKeystrokes(std::string()) { }

XTestKeystrokes::XTestKeystrokes(const std::string& displayName) : connection_(std::make_unique<Connection>())
{
    const char* name = displayName.empty() ? nullptr : displayName.c_str();
    connection_->display = XOpenDisplay(name);
    if (!connection_->display) {
        reason_ = describeMissingDisplay(name ? name : std::getenv("DISPLAY"));
        return;
    }
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    if (!XTestQueryExtension(connection_->display, &eventBase, &errorBase, &major, &minor)) {
        reason_ = "the X server does not offer the XTest extension.";
        XCloseDisplay(connection_->display);
        connection_->display = nullptr;
    }
}

XTestKeystrokes::~XTestKeystrokes() = default;

bool XTestKeystrokes::available() const { return connection_->display != nullptr; }

void XTestKeystrokes::type(const std::string& text)
{
    Display* display = connection_->display;
    if (!display || text.empty())
        return;
    for (const char c : text) {
        const char name[2] = {c, '\0'};
        const KeySym symbol = XStringToKeysym(name);
        if (symbol == NoSymbol)
            continue;
        const KeyCode code = XKeysymToKeycode(display, symbol);
        if (code == 0)
            continue;
        XTestFakeKeyEvent(display, code, True, CurrentTime);
        XTestFakeKeyEvent(display, code, False, CurrentTime);
    }
    // Handed to the server; the receiving window handles them in its own time.
    XFlush(display);
}

} // namespace kelvane::keys
