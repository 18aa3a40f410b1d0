#pragma once

#include "bindings/ControlLink.h"
#include "files/PreferencesForm.h"

#include <QWidget>

namespace kelvane::views {

// The "Kelvane Preferences" window's view: a window of its own, shown and
// hidden as its form's Visible says, opening over its owner (the main window)
// each time it is shown. The close box is the form's close(); while a failed
// save keeps the form visible, the window stays open. The owner, if given,
// must outlive the view.
class PreferencesWindow : public QWidget {
public:
    explicit PreferencesWindow(PreferencesForm& form, const QWidget* owner = nullptr, QWidget* parent = nullptr);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void refresh();
    void followVisible();

    PreferencesForm& form_;
    const QWidget* owner_;
    ControlLink link_;
    bool followPending_ = false;
};

} // namespace kelvane::views
