#pragma once

#include "inputs/KeyboardPerformance.h"

#include <vector>

namespace kelvane {

// The keys pressed in the main window that are still down, in the order they
// went down, and which key events reach the keyboard performance.
//
// - Every key-down in the main window reaches it (auto-repeats included).
// - A release reaches it when it happens in the main window, or elsewhere in
//   the program (a modal box of its own that opened while the key was down)
//   for a key that went down in the main window.
// - When the keyboard focus leaves the program for another application, a
//   key released there would never come back: every key still down is
//   released at once, in the order they went down, as if let go. Such a key
//   is spent: when its own release reaches the program later (the focus came
//   back before the key was let go), that release does nothing more. A key
//   stops being spent as soon as the program sees it go down again.
//
// Views call these in the order the events happen, on the user-interface
// thread. A release may show a message box, whose event loop may deliver
// further key events or focus changes: every call is safe to enter again.
class HeldKeys {
public:
    explicit HeldKeys(KeyboardPerformance& keys) : keys_(keys) { }

    void keyDown(int keyCode);
    // A real release (never an auto-repeat's); inMainWindow says where it happened.
    void keyUp(int keyCode, bool inMainWindow);
    void focusLeftProgram();

private:
    static bool erase(std::vector<int>& codes, int keyCode);

    KeyboardPerformance& keys_;
    std::vector<int> down_;
    std::vector<int> spent_;
};

} // namespace kelvane
