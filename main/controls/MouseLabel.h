#pragma once

#include "controls/Button.h"
#include "controls/TextBox.h"

#include <functional>

namespace kelvane {

// A label that reacts to the mouse buttons pressed and released on it (the
// wave slots' length labels show a length while the right button is held).
class MouseLabel : public TextBox {
public:
    MouseLabel(std::string name, std::string text) : TextBox(std::move(name), std::move(text)) { }

    void onMouseDown(std::function<void(MouseButton)> handler) { onDown_ = std::move(handler); }
    void onMouseUp(std::function<void(MouseButton)> handler) { onUp_ = std::move(handler); }

    // Called by views (and tests) for the user's action; a disabled label ignores it.
    void mouseDown(MouseButton button) const
    {
        if (enabled() && onDown_)
            onDown_(button);
    }
    void mouseUp(MouseButton button) const
    {
        if (enabled() && onUp_)
            onUp_(button);
    }

private:
    std::function<void(MouseButton)> onDown_;
    std::function<void(MouseButton)> onUp_;
};

} // namespace kelvane
