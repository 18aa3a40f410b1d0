#include "bindings/MousePressForwarding.h"

#include <QMouseEvent>

namespace kelvane::views {

MouseButton toMouseButton(Qt::MouseButton button)
{
    switch (button) {
    case Qt::RightButton:
        return MouseButton::Right;
    case Qt::MiddleButton:
        return MouseButton::Middle;
    default:
        return MouseButton::Left;
    }
}

void forwardPress(const MousePresses& control, QMouseEvent& event)
{
    control.mouseDown(toMouseButton(event.button()));
    event.accept();
}

void forwardRelease(const MousePresses& control, QMouseEvent& event)
{
    control.mouseUp(toMouseButton(event.button()));
    event.accept();
}

} // namespace kelvane::views
