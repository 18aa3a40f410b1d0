#pragma once

#include "controls/Control.h"

#include <functional>

namespace kelvane {

// A text box or a label: a text that views show. A text box may have a change
// handler; it runs after every write that changes the text, and may itself
// write the text again (the name boxes replace whatever is written by their
// switch's instrument name).
class TextBox : public Control {
public:
    explicit TextBox(std::string name, std::string text = {}) : Control(std::move(name)), text_(std::move(text)) { }

    const std::string& text() const { return text_; }

    void setText(std::string text)
    {
        if (text == text_)
            return;
        text_ = std::move(text);
        notifyViews();
        if (onChange_)
            onChange_();
    }

    void onChange(std::function<void()> handler) { onChange_ = std::move(handler); }

private:
    std::string text_;
    std::function<void()> onChange_;
};

using Label = TextBox;

} // namespace kelvane
