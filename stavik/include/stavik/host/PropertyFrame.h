#pragma once

#include <string>

namespace stavik::host {

class StavikControl;

// Shows every property page of control in a modal frame with OK, Cancel and
// Apply, as a design environment does. OK applies all pages and closes
// unless a page refuses its values; Cancel closes without applying.
// parentWidget: a QWidget* or null. Needs a QApplication on this thread.
// Returns true when closed with OK.
bool showPropertyFrame(StavikControl& control, const std::string& caption, void* parentWidget = nullptr);

} // namespace stavik::host
