#include "bindings/PressClickButton.h"

#include "bindings/MousePressForwarding.h"

#include <QMouseEvent>

namespace kelvane::views {

PressClickButton::PressClickButton(Button& button, QWidget* parent) :
    QPushButton(QString::fromStdString(button.caption()), parent), button_(button), link_(button, [this] { refresh(); })
{
    nameAfter(*this, button);
    // A keyboard activation would click without the press and release that
    // the control's handling pairs with the click.
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QPushButton::clicked, this, [this] { button_.click(); });
    refresh();
}

void PressClickButton::mousePressEvent(QMouseEvent* event)
{
    QPushButton::mousePressEvent(event);
    forwardPress(button_, *event);
}

void PressClickButton::mouseReleaseEvent(QMouseEvent* event)
{
    // Emits clicked() (and so runs the click) for a left release over the button.
    QPushButton::mouseReleaseEvent(event);
    forwardRelease(button_, *event);
}

void PressClickButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double click is a press like any other.
    mousePressEvent(event);
}

void PressClickButton::refresh() { showEnabledAndVisible(*this, button_); }

} // namespace kelvane::views
