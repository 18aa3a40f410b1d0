#pragma once

#include "bindings/ControlLink.h"
#include "bindings/SignalLink.h"
#include "inputs/MidiLearnForm.h"

#include <QWidget>

namespace kelvane::views {

// The "MIDI Learn" window's view: a window of its own beside the main window
// (the pads keep playing while it is open), shown and hidden as its form's
// Visible says. One line per switch: its name, the message bound to it, Learn
// and "Pad velocity"; below, the channel that learning takes, a hint, and
// Clear, Default and Close. The close box is the form's close().
class MidiLearnWindow : public QWidget {
public:
    explicit MidiLearnWindow(MidiLearnForm& form, QWidget* parent = nullptr);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void refresh();

    MidiLearnForm& form_;
    ControlLink link_;
    SignalLink frontLink_;
};

} // namespace kelvane::views
