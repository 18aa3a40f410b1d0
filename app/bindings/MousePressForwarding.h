#pragma once

#include "controls/MousePresses.h"

#include <Qt>

class QMouseEvent;

namespace kelvane::views {

// The core's name for a Qt mouse button. The extra buttons of a gaming mouse
// press like the left one.
MouseButton toMouseButton(Qt::MouseButton button);

// Hand the press (or release) in event to the control, and keep the event:
// the control's handling is all a press on these widgets does.
void forwardPress(const MousePresses& control, QMouseEvent& event);
void forwardRelease(const MousePresses& control, QMouseEvent& event);

} // namespace kelvane::views
