#include "inputs/MidiPerformance.h"

#include "waves/WaveFailureReport.h"

namespace kelvane {

void MidiPerformance::message(const MidiInputMessage& message)
{
    for (int n = 1; n <= kSwitchCount; ++n) {
        switch (actionFor(settings_.binding(n).trigger, message)) {
        case MidiAction::None:
            break;
        case MidiAction::Press:
            press(n, message);
            break;
        case MidiAction::Release:
            releaseSwitch(n);
            break;
        case MidiAction::PressAndRelease:
            press(n, message);
            releaseSwitch(n);
            break;
        }
    }
}

void MidiPerformance::press(int n, const MidiInputMessage& message)
{
    if (held_[index(n)])
        return;
    // Held before the press runs: a box it opens may deliver the release.
    held_[index(n)] = true;
    const std::optional<int> velocity
        = settings_.binding(n).padVelocity ? padVelocityOf(message) : std::optional<int> {};
    reportingWaveFailure(
        dialogs_, [this, n, velocity] { trigger_.press(n, note_source::midiController(n), velocity); });
}

void MidiPerformance::releaseSwitch(int n)
{
    if (!held_[index(n)])
        return;
    held_[index(n)] = false;
    reportingWaveFailure(dialogs_, [this, n] { trigger_.release(n, note_source::midiController(n)); });
}

void MidiPerformance::releaseAll()
{
    for (int n = 1; n <= kSwitchCount; ++n)
        releaseSwitch(n);
}

} // namespace kelvane
