// The computer keyboard on the main window: key order of effects, the one
// auto-repeat guard, bank keys, N and P, the failure box, and notes that end
// even when they changed while held.
#include "Rig.h"

#include <gtest/gtest.h>

using namespace kelvane;
using namespace kelvane::testing;

namespace {

constexpr int kKey1 = 49;
constexpr int kKey2 = 50;
constexpr int kKeypad1 = 97;
constexpr int kShift = 16;
constexpr int kF1 = 112;
constexpr int kN = 78;
constexpr int kP = 80;
constexpr int kSpace = 32;

Log sixteenProgramChanges(const char* each = "midi C0 30") { return Log(16, each); }

Log eightNoteOffs()
{
    return {"midi 90 3C 00", "midi 90 3E 00", "midi 90 40 00", "midi 90 41 00", "midi 90 43 00", "midi 90 45 00",
        "midi 90 47 00", "midi 90 48 00"};
}

} // namespace

TEST(Keyboard, APressSendsSixteenProgramChangesLocksThenSoundsLightsAndPlaysItsSlot)
{
    Rig rig;
    rig.started();
    rig.sw(2).channel.setValue(3);
    rig.sw(2).program.setValue(5);
    rig.logBarsAndIndicators();
    rig.log.clear();

    rig.form.keyDown(kKey1);
    Log programs;
    for (int round = 0; round < 2; ++round) {
        programs.insert(programs.end(),
            {"midi C0 30", "midi C2 05", "midi C0 30", "midi C0 30", "midi C0 30", "midi C0 30", "midi C0 30",
                "midi C0 30"});
    }
    EXPECT_EQ(rig.log.entries(), concat({programs, {"bars off", "midi 90 3C 78", "Shape1 lit", "slot press 1"}}));
    EXPECT_EQ(rig.form.flags().keyHeld, 1);

    // Auto-repeat: the programs and the lock again, no second note.
    rig.log.clear();
    rig.form.keyDown(kKey1);
    EXPECT_EQ(rig.log.entries(), programs);

    rig.log.clear();
    rig.form.keyUp(kKey1);
    Log offs = eightNoteOffs();
    offs[1] = "midi 92 3E 00"; // switch 2 is on channel 3
    EXPECT_EQ(rig.log.entries(), concat({{"slot release 1", "bars on", "Shape1 dark"}, offs}))
        << "the slot's own release decides on its gate; every switch gets its note-off";
    EXPECT_EQ(rig.form.flags().keyHeld, 0);
}

TEST(Keyboard, OneFlagForAllKeys_ReleasingTheSecondKeyFreesThemAll)
{
    Rig rig;
    rig.started();
    rig.form.keyDown(kKey1);
    rig.form.keyDown(kKey2); // held together: only switch 1 sounds
    EXPECT_EQ(rig.log.startingWith("midi 90"), (Log {"midi 90 3C 78"}));
    EXPECT_FALSE(rig.sw(2).indicator.lit());

    rig.log.clear();
    rig.form.keyUp(kKey2);
    EXPECT_EQ(rig.log.startingWith("slot"), (Log {"slot release 2"}));
    EXPECT_EQ(rig.log.startingWith("midi"), eightNoteOffs());
    EXPECT_EQ(rig.form.flags().keyHeld, 0);
    EXPECT_FALSE(rig.sw(1).indicator.lit());

    rig.log.clear();
    rig.form.keyDown(kKey2); // 1 is still down, yet 2 now plays
    EXPECT_EQ(rig.log.startingWith("midi 90"), (Log {"midi 90 3E 78"}));
}

TEST(Keyboard, ModifiersAreKeysOfTheirOwnAndTheKeypadDigitPlaysLikeTheTopRow)
{
    Rig rig;
    rig.started();
    rig.form.keyDown(kShift); // Shift+1: Shift first, then 1
    EXPECT_TRUE(rig.barsLocked());
    rig.form.keyDown(kKey1);
    rig.form.keyUp(kKey1);
    rig.form.keyUp(kShift);
    rig.form.keyDown(kKeypad1);
    EXPECT_EQ(rig.log.startingWith("midi 90 3C 78"), (Log {"midi 90 3C 78", "midi 90 3C 78"}));
    EXPECT_EQ(rig.log.startingWith("slot press"), (Log {"slot press 1", "slot press 1"}));
}

TEST(Keyboard, BankKeysRecallOnlyABankWithDataAndAlwaysSendTheProgramsAfterward)
{
    Rig rig;
    rig.started();
    rig.form.keyDown(kF1);
    EXPECT_EQ(rig.log.entries(), sixteenProgramChanges()) << "an empty bank is not recalled";
    EXPECT_TRUE(rig.barsLocked());
    rig.log.clear();
    rig.form.keyUp(kF1);
    EXPECT_EQ(rig.log.entries(), eightNoteOffs());
    EXPECT_FALSE(rig.barsLocked());

    rig.banks.filled[2] = true;
    rig.log.clear();
    rig.form.keyDown(kF1 + 2);
    EXPECT_EQ(rig.log.entries(), concat({{"bank recall 3"}, sixteenProgramChanges()}));
}

TEST(Keyboard, NAndPReleasesChangeNothingNotEvenTheLock)
{
    Rig rig;
    rig.started();
    rig.form.keyDown(kKey1);
    rig.form.keyDown(kN);
    rig.log.clear();
    rig.form.keyUp(kN);
    rig.form.keyUp(kP);
    EXPECT_TRUE(rig.log.entries().empty());
    EXPECT_TRUE(rig.barsLocked());
    EXPECT_EQ(rig.form.flags().keyHeld, 1);
    EXPECT_TRUE(rig.sw(1).indicator.lit());

    rig.form.keyUp(kSpace); // any other key releases everything
    EXPECT_EQ(rig.log.startingWith("midi"), eightNoteOffs());
    EXPECT_EQ(rig.form.flags().keyHeld, 0);
}

TEST(Keyboard, AnOnScreenPressOfSevenOrEightBlocksTheKeysUntilAKeyIsReleased)
{
    Rig rig;
    rig.started();
    rig.sw(7).button.mouseDown(MouseButton::Left);
    rig.sw(7).button.mouseUp(MouseButton::Left);
    rig.log.clear();
    rig.form.keyDown(kKey1);
    EXPECT_TRUE(rig.log.startingWith("midi 90").empty());

    rig.form.keyUp(kP);
    rig.form.keyDown(kKey1);
    EXPECT_TRUE(rig.log.startingWith("midi 90").empty()) << "N and P releases do not clear the flag";

    rig.form.keyUp(kKey1);
    rig.log.clear();
    rig.form.keyDown(kKey1);
    EXPECT_EQ(rig.log.startingWith("midi 90"), (Log {"midi 90 3C 78"}));
}

TEST(Keyboard, AFailingWaveIsToldItsSlotEmptiedAndTheNoteStillSounds)
{
    Rig rig;
    rig.started();
    rig.slots.failingPresses = {2};
    rig.form.keyDown(kKey2);
    EXPECT_EQ(rig.log.startingWith("midi 90"), (Log {"midi 90 3E 78"}));
    EXPECT_EQ(rig.log.startingWith("message"), (Log {"message This Wave is unavailable"}));
    EXPECT_EQ(rig.dialogs.lastTitle, "");
    EXPECT_EQ(rig.log.startingWith("slot"), (Log {"slot press 2", "slot empty 2"}));
    EXPECT_EQ(rig.form.flags().keyHeld, 1);
    EXPECT_TRUE(rig.sw(2).indicator.lit());

    rig.form.keyUp(kKey2);
    EXPECT_FALSE(rig.sw(2).indicator.lit());
    rig.log.clear();
    rig.form.keyDown(kKey2);
    EXPECT_TRUE(rig.log.startingWith("message").empty()) << "the emptied slot plays the note alone";
}

// Regression: a note changed while its key was held (Ctrl+U, a preset, a bank
// recall) used to end only on its new note, leaving the old one sounding.
TEST(Keyboard, AReleaseAlsoEndsTheNoteThePressSoundedWhenItChangedMeanwhile)
{
    Rig rig;
    rig.started();
    rig.form.keyDown(kKey1);
    rig.menu().semitoneUp().click(); // the bars are locked, but menus still move the notes
    rig.sw(1).channel.setValue(2);
    rig.log.clear();
    rig.form.keyUp(kKey1);
    EXPECT_EQ(rig.log.startingWith("midi"),
        (Log {"midi 91 3D 00", "midi 90 3F 00", "midi 90 41 00", "midi 90 42 00", "midi 90 44 00", "midi 90 46 00",
            "midi 90 48 00", "midi 90 49 00", "midi 90 3C 00"}))
        << "the eight note-offs as they always were, then the one the press sounded";

    // Unchanged notes get no second note-off.
    rig.form.keyDown(kKey2);
    rig.log.clear();
    rig.form.keyUp(kKey2);
    EXPECT_EQ(rig.log.startingWith("midi").size(), 8u);
}

TEST(Keyboard, AReleaseWhoseWaveCannotStopStillEndsEveryNoteThenTellsThePerformer)
{
    Rig rig;
    rig.started();
    rig.form.keyDown(kKey1);
    rig.slots.failingReleases = {1};
    rig.log.clear();
    rig.form.keyUp(kKey1);
    EXPECT_EQ(rig.log.entries(), concat({{"slot release 1"}, eightNoteOffs(), {"message This Wave is unavailable"}}));
    EXPECT_EQ(rig.form.flags().keyHeld, 0);
    EXPECT_FALSE(rig.barsLocked());
}

TEST(SwitchPress, AnOnScreenReleaseEndsTheNoteItsPressSoundedAfterATransposition)
{
    Rig rig;
    rig.started();
    rig.sw(4).gate.setValue(1);
    rig.sw(4).button.mouseDown(MouseButton::Left);
    rig.menu().octaveUp().click();
    rig.slots.failingReleases = {4};
    rig.log.clear();
    rig.sw(4).button.mouseUp(MouseButton::Left);
    EXPECT_EQ(rig.log.startingWith("message").size(), 1u) << "the failure is reported once the release is done";
    EXPECT_EQ(rig.log.startingWith("midi"), (Log {"midi 90 4D 00", "midi 90 41 00"}));
    EXPECT_FALSE(rig.sw(4).indicator.lit());
}

// A key let go while another application has the focus never comes back:
// the focus leaving releases every key still down, in the order they went
// down, each as its own release would have.
TEST(KeysAndFocus, FocusLeavingReleasesEveryHeldKeyInPressOrderAndTheirLaterReleasesDoNothing)
{
    Rig rig;
    rig.started();
    rig.logBarsAndIndicators();
    rig.form.keyDown(kShift);
    rig.form.keyDown(kKey1);
    rig.form.keyDown(kKey2); // held with 1: silent
    rig.form.keyDown(kKey1); // an auto-repeat keeps 1 where it was
    rig.form.keyDown(kN);
    rig.log.clear();

    rig.form.focusLeftProgram();
    EXPECT_EQ(rig.log.entries(),
        concat({{"bars on", "Shape1 dark"}, eightNoteOffs(), {"slot release 1"}, eightNoteOffs(), {"slot release 2"},
            eightNoteOffs()}))
        << "Shift, 1, 2 in the order they went down, each its whole release; N's release does nothing";
    EXPECT_EQ(rig.form.flags().keyHeld, 0);
    EXPECT_FALSE(rig.barsLocked());

    // The focus came back before the keys were let go: their releases are spent.
    rig.log.clear();
    for (int key : {kKey2, kKey1, kShift, kN})
        rig.form.keyUp(key);
    rig.form.focusLeftProgram();
    EXPECT_TRUE(rig.log.entries().empty());
}

TEST(KeysAndFocus, AKeyReleasedByTheFocusPlaysAgainWhenItGoesDownAgainAndNothingHeldMeansNothingReleased)
{
    Rig rig;
    rig.started();
    rig.form.focusLeftProgram();
    EXPECT_TRUE(rig.log.entries().empty()) << "no key down, nothing to release";

    rig.form.keyDown(kKey1);
    rig.form.focusLeftProgram();
    rig.log.clear();
    // Let go elsewhere, pressed again here (or still held and repeating when
    // the focus came back): a press like any other, and its release counts.
    rig.form.keyDown(kKey1);
    EXPECT_EQ(rig.log.startingWith("midi 90"), (Log {"midi 90 3C 78"}));
    rig.log.clear();
    rig.form.keyUp(kKey1);
    EXPECT_EQ(rig.log.startingWith("midi"), eightNoteOffs());

    // A release in another window of the program counts only for a key that
    // went down in the main window.
    rig.log.clear();
    rig.form.keyUpElsewhere(kKey2);
    EXPECT_TRUE(rig.log.entries().empty());
    rig.form.keyDown(kKey2);
    rig.log.clear();
    rig.form.keyUpElsewhere(kKey2);
    EXPECT_EQ(rig.log.startingWith("midi"), eightNoteOffs());
}
