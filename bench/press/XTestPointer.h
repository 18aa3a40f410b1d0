#pragma once

// The mouse as the X server sees it, driven through XTest on a connection of
// its own (so a benchmark presses from a thread other than Qt's). Xlib's
// headers stay in the .cpp: their macros (None, Status) clash with Qt's.

#include "BenchStats.h"

struct _XDisplay;

namespace kelvane::bench {

class XTestPointer {
public:
    // Throws std::runtime_error when there is no X display or no XTest.
    XTestPointer();
    ~XTestPointer();
    XTestPointer(const XTestPointer&) = delete;
    XTestPointer& operator=(const XTestPointer&) = delete;

    // x, y in screen coordinates; returns once the server has moved the pointer.
    void moveTo(int x, int y);
    // Presses the left button; the moment the request is handed to the
    // connection, just before it is flushed to the server.
    Clock::time_point press();
    // Releases the left button; returns once the server has taken it.
    void release();

private:
    _XDisplay* display_;
};

} // namespace kelvane::bench
