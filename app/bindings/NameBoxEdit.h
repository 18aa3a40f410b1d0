#pragma once

#include "bindings/BoundText.h"
#include "controls/ColouredTextBox.h"

namespace kelvane::views {

// A read-only box showing a ColouredTextBox: its text, as any bound box, on
// its background colour (the wave slots' white, red and green).
class NameBoxEdit : public BoundLineEdit {
public:
    explicit NameBoxEdit(ColouredTextBox& box, QWidget* parent = nullptr);

private:
    void showColour();

    ColouredTextBox& box_;
    std::uint32_t shownColour_ = 0x1000000; // no colour shown yet
    ControlLink colourLink_;
};

} // namespace kelvane::views
