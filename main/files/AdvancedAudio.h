#pragma once

#include <vector>

namespace kelvane {

class Control;
class MainForm;

// The main window's advanced audio controls, in the order "Show Advanced
// Audio Settings" hides and shows them: each wave slot's controls, slot by
// slot, then the eight gate boxes.
std::vector<Control*> advancedAudioControls(MainForm& mainForm);

// Hides or shows them all. Hiding changes only visibility: the controls keep
// their values and go on acting on the slots.
void showAdvancedAudio(MainForm& mainForm, bool shown);

} // namespace kelvane
