#include "bindings/SwitchButton.h"

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

MouseButton SwitchButton::toMouseButton(Qt::MouseButton button)
{
    switch (button) {
    case Qt::RightButton:
        return MouseButton::Right;
    case Qt::MiddleButton:
        return MouseButton::Middle;
    default:
        // The extra buttons of a gaming mouse press the switch like the left one.
        return MouseButton::Left;
    }
}

void SwitchButton::mousePressEvent(QMouseEvent* event)
{
    // The note first: the pressed look asks for a repaint, which can wait.
    button_.mouseDown(toMouseButton(event->button()));
    setDown(true);
    event->accept();
}

void SwitchButton::mouseReleaseEvent(QMouseEvent* event)
{
    button_.mouseUp(toMouseButton(event->button()));
    // The button looks pressed while any mouse button is still down on it.
    if (event->buttons() == Qt::NoButton)
        setDown(false);
    event->accept();
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
