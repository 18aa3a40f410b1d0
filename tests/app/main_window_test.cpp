// The main window's view: real mouse and key events on the bound widgets reach
// the form and the MIDI port, and the widgets show what the controls hold.
#include "ScrollBarParts.h"
#include "ViewRig.h"

#include "bindings/BoundScrollBar.h"
#include "bindings/IndicatorWidget.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace kelvane;
using namespace kelvane::testing;

namespace {

std::string noteOn(const Switch& s, int velocity)
{
    return "midi " + fakes::FakeMidiOutput::format(ShortMessage {143 + s.channel.value(), s.note.value(), velocity});
}

void clickArrow(QScrollBar& bar, QStyle::SubControl arrow)
{
    QTest::mouseClick(&bar, Qt::LeftButton, Qt::NoModifier, centreOf(bar, arrow));
}

QColor centrePixel(QWidget& widget)
{
    const QImage image = widget.grab().toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

} // namespace

TEST(MainWindowView, PressAndReleaseOfAnyMouseButtonOnSwitchOneReachTheMidiPort)
{
    ViewRig rig;
    rig.shown();
    auto& button = rig.widget<QPushButton>("Command19");
    const Switch& s = rig.sw(1);

    for (Qt::MouseButton mouse : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
        rig.log.clear();
        QTest::mousePress(&button, mouse);
        EXPECT_EQ(rig.log.startingWith("midi"), Log {noteOn(s, s.velocity.value())}) << "button " << mouse;
        EXPECT_TRUE(button.isDown());
        QTest::mouseRelease(&button, mouse);
        EXPECT_EQ(rig.log.startingWith("midi"), (Log {noteOn(s, s.velocity.value()), noteOn(s, 0)}))
            << "button " << mouse;
        EXPECT_FALSE(button.isDown());
    }
}

TEST(MainWindowView, EachSwitchButtonPlaysItsOwnSwitchAndItsIndicatorShowsTheHold)
{
    ViewRig rig;
    rig.shown();
    for (int n = 1; n <= 8; ++n) {
        const Switch& s = rig.sw(n);
        auto& button = rig.widget<QPushButton>(s.button.name().c_str());
        auto& indicator = rig.widget<views::IndicatorWidget>(s.indicator.name().c_str());
        EXPECT_EQ(button.text().toStdString(), "sw" + std::to_string(n));

        rig.log.clear();
        QTest::mousePress(&button, Qt::LeftButton);
        EXPECT_EQ(rig.log.startingWith("midi"), Log {noteOn(s, s.velocity.value())}) << "switch " << n;
        rig.settle();
        EXPECT_EQ(centrePixel(indicator), indicator.colour()) << "switch " << n << " lit";
        QTest::mouseRelease(&button, Qt::LeftButton);
        rig.settle();
        EXPECT_NE(centrePixel(indicator), indicator.colour()) << "switch " << n << " dark";
    }
}

TEST(MainWindowView, WhileASwitchIsHeldItsNoteAndChannelBarsCannotBeMoved)
{
    ViewRig rig;
    rig.shown();
    auto& note = rig.widget<QScrollBar>("HScroll1");
    auto& channel = rig.widget<QScrollBar>("VScroll2");
    auto& velocity = rig.widget<QScrollBar>("HScroll8");
    auto& program = rig.widget<QScrollBar>("VScroll1");
    const int noteBefore = rig.sw(1).note.value();

    QTest::mousePress(&rig.widget("Command20"), Qt::LeftButton);
    // The lock shows once the press handler has returned and the loop turns.
    EXPECT_TRUE(note.isEnabled());
    rig.settle();
    EXPECT_FALSE(note.isEnabled());
    EXPECT_FALSE(channel.isEnabled());
    EXPECT_FALSE(rig.widget("HScroll17").isEnabled());
    EXPECT_TRUE(velocity.isEnabled());
    EXPECT_TRUE(program.isEnabled());
    clickArrow(note, QStyle::SC_ScrollBarAddLine);
    clickArrow(channel, QStyle::SC_ScrollBarSubLine);
    EXPECT_EQ(rig.sw(1).note.value(), noteBefore);
    EXPECT_EQ(rig.sw(1).channel.value(), 1);

    QTest::mouseRelease(&rig.widget("Command20"), Qt::LeftButton);
    rig.settle();
    EXPECT_TRUE(note.isEnabled());
    clickArrow(note, QStyle::SC_ScrollBarAddLine);
    rig.settle();
    EXPECT_EQ(rig.sw(1).note.value(), noteBefore + 1);
    EXPECT_EQ(rig.sw(1).noteBox.text(), std::to_string(noteBefore + 1));
    EXPECT_EQ(rig.widget<QLineEdit>("L1txt").text().toStdString(), std::to_string(noteBefore + 1));
}

TEST(MainWindowView, ChannelBarRunsDownwardAndItsTopArrowRaisesTheChannel)
{
    ViewRig rig;
    rig.shown();
    auto& bar = rig.widget<QScrollBar>("VScroll2");
    EXPECT_EQ(bar.orientation(), Qt::Vertical);
    EXPECT_EQ(bar.minimum(), -16);
    EXPECT_EQ(bar.maximum(), -1);
    EXPECT_EQ(bar.value(), -1);

    clickArrow(bar, QStyle::SC_ScrollBarSubLine);
    EXPECT_EQ(rig.sw(1).channel.value(), 2);
    EXPECT_EQ(bar.value(), -2);
    rig.settle();
    EXPECT_EQ(rig.widget<QLineEdit>("MIDICha").text(), "2");

    clickArrow(bar, QStyle::SC_ScrollBarAddLine);
    clickArrow(bar, QStyle::SC_ScrollBarAddLine); // already at channel 1: stays
    EXPECT_EQ(rig.sw(1).channel.value(), 1);

    // The form's writes reach the widget too.
    rig.sw(1).channel.setValue(10);
    rig.settle();
    EXPECT_EQ(bar.value(), -10);
    EXPECT_EQ(rig.widget<QLineEdit>("Text1").text(), "Drum Kit");
}

TEST(MainWindowView, PlusOnAFocusedProgramBarWrapsThroughTheForm)
{
    ViewRig rig;
    rig.shown();
    auto& bar = rig.widget<QScrollBar>("VScroll1");
    EXPECT_EQ(bar.minimum(), -128);
    EXPECT_EQ(bar.maximum(), 1);
    rig.sw(1).program.setValue(127);
    rig.settle();
    EXPECT_EQ(bar.value(), -127);
    rig.log.clear();

    bar.setFocus();
    QTest::keyClick(&bar, Qt::Key_Plus, Qt::NoModifier);
    rig.settle();
    EXPECT_EQ(rig.sw(1).program.value(), 0);
    EXPECT_EQ(bar.value(), 0);
    EXPECT_EQ(rig.widget<QLineEdit>("prgchngetext").text(), "0");
    // The wrapped run and the outer run each send the change on channel 1.
    EXPECT_GE(rig.log.startingWith("midi C0 00").size(), 2U);

    QTest::keyClick(&bar, Qt::Key_Minus, Qt::NoModifier);
    rig.settle();
    EXPECT_EQ(rig.sw(1).program.value(), 127);
    EXPECT_EQ(bar.value(), -127);

    // Switch 7's program bar takes no "+".
    auto& seventh = rig.widget<QScrollBar>("VScroll17");
    const int before = rig.sw(7).program.value();
    seventh.setFocus();
    QTest::keyClick(&seventh, Qt::Key_Plus, Qt::NoModifier);
    EXPECT_EQ(rig.sw(7).program.value(), before);
}

TEST(MainWindowView, OnlyTheFirstSixProgramBarsTrackTheThumb)
{
    ViewRig rig;
    for (int n = 1; n <= 8; ++n) {
        const Switch& s = rig.sw(n);
        EXPECT_EQ(rig.widget<QScrollBar>(s.program.name().c_str()).hasTracking(), n <= 6) << "switch " << n;
        EXPECT_FALSE(rig.widget<QScrollBar>(s.note.name().c_str()).hasTracking()) << "switch " << n;
    }
    EXPECT_EQ(rig.widget<QScrollBar>("HScroll8").pageStep(), 10); // switch 1's velocity: large change 10
}

namespace {

std::string portable(const QKeySequence& keys) { return keys.toString(QKeySequence::PortableText).toStdString(); }

// The whole menu tree as text, one line per entry, so a difference in
// caption, name, shortcut or order shows as one failing comparison.
void describeTree(const MenuItem& menu, int depth, std::vector<std::string>& out)
{
    for (const auto& child : menu.children()) {
        out.push_back(std::string(static_cast<std::size_t>(depth) * 2, ' ') + child->name() + " ["
            + (child->isSeparator() ? std::string() : child->caption()) + "] " + child->shortcut());
        describeTree(*child, depth + 1, out);
    }
}

void describeActions(const QList<QAction*>& actions, int depth, std::vector<std::string>& out)
{
    for (QAction* action : actions) {
        out.push_back(std::string(static_cast<std::size_t>(depth) * 2, ' ') + action->objectName().toStdString() + " ["
            + action->text().toStdString() + "] " + portable(action->shortcut()));
        if (action->menu())
            describeActions(action->menu()->actions(), depth + 1, out);
    }
}

} // namespace

TEST(MainWindowView, MenuBarShowsTheFormsMenusInOrderWithCaptionsAndShortcuts)
{
    ViewRig rig;
    std::vector<std::string> expected;
    std::vector<std::string> shown;
    describeTree(rig.menu().bar(), 0, expected);
    describeActions(rig.view.menuBar()->actions(), 0, shown);
    EXPECT_EQ(shown, expected);
    EXPECT_TRUE(rig.view.findChild<QAction*>("mnuFileSep1")->isSeparator());
}

TEST(MainWindowView, MenuActionsRunTheFormsCommandsAndShowTheirState)
{
    ViewRig rig;
    rig.shown();
    auto* octaveUp = rig.view.findChild<QAction*>("Octaveup");
    auto* expert = rig.view.findChild<QAction*>("mnuExpert");
    auto* generalMidi = rig.view.findChild<QAction*>("GM");
    auto* bankMenu = rig.view.findChild<QAction*>("F1");
    const int note = rig.sw(1).note.value();

    octaveUp->trigger();
    rig.settle();
    EXPECT_EQ(rig.widget<QScrollBar>("HScroll1").value(), note + 12);

    EXPECT_TRUE(generalMidi->isChecked());
    generalMidi->trigger();
    rig.settle();
    EXPECT_FALSE(generalMidi->isChecked());
    EXPECT_TRUE(rig.widget("Text1").isHidden());

    EXPECT_FALSE(expert->isChecked());
    EXPECT_TRUE(bankMenu->isVisible());
    expert->trigger();
    rig.settle();
    EXPECT_TRUE(expert->isChecked());
    expert->trigger();
    rig.settle();
    EXPECT_FALSE(expert->isChecked());
    EXPECT_FALSE(bankMenu->isVisible());

    // The program attaches the lighting desk as it is built.
    EXPECT_TRUE(rig.view.findChild<QAction*>("mnuLightDesk")->isEnabled());
    EXPECT_TRUE(rig.view.findChild<QAction*>("New")->isEnabled());
}

TEST(MainWindowView, CaptionFollowsTheFormAndClosingTheWindowUnloadsIt)
{
    ViewRig rig;
    rig.view.loadAndShow();
    EXPECT_EQ(rig.log.entries().front(), "slot reset loop counts"); // load ran before the show
    QCoreApplication::processEvents();
    EXPECT_EQ(rig.view.windowTitle(), "Kelvane     Major Strings");
    EXPECT_EQ(rig.log.startingWith("modal"), Log {"modal MIDISetupForm"});

    rig.form.setCaption("Kelvane     Pentatonic Scale");
    rig.settle();
    EXPECT_EQ(rig.view.windowTitle(), "Kelvane     Pentatonic Scale");

    // A later activation does not run the start-up steps again. The start-up
    // timer's own call is not one of them: stop it, so a slow machine that
    // lets 50 ms pass here does not log it.
    rig.form.startupTimer().setEnabled(false);
    rig.log.clear();
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(&rig.view, &activate);
    QCoreApplication::processEvents();
    EXPECT_TRUE(rig.log.entries().empty());

    rig.view.close();
    EXPECT_EQ(rig.log.entries(),
        (Log {"midi close", "joystick Stavik1 enabled 0", "joystick Stavik2 enabled 0", "wave StopAllBuffers",
            "end program"}));
}

TEST(MainWindowView, StartupTimerRunsWhileItsControlIsEnabled)
{
    ViewRig rig;
    rig.view.loadAndShow();
    auto* timer = rig.view.findChild<QTimer*>("TimerStartup");
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 50);
    rig.form.startupTimer().setEnabled(false);
    EXPECT_FALSE(timer->isActive());
}

TEST(MainWindowView, LayoutFitsTheSmallestStageScreenWithoutOverlaps)
{
    ViewRig rig;
    rig.shown();
    EXPECT_LE(rig.view.width(), 1280);
    EXPECT_LE(rig.view.height(), 800 - 40); // room for a title bar and a panel

    // Every control's widget, in window coordinates.
    std::vector<std::pair<std::string, QRect>> placed;
    for (Control* control : rig.form.controls()) {
        auto* widget = rig.view.findChild<QWidget*>(QString::fromStdString(control->name()));
        if (!widget || widget->isWindow()) // menus are windows of their own
            continue;
        placed.emplace_back(control->name(), QRect(widget->mapTo(&rig.view, QPoint(0, 0)), widget->size()));
    }
    EXPECT_GE(placed.size(), 8U * 11U); // the eleven shown controls of every switch
    for (std::size_t i = 0; i < placed.size(); ++i) {
        EXPECT_TRUE(rig.view.rect().contains(placed[i].second)) << placed[i].first << " lies outside the window";
        for (std::size_t j = i + 1; j < placed.size(); ++j)
            EXPECT_FALSE(placed[i].second.intersects(placed[j].second))
                << placed[i].first << " overlaps " << placed[j].first;
    }

    if (const char* file = std::getenv("KELVANE_SCREENSHOT")) {
        rig.menu().preset(3).click(); // long instrument names
        rig.sw(3).indicator.setFill(Shape::Fill::Solid); // one lit indicator, to see both states
        rig.view.grab().save(file);
    }
}

TEST(MainWindowView, PressingASwitchLeavesTheFocusOnTheProgramBarBeingAdjusted)
{
    ViewRig rig;
    rig.shown();
    auto& bar = rig.widget<QScrollBar>("VScroll1");
    bar.setFocus();
    ASSERT_TRUE(bar.hasFocus());
    auto& button = rig.widget<QPushButton>("Command19");
    QTest::mousePress(&button, Qt::LeftButton);
    QTest::mouseRelease(&button, Qt::LeftButton);
    rig.settle();
    EXPECT_TRUE(bar.hasFocus()) << "the focus went to "
                                << (QApplication::focusWidget()
                                           ? QApplication::focusWidget()->objectName().toStdString()
                                           : std::string("nothing"));
}
