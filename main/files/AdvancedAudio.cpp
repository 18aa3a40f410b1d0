#include "files/AdvancedAudio.h"

#include "MainForm.h"

namespace kelvane {

std::vector<Control*> advancedAudioControls(MainForm& mainForm)
{
    std::vector<Control*> controls;
    for (int n = 1; n <= kSwitchCount; ++n)
        controls.push_back(&mainForm.switches().at(n).gate);
    return controls;
}

void showAdvancedAudio(MainForm& mainForm, bool shown)
{
    for (Control* control : advancedAudioControls(mainForm))
        control->setVisible(shown);
}

} // namespace kelvane
