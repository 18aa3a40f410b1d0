#pragma once

#include "controls/Control.h"

#include <QWidget>

#include <functional>

namespace kelvane::views {

// Keeps a view subscribed to a control's changed() signal for the view's
// lifetime. The control must outlive the link: forms are built before their
// views and destroyed after them.
class ControlLink {
public:
    ControlLink(Control& control, std::function<void()> refresh) :
        control_(control), token_(control.changed().connect(std::move(refresh)))
    {
    }
    ~ControlLink() { control_.changed().disconnect(token_); }
    ControlLink(const ControlLink&) = delete;
    ControlLink& operator=(const ControlLink&) = delete;

private:
    Control& control_;
    int token_;
};

// Gives a widget the control's name, so a person or a test finds it by
// objectName, and keeps its place in the layout while the control is hidden
// (a column must not shift when a box disappears).
inline void nameAfter(QWidget& widget, const Control& control)
{
    widget.setObjectName(QString::fromStdString(control.name()));
    QSizePolicy policy = widget.sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget.setSizePolicy(policy);
}

// Shows the control's Enabled and Visible on the widget.
inline void showEnabledAndVisible(QWidget& widget, const Control& control)
{
    widget.setEnabled(control.enabled());
    widget.setHidden(!control.visible());
}

} // namespace kelvane::views
