#include "SwitchTrigger.h"

#include "waves/WaveFailure.h"

#include <optional>

namespace kelvane {

void SwitchTrigger::press(int n, int source, std::optional<int> velocity)
{
    Switch& s = switches_.at(n);
    switches_.lockNoteAndChannel(true);
    const NoteAddress note {s.channel.value(), switches_.playedNote(n)};
    const int played = velocity.value_or(s.velocity.value());
    if (n <= 6) {
        s.indicator.setFill(Shape::Fill::Solid);
        midi_.noteOn(note.channel, note.note, played);
    } else {
        // Switches 7 and 8 sound before they light, and hold the keyboard flag.
        midi_.noteOn(note.channel, note.note, played);
        flags_.keyHeld = 1;
        s.indicator.setFill(Shape::Fill::Solid);
    }
    sounding_.sounded(source, note);
    slots_.playPress(n);
}

void SwitchTrigger::release(int n, int source)
{
    Switch& s = switches_.at(n);
    std::optional<WaveFailure> failure;
    if (s.gate.checked()) {
        try {
            slots_.playRelease(n);
        } catch (const WaveFailure& f) {
            failure = f;
        }
    }
    switches_.lockNoteAndChannel(false);
    s.indicator.setFill(Shape::Fill::Transparent);
    const NoteAddress note {s.channel.value(), switches_.playedNote(n)};
    midi_.noteOff(note.channel, note.note);
    sounding_.endRest(source, note, midi_);
    if (failure)
        throw *failure;
}

} // namespace kelvane
