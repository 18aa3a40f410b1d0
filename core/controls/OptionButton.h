#pragma once

#include "controls/Control.h"

#include <vector>

namespace kelvane {

class OptionButton;

// Option buttons that exclude one another: at most one of a group is selected.
// The group only links its members; it owns none of them and must not outlive
// them.
class OptionGroup {
public:
    void add(OptionButton& button);
    const std::vector<OptionButton*>& members() const { return members_; }

private:
    std::vector<OptionButton*> members_;
};

// An option button: selecting it (by the user, or by setting true) clears the
// other members of its group; setting false clears only this one.
class OptionButton : public Control {
public:
    explicit OptionButton(std::string name, std::string caption = {}) :
        Control(std::move(name)), caption_(std::move(caption))
    {
    }

    const std::string& caption() const { return caption_; }
    bool value() const { return value_; }

    void setValue(bool value)
    {
        if (value == value_)
            return;
        value_ = value;
        notifyViews();
        if (value && group_) {
            for (OptionButton* other : group_->members())
                if (other != this)
                    other->setValue(false);
        }
    }

    // The user's click: selects the button unless it is disabled.
    void click()
    {
        if (enabled())
            setValue(true);
    }

private:
    friend class OptionGroup;
    std::string caption_;
    bool value_ = false;
    OptionGroup* group_ = nullptr;
};

inline void OptionGroup::add(OptionButton& button)
{
    members_.push_back(&button);
    button.group_ = this;
}

} // namespace kelvane
