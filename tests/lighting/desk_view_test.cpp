// The desk's window on the real pause: fade steps sleep and then run the
// program's pending events, so the main window's switches play during a fade,
// and closing either window during one ends it cleanly.
#include "DeskRig.h"
#include "FindWidget.h"
#include "LightDeskView.h"
#include "ViewRig.h"
#include "desktop/QtPause.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

using namespace kelvane;
using namespace kelvane::testing;

namespace {

struct DeskViewRig : ViewRig {
    DeskViewRig() : desk(LightFormPorts {midi, realPause, environment}, form), deskView(desk)
    {
        form.attachLightingDesk(desk);
        shown();
        // The start-up timer's wake of the wave player comes 50 ms after the
        // load, long before a performer reaches the desk; waited for here, so
        // that a slow run (sanitizers) does not log it in the middle of a fade.
        if (!QTest::qWaitFor([this] { return !form.startupTimer().enabled(); }, 5000))
            throw std::runtime_error("the start-up timer never fired");
        menu().lightingDesk().click();
        QCoreApplication::processEvents();
        log.clear();
    }

    template <typename W = QWidget> W& deskWidget(const char* name) { return findWidget<W>(deskView, name); }

    // Runs `action` on the event loop once fader 1 of the desk reaches `level`:
    // it is then one of the events that the fade's next pause handles.
    void whenChannelOneReaches(int level, std::function<void()> action)
    {
        desk.channel(1).fader.changed().connect([this, level, action] {
            if (desk.channel(1).fader.value() == level)
                QTimer::singleShot(0, deskView.window(), action);
        });
    }

    // A left click on a desk button: press, then the release that runs the fade.
    void clickDesk(const char* name)
    {
        auto& button = deskWidget<QPushButton>(name);
        QTest::mousePress(&button, Qt::LeftButton);
        QTest::mouseRelease(&button, Qt::LeftButton);
    }

    std::ptrdiff_t position(const std::string& entry) const
    {
        const Log& entries = log.entries();
        return std::find(entries.begin(), entries.end(), entry) - entries.begin();
    }

    views::QtPause realPause;
    LightForm desk;
    views::LightDeskView deskView;
};

} // namespace

TEST(DeskView, OpensFromTheMenuAsItsOwnWindowWithEveryControlNamed)
{
    DeskViewRig rig;
    EXPECT_TRUE(rig.deskView.isVisible());
    EXPECT_TRUE(rig.view.isVisible()) << "modeless: the main window stays";
    EXPECT_EQ(rig.deskView.windowTitle(), "Lighting Desk");
    for (const Control* control : rig.desk.controls())
        EXPECT_NE(rig.deskView.findChild<QWidget*>(QString::fromStdString(control->name())), nullptr)
            << control->name();
    auto& fader = rig.deskWidget<QScrollBar>("Lux5");
    EXPECT_EQ(fader.orientation(), Qt::Vertical);
    EXPECT_EQ(fader.minimum(), -127) << "127 at the top";
    EXPECT_TRUE(fader.hasTracking());
    EXPECT_FALSE(rig.deskWidget<QLineEdit>("txtCha").isReadOnly());
    EXPECT_TRUE(rig.deskWidget<QLineEdit>("Text5").isReadOnly());
}

TEST(DeskView, TypedChannelAndVolumeOffReachTheDesk)
{
    DeskViewRig rig;
    auto& box = rig.deskWidget<QLineEdit>("txtCha");
    box.selectAll();
    QTest::keyClicks(&box, "5");
    EXPECT_EQ(rig.desk.txtCha.text(), "5");
    rig.deskWidget<QCheckBox>("chkVol").click();
    EXPECT_EQ(rig.log.entries(), (Log {midi(0xB4, 7, 0)}));
}

// The performance goes on under a fade: a switch pressed and released while
// the desk fades up sends its note-on and note-off between the fade's steps,
// and the fade carries on to 127 after them.
TEST(DeskView, SwitchPressedAndReleasedDuringARealFadeSoundsWhileTheFadeGoesOn)
{
    DeskViewRig rig;
    rig.desk.scrFadeTime.setValue(1);
    auto& sw1 = rig.widget<QPushButton>(rig.sw(1).button.name().c_str());
    int stopDuringFade = -1;
    rig.whenChannelOneReaches(10, [&] {
        stopDuringFade = rig.desk.fadeStop();
        QTest::mousePress(&sw1, Qt::LeftButton);
    });
    rig.whenChannelOneReaches(20, [&] { QTest::mouseRelease(&sw1, Qt::LeftButton); });

    rig.clickDesk("cmd1FadeUp");

    const Switch& s = rig.sw(1);
    const auto noteOn = rig.position(midi(143 + s.channel.value(), s.note.value(), s.velocity.value()));
    const auto noteOff = rig.position(midi(143 + s.channel.value(), s.note.value(), 0));
    const auto& entries = rig.log.entries();
    ASSERT_LT(noteOn, std::ssize(entries));
    ASSERT_LT(noteOff, std::ssize(entries));
    EXPECT_LT(rig.position(midi(0x9F, 37, 10)), noteOn);
    EXPECT_LT(noteOn, rig.position(midi(0x9F, 37, 11)));
    EXPECT_LT(rig.position(midi(0x9F, 37, 20)), noteOff);
    EXPECT_LT(noteOff, rig.position(midi(0x9F, 37, 21)));
    EXPECT_EQ(rig.log.startingWith("midi 9F").back(), midi(0x9F, 37, 127));
    EXPECT_EQ(rig.desk.channel(1).fader.value(), 127);
    EXPECT_EQ(rig.deskWidget<QLineEdit>("Text1").text(), "127");
    EXPECT_EQ(stopDuringFade, 0) << "the press reached the desk before the click";
    EXPECT_EQ(rig.desk.fadeStop(), 1) << "the release reached it after the click";
}

TEST(DeskView, ClosingTheDeskWindowDuringAFadeEndsItAndReopensFresh)
{
    DeskViewRig rig;
    rig.desk.scrFadeTime.setValue(1);
    rig.whenChannelOneReaches(5, [&] { rig.deskView.close(); });

    rig.clickDesk("cmdFadeUp");

    EXPECT_FALSE(rig.deskView.isVisible());
    EXPECT_EQ(rig.log.startingWith("midi").size(), 12u * 5u);
    rig.menu().lightingDesk().click();
    QCoreApplication::processEvents();
    EXPECT_TRUE(rig.deskView.isVisible());
    EXPECT_EQ(rig.deskWidget<QLineEdit>("Text1").text(), "0");
    EXPECT_EQ(rig.deskWidget<QScrollBar>("Lux1").value(), 0);
}

TEST(DeskView, ClosingTheMainWindowDuringAFadeEndsTheFadeAndTheProgram)
{
    DeskViewRig rig;
    rig.desk.scrFadeTime.setValue(1);
    rig.whenChannelOneReaches(3, [&] { rig.view.close(); });

    rig.clickDesk("cmd1FadeUp");
    QCoreApplication::processEvents(); // the views follow once the handler has returned

    EXPECT_TRUE(rig.environment.ended);
    EXPECT_FALSE(rig.deskView.isVisible());
    EXPECT_EQ(rig.desk.channel(1).fader.value(), 3);
    EXPECT_EQ(rig.log.entries().back(), "end program");
}

namespace {

// The desk alone on a screen of the given size, opened as the menu opens it.
struct DeskOnScreen {
    DeskOnScreen(int width, int height) : screen(rig.log, width, height)
    {
        desk.show();
        QCoreApplication::processEvents();
    }

    QScrollArea& scroller() { return *view.findChild<QScrollArea*>("deskScroller"); }

    ViewRig rig;
    fakes::FakeEnvironment screen;
    fakes::FakePause pause {rig.log};
    LightForm desk {LightFormPorts {rig.midi, pause, screen}, rig.form};
    views::LightDeskView view {desk};
};

} // namespace

// The desk once came up 1282 pixels wide, its right end (channel 12, the
// master, its settings and its close box) off a 1024x768 screen, and centred
// as if it were 900 wide.
TEST(DeskView, WholeAndCentredAsItReallyIsOnA1024x768Screen)
{
    DeskOnScreen on(1024, 768);
    EXPECT_EQ(on.view.size(), QSize(on.desk.width(), on.desk.height()));
    EXPECT_LE(on.view.width(), 1024);
    EXPECT_LE(on.view.height() + Window::kFrameAllowance, 768);
    EXPECT_EQ(on.view.pos(), QPoint((1024 - on.view.width()) / 2, (768 - on.view.height()) / 2));
    const QWidget* content = on.scroller().widget();
    EXPECT_LE(content->minimumSizeHint().width(), on.scroller().viewport()->width()) << "nothing to scroll";
    EXPECT_LE(content->minimumSizeHint().height(), on.scroller().viewport()->height()) << "nothing to scroll";
}

// On an 800x600 screen the desk takes the screen and its content scrolls to
// every control, as the main window's does.
TEST(DeskView, TakesAn800x600ScreenAndScrollsToEveryControl)
{
    DeskOnScreen on(800, 600);
    EXPECT_EQ(on.view.pos(), QPoint(0, 30));
    EXPECT_EQ(on.view.size(), QSize(800, 540));
    QScrollArea& scroller = on.scroller();
    ASSERT_GT(scroller.horizontalScrollBar()->maximum(), 0);
    for (const char* name :
        {"Lux12", "scrMaster", "cmdFadeDown", "txtMaster", "scrFadeTime", "chkVol", "cmdAllOff", "Command1", "Text1"}) {
        auto* control = on.view.findChild<QWidget*>(name);
        ASSERT_NE(control, nullptr) << name;
        const QPoint centre = control->mapTo(scroller.widget(), control->rect().center());
        scroller.ensureVisible(centre.x(), centre.y(), control->width() / 2 + 1, control->height() / 2 + 1);
        const QRect shown(control->mapTo(scroller.viewport(), QPoint(0, 0)), control->size());
        EXPECT_TRUE(scroller.viewport()->rect().contains(shown)) << name;
    }
}
