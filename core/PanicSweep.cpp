#include "PanicSweep.h"

namespace kelvane {

void PanicSweep::run()
{
    environment_.setPointer(Pointer::Busy);
    waves_.stopAllBuffers();
    for (int channel = 1; channel <= 16; ++channel) {
        // Note 0 included: switch 2 can play it, and a panic must end every note.
        for (int note = 0; note <= 127; ++note)
            midi_.noteOff(channel, note);
        pause_.wait(kPauseAfterChannelMs);
    }
    environment_.setPointer(Pointer::Default);
}

} // namespace kelvane
