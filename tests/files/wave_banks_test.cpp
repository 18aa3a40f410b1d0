// The wave banks F1..F4: storing a snapshot with its label, recalling it, and
// how Expert User shows and hides them.

#include "FilesRig.h"

#include <gtest/gtest.h>

namespace kelvane::testing {
namespace {

TEST(WaveBanks, ABankNeverStoredHoldsNothingAndRecallsNothing)
{
    FilesRig r;
    const std::string caption = r.rig.form.caption();
    for (int b = 1; b <= 4; ++b)
        EXPECT_FALSE(r.banks.holdsData(b));
    r.banks.recall(1);
    EXPECT_TRUE(r.log().entries().empty());
    EXPECT_EQ(r.rig.form.caption(), caption);
    EXPECT_FALSE(r.banks.holdsData(0));
    EXPECT_FALSE(r.banks.holdsData(5));
}

TEST(WaveBanks, AddLabelsTheBankAndRecallPutsTheLabelOnTheWindow)
{
    FilesRig r;
    r.rig.form.setCaption("Kelvane     Major Strings");
    r.menu().bankAdd(1).click();
    EXPECT_TRUE(r.banks.holdsData(1));
    EXPECT_TRUE(r.rig.form.bankLabel(1).visible());
    EXPECT_EQ(r.rig.form.bankLabel(1).text(), "F1   Kelvane     Major Strings");

    r.rig.form.setCaption("Minor Scale");
    r.banks.recall(1);
    EXPECT_EQ(r.rig.form.caption(), "F1   Kelvane     Major Strings");
    r.menu().bankAdd(2).click();
    EXPECT_EQ(r.rig.form.bankLabel(2).text(), "F2   F1   Kelvane     Major Strings");
    // Recalling never relabels the bank.
    EXPECT_EQ(r.rig.form.bankLabel(1).text(), "F1   Kelvane     Major Strings");
}

TEST(WaveBanks, RecallRestoresTheWholeSetupInTheBankOrder)
{
    FilesRig r;
    r.sw(1).channel.setValue(2);
    r.sw(1).program.setValue(5);
    r.sw(3).velocity.setValue(77);
    r.sw(3).gate.setValue(1);
    r.slots.slot(3).path = "/w/snare.wav";
    r.slots.slot(3).name = "snare.wav";
    r.slots.slot(3).volume = -1200;
    r.slots.slot(3).pan = 3000;
    r.slots.slot(3).loop = 1;
    r.slots.slot(3).loopCount = 34;
    r.menu().exclusiveWaves().setChecked(true);
    const PerformanceSetup stored = r.setup.capture();
    r.menu().bankAdd(3).click();

    r.menu().fileNew().click();
    r.menu().exclusiveWaves().setChecked(false);
    r.log().clear();
    r.banks.recall(3);
    EXPECT_EQ(r.setup.capture(), stored);
    EXPECT_EQ(r.log().startingWith("slot 3 "),
        (Log {"slot 3 path /w/snare.wav", "slot 3 name snare.wav", "slot 3 volume -1200", "slot 3 loop 1",
            "slot 3 pan 3000", "slot 3 loopcount 34", "slot 3 chosen"}));
    // Switch 1's program goes out as its bar changes, on its own channel.
    EXPECT_EQ(r.log().startingWith("midi"), (Log {"midi C1 05"}));
}

TEST(WaveBanks, ASlotEmptyWhenStoredIsEmptyAfterRecall)
{
    FilesRig r;
    r.menu().bankAdd(4).click();
    r.slots.slot(6).path = "/w/new.wav";
    r.slots.slot(6).name = "new.wav";
    r.banks.recall(4);
    EXPECT_EQ(r.slots.slot(6).path, "");
    EXPECT_EQ(r.slots.slot(6).name, "");
    EXPECT_FALSE(r.slots.slot(6).red);
}

TEST(WaveBanks, BanksOutliveNewAndOpen)
{
    FilesRig r;
    r.sw(2).note.setValue(0);
    r.menu().bankAdd(1).click();
    r.menu().fileNew().click();
    r.files.files["/f.dnc"] = encodePerformanceRecord(recordOf(r.setup.capture()));
    r.commands.openFile("/f.dnc");
    ASSERT_TRUE(r.banks.holdsData(1));
    r.banks.recall(1);
    EXPECT_EQ(r.sw(2).note.value(), 0);
}

TEST(WaveBanks, ExpertUserHidesMenusAndLabelsButKeepsTheBanks)
{
    FilesRig r;
    MenuItem& expert = r.menu().expertUser();
    for (int bank = 1; bank <= MainMenu::kBanks; ++bank)
        EXPECT_TRUE(r.menu().bankAdd(bank).enabled()) << bank;
    r.menu().bankAdd(1).click();
    expert.click(); // on: everything stays shown
    EXPECT_TRUE(r.rig.form.bankLabel(1).visible());
    expert.click(); // off: bank menus and labels hidden
    EXPECT_FALSE(r.menu().bankMenu(1).visible());
    EXPECT_FALSE(r.rig.form.bankLabel(1).visible());
    EXPECT_TRUE(r.banks.holdsData(1));
    // A store shows its label again even while Expert User is off.
    r.banks.store(2);
    EXPECT_TRUE(r.rig.form.bankLabel(2).visible());
    EXPECT_FALSE(r.rig.form.bankLabel(1).visible());
}

} // namespace
} // namespace kelvane::testing
