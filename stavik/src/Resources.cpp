#include "Resources.h"

#include <cstdio>

namespace stavik::resources {
namespace {

// The control in design mode: a joystick with a red ball on a dark base.
constexpr const char* kControlRows[32] = {
    "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF",
    "F7777777777777777777777777777778",
    "F7777777777777777777777777777778",
    "F7777777777777717777777777777778",
    "F7777777777771191177777777777778",
    "F777777777771FF99917777777777778",
    "F777777777771F999917777777777778",
    "F7777777777199999991777777777778",
    "F7777777777719999917777777777778",
    "F7777777777719999917777777777778",
    "F7777777777771191177777777777778",
    "F7777777777777718777777777777778",
    "F77777777777777F8777777777777778",
    "F77777777777777F8777777777777778",
    "F77777777777777F8777777777777778",
    "F77777777777777F8777777777777778",
    "F77777777777777F8777777777777778",
    "F77777777777777F8777777777777778",
    "F77777777777777F8777777777777778",
    "F77777777777777F8777777777777778",
    "F77777777777777F8777777777777778",
    "F77777777777777F8777777777777778",
    "F77788888888888F8888888888887778",
    "F7778088888888888888888888087778",
    "F7778088888888888888889888087778",
    "F7778000BBB000000000099900087778",
    "F7778000BBB000000000009000087778",
    "F7778000000000000000000000087778",
    "F7778888888888888888888888887778",
    "F7777777777777777777777777777778",
    "F7777777777777777777777777777778",
    "F8888888888888888888888888888888",
};

// The toolbox button: the same joystick, smaller.
constexpr const char* kToolboxRows[22] = {
    "777777777777777777777",
    "777777777717777777777",
    "777777771191177777777",
    "777777771F99177777777",
    "777777719999917777777",
    "777777771999177777777",
    "777777771191177777777",
    "777777777F17777777777",
    "777777777F87777777777",
    "777777777F87777777777",
    "777777777F87777777777",
    "777777777F87777777777",
    "777777777F87777777777",
    "777777777F87777777777",
    "777777777F87777777777",
    "778888888F88888888877",
    "778000000000000900877",
    "778000000000009990877",
    "778000000000000900877",
    "778888888888888888877",
    "777777777777777777777",
    "777777777777777777777",
};

constexpr Bitmap kControlPicture {32, 32, kControlRows};
constexpr Bitmap kToolboxPicture {21, 22, kToolboxRows};

constexpr std::array<std::uint32_t, 16> kPalette {
    0xFF000000,
    0xFF800000,
    0xFF008000,
    0xFF808000,
    0xFF000080,
    0xFF800080,
    0xFF008080,
    0xFFC0C0C0,
    0xFF808080,
    0xFFFF0000,
    0xFF00FF00,
    0xFFFFFF00,
    0xFF0000FF,
    0xFFFF00FF,
    0xFF00FFFF,
    0xFFFFFFFF,
};

int hexValue(char c) { return c <= '9' ? c - '0' : c - 'A' + 10; }

} // namespace

std::string_view string(int id)
{
    switch (id) {
    case kControlTypeNameString:
        return "Dorrit Stavik Control";
    case kPageTypeNameString:
        return "Stavik Property Page";
    case kPageCaptionString:
        return "General";
    default:
        return {};
    }
}

const Bitmap* bitmap(int id)
{
    switch (id) {
    case kToolboxBitmap:
        return &kToolboxPicture;
    case kControlBitmap:
        return &kControlPicture;
    default:
        return nullptr;
    }
}

std::uint32_t paletteColour(int index) { return kPalette[static_cast<std::size_t>(index & 0xF)]; }

std::uint32_t pixel(const Bitmap& b, int x, int y) { return paletteColour(hexValue(b.rows[y][x])); }

std::string formatVersion(int major, int minor, int build)
{
    char text[32];
    std::snprintf(text, sizeof text, "%d.%d0.%03d", major, minor, build);
    return text;
}

const VersionBlock& versionBlock()
{
    static const VersionBlock block {
        "Dorrit", "Stavik joystick control module", "2.00.004", "Stavik", "2.00.004", true};
    return block;
}

} // namespace stavik::resources
