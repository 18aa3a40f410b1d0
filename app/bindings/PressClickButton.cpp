#include "bindings/PressClickButton.h"

#include "bindings/MousePressForwarding.h"

#include <QMouseEvent>

namespace kelvane::views {

PressClickButton::PressClickButton(Button& button, QWidget* parent) : BoundPushButton(button, parent)
{
    // A keyboard activation would click without the press and release that
    // the control's handling pairs with the click.
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QPushButton::clicked, this, [this] { this->button().click(); });
}

void PressClickButton::mousePressEvent(QMouseEvent* event)
{
    QPushButton::mousePressEvent(event);
    forwardPress(button(), *event);
}

void PressClickButton::mouseReleaseEvent(QMouseEvent* event)
{
    // Emits clicked() (and so runs the click) for a left release over the button.
    QPushButton::mouseReleaseEvent(event);
    forwardRelease(button(), *event);
}

} // namespace kelvane::views
