#pragma once

class QWidget;

namespace stavik {

// Shows the control's About box, modal, and returns when the user closes it.
// Needs a QApplication on the calling (UI) thread.
void showAboutBox(QWidget* parent = nullptr);

} // namespace stavik
