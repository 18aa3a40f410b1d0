#pragma once

#include "MainForm.h"

#include <QGuiApplication>
#include <QObject>
#include <QWidget>

namespace kelvane::views {

// Brings the key events of the main window to its form (Form_KeyDown,
// Form_KeyUp), whichever of its widgets has the keyboard focus; the focused
// widget still gets the key too.
//
// Watches the whole application, since a key event goes to the focus widget
// and then up through its parents: each event is taken once, at the widget it
// was first sent to. Auto-repeated releases (what Qt marks so when the X
// server does not report held keys as repeated presses) are ignored. A
// release in another window of the program (a modal box that opened while the
// key was down) and the keyboard focus leaving the program go to the form,
// which decides what they release (HeldKeys).
class MainWindowKeys : public QObject {
public:
    MainWindowKeys(MainForm& form, QWidget& window);
    ~MainWindowKeys() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void focusLeavesProgramWhen(Qt::ApplicationState state);
    template <typename Handler> void reporting(Handler handler);

    MainForm& form_;
    QWidget& window_;
};

} // namespace kelvane::views
