// Menu commands of the pad: scales, transposition, presets, panic and the mode toggles.
#include "Rig.h"

#include "Presets.h"

#include <gtest/gtest.h>

using namespace kelvane;
using namespace kelvane::testing;

namespace {
std::vector<int> notes(Rig& rig)
{
    std::vector<int> out;
    for (int n = 1; n <= 8; ++n)
        out.push_back(rig.sw(n).note.value());
    return out;
}
std::vector<int> velocities(Rig& rig)
{
    std::vector<int> out;
    for (int n = 1; n <= 8; ++n)
        out.push_back(rig.sw(n).velocity.value());
    return out;
}
} // namespace

TEST(Scales, LayNotesAndNameTheCaptionWithoutSendingMidi)
{
    Rig rig;
    rig.started();
    rig.click("Pentatonic");
    EXPECT_EQ(notes(rig), (std::vector<int> {57, 60, 62, 64, 67, 69, 72, 74}));
    EXPECT_EQ(rig.sw(1).noteBox.text(), "57");
    EXPECT_EQ(rig.form.caption(), "Pentatonic Scale");

    rig.click("WholeTone");
    EXPECT_EQ(rig.form.caption(), "WholeTone Scale");
    rig.click("Augchord");
    EXPECT_EQ(notes(rig), (std::vector<int> {60, 64, 68, 72, 74, 78, 82, 86}));
    EXPECT_TRUE(rig.log.entries().empty());
}

TEST(Transposition, OctavesStopAtTheGuardAndMoveAllOrNothing)
{
    Rig rig;
    rig.started();
    rig.click("Majchord");
    rig.click("Octaveup");
    rig.click("Octaveup");
    rig.click("Octaveup");
    EXPECT_EQ(notes(rig), (std::vector<int> {96, 100, 103, 108, 112, 115, 120, 124}));
    rig.click("Octaveup"); // 124 > 112: refused as a whole
    rig.click("Semiup");
    EXPECT_EQ(notes(rig), (std::vector<int> {96, 100, 103, 108, 112, 115, 120, 124}));
    EXPECT_EQ(rig.form.caption(), "Major Chord") << "transposing leaves the caption";
    EXPECT_TRUE(rig.log.entries().empty());
}

TEST(Transposition, ALowNoteBlocksDownwardShiftsAndTwentyFiveStillMoves)
{
    Rig rig;
    rig.started();
    rig.sw(5).note.setValue(24);
    rig.click("Octavedn");
    rig.click("Semidn");
    EXPECT_EQ(rig.sw(1).note.value(), 60);

    rig.sw(5).note.setValue(25);
    rig.click("Octavedn");
    EXPECT_EQ(rig.sw(5).note.value(), 13);
    EXPECT_EQ(rig.sw(1).note.value(), 48);
    EXPECT_EQ(rig.form.switches().playedNote(1), 48) << "the note copy follows";
}

TEST(Transposition, VelocityStepsDecideSwitchBySwitch)
{
    Rig rig;
    rig.started();
    const std::vector<int> start = {120, 110, 5, 117, 116, 9, 10, 0};
    for (int n = 1; n <= 8; ++n)
        rig.sw(n).velocity.setValue(start[static_cast<std::size_t>(n - 1)]);

    rig.click("mnuVelUp");
    EXPECT_EQ(velocities(rig), (std::vector<int> {120, 120, 15, 117, 126, 19, 20, 10}));
    rig.click("mnuVelDown");
    rig.click("mnuVelDown");
    EXPECT_EQ(velocities(rig), (std::vector<int> {100, 100, 5, 97, 106, 9, 0, 0}));
}

TEST(Presets, DrumKitNamesEverySwitchAndSendsSixClosingChangesOnChannelTen)
{
    Rig rig;
    rig.started();
    rig.click("Drumkit");
    EXPECT_EQ(rig.form.caption(), "Drum Kit");
    for (int n = 1; n <= 8; ++n)
        EXPECT_EQ(rig.sw(n).nameBox.text(), "Drum Kit");
    // Switch 1's program write changes 48 to 0 and copies it to the others on
    // channel 1 as they join channel 10; the closing changes always go out.
    const Log closing(6, "midi C9 00");
    const Log sent = rig.log.startingWith("midi");
    ASSERT_GE(sent.size(), 6u);
    EXPECT_EQ(Log(sent.end() - 6, sent.end()), closing);
}

TEST(Presets, Fx1SetsEveryFieldAndItsCaptionKeepsTheTrailingBlank)
{
    Rig rig;
    rig.started();
    rig.click("FX1");
    EXPECT_EQ(rig.form.caption(), "FX1 ");
    EXPECT_EQ(rig.sw(3).velocity.value(), 92);
    EXPECT_EQ(rig.sw(8).program.value(), 127);
    EXPECT_EQ(rig.sw(1).nameBox.text(), "FX 2 (sound track)");
    EXPECT_EQ(rig.sw(2).nameBox.text(), "FX 2 (sound track)");
    EXPECT_EQ(rig.sw(8).nameBox.text(), "Gunshot");
    const Log sent = rig.log.startingWith("midi");
    EXPECT_EQ(Log(sent.end() - 8, sent.end()),
        (Log {"midi C0 61", "midi C1 61", "midi C2 60", "midi C3 63", "midi C4 65", "midi C5 7A", "midi C6 7B",
            "midi C7 7F"}));
}

TEST(Presets, MajorStringsAfterPercussionPutsEverySwitchBackOnStrings)
{
    Rig rig;
    rig.started();
    rig.click("Percussion");
    rig.log.clear();
    rig.click("MajStrings");
    for (int n = 1; n <= 8; ++n) {
        EXPECT_EQ(rig.sw(n).channel.value(), 1);
        EXPECT_EQ(rig.sw(n).program.value(), 48);
        EXPECT_EQ(rig.sw(n).nameBox.text(), "String Ensemble 1");
    }
    EXPECT_EQ(rig.form.caption(), "Major strings");
    const Log sent = rig.log.startingWith("midi");
    EXPECT_EQ(Log(sent.end() - 6, sent.end()), Log(6, "midi C0 30"));
}

TEST(Panic, StopsWavesThenEndsEveryNoteOnEveryChannelWithAPausePerChannel)
{
    Rig rig;
    rig.started();
    rig.click("Panic2");

    const Log& log = rig.log.entries();
    ASSERT_EQ(log.size(), 1u + 1u + 16u * 128u + 16u + 1u);
    EXPECT_EQ(log.front(), "pointer 11");
    EXPECT_EQ(log[1], "wave StopAllBuffers");
    EXPECT_EQ(log[2], "midi 90 00 00") << "note 0 is swept too";
    EXPECT_EQ(log[2 + 127], "midi 90 7F 00");
    EXPECT_EQ(log[2 + 128], "pause 70");
    EXPECT_EQ(log[log.size() - 3], "midi 9F 7F 00");
    EXPECT_EQ(log[log.size() - 2], "pause 70");
    EXPECT_EQ(log.back(), "pointer 0");
    EXPECT_EQ(rig.log.startingWith("pause").size(), 16u);
}

TEST(Multimode, PanicThenChannelsOneToEightThenEightProgramChanges)
{
    Rig rig;
    rig.started();
    rig.click("Mmode");
    const Log sent = rig.log.startingWith("midi C");
    // Each channel write sends nothing; the closing changes carry program 48 on channels 1..8.
    EXPECT_EQ(sent,
        (Log {"midi C0 30", "midi C1 30", "midi C2 30", "midi C3 30", "midi C4 30", "midi C5 30", "midi C6 30",
            "midi C7 30"}));
    EXPECT_EQ(rig.log.entries().front(), "pointer 11");
    for (int n = 1; n <= 8; ++n)
        EXPECT_EQ(rig.sw(n).channel.value(), n);
}

TEST(Modes, GeneralMidiHidesAndShowsTheNameBoxes)
{
    Rig rig;
    rig.started();
    MenuItem& gm = rig.form.menu().item("GM");
    EXPECT_TRUE(gm.checked());
    rig.click("GM");
    EXPECT_FALSE(gm.checked());
    EXPECT_FALSE(rig.sw(4).nameBox.visible());
    rig.sw(4).channel.setValue(10); // hidden boxes go on updating
    EXPECT_EQ(rig.sw(4).nameBox.text(), "Drum Kit");
    rig.click("GM");
    EXPECT_TRUE(rig.sw(4).nameBox.visible());
}

TEST(Modes, ExpertUserShowsThenHidesTheBankMenusLabelsAndExclusiveWaves)
{
    Rig rig;
    rig.started();
    MenuItem& expert = rig.form.menu().item("mnuExpert");
    rig.form.bankLabel(2).setVisible(true); // as if bank F2 were stored

    rig.click("mnuExpert");
    EXPECT_TRUE(expert.checked());
    EXPECT_TRUE(rig.form.menu().item("mnuF3").visible());
    EXPECT_TRUE(rig.form.bankLabel(2).visible());

    rig.click("mnuExpert");
    EXPECT_FALSE(expert.checked());
    for (const char* name : {"F1", "mnuF2", "mnuF3", "mnuF4", "mnuExclusive"})
        EXPECT_FALSE(rig.form.menu().item(name).visible()) << name;
    EXPECT_FALSE(rig.form.bankLabel(2).visible());
}
