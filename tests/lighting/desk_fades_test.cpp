// Fades, the fade stop, nested fades and "All Lights Off", with the events
// that run between fade steps scripted on the desk's pause.
#include "DeskRig.h"

#include <gtest/gtest.h>

using namespace kelvane;
using namespace kelvane::testing;

namespace {

// A fade's log from `from` (which is set first and sends nothing) through
// `to`: the note-on of every later level, a pause after every setting.
Log fadeLog(int status, int note, int from, int to, int ms)
{
    const int step = to >= from ? 1 : -1;
    Log log {pauseEvents(ms)};
    for (int level = from + step; level != to + step; level += step) {
        log.push_back(midi(status, note, level));
        log.push_back(pauseEvents(ms));
    }
    return log;
}

Log joined(Log a, const Log& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

} // namespace

TEST(DeskFades, FadeUpFrom120SendsEachLevelWithAPauseOfTheCurrentFadeTimeAfterEverySetting)
{
    DeskRig rig;
    rig.opened();
    rig.ch(1).fader.setValue(120);
    rig.log.clear();
    rig.deskPause.at(7, [&] { rig.desk.scrFadeTime.setValue(5); }); // read anew at every step

    gesture(rig.ch(1).fadeUp);

    Log expected = fadeLog(0x9F, 37, 120, 127, 30);
    expected.back() = pauseEvents(5);
    EXPECT_EQ(rig.log.entries(), expected);
    EXPECT_EQ(rig.deskPause.calls(), 8);
    EXPECT_EQ(rig.ch(1).fader.value(), 127);
    EXPECT_EQ(rig.ch(1).box.text(), "127");
    EXPECT_EQ(rig.desk.fadeStop(), 1) << "the release after the click";
}

TEST(DeskFades, StopFadeHeldDuringAFadeEndsItAtTheLevelReachedAndItsReleaseClearsTheStop)
{
    DeskRig rig;
    rig.opened();
    rig.deskPause.at(3, [&] { rig.desk.cmdStop.mouseDown(MouseButton::Left); });

    rig.ch(2).fadeUp.mouseDown(MouseButton::Left);
    rig.ch(2).fadeUp.click();
    EXPECT_EQ(rig.ch(2).fader.value(), 2);
    EXPECT_EQ(rig.log.entries(), fadeLog(0x9F, 38, 0, 2, 30));
    rig.ch(2).fadeUp.mouseUp(MouseButton::Left);

    rig.desk.cmdStop.mouseUp(MouseButton::Left);
    EXPECT_EQ(rig.desk.fadeStop(), 0);
}

// Fade B's click runs inside fade A's events: B runs to its end, its release
// sets the stop, and A ends at its next check without another step.
TEST(DeskFades, FadeStartedInsideAFadeRunsToItsEndThenTheOuterOneStops)
{
    DeskRig rig;
    rig.opened();
    rig.ch(2).fader.setValue(124);
    rig.log.clear();
    rig.deskPause.at(2, [&] { gesture(rig.ch(2).fadeUp); });

    gesture(rig.ch(1).fadeUp);

    EXPECT_EQ(rig.log.entries(),
        joined({pauseEvents(30), midi(0x9F, 37, 1), pauseEvents(30)}, fadeLog(0x9F, 38, 124, 127, 30)));
    EXPECT_EQ(rig.ch(1).fader.value(), 1);
    EXPECT_EQ(rig.ch(2).fader.value(), 127);
}

// Channels 8..12 are notes 128..132 at octave 8. The output refuses them (no
// byte above 127 leaves), the fade ends there, and the desk says so once, on
// itself: a message box per refusal would stop the performance.
TEST(DeskFades, OctaveEightRefusalEndsAMasterFadeAtItsFirstStepWithOneNotice)
{
    DeskRig rig;
    rig.opened();
    rig.desk.scrOct.setValue(8);
    int noticesShown = 0;
    rig.desk.lblNotice.changed().connect([&] {
        if (!rig.desk.lblNotice.text().empty())
            ++noticesShown;
    });

    gesture(rig.desk.cmdFadeUp);

    Log expected {pauseEvents(30)};
    for (int n = 1; n <= 7; ++n)
        expected.push_back(midi(0x9F, 120 + n, 1));
    expected.push_back("midi refused 9F 80 01");
    EXPECT_EQ(rig.log.entries(), expected) << "no further step, and no message box";
    EXPECT_EQ(noticesShown, 1);
    EXPECT_EQ(rig.desk.lblNotice.text(),
        "Channel 8 was not sent: at octave 8 it is note 128, above the highest MIDI note 127. "
        "Lower the octave to light it.");
    EXPECT_EQ(rig.desk.scrMaster.value(), 1);
}

TEST(DeskFades, AllLightsOffTakesEveryChannelThroughOneToZero)
{
    DeskRig rig;
    rig.opened();
    rig.ch(4).fader.setValue(90);
    rig.log.clear();

    gesture(rig.desk.cmdAllOff);

    Log expected;
    for (int n = 1; n <= 12; ++n)
        expected.push_back(midi(0x9F, 36 + n, 1));
    expected.push_back(pauseEvents(30));
    for (int n = 1; n <= 12; ++n)
        expected.push_back(midi(0x9F, 36 + n, 0));
    expected.push_back(pauseEvents(30));
    EXPECT_EQ(rig.log.entries(), expected);
    EXPECT_EQ(rig.desk.fadeStop(), 1);
}

// With the stop already set (after any completed fade, or while "Stop Fade"
// is held) the command still ends in darkness, and so does a fader moved by
// hand during its pause after the master was taken back to 0.
TEST(DeskFades, AllLightsOffEndsAtZeroAfterACompletedFadeAndAfterFadersMovedMeanwhile)
{
    DeskRig rig;
    rig.opened();
    rig.desk.scrFadeTime.setValue(0);
    gesture(rig.ch(6).fadeDown); // completes at once: the stop is now set
    ASSERT_EQ(rig.desk.fadeStop(), 1);
    rig.deskPause.post([&] {
        rig.desk.scrMaster.setValue(0);
        rig.ch(3).fader.setValue(77);
    });
    rig.desk.cmdStop.mouseDown(MouseButton::Left);

    gesture(rig.desk.cmdAllOff);

    for (int n = 1; n <= 12; ++n) {
        EXPECT_EQ(rig.ch(n).fader.value(), 0) << n;
        EXPECT_EQ(rig.ch(n).box.text(), "0") << n;
    }
    EXPECT_EQ(rig.midiLog().back(), midi(0x9F, 39, 0)) << "the hand-moved fader went back to 0 last";
}

TEST(DeskFades, AllLightsOffInsideAFadeEndsThatFadeAtItsNextCheck)
{
    DeskRig rig;
    rig.opened();
    rig.deskPause.at(2, [&] { gesture(rig.desk.cmdAllOff); });

    gesture(rig.ch(1).fadeUp);

    EXPECT_EQ(rig.ch(1).fader.value(), 0);
    EXPECT_EQ(rig.deskPause.calls(), 4) << "two fade steps and the command's two pauses";
}
