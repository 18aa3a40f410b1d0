#pragma once

#include <string>

struct xcb_connection_t;

namespace kelvane::keys {

// Asks the X server to report a key held down on `connection` as repeated
// presses and one release when it is let go (XKB's per-client flag
// DetectableAutoRepeat). Without it the server sends a release and a press
// for every repeat, and a toolkit that tells them from a real release by
// looking for the press already queued behind it is fooled on a busy
// machine, when the press has not arrived yet.
//
// The flag belongs to this connection alone: other programs keep theirs.
// Waits for the server's answer. Returns an empty string when the server has
// set the flag, otherwise why not, as a clause for the user.
std::string askForDetectableAutoRepeat(xcb_connection_t* connection);

} // namespace kelvane::keys
