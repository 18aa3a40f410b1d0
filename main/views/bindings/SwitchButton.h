#pragma once

#include "bindings/ControlLink.h"
#include "controls/Button.h"

#include <QPushButton>

namespace kelvane::views {

// A switch button: the press acts on the button-down of any mouse button and
// the release on its button-up, never on a click. Each down and each up is
// handed to the Button control as it happens, so a double tap on a pad gives
// two presses and two releases.
class SwitchButton : public QPushButton {
public:
    explicit SwitchButton(Button& button, QWidget* parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void refresh();

    Button& button_;
    ControlLink link_;
};

// An ordinary push button: a click (left button, or the keyboard) runs the
// Button control's click.
class ClickButton : public QPushButton {
public:
    explicit ClickButton(Button& button, QWidget* parent = nullptr);

private:
    void refresh();

    Button& button_;
    ControlLink link_;
};

} // namespace kelvane::views
