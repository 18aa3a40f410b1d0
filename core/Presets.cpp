#include "Presets.h"

namespace kelvane {

void applyPreset(const Preset& preset, SwitchSet& switches, PadMidi& midi, Window& window)
{
    window.setCaption(std::string(preset.windowCaption));
    for (int n = 1; n <= kSwitchCount; ++n) {
        const SwitchSetting& setting = preset.switches[static_cast<std::size_t>(n - 1)];
        Switch& s = switches.at(n);
        s.note.setValue(setting.note);
        s.velocity.setValue(setting.velocity);
        s.channel.setValue(setting.channel);
        s.program.setValue(setting.program);
    }
    for (int n = 1; n <= preset.closingProgramChanges; ++n) {
        const Switch& s = switches.at(n);
        midi.programChange(s.channel.value(), s.program.value());
    }
}

} // namespace kelvane
