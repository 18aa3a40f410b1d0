#include "keys/XTestKeystrokes.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <string>

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

std::string describeMissingDisplay(const char* wayland)
{
    if (wayland && *wayland)
        return "this Wayland session has no X server (XWayland) to type through.";
    return "there is no X display (DISPLAY is not set).";
}

} // namespace

XTestKeystrokes::XTestKeystrokes(const std::function<const char*(const char*)>& getenv) :
    connection_(std::make_unique<Connection>())
{
    // Named here, never left to Xlib: given no name (or an empty one) it
    // would read this process's own DISPLAY instead of the one passed in.
    const char* name = getenv("DISPLAY");
    if (!name || !*name) {
        reason_ = describeMissingDisplay(getenv("WAYLAND_DISPLAY"));
        return;
    }
    connection_->display = XOpenDisplay(name);
    if (!connection_->display) {
        reason_ = std::string("the X display ") + name + " cannot be reached.";
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
