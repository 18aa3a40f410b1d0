#pragma once

#include "controls/TextBox.h"

#include <cstdint>

namespace kelvane {

// A text box whose background colour carries meaning (the wave slots' name
// boxes: white empty, red chosen, green sounding). Colours are 0xRRGGBB.
class ColouredTextBox : public TextBox {
public:
    ColouredTextBox(std::string name, std::uint32_t backColour) : TextBox(std::move(name)), backColour_(backColour) { }

    std::uint32_t backColour() const { return backColour_; }
    void setBackColour(std::uint32_t rgb)
    {
        if (rgb == backColour_)
            return;
        backColour_ = rgb;
        notifyViews();
    }

private:
    std::uint32_t backColour_;
};

} // namespace kelvane
