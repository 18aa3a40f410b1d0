#pragma once

#include "controls/Control.h"

#include <algorithm>
#include <string>
#include <vector>

namespace kelvane {

// What every form shares: its name, caption, geometry and visibility, and the
// list of its controls so that a view can find each one by name.
// Geometry is in pixels.
class Window : public Control {
public:
    Window(std::string name, std::string caption) : Control(std::move(name)), caption_(std::move(caption))
    {
        setVisible(false);
    }

    const std::string& caption() const { return caption_; }
    void setCaption(std::string caption)
    {
        if (caption == caption_)
            return;
        caption_ = std::move(caption);
        notifyViews();
    }

    // Shows the window and asks its view to put it in front of the others
    // (a window that is already visible may lie behind another).
    void bringToFront()
    {
        setVisible(true);
        frontRequested_.emit();
    }
    Signal<>& frontRequested() { return frontRequested_; }

    int left() const { return left_; }
    int top() const { return top_; }
    int width() const { return width_; }
    int height() const { return height_; }
    void move(int left, int top)
    {
        left_ = left;
        top_ = top;
        notifyViews();
    }
    void setSize(int width, int height)
    {
        width_ = width;
        height_ = height;
    }

    // Height kept free on a small screen for a title bar and a desktop panel.
    static constexpr int kFrameAllowance = 60;

    // Takes the designed size where the screen has room for it, else no more
    // than the screen (less the frame allowance in height): the view then
    // scrolls its content, so every control stays reachable and the title
    // bar stays on the screen. Then centres the window on the screen, in
    // integer halves, with the size it really has.
    void fitAndCentre(int designWidth, int designHeight, int screenWidth, int screenHeight)
    {
        setSize(
            std::min(designWidth, screenWidth), std::min(designHeight, std::max(screenHeight - kFrameAllowance, 0)));
        move((screenWidth - width()) / 2, (screenHeight - height()) / 2);
    }

    // Every control of the form, in the order the form created them.
    const std::vector<Control*>& controls() const { return controls_; }

    // The control with this name, or nullptr.
    Control* find(const std::string& name) const
    {
        for (Control* c : controls_)
            if (c->name() == name)
                return c;
        return nullptr;
    }

    template <typename T> T* find(const std::string& name) const { return dynamic_cast<T*>(find(name)); }

protected:
    // Forms register each control they own, once, at construction.
    template <typename T> T& adopt(T& control)
    {
        controls_.push_back(&control);
        return control;
    }

private:
    std::string caption_;
    Signal<> frontRequested_;
    int left_ = 0;
    int top_ = 0;
    int width_ = 0;
    int height_ = 0;
    std::vector<Control*> controls_;
};

} // namespace kelvane
