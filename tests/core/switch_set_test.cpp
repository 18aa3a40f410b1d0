// The switch set's change handling: what every writer of a setting relies on.
#include "Rig.h"

#include <gtest/gtest.h>

using namespace kelvane;
using namespace kelvane::testing;

TEST(ProgramBar, WrapAbove127SendsProgramZeroTwice)
{
    Rig rig;
    Switch& s = rig.sw(1);
    rig.form.switches().at(2).channel.setValue(2); // keep switch 1 alone on channel 1
    for (int n = 3; n <= 8; ++n)
        rig.sw(n).channel.setValue(n);
    s.program.setValue(127);
    rig.log.clear();

    rig.form.switches().programBarKey(1, '+');

    // The wrap's own handling sends first, then the outer run with the bar's current value.
    EXPECT_EQ(rig.log.entries(), (Log {"midi C0 00", "midi C0 00"}));
    EXPECT_EQ(s.program.value(), 0);
    EXPECT_EQ(s.programBox.text(), "0");
    EXPECT_EQ(s.nameBox.text(), "Acoustic Grand Piano");
}

TEST(ProgramBar, WrapBelowZeroGives127)
{
    Rig rig;
    for (int n = 2; n <= 8; ++n)
        rig.sw(n).channel.setValue(n);
    rig.sw(1).program.setValue(0);
    rig.log.clear();

    rig.sw(1).program.setValue(-1);

    EXPECT_EQ(rig.log.entries(), (Log {"midi C0 7F", "midi C0 7F"}));
    EXPECT_EQ(rig.sw(1).nameBox.text(), "Gunshot");
}

TEST(ProgramBar, ChangeCopiesToEverySwitchOnTheSameChannelOnly)
{
    Rig rig;
    // Switches 1 and 4 on channel 3, the rest on their own channels.
    for (int n = 1; n <= 8; ++n)
        rig.sw(n).channel.setValue(n == 4 ? 3 : n + 3);
    rig.sw(1).channel.setValue(3);
    rig.log.clear();

    rig.sw(4).program.setValue(20);

    // Switch 1's own handling runs inside switch 4's: it sends first, then finds
    // switch 4 already equal and stops the chain.
    EXPECT_EQ(rig.log.entries(), (Log {"midi C2 14", "midi C2 14"}));
    EXPECT_EQ(rig.sw(1).program.value(), 20);
    EXPECT_EQ(rig.sw(1).nameBox.text(), "Reed Organ");
    for (int n : {2, 3, 5, 6, 7, 8})
        EXPECT_EQ(rig.sw(n).program.value(), 48) << "switch " << n;
}

TEST(ProgramBar, EqualValueSendsNothingAndChangesNoBox)
{
    Rig rig;
    int viewUpdates = 0;
    rig.sw(3).programBox.changed().connect([&] { ++viewUpdates; });

    rig.sw(3).program.setValue(48);
    rig.sw(3).channel.setValue(1);

    EXPECT_TRUE(rig.log.entries().empty());
    EXPECT_EQ(viewUpdates, 0);
}

TEST(ProgramBar, OnlyTheFirstSixTakePlusAndMinusKeys)
{
    Rig rig;
    rig.form.switches().programBarKey(7, '+');
    rig.form.switches().programBarKey(6, 'x');
    EXPECT_TRUE(rig.log.entries().empty());
    EXPECT_EQ(rig.sw(7).program.value(), 48);
}

TEST(NameBox, ShowsDrumKitOnChannelTenAndTheInstrumentElsewhere)
{
    Rig rig;
    Switch& s = rig.sw(5);
    s.channel.setValue(10);
    EXPECT_EQ(s.nameBox.text(), "Drum Kit");
    EXPECT_EQ(s.channelBox.text(), "10");
    EXPECT_TRUE(rig.log.entries().empty()) << "a channel change sends no MIDI";

    s.channel.setValue(2);
    EXPECT_EQ(s.nameBox.text(), "String Ensemble 1");

    // Whatever is typed into a name box, it settles on the name.
    s.nameBox.setText("typed");
    EXPECT_EQ(s.nameBox.text(), "String Ensemble 1");
}

TEST(SwitchSet, BoxesAndNoteCopyFollowTheBars)
{
    Rig rig;
    rig.sw(2).note.setValue(0);
    rig.sw(7).note.setValue(33);
    rig.sw(8).velocity.setValue(5);
    EXPECT_EQ(rig.sw(2).noteBox.text(), "0");
    EXPECT_EQ(rig.form.switches().playedNote(2), 0);
    EXPECT_EQ(rig.sw(7).noteBox.text(), "33");
    EXPECT_EQ(rig.form.switches().playedNote(7), 33);
    EXPECT_EQ(rig.sw(8).velocityBox.text(), "5");

    // Only switch 2 reaches note 0; a write outside a bar's span changes nothing.
    EXPECT_FALSE(rig.sw(1).note.setValue(0));
    EXPECT_EQ(rig.sw(1).note.value(), 60);
    EXPECT_FALSE(rig.sw(1).channel.setValue(17));

    // Typing into switch 1's channel box has no lasting effect.
    rig.sw(1).channelBox.setText("9");
    EXPECT_EQ(rig.sw(1).channelBox.text(), "1");
}
