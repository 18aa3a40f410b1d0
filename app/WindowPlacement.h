#pragma once

class QWidget;

namespace kelvane::views {

// Puts a window that opens from another one (Preferences and Help open from
// the main window) over that owner: centred on it, as message boxes are, and
// moved in as far as needed to lie whole on the owner's screen with room for
// a title bar. A window larger than the screen allows is made smaller first.
// Call before the window is shown; it may be moved freely afterwards.
void placeOver(QWidget& window, const QWidget& owner);

} // namespace kelvane::views
