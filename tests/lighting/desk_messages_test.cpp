// What the desk sends for its faders, master, octave, channel box and volume
// switch, and how it refuses what cannot be sent.
#include "DeskRig.h"

#include <gtest/gtest.h>

using namespace kelvane;
using namespace kelvane::testing;

TEST(DeskMessages, FaderAndVolumeSendOnTheBoxChannelAndOctaveShiftsTheNextNoteOnly)
{
    DeskRig rig;
    rig.opened();
    rig.ch(5).fader.setValue(100);
    EXPECT_EQ(rig.ch(5).box.text(), "100");

    rig.desk.scrOct.setValue(3);
    EXPECT_EQ(rig.desk.txtOct.text(), "3");
    rig.ch(1).fader.setValue(1);
    rig.ch(1).fader.setValue(0); // level 0 is a note-on with velocity 0

    rig.desk.scrCha.setValue(2);
    EXPECT_EQ(rig.desk.txtCha.text(), "2");
    rig.ch(12).fader.setValue(127);
    rig.desk.txtCha.setText(" 07 "); // typed: the messages follow the box, not the bar
    rig.ch(12).fader.setValue(126);
    rig.desk.chkVol.setValue(1); // "Volume Off": controller 7 at 0, then back at 127
    rig.desk.chkVol.setValue(0);

    EXPECT_EQ(rig.log.entries(),
        (Log {midi(0x9F, 41, 100), midi(0x9F, 61, 1), midi(0x9F, 61, 0), midi(0x91, 72, 127), midi(0x96, 72, 126),
            midi(0xB6, 7, 0), midi(0xB6, 7, 127)}));
}

TEST(DeskMessages, MasterSetsEveryFaderInOrderAndOnlyChangedOnesSend)
{
    DeskRig rig;
    rig.opened();
    rig.ch(3).fader.setValue(64);
    rig.ch(7).fader.setValue(64);
    rig.log.clear();

    rig.desk.scrMaster.setValue(64);

    Log expected;
    for (int n = 1; n <= 12; ++n)
        if (n != 3 && n != 7)
            expected.push_back(midi(0x9F, 36 + n, 64));
    EXPECT_EQ(rig.log.entries(), expected);
    EXPECT_EQ(rig.desk.txtMaster.text(), "64");
    for (int n = 1; n <= 12; ++n)
        EXPECT_EQ(rig.ch(n).box.text(), "64") << n;
}

TEST(DeskMessages, ChannelBoxReadsOnlyWholeChannelNumbers)
{
    EXPECT_EQ(deskMidiChannel("16"), 16);
    EXPECT_EQ(deskMidiChannel(" 1\t"), 1);
    EXPECT_EQ(deskMidiChannel("004"), 4);
    for (const char* text : {"", "  ", "abc", "5a", "1 6", "-1", "+3", "0", "17", "4.0", "99999999999999999999"})
        EXPECT_EQ(deskMidiChannel(text), std::nullopt) << '"' << text << '"';
}

// The channel box may be typed over. A text that names no channel sends
// nothing and says why on the desk; a channel beyond 16 would have turned the
// note-on into another kind of message (17 + 143 is a key-pressure status).
TEST(DeskMessages, ChannelBoxWithoutAChannelSendsNothingAndSaysSoOnTheDesk)
{
    DeskRig rig;
    rig.opened();
    for (const char* text : {"abc", "", "17", "0"}) {
        rig.desk.txtCha.setText(text);
        rig.ch(1).fader.setValue(rig.ch(1).fader.value() + 1);
        EXPECT_NE(rig.desk.lblNotice.text().find("Cha box"), std::string::npos) << text;
        rig.desk.chkVol.setValue(rig.desk.chkVol.value() == 0 ? 1 : 0);
        EXPECT_NE(rig.desk.lblNotice.text().find("Cha box"), std::string::npos) << text;
    }
    EXPECT_EQ(rig.ch(1).box.text(), "4") << "the box still shows the fader";
    EXPECT_TRUE(rig.log.entries().empty()) << "no message, and no message box";

    rig.desk.txtCha.setText("9");
    rig.ch(1).fader.setValue(5);
    EXPECT_EQ(rig.log.entries(), (Log {midi(0x98, 37, 5)}));
    EXPECT_EQ(rig.desk.lblNotice.text(), "") << "the next message that goes out clears the notice";
}
