// The wave slots on the main window: the order of every slot operation's
// calls on the wave player, the slot colours, the loop timing and failures.
#include "SlotRig.h"
#include "waves/LoopTiming.h"
#include "waves/WaveFailure.h"

#include <gtest/gtest.h>

#include <climits>

using namespace kelvane;
using namespace kelvane::testing;

using Log = std::vector<std::string>;

namespace {
std::string quoted(const std::string& path) { return "\"" + path + "\""; }
} // namespace

TEST(WaveSlotPress, PlaysInOrderSlideFirstThenReleaseLoadExclusiveVolumePanAndOnce)
{
    SlotRig rig;
    const std::string path = rig.folder.file("kick.wav");
    rig.loadInto(3, path);
    rig.form.menu().exclusiveWaves().click();
    rig.slot(3).volume.setValue(-1000);
    rig.slot(3).pan.setValue(-2500);
    rig.log.clear();

    rig.press(3);
    EXPECT_EQ(rig.log.entries(),
        (Log {"slide 3", "wave ReleaseBuffer 0", "wave LoadWaveFile " + quoted(path), "wave StopAllBuffers",
            "wave SetBufferVolume 1 -1000", "wave SetBufferPan 1 -2500", "wave PlayBuffer 1"}));
    EXPECT_EQ(rig.slot(3).name.backColour(), slot_colour::kSounding);
    EXPECT_EQ(rig.slot(3).buffer(), 1);
    EXPECT_FALSE(rig.slot(3).loopTimer.enabled());

    // Pressed again while sounding: the old buffer goes, the file starts afresh.
    rig.log.clear();
    rig.press(3);
    EXPECT_EQ(rig.log.entries(),
        (Log {"slide 3", "wave ReleaseBuffer 1", "wave LoadWaveFile " + quoted(path), "wave StopAllBuffers",
            "wave SetBufferVolume 2 -1000", "wave SetBufferPan 2 -2500", "wave PlayBuffer 2"}));
}

TEST(WaveSlotPress, EmptySlotOnlySendsTheSlideStepAndAnOnScreenSwitchPlaysItsSlot)
{
    SlotRig rig;
    rig.press(5);
    EXPECT_EQ(rig.log.entries(), (Log {"slide 5"}));

    const std::string path = rig.folder.file("pad.wav");
    rig.loadInto(1, path);
    rig.sw(1).button.mouseDown(MouseButton::Right);
    // The switch's velocity is 0 once a wave is loaded.
    EXPECT_EQ(rig.log.entries(),
        (Log {"midi 90 3C 00", "slide 1", "wave ReleaseBuffer 0", "wave LoadWaveFile " + quoted(path),
            "wave SetBufferVolume 1 -400", "wave SetBufferPan 1 0", "wave PlayBuffer 1"}));
}

TEST(WaveSlotPress, FileThatCannotBeLoadedSaysCannotOpenAndKeepsTheReleasedNumber)
{
    SlotRig rig;
    const std::string path = rig.folder.file("broken.wav");
    rig.loadInto(2, path);
    rig.press(2);
    rig.waves.unloadable.insert(path);
    rig.log.clear();

    rig.press(2);
    EXPECT_EQ(rig.log.entries(),
        (Log {"slide 2", "wave ReleaseBuffer 1", "wave LoadWaveFile " + quoted(path), "message Cannot open " + path}));
    EXPECT_EQ(rig.dialogs.lastTitle, ""); // the program's name
    EXPECT_EQ(rig.slot(2).buffer(), 1);
    EXPECT_EQ(rig.slot(2).path(), path);
}

// Without a sound output every load fails: the message says so, with the
// audio system's reason, instead of blaming a file that is perfectly fine.
TEST(WaveSlotPress, WithoutAnAudioOutputThePressNamesTheOutputAndItsReasonNotTheFile)
{
    SlotRig rig;
    const std::string path = rig.folder.file("fine.wav");
    rig.loadInto(5, path);
    rig.waves.unloadable.insert(path);
    rig.waves.noOutput
        = "the audio device cannot be opened (ALSA: Couldn't open audio device: No such file or directory)";
    rig.log.clear();

    rig.press(5);
    EXPECT_EQ(rig.log.startingWith("message"),
        (Log {"message The audio output is unavailable, so no wave can play: the audio device cannot be opened (ALSA: "
              "Couldn't open audio device: No such file or directory)."}));
    EXPECT_EQ(rig.slot(5).path(), path) << "the slot keeps its file";
}

TEST(WaveSlotLoop, TwoPassesOfFifteenHundredMillisecondsStopOnTheFiftyFifthTick)
{
    SlotRig rig;
    rig.waves.lengthMs = 1500;
    rig.loadInto(4, rig.folder.file("loop.wav"));
    rig.slot(4).loop.setValue(1);
    rig.log.clear();

    rig.press(4);
    EXPECT_EQ(rig.log.startingWith("wave Play"), (Log {"wave PlayLooping 1"}));
    Timer& timer = rig.slot(4).loopTimer;
    // Each tick stands for 55 ms, so the timer must really run at 55 ms.
    EXPECT_EQ(timer.name(), "Timer5");
    EXPECT_EQ(timer.intervalMs(), 55);
    ASSERT_TRUE(timer.enabled());

    rig.log.clear();
    for (int tick = 1; tick <= 54; ++tick)
        timer.tick();
    EXPECT_TRUE(rig.log.entries().empty());
    timer.tick(); // 3000 / 55 = 54.5 is not greater than 55
    EXPECT_EQ(rig.log.entries(), (Log {"wave StopBuffer 1"}));
    EXPECT_FALSE(timer.enabled());

    // A new press always stops a running loop timer first; without loop it stays off.
    rig.press(4);
    rig.slot(4).loop.setValue(0);
    rig.press(4);
    EXPECT_FALSE(timer.enabled());
}

TEST(WaveSlotLoop, ListPositionMeansTwoMorePassesAndOverflowIsADefinedFailure)
{
    EXPECT_EQ(passesFor(34), 36); // the last entry, " 36"
    EXPECT_EQ(loopDurationMs(1500, 0), 3000);
    EXPECT_EQ(loopDurationMs(INT_MAX / 2, 0), INT_MAX - 1);
    EXPECT_FALSE(loopDurationMs(INT_MAX / 2 + 1, 0));
    EXPECT_FALSE(loopElapsed(3000, 54));
    EXPECT_TRUE(loopElapsed(3000, 55));
    EXPECT_TRUE(loopElapsed(0, 1));

    SlotRig rig;
    EXPECT_EQ(rig.slot(1).loopCount.items().front(), " 2");
    EXPECT_EQ(rig.slot(1).loopCount.items().back(), " 36");
    rig.waves.lengthMs = INT_MAX / 3 + 1;
    const std::string path = rig.folder.file("long.wav");
    rig.loadInto(6, path);
    rig.slot(6).loop.setValue(1);
    rig.slot(6).loopCount.setListIndex(1); // 3 passes: just past the 32-bit range
    EXPECT_THROW(rig.slots.playPress(6), WaveFailure);
    EXPECT_FALSE(rig.slot(6).loopTimer.enabled());

    // From the slot's own button and from the on-screen switch it is told, not thrown.
    rig.log.clear();
    EXPECT_NO_THROW(rig.press(6));
    EXPECT_NO_THROW(rig.sw(6).button.mouseDown(MouseButton::Left));
    const Log messages = rig.log.startingWith("message");
    ASSERT_EQ(messages.size(), 2U);
    EXPECT_NE(messages[0].find("This Wave cannot be played"), std::string::npos);
    EXPECT_NE(messages[0].find(path), std::string::npos);
}

TEST(WaveSlotRelease, StopsOnlyAGatedSlotAndLeavesTheLoopTimerRunning)
{
    SlotRig rig;
    rig.loadInto(2, rig.folder.file("a.wav"));
    rig.slot(2).loop.setValue(1);
    rig.press(2);
    rig.log.clear();

    rig.release(2);
    EXPECT_TRUE(rig.log.entries().empty());

    rig.sw(2).gate.setValue(1);
    rig.release(2);
    EXPECT_EQ(rig.log.entries(), (Log {"wave StopBuffer 1"}));
    EXPECT_TRUE(rig.slot(2).loopTimer.enabled());

    // The switch's release calls the slot before its note-off.
    rig.log.clear();
    rig.sw(2).button.mouseUp(MouseButton::Left);
    EXPECT_EQ(rig.log.entries(), (Log {"wave StopBuffer 1", "midi 90 3E 00"}));
}

TEST(WaveSlotButtons, StopClearAndLoadMoveTheSlotBetweenEmptyChosenAndSounding)
{
    SlotRig rig;
    const std::string first = rig.folder.file("first.wav");
    rig.dialogs.files.push_back(first);
    rig.slot(1).load.click();
    // Only the choice is recorded: nothing is loaded and the velocity is 0.
    EXPECT_EQ(rig.log.entries(), (Log {"dialog open Load Wave"}));
    EXPECT_EQ(rig.slot(1).path(), first);
    EXPECT_EQ(rig.slot(1).name.text(), "first.wav");
    EXPECT_EQ(rig.slot(1).name.backColour(), slot_colour::kChosen);
    EXPECT_EQ(rig.sw(1).velocity.value(), 0);
    EXPECT_EQ(rig.sw(1).velocityBox.text(), "0");

    rig.press(1);
    rig.log.clear();
    rig.slot(1).stop.click();
    EXPECT_EQ(rig.log.entries(), (Log {"wave StopBuffer 1"}));

    // Loading on a sounding slot lets the old sound go on; the next press plays the new file.
    const std::string second = rig.folder.file("second.wav");
    rig.loadInto(1, second);
    EXPECT_EQ(rig.slot(1).name.backColour(), slot_colour::kChosen);
    rig.press(1);
    EXPECT_EQ(rig.log.startingWith("wave Load"), (Log {"wave LoadWaveFile " + quoted(second)}));

    rig.log.clear();
    rig.slot(1).clear.click();
    EXPECT_EQ(rig.log.entries(), (Log {"wave StopBuffer 2", "wave ReleaseBuffer 2"}));
    EXPECT_EQ(rig.slot(1).path(), "");
    EXPECT_EQ(rig.slot(1).name.text(), "");
    EXPECT_EQ(rig.slot(1).name.backColour(), slot_colour::kEmpty);
    EXPECT_EQ(rig.sw(1).velocity.value(), 120);
    EXPECT_EQ(rig.slot(1).buffer(), 2);
}

TEST(WaveSlotButtons, LoadNeverCreatesOrWritesAndAFailedChoiceChangesNothing)
{
    SlotRig rig;
    const std::string kept = rig.folder.file("kept.wav");
    rig.loadInto(3, kept);

    // Cancelled, missing or unreadable: the slot stays as it was, and no file appears.
    const std::string missing = rig.folder.missing("nothing-here.wav");
    rig.slot(3).load.click(); // cancelled
    rig.dialogs.files.push_back(missing);
    rig.slot(3).load.click();
    EXPECT_FALSE(std::filesystem::exists(missing));
    EXPECT_EQ(rig.slot(3).path(), kept);
    EXPECT_EQ(rig.slot(3).name.text(), "kept.wav");
    EXPECT_EQ(rig.sw(3).velocity.value(), 0);

    // A sample on read-only media loads.
    const std::string readOnly = rig.folder.file("read-only.wav");
    std::filesystem::permissions(readOnly, std::filesystem::perms::owner_read);
    rig.loadInto(4, readOnly);
    EXPECT_EQ(rig.slot(4).path(), readOnly);
    EXPECT_EQ(rig.slot(4).name.backColour(), slot_colour::kChosen);
}

TEST(WaveSlotButtons, LoadReadiesTheChosenFileForItsFirstPressAndAFailedChoiceReadiesNothing)
{
    SlotRig rig;
    const std::string chosen = rig.folder.file("chosen.wav");
    rig.loadInto(2, chosen);
    EXPECT_EQ(rig.waves.prepared, (std::vector<std::string> {chosen}));
    rig.slot(2).load.click(); // cancelled
    rig.dialogs.files.push_back(rig.folder.missing("gone.wav"));
    rig.slot(2).load.click();
    EXPECT_EQ(rig.waves.prepared, (std::vector<std::string> {chosen}));
    // The press itself is as it always was: it loads the file into a new buffer.
    rig.press(2);
    EXPECT_EQ(rig.log.startingWith("wave Load"), (Log {"wave LoadWaveFile " + quoted(chosen)}));
}

TEST(WaveSlotStatus, TickColoursSoundingGreenSilentRedAndEmptyWhite)
{
    SlotRig rig;
    rig.loadInto(1, rig.folder.file("one.wav"));
    rig.loadInto(2, rig.folder.file("two.wav"));
    rig.press(1);
    rig.press(2);
    rig.waves.playing = {1};
    Timer& timer1 = rig.slots.statusTimer();
    EXPECT_EQ(timer1.intervalMs(), 500);
    EXPECT_TRUE(timer1.enabled());

    rig.log.clear();
    timer1.tick();
    EXPECT_EQ(rig.slot(1).name.backColour(), slot_colour::kSounding);
    EXPECT_EQ(rig.slot(2).name.backColour(), slot_colour::kChosen);
    for (int n = 3; n <= 8; ++n)
        EXPECT_EQ(rig.slot(n).name.backColour(), slot_colour::kEmpty) << n;
    EXPECT_TRUE(rig.log.entries().empty()); // only polled

    // All waves off (Ctrl+W) stops everything and leaves the colours to the next tick.
    rig.form.menu().allWavesOff().click();
    EXPECT_EQ(rig.log.entries(), (Log {"wave StopAllBuffers"}));
    EXPECT_EQ(rig.form.menu().allWavesOff().shortcut(), "Ctrl+W");
    EXPECT_EQ(rig.slot(1).name.backColour(), slot_colour::kSounding);
}

TEST(WaveSlotPeek, RightButtonShowsSecondsAndReleasesItsBufferOtherButtonsDoNothing)
{
    SlotRig rig;
    rig.waves.lengthMs = 2500;
    const std::string path = rig.folder.file("peek.wav");
    rig.loadInto(7, path);
    MouseLabel& label = rig.slot(7).lengthLabel;
    EXPECT_EQ(label.text(), "X  loop");

    label.mouseDown(MouseButton::Left);
    EXPECT_TRUE(rig.log.entries().empty());
    EXPECT_EQ(label.text(), "X  loop");

    label.mouseDown(MouseButton::Right);
    EXPECT_EQ(rig.log.entries(), (Log {"wave LoadWaveFile " + quoted(path), "wave ReleaseBuffer 1"}));
    EXPECT_EQ(label.text(), "2"); // 2.5 rounds to even
    label.mouseUp(MouseButton::Left);
    EXPECT_EQ(label.text(), "X loop");

    rig.slot(7).loop.setValue(1);
    rig.slot(7).loopCount.setListIndex(1); // 3 passes: 7.5 s
    label.mouseDown(MouseButton::Right);
    EXPECT_EQ(label.text(), "8");
    EXPECT_EQ(rig.slot(7).buffer(), 0); // never stored, never played
    EXPECT_TRUE(rig.log.startingWith("wave Play").empty());

    EXPECT_EQ(peekSeconds(3500, 1), 4);
    EXPECT_EQ(peekSeconds(32767 * 1000, 1), 32767);
    EXPECT_FALSE(peekSeconds(32768 * 1000, 1));
}

TEST(WaveSlotSettings, VolumeAndPanReachThePlayerEvenForAnEmptySlotAndStartAsDesigned)
{
    SlotRig rig;
    EXPECT_EQ(rig.slot(2).pan.value(), 150);
    EXPECT_EQ(rig.slot(2).volume.smallChange(), 1);
    EXPECT_EQ(rig.slot(1).pan.value(), 0);
    EXPECT_EQ(rig.slot(1).volume.value(), -400);
    EXPECT_EQ(rig.slot(1).volume.smallChange(), 10);
    EXPECT_EQ(rig.slot(1).volume.largeChange(), 100);

    rig.slot(5).volume.setValue(-500);
    rig.slot(5).pan.setValue(10000);
    EXPECT_EQ(rig.log.entries(), (Log {"wave SetBufferVolume 0 -500", "wave SetBufferPan 0 10000"}));
    EXPECT_FALSE(rig.slot(5).volume.setValue(-4001));
}

TEST(WaveSlotSettings, AdvancedSettingsHideAsOneGroupAndEmptySlotForgetsTheWave)
{
    SlotRig rig;
    rig.slots.showAdvancedSettings(false);
    for (int n = 1; n <= 8; ++n) {
        EXPECT_FALSE(rig.slot(n).volume.visible());
        EXPECT_FALSE(rig.slot(n).loopCount.visible());
        EXPECT_FALSE(rig.slot(n).lengthLabel.visible());
        EXPECT_FALSE(rig.sw(n).gate.visible());
        EXPECT_TRUE(rig.slot(n).play.visible());
        EXPECT_TRUE(rig.slot(n).name.visible());
    }
    // Hidden settings keep acting.
    rig.sw(3).gate.setValue(1);
    rig.loadInto(3, rig.folder.file("hidden.wav"));
    rig.press(3);
    rig.log.clear();
    rig.release(3);
    EXPECT_EQ(rig.log.entries(), (Log {"wave StopBuffer 1"}));

    rig.slots.emptySlot(3);
    EXPECT_EQ(rig.slot(3).path(), "");
    EXPECT_EQ(rig.slot(3).name.text(), "");
    EXPECT_EQ(rig.slot(3).name.backColour(), slot_colour::kEmpty);
    EXPECT_THROW(rig.slots.playPress(9), WaveFailure);
}
