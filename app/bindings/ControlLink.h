#pragma once

#include "WindowPlacement.h"
#include "controls/Control.h"

#include <QWidget>

#include <functional>

namespace kelvane::views {

// Keeps a view subscribed to a control's changed() signal for the view's
// lifetime. The control must outlive the link: forms are built before their
// views and destroyed after them.
//
// A press sounds first and the screen follows. By default a change is not
// shown inside the handler that made it: the link marks itself stale and the
// refresh runs once the event loop next turns, after the handler has
// returned. However often a control changes within one turn (a cascade writes
// a bar several times, the switch lock toggles Enabled), its view refreshes
// once, showing the final state. Refreshes run in the order the controls
// first changed. A link destroyed before its turn comes is simply dropped.
//
// AtOnce is for bindings whose refresh has an effect beyond the screen that
// must not lag (a timer binding stops its QTimer before another tick).
//
// All links of a thread share one list of stale links, refreshed when the
// thread's event dispatcher comes round (before it would wait for events, and
// at each processEvents()); links and their refreshes belong to the thread
// that runs the event loop.
class ControlLink {
public:
    enum class Delivery { AfterHandler, AtOnce };

    ControlLink(Control& control, std::function<void()> refresh, Delivery delivery = Delivery::AfterHandler);
    ~ControlLink();
    ControlLink(const ControlLink&) = delete;
    ControlLink& operator=(const ControlLink&) = delete;

private:
    friend class StaleLinks;
    void changed();
    void refreshNow();

    Control& control_;
    std::function<void()> refresh_;
    Delivery delivery_;
    bool stale_ = false;
    int token_;
};

// Runs every refresh that is waiting for the event loop, at once. The event
// loop does this by itself; code that reads widgets right after driving a
// form without returning to the loop (a benchmark's measuring step) may call it.
void refreshStaleViews();

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

// Shows a window of its own, raised and active, while its form is visible,
// and hides it while it is not; nothing when the two agree already. A window
// with an owner opens over it each time it is shown.
inline void followFormVisible(QWidget& window, const Control& form, const QWidget* owner = nullptr)
{
    if (form.visible() && !window.isVisible()) {
        if (owner != nullptr)
            placeOver(window, *owner);
        window.show();
        window.raise();
        window.activateWindow();
    } else if (!form.visible() && window.isVisible()) {
        window.hide();
    }
}

} // namespace kelvane::views
