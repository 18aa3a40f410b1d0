#include "bindings/SwitchButton.h"

#include "bindings/MousePressForwarding.h"

#include <QMouseEvent>

namespace kelvane::views {

SwitchButton::SwitchButton(Button& button, QWidget* parent) :
    QPushButton(QString::fromStdString(button.caption()), parent), button_(button), link_(button, [this] { refresh(); })
{
    nameAfter(*this, button);
    // A press must not take the focus from a program bar the performer is
    // adjusting with "+" and "-".
    setFocusPolicy(Qt::NoFocus);
    refresh();
}

void SwitchButton::mousePressEvent(QMouseEvent* event)
{
    // The note first: the pressed look asks for a repaint, which can wait.
    forwardPress(button_, *event);
    setDown(true);
}

void SwitchButton::mouseReleaseEvent(QMouseEvent* event)
{
    forwardRelease(button_, *event);
    // The button looks pressed while any mouse button is still down on it.
    if (event->buttons() == Qt::NoButton)
        setDown(false);
}

void SwitchButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double click is a press like any other.
    mousePressEvent(event);
}

void SwitchButton::refresh() { showEnabledAndVisible(*this, button_); }

ClickButton::ClickButton(Button& button, QWidget* parent) :
    QPushButton(QString::fromStdString(button.caption()), parent), button_(button), link_(button, [this] { refresh(); })
{
    nameAfter(*this, button);
    connect(this, &QPushButton::clicked, this, [this] { button_.click(); });
    refresh();
}

void ClickButton::refresh() { showEnabledAndVisible(*this, button_); }

} // namespace kelvane::views
