// A plain X client for the keystroke test: opens a window, gives it the
// keyboard focus, prints "ready", then prints the text of every key pressed
// in it, one per line. Ends after the given number of keys, or after ten
// seconds.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>

#include <unistd.h>

int main(int argc, char** argv)
{
    const int keys = argc > 1 ? std::atoi(argv[1]) : 1;
    ::alarm(10);
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fputs("x_key_window: no X display\n", stderr);
        return 2;
    }
    const int screen = DefaultScreen(display);
    const Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 10, 10, 200, 100, 1,
        BlackPixel(display, screen), WhitePixel(display, screen));
    XSelectInput(display, window, KeyPressMask | StructureNotifyMask);
    XMapWindow(display, window);
    for (XEvent event;;) {
        XNextEvent(display, &event);
        if (event.type == MapNotify)
            break;
    }
    XSetInputFocus(display, window, RevertToParent, CurrentTime);
    XSync(display, False);
    std::puts("ready");
    std::fflush(stdout);

    for (int received = 0; received < keys;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type != KeyPress)
            continue;
        char text[8] = {};
        KeySym symbol = NoSymbol;
        const int length = XLookupString(&event.xkey, text, sizeof text - 1, &symbol, nullptr);
        text[length] = '\0';
        std::printf("%s\n", text);
        std::fflush(stdout);
        ++received;
    }
    XDestroyWindow(display, window);
    XCloseDisplay(display);
    return 0;
}
