#pragma once

#include "bindings/ControlLink.h"
#include "controls/TextBox.h"

#include <QLabel>
#include <QLineEdit>

namespace kelvane::views {

// A one-line box showing a TextBox control. The pad's boxes only display
// their settings (the scroll bars hold them), so the box is read-only: a typed
// number would show a value the switch does not play.
class BoundLineEdit : public QLineEdit {
public:
    explicit BoundLineEdit(TextBox& box, QWidget* parent = nullptr);

    TextBox& control() const { return box_; }

private:
    void refresh();

    TextBox& box_;
    ControlLink link_;
};

// A bound box for a setting's value: narrow, its number centred. The same
// width in every window, so values line up and read alike.
BoundLineEdit* valueBox(TextBox& box, QWidget* parent);

// A label showing a Label control's text.
class BoundLabel : public QLabel {
public:
    explicit BoundLabel(Label& label, QWidget* parent = nullptr);

private:
    void refresh();

    Label& label_;
    ControlLink link_;
};

} // namespace kelvane::views
