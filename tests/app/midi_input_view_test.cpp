// The MIDI controller's windows as the performer sees them: the input list of
// the MIDI Setup window and the MIDI Learn window, driven with real
// (offscreen) mouse and key events over the core's rig of faked ports.
#include "FindWidget.h"
#include "MainWindowView.h"
#include "MidiLearnWindow.h"
#include "MidiRig.h"
#include "MidiSetupDialog.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>

using namespace kelvane;
using namespace kelvane::testing;

namespace {

template <typename W> W& widgetIn(QWidget& parent, const char* name) { return findWidget<W>(parent, name); }

} // namespace

TEST(MidiSetupInputList, ListsTheInputsUnderItsHeadingAndTheUsersChoiceIsTakenOnOk)
{
    MidiRig rig;
    views::MidiSetupDialog dialog(rig.setup);
    bool checked = false;
    rig.environment.whileModal = [&](Window&) {
        dialog.show();
        QCoreApplication::processEvents();
        auto& inputs = widgetIn<QComboBox>(dialog, "ComboMidiIn");
        EXPECT_EQ(widgetIn<QLabel>(dialog, "Label1").buddy(), &inputs);
        ASSERT_EQ(inputs.count(), 3);
        EXPECT_EQ(inputs.itemText(0), "(none)");
        EXPECT_EQ(inputs.currentText(), "Pads") << "the remembered choice";
        rig.input.plug("Drums"); // plugged in while the window is open
        QCoreApplication::processEvents();
        EXPECT_EQ(inputs.itemText(3), "Drums");
        if (const char* file = std::getenv("KELVANE_SCREENSHOT_SETUP_INPUT"))
            dialog.grab().save(file);
        inputs.setFocus();
        QTest::keyClick(&inputs, Qt::Key_Down); // Pedal
        QTest::mouseClick(&widgetIn<QPushButton>(dialog, "CmdOk"), Qt::LeftButton);
        checked = true;
    };
    rig.started();
    EXPECT_TRUE(checked);
    EXPECT_EQ(rig.input.openPort(), "Pedal");
    EXPECT_EQ(rig.controller.settings().current().input, "Pedal");
}

TEST(MidiLearnWindow, OpensFromTheMidiMenuLearnsAHitAndThePadsPlayWhileItHasTheFocus)
{
    MidiRig rig;
    views::MainWindowView main(rig.form);
    views::MidiLearnWindow learn(rig.controller.learnForm());
    rig.controller.start();
    main.loadAndShow();
    QCoreApplication::processEvents();

    main.findChild<QAction*>("mnuMidiLearn")->trigger();
    QCoreApplication::processEvents();
    ASSERT_TRUE(learn.isVisible());
    EXPECT_EQ(learn.windowTitle(), "MIDI Learn");
    auto& binding = widgetIn<QLabel>(learn, "lblBinding3");
    EXPECT_EQ(binding.text(), "Note 38, any channel");

    QTest::mouseClick(&widgetIn<QPushButton>(learn, "cmdLearn3"), Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(binding.text(), "Hit a pad or press a pedal ...");
    if (const char* file = std::getenv("KELVANE_SCREENSHOT_LEARN"))
        learn.grab().save(file);
    rig.controlChange(64, 127, 2);
    QCoreApplication::processEvents();
    EXPECT_EQ(binding.text(), "Controller 64, any channel");
    QTest::mouseClick(&widgetIn<QCheckBox>(learn, "chkPadVelocity3"), Qt::LeftButton);
    EXPECT_TRUE(rig.controller.settings().binding(3).padVelocity);

    // The learn window has the focus, not the main window: the pads play all the same.
    learn.activateWindow();
    learn.setFocus();
    rig.log.clear();
    rig.controlChange(64, 100, 2);
    QCoreApplication::processEvents();
    EXPECT_EQ(rig.log.startingWith("midi 90"), (Log {"midi 90 40 64"}));
    EXPECT_TRUE(rig.sw(3).indicator.lit());

    learn.close(); // the title bar's close box
    QCoreApplication::processEvents();
    EXPECT_FALSE(rig.controller.learnForm().visible());
    EXPECT_FALSE(learn.isVisible());
}
