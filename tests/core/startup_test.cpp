// Start-up, first activation, unload and the MIDI setup window's device sequences.
#include "Rig.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

using namespace kelvane;
using namespace kelvane::testing;

TEST(Startup, LoadEnablesTheFirstJoystickAndCentresWithoutWarningOnAWideScreen)
{
    Rig rig(1280);
    rig.form.load();
    EXPECT_EQ(rig.log.entries(), (Log {"slot reset loop counts", "joystick Stavik1 enabled 1"}));
    EXPECT_EQ(rig.form.left(), (1280 - MainForm::kDesignWidth) / 2);
    EXPECT_EQ(rig.form.top(), (800 - MainForm::kDesignHeight) / 2);
    EXPECT_EQ(rig.form.caption(), "Kelvane     Major Strings");
}

TEST(Startup, ScreenWarningBelowNineThousandTwips)
{
    EXPECT_TRUE(screenTooNarrow(8999));
    EXPECT_FALSE(screenTooNarrow(9000));

    Rig narrow(599); // 8985 twips
    narrow.form.load();
    EXPECT_EQ(narrow.log.startingWith("message"),
        (Log {"message This Software should be run at a minimum Screen Resolution of 800x600"}));
    Rig wide(600);
    wide.form.load();
    EXPECT_TRUE(wide.log.startingWith("message").empty());
}

TEST(Startup, FirstActivationRunsSetupThenMajorStringsOnceOnly)
{
    Rig rig;
    rig.midi.logSelections(false);
    rig.form.load();
    rig.log.clear();
    rig.form.activate();

    const Log& log = rig.log.entries();
    ASSERT_GE(log.size(), 4u);
    // The setup window loads (mapper closed and opened), shows modally, and Ok re-applies the mapper.
    EXPECT_EQ(Log(log.begin(), log.begin() + 5),
        (Log {"midi close", "midi open -1", "modal MIDISetupForm", "midi close", "midi open -1"}));
    EXPECT_EQ(Log(log.end() - 6, log.end()), Log(6, "midi C0 30"));
    EXPECT_EQ(rig.form.caption(), "Kelvane     Major Strings");
    EXPECT_EQ(rig.form.flags().startupDone, 1);

    rig.sw(1).note.setValue(40);
    rig.log.clear();
    rig.form.activate();
    EXPECT_TRUE(rig.log.entries().empty()) << "a later activation does nothing";
    EXPECT_EQ(rig.sw(1).note.value(), 40);
}

TEST(Startup, TimerMakesOneWaveLoadAndSwitchesItselfOff)
{
    Rig rig;
    rig.form.load();
    rig.log.clear();
    rig.form.startupTimer().tick();
    rig.form.startupTimer().tick();
    EXPECT_EQ(rig.log.entries(), (Log {"wave LoadWaveFile \"\""}));
    EXPECT_FALSE(rig.form.startupTimer().enabled());
}

TEST(Shutdown, UnloadClosesMidiDisablesBothJoysticksStopsWavesAndEnds)
{
    Rig rig;
    rig.started();
    rig.form.unload();
    EXPECT_EQ(rig.log.entries(),
        (Log {"midi close", "joystick Stavik1 enabled 0", "joystick Stavik2 enabled 0", "wave StopAllBuffers",
            "end program"}));

    Rig exiting;
    exiting.started();
    exiting.menu().exit().click();
    EXPECT_EQ(exiting.log.entries(), (Log {"end program"})) << "Exit skips the unload steps";
}

TEST(MidiErrors, CodesZeroAndEightAreIgnoredOthersShownWithOkOnly)
{
    Rig rig;
    rig.started();
    rig.midi.reportError(8, "busy");
    rig.midi.reportError(0, "fine");
    rig.midi.reportError(3, "Message refused: data byte 200 is above 127");
    EXPECT_EQ(rig.log.entries(), (Log {"message Message refused: data byte 200 is above 127"}));
    EXPECT_EQ(rig.dialogs.lastTitle, "");
}

TEST(HelpAndAbout, HelpOpensTheFileInTheProgramFolderWithOneSeparator)
{
    Rig rig;
    rig.started();
    rig.environment.folder = "/opt/kelvane";
    rig.menu().helpContents().click();
    rig.environment.folder = "/opt/kelvane/";
    rig.menu().helpContents().click();
    EXPECT_EQ(rig.log.entries(),
        (Log {"help /opt/kelvane/Kelvane Version 2.HLP", "help /opt/kelvane/Kelvane Version 2.HLP"}));

    rig.menu().about().click();
    EXPECT_NE(rig.dialogs.lastTitle.find("Kelvane"), std::string::npos);
    EXPECT_NE(rig.dialogs.lastTitle.find("2.06"), std::string::npos);
}

// The program attaches the desk as it is built, so its command is ready from
// the start; a main window without a desk would show it disabled.
TEST(Menus, TheLightingDeskCommandIsReadyFromTheStartAndOpensTheDesk)
{
    Rig rig;
    EXPECT_TRUE(rig.menu().lightingDesk().enabled());
    EXPECT_FALSE(rig.kelvane.lightingDesk().visible());
    rig.menu().lightingDesk().click();
    EXPECT_TRUE(rig.kelvane.lightingDesk().visible());
    EXPECT_EQ(rig.menu().panic().shortcut(), "Ctrl+P");
    EXPECT_EQ(rig.menu().semitoneDown().shortcut(), "Ctrl+F");
}

// The views name each action after its item, so every command keeps the
// name it always had, whatever its member is called.
TEST(Menus, EveryCommandKeepsItsHistoricName)
{
    MainMenu menu;
    const std::vector<std::pair<const MenuItem*, std::string>> expected = {
        {&menu.fileNew(), "New"},
        {&menu.open(), "Load"},
        {&menu.save(), "Saveonly"},
        {&menu.saveAs(), "Save"},
        {&menu.preferences(), "mnuPreferences"},
        {&menu.exit(), "mnuFileExit"},
        {&menu.midiSetup(), "mnuMidiSetup"},
        {&menu.midiLearn(), "mnuMidiLearn"},
        {&menu.noteTable(0), "Scales"},
        {&menu.noteTable(1), "Pentatonic"},
        {&menu.noteTable(2), "Minor"},
        {&menu.noteTable(3), "Major"},
        {&menu.noteTable(4), "WholeTone"},
        {&menu.noteTable(5), "Majchord"},
        {&menu.noteTable(6), "Minorchord"},
        {&menu.noteTable(7), "Dimchord"},
        {&menu.noteTable(8), "Augchord"},
        {&menu.preset(0), "Percussion"},
        {&menu.preset(1), "Drumkit"},
        {&menu.preset(2), "Orchestra"},
        {&menu.preset(3), "FX1"},
        {&menu.preset(4), "MajStrings"},
        {&menu.octaveUp(), "Octaveup"},
        {&menu.octaveDown(), "Octavedn"},
        {&menu.semitoneUp(), "Semiup"},
        {&menu.semitoneDown(), "Semidn"},
        {&menu.velocityUp(), "mnuVelUp"},
        {&menu.velocityDown(), "mnuVelDown"},
        {&menu.generalMidi(), "GM"},
        {&menu.multimode(), "Mmode"},
        {&menu.slideControl(), "mnuPowerpnt"},
        {&menu.lightingDesk(), "mnuLightDesk"},
        {&menu.expertUser(), "mnuExpert"},
        {&menu.exclusiveWaves(), "mnuExclusive"},
        {&menu.panic(), "Panic2"},
        {&menu.allWavesOff(), "mnuallwavoff"},
        {&menu.bankMenu(1), "F1"},
        {&menu.bankAdd(1), "mnuAdd"},
        {&menu.bankMenu(2), "mnuF2"},
        {&menu.bankAdd(2), "mnuAddF2"},
        {&menu.bankMenu(3), "mnuF3"},
        {&menu.bankAdd(3), "mnuAddF3"},
        {&menu.bankMenu(4), "mnuF4"},
        {&menu.bankAdd(4), "mnuAddF4"},
        {&menu.helpContents(), "mnbuHelpTxt"},
        {&menu.about(), "mnuAbout"},
    };
    std::set<const MenuItem*> distinct;
    for (const auto& [item, name] : expected) {
        EXPECT_EQ(item->name(), name);
        distinct.insert(item);
    }
    EXPECT_EQ(distinct.size(), expected.size()) << "two members reach the same item";

    // Every command item of the bar is reached by some member.
    std::size_t commands = 0;
    menu.forEach([&commands](const MenuItem& item) {
        if (!item.isSeparator())
            ++commands;
    });
    EXPECT_EQ(commands, expected.size() + 7)
        << "the menus File, MIDI, Scales/Chords, GM Presets, Options, Panic and Help";
}

// The setup window, driven as a user would with a scripted modal loop.
class MidiSetup : public ::testing::Test {
protected:
    MidiSetup() { rig.midi.logSelections(false); }
    Rig rig;
};

TEST_F(MidiSetup, LoadListsTheMapperFirstAndSwitchesToIt)
{
    rig.environment.whileModal = [](Window&) {};
    rig.setup.showModal();
    EXPECT_EQ(
        rig.setup.comboMidiOut.items(), (std::vector<std::string> {"Kelvane General MIDI Synth", "Port A", "Port B"}));
    EXPECT_EQ(rig.setup.comboMidiOut.listIndex(), 0);
    EXPECT_EQ(rig.log.entries(), (Log {"midi close", "midi open -1", "modal MIDISetupForm"}));
}

TEST_F(MidiSetup, ThirdEntryAndOkClosesTheMapperAndOpensDeviceOne)
{
    rig.environment.whileModal = [this](Window&) {
        rig.setup.comboMidiOut.setListIndex(2);
        rig.setup.okButton.click();
    };
    rig.setup.showModal();
    EXPECT_EQ(
        rig.log.entries(), (Log {"midi close", "midi open -1", "modal MIDISetupForm", "midi close", "midi open 1"}));
    EXPECT_FALSE(rig.setup.visible());

    // Shown again: the earlier choice is still selected and the device untouched until Ok.
    rig.log.clear();
    rig.environment.whileModal = [](Window&) {};
    rig.setup.showModal();
    EXPECT_EQ(rig.setup.comboMidiOut.listIndex(), 2);
    EXPECT_EQ(rig.log.entries(), (Log {"modal MIDISetupForm"}));
    rig.setup.okButton.click();
    EXPECT_EQ(rig.log.entries(), (Log {"modal MIDISetupForm", "midi close", "midi open 1"}));
}

TEST_F(MidiSetup, CancelKeepsTheMapperAndTheNextShowingLoadsAfresh)
{
    rig.environment.whileModal = [this](Window&) {
        rig.setup.comboMidiOut.setListIndex(1);
        rig.setup.cancelButton.click();
    };
    rig.setup.showModal();
    EXPECT_EQ(rig.midi.openDevice(), -1);
    EXPECT_FALSE(rig.setup.loaded());

    rig.log.clear();
    rig.environment.whileModal = [](Window&) {};
    rig.setup.showModal();
    EXPECT_EQ(rig.setup.comboMidiOut.items().size(), 3u) << "refilled, not appended";
    EXPECT_EQ(rig.log.entries(), (Log {"midi close", "midi open -1", "modal MIDISetupForm"}));
}

TEST(MidiSetupWithoutPorts, OnlyTheMapperIsListed)
{
    Rig rig(1280, {});
    rig.environment.whileModal = [](Window&) {};
    rig.setup.showModal();
    EXPECT_EQ(rig.setup.comboMidiOut.items().size(), 1u);
}
