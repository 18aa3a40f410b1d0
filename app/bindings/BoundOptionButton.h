#pragma once

#include "bindings/ControlLink.h"
#include "controls/OptionButton.h"

#include <QRadioButton>

namespace kelvane::views {

// A radio button showing an OptionButton control. The control's group does
// the excluding, so the widget keeps none of its own: a click selects the
// control, and clicking the selected one leaves it selected.
class BoundOptionButton : public QRadioButton {
public:
    explicit BoundOptionButton(OptionButton& option, QWidget* parent = nullptr);

private:
    void refresh();

    OptionButton& option_;
    ControlLink link_;
};

} // namespace kelvane::views
