#pragma once

#include "bindings/BoundPushButton.h"

namespace kelvane::views {

// A push button that hands its Button control the whole gesture, in this
// order: mouseDown on the press (any mouse button), click on a left release
// over the button, mouseUp on the release. The click runs to its end before
// mouseUp, even when it runs nested events for seconds (the lighting fades).
class PressClickButton : public BoundPushButton {
public:
    explicit PressClickButton(Button& button, QWidget* parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace kelvane::views
