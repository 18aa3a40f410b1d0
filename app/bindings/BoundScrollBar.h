#pragma once

#include "bindings/ControlLink.h"
#include "controls/ScrollBar.h"

#include <QScrollBar>

namespace kelvane::views {

// A Qt scroll bar showing a ScrollBar control, both ways.
//
// Qt needs minimum <= maximum, so a bar whose control runs downward (channel
// 16..1, program 128..-1) is shown with its range negated (-16..-1) and the
// widget's value is the control's value negated. The top arrow then lowers the
// widget's value and so raises the control's: arrows, keys and the wheel keep
// the direction the control defines. The control's values never change meaning.
//
// The user's moves write the control's value (which runs the form's handling);
// the control's changes are pushed back without echoing a change signal.
class BoundScrollBar : public QScrollBar {
public:
    BoundScrollBar(ScrollBar& bar, QWidget* parent = nullptr);

    ScrollBar& control() const { return bar_; }

    // The widget value that shows a control value, and back.
    int widgetValue(int controlValue) const { return sign_ * controlValue; }
    int controlValue(int widgetValue) const { return sign_ * widgetValue; }

private:
    void userMoved(int widgetValue);
    void refresh();

    ScrollBar& bar_;
    int sign_;
    ControlLink link_;
};

} // namespace kelvane::views
