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
    rig.menu().noteTable(1).click(); // Pentatonic
    EXPECT_EQ(notes(rig), (std::vector<int> {57, 60, 62, 64, 67, 69, 72, 74}));
    EXPECT_EQ(rig.sw(1).noteBox.text(), "57");
    EXPECT_EQ(rig.form.caption(), "Pentatonic Scale");

    rig.menu().noteTable(4).click(); // Whole Tone
    EXPECT_EQ(rig.form.caption(), "WholeTone Scale");
    rig.menu().noteTable(8).click(); // Augmented Chord
    EXPECT_EQ(notes(rig), (std::vector<int> {60, 64, 68, 72, 74, 78, 82, 86}));
    EXPECT_TRUE(rig.log.entries().empty());
}

TEST(Transposition, OctavesStopAtTheGuardAndMoveAllOrNothing)
{
    Rig rig;
    rig.started();
    rig.menu().noteTable(5).click(); // Major Chord
    rig.menu().octaveUp().click();
    rig.menu().octaveUp().click();
    rig.menu().octaveUp().click();
    EXPECT_EQ(notes(rig), (std::vector<int> {96, 100, 103, 108, 112, 115, 120, 124}));
    rig.menu().octaveUp().click(); // 124 > 112: refused as a whole
    rig.menu().semitoneUp().click();
    EXPECT_EQ(notes(rig), (std::vector<int> {96, 100, 103, 108, 112, 115, 120, 124}));
    EXPECT_EQ(rig.form.caption(), "Major Chord") << "transposing leaves the caption";
    EXPECT_TRUE(rig.log.entries().empty());
}

TEST(Transposition, ALowNoteBlocksDownwardShiftsAndTwentyFiveStillMoves)
{
    Rig rig;
    rig.started();
    rig.sw(5).note.setValue(24);
    rig.menu().octaveDown().click();
    rig.menu().semitoneDown().click();
    EXPECT_EQ(rig.sw(1).note.value(), 60);

    rig.sw(5).note.setValue(25);
    rig.menu().octaveDown().click();
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

    rig.menu().velocityUp().click();
    EXPECT_EQ(velocities(rig), (std::vector<int> {120, 120, 15, 117, 126, 19, 20, 10}));
    rig.menu().velocityDown().click();
    rig.menu().velocityDown().click();
    EXPECT_EQ(velocities(rig), (std::vector<int> {100, 100, 5, 97, 106, 9, 0, 0}));
}

TEST(Presets, DrumKitNamesEverySwitchAndSendsSixClosingChangesOnChannelTen)
{
    Rig rig;
    rig.started();
    rig.menu().preset(1).click(); // Drum Kit
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
    rig.menu().preset(3).click(); // FX1
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
    rig.menu().preset(0).click(); // Percussion
    rig.log.clear();
    rig.menu().preset(4).click(); // Major Strings
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
    rig.menu().panic().click();

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
    rig.menu().multimode().click();
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
    MenuItem& gm = rig.menu().generalMidi();
    EXPECT_TRUE(gm.checked());
    rig.menu().generalMidi().click();
    EXPECT_FALSE(gm.checked());
    EXPECT_FALSE(rig.sw(4).nameBox.visible());
    rig.sw(4).channel.setValue(10); // hidden boxes go on updating
    EXPECT_EQ(rig.sw(4).nameBox.text(), "Drum Kit");
    rig.menu().generalMidi().click();
    EXPECT_TRUE(rig.sw(4).nameBox.visible());
}

TEST(Modes, ExpertUserShowsThenHidesTheBankMenusLabelsAndExclusiveWaves)
{
    Rig rig;
    rig.started();
    MenuItem& expert = rig.menu().expertUser();
    rig.form.bankLabel(2).setVisible(true); // as if bank F2 were stored

    rig.menu().expertUser().click();
    EXPECT_TRUE(expert.checked());
    EXPECT_TRUE(rig.menu().bankMenu(3).visible());
    EXPECT_TRUE(rig.form.bankLabel(2).visible());

    rig.menu().expertUser().click();
    EXPECT_FALSE(expert.checked());
    MainMenu& menu = rig.menu();
    for (const MenuItem* item :
        {&menu.bankMenu(1), &menu.bankMenu(2), &menu.bankMenu(3), &menu.bankMenu(4), &menu.exclusiveWaves()})
        EXPECT_FALSE(item->visible()) << item->name();
    EXPECT_FALSE(rig.form.bankLabel(2).visible());
}
