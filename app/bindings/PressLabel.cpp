#include "bindings/PressLabel.h"

#include "bindings/MousePressForwarding.h"

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

void PressLabel::mousePressEvent(QMouseEvent* event) { forwardPress(label_, *event); }

void PressLabel::mouseReleaseEvent(QMouseEvent* event) { forwardRelease(label_, *event); }

void PressLabel::refresh()
{
    setText(QString::fromStdString(label_.text()));
    showEnabledAndVisible(*this, label_);
}

} // namespace kelvane::views
