#include "XTestPointer.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <stdexcept>

namespace kelvane::bench {

XTestPointer::XTestPointer() : display_(XOpenDisplay(nullptr))
{
    if (!display_)
        throw std::runtime_error("cannot open the X display");
    int event = 0;
    int error = 0;
    int major = 0;
    int minor = 0;
    if (!XTestQueryExtension(display_, &event, &error, &major, &minor)) {
        XCloseDisplay(display_);
        throw std::runtime_error("the X server has no XTest");
    }
}

XTestPointer::~XTestPointer() { XCloseDisplay(display_); }

void XTestPointer::moveTo(int x, int y)
{
    XTestFakeMotionEvent(display_, -1, x, y, CurrentTime);
    XSync(display_, False);
}

Clock::time_point XTestPointer::press()
{
    XTestFakeButtonEvent(display_, 1, True, CurrentTime);
    const auto sent = Clock::now();
    XFlush(display_);
    return sent;
}

void XTestPointer::release()
{
    XTestFakeButtonEvent(display_, 1, False, CurrentTime);
    XSync(display_, False);
}

} // namespace kelvane::bench
