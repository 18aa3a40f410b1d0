// On-screen switch presses and releases: the order of their effects and the shared lock.
#include "Rig.h"

#include <gtest/gtest.h>

using namespace kelvane;
using namespace kelvane::testing;

namespace {

// The sixteen note and channel bars, in locking order.
std::vector<ScrollBar*> lockedBars(Rig& rig)
{
    std::vector<ScrollBar*> bars;
    for (int n = 1; n <= 8; ++n) {
        bars.push_back(&rig.sw(n).note);
        bars.push_back(&rig.sw(n).channel);
    }
    return bars;
}

// Records the order in which bars and indicators change, beside the ports' log.
void watch(Rig& rig)
{
    for (ScrollBar* bar : lockedBars(rig))
        bar->changed().connect([&rig, bar] { rig.log.add(bar->name() + (bar->enabled() ? " on" : " off")); });
    for (int n = 1; n <= 8; ++n) {
        Shape& shape = rig.sw(n).indicator;
        shape.changed().connect([&rig, &shape] { rig.log.add(shape.name() + (shape.lit() ? " lit" : " dark")); });
    }
}

Log barsTurned(const char* state)
{
    Log out;
    for (const char* name :
        {"HScroll1", "VScroll2", "HScroll2", "VScroll6", "HScroll3", "VScroll9", "HScroll4", "VScroll10", "HScroll5",
            "VScroll13", "HScroll6", "VScroll14", "HScroll14", "VScroll16", "HScroll17", "VScroll19"})
        out.push_back(std::string(name) + state);
    return out;
}

} // namespace

TEST(SwitchPress, FirstSixLockLightSoundThenPlayTheirSlot)
{
    Rig rig;
    rig.started();
    watch(rig);

    rig.sw(1).button.mouseDown(MouseButton::Left);
    EXPECT_EQ(rig.log.entries(), concat({barsTurned(" off"), {"Shape1 lit", "midi 90 3C 78", "slot press 1"}}));
    EXPECT_EQ(rig.form.flags().keyHeld, 0);

    rig.log.clear();
    rig.sw(1).button.mouseUp(MouseButton::Left);
    // Gate unchecked: the slot's release is not called.
    EXPECT_EQ(rig.log.entries(), concat({barsTurned(" on"), {"Shape1 dark", "midi 90 3C 00"}}));
}

TEST(SwitchPress, SevenAndEightSoundBeforeLightingAndHoldTheKeyboardFlag)
{
    Rig rig;
    rig.started();
    rig.sw(8).channel.setValue(16);
    rig.sw(8).gate.setValue(1);
    watch(rig);

    rig.sw(8).button.mouseDown(MouseButton::Right);
    EXPECT_EQ(rig.log.entries(), concat({barsTurned(" off"), {"midi 9F 48 78", "Shape9 lit", "slot press 8"}}));
    EXPECT_EQ(rig.form.flags().keyHeld, 1);

    rig.log.clear();
    rig.sw(8).button.mouseUp(MouseButton::Right);
    // Gated: the slot's release comes before anything else.
    EXPECT_EQ(rig.log.entries(), concat({{"slot release 8"}, barsTurned(" on"), {"Shape9 dark", "midi 9F 48 00"}}));
    EXPECT_EQ(rig.form.flags().keyHeld, 1) << "only a key release clears the flag";
}

TEST(SwitchPress, AnyReleaseUnlocksAllBarsWhileAnotherSwitchStillSounds)
{
    Rig rig;
    rig.started();
    rig.sw(1).button.mouseDown(MouseButton::Left);
    rig.sw(2).button.mouseDown(MouseButton::Left);
    for (ScrollBar* bar : lockedBars(rig))
        EXPECT_FALSE(bar->enabled()) << bar->name();
    EXPECT_TRUE(rig.sw(1).velocity.enabled());
    EXPECT_TRUE(rig.sw(1).program.enabled());

    rig.sw(1).button.mouseUp(MouseButton::Left);
    for (ScrollBar* bar : lockedBars(rig))
        EXPECT_TRUE(bar->enabled()) << bar->name();
    EXPECT_TRUE(rig.sw(2).indicator.lit());
    EXPECT_EQ(rig.log.startingWith("midi"), (Log {"midi 90 3C 78", "midi 90 3E 78", "midi 90 3C 00"}));
}

TEST(SwitchPress, ReleaseEndsTheNoteThatWasPlayedEvenIfTheProgramChangedMeanwhile)
{
    Rig rig;
    rig.started();
    rig.sw(3).button.mouseDown(MouseButton::Left);
    rig.sw(3).velocity.setValue(10); // velocity bars stay free while held
    rig.sw(3).button.mouseUp(MouseButton::Left);
    EXPECT_EQ(rig.log.startingWith("midi 90"), (Log {"midi 90 40 78", "midi 90 40 00"}));
}
