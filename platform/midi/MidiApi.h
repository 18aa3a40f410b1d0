#pragma once

namespace kelvane::midi {

// The MIDI system that the program's ports live in. The program uses the
// ALSA sequencer; JACK serves the tests and benchmarks that need real MIDI
// ports on a machine without a sequencer (a server they start themselves).
enum class MidiApi { AlsaSequencer, Jack };

} // namespace kelvane::midi
