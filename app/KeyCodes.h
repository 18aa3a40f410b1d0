#pragma once

#include <Qt>

namespace kelvane::views {

// The Windows virtual-key code of a key event, as the main window's key
// handlers take it: top-row digits 48..57, keypad digits 96..105 (also with
// NumLock off), F1.. 112.., letters 65..90, and the usual codes of modifiers,
// arrows and editing keys; 0 for a key without one.
//
// A top-row digit is recognised by its position (the X keycode in
// nativeScanCode, 10..19 for 1..9, 0), so Shift+1 is still key 49 on every
// layout, as it is on Windows. qtKey and modifiers are those of QKeyEvent.
int windowsKeyCode(int qtKey, Qt::KeyboardModifiers modifiers, quint32 nativeScanCode);

} // namespace kelvane::views
