#pragma once

#include <string>

namespace kelvane::views {

// Asks the X server to report a key held down in the program's windows as
// repeated presses and one release, on the toolkit's own connection, so a
// busy machine cannot make a held key look like a release and a new press
// (keys::askForDetectableAutoRepeat). Call once, after the QApplication
// exists and before a window is shown. Returns an empty string when that is
// set; otherwise why not (another window system, an X server without XKB),
// and the toolkit's own guess at repeats stays in use.
std::string askForRepeatedPressesOfHeldKeys();

} // namespace kelvane::views
