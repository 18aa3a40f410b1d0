// The program as main() wires it, on faked ports under the real views: one of
// each way in (a switch, a menu command, a file, a bank, a desk fade, a slide
// key) driven through the windows, the result read from the fakes. A wiring
// mistake in the assembly or its views fails here, whatever the form tests say.
#include "FindWidget.h"
#include "KelvaneViews.h"
#include "fakes/FakePorts.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kelvane;

namespace {

using Log = std::vector<std::string>;

struct Program {
    Program()
    {
        fake.environment.whileModal = [this](Window&) { kelvane.midiSetup().okButton.click(); };
    }

    // The program's start as main() runs it; the log starts empty.
    void start()
    {
        kelvane.start();
        windows.mainWindow().loadAndShow();
        QCoreApplication::processEvents();
        ASSERT_EQ(kelvane.mainForm().flags().startupDone, 1) << "the shown window was not activated";
        fake.log.clear();
    }

    template <typename W = QWidget> W& widget(QWidget& in, const std::string& name)
    {
        return kelvane::testing::findWidget<W>(in, name);
    }
    QAction& action(const MenuItem& item) { return widget<QAction>(windows.mainWindow(), item.name()); }
    void click(QWidget& widget)
    {
        QTest::mouseClick(&widget, Qt::LeftButton);
        QCoreApplication::processEvents();
    }
    void pressKey(int key)
    {
        QWidget& window = windows.mainWindow();
        QWidget& target = window.focusWidget() != nullptr ? *window.focusWidget() : window;
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(&target, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
        QApplication::sendEvent(&target, &release);
    }
    Switch& sw(int n) { return kelvane.mainForm().switches().at(n); }
    QWidget& switchButton(int n) { return widget(windows.mainWindow(), sw(n).button.name()); }

    fakes::FakePorts fake;
    Kelvane kelvane {fake.ports()};
    views::ModalViews modals;
    views::HelpViewer help;
    views::KelvaneViews windows {kelvane, modals, help};
};

} // namespace

TEST(ProgramWiring, ASwitchOnScreenPlaysItsNoteOnTheMidiPort)
{
    Program program;
    program.start();
    QTest::mousePress(&program.switchButton(1), Qt::LeftButton);
    QTest::mouseRelease(&program.switchButton(1), Qt::LeftButton);
    EXPECT_EQ(program.fake.log.startingWith("midi 9").size(), 2u) << "a note-on and its release";
}

TEST(ProgramWiring, MenuCommandsReachTheirWindows)
{
    Program program;
    program.start();
    MainMenu& menu = program.kelvane.mainForm().menu();

    program.action(menu.preferences()).trigger();
    QCoreApplication::processEvents();
    EXPECT_TRUE(program.windows.preferences().isVisible());

    program.action(menu.lightingDesk()).trigger();
    QCoreApplication::processEvents();
    EXPECT_TRUE(program.windows.lightingDesk().isVisible());

    program.action(menu.midiLearn()).trigger();
    QCoreApplication::processEvents();
    EXPECT_TRUE(program.windows.midiLearn().isVisible());
}

TEST(ProgramWiring, SaveAsThenOpenGoThroughTheFileStoreAndRestoreTheSwitches)
{
    Program program;
    program.start();
    MainMenu& menu = program.kelvane.mainForm().menu();
    program.sw(1).note.setValue(40);
    program.fake.dialogs.files.push_back("/stage/show.dnc");
    program.action(menu.saveAs()).trigger();
    ASSERT_EQ(program.fake.files.files.count("/stage/show.dnc"), 1u);

    program.sw(1).note.setValue(50);
    program.fake.dialogs.files.push_back("/stage/show.dnc");
    program.action(menu.open()).trigger();
    EXPECT_EQ(program.sw(1).note.value(), 40);
    EXPECT_EQ(program.fake.log.startingWith("file read /stage/show.dnc").size(), 1u);
}

TEST(ProgramWiring, F1RecallsWhatTheBanksAddStored)
{
    Program program;
    program.start();
    program.sw(2).note.setValue(44);
    program.action(program.kelvane.mainForm().menu().bankAdd(1)).trigger();
    program.sw(2).note.setValue(55);
    program.pressKey(Qt::Key_F1);
    EXPECT_EQ(program.sw(2).note.value(), 44);
}

TEST(ProgramWiring, ADeskFadeStepsOnTheProgramsPause)
{
    Program program;
    program.start();
    program.action(program.kelvane.mainForm().menu().lightingDesk()).trigger();
    LightChannel& channel = program.kelvane.lightingDesk().channel(1);
    channel.fader.setValue(125);
    program.fake.log.clear();
    program.click(program.widget(program.windows.lightingDesk(), channel.fadeUp.name()));
    const Log midi = program.fake.log.startingWith("midi");
    ASSERT_EQ(midi.size(), 2u) << "levels 126 and 127";
    EXPECT_EQ(midi.back().substr(midi.back().size() - 2), "7F");
    EXPECT_EQ(program.fake.log.startingWith("pause+events").size(), 3u);
}

TEST(ProgramWiring, ASwitchInSlideModeTypesTheKeyItsPreferenceChose)
{
    Program program;
    program.start();
    MainMenu& menu = program.kelvane.mainForm().menu();
    program.action(menu.preferences()).trigger();
    QCoreApplication::processEvents();
    program.click(
        program.widget(program.windows.preferences(), program.kelvane.preferences().previousOption(3).name()));
    program.action(menu.slideControl()).trigger();
    program.fake.log.clear();

    QTest::mousePress(&program.switchButton(3), Qt::LeftButton);
    QTest::mouseRelease(&program.switchButton(3), Qt::LeftButton);
    EXPECT_EQ(program.fake.log.startingWith("keys"), Log {"keys p"});
}

TEST(ProgramWiring, AFileNamedAtStartOpensOnceTheWindowIsUp)
{
    Program saving;
    saving.start();
    saving.sw(4).note.setValue(42);
    saving.fake.dialogs.files.push_back("/stage/show.dnc");
    saving.action(saving.kelvane.mainForm().menu().saveAs()).trigger();

    Program program;
    program.fake.files.files = saving.fake.files.files;
    program.kelvane.openWhenStarted("/stage/show.dnc");
    EXPECT_NE(program.sw(4).note.value(), 42);
    program.start();
    EXPECT_EQ(program.sw(4).note.value(), 42);
}
