#pragma once

#include "controls/Control.h"

#include <functional>
#include <string>
#include <vector>

namespace kelvane {

// A drop-down list. The list position is -1 when nothing is selected.
class ListBox : public Control {
public:
    explicit ListBox(std::string name) : Control(std::move(name)) { }

    const std::vector<std::string>& items() const { return items_; }
    void addItem(std::string item)
    {
        items_.push_back(std::move(item));
        notifyViews();
    }
    void clear()
    {
        items_.clear();
        index_ = -1;
        notifyViews();
    }

    int listIndex() const { return index_; }
    // Positions outside the list are refused.
    void setListIndex(int index)
    {
        if (index < -1 || index >= static_cast<int>(items_.size()) || index == index_)
            return;
        index_ = index;
        notifyViews();
        if (onChange_)
            onChange_();
    }

    void onChange(std::function<void()> handler) { onChange_ = std::move(handler); }

private:
    std::vector<std::string> items_;
    int index_ = -1;
    std::function<void()> onChange_;
};

} // namespace kelvane
