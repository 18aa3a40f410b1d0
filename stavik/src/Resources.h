#pragma once

// The module's resources: its strings, pictures, version block and the layout
// of its property page dialog. The pictures are 16-colour maps, one hex digit
// per pixel indexing the standard 16-colour palette.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace stavik::resources {

inline constexpr int kControlTypeNameString = 1; // "Dorrit Stavik Control"
inline constexpr int kPageTypeNameString = 2; // "Stavik Property Page"
inline constexpr int kPageCaptionString = 101; // "General"
inline constexpr int kTypeLibraryResource = 1;
inline constexpr int kToolboxBitmap = 1; // 21 x 22
inline constexpr int kControlBitmap = 201; // 32 x 32, drawn in design mode
inline constexpr int kPropertyPageDialog = 101;

// The string with this id, or an empty view.
std::string_view string(int id);

struct Bitmap {
    int width;
    int height;
    const char* const* rows; // height rows of width hex digits
};

// The bitmap with this id, or null.
const Bitmap* bitmap(int id);

// ARGB of palette entry 0..15 (black, maroon, green, olive, navy, purple,
// teal, silver, grey, red, lime, yellow, blue, fuchsia, aqua, white).
std::uint32_t paletteColour(int index);

// Pixel (x, y) of a bitmap as ARGB.
std::uint32_t pixel(const Bitmap& bitmap, int x, int y);

// The version numbers and their text, "%d.%d0.%03d" of 2, 0, 4 = "2.00.004".
inline constexpr int kVersionMajor = 2;
inline constexpr int kVersionMinor = 0;
inline constexpr int kVersionBuild = 4;
std::string formatVersion(int major, int minor, int build);

struct VersionBlock {
    std::string_view companyName;
    std::string_view fileDescription;
    std::string_view fileVersion;
    std::string_view productName;
    std::string_view productVersion;
    bool selfRegister; // the module registers itself (DllRegisterServer)
};
const VersionBlock& versionBlock();

// Property page dialog 101, in dialog units.
struct DialogItem {
    int id;
    int x;
    int y;
    int width;
    int height;
};
inline constexpr int kPageWidthDu = 250;
inline constexpr int kPageHeightDu = 62;
inline constexpr DialogItem kPortLabel {201, 9, 11, 16, 9};
inline constexpr DialogItem kPortEdit {202, 26, 11, 14, 11};
inline constexpr std::string_view kPortLabelText = "&Port:";

} // namespace stavik::resources
