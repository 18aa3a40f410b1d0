#pragma once

#include "controls/MenuItem.h"
#include "controls/Window.h"
#include "ports/Dialogs.h"
#include "ports/Keystrokes.h"
#include "slides/SlideChoices.h"
#include "slides/SlideStep.h"

#include <string>

namespace kelvane {

// Slide control: while the mode is on, every switch press types the switch's
// slide key, "n" (next) or "p" (previous), into the focused application.
// The mode starts off with each run and is never stored.
class SlideControl : public SlideStep {
public:
    SlideControl(SlideChoices& choices, Keystrokes& keys, Dialogs& dialogs);

    // The slide step of switch n's play press: picks the slide key from the
    // switch's choices as they stand now, then sends it.
    void send(int switchNumber) override;

    // Types the current slide key when the mode is on.
    void sendSlideKey();

    bool on() const { return on_; }
    // Switching the mode on where keys cannot be typed tells the user why,
    // once per run; the mode is on regardless, and presses go on as always.
    void setOn(bool on);

    // The key text of the last press ("n", "p" or empty).
    const std::string& slideKey() const { return slideKey_; }

private:
    SlideChoices& choices_;
    Keystrokes& keys_;
    Dialogs& dialogs_;
    std::string slideKey_;
    bool on_ = false;
    bool toldUnavailable_ = false;
};

// The main window's "Control PowerPoint" command: toggles slide control,
// with the menu's check mark and the window's caption saying which.
class SlideModeCommand {
public:
    SlideModeCommand(MenuItem& item, Window& mainWindow, SlideControl& slides);

    void toggle();

private:
    MenuItem& item_;
    Window& mainWindow_;
    SlideControl& slides_;
};

} // namespace kelvane
