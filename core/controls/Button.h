#pragma once

#include "controls/Control.h"
#include "controls/MousePresses.h"

#include <functional>

namespace kelvane {

// A push button. Switch buttons act on the press and the release of any mouse
// button; ordinary buttons act on a click.
class Button : public Control, public MousePresses {
public:
    Button(std::string name, std::string caption) :
        Control(std::move(name)), MousePresses(static_cast<const Control&>(*this)), caption_(std::move(caption))
    {
    }

    const std::string& caption() const { return caption_; }

    void onClick(std::function<void()> handler) { onClick_ = std::move(handler); }

    // Called by views (and tests) for the user's action; a disabled button ignores it.
    void click() const
    {
        if (enabled() && onClick_)
            onClick_();
    }

private:
    std::string caption_;
    std::function<void()> onClick_;
};

} // namespace kelvane
