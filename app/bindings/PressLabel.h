#pragma once

#include "bindings/ControlLink.h"
#include "controls/MouseLabel.h"

#include <QLabel>

namespace kelvane::views {

// A label showing a MouseLabel's text that hands each mouse button's press
// and release on it to the control.
class PressLabel : public QLabel {
public:
    explicit PressLabel(MouseLabel& label, QWidget* parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void refresh();

    MouseLabel& label_;
    ControlLink link_;
};

} // namespace kelvane::views
