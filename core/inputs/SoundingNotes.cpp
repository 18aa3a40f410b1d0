#include "inputs/SoundingNotes.h"

#include <algorithm>

namespace kelvane {

void SoundingNotes::endRest(int source, std::span<const NoteAddress> sent, PadMidi& midi)
{
    std::vector<NoteAddress>& sounded = held(source);
    for (auto it = sounded.begin(); it != sounded.end(); ++it) {
        const bool endedAlready
            = std::find(sent.begin(), sent.end(), *it) != sent.end() || std::find(sounded.begin(), it, *it) != it;
        if (!endedAlready)
            midi.noteOff(it->channel, it->note);
    }
    sounded.clear(); // keeps its capacity: the next press allocates nothing
}

} // namespace kelvane
