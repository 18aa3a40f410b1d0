#pragma once

#include "controls/Control.h"

#include <algorithm>
#include <functional>

namespace kelvane {

enum class Orientation { Horizontal, Vertical };

// A scroll bar whose value is a setting. Min may lie above Max: such a bar
// runs downward (the up arrow raises the value), as the channel and program
// bars do. The value is always inside the span of Min and Max; a write outside
// it is refused and changes nothing.
class ScrollBar : public Control {
public:
    ScrollBar(std::string name, Orientation orientation, int min, int max, int value) :
        Control(std::move(name)), orientation_(orientation), min_(min), max_(max), value_(value)
    {
    }

    Orientation orientation() const { return orientation_; }
    int min() const { return min_; }
    int max() const { return max_; }
    int lowest() const { return std::min(min_, max_); }
    int highest() const { return std::max(min_, max_); }
    bool runsDownward() const { return min_ > max_; }
    bool accepts(int value) const { return value >= lowest() && value <= highest(); }

    int value() const { return value_; }

    // Returns false when the value lies outside the bar's span (nothing changes).
    // A value equal to the current one is accepted and runs nothing.
    bool setValue(int value)
    {
        if (!accepts(value))
            return false;
        if (value == value_)
            return true;
        value_ = value;
        notifyViews();
        if (onChange_)
            onChange_();
        return true;
    }

    int smallChange() const { return smallChange_; }
    int largeChange() const { return largeChange_; }
    void setSmallChange(int step) { smallChange_ = step; }
    void setLargeChange(int step) { largeChange_ = step; }

    // Whether every movement of a dragged thumb changes the value (and so runs
    // the handler), or only the thumb's release does.
    bool tracksThumb() const { return tracksThumb_; }
    void setTracksThumb(bool tracks) { tracksThumb_ = tracks; }

    void onChange(std::function<void()> handler) { onChange_ = std::move(handler); }

private:
    Orientation orientation_;
    int min_;
    int max_;
    int value_;
    int smallChange_ = 1;
    int largeChange_ = 1;
    bool tracksThumb_ = false;
    std::function<void()> onChange_;
};

} // namespace kelvane
