#pragma once

#include "Rig.h"

#include <cstdio>
#include <string>

namespace kelvane::testing {

// The main window's rig with its lighting desk. The desk pauses on the rig's
// scripted pause, so the events a test scripts run nested inside the desk's
// fades exactly as between real fade steps.
struct DeskRig : Rig {
    DeskRig() : deskPause(pause), desk(kelvane.lightingDesk()) { }

    // Program started, desk opened from its menu command; the log starts empty.
    DeskRig& opened()
    {
        started();
        menu().lightingDesk().click();
        log.clear();
        return *this;
    }

    LightChannel& ch(int n) { return desk.channel(n); }

    Log midiLog() const { return log.startingWith("midi"); }

    fakes::ScriptedPause& deskPause;
    LightForm& desk;
};

// The user's whole gesture on a desk button, in the order the view delivers
// it: press, click, release.
inline void gesture(const Button& button)
{
    button.mouseDown(MouseButton::Left);
    button.click();
    button.mouseUp(MouseButton::Left);
}

// "midi 9F 29 64"
inline std::string midi(int status, int data1, int data2)
{
    char text[32];
    std::snprintf(text, sizeof text, "midi %02X %02X %02X", status, data1, data2);
    return text;
}

inline std::string pauseEvents(int ms) { return "pause+events " + std::to_string(ms); }

} // namespace kelvane::testing
