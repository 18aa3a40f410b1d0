// Playing from the computer keyboard and the mouse as on stage, under a real
// X server (each case runs under an Xvfb of its own): a key held on a busy
// machine plays one note, and a key or switch held while another program
// takes the keyboard focus ends its note and its gated wave.
#include <gtest/gtest.h>

#include "XStage.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLineEdit>

#include <X11/keysym.h>

#include <algorithm>

using namespace kelvane;
using namespace kelvane::testing;

// X11 sends a held key as a release and a press for every repeat, and the
// toolkit took a repeat for a real release whenever its press had not yet
// arrived: the note struck again, after note-offs for all eight switches,
// and the wave started over, more often the busier the machine.
TEST(HeldKeyOnABusyMachine, TwentyHoldsOfADigitKeyEachPlayOneNoteOneReleaseAndOneWave)
{
    constexpr int kHolds = 20;
    constexpr int kHoldMs = 1500;
    XStage stage;
    ASSERT_TRUE(stage.windowActive);
    EXPECT_EQ(stage.repeatProblem, "") << "the X server must report held keys as repeated presses";
    stage.slot(1).setPath("/stage/kick.wav");
    XInput input;
    ASSERT_TRUE(input.connected());
    input.repeatHeldKeys(660, 40); // the X server's defaults: about 21 repeats in a hold
    const BusyCpu busy(2);
    ASSERT_EQ(busy.running(), 2U);

    std::size_t strikes = 0;
    std::size_t mostInAHold = 0;
    for (int hold = 1; hold <= kHolds; ++hold) {
        SCOPED_TRACE("hold " + std::to_string(hold));
        stage.log.clear();
        input.key(XK_1, true);
        XStage::idle(kHoldMs);
        input.key(XK_1, false);
        ASSERT_TRUE(XStage::within(5000, [&] { return stage.noteOffs() >= 8; })) << "the release never came";
        XStage::idle(50);

        const std::size_t keyDowns = stage.log.startingWith("midi C0").size() / 16;
        EXPECT_GE(keyDowns, 2U) << "the key must have repeated while held";
        EXPECT_EQ(stage.log.startingWith("midi 90 3C 78").size(), 1U);
        EXPECT_EQ(stage.noteOffs(), 8U);
        EXPECT_EQ(stage.log.startingWith("wave PlayBuffer").size(), 1U);
        EXPECT_EQ(stage.form.flags().keyHeld, 0);
        strikes += stage.log.startingWith("midi 90 3C 78").size();
        mostInAHold = std::max(mostInAHold, stage.log.startingWith("midi 90 3C 78").size());
    }
    std::printf("%d holds of %d ms: %zu note-ons, at most %zu in one hold\n", kHolds, kHoldMs, strikes, mostInAHold);
}

// The main window with a gated, long loop on switch 1, and the performer's
// keyboard and mouse.
class FocusLeavesKelvane : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(stage.windowActive);
        ASSERT_TRUE(input.connected());
        stage.gatedLongLoopOnSlot1();
    }

    // Key 1 goes down and its note and loop start.
    void holdKey1()
    {
        input.key(XK_1, true);
        ASSERT_TRUE(XStage::within(3000, [&] { return stage.noteOns() == 1; }));
        ASSERT_EQ(stage.playingBuffers(), (std::set<std::string> {"1"}));
    }

    // Long enough for the toolkit to see a focus change through.
    static constexpr int kSettleMs = 300;
    XStage stage;
    XInput input;
};

// A key let go while another program has the focus never reaches Kelvane;
// its note and its gated loop sounded on until some later key did.
TEST_F(FocusLeavesKelvane, AKeyHeldIsReleasedAndItsLaterReleaseElsewhereChangesNothing)
{
    holdKey1();
    {
        FocusThief thief;
        ASSERT_TRUE(thief.hasFocus());
        QElapsedTimer sinceFocusTaken;
        sinceFocusTaken.start();
        input.key(XK_1, false); // reaches the other program
        ASSERT_TRUE(XStage::within(3000, [&] { return stage.noteOffs() >= 8; })) << "the note was stranded";
        std::printf("the note ended %lld ms after the other program took the focus\n",
            static_cast<long long>(sinceFocusTaken.elapsed()));
        const std::size_t entries = stage.log.entries().size();
        XStage::idle(kSettleMs);
        EXPECT_EQ(stage.log.entries().size(), entries) << "nothing more after the focus left";
    }
    EXPECT_EQ(stage.noteOffs(), 8U);
    EXPECT_TRUE(stage.soundingNotes().empty());
    EXPECT_TRUE(stage.playingBuffers().empty()) << "the gated loop must have stopped";
    EXPECT_EQ(stage.form.flags().keyHeld, 0);
    EXPECT_TRUE(stage.form.switches().at(1).note.enabled()) << "the bars are unlocked";
}

// The mouse button's release comes back to Kelvane through the X server's
// implicit grab, wherever the focus went: the switch ends on that release.
TEST_F(FocusLeavesKelvane, ASwitchHeldWithTheMouseEndsWhenTheButtonIsLetGo)
{
    QWidget& button = *stage.view.findChild<QWidget*>("Command19");
    input.pointerTo(button.mapToGlobal(button.rect().center()));
    XStage::idle(kSettleMs);

    input.leftButton(true);
    ASSERT_TRUE(XStage::within(3000, [&] { return stage.noteOns() == 1; }));
    {
        FocusThief thief;
        ASSERT_TRUE(thief.hasFocus());
        XStage::idle(kSettleMs);
        EXPECT_EQ(stage.noteOffs(), 0U) << "the switch is still held";
        input.leftButton(false);
        ASSERT_TRUE(XStage::within(3000, [&] { return stage.noteOffs() >= 1; }));
        XStage::idle(kSettleMs);
    }
    EXPECT_EQ(stage.log.startingWith("midi 90 3C 00").size(), 1U);
    EXPECT_TRUE(stage.soundingNotes().empty());
    EXPECT_TRUE(stage.playingBuffers().empty()) << "the gated loop must have stopped";
}

// Kelvane's own windows taking the focus are no reason to end a held key: its
// release there ends it, once.
TEST_F(FocusLeavesKelvane, MovingBetweenKelvanesOwnWindowsReleasesNothing)
{
    holdKey1();
    QDialog box(&stage.view);
    auto* answer = new QLineEdit(&box);
    box.show();
    box.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&box, 5000));
    answer->setFocus();
    XStage::idle(kSettleMs);
    EXPECT_EQ(stage.noteOffs(), 0U) << "the key is still held";
    EXPECT_EQ(stage.playingBuffers(), (std::set<std::string> {"1"}));

    input.key(XK_1, false);
    ASSERT_TRUE(XStage::within(3000, [&] { return stage.noteOffs() >= 8; }));
    XStage::idle(kSettleMs);
    EXPECT_EQ(stage.noteOffs(), 8U);
    EXPECT_TRUE(stage.soundingNotes().empty());
    EXPECT_TRUE(stage.playingBuffers().empty());
}

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
