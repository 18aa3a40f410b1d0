#pragma once

#include "bindings/ControlLink.h"
#include "desktop/ModalViews.h"
#include "files/MidiSetupForm.h"

#include <QDialog>

namespace kelvane::views {

// The "MIDI Setup" window's view. It runs modally while its form is visible:
// Ok and Cancel reach the form, which hides itself; the title bar's close
// button and the Escape key are the form's close() (a Cancel).
class MidiSetupDialog : public QDialog, public ModalView {
public:
    explicit MidiSetupDialog(MidiSetupForm& form, QWidget* parent = nullptr);

    void runModal() override;

protected:
    void reject() override;

private:
    void refresh();

    MidiSetupForm& form_;
    ControlLink link_;
};

} // namespace kelvane::views
