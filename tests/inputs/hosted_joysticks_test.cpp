// The two joystick controls created from the built module and played with SDL
// virtual joysticks: finding and registering the component, pads that play
// their switches through the capture thread, events that keep coming inside a
// modal box, pads plugged in late or pulled out while held, and D-pads.
#include "InputsRig.h"

#include "EnvironmentGuard.h"
#include "TempFolder.h"
#include "kelvane/joystick/VirtualJoystick.h"
#include "stavik/RegistryFile.h"

#include <gtest/gtest.h>

using namespace kelvane;
using namespace kelvane::testing;
using kelvane::joystick::VirtualJoystick;

namespace {

class HostedJoysticksTest : public ::testing::Test {
protected:
    // The module registers itself where STAVIK_REGISTRY says, as in the program.
    HostedJoysticksTest() { setenv("STAVIK_REGISTRY", registry().c_str(), 1); }

    std::filesystem::path registry() const { return folder / "components.reg"; }
    std::vector<std::filesystem::path> installed() const { return {STAVIK_MODULE_PATH}; }

    stavik::testing::TempFolder folder;
    stavik::testing::EnvironmentGuard registryChoice {"STAVIK_REGISTRY"};
};

VirtualJoystick::Description dPad()
{
    VirtualJoystick::Description d;
    d.name = "Dance Mat";
    d.axes = 0;
    d.hats = 1;
    d.buttons = 8;
    return d;
}

TEST_F(HostedJoysticksTest, AnUnregisteredClassIsTakenFromTheInstalledModuleAndRegistered)
{
    {
        HostedRig rig(registry(), installed());
        EXPECT_TRUE(rig.joysticks.hosted);
        EXPECT_TRUE(rig.said.empty());
        EXPECT_TRUE(rig.joysticks.stavik1->enabled());
        EXPECT_TRUE(rig.joysticks.stavik2->enabled()) << "both stored Enabled";
    }
    const auto written = stavik::RegistryFile::load(registry());
    ASSERT_TRUE(written);
    EXPECT_EQ(written->value("Dorrit.StavikCtrl\\CLSID"), "{F6B70DC0-165C-4F04-8340-04FE9981BF85}");

    // From now on the registry finds it, wherever the program looks beside itself.
    HostedRig again(registry(), {folder / "nothing-here.so"});
    EXPECT_TRUE(again.joysticks.hosted);
}

TEST_F(HostedJoysticksTest, WithoutAModuleTheProgramRunsOnWithoutPadsAndSaysSoOnce)
{
    HostedRig rig(registry(), {folder / "libstavik32.so"});
    EXPECT_FALSE(rig.joysticks.hosted);
    ASSERT_EQ(rig.said.size(), 1u);
    EXPECT_NE(rig.said[0].find("running without game controllers"), std::string::npos) << rig.said[0];
    rig.form.unload();
    EXPECT_FALSE(rig.joysticks.stavik1->enabled());
}

TEST_F(HostedJoysticksTest, PadsPlayTheirSwitchesAndUnloadLetsGoOfThem)
{
    VirtualJoystick first;
    VirtualJoystick second;
    HostedRig rig(registry(), installed());

    first.setButton(1, true);
    ASSERT_TRUE(runUntil([&] { return logHas(rig.log, "midi 90 40 78"); })) << "joystick 1 button 1 plays sw3";
    first.setButton(1, false);
    second.setAxis(1, 0);
    ASSERT_TRUE(runUntil([&] { return logHas(rig.log, "midi 90 48 78"); })) << "joystick 2 pushed forward plays sw8";
    second.setAxis(1, 32768);
    ASSERT_TRUE(runUntil([&] { return logHas(rig.log, "midi 90 48 00"); }));
    EXPECT_EQ(rig.log.startingWith("midi"), (Log {"midi 90 40 78", "midi 90 40 00", "midi 90 48 78", "midi 90 48 00"}));

    rig.form.unload();
    rig.log.clear();
    first.setButton(2, true);
    runUntil([] { return false; }, 50);
    EXPECT_TRUE(rig.log.startingWith("midi").empty()) << "disabled controls raise nothing";
}

TEST_F(HostedJoysticksTest, AnotherPadPlaysWhileAFailedWavesBoxIsOpen)
{
    VirtualJoystick first;
    VirtualJoystick second;
    HostedRig rig(registry(), installed());
    rig.slots.failingPresses = {3};
    rig.dialogs.whileOpen = [&] {
        second.setButton(1, true);
        EXPECT_TRUE(runUntil([&] { return logHas(rig.log, "midi 90 43 78"); }));
        second.setButton(1, false);
        EXPECT_TRUE(runUntil([&] { return logHas(rig.log, "midi 90 43 00"); }));
    };
    first.setButton(1, true);
    ASSERT_TRUE(runUntil([&] { return logHas(rig.log, "slot empty 3"); }));
    EXPECT_EQ(rig.log.entries(),
        (Log {"midi 90 40 78", "slot press 3", "message This Wave is unavailable", "midi 90 43 78", "slot press 5",
            "midi 90 43 00", "slot empty 3"}));
}

TEST_F(HostedJoysticksTest, APadPluggedInLateIsCapturedAndOnePulledOutWhileHeldLetsGo)
{
    VirtualJoystick first;
    HostedRig rig(registry(), installed()); // nothing on the second port yet
    VirtualJoystick second;
    second.setButton(2, true);
    ASSERT_TRUE(runUntil([&] { return logHas(rig.log, "midi 90 45 78"); })) << "held as it arrived: sw6 plays";

    first.setAxis(0, 0);
    first.setButton(2, true);
    ASSERT_TRUE(runUntil([&] { return logHas(rig.log, "midi 90 41 78") && logHas(rig.log, "midi 90 3C 78"); }));
    rig.log.clear();
    first.unplug();
    ASSERT_TRUE(runUntil([&] { return logHas(rig.log, "midi 90 41 00") && logHas(rig.log, "midi 90 3C 00"); }));
    EXPECT_EQ(rig.form.joysticks().axisHeld(1, 0), 0);
}

TEST_F(HostedJoysticksTest, ADPadWithoutAStickPlaysTheStickSwitches)
{
    VirtualJoystick mat(dPad());
    HostedRig rig(registry(), installed());
    mat.setHat(0, VirtualJoystick::kHatLeft | VirtualJoystick::kHatUp);
    ASSERT_TRUE(runUntil([&] { return logHas(rig.log, "midi 90 3E 78"); }));
    EXPECT_EQ(rig.log.startingWith("midi"), (Log {"midi 90 3C 78", "midi 90 3E 78"}));
    mat.setHat(0, VirtualJoystick::kHatRight);
    ASSERT_TRUE(runUntil([&] { return logHas(rig.log, "midi 90 3E 00"); }));
    EXPECT_EQ(rig.log.startingWith("midi"), (Log {"midi 90 3C 78", "midi 90 3E 78", "midi 90 3C 00", "midi 90 3E 00"}));
}

} // namespace
