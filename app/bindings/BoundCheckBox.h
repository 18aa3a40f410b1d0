#pragma once

#include "bindings/ControlLink.h"
#include "controls/CheckBox.h"

#include <QCheckBox>

namespace kelvane::views {

// A check box showing a CheckBox control's value (0 or 1); the user's toggle
// writes the control's value, which runs the form's handling.
class BoundCheckBox : public QCheckBox {
public:
    explicit BoundCheckBox(CheckBox& box, QWidget* parent = nullptr);

private:
    void refresh();

    CheckBox& box_;
    ControlLink link_;
};

} // namespace kelvane::views
