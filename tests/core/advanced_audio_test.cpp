// "Show Advanced Audio Settings": the main window's advanced audio controls
// and gate boxes hide and show as one group, in one order, and keep working
// while hidden.
#include "PreferencesRig.h"
#include "Rig.h"
#include "files/AdvancedAudio.h"

#include <gtest/gtest.h>

#include <map>

using namespace kelvane;
using namespace kelvane::testing;

namespace {

// The main window and the preferences window wired as the program wires
// them; every visibility change of a main-window control is logged as
// "hide NAME" or "show NAME", in the order it happens.
struct AdvancedAudioRig : Rig {
    AdvancedAudioRig()
    {
        prefs.preferences.onAdvancedAudio([this](bool shown) { showAdvancedAudio(form, shown); });
        for (Control* control : form.controls()) {
            visible[control] = control->visible();
            control->changed().connect([this, control] {
                if (visible[control] != control->visible()) {
                    visible[control] = control->visible();
                    log.add((control->visible() ? "show " : "hide ") + control->name());
                }
            });
        }
    }

    PreferencesRig prefs;
    std::map<Control*, bool> visible;
};

const Log kGateBoxes = {"Check2", "Check3", "Check4", "Check5", "Check6", "Check7", "Check8", "Check9"};

Log prefixed(const std::string& prefix, const Log& names)
{
    Log out;
    for (const std::string& name : names)
        out.push_back(prefix + name);
    return out;
}

} // namespace

TEST(AdvancedAudio, NewStartHidesTheGroupInOrderAndTheCheckBoxShowsItAgain)
{
    AdvancedAudioRig rig;
    rig.prefs.preferences.loadShownThenHidden();
    EXPECT_EQ(rig.log.startingWith("hide "), prefixed("hide ", kGateBoxes));
    EXPECT_TRUE(rig.log.startingWith("show ").empty());

    rig.log.clear();
    rig.prefs.preferences.advancedAudio.setValue(1);
    EXPECT_EQ(rig.log.entries(), prefixed("show ", kGateBoxes));
}

TEST(AdvancedAudio, AFileWithEntryNineteenOneLeavesEverythingShown)
{
    AdvancedAudioRig rig;
    rig.prefs.fileWith({{kAdvancedAudioEntry, PreferenceEntry::integer(1)}});
    rig.prefs.preferences.loadShownThenHidden();
    EXPECT_TRUE(rig.log.startingWith("hide ").empty());
    for (int n = 1; n <= kSwitchCount; ++n)
        EXPECT_TRUE(rig.sw(n).gate.visible());
}

TEST(AdvancedAudio, HiddenGateBoxesKeepTheirValuesAndStillStopTheWave)
{
    AdvancedAudioRig rig;
    rig.started();
    rig.sw(3).gate.setValue(1);
    rig.prefs.preferences.loadShownThenHidden();
    ASSERT_FALSE(rig.sw(3).gate.visible());
    EXPECT_EQ(rig.sw(3).gate.value(), 1);

    rig.log.clear();
    rig.sw(3).button.mouseDown(MouseButton::Left);
    rig.sw(3).button.mouseUp(MouseButton::Left);
    EXPECT_EQ(rig.log.startingWith("slot "), (Log {"slot press 3", "slot release 3"}));
}
