#pragma once

#include "bindings/ControlLink.h"
#include "controls/CheckBox.h"

#include <QCheckBox>

namespace kelvane::views {

// A check box showing a CheckBox control; the user's click sets the
// control's value, which runs its change handling.
class BoundCheckBox : public QCheckBox {
public:
    explicit BoundCheckBox(CheckBox& box, QWidget* parent = nullptr);

private:
    void refresh();

    CheckBox& box_;
    ControlLink link_;
};

} // namespace kelvane::views
