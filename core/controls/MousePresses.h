#pragma once

#include "controls/Control.h"

#include <functional>

namespace kelvane {

enum class MouseButton { Left = 1, Right = 2, Middle = 4 };

// The mouse buttons pressed and released on a control, handed to the form's
// handlers as they happen. Controls that take presses (buttons, the wave
// slots' length labels) derive from their control class and from this.
class MousePresses {
public:
    void onMouseDown(std::function<void(MouseButton)> handler) { onDown_ = std::move(handler); }
    void onMouseUp(std::function<void(MouseButton)> handler) { onUp_ = std::move(handler); }

    // Called by views (and tests) for the user's action; a disabled control ignores it.
    void mouseDown(MouseButton button) const
    {
        if (owner_.enabled() && onDown_)
            onDown_(button);
    }
    void mouseUp(MouseButton button) const
    {
        if (owner_.enabled() && onUp_)
            onUp_(button);
    }

protected:
    // owner is the deriving control itself; only its enabled() is read, and
    // only once the control is built.
    explicit MousePresses(const Control& owner) : owner_(owner) { }
    ~MousePresses() = default;
    MousePresses(const MousePresses&) = delete;
    MousePresses& operator=(const MousePresses&) = delete;

private:
    const Control& owner_;
    std::function<void(MouseButton)> onDown_;
    std::function<void(MouseButton)> onUp_;
};

} // namespace kelvane
