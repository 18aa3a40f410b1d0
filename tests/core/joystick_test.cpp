// The two joystick controls on the main window: which input plays which
// switch, the order of a press and a release, the axis flags, the shared lock,
// the failure box, unplugging, and notes that end after they changed.
#include "Rig.h"

#include <gtest/gtest.h>

using namespace kelvane;
using namespace kelvane::testing;

namespace {

constexpr int kCentre = 32767;

int axisHeld(Rig& rig, int joystick, int axis) { return rig.form.joysticks().axisHeld(joystick, axis); }

} // namespace

TEST(JoystickStick, FullyLeftPlaysSwitchOneTheCentreReleasesItAndFiveThousandKeepsIt)
{
    Rig rig;
    rig.started();
    rig.sw(1).gate.setValue(1);
    rig.logBarsAndIndicators();

    rig.stavik1.move(0, kCentre);
    EXPECT_EQ(rig.log.entries(), (Log {"bars off", "midi 90 3C 78", "Shape1 lit", "slot press 1"}));
    EXPECT_EQ(axisHeld(rig, 1, 0), 1);

    rig.log.clear();
    rig.stavik1.move(999, kCentre); // still pushed: no second press
    rig.stavik1.move(5000, kCentre); // between the two limits: still held
    EXPECT_TRUE(rig.log.entries().empty());

    rig.stavik1.move(10001, kCentre);
    EXPECT_EQ(rig.log.entries(), (Log {"slot release 1", "bars on", "midi 90 3C 00", "Shape1 dark"}));
    EXPECT_EQ(axisHeld(rig, 1, 0), 0);

    rig.log.clear();
    rig.stavik1.move(65535, 65535); // right and back play nothing
    rig.stavik1.move(10000, 1000); // exactly on the limits: nothing either
    EXPECT_TRUE(rig.log.entries().empty());
}

TEST(JoystickStick, OneMoveCanPressBothAxesXFirstAndEachStickHasItsOwnSwitches)
{
    Rig rig;
    rig.started();
    rig.stavik1.move(0, 0);
    rig.stavik2.move(0, 0);
    EXPECT_EQ(rig.log.startingWith("slot"), (Log {"slot press 1", "slot press 2", "slot press 7", "slot press 8"}));
    EXPECT_EQ(rig.log.startingWith("midi"), (Log {"midi 90 3C 78", "midi 90 3E 78", "midi 90 47 78", "midi 90 48 78"}));
    EXPECT_EQ(axisHeld(rig, 2, 1), 1);

    rig.log.clear();
    rig.stavik2.move(kCentre, kCentre);
    EXPECT_EQ(rig.log.startingWith("midi"), (Log {"midi 90 47 00", "midi 90 48 00"}));
    EXPECT_EQ(axisHeld(rig, 1, 0), 1) << "the other joystick's flags are its own";
}

TEST(JoystickButtons, PressLightsSoundsAndPlaysWithoutLockingAndReleaseEndsIt)
{
    Rig rig;
    rig.started();
    rig.sw(3).gate.setValue(1);
    rig.logBarsAndIndicators();

    rig.stavik1.pressButton(1);
    EXPECT_EQ(rig.log.entries(), (Log {"Shape3 lit", "midi 90 40 78", "slot press 3"}));
    EXPECT_FALSE(rig.barsLocked());
    EXPECT_EQ(rig.form.flags().keyHeld, 0);

    rig.log.clear();
    rig.stavik1.releaseButton(1);
    EXPECT_EQ(rig.log.entries(), (Log {"slot release 3", "Shape3 dark", "midi 90 40 00"}));

    rig.log.clear();
    rig.stavik1.pressButton(2);
    rig.stavik2.pressButton(1);
    rig.stavik2.pressButton(2);
    rig.stavik2.pressButton(3);
    rig.stavik2.pressButton(4);
    rig.stavik1.pressButton(3);
    rig.stavik1.pressButton(4);
    EXPECT_EQ(rig.log.startingWith("slot"), (Log {"slot press 4", "slot press 5", "slot press 6"}));
}

TEST(JoystickButtons, JoystickOneButtonThreeEndsSwitchFiveEvenWhileJoystickTwoHoldsIt)
{
    Rig rig;
    rig.started();
    rig.sw(5).gate.setValue(1);
    rig.stavik2.pressButton(1);
    rig.log.clear();
    rig.stavik1.releaseButton(3);
    rig.stavik1.releaseButton(4);
    EXPECT_EQ(rig.log.entries(), (Log {"midi 90 43 00", "midi 90 45 00"})) << "no wave-slot release for these";
    EXPECT_FALSE(rig.sw(5).indicator.lit());

    rig.log.clear();
    rig.stavik2.releaseButton(1);
    EXPECT_EQ(rig.log.entries(), (Log {"slot release 5", "midi 90 43 00"}));
}

TEST(JoystickLock, OnlyJoystickOneButtonReleasesUnlockAndButtonPressesNeverLock)
{
    Rig rig;
    rig.started();
    rig.stavik2.move(0, kCentre);
    ASSERT_TRUE(rig.barsLocked());
    for (int b = 1; b <= 4; ++b)
        rig.stavik2.releaseButton(b);
    EXPECT_TRUE(rig.barsLocked()) << "joystick 2's button releases never unlock";

    rig.stavik1.releaseButton(4); // any button of joystick 1, even one that plays nothing
    EXPECT_FALSE(rig.barsLocked());
    rig.stavik1.pressButton(1);
    rig.stavik2.pressButton(1);
    EXPECT_FALSE(rig.barsLocked());

    rig.form.keyDown(32);
    rig.stavik1.move(0, kCentre);
    rig.stavik1.move(kCentre, kCentre); // an axis release unlocks too
    EXPECT_FALSE(rig.barsLocked());
}

TEST(JoystickFailure, AFailingWaveIsToldAndEmptiedTheNoteSoundsAndTheRestOfTheMoveIsDropped)
{
    Rig rig;
    rig.started();
    rig.slots.failingPresses = {1, 4};
    rig.stavik1.move(0, 0);
    EXPECT_EQ(rig.log.startingWith("midi 90"), (Log {"midi 90 3C 78"})) << "Y is not looked at once X failed";
    EXPECT_EQ(rig.log.startingWith("message"), (Log {"message This Wave is unavailable"}));
    EXPECT_EQ(rig.log.startingWith("slot"), (Log {"slot press 1", "slot empty 1"}));
    EXPECT_EQ(axisHeld(rig, 1, 0), 1);
    EXPECT_EQ(axisHeld(rig, 1, 1), 0);

    rig.log.clear();
    rig.stavik1.pressButton(2);
    EXPECT_EQ(
        rig.log.entries(), (Log {"midi 90 41 78", "slot press 4", "message This Wave is unavailable", "slot empty 4"}));
    EXPECT_TRUE(rig.sw(4).indicator.lit());
}

TEST(JoystickUnplug, UnpluggingWhileHeldReleasesItsButtonsAndItsStick)
{
    Rig rig;
    rig.started();
    rig.stavik1.pressButton(2);
    rig.stavik1.move(0, kCentre);
    rig.stavik1.move(5000, kCentre); // still held
    rig.log.clear();
    rig.stavik1.unplug();
    EXPECT_EQ(rig.log.startingWith("midi"), (Log {"midi 90 41 00", "midi 90 3C 00"}));
    EXPECT_EQ(axisHeld(rig, 1, 0), 0);
    EXPECT_FALSE(rig.sw(4).indicator.lit());
    EXPECT_FALSE(rig.sw(1).indicator.lit());
}

// Regression: a note changed while held used to be ended only on its new note.
TEST(JoystickNotes, ButtonAndStickReleasesAlsoEndTheNotesTheirPressesSounded)
{
    Rig rig;
    rig.started();
    rig.stavik2.pressButton(2);
    rig.stavik2.move(kCentre, 0);
    rig.menu().preset(3).click();
    rig.log.clear();
    rig.stavik2.releaseButton(2);
    rig.stavik2.move(kCentre, kCentre);
    // Each release's own note-off on the new note and channel, then the one its press sounded.
    EXPECT_EQ(rig.log.startingWith("midi"), (Log {"midi 95 3B 00", "midi 90 45 00", "midi 97 30 00", "midi 90 48 00"}));
}
