#pragma once

#include "bindings/ControlLink.h"
#include "controls/ListBox.h"

#include <QComboBox>

namespace kelvane::views {

// A drop-down list showing a ListBox control's entries and list position.
// The user's choice of an entry sets the control's list position.
class BoundComboBox : public QComboBox {
public:
    explicit BoundComboBox(ListBox& list, QWidget* parent = nullptr);

private:
    void refresh();

    ListBox& list_;
    ControlLink link_;
};

} // namespace kelvane::views
