#pragma once

#include "controls/Control.h"

#include <functional>
#include <memory>
#include <vector>

namespace kelvane {

// A menu or a menu command. A top-level menu is an item with children; a
// separator is an item whose caption is "-". The shortcut is the key text a
// view gives to its action ("Ctrl+P"), empty for none.
class MenuItem : public Control {
public:
    MenuItem(std::string name, std::string caption, std::string shortcut = {}) :
        Control(std::move(name)), caption_(std::move(caption)), shortcut_(std::move(shortcut))
    {
    }

    const std::string& caption() const { return caption_; }
    const std::string& shortcut() const { return shortcut_; }
    bool isSeparator() const { return caption_ == "-"; }

    bool checked() const { return checked_; }
    void setChecked(bool checked)
    {
        if (checked == checked_)
            return;
        checked_ = checked;
        notifyViews();
    }

    // Adds a child item and returns it; the menu owns its children.
    MenuItem& add(std::string name, std::string caption, std::string shortcut = {})
    {
        children_.push_back(std::make_unique<MenuItem>(std::move(name), std::move(caption), std::move(shortcut)));
        return *children_.back();
    }
    MenuItem& addSeparator(std::string name) { return add(std::move(name), "-"); }
    const std::vector<std::unique_ptr<MenuItem>>& children() const { return children_; }

    void onClick(std::function<void()> handler) { onClick_ = std::move(handler); }

    // The user's click: runs the command unless the item is disabled or hidden.
    void click() const
    {
        if (enabled() && visible() && onClick_)
            onClick_();
    }

private:
    std::string caption_;
    std::string shortcut_;
    bool checked_ = false;
    std::vector<std::unique_ptr<MenuItem>> children_;
    std::function<void()> onClick_;
};

} // namespace kelvane
