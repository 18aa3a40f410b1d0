#pragma once

#include "controls/Window.h"

#include <map>

namespace kelvane::views {

// A view that can show its form modally.
class ModalView {
public:
    virtual ~ModalView() = default;
    // Shows the view and returns once its form's Visible is false. The form is
    // already visible when this is called.
    virtual void runModal() = 0;
};

// Which view shows which form modally. The composition root registers each
// modal view once; the desktop environment looks them up. Views must stay
// registered no longer than they live.
class ModalViews {
public:
    void add(const Window& form, ModalView& view) { views_[&form] = &view; }
    void remove(const Window& form) { views_.erase(&form); }

    // The view of this form, or nullptr when none was registered.
    ModalView* find(const Window& form) const
    {
        const auto it = views_.find(&form);
        return it == views_.end() ? nullptr : it->second;
    }

private:
    std::map<const Window*, ModalView*> views_;
};

} // namespace kelvane::views
