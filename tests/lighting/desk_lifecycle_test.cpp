// Opening the desk from the main window, "Back", closing it (also in the
// middle of a fade) and the main window ending the program under a fade.
#include "DeskRig.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace kelvane;
using namespace kelvane::testing;

TEST(DeskLifecycle, MenuCommandOpensTheDeskCentredWithoutSendingAndBackRaisesTheMainWindow)
{
    DeskRig rig;
    rig.started();
    MenuItem& command = rig.form.menu().item("mnuLightDesk");
    EXPECT_TRUE(command.enabled());
    EXPECT_EQ(command.caption(), "Lighting Desk");
    EXPECT_EQ(command.shortcut(), "Ctrl+L");

    int raised = 0;
    rig.form.frontRequested().connect([&raised] { ++raised; });
    rig.click("mnuLightDesk");
    EXPECT_TRUE(rig.desk.visible());
    EXPECT_EQ(rig.desk.caption(), "Lighting Desk");
    EXPECT_EQ(rig.desk.left(), (1280 - LightForm::kDesignWidth) / 2);
    EXPECT_EQ(rig.desk.top(), (800 - LightForm::kDesignHeight) / 2);
    EXPECT_TRUE(rig.log.entries().empty()) << "nothing is sent when the desk opens";

    rig.desk.Command1.click();
    EXPECT_EQ(raised, 1);
    EXPECT_TRUE(rig.desk.visible() && rig.desk.loaded()) << "Back leaves the desk loaded";
}

TEST(DeskLifecycle, ClosingUnloadsAndTheNextShowingStartsFromTheInitialValuesSilently)
{
    DeskRig rig;
    rig.opened();
    rig.ch(2).fader.setValue(99);
    rig.desk.scrMaster.setValue(10);
    rig.desk.scrFadeTime.setValue(200);
    rig.desk.scrCha.setValue(4);
    rig.desk.scrOct.setValue(5);
    rig.desk.chkVol.setValue(1);
    rig.desk.txtCha.setText("zz");
    rig.ch(3).fader.setValue(1); // leaves a notice
    rig.desk.cmdStop.mouseDown(MouseButton::Left);
    rig.click("mnuLightDesk");
    EXPECT_EQ(rig.ch(2).fader.value(), 10) << "showing a loaded desk keeps it as it is";

    rig.desk.unload();
    EXPECT_FALSE(rig.desk.visible());
    rig.log.clear();
    rig.click("mnuLightDesk");

    EXPECT_TRUE(rig.log.entries().empty());
    for (int n = 1; n <= 12; ++n) {
        EXPECT_EQ(rig.ch(n).fader.value(), 0) << n;
        EXPECT_EQ(rig.ch(n).box.text(), "0") << n;
    }
    EXPECT_EQ(rig.desk.scrMaster.value(), 0);
    EXPECT_EQ(rig.desk.txtMaster.text(), "0");
    EXPECT_EQ(rig.desk.scrFadeTime.value(), 30);
    EXPECT_EQ(rig.desk.txtTime.text(), "30");
    EXPECT_EQ(rig.desk.scrCha.value(), 16);
    EXPECT_EQ(rig.desk.txtCha.text(), "16");
    EXPECT_EQ(rig.desk.scrOct.value(), 1);
    EXPECT_EQ(rig.desk.txtOct.text(), "1");
    EXPECT_EQ(rig.desk.chkVol.value(), 0);
    EXPECT_EQ(rig.desk.lblNotice.text(), "");
    EXPECT_EQ(rig.desk.fadeStop(), 0);

    rig.ch(1).fader.setValue(3);
    EXPECT_EQ(rig.log.entries(), (Log {midi(0x9F, 37, 3)})) << "octave 1 again";
}

// The fade was running when the desk closed: it ends at its next step and
// touches nothing, even when the desk is opened again before that step.
TEST(DeskLifecycle, ClosingTheDeskMidFadeEndsTheFadeAtItsNextStepWithoutTouchingTheNewDesk)
{
    DeskRig rig;
    rig.opened();
    rig.deskPause.at(3, [&] {
        rig.desk.unload();
        rig.click("mnuLightDesk");
    });

    gesture(rig.desk.cmdFadeUp);

    EXPECT_EQ(rig.deskPause.calls(), 3);
    EXPECT_EQ(rig.midiLog().size(), 24u) << "levels 1 and 2 of twelve channels, nothing after the close";
    EXPECT_EQ(rig.desk.scrMaster.value(), 0);
    EXPECT_EQ(rig.ch(1).fader.value(), 0);
}

TEST(DeskLifecycle, ClosingTheMainWindowMidFadeEndsTheProgramWithoutWaitingForTheFade)
{
    DeskRig rig;
    rig.opened();
    rig.deskPause.at(2, [&] { rig.form.unload(); });

    gesture(rig.ch(1).fadeUp);

    EXPECT_EQ(rig.deskPause.calls(), 2);
    EXPECT_TRUE(rig.environment.ended);
    EXPECT_FALSE(rig.desk.visible());
    const Log log = rig.log.entries();
    EXPECT_EQ(std::count(log.begin(), log.end(), "end program"), 1);
    EXPECT_EQ(log.back(), "end program") << "nothing was sent after it";
}

TEST(DeskLifecycle, ExitMidFadeEndsTheFadeToo)
{
    DeskRig rig;
    rig.opened();
    rig.desk.scrMaster.setValue(5);
    rig.log.clear();
    rig.deskPause.at(2, [&] { rig.click("mnuFileExit"); });

    gesture(rig.desk.cmdFadeDown);
    rig.ch(1).fader.setValue(5); // the unloaded desk no longer sends

    EXPECT_EQ(rig.deskPause.calls(), 2);
    EXPECT_EQ(rig.log.entries().back(), "end program");
}
