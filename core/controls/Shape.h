#pragma once

#include "controls/Control.h"

#include <cstdint>

namespace kelvane {

// A drawn shape: an indicator outlined in its colour, filled when lit.
class Shape : public Control {
public:
    enum class Fill { Solid = 0, Transparent = 1 };

    Shape(std::string name, std::uint32_t rgb) : Control(std::move(name)), rgb_(rgb) { }

    std::uint32_t colour() const { return rgb_; }
    Fill fill() const { return fill_; }
    bool lit() const { return fill_ == Fill::Solid; }

    void setFill(Fill fill)
    {
        if (fill == fill_)
            return;
        fill_ = fill;
        notifyViews();
    }

private:
    std::uint32_t rgb_;
    Fill fill_ = Fill::Transparent;
};

} // namespace kelvane
