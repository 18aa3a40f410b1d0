#include "bindings/PressLabel.h"

#include "bindings/SwitchButton.h"

#include <QMouseEvent>

namespace kelvane::views {

PressLabel::PressLabel(MouseLabel& label, QWidget* parent) :
    QLabel(parent), label_(label), link_(label, [this] { refresh(); })
{
    nameAfter(*this, label);
    // The right button is the label's own: no context menu.
    setContextMenuPolicy(Qt::PreventContextMenu);
    refresh();
}

void PressLabel::mousePressEvent(QMouseEvent* event)
{
    label_.mouseDown(SwitchButton::toMouseButton(event->button()));
    event->accept();
}

void PressLabel::mouseReleaseEvent(QMouseEvent* event)
{
    label_.mouseUp(SwitchButton::toMouseButton(event->button()));
    event->accept();
}

void PressLabel::refresh()
{
    setText(QString::fromStdString(label_.text()));
    showEnabledAndVisible(*this, label_);
}

} // namespace kelvane::views
