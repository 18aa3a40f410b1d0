// The control's events from real SDL virtual joysticks, one poll at a time.

#include "StavikTestRig.h"

using kelvane::joystick::VirtualJoystick;
using stavik::host::PropertyValue;
using namespace stavik;
using namespace stavik::testing;

namespace {

constexpr std::uint32_t kCentre = 32768; // a virtual axis at rest

class ControlEventsTest : public ::testing::Test {
protected:
    // A run-mode control on port, initialised new and enabled.
    std::unique_ptr<host::StavikControl> enabledControl(int port = 0)
    {
        auto control = rig.makeControl();
        EXPECT_EQ(control->initNew(), result::Ok);
        EXPECT_EQ(control->put("Port", PropertyValue {port}), result::Ok);
        EXPECT_EQ(control->setEnabled(false), result::Ok);
        EXPECT_EQ(control->setEnabled(true), result::Ok);
        return control;
    }

    ControlRig rig;
};

TEST_F(ControlEventsTest, ButtonsPressedWithinOnePeriodRaiseOneEventEachInButtonOrder)
{
    VirtualJoystick joystick;
    auto control = enabledControl();

    joystick.setButton(3, true);
    joystick.setButton(1, true);
    rig.poll();
    joystick.setButton(1, false);
    joystick.setButton(3, false);
    rig.poll();

    EXPECT_EQ(rig.events.take(), (Lines {"ButtonDown 1", "ButtonDown 3", "ButtonUp 1", "ButtonUp 3"}));
}

TEST_F(ControlEventsTest, ButtonsBeyondTheFourthRaiseNothing)
{
    VirtualJoystick::Description eight = pad("Eight Buttons");
    eight.buttons = 8;
    VirtualJoystick joystick(eight);
    auto control = enabledControl();

    joystick.setButton(5, true);
    joystick.setButton(8, true);
    rig.poll();
    joystick.setButton(4, true);
    rig.poll();

    EXPECT_EQ(rig.events.take(), (Lines {"ButtonDown 4"}));
}

TEST_F(ControlEventsTest, ZAloneRaisesNothingAndXCarriesTheWholePositionReadNow)
{
    VirtualJoystick joystick;
    auto control = enabledControl();

    joystick.setAxis(2, 1000);
    rig.poll();
    EXPECT_TRUE(rig.events.take().empty());

    joystick.setAxis(0, 0);
    rig.poll();
    joystick.setAxis(1, 65535);
    rig.poll();
    EXPECT_EQ(rig.events.take(), (Lines {"Move 0 32768 1000", "Move 0 65535 1000"}));
}

TEST_F(ControlEventsTest, MovementWithinTheThresholdRaisesNothing)
{
    VirtualJoystick joystick;
    auto control = rig.makeControl();
    ASSERT_EQ(control->initNew(), result::Ok);
    ASSERT_EQ(control->put("Threshold", PropertyValue {1000}), result::Ok);
    ASSERT_EQ(control->setEnabled(false), result::Ok);
    ASSERT_EQ(control->setEnabled(true), result::Ok);

    joystick.setAxis(0, kCentre + 1000); // exactly the threshold: not beyond it
    rig.poll();
    EXPECT_TRUE(rig.events.take().empty());
    joystick.setAxis(0, kCentre + 1001);
    rig.poll();
    EXPECT_EQ(rig.events.take(), (Lines {"Move 33769 32768 32768"}));

    PropertyValue held;
    ASSERT_EQ(control->get("Threshold", held), result::Ok);
    EXPECT_EQ(held, PropertyValue {1000});
}

TEST_F(ControlEventsTest, DisabledOrWithoutADeviceRaisesNothingAndReportsNothing)
{
    VirtualJoystick joystick;
    auto disabled = enabledControl(0);
    auto nothingThere = rig.makeControl();
    ASSERT_EQ(nothingThere->initNew(), result::Ok);
    ASSERT_EQ(nothingThere->put("Port", PropertyValue {5}), result::Ok);
    EXPECT_EQ(nothingThere->setEnabled(true), result::Ok);
    EXPECT_EQ(disabled->setEnabled(false), result::Ok);

    joystick.setButton(1, true);
    joystick.setAxis(0, 0);
    rig.poll();

    EXPECT_TRUE(rig.events.take().empty());
}

TEST_F(ControlEventsTest, PortChangedWhileCapturedKeepsEventsFromTheCapturedJoystick)
{
    VirtualJoystick first(pad("First Pad", 0x1111, 0x0101));
    VirtualJoystick second(pad("Second Pad", 0x2222, 0x0202));
    auto control = enabledControl(0);

    ASSERT_EQ(control->put("Port", PropertyValue {1}), result::Ok);
    PropertyValue name;
    PropertyValue vendor;
    ASSERT_EQ(control->get("ProductName", name), result::Ok);
    ASSERT_EQ(control->get("Manufacturer", vendor), result::Ok);
    EXPECT_EQ(name, PropertyValue {std::string("Second Pad")});
    EXPECT_EQ(vendor, PropertyValue {std::int16_t {0x2222}});

    second.setButton(2, true);
    second.setAxis(0, 0);
    first.setButton(1, true);
    first.setAxis(1, 0);
    rig.poll();
    // The move is reported with the captured joystick's own position.
    EXPECT_EQ(rig.events.take(), (Lines {"ButtonDown 1", "Move 32768 0 32768"}));

    // Disabling lets go of the joystick that was captured, not the one Port names now.
    ASSERT_EQ(control->setEnabled(false), result::Ok);
    first.setButton(1, false);
    rig.poll();
    EXPECT_TRUE(rig.events.take().empty());
    // Joystick 0 is free again: another control can capture it.
    RecordingEvents otherEvents;
    auto other = enabledControl(0);
    ASSERT_EQ(other->connect(otherEvents), result::Ok);
    first.setButton(3, true);
    rig.poll();
    EXPECT_EQ(otherEvents.take(), (Lines {"ButtonDown 3"}));
}

TEST_F(ControlEventsTest, UnpluggingReleasesHeldButtonsAndPluggingInResumesTheCapture)
{
    VirtualJoystick joystick;
    auto control = enabledControl();
    joystick.setButton(1, true);
    joystick.setButton(2, true);
    rig.poll();
    ASSERT_EQ(rig.events.take(), (Lines {"ButtonDown 1", "ButtonDown 2"}));

    joystick.unplug();
    rig.poll();
    EXPECT_EQ(rig.events.take(), (Lines {"ButtonUp 1", "ButtonUp 2"}));
    rig.poll();
    EXPECT_TRUE(rig.events.take().empty());
    PropertyValue attached;
    ASSERT_EQ(control->get("Joystick1Attached", attached), result::Ok);
    EXPECT_EQ(attached, PropertyValue {false});

    joystick.plug();
    rig.poll();
    joystick.setButton(4, true);
    rig.poll();
    EXPECT_EQ(rig.events.take(), (Lines {"ButtonDown 4"}));
}

TEST_F(ControlEventsTest, ASecondJoystickIsNotAttachedWhereTheDriverSupportsOne)
{
    ControlRig oneJoystickDriver(1);
    VirtualJoystick first;
    VirtualJoystick second;
    auto control = oneJoystickDriver.makeControl();
    ASSERT_EQ(control->initNew(), result::Ok);

    PropertyValue devices;
    PropertyValue one;
    PropertyValue two;
    ASSERT_EQ(control->get("Devices", devices), result::Ok);
    ASSERT_EQ(control->get("Joystick1Attached", one), result::Ok);
    ASSERT_EQ(control->get("Joystick2Attached", two), result::Ok);
    EXPECT_EQ(devices, PropertyValue {std::int16_t {1}});
    EXPECT_EQ(one, PropertyValue {true});
    EXPECT_EQ(two, PropertyValue {false});
}

// A handler that switches the control off in the middle of a poll: the rest
// of that poll's events are not raised, and nothing is left dangling.
class DisablingEvents : public RecordingEvents {
public:
    void buttonDown(int button) override
    {
        RecordingEvents::buttonDown(button);
        control->setEnabled(false);
    }
    host::StavikControl* control = nullptr;
};

TEST_F(ControlEventsTest, AHandlerMayDisableOrDestroyTheControlInsideAnEvent)
{
    VirtualJoystick joystick;
    auto control = enabledControl();
    DisablingEvents disabling;
    disabling.control = control.get();
    ASSERT_EQ(control->connect(disabling), result::Ok);
    joystick.setButton(1, true);
    joystick.setButton(2, true);
    rig.poll();
    EXPECT_EQ(disabling.log, (Lines {"ButtonDown 1"}));

    class DestroyingEvents : public RecordingEvents {
    public:
        void buttonUp(int button) override
        {
            RecordingEvents::buttonUp(button);
            owner.reset();
        }
        std::unique_ptr<host::StavikControl> owner;
    } destroying;
    ASSERT_EQ(control->connect(destroying), result::Ok);
    ASSERT_EQ(control->setEnabled(true), result::Ok);
    destroying.owner = std::move(control);
    joystick.setButton(1, false);
    joystick.setButton(2, false);
    rig.poll();
    EXPECT_EQ(destroying.log, (Lines {"ButtonUp 1"}));
    EXPECT_EQ(destroying.owner, nullptr);
    EXPECT_EQ(rig.lifetime.liveObjects(), 0);
}

TEST_F(ControlEventsTest, TheLastControlEndedInsideAnEventTakesItsJoystickServicesWithIt)
{
    VirtualJoystick joystick;
    class DestroyingEvents : public RecordingEvents {
    public:
        void buttonDown(int button) override
        {
            RecordingEvents::buttonDown(button);
            owner.reset();
        }
        std::unique_ptr<host::StavikControl> owner;
    } destroying;
    destroying.owner = enabledControl();
    ASSERT_EQ(destroying.owner->connect(destroying), result::Ok);
    // From here the control holds the only reference on the services.
    kelvane::joystick::SdlJoystickServices* services = rig.services.get();
    rig.services.reset();

    joystick.setButton(1, true);
    joystick.setButton(2, true);
    services->pollNow();

    EXPECT_EQ(destroying.log, (Lines {"ButtonDown 1"}));
    EXPECT_EQ(rig.lifetime.liveObjects(), 0);
}

} // namespace
