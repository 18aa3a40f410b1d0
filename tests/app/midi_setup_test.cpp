// The MIDI Setup window run modally through the desktop environment: the
// user's choice, Ok, Cancel and the title bar's close reach the form.
#include "FindWidget.h"
#include "HelpViewer.h"
#include "MidiSetupDialog.h"
#include "desktop/QtEnvironment.h"
#include "fakes/FakeDesktop.h"
#include "fakes/FakeMidiOutput.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace kelvane;
using Log = std::vector<std::string>;

namespace {

struct SetupRig {
    SetupRig() : midi(log, {"Port A", "Port B"}), dialogs(log), environment(modals, help, dialogs, "/nowhere")
    {
        midi.logSelections(false);
        modals.add(form, dialog);
    }

    // Shows the window modally; `user` runs once the dialog is up.
    void showModal(std::function<void()> user)
    {
        QTimer::singleShot(0, &dialog, [user] { user(); });
        form.showModal();
    }

    template <typename W> W& widget(const char* name) { return kelvane::testing::findWidget<W>(dialog, name); }

    fakes::EffectLog log;
    fakes::FakeMidiOutput midi;
    fakes::FakeDialogs dialogs;
    views::ModalViews modals;
    views::HelpViewer help;
    views::QtEnvironment environment;
    MidiSetupForm form {midi, environment};
    views::MidiSetupDialog dialog {form};
};

} // namespace

TEST(MidiSetupDialog, ChoosingTheThirdEntryAndOkOpensDeviceOne)
{
    SetupRig rig;
    bool sawDialog = false;
    rig.showModal([&] {
        sawDialog = rig.dialog.isVisible();
        EXPECT_EQ(rig.dialog.windowTitle(), "MIDI Setup");
        EXPECT_EQ(rig.widget<QLabel>("Label2").text(), "MIDI Out Device");
        EXPECT_EQ(rig.widget<QLabel>("Label1").text(), "MIDI In Device");
        auto& list = rig.widget<QComboBox>("ComboMidiOut");
        EXPECT_EQ(list.count(), 3);
        EXPECT_EQ(list.currentIndex(), 0);
        if (const char* file = std::getenv("KELVANE_SCREENSHOT_SETUP"))
            rig.dialog.grab().save(file);
        list.setFocus();
        QTest::keyClick(&list, Qt::Key_Down); // the user's own choice, entry by entry
        QTest::keyClick(&list, Qt::Key_Down);
        QTest::mouseClick(&rig.widget<QPushButton>("CmdOk"), Qt::LeftButton);
    });
    EXPECT_TRUE(sawDialog);
    EXPECT_FALSE(rig.dialog.isVisible());
    EXPECT_EQ(rig.form.comboMidiOut.listIndex(), 2);
    // Loading opened the mapper; Ok closes it and opens device 1.
    EXPECT_EQ(rig.log.entries(), (Log {"midi close", "midi open -1", "midi close", "midi open 1"}));

    // Shown again: the earlier choice is selected and nothing is applied until Ok.
    rig.log.clear();
    rig.showModal([&] {
        EXPECT_EQ(rig.widget<QComboBox>("ComboMidiOut").currentIndex(), 2);
        EXPECT_TRUE(rig.log.entries().empty());
        QTest::mouseClick(&rig.widget<QPushButton>("CmdCancel"), Qt::LeftButton);
    });
    EXPECT_FALSE(rig.form.loaded());
    EXPECT_TRUE(rig.log.entries().empty());
}

TEST(MidiSetupDialog, TitleBarCloseAndEscapeAreCancel)
{
    SetupRig rig;
    rig.showModal([&] { rig.dialog.close(); });
    EXPECT_FALSE(rig.form.loaded());
    EXPECT_FALSE(rig.form.visible());
    EXPECT_FALSE(rig.dialog.isVisible());

    rig.showModal([&] { QTest::keyClick(&rig.dialog, Qt::Key_Escape); });
    EXPECT_FALSE(rig.form.loaded());
    EXPECT_FALSE(rig.dialog.isVisible());
    // Each showing after a Cancel loaded the window again: mapper opened twice.
    EXPECT_EQ(rig.log.startingWith("midi open"), (Log {"midi open -1", "midi open -1"}));
}
