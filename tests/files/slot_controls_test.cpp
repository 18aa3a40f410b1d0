// Files and banks on the real wave-slot controls: the name-box colours, the
// buffers that keep sounding, and a program started with a file to open.

#include "../core/PressRig.h"
#include "FilesRig.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kelvane::testing {
namespace {

// The program with its real wave slots; the player and files are fakes.
struct SlotsRig {
    WaveSlot& slot(int n) { return slots.slot(n); }
    void choose(int n, const std::string& path, const std::string& name)
    {
        slot(n).setPath(path);
        slot(n).name.setText(name);
        slot(n).name.setBackColour(slot_colour::kChosen);
    }

    PressRig rig;
    WaveSlots& slots = rig.slots;
    fakes::FakeFileStore& files = rig.files;
    WholeSetupCommands& whole = rig.kelvane.wholeSetup();
};

TEST(SetupOnSlotControls, RecallChangesSettingsButStopsAndReleasesNothing)
{
    SlotsRig r;
    r.rig.started();
    r.choose(1, "/w/pad.wav", "pad.wav");
    r.slot(1).volume.setValue(-1000);
    r.whole.banks().store(1);
    r.slot(1).volume.setValue(-50);
    r.slots.playPress(1); // buffer 1 sounds
    r.rig.log.clear();
    r.whole.banks().recall(1);
    // Only the volume reaches the sounding buffer; it plays on.
    EXPECT_EQ(r.rig.log.startingWith("wave"), (Log {"wave SetBufferVolume 1 -1000"}));
    EXPECT_EQ(r.slot(1).name.backColour(), slot_colour::kChosen);
    EXPECT_EQ(r.slot(1).path(), "/w/pad.wav");
}

TEST(SetupOnSlotControls, OpenAndRecallReadyTheFilesOfChosenSlotsForTheirFirstPress)
{
    SlotsRig r;
    r.rig.started();
    PerformanceSetup file = r.whole.controls().capture();
    file.slots[0] = SlotSetup {"/w/kick.wav", "kick.wav", 0, -200, 0, 0, 0};
    file.slots[1].path = "/w/nameless.wav"; // no name: the slot opens empty
    file.slots[4] = SlotSetup {"/w/pad.wav", "pad.wav", 0, -400, 1, 0, 3};
    r.files.files["/f.dnc"] = encodePerformanceRecord(recordOf(file));
    r.whole.files().openFile("/f.dnc");
    EXPECT_EQ(r.rig.waves.prepared, (std::vector<std::string> {"/w/kick.wav", "/w/pad.wav"}));

    r.whole.banks().store(2);
    r.rig.waves.prepared.clear();
    r.whole.banks().recall(2);
    EXPECT_EQ(r.rig.waves.prepared, (std::vector<std::string> {"/w/kick.wav", "/w/pad.wav"}));
}

TEST(SetupOnSlotControls, OpenColoursNameBoxesAndEmptiesSlotsWithoutAName)
{
    SlotsRig r;
    r.rig.started();
    PerformanceSetup file = r.whole.controls().capture();
    file.slots[0] = SlotSetup {"/w/kick.wav", "kick.wav", 1, -200, 1, 300, 5};
    file.slots[1].path = "/w/nameless.wav";
    file.slots[1].name = "";
    r.files.files["/f.dnc"] = encodePerformanceRecord(recordOf(file));
    r.choose(3, "/w/old.wav", "old.wav");
    r.whole.files().openFile("/f.dnc");
    EXPECT_EQ(r.slot(1).name.backColour(), slot_colour::kChosen);
    EXPECT_EQ(r.slot(1).loopCount.listIndex(), 5);
    EXPECT_EQ(r.rig.sw(1).gate.value(), 1);
    EXPECT_EQ(r.slot(2).path(), "");
    EXPECT_EQ(r.slot(2).name.backColour(), slot_colour::kEmpty);
    EXPECT_EQ(r.slot(3).path(), "");
    EXPECT_EQ(r.slot(3).name.backColour(), slot_colour::kEmpty);
    file.slots[1].path = ""; // forgotten with its name
    EXPECT_EQ(r.whole.controls().capture(), file);
}

TEST(SetupOnSlotControls, NewEmptiesTheSlotsAndPutsBackTheStartSounds)
{
    SlotsRig r;
    r.rig.started();
    r.choose(2, "/w/a.wav", "a.wav");
    r.slot(2).pan.setValue(150);
    r.slot(2).loop.setValue(1);
    r.rig.sw(2).velocity.setValue(0);
    r.rig.sw(2).gate.setValue(1);
    r.rig.form.menu().exclusiveWaves().setChecked(true);
    r.whole.files().newSetup();
    EXPECT_EQ(r.slot(2).path(), "");
    EXPECT_EQ(r.slot(2).name.backColour(), slot_colour::kEmpty);
    EXPECT_EQ(r.slot(2).pan.value(), 0); // New centres every pan, slot 2's too
    EXPECT_EQ(r.slot(2).loop.value(), 0);
    EXPECT_EQ(r.rig.sw(2).velocity.value(), 120);
    EXPECT_EQ(r.rig.sw(2).gate.value(), 0);
    EXPECT_TRUE(r.rig.form.menu().exclusiveWaves().checked()); // New leaves the mode
    EXPECT_EQ(r.whole.files().currentFile(), "");
}

// A file named at start opens after the MIDI setup and the start preset, so
// its settings are the ones left standing.
TEST(SetupOnSlotControls, AFileNamedAtStartOpensAfterTheStartSteps)
{
    SlotsRig r;
    PerformanceSetup file = r.whole.controls().capture();
    file.switches[0].note = 40;
    file.switches[0].program = 5;
    r.files.files["/show.dnc"] = encodePerformanceRecord(recordOf(file));
    r.rig.form.onStartupDone([&r] { r.whole.files().openNamedFile("/show.dnc"); });
    r.rig.form.load();
    r.rig.form.activate();
    const auto& log = r.rig.log.entries();
    const auto modal = std::find(log.begin(), log.end(), "modal MIDISetupForm");
    const auto read = std::find(log.begin(), log.end(), "file read /show.dnc");
    ASSERT_NE(modal, log.end());
    ASSERT_NE(read, log.end());
    EXPECT_LT(modal, read);
    EXPECT_EQ(r.rig.sw(1).note.value(), 40);
    EXPECT_EQ(r.rig.form.caption(), "show.dnc");
    r.rig.log.clear();
    r.rig.form.activate(); // later activations open nothing
    EXPECT_TRUE(r.rig.log.startingWith("file").empty());
}

// A program started from the desktop has no terminal: a mistyped or deleted
// file is told in a box once the window is up, and nothing changes.
TEST(SetupOnSlotControls, AFileNamedAtStartThatIsNoFileIsToldInABoxAfterTheStartSteps)
{
    SlotsRig r;
    r.files.folders.insert("/stage");
    r.rig.form.onStartupDone([&r] {
        r.whole.files().openNamedFile("/stage/MISSING.dnc");
        r.whole.files().openNamedFile("/stage");
    });
    r.rig.form.load();
    r.rig.form.activate();
    EXPECT_EQ(r.rig.log.startingWith("message"),
        (Log {"message The performance file /stage/MISSING.dnc named at start does not exist. Kelvane started "
              "without it.",
            "message The performance file /stage named at start is not a file. Kelvane started without it."}));
    const auto& log = r.rig.log.entries();
    const auto modal = std::find(log.begin(), log.end(), "modal MIDISetupForm");
    const auto told
        = std::find_if(log.begin(), log.end(), [](const std::string& e) { return e.starts_with("message"); });
    ASSERT_NE(told, log.end());
    EXPECT_LT(modal, told) << "the box comes once the window is up";
    EXPECT_EQ(r.rig.form.caption(), "Kelvane     Major Strings");
}

} // namespace
} // namespace kelvane::testing
