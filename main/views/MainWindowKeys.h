#pragma once

#include "MainForm.h"

#include <QObject>
#include <QWidget>

#include <set>

namespace kelvane::views {

// Brings the key events of the main window to its form (Form_KeyDown,
// Form_KeyUp), whichever of its widgets has the keyboard focus; the focused
// widget still gets the key too.
//
// Watches the whole application, since a key event goes to the focus widget
// and then up through its parents: each event is taken once, at the widget it
// was first sent to. Auto-repeated releases (X11 sends one before every
// repeated press) are ignored. A release of a key pressed in the main window
// reaches the form even when a modal box opened in between has the focus, so
// a key held across a "This Wave is unavailable" box still ends its note.
class MainWindowKeys : public QObject {
public:
    MainWindowKeys(MainForm& form, QWidget& window);
    ~MainWindowKeys() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void keyDown(int code);
    void keyUp(int code);
    template <typename Handler> void reporting(Handler handler);

    MainForm& form_;
    QWidget& window_;
    std::set<int> pressedHere_;
};

} // namespace kelvane::views
