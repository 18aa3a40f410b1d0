#include "SwitchTrigger.h"

namespace kelvane {

void SwitchTrigger::press(int n)
{
    Switch& s = switches_.at(n);
    switches_.lockNoteAndChannel(true);
    if (n <= 6) {
        s.indicator.setFill(Shape::Fill::Solid);
        midi_.noteOn(s.channel.value(), switches_.playedNote(n), s.velocity.value());
    } else {
        // Switches 7 and 8 sound before they light, and hold the keyboard flag.
        midi_.noteOn(s.channel.value(), switches_.playedNote(n), s.velocity.value());
        flags_.keyHeld = 1;
        s.indicator.setFill(Shape::Fill::Solid);
    }
    slots_.playPress(n);
}

void SwitchTrigger::release(int n)
{
    Switch& s = switches_.at(n);
    if (s.gate.checked())
        slots_.playRelease(n);
    switches_.lockNoteAndChannel(false);
    s.indicator.setFill(Shape::Fill::Transparent);
    midi_.noteOff(s.channel.value(), switches_.playedNote(n));
}

} // namespace kelvane
