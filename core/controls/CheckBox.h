#pragma once

#include "controls/Control.h"

#include <functional>

namespace kelvane {

// A check box whose value is 0 (unchecked) or 1 (checked).
class CheckBox : public Control {
public:
    CheckBox(std::string name, std::string caption) : Control(std::move(name)), caption_(std::move(caption)) { }

    const std::string& caption() const { return caption_; }
    int value() const { return value_; }
    bool checked() const { return value_ == 1; }

    // Values other than 0 and 1 are refused.
    void setValue(int value)
    {
        if (value != 0 && value != 1)
            return;
        if (value == value_)
            return;
        value_ = value;
        notifyViews();
        if (onChange_)
            onChange_();
    }

    void onChange(std::function<void()> handler) { onChange_ = std::move(handler); }

private:
    std::string caption_;
    int value_ = 0;
    std::function<void()> onChange_;
};

} // namespace kelvane
