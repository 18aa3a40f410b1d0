#pragma once

#include "bindings/ControlLink.h"
#include "controls/Button.h"

#include <QPushButton>

namespace kelvane::views {

// A push button that shows its Button control: caption, name, and whether
// the control is enabled and visible. What a press does is the subclass's.
class BoundPushButton : public QPushButton {
public:
    explicit BoundPushButton(Button& button, QWidget* parent = nullptr) :
        QPushButton(QString::fromStdString(button.caption()), parent),
        button_(button),
        link_(button, [this] { showEnabledAndVisible(*this, button_); })
    {
        nameAfter(*this, button);
        showEnabledAndVisible(*this, button_);
    }

protected:
    Button& button() const { return button_; }

    // The second press of a double click is a press like any other.
    void mouseDoubleClickEvent(QMouseEvent* event) override { mousePressEvent(event); }

private:
    Button& button_;
    ControlLink link_;
};

} // namespace kelvane::views
