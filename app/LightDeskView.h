#pragma once

#include "bindings/ControlLink.h"
#include "bindings/SignalLink.h"
#include "lighting/LightForm.h"

#include <QWidget>

namespace kelvane::views {

// The lighting desk's window: thirteen fader columns (twelve channels and the
// master) and the desk's settings and commands, each widget bound to its
// control in the LightForm. It shows and hides as the form says, and the
// close box unloads the form. The window is never destroyed while the
// program runs: a fade may be running inside one of its buttons' events.
class LightDeskView : public QWidget {
public:
    explicit LightDeskView(LightForm& form, QWidget* parent = nullptr);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* buildFaders();
    QWidget* buildColumn(Label& caption, ScrollBar& fader, TextBox& box, Button& fadeUp, Button& fadeDown);
    QWidget* buildSettings();
    void refresh();
    void bringToFront();

    LightForm& form_;
    ControlLink link_;
    SignalLink frontLink_;
};

} // namespace kelvane::views
