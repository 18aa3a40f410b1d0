// Property access rules, the persisted state and the design-mode picture.

#include "StavikTestRig.h"

#include "PersistedState.h"
#include "Resources.h"

using kelvane::joystick::VirtualJoystick;
using stavik::host::PropertyValue;
using namespace stavik;
using namespace stavik::testing;

namespace {

constexpr DispId kXPos = toDispId(StavikProperty::XPos);
constexpr DispId kVersion = toDispId(StavikProperty::Version);

// Stavik2 as the main window stores it: Port 1, Threshold 0, Period 0, Enabled.
const std::vector<std::uint8_t> kStavik2State {
    0x00, 0x00, 0x02, 0x00, // version 2.0
    0x4F, 0x03, 0x00, 0x00, // extent width 847 HIMETRIC
    0x4F, 0x03, 0x00, 0x00, // extent height 847 HIMETRIC
    0x40, 0x00, 0x00, 0x00, // stock properties: Enabled
    0x01, // Enabled
    0x01, 0x00, 0x00, 0x00, // Port 1
    0x00, 0x00, 0x00, 0x00, // Threshold 0
    0x00, 0x00, 0x00, 0x00, // Period 0
};

TEST(ControlPropertiesTest, RunTimeOnlyReadsFailInDesignModeByNumberAndByName)
{
    ControlRig rig;
    auto control = rig.makeControl(/*userMode*/ false);
    ASSERT_EQ(control->initNew(), result::Ok);
    PropertyValue value;
    EXPECT_EQ(control->get(kXPos, value), controlError(control_error::GetNotSupported));
    EXPECT_EQ(control->get("xpos", value), controlError(control_error::GetNotSupported));
    EXPECT_EQ(controlErrorNumber(control->get("Joystick1Attached", value)), 394);
    // Persisted and standard properties stay readable while designing.
    EXPECT_EQ(control->get("Port", value), result::Ok);
    EXPECT_EQ(control->get(dispid::Enabled, value), result::Ok);

    control->setUserMode(true);
    EXPECT_EQ(control->get(kXPos, value), result::Ok);
}

TEST(ControlPropertiesTest, WritingReadOnlyPropertiesFailsAndVersionSaysSoAtRunTime)
{
    ControlRig rig;
    auto design = rig.makeControl(false);
    auto run = rig.makeControl(true);
    ASSERT_EQ(design->initNew(), result::Ok);
    ASSERT_EQ(run->initNew(), result::Ok);
    const PropertyValue anything {std::int32_t {1}};

    EXPECT_EQ(design->put(kVersion, anything), controlError(control_error::SetNotSupported));
    EXPECT_EQ(run->put(kVersion, anything), controlError(control_error::SetNotSupportedAtRunTime));
    EXPECT_EQ(run->put("Version", anything), controlError(382));
    EXPECT_EQ(run->put("XPos", anything), controlError(383));
    EXPECT_EQ(design->put(toDispId(StavikProperty::Devices), anything), controlError(383));

    for (auto* control : {design.get(), run.get()}) {
        PropertyValue version;
        ASSERT_EQ(control->get("Version", version), result::Ok);
        EXPECT_EQ(version, PropertyValue {std::string("2.00.004")});
    }
    EXPECT_EQ(resources::formatVersion(2, 0, 4), "2.00.004");
}

TEST(ControlPropertiesTest, UnknownNamesAndWrongShapesAreRefused)
{
    ControlRig rig;
    auto control = rig.makeControl();
    ASSERT_EQ(control->initNew(), result::Ok);
    PropertyValue value;
    EXPECT_EQ(control->get("Colour", value), result::UnknownName);
    EXPECT_EQ(control->get(DispId {99}, value), result::MemberNotFound);
    EXPECT_EQ(control->put("Port", PropertyValue {std::string("two")}), result::TypeMismatch);
    // The default property is Port.
    ASSERT_EQ(control->put(dispid::Value, PropertyValue {std::int32_t {1}}), result::Ok);
    ASSERT_EQ(control->get("PORT", value), result::Ok);
    EXPECT_EQ(value, PropertyValue {std::int32_t {1}});
}

TEST(ControlPropertiesTest, CapabilitiesDescribeThePortAndPositionsAreReadAtEachGet)
{
    ControlRig rig;
    VirtualJoystick joystick(pad("Dance Mat", 0x0F0D, 0x0092));
    auto control = rig.makeControl();
    ASSERT_EQ(control->initNew(), result::Ok);

    const auto read = [&](const char* name) {
        PropertyValue v;
        EXPECT_EQ(control->get(name, v), result::Ok) << name;
        return v;
    };
    EXPECT_EQ(read("Manufacturer"), PropertyValue {std::int16_t {0x0F0D}});
    EXPECT_EQ(read("Product"), PropertyValue {std::int16_t {0x0092}});
    EXPECT_EQ(read("ProductName"), PropertyValue {std::string("Dance Mat")});
    EXPECT_EQ(read("XMax"), PropertyValue {std::int32_t {65535}});
    EXPECT_EQ(read("ZMin"), PropertyValue {std::int32_t {0}});
    EXPECT_EQ(read("Buttons"), PropertyValue {std::int16_t {4}});
    EXPECT_EQ(read("PeriodMin"), PropertyValue {std::int16_t {1}});
    EXPECT_EQ(read("Period"), PropertyValue {std::int32_t {1}}); // a new control polls at PeriodMin
    EXPECT_EQ(read("Devices"), PropertyValue {std::int16_t {16}});

    joystick.setAxis(0, 65535);
    joystick.setButton(2, true);
    EXPECT_EQ(read("XPos"), PropertyValue {std::int32_t {65535}});
    EXPECT_EQ(read("Button2"), PropertyValue {true});
    EXPECT_EQ(read("Button1"), PropertyValue {false});

    // Nothing on the port: capabilities read as zero, positions as zero.
    ASSERT_EQ(control->put("Port", PropertyValue {std::int32_t {7}}), result::Ok);
    EXPECT_EQ(read("XMax"), PropertyValue {std::int32_t {0}});
    EXPECT_EQ(read("XPos"), PropertyValue {std::int32_t {0}});
    EXPECT_EQ(read("ProductName"), PropertyValue {std::string()});
}

TEST(ControlPropertiesTest, StateIsSavedByteForByteAndLoadsBack)
{
    ControlRig rig;
    auto control = rig.makeControl(false);
    ASSERT_EQ(control->load(kStavik2State), result::Ok);
    PropertyValue port;
    PropertyValue period;
    PropertyValue enabled;
    ASSERT_EQ(control->get("Port", port), result::Ok);
    ASSERT_EQ(control->get("Period", period), result::Ok);
    ASSERT_EQ(control->get("Enabled", enabled), result::Ok);
    EXPECT_EQ(port, PropertyValue {std::int32_t {1}});
    EXPECT_EQ(period, PropertyValue {std::int32_t {0}});
    EXPECT_EQ(enabled, PropertyValue {true});

    std::vector<std::uint8_t> saved;
    ASSERT_EQ(control->save(saved), result::Ok);
    EXPECT_EQ(saved, kStavik2State);

    ASSERT_EQ(control->put("Threshold", PropertyValue {std::int32_t {-2}}), result::Ok);
    ASSERT_EQ(control->put("Period", PropertyValue {std::int32_t {0x01020304}}), result::Ok);
    ASSERT_EQ(control->setEnabled(false), result::Ok);
    ASSERT_EQ(control->save(saved), result::Ok);
    const std::vector<std::uint8_t> tail(saved.begin() + 16, saved.end());
    EXPECT_EQ(tail,
        (std::vector<std::uint8_t> {0x00, 0x01, 0x00, 0x00, 0x00, 0xFE, 0xFF, 0xFF, 0xFF, 0x04, 0x03, 0x02, 0x01}));
}

TEST(ControlPropertiesTest, ModifiedFlagFollowsTheSetters)
{
    ControlRig rig;
    auto control = rig.makeControl(false);
    ASSERT_EQ(control->initNew(), result::Ok);
    EXPECT_FALSE(control->isDirty());
    ASSERT_EQ(control->put("Port", PropertyValue {std::int32_t {1}}), result::Ok);
    EXPECT_FALSE(control->isDirty()); // Port alone does not mark the control modified
    ASSERT_EQ(control->put("Period", PropertyValue {std::int32_t {5}}), result::Ok);
    EXPECT_TRUE(control->isDirty());
    std::vector<std::uint8_t> saved;
    ASSERT_EQ(control->save(saved, /*clearDirty*/ true), result::Ok);
    EXPECT_FALSE(control->isDirty());
}

TEST(ControlPropertiesTest, DamagedStateIsRefusedAndChangesNothing)
{
    PersistedState state;
    state.port = 9;
    const PersistedState before = state;
    std::vector<std::uint8_t> shortStream(kStavik2State.begin(), kStavik2State.end() - 1);
    EXPECT_EQ(decodeState(shortStream, state), result::StreamTooShort);
    std::vector<std::uint8_t> otherVersion = kStavik2State;
    otherVersion[2] = 0x03;
    EXPECT_EQ(decodeState(otherVersion, state), result::StreamInvalid);
    EXPECT_EQ(state, before);

    ControlRig rig;
    auto control = rig.makeControl();
    EXPECT_EQ(control->load(shortStream), result::StreamTooShort);
}

TEST(ControlPropertiesTest, DesignModeDrawsThePictureStretchedAndRunTimeDrawsNothing)
{
    ControlRig rig;
    auto design = rig.makeControl(false);
    ASSERT_EQ(design->initNew(), result::Ok);
    const resources::Bitmap& picture = *resources::bitmap(resources::kControlBitmap);
    ASSERT_EQ(picture.width, 32);
    ASSERT_EQ(picture.height, 32);
    EXPECT_EQ(resources::bitmap(resources::kToolboxBitmap)->width, 21);
    EXPECT_EQ(resources::bitmap(resources::kToolboxBitmap)->height, 22);

    std::vector<std::uint32_t> pixels;
    ASSERT_EQ(design->draw(64, 96, pixels), result::Ok);
    // Each picture pixel covers 2 x 3 drawn pixels.
    for (const auto& [x, y] : {std::pair {0, 0}, std::pair {15, 7}, std::pair {31, 31}, std::pair {22, 25}}) {
        const std::uint32_t expected = resources::pixel(picture, x, y);
        EXPECT_EQ(pixels[static_cast<std::size_t>(3 * y * 64 + 2 * x)], expected) << x << "," << y;
        EXPECT_EQ(pixels[static_cast<std::size_t>((3 * y + 2) * 64 + 2 * x + 1)], expected) << x << "," << y;
    }

    auto run = rig.makeControl(true);
    ASSERT_EQ(run->initNew(), result::Ok);
    EXPECT_EQ(run->draw(32, 32, pixels), result::False);
    std::int32_t width = 0;
    std::int32_t height = 0;
    ASSERT_EQ(run->extent(width, height), result::Ok);
    EXPECT_EQ(width, 847);
    EXPECT_EQ(height, 847);
}

} // namespace
