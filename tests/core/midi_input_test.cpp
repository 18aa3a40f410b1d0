// A MIDI controller as a fourth way to press the switches: what each message
// does, the learning window, the chosen port through unplugging, and the
// settings file behind them.
#include "MidiRig.h"

#include <gtest/gtest.h>

#include <functional>

using namespace kelvane;
using namespace kelvane::testing;

namespace {

constexpr const char* kSwitch1Press = "midi 90 3C 78";
constexpr const char* kSwitch1Release = "midi 90 3C 00";

// The log of one on-screen press and release of switch n, for comparison.
Log onScreen(int n, const std::function<void(MidiRig&)>& prepare = nullptr)
{
    MidiRig rig;
    rig.started();
    if (prepare)
        prepare(rig);
    rig.sw(n).button.mouseDown(MouseButton::Left);
    rig.sw(n).button.mouseUp(MouseButton::Left);
    return rig.log.entries();
}

std::string written(const MidiInputSettings& settings)
{
    return "settings write " + std::to_string(encodeMidiInputSettings(settings).size());
}

} // namespace

TEST(MidiPlaying, EachSwitchPressedByItsDefaultNoteRunsExactlyWhatItsOnScreenPressRuns)
{
    for (int n = 1; n <= 8; ++n) {
        MidiRig rig;
        rig.started();
        rig.noteOn(35 + n, 100);
        EXPECT_TRUE(rig.barsLocked());
        EXPECT_EQ(rig.form.flags().keyHeld, n >= 7 ? 1 : 0) << "switches 7 and 8 hold KeyHeld as on screen";
        rig.noteOff(35 + n);
        EXPECT_EQ(rig.log.entries(), onScreen(n)) << "switch " << n;
        EXPECT_FALSE(rig.barsLocked());
    }
}

TEST(MidiPlaying, NoteOnWithVelocityZeroIsARelease)
{
    MidiRig rig;
    rig.started();
    rig.noteOn(36, 90);
    rig.noteOn(36, 0);
    EXPECT_EQ(rig.log.startingWith("midi "), (Log {kSwitch1Press, kSwitch1Release}));
}

TEST(MidiPlaying, AControllerPressesFromSixtyFourUpAndReleasesBelowOncePerCrossing)
{
    MidiRig rig;
    rig.started();
    rig.bind(1, {MidiTrigger::Kind::Controller, 64, MidiTrigger::kAnyChannel});
    // A sweeping pedal: one press on the way up, one release on the way down.
    for (int value : {0, 30, 63, 64, 100, 127, 90, 64, 63, 10, 0})
        rig.controlChange(64, value);
    rig.controlChange(65, 127); // another controller
    EXPECT_EQ(rig.log.startingWith("midi "), (Log {kSwitch1Press, kSwitch1Release}));
}

TEST(MidiPlaying, AProgramChangePressesAndReleasesAtOnce)
{
    MidiRig rig;
    rig.started();
    rig.bind(2, {MidiTrigger::Kind::Program, 5, MidiTrigger::kAnyChannel});
    rig.programChange(5);
    rig.programChange(6);
    EXPECT_EQ(rig.log.entries(), onScreen(2));
}

TEST(MidiPlaying, ABindingOnOneChannelIgnoresTheOthers)
{
    MidiRig rig;
    rig.started();
    rig.bind(1, MidiTrigger::note(36, 10));
    rig.noteOn(36, 100, 1);
    rig.noteOn(36, 100, 11);
    rig.noteOn(44, 100); // bound to nothing
    rig.input.send("Pads", 0xA9, 36, 100); // aftertouch of the bound note
    EXPECT_TRUE(rig.log.entries().empty());
    rig.noteOn(36, 100, 10);
    rig.noteOff(36, 1); // another channel's note-off leaves it sounding
    EXPECT_EQ(rig.log.startingWith("midi "), (Log {kSwitch1Press}));
    rig.noteOff(36, 10);
    EXPECT_EQ(rig.log.startingWith("midi "), (Log {kSwitch1Press, kSwitch1Release}));
}

TEST(MidiPlaying, TheSwitchVelocityPlaysUnlessTheSwitchTakesThePadsVelocity)
{
    MidiRig rig;
    rig.started();
    rig.noteOn(36, 7);
    rig.noteOff(36);
    rig.bind(1, MidiTrigger::note(36), /*padVelocity*/ true);
    rig.bind(2, {MidiTrigger::Kind::Controller, 4, MidiTrigger::kAnyChannel}, true);
    rig.bind(3, {MidiTrigger::Kind::Program, 9, MidiTrigger::kAnyChannel}, true);
    rig.noteOn(36, 7);
    rig.noteOff(36);
    rig.controlChange(4, 99);
    rig.controlChange(4, 0);
    rig.programChange(9); // has no velocity: the bar's
    EXPECT_EQ(rig.log.startingWith("midi 90 3E"), (Log {"midi 90 3E 63", "midi 90 3E 00"}));
    EXPECT_EQ(rig.log.startingWith("midi 90 40"), (Log {"midi 90 40 78", "midi 90 40 00"}));
    EXPECT_EQ(rig.log.startingWith("midi 90 3C"), (Log {"midi 90 3C 07", kSwitch1Release}));
}

TEST(MidiPlaying, KeyHeldAndTheLockApplyAsToAnOnScreenPress)
{
    MidiRig rig;
    rig.started();
    rig.form.keyDown(49); // key 1 holds switch 1 and KeyHeld
    rig.log.clear();
    rig.noteOn(37, 100); // an on-screen press plays whatever KeyHeld says
    EXPECT_EQ(rig.log.startingWith("midi 90"), (Log {"midi 90 3E 78"}));
    rig.noteOff(37);
    EXPECT_FALSE(rig.barsLocked()) << "any release unlocks the bars, although key 1 is still down";
    EXPECT_EQ(rig.form.flags().keyHeld, 1);
    rig.form.keyUp(49);
    EXPECT_EQ(rig.form.flags().keyHeld, 0);
    rig.noteOn(43, 100); // switch 8, as its on-screen press, holds KeyHeld
    EXPECT_EQ(rig.form.flags().keyHeld, 1);
    rig.log.clear();
    rig.form.keyDown(50);
    EXPECT_TRUE(rig.log.startingWith("midi 90").empty()) << "the keys wait for a key release";
}

TEST(MidiPlaying, AStrayNoteOffNeverEndsAnotherSourcesNoteNorDoesASecondNoteOnRepeat)
{
    MidiRig rig;
    rig.started();
    rig.sw(1).button.mouseDown(MouseButton::Left);
    rig.log.clear();
    rig.noteOff(36);
    EXPECT_TRUE(rig.log.entries().empty());
    rig.noteOn(37, 100);
    rig.noteOn(37, 100, 3); // the same note from another channel while held
    EXPECT_EQ(rig.log.startingWith("midi "), (Log {"midi 90 3E 78"}));
}

TEST(MidiPlaying, ANoteChangedWhileHeldStillEndsWithItsRelease)
{
    MidiRig rig;
    rig.started();
    rig.noteOn(36, 100);
    rig.menu().octaveUp().click();
    rig.log.clear();
    rig.noteOff(36);
    EXPECT_EQ(rig.log.startingWith("midi "), (Log {"midi 90 48 00", kSwitch1Release}));
}

TEST(MidiPlaying, AWaveThatFailsIsToldAsForAnOnScreenPressAndTheReleaseStillEndsTheNote)
{
    const auto failing = [](MidiRig& rig) {
        rig.sw(1).gate.setValue(1);
        rig.slots.failingPresses.insert(1);
        rig.slots.failingReleases.insert(1);
        rig.log.clear();
    };
    MidiRig rig;
    rig.started();
    failing(rig);
    rig.noteOn(36, 100);
    rig.noteOff(36);
    EXPECT_EQ(rig.log.entries(), onScreen(1, failing));
    EXPECT_EQ(rig.log.startingWith("message ").size(), 2u);
    EXPECT_EQ(rig.log.startingWith("midi "), (Log {kSwitch1Press, kSwitch1Release}));
}

TEST(MidiPort, TheRememberedPortOpensAtStartAndAnAbsentOneWaitsWithoutAWord)
{
    MidiRig rig;
    rig.storedInput("Pedal");
    rig.controller.start();
    EXPECT_EQ(rig.input.openPort(), "Pedal");

    MidiRig waiting;
    waiting.storedInput("Keys");
    waiting.started();
    EXPECT_EQ(waiting.input.openPort(), "");
    EXPECT_TRUE(waiting.log.startingWith("message ").empty());
    waiting.input.plug("Keys");
    EXPECT_EQ(waiting.log.entries(), (Log {"midi-in open Keys"}));
    EXPECT_TRUE(waiting.controller.connection().connected());
}

TEST(MidiPort, AnUnpluggedPortReleasesWhatItHeldIsToldOnceAndIsTakenBackByName)
{
    MidiRig rig;
    rig.started();
    rig.noteOn(36, 100);
    rig.noteOn(37, 100);
    rig.log.clear();

    rig.input.unplug("Pads");
    EXPECT_EQ(rig.log.startingWith("midi "), (Log {kSwitch1Release, "midi 90 3E 00"}));
    EXPECT_EQ(rig.log.startingWith("message ").size(), 1u);
    EXPECT_FALSE(rig.barsLocked());
    rig.input.plug("Other"); // more changes while it is away: no more boxes
    rig.input.unplug("Other");
    EXPECT_EQ(rig.log.startingWith("message ").size(), 1u);

    rig.log.clear();
    rig.input.plug("Pads");
    rig.noteOn(36, 100);
    EXPECT_EQ(rig.log.entries().front(), "midi-in open Pads");
    EXPECT_EQ(rig.log.startingWith("midi 90"), (Log {kSwitch1Press}));
    EXPECT_TRUE(rig.log.startingWith("message ").empty()) << "a return is silent";

    rig.input.unplug("Pads"); // a second loss is a new one: told again
    EXPECT_EQ(rig.log.startingWith("message ").size(), 1u);
}

TEST(MidiPort, APortThatWillNotOpenIsToldOnceUntilItOpens)
{
    MidiRig rig;
    rig.store.bytes.reset();
    rig.started();
    rig.input.refusal = "busy";
    rig.controller.connection().chooseInput("Pads");
    rig.input.plug("X");
    rig.input.unplug("X");
    EXPECT_EQ(rig.log.startingWith("message "),
        (Log {"message The MIDI input Pads cannot be opened: busy\nKelvane tries again whenever MIDI ports come or "
              "go."}));
    rig.input.refusal.clear();
    rig.input.plug("X");
    EXPECT_TRUE(rig.controller.connection().connected());
}

TEST(MidiPort, ChoosingAnotherPortReleasesTheOldOnesHoldsAndRemembersTheChoice)
{
    MidiRig rig;
    rig.started();
    rig.noteOn(36, 100);
    rig.log.clear();
    rig.controller.connection().chooseInput("Pedal");
    MidiInputSettings expected;
    expected.input = "Pedal";
    EXPECT_EQ(rig.log.entries(), (Log {"midi-in close", kSwitch1Release, written(expected), "midi-in open Pedal"}));
    EXPECT_EQ(rig.store.bytes, encodeMidiInputSettings(expected));
    rig.log.clear();
    rig.controller.connection().chooseInput("Pedal");
    EXPECT_TRUE(rig.log.entries().empty()) << "the port playing already is kept";
}

// The "MIDI Learn" window.

TEST(MidiLearn, LearnBindsTheNextHitAtAnyVelocityPlaysNothingAndSavesAtOnce)
{
    MidiRig rig;
    rig.started();
    MidiLearnForm& learn = rig.controller.learnForm();
    rig.menu().midiLearn().click();
    EXPECT_TRUE(learn.visible());
    EXPECT_EQ(learn.row(3).binding.text(), "Note 38, any channel");

    learn.row(3).learn.click();
    EXPECT_EQ(learn.row(3).binding.text(), "Hit a pad or press a pedal ...");
    rig.noteOff(50); // a note-off teaches nothing
    rig.noteOn(50, 1, 4);
    EXPECT_EQ(learn.learning(), 0);
    EXPECT_EQ(learn.row(3).binding.text(), "Note 50, any channel");
    MidiInputSettings expected = MidiRig::padsChosen();
    expected.bindings[2].trigger = MidiTrigger::note(50);
    EXPECT_EQ(rig.log.entries(), (Log {written(expected)})) << "the learning hit sounds nothing";

    rig.log.clear();
    rig.noteOff(50, 4);
    rig.noteOn(50, 127, 9); // harder and elsewhere: still sw3
    EXPECT_EQ(rig.log.startingWith("midi "), (Log {"midi 90 40 78"}));
}

TEST(MidiLearn, ControllersProgramsAndTheChannelAsSentAreLearnedToo)
{
    MidiRig rig;
    rig.started();
    MidiLearnForm& learn = rig.controller.learnForm();
    learn.show();
    learn.channelAsSent.click();
    learn.row(1).learn.click();
    rig.controlChange(64, 127, 2);
    learn.row(2).learn.click();
    rig.programChange(3, 16);
    EXPECT_EQ(learn.row(1).binding.text(), "Controller 64, channel 2");
    EXPECT_EQ(learn.row(2).binding.text(), "Program 3, channel 16");
    EXPECT_EQ(rig.controller.settings().binding(1).trigger, (MidiTrigger {MidiTrigger::Kind::Controller, 64, 2}));
    rig.log.clear();
    rig.controlChange(64, 0, 2); // the pedal let go after learning: nothing held, nothing sent
    rig.controlChange(64, 127, 3);
    EXPECT_TRUE(rig.log.entries().empty());
    rig.controlChange(64, 127, 2);
    EXPECT_EQ(rig.log.startingWith("midi "), (Log {kSwitch1Press}));
}

TEST(MidiLearn, AMessageLearnedForOneSwitchLeavesTheSwitchThatHadIt)
{
    MidiRig rig;
    rig.started();
    MidiLearnForm& learn = rig.controller.learnForm();
    learn.row(1).learn.click();
    rig.noteOn(40, 100, 10); // sw5's default note
    EXPECT_EQ(learn.row(5).binding.text(), "(none)");
    rig.log.clear();
    rig.noteOn(40, 100);
    EXPECT_EQ(rig.log.startingWith("midi "), (Log {kSwitch1Press}));
}

TEST(MidiLearn, LearnAgainOrCloseStopsLearningAndTheMessagePlays)
{
    MidiRig rig;
    rig.started();
    MidiLearnForm& learn = rig.controller.learnForm();
    learn.show();
    learn.row(2).learn.click();
    learn.row(2).learn.click();
    EXPECT_EQ(learn.learning(), 0);
    learn.row(4).learn.click();
    learn.row(6).learn.click();
    EXPECT_EQ(learn.learning(), 6) << "another Learn moves the learning";
    learn.close();
    EXPECT_FALSE(learn.visible());
    rig.noteOn(36, 100);
    EXPECT_EQ(rig.log.startingWith("midi "), (Log {kSwitch1Press}));
    EXPECT_EQ(learn.row(6).binding.text(), "Note 41, any channel");
}

TEST(MidiLearn, ClearAndDefaultKeepTheVelocityChoicesAndReleaseWhatTheyUnbind)
{
    MidiRig rig;
    rig.started();
    MidiLearnForm& learn = rig.controller.learnForm();
    learn.row(2).padVelocity.setValue(1);
    EXPECT_TRUE(rig.controller.settings().binding(2).padVelocity);
    rig.noteOn(36, 100);
    rig.log.clear();

    learn.clearButton.click();
    MidiInputSettings cleared = MidiRig::padsChosen();
    cleared.bindings = clearedMidiBindings();
    cleared.bindings[1].padVelocity = true;
    EXPECT_EQ(rig.log.entries(), (Log {written(cleared), kSwitch1Release}));
    for (int n = 1; n <= 8; ++n)
        EXPECT_EQ(learn.row(n).binding.text(), "(none)");
    rig.log.clear();
    rig.noteOn(36, 100);
    EXPECT_TRUE(rig.log.entries().empty());

    learn.defaultButton.click();
    EXPECT_EQ(learn.row(8).binding.text(), "Note 43, any channel");
    EXPECT_EQ(learn.row(2).padVelocity.value(), 1);
    rig.log.clear();
    rig.noteOn(37, 5);
    EXPECT_EQ(rig.log.startingWith("midi "), (Log {"midi 90 3E 05"}));
}

TEST(MidiLearn, LearningASwitchWhileItIsHeldReleasesItFirst)
{
    MidiRig rig;
    rig.started();
    rig.noteOn(36, 100);
    rig.log.clear();
    rig.controller.learnForm().row(1).learn.click();
    rig.noteOn(60, 100);
    MidiInputSettings expected = MidiRig::padsChosen();
    expected.bindings[0].trigger = MidiTrigger::note(60);
    EXPECT_EQ(rig.log.entries(), (Log {written(expected), kSwitch1Release}));
    rig.log.clear();
    rig.noteOff(36); // the old pad's note-off ends nothing now
    EXPECT_TRUE(rig.log.entries().empty());
}

// The settings file.

TEST(MidiSettingsFile, BindingsAndTheInputAreThereAgainAtTheNextStart)
{
    MidiRig first;
    first.started();
    first.controller.learnForm().row(4).learn.click();
    first.controlChange(11, 80, 5);
    first.controller.learnForm().row(4).padVelocity.setValue(1);
    first.controller.connection().chooseInput("Pedal");

    MidiRig next;
    next.store.bytes = first.store.bytes;
    next.started();
    EXPECT_EQ(next.controller.settings().current(), first.controller.settings().current());
    EXPECT_EQ(next.input.openPort(), "Pedal");
    EXPECT_EQ(next.controller.learnForm().row(4).binding.text(), "Controller 11, any channel");
    EXPECT_EQ(next.controller.learnForm().row(4).padVelocity.value(), 1);
}

TEST(MidiSettingsFile, ABadFileIsSetAsideAndToldThenTheDefaultsPlay)
{
    MidiRig rig;
    rig.store.setText("# Kelvane MIDI input settings\nversion=1\ninput=Pads\nsw1=note 200 any switch-velocity\n");
    const auto original = rig.store.bytes;
    rig.started();
    EXPECT_EQ(rig.store.aside, original) << "the bad bytes are kept";
    EXPECT_EQ(rig.dialogs.lastTitle, "MIDI Input");
    EXPECT_EQ(rig.input.openPort(), "");
    EXPECT_EQ(rig.controller.settings().current(), MidiInputSettings {});
    rig.noteOn(36, 100);
    rig.controller.connection().chooseInput("Pads");
    EXPECT_TRUE(rig.store.bytes.has_value()) << "later changes are written afresh";
}

TEST(MidiSettingsFile, AFileThatCannotBeReadOrSetAsideIsNeverWrittenOver)
{
    for (const bool unreadable : {true, false}) {
        MidiRig rig;
        rig.store.setText("garbage\n");
        rig.store.unreadable = unreadable;
        rig.store.asideProblem = "read-only folder";
        rig.started();
        rig.controller.connection().chooseInput("Pads");
        rig.controller.learnForm().clearButton.click();
        EXPECT_EQ(rig.log.startingWith("settings write"), Log {});
        EXPECT_EQ(rig.store.text(), "garbage\n");
        EXPECT_EQ(rig.input.openPort(), "Pads") << "the choice still plays in this run";
    }
}

TEST(MidiSettingsFile, AFailingWriteIsToldOnceUntilAWriteSucceeds)
{
    MidiRig rig;
    rig.started();
    rig.store.writeProblem = "No space left on device";
    rig.controller.learnForm().clearButton.click();
    rig.controller.learnForm().defaultButton.click();
    EXPECT_EQ(rig.log.startingWith("message ").size(), 1u);
    rig.store.writeProblem.clear();
    rig.controller.learnForm().clearButton.click();
    rig.store.writeProblem = "No space left on device";
    rig.controller.learnForm().defaultButton.click();
    EXPECT_EQ(rig.log.startingWith("message ").size(), 2u);
}

// The input list of the "MIDI Setup" window.

TEST(MidiSetupInput, ListsNoneThenThePortsWithTheRememberedOneSelectedEvenWhenUnplugged)
{
    MidiRig rig;
    rig.storedInput("Keys");
    rig.environment.whileModal = [](Window&) {};
    rig.controller.start();
    rig.setup.showModal();
    EXPECT_EQ(
        rig.setup.comboMidiIn.items(), (std::vector<std::string> {"(none)", "Pads", "Pedal", "Keys (not connected)"}));
    EXPECT_EQ(rig.setup.comboMidiIn.listIndex(), 3);

    rig.input.plug("Keys");
    EXPECT_EQ(rig.setup.comboMidiIn.items(), (std::vector<std::string> {"(none)", "Pads", "Pedal", "Keys"}));
    rig.setup.comboMidiIn.setListIndex(1);
    rig.input.plug("Drums"); // a new port appears while the window is open; the selection stays
    EXPECT_EQ(rig.setup.comboMidiIn.items().back(), "Drums");
    EXPECT_EQ(rig.setup.comboMidiIn.listIndex(), 1);
    rig.input.unplug("Pads"); // the selected port goes: the remembered one takes its place
    EXPECT_EQ(rig.setup.comboMidiIn.items()[static_cast<std::size_t>(rig.setup.comboMidiIn.listIndex())], "Keys");
}

TEST(MidiSetupInput, OkChoosesTheSelectedInputAndCancelLeavesTheChoiceAlone)
{
    MidiRig rig;
    int nextEntry = 2;
    rig.environment.whileModal = [&rig, &nextEntry](Window&) {
        rig.setup.comboMidiIn.setListIndex(nextEntry);
        rig.setup.okButton.click();
    };
    rig.started();
    EXPECT_EQ(rig.input.openPort(), "Pedal");
    EXPECT_EQ(rig.controller.settings().current().input, "Pedal");

    rig.environment.whileModal = [&rig](Window&) {
        rig.setup.comboMidiIn.setListIndex(0);
        rig.setup.cancelButton.click();
    };
    rig.menu().midiSetup().click();
    EXPECT_EQ(rig.input.openPort(), "Pedal");

    rig.environment.whileModal = [&rig](Window&) {
        rig.setup.comboMidiIn.setListIndex(0);
        rig.setup.okButton.click();
    };
    rig.menu().midiSetup().click();
    EXPECT_EQ(rig.input.openPort(), "");
    EXPECT_EQ(rig.controller.settings().current().input, "");
}
