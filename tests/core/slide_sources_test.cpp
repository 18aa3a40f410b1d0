// Slide keys from every kind of press: each press runs the slot's play
// press, whose first step types the switch's slide key.
#include "PressRig.h"

#include <gtest/gtest.h>

using namespace kelvane;
using namespace kelvane::testing;

namespace {
using Log = std::vector<std::string>;
} // namespace

TEST(SlideSources, OnScreenSwitchAndPlayWaveButtonEachTypeTheKeyBeforeTheWave)
{
    PressRig rig;
    rig.started();
    rig.preferences.previousOption(3).click();
    rig.slots.slot(3).setPath("/waves/gong.wav");
    rig.form.menu().slideControl().click();
    rig.log.clear();

    rig.sw(3).button.mouseDown(MouseButton::Left);
    rig.sw(3).button.mouseUp(MouseButton::Left);
    rig.slots.slot(3).play.mouseDown(MouseButton::Left);
    rig.slots.slot(3).play.mouseUp(MouseButton::Left);

    const Log keysAndLoads = [&] {
        Log out;
        for (const std::string& e : rig.log.entries())
            if (e.rfind("keys ", 0) == 0 || e.rfind("wave LoadWaveFile", 0) == 0)
                out.push_back(e);
        return out;
    }();
    EXPECT_EQ(keysAndLoads,
        (Log {"keys p", "wave LoadWaveFile \"/waves/gong.wav\"", "keys p", "wave LoadWaveFile \"/waves/gong.wav\""}));
}

TEST(SlideSources, EmptySlotsStillTypeAndOffOrModeOffTypeNothing)
{
    PressRig rig;
    rig.started();
    rig.preferences.offOption(2).click();
    rig.sw(1).button.mouseDown(MouseButton::Left); // mode off
    rig.sw(1).button.mouseUp(MouseButton::Left);
    rig.form.menu().slideControl().click();
    for (int n : {1, 2, 8}) {
        rig.sw(n).button.mouseDown(MouseButton::Left);
        rig.sw(n).button.mouseUp(MouseButton::Left);
    }
    EXPECT_EQ(rig.log.startingWith("keys "), (Log {"keys n", "keys n"}));
    EXPECT_EQ(rig.form.caption(), "Controlling PowerPoint Now!");
}

TEST(SlideSources, KeysButtonsAndSticksTypeTheirSwitchesKeys)
{
    PressRig rig;
    rig.started();
    rig.preferences.previousOption(3).click();
    rig.preferences.previousOption(5).click();
    rig.form.menu().slideControl().click();
    rig.log.clear();

    rig.form.keyDown('2'); // switch 2: Next
    rig.form.keyUp('2');
    rig.stavik1.pressButton(1); // joystick 1, button 1: switch 3
    rig.stavik1.releaseButton(1);
    rig.stavik2.pressButton(1); // joystick 2, button 1: switch 5
    rig.stavik2.releaseButton(1);
    rig.stavik1.move(0, 32767); // joystick 1 fully left: switch 1
    rig.stavik1.move(32767, 32767);
    EXPECT_EQ(rig.log.startingWith("keys "), (Log {"keys n", "keys p", "keys p", "keys n"}));
}
