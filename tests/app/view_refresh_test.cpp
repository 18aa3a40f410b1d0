// Views follow their controls after the handler that changed them has
// returned: once per control and turn of the event loop, with the final state.
#include "ViewRig.h"

#include "bindings/BoundScrollBar.h"
#include "bindings/ControlLink.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using namespace kelvane;
using namespace kelvane::testing;

namespace {

// What a widget shows, against what its control holds; empty when they agree.
std::string mismatch(QWidget& widget, Control& control)
{
    std::string why;
    if (widget.isEnabled() != control.enabled())
        why += " enabled";
    if (widget.isHidden() == control.visible())
        why += " visible";
    if (auto* bar = dynamic_cast<views::BoundScrollBar*>(&widget)) {
        if (bar->value() != bar->widgetValue(bar->control().value()))
            why += " value " + std::to_string(bar->controlValue(bar->value())) + " for "
                + std::to_string(bar->control().value());
    } else if (auto* box = dynamic_cast<QLineEdit*>(&widget)) {
        if (box->text().toStdString() != dynamic_cast<TextBox&>(control).text())
            why += " text \"" + box->text().toStdString() + "\"";
    } else if (auto* label = dynamic_cast<QLabel*>(&widget)) {
        if (label->text().toStdString() != dynamic_cast<TextBox&>(control).text())
            why += " text \"" + label->text().toStdString() + "\"";
    }
    return why;
}

// Every control of the window whose widget disagrees with it, by name.
std::vector<std::string> stale(ViewRig& rig)
{
    std::vector<std::string> names;
    for (Control* control : rig.form.controls()) {
        auto* widget = rig.view.findChild<QWidget*>(QString::fromStdString(control->name()));
        if (!widget || widget->isWindow()) // a menu is a window of its own, shown when opened
            continue;
        const std::string why = mismatch(*widget, *control);
        if (!why.empty())
            names.push_back(control->name() + why);
    }
    return names;
}

} // namespace

TEST(ViewRefresh, AfterAPresetAndAScaleEveryWidgetShowsItsControlsFinalValue)
{
    ViewRig rig;
    rig.shown();
    ASSERT_EQ(stale(rig), std::vector<std::string> {});

    MainMenu& menu = rig.menu();
    // Orchestra, Pentatonic, Drum Kit, Augmented Chord, then a transposition and a velocity step.
    for (MenuItem* item : {&menu.preset(2), &menu.noteTable(1), &menu.preset(1), &menu.noteTable(8), &menu.octaveUp(),
             &menu.velocityDown()}) {
        item->click();
        // Inside the cascade nothing was drawn: the widgets still show the
        // state before the command.
        EXPECT_NE(stale(rig), std::vector<std::string> {}) << item->name();
        rig.settle();
        EXPECT_EQ(stale(rig), std::vector<std::string> {}) << "after " << item->name();
    }
}

TEST(ViewRefresh, AHeldSwitchShowsItsLockOnlyAfterThePressHandlerAndThenMatchesEverywhere)
{
    ViewRig rig;
    rig.shown();
    auto& button = rig.widget("Command19");
    QTest::mousePress(&button, Qt::LeftButton);
    EXPECT_TRUE(rig.widget("HScroll1").isEnabled()); // the note left before the screen changed
    rig.settle();
    EXPECT_EQ(stale(rig), std::vector<std::string> {});
    EXPECT_FALSE(rig.widget("HScroll1").isEnabled());
    QTest::mouseRelease(&button, Qt::LeftButton);
    rig.settle();
    EXPECT_EQ(stale(rig), std::vector<std::string> {});
    EXPECT_TRUE(rig.widget("HScroll1").isEnabled());
}

TEST(ControlLink, ManyChangesInOneTurnRefreshOnceInTheOrderTheControlsFirstChanged)
{
    Control first("First");
    Control second("Second");
    std::vector<std::string> refreshed;
    views::ControlLink firstLink(first, [&] { refreshed.push_back("first " + std::to_string(first.enabled())); });
    views::ControlLink secondLink(second, [&] { refreshed.push_back("second " + std::to_string(second.visible())); });

    second.setVisible(false);
    first.setEnabled(false);
    first.setEnabled(true);
    first.setEnabled(false);
    second.setVisible(true);
    EXPECT_TRUE(refreshed.empty());
    QCoreApplication::processEvents();
    EXPECT_EQ(refreshed, (std::vector<std::string> {"second 1", "first 0"}));

    // The next turn refreshes again.
    first.setEnabled(true);
    QCoreApplication::processEvents();
    EXPECT_EQ(refreshed.back(), "first 1");
    EXPECT_EQ(refreshed.size(), 3U);
}

TEST(ControlLink, ALinkDestroyedBeforeItsTurnIsNotRefreshedAndOthersStillAre)
{
    Control control("Probe");
    Control other("Other");
    int dropped = 0;
    int kept = 0;
    auto link = std::make_unique<views::ControlLink>(control, [&] { ++dropped; });
    views::ControlLink otherLink(other, [&] { ++kept; });
    control.setEnabled(false);
    other.setEnabled(false);
    link.reset(); // the widget went away with a refresh pending
    QCoreApplication::processEvents();
    EXPECT_EQ(dropped, 0);
    EXPECT_EQ(kept, 1);
}

TEST(ControlLink, ARefreshThatChangesAnotherControlShowsItInTheSameTurn)
{
    Control source("Source");
    Control follower("Follower");
    std::vector<std::string> refreshed;
    views::ControlLink followerLink(follower, [&] { refreshed.push_back("follower"); });
    views::ControlLink sourceLink(source, [&] {
        refreshed.push_back("source");
        follower.setEnabled(source.enabled());
    });
    source.setEnabled(false);
    QCoreApplication::processEvents();
    EXPECT_EQ(refreshed, (std::vector<std::string> {"source", "follower"}));
}

TEST(ControlLink, AtOnceDeliveryRefreshesInsideTheChange)
{
    Control control("Timer");
    int refreshes = 0;
    views::ControlLink link(
        control, [&] { ++refreshes; }, views::ControlLink::Delivery::AtOnce);
    control.setEnabled(false);
    EXPECT_EQ(refreshes, 1);
    control.setEnabled(true);
    EXPECT_EQ(refreshes, 2);
}
