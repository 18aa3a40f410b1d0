// Slide control: the slide key each press picks and types, the mode command
// and what happens where keys cannot be typed.
#include "PreferencesRig.h"
#include "controls/MenuItem.h"

#include <gtest/gtest.h>

using namespace kelvane;
using namespace kelvane::testing;

namespace {

using Log = std::vector<std::string>;

// The main window's parts that the mode command touches.
struct SlideModeRig : PreferencesRig {
    SlideModeRig() : mode(item, mainWindow, slides) { }
    MenuItem item {"mnuPowerpnt", "Control PowerPoint"};
    Window mainWindow {"frmMain", "Kelvane     Major Strings"};
    SlideModeCommand mode;
};

} // namespace

TEST(SlideControl, ModeOnTypesEachSwitchsLiveChoiceOffTypesNothingModeOffNothingAtAll)
{
    SlideModeRig rig;
    rig.preferences.load();
    rig.preferences.previousOption(3).click();
    rig.preferences.offOption(5).click();
    rig.log.clear();
    rig.slides.send(3);
    EXPECT_EQ(rig.slides.slideKey(), "p");
    EXPECT_TRUE(rig.log.entries().empty()) << "mode off";

    rig.item.click();
    for (int n : {3, 1, 5, 3})
        rig.slides.send(n);
    // The window's options are the live store: a change counts at once, saved or not.
    rig.preferences.nextOption(5).click();
    rig.slides.send(5);
    EXPECT_EQ(rig.log.entries(), (Log {"keys p", "keys n", "keys p", "keys n"}));
}

TEST(SlideControl, ConsultingAnUnloadedWindowLoadsItFromTheFile)
{
    SlideModeRig rig;
    rig.fileWith(
        {{previousEntry(6), PreferenceEntry::boolean(true)}, {kAdvancedAudioEntry, PreferenceEntry::integer(1)}});
    rig.item.click();
    rig.log.clear();
    rig.slides.send(6);
    EXPECT_EQ(rig.log.entries(), (Log {"prefs read", "keys p"}));
}

TEST(SlideMode, TogglesCheckMarkAndCaptionWhateverTheCaptionWas)
{
    SlideModeRig rig;
    EXPECT_FALSE(rig.slides.on());
    rig.item.click();
    EXPECT_TRUE(rig.item.checked());
    EXPECT_TRUE(rig.slides.on());
    EXPECT_EQ(rig.mainWindow.caption(), "Controlling PowerPoint Now!");
    rig.mainWindow.setCaption("Kelvane     Jazz Organ");
    rig.item.click();
    EXPECT_FALSE(rig.item.checked());
    EXPECT_FALSE(rig.slides.on());
    EXPECT_EQ(rig.mainWindow.caption(), "Kelvane");
}

TEST(SlideMode, WhereKeysCannotBeTypedTheUserIsToldOnceAndPressesGoOn)
{
    SlideModeRig rig;
    rig.keys.isAvailable = false;
    rig.preferences.load();
    rig.log.clear();
    rig.item.click();
    rig.item.click();
    rig.item.click();
    EXPECT_EQ(rig.log.startingWith("message"),
        (Log {"message Slide control cannot type into other programs here: there is no display to type into.\n"
              "The switches play on as usual, without slide keys."}));
    EXPECT_TRUE(rig.slides.on());
    EXPECT_EQ(rig.mainWindow.caption(), "Controlling PowerPoint Now!");
    rig.slides.send(1); // returns normally; the sender drops the key
    EXPECT_EQ(rig.slides.slideKey(), "n");
}
