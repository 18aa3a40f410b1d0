#pragma once

#include "controls/MousePresses.h"
#include "controls/TextBox.h"

namespace kelvane {

// A label that reacts to the mouse buttons pressed and released on it (the
// wave slots' length labels show a length while the right button is held).
class MouseLabel : public TextBox, public MousePresses {
public:
    MouseLabel(std::string name, std::string text) :
        TextBox(std::move(name), std::move(text)), MousePresses(static_cast<const Control&>(*this))
    {
    }
};

} // namespace kelvane
