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
    MenuItem& command = rig.menu().lightingDesk();
    EXPECT_TRUE(command.enabled());
    EXPECT_EQ(command.caption(), "Lighting Desk");
    EXPECT_EQ(command.shortcut(), "Ctrl+L");

    int raised = 0;
    rig.form.frontRequested().connect([&raised] { ++raised; });
    rig.menu().lightingDesk().click();
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
    LightForm& desk = rig.desk;
    const auto shown = [&desk] {
        Log values;
        for (const Control* control : desk.controls()) {
            if (const auto* bar = dynamic_cast<const ScrollBar*>(control))
                values.push_back(bar->name() + "=" + std::to_string(bar->value()));
            else if (const auto* box = dynamic_cast<const TextBox*>(control))
                values.push_back(box->name() + "=" + box->text());
        }
        values.push_back("chkVol=" + std::to_string(desk.chkVol.value()));
        values.push_back("FadeStop=" + std::to_string(desk.fadeStop()));
        return values;
    };
    const Log initial = shown();
    rig.ch(2).fader.setValue(99);
    desk.scrMaster.setValue(10);
    desk.scrFadeTime.setValue(200);
    desk.scrCha.setValue(4);
    desk.scrOct.setValue(5);
    desk.chkVol.setValue(1);
    desk.txtCha.setText("zz");
    rig.ch(3).fader.setValue(1); // leaves a notice
    desk.cmdStop.mouseDown(MouseButton::Left);
    const Log changed = shown();
    rig.menu().lightingDesk().click();
    EXPECT_EQ(shown(), changed) << "showing a loaded desk keeps it as it is";

    desk.unload();
    EXPECT_FALSE(desk.visible());
    rig.log.clear();
    rig.menu().lightingDesk().click();
    EXPECT_EQ(shown(), initial);
    EXPECT_TRUE(rig.log.entries().empty());
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
        rig.menu().lightingDesk().click();
    });

    gesture(rig.desk.cmdFadeUp);

    EXPECT_EQ(rig.deskPause.calls(), 3);
    EXPECT_EQ(rig.midiLog().size(), 24u) << "levels 1 and 2 of twelve channels, nothing after the close";
    EXPECT_EQ(rig.desk.scrMaster.value(), 0);
    EXPECT_EQ(rig.ch(1).fader.value(), 0);
}

// Closing the main window, or its "Exit", ends the program; a fade that this
// happened inside ends at its next step instead of running its course.
TEST(DeskLifecycle, EndingTheProgramMidFadeEndsTheFadeAtItsNextStep)
{
    for (const char* way : {"close", "Exit"}) {
        DeskRig rig;
        rig.opened();
        rig.deskPause.at(2, [&] {
            if (std::string(way) == "close")
                rig.form.unload();
            else
                rig.menu().exit().click();
        });

        gesture(rig.ch(1).fadeUp);
        rig.ch(1).fader.setValue(5); // the unloaded desk no longer sends

        EXPECT_EQ(rig.deskPause.calls(), 2) << way;
        EXPECT_FALSE(rig.desk.visible()) << way;
        const Log log = rig.log.entries();
        EXPECT_EQ(std::count(log.begin(), log.end(), "end program"), 1) << way;
        EXPECT_EQ(log.back(), "end program") << way << ": nothing was sent after it";
    }
}
