#pragma once

#include "bindings/ControlLink.h"
#include "controls/ColouredTextBox.h"

#include <QLineEdit>

namespace kelvane::views {

// A read-only box showing a ColouredTextBox: its text on its background
// colour (the wave slots' white, red and green).
class NameBoxEdit : public QLineEdit {
public:
    explicit NameBoxEdit(ColouredTextBox& box, QWidget* parent = nullptr);

    QColor backColour() const;

private:
    void refresh();

    ColouredTextBox& box_;
    std::uint32_t shownColour_ = 0x1000000; // no colour shown yet
    ControlLink link_;
};

} // namespace kelvane::views
