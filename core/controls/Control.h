#pragma once

#include "controls/Signal.h"

#include <string>

namespace kelvane {

// The part every control shares: a name that views use as the widget's
// objectName, and the Enabled and Visible properties.
//
// Contract for all controls: a property setter that receives the value the
// control already holds does nothing at all. Otherwise it stores the value,
// tells the views (changed()), and then, for a value that carries behaviour,
// runs the form's handler synchronously before returning, so cascades of
// handlers happen in the order the form's code states them.
class Control {
public:
    explicit Control(std::string name) : name_(std::move(name)) { }
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& name() const { return name_; }

    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled)
    {
        if (enabled_ == enabled)
            return;
        enabled_ = enabled;
        changed_.emit();
    }

    bool visible() const { return visible_; }
    void setVisible(bool visible)
    {
        if (visible_ == visible)
            return;
        visible_ = visible;
        changed_.emit();
    }

    // Emitted after any displayed property changed; views re-read the control.
    Signal<>& changed() { return changed_; }

protected:
    void notifyViews() const { changed_.emit(); }

private:
    std::string name_;
    bool enabled_ = true;
    bool visible_ = true;
    Signal<> changed_;
};

} // namespace kelvane
