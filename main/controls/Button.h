#pragma once

#include "controls/Control.h"

#include <functional>

namespace kelvane {

enum class MouseButton { Left = 1, Right = 2, Middle = 4 };

// A push button. Switch buttons act on the press and the release of any mouse
// button; ordinary buttons act on a click.
class Button : public Control {
public:
    Button(std::string name, std::string caption) : Control(std::move(name)), caption_(std::move(caption)) { }

    const std::string& caption() const { return caption_; }

    void onMouseDown(std::function<void(MouseButton)> handler) { onDown_ = std::move(handler); }
    void onMouseUp(std::function<void(MouseButton)> handler) { onUp_ = std::move(handler); }
    void onClick(std::function<void()> handler) { onClick_ = std::move(handler); }

    // Called by views (and tests) for the user's action; a disabled button ignores it.
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
    void click() const
    {
        if (enabled() && onClick_)
            onClick_();
    }

private:
    std::string caption_;
    std::function<void(MouseButton)> onDown_;
    std::function<void(MouseButton)> onUp_;
    std::function<void()> onClick_;
};

} // namespace kelvane
