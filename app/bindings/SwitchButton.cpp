#include "bindings/SwitchButton.h"

#include "bindings/MousePressForwarding.h"

#include <QMouseEvent>

namespace kelvane::views {

SwitchButton::SwitchButton(Button& button, QWidget* parent) : BoundPushButton(button, parent)
{
    // A press must not take the focus from a program bar the performer is
    // adjusting with "+" and "-".
    setFocusPolicy(Qt::NoFocus);
}

void SwitchButton::mousePressEvent(QMouseEvent* event)
{
    // The note first: the pressed look asks for a repaint, which can wait.
    forwardPress(button(), *event);
    setDown(true);
}

void SwitchButton::mouseReleaseEvent(QMouseEvent* event)
{
    forwardRelease(button(), *event);
    // The button looks pressed while any mouse button is still down on it.
    if (event->buttons() == Qt::NoButton)
        setDown(false);
}

ClickButton::ClickButton(Button& button, QWidget* parent) : BoundPushButton(button, parent)
{
    connect(this, &QPushButton::clicked, this, [this] { this->button().click(); });
}

} // namespace kelvane::views
