#include "KeyCodes.h"

#include <array>
#include <utility>

namespace kelvane::views {

namespace {

constexpr int kTopRowDigit0 = 48;
constexpr int kKeypadDigit0 = 96;
constexpr quint32 kXKeycodeOfDigit1 = 10; // evdev KEY_1 (2) + 8; 1..9 then 0 follow
constexpr quint32 kXKeycodeOfDigit0 = 19;

// With NumLock off the keypad digits arrive as editing keys marked as keypad keys.
constexpr std::array<std::pair<int, int>, 10> kKeypadWithoutNumLock = {{
    {Qt::Key_Insert, 0},
    {Qt::Key_End, 1},
    {Qt::Key_Down, 2},
    {Qt::Key_PageDown, 3},
    {Qt::Key_Left, 4},
    {Qt::Key_Clear, 5},
    {Qt::Key_Right, 6},
    {Qt::Key_Home, 7},
    {Qt::Key_Up, 8},
    {Qt::Key_PageUp, 9},
}};

constexpr std::array<std::pair<int, int>, 10> kKeypadOperators = {{
    {Qt::Key_Asterisk, 106},
    {Qt::Key_Plus, 107},
    {Qt::Key_Minus, 109},
    {Qt::Key_Period, 110},
    {Qt::Key_Comma, 110},
    {Qt::Key_Slash, 111},
    {Qt::Key_Enter, 13},
    {Qt::Key_Delete, 46},
    {Qt::Key_Return, 13},
    {Qt::Key_Equal, 0},
}};

constexpr std::array<std::pair<int, int>, 26> kOtherKeys = {{
    {Qt::Key_Backspace, 8},
    {Qt::Key_Tab, 9},
    {Qt::Key_Backtab, 9},
    {Qt::Key_Return, 13},
    {Qt::Key_Enter, 13},
    {Qt::Key_Shift, 16},
    {Qt::Key_Control, 17},
    {Qt::Key_Alt, 18},
    {Qt::Key_Pause, 19},
    {Qt::Key_CapsLock, 20},
    {Qt::Key_Escape, 27},
    {Qt::Key_Space, 32},
    {Qt::Key_PageUp, 33},
    {Qt::Key_PageDown, 34},
    {Qt::Key_End, 35},
    {Qt::Key_Home, 36},
    {Qt::Key_Left, 37},
    {Qt::Key_Up, 38},
    {Qt::Key_Right, 39},
    {Qt::Key_Down, 40},
    {Qt::Key_Print, 44},
    {Qt::Key_Insert, 45},
    {Qt::Key_Delete, 46},
    {Qt::Key_Meta, 91},
    {Qt::Key_NumLock, 144},
    {Qt::Key_ScrollLock, 145},
}};

template <std::size_t N> int lookUp(const std::array<std::pair<int, int>, N>& table, int qtKey, int missing)
{
    for (const auto& [key, code] : table) {
        if (key == qtKey)
            return code;
    }
    return missing;
}

} // namespace

int windowsKeyCode(int qtKey, Qt::KeyboardModifiers modifiers, quint32 nativeScanCode)
{
    const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return (keypad ? kKeypadDigit0 : kTopRowDigit0) + (qtKey - Qt::Key_0);
    if (keypad) {
        if (const int digit = lookUp(kKeypadWithoutNumLock, qtKey, -1); digit >= 0)
            return kKeypadDigit0 + digit;
        if (const int code = lookUp(kKeypadOperators, qtKey, -1); code >= 0)
            return code;
    }
    if (nativeScanCode >= kXKeycodeOfDigit1 && nativeScanCode <= kXKeycodeOfDigit0) {
        const auto digit = nativeScanCode == kXKeycodeOfDigit0 ? 0 : nativeScanCode - kXKeycodeOfDigit1 + 1;
        return kTopRowDigit0 + static_cast<int>(digit);
    }
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return 112 + (qtKey - Qt::Key_F1);
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return qtKey; // Qt's letter keys carry the upper-case code, as Windows does
    return lookUp(kOtherKeys, qtKey, 0);
}

} // namespace kelvane::views
