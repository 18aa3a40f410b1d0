// "Show Advanced Audio Settings": the wave slots' advanced controls and the
// gate boxes hide and show as one group, in one order, and keep working
// while hidden.
#include "PressRig.h"

#include <gtest/gtest.h>

#include <map>

using namespace kelvane;
using namespace kelvane::testing;

namespace {

using Log = std::vector<std::string>;

// Every visibility change of a main-window or wave-slot control, logged as
// "hide NAME" or "show NAME" in the order it happens.
struct VisibilityRig : PressRig {
    VisibilityRig()
    {
        std::vector<Control*> all = form.controls();
        for (Control* c : slots.controls())
            all.push_back(c);
        for (Control* control : all) {
            visible[control] = control->visible();
            control->changed().connect([this, control] {
                if (visible[control] != control->visible()) {
                    visible[control] = control->visible();
                    log.add((control->visible() ? "show " : "hide ") + control->name());
                }
            });
        }
    }
    std::map<Control*, bool> visible;
};

Log group(const std::string& verb)
{
    Log out;
    for (int i = 0; i < 8; ++i)
        for (const char* name :
            {"HscrWavVol", "lblWavVol", "lblGateLoop", "chkwavloop", "HScrWavPan", "lblPan", "lblLoopNo", "cmbLoopNo"})
            out.push_back(verb + " " + name);
    for (int n = 2; n <= 9; ++n)
        out.push_back(verb + " Check" + std::to_string(n));
    return out;
}

} // namespace

TEST(AdvancedAudio, NewStartHidesTheGroupInOrderAndTheCheckBoxShowsItAgain)
{
    VisibilityRig rig;
    rig.preferences.loadShownThenHidden();
    EXPECT_EQ(rig.log.startingWith("hide "), group("hide"));
    EXPECT_TRUE(rig.log.startingWith("show ").empty());

    rig.log.clear();
    rig.preferences.advancedAudio.setValue(1);
    EXPECT_EQ(rig.log.entries(), group("show"));

    VisibilityRig shown; // entry 19 is 1: nothing hides
    shown.fileWith({{kAdvancedAudioEntry, PreferenceEntry::integer(1)}});
    shown.preferences.loadShownThenHidden();
    EXPECT_TRUE(shown.log.startingWith("hide ").empty());
}

TEST(AdvancedAudio, HiddenControlsKeepTheirValuesAndKeepActing)
{
    PressRig rig;
    rig.started();
    WaveSlot& slot3 = rig.slots.slot(3);
    ASSERT_FALSE(slot3.volume.visible());
    ASSERT_FALSE(rig.sw(3).gate.visible());
    rig.sw(3).gate.setValue(1);
    slot3.setPath("/waves/gong.wav");
    rig.log.clear();

    rig.sw(3).button.mouseDown(MouseButton::Left);
    slot3.volume.setValue(-1000);
    rig.sw(3).button.mouseUp(MouseButton::Left);
    const Log waves = rig.log.startingWith("wave ");
    EXPECT_NE(std::find(waves.begin(), waves.end(), "wave SetBufferVolume 1 -1000"), waves.end());
    EXPECT_EQ(waves.back(), "wave StopBuffer 1") << "the hidden gate box still stops the wave";
    EXPECT_EQ(slot3.volume.value(), -1000);
}
