#pragma once

#include "bindings/ControlLink.h"
#include "files/PreferencesForm.h"

#include <QWidget>

namespace kelvane::views {

// The "Kelvane Preferences" window's view: a window of its own beside the
// main window, shown and hidden as its form's Visible says. The close box is
// the form's close(); while a failed save keeps the form visible, the window
// stays open.
class PreferencesWindow : public QWidget {
public:
    explicit PreferencesWindow(PreferencesForm& form, QWidget* parent = nullptr);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void refresh();
    void followVisible();

    PreferencesForm& form_;
    ControlLink link_;
    bool followPending_ = false;
};

} // namespace kelvane::views
