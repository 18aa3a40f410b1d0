#pragma once

#include "bindings/BoundPushButton.h"

namespace kelvane::views {

// A switch button: the press acts on the button-down of any mouse button and
// the release on its button-up, never on a click. Each down and each up is
// handed to the Button control as it happens, so a double tap on a pad gives
// two presses and two releases.
class SwitchButton : public BoundPushButton {
public:
    explicit SwitchButton(Button& button, QWidget* parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// An ordinary push button: a click (left button, or the keyboard) runs the
// Button control's click.
class ClickButton : public BoundPushButton {
public:
    explicit ClickButton(Button& button, QWidget* parent = nullptr);
};

} // namespace kelvane::views
